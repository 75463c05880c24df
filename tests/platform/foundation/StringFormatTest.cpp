#include "StringFormat.h"
#include "SystemLog.h"

#include <gtest/gtest.h>

#include <QtNumeric>

#include <clocale>

TEST(StringFormatTest, StringWithFormat_RendersEachDirective)
{
    struct Case {
        QString format;
        QVariantList arguments;
        QString expected;
    };
    const Case cases[] = {
        {"%d bytes", {512}, "512 bytes"},
        {"%i", {-7}, "-7"},
        {"%.1f KB", {1.25}, "1.2 KB"},
        {"%.1f KB", {3}, "3.0 KB"}, // an integer read as a real
        {"%0.10d", {42}, "0000000042"},
        {"%@ %@", {QStringLiteral("Name"), 12}, "Name 12"},
        {"%@", {2.5}, "2.5"},
        {"%@", {true}, "1"},
        {"%2$@ %1$@", {QStringLiteral("world"), QStringLiteral("hello")}, "hello world"},
        {"%2$d of %1$d", {10, 3}, "3 of 10"},
        {"%ld", {qlonglong(5000000000)}, "5000000000"},
        {"%d", {qlonglong(5000000000)}, "705032704"}, // %d reads 32 bits
        {"%hd", {70000}, "4464"},
        {"%d %d %d", {-2.9, 1e300, qQNaN()}, "-2 0 0"}, // reals read as integers
        {"%hhd", {255}, "-1"},
        {"%lu", {qulonglong(18446744073709551615ULL)}, "18446744073709551615"},
        {"%u", {-1}, "4294967295"},
        {"%qd %zd %td %jd %lld", {1, 2, 3, 4, 5}, "1 2 3 4 5"},
        {"%U", {qulonglong(4294967296ULL)}, "4294967296"},
        {"100%%", {}, "100%"},
        {"%5.2f|", {3.14159}, " 3.14|"},
        {"%-4d|", {7}, "7   |"},
        {"%04d %+d % d", {7, 7, 7}, "0007 +7  7"},
        {"%x %X %#x %o", {255, 255, 255, 8}, "ff FF 0xff 10"},
        {"%e %G", {12345.678, 0.0001}, "1.234568e+04 0.0001"},
        {"%c%c", {65, QChar(u'\u00e9')}, QStringLiteral("A\u00e9")},
        {"%s!", {QByteArray("caf\xc3\xa9")}, QStringLiteral("caf\u00e9!")},
        {"[%6@] [%-6s] [%.3@]", {"ab", "cd", "abcdef"}, "[    ab] [cd    ] [abc]"},
        {"%k and %", {1}, "%k and %"}, // unknown and incomplete stay as written
        {"%0$d", {1}, "%0$d"},
        {"%99999d", {1}, "%99999d"},
        {"no directives", {1}, "no directives"},
    };
    for (const Case& c : cases) {
        ScopedLogCapture log;
        EXPECT_EQ(stringWithFormat(c.format, c.arguments), c.expected) << c.format.toStdString();
        EXPECT_TRUE(log.lines().isEmpty()) << c.format.toStdString();
    }
}

TEST(StringFormatTest, VariadicForm_TakesPlainValues)
{
    EXPECT_EQ(stringWithFormat(QStringLiteral("%@ has %lu records, %d%% %s"),
                               QStringLiteral("File"), std::size_t(3), 50, "done"),
              QStringLiteral("File has 3 records, 50% done"));
}

TEST(StringFormatTest, Numbers_UseAPointWhateverTheLocale)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_EQ(stringWithFormat(QStringLiteral("%.2f %g"), 1.5, 0.25), QStringLiteral("1.50 0.25"));
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(StringFormatTest, MissingArgument_LeavesItsPlaceEmptyAndLogsOneLine)
{
    ScopedLogCapture log;
    EXPECT_EQ(stringWithFormat(QStringLiteral("%@ <%@> <%d>"), QStringLiteral("one")),
              QStringLiteral("one <> <>"));
    EXPECT_EQ(log.lines(),
              QStringList{QStringLiteral("Format \"%@ <%@> <%d>\" is missing argument 2, 3")});
}
