#include "DatafileDocument.h"

#include "DocumentFixture.h"

#include "BackgroundRelease.h"
#include "DocumentController.h"
#include "FileURL.h"
#include "PropertyList.h"
#include "SafeFileWriter.h"
#include "SystemLog.h"
#include "ScriptedPresenter.h"
#include "UserDefaults.h"
#include "WindowController.h"

#include "NotificationCenter.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// The editor window as the document sees it, answering as each test sets it.
class FakeEditor : public WindowController, public DatafileEditor {
public:
    bool canSave = true;
    bool syncing = false;
    int templates = 0;
    int prepared = 0;
    int committed = 0;

    bool canSaveChanges() const override { return canSave; }
    bool nowSyncing() const override { return syncing; }
    bool hasSyncID() const override
    {
        auto* datafile = static_cast<DatafileDocument*>(document());
        return !datafile->datafileSettings()->syncID().isEmpty();
    }
    int openTemplateCount() const override { return templates; }
    QString windowTitle() const override { return document()->displayName(); }
    bool autoSaves = false;
    void commitEdits() override
    {
        ++committed;
        if (autoSaves)
            static_cast<DatafileDocument*>(document())->saveDocument();
    }
    void prepare() override { ++prepared; }
    void setIsClone(bool) override {}
    void reloadTables() override {}
};

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

PlistDictionary readDatafile(const QString& path)
{
    const PlistReadResult read = readPropertyList(contents(path));
    return read.value.isDictionary() ? *read.value.asDictionary() : PlistDictionary();
}

class DatafileDocumentTest : public DocumentFixture {
protected:
    void SetUp() override
    {
        DocumentFixture::SetUp();
        DatafileDocument::setEditorFactory(
            [](DatafileDocument&) { return std::make_unique<FakeEditor>(); });
        DatafileDocument::setDidWriteHook([this] { ++m_writesNoted; });
        registerTypes();
    }

    void TearDown() override
    {
        processTimers(); // the deferred work of this test's writes
        DocumentFixture::TearDown();
    }

    static void registerTypes()
    {
        static bool registered = false;
        if (registered)
            return;
        registered = true;
        for (const auto& [name, extension] :
             {std::pair{DatafileDocument::ProDatafileType, "nv3"},
              std::pair{DatafileDocument::MobileDatafileType, "nvm"}}) {
            DocumentController::shared().registerDocumentType(
                {name, {extension}, [] { return std::make_unique<DatafileDocument>(); }});
        }
    }

    DatafileDocument* open(const QString& path)
    {
        return static_cast<DatafileDocument*>(
            DocumentController::shared().openDocumentWithContentsOfURL(QUrl::fromLocalFile(path),
                                                                       false));
    }

    static FakeEditor* editorOf(DatafileDocument* document)
    {
        return static_cast<FakeEditor*>(document->windowControllers().front().get());
    }

    int m_writesNoted = 0;
};

} // namespace

TEST_F(DatafileDocumentTest, Open_DatafileFromAnotherSerializer_AndSaveItUnchanged)
{
    const QString path = copyFixture("good.nv3");
    DatafileDocument* document = open(path);
    ASSERT_TRUE(document);
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    EXPECT_FALSE(document->isMobile());
    EXPECT_EQ(document->datafileRecords()->count(), 2);
    EXPECT_EQ(document->datafileSettings()->fields().size(), 2);
    EXPECT_EQ(document->datafileSettings()->mode(), "List");
    // Opening selects every record; the stored selection is one step back.
    EXPECT_EQ(document->datafileCatalog()->countSelected(), 2);
    EXPECT_EQ(editorOf(document)->prepared, 1);
    EXPECT_FALSE(document->datafileSettings()->datafileSettingsDidChange());

    const PlistDictionary before = readDatafile(path);
    document->updateChangeCount(Document::ChangeType::Done);
    document->saveDocument();
    EXPECT_FALSE(document->isDocumentEdited());
    const PlistDictionary after = readDatafile(path);
    EXPECT_EQ(PlistValue(after.value("Records")), PlistValue(before.value("Records")));
    EXPECT_EQ(PlistValue(after.value("Settings")), PlistValue(before.value("Settings")));
    EXPECT_EQ(after.value("Catalog").asArray()->size(), 2);
    processTimers();
    EXPECT_EQ(m_writesNoted, 1);
}

