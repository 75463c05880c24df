// A user's journeys through the list of the datafiles that the mobile app holds: File ▸
// Get Datafile from Norva Mobile…, the app's server found on a scripted network and
// answering on this machine's loopback.
#include "JourneyTestBase.h"

#include "FakeMobileServer.h"
#include "HttpExchange.h"
#include "KeyedArchiveBuilder.h"
#include "PortNumberSheetController.h"
#include "ProgressPanel.h"
#include "QtPresenter.h"
#include "WiFiListRequestController.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryFile>

#include <cstdio>
#include <unistd.h>

namespace {

// What is written to the standard error stream while it lives: the window's traces.
class TraceCapture {
public:
    TraceCapture()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        dup2(m_file.handle(), STDERR_FILENO);
    }
    ~TraceCapture() { restore(); }
    QString text()
    {
        restore();
        m_file.seek(0);
        return QString::fromUtf8(m_file.readAll());
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
        m_saved = -1;
    }
    QTemporaryFile m_file;
    int m_saved = -1;
};

const QString ListTitle = QStringLiteral("Datafiles on Norva Mobile PLUS");

class WiFiListJourneyTest : public JourneyTestBase {
protected:
    void beforeLaunch() override
    {
        m_network = &FakeServiceBrowser::install();
        m_server = listenAsMobileApp(*m_network, 8080);
    }

    void TearDown() override
    {
        JourneyTestBase::TearDown();
        FakeServiceBrowser::uninstall();
    }

    void answerList(const PlistArray& titles) { m_server->answer(QStringLiteral("/"), {200, KeyedArchiveBuilder::listOf(titles)}); }

    static WiFiListRequestController* listWindow()
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->windowTitle().startsWith(ListTitle))
                return dynamic_cast<WiFiListRequestController*>(WindowController::controllerForWindow(window));
        return nullptr;
    }

    // File ▸ Get Datafile from Norva Mobile…, up to the list's reply.
    WiFiListRequestController* requestList()
    {
        const qsizetype before = m_server->requests().size();
        EXPECT_TRUE(chooseMenuItem(&m_assembly->startWindow(), "startWiFiListRequest:"));
        WiFiListRequestController* list = listWindow();
        EXPECT_TRUE(list);
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_server->requests().size() > before; }, 5000));
        settle();
        return list;
    }

    static void settle() { QTest::qWait(50); }

    static QStringList rows(WiFiListRequestController* list)
    {
        QStringList shown;
        QAbstractItemModel* model = list->listTable()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            shown.append(model->index(row, 0).data().toString());
        return shown;
    }

    static void clickRow(WiFiListRequestController* list, int row)
    {
        QTableView* table = list->listTable();
        const QRect cell = table->visualRect(table->model()->index(row, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    }

    // The row of the title chosen and Download clicked, up to the GETs' answers.
    void download(WiFiListRequestController* list, const QString& title)
    {
        const int row = int(rows(list).indexOf(title));
        ASSERT_GE(row, 0) << title.toStdString();
        clickRow(list, row);
        ASSERT_TRUE(list->downloadButton()->isEnabled());
        QTest::mouseClick(list->downloadButton(), Qt::LeftButton);
        settle();
    }

    // A datafile's bytes as the app would send them.
    QByteArray datafileBytes(const QString& value)
    {
        const QString path = m_dir.filePath("source/" + value + ".nv3");
        QDir().mkpath(QFileInfo(path).path());
        writeRecords(path, {"Name"}, {{value, "text"}});
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    qsizetype getsOf(const QString& path) const { return m_server->requestedPaths().count(path); }

    FakeServiceBrowser::Network* m_network = nullptr;
    std::unique_ptr<FakeHttpServer> m_server;
};

} // namespace

TEST_F(WiFiListJourneyTest, TitlesShownSortedWithoutRegardToCase_DownloadOnlyWithARowChosen)
{
    answerList({"b", "A", "c"});
    WiFiListRequestController* list = requestList();
    ASSERT_TRUE(list);
    EXPECT_TRUE(m_server->requests().front().startsWith("LIST / HTTP/1.1\r\n"));
    EXPECT_EQ(rows(list), QStringList({"A", "b", "c"}));
    EXPECT_FALSE(list->downloadButton()->isEnabled());
    clickRow(list, 1);
    EXPECT_TRUE(list->downloadButton()->isEnabled());
    EXPECT_EQ(list->listTable()->selectionModel()->selectedRows().size(), 1);
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    const QString shots = qEnvironmentVariable("NORVA_SHOTS", QDir::tempPath());
    list->window()->grab().save(shots + "/wifi-list-window.png");
}

TEST_F(WiFiListJourneyTest, DownloadCards_StoredInTheDatafilesFolder_ListedInTheMenu_AndOpened)
{
    answerList({"Cards"});
    const QByteArray cards = datafileBytes("Cards");
    m_server->answer(QStringLiteral("//Cards.nv3"), {200, cards});
    WiFiListRequestController* list = requestList();
    ASSERT_TRUE(list);
    download(list, "Cards");
    EXPECT_EQ(getsOf("//Cards.nv3"), 1);
    const QString stored = m_dir.filePath("Cards.nv3");
    EXPECT_EQ(list->fullDatafileName(), stored);
    EXPECT_EQ(contentsOf(stored), cards);
    Document* opened = DocumentController::shared().documentForURL(QUrl::fromLocalFile(stored));
    ASSERT_TRUE(opened);
    EXPECT_TRUE(opened->windowControllers().front()->window()->isVisible());
    QStringList datafiles;
    for (QAction* item : m_assembly->mainController().menus().datafilesMenu()->actions())
        datafiles.append(item->text());
    EXPECT_TRUE(datafiles.contains("Cards")) << datafiles.join('|').toStdString();
    EXPECT_TRUE(m_presenter.alerts().isEmpty()) << m_presenter.alertMessages().join('|').toStdString();
}

TEST_F(WiFiListJourneyTest, ARepliesOfZeroBytes_FollowedByExactlyOneMoreGet)
{
    answerList({"Cards"});
    const QByteArray cards = datafileBytes("Cards");
    WiFiListRequestController* list = requestList();
    ASSERT_TRUE(list);

    // The second answer is taken.
    m_server->answerNext(QStringLiteral("//Cards.nv3"), {200, ""});
    m_server->answer(QStringLiteral("//Cards.nv3"), {200, cards});
    download(list, "Cards");
    EXPECT_EQ(getsOf("//Cards.nv3"), 2);
    EXPECT_EQ(contentsOf(m_dir.filePath("Cards.nv3")), cards);
    DocumentController::shared().documentForURL(QUrl::fromLocalFile(m_dir.filePath("Cards.nv3")))->close();
    QFile::remove(m_dir.filePath("Cards.nv3"));

    // Two empty answers, and no third request.
    m_server->answer(QStringLiteral("//Cards.nv3"), {200, ""});
    download(list, "Cards");
    EXPECT_EQ(getsOf("//Cards.nv3"), 4);
    EXPECT_FALSE(QFile::exists(m_dir.filePath("Cards.nv3")));
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Download Failed");
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText, "Norva Mobile sent no datafile.");
}

