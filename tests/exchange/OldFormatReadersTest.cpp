// The field names and records of the oldest datafiles and the cards of Marlocan decks.
#include "MarlocanDeckReader.h"
#include "Norva1DatafileReader.h"
#include "OldMacFiles.h"

#include <gtest/gtest.h>

using namespace old_mac_files;

TEST(Norva1DatafileReaderTest, FieldNames_TakeOneFewerThanTheCount)
{
    const QByteArray longName(200, 'n');
    struct Case {
        quint16 count;
        QList<QByteArray> names;
        QStringList expected;
    };
    const QList<Case> cases{
        {4, {"Last", "First", "Phone", "spare"}, {"Last", "First", "Phone"}},
        {1, {"Only"}, {}},
        {0, {"Only"}, {}},
        // 32769 less one is negative as a 16-bit number.
        {32769, {"A", "B"}, {}},
        {2, {""}, {""}},
        {2, {longName}, {QString::fromLatin1(longName)}},
        {2, {"Caf\x8E"}, {QString::fromUtf8("Café")}},
        // More counted than present: the names there are, and nothing past the end.
        {9, {"One", "Two"}, {"One", "Two"}},
    };
    for (const Case& test : cases)
        EXPECT_EQ(Norva1DatafileReader::fieldNames(fieldNamesResource(test.count, test.names)),
                  test.expected)
            << test.count;
    // A name cut off by the end of the resource is not read.
    EXPECT_EQ(Norva1DatafileReader::fieldNames(QByteArray("\x00\x03\x02" "ab\x05" "cd", 8)),
              QStringList{"ab"});
    EXPECT_TRUE(Norva1DatafileReader::fieldNames(QByteArray("\x00", 1)).isEmpty());
}

namespace {

struct ExpectedRecord {
    QStringList values;
    std::optional<QString> text;
};

void expectRecords(const QByteArray& dataFork, qsizetype fieldCount,
                   const QList<ExpectedRecord>& expected)
{
    const Norva1DatafileReader::Result read =
        Norva1DatafileReader::records(Norva1DatafileReader::dataForkText(dataFork), fieldCount);
    ASSERT_EQ(read.records.size(), expected.size()) << dataFork.toStdString();
    for (qsizetype i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(read.records[i].values, expected[i].values) << i;
        EXPECT_EQ(read.records[i].text, expected[i].text) << i;
    }
}

} // namespace

TEST(Norva1DatafileReaderTest, Records_LinesAreFieldsThenText)
{
    // An empty line leaves its field unset; the rest, line ends kept, is the text.
    expectRecords("Smith\rJohn\r\rnote1\rnote2\x06", 3, {{{"Smith", "John", ""}, "note1\nnote2"}});
    // Fewer lines than fields: what follows the last line end is the text.
    expectRecords("Smith\rJohn\x06", 3, {{{"Smith"}, "John"}});
    // Nothing after the last record end is a record.
    expectRecords("A\rB\x06" "C\rD\x06" "left over", 1, {{{"A"}, "B"}, {{"C"}, "D"}});
    // CR LF: an empty line after every line.
    expectRecords("A\r\nB\r\n\x06", 4, {{{"A", "", "B", ""}, std::nullopt}});
    // Without fields the whole record is the text; an empty record has nothing.
    expectRecords("whole\rtext\x06\x06", 0, {{{}, "whole\ntext"}, {{}, std::nullopt}});
    expectRecords("Mac \xA5 Roman\r\x06", 1, {{{QString::fromUtf8("Mac • Roman")}, std::nullopt}});
}

TEST(Norva1DatafileReaderTest, Records_NoRecordEndOrStopped)
{
    const Norva1DatafileReader::Result none =
        Norva1DatafileReader::records(QStringLiteral("no end at all"), 2);
    EXPECT_FALSE(none.hasRecords);
    EXPECT_TRUE(none.records.isEmpty());

    // Asked between records, never after the last; the records so far are kept.
    int asked = 0;
    const Norva1DatafileReader::Result stopped = Norva1DatafileReader::records(
        QStringLiteral("a\x06" "b\x06" "c\x06" "d\x06"), 0, [&] { return ++asked == 2; });
    EXPECT_EQ(stopped.records.size(), 2);
    int askedAll = 0;
    Norva1DatafileReader::records(QStringLiteral("a\x06" "b\x06"), 0, [&] { return ++askedAll > 5; });
    EXPECT_EQ(askedAll, 1);
}

TEST(MarlocanDeckReaderTest, Cards_BetweenHeaderAndTrailer)
{
    struct Case {
        const char* what;
        QByteArray deck;
        std::optional<QStringList> cards;
    };
    const QList<Case> cases{
        {"three cards", "HEADERone\r*\rNtwo\r*\rNthree\rTRAILR",
         QStringList{"one\n", "two\n", "three\n"}},
        {"P of either case", "HEADERone*\rPtwo*\rpthree*\rnsame TRAILR",
         QStringList{"one", "two", "three*\nnsame "}},
        {"a marker only in the trailer", "HEADERwhole text*\rNTRL",
         QStringList{"whole text"}},
        {"two markers in a row", "HEADERa*\rN*\rNbTRAILR", QStringList{"a", "", "b"}},
        {"at most 12 with a marker", "HEADER*\rNxyz", QStringList{}},
        {"no marker", "HEADERjust one card TRAILR", std::nullopt},
        {"a marker inside the header only", "*\rNabcdefgh", std::nullopt},
        {"shorter than the header", "*\rN", std::nullopt},
        {"Mac OS Roman", "HEADER\x8E*\rN\xD0TRAILR", QStringList{QString::fromUtf8("é"),
                                                                    QString::fromUtf8("–")}},
    };
    for (const Case& test : cases)
        EXPECT_EQ(MarlocanDeckReader::cards(test.deck), test.cards) << test.what;
}
