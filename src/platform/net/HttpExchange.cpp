#include "HttpExchange.h"

#include "Localization.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace {

int g_waiting = 0;
qint64 g_maxReplySize = HttpExchange::MaxReplySize;

struct HeldWork {
    QPointer<QObject> context;
    std::function<void()> work;
};

std::vector<HeldWork>& heldWork()
{
    static std::vector<HeldWork> held;
    return held;
}

void runHeldWork()
{
    std::vector<HeldWork> held;
    held.swap(heldWork());
    for (HeldWork& item : held) {
        QObject* context = item.context.data();
        if (!context)
            continue;
        // After the caller of the send has finished with its reply.
        QTimer::singleShot(0, context, std::move(item.work));
    }
}

QString reasonFor(QNetworkReply::NetworkError error, const QString& fallback)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return localized(QStringLiteral("The server refused the connection."));
    case QNetworkReply::HostNotFoundError:
        return localized(QStringLiteral("The server could not be found."));
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        return localized(QStringLiteral("The request timed out."));
    default:
        return fallback;
    }
}

} // namespace

void HttpExchange::setMaxReplySizeForTesting(qint64 bytes)
{
    g_maxReplySize = bytes > 0 ? bytes : MaxReplySize;
}

bool HttpExchange::isWaiting()
{
    return g_waiting > 0;
}

void HttpExchange::whenIdle(QObject* context, std::function<void()> work)
{
    if (!isWaiting()) {
        work();
        return;
    }
    heldWork().push_back({context, std::move(work)});
}

namespace {

// The reply as it comes in: status line and headers, then the body by its length, in
// chunks, or up to the close.
class ReplyReader {
public:
    enum class State { Head, Body, Done, Failed };

    explicit ReplyReader(qint64 cap) : m_cap(cap) {}

    State state() const { return m_state; }
    bool tooLarge() const { return m_tooLarge; }
    QByteArray takeBody() { return std::move(m_body); }

    void take(const QByteArray& bytes)
    {
        m_buffer += bytes;
        while (m_state == State::Head || m_state == State::Body) {
            if (m_state == State::Head ? !readHead() : !readBody())
                return;
        }
    }
    // The connection closed: a body without a length ends there.
    void closed()
    {
        if (m_state == State::Body && m_length < 0 && !m_chunked)
            m_state = State::Done;
    }

private:
    bool readHead()
    {
        const qsizetype end = m_buffer.indexOf("\r\n\r\n");
        if (end < 0) {
            if (m_buffer.size() > (1 << 20))
                m_state = State::Failed;
            return false;
        }
        const QByteArray head = m_buffer.left(end);
        m_buffer.remove(0, end + 4);
        const QList<QByteArray> lines = head.split('\n');
        const QList<QByteArray> status = lines.value(0).trimmed().split(' ');
        if (!status.value(0).startsWith("HTTP/")) {
            m_state = State::Failed;
            return false;
        }
        const int code = status.value(1).toInt();
        // "100 Continue" and the like precede the reply itself.
        if (code >= 100 && code < 200)
            return true;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon <= 0)
                continue;
            const QByteArray name = lines[i].left(colon).trimmed().toLower();
            const QByteArray value = lines[i].mid(colon + 1).trimmed();
            if (name == "content-length")
                m_length = value.toLongLong();
            else if (name == "transfer-encoding" && value.toLower().contains("chunked"))
                m_chunked = true;
        }
        if (m_length > m_cap) {
            fail();
            return false;
        }
        m_state = (m_length == 0 && !m_chunked) ? State::Done : State::Body;
        return true;
    }

    bool readBody()
    {
        if (!m_chunked) {
            if (!append(m_buffer))
                return false;
            m_buffer.clear();
            if (m_length >= 0 && m_body.size() >= m_length) {
                m_body.truncate(m_length);
                m_state = State::Done;
                return true;
            }
            return false;
        }
        if (m_chunkLeft == 0) {
            const qsizetype lineEnd = m_buffer.indexOf("\r\n");
            if (lineEnd < 0)
                return false;
            bool ok = false;
            const QByteArray sizeText = m_buffer.left(lineEnd).split(';').value(0).trimmed();
            const qint64 size = sizeText.toLongLong(&ok, 16);
            if (!ok || size < 0) {
                m_state = State::Failed;
                return false;
            }
            if (size == 0) {
                m_state = State::Done;
                return true;
            }
            m_buffer.remove(0, lineEnd + 2);
            m_chunkLeft = size + 2; // with its CR LF
        }
        const qint64 part = std::min<qint64>(m_chunkLeft, m_buffer.size());
        if (part == 0)
            return false;
        const qint64 data = std::min<qint64>(part, std::max<qint64>(0, m_chunkLeft - 2));
        if (!append(m_buffer.left(data)))
            return false;
        m_buffer.remove(0, part);
        m_chunkLeft -= part;
        return true;
    }

    bool append(const QByteArray& bytes)
    {
        if (m_body.size() + bytes.size() > m_cap) {
            fail();
            return false;
        }
        m_body += bytes;
        return true;
    }

    void fail()
    {
        m_tooLarge = true;
        m_state = State::Failed;
    }

    qint64 m_cap;
    State m_state = State::Head;
    QByteArray m_buffer;
    QByteArray m_body;
    qint64 m_length = -1;
    bool m_chunked = false;
    qint64 m_chunkLeft = 0;
    bool m_tooLarge = false;
};

