#include "DecimalNumberReader.h"

#include <gtest/gtest.h>

TEST(DecimalNumberReaderTest, TryRead_ReadsTheNumberTheTextBeginsWith)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale germany(QLocale::German, QLocale::Germany);
    const QLocale france(QLocale::French, QLocale::France);
    const QLocale sweden(QLocale::Swedish, QLocale::Sweden);
    struct Case {
        QString text;
        QLocale locale;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"42", us, 42},
        {"$1,250.50", us, 1250.5},
        {"-12.5", us, -12.5},
        {"Total: -.5", us, -0.5},
        {"12 apples", us, 12},
        {"3E", us, 3}, // no exponent
        {"1,234,567.8", us, 1234567.8},
        {"1,25", us, 1}, // misplaced grouping ends the number
        {"12.5.3", us, 12.5},
        {"#7", us, 7},
        {QStringLiteral("1.250,50 \u20ac"), germany, 1250.5},
        {"1.25", germany, 1},       // '.' groups here
        {"Preis ,5", germany, 0.5}, // the locale's decimal separator begins a number
        {QStringLiteral("1\u202f250,5"), france, 1250.5},
        {"1 250,5 euros", france, 1250.5},
        {QStringLiteral("1\u00a0250,5"), france, 1250.5},
        {QStringLiteral("\u22125"), sweden, -5},
        // Nothing readable.
        {"", us, std::nullopt},
        {"none", us, std::nullopt},
        {"-", us, std::nullopt},
        {"- 5", us, std::nullopt}, // the number begins at '-' and cannot be read from there
        {".", us, std::nullopt},
        {".5", germany, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecimalNumberReader::tryRead(c.text, c.locale), c.expected)
            << c.text.toStdString() << " in " << c.locale.name().toStdString();
    }
}

TEST(DecimalNumberReaderTest, Read_GivesZeroForUnreadableText)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(DecimalNumberReader::read(u"$19.99", us), 19.99);
    EXPECT_EQ(DecimalNumberReader::read(u"n/a", us), 0);
    // A pathologically long run of digits still reads (as a huge number) and quickly.
    EXPECT_GT(DecimalNumberReader::read(QString(200000, u'9'), us), 1e300);
}

TEST(DecimalNumberReaderTest, NumberLocale_ReadsEveryTextAsTheLocaleDoes)
{
    const QStringList texts{"42",     "$1,250.50", "-12.5",   "1,25",         "1.250,50",
                            "1.25",   "Preis ,5",  "1 250,5", "\u22125",      "3E",
                            "12.5.3", "",          "none",    "1\u00a0250,5", "-.5"};
    for (const QLocale& locale :
         {QLocale::system(), QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
          QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::French, QLocale::France),
          QLocale(QLocale::Swedish, QLocale::Sweden)}) {
        const QLocale numbers = DecimalNumberReader::numberLocale(locale);
        for (const QString& text : texts) {
            EXPECT_EQ(DecimalNumberReader::tryRead(text, numbers),
                      DecimalNumberReader::tryRead(text, locale))
                << text.toStdString() << " in " << locale.name().toStdString();
        }
    }
}