TEST_F(DatafileDocumentTest, Open_FieldValuesADatafileCannotStore_AreDroppedSoSavesSucceed)
{
    const QString alice = QStringLiteral("A1A1A1A1-0000-4000-8000-000000000001");
    const QString nameField = QStringLiteral("3F2504E0-4F89-11D3-9A0C-0305E82C3301");
    const QString path = copyFixture("odd-field-values.nv3");
    ScopedLogCapture log;
    DatafileDocument* document = open(path);
    ASSERT_TRUE(document);
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    EXPECT_EQ(log.lines(), QStringList{"The datafile holds values it cannot store (null or UID) "
                                       "in \"Records\"; they are not used."});

    document->datafileRecords()->recordForIdentifier(alice)->setName("Alicia");
    document->updateChangeCount(Document::ChangeType::Done);
    document->saveDocument();
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    EXPECT_FALSE(document->isDocumentEdited());

    const PlistDictionary records = *readDatafile(path).value("Records").asDictionary();
    const PlistDictionary record = *records.value(alice).asDictionary();
    EXPECT_EQ(record.value("RecordName"), PlistValue("Alicia"));
    EXPECT_EQ(record.value("Fields"),
              PlistValue(PlistDictionary{{nameField, "Alice Smith"},
                                         {"LIST-FIELD", PlistArray{"a", "b"}}}));
    EXPECT_EQ(records.size(), 2);
    EXPECT_EQ(log.lines().size(), 1) << "logged when read, not when written";
}

TEST_F(DatafileDocumentTest, Open_BadFiles_AreRefusedWithAnAlertNamingTheFile)
{
    struct Case {
        const char* fixture;
        QString reason;
    };
    const Case cases[] = {
        {"newer-format.nv3", "The datafile was written by a newer version of Norva."},
        {"no-settings.nv3", "The datafile has no settings."},
        {"records-not-dictionary.nv3", "The datafile has no records."},
        {"record-not-dictionary.nv3",
         "The record A1A1A1A1-0000-4000-8000-000000000001 is damaged."},
        {"catalog-not-array.nv3", "The datafile's record order is damaged."},
        {"not-a-datafile.nv3", "The file is not a datafile."},
        {"truncated.nv3",
         "The file is not a datafile or is damaged (expected an element (line 25, byte 700))"},
        {"missing.nv3", "The file could not be read: No such file"},
        // Opening a pipe would wait for a writer that never comes.
        {"pipe.nv3", "The file could not be read: it is not a regular file."},
    };
    ASSERT_EQ(mkfifo(QFile::encodeName(m_dir.filePath("pipe.nv3")).constData(), 0600), 0);
    for (const Case& c : cases) {
        m_presenter.clear();
        const bool made = c.fixture == QStringLiteral("missing.nv3") ||
                          c.fixture == QStringLiteral("pipe.nv3");
        const QString path = made ? m_dir.filePath(c.fixture) : copyFixture(c.fixture);
        EXPECT_EQ(open(path), nullptr) << c.fixture;
        ASSERT_EQ(m_presenter.alerts().size(), 1) << c.fixture;
        EXPECT_EQ(m_presenter.lastAlert().request.messageText,
                  QStringLiteral("The document “%1” could not be opened.").arg(c.fixture));
        EXPECT_TRUE(m_presenter.lastAlert().request.informativeText.startsWith(c.reason))
            << c.fixture << ": " << m_presenter.lastAlert().request.informativeText.toStdString();
    }
    EXPECT_TRUE(DocumentController::shared().documents().empty());
}

