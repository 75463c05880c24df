#include "FakeHttpServer.h"
#include "HttpExchange.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QNetworkReply>
#include <QTest>

namespace {

HttpExchange::Result get(const QUrl& url)
{
    return HttpExchange::send(QNetworkRequest(url), "GET");
}

} // namespace

TEST(HttpExchangeTest, AnyHttpReplyIsAnAnswer_OnlyNoReplyFails)
{
    struct Case {
        const char* name;
        FakeHttpServer::Response response;
        bool succeeds;
    };
    const Case cases[] = {
        {"200 with a body", {200, "body"}, true},
        {"500 with a body", {500, "server error"}, true},
        {"404 with a body", {404, "File not found"}, true},
        {"empty", {200, ""}, true},
        {"hang-up", {200, "", 0, true}, false},
    };
    for (const Case& c : cases) {
        FakeHttpServer server;
        server.answer(QStringLiteral("/x"), c.response);
        const HttpExchange::Result result = get(server.url(QStringLiteral("/x")));
        EXPECT_EQ(result.succeeded(), c.succeeds) << c.name;
        if (c.succeeds) {
            EXPECT_EQ(result.code, 0) << c.name;
            EXPECT_EQ(*result.data, c.response.body) << c.name;
        } else {
            EXPECT_FALSE(result.data.has_value()) << c.name;
            EXPECT_NE(result.code, 0) << c.name;
            EXPECT_FALSE(result.description.isEmpty()) << c.name;
        }
    }
}

TEST(HttpExchangeTest, Refused_HasTheErrorNumberAndOurReason)
{
    const HttpExchange::Result result = get(FakeHttpServer::refusedUrl(QStringLiteral("/")));
    EXPECT_FALSE(result.data.has_value());
    EXPECT_EQ(result.code, QNetworkReply::ConnectionRefusedError);
    EXPECT_EQ(result.reason, "The server refused the connection.");
    EXPECT_FALSE(result.description.isEmpty());
}

TEST(HttpExchangeTest, ReplyOverTheCap_IsRefusedAsTooLarge)
{
    FakeHttpServer server;
    server.answer(QStringLiteral("/big"), {200, QByteArray(4096, 'x')});
    HttpExchange::setMaxReplySizeForTesting(4095);
    const HttpExchange::Result over = get(server.url(QStringLiteral("/big")));
    HttpExchange::setMaxReplySizeForTesting(4096);
    const HttpExchange::Result at = get(server.url(QStringLiteral("/big")));
    HttpExchange::setMaxReplySizeForTesting(0);
    EXPECT_FALSE(over.succeeded());
    EXPECT_EQ(over.reason, "The reply is too large.");
    EXPECT_TRUE(at.succeeded());
}

TEST(HttpExchangeTest, Body_GoesWithItsExactLengthUnchunked_AndHeldWorkRunsAfter)
{
    FakeHttpServer server;
    server.answer(QStringLiteral("/"), {200, "ok", 50});
    QBuffer body;
    body.setData(QByteArray("a\r\nbody\0with nul", 16));
    ASSERT_TRUE(body.open(QIODevice::ReadOnly));
    QNetworkRequest request(server.url(QStringLiteral("/")));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/octet-stream"));

    QObject context;
    bool ranDuring = false;
    bool ran = false;
    // Something that arrives while the send waits is held until it has returned.
    QTimer::singleShot(10, &context, [&] {
        EXPECT_TRUE(HttpExchange::isWaiting());
        HttpExchange::whenIdle(&context, [&] {
            ranDuring = HttpExchange::isWaiting();
            ran = true;
        });
    });
    const HttpExchange::Result result = HttpExchange::send(request, "POST", &body);
    EXPECT_FALSE(ran);
    ASSERT_TRUE(result.succeeded());
    ASSERT_EQ(server.requests().size(), 1);
    const QByteArray& raw = server.requests().front();
    EXPECT_TRUE(raw.startsWith("POST / HTTP/1.1\r\n"));
    EXPECT_EQ(FakeHttpServer::headerOf(raw, "Content-Length"), "16");
    EXPECT_TRUE(FakeHttpServer::headerOf(raw, "Transfer-Encoding").isEmpty());
    EXPECT_EQ(FakeHttpServer::bodyOf(raw), body.data());
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran; }, 2000));
    EXPECT_FALSE(ranDuring);
}

TEST(HttpExchangeTest, TheTargetGoesAsBuilt_TwoSlashesKept)
{
    FakeHttpServer server;
    server.answer(QStringLiteral("//My%20Cards.nv3"), {200, "x"});
    const QUrl url = QUrl::fromEncoded(server.url(QString()).toEncoded() + "//My%20Cards.nv3", QUrl::StrictMode);
    EXPECT_TRUE(get(url).succeeded());
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_TRUE(server.requests().front().startsWith("GET //My%20Cards.nv3 HTTP/1.1\r\nHost: 127.0.0.1:"));
}
