// A user's journeys through synchronisation: pairing a datafile with a sync file, changing
// both, merging them, resolving conflicts, and every way a sync can fail without costing
// a record.
#include "JourneyTestBase.h"
#include "SyncRecordsTesting.h"

#include "EnterPasswordSheetController.h"
#include "LocalSyncTransport.h"
#include "SafeFileWriter.h"
#include "SyncChoiceSheetController.h"
#include "SyncController.h"
#include "SyncTransport.h"
#include "SystemLog.h"
#include "SynchronizationController.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTableWidget>

namespace {

QString recordId(int number)
{
    return QStringLiteral("00000000-0000-4000-8000-%1").arg(number, 12, 10, QLatin1Char('0'));
}

class SyncJourneyTest : public JourneyTestBase {
protected:
    static QString shots() { return qEnvironmentVariable("NORVA_SHOTS", QDir::tempPath()); }

    void beforeLaunch() override
    {
        m_defaults.setInteger(SyncController::LocalMethod, SyncController::DefaultSynchMethodKey);
        QDir(m_dir.path()).mkdir(QStringLiteral("elsewhere"));
        m_localPath = m_dir.filePath("cards.nv3");
        m_syncPath = m_dir.filePath("elsewhere/cards.nv3");
        writeRecords(m_localPath, {"Name"},
                     {{"Ann", "a"}, {"Bob", "b"}, {"Cid", "c"}, {"Dee", "d"}});
    }

    // The datafile opened and paired with a new sync file in another folder.
    EditorWindowController* openAndPair()
    {
        EditorWindowController* editor = openWithCommand(m_localPath);
        if (!editor)
            return nullptr;
        m_presenter.answerSavePanel(QUrl::fromLocalFile(m_syncPath));
        EXPECT_TRUE(chooseMenuItem(editor->window(), "saveAsNewSyncFile:"));
        return editor;
    }

    // Datafile ▸ Synchronize with the sync file chosen in the panel, and the moment the
    // file is opened after it.
    void synchronize(EditorWindowController* editor, const QString& chosen)
    {
        m_presenter.answerOpenPanel({QUrl::fromLocalFile(chosen)});
        ASSERT_TRUE(chooseMenuItem(editor->window(), "synchronizeDatafiles:"));
        QTest::qWait(LocalSyncTransport::OpenDelay + 200);
    }

    // The sync file as another copy of the program left it, changed by the function.
    void changeSyncFile(const std::function<void(PlistDictionary& records, PlistArray& catalog,
                                                 PlistDictionary& settings)>& change)
    {
        PlistDictionary top = readDatafile(m_syncPath);
        PlistValue records = top.value("Records");
        PlistValue catalog = top.value("Catalog");
        PlistValue settings = top.value("Settings");
        change(*records.asDictionary(), *catalog.asArray(), *settings.asDictionary());
        QFile file(m_syncPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_TRUE(writePropertyList(top, file, PlistFormat::Xml));
    }

    void editLocally(EditorWindowController* editor, const QString& id, const QString& value)
    {
        editor->featureContext().changes().writeField(editor->engine().recordForIdentifier(id),
                                                      "F0", value, DatafileChanges::Kind::Edit);
    }

    static void save(EditorWindowController* editor)
    {
        QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
    }

    QString m_localPath;
    QString m_syncPath;
};

} // namespace

TEST_F(SyncJourneyTest, SaveAsNewSyncFile_UnpairedDatafile_BothFilesShareANewSyncIDAndTheFileIsRemembered)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    const PlistDictionary local = readDatafile(m_localPath);
    const PlistDictionary remote = readDatafile(m_syncPath);
    const QString syncID = local.value("Settings").asDictionary()->stringForKey("SyncID");
    EXPECT_EQ(syncID.size(), 36);
    EXPECT_EQ(remote.value("Settings").asDictionary()->stringForKey("SyncID"), syncID);
    EXPECT_EQ(m_defaults.stringForKey(m_localPath + "-sync"),
              QUrl::fromLocalFile(m_syncPath).toString());
    EXPECT_EQ(m_presenter.savePanels().last().request.nameFieldValue, editor->windowTitle());
    EXPECT_EQ(m_presenter.savePanels().last().request.allowedFileTypes, QStringList{"nv3"});
    EXPECT_TRUE(flagged(local).isEmpty());
    EXPECT_FALSE(editor->document()->isDocumentEdited());

