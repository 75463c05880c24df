// A user's journeys through Dropbox sync against a fake service on 127.0.0.1: signing in
// in the browser, synchronising a datafile with its copy in the Dropbox folder, creating
// that copy, and every way a transfer fails without costing a record.
#include "JourneyTestBase.h"
#include "SyncRecordsTesting.h"

#include "DBClientsManager.h"
#include "DropboxClient.h"
#include "DropboxSyncController.h"
#include "FakeDropboxServer.h"
#include "PreferencesController.h"
#include "PreferencesToolbarController.h"
#include "SyncChoiceSheetController.h"
#include "SyncController.h"
#include "SynchronizationController.h"
#include "SystemLog.h"
#include "Toolbar.h"
#include "ToolbarItem.h"
#include "URLEventManager.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>

namespace {

const QString appKey = QStringLiteral("abcdefghij12345");
const QString finishRoute = QStringLiteral("/2/files/upload_session/finish_batch_v2");
constexpr int waitMilliseconds = 15000;

QString recordId(int number)
{
    return QStringLiteral("00000000-0000-4000-8000-%1").arg(number, 12, 10, QLatin1Char('0'));
}

class DropboxSyncJourneyTest : public JourneyTestBase {
protected:
    void beforeLaunch() override
    {
        m_defaults.setInteger(SyncController::DropboxMethod, SyncController::DefaultSynchMethodKey);
        m_localPath = m_dir.filePath("My Cards.nv3");
        writeRecords(m_localPath, {"Name"}, {{"Ann", "a"}, {"Bob", "b"}, {"Cid", "c"}});
    }

    ApplicationAssembly::LaunchOptions launchOptions() override
    {
        ApplicationAssembly::LaunchOptions options;
        options.dropboxAppKey = appKey;
        options.dropboxEndpoints = DropboxEndpoints::allAt(m_dropbox.base());
        options.dropboxTokenPath = tokenPath();
        auto channel = std::make_unique<InstanceChannel>();
        EXPECT_TRUE(channel->listen(m_dir.filePath("norva-instance")));
        options.instanceChannel = std::move(channel);
        return options;
    }

    void TearDown() override
    {
        DropboxClient::setChunkSizeForTesting(0);
        JourneyTestBase::TearDown();
        DBClientsManager::configure({});
    }

    QString tokenPath() const { return m_dir.filePath("config/Norva/dropbox-token.json"); }

    // Signed in before: a token pair on disk that the service takes.
    void signIn() { m_dropbox.signInAt(tokenPath()); }

    static QByteArray bytesOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The copy in the Dropbox folder, changed by the function as another machine would.
    void changeDropboxCopy(
        const std::function<void(PlistDictionary& records, PlistDictionary& settings)>& change)
    {
        const QString scratch = m_dir.filePath("scratch/copy.nv3");
        QDir().mkpath(QFileInfo(scratch).absolutePath());
        {
            QFile file(scratch);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(m_dropbox.files.value("/My Cards.nv3"));
        }
        PlistDictionary top = readDatafile(scratch);
        PlistValue records = top.value("Records");
        PlistValue settings = top.value("Settings");
        change(*records.asDictionary(), *settings.asDictionary());
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(writePropertyList(top, buffer, PlistFormat::Xml));
        m_dropbox.files["/My Cards.nv3"] = buffer.data();
        QFile::remove(scratch);
    }

    void editLocally(EditorWindowController* editor, int number, const QString& value)
    {
        editor->featureContext().changes().writeField(
            editor->engine().recordForIdentifier(recordId(number)), "F0", value,
            DatafileChanges::Kind::Edit);
        QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
    }