TEST_F(DatafileDocumentTest, RepairPrompt_CountsAndButtons)
{
    struct Case {
        const char* fixture;
        QString message;
    };
    const Case cases[] = {
        {"no-catalog.nv3", "no-catalog.nv3 shows 0 records, but actually contains 2."},
        {"extra-entry.nv3", "extra-entry.nv3 shows 3 records, but actually contains 2."},
        {"wrong-entry.nv3", "wrong-entry.nv3 shows 2 records, but actually contains 2."},
    };
    for (const Case& c : cases) {
        m_presenter.clear();
        m_presenter.answerAlertWithButton("Don't Correct");
        const QString path = copyFixture(c.fixture);
        const QByteArray original = contents(path);
        DatafileDocument* document = open(path);
        ASSERT_TRUE(document) << c.fixture;
        ASSERT_EQ(m_presenter.alerts().size(), 1);
        const AlertRequest& prompt = m_presenter.lastAlert().request;
        EXPECT_EQ(prompt.messageText, c.message);
        EXPECT_EQ(prompt.informativeText,
                  "Norva can correct this, but the record order will be changed in the process.\n\n"
                  "Do you want to correct the problem?");
        EXPECT_EQ(prompt.buttons, QStringList({"Correct the Problem", "Don't Correct"}));
        EXPECT_FALSE(document->correctedCatalog());
        EXPECT_EQ(contents(path), original) << "not corrected: not saved";
        document->close();
    }
    m_presenter.clear();
    DatafileDocument* empty = open(copyFixture("empty.nv3"));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

TEST_F(DatafileDocumentTest, RepairPrompt_CorrectingListsEveryRecordAndSavesOnce)
{
    const QString path = copyFixture("no-catalog.nv3");
    m_presenter.answerAlertWithButton("Correct the Problem");
    DatafileDocument* document = open(path);
    ASSERT_TRUE(document);
    EXPECT_TRUE(document->correctedCatalog());
    EXPECT_EQ(document->datafileCatalog()->countSelected(), 2);
    const PlistArray catalog = *readDatafile(path).value("Catalog").asArray();
    ASSERT_EQ(catalog.size(), 2);
    for (const PlistValue& entry : catalog) {
        EXPECT_EQ(entry.asDictionary()->value("CurrentlySelected"), PlistValue(true));
        EXPECT_EQ(entry.asDictionary()->value("PreviouslySelected"), PlistValue(true));
    }
}

TEST_F(DatafileDocumentTest, RepairPrompt_ComesOnceTheDatafileIsOpen_NotWhileItIsRead)
{
    const QString path = copyFixture("no-catalog.nv3");
    DatafileDocument read;
    ASSERT_TRUE(read.readFromURL(QUrl::fromLocalFile(path), DatafileDocument::ProDatafileType));
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    EXPECT_EQ(read.datafileRecords()->count(), 2);

    // Opened, and read again by a revert, it asks each time, with the records there.
    m_presenter.answerAlertWithButton("Don't Correct");
    m_presenter.answerAlertWithButton("Correct the Problem");
    DatafileDocument* document = open(path);
    ASSERT_TRUE(document);
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_FALSE(document->correctedCatalog());
    ASSERT_TRUE(document->revertToContentsOfURL(QUrl::fromLocalFile(path),
                                                DatafileDocument::ProDatafileType));
    ASSERT_EQ(m_presenter.alerts().size(), 2);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "no-catalog.nv3 shows 0 records, but actually contains 2.");
    EXPECT_TRUE(document->correctedCatalog());
    EXPECT_EQ(document->datafileCatalog()->countSelected(), 2);
}