TEST_F(WiFiListJourneyTest, FileThere_CancelKeepsItAndOpensNothing_ReplaceReplacesIt)
{
    answerList({"Cards"});
    const QByteArray mine = datafileBytes("Mine");
    const QString stored = m_dir.filePath("Cards.nv3");
    QFile::copy(m_dir.filePath("source/Mine.nv3"), stored);
    const QByteArray theirs = datafileBytes("Cards");
    m_server->answer(QStringLiteral("//Cards.nv3"), {200, theirs});
    WiFiListRequestController* list = requestList();
    ASSERT_TRUE(list);

    m_presenter.answerAlertWithButton("Cancel");
    download(list, "Cards");
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    const ScriptedPresenter::ShownAlert& asked = m_presenter.lastAlert();
    EXPECT_FALSE(asked.sheet);
    EXPECT_EQ(asked.request.style, AlertRequest::Style::Warning);
    EXPECT_EQ(asked.request.messageText, "This datafile already exists.");
    EXPECT_EQ(asked.request.informativeText, "This action cannot be undone.\nAre you sure you want to replace it?");
    EXPECT_EQ(asked.request.buttons, QStringList({"Replace", "Cancel"}));
    EXPECT_EQ(contentsOf(stored), mine);
    EXPECT_FALSE(list->replaceExistingDatafile());
    EXPECT_FALSE(DocumentController::shared().documentForURL(QUrl::fromLocalFile(stored)));

    m_presenter.answerAlertWithButton("Replace");
    download(list, "Cards");
    EXPECT_EQ(m_presenter.alerts().size(), 2);
    EXPECT_TRUE(list->replaceExistingDatafile());
    EXPECT_EQ(contentsOf(stored), theirs);
    EXPECT_TRUE(DocumentController::shared().documentForURL(QUrl::fromLocalFile(stored)));
}

