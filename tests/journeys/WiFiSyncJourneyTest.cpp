// A user's journeys through synchronisation with the mobile app over the network: the
// app's server found on a scripted network and answering on this machine's loopback.
#include "JourneyTestBase.h"

#include "SyncDatafileTesting.h"

#include "FakeMobileServer.h"
#include "HttpExchange.h"
#include "MultipartUploadBody.h"
#include "PortNumberSheetController.h"
#include "QtPresenter.h"
#include "SyncController.h"
#include "WiFiDiscovery.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDirIterator>
#include <QMessageBox>

using namespace SyncDatafileTesting;

namespace {

const QByteArray FilePartStart = "Content-Type: application/octet-stream\r\n\r\n";
const QByteArray BodyEnd = "\r\n--0xKhTmLbOuNdArY--\r\n";

// The file bytes of an upload's body.
QByteArray filePart(const QByteArray& request)
{
    const QByteArray body = FakeHttpServer::bodyOf(request);
    const qsizetype start = body.indexOf(FilePartStart);
    if (start < 0 || !body.endsWith(BodyEnd))
        return QByteArray("<not an upload>");
    const qsizetype from = start + FilePartStart.size();
    return body.mid(from, body.size() - BodyEnd.size() - from);
}

// What an upload of the file under the name is, byte for byte.
QByteArray uploadOf(const QString& name, const QByteArray& file)
{
    const QByteArray disposition =
        "Content-Disposition: form-data; name=\"upload\"; filename=\"" + name.toUtf8() + "\"\r\n";
    return "--0xKhTmLbOuNdArY\r\n" + disposition + "Joe Doe\r\n--0xKhTmLbOuNdArY\r\n" + disposition +
           FilePartStart + file + BodyEnd;
}

class WiFiSyncJourneyTest : public JourneyTestBase {
protected:
    void beforeLaunch() override
    {
        m_defaults.setInteger(SyncController::WiFiMethod, SyncController::DefaultSynchMethodKey);
        m_localPath = m_dir.filePath("My Cards.nv3");
        writeRecords(m_localPath, {"Name"}, {{"Ann", "a"}, {"Bob", "b"}, {"Cid", "c"}});
        m_network = &FakeServiceBrowser::install();
        m_server = listenOn(8080);
    }

    void TearDown() override
    {
        HttpExchange::setMaxReplySizeForTesting(0);
        JourneyTestBase::TearDown();
        FakeServiceBrowser::uninstall();
    }

    std::unique_ptr<FakeHttpServer> listenOn(quint16 port) { return listenAsMobileApp(*m_network, port); }

    // Datafile ▸ Save As New Sync File, up to the upload's answer.
    EditorWindowController* openAndPair()
    {
        EditorWindowController* editor = openWithCommand(m_localPath);
        if (!editor)
            return nullptr;
        m_server->answer(QStringLiteral("/"), {200, "OK"});
        EXPECT_TRUE(chooseMenuItem(editor->window(), "saveAsNewSyncFile:"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_server->requests().size() == 1; }, 5000));
        settle();
        EXPECT_EQ(editor->featureContext().settings()->syncID().size(), 36)
            << m_presenter.alertMessages().join('|').toStdString();
        return editor;
    }

    void synchronize(EditorWindowController* editor, qsizetype requestsAfter)
    {
        ASSERT_TRUE(chooseMenuItem(editor->window(), "synchronizeDatafiles:"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_server->requests().size() >= requestsAfter; }, 5000));
        settle();
    }

    static void settle() { QTest::qWait(50); }

    // The app's copy: what it was last given, changed.
    QByteArray peerCopy(const std::function<void(PlistDictionary& records)>& change)
    {
        const QByteArray given = filePart(m_server->requests().back());
        const PlistReadResult read = readPropertyList(given);
        EXPECT_TRUE(read.ok());
        PlistDictionary top = read.value.asDictionary()->deepCopy();
        PlistValue records = top.value("Records");
        change(*records.asDictionary());
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(writePropertyList(top, buffer, PlistFormat::Xml));
        return buffer.data();
    }

    void editLocally(EditorWindowController* editor, const QString& id, const QString& value)
    {
        editor->featureContext().changes().writeField(editor->engine().recordForIdentifier(id), "F0",
                                                      value, DatafileChanges::Kind::Edit);
    }

    QStringList downloadsLeft() const { return downloadsLeftIn(m_dir.path()); }

    static bool progressShown(EditorWindowController* editor)
    {
        return editor->progressPanel() && editor->progressPanel()->isVisible();
    }

    QString m_localPath;
    FakeServiceBrowser::Network* m_network = nullptr;
    std::unique_ptr<FakeHttpServer> m_server;
};

} // namespace