    // Datafile ▸ Save As New Sync File, creating the copy in the Dropbox folder.
    EditorWindowController* openAndCreate()
    {
        EditorWindowController* editor = openWithCommand(m_localPath);
        if (!editor)
            return nullptr;
        const qsizetype finished = m_dropbox.requestsTo(finishRoute).size();
        EXPECT_TRUE(chooseMenuItem(editor->window(), "saveAsNewSyncFile:"));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return m_dropbox.requestsTo(finishRoute).size() > finished; }, waitMilliseconds));
        EXPECT_TRUE(settled(editor));
        return editor;
    }

    // Datafile ▸ Synchronize.
    void synchronize(EditorWindowController* editor)
    {
        ASSERT_TRUE(chooseMenuItem(editor->window(), "synchronizeDatafiles:"));
    }

    // The transfers over: no progress sheet, nothing waiting.
    static bool settled(EditorWindowController* editor)
    {
        return QTest::qWaitFor(
            [editor] {
                QCoreApplication::processEvents();
                return (!editor->progressPanel() || !editor->progressPanel()->isVisible());
            },
            waitMilliseconds);
    }

    // Waits until the progress sheet went and came no more for a moment.
    void waitForTheEnd(EditorWindowController* editor, const std::function<bool()>& done)
    {
        ASSERT_TRUE(QTest::qWaitFor(done, waitMilliseconds));
        QTest::qWait(50);
        ASSERT_TRUE(settled(editor));
    }

    // Temporary downloads left beside the datafiles.
    QStringList temporaryDownloads() const
    {
        QStringList left = QDir(m_dir.path()).entryList({"*.nv3", "*.nvm"}, QDir::Files);
        left.removeAll("My Cards.nv3");
        return left;
    }

    QString lastAlertText() const
    {
        if (m_presenter.alerts().isEmpty())
            return {};
        const AlertRequest& alert = m_presenter.alerts().last().request;
        return alert.messageText + " / " + alert.informativeText;
    }

    FakeDropboxServer m_dropbox;
    QString m_localPath;
};

} // namespace

TEST_F(DropboxSyncJourneyTest, Create_WithoutASyncID_TheCopyHasNoneThenTheDatafileGetsOne)
{
    signIn();
    ScopedLogCapture log;
    EditorWindowController* editor = openAndCreate();
    ASSERT_TRUE(editor);
    const QByteArray copy = m_dropbox.files.value("/My Cards.nv3");
    ASSERT_FALSE(copy.isEmpty());
    const QString scratch = m_dir.filePath("copy.plist");
    {
        QFile file(scratch);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(copy);
    }
    EXPECT_EQ(readDatafile(scratch).value("Settings").asDictionary()->stringForKey("SyncID"), "");
    const QString syncID =
        readDatafile(m_localPath).value("Settings").asDictionary()->stringForKey("SyncID");
    EXPECT_EQ(syncID.size(), 36);
    EXPECT_TRUE(flagged(readDatafile(m_localPath)).isEmpty());
    EXPECT_FALSE(editor->document()->isDocumentEdited());
    EXPECT_TRUE(log.lines().contains("Call Upload\n\n"));
    EXPECT_TRUE(log.lines().contains("Call to `/upload_session/finish_batch/check` succeeded"));
    EXPECT_TRUE(log.lines().contains(
        QStringLiteral("File successfully uploaded from %1 on local machine to "
                       "/My Cards.nv3 in Dropbox.")
            .arg(m_localPath)));
    EXPECT_TRUE(m_dropbox.requestsTo("/2/files/download").isEmpty());
    EXPECT_TRUE(m_presenter.openedUrls().isEmpty());
    EXPECT_FALSE(URLEventManager::shared().hasEventHandler());
}

