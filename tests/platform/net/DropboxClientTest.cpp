// The Dropbox client against a fake service on 127.0.0.1: the sign-in's code flow, the
// transfers, and how each kind of failure reaches the caller.
#include "DropboxClient.h"
#include "DBClientsManager.h"
#include "FakeDropboxServer.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const QString appKey = QStringLiteral("abcdefghij12345");
constexpr int waitMilliseconds = 10000;

class DropboxClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        DBClientsManager::configure(
            {DropboxEndpoints::allAt(m_server.base()), appKey, tokenPath()});
    }
    void TearDown() override
    {
        DropboxClient::setChunkSizeForTesting(0);
        DropboxClient::setLargestDownloadForTesting(0);
        DBClientsManager::configure({});
    }

    QString tokenPath() const { return m_dir.filePath("config/Norva/dropbox-token.json"); }

    // Signed in already, with a token the service takes.
    DropboxClient* signedIn()
    {
        m_server.signInAt(tokenPath());
        return DBClientsManager::authorizedClient();
    }

    DropboxDownloadResponse download(const QString& path, const QString& to)
    {
        std::optional<DropboxDownloadResponse> answer;
        DBClientsManager::authorizedClient()->downloadToFile(
            path, to, [&](const DropboxDownloadResponse& response) { answer = response; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, waitMilliseconds));
        return answer.value_or(DropboxDownloadResponse{});
    }

    struct Uploaded {
        DropboxBatchResponse response;
        QList<std::array<qint64, 3>> progress;
    };
    Uploaded upload(const QString& local, const QString& remote)
    {
        Uploaded uploaded;
        bool done = false;
        DBClientsManager::authorizedClient()->batchUploadFiles(
            {{local, DropboxCommitInfo{remote}}},
            [&](qint64 just, qint64 total, qint64 expected) {
                uploaded.progress.append({just, total, expected});
            },
            [&](const DropboxBatchResponse& response) {
                uploaded.response = response;
                done = true;
            });
        EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, waitMilliseconds));
        return uploaded;
    }

    QString writeLocal(const QString& name, const QByteArray& bytes)
    {
        QFile file(m_dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    // Begins a sign-in and gives the authorisation page's query.
    QUrlQuery beginSignIn()
    {
        QUrl opened;
        DBClientsManager::authorizeFromControllerDesktop([&](const QUrl& url) { opened = url; });
        EXPECT_EQ(opened.path(), "/oauth2/authorize");
        return QUrlQuery(opened);
    }

    std::optional<DBOAuthResult> redirect(const QString& url)
    {
        std::optional<DBOAuthResult> result;
        bool handled = DBClientsManager::handleRedirectURL(
            QUrl(url), [&](const DBOAuthResult& r) { result = r; });
        if (handled) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, waitMilliseconds));
        }
        return result;
    }

    QTemporaryDir m_dir;
    FakeDropboxServer m_server;
};

} // namespace

TEST(DropboxAppKeyTest, OnlyFifteenLowerCaseLettersAndDigitsAreAKey)
{
    const std::pair<const char*, bool> cases[] = {
        {"abcdefghij12345", true},  {"", false},
        {"abcdefghij1234", false},  {"abcdefghij123456", false},
        {"ABCDEFGHIJ12345", false}, {"abcdefghij1234-", false}};
    for (const auto& [key, valid] : cases)
        EXPECT_EQ(DBClientsManager::isValidAppKey(QString::fromLatin1(key)), valid) << key;
}

TEST(DropboxApiArgumentTest, CharactersBeyondAsciiAreEscaped)
{
    EXPECT_EQ(DropboxClient::apiArgument({{"path", QStringLiteral("/\u00dcber.nv3")}}),
              R"({"path":"/\u00dcber.nv3"})");
    EXPECT_EQ(DropboxClient::apiArgument({{"path", QStringLiteral("/a\u007f\u20ac")}}),
              R"({"path":"/a\u007f\u20ac"})");
}