TEST_F(WiFiSyncJourneyTest, SaveAsNewSyncFile_UploadsTheSavedDatafileUnderItsName)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    const QByteArray& upload = m_server->requests().front();
    EXPECT_TRUE(upload.startsWith("POST / HTTP/1.1\r\n")) << upload.left(40).constData();
    EXPECT_EQ(FakeHttpServer::headerOf(upload, "Content-Type"), "multipart/form-data; boundary=0xKhTmLbOuNdArY");
    const QByteArray saved = contentsOf(m_localPath);
    EXPECT_EQ(FakeHttpServer::bodyOf(upload), uploadOf("My Cards.nv3", saved));
    EXPECT_EQ(FakeHttpServer::headerOf(upload, "Content-Length").toLongLong(), FakeHttpServer::bodyOf(upload).size());
    EXPECT_TRUE(FakeHttpServer::headerOf(upload, "Transfer-Encoding").isEmpty());
    EXPECT_EQ(readDatafile(m_localPath).value("Settings").asDictionary()->stringForKey("SyncID").size(), 36);
    EXPECT_FALSE(progressShown(editor));
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    // One server: no choice, nothing remembered.
    EXPECT_FALSE(m_defaults.stringForKey(WiFiDiscovery::DefaultiPhoneNameKey));
}

TEST_F(WiFiSyncJourneyTest, Synchronize_ChangesOnBothSides_TheAppGetsTheMergedDatafile)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    const QByteArray theirs = peerCopy([](PlistDictionary& records) { setValue(records, recordId(2), "Bob there"); });
    m_server->answer(QStringLiteral("//My%20Cards.nv3"), {200, theirs});
    editLocally(editor, recordId(1), "Ann here");
    m_presenter.answerAlertWithButton("Save Changes");

    synchronize(editor, 3);

    ASSERT_EQ(m_server->requestedPaths(), (QStringList{"/", "//My%20Cards.nv3", "/"}));
    EXPECT_TRUE(m_server->requests()[1].startsWith("GET //My%20Cards.nv3 HTTP/1.1\r\n"));
    const PlistDictionary local = readDatafile(m_localPath);
    EXPECT_EQ(valueIn(local, recordId(1)), "Ann here");
    EXPECT_EQ(valueIn(local, recordId(2)), "Bob there");
    EXPECT_EQ(filePart(m_server->requests()[2]), contentsOf(m_localPath));
    EXPECT_EQ(m_presenter.alertMessages(), QStringList{"Save changes or Revert to previously saved state before proceeding?"});
    EXPECT_FALSE(progressShown(editor));
    EXPECT_TRUE(downloadsLeft().isEmpty()) << downloadsLeft().join(' ').toStdString();
    EXPECT_EQ(DocumentController::shared().documents().size(), 1u);

    // A second sync after the first: the app's copy is now the same.
    m_server->answer(QStringLiteral("//My%20Cards.nv3"), {200, filePart(m_server->requests()[2])});
    synchronize(editor, 5);
    EXPECT_EQ(m_server->requestedPaths().size(), 5);
    EXPECT_EQ(valueIn(readDatafile(m_localPath), recordId(2)), "Bob there");
    EXPECT_TRUE(downloadsLeft().isEmpty());
}