TEST_F(DropboxSyncJourneyTest, Sync_ChangesOnBothSides_MergedAndTheLocalFileUploadedUnderItsName)
{
    signIn();
    EditorWindowController* editor = openAndCreate();
    ASSERT_TRUE(editor);
    changeDropboxCopy([](PlistDictionary& records, PlistDictionary&) {
        setRemoteValue(records, recordId(2), "Bob there");
    });
    editLocally(editor, 3, "Cid here");
    ScopedLogCapture log;
    const qsizetype finished = m_dropbox.requestsTo(finishRoute).size();
    synchronize(editor);
    waitForTheEnd(editor, [&] { return m_dropbox.requestsTo(finishRoute).size() > finished; });

    const FakeDropboxServer::Request download = m_dropbox.requestsTo("/2/files/download").last();
    EXPECT_EQ(download.headers.value("dropbox-api-arg"), R"({"path":"/My Cards.nv3"})");
    const PlistDictionary local = readDatafile(m_localPath);
    EXPECT_EQ(valueIn(local, recordId(2)), "Bob there");
    EXPECT_EQ(valueIn(local, recordId(3)), "Cid here");
    EXPECT_TRUE(flagged(local).isEmpty());
    EXPECT_EQ(m_dropbox.files.value("/My Cards.nv3"), bytesOf(m_localPath));
    EXPECT_TRUE(temporaryDownloads().isEmpty());
    EXPECT_TRUE(log.lines().contains("Call Download\n\n"));
    EXPECT_EQ(DocumentController::shared().documents().size(), 1u);
    EXPECT_TRUE(m_presenter.alerts().isEmpty()) << lastAlertText().toStdString();
}

TEST_F(DropboxSyncJourneyTest, Sync_ConflictResolvedByDone_Uploads)
{
    signIn();
    EditorWindowController* editor = openAndCreate();
    ASSERT_TRUE(editor);
    changeDropboxCopy([](PlistDictionary& records, PlistDictionary&) {
        setRemoteValue(records, recordId(1), "Ann there");
    });
    editLocally(editor, 1, "Ann here");
    const qsizetype finished = m_dropbox.requestsTo(finishRoute).size();
    synchronize(editor);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return editor->syncController().synchronizationController() != nullptr; },
        waitMilliseconds));
    SynchronizationController* conflicts = editor->syncController().synchronizationController();
    EXPECT_EQ(conflicts->creationMethod(), SyncController::DropboxMethod);
    EditorWindowController* remote = editor->syncController().remoteWindowController();
    ASSERT_TRUE(remote);
    // A temporary name means nothing to the user: the window is named after this datafile.
    EXPECT_TRUE(remote->window()->windowTitle().startsWith("My Cards"));
    EXPECT_TRUE(remote->window()->windowTitle().endsWith("-REMOTE"));
    EXPECT_EQ(m_dropbox.requestsTo(finishRoute).size(), finished);

    QTest::mouseClick(conflicts->recordFinishedButton(), Qt::LeftButton);
    QTest::mouseClick(conflicts->doneButton(), Qt::LeftButton);
    waitForTheEnd(editor, [&] { return m_dropbox.requestsTo(finishRoute).size() > finished; });
    const PlistDictionary local = readDatafile(m_localPath);
    EXPECT_EQ(valueIn(local, recordId(1)), "Ann here");
    EXPECT_EQ(m_dropbox.files.value("/My Cards.nv3"), bytesOf(m_localPath));
    EXPECT_TRUE(temporaryDownloads().isEmpty());
}

TEST_F(DropboxSyncJourneyTest, Sync_ConflictsCancelled_NothingUploadedAndTheDownloadGone)
{
    signIn();
    EditorWindowController* editor = openAndCreate();
    ASSERT_TRUE(editor);
    changeDropboxCopy([](PlistDictionary& records, PlistDictionary&) {
        setRemoteValue(records, recordId(1), "Ann there");
    });
    editLocally(editor, 1, "Ann here");
    const QByteArray before = m_dropbox.files.value("/My Cards.nv3");
    synchronize(editor);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return editor->syncController().synchronizationController() != nullptr; },
        waitMilliseconds));
    EXPECT_EQ(temporaryDownloads().size(), 1);
    QTest::mouseClick(editor->syncController().synchronizationController()->cancelButton(),
                      Qt::LeftButton);
    QTest::qWait(100);
    EXPECT_EQ(m_dropbox.files.value("/My Cards.nv3"), before);
    EXPECT_TRUE(temporaryDownloads().isEmpty());
}