    // Again: the alert first, and the pairing stays.
    m_presenter.answerAlertWithButton("Save As New");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(m_syncPath));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "saveAsNewSyncFile:"));
    EXPECT_EQ(m_presenter.alerts().last().request.messageText, "This datafile already has a Sync ID.");
    EXPECT_EQ(readDatafile(m_syncPath).value("Settings").asDictionary()->stringForKey("SyncID"), syncID);
}

TEST_F(SyncJourneyTest, Synchronize_ChangesOnBothSides_BothFilesHoldEveryChange)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    // There: Bob changed, Cid deleted, a new record.
    changeSyncFile([](PlistDictionary& records, PlistArray& catalog, PlistDictionary& settings) {
        setRemoteValue(records, recordId(2), "Bob there");
        records.remove(recordId(3));
        catalog.removeAt(2);
        settings.insert("DeletedRecords", PlistArray{recordId(3)});
        records.insert("NEW-THERE", PlistDictionary{{"RecordIdentifier", "NEW-THERE"},
                                                    {"Fields", PlistDictionary{{"F0", "Eve"}}},
                                                    {"TextString", "e"},
                                                    {"NeedsSync", true}});
        catalog.append(PlistDictionary{{"Identifier", "NEW-THERE"},
                                       {"CurrentlySelected", true},
                                       {"PreviouslySelected", true}});
    });
    // Here: Ann changed, Dee deleted, a new record.
    editLocally(editor, recordId(1), "Ann here");
    editor->engine().loadRecord(editor->engine().recordForIdentifier(recordId(4)));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "deleteRecordWithoutWarning:"));
    const std::shared_ptr<RecordData> added = editor->featureContext().changes().addRecord(recordId(1));
    editLocally(editor, added->identifier(), "Fay");
    // Unsaved: the user saves first.
    m_presenter.answerAlertWithButton("Save Changes");

    synchronize(editor, m_syncPath);

    EXPECT_EQ(m_presenter.alerts().last().request.messageText,
              "Save changes or Revert to previously saved state before proceeding?");
    const PlistDictionary local = readDatafile(m_localPath);
    const PlistDictionary remote = readDatafile(m_syncPath);
    EXPECT_EQ(valueIn(local, recordId(1)), "Ann here");
    EXPECT_EQ(valueIn(local, recordId(2)), "Bob there");
    EXPECT_EQ(valueIn(local, recordId(3)), "<no record>");
    EXPECT_EQ(valueIn(local, recordId(4)), "<no record>");
    EXPECT_EQ(valueIn(local, "NEW-THERE"), "Eve");
    EXPECT_EQ(valueIn(local, added->identifier()), "Fay");
    EXPECT_TRUE(flagged(local).isEmpty());
    EXPECT_TRUE(local.value("Settings").asDictionary()->value("DeletedRecords").asArray()->isEmpty());
    EXPECT_EQ(remote.value("Records"), local.value("Records"));
    EXPECT_EQ(remote.value("Catalog"), local.value("Catalog"));
    EXPECT_FALSE(editor->document()->isDocumentEdited());
    EXPECT_EQ(DocumentController::shared().documents().size(), 1u);

    // The next sync offers the same file.
    m_presenter.answerOpenPanel({});
    ASSERT_TRUE(chooseMenuItem(editor->window(), "synchronizeDatafiles:"));
    const OpenPanelRequest& panel = m_presenter.openPanels().last().request;
    EXPECT_EQ(panel.message, "Select a Datafile for Synchronization");
    EXPECT_EQ(panel.directory, m_dir.filePath("elsewhere"));
    EXPECT_EQ(panel.nameFieldValue, "cards.nv3");
    EXPECT_EQ(panel.fileTypes, QStringList{"nv3"});
}