TEST_F(WiFiSyncJourneyTest, Synchronize_RepliesThatBringNoDatafile)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    const QByteArray good = filePart(m_server->requests().front());
    struct Case {
        const char* name;
        FakeHttpServer::Response response;
        qint64 cap;
        QString alert;
        QString informative;
        int uploads;
    };
    const Case cases[] = {
        {"500 with the datafile", {500, good}, 0, QString(), QString(), 1},
        {"zero bytes", {200, ""}, 0, "Download Failed", "Norva Mobile sent no datafile.", 0},
        {"File not found", {200, "File not found"}, 0, QString(), QString(), 0},
        {"File not found, 404", {404, "File not found"}, 0, QString(), QString(), 0},
        {"no marker", {200, "<plist><dict/></plist>"}, 0, "Download Failed", "Norva Mobile sent no datafile.", 0},
        {"over the cap", {200, good}, 100, "Download Failed",
         "Description = The reply could not be taken in.\n\nReason = The reply is too large.\n\nCode = 299", 0},
    };
    for (const Case& c : cases) {
        m_presenter.clear();
        m_server->answer(QStringLiteral("//My%20Cards.nv3"), c.response);
        HttpExchange::setMaxReplySizeForTesting(c.cap);
        const qsizetype before = m_server->requests().size();
        synchronize(editor, before + 1);
        settle();
        const QStringList paths = m_server->requestedPaths().mid(before);
        EXPECT_EQ(paths.count("/"), c.uploads) << c.name;
        if (c.alert.isEmpty()) {
            EXPECT_TRUE(m_presenter.alerts().isEmpty()) << c.name << " " << m_presenter.alertMessages().join('|').toStdString();
        } else {
            ASSERT_EQ(m_presenter.alerts().size(), 1) << c.name;
            EXPECT_EQ(m_presenter.alerts().front().request.messageText, c.alert) << c.name;
            EXPECT_EQ(m_presenter.alerts().front().request.informativeText, c.informative) << c.name;
        }
        EXPECT_FALSE(progressShown(editor)) << c.name;
        EXPECT_TRUE(downloadsLeft().isEmpty()) << c.name;
        EXPECT_EQ(readDatafile(m_localPath).value("Settings").asDictionary()->stringForKey("SyncID").size(), 36) << c.name;
    }
}

TEST_F(WiFiSyncJourneyTest, Synchronize_ServerRefuses_DownloadFailedWithItsThreeLines)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    m_server.reset();
    ASSERT_TRUE(chooseMenuItem(editor->window(), "synchronizeDatafiles:"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_presenter.alerts().isEmpty(); }, 5000));
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Download Failed");
    EXPECT_TRUE(m_presenter.lastAlert().request.informativeText.startsWith("Description = "));
    EXPECT_TRUE(m_presenter.lastAlert().request.informativeText.endsWith(
        "\n\nReason = The server refused the connection.\n\nCode = 1"))
        << m_presenter.lastAlert().request.informativeText.toStdString();
    EXPECT_FALSE(progressShown(editor));
}

TEST_F(WiFiSyncJourneyTest, Synchronize_UploadRefusedAfterAGoodDownload_UnpairsButKeepsTheChangesFlagged)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    const QString syncID = readDatafile(m_localPath).value("Settings").asDictionary()->stringForKey("SyncID");
    m_defaults.setObject(QStringLiteral("somewhere"), m_localPath + "-sync");
    m_server->answer(QStringLiteral("//My%20Cards.nv3"), {200, filePart(m_server->requests().front())});
    editLocally(editor, recordId(3), "Cid here");
    m_presenter.answerAlertWithButton("Save Changes");
    m_server->answer(QStringLiteral("/"), {200, "", 0, true});

    synchronize(editor, 3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_presenter.alerts().size() == 2; }, 5000));

    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Connection Failed");
    EXPECT_TRUE(m_presenter.lastAlert().request.informativeText.startsWith("Description = "));
    EXPECT_TRUE(m_presenter.lastAlert().request.informativeText.contains("\n\nReason = "));
    EXPECT_TRUE(m_presenter.lastAlert().request.informativeText.contains("\n\nCode = "));
    const PlistDictionary disk = readDatafile(m_localPath);
    EXPECT_EQ(disk.value("Settings").asDictionary()->stringForKey("SyncID"), syncID);
    EXPECT_TRUE(disk.value("Records").asDictionary()->value(recordId(3)).asDictionary()->value("NeedsSync").boolValue());
    EXPECT_EQ(valueIn(disk, recordId(3)), "Cid here");
    EXPECT_EQ(editor->featureContext().settings()->syncID(), "");
    EXPECT_FALSE(m_defaults.stringForKey(m_localPath + "-sync"));
    EXPECT_TRUE(downloadsLeft().isEmpty());
}

