// What goes over the wire to the mobile app, apart from any window.
#include "WiFiRequests.h"
#include "WiFiSyncController.h"

#include "FakeHttpServer.h"

#include <gtest/gtest.h>

TEST(WiFiSyncWireTest, DatafileAddress_TwoSlashesThenTheEscapedName)
{
    const struct {
        const char* name;
        const char* target;
    } cases[] = {
        {"My Cards.nv3", "http://10.0.1.5:8080//My%20Cards.nv3"},
        {"A#B?.nv3", "http://10.0.1.5:8080//A%23B%3F.nv3"},
        {"Q\"<>{}|^`.nvm", "http://10.0.1.5:8080//Q%22%3C%3E%7B%7D%7C%5E%60.nvm"},
        {"Café.nv3", "http://10.0.1.5:8080//Caf%C3%A9.nv3"},
    };
    for (const auto& c : cases) {
        const QUrl url = WiFiRequests::datafileURL(QStringLiteral("http://10.0.1.5:8080/"),
                                                         QString::fromUtf8(c.name));
        EXPECT_TRUE(url.isValid()) << c.name;
        EXPECT_EQ(url.toEncoded(), QByteArray(c.target)) << c.name;
    }
}

TEST(WiFiSyncWireTest, MegabytesText_CutOneDigitAfterThePoint)
{
    EXPECT_EQ(WiFiSyncController::megabytesText(419430401), "400.0");
    EXPECT_EQ(WiFiSyncController::megabytesText(537185485), "512.3");
    EXPECT_EQ(WiFiSyncController::megabytesText(0), "0.0");
}

TEST(WiFiSyncWireTest, FailureTexts)
{
    HttpExchange::Result failed;
    failed.code = 1;
    failed.description = QStringLiteral("Connection refused");
    failed.reason = QStringLiteral("The server refused the connection.");
    EXPECT_EQ(WiFiRequests::downloadFailureText(failed),
              "Description = Connection refused\n\nReason = The server refused the connection.\n\nCode = 1");
    EXPECT_EQ(WiFiRequests::connectionFailureText(failed),
              "Description = Connection refused\n\nReason = The server refused the connection.\n\nCode = 1");
    EXPECT_TRUE(WiFiRequests::nameBreaksUpload(QStringLiteral("a\rb")));
    EXPECT_TRUE(WiFiRequests::nameBreaksUpload(QStringLiteral("a\nb")));
    EXPECT_FALSE(WiFiRequests::nameBreaksUpload(QStringLiteral("a \"b\"")));
}

TEST(WiFiSyncWireTest, ListRequest_CarriesNullAsTheNameAndAnEmptyFilePart)
{
    FakeHttpServer server;
    server.answer(QStringLiteral("/"), {200, "bplist00"});
    const HttpExchange::Result result =
        WiFiRequests::sendUpload(server.url(QStringLiteral("/")), "LIST", QStringLiteral("(null)"), QString());
    ASSERT_TRUE(result.succeeded());
    ASSERT_EQ(server.requests().size(), 1);
    const QByteArray& raw = server.requests().front();
    EXPECT_TRUE(raw.startsWith("LIST / HTTP/1.1\r\n"));
    const QByteArray disposition = "Content-Disposition: form-data; name=\"upload\"; filename=\"(null)\"\r\n";
    EXPECT_EQ(FakeHttpServer::bodyOf(raw),
              "--0xKhTmLbOuNdArY\r\n" + disposition + "Joe Doe\r\n--0xKhTmLbOuNdArY\r\n" + disposition +
                  "Content-Type: application/octet-stream\r\n\r\n\r\n--0xKhTmLbOuNdArY--\r\n");
}
