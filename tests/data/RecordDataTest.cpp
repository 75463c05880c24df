#include "DatafileRecordsData.h"

#include "Clock.h"
#include "InternalInconsistency.h"
#include "SystemLog.h"

#include <gtest/gtest.h>

namespace {

// Every record stamped in these tests gets this instant and this user.
class RecordDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Clock::setNowForTesting([this] { return m_now; });
        UserInfo::setFullUserNameForTesting(QStringLiteral("Ada Lovelace"));
    }
    void TearDown() override
    {
        Clock::setNowForTesting({});
        UserInfo::setFullUserNameForTesting(std::nullopt);
    }

    PlistDate m_now{1000};
};

const QStringList recordKeys{
    "RecordIdentifier", "RecordName",      "NeedsSync",         "IsSum",
    "RecordLocked",     "RecordWasLocked", "RecordCreatedDate", "RecordModifiedDate",
    "RecordViewedDate", "RecordCreatedBy", "RecordModifiedBy",  "RecordViewedBy",
    "Fields",           "TextString",      "TextRTFD"};

} // namespace

TEST_F(RecordDataTest, NewRecord_WritesExactlyTheFifteenKeysWithOneStampAndBooleanFlags)
{
    const RecordData record;
    const PlistDictionary dictionary = record.dictionary();

    QStringList keys = dictionary.keys();
    QStringList expected = recordKeys;
    keys.sort();
    expected.sort();
    EXPECT_EQ(keys, expected);

    for (const char* flag : {"NeedsSync", "IsSum", "RecordLocked", "RecordWasLocked"})
        EXPECT_EQ(dictionary.value(flag), PlistValue(false)) << flag;
    for (const char* flag : {"NeedsSync", "IsSum", "RecordLocked", "RecordWasLocked"})
        EXPECT_EQ(dictionary.value(flag).type(), PlistValue::Type::Boolean) << flag;
    for (const char* date : {"RecordCreatedDate", "RecordModifiedDate", "RecordViewedDate"})
        EXPECT_EQ(dictionary.value(date), PlistValue(m_now)) << date;
    for (const char* user : {"RecordCreatedBy", "RecordModifiedBy", "RecordViewedBy"})
        EXPECT_EQ(dictionary.value(user), PlistValue("Ada Lovelace")) << user;

    const QString identifier = *dictionary.value("RecordIdentifier").asString();
    EXPECT_EQ(identifier.size(), 36);
    EXPECT_EQ(identifier, identifier.toUpper());
    EXPECT_EQ(dictionary.value("Fields"), PlistValue(PlistDictionary()));
    EXPECT_EQ(dictionary.value("TextRTFD"), PlistValue(QByteArray()));
}

TEST_F(RecordDataTest, ReadAndWrite_KeepsTheRecordsKeysAndDropsOthers)
{
    const PlistDictionary stored{
        {"RecordIdentifier", "5C0E1F0A-1111-4B7B-9A8B-0123456789AB"},
        {"RecordName", "Ivy"},
        {"NeedsSync", true},
        {"IsSum", false},
        {"RecordLocked", "YES"},
        {"RecordWasLocked", 0},
        {"RecordCreatedDate", PlistDate{1}},
        {"RecordModifiedDate", PlistDate{2}},
        {"RecordViewedDate", PlistDate{3}},
        {"RecordCreatedBy", "A"},
        {"RecordModifiedBy", "B"},
        {"RecordViewedBy", "C"},
        {"Fields", PlistDictionary{{"F1", "value"}, {"F2", 42}}},
        {"TextString", "text"},
        {"TextRTFD", QByteArray("rtfd")},
        {"Extra", "dropped"},
    };
    const RecordData record(stored);
    EXPECT_TRUE(record.recordLocked());

    PlistDictionary expected = stored.deepCopy();
    expected.remove("Extra");
    expected.insert("RecordLocked", true);
    expected.insert("RecordWasLocked", false);
    EXPECT_EQ(PlistValue(record.dictionary()), PlistValue(expected));
    // A field value that is not a string is kept as it was.
    EXPECT_EQ(record.dictionary().value("Fields").asDictionary()->value("F2").type(),
              PlistValue::Type::Integer);
}

