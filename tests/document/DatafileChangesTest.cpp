#include "DatafileChanges.h"

#include "DocumentFixture.h"

#include "Clock.h"
#include "DatafileDocument.h"
#include "DatafileFormat.h"
#include "NotificationCenter.h"
#include "WindowController.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

const PlistDate Then{1000.0};
const PlistDate Now{2000.0};

// One document without any window, its two records stamped long ago by someone else.
class DatafileChangesTest : public DocumentFixture {
protected:
    void SetUp() override
    {
        DocumentFixture::SetUp();
        Clock::setNowForTesting([] { return Now; });
        UserInfo::setFullUserNameForTesting(QStringLiteral("Tester"));
        m_document.datafileSettings()->setFields(
            PlistArray{PlistDictionary{{"Identifier", "N"}, {"Name", "Name"}},
                       PlistDictionary{{"Identifier", "C"}, {"Name", "City"}}});
        for (const char* name : {"Ann", "Bob"}) {
            const std::shared_ptr<RecordData> record =
                RecordData::record(PlistDictionary{{"N", name}}, QString::fromLatin1(name));
            record->setModifiedDate(Then);
            record->setModifiedBy(QStringLiteral("Someone"));
            m_document.datafileRecords()->setRecord(record, record->identifier());
            m_document.datafileCatalog()->insertIdentifierAtEnd(record->identifier());
            m_records.append(record);
        }
        m_document.datafileCatalog()->rebuildSelectedIdentifiers();
        NotificationCenter& center = NotificationCenter::defaultCenter();
        for (const QString& name :
             {DatafileChanges::DidChangeRecordNotification, DatafileChanges::DidAddRecordNotification,
              DatafileChanges::DidAddRecordsNotification,
              DatafileChanges::WillDeleteRecordNotification}) {
            m_observers.push_back(center.addObserver(
                name, &m_document, [this](const Notification& note) { m_posted.append(note); }));
        }
    }

    void TearDown() override
    {
        m_observers.clear();
        DocumentFixture::TearDown();
    }

    // The notices posted since the last call, each as its name and the identifiers it names.
    QStringList posted()
    {
        QStringList notices;
        for (const Notification& note : std::exchange(m_posted, {})) {
            QStringList named;
            for (const QString& key :
                 {DatafileChanges::IdentifierKey, DatafileChanges::NewIdentifierKey})
                if (note.userInfo.contains(key))
                    named.append(nameOf(note.userInfo.value(key).toString()));
            for (const QString& key :
                 {DatafileChanges::IdentifiersKey, DatafileChanges::NewIdentifiersKey})
                for (const QString& identifier : note.userInfo.value(key).toStringList())
                    named.append(nameOf(identifier));
            notices.append(note.name + " " + named.join(','));
        }
        return notices;
    }

    // A record's "N" value, or "new" for one without.
    QString nameOf(const QString& identifier) const
    {
        const std::shared_ptr<RecordData> record =
            m_document.datafileRecords()->recordForIdentifier(identifier);
        const QString name = record ? record->fields().stringForKey("N") : QString();
        return name.isEmpty() ? QStringLiteral("new") : name;
    }

    DatafileDocument m_document;
    DatafileChanges& m_changes = m_document.changes();
    QList<std::shared_ptr<RecordData>> m_records;
    std::vector<NotificationObserver> m_observers;
    QList<Notification> m_posted;
};

