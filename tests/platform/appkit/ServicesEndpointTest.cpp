#include "ServicesEndpoint.h"

#include "PropertyList.h"
#include "SystemLog.h"

#include <QLocalSocket>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

QByteArray lengthOf(quint32 length)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(length, bytes.data());
    return bytes;
}

QByteArray framed(const PlistValue& value)
{
    const QByteArray list = propertyListBytes(value, PlistFormat::Binary);
    return lengthOf(quint32(list.size())) + list;
}

class ServicesEndpointTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_endpoint.setRequestTimeout(200);
        m_endpoint.setProvider([this](const QString& service, const QMimeData& pasteboard) {
            m_served.append(service + ": " + pasteboard.text());
            if (pasteboard.text() == "refuse")
                return ServicesEndpoint::Reply{false, "refused on request"};
            return ServicesEndpoint::Reply{true, QString()};
        });
        ASSERT_TRUE(m_endpoint.listen(path()));
    }

    QString path() const { return m_dir.filePath("services"); }

    // Writes the bytes and waits, serving, for the whole answer.
    PlistDictionary exchange(const QByteArray& request)
    {
        QLocalSocket socket;
        socket.connectToServer(path());
        EXPECT_TRUE(socket.waitForConnected(3000));
        socket.write(request);
        QByteArray bytes;
        const auto whole = [&] {
            bytes += socket.readAll();
            return bytes.size() >= 4 &&
                   bytes.size() >= 4 + qint64(qFromBigEndian<quint32>(bytes.constData()));
        };
        EXPECT_TRUE(QTest::qWaitFor(whole, 5000));
        if (bytes.size() < 4)
            return {};
        const PlistReadResult read = readPropertyList(QByteArrayView(bytes).sliced(4));
        EXPECT_TRUE(read.ok());
        return read.value.asDictionary() ? *read.value.asDictionary() : PlistDictionary();
    }

    PlistDictionary request(const QString& text)
    {
        QMimeData pasteboard;
        pasteboard.setText(text);
        return exchange(ServicesEndpoint::encodeRequest("addToPreferred", pasteboard));
    }

    QTemporaryDir m_dir;
    ServicesEndpoint m_endpoint;
    QStringList m_served;
};

} // namespace

TEST_F(ServicesEndpointTest, Request_ReachesTheProviderWithItsTypesAndIsAnswered)
{
    QMimeData pasteboard;
    pasteboard.setText("Hello");
    pasteboard.setData("text/rtf", "{\\rtf1 Hello}");
    pasteboard.setData("application/x-unknown", "left out");
    const QByteArray bytes = ServicesEndpoint::encodeRequest("addToPreferred", pasteboard);
    const PlistReadResult sent = readPropertyList(QByteArrayView(bytes).sliced(4));
    ASSERT_TRUE(sent.ok());
    EXPECT_TRUE(bytes.sliced(4).startsWith("bplist00"));
    EXPECT_EQ(sent.value.asDictionary()->value("Types").asDictionary()->keys(),
              QStringList({"text/plain", "text/rtf"}));

    const PlistDictionary answer = exchange(bytes);

    EXPECT_EQ(m_served, QStringList{"addToPreferred: Hello"});
    EXPECT_EQ(answer.value("Result"), PlistValue(true));
    EXPECT_EQ(answer.value("Reason"), PlistValue(""));
    const PlistDictionary refused = request("refuse");
    EXPECT_EQ(refused.value("Result"), PlistValue(false));
    EXPECT_EQ(refused.value("Reason"), PlistValue("refused on request"));
}

TEST_F(ServicesEndpointTest, BadRequests_AreRefusedWithAReasonAndTheNextIsServed)
{
    const QByteArray array = framed(PlistArray{PlistValue("Service")});
    const QByteArray noData = framed(PlistDictionary{
        {"Service", "addToPreferred"}, {"Types", PlistDictionary{{"text/plain", "not data"}}}});
    const struct {
        const char* name;
        QByteArray bytes;
        QString reason;
    } cases[] = {
        {"malformed", lengthOf(5) + "hello", "The request is not a service request."},
        {"not a dictionary", array, "The request is not a service request."},
        {"types not data", noData, "The request is not a service request."},
        {"truncated", lengthOf(100) + "bplist00", "The request did not arrive whole."},
        {"oversized", lengthOf(64 * 1024 * 1024 + 1) + "bplist00",
         "The request is larger than 64 MiB."},
    };
    ScopedLogCapture log;
    for (const auto& bad : cases) {
        SCOPED_TRACE(bad.name);
        const PlistDictionary answer = exchange(bad.bytes);
        EXPECT_EQ(answer.value("Result"), PlistValue(false));
        EXPECT_EQ(answer.value("Reason"), PlistValue(bad.reason));
        EXPECT_EQ(request("next").value("Result"), PlistValue(true));
    }
    EXPECT_EQ(m_served.size(), 5);
}

TEST_F(ServicesEndpointTest, SecondListener_IsRefusedWhileTheFirstServes_SendFindsNoneElsewhere)
{
    ServicesEndpoint second;
    EXPECT_FALSE(second.listen(path()));
    EXPECT_TRUE(m_endpoint.isListening());
    QMimeData pasteboard;
    EXPECT_FALSE(ServicesEndpoint::send(m_dir.filePath("nobody"), "addToPreferred", pasteboard));
}