TEST_F(DropboxSyncJourneyTest, Sync_FieldMismatch_UploadsNothing)
{
    signIn();
    EditorWindowController* editor = openAndCreate();
    ASSERT_TRUE(editor);
    changeDropboxCopy([](PlistDictionary&, PlistDictionary& settings) {
        PlistValue fields = settings.value("Fields");
        fields.asArray()->append(
            PlistDictionary{{"Identifier", "F9"}, {"Name", "More"}, {"Width", 150.0}});
    });
    const QByteArray before = m_dropbox.files.value("/My Cards.nv3");
    const qsizetype finished = m_dropbox.requestsTo(finishRoute).size();
    synchronize(editor);
    waitForTheEnd(editor, [&] { return !m_presenter.alerts().isEmpty(); });
    EXPECT_EQ(m_presenter.alerts().last().request.informativeText,
              "The field structure of the selected datafile does not match.");
    EXPECT_EQ(m_dropbox.requestsTo(finishRoute).size(), finished);
    EXPECT_TRUE(m_dropbox.requestsTo("/2/files/upload_session/start").size() == finished);
    EXPECT_EQ(m_dropbox.files.value("/My Cards.nv3"), before);
    EXPECT_TRUE(temporaryDownloads().isEmpty());
}

TEST_F(DropboxSyncJourneyTest, Create_ThreeProgressReports_AdvanceTheBarByThreeSteps)
{
    // A datafile of about 100 KB, sent in three pieces.
    QList<QStringList> rows;
    for (int i = 0; i < 50; ++i)
        rows.append({QStringLiteral("Name %1").arg(i), QString(2000, QLatin1Char('t'))});
    writeRecords(m_localPath, {"Name"}, rows);
    signIn();
    EditorWindowController* editor = openWithCommand(m_localPath);
    ASSERT_TRUE(editor);
    // As the upload finds it: saved by this program.
    editor->document()->updateChangeCount(Document::ChangeType::Done);
    editor->document()->saveDocument();
    const qint64 size = QFileInfo(m_localPath).size();
    ASSERT_GT(size, 3 * 32768);
    DropboxClient::setChunkSizeForTesting(size / 3 + 1);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "saveAsNewSyncFile:"));
    // The sheet as the user sees it while the pieces go.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !m_dropbox.requestsTo("/2/files/upload_session/append_v2").isEmpty(); },
        waitMilliseconds));
    if (editor->progressPanel()->isVisible())
        editor->progressPanel()->grab().save(qEnvironmentVariable("NORVA_SHOTS", QDir::tempPath()) +
                                             "/dropbox-uploading.png");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_dropbox.requestsTo(finishRoute).isEmpty(); },
                                waitMilliseconds));
    ASSERT_TRUE(settled(editor));
    EXPECT_EQ(m_dropbox.requestsTo("/2/files/upload_session/append_v2").size(), 3);
    QProgressBar* bar = editor->progressBar();
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), size);
    EXPECT_EQ(bar->value(), 1 + 3 * 32768);
    // The message of the last report, in whole kilobytes.
    EXPECT_EQ(editor->progressPanel()->findChild<QLabel*>()->text(),
              QStringLiteral("Uploaded %1 of %1 KB.").arg(size / 1024));
}

// The redirect of the browser's sign-in, handed over by a second start of the program.
class DropboxSignInJourneyTest : public DropboxSyncJourneyTest {
protected:
    // Paired before, on another machine.
    void beforeLaunch() override
    {
        DropboxSyncJourneyTest::beforeLaunch();
        writeRecords(m_localPath, {"Name"}, {{"Ann", "a"}, {"Bob", "b"}, {"Cid", "c"}},
                     PlistDictionary{{"SyncID", "PAIRED-ELSEWHERE"}});
    }

    // Datafile ▸ Synchronize without a token: the page opened in the browser, by query.
    QUrlQuery beginSignIn(EditorWindowController* editor)
    {
        const qsizetype opened = m_presenter.openedUrls().size();
        synchronize(editor);
        EXPECT_EQ(m_presenter.openedUrls().size(), opened + 1);
        return m_presenter.openedUrls().isEmpty() ? QUrlQuery()
                                                  : QUrlQuery(m_presenter.openedUrls().last());
    }

    // "norva --dropbox-redirect URL", as the desktop starts it.
    void handOver(const QString& url)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", m_dir.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(environment);
        process.start(NORVA_EXECUTABLE, {"--dropbox-redirect", url});
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 30000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    }
};

