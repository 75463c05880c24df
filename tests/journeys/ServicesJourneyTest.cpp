// Text sent to the running program from the desktop (over its services socket, or by a
// second "norva --service ..." process) becomes a record of the preferred datafile.
#include "JourneyTestBase.h"

#include "CurrentRecordEngine.h"
#include "FakeBrowserBridge.h"
#include "RecordData.h"
#include "ServicesEndpoint.h"
#include "SystemLog.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLocalSocket>
#include <QMimeData>
#include <QProcess>
#include <QtEndian>

namespace {

class ServicesJourneyTest : public JourneyTestBase {
protected:
    ApplicationAssembly::LaunchOptions launchOptions() override
    {
        ApplicationAssembly::LaunchOptions options;
        options.servicesEndpoint = endpointPath();
        return options;
    }

    // The runtime folder of this test alone, so tests running side by side never meet.
    QString endpointPath() const { return m_dir.filePath("norva-services"); }

    struct Answer {
        bool result = false;
        QString reason;
    };

    // Sends the request over the socket as another program would, and waits for the
    // answer while the program serves it.
    Answer ask(const QString& service, const QString& text)
    {
        QMimeData pasteboard;
        pasteboard.setText(text);
        QLocalSocket socket;
        socket.connectToServer(endpointPath());
        EXPECT_TRUE(socket.waitForConnected(3000));
        socket.write(ServicesEndpoint::encodeRequest(service, pasteboard));
        QByteArray bytes;
        const auto whole = [&] {
            bytes += socket.readAll();
            return bytes.size() >= 4 &&
                   bytes.size() >= 4 + qint64(qFromBigEndian<quint32>(bytes.constData()));
        };
        EXPECT_TRUE(QTest::qWaitFor(whole, 10000));
        const PlistReadResult read = readPropertyList(QByteArrayView(bytes).sliced(4));
        const PlistDictionary* reply = read.value.asDictionary();
        if (!reply)
            return {};
        return {reply->value("Result").boolValue(), reply->value("Reason").stringValue()};
    }

    void prefer(const QString& key, const QString& path) { m_defaults.setObject(path, key); }

    void setSounds(const QString& success, const QString& failure)
    {
        m_defaults.setObject(success, "SevicesSuccessSound");
        m_defaults.setObject(failure, "SevicesFaliureSound");
    }

    static EditorWindowController* editorOf(const QString& path)
    {
        Document* document = DocumentController::shared().documentForURL(QUrl::fromLocalFile(path));
        return document ? static_cast<EditorWindowController*>(
                              document->windowControllers().front().get())
                        : nullptr;
    }

    static QStringList texts(EditorWindowController* editor)
    {
        QStringList texts;
        for (qint64 i = 0; i < editor->engine().selectedRecordCount(); ++i)
            texts.append(editor->engine().recordAtIndex(i)->textString());
        return texts;
    }
};

} // namespace

TEST_F(ServicesJourneyTest, TextService_ClosedDatafileOpensInFrontWithTheRecord)
{
    const QString path = copyFixture("five.nv3");
    prefer("PreferredServicesDatafilePath", path);
    setSounds("Glass", "Basso");

    const Answer answer = ask("addToPreferred", "Hello from the desktop");

    EXPECT_TRUE(answer.result) << answer.reason.toStdString();
    EditorWindowController* editor = editorOf(path);
    ASSERT_TRUE(editor);
    EXPECT_TRUE(QTest::qWaitForWindowActive(editor->window()));
    EXPECT_EQ(editor->engine().selectedRecordCount(), 6);
    EXPECT_EQ(editor->engine().currentRecord()->textString(), "Hello from the desktop");
    EXPECT_EQ(m_presenter.playedSounds(), QStringList{"Glass"});
    const QPixmap shot = editor->window()->grab();
    EXPECT_FALSE(shot.isNull());
    if (qEnvironmentVariableIsSet("NORVA_SHOTS"))
        shot.save(qEnvironmentVariable("NORVA_SHOTS") + "/service-text.png");
}

TEST_F(ServicesJourneyTest, TextService_OpenDatafileReachedByLinkOrTildeGetsNoSecondWindow)
{
    const QString path = copyFixture("five.nv3");
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    // Another datafile in front of it.
    ASSERT_TRUE(openWithCommand(copyFixture("good.nv3")));
    const QString link = m_dir.filePath("linked.nv3");
    ASSERT_TRUE(QFile::link(path, link));
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", m_dir.path().toUtf8());

    prefer("PreferredServicesDatafilePath", link);
    EXPECT_TRUE(ask("addToPreferred", "by link").result);
    prefer("PreferredServicesDatafilePath", "~/five.nv3");
    EXPECT_TRUE(ask("addToPreferred", "by tilde").result);
    qputenv("HOME", home);

    EXPECT_EQ(DocumentController::shared().documents().size(), 2u);
    EXPECT_EQ(editor->document()->windowControllers().size(), 1u);
    EXPECT_TRUE(QTest::qWaitForWindowActive(editor->window()));
    EXPECT_EQ(texts(editor).size(), 7);
    EXPECT_TRUE(texts(editor).contains("by link"));
    EXPECT_TRUE(texts(editor).contains("by tilde"));
    // No sound was named.
    EXPECT_TRUE(m_presenter.playedSounds().isEmpty());
}