TEST_F(DropboxClientTest, SignIn_AuthorizePageCarriesTheCodeFlowWithPKCE)
{
    EXPECT_EQ(DBClientsManager::authorizedClient(), nullptr);
    const QUrlQuery query = beginSignIn();
    EXPECT_EQ(query.queryItemValue("client_id"), appKey);
    EXPECT_EQ(query.queryItemValue("response_type"), "code");
    EXPECT_EQ(query.queryItemValue("code_challenge_method"), "S256");
    EXPECT_EQ(query.queryItemValue("code_challenge").size(), 43);
    EXPECT_EQ(query.queryItemValue("token_access_type"), "offline");
    EXPECT_EQ(query.queryItemValue("redirect_uri", QUrl::FullyDecoded),
              "db-abcdefghij12345://2/token");
    EXPECT_GE(query.queryItemValue("state").size(), 16);
    // A second sign-in asks with a state of its own.
    EXPECT_NE(beginSignIn().queryItemValue("state"), query.queryItemValue("state"));
}

TEST_F(DropboxClientTest, SignIn_RedirectExchangesTheCodeWithTheVerifierAndKeepsTheTokenPrivate)
{
    const QUrlQuery query = beginSignIn();
    m_server.setAuthorizationCode("the-code");
    const std::optional<DBOAuthResult> result = redirect(
        "db-abcdefghij12345://2/token?code=the-code&state=" + query.queryItemValue("state"));
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->isSuccess()) << result->description().toStdString();
    const QList<FakeDropboxServer::Request> exchanges = m_server.requestsTo("/oauth2/token");
    ASSERT_EQ(exchanges.size(), 1);
    const QUrlQuery form = exchanges.front().form();
    EXPECT_EQ(form.queryItemValue("grant_type"), "authorization_code");
    EXPECT_EQ(form.queryItemValue("client_id"), appKey);
    EXPECT_EQ(FakeDropboxServer::challengeOf(form.queryItemValue("code_verifier")),
              query.queryItemValue("code_challenge"));
    EXPECT_EQ(form.queryItemValue("redirect_uri", QUrl::FullyDecoded),
              "db-abcdefghij12345://2/token");

    ASSERT_TRUE(DBClientsManager::authorizedClient());
    EXPECT_EQ(DBClientsManager::authorizedClient()->token().accessToken,
              m_server.lastAccessToken());
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(tokenPath()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // A new start finds it there.
    DBClientsManager::configure({DropboxEndpoints::allAt(m_server.base()), appKey, tokenPath()});
    ASSERT_TRUE(DBClientsManager::authorizedClient());
    EXPECT_EQ(DBClientsManager::authorizedClient()->token().refreshToken, "refresh-1");
}

TEST_F(DropboxClientTest, SignIn_RedirectsThatAreNoAnswerToIt)
{
    // No sign-in pending: even a well-formed redirect is none.
    EXPECT_FALSE(redirect("db-abcdefghij12345://2/token?code=c&state=s"));
    const QString state = beginSignIn().queryItemValue("state");
    EXPECT_FALSE(redirect("https://example.org/2/token?code=c&state=" + state));
    EXPECT_FALSE(redirect("db-otherkey123456://2/token?code=c&state=" + state));

    // Another state: an error, and no token asked for.
    std::optional<DBOAuthResult> result =
        redirect("db-abcdefghij12345://2/token?code=c&state=forged");
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->isError());
    EXPECT_TRUE(m_server.requestsTo("/oauth2/token").isEmpty());

    // The user said no.
    result = redirect("db-abcdefghij12345://2/token?error=access_denied&state=" + state);
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->isCancel());
    EXPECT_TRUE(m_server.requestsTo("/oauth2/token").isEmpty());
    EXPECT_EQ(DBClientsManager::authorizedClient(), nullptr);
}

TEST_F(DropboxClientTest, Download_StreamsTheFileWhole)
{
    ASSERT_TRUE(signedIn());
    m_server.files["/\u00dcber.nv3"] = QByteArray(300000, 'x');
    const QString to = m_dir.filePath("download.nv3");
    const DropboxDownloadResponse response = download(QStringLiteral("/\u00dcber.nv3"), to);
    EXPECT_TRUE(response.succeeded());
    EXPECT_TRUE(response.written);
    QFile file(to);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray(300000, 'x'));
    const FakeDropboxServer::Request request = m_server.requestsTo("/2/files/download").front();
    EXPECT_EQ(request.headers.value("dropbox-api-arg"), R"({"path":"/\u00dcber.nv3"})");
    EXPECT_EQ(request.headers.value("authorization"), "Bearer access-0");
}