qint64 networkErrorOf(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return QNetworkReply::ConnectionRefusedError;
    case QAbstractSocket::RemoteHostClosedError:
        return QNetworkReply::RemoteHostClosedError;
    case QAbstractSocket::HostNotFoundError:
        return QNetworkReply::HostNotFoundError;
    case QAbstractSocket::SocketTimeoutError:
        return QNetworkReply::TimeoutError;
    default:
        return QNetworkReply::UnknownNetworkError;
    }
}

} // namespace

// Our own client on a socket: Qt's would tidy the path, and the mobile app is asked with
// the path exactly as built ("//name").
HttpExchange::Result HttpExchange::send(QNetworkRequest request, const QByteArray& method,
                                        QIODevice* body, qint64 maxReplySize)
{
    const QUrl url = request.url();
    QByteArray target = url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
    if (target.isEmpty())
        target = "/";
    QByteArray head = method + ' ' + target + " HTTP/1.1\r\nHost: " + url.host().toUtf8();
    if (url.port() >= 0)
        head += ':' + QByteArray::number(url.port());
    head += "\r\n";
    const QVariant contentType = request.header(QNetworkRequest::ContentTypeHeader);
    if (contentType.isValid())
        head += "Content-Type: " + contentType.toString().toUtf8() + "\r\n";
    for (const QByteArray& name : request.rawHeaderList())
        if (name.toLower() != "content-type")
            head += name + ": " + request.rawHeader(name) + "\r\n";
    // An exact length, so the body is never sent in chunks.
    const qint64 bodyLength = body ? body->size() - body->pos() : 0;
    if (body || method == "POST")
        head += "Content-Length: " + QByteArray::number(bodyLength) + "\r\n";
    head += "Connection: close\r\n\r\n";

    QTcpSocket socket;
    ReplyReader reader(std::min(maxReplySize, g_maxReplySize));
    QEventLoop loop;
    QTimer idle;
    idle.setSingleShot(true);
    idle.setInterval(TransferTimeout);
    std::optional<QAbstractSocket::SocketError> failure;
    bool timedOut = false;
    qint64 sent = 0;
    const auto finishIfDone = [&] {
        if (reader.state() == ReplyReader::State::Done || reader.state() == ReplyReader::State::Failed)
            loop.quit();
    };
    const auto sendMore = [&] {
        idle.start();
        // A few chunks in flight at a time: the file is never read whole.
        while (body && sent < bodyLength && socket.bytesToWrite() < (4 << 20)) {
            const QByteArray chunk = body->read(std::min<qint64>(1 << 20, bodyLength - sent));
            if (chunk.isEmpty()) {
                failure = QAbstractSocket::UnknownSocketError;
                loop.quit();
                return;
            }
            sent += chunk.size();
            socket.write(chunk);
        }
    };
    QObject::connect(&socket, &QTcpSocket::connected, &loop, [&] {
        socket.write(head);
        sendMore();
    });
    QObject::connect(&socket, &QTcpSocket::bytesWritten, &loop, sendMore);
    QObject::connect(&socket, &QTcpSocket::readyRead, &loop, [&] {
        idle.start();
        reader.take(socket.readAll());
        finishIfDone();
    });
    QObject::connect(&socket, &QTcpSocket::errorOccurred, &loop, [&](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError) {
            reader.take(socket.readAll());
            reader.closed();
            if (reader.state() == ReplyReader::State::Done || reader.state() == ReplyReader::State::Failed) {
                loop.quit();
                return;
            }
        }
        failure = error;
        loop.quit();
    });
    QObject::connect(&socket, &QTcpSocket::disconnected, &loop, [&] {
        reader.take(socket.readAll());
        reader.closed();
        if (reader.state() != ReplyReader::State::Done && reader.state() != ReplyReader::State::Failed &&
            !failure)
            failure = QAbstractSocket::RemoteHostClosedError;
        loop.quit();
    });
    QObject::connect(&idle, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    idle.start();
    socket.connectToHost(url.host(), quint16(url.port(80)));
    ++g_waiting;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    --g_waiting;
    socket.disconnect();
    socket.abort();

    Result result;
    if (reader.state() == ReplyReader::State::Done) {
        // Any HTTP reply is an answer, whatever its status.
        result.data = reader.takeBody();
    } else if (reader.tooLarge()) {
        result.code = QNetworkReply::UnknownContentError;
        result.description = localized(QStringLiteral("The reply could not be taken in."));
        result.reason = localized(QStringLiteral("The reply is too large."));
    } else {
        const QAbstractSocket::SocketError error =
            timedOut ? QAbstractSocket::SocketTimeoutError
                     : failure.value_or(QAbstractSocket::UnknownSocketError);
        result.code = networkErrorOf(error);
        result.description = timedOut ? localized(QStringLiteral("The connection timed out."))
                                      : socket.errorString();
        result.reason = reasonFor(QNetworkReply::NetworkError(result.code), result.description);
    }
    if (!isWaiting())
        runHeldWork();
    return result;
}
