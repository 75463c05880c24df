// A user's journeys through the File and Edit menus of the program as main() runs it.
#include "JourneyTestBase.h"

#include "ActionRouter.h"
#include "Application.h"
#include "EditorTableController.h"
#include "FieldCellEditor.h"
#include "FreeformTextView.h"
#include "InstanceChannel.h"
#include "RXTableView.h"
#include "SystemLog.h"

#include <QClipboard>
#include <QSignalSpy>

#include <atomic>
#include <thread>

namespace {

const QString nameField = QStringLiteral("3F2504E0-4F89-11D3-9A0C-0305E82C3301");
const QString phoneField = QStringLiteral("3F2504E0-4F89-11D3-9A0C-0305E82C3302");
const QString alice = QStringLiteral("A1A1A1A1-0000-4000-8000-000000000001");
const QString bob = QStringLiteral("B2B2B2B2-0000-4000-8000-000000000002");

// The value under the keys, one level of dictionary after another; null when any is absent.
PlistValue valueAt(const PlistDictionary& dictionary, const QStringList& keys)
{
    PlistValue value = dictionary;
    for (const QString& key : keys) {
        const PlistDictionary* level = value.asDictionary();
        if (!level)
            return {};
        value = level->value(key);
    }
    return value;
}

class FileCommandsJourneyTest : public JourneyTestBase {
protected:
    // Clicks the List View's cell and types into it.
    static void typeIntoListCell(EditorWindowController* editor, int row, int column,
                                 const QString& text)
    {
        RXTableView* list = editor->tableController()->listTableView();
        const QRect cell = list->visualRect(list->model()->index(row, column));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QWidget* cellEditor = QApplication::focusWidget();
        ASSERT_TRUE(qobject_cast<FieldCellEditor*>(cellEditor));
        QTest::keyClick(cellEditor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(cellEditor, text);
    }

    static void typeIntoText(EditorWindowController* editor, const QString& text)
    {
        FreeformTextView* view = editor->freeformTextView();
        view->setFocus();
        view->moveCursor(QTextCursor::End);
        QTest::keyClicks(view, text);
    }
};

} // namespace

TEST_F(FileCommandsJourneyTest, OpenEditAFieldAndTheTextSave_TheFileHoldsBothEditsAndNothingElse)
{
    const QString path = copyFixture("good.nv3");
    const PlistDictionary before = readDatafile(path);

    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    ASSERT_EQ(m_presenter.openPanels().size(), 1);
    const OpenPanelRequest& panel = m_presenter.openPanels().first().request;
    EXPECT_EQ(panel.title, "Open");
    EXPECT_EQ(panel.directory, QFileInfo(m_dir.path()).canonicalFilePath()); // the datafiles folder
    EXPECT_EQ(panel.nameFilters,
              QStringList({"Norva datafiles (*.nv3 *.nvm)", "Norva templates (*.zlabel *.zenv)",
                           "All files (*)"}));
    EXPECT_EQ(panel.fileTypes, QStringList({"nv3", "nvm", "zlabel", "zenv"}));
    ASSERT_EQ(editor->engine().currentRecord()->identifier(), bob);
    typeIntoListCell(editor, 0, 0, "Robert Jones");
    typeIntoText(editor, " and more");
    EXPECT_TRUE(editor->window()->isWindowModified());

    QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(editor->document()->isDocumentEdited());
    EXPECT_FALSE(editor->window()->isWindowModified());
    EXPECT_TRUE(m_presenter.alerts().isEmpty()) << m_presenter.alertMessages().join('\n').toStdString();

    const PlistDictionary after = readDatafile(path);
    // Opening shows every record, the stored selection one revert away: the order stays.
    const auto identifiers = [](const PlistDictionary& datafile) {
        QStringList listed;
        const PlistValue catalog = datafile.value("Catalog");
        for (const PlistValue& entry : *catalog.asArray())
            listed.append(*entry.asDictionary()->value("Identifier").asString());
        return listed;
    };
    EXPECT_EQ(identifiers(after), identifiers(before));
    const PlistValue recordsBeforeValue = before.value("Records");
    const PlistValue recordsAfterValue = after.value("Records");
    const PlistDictionary* recordsBefore = recordsBeforeValue.asDictionary();
    const PlistDictionary* recordsAfter = recordsAfterValue.asDictionary();
    ASSERT_TRUE(recordsBefore && recordsAfter);
    ASSERT_EQ(recordsAfter->size(), recordsBefore->size());
    // Keys a save may change besides the user's edits: the stamps of editing and viewing.
    const QStringList stamps{"RecordModifiedDate", "RecordModifiedBy", "RecordViewedDate",
                             "RecordViewedBy", "NeedsSync", "TextRTFD"};
    for (const PlistDictionary::Entry& entry : *recordsBefore) {
        PlistDictionary original = entry.value.asDictionary()->deepCopy();
        const PlistValue writtenValue = recordsAfter->value(entry.key);
        PlistDictionary written = writtenValue.asDictionary()->deepCopy();
        if (entry.key == bob) {
            const PlistValue fields = written.value("Fields");
            EXPECT_EQ(fields.asDictionary()->value(nameField),
                      PlistValue("Robert Jones"));
            EXPECT_EQ(written.value("TextString"),
                      PlistValue(*original.value("TextString").asString() + " and more"));
            EXPECT_EQ(written.value("NeedsSync"), PlistValue(true));
            for (const char* edited : {"Fields", "TextString"}) {
                original.remove(edited);
                written.remove(edited);
            }
        }
        for (const QString& stamp : stamps) {
            original.remove(stamp);
            written.remove(stamp);
        }
        EXPECT_EQ(PlistValue(written), PlistValue(original)) << entry.key.toStdString();
    }
}

TEST_F(FileCommandsJourneyTest, CloseAnEditedDatafile_AsksAndDoesWhatTheUserChose)
{
    const struct {
        const char* button;
        bool closes;
        bool fileChanges;
    } cases[] = {
        {"Don’t Save", true, false},
        {"Save", true, true},
        {"Cancel", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        const QString path = copyFixture("good.nv3", QStringLiteral("close-%1.nv3").arg(c.closes * 2 + c.fileChanges));
        const QByteArray original = contentsOf(path);
        EditorWindowController* editor = openWithCommand(path);
        ASSERT_TRUE(editor);
        typeIntoText(editor, "x");
        QPointer<Document> document = editor->document();

        m_presenter.clear();
        m_presenter.answerAlertWithButton(QString::fromUtf8(c.button));
        QTest::keyClick(editor->window(), Qt::Key_W, Qt::ControlModifier);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        ASSERT_EQ(m_presenter.alerts().size(), 1);
        EXPECT_EQ(m_presenter.lastAlert().request.messageText,
                  QStringLiteral("Do you want to save the changes made to the document “%1”?")
                      .arg(QFileInfo(path).fileName()));
        EXPECT_EQ(document.isNull(), c.closes);
        EXPECT_EQ(contentsOf(path) != original, c.fileChanges);
        if (document)
            document->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        activate(&m_assembly->startWindow());
    }
}

TEST_F(FileCommandsJourneyTest, OpenASecondFromAnEditorThenQuit_AsksForTheEditedOneAndLeavesNoLockFile)
{
    const QString first = copyFixture("shared.nv3", "first.nv3");
    const QString second = copyFixture("shared.nv3", "second.nv3");
    EditorWindowController* firstEditor = openWithCommand(first);
    ASSERT_TRUE(firstEditor);
    EXPECT_TRUE(QFile::exists(first + ".lock"));
    EditorWindowController* secondEditor = openWithCommand(second);
    ASSERT_TRUE(secondEditor);
    EXPECT_EQ(DocumentController::shared().documents().size(), 2u);
    EXPECT_EQ(m_assembly->mainController().openDatafileCount(), 2);
    EXPECT_TRUE(QFile::exists(second + ".lock"));

    typeIntoText(secondEditor, "edited");
    const QString edited = secondEditor->engine().currentRecord()->identifier();
    QSignalSpy quitting(&Application::shared(), &Application::willTerminate);
    m_presenter.clear();
    m_presenter.answerAlertWithButton("Save");
    QTest::keyClick(secondEditor->window(), Qt::Key_Q, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_EQ(m_presenter.alertMessages(),
              QStringList{"Do you want to save the changes made to the document “second.nv3”?"});
    EXPECT_EQ(quitting.count(), 1);
    EXPECT_TRUE(DocumentController::shared().documents().empty());
    EXPECT_EQ(m_assembly->mainController().openDatafileCount(), 0);
    EXPECT_TRUE(m_assembly->mainController().lastDatafileClosing());
    EXPECT_FALSE(QFile::exists(first + ".lock"));
    EXPECT_FALSE(QFile::exists(second + ".lock"));
    const PlistValue records = readDatafile(second).value("Records");
    const PlistValue record = records.asDictionary()->value(edited);
    EXPECT_TRUE(record.asDictionary()->value("TextString").asString()->endsWith("edited"));
}

TEST_F(FileCommandsJourneyTest, QuitCancelledAtTheSaveQuestion_KeepsEverythingOpen)
{
    EditorWindowController* editor = openWithCommand(copyFixture("good.nv3"));
    ASSERT_TRUE(editor);
    typeIntoText(editor, "edited");
    QSignalSpy quitting(&Application::shared(), &Application::willTerminate);
    m_presenter.answerAlertWithButton("Cancel");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "quit:"));
    EXPECT_EQ(quitting.count(), 0);
    EXPECT_EQ(DocumentController::shared().documents().size(), 1u);
    EXPECT_TRUE(editor->document()->isDocumentEdited());
}

TEST_F(FileCommandsJourneyTest, SaveAsThenRevertAfterAnEdit)
{
    const QString path = copyFixture("good.nv3");
    const QString copy = m_dir.filePath("copy.nv3");
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    const QString text = editor->engine().currentRecord()->textString();

    typeIntoText(editor, " kept");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(copy));
    QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(m_presenter.savePanels().size(), 1);
    EXPECT_EQ(editor->document()->fileURL(), QUrl::fromLocalFile(copy));
    EXPECT_EQ(editor->window()->windowTitle(), "copy.nv3[*]");
    EXPECT_FALSE(editor->document()->isDocumentEdited());

