// The previous session, the auto-open list, Close All and quitting, through the program
// as main() assembles it.
#include "JourneyTestBase.h"

#include "Application.h"
#include "FreeformTextView.h"
#include "NotificationCenter.h"
#include "SystemLog.h"

#include <QDialog>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTimer>

namespace {

// The records of the fixture "five.nv3", in catalog order.
QString numbered(int n)
{
    return QStringLiteral("%1-0000-4000-8000-000000000000").arg(n, 8, 10, QLatin1Char('0'));
}

QString urlString(const QString& path)
{
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

class SessionJourneyTest : public JourneyTestBase {
protected:
    // Starts the program afresh, as main() would with the files named.
    void relaunch(const QStringList& files = {})
    {
        m_assembly.reset();
        m_assembly = std::make_unique<ApplicationAssembly>();
        ApplicationAssembly::LaunchOptions options;
        options.files = files;
        m_assembly->launch(std::move(options));
        QCoreApplication::processEvents();
    }

    MainController& controller() const { return m_assembly->mainController(); }

    static EditorWindowController* editorOf(const QString& path)
    {
        Document* document = DocumentController::shared().documentForURL(QUrl::fromLocalFile(path));
        if (!document || document->windowControllers().empty())
            return nullptr;
        return dynamic_cast<EditorWindowController*>(document->windowControllers().front().get());
    }

    static QString shownRecord(const QString& path)
    {
        EditorWindowController* editor = editorOf(path);
        if (!editor || !editor->engine().currentRecord())
            return QString();
        return editor->engine().currentRecord()->identifier();
    }

    static void typeIntoText(EditorWindowController* editor, const QString& text)
    {
        FreeformTextView* view = editor->freeformTextView();
        view->setFocus();
        view->moveCursor(QTextCursor::End);
        QTest::keyClicks(view, text);
    }

    std::optional<QStringList> storedSession() const
    {
        return m_defaults.stringArrayForKey(QStringLiteral("PreviousSessionList"));
    }

    // Runs the program's event loop, as main() does, with the key pressed in the window
    // as its first event; whether the loop ended by itself (the program quit).
    static bool eventLoopEndsAfterKey(QWidget* window, Qt::Key key)
    {
        QPointer<QWidget> target = window;
        QTimer::singleShot(0, qApp, [target, key] {
            if (target)
                QTest::keyClick(target, key, Qt::ControlModifier);
        });
        bool timedOut = false;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&timedOut] {
            timedOut = true;
            QCoreApplication::exit(1);
        });
        watchdog.start(5000);
        QApplication::exec();
        return !timedOut;
    }

    // What a rewrite would change: the bytes and the modification time, set well back so
    // that a write within the same second shows.
    struct FileState {
        QByteArray contents;
        QDateTime modified;
        bool operator==(const FileState&) const = default;
    };
    static FileState agedFileState(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadWrite));
        EXPECT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                     QFileDevice::FileModificationTime));
        file.close();
        return fileState(path);
    }
    static FileState fileState(const QString& path)
    {
        return {contentsOf(path), QFileInfo(path).lastModified()};
    }
};

} // namespace

TEST_F(SessionJourneyTest, SaveCurrentSession_StoresEachDatafileWithItsShownRecord)
{
    const QString first = copyFixture("five.nv3", "first.nv3");
    const QString second = copyFixture("five.nv3", "second.nv3");
    const QString empty = copyFixture("empty.nv3");
    struct Case {
        const char* name;
        QStringList open;
        bool untitled;
        std::optional<QStringList> stored;
    };
    const Case cases[] = {
        {"two datafiles",
         {first, second},
         false,
         QStringList{urlString(first), numbered(2), urlString(second), numbered(4)}},
        {"nothing open", {}, false, std::nullopt},
        {"only an untitled datafile", {}, true, QStringList{}},
        {"no current record", {empty}, true, QStringList{urlString(empty), ""}},
    };
    for (const Case& c : cases) {
        relaunch(c.open);
        if (EditorWindowController* editor = editorOf(first))
            editor->engine().loadRecordAtIndex(1);
        if (EditorWindowController* editor = editorOf(second))
            editor->engine().loadRecordAtIndex(3);
        if (c.untitled)
            DocumentController::shared().openUntitledDocumentOfType(
                DatafileDocument::ProDatafileType, true);
        m_defaults.setObject(PlistArray{QStringLiteral("left over")},
                             QStringLiteral("PreviousSessionList"));
        controller().saveCurrentSession();
        EXPECT_EQ(storedSession(), c.stored) << c.name;
    }
}