TEST_F(DropboxSignInJourneyTest, NoToken_BrowserSignInThenTheRedirectSynchronises)
{
    EditorWindowController* editor = openWithCommand(m_localPath);
    ASSERT_TRUE(editor);
    m_dropbox.files["/My Cards.nv3"] = bytesOf(m_localPath);
    const QUrlQuery query = beginSignIn(editor);
    EXPECT_EQ(m_presenter.openedUrls().last().path(), "/oauth2/authorize");
    EXPECT_EQ(query.queryItemValue("client_id"), appKey);
    EXPECT_EQ(query.queryItemValue("response_type"), "code");
    EXPECT_EQ(query.queryItemValue("code_challenge_method"), "S256");
    EXPECT_EQ(query.queryItemValue("token_access_type"), "offline");
    EXPECT_EQ(query.queryItemValue("redirect_uri", QUrl::FullyDecoded),
              "db-abcdefghij12345://2/token");
    EXPECT_TRUE(URLEventManager::shared().hasEventHandler());
    EXPECT_TRUE(m_dropbox.requests().isEmpty());

    ScopedLogCapture log;
    m_dropbox.setAuthorizationCode("code-1");
    handOver("db-abcdefghij12345://2/token?code=code-1&state=" + query.queryItemValue("state"));
    waitForTheEnd(editor, [&] { return !m_dropbox.requestsTo(finishRoute).isEmpty(); });
    const QUrlQuery exchange = m_dropbox.requestsTo("/oauth2/token").value(0).form();
    EXPECT_EQ(FakeDropboxServer::challengeOf(exchange.queryItemValue("code_verifier")),
              query.queryItemValue("code_challenge"));
    EXPECT_TRUE(log.lines().contains("Success! User is logged into Dropbox.\n\n"));
    EXPECT_EQ(m_dropbox.requestsTo("/2/files/download").size(), 1);
    EXPECT_EQ(m_dropbox.files.value("/My Cards.nv3"), bytesOf(m_localPath));
    EXPECT_TRUE(QFile::exists(tokenPath()));

    // Signed in now: nothing opened the second time.
    const qsizetype opened = m_presenter.openedUrls().size();
    synchronize(editor);
    waitForTheEnd(editor, [&] { return m_dropbox.requestsTo(finishRoute).size() == 2; });
    EXPECT_EQ(m_presenter.openedUrls().size(), opened);
}

TEST_F(DropboxSignInJourneyTest, RedirectsThatStartNothing)
{
    EditorWindowController* editor = openWithCommand(m_localPath);
    ASSERT_TRUE(editor);
    m_dropbox.files["/My Cards.nv3"] = bytesOf(m_localPath);
    QUrlQuery query = beginSignIn(editor);
    ScopedLogCapture log;
    // Not a sign-in redirect at all.
    URLEventManager::shared().handleURL("https://example.org/2/token?code=x");
    EXPECT_TRUE(log.lines().isEmpty());
    // Another page's state: an error, and no token asked for.
    URLEventManager::shared().handleURL("db-abcdefghij12345://2/token?code=x&state=forged");
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().front().startsWith("Error: "));
    // The user said no in the browser.
    URLEventManager::shared().handleURL("db-abcdefghij12345://2/token?error=access_denied&state=" +
                                        query.queryItemValue("state"));
    EXPECT_EQ(log.lines().last(), "Authorization flow was manually canceled by user!");
    QTest::qWait(100);
    EXPECT_TRUE(m_dropbox.requests().isEmpty());
    EXPECT_FALSE(editor->progressPanel() && editor->progressPanel()->isVisible());

    // A second attempt after the cancelled one signs in afresh.
    query = beginSignIn(editor);
    m_dropbox.setAuthorizationCode("code-2");
    URLEventManager::shared().handleURL("db-abcdefghij12345://2/token?code=code-2&state=" +
                                        query.queryItemValue("state"));
    waitForTheEnd(editor, [&] { return !m_dropbox.requestsTo(finishRoute).isEmpty(); });
}

