#include "BrowserBridge.h"
#include "BrowserProcessScan.h"
#include "DevToolsPageReader.h"
#include "FakeBrowserBridge.h"
#include "FakeHttpServer.h"
#include "LinuxBrowserBridge.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A /proc tree of its own: one folder per pid with its command line and, when given,
// the link to its executable.
class ProcTree {
public:
    void add(qint64 pid, const QByteArrayList& arguments, const QString& executable = {})
    {
        const QString folder = m_root.filePath(QString::number(pid));
        QDir().mkpath(folder);
        QFile cmdline(folder + QStringLiteral("/cmdline"));
        ASSERT_TRUE(cmdline.open(QIODevice::WriteOnly));
        cmdline.write(arguments.join('\0') + '\0');
        if (!executable.isEmpty())
            QFile::link(executable, folder + QStringLiteral("/exe"));
    }
    QString path() const { return m_root.path(); }

private:
    QTemporaryDir m_root;
};

QByteArray pageList(const QString& url, const QString& title)
{
    return QStringLiteral(R"([{"type":"service_worker","url":"chrome://sw","title":"SW"},)"
                          R"({"type":"page","url":"%1","title":"%2"},)"
                          R"({"type":"page","url":"https://other.example/","title":"Other"}])")
        .arg(url, title)
        .toUtf8();
}

} // namespace

TEST(BrowserTable, EveryRowKeepsItsNameAndThreeLineScripts)
{
    ASSERT_EQ(browserTable().size(), 8);
    const BrowserRow* chrome = browserRowForSignature(0x72696d5a);
    ASSERT_NE(chrome, nullptr);
    EXPECT_EQ(chrome->applicationName, QStringLiteral("Google Chrome"));
    EXPECT_EQ(chrome->urlScript, QStringLiteral("tell application \"Google Chrome\" \n get URL of "
                                                "active tab of window 1 \n end tell"));
    EXPECT_EQ(browserRowForSignature(browserSignature("Vivl"))->automationIdentifier, QString());
    EXPECT_EQ(browserRowForSignature(browserSignature("ShkX"))->urlScript,
              QStringLiteral("tell application \"Demeter\" \n get \u00abclass pURL\u00bb of "
                             "document of window 1 \n end tell"));
    EXPECT_EQ(browserRowForSignature(NoBrowserSignature), nullptr);
    EXPECT_EQ(NoBrowserSignature, 0x78787878u);
}

TEST(FirstAvailableBrowser, FirstInProcessOrderOrThePreferredOne)
{
    FakeBrowserBridge bridge;
    EXPECT_EQ(FirstAvailableBrowser(bridge, NoBrowserSignature), NoBrowserSignature);
    bridge.run("abcd", 5);
    EXPECT_EQ(FirstAvailableBrowser(bridge, NoBrowserSignature), NoBrowserSignature);
    bridge.run("Vivl", 10);
    bridge.run("rimZ", 20);
    EXPECT_EQ(FirstAvailableBrowser(bridge, NoBrowserSignature), browserSignature("Vivl"));
    EXPECT_EQ(FirstAvailableBrowser(bridge, browserSignature("rimZ")), browserSignature("rimZ"));
}

TEST(BrowserProcessScan, BrowsersInPidOrderWithoutTheirHelpers)
{
    ProcTree proc;
    proc.add(900, {"/usr/lib/x86_64-linux-gnu/opera/opera"});
    proc.add(30, {"/opt/google/chrome/chrome", "--type=renderer"});
    proc.add(120, {"/opt/google/chrome/chrome", "--user-data-dir=/tmp/profile"});
    proc.add(40, {"bash"});
    // Renamed arguments: the executable's link decides.
    proc.add(1000, {"browser-main"}, QStringLiteral("/opt/vivaldi/vivaldi-bin"));
    proc.add(50, {"/usr/bin/safari"});
    QDir().mkpath(proc.path() + QStringLiteral("/self"));

    const QList<BrowserProcessScan::Found> found = BrowserProcessScan(proc.path()).scan();
    ASSERT_EQ(found.size(), 3);
    EXPECT_EQ(found[0].browser.signature, browserSignature("rimZ"));
    EXPECT_EQ(found[0].browser.pid, 120);
    EXPECT_EQ(found[0].userDataDir, QStringLiteral("/tmp/profile"));
    EXPECT_EQ(found[1].browser.signature, browserSignature("OPRA"));
    EXPECT_EQ(found[2].browser.signature, browserSignature("Vivl"));

    LinuxBrowserBridge bridge(proc.path());
    EXPECT_EQ(FirstAvailableBrowser(bridge, NoBrowserSignature), browserSignature("rimZ"));
}