    typeIntoText(editor, " dropped");
    m_presenter.answerAlertWithButton("Revert");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "revertDocumentToSaved:"));
    EXPECT_FALSE(editor->document()->isDocumentEdited());
    EXPECT_EQ(editor->freeformTextView()->plainText(), text + " kept");
    EXPECT_FALSE(contentsOf(path).contains("kept"));
}

TEST_F(FileCommandsJourneyTest, MenuWalk_EveryCommandEnabledExactlyWhenItCanRun)
{
    EditorWindowController* editor = openWithCommand(copyFixture("good.nv3"));
    ASSERT_TRUE(editor);
    QWidget* window = editor->window();
    const auto enabledItems = [&] {
        showMenusOf(window);
        QStringList enabled;
        for (const char* selector :
             {"newDatafile:", "openDocument:", "performClose:", "closeAllOpenDatafiles:",
              "saveDocument:", "saveDocumentAs:", "revertDocumentToSaved:", "quit:",
              "undo:", "redo:", "cut:", "copy:", "paste:", "selectAll:", "startFindAndReplace:",
              "startMultiFileFind:", "startPreferences:"}) {
            QAction* item = menuItem(window, selector);
            EXPECT_TRUE(item) << selector;
            if (item && item->isEnabled())
                enabled.append(selector);
        }
        return enabled;
    };
    const QStringList always{"newDatafile:",         "openDocument:",       "performClose:",
                             "closeAllOpenDatafiles:", "saveDocument:",     "saveDocumentAs:",
                             "quit:",                "startFindAndReplace:", "startMultiFileFind:",
                             "startPreferences:"};

    // Focus in the table, nothing edited.
    editor->tableController()->listTableView()->setFocus();
    EXPECT_EQ(enabledItems(), always);

    // Text typed into the text area, part of it selected.
    typeIntoText(editor, "abc");
    QTextCursor cursor = editor->freeformTextView()->textCursor();
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, 2);
    editor->freeformTextView()->setTextCursor(cursor);
    QStringList expected = always;
    expected.insert(expected.indexOf("quit:"), "revertDocumentToSaved:");
    for (const char* editing : {"undo:", "cut:", "copy:", "paste:", "selectAll:"})
        expected.insert(expected.indexOf("startFindAndReplace:"), editing);
    QApplication::clipboard()->setText("clip");
    EXPECT_EQ(enabledItems(), expected);

    // No item is enabled that nobody would perform.
    for (QAction* top : window->findChild<QMenuBar*>()->actions()) {
        if (!top->menu())
            continue;
        for (QAction* item : top->menu()->actions()) {
            const QString selector = m_assembly->mainController().menus().binding().selectorFor(item);
            if (!selector.isEmpty() && item->isEnabled()) {
                EXPECT_TRUE(ActionRouter::targetForAction(selector, ActionRouter::firstResponder()))
                    << selector.toStdString();
            }
        }
    }
}