TEST_F(SyncJourneyTest, Synchronize_TheDatafileItselfThroughALink_IsRefused)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    const QString link = m_dir.filePath("elsewhere/link.nv3");
    ASSERT_TRUE(QFile::link(m_localPath, link));
    const QByteArray before = contentsOf(m_localPath);

    synchronize(editor, link);

    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "You cannot synchronize a datafile with itself.");
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "Perhaps you intended to synchronize with a file with the same name, but in a "
              "different location.");
    EXPECT_EQ(contentsOf(m_localPath), before);
    EXPECT_EQ(DocumentController::shared().documents().size(), 1u);
}

TEST_F(SyncJourneyTest, Synchronize_SyncFileThatCannotBeMerged_AlertsAndWritesNothing)
{
    struct Case {
        const char* name;
        std::function<void(const QString& path)> spoil;
        const char* informative; // nullptr: any reason
    };
    const QList<Case> cases{
        {"not a datafile", [](const QString& path) {
             QFile file(path);
             file.open(QIODevice::WriteOnly | QIODevice::Truncate);
             file.write("this is no datafile");
         }, nullptr},
        {"truncated", [](const QString& path) {
             QFile file(path);
             file.open(QIODevice::ReadWrite);
             file.resize(file.size() / 2);
         }, nullptr},
        {"unreadable", [](const QString& path) {
             QFile::remove(path);
             QDir().mkdir(path);
         }, nullptr},
        {"other fields", [this](const QString& path) {
             writeRecords(path, {"Name", "City"}, {{"Ann", "Rome", "a"}});
         }, "The field structure of the selected datafile does not match."},
    };
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = m_dir.filePath(QStringLiteral("elsewhere/%1.nv3").arg(c.name));
        QFile::copy(m_syncPath, path);
        c.spoil(path);
        editLocally(editor, recordId(1), QStringLiteral("Ann ") + c.name);
        save(editor);
        const QByteArray local = contentsOf(m_localPath);
        const QByteArray remote = contentsOf(path);
        ScopedLogCapture log;

        synchronize(editor, path);

        EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Cannot synchronize");
        // A file that could not be opened is logged as well.
        if (!c.informative) {
            EXPECT_TRUE(log.lines().contains(QStringLiteral("Unable to open %1: Error: %2")
                                                 .arg(path, m_presenter.lastAlert().request.informativeText)))
                << log.lines().join('|').toStdString();
        }
        if (c.informative) {
            EXPECT_EQ(m_presenter.lastAlert().request.informativeText, c.informative);
        }
        EXPECT_EQ(contentsOf(m_localPath), local);
        EXPECT_EQ(contentsOf(path), remote);
        EXPECT_EQ(DocumentController::shared().documents().size(), 1u);
        EXPECT_FALSE(editor->progressPanel() && editor->progressPanel()->isVisible());
    }
}

TEST_F(SyncJourneyTest, Synchronize_LocalSaveFails_BothFilesStayByteIdentical)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    changeSyncFile([](PlistDictionary& records, PlistArray&, PlistDictionary&) {
        setRemoteValue(records, recordId(2), "Bob there");
    });
    const QByteArray local = contentsOf(m_localPath);
    const QByteArray remote = contentsOf(m_syncPath);
    SafeFileWriter::setFailAfterBytesForTesting(0);

    synchronize(editor, m_syncPath);

    SafeFileWriter::setFailAfterBytesForTesting(std::nullopt);
    EXPECT_EQ(contentsOf(m_localPath), local);
    EXPECT_EQ(contentsOf(m_syncPath), remote);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "The document “cards.nv3” could not be saved.");
}