TEST_F(WiFiListJourneyTest, FileOpenInAWindow_IsNotReplaced)
{
    const QString stored = m_dir.filePath("Cards.nv3");
    writeRecords(stored, {"Name"}, {{"Mine", "text"}});
    const QByteArray mine = contentsOf(stored);
    ASSERT_TRUE(openWithCommand(stored));
    answerList({"Cards"});
    m_server->answer(QStringLiteral("//Cards.nv3"), {200, datafileBytes("Cards")});
    WiFiListRequestController* list = requestList();
    ASSERT_TRUE(list);
    download(list, "Cards");
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Download Failed");
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText, "“Cards.nv3” is open. Close it before replacing it.");
    EXPECT_EQ(contentsOf(stored), mine);
}

TEST_F(WiFiListJourneyTest, TitlesThatAreNoFileName_AreNotListed_AndNothingIsWrittenOutside)
{
    answerList({"../x", "a/b", "..", ".", "", QString("nul") + QChar(0), qint64(7), "Safe"});
    m_server->answer(QStringLiteral("//../x.nv3"), {200, datafileBytes("x")});
    WiFiListRequestController* list = requestList();
    ASSERT_TRUE(list);
    EXPECT_EQ(rows(list), QStringList({"Safe"}));
    const QString outside = QFileInfo(m_dir.path()).dir().filePath("x.nv3");
    EXPECT_FALSE(QFile::exists(outside));
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

TEST_F(WiFiListJourneyTest, ListFails_ConnectionFailed_ListUnchanged_ThenAReplyThatDoesNotDecodeEmptiesIt)
{
    answerList({"A", "B"});
    WiFiListRequestController* list = requestList();
    ASSERT_TRUE(list);
    ASSERT_EQ(rows(list), QStringList({"A", "B"}));

    // The server hangs up, then sends more than a list can be.
    const struct {
        FakeHttpServer::Response response;
        const char* reason;
    } failures[] = {
        {{200, "", 0, true}, "Reason = "},
        {{200, QByteArray(WiFiListRequestController::MaxListReplySize + 1, 'x')}, "Reason = The reply is too large."},
    };
    for (const auto& failure : failures) {
        m_server->answer(QStringLiteral("/"), failure.response);
        requestList();
        ASSERT_FALSE(m_presenter.alerts().isEmpty());
        EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Connection Failed");
        EXPECT_TRUE(m_presenter.lastAlert().request.informativeText.contains(failure.reason))
            << m_presenter.lastAlert().request.informativeText.toStdString();
        EXPECT_EQ(rows(list), QStringList({"A", "B"}));
    }

    // A row chosen, then a reply that is no list: no rows, no Download.
    clickRow(list, 0);
    for (const QByteArray& reply : {QByteArray("File not found"), propertyListBytes(PlistArray{"A"}, PlistFormat::Binary)}) {
        m_server->answer(QStringLiteral("/"), {200, reply});
        requestList();
        EXPECT_TRUE(rows(list).isEmpty());
        EXPECT_FALSE(list->downloadButton()->isEnabled());
        answerList({"A"});
        requestList();
        clickRow(list, 0);
    }
}

TEST_F(WiFiListJourneyTest, Traces_ListAndDownload)
{
    answerList({"Cards", "../x"});
    m_server->answer(QStringLiteral("//Cards.nv3"), {200, datafileBytes("Cards")});
    TraceCapture listing;
    WiFiListRequestController* list = requestList();
    ASSERT_TRUE(list);
    download(list, "Cards");
    const QString traces = listing.text();
    for (const char* line : {"  \nNetService did stop\n\n",
                             "  Left out the title \"../x\": it cannot name a datafile.\n",
                             "  List download successful\n", "  File download successful\n"})
        EXPECT_TRUE(traces.contains(QString::fromUtf8(line))) << line << " in " << traces.toStdString();

    TraceCapture failing;
    m_server->answer(QStringLiteral("/"), {200, "File not found"});
    requestList();
    EXPECT_TRUE(failing.text().contains("  List download failed\n"));
}

TEST_F(WiFiListJourneyTest, TheMobileEditionAnswers_IncorrectDatafileType_AndNoList)
{
    m_server = listenAsMobileApp(*m_network, 8088);
    EXPECT_TRUE(chooseMenuItem(QApplication::activeWindow(), "startWiFiListRequest:"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_presenter.alerts().isEmpty(); }, 5000));
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Incorrect Datafile Type");
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "An nv3 datafile cannot be synced to Norva Mobile.\nIt requires Norva Mobile PLUS.");
    settle();
    EXPECT_TRUE(m_server->requests().isEmpty());
    EXPECT_TRUE(listWindow()->discovery().iPhonePath().endsWith(":8088/"));
}

