// The export formats, pure: field definitions and records in, text and bytes out.
#include "DatafileSettingsData.h"
#include "DelimitedWriter.h"
#include "FreeformBlocks.h"
#include "PlainTextWriter.h"
#include "RecordData.h"
#include "RichText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

inline void PrintTo(const QString& string, std::ostream* stream)
{
    *stream << '"' << string.toStdString() << '"';
}

PlistArray fieldsNamed(const QStringList& names)
{
    PlistArray fields;
    for (qsizetype i = 0; i < names.size(); ++i)
        fields.append(PlistDictionary{
            {"Identifier", QStringLiteral("F%1").arg(i)}, {"Name", names.at(i)}, {"Width", 150.0}});
    return fields;
}

// The values in field order (an empty one left out, as a field never set), then the text.
std::shared_ptr<RecordData> recordOf(const QStringList& values, const QString& text = QString(),
                                     const QByteArray& rtfd = {})
{
    PlistDictionary fields;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (!values.at(i).isNull())
            fields.insert(QStringLiteral("F%1").arg(i), values.at(i));
    }
    return RecordData::record(fields, text, rtfd);
}

using Variant = DelimitedWriter::Variant;

QString delimited(Variant variant, const PlistArray& fields,
                  const QList<std::shared_ptr<RecordData>>& records,
                  DelimitedWriter::Options options = {})
{
    return DelimitedWriter::text(variant, fields, QStringLiteral("Freeform Text Area"), records,
                                 options);
}

} // namespace

TEST(DelimitedWriterTest, CsvQuote_TableOfValues_DoublesQuotesAndWrapsOnlyCommas)
{
    const std::pair<QString, QString> cases[] = {
        {"a,b", "\"a,b\""},       {"say \"hi\"", "say \"\"hi\"\""},
        {"\"\"", "\"\"\"\""},     {"\"a\", b", "\"\"\"a\"\", b\""},
        {" padded ", " padded "}, {"", ""},
    };
    for (const auto& [value, quoted] : cases)
        EXPECT_EQ(DelimitedWriter::csvQuote(value), quoted) << value.toStdString();
}

TEST(DelimitedWriterTest, CleanValue_EveryLineBreakAndTab_BecomesOneBlank)
{
    EXPECT_EQ(DelimitedWriter::cleanValue("one\ntwo"), "one two");
    EXPECT_EQ(DelimitedWriter::cleanValue("one\r\ntwo"), "one  two");
    EXPECT_EQ(DelimitedWriter::cleanValue(QStringLiteral("a\tb\u2028c\u2029d\re")), "a b c d e");
}

TEST(DelimitedWriterTest, Csv_RecordsWithNamesLine_OneCleanedQuotedLineEach)
{
    const PlistArray fields = fieldsNamed({"Last, First", "Note"});
    const QString text =
        delimited(Variant::CSV, fields,
                  {recordOf({"Doe, Jane", "say \"hi\""}, "two\nlines"), recordOf({"", QString()})},
                  {"\n", false, true, false});
    EXPECT_EQ(text, "\"Last, First\",Note,Freeform Text Area\n"
                    "\"Doe, Jane\",say \"\"hi\"\",two lines\n"
                    ",,\n");
}

TEST(DelimitedWriterTest, LineEnds_CrLfChosen_EndEveryLineTheLastToo)
{
    const PlistArray fields = fieldsNamed({"A"});
    for (const QString& lineEnd :
         {QStringLiteral("\n"), QStringLiteral("\r"), QStringLiteral("\r\n")}) {
        const QString text = delimited(Variant::TabDelimited, fields,
                                       {recordOf({"x\r\ny"}, "t"), recordOf({"z"}, "u")},
                                       {lineEnd, false, true, false});
        EXPECT_EQ(text, "A\tFreeform Text Area" + lineEnd + "x  y\tt" + lineEnd + "z\tu" + lineEnd);
    }
}

