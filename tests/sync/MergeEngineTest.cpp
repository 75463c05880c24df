#include "MergeEngine.h"

#include "DocumentFixture.h"

#include "DatafileDocument.h"
#include "RecordDataTesting.h"
#include "SystemLog.h"

#include <gtest/gtest.h>

namespace {

struct Rec {
    QString id;
    QStringList values; // in the datafile's field order
    QString text;
    bool needsSync = false;
    QByteArray rtfd = {};
};

// Two datafiles without windows: the local one and its sync file.
class MergeEngineTest : public DocumentFixture {
protected:
    static void fill(DatafileDocument& document, const QStringList& fieldIds,
                     const QList<Rec>& records)
    {
        PlistArray fields;
        for (const QString& id : fieldIds) {
            PlistDictionary field;
            field.insert(QStringLiteral("Identifier"), id);
            field.insert(QStringLiteral("Name"), QString(u'F' + id));
            fields.insert(fields.size(), PlistValue(field));
        }
        document.datafileSettings()->setFields(fields);
        document.datafileSettings()->setSyncID(QStringLiteral("SYNC"));
        for (const Rec& wanted : records) {
            PlistDictionary values;
            for (qsizetype k = 0; k < wanted.values.size(); ++k)
                if (!wanted.values.at(k).isNull())
                    values.insert(fieldIds.at(k), wanted.values.at(k));
            const std::shared_ptr<RecordData> record =
                RecordData::record(values, wanted.text, wanted.rtfd);
            record->setIdentifier(wanted.id);
            record->setNeedsSync(wanted.needsSync);
            document.datafileRecords()->setRecord(record, wanted.id);
            document.datafileCatalog()->insertIdentifierAtEnd(wanted.id);
        }
        document.datafileCatalog()->rebuildSelectedIdentifiers();
    }

    QStringList order(const DatafileDocument& document) const
    {
        QStringList ids;
        for (const PlistValue& entry : document.datafileCatalog()->sortedArray())
            ids.append(entry.asDictionary()->stringForKey("Identifier"));
        return ids;
    }

    std::shared_ptr<RecordData> local(const QString& id) const
    {
        return m_local.datafileRecords()->recordForIdentifier(id);
    }

    QString value(const QString& id, const QString& field) const
    {
        const PlistValue* stored = local(id)->fields().find(field);
        return stored && stored->asString() ? *stored->asString() : QStringLiteral("<none>");
    }

    QStringList merge()
    {
        MergeEngine engine(m_local, m_remote);
        return engine.merge();
    }