TEST_F(SessionJourneyTest, RestorePreviousSession_LogsWhatCannotOpenAndShowsEachRecord)
{
    const QString kept = copyFixture("five.nv3", "kept.nv3");
    const QString renumbered = copyFixture("five.nv3", "renumbered.nv3");
    const QString missing = m_dir.filePath("gone.nv3");
    m_defaults.setBool(true, QStringLiteral("RestorePreviousSession"));
    m_defaults.setObject(PlistArray{urlString(missing), numbered(1),
                                    // Written by the macOS program: a file URL on "localhost".
                                    QStringLiteral("file://localhost") +
                                        QString::fromLatin1(QUrl::toPercentEncoding(kept, "/")),
                                    numbered(3), urlString(renumbered),
                                    QStringLiteral("no such record"),
                                    QStringLiteral("odd trailing string")},
                         QStringLiteral("PreviousSessionList"));

    ScopedLogCapture log;
    relaunch();

    EXPECT_EQ(DocumentController::shared().documents().size(), 2u);
    EXPECT_EQ(shownRecord(kept), numbered(3));
    EXPECT_EQ(shownRecord(renumbered), numbered(1));
    ASSERT_EQ(log.lines().size(), 1) << log.lines().join('\n').toStdString();
    EXPECT_EQ(log.lines().first(),
              "Unable to open " + missing +
                  ": Error The file could not be read: No such file or directory.");
    // Only logged: nobody is asked anything at start-up.
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

TEST_F(SessionJourneyTest, AutoOpen_SkippedBesideAFileNamedAtLaunchUnlessTheSessionIsRestored)
{
    const QString named = copyFixture("good.nv3");
    const QString listed = copyFixture("five.nv3");
    const QString link = m_dir.filePath("link.nv3");
    ASSERT_TRUE(QFile::link(listed, link));
    const QString missing = m_dir.filePath("gone.nv3");
    m_defaults.setObject(PlistArray{link, missing}, QStringLiteral("AutoOpenDatafilePaths"));
    struct Case {
        const char* name;
        QStringList files;
        bool restore;
        std::size_t open;
    };
    const Case cases[] = {
        {"a file named, no restore", {named}, false, 1},
        {"nothing named", {}, false, 1},
        {"a file named, restoring", {named}, true, 2},
    };
    for (const Case& c : cases) {
        m_defaults.setBool(c.restore, QStringLiteral("RestorePreviousSession"));
        ScopedLogCapture log;
        relaunch(c.files);
        EXPECT_EQ(DocumentController::shared().documents().size(), c.open) << c.name;
        EXPECT_EQ(bool(editorOf(named)), !c.files.isEmpty()) << c.name;
        const bool listOpened = !c.files.isEmpty() ? c.restore : true;
        Document* opened = DocumentController::shared().documentForURL(QUrl::fromLocalFile(listed));
        EXPECT_EQ(bool(opened), listOpened) << c.name;
        if (opened) {
            // Opened as the file itself, the link resolved.
            EXPECT_EQ(opened->fileURL(),
                      QUrl::fromLocalFile(QFileInfo(listed).canonicalFilePath()));
            EXPECT_EQ(log.lines(),
                      QStringList{"Unable to open " + missing +
                                  ": Error The file could not be read: No such file or directory."})
                << c.name;
        }
    }
}

TEST_F(SessionJourneyTest, TerminationRequest_ConfirmedOnlyWhenAskedForAndFullyStarted)
{
    const QString path = copyFixture("five.nv3");
    struct Case {
        const char* name;
        int confirmQuit;
        bool fullyStarted;
        const char* answer; // nullptr: no question
        bool quits;
    };
    const Case cases[] = {
        {"not asked for", 0, true, nullptr, true},
        {"still starting", 1, false, nullptr, true},
        {"confirmed", 1, true, "Quit", true},
        {"cancelled", 1, true, "Cancel", false},
    };
    for (const Case& c : cases) {
        m_defaults.removeObjectForKey(QStringLiteral("SharedQuitDate"));
        m_defaults.removeObjectForKey(QStringLiteral("PreviousSessionList"));
        m_defaults.setInteger(c.confirmQuit, QStringLiteral("SharedConfirmQuit"));
        relaunch({path});
        if (!c.fullyStarted)
            controller().setMustQuitWithoutConfirmation();
        controller().setLastDatafileClosing(true);
        m_presenter.clear();
        if (c.answer)
            m_presenter.answerAlertWithButton(c.answer);
        QSignalSpy quitting(&Application::shared(), &Application::willTerminate);

        // A plain request, as closing the last window makes it.
        Application::shared().terminate();

        EXPECT_EQ(quitting.count(), c.quits ? 1 : 0) << c.name;
        if (c.answer) {
            ASSERT_EQ(m_presenter.alerts().size(), 1) << c.name;
            EXPECT_EQ(m_presenter.lastAlert().request.messageText,
                      "Are you sure you want to quit?");
            EXPECT_EQ(m_presenter.lastAlert().request.buttons, QStringList({"Quit", "Cancel"}));
        } else {
            EXPECT_TRUE(m_presenter.alerts().isEmpty()) << c.name;
        }
        // Only a confirmed quit stores its date and the session.
        const bool confirmed = c.answer && c.quits;
        EXPECT_EQ(m_defaults.objectForKey(QStringLiteral("SharedQuitDate")).isNull(), !confirmed)
            << c.name;
        EXPECT_EQ(storedSession(), confirmed
                                       ? std::optional(QStringList{urlString(path), numbered(1)})
                                       : std::nullopt)
            << c.name;
        if (!c.quits) {
            EXPECT_FALSE(controller().lastDatafileClosing()) << c.name;
            EXPECT_TRUE(editorOf(path)) << c.name;
        }
    }
}

TEST_F(SessionJourneyTest, QuitCancelledAtASaveQuestion_LeavesEveryDocumentOpenAndUnchanged)
{
    EditorWindowController* edited = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(edited);
    typeIntoText(edited, "kept");
    // The newest is clean: it is no reason to close anything before the question.
    EditorWindowController* clean = openWithCommand(copyFixture("good.nv3"));
    ASSERT_TRUE(clean);
    controller().setLastDatafileClosing(true);
    QSignalSpy quitting(&Application::shared(), &Application::willTerminate);
    m_presenter.clear();
    m_presenter.answerAlertWithButton("Cancel");

    ASSERT_TRUE(chooseMenuItem(clean->window(), "quit:"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_EQ(m_presenter.alertMessages(),
              QStringList{"Do you want to save the changes made to the document “five.nv3”?"});
    EXPECT_EQ(quitting.count(), 0);
    EXPECT_EQ(DocumentController::shared().documents().size(), 2u);
    EXPECT_TRUE(edited->document()->isDocumentEdited());
    EXPECT_TRUE(edited->freeformTextView()->plainText().endsWith("kept"));
    EXPECT_FALSE(controller().lastDatafileClosing());
    EXPECT_EQ(controller().openDatafileCount(), 2);
}

TEST_F(SessionJourneyTest, CloseAll_AsksOnlyForTheEditedDatafileAndTellsOnce)
{
    EditorWindowController* readOnly = openWithCommand(copyFixture("read-only.nv3"));
    EditorWindowController* clean = openWithCommand(copyFixture("good.nv3"));
    EditorWindowController* edited = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(readOnly && clean && edited);
    typeIntoText(edited, "unsaved");
    int closedAll = 0;
    NotificationCenter::defaultCenter().addObserver(
        QStringLiteral("AllDatafilesClosed"), nullptr, &controller(),
        [&closedAll](const Notification&) { ++closedAll; });
    m_presenter.clear();
    m_presenter.answerAlertWithButton("Cancel");

    ASSERT_TRUE(chooseMenuItem(edited->window(), "closeAllOpenDatafiles:"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_EQ(m_presenter.alertMessages(),
              QStringList{"Do you want to save the changes made to the document “five.nv3”?"});
    ASSERT_EQ(DocumentController::shared().documents().size(), 1u);
    EXPECT_EQ(DocumentController::shared().documents().front(), edited->document());
    EXPECT_EQ(closedAll, 1);
    EXPECT_EQ(controller().openDatafileCount(), 1);

    m_presenter.answerAlertWithButton("Don’t Save");
    ASSERT_TRUE(chooseMenuItem(edited->window(), "closeAllOpenDatafiles:"));
    EXPECT_TRUE(DocumentController::shared().documents().empty());
    EXPECT_EQ(closedAll, 2);
    NotificationCenter::defaultCenter().removeObserver(&controller());
}

TEST_F(SessionJourneyTest, QuitAfterLastFile_ClosingTheLastEditorQuitsUnlessAModalDialogIsUp)
{
    const QString path = copyFixture("good.nv3");
    struct Case {
        const char* name;
        bool preference;
        bool modalDialog;
        bool quits;
    };
    const Case cases[] = {
        {"preference on", true, false, true},
        {"preference off", false, false, false},
        {"a modal dialog up", true, true, false},
    };
    for (const Case& c : cases) {
        m_defaults.setBool(c.preference, QStringLiteral("GeneralQuitAfterLastFile"));
        relaunch();
        activate(&m_assembly->startWindow());
        EditorWindowController* editor = openWithCommand(path);
        ASSERT_TRUE(editor) << c.name;
        QDialog dialog;
        if (c.modalDialog) {
            dialog.setWindowModality(Qt::ApplicationModal);
            dialog.show();
        }
        QSignalSpy quitting(&Application::shared(), &Application::willTerminate);

        editor->performClose();
        QCoreApplication::processEvents();

        EXPECT_TRUE(DocumentController::shared().documents().empty()) << c.name;
        EXPECT_TRUE(controller().lastDatafileClosing()) << c.name;
        EXPECT_EQ(quitting.count(), c.quits ? 1 : 0) << c.name;
    }
}

TEST_F(SessionJourneyTest, QuitWithTwoDatafilesOpen_TheNextStartReopensBothOnTheirRecords)
{
    const QString first = copyFixture("five.nv3", "first.nv3");
    const QString second = copyFixture("five.nv3", "second.nv3");
    EditorWindowController* firstEditor = openWithCommand(first);
    ASSERT_TRUE(firstEditor);
    // Records ▸ Next Record, twice.
    QTest::keyClick(firstEditor->window(), Qt::Key_Apostrophe, Qt::ControlModifier);
    QTest::keyClick(firstEditor->window(), Qt::Key_Apostrophe, Qt::ControlModifier);
    EditorWindowController* secondEditor = openWithCommand(second);
    ASSERT_TRUE(secondEditor);
    secondEditor->engine().loadRecordAtIndex(4);
    QSignalSpy quitting(&Application::shared(), &Application::willTerminate);

    QTest::keyClick(secondEditor->window(), Qt::Key_Q, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_EQ(quitting.count(), 1);
    EXPECT_TRUE(DocumentController::shared().documents().empty());
    EXPECT_EQ(storedSession(),
              QStringList({urlString(first), numbered(3), urlString(second), numbered(5)}));

    m_defaults.setBool(true, QStringLiteral("RestorePreviousSession"));
    relaunch();
    EXPECT_EQ(DocumentController::shared().documents().size(), 2u);
    EXPECT_EQ(shownRecord(first), numbered(3));
    EXPECT_EQ(shownRecord(second), numbered(5));
}

TEST_F(SessionJourneyTest, QuitAnsweredDontSave_EndsTheProgram)
{
    for (const int edited : {1, 2}) {
        SCOPED_TRACE(edited);
        relaunch();
        activate(&m_assembly->startWindow());
        QList<EditorWindowController*> editors;
        for (int i = 0; i < edited; ++i) {
            editors.append(openWithCommand(copyFixture("five.nv3", QStringLiteral("%1.nv3").arg(i))));
            ASSERT_TRUE(editors.back());
            typeIntoText(editors.back(), "dropped");
        }
        m_presenter.clear();
        for (int i = 0; i < edited; ++i)
            m_presenter.answerAlertWithButton("Don’t Save");
        QSignalSpy quitting(&Application::shared(), &Application::willTerminate);

        EXPECT_TRUE(eventLoopEndsAfterKey(editors.back()->window(), Qt::Key_Q));

        EXPECT_EQ(m_presenter.alerts().size(), edited);
        EXPECT_EQ(quitting.count(), 1);
        EXPECT_TRUE(DocumentController::shared().documents().empty());
    }
}

TEST_F(SessionJourneyTest, QuitCancelled_TheNextQuitStillEndsTheProgram)
{
    struct Case {
        const char* name;
        int confirmQuit;
        QStringList firstAnswers;
        QStringList secondAnswers;
    };
    const Case cases[] = {
        {"cancelled at a save question", 0, {"Cancel"}, {"Don’t Save"}},
        {"cancelled at the confirmation", 1, {"Cancel"}, {"Quit", "Don’t Save"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_defaults.setInteger(c.confirmQuit, QStringLiteral("SharedConfirmQuit"));
        relaunch();
        activate(&m_assembly->startWindow());
        EditorWindowController* editor = openWithCommand(copyFixture("five.nv3"));
        ASSERT_TRUE(editor);
        typeIntoText(editor, "dropped");
        m_presenter.clear();
        for (const QString& answer : c.firstAnswers)
            m_presenter.answerAlertWithButton(answer);
        QSignalSpy quitting(&Application::shared(), &Application::willTerminate);

        QTest::keyClick(editor->window(), Qt::Key_Q, Qt::ControlModifier);
        ASSERT_EQ(quitting.count(), 0);
        ASSERT_EQ(DocumentController::shared().documents().size(), 1u);

        m_presenter.clear();
        for (const QString& answer : c.secondAnswers)
            m_presenter.answerAlertWithButton(answer);
        EXPECT_TRUE(eventLoopEndsAfterKey(editor->window(), Qt::Key_Q));
        EXPECT_EQ(m_presenter.alerts().size(), c.secondAnswers.size());
        EXPECT_EQ(quitting.count(), 1);
    }
}

TEST_F(SessionJourneyTest, DontSave_LeavesTheFileAsItWasForCloseAndForQuit)
{
    for (const Qt::Key key : {Qt::Key_W, Qt::Key_Q}) {
        SCOPED_TRACE(key == Qt::Key_W ? "Close" : "Quit");
        relaunch();
        activate(&m_assembly->startWindow());
        const QString path = copyFixture("five.nv3", key == Qt::Key_W ? "closed.nv3" : "quit.nv3");
        const FileState before = agedFileState(path);
        EditorWindowController* editor = openWithCommand(path);
        ASSERT_TRUE(editor);
        // Changes of the settings as well as of the records: a new frame, a record omitted,
        // a text typed.
        editor->window()->move(editor->window()->pos() + QPoint(30, 20));
        QCoreApplication::processEvents();
        ASSERT_TRUE(editor->settings()->datafileSettingsDidChange());
        ASSERT_TRUE(chooseMenuItem(editor->window(), "deselectCurrentRecord:"));
        typeIntoText(editor, "dropped");
        m_presenter.clear();
        m_presenter.answerAlertWithButton("Don’t Save");

        if (key == Qt::Key_W)
            QTest::keyClick(editor->window(), key, Qt::ControlModifier);
        else
            EXPECT_TRUE(eventLoopEndsAfterKey(editor->window(), key));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        EXPECT_EQ(m_presenter.alertMessages(),
                  QStringList{QStringLiteral("Do you want to save the changes made to the document "
                                             "“%1”?")
                                  .arg(QFileInfo(path).fileName())});
        EXPECT_TRUE(DocumentController::shared().documents().empty());
        EXPECT_TRUE(fileState(path) == before);
    }
}

TEST_F(SessionJourneyTest, QuitWithUnchangedDatafiles_WritesOnlyTheRecordToOpenOnWhenItMoved)
{
    const PlistDictionary openOnMostRecent{{"OpenToRecord", 5}, {"MostRecentRecord", numbered(1)}};
    struct Case {
        const char* name;
        PlistDictionary settings;
        int shown; // the record moved to, by index
        std::optional<QString> storedRecord; // nothing: the file is not written
    };
    const Case cases[] = {
        {"nothing to store", {}, 2, std::nullopt},
        {"the record it opened on", openOnMostRecent, 0, std::nullopt},
        {"another record", openOnMostRecent, 2, numbered(3)},
    };
    relaunch();
    activate(&m_assembly->startWindow());
    std::vector<std::pair<QString, FileState>> files;
    for (const Case& c : cases) {
        const QString path = m_dir.filePath(QString::fromUtf8(c.name) + ".nv3");
        QFile::copy(QStringLiteral(NORVA_FIXTURES_DIR "/datafile/five.nv3"), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        if (!c.settings.isEmpty()) {
            PlistDictionary datafile = readDatafile(path);
            for (const PlistDictionary::Entry& entry : c.settings)
                datafile.value("Settings").asDictionary()->insert(entry.key, entry.value);
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_TRUE(writePropertyList(datafile, file, PlistFormat::Xml));
        }
        files.emplace_back(path, agedFileState(path));
        EditorWindowController* editor = openWithCommand(path);
        ASSERT_TRUE(editor);
        editor->engine().loadRecordAtIndex(c.shown);
    }
    m_presenter.clear();

    EXPECT_TRUE(eventLoopEndsAfterKey(QApplication::activeWindow(), Qt::Key_Q));

    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    for (std::size_t i = 0; i < files.size(); ++i) {
        const Case& c = cases[i];
        const auto& [path, before] = files[i];
        SCOPED_TRACE(c.name);
        if (!c.storedRecord) {
            EXPECT_TRUE(fileState(path) == before);
            continue;
        }
        EXPECT_EQ(readDatafile(path).value("Settings").asDictionary()->value("MostRecentRecord"),
                  PlistValue(*c.storedRecord));
    }
}