TEST_F(DropboxClientTest, Download_PastTheLargestSize_StopsAndLeavesNoFile)
{
    ASSERT_TRUE(signedIn());
    DropboxClient::setLargestDownloadForTesting(100000);
    m_server.files["/big.nv3"] = QByteArray(300000, 'x');
    const QString to = m_dir.filePath("big.nv3");
    const DropboxDownloadResponse response = download(QStringLiteral("/big.nv3"), to);
    EXPECT_FALSE(response.written);
    EXPECT_EQ(response.writeError, "The file is larger than 2 GB.");
    EXPECT_FALSE(QFile::exists(to));

    // Right at the bound the file is taken whole.
    m_server.files["/big.nv3"] = QByteArray(100000, 'y');
    EXPECT_TRUE(download(QStringLiteral("/big.nv3"), to).written);
    EXPECT_EQ(QFileInfo(to).size(), 100000);
}

TEST_F(DropboxClientTest, Download_EachFailureHasItsKindAndWritesNothing)
{
    ASSERT_TRUE(signedIn());
    m_server.files["/a.nv3"] = "bytes";
    using Kind = DropboxRequestError::Kind;
    struct Case {
        const char* name;
        FakeDropboxServer::Scripted answer;
        std::optional<Kind> kind; // none: a route error
    };
    const Case cases[] = {
        {"route",
         {409,
          R"({"error_summary":"path/not_found/","error":{".tag":"path","path":{".tag":"not_found"}}})"},
         {}},
        {"server", {503, "busy"}, Kind::InternalServer},
        {"input", {400, "bad"}, Kind::BadInput},
        {"auth", {401, R"({"error_summary":"invalid_access_token/"})"}, Kind::Auth},
        {"rate", {429, "{}"}, Kind::RateLimit},
        {"other", {418, "teapot"}, Kind::Http},
        {"dropped", {200, {}, true}, Kind::Client},
        {"huge", {500, QByteArray(2 << 20, 'x')}, Kind::Client},
    };

    m_server.setRefusesRefresh(true);
    for (const Case& c : cases) {
        m_server.script("/2/files/download", c.answer);
        // Qt sends a request again once when the connection closes unanswered.
        if (c.answer.drop)
            m_server.script("/2/files/download", c.answer);
        const QString to = m_dir.filePath(QString::fromLatin1(c.name));
        const DropboxDownloadResponse response = download("/a.nv3", to);
        EXPECT_FALSE(response.succeeded()) << c.name;
        EXPECT_FALSE(QFile::exists(to)) << c.name;
        if (c.kind) {
            ASSERT_TRUE(response.requestError) << c.name;
            EXPECT_EQ(response.requestError->kind, *c.kind) << c.name;
        } else {
            ASSERT_TRUE(response.routeError) << c.name;
            EXPECT_TRUE(response.routeError->isPath());
            EXPECT_EQ(response.routeError->lookupTag, "not_found");
        }
        // The refused refresh forgot the token: signed in again for the next case.
        if (!DBClientsManager::authorizedClient())
            signedIn();
    }
    // A folder that cannot take the file: an answer, but nothing written.
    const DropboxDownloadResponse response = download("/a.nv3", m_dir.filePath("missing/a.nv3"));
    EXPECT_TRUE(response.succeeded());
    EXPECT_FALSE(response.written);
    EXPECT_FALSE(response.writeError.isEmpty());
}

TEST_F(DropboxClientTest, ExpiredToken_RefreshedOnceThenTheRequestIsRetried)
{
    ASSERT_TRUE(signedIn());
    m_server.files["/a.nv3"] = "bytes";
    m_server.expireAccessTokens();
    EXPECT_TRUE(download("/a.nv3", m_dir.filePath("a.nv3")).written);
    const QList<FakeDropboxServer::Request> refreshes = m_server.requestsTo("/oauth2/token");
    ASSERT_EQ(refreshes.size(), 1);
    EXPECT_EQ(refreshes.front().form().queryItemValue("grant_type"), "refresh_token");
    EXPECT_EQ(refreshes.front().form().queryItemValue("refresh_token"), "refresh-0");
    EXPECT_EQ(m_server.requestsTo("/2/files/download").size(), 2);
    QFile stored(tokenPath());
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(QJsonDocument::fromJson(stored.readAll())["access_token"].toString(),
              m_server.lastAccessToken());
}