// How each failure ends: the copy in the Dropbox folder as it was, the sheet closed, the
// user told, and the records changed here still flagged for the next sync.
struct DropboxFailure {
    const char* name;
    std::function<void(FakeDropboxServer&, QString& datafilesFolder)> arrange;
    QString alert; // "title / text"; empty: none
    bool signInNextTime = false;
};

void PrintTo(const DropboxFailure& failure, std::ostream* stream)
{
    *stream << failure.name;
}

class DropboxFailureJourneyTest : public DropboxSyncJourneyTest,
                                  public ::testing::WithParamInterface<DropboxFailure> {};

TEST_P(DropboxFailureJourneyTest, EndsCleanly)
{
    const DropboxFailure& failure = GetParam();
    signIn();
    EditorWindowController* editor = openAndCreate();
    ASSERT_TRUE(editor);
    editLocally(editor, 2, "Bob here");
    QString folder;
    failure.arrange(m_dropbox, folder);
    const QByteArray before = m_dropbox.files.value("/My Cards.nv3");
    if (!folder.isEmpty())
        m_defaults.setObject(QUrl::fromLocalFile(m_dir.filePath(folder)).toString() + '/',
                             "DatafilesFolderURL");
    const qsizetype requests = m_dropbox.requests().size();
    ScopedLogCapture log;
    synchronize(editor);
    waitForTheEnd(editor, [&] {
        return failure.alert.isEmpty()
                   ? m_dropbox.requests().size() > requests && !log.lines().isEmpty()
                   : !m_presenter.alerts().isEmpty();
    });
    QTest::qWait(200);
    EXPECT_EQ(lastAlertText(), failure.alert);
    EXPECT_EQ(m_dropbox.files.value("/My Cards.nv3"), before);
    const PlistDictionary local = readDatafile(m_localPath);
    EXPECT_EQ(valueIn(local, recordId(2)), "Bob here");
    EXPECT_EQ(flagged(local), QStringList{recordId(2)});
    EXPECT_TRUE(temporaryDownloads().isEmpty());
    EXPECT_EQ(QFile::exists(tokenPath()), !failure.signInNextTime);
    EXPECT_EQ(DocumentController::shared().documents().size(), 1u);

    const qsizetype opened = m_presenter.openedUrls().size();
    synchronize(editor);
    QTest::qWait(100);
    EXPECT_TRUE(settled(editor));
    EXPECT_EQ(m_presenter.openedUrls().size(), opened + (failure.signInNextTime ? 1 : 0));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, DropboxFailureJourneyTest,
    ::testing::Values(
        DropboxFailure{
            "NotFound",
            [](FakeDropboxServer& server, QString&) { server.files.remove("/My Cards.nv3"); },
            "Could not download to Dropbox / Dropbox Error: Route-specific error\nInvalid path: "
            "not_found"},
        DropboxFailure{"RefreshRefused",
                       [](FakeDropboxServer& server, QString&) {
                           server.expireAccessTokens();
                           server.setRefusesRefresh(true);
                       },
                       "Could not download to Dropbox / Dropbox Error: Generic request error\nAuth "
                       "error (401): "
                       "expired_access_token/",
                       true},
        DropboxFailure{
            "FinishFailureEntry",
            [](FakeDropboxServer& server, QString&) {
                server.script(
                    "/2/files/upload_session/finish_batch_v2",
                    {200,
                     R"({"entries":[{".tag":"failure","failure":{".tag":"lookup_failed"}}]})"});
            },
            "Synchronization Failed: / uploadSessionFinishError"},
        DropboxFailure{"FinishRequestFailed",
                       [](FakeDropboxServer& server, QString&) {
                           server.script("/2/files/upload_session/finish_batch_v2", {503, "down"});
                       },
                       "Synchronization Failed: / uploadSessionFinishError"},
        DropboxFailure{"DroppedMidAppend",
                       [](FakeDropboxServer& server, QString&) {
                           // Qt sends a request again once when the connection closes unanswered.
                           server.script("/2/files/upload_session/append_v2", {200, {}, true});
                           server.script("/2/files/upload_session/append_v2", {200, {}, true});
                       },
                       "Synchronization Failed: / uploadNetworkError"},
        DropboxFailure{"TemporaryFileUnwritable",
                       [](FakeDropboxServer&, QString& folder) { folder = "no such folder"; },
                       QString()}),
    [](const ::testing::TestParamInfo<DropboxFailure>& info) {
        return std::string(info.param.name);
    });