TEST_F(WiFiListJourneyTest, ThePickersCancel_ClosesTheWindow)
{
    m_network->servers.append({QStringLiteral("Phone"), m_network->servers.front().addresses, 8080});
    EXPECT_TRUE(chooseMenuItem(QApplication::activeWindow(), "startWiFiListRequest:"));
    PortNumberSheetController* picker = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return (picker = VKSheetController::findControllerForObject<PortNumberSheetController>(QVariant()));
    }, 5000));
    WiFiListRequestController* list = listWindow();
    ASSERT_TRUE(list && list->window()->isVisible());
    QTest::mouseClick(picker->cancelButton(), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !list->window()->isVisible(); }, 3000));
    EXPECT_FALSE(list->discovery().isBrowsing());
    EXPECT_TRUE(m_server->requests().isEmpty());
}

TEST_F(WiFiListJourneyTest, TheCommandTwice_OneWindowAndANewRequest_DoneClosesIt)
{
    answerList({"A"});
    WiFiListRequestController* first = requestList();
    ASSERT_TRUE(first);
    // The second time from a datafile's window.
    const QString cards = m_dir.filePath("Cards.nv3");
    writeRecords(cards, {"Name"}, {{"Mine", "text"}});
    activate(&m_assembly->startWindow());
    EditorWindowController* editor = openWithCommand(cards);
    ASSERT_TRUE(editor);
    QTest::mouseClick(first->doneButton(), Qt::LeftButton);
    EXPECT_FALSE(first->window()->isVisible());
    EXPECT_FALSE(first->discovery().isBrowsing());
    answerList({"A", "B"});
    ASSERT_TRUE(chooseMenuItem(editor->window(), "startWiFiListRequest:"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_server->requests().size() == 2; }, 5000));
    settle();
    WiFiListRequestController* second = listWindow();
    EXPECT_EQ(second, first);
    EXPECT_TRUE(second->window()->isVisible());
    EXPECT_EQ(m_server->requests().size(), 2);
    EXPECT_EQ(rows(second), QStringList({"A", "B"}));
    int windows = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        windows += window->windowTitle().startsWith(ListTitle) ? 1 : 0;
    EXPECT_EQ(windows, 1);
}

TEST_F(WiFiListJourneyTest, TheOverwriteQuestionAsItLooks)
{
    answerList({"Cards"});
    writeRecords(m_dir.filePath("Cards.nv3"), {"Name"}, {{"Mine", "text"}});
    m_server->answer(QStringLiteral("//Cards.nv3"), {200, datafileBytes("Cards")});
    WiFiListRequestController* list = requestList();
    ASSERT_TRUE(list);
    QtPresenter onScreen;
    Presenter::setShared(&onScreen);
    const QString shots = qEnvironmentVariable("NORVA_SHOTS", QDir::tempPath());
    QString question;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(window);
            if (!box || !box->isVisible())
                continue;
            question = box->text();
            box->grab().save(shots + "/wifi-list-overwrite.png");
            for (QAbstractButton* button : box->buttons())
                if (button->text() == "Cancel")
                    button->click();
        }
    });
    answer.start(50);
    download(list, "Cards");
    answer.stop();
    Presenter::setShared(&m_presenter);
    EXPECT_EQ(question, "This datafile already exists.");
}

TEST(WiFiListRequestControllerTest, OverwriteDidEnd_SetsTheAnswerFromTheReturnCode)
{
    WiFiListRequestController list;
    list.overWriteConfirmed(AlertFirstButtonReturn);
    EXPECT_TRUE(list.replaceExistingDatafile());
    list.overWriteConfirmed(AlertSecondButtonReturn);
    EXPECT_FALSE(list.replaceExistingDatafile());
    EXPECT_TRUE(list.overwriteConfirmedRan());
    list.startIndeterminateProgressPanel("Working");
    EXPECT_TRUE(list.progressPanel()->isVisible());
    list.incrementProgressPanel("Still working");
    EXPECT_EQ(list.progressPanel()->message(), "Still working");
    list.endIndeterminateProgressPanel();
    EXPECT_FALSE(list.progressPanel()->isVisible());
}