TEST_F(FileCommandsJourneyTest, ClosingTheStartWindowWithNoDatafileOpen_Quits)
{
    QSignalSpy quitting(&Application::shared(), &Application::willTerminate);
    m_assembly->startWindow().close();
    EXPECT_EQ(quitting.count(), 1);
}

TEST_F(FileCommandsJourneyTest, SaveAfterAnotherProgramChangedTheFile_AsksBeforeReplacingIt)
{
    const QString path = copyFixture("good.nv3");
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    typeIntoText(editor, " mine");
    // Another program rewrites the file meanwhile.
    const QByteArray theirs = contentsOf(path) + "\n";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(theirs);
    }

    m_presenter.answerAlertWithButton("Cancel");
    QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "The file “good.nv3” has been changed by another application since you opened or "
              "saved it.");
    EXPECT_EQ(m_presenter.lastAlert().request.buttons, QStringList({"Save Anyway", "Cancel"}));
    EXPECT_EQ(contentsOf(path), theirs);
    EXPECT_TRUE(editor->document()->isDocumentEdited());

    m_presenter.answerAlertWithButton("Save Anyway");
    QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(contentsOf(path).contains(" mine"));
    EXPECT_FALSE(editor->document()->isDocumentEdited());

    // Our own save is no change by another program.
    typeIntoText(editor, " again");
    m_presenter.clear();
    QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    EXPECT_TRUE(contentsOf(path).contains(" again"));
}