TEST(DelimitedWriterTest, Columns_NoFieldsOrNoTextOrNoRecords_KeepTheirShape)
{
    // Without fields the text column follows an empty first column.
    EXPECT_EQ(delimited(Variant::CSV, {}, {recordOf({}, "text, here")}, {"\n", false, true, false}),
              ",Freeform Text Area\n,\"text, here\"\n");
    // Field contents only: the last empty value leaves the separator before it.
    EXPECT_EQ(delimited(Variant::CSV, fieldsNamed({"A", "B"}), {recordOf({"a"}, "dropped")},
                        {"\n", false, false, true}),
              "a,\n");
    // A tab in a value or a name never adds a column.
    EXPECT_EQ(delimited(Variant::TabDelimited, fieldsNamed({"A\tB"}), {recordOf({"1\t2"})},
                        {"\n", false, true, true}),
              "A B\n1 2\n");
    // No records: the names line alone, or nothing.
    EXPECT_EQ(delimited(Variant::CSV, fieldsNamed({"A"}), {}, {"\n", false, true, false}),
              "A,Freeform Text Area\n");
    EXPECT_EQ(delimited(Variant::CSV, fieldsNamed({"A"}), {}, {"\n", false, false, false}), "");
}

TEST(DelimitedWriterTest, Encoded_Utf16AndUtf8_BomOnlyForUtf16)
{
    const QString text = QStringLiteral("Zoë\u2014");
    const QByteArray utf16 = DelimitedWriter::encoded(text, true);
    ASSERT_EQ(utf16.size(), 2 + 2 * text.size());
    EXPECT_EQ(utf16.left(4), QByteArray("\xFF\xFE"
                                        "Z\0",
                                        4));
    EXPECT_EQ(
        QString::fromUtf16(reinterpret_cast<const char16_t*>(utf16.constData() + 2), text.size()),
        text);
    EXPECT_EQ(DelimitedWriter::encoded(text, false), text.toUtf8());
    EXPECT_EQ(DelimitedWriter::encoded(text, false).at(0), 'Z');
}

TEST(PlainTextWriterTest, Text_RecordsAndSeparators_AsTheUserReadsThem)
{
    const PlistArray fields = fieldsNamed({"Name", "Phone"});
    // One record: no separator.
    EXPECT_EQ(PlainTextWriter::text(fields, {recordOf({"Ann", "1"}, "Notes\nhere")}),
              "Name: Ann\nPhone: 1\nNotes\nhere");
    // An empty text: the separator follows the last field line at once; a value with a
    // line break keeps it.
    EXPECT_EQ(PlainTextWriter::text(fields, {recordOf({"Ann"}), recordOf({"Bo", "2\n3"}, "t")}),
              "Name: Ann\nPhone: \n" + PlainTextWriter::RecordSeparator +
                  "Name: Bo\nPhone: 2\n3\nt");
    // No fields: records with empty texts before the first text write no separators.
    EXPECT_EQ(PlainTextWriter::text(
                  {}, {recordOf({}), recordOf({}, "first"), recordOf({}), recordOf({}, "last")}),
              "first" + PlainTextWriter::RecordSeparator + PlainTextWriter::RecordSeparator +
                  "last");
    EXPECT_EQ(PlainTextWriter::text(fields, {}), "");
    EXPECT_EQ(PlainTextWriter::bytes({}, {recordOf({}, "A")}), QByteArray("\xFF\xFE"
                                                                          "A\0",
                                                                          4));
}

TEST(PlainTextWriterTest, PlainTextStringForRecord_FileNameFieldTakenOut)
{
    const PlistArray fields = fieldsNamed({"Title", "Author"});
    QString fileName = "kept";
    EXPECT_EQ(PlainTextWriter::plainTextStringForRecord(
                  fields, *recordOf({"Dune", "Herbert"}, "Text"), "F0", fileName, false),
              "Author:\tHerbert\n\nText");
    EXPECT_EQ(fileName, "Dune");
    // One field, the file name's: only the text.
    fileName = "kept";
    EXPECT_EQ(PlainTextWriter::plainTextStringForRecord(
                  fieldsNamed({"Title"}), *recordOf({"Dune"}, "Text"), "F0", fileName, false),
              "Text");
    EXPECT_EQ(fileName, "Dune");
    // No such field: the name stays; a desktop record without plain text gives its rich text's.
    QTextDocument rich;
    rich.setPlainText("Rich words");
    fileName = "kept";
    EXPECT_EQ(PlainTextWriter::plainTextStringForRecord(
                  fields, *recordOf({"Dune"}, QString(), RichText::toRtfd(rich)), "none", fileName,
                  false),
              "Title:\tDune\nAuthor:\t\n\nRich words");
    EXPECT_EQ(fileName, "kept");
}