TEST_F(SyncJourneyTest, Synchronize_WriteBackFails_SyncFileUntouchedAndTheNextSyncRepeatsCleanly)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    changeSyncFile([](PlistDictionary& records, PlistArray& catalog, PlistDictionary&) {
        setRemoteValue(records, recordId(2), "Bob there");
        records.insert("NEW-THERE", PlistDictionary{{"RecordIdentifier", "NEW-THERE"},
                                                    {"Fields", PlistDictionary{{"F0", "Eve"}}},
                                                    {"NeedsSync", true}});
        catalog.append(PlistDictionary{{"Identifier", "NEW-THERE"},
                                       {"CurrentlySelected", true},
                                       {"PreviouslySelected", true}});
    });
    editLocally(editor, recordId(1), "Ann here");
    save(editor);
    const QByteArray remote = contentsOf(m_syncPath);
    // The local datafile is saved; the sync file, written beside it, fails.
    SafeFileWriter::setFailCopyAfterBytesForTesting(0);

    synchronize(editor, m_syncPath);

    SafeFileWriter::setFailCopyAfterBytesForTesting(std::nullopt);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Error Saving Remote Datafile");
    EXPECT_TRUE(m_presenter.lastAlert().request.informativeText.startsWith("Error: "));
    EXPECT_EQ(contentsOf(m_syncPath), remote);
    // Saved once more, with the change made here still to be synchronised.
    editor->datafileDocument()->saveDocument();
    PlistDictionary local = readDatafile(m_localPath);
    EXPECT_EQ(flagged(local), QStringList{recordId(1)});
    EXPECT_EQ(valueIn(local, "NEW-THERE"), "Eve");

    // The same again, without the failure: nothing doubled, nothing of here overwritten.
    synchronize(editor, m_syncPath);
    local = readDatafile(m_localPath);
    EXPECT_EQ(local.value("Catalog").asArray()->size(), 5);
    EXPECT_EQ(valueIn(local, recordId(1)), "Ann here");
    EXPECT_EQ(valueIn(local, recordId(2)), "Bob there");
    EXPECT_TRUE(flagged(local).isEmpty());
    EXPECT_EQ(readDatafile(m_syncPath).value("Records"), local.value("Records"));
}

namespace {

// Conflicts: records changed here and there since the last sync.
class SyncConflictJourneyTest : public SyncJourneyTest {
protected:
    // Each numbered record changed on both sides; Bob only there.
    SynchronizationController* syncWithConflicts(EditorWindowController* editor,
                                                 const QList<int>& numbers)
    {
        changeSyncFile([&](PlistDictionary& records, PlistArray&, PlistDictionary&) {
            for (int number : numbers)
                setRemoteValue(records, recordId(number), QStringLiteral("there %1").arg(number));
            if (!numbers.contains(2))
                setRemoteValue(records, recordId(2), "Bob there");
        });
        for (int number : numbers)
            editLocally(editor, recordId(number), QStringLiteral("here %1").arg(number));
        save(editor);
        synchronize(editor, m_syncPath);
        return editor->syncController().synchronizationController();
    }

    static QString current(EditorWindowController* editor)
    {
        const std::shared_ptr<RecordData>& record = editor->engine().currentRecord();
        return record ? record->identifier() : QString();
    }
};

} // namespace

