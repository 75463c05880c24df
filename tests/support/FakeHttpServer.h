#pragma once

// A web server on 127.0.0.1 for tests: each path answers with the status and body set
// for it (404 for any other), and every request's path is kept. Nothing leaves the
// machine.
#include <QHostAddress>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

class FakeHttpServer : public QObject {
public:
    struct Response {
        int status = 200;
        QByteArray body;
        // How long the answer keeps the client waiting.
        int delayMilliseconds = 0;
        // The connection closes without any reply.
        bool hangUp = false;
    };

    // Any free port on 127.0.0.1 unless told otherwise.
    explicit FakeHttpServer(const QHostAddress& address = QHostAddress::LocalHost, quint16 port = 0)
    {
        m_server.listen(address, port);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
            }
        });
    }

    void answer(const QString& path, const Response& response) { m_responses[path] = response; }
    // Answers the path's next request only, before the lasting answer; several are taken in turn.
    void answerNext(const QString& path, const Response& response) { m_next[path].append(response); }
    QUrl url(const QString& path) const
    {
        return QUrl(QStringLiteral("http://%1:%2%3")
                        .arg(m_server.serverAddress().toString())
                        .arg(m_server.serverPort())
                        .arg(path));
    }
    bool isListening() const { return m_server.isListening(); }
    quint16 port() const { return m_server.serverPort(); }
    const QStringList& requestedPaths() const { return m_requested; }
    // Each request as it came: the request line, the headers and the body.
    const QList<QByteArray>& requests() const { return m_requests; }
    static QByteArray bodyOf(const QByteArray& request)
    {
        return request.mid(request.indexOf("\r\n\r\n") + 4);
    }
    static QByteArray headerOf(const QByteArray& request, const QByteArray& name)
    {
        const QByteArray head = request.left(request.indexOf("\r\n\r\n"));
        for (const QByteArray& line : head.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
                return line.mid(colon + 1).trimmed();
        }
        return QByteArray();
    }

    // An address on this machine where nothing listens: every connection is refused.
    static QUrl refusedUrl(const QString& path)
    {
        QTcpServer closed;
        closed.listen(QHostAddress::LocalHost);
        const quint16 port = closed.serverPort();
        closed.close();
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path));
    }

private:
    void serve(QTcpSocket* socket)
    {
        QByteArray& request = m_pending[socket];
        request += socket->readAll();
        const qsizetype headEnd = request.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        // The whole body first, as its length says.
        const qint64 length = headerOf(request, "Content-Length").toLongLong();
        if (request.size() - headEnd - 4 < length)
            return;
        const QString path = QString::fromLatin1(request.split(' ').value(1));
        m_requests.append(request);
        m_pending.remove(socket);
        m_requested.append(path);
        QList<Response>& next = m_next[path];
        const Response response =
            next.isEmpty() ? m_responses.value(path, Response{404, "not here"}) : next.takeFirst();
        if (response.hangUp) {
            socket->abort();
            return;
        }
        if (response.delayMilliseconds > 0) {
            QTimer::singleShot(response.delayMilliseconds, socket,
                               [socket, response] { reply(socket, response); });
            return;
        }
        reply(socket, response);
    }

    static void reply(QTcpSocket* socket, const Response& response)
    {
        socket->write("HTTP/1.1 " + QByteArray::number(response.status) +
                      " Fake\r\nContent-Type: application/xml\r\nContent-Length: " +
                      QByteArray::number(response.body.size()) + "\r\nConnection: close\r\n\r\n" +
                      response.body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QMap<QString, Response> m_responses;
    QMap<QString, QList<Response>> m_next;
    QMap<QTcpSocket*, QByteArray> m_pending;
    QStringList m_requested;
    QList<QByteArray> m_requests;
};