namespace {

// A template from text in which each "{Name}" is a token and "{}" an attachment of no
// field (a picture).
FreeformTextFormat templateOf(const QString& text)
{
    FreeformTextFormat format;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype open = text.indexOf(u'{', at);
        if (open < 0) {
            format.appendText(text.mid(at));
            break;
        }
        format.appendText(text.mid(at, open - at));
        const qsizetype close = text.indexOf(u'}', open);
        const QString name = text.mid(open + 1, close - open - 1);
        format.appendToken(name.isEmpty() ? std::nullopt : std::optional<QString>(name));
        at = close + 1;
    }
    return format;
}

} // namespace

TEST(FreeformBlocksTest, TextBlock_TableOfTemplates_EmptyTokenLinesVanish)
{
    const PlistArray fields = fieldsNamed({"Name", "City", "Name"});
    const std::shared_ptr<RecordData> record = recordOf({"Ann", "", "Second"});
    const std::pair<QString, QString> cases[] = {
        {"{City}\n{Name}", "Ann"}, // first line of an empty token goes
        {"{Name}\nx", "Ann\nx"},        {"Town: {City}\nend", "Town: \nend"}, // text keeps its line
        {"a\n{City}{City}\nb", "a\nb"}, // two empty tokens, one line
        {"a\n{City}", "a\n"},           // at the end: nothing dropped
        {"{}\n{Name}", "Ann"},          // a picture matches no field
        {"{Missing} {Name}", " Ann"},   {"", ""},
    };
    for (const auto& [format, block] : cases)
        EXPECT_EQ(FreeformBlocks::freeformTextBlockForRecord(*record, fields, templateOf(format)),
                  block)
            << format.toStdString();
}

TEST(FreeformBlocksTest, FromDocument_TokensAndParagraphs_AsTheTemplateReads)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText("Hi ");
    QTextCharFormat token;
    token.setObjectType(FreeformTextFormat::TokenObjectType);
    token.setProperty(FreeformTextFormat::FieldNameProperty, "Name");
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), token);
    cursor.insertBlock();
    // A line separator is no line end; an object character that lost its format (pasted
    // as plain text) adds nothing.
    cursor.insertText(QStringLiteral("line\u2028kept\uFFFC"), QTextCharFormat());
    const FreeformTextFormat format = FreeformTextFormat::fromDocument(document);
    EXPECT_EQ(FreeformBlocks::freeformTextBlockForRecord(*recordOf({"Ann"}), fieldsNamed({"Name"}),
                                                         format),
              QStringLiteral("Hi Ann\nline\u2028kept"));
}

TEST(FreeformBlocksTest, RtfdBlock_DesktopRecord_BlockThenTwoLineFeedsThenItsRichText)
{
    DatafileSettingsData settings;
    settings.setFields(fieldsNamed({"Name"}));
    QTextDocument own;
    own.setPlainText("Own text");
    const QByteArray ownRtfd = RichText::toRtfd(own);

    QString plain;
    const QByteArray rtfd = FreeformBlocks::freeformRTFDBlockForRecord(
        *recordOf({"Ann"}, "Own text", ownRtfd), settings, templateOf("Dear {Name}"), plain);
    EXPECT_EQ(plain, "Dear Ann\n\nOwn text");
    const RichTextResult read = RichText::fromRtfd(rtfd);
    ASSERT_TRUE(read.ok() && read.document);
    EXPECT_EQ(RichText::plainText(*read.document), plain);
    EXPECT_EQ(read.document->begin().begin().fragment().charFormat().font().family(),
              settings.textFont().family());

    // An empty template before rich text: the two line feeds and the text.
    FreeformBlocks::freeformRTFDBlockForRecord(*recordOf({}, "Own text", ownRtfd), settings,
                                               FreeformTextFormat(), plain);
    EXPECT_EQ(plain, "\n\nOwn text");
    // No text at all: the block alone; plain text alone follows as rich text would.
    FreeformBlocks::freeformRTFDBlockForRecord(*recordOf({"Ann"}), settings, templateOf("{Name}"),
                                               plain);
    EXPECT_EQ(plain, "Ann");
    FreeformBlocks::freeformRTFDBlockForRecord(*recordOf({"Ann"}, "plain"), settings,
                                               templateOf("{Name}"), plain);
    EXPECT_EQ(plain, "Ann\n\nplain");
    // Rich text that cannot be read gives way to the plain text, not to nothing.
    FreeformBlocks::freeformRTFDBlockForRecord(*recordOf({"Ann"}, "kept", "not rtfd"), settings,
                                               templateOf("{Name}"), plain);
    EXPECT_EQ(plain, "Ann\n\nkept");
}
