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
    };

    FakeHttpServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
            }
        });
    }

    void answer(const QString& path, const Response& response) { m_responses[path] = response; }
    QUrl url(const QString& path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }
    const QStringList& requestedPaths() const { return m_requested; }

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
        if (!request.contains("\r\n\r\n"))
            return;
        const QString path = QString::fromLatin1(request.split(' ').value(1));
        m_pending.remove(socket);
        m_requested.append(path);
        const Response response = m_responses.value(path, Response{404, "not here"});
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
    QMap<QTcpSocket*, QByteArray> m_pending;
    QStringList m_requested;
};