TEST_F(DropboxClientTest, RefusedRefresh_FailsAsAuthAndForgetsTheSignIn)
{
    ASSERT_TRUE(signedIn());
    m_server.files["/a.nv3"] = "bytes";
    m_server.expireAccessTokens();
    m_server.setRefusesRefresh(true);
    const DropboxDownloadResponse response = download("/a.nv3", m_dir.filePath("a.nv3"));
    ASSERT_TRUE(response.requestError);
    EXPECT_EQ(response.requestError->kind, DropboxRequestError::Kind::Auth);
    EXPECT_FALSE(QFile::exists(tokenPath()));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(DBClientsManager::authorizedClient(), nullptr);
}

TEST_F(DropboxClientTest, Upload_InChunksThenOneOverwritingCommit)
{
    ASSERT_TRUE(signedIn());
    DropboxClient::setChunkSizeForTesting(40000);
    QByteArray bytes(100000, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7);
    const QString local = writeLocal("My Cards.nv3", bytes);
    const Uploaded uploaded = upload(local, "/My Cards.nv3");
    ASSERT_TRUE(uploaded.response.results);
    ASSERT_EQ(uploaded.response.results->size(), 1);
    EXPECT_EQ(uploaded.response.results->front().first, local);
    EXPECT_TRUE(uploaded.response.results->front().second.success);
    EXPECT_EQ(uploaded.response.results->front().second.pathDisplay, "/My Cards.nv3");
    EXPECT_EQ(m_server.files.value("/My Cards.nv3"), bytes);
    EXPECT_EQ(uploaded.progress,
              (QList<std::array<qint64, 3>>{
                  {40000, 40000, 100000}, {40000, 80000, 100000}, {20000, 100000, 100000}}));
    const QList<FakeDropboxServer::Request> appends =
        m_server.requestsTo("/2/files/upload_session/append_v2");
    ASSERT_EQ(appends.size(), 3);
    EXPECT_FALSE(appends[1].argument().value("close").toBool());
    EXPECT_TRUE(appends[2].argument().value("close").toBool());
    EXPECT_EQ(appends[2].argument().value("cursor").toObject().value("offset").toInt(), 80000);
    const QJsonObject commit =
        QJsonDocument::fromJson(m_server.requestsTo("/2/files/upload_session/finish_batch_v2")
                                    .front()
                                    .body)["entries"][0]["commit"]
            .toObject();
    EXPECT_EQ(commit, (QJsonObject{{"path", "/My Cards.nv3"}, {"mode", "overwrite"}}));
}

TEST_F(DropboxClientTest, Upload_FailuresByFileAndOfTheBatch)
{
    ASSERT_TRUE(signedIn());
    DropboxClient::setChunkSizeForTesting(4);
    const QString local = writeLocal("a.nv3", "0123456789");
    m_server.files["/a.nv3"] = "old";

    // Cut off mid-append: the file failed, with its request error, and was not committed.
    m_server.script("/2/files/upload_session/append_v2", {200, "null"});
    // Qt sends a request again once when the connection closes unanswered.
    m_server.script("/2/files/upload_session/append_v2", {200, {}, true});
    m_server.script("/2/files/upload_session/append_v2", {200, {}, true});
    Uploaded uploaded = upload(local, "/a.nv3");
    ASSERT_TRUE(uploaded.response.results);
    EXPECT_FALSE(uploaded.response.results->front().second.success);
    EXPECT_FALSE(uploaded.response.results->front().second.failure);
    ASSERT_TRUE(uploaded.response.requestErrors.contains(local));
    EXPECT_EQ(uploaded.response.requestErrors.value(local).kind, DropboxRequestError::Kind::Client);
    EXPECT_TRUE(m_server.requestsTo("/2/files/upload_session/finish_batch_v2").isEmpty());

    // The commit refused for the file.
    m_server.script(
        "/2/files/upload_session/finish_batch_v2",
        {200,
         R"({"entries":[{".tag":"failure","failure":{".tag":"too_many_write_operations"}}]})"});
    uploaded = upload(local, "/a.nv3");
    ASSERT_TRUE(uploaded.response.results);
    EXPECT_EQ(uploaded.response.results->front().second.failure, "too_many_write_operations");

    // The batch itself failed: no results.
    m_server.script("/2/files/upload_session/finish_batch_v2", {500, "down"});
    uploaded = upload(local, "/a.nv3");
    EXPECT_FALSE(uploaded.response.results);
    ASSERT_TRUE(uploaded.response.finishRequestError);
    EXPECT_EQ(uploaded.response.finishRequestError->kind,
              DropboxRequestError::Kind::InternalServer);
    EXPECT_EQ(m_server.files.value("/a.nv3"), "old");
}