TEST_F(SyncConflictJourneyTest, OneConflict_FinishedThenDone_TheLocalVersionReachesBothFiles)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    SynchronizationController* conflicts = syncWithConflicts(editor, {1});
    ASSERT_TRUE(conflicts);
    EditorWindowController* remote = editor->syncController().remoteWindowController();
    ASSERT_TRUE(remote);
    EXPECT_TRUE(remote->window()->windowTitle().endsWith("-REMOTE"));
    EXPECT_TRUE(remote->nowSyncing());
    EXPECT_FALSE(remote->validateAction("addRecord:"));
    EXPECT_EQ(conflicts->window()->objectName(), "SynchronizationController");
    EXPECT_EQ(conflicts->creationMethod(), SyncController::LocalMethod);
    EXPECT_EQ(conflicts->unresolvedRecordIDs(), QStringList{recordId(1)});
    EXPECT_EQ(conflicts->recordListTable()->item(0, 0)->text(), "1");
    EXPECT_EQ(conflicts->recordListTable()->item(0, 1)->text(), "1");
    EXPECT_EQ(current(editor), recordId(1));
    EXPECT_EQ(current(remote), recordId(1));
    EXPECT_EQ(editor->settings()->mode(), "Basic");
    EXPECT_FALSE(conflicts->doneButton()->isEnabled());
    conflicts->window()->grab().save(shots() + "/sync-conflicts.png");
    remote->window()->grab().save(shots() + "/sync-remote.png");
    // Bob, changed only there, is here already.
    EXPECT_EQ(editor->engine().recordForIdentifier(recordId(2))->fields().stringForKey("F0"), "Bob there");

    QTest::mouseClick(conflicts->recordFinishedButton(), Qt::LeftButton);
    EXPECT_TRUE(conflicts->doneButton()->isEnabled());
    EXPECT_EQ(conflicts->recordListTable()->rowCount(), 0);
    QTest::mouseClick(conflicts->nextButton(), Qt::LeftButton);
    QTest::mouseClick(conflicts->previousButton(), Qt::LeftButton);
    EXPECT_EQ(conflicts->currentIndex(), 0);
    QTest::mouseClick(conflicts->doneButton(), Qt::LeftButton);

    const PlistDictionary local = readDatafile(m_localPath);
    EXPECT_EQ(valueIn(local, recordId(1)), "here 1");
    EXPECT_EQ(valueIn(local, recordId(2)), "Bob there");
    EXPECT_TRUE(flagged(local).isEmpty());
    EXPECT_EQ(readDatafile(m_syncPath).value("Records"), local.value("Records"));
    EXPECT_FALSE(editor->syncController().synchronizationController());
    EXPECT_EQ(DocumentController::shared().documents().size(), 1u);
}

TEST_F(SyncConflictJourneyTest, ThreeConflicts_NextPreviousAndFinished_WrapAround)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    SynchronizationController* conflicts = syncWithConflicts(editor, {1, 3, 4});
    ASSERT_TRUE(conflicts);
    EXPECT_EQ(conflicts->unresolvedRecordIDs(), (QStringList{recordId(1), recordId(3), recordId(4)}));
    EXPECT_EQ(conflicts->recordListTable()->item(2, 0)->text(), "4");
    QTest::mouseClick(conflicts->previousButton(), Qt::LeftButton);
    EXPECT_EQ(conflicts->currentIndex(), 2);
    EXPECT_EQ(current(editor), recordId(4));
    QTest::mouseClick(conflicts->nextButton(), Qt::LeftButton);
    EXPECT_EQ(conflicts->currentIndex(), 0);
    EXPECT_EQ(current(editor), recordId(1));
    QTest::mouseClick(conflicts->previousButton(), Qt::LeftButton);
    // The last one finished: the first becomes current.
    QTest::mouseClick(conflicts->recordFinishedButton(), Qt::LeftButton);
    EXPECT_EQ(conflicts->currentIndex(), 0);
    EXPECT_EQ(conflicts->unresolvedRecordIDs(), (QStringList{recordId(1), recordId(3)}));
    EXPECT_EQ(current(editor), recordId(1));
    EXPECT_FALSE(conflicts->doneButton()->isEnabled());
    // A click on the table's second row shows it.
    conflicts->recordListTable()->setCurrentCell(1, 0);
    conflicts->clickedTable();
    EXPECT_EQ(current(editor), recordId(3));
    EXPECT_EQ(current(editor->syncController().remoteWindowController()), recordId(3));
}

TEST_F(SyncConflictJourneyTest, Cancel_SyncFileUnchangedAndTheSameConflictsComeBack)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    SynchronizationController* conflicts = syncWithConflicts(editor, {1, 3});
    ASSERT_TRUE(conflicts);
    const QByteArray remote = contentsOf(m_syncPath);
    QTest::mouseClick(conflicts->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(editor->syncController().synchronizationController());
    EXPECT_EQ(contentsOf(m_syncPath), remote);
    EXPECT_EQ(DocumentController::shared().documents().size(), 1u);
    // What was taken over stays, unsaved.
    EXPECT_TRUE(editor->document()->isDocumentEdited());
    activate(editor->window());

    m_presenter.answerAlertWithButton("Save Changes");
    synchronize(editor, m_syncPath);
    conflicts = editor->syncController().synchronizationController();
    ASSERT_TRUE(conflicts);
    EXPECT_EQ(conflicts->unresolvedRecordIDs(), (QStringList{recordId(1), recordId(3)}));

    // Closing the remote window gives up as well.
    editor->syncController().remoteWindowController()->window()->close();
    QCoreApplication::processEvents();
    EXPECT_FALSE(editor->syncController().synchronizationController());
    EXPECT_EQ(contentsOf(m_syncPath), remote);
}