TEST_F(FileCommandsJourneyTest, ASecondStart_HandsItsFilesToTheRunningNorva)
{
    // The assembly of this test listens as main() makes it listen.
    m_assembly.reset();
    m_assembly = std::make_unique<ApplicationAssembly>();
    const QString channel = m_dir.filePath("instance");
    auto listening = std::make_unique<InstanceChannel>();
    ASSERT_TRUE(listening->listen(channel));
    ApplicationAssembly::LaunchOptions options;
    options.instanceChannel = std::move(listening);
    m_assembly->launch(std::move(options));
    QCoreApplication::processEvents();

    const QString path = copyFixture("good.nv3");
    std::atomic<int> handedOver{-1};
    std::thread secondStart([&] { handedOver = InstanceChannel::handOver(channel, {path}); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return handedOver != -1; }, 5000));
    secondStart.join();
    EXPECT_EQ(handedOver, 1);
    EXPECT_TRUE(DocumentController::shared().documentForURL(QUrl::fromLocalFile(path)));

    // Nobody listens elsewhere: the second start opens the files itself.
    EXPECT_FALSE(InstanceChannel::handOver(m_dir.filePath("nobody"), {path}));
}

TEST_F(FileCommandsJourneyTest, FilesHandedOverWhileStarting_OpenOnceStartUpIsOver)
{
    m_assembly.reset();
    m_assembly = std::make_unique<ApplicationAssembly>();
    auto listening = std::make_unique<InstanceChannel>();
    ASSERT_TRUE(listening->listen(m_dir.filePath("instance")));
    InstanceChannel* channel = listening.get();
    const QString early = copyFixture("good.nv3");
    const QString later = copyFixture("good.nv3", "later.nv3");
    ApplicationAssembly::LaunchOptions options;
    options.instanceChannel = std::move(listening);
    m_assembly->launch(std::move(options));

    // Start-up has not registered the defaults the window reads, nor built the menus.
    Q_EMIT channel->filesReceived({early});
    EXPECT_FALSE(DocumentController::shared().documentForURL(QUrl::fromLocalFile(early)));
    QCoreApplication::processEvents();
    EXPECT_TRUE(DocumentController::shared().documentForURL(QUrl::fromLocalFile(early)));
    EXPECT_EQ(DocumentController::shared().documents().size(), 1u);

    // From then on a hand-over opens at once.
    Q_EMIT channel->filesReceived({later});
    EXPECT_TRUE(DocumentController::shared().documentForURL(QUrl::fromLocalFile(later)));
    EXPECT_EQ(DocumentController::shared().documents().size(), 2u);
}

