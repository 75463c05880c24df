// Comma-separated text read into records: quoting, line ends, and records made to fit
// the first one.
#include "CSVRecordReader.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

using CSVRecordReader::convertCSVtoArrayOfRecords;

QStringList valuesOf(const QString& line)
{
    const CSVRecordReader::Result result = convertCSVtoArrayOfRecords(line);
    return result.records.value(0);
}

// How delimited export writes a value: every mark doubled, and the whole wrapped in marks
// when it holds a comma.
QString exported(QString value)
{
    value.replace(u'"', QStringLiteral("\"\""));
    return value.contains(u',') ? u'"' + value + u'"' : value;
}

TEST(CSVRecordReaderTest, Line_GivesItsValues)
{
    struct Case {
        const char* line;
        QStringList values;
    };
    const Case cases[] = {
        {"a,b,c", {"a", "b", "c"}},
        {R"("a","b","c")", {"a", "b", "c"}},
        {R"("a",b,"c")", {"a", "b", "c"}},
        {R"("x,y",z)", {"x,y", "z"}},
        {R"("a, b""c")", {R"(a, b"c)"}},
        {R"("say ""hi"", ok",z)", {R"(say "hi", ok)", "z"}},
        {R"("a,""b""")", {R"(a,"b")"}},
        {R"(a""b)", {R"(a"b)"}},
        {"a,,b", {"a", "", "b"}},
        {",a", {"", "a"}},
        {"a,", {"a", ""}},
        {R"("a",)", {"a", ""}},
        {R"(a,"",b)", {"a", "", "b"}},
        {R"(a,"")", {"a", ""}},
        {R"("")", {R"(")"}},
        {R"("word")", {"word"}},
        {R"("""quoted"" first",x)", {R"("quoted" first)", "x"}},
        {R"( "a",b)", {R"( "a")", "b"}},
        // A mark inside a quoted value closes it only before a comma or the line's end.
        {R"("a"b,c)", {R"(a"b,c)"}},
    };
    for (const Case& c : cases) {
        const QStringList values = valuesOf(QString::fromUtf8(c.line));
        EXPECT_EQ(values, c.values) << c.line;
        for (const QString& value : values) {
            // Nothing of a placeholder ever reaches a value.
            EXPECT_FALSE(value.contains("@@@") || value.contains("%%%%%") ||
                         value.contains("#####"))
                << c.line;
        }
    }
}

TEST(CSVRecordReaderTest, QuotedLineEnd_ContinuesTheValueJoinedByABlank)
{
    for (const char* ending : {"\n", "\r\n", "\r", "\u2028"}) {
        const QString text = QString::fromUtf8("1,\"two") + QString::fromUtf8(ending) +
                             "lines\",3" + QString::fromUtf8(ending) + "4,5,6";
        const CSVRecordReader::Result result = convertCSVtoArrayOfRecords(text);
        ASSERT_EQ(result.records.size(), 2) << ending;
        EXPECT_EQ(result.records[0], QStringList({"1", "two lines", "3"})) << ending;
        EXPECT_EQ(result.records[1], QStringList({"4", "5", "6"})) << ending;
        EXPECT_EQ(result.malformedRecordCount, 0);
    }
    // A mark never closed takes the rest of the text.
    const CSVRecordReader::Result open = convertCSVtoArrayOfRecords(u"a,\"b\nc,d");
    ASSERT_EQ(open.records.size(), 1);
    EXPECT_EQ(open.records[0], QStringList({"a", "b c,d"}));
}

TEST(CSVRecordReaderTest, LineEnds_CRLFAsLF_FinalOneAndEmptyLinesAddNoRecord)
{
    const QList<QStringList> expected = {{"a", "b"}, {"c", "d"}};
    for (const char* text : {"a,b\nc,d", "a,b\r\nc,d\r\n", "a,b\rc,d\r", "\na,b\n\n\r\nc,d\n\n"}) {
        const CSVRecordReader::Result result = convertCSVtoArrayOfRecords(QString::fromUtf8(text));
        EXPECT_EQ(result.records, expected) << text;
        EXPECT_EQ(result.fieldCount, 2) << text;
        EXPECT_EQ(result.malformedRecordCount, 0) << text;
    }
    // Nothing but line ends is not CSV.
    EXPECT_EQ(convertCSVtoArrayOfRecords(u"\n\r\n\n").fieldCount, 0);
    EXPECT_EQ(convertCSVtoArrayOfRecords(u"").fieldCount, 0);
}

TEST(CSVRecordReaderTest, ShortAndLongRecords_PaddedAndJoinedToTheFirstOnesCount)
{
    const CSVRecordReader::Result result =
        convertCSVtoArrayOfRecords(u"name,phone\nshort\n\na,b,c,d\nx,y\n");
    ASSERT_EQ(result.records.size(), 4);
    EXPECT_EQ(result.fieldCount, 2);
    EXPECT_EQ(result.records[1], QStringList({"short", "<MISSING FIELD>"}));
    EXPECT_EQ(result.records[2],
              QStringList({"a", "b <EXTRA FIELD> c <EXTRA FIELD> d"}));
    EXPECT_EQ(result.records[3], QStringList({"x", "y"}));
    EXPECT_EQ(result.malformedRecordCount, 3);
    // Lines as the file numbers them, the empty one counted.
    EXPECT_EQ(result.malformedLines, QList<qint64>({2, 4}));

    // A record over several lines is named by its first.
    const CSVRecordReader::Result spread = convertCSVtoArrayOfRecords(u"a,b\n\"x\ny\"\nz,w");
    EXPECT_EQ(spread.malformedLines, QList<qint64>({2}));

    QString many = "a,b\n";
    for (int line = 0; line < 15; ++line)
        many += "only\n";
    const CSVRecordReader::Result kept = convertCSVtoArrayOfRecords(many);
    EXPECT_EQ(kept.malformedRecordCount, 15);
    EXPECT_EQ(kept.malformedLines, QList<qint64>({2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
}

TEST(CSVRecordReaderTest, ExportedValues_ReadBackEqual)
{
    // Letters, commas, marks and blanks in every arrangement chance gives; a value of one
    // mark alone is written as two, which reads as an empty value.
    const QString alphabet = QStringLiteral("ab ,\"");
    QRandomGenerator random(58);
    for (int round = 0; round < 2000; ++round) {
        QStringList values;
        const int count = 1 + random.bounded(4);
        for (int k = 0; k < count; ++k) {
            QString value;
            const int length = random.bounded(7);
            for (int c = 0; c < length; ++c)
                value.append(alphabet[random.bounded(alphabet.size())]);
            if (value == "\"")
                value = "a";
            values.append(value);
        }
        QStringList written;
        for (const QString& value : std::as_const(values))
            written.append(exported(value));
        const QString line = written.join(u',');
        // A line of one empty value is an empty line, which holds no record.
        if (line.isEmpty())
            continue;
        const CSVRecordReader::Result result = convertCSVtoArrayOfRecords(line);
        ASSERT_EQ(result.records.size(), 1) << line.toStdString();
        EXPECT_EQ(result.records[0], values) << line.toStdString();
    }
}

} // namespace
