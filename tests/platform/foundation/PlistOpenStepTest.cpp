#include "PlistOpenStepReader.h"
#include "PlistOpenStepWriter.h"
#include "PropertyList.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

PlistValue readBack(const PlistValue& value)
{
    const QByteArray text = propertyListBytes(value, PlistFormat::OpenStep);
    const PlistReadResult read = readOpenStepPropertyList(text);
    EXPECT_TRUE(read.ok()) << text.toStdString() << "\n" << read.error->toString().toStdString();
    return read.value;
}

} // namespace

TEST(PlistOpenStepTest, Values_WriteAsAsciiAndReadBack)
{
    const QString beyondBmp = QString::fromUcs4(U"\U0001F600");
    const std::vector<std::pair<const char*, PlistValue>> cases{
        {"bare", QStringLiteral("Rectangle_1.5$+/:-")},
        {"spaces", QStringLiteral("two words")},
        {"a comment's start", QStringLiteral("//path")},
        {"quotes and backslash", QStringLiteral("say \"hi\" \\ 'there'")},
        {"newlines and tabs", QStringLiteral("a\nb\r\nc\td")},
        {"control character", QString(QChar(0x01)) + QChar(0x7f)},
        {"accent", QStringLiteral("caf\u00e9")},
        {"beyond U+FFFF", QStringLiteral("x") + beyondBmp + QStringLiteral("y")},
        {"empty", QString()},
        {"data", QByteArray::fromHex("0fbd77771c2735ae00ff")},
        {"empty data", QByteArray()},
        {"empty array", PlistArray()},
        {"empty dictionary", PlistDictionary()},
        {"nested", PlistDictionary{
                       {QStringLiteral("List"),
                        PlistArray{QStringLiteral("a"),
                                   PlistArray{QStringLiteral("b"), QByteArray("\x01", 1)},
                                   PlistDictionary{{QStringLiteral("key with space"),
                                                    QStringLiteral("v")}}}},
                       {QString(), QStringLiteral("empty key")},
                       {QStringLiteral("\u00e9"), QStringLiteral("accented key")}}},
    };
    for (const auto& [name, value] : cases) {
        SCOPED_TRACE(name);
        const QByteArray text = propertyListBytes(value, PlistFormat::OpenStep);
        EXPECT_FALSE(text.isEmpty());
        EXPECT_TRUE(std::all_of(text.cbegin(), text.cend(), [](char c) { return uchar(c) < 0x80; }))
            << text.toStdString();
        const PlistValue back = readBack(value);
        EXPECT_EQ(back, value);
        EXPECT_EQ(back.type(), value.type());
    }
}

TEST(PlistOpenStepTest, Dictionary_IsWrittenInTheDescriptionForm)
{
    const PlistDictionary value{
        {QStringLiteral("Version"), QStringLiteral("1")},
        {QStringLiteral("List"), PlistArray{PlistDictionary{{QStringLiteral("Bounds"),
                                                              QStringLiteral("{{1, 2}, {3, 4}}")},
                                                             {QStringLiteral("Class"),
                                                              QStringLiteral("Rectangle")}},
                                             QByteArray::fromHex("0102030405")}},
        {QStringLiteral("Name"), QStringLiteral("caf\u00e9 \"x\"")},
        {QStringLiteral("Empty"), PlistArray()},
    };
    EXPECT_EQ(propertyListBytes(value, PlistFormat::OpenStep).toStdString(),
              "{\n"
              "    Empty = (\n"
              "    );\n"
              "    List = (\n"
              "        {\n"
              "            Bounds = \"{{1, 2}, {3, 4}}\";\n"
              "            Class = Rectangle;\n"
              "        },\n"
              "        <01020304 05>\n"
              "    );\n"
              "    Name = \"caf\\U00e9 \\\"x\\\"\";\n"
              "    Version = 1;\n"
              "}");
}

