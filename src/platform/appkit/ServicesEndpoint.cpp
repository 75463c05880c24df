#include "ServicesEndpoint.h"

#include "InstanceChannel.h"
#include "Localization.h"
#include "Pasteboard.h"
#include "PropertyList.h"
#include "SystemLog.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMimeData>
#include <QTimer>
#include <QtEndian>

namespace {

constexpr int connectMilliseconds = 3000;
// Opening a large datafile before the record is added takes its time.
constexpr int answerMilliseconds = 120000;
constexpr int lengthSize = 4;

const QString serviceKey = QStringLiteral("Service");
const QString typesKey = QStringLiteral("Types");
const QString resultKey = QStringLiteral("Result");
const QString reasonKey = QStringLiteral("Reason");

QByteArray framed(const PlistValue& value)
{
    const QByteArray list = propertyListBytes(value, PlistFormat::Binary);
    QByteArray bytes(lengthSize, '\0');
    qToBigEndian(quint32(list.size()), bytes.data());
    return bytes + list;
}

quint32 frameLength(const QByteArray& bytes)
{
    return qFromBigEndian<quint32>(bytes.constData());
}

} // namespace

// One client's request: read whole (or refused), answered once, then closed.
class ServicesEndpoint::Connection : public QObject {
public:
    Connection(QLocalSocket* socket, ServicesEndpoint& endpoint)
        : QObject(socket), m_socket(socket), m_endpoint(endpoint)
    {
        connect(socket, &QLocalSocket::readyRead, this, [this] { read(); });
        // A client that leaves before its request is whole is owed no answer. While the
        // request is served (which may run the event loop) the connection stays.
        connect(socket, &QLocalSocket::disconnected, this, [this] {
            if (!m_serving)
                m_socket->deleteLater();
        });
        m_timeout.setSingleShot(true);
        connect(&m_timeout, &QTimer::timeout, this,
                [this] { refuse(localized(QStringLiteral("The request did not arrive whole."))); });
        m_timeout.start(endpoint.m_requestTimeout);
        read();
    }

private:
    void read()
    {
        if (m_answered)
            return;
        m_buffer += m_socket->read(lengthSize + qint64(largestRequest) - m_buffer.size());
        if (m_buffer.size() < lengthSize)
            return;
        const quint32 length = frameLength(m_buffer);
        if (length > largestRequest) {
            refuse(localized(QStringLiteral("The request is larger than 64 MiB.")));
            return;
        }
        if (m_buffer.size() < lengthSize + qint64(length))
            return;
        m_timeout.stop();
        m_serving = true;
        const Reply reply = serve(QByteArrayView(m_buffer).sliced(lengthSize, length));
        m_serving = false;
        answer(reply);
    }

    Reply serve(QByteArrayView request) const
    {
        const PlistReadResult read = readPropertyList(request);
        const PlistDictionary* top = read.ok() ? read.value.asDictionary() : nullptr;
        const PlistValue service = top ? top->value(serviceKey) : PlistValue();
        const PlistValue types = top ? top->value(typesKey) : PlistValue();
        if (!service.isString() || !types.isDictionary())
            return {false, localized(QStringLiteral("The request is not a service request."))};
        QMimeData pasteboard;
        for (const auto& [type, data] : *types.asDictionary()) {
            if (!data.isData())
                return {false, localized(QStringLiteral("The request is not a service request."))};
            pasteboard.setData(type, *data.asData());
        }
        if (!m_endpoint.m_provider)
            return {false, localized(QStringLiteral("Norva offers no services yet."))};
        return m_endpoint.m_provider(*service.asString(), pasteboard);
    }

    void refuse(const QString& reason)
    {
        SystemLog::log(QStringLiteral("Service request refused: %1").arg(reason));
        answer({false, reason});
    }

    void answer(const Reply& reply)
    {
        m_answered = true;
        m_timeout.stop();
        // The client may have gone while the request was served.
        if (m_socket->state() != QLocalSocket::ConnectedState) {
            m_socket->deleteLater();
            return;
        }
        m_socket->write(
            framed(PlistDictionary{{resultKey, reply.result}, {reasonKey, reply.reason}}));
        m_socket->flush();
        m_socket->disconnectFromServer();
    }

    QLocalSocket* m_socket; // the connection's parent
    ServicesEndpoint& m_endpoint;
    QByteArray m_buffer;
    QTimer m_timeout;
    bool m_answered = false;
    bool m_serving = false;
};

const QStringList& ServicesEndpoint::pasteboardTypes()
{
    static const QStringList types{QStringLiteral("text/plain"), Pasteboard::RtfType,
                                   Pasteboard::RtfdType, QStringLiteral("image/png"),
                                   QStringLiteral("image/tiff")};
    return types;
}

QString ServicesEndpoint::defaultPath()
{
    return InstanceChannel::runtimePath(QStringLiteral("norva-services"));
}

QByteArray ServicesEndpoint::encodeRequest(const QString& service, const QMimeData& pasteboard)
{
    PlistDictionary types;
    for (const QString& type : pasteboardTypes()) {
        if (pasteboard.hasFormat(type))
            types.insert(type, pasteboard.data(type));
    }
    return framed(PlistDictionary{{serviceKey, service}, {typesKey, types}});
}

std::optional<ServicesEndpoint::Reply>
ServicesEndpoint::send(const QString& path, const QString& service, const QMimeData& pasteboard)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(connectMilliseconds))
        return std::nullopt;
    socket.write(encodeRequest(service, pasteboard));
    const Reply silent{false, localized(QStringLiteral("Norva did not answer the request."))};
    QByteArray answer;
    QDeadlineTimer deadline(answerMilliseconds);
    while (answer.size() < lengthSize || answer.size() < lengthSize + qint64(frameLength(answer))) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(int(deadline.remainingTime())))
            return silent;
        answer += socket.readAll();
    }
    const PlistReadResult read =
        readPropertyList(QByteArrayView(answer).sliced(lengthSize, frameLength(answer)));
    const PlistDictionary* reply = read.ok() ? read.value.asDictionary() : nullptr;
    if (!reply)
        return silent;
    return Reply{reply->value(resultKey).boolValue(), reply->value(reasonKey).stringValue()};
}

ServicesEndpoint::ServicesEndpoint(QObject* parent)
    : QObject(parent), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &ServicesEndpoint::accept);
}

ServicesEndpoint::~ServicesEndpoint() = default;

bool ServicesEndpoint::listen(const QString& path)
{
    // Listening would take the path over from another running Norva: ask first.
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(connectMilliseconds))
        return false;
    // A socket left by one that died.
    QLocalServer::removeServer(path);
    return m_server->listen(path);
}

bool ServicesEndpoint::isListening() const
{
    return m_server->isListening();
}

void ServicesEndpoint::accept()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection())
        new Connection(socket, *this);
}
