#include "InstanceChannel.h"

#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>

namespace {

constexpr int waitMilliseconds = 3000;
// Sent back once the files were taken.
constexpr char acknowledgement = 'K';
// A request is a list of paths; nothing sensible holds more.
constexpr qint64 largestRequest = 16 * 1024 * 1024;

} // namespace

QString InstanceChannel::defaultPath()
{
    return runtimePath(QStringLiteral("norva-instance"));
}

QString InstanceChannel::runtimePath(const QString& name)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QLatin1Char('/') + name;
}

bool InstanceChannel::handOver(const QString& path, const QStringList& files)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(waitMilliseconds))
        return false;
    QByteArray request;
    QDataStream encoder(&request, QIODevice::WriteOnly);
    encoder << files;
    QDataStream stream(&socket);
    stream << request;
    if (!socket.waitForBytesWritten(waitMilliseconds))
        return false;
    while (socket.bytesAvailable() == 0) {
        if (!socket.waitForReadyRead(waitMilliseconds))
            return false;
    }
    char reply = 0;
    return socket.getChar(&reply) && reply == acknowledgement;
}

InstanceChannel::InstanceChannel(QObject* parent)
    : QObject(parent), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceChannel::receive);
}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::listen(const QString& path)
{
    if (m_server->listen(path))
        return true;
    if (m_server->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    // Someone answers there: that is the running instance.
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(waitMilliseconds))
        return false;
    QLocalServer::removeServer(path);
    return m_server->listen(path);
}

void InstanceChannel::receive()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QPointer<QLocalSocket> guarded(socket);
        connect(socket, &QLocalSocket::readyRead, this, [this, guarded] {
            if (!guarded)
                return;
            QLocalSocket* socket = guarded.data();
            if (socket->bytesAvailable() > largestRequest) {
                socket->abort();
                return;
            }
            // The request is one length-prefixed block: wait until all of it is here.
            QDataStream stream(socket);
            stream.startTransaction();
            QByteArray request;
            stream >> request;
            if (!stream.commitTransaction())
                return;
            QStringList files;
            QDataStream decoder(request);
            decoder >> files;
            socket->putChar(acknowledgement);
            socket->flush();
            socket->disconnectFromServer();
            Q_EMIT filesReceived(files);
        });
    }
}