TEST(PlistOpenStepTest, HandWrittenText_Reads)
{
    const QByteArray text = "// a comment\n"
                            "{ /* block\n comment */\n"
                            "  Name = 'single quoted';\n"
                            "  \"Octal\" = \"\\101\\102\\n\";\n"
                            "  Unicode = \"\\U00e9\\ud83d\\ude00\";\n"
                            "  Raw = \"caf\xc3\xa9\";\n"
                            "  List = (one, \"two\", <0a0B 0c>, (), {},);\n"
                            "  Number = 12.5;\n"
                            "}\n";
    const PlistReadResult read = readOpenStepPropertyList(text);
    ASSERT_TRUE(read.ok()) << read.error->toString().toStdString();
    const PlistDictionary& dictionary = *read.value.asDictionary();
    EXPECT_EQ(dictionary.stringForKey(QStringLiteral("Name")), QStringLiteral("single quoted"));
    EXPECT_EQ(dictionary.stringForKey(QStringLiteral("Octal")), QStringLiteral("AB\n"));
    EXPECT_EQ(dictionary.stringForKey(QStringLiteral("Unicode")),
              QStringLiteral("\u00e9") + QString::fromUcs4(U"\U0001F600"));
    EXPECT_EQ(dictionary.stringForKey(QStringLiteral("Raw")), QStringLiteral("caf\u00e9"));
    EXPECT_EQ(dictionary.value(QStringLiteral("List")),
              PlistValue(PlistArray{QStringLiteral("one"), QStringLiteral("two"),
                                    QByteArray::fromHex("0a0b0c"), PlistArray(),
                                    PlistDictionary()}));
    // The form has no numbers: they read as their text.
    EXPECT_EQ(dictionary.value(QStringLiteral("Number")).type(), PlistValue::Type::String);
    EXPECT_EQ(dictionary.stringForKey(QStringLiteral("Number")), QStringLiteral("12.5"));
}

TEST(PlistOpenStepTest, NumbersAndDates_AreWrittenAsText)
{
    const PlistArray value{qint64(-42), 2.5, true, PlistDate{0}};
    EXPECT_EQ(propertyListBytes(value, PlistFormat::OpenStep).toStdString(),
              "(\n    -42,\n    2.5,\n    1,\n    \"2001-01-01 00:00:00 +0000\"\n)");
}

TEST(PlistOpenStepTest, ValuesWithoutAForm_AreRefused)
{
    for (const PlistValue& value :
         {PlistValue(), PlistValue(PlistArray{PlistValue(PlistUid{3})}),
          PlistValue(PlistDictionary{{QStringLiteral("a"), PlistValue()}})}) {
        QBuffer device;
        device.open(QIODevice::WriteOnly);
        EXPECT_FALSE(writePropertyList(value, device, PlistFormat::OpenStep));
        EXPECT_TRUE(propertyListBytes(value, PlistFormat::OpenStep).isEmpty());
    }
}

TEST(PlistOpenStepTest, BadText_FailsWithAMessage)
{
    const std::vector<std::pair<const char*, QByteArray>> cases{
        {"empty", ""},
        {"only a comment", "// nothing"},
        {"unterminated string", "\"abc"},
        {"unterminated escape", "\"abc\\"},
        {"unterminated dictionary", "{ a = b;"},
        {"missing semicolon", "{ a = b }"},
        {"missing value", "{ a = ; }"},
        {"missing equals", "{ a b; }"},
        {"unterminated array", "(a, b"},
        {"missing comma", "(a b)"},
        {"unterminated data", "<0102"},
        {"odd data", "<012>"},
        {"bad data", "<01zz>"},
        {"unterminated comment", "( a /* b )"},
        {"empty \\U", "\"\\Uzz\""},
        {"text after the value", "{ a = b; } c"},
        {"stray character", "{ a = #; }"},
        {"ten thousand nested arrays", QByteArray(10000, '(') + QByteArray(10000, ')')},
        {"ten thousand nested dictionaries", QByteArray().append("{a=").repeated(10000)},
    };
    for (const auto& [name, text] : cases) {
        SCOPED_TRACE(name);
        const PlistReadResult read = readOpenStepPropertyList(text);
        ASSERT_FALSE(read.ok());
        EXPECT_FALSE(read.error->message.isEmpty());
        EXPECT_GE(read.error->byteOffset, 0);
        EXPECT_LE(read.error->byteOffset, text.size());
    }
}

TEST(PlistOpenStepTest, NestingUpToTheLimit_Reads)
{
    const int depth = PlistOpenStepReader::maximumDepth;
    const PlistReadResult read =
        readOpenStepPropertyList(QByteArray(depth, '(') + QByteArray(depth, ')'));
    EXPECT_TRUE(read.ok());
}

TEST(PlistOpenStepTest, TheFileReaders_NeverTakeOldStyleText)
{
    // An old-style text is almost any text: files are XML or binary, or nothing.
    for (const QByteArray& text : {QByteArray("{ Settings = { }; }"), QByteArray("(a, b)"),
                                  QByteArray("word")}) {
        EXPECT_FALSE(readPropertyList(text).ok()) << text.toStdString();
        EXPECT_TRUE(readOpenStepPropertyList(text).ok()) << text.toStdString();
    }
}