TEST_F(FileCommandsJourneyTest, BinaryDatafileWithValuesXmlCannotHold_SavesLeavingThemOutAndOpensAgain)
{
    // Each a binary datafile holding a null or a UID outside a record's fields.
    const struct {
        const char* file;
        const char* part; // where the log line says they were
        std::function<void(const PlistDictionary& saved)> check;
    } cases[] = {
        {"null-setting.nv3", "Settings",
         [](const PlistDictionary& saved) {
             const PlistValue settings = saved.value("Settings");
             EXPECT_FALSE(settings.asDictionary()->contains("SyncID"));
             EXPECT_FALSE(settings.asDictionary()->contains("LaterSetting"));
             // A setting the program does not know belongs to the file all the same.
             EXPECT_EQ(settings.asDictionary()->value("KeptSetting"), PlistValue("kept"));
         }},
        {"uid-in-field-definitions.nv3", "Settings",
         [](const PlistDictionary& saved) {
             const PlistValue fields = valueAt(saved, {"Settings", "Fields"});
             ASSERT_EQ(fields.asArray()->size(), 2);
             EXPECT_EQ(PlistValue(fields.asArray()->at(0)),
                       PlistValue(PlistDictionary{{"Identifier", nameField}, {"Name", "Name"}}));
             EXPECT_EQ(PlistValue(fields.asArray()->at(1)),
                       PlistValue(PlistDictionary{
                           {"Identifier", phoneField}, {"Name", "Phone"}, {"Width", 120.5}}));
         }},
        {"uid-in-catalog-entry.nv3", "Catalog",
         [](const PlistDictionary& saved) {
             // Opening shows every record and keeps the stored selection one revert away:
             // Alice's, read as its default, is that she was not selected.
             const PlistValue catalog = saved.value("Catalog");
             ASSERT_EQ(catalog.asArray()->size(), 2);
             EXPECT_EQ(PlistValue(catalog.asArray()->at(0)),
                       PlistValue(PlistDictionary{{"Identifier", alice},
                                                  {"CurrentlySelected", true},
                                                  {"PreviouslySelected", false}}));
             EXPECT_EQ(PlistValue(catalog.asArray()->at(1)),
                       PlistValue(PlistDictionary{{"Identifier", bob},
                                                  {"CurrentlySelected", true},
                                                  {"PreviouslySelected", true}}));
         }},
        {"uid-in-record-key.nv3", "Records",
         [](const PlistDictionary& saved) {
             EXPECT_FALSE(valueAt(saved, {"Records", alice}).asDictionary()->contains("LaterKey"));
             EXPECT_FALSE(valueAt(saved, {"Records", bob}).asDictionary()->contains("OtherKey"));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = copyFixture(c.file);
        m_presenter.clear();
        ScopedLogCapture log;
        EditorWindowController* editor = openWithCommand(path);
        ASSERT_TRUE(editor);
        const QString edited = editor->engine().currentRecord()->identifier();
        typeIntoText(editor, " and more");

        QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
        EXPECT_TRUE(m_presenter.alerts().isEmpty()) << m_presenter.alertMessages().join('\n').toStdString();
        EXPECT_FALSE(editor->document()->isDocumentEdited());
        QTest::keyClick(editor->window(), Qt::Key_W, Qt::ControlModifier);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(DocumentController::shared().documents().empty());
        EXPECT_EQ(log.lines().filter("cannot store"),
                  QStringList{QStringLiteral("The datafile holds values it cannot store (null or "
                                             "UID) in \"%1\"; they are not used.")
                                  .arg(c.part)})
            << log.lines().join('\n').toStdString();

        // What was saved opens again, the edit kept, without a word.
        activate(&m_assembly->startWindow());
        ScopedLogCapture reopening;
        editor = openWithCommand(path);
        ASSERT_TRUE(editor);
        EXPECT_TRUE(m_presenter.alerts().isEmpty()) << m_presenter.alertMessages().join('\n').toStdString();
        EXPECT_TRUE(reopening.lines().isEmpty()) << reopening.lines().join('\n').toStdString();
        EXPECT_TRUE(editor->datafileDocument()->datafileRecords()->recordForIdentifier(edited)->textString().endsWith(" and more"));
        c.check(readDatafile(path));
        editor->document()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        activate(&m_assembly->startWindow());
    }
}

TEST_F(FileCommandsJourneyTest, ASettingOfTheWrongKindWhileTheWindowIsOpen_IsLoggedOnce)
{
    const QString path = m_dir.filePath("sync-number.nv3");
    writeRecords(path, {"Name"}, {{"Alice", "text"}}, PlistDictionary{{"SyncID", 42}});
    ScopedLogCapture log;
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    // The window validates its commands over and over while it is open.
    for (int turn = 0; turn < 5; ++turn) {
        showMenusOf(editor->window());
        QTest::qWait(50);
    }
    typeIntoText(editor, " more");
    QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(log.lines().filter("SyncID"),
              QStringList{"The setting \"SyncID\" does not hold a string; using its default."});
    // The value is the file's, and stays in it.
    EXPECT_EQ(valueAt(readDatafile(path), {"Settings", "SyncID"}), PlistValue(42));
}