namespace {

// A transport that only tells what it was asked.
class RecordingTransport : public SyncTransport {
public:
    static inline QList<unsigned> created;
    int methodCode() const override { return SyncController::DropboxMethod; }
    void createSyncFile(SyncController& sync) override { created.append(sync.taskType()); }
    void fetchSyncFile(SyncController&, Fetched fetched) override { fetched(std::nullopt); }
    void writeBack(SyncController&, const QUrl&, WrittenBack done) override { done(std::nullopt); }
};

class SyncCommandsJourneyTest : public SyncJourneyTest {
protected:
    void TearDown() override
    {
        SyncController::registerTransport(SyncController::DropboxMethod, nullptr);
        SyncJourneyTest::TearDown();
    }
};

} // namespace

TEST_F(SyncCommandsJourneyTest, Menus_EnabledByTheSyncIDAndNeverInAClone)
{
    EditorWindowController* editor = openWithCommand(m_localPath);
    ASSERT_TRUE(editor);
    showMenusOf(editor->window());
    EXPECT_FALSE(menuItem(editor->window(), "synchronizeDatafiles:")->isEnabled());
    EXPECT_FALSE(menuItem(editor->window(), "removeSyncID:")->isEnabled());
    EXPECT_TRUE(menuItem(editor->window(), "saveAsNewSyncFile:")->isEnabled());
    EXPECT_EQ(menuItem(editor->window(), "saveAsNewSyncFile:")->text(), "Save As New Sync File…");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(m_syncPath));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "saveAsNewSyncFile:"));
    showMenusOf(editor->window());
    EXPECT_TRUE(menuItem(editor->window(), "synchronizeDatafiles:")->isEnabled());
    EXPECT_TRUE(menuItem(editor->window(), "removeSyncID:")->isEnabled());

    ASSERT_TRUE(chooseMenuItem(editor->window(), "openCloneWindow:"));
    auto* clone = static_cast<EditorWindowController*>(
        editor->document()->windowControllers().back().get());
    activate(clone->window());
    showMenusOf(clone->window());
    for (const char* selector : {"synchronizeDatafiles:", "removeSyncID:", "saveAsNewSyncFile:"})
        EXPECT_FALSE(menuItem(clone->window(), selector)->isEnabled()) << selector;
}

TEST_F(SyncCommandsJourneyTest, ChoiceSheet_AlwaysUseWithDropbox_StoresThreeAndAsksNoMore)
{
    m_defaults.setInteger(SyncController::AskEachTime, SyncController::DefaultSynchMethodKey);
    SyncController::setCanUseDropbox([] { return true; });
    SyncController::registerTransport(SyncController::DropboxMethod,
                                      [] { return std::make_unique<RecordingTransport>(); });
    RecordingTransport::created.clear();
    EditorWindowController* editor = openWithCommand(m_localPath);
    ASSERT_TRUE(editor);

    ASSERT_TRUE(chooseMenuItem(editor->window(), "saveAsNewSyncFile:"));
    auto* sheet = VKSheetController::topmostController<SyncChoiceNewSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->dropboxButton()->isEnabled());
    EXPECT_TRUE(sheet->wifiButton()->isEnabled());
    EXPECT_FALSE(sheet->alwaysUseCheckbox()->isChecked());
    sheet->window()->grab().save(shots() + "/sync-choice-new.png");
    // Cancelled first: nothing.
    QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
    EXPECT_TRUE(RecordingTransport::created.isEmpty());

    ASSERT_TRUE(chooseMenuItem(editor->window(), "saveAsNewSyncFile:"));
    sheet->alwaysUseCheckbox()->setChecked(true);
    QTest::mouseClick(sheet->dropboxButton(), Qt::LeftButton);
    EXPECT_EQ(m_defaults.integerForKey(SyncController::DefaultSynchMethodKey), 3);
    EXPECT_EQ(RecordingTransport::created, QList<unsigned>{1});
    const qsizetype sheetsShown = m_presenter.alerts().size();
    ASSERT_TRUE(chooseMenuItem(editor->window(), "saveAsNewSyncFile:"));
    EXPECT_FALSE(sheet->window()->isVisible());
    EXPECT_EQ(m_presenter.alerts().size(), sheetsShown);
    EXPECT_EQ(RecordingTransport::created, (QList<unsigned>{1, 1}));
}