TEST_F(WiFiSyncJourneyTest, Synchronize_FieldsDoNotMatch_TheAppGetsItsOwnBytesBackUnderTheLocalName)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    const QString other = m_dir.filePath("other.nv3");
    writeRecords(other, {"Name", "Phone"}, {{"Zed", "1", "z"}});
    const QByteArray theirs = contentsOf(other);
    m_server->answer(QStringLiteral("//My%20Cards.nv3"), {200, theirs});

    synchronize(editor, 3);

    ASSERT_EQ(m_server->requests().size(), 3);
    EXPECT_EQ(FakeHttpServer::bodyOf(m_server->requests()[2]), uploadOf("My Cards.nv3", theirs));
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "The field structure of the selected datafile does not match.");
    EXPECT_TRUE(downloadsLeft().isEmpty());
}

TEST_F(WiFiSyncJourneyTest, SaveAsNewSyncFile_OverTheSizeLimit_WarnsAndContinueUploads)
{
    EditorWindowController* editor = openWithCommand(m_localPath);
    ASSERT_TRUE(editor);
    m_server->answer(QStringLiteral("/"), {200, "OK"});
    // Sparse: a file of the limit's size passes without a word.
    ASSERT_TRUE(QFile::resize(m_localPath, 419430400));
    EXPECT_EQ(QFileInfo(m_localPath).size(), 419430400);
    // Saving with the new Sync ID notices the file grown behind its back.
    m_presenter.answerAlertWithButton("Save Anyway");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "saveAsNewSyncFile:"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_server->requests().size() == 1; }, 5000));
    settle();
    EXPECT_EQ(m_presenter.alerts().size(), 1) << m_presenter.alertMessages().join('|').toStdString();
    m_presenter.clear();

    // One byte more: the warning; Cancel leaves everything.
    ASSERT_TRUE(QFile::resize(m_localPath, 419430401));
    m_presenter.answerAlertWithButton("Save As New");
    m_presenter.answerAlertWithButton("Cancel");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "saveAsNewSyncFile:"));
    ASSERT_EQ(m_presenter.alerts().size(), 2) << m_presenter.alertMessages().join('|').toStdString();
    const AlertRequest& warning = m_presenter.alerts().last().request;
    EXPECT_EQ(warning.messageText, "This Norva Mobile datafile is 400.0 MB.");
    EXPECT_EQ(warning.buttons, (QStringList{"Continue", "Cancel"}));
    EXPECT_TRUE(warning.informativeText.startsWith("Datafiles larger than 400 MB may be sluggish"));
    settle();
    EXPECT_EQ(m_server->requests().size(), 1);

    // Continue looks for the app to upload to (here it finds none, which spares the
    // loopback 400 MB).
    m_network->servers.clear();
    m_presenter.answerAlertWithButton("Save As New");
    m_presenter.answerAlertWithButton("Continue");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "saveAsNewSyncFile:"));
    settle();
    EXPECT_EQ(m_network->calls.count("search"), 2);
    EXPECT_EQ(m_presenter.alerts().size(), 4);
}

