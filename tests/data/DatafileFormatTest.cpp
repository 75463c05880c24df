#include "DatafileFormat.h"

#include "CorpusReplay.h"
#include "DatafileFuzzChecks.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray fixture(const QString& name)
{
    QFile file(QStringLiteral(NORVA_FIXTURES_DIR "/datafile/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(DatafileFormatTest, Read_GivesTheModelAndNotesACatalogThatDoesNotMatchItsRecords)
{
    const struct {
        const char* file;
        bool matches;
        qsizetype catalogEntries;
    } cases[] = {
        {"good.nv3", true, 2},         {"empty.nv3", true, 0},
        {"no-catalog.nv3", false, 0},  {"extra-entry.nv3", false, 3},
        {"wrong-entry.nv3", false, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const DatafileFormat::Result<DatafileFormat::Contents> read =
            DatafileFormat::read(fixture(c.file));
        ASSERT_TRUE(read.ok()) << read.error.message.toStdString();
        EXPECT_EQ(read.value->catalogMatchesRecords, c.matches);
        EXPECT_EQ(read.value->catalog.size(), c.catalogEntries);
        EXPECT_EQ(read.value->settings->fields().size(), 2);
    }
    const PlistDictionary records =
        DatafileFormat::read(fixture("no-catalog.nv3")).value->records->dictionary();
    const PlistArray rebuilt = DatafileFormat::catalogForRecords(records);
    EXPECT_TRUE(DatafileFormat::catalogMatchesRecords(rebuilt, records));

    // As many entries as records, but one record listed twice and another not at all.
    PlistArray twice = rebuilt.deepCopy();
    ASSERT_GE(twice.size(), 2);
    twice[1] = twice[0];
    EXPECT_FALSE(DatafileFormat::catalogMatchesRecords(twice, records));
}

TEST(DatafileFormatTest, Read_RefusesWhatIsNoDatafileWithTheReasonAndWhereItWas)
{
    const struct {
        const char* file;
        QString message;
        qint64 position;
    } cases[] = {
        {"no-settings.nv3", "The datafile has no settings.", -1},
        {"records-not-dictionary.nv3", "The datafile has no records.", -1},
        {"record-not-dictionary.nv3", "The record A1A1A1A1-0000-4000-8000-000000000001 is damaged.",
         -1},
        {"catalog-not-array.nv3", "The datafile's record order is damaged.", -1},
        {"not-a-datafile.nv3", "The file is not a datafile.", -1},
        {"newer-format.nv3", "The datafile was written by a newer version of Norva.", -1},
        {"truncated.nv3",
         "The file is not a datafile or is damaged (expected an element (line 25, byte 700)).", 700},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const DatafileFormat::Result<DatafileFormat::Contents> read =
            DatafileFormat::read(fixture(c.file));
        ASSERT_FALSE(read.ok());
        EXPECT_EQ(read.error.message, c.message);
        EXPECT_EQ(read.error.byteOffset, c.position);
    }
}

TEST(DatafileFormatTest, ReadParts_KeepsTheRecordsAsStored)
{
    // A settings-only save writes new settings over the records on disk, untouched.
    const QByteArray bytes = fixture("good.nv3");
    const DatafileFormat::Result<DatafileFormat::Parts> parts = DatafileFormat::readParts(bytes);
    ASSERT_TRUE(parts.ok());
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(DatafileFormat::write(*parts.value, buffer));
    const DatafileFormat::Result<DatafileFormat::Parts> again =
        DatafileFormat::readParts(buffer.data());
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(PlistValue(again.value->records), PlistValue(parts.value->records));
    EXPECT_EQ(PlistValue(again.value->catalog), PlistValue(parts.value->catalog));
    EXPECT_EQ(PlistValue(again.value->settings), PlistValue(parts.value->settings));
}

TEST(DatafileFormatTest, Corpus_EveryDatafileThatOpensSavesAndOpensAgainTheSame)
{
    replayCorpus(QStringLiteral("datafile"), datafileRoundTripHolds);
}