TEST_F(DatafileChangesTest, EveryWrite_StampsMarksAndPostsOnce_AndAnUnchangedOneDoesNothing)
{
    struct Case {
        const char* name;
        std::function<bool(const std::shared_ptr<RecordData>&)> write;
        DatafileChanges::Kind kind;
    };
    const std::vector<Case> cases{
        {"a field typed",
         [&](const auto& r) { return m_changes.writeField(r, "C", "Oslo", DatafileChanges::Kind::Edit); },
         DatafileChanges::Kind::Edit},
        {"a field of a bulk operation",
         [&](const auto& r) { return m_changes.writeField(r, "C", "Oslo", DatafileChanges::Kind::Bulk); },
         DatafileChanges::Kind::Bulk},
        {"a text typed",
         [&](const auto& r) {
             return m_changes.writeText(r, "new text", QByteArray("rich"), DatafileChanges::Kind::Edit);
         },
         DatafileChanges::Kind::Edit},
        {"a text of a bulk operation",
         [&](const auto& r) {
             return m_changes.writeText(r, "new text", QByteArray("rich"), DatafileChanges::Kind::Bulk);
         },
         DatafileChanges::Kind::Bulk},
        {"a text committed from the view",
         [&](const auto& r) {
             return m_changes.writeText(r, "new text", QByteArray("rich"), DatafileChanges::Kind::Commit);
         },
         DatafileChanges::Kind::Commit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::shared_ptr<RecordData> record = RecordData::record(PlistDictionary{{"N", "Cy"}}, "");
        record->setModifiedDate(Then);
        record->setNeedsSync(false);
        m_document.datafileRecords()->setRecord(record, record->identifier());
        m_document.updateChangeCount(Document::ChangeType::Cleared);
        posted();

        EXPECT_TRUE(c.write(record));
        EXPECT_EQ(record->modifiedDate(), c.kind == DatafileChanges::Kind::Edit ? Now : Then);
        EXPECT_EQ(record->needsSync(), c.kind != DatafileChanges::Kind::Commit);
        // The view's own commit follows typing that marked the datafile already.
        EXPECT_EQ(m_document.isDocumentEdited(), c.kind != DatafileChanges::Kind::Commit);
        EXPECT_EQ(posted(), QStringList{"DidChangeRecordNotification Cy"});

        // The same write again changes nothing, tells nobody and leaves the stamp.
        m_document.updateChangeCount(Document::ChangeType::Cleared);
        record->setModifiedDate(Then);
        EXPECT_FALSE(c.write(record));
        EXPECT_EQ(record->modifiedDate(), Then);
        EXPECT_FALSE(m_document.isDocumentEdited());
        EXPECT_TRUE(posted().isEmpty());
    }
}

TEST_F(DatafileChangesTest, WriteField_CleansBreaks_AndAnEmptyValueWhereNoneIsStoredIsNoChange)
{
    const std::shared_ptr<RecordData>& ann = m_records[0];
    EXPECT_FALSE(m_changes.writeField(ann, "C", "", DatafileChanges::Kind::Edit));
    EXPECT_FALSE(m_changes.writeField(ann, "", "x", DatafileChanges::Kind::Edit));
    EXPECT_FALSE(m_changes.writeField(nullptr, "C", "x", DatafileChanges::Kind::Edit));
    EXPECT_TRUE(posted().isEmpty());

    // The record's own dictionary changes, so whoever holds it sees the value.
    const PlistDictionary held = ann->fields();
    EXPECT_TRUE(m_changes.writeField(ann, "C", "a\tb\nc\u2028d", DatafileChanges::Kind::Edit));
    EXPECT_EQ(held.stringForKey("C"), "a b c d");
    // Typed again as it was before cleaning: the stored value already is that.
    EXPECT_FALSE(m_changes.writeField(ann, "C", "a b\rc d", DatafileChanges::Kind::Edit));
}

TEST_F(DatafileChangesTest, WriteText_AMobileDatafileKeepsThePlainTextAlone_AndNeverMakesTheRichText)
{
    const std::shared_ptr<RecordData>& ann = m_records[0];
    m_document.setIsMobile(true);
    int made = 0;
    const auto rich = [&made] {
        ++made;
        return QByteArray("rich");
    };
    EXPECT_TRUE(m_changes.writeText(ann, "plain", rich, DatafileChanges::Kind::Edit));
    EXPECT_EQ(ann->textString(), "plain");
    EXPECT_TRUE(ann->textRTFD().isEmpty());
    EXPECT_EQ(made, 0);
    // Only the rich text differing is no change there.
    EXPECT_FALSE(m_changes.writeText(ann, "plain", rich, DatafileChanges::Kind::Edit));

    // A desktop datafile: the rich text alone differing is a change.
    m_document.setIsMobile(false);
    EXPECT_TRUE(m_changes.writeText(ann, "plain", rich, DatafileChanges::Kind::Edit));
    EXPECT_EQ(ann->textRTFD(), "rich");
    EXPECT_EQ(made, 1);
}

TEST_F(DatafileChangesTest, WhileSyncing_ChangesAreToldButTheDatafileIsNotMarked)
{
    class SyncingEditor : public WindowController, public DatafileEditor {
    public:
        bool canSaveChanges() const override { return true; }
        bool nowSyncing() const override { return true; }
        bool hasSyncID() const override { return true; }
        int openTemplateCount() const override { return 0; }
        QString windowTitle() const override { return {}; }
        void commitEdits() override {}
        void prepare() override {}
        void setIsClone(bool) override {}
        void reloadTables() override {}
    };
    m_document.addWindowController(std::make_unique<SyncingEditor>());
    EXPECT_TRUE(m_changes.writeField(m_records[0], "C", "Rome", DatafileChanges::Kind::Bulk));
    EXPECT_FALSE(m_document.isDocumentEdited());
    EXPECT_EQ(posted(), QStringList{"DidChangeRecordNotification Ann"});
}

TEST_F(DatafileChangesTest, AddRecord_PlacedAfterTheRecord_FilledAndAnnouncedOnce)
{
    const std::shared_ptr<RecordData> added =
        m_changes.addRecord(m_records[0]->identifier(), [&](const auto& record, qsizetype) {
            m_changes.writeField(record, "N", "Cy", DatafileChanges::Kind::Bulk);
        });
    ASSERT_TRUE(added);
    EXPECT_EQ(m_document.datafileRecords()->recordForIdentifier(added->identifier()), added);
    EXPECT_EQ(m_document.datafileCatalog()->selectedIdentifiers(),
              QStringList({m_records[0]->identifier(), added->identifier(), m_records[1]->identifier()}));
    EXPECT_TRUE(m_document.isDocumentEdited());
    // Its content comes with the addition, not as a change of its own.
    EXPECT_EQ(posted(), QStringList{"DidAddRecordNotification Cy"});

    // No record to follow: at the end.
    const std::shared_ptr<RecordData> last = m_changes.addRecord(QString());
    EXPECT_EQ(m_document.datafileCatalog()->selectedIdentifiers().last(), last->identifier());
    EXPECT_EQ(posted(), QStringList{"DidAddRecordNotification new"});
}

TEST_F(DatafileChangesTest, AddRecords_AtEitherEnd_InOrder_OneNoticeForAll)
{
    for (const auto placement : {DatafileChanges::Placement::AtEnd, DatafileChanges::Placement::AtBeginning}) {
        const bool atEnd = placement == DatafileChanges::Placement::AtEnd;
        SCOPED_TRACE(atEnd ? "at the end" : "at the beginning");
        const QStringList before = m_document.datafileCatalog()->selectedIdentifiers();
        const QList<std::shared_ptr<RecordData>> added =
            m_changes.addRecords(3, placement, [&](const auto& record, qsizetype index) {
                m_changes.writeField(record, "N", QStringLiteral("R%1").arg(index),
                                     DatafileChanges::Kind::Bulk);
                m_changes.writeText(record, "text", QByteArray(), DatafileChanges::Kind::Bulk);
            });
        ASSERT_EQ(added.size(), 3);
        QStringList addedIdentifiers;
        for (const std::shared_ptr<RecordData>& record : added)
            addedIdentifiers.append(record->identifier());
        EXPECT_EQ(m_document.datafileCatalog()->selectedIdentifiers(),
                  atEnd ? before + addedIdentifiers : addedIdentifiers + before);
        EXPECT_EQ(posted(), QStringList{"DidAddRecordsNotification R0,R1,R2"});
    }
    EXPECT_TRUE(m_changes.addRecords(0, DatafileChanges::Placement::AtEnd).isEmpty());
    EXPECT_TRUE(posted().isEmpty());
}

TEST_F(DatafileChangesTest, RemoveRecords_TellFirst_KeepTombstonesOfASyncedDatafile)
{
    m_document.datafileSettings()->setSyncID(QStringLiteral("SYNC"));
    const QString ann = m_records[0]->identifier();
    const QString bob = m_records[1]->identifier();
    QStringList heldWhenTold;
    const NotificationObserver observer = NotificationCenter::defaultCenter().addObserver(
        DatafileChanges::WillDeleteRecordNotification, &m_document, [&](const Notification& note) {
            const QString identifier = note.userInfo.value(DatafileChanges::IdentifierKey).toString();
            if (m_document.datafileRecords()->recordForIdentifier(identifier))
                heldWhenTold.append(identifier);
        });
    m_changes.removeRecords({m_records[1], m_records[0]});
    EXPECT_EQ(heldWhenTold, QStringList({bob, ann}));
    EXPECT_EQ(m_document.datafileRecords()->count(), 0);
    EXPECT_EQ(m_document.datafileCatalog()->count(), 0);
    EXPECT_EQ(PlistValue(m_document.datafileSettings()->deletedIdentifiers()), PlistValue(PlistArray({bob, ann})));
}

TEST_F(DatafileChangesTest, Batch_AnnouncesItsChangesOnceAtTheEnd_AndNothingWhenUnwinding)
{
    {
        DatafileChanges::Batch outer(m_changes);
        {
            DatafileChanges::Batch inner(m_changes);
            m_changes.writeField(m_records[0], "C", "Oslo", DatafileChanges::Kind::Bulk);
            m_changes.writeField(m_records[0], "C", "Rome", DatafileChanges::Kind::Bulk);
        }
        m_changes.writeText(m_records[1], "other", QByteArray(), DatafileChanges::Kind::Bulk);
        EXPECT_TRUE(posted().isEmpty());
    }
    EXPECT_EQ(posted(), QStringList{"DidChangeRecordNotification Ann,Bob"});

    {
        DatafileChanges::Batch batch(m_changes);
        m_changes.writeField(m_records[1], "C", "Oslo", DatafileChanges::Kind::Bulk);
    }
    EXPECT_EQ(posted(), QStringList{"DidChangeRecordNotification Bob"});

    EXPECT_THROW(
        {
            DatafileChanges::Batch batch(m_changes);
            m_changes.writeField(m_records[1], "C", "Paris", DatafileChanges::Kind::Bulk);
            throw std::runtime_error("interrupted");
        },
        std::runtime_error);
    EXPECT_TRUE(posted().isEmpty());
    // A later change is told again at once.
    m_changes.writeField(m_records[1], "C", "Lima", DatafileChanges::Kind::Bulk);
    EXPECT_EQ(posted(), QStringList{"DidChangeRecordNotification Bob"});
}

TEST_F(DatafileChangesTest, WithoutAWindow_ChangesAndAThousandNewRecords_AreSavedWithTheirStamps)
{
    const QString path = m_dir.filePath("Sync.nv3");
    m_document.updateChangeCount(Document::ChangeType::Done);
    ASSERT_TRUE(m_document.saveToURL(QUrl::fromLocalFile(path), DatafileDocument::ProDatafileType,
                                     Document::SaveOperation::Save));

    DatafileDocument opened;
    ASSERT_TRUE(opened.readFromURL(QUrl::fromLocalFile(path), DatafileDocument::ProDatafileType));
    ASSERT_TRUE(opened.windowControllers().empty());
    DatafileChanges& changes = opened.changes();
    const std::shared_ptr<RecordData> ann =
        opened.datafileRecords()->recordForIdentifier(m_records[0]->identifier());
    ASSERT_TRUE(ann);
    ASSERT_EQ(ann->modifiedDate(), Then);
    EXPECT_TRUE(changes.writeField(ann, "C", "Oslo", DatafileChanges::Kind::Edit));
    const std::shared_ptr<RecordData> bob =
        opened.datafileRecords()->recordForIdentifier(m_records[1]->identifier());
    bob->setNeedsSync(false);
    EXPECT_TRUE(changes.writeText(bob, "from the phone", QByteArray("rich"), DatafileChanges::Kind::Bulk));
    changes.addRecords(1000, DatafileChanges::Placement::AtEnd, [&](const auto& record, qsizetype index) {
        changes.writeField(record, "N", QStringLiteral("Synced %1").arg(index), DatafileChanges::Kind::Edit);
    });
    EXPECT_TRUE(opened.isDocumentEdited());
    ASSERT_TRUE(opened.saveToURL(QUrl::fromLocalFile(path), DatafileDocument::ProDatafileType,
                                 Document::SaveOperation::Save));
    EXPECT_FALSE(opened.isDocumentEdited());

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const DatafileFormat::Result<DatafileFormat::Contents> read = DatafileFormat::read(file);
    ASSERT_TRUE(read.ok());
    const DatafileFormat::Contents& back = *read.value;
    EXPECT_TRUE(back.catalogMatchesRecords);
    ASSERT_EQ(back.records->count(), 1002);
    const std::shared_ptr<RecordData> annBack = back.records->recordForIdentifier(ann->identifier());
    EXPECT_EQ(annBack->fields().stringForKey("C"), "Oslo");
    EXPECT_EQ(annBack->modifiedDate(), Now);
    EXPECT_EQ(annBack->modifiedBy(), "Tester");
    EXPECT_TRUE(annBack->needsSync());
    const std::shared_ptr<RecordData> bobBack = back.records->recordForIdentifier(bob->identifier());
    EXPECT_EQ(bobBack->textString(), "from the phone");
    EXPECT_EQ(bobBack->textRTFD(), "rich");
    EXPECT_EQ(bobBack->modifiedDate(), Then);
    EXPECT_TRUE(bobBack->needsSync());
    // The new records in the order they were added, after the two, each with its stamp.
    ASSERT_EQ(back.catalog.size(), 1002);
    for (qsizetype index = 0; index < 1000; ++index) {
        const QString identifier =
            back.catalog.at(index + 2).asDictionary()->stringForKey(QStringLiteral("Identifier"));
        const std::shared_ptr<RecordData> record = back.records->recordForIdentifier(identifier);
        ASSERT_TRUE(record) << index;
        EXPECT_EQ(record->fields().stringForKey("N"), QStringLiteral("Synced %1").arg(index));
        EXPECT_EQ(record->modifiedDate(), Now);
        EXPECT_TRUE(record->needsSync());
    }
}

} // namespace