TEST_F(SyncCommandsJourneyTest, ChoiceSheet_MobileDatafileWithoutDropbox_OldLayoutDropboxOff)
{
    SyncController::setCanUseDropbox([] { return false; });
    m_defaults.setInteger(SyncController::AskEachTime, SyncController::DefaultSynchMethodKey);
    const QString mobile = m_dir.filePath("mobile.nvm");
    writeRecords(mobile, {"Name"}, {{"Ann", "a"}});
    EditorWindowController* editor = openWithCommand(mobile);
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "saveAsNewSyncFile:"));
    auto* sheet = VKSheetController::topmostController<SyncChoiceOldSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_FALSE(sheet->dropboxButton()->isEnabled());
    EXPECT_TRUE(sheet->wifiButton()->isEnabled());
    sheet->window()->grab().save(shots() + "/sync-choice-old.png");
    // A file here, chosen without the box: asked again next time.
    m_presenter.answerSavePanel(QUrl::fromLocalFile(m_dir.filePath("elsewhere/mobile.nvm")));
    QTest::mouseClick(sheet->localButton(), Qt::LeftButton);
    EXPECT_EQ(m_defaults.integerForKey(SyncController::DefaultSynchMethodKey), 1);
    EXPECT_EQ(m_presenter.savePanels().last().request.allowedFileTypes, QStringList{"nvm"});
    EXPECT_TRUE(QFileInfo::exists(m_dir.filePath("elsewhere/mobile.nvm")));
}

TEST_F(SyncCommandsJourneyTest, SaveAsNew_DropboxDefaultWithASyncID_AsksThenCreatesWithTaskTypeOne)
{
    SyncController::registerTransport(SyncController::DropboxMethod,
                                      [] { return std::make_unique<RecordingTransport>(); });
    RecordingTransport::created.clear();
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    m_defaults.setInteger(SyncController::DropboxMethod, SyncController::DefaultSynchMethodKey);
    // Cancelled, then confirmed.
    m_presenter.answerAlertWithButton("Cancel");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "saveAsNewSyncFile:"));
    EXPECT_TRUE(RecordingTransport::created.isEmpty());
    m_presenter.answerAlertWithButton("Save As New");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "saveAsNewSyncFile:"));
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "Are you sure you want to create a new version?");
    EXPECT_EQ(m_presenter.lastAlert().request.buttons, (QStringList{"Save As New", "Cancel"}));
    EXPECT_EQ(RecordingTransport::created, QList<unsigned>{1});
    EXPECT_EQ(editor->syncController().taskType(), 1u);
}

TEST_F(SyncCommandsJourneyTest, RemoveSyncID_ThenCloseWithoutSaving_KeepsTheIDOnDiskAndForgetsTheFile)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    const QString syncID = editor->settings()->syncID();
    m_presenter.answerAlertWithButton("Remove It");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "removeSyncID:"));
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "Are you sure that you want to remove the Synchronization ID?");
    EXPECT_EQ(editor->settings()->syncID(), "");
    EXPECT_TRUE(editor->document()->isDocumentEdited());
    EXPECT_FALSE(m_defaults.stringForKey(m_localPath + "-sync"));
    m_presenter.answerAlertWithButton("Don’t Save");
    editor->window()->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(readDatafile(m_localPath).value("Settings").asDictionary()->stringForKey("SyncID"), syncID);
}

