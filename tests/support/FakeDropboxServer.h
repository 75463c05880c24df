#pragma once

// The Dropbox HTTP API as far as Norva uses it, on 127.0.0.1: the token route, the
// download and the three upload-session routes, over files it keeps in memory. Tokens
// are checked; a route can be scripted to answer otherwise or to drop the connection;
// every request is kept. Nothing leaves the machine.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSet>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <QUrlQuery>

class FakeDropboxServer : public QObject {
public:
    struct Request {
        QByteArray method;
        QString route;
        QMap<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
        QJsonObject argument() const
        {
            return QJsonDocument::fromJson(headers.value("dropbox-api-arg")).object();
        }
        QUrlQuery form() const { return QUrlQuery(QString::fromLatin1(body)); }
    };
    struct Scripted {
        int status = 200;
        QByteArray body;
        bool drop = false; // the connection closes without an answer
    };

    FakeDropboxServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
            }
        });
    }

    QUrl base() const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()));
    }

    // Files at the root of the folder, by path ("/My Cards.nv3").
    QMap<QString, QByteArray> files;
    const QList<Request>& requests() const { return m_requests; }
    QList<Request> requestsTo(const QString& route) const
    {
        QList<Request> found;
        for (const Request& request : m_requests)
            if (request.route == route)
                found.append(request);
        return found;
    }

    // A token the service accepts, as if signed in already.
    void acceptToken(const QString& access) { m_valid.insert(access); }
    // Signed in before: the token pair "access-0" and "refresh-0" stored at the path as
    // Norva keeps it, and taken here.
    void signInAt(const QString& tokenPath)
    {
        QDir().mkpath(QFileInfo(tokenPath).absolutePath());
        QFile token(tokenPath);
        if (token.open(QIODevice::WriteOnly))
            token.write(R"({"access_token":"access-0","refresh_token":"refresh-0"})");
        acceptToken("access-0");
        grantRefreshToken("refresh-0");
    }
    // The access token ages: the next requests with it are refused as expired.
    void expireAccessTokens()
    {
        m_expired += m_valid;
        m_valid.clear();
    }
    void setRefusesRefresh(bool refuses) { m_refusesRefresh = refuses; }
    // The code the browser's sign-in gave.
    void setAuthorizationCode(const QString& code) { m_code = code; }
    // The next request to the route gets this instead (in order, one each).
    void script(const QString& route, const Scripted& scripted)
    {
        m_scripts[route].append(scripted);
    }
    // The access and refresh tokens handed out last.
    QString lastAccessToken() const { return m_lastAccess; }

    static QString challengeOf(const QString& verifier)
    {
        return QString::fromLatin1(
            QCryptographicHash::hash(verifier.toLatin1(), QCryptographicHash::Sha256)
                .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
    }

private:
    struct Session {
        QByteArray bytes;
        bool closed = false;
    };

    void serve(QTcpSocket* socket)
    {
        QByteArray& pending = m_pending[socket];
        pending += socket->readAll();
        const qsizetype headerEnd = pending.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        Request request;
        const QList<QByteArray> lines = pending.left(headerEnd).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.route = QUrl(QString::fromLatin1(first.value(1))).path();
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                       lines[i].mid(colon + 1).trimmed());
        }
        const qsizetype length = request.headers.value("content-length", "0").toLongLong();
        if (pending.size() < headerEnd + 4 + length)
            return;
        request.body = pending.mid(headerEnd + 4, length);
        m_pending.remove(socket);
        m_requests.append(request);
        if (!m_scripts.value(request.route).isEmpty()) {
            const Scripted scripted = m_scripts[request.route].takeFirst();
            if (scripted.drop) {
                socket->abort();
                return;
            }
            reply(socket, scripted.status, scripted.body);
            return;
        }
        answer(socket, request);
    }

    static QByteArray json(const QJsonObject& object)
    {
        return QJsonDocument(object).toJson(QJsonDocument::Compact);
    }
    static QByteArray errorJson(const QString& summary, const QJsonObject& error)
    {
        return json({{"error_summary", summary}, {"error", error}});
    }

    void answer(QTcpSocket* socket, const Request& request)
    {
        if (request.route == "/oauth2/token") {
            token(socket, request);
            return;
        }
        const QString bearer = QString::fromLatin1(request.headers.value("authorization")).mid(7);
        if (!m_valid.contains(bearer)) {
            const bool expired = m_expired.contains(bearer);
            const QString tag = expired ? "expired_access_token" : "invalid_access_token";
            reply(socket, 401, errorJson(tag + "/", {{".tag", tag}}));
            return;
        }
        const QJsonObject argument = request.argument();
        if (request.route == "/2/files/download") {
            const QString path = argument.value("path").toString();
            if (!files.contains(path)) {
                reply(socket, 409,
                      errorJson("path/not_found/..",
                                {{".tag", "path"}, {"path", QJsonObject{{".tag", "not_found"}}}}));
                return;
            }
            reply(socket, 200, files.value(path), "application/octet-stream");
        } else if (request.route == "/2/files/upload_session/start") {
            const QString id = QStringLiteral("session-%1").arg(m_sessions.size() + 1);
            m_sessions[id] = Session{request.body, argument.value("close").toBool()};
            reply(socket, 200, json({{"session_id", id}}));
        } else if (request.route == "/2/files/upload_session/append_v2") {
            const QJsonObject cursor = argument.value("cursor").toObject();
            const QString id = cursor.value("session_id").toString();
            if (!m_sessions.contains(id) || m_sessions[id].closed ||
                qint64(cursor.value("offset").toDouble()) != m_sessions[id].bytes.size()) {
                reply(socket, 409, errorJson("incorrect_offset/", {{".tag", "incorrect_offset"}}));
                return;
            }
            m_sessions[id].bytes += request.body;
            m_sessions[id].closed = argument.value("close").toBool();
            reply(socket, 200, "null");
        } else if (request.route == "/2/files/upload_session/finish_batch_v2") {
            QJsonArray entries;
            for (const QJsonValue& value :
                 QJsonDocument::fromJson(request.body).object().value("entries").toArray()) {
                const QJsonObject cursor = value.toObject().value("cursor").toObject();
                const QJsonObject commit = value.toObject().value("commit").toObject();
                const QString id = cursor.value("session_id").toString();
                const QString path = commit.value("path").toString();
                if (m_sessions.contains(id) && m_sessions[id].closed &&
                    qint64(cursor.value("offset").toDouble()) == m_sessions[id].bytes.size()) {
                    files[path] = m_sessions.take(id).bytes;
                    entries.append(QJsonObject{{".tag", "success"},
                                               {"name", path.mid(1)},
                                               {"path_display", path},
                                               {"path_lower", path.toLower()}});
                } else {
                    entries.append(QJsonObject{
                        {".tag", "failure"}, {"failure", QJsonObject{{".tag", "lookup_failed"}}}});
                }
            }
            reply(socket, 200, json({{"entries", entries}}));
        } else {
            reply(socket, 404, "no such route");
        }
    }

    void token(QTcpSocket* socket, const Request& request)
    {
        const QUrlQuery form = request.form();
        const QString grant = form.queryItemValue("grant_type");
        if (grant == "authorization_code" && !m_code.isEmpty() &&
            form.queryItemValue("code", QUrl::FullyDecoded) == m_code) {
            issue(socket, true);
            return;
        }
        if (grant == "refresh_token" && !m_refusesRefresh &&
            form.queryItemValue("refresh_token") == m_refresh && !m_refresh.isEmpty()) {
            issue(socket, false);
            return;
        }
        reply(socket, 400, json({{"error", "invalid_grant"}, {"error_description", "refused"}}));
    }

    void issue(QTcpSocket* socket, bool withRefresh)
    {
        m_lastAccess = QStringLiteral("access-%1").arg(++m_issued);
        m_valid.insert(m_lastAccess);
        QJsonObject answer{
            {"access_token", m_lastAccess}, {"token_type", "bearer"}, {"expires_in", 14400}};
        if (withRefresh) {
            m_refresh = QStringLiteral("refresh-%1").arg(m_issued);
            answer.insert("refresh_token", m_refresh);
        }
        reply(socket, 200, json(answer));
    }

public:
    // What the client would hold after signing in with a refresh token.
    void grantRefreshToken(const QString& refresh) { m_refresh = refresh; }

private:
    static void reply(QTcpSocket* socket, int status, const QByteArray& body,
                      const QByteArray& type = "application/json")
    {
        socket->write("HTTP/1.1 " + QByteArray::number(status) + " Fake\r\nContent-Type: " + type +
                      "\r\nContent-Length: " + QByteArray::number(body.size()) +
                      "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QMap<QTcpSocket*, QByteArray> m_pending;
    QList<Request> m_requests;
    QMap<QString, QList<Scripted>> m_scripts;
    QMap<QString, Session> m_sessions;
    QSet<QString> m_valid;
    QSet<QString> m_expired;
    QString m_code;
    QString m_refresh;
    QString m_lastAccess;
    int m_issued = 0;
    bool m_refusesRefresh = false;
};
