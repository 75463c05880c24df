#include "Localization.h"
#include "SystemLog.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Table = QHash<QString, QString>;

QByteArray encoded(const QString& text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Leaves the tables as a test found them: no folder, nothing installed.
class LocalizationTest : public testing::Test {
protected:
    void TearDown() override { Localization::setTablesFolder(QString()); }
};

} // namespace

TEST_F(LocalizationTest, ParseStringsTable_ReadsEntriesCommentsAndEscapes)
{
    struct Case {
        QByteArray bytes;
        Table expected;
    };
    const QString sample = QStringLiteral("\"Open\" = \"\u00d6ffnen\";\n");
    const Case cases[] = {
        {"", {}},
        {"  \n/* only a comment */\n// and another", {}},
        {"\"Open\" = \"Ouvrir\";", {{"Open", "Ouvrir"}}},
        {"/* Menu */\n\"Open\"=\"Ouvrir\" ;\n// Close\n\"Close\" = \"Fermer\";\n",
         {{"Open", "Ouvrir"}, {"Close", "Fermer"}}},
        {"\"a\" = \"1\"; \"a\" = \"2\";", {{"a", "2"}}}, // the last entry wins
        {"\"%@ of %@\" = \"%2$@ de %1$@\";", {{"%@ of %@", "%2$@ de %1$@"}}},
        {R"("say \"hi\"" = "back\\slash\nnew\ttab\U0041\U00e9";)",
         {{"say \"hi\"", QStringLiteral("back\\slash\nnew\ttabA\u00e9")}}},
        {R"("pair" = "\UD83D\UDE00";)", {{"pair", QStringLiteral("\U0001F600")}}},
        {"\"\" = \"\";", {{"", ""}}},
        {"\"// not a comment\" = \"/* nor this */\";", {{"// not a comment", "/* nor this */"}}},
        {encoded(sample, QStringConverter::Utf8), {{"Open", QStringLiteral("\u00d6ffnen")}}},
        {encoded(sample, QStringConverter::Utf16LE), {{"Open", QStringLiteral("\u00d6ffnen")}}},
        {encoded(sample, QStringConverter::Utf16BE), {{"Open", QStringLiteral("\u00d6ffnen")}}},
    };
    for (const Case& c : cases) {
        QString error;
        const auto table = Localization::parseStringsTable(c.bytes, &error);
        ASSERT_TRUE(table.has_value()) << c.bytes.toStdString() << ": " << error.toStdString();
        EXPECT_EQ(*table, c.expected) << c.bytes.toStdString();
    }
}

TEST_F(LocalizationTest, ParseStringsTable_RejectsMalformedInputWithItsLine)
{
    struct Case {
        QByteArray bytes;
        QString error;
    };
    const Case cases[] = {
        {"\"a\" = \"b\"", "unexpected end, expected ';' at line 1"},
        {"\"a\" = \"b\"\n\"c\" = \"d\";", "expected ';' at line 2"},
        {"\"a\" \"b\";", "expected '=' at line 1"},
        {"\"a\" = ;", "expected '\"' at line 1"},
        {"a = \"b\";", "expected '\"' at line 1"},
        {"\"a\" = \"b", "unterminated string at line 1"},
        {"\"a\" = \"b\\", "unterminated string at line 1"},
        {"\"a\" = \"b\";\n/* open", "unterminated comment at line 2"},
        {"\"a\" = \"b\"; junk", "expected '\"' at line 1"},
        {"/ \"a\" = \"b\";", "expected '\"' at line 1"},
        {"\"a\" = \"\xff\";", "the text is not valid Unicode"},
        {QByteArray("\"a\"\0= \"b\";", 10), "expected '=' at line 1"},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(Localization::parseStringsTable(c.bytes, &error).has_value())
            << c.bytes.toStdString();
        EXPECT_EQ(error, c.error) << c.bytes.toStdString();
    }
    // An odd byte left over in UTF-16 is not a character.
    QByteArray truncated = encoded(QStringLiteral("\"a\" = \"b\";"), QStringConverter::Utf16LE);
    truncated.append('\0');
    EXPECT_FALSE(Localization::parseStringsTable(truncated).has_value());
}

TEST_F(LocalizationTest, Localized_ReadsTablesFromTheFolderAndFallsBackToTheText)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    writeFile(folder.filePath("Localizable.strings"), "\"Untitled\" = \"Sans titre\";");
    writeFile(folder.filePath("Shared.strings"),
              encoded(QStringLiteral("\"Delete\" = \"Supprimer\";"), QStringConverter::Utf16LE));
    writeFile(folder.filePath("Specific.strings"), "\"Broken\" = ");

    ScopedLogCapture log;
    Localization::setTablesFolder(folder.path());
    EXPECT_EQ(localized("Untitled"), "Sans titre");
    EXPECT_EQ(localized("Delete", "Shared"), "Supprimer");
    EXPECT_EQ(localized("Untitled", "Shared"), "Untitled"); // key missing from that table
    EXPECT_EQ(localized("Undo Typing", "UndoStrings"), "Undo Typing"); // no such file
    EXPECT_TRUE(log.lines().isEmpty());

    // A malformed table is logged once and translates nothing.
    EXPECT_EQ(localized("Broken", "Specific"), "Broken");
    EXPECT_EQ(localized("Other", "Specific"), "Other");
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().first().contains("Specific.strings"))
        << log.lines().first().toStdString();

    Localization::setTablesFolder(QString());
    EXPECT_EQ(localized("Untitled"), "Untitled");
}

TEST_F(LocalizationTest, SetTable_InstallsATableUntilTheFolderChanges)
{
    Localization::setTable("GraphicClassNames", {{"Rectangle", "Rectangle (fr)"}});
    Localization::setTable(QString(), {{"Untitled", "Sans titre"}});
    EXPECT_EQ(localized("Rectangle", "GraphicClassNames"), "Rectangle (fr)");
    EXPECT_EQ(localized("Line", "GraphicClassNames"), "Line");
    EXPECT_EQ(localized("Untitled"), "Sans titre");

    Localization::setTablesFolder(QString());
    EXPECT_EQ(localized("Rectangle", "GraphicClassNames"), "Rectangle");
}