TEST_F(SyncCommandsJourneyTest, Synchronize_EditedThenRevert_SynchronisesTheSavedState)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    changeSyncFile([](PlistDictionary& records, PlistArray&, PlistDictionary&) {
        setRemoteValue(records, recordId(2), "Bob there");
    });
    editLocally(editor, recordId(1), "Ann unsaved");
    // Cancelled: nothing happens; then Revert.
    const qsizetype panels = m_presenter.openPanels().size();
    m_presenter.answerAlertWithButton("Cancel");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "synchronizeDatafiles:"));
    EXPECT_EQ(m_presenter.openPanels().size(), panels);
    EXPECT_EQ(m_presenter.lastAlert().request.buttons,
              (QStringList{"Save Changes", "Cancel", "Revert"}));
    m_presenter.answerAlertWithButton("Revert");
    synchronize(editor, m_syncPath);
    const PlistDictionary local = readDatafile(m_localPath);
    EXPECT_EQ(valueIn(local, recordId(1)), "Ann");
    EXPECT_EQ(valueIn(local, recordId(2)), "Bob there");
    EXPECT_EQ(readDatafile(m_syncPath).value("Records"), local.value("Records"));
}

TEST_F(SyncConflictJourneyTest, SyncFileWithAPassword_OpensWithoutAskingForIt)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    changeSyncFile([](PlistDictionary&, PlistArray&, PlistDictionary& settings) {
        settings.insert(DatafileSettingsData::MungeKey, "secret");
    });
    ASSERT_TRUE(syncWithConflicts(editor, {1}));
    // Past the moment a datafile's own window asks.
    QTest::qWait(1300);
    auto* asked = VKSheetController::topmostController<EnterPasswordSheetController>();
    EXPECT_FALSE(asked && asked->window()->isVisible());
    QTest::mouseClick(editor->syncController().synchronizationController()->cancelButton(),
                      Qt::LeftButton);
}

TEST_F(SyncJourneyTest, Synchronize_SyncFileOpenHereWithUnsavedChanges_StopsAndKeepsThem)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    EditorWindowController* other = openWithCommand(m_syncPath);
    ASSERT_TRUE(other);
    editLocally(other, recordId(1), "unsaved there");
    const QByteArray remote = contentsOf(m_syncPath);
    const QByteArray local = contentsOf(m_localPath);
    activate(editor->window());

    synchronize(editor, m_syncPath);

    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Cannot synchronize");
    EXPECT_TRUE(other->document()->isDocumentEdited());
    EXPECT_EQ(other->engine().recordForIdentifier(recordId(1))->fields().stringForKey("F0"),
              "unsaved there");
    EXPECT_EQ(contentsOf(m_syncPath), remote);
    EXPECT_EQ(contentsOf(m_localPath), local);
}

TEST_F(SyncCommandsJourneyTest, ChoiceSheet_Help_OpensTheSyncPage)
{
    m_defaults.setInteger(SyncController::AskEachTime, SyncController::DefaultSynchMethodKey);
    EditorWindowController* editor = openWithCommand(m_localPath);
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "saveAsNewSyncFile:"));
    auto* sheet = VKSheetController::topmostController<SyncChoiceNewSheetController>();
    ASSERT_TRUE(sheet);
    sheet->help();
    ASSERT_FALSE(m_presenter.openedUrls().isEmpty());
    EXPECT_TRUE(m_presenter.openedUrls().last().toString().endsWith("FileSync.html"));
    QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(editor->syncController().localSyncChoice(), SyncController::NoMethod);
}

TEST_F(SyncConflictJourneyTest, LocalWindowClosedWhileResolving_TheOtherWindowsGoAndNothingIsWritten)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    ASSERT_TRUE(syncWithConflicts(editor, {1}));
    const QByteArray remote = contentsOf(m_syncPath);
    const QByteArray local = contentsOf(m_localPath);
    m_presenter.answerAlertWithButton("Don’t Save");
    editor->window()->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(DocumentController::shared().documents().empty());
    EXPECT_EQ(contentsOf(m_syncPath), remote);
    EXPECT_EQ(contentsOf(m_localPath), local);
}