TEST_F(DatafileDocumentTest, OpenedWithoutAWindow_KnowsWhyItIsReadOnlyAndHoldsItsLockUntilItCloses)
{
    using Reason = DatafileDocument::ReadOnlyReason;
    DatafileDocument::setEditorFactory(nullptr);
    const QByteArray foreign = "/elsewhere/bin/norva";
    struct Case {
        const char* fixture;
        bool lockedElsewhere;
        Reason reason;
        bool holdsLock;
    };
    const Case cases[] = {
        {"good.nv3", false, Reason::None, false},
        {"read-only.nv3", false, Reason::ReadOnlySetting, false},
        {"shared.nv3", false, Reason::None, true},
        {"shared.nv3", true, Reason::LockedElsewhere, false},
    };
    for (const Case& c : cases) {
        const QString path = copyFixture(c.fixture);
        const QString lockPath = path + ".lock";
        QFile::remove(lockPath);
        if (c.lockedElsewhere) {
            QFile lock(lockPath);
            ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
            lock.write(foreign);
        }
        const QByteArray original = contents(path);
        DatafileDocument* document = open(path);
        ASSERT_TRUE(document) << c.fixture;
        EXPECT_TRUE(document->windowControllers().empty());
        EXPECT_EQ(document->readOnlyReason(), c.reason) << c.fixture;
        EXPECT_EQ(document->lockedOnOpening(), c.holdsLock) << c.fixture;
        EXPECT_EQ(document->globalLockFileName(), lockPath);
        if (c.holdsLock) {
            EXPECT_EQ(contents(lockPath), QCoreApplication::applicationFilePath().toUtf8());
        } else if (!c.lockedElsewhere) {
            EXPECT_FALSE(QFile::exists(lockPath)) << c.fixture;
        }

        // Held elsewhere, neither the settings nor the records are written.
        document->datafileSettings()->setDatafileSettingsDidChange(true);
        if (c.lockedElsewhere) {
            document->updateSettingsOnly();
            document->updateChangeCount(Document::ChangeType::Done);
            m_presenter.answerSavePanel(std::nullopt);
            document->saveDocument();
            EXPECT_TRUE(contents(path) == original);
        }
        document->close();
        EXPECT_EQ(QFile::exists(lockPath), c.lockedElsewhere) << c.fixture;
        if (c.lockedElsewhere) {
            EXPECT_EQ(contents(lockPath), foreign);
        }
    }
}

TEST_F(DatafileDocumentTest, Save_WithoutChangesOrWhenNotAllowed_WritesNothing)
{
    const QString path = copyFixture("good.nv3");
    const QByteArray original = contents(path);
    DatafileDocument* document = open(path);
    ASSERT_TRUE(document);
    document->saveDocument();
    processTimers();
    EXPECT_EQ(m_writesNoted, 0);

    document->updateChangeCount(Document::ChangeType::Done);
    editorOf(document)->syncing = true;
    document->saveDocument();
    editorOf(document)->syncing = false;
    editorOf(document)->canSave = false;
    document->saveDocument();
    EXPECT_EQ(contents(path), original);
    EXPECT_TRUE(document->isDocumentEdited());
}

TEST_F(DatafileDocumentTest, ReadOnlySetting_RefusesSavesButNotTheSettingsOnlySave)
{
    const QString path = copyFixture("good.nv3");
    DatafileDocument* document = open(path);
    ASSERT_TRUE(document);
    document->datafileSettings()->setReadOnly(true);
    EXPECT_FALSE(
        document->writeToURL(QUrl::fromLocalFile(path), DatafileDocument::ProDatafileType));

    document->datafileSettings()->setMode("Basic");
    document->datafileSettings()->setDatafileSettingsDidChange(true);
    document->updateSettingsOnly();
    EXPECT_FALSE(document->datafileSettings()->datafileSettingsDidChange());
    EXPECT_EQ(readDatafile(path).value("Settings").asDictionary()->value("Mode"),
              PlistValue("Basic"));

    // Opened read-only (another machine may hold it): the settings stay unsaved.
    document->setOpenedReadOnly(true);
    document->datafileSettings()->setMode("List");
    document->datafileSettings()->setDatafileSettingsDidChange(true);
    document->updateSettingsOnly();
    EXPECT_TRUE(document->datafileSettings()->datafileSettingsDidChange());
    EXPECT_EQ(readDatafile(path).value("Settings").asDictionary()->value("Mode"),
              PlistValue("Basic"));
}