TEST_F(ServicesJourneyTest, Failures_AreLoggedAnsweredWithTheReasonAndSoundTheFailure)
{
    setSounds("Glass", "Basso");
    const QString missing = m_dir.filePath("missing.nv3");
    prefer("PreferredServicesDatafilePath", missing);
    ScopedLogCapture log;

    const Answer unopenable = ask("addToPreferred", "lost?");

    EXPECT_FALSE(unopenable.result);
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines()[0].startsWith("Unable to open " + missing + ": Error "))
        << log.lines()[0].toStdString();
    EXPECT_EQ(unopenable.reason, log.lines()[0]);
    EXPECT_TRUE(DocumentController::shared().documents().empty());
    EXPECT_TRUE(m_presenter.alerts().isEmpty());

    // A datafile being synchronised refuses the record.
    const QString path = copyFixture("five.nv3");
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    editor->engine().setNowSyncing(true);
    prefer("PreferredServicesDatafilePath", path);
    const Answer refused = ask("addToPreferred", "not now");
    editor->engine().setNowSyncing(false);

    EXPECT_FALSE(refused.result);
    EXPECT_FALSE(refused.reason.isEmpty());
    EXPECT_EQ(editor->engine().selectedRecordCount(), 5);
    EXPECT_EQ(m_presenter.playedSounds(), QStringList({"Basso", "Basso"}));

    // No datafile chosen.
    prefer("PreferredServicesDatafilePath", "");
    EXPECT_FALSE(ask("addToPreferred", "nowhere").result);
    EXPECT_EQ(ask("noSuchService", "x").result, false);
}

TEST_F(ServicesJourneyTest, TwoServices_EachUsesItsOwnDatafile)
{
    const QString forText = copyFixture("five.nv3");
    const QString forLinks = copyFixture("good.nv3");
    prefer("PreferredServicesDatafilePath", forText);
    prefer("PreferredServicesDatafilePathForURLs", forLinks);
    setSounds("Glass", "Basso");

    FakeBrowserBridge browsers;
    EXPECT_TRUE(ask("addToPreferred", "some text").result);
    // No browser: the link's datafile comes to the front unchanged.
    const Answer refused = ask("addToPreferredWithURL", "https://example.org/");
    EXPECT_FALSE(refused.result);
    EXPECT_EQ(refused.reason, "No web page could be added.");
    browsers.run("Vivl");
    browsers.showPage("Vivl", "https://example.org/front", "Front");
    EXPECT_TRUE(ask("addToPreferredWithURL", "sent along").result);

    EditorWindowController* text = editorOf(forText);
    EditorWindowController* links = editorOf(forLinks);
    ASSERT_TRUE(text && links);
    EXPECT_TRUE(texts(text).contains("some text"));
    EXPECT_TRUE(texts(links).contains("Front\n\nhttps://example.org/front\n\nsent along"));
    EXPECT_TRUE(QTest::qWaitForWindowActive(links->window()));
    EXPECT_EQ(m_presenter.playedSounds(), QStringList({"Glass", "Basso", "Glass"}));
}

TEST_F(ServicesJourneyTest, SecondProcess_HandsItsTextToTheRunningProgram)
{
    const QString path = copyFixture("five.nv3");
    prefer("PreferredServicesDatafilePath", path);
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", m_dir.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);

    process.start(NORVA_EXECUTABLE, {"--service", "add-text", "Hello"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EditorWindowController* editor = editorOf(path);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->engine().currentRecord()->textString(), "Hello");

    // A refusal exits 1 with the reason.
    prefer("PreferredServicesDatafilePathForURLs", path);
    process.start(NORVA_EXECUTABLE, {"--service", "add-link", "https://example.org/"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 30000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_EQ(process.readAllStandardError().trimmed(), "No web page could be added.");
}

namespace {

// "norva --service add-text TEXT" with no Norva running: the program starts and then
// serves the request itself.
class ServiceAtLaunchJourneyTest : public ServicesJourneyTest {
protected:
    ApplicationAssembly::LaunchOptions launchOptions() override
    {
        m_path = copyFixture("five.nv3");
        prefer("PreferredServicesDatafilePath", m_path);
        QString error;
        ApplicationAssembly::LaunchOptions options = ServicesJourneyTest::launchOptions();
        options.serviceRequest =
            ServiceCommand::parse({"--service", "add-text", "Sent before Norva ran"}, error);
        EXPECT_TRUE(options.serviceRequest) << error.toStdString();
        return options;
    }

    QString m_path;
};

} // namespace

TEST_F(ServiceAtLaunchJourneyTest, RequestGivenAtLaunch_IsServedOnceStarted)
{
    ASSERT_TRUE(QTest::qWaitFor([this] { return editorOf(m_path) != nullptr; }, 5000));
    EXPECT_EQ(editorOf(m_path)->engine().currentRecord()->textString(), "Sent before Norva ran");
    // And the socket serves the next one.
    EXPECT_TRUE(ask("addToPreferred", "and after").result);
    EXPECT_TRUE(texts(editorOf(m_path)).contains("and after"));

    QString error;
    EXPECT_FALSE(ServiceCommand::parse({"--service", "add-picture"}, error));
    EXPECT_EQ(error, "Usage: norva --service add-text|add-link [TEXT]");
    // Without a text the clipboard is sent, all the kinds of it there are.
    auto* clipboard = new QMimeData;
    clipboard->setText("copied");
    clipboard->setData("text/rtf", "{\\rtf1 copied}");
    clipboard->setData("application/x-other", "left");
    QGuiApplication::clipboard()->setMimeData(clipboard);
    const std::optional<ServiceCommand> copied =
        ServiceCommand::parse({"--service", "add-link"}, error);
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->service, "addToPreferredWithURL");
    EXPECT_EQ(copied->pasteboard->formats(), QStringList({"text/plain", "text/rtf"}));
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(ServiceCommand::parse({"--service", "add-text"}, error));
    EXPECT_EQ(error, "The clipboard holds no text or picture to add.");
}