TEST_F(DropboxSyncJourneyTest, ExpiredToken_RefreshedAndTheSyncGoesThrough)
{
    signIn();
    EditorWindowController* editor = openAndCreate();
    ASSERT_TRUE(editor);
    editLocally(editor, 2, "Bob here");
    m_dropbox.expireAccessTokens();
    synchronize(editor);
    waitForTheEnd(editor, [&] { return m_dropbox.requestsTo(finishRoute).size() == 2; });
    EXPECT_EQ(m_dropbox.requestsTo("/oauth2/token").size(), 1);
    EXPECT_EQ(m_dropbox.files.value("/My Cards.nv3"), bytesOf(m_localPath));
    EXPECT_TRUE(flagged(readDatafile(m_localPath)).isEmpty());
    EXPECT_TRUE(m_presenter.alerts().isEmpty()) << lastAlertText().toStdString();
}

// A build without a key offers Dropbox nowhere and says why.
class NoDropboxKeyJourneyTest : public DropboxSyncJourneyTest {
protected:
    ApplicationAssembly::LaunchOptions launchOptions() override
    {
        ApplicationAssembly::LaunchOptions options = DropboxSyncJourneyTest::launchOptions();
        options.dropboxAppKey = "not a key";
        return options;
    }
};

TEST_F(NoDropboxKeyJourneyTest, DropboxOffEverywhereWithTheReason)
{
    EXPECT_FALSE(m_assembly->mainController().canUseDropbox());
    EXPECT_FALSE(SyncController::canUseDropbox());
    EXPECT_EQ(m_defaults.integerForKey(SyncController::DefaultSynchMethodKey),
              SyncController::AskEachTime);

    EditorWindowController* editor = openWithCommand(m_localPath);
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "saveAsNewSyncFile:"));
    auto* sheet = VKSheetController::topmostController<SyncChoiceNewSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_FALSE(sheet->dropboxButton()->isEnabled());
    EXPECT_EQ(sheet->dropboxButton()->toolTip(), "Dropbox needs an application key in this build.");
    sheet->window()->grab().save(qEnvironmentVariable("NORVA_SHOTS", QDir::tempPath()) +
                                 "/dropbox-choice-without-key.png");
    QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);

    ASSERT_TRUE(chooseMenuItem(editor->window(), "startPreferences:"));
    PreferencesController* preferences = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* found =
                dynamic_cast<PreferencesController*>(WindowController::controllerForWindow(window)))
            preferences = found;
    ASSERT_TRUE(preferences);
    Toolbar* toolbar = preferences->preferencesToolbarController().toolbar();
    for (ToolbarItem* item : toolbar->items())
        if (item->itemIdentifier() == "Special")
            QTest::mouseClick(toolbar->toolBar()->widgetForAction(item->buttonAction()),
                              Qt::LeftButton);
    ASSERT_EQ(preferences->window()->windowTitle(), "Special");
    QAbstractButton* dropbox =
        preferences->specialControls().syncMethodMatrix->button(SyncController::DropboxMethod);
    EXPECT_FALSE(dropbox->isEnabled());
    EXPECT_EQ(dropbox->toolTip(), "Dropbox needs an application key in this build.");
}

TEST_F(DropboxSyncJourneyTest, WithAKey_DropboxIsOfferedWithoutATip)
{
    EXPECT_TRUE(m_assembly->mainController().canUseDropbox());
    EXPECT_EQ(m_defaults.integerForKey(SyncController::DefaultSynchMethodKey),
              SyncController::DropboxMethod);
    EXPECT_TRUE(SyncController::dropboxUnavailableToolTip().isEmpty());
}