TEST_F(DatafileDocumentTest, SettingsOnlySave_KeepsTheRecordsOnDisk)
{
    const QString path = copyFixture("good.nv3");
    const PlistValue recordsOnDisk = readDatafile(path).value("Records");
    DatafileDocument* document = open(path);
    ASSERT_TRUE(document);
    document->datafileRecords()->allRecords().front()->setName("Changed in memory");
    document->updateChangeCount(Document::ChangeType::Done);
    document->datafileSettings()->setTextColumnWidth(222);
    document->datafileSettings()->setDatafileSettingsDidChange(true);
    document->updateSettingsOnly();
    const PlistDictionary written = readDatafile(path);
    EXPECT_EQ(written.value("Records"), recordsOnDisk);
    EXPECT_EQ(written.value("Settings").asDictionary()->value("TextColumnWidth").floatValue(),
              222.0f);
    EXPECT_TRUE(document->isDocumentEdited());
}

TEST_F(DatafileDocumentTest, SaveAs_OfASyncedDatafile_ClearsTheSyncIdOnlyInTheCopy)
{
    DatafileDocument* document = open(copyFixture("synced.nv3"));
    ASSERT_TRUE(document);
    m_presenter.answerSavePanel(std::nullopt);
    document->saveDocumentAs();
    EXPECT_EQ(document->datafileSettings()->syncID(), "SYNC-1234");

    const QString copy = m_dir.filePath("Copy.nv3");
    m_defaults.setObject(FileURL::folderURLString(m_dir.path()), "DatafilesFolderURL");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(copy));
    document->saveDocumentAs();
    EXPECT_EQ(readDatafile(copy).value("Settings").asDictionary()->value("SyncID"), PlistValue(""));
    EXPECT_EQ(document->fileURL(), QUrl::fromLocalFile(copy));
    EXPECT_EQ(document->datafileSettings()->syncID(), "");
    // A datafile with a name proposes it; the draft name is for one that has none.
    EXPECT_EQ(m_presenter.savePanels().back().request.nameFieldValue, "synced.nv3");
    EXPECT_EQ(m_presenter.savePanels().back().request.directory,
              QFileInfo(m_dir.path()).canonicalFilePath());
}

TEST_F(DatafileDocumentTest, FailedWrite_KeepsTheOldFileAndTheEditedState)
{
    const QString path = copyFixture("good.nv3");
    const QByteArray original = contents(path);
    DatafileDocument* document = open(path);
    ASSERT_TRUE(document);
    document->updateChangeCount(Document::ChangeType::Done);
    document->datafileSettings()->setDatafileSettingsDidChange(true);
    SafeFileWriter::setFailAfterBytesForTesting(1000);
    document->saveDocument();
    EXPECT_EQ(contents(path), original);
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_TRUE(document->datafileSettings()->datafileSettingsDidChange());
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "The document “good.nv3” could not be saved.");
    EXPECT_TRUE(
        m_presenter.lastAlert().request.informativeText.contains("No space left on device"));
    processTimers();
    EXPECT_EQ(m_writesNoted, 0);
}

