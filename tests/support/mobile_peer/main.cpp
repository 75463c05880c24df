// A stand-in for the mobile app's WiFi Server page, for tests only: it serves the
// datafiles of one folder on the app's port and announces itself on the network.
//   GET //<name>   the file's bytes, or "File not found"
//   POST /         a multipart upload: its file is written under its file name
//   LIST /         a keyed archive of the datafiles' titles
// Received names holding "/" or NUL, "." and "..", and bodies without a length or over
// the bound, are refused.
#include "../KeyedArchiveBuilder.h"
#include "PropertyList.h"
#include "QtAvahiPoll.h"

#include <avahi-client/client.h>
#include <avahi-client/publish.h>
#include <avahi-common/error.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <cstdio>
#include <map>

namespace {

constexpr qint64 MaxBody = qint64(1) << 30;

bool acceptableName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

QByteArray header(const QByteArray& head, const QByteArray& name)
{
    for (const QByteArray& line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name)
            return line.mid(colon + 1).trimmed();
    }
    return QByteArray();
}

class Peer : public QObject {
public:
    explicit Peer(const QString& folder) : m_folder(folder) {}

    bool listen(quint16 port)
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { take(socket); });
            }
        });
        return m_server.listen(QHostAddress::Any, port);
    }

private:
    void take(QTcpSocket* socket)
    {
        QByteArray& request = m_pending[socket];
        request += socket->readAll();
        const qsizetype headEnd = request.indexOf("\r\n\r\n");
        if (headEnd < 0) {
            if (request.size() > 65536)
                answer(socket, 431, "Header too large");
            return;
        }
        const QByteArray head = request.left(headEnd);
        const QList<QByteArray> line = head.left(head.indexOf("\r\n")).split(' ');
        const QByteArray method = line.value(0);
        const QByteArray target = line.value(1);
        qint64 length = 0;
        if (method != "GET") {
            bool known = false;
            length = header(head, "content-length").toLongLong(&known);
            if (!known || length < 0) {
                answer(socket, 411, "Length required");
                return;
            }
            if (length > MaxBody) {
                answer(socket, 413, "Too large");
                return;
            }
        }
        if (request.size() - headEnd - 4 < length)
            return;
        const QByteArray body = request.mid(headEnd + 4, length);
        m_pending.erase(socket);
        if (method == "GET" && target.startsWith("//"))
            get(socket, QUrl::fromPercentEncoding(target.mid(2)));
        else if (method == "POST" && target == "/")
            post(socket, head, body);
        else if (method == "LIST" && target == "/")
            list(socket);
        else
            answer(socket, 400, "Bad request");
    }

    void get(QTcpSocket* socket, const QString& name)
    {
        if (!acceptableName(name)) {
            answer(socket, 400, "Bad name");
            return;
        }
        QFile file(m_folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            answer(socket, 200, "File not found");
            return;
        }
        answer(socket, 200, file.readAll());
    }

    void post(QTcpSocket* socket, const QByteArray& head, const QByteArray& body)
    {
        const QByteArray type = header(head, "content-type");
        const qsizetype at = type.indexOf("boundary=");
        const QByteArray boundary = at < 0 ? QByteArray() : type.mid(at + 9);
        const QByteArray fileStart = "Content-Type: application/octet-stream\r\n\r\n";
        const QByteArray end = "\r\n--" + boundary + "--\r\n";
        const qsizetype second = body.indexOf("\r\n--" + boundary + "\r\n");
        const qsizetype content = body.indexOf(fileStart, second);
        if (boundary.isEmpty() || second < 0 || content < 0 || !body.endsWith(end)) {
            answer(socket, 400, "Not an upload");
            return;
        }
        const QByteArray disposition = body.mid(second, content - second);
        const qsizetype nameAt = disposition.indexOf("filename=\"");
        const qsizetype nameEnd = disposition.lastIndexOf("\"\r\n");
        if (nameAt < 0 || nameEnd <= nameAt + 10) {
            answer(socket, 400, "No file name");
            return;
        }
        const QString name = QString::fromUtf8(disposition.mid(nameAt + 10, nameEnd - nameAt - 10));
        if (!acceptableName(name)) {
            answer(socket, 400, "Bad name");
            return;
        }
        const qsizetype from = content + fileStart.size();
        QSaveFile file(m_folder.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(body.mid(from, body.size() - end.size() - from)) < 0 ||
            !file.commit()) {
            answer(socket, 500, "Not written");
            return;
        }
        std::fprintf(stderr, "mobile_peer: received %s\n", name.toUtf8().constData());
        answer(socket, 200, "OK");
    }

    void list(QTcpSocket* socket)
    {
        QStringList titles;
        for (const QFileInfo& file : m_folder.entryInfoList({"*.nv3", "*.nvm"}, QDir::Files, QDir::Name))
            titles.append(file.completeBaseName());
        PlistArray list;
        for (const QString& title : titles)
            list.append(title);
        answer(socket, 200, KeyedArchiveBuilder::listOf(list));
    }

    static void answer(QTcpSocket* socket, int status, const QByteArray& body)
    {
        socket->write("HTTP/1.1 " + QByteArray::number(status) + " Peer\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QDir m_folder;
    QTcpServer m_server;
    std::map<QTcpSocket*, QByteArray> m_pending;
};

struct Announcement {
    QByteArray name;
    quint16 port = 0;
    AvahiEntryGroup* group = nullptr;
};

void clientChanged(AvahiClient* client, AvahiClientState state, void* userdata)
{
    auto* announcement = static_cast<Announcement*>(userdata);
    if (state != AVAHI_CLIENT_S_RUNNING || announcement->group)
        return;
    announcement->group = avahi_entry_group_new(client, nullptr, nullptr);
    if (!announcement->group ||
        avahi_entry_group_add_service(announcement->group, AVAHI_IF_UNSPEC, AVAHI_PROTO_INET, AvahiPublishFlags(0),
                                      announcement->name.constData(), "_http._tcp", nullptr, nullptr,
                                      announcement->port, nullptr) < 0 ||
        avahi_entry_group_commit(announcement->group) < 0) {
        std::fprintf(stderr, "mobile_peer: not announced: %s\n", avahi_strerror(avahi_client_errno(client)));
        return;
    }
    std::fprintf(stderr, "mobile_peer: announced\n");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QCommandLineParser options;
    options.addOption({"folder", "The datafiles served.", "folder"});
    options.addOption({"port", "8088 (mobile datafiles) or 8080 (desktop datafiles).", "port", "8080"});
    options.addOption({"name", "The service's name.", "name", "Norva Mobile"});
    options.process(application);

    Peer peer(options.value("folder"));
    const quint16 port = quint16(options.value("port").toUInt());
    if (!QDir(options.value("folder")).exists() || !peer.listen(port)) {
        std::fprintf(stderr, "mobile_peer: cannot serve %s on %u\n", qPrintable(options.value("folder")), port);
        return 1;
    }
    QtAvahiPoll poll;
    Announcement announcement{options.value("name").toUtf8(), port};
    int error = 0;
    AvahiClient* client = avahi_client_new(poll.poll(), AvahiClientFlags(0), clientChanged, &announcement, &error);
    if (!client) {
        std::fprintf(stderr, "mobile_peer: no avahi: %s\n", avahi_strerror(error));
        return 1;
    }
    std::fprintf(stderr, "mobile_peer: serving on %u\n", port);
    const int result = application.exec();
    avahi_client_free(client);
    return result;
}