TEST(BrowserProcessScan, MissingTreeFindsNothing)
{
    EXPECT_TRUE(BrowserProcessScan(QStringLiteral("/nonexistent/proc")).scan().isEmpty());
}

TEST(DevToolsPageReader, ListAnswersTheFirstPageOrNothing)
{
    const auto page = DevToolsPageReader::pageInList(pageList("https://a.example/x", "A"));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->url, QStringLiteral("https://a.example/x"));
    EXPECT_EQ(page->title, QStringLiteral("A"));

    const auto untitled = DevToolsPageReader::pageInList(R"([{"type":"page","url":"u"}])");
    ASSERT_TRUE(untitled);
    EXPECT_FALSE(untitled->title);

    for (const char* bad : {"", "{}", "[]", "not json", R"([{"type":"page","url":7}])",
                            R"([{"type":"page","url":""}])", R"([{"type":"iframe","url":"u"}])"})
        EXPECT_FALSE(DevToolsPageReader::pageInList(bad)) << bad;
    const QByteArray huge =
        R"([{"type":"page","url":")" + QByteArray(70 * 1024, 'a') + R"("}])";
    EXPECT_FALSE(DevToolsPageReader::pageInList(huge));
}

TEST(DevToolsPageReader, PortFileGivesThePort)
{
    QTemporaryDir profile;
    EXPECT_FALSE(DevToolsPageReader::activePort(profile.path()));
    QFile file(profile.filePath(QStringLiteral("DevToolsActivePort")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("9222\n/devtools/browser/abc\n");
    file.close();
    EXPECT_EQ(DevToolsPageReader::activePort(profile.path()), quint16(9222));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("70000\n");
    file.close();
    EXPECT_FALSE(DevToolsPageReader::activePort(profile.path()));
}

TEST(DevToolsPageReader, EndpointAnswersThePageAndFailuresStayWithinTheLimit)
{
    FakeHttpServer server;
    server.answer(QStringLiteral("/json/list"), {200, pageList("https://b.example/", "B")});
    const auto port = quint16(server.url(QStringLiteral("/")).port());
    const auto page = DevToolsPageReader::frontPage(port);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->url, QStringLiteral("https://b.example/"));
    EXPECT_EQ(page->title, QStringLiteral("B"));

    EXPECT_FALSE(DevToolsPageReader::frontPage(
        quint16(FakeHttpServer::refusedUrl(QStringLiteral("/")).port())));

    server.answer(QStringLiteral("/json/list"), {500, pageList("https://b.example/", "B")});
    EXPECT_FALSE(DevToolsPageReader::frontPage(port));

    server.answer(QStringLiteral("/json/list"), {200, pageList("https://slow/", "S"), 3000});
    QElapsedTimer waited;
    waited.start();
    EXPECT_FALSE(DevToolsPageReader::frontPage(port));
    EXPECT_LT(waited.elapsed(), 2800);
}

TEST(LinuxBrowserBridge, AsksTheRunningBrowsersProfileEndpoint)
{
    FakeHttpServer server;
    server.answer(QStringLiteral("/json/list"), {200, pageList("https://c.example/", "C")});
    ProcTree proc;
    QTemporaryDir config;
    proc.add(7, {"/opt/google/chrome/chrome"});
    LinuxBrowserBridge bridge(proc.path(), config.path());
    ASSERT_EQ(bridge.runningBrowsers().size(), 1);
    const BrowserSignature chrome = browserSignature("rimZ");
    // Started without remote debugging: no port file, no page.
    EXPECT_FALSE(bridge.url(chrome));

    const QString profile = config.filePath(QStringLiteral("google-chrome"));
    QDir().mkpath(profile);
    QFile file(profile + QStringLiteral("/DevToolsActivePort"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::number(server.url(QStringLiteral("/")).port()) + "\n/devtools/x\n");
    file.close();
    EXPECT_EQ(bridge.url(chrome), QStringLiteral("https://c.example/"));
    EXPECT_EQ(bridge.title(chrome), QStringLiteral("C"));
    EXPECT_EQ(server.requestedPaths(), QStringList{QStringLiteral("/json/list")});
}