TEST_F(RecordDataTest, Read_MissingAndWrongKeysKeepNewRecordValues)
{
    ScopedLogCapture log;
    const RecordData record(PlistDictionary{{"RecordIdentifier", "ID"},
                                            {"RecordModifiedDate", "yesterday"},
                                            {"Fields", "not a dictionary"}});
    EXPECT_EQ(record.name(), QString());
    EXPECT_FALSE(record.needsSync());
    EXPECT_EQ(record.modifiedDate(), m_now);
    EXPECT_EQ(record.createdBy(), QStringLiteral("Ada Lovelace"));
    EXPECT_TRUE(record.fields().isEmpty());
    EXPECT_EQ(log.lines().size(), 2);
    EXPECT_TRUE(log.lines().at(0).contains("ID")) << log.lines().at(0).toStdString();

    const RecordData anonymous{PlistDictionary()};
    EXPECT_EQ(anonymous.identifier().size(), 36);
}

TEST_F(RecordDataTest, Stamps_ModifiedSetsSyncViewedDoesNot)
{
    RecordData record;
    m_now = PlistDate{2000};
    UserInfo::setFullUserNameForTesting(QStringLiteral("Grace Hopper"));

    record.viewed();
    EXPECT_EQ(record.viewedDate(), m_now);
    EXPECT_EQ(record.viewedBy(), QStringLiteral("Grace Hopper"));
    EXPECT_FALSE(record.needsSync());

    record.modified();
    EXPECT_EQ(record.modifiedDate(), m_now);
    EXPECT_EQ(record.modifiedBy(), QStringLiteral("Grace Hopper"));
    EXPECT_TRUE(record.needsSync());
    EXPECT_EQ(record.createdBy(), QStringLiteral("Ada Lovelace"));
}

TEST_F(RecordDataTest, ToggleRecordLocked_RemembersThePreviousState)
{
    RecordData record;
    EXPECT_TRUE(record.toggleRecordLocked());
    EXPECT_FALSE(record.recordWasLocked());
    EXPECT_FALSE(record.toggleRecordLocked());
    EXPECT_TRUE(record.recordWasLocked());
}

TEST_F(RecordDataTest, Fields_AreTheRecordsOwnDictionary)
{
    RecordData record;
    PlistDictionary fields = record.fields();
    fields.insert("F1", "typed");
    EXPECT_EQ(record.dictionary().value("Fields").asDictionary()->value("F1"), PlistValue("typed"));
}

TEST_F(RecordDataTest, Collection_RecordsStandUnderTheirKeys)
{
    ScopedLogCapture log;
    const PlistDictionary stored{
        {"A", PlistDictionary{{"RecordIdentifier", "A"}, {"RecordName", "first"}}},
        {"B", PlistDictionary{{"RecordIdentifier", "OTHER"}}},
        {"C", PlistDictionary{{"RecordName", "no identifier"}}},
        {"D", "not a record"},
    };
    const DatafileRecordsData records(stored);
    EXPECT_EQ(records.count(), 3);
    for (const char* key : {"A", "B", "C"})
        EXPECT_EQ(records.recordForIdentifier(key)->identifier(), QString::fromLatin1(key));
    EXPECT_EQ(log.lines().size(), 2); // the differing identifier and the non-record

    const PlistDictionary written = records.dictionary();
    EXPECT_EQ(written.size(), 3);
    EXPECT_EQ(written.value("B").asDictionary()->value("RecordIdentifier"), PlistValue("B"));
    EXPECT_EQ(records.description(), QStringLiteral("DatafileRecordsData: contains 3 records"));
}

TEST_F(RecordDataTest, Collection_LookupsAndRemoval)
{
    DatafileRecordsData records(PlistDictionary{});
    auto first = RecordData::record();
    auto second = RecordData::record();
    records.setRecord(first, first->identifier());
    records.setRecord(second, "stored under another key");
    records.setRecord(RecordData::record(), QString()); // an empty identifier stores nothing
    records.setRecord(nullptr, "x");
    EXPECT_EQ(records.count(), 2);

    EXPECT_EQ(records.identifierForRecord(first), first->identifier());
    EXPECT_EQ(records.identifierForRecord(second), QStringLiteral("stored under another key"));
    EXPECT_TRUE(records.identifierForRecord(RecordData::record()).isNull());
    EXPECT_EQ(records.recordForIdentifier(QString()), nullptr);

    const auto found = records.recordsForIdentifiers({"missing", first->identifier()});
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found.first(), first);

    records.removeRecord(second);
    records.removeRecordForIdentifier(QString());
    EXPECT_EQ(records.allIdentifiers(), QStringList{first->identifier()});
}

TEST_F(RecordDataTest, Collection_MissingDictionary_IsAnInternalInconsistency)
{
    try {
        DatafileRecordsData records(std::nullopt);
        FAIL() << "no exception";
    } catch (const InternalInconsistency& failure) {
        EXPECT_EQ(failure.message(),
                  QStringLiteral(
                      "VKKeyedCollectionData -initWithDictionary:forClass: - missing dictionary"));
    }
}