    DatafileDocument m_local;
    DatafileDocument m_remote;
};

TEST_F(MergeEngineTest, Merge_ChangedOnOneSideOrBoth_TakesOverOnlyRemoteOnlyChanges)
{
    fill(m_local, {"A", "B"},
         {{"both", {"l1", "l2"}, "local both", true},
          {"localOnly", {"l1", "l2"}, "local only", true},
          {"remoteOnly", {"l1", "l2"}, "old", false, "old rtfd"},
          {"neither", {"l1", "l2"}, "same", false}});
    fill(m_remote, {"A", "B"},
         {{"both", {"r1", "r2"}, "remote both", true},
          {"localOnly", {"r1", "r2"}, "remote stale", false},
          {"remoteOnly", {"r1", "r2"}, "new", true, "new rtfd"},
          {"neither", {"r1", "r2"}, "other", false}});

    EXPECT_EQ(merge(), QStringList{"both"});

    EXPECT_EQ(local("both")->textString(), "local both");
    EXPECT_EQ(value("both", "A"), "l1");
    EXPECT_TRUE(local("both")->needsSync());
    EXPECT_EQ(local("localOnly")->textString(), "local only");
    EXPECT_TRUE(local("localOnly")->needsSync());
    EXPECT_EQ(local("remoteOnly")->textString(), "new");
    EXPECT_EQ(local("remoteOnly")->textRTFD(), "new rtfd");
    EXPECT_EQ(value("remoteOnly", "A"), "r1");
    EXPECT_EQ(value("remoteOnly", "B"), "r2");
    EXPECT_FALSE(local("remoteOnly")->needsSync());
    EXPECT_EQ(local("neither")->textString(), "same");
    EXPECT_TRUE(m_local.isDocumentEdited());
}

TEST_F(MergeEngineTest, Merge_SeveralConflicts_ListedInRemoteCatalogOrder)
{
    fill(m_local, {}, {{"a", {}, "", true}, {"b", {}, "", true}, {"c", {}, "", true}});
    fill(m_remote, {}, {{"c", {}, "", true}, {"a", {}, "", true}, {"b", {}, "", true}});
    EXPECT_EQ(merge(), (QStringList{"c", "a", "b"}));
}

TEST_F(MergeEngineTest, Merge_FieldsInAnotherOrder_CopiesEachValueIntoItsOwnField)
{
    fill(m_local, {"A", "B", "C"}, {{"r", {"a", "b", "c"}, "", false}});
    fill(m_remote, {"C", "A", "B"}, {{"r", {"newC", "newA", "newB"}, "", true}});
    ASSERT_TRUE(MergeEngine::goodMatchBetweenLocalDatafile(m_local, m_remote));
    merge();
    EXPECT_EQ(value("r", "A"), "newA");
    EXPECT_EQ(value("r", "B"), "newB");
    EXPECT_EQ(value("r", "C"), "newC");
}

TEST_F(MergeEngineTest, Merge_RemoteValueMissingOrEmpty_KeepsOrEmptiesTheLocalValue)
{
    fill(m_local, {"A", "B"}, {{"r", {"keep", "empty me"}, "", false}});
    fill(m_remote, {"A", "B"}, {{"r", {QString(), ""}, "", true}});
    merge();
    EXPECT_EQ(value("r", "A"), "keep");
    EXPECT_EQ(value("r", "B"), "");
}

TEST_F(MergeEngineTest, Merge_MobileDatafile_TakesThePlainTextOnly)
{
    m_local.setIsMobile(true);
    fill(m_local, {}, {{"r", {}, "old", false}});
    fill(m_remote, {}, {{"r", {}, "new", true, "rich"}});
    merge();
    EXPECT_EQ(local("r")->textString(), "new");
    EXPECT_TRUE(local("r")->textRTFD().isEmpty());
}

TEST_F(MergeEngineTest, Merge_NewRemoteRecords_KeepTheirIdentifiersAndFollowTheirPredecessor)
{
    fill(m_local, {"A"}, {{"x", {"x"}, "", false}, {"y", {"y"}, "", false}});
    // n0 has no predecessor, n1 follows x, n2 follows the new n1.
    fill(m_remote, {"A"},
         {{"n0", {"0"}, "zero", true},
          {"x", {"x"}, "", false},
          {"n1", {"1"}, "one", true},
          {"n2", {"2"}, "two", true},
          {"y", {"y"}, "", false}});
    merge();
    EXPECT_EQ(order(m_local), (QStringList{"x", "n1", "n2", "y", "n0"}));
    EXPECT_EQ(local("n2")->textString(), "two");
    EXPECT_EQ(value("n2", "A"), "2");
    EXPECT_FALSE(local("n2")->needsSync());
    EXPECT_EQ(m_local.datafileCatalog()->countSelected(), 5);
}

TEST_F(MergeEngineTest, Merge_NewRecordLocationAtTheBeginning_PutsNewRecordsFirstInReverseOrder)
{
    fill(m_local, {}, {{"x", {}, "", false}});
    m_local.datafileSettings()->setNewRecordLocation(1);
    fill(m_remote, {}, {{"n1", {}, "", true}, {"n2", {}, "", true}});
    merge();
    EXPECT_EQ(order(m_local), (QStringList{"n2", "n1", "x"}));
}

TEST_F(MergeEngineTest, Merge_Deletions_AppliedUnlessChangedHereAndTombstonesEmptied)
{
    fill(m_local, {},
         {{"gone", {}, "", false}, {"changedHere", {}, "", true}, {"stays", {}, "", false},
          {"deletedHere", {}, "", false}});
    m_local.datafileSettings()->addDeletedIdentifier("localTombstone");
    fill(m_remote, {},
         {{"changedHere", {}, "", false}, {"stays", {}, "", false},
          {"localTombstone", {}, "back", true}});
    m_remote.datafileSettings()->setDeletedIdentifiers(
        PlistArray{"gone", "changedHere", "unknown"});

    merge();

    EXPECT_FALSE(local("gone"));
    EXPECT_TRUE(local("changedHere"));
    // Deleted here but changed there: back under its own identifier.
    ASSERT_TRUE(local("localTombstone"));
    EXPECT_EQ(local("localTombstone")->textString(), "back");
    EXPECT_TRUE(m_local.datafileSettings()->deletedIdentifiers().isEmpty());
    EXPECT_EQ(order(m_local), (QStringList{"changedHere", "stays", "localTombstone", "deletedHere"}));
}

TEST_F(MergeEngineTest, Merge_RemoteDeletionOfTheOnlyRecord_IsRefusedAndTheRecordKept)
{
    fill(m_local, {}, {{"only", {}, "", false}});
    fill(m_remote, {}, {{"other", {}, "", false}});
    m_remote.datafileSettings()->setDeletedIdentifiers(PlistArray{"only"});
    merge();
    EXPECT_TRUE(local("only"));
    EXPECT_TRUE(m_local.datafileSettings()->deletedIdentifiers().isEmpty());
}

TEST_F(MergeEngineTest, Merge_DeletionStepGiven_DeletesThroughIt)
{
    fill(m_local, {}, {{"a", {}, "", false}, {"b", {}, "", false}});
    fill(m_remote, {}, {{"b", {}, "", false}});
    m_remote.datafileSettings()->setDeletedIdentifiers(PlistArray{"a"});
    MergeEngine engine(m_local, m_remote);
    QStringList asked;
    engine.setDeletionStep([&](const QList<std::shared_ptr<RecordData>>& records) {
        for (const std::shared_ptr<RecordData>& record : records)
            asked.append(record->identifier());
        return qsizetype(0);
    });
    engine.merge();
    EXPECT_EQ(asked, QStringList{"a"});
    EXPECT_EQ(engine.deletedCount(), 0);
}

TEST_F(MergeEngineTest, GoodMatch_FieldStructures_AsTheTableSays)
{
    struct Case {
        QStringList local, remote;
        bool match;
        bool logged;
    };
    const QList<Case> cases{
        {{}, {}, true, false},
        {{"A", "B"}, {"B", "A"}, true, false},
        {{"A", "B"}, {"A"}, false, false},
        {{"A"}, {"A", "B"}, false, false},
        {{"A", "B"}, {"A", "C"}, false, true},
    };
    for (const Case& c : cases) {
        DatafileSettingsData local;
        DatafileSettingsData remote;
        PlistArray lf, rf;
        for (const QString& id : c.local)
            lf.append(PlistDictionary{{"Identifier", id}});
        for (const QString& id : c.remote)
            rf.append(PlistDictionary{{"Identifier", id}});
        local.setFields(lf);
        remote.setFields(rf);
        ScopedLogCapture log;
        EXPECT_EQ(MergeEngine::goodMatchBetweenLocalDatafile(local, remote), c.match)
            << c.local.join(',').toStdString() << " / " << c.remote.join(',').toStdString();
        EXPECT_EQ(log.lines(), c.logged ? QStringList{"no good match\n"} : QStringList{});
    }
}

TEST_F(MergeEngineTest, Merge_ZeroFieldsOnBothSides_CopiesTheTextOnly)
{
    fill(m_local, {}, {{"r", {}, "old", false}});
    fill(m_remote, {}, {{"r", {}, "new", true}});
    EXPECT_TRUE(MergeEngine::goodMatchBetweenLocalDatafile(m_local, m_remote));
    merge();
    EXPECT_EQ(local("r")->textString(), "new");
    EXPECT_TRUE(local("r")->fields().isEmpty());
}

} // namespace