TEST_F(DatafileDocumentTest, Close_RefusedWhileATemplateDependsOnIt_AndReadOnlyAsksOnlyForAnEdit)
{
    DatafileDocument* document = open(copyFixture("good.nv3"));
    ASSERT_TRUE(document);
    editorOf(document)->templates = 1;
    document->updateChangeCount(Document::ChangeType::Done);
    bool closes = true;
    document->canCloseDocument([&](bool shouldClose) { closes = shouldClose; });
    EXPECT_FALSE(closes);
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    const ScriptedPresenter::ShownAlert& sheet = m_presenter.lastAlert();
    EXPECT_TRUE(sheet.sheet);
    EXPECT_EQ(sheet.request.messageText,
              "good.nv3 cannot be closed, because it is associated with an open template.");
    EXPECT_EQ(sheet.request.informativeText, "You must first close all templates that depend on "
                                             "this datafile for address block or field data.");
    EXPECT_EQ(sheet.request.buttons, QStringList({"OK"}));

    // Read-only and edited: the edit is not dropped without a question, and Save offers
    // a copy, as the file itself cannot take it.
    m_presenter.clear();
    document->setOpenedReadOnly(true);
    m_presenter.answerAlertWithButton("Save");
    m_presenter.answerSavePanel(std::nullopt);
    document->canCloseDocument([&](bool shouldClose) { closes = shouldClose; });
    EXPECT_FALSE(closes);
    EXPECT_EQ(m_presenter.alertMessages(),
              QStringList{"Do you want to save the changes made to the document “good.nv3”?"});
    EXPECT_EQ(m_presenter.savePanels().size(), 1);

    // Read-only and unedited: nothing to ask.
    m_presenter.clear();
    document->updateChangeCount(Document::ChangeType::Cleared);
    document->canCloseDocument([&](bool shouldClose) { closes = shouldClose; });
    EXPECT_TRUE(closes);
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

TEST_F(DatafileDocumentTest, Close_FreesTheRecordsOffTheMainThread)
{
    DatafileDocument* document = open(copyFixture("good.nv3"));
    ASSERT_TRUE(document);
    const std::weak_ptr<DatafileRecordsData> records = document->datafileRecords();
    ASSERT_GT(records.lock()->count(), 0);
    document->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    BackgroundRelease::waitUntilReleased();
    EXPECT_TRUE(records.expired());
}

TEST_F(DatafileDocumentTest, Validation_NothingWhileSyncingAndRevertOnlyWhenEdited)
{
    DatafileDocument* document = open(copyFixture("good.nv3"));
    ASSERT_TRUE(document);
    EXPECT_TRUE(document->validateAction("saveDocument:"));
    EXPECT_FALSE(document->validateAction("revertDocumentToSaved:"));
    document->updateChangeCount(Document::ChangeType::Done);
    EXPECT_TRUE(document->validateAction("revertDocumentToSaved:"));
    editorOf(document)->syncing = true;
    EXPECT_FALSE(document->validateAction("saveDocument:"));
    EXPECT_FALSE(document->validateAction("revertDocumentToSaved:"));
}

TEST_F(DatafileDocumentTest, Revert_RereadsTheFileWithoutSavingTheEdits)
{
    const QString path = copyFixture("good.nv3");
    const QByteArray original = contents(path);
    DatafileDocument* document = open(path);
    ASSERT_TRUE(document);
    int reverted = 0;
    NotificationObserver observer = NotificationCenter::defaultCenter().addObserver(
        DatafileDocument::RevertedDatafileWindow, document,
        [&](const Notification&) { ++reverted; });
    document->datafileRecords()->allRecords().front()->setName("Edited");
    document->updateChangeCount(Document::ChangeType::Done);
    // An editor that saves whenever it commits, as auto-save may.
    editorOf(document)->autoSaves = true;
    ASSERT_TRUE(document->revertToContentsOfURL(QUrl::fromLocalFile(path),
                                                DatafileDocument::ProDatafileType));
    EXPECT_EQ(editorOf(document)->committed, 1);
    EXPECT_EQ(contents(path), original);
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_EQ(reverted, 1);
    for (const auto& record : document->datafileRecords()->allRecords())
        EXPECT_NE(record->name(), "Edited");
}