TEST_F(WiFiSyncJourneyTest, NamesThatWouldBreakTheWire)
{
    // "#" and "?" are escaped, so the app is asked for this datafile and no other.
    const QString hashed = m_dir.filePath("A#B?.nv3");
    writeRecords(hashed, {"Name"}, {{"Ann", "a"}});
    EditorWindowController* editor = openWithCommand(hashed);
    ASSERT_TRUE(editor);
    m_server->answer(QStringLiteral("/"), {200, "OK"});
    ASSERT_TRUE(chooseMenuItem(editor->window(), "saveAsNewSyncFile:"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_server->requests().size() == 1; }, 5000));
    settle();
    synchronize(editor, 2);
    EXPECT_EQ(m_server->requestedPaths().value(1), "//A%23B%3F.nv3");

    // A line break in the name is refused before anything is sent.
    const QString broken = m_dir.filePath("Line\nBreak.nv3");
    writeRecords(broken, {"Name"}, {{"Ann", "a"}});
    EditorWindowController* second = openWithCommand(broken);
    ASSERT_TRUE(second);
    m_presenter.clear();
    const qsizetype before = m_server->requests().size();
    ASSERT_TRUE(chooseMenuItem(second->window(), "saveAsNewSyncFile:"));
    settle();
    EXPECT_EQ(m_server->requests().size(), before);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Cannot synchronize");
}

TEST_F(WiFiSyncJourneyTest, TwoServers_ThePickerChoosesOneAndRemembersIt_TheSizeWarningAsItLooks)
{
    EditorWindowController* editor = openAndPair();
    ASSERT_TRUE(editor);
    const QString shots = qEnvironmentVariable("NORVA_SHOTS", QDir::tempPath());
    FakeServiceBrowser::Server second = m_network->servers.front();
    second.name = QStringLiteral("Phone");
    m_network->servers.prepend({QStringLiteral("Elsewhere"), {QHostAddress(QStringLiteral("127.0.0.1"))}, 9});
    m_network->servers.append(second);
    m_server->answer(QStringLiteral("//My%20Cards.nv3"), {200, filePart(m_server->requests().front())});

    ASSERT_TRUE(chooseMenuItem(editor->window(), "synchronizeDatafiles:"));
    PortNumberSheetController* picker = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return (picker = VKSheetController::findControllerForObject<PortNumberSheetController>(QVariant()));
    }, 5000));
    ASSERT_EQ(picker->serviceNamesPopup()->count(), 3);
    EXPECT_EQ(picker->serviceNamesPopup()->itemText(2), "Phone");
    picker->window()->grab().save(shots + "/wifi-server-picker.png");
    picker->serviceNamesPopup()->setCurrentIndex(2);
    QTest::mouseClick(picker->okayButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_server->requests().size() == 3; }, 5000));
    settle();
    EXPECT_EQ(m_defaults.stringForKey(WiFiDiscovery::DefaultiPhoneNameKey), "Phone");

    // The next time the stored name is taken without asking.
    synchronize(editor, 5);
    EXPECT_FALSE(VKSheetController::findControllerForObject<PortNumberSheetController>(QVariant()));
    EXPECT_EQ(m_server->requests().size(), 5);

    // The size warning on screen, through the program's own presenter.
    const QString big = m_dir.filePath("Big.nv3");
    writeRecords(big, {"Name"}, {{"Ann", "a"}});
    EditorWindowController* large = openWithCommand(big);
    ASSERT_TRUE(large);
    ASSERT_TRUE(QFile::resize(big, 419430401));
    QtPresenter onScreen;
    Presenter::setShared(&onScreen);
    ASSERT_TRUE(chooseMenuItem(large->window(), "saveAsNewSyncFile:"));
    QMessageBox* box = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (box = large->window()->findChild<QMessageBox*>()) && box->isVisible(); }, 5000));
    EXPECT_EQ(box->text(), "This Norva Mobile datafile is 400.0 MB.");
    box->grab().save(shots + "/wifi-size-warning.png");
    for (QAbstractButton* button : box->buttons())
        if (button->text() == "Cancel")
            button->click();
    Presenter::setShared(&m_presenter);
    settle();
    EXPECT_EQ(m_network->calls.count("search"), 3);
}
