#include "InstanceChannel.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>

namespace {

constexpr int probeMilliseconds = 3000;
// How often a start waiting for another to listen tries again.
constexpr int retryMilliseconds = 50;
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

bool InstanceChannel::handOver(const QString& path, const QStringList& files, int milliseconds)
{
    return deliver(path, files, QString(), milliseconds);
}

bool InstanceChannel::handOverURL(const QString& path, const QString& url, int milliseconds)
{
    return deliver(path, {}, url, milliseconds);
}

bool InstanceChannel::deliver(const QString& path, const QStringList& files, const QString& url,
                              int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    const auto remaining = [&deadline] { return int(deadline.remainingTime()); };
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(remaining()))
        return false;
    QByteArray request;
    QDataStream encoder(&request, QIODevice::WriteOnly);
    // The URL after the files: a request of files alone reads as it always did.
    encoder << files;
    if (!url.isEmpty())
        encoder << url;
    QDataStream stream(&socket);
    stream << request;
    if (!socket.waitForBytesWritten(remaining()))
        return false;
    while (socket.bytesAvailable() == 0) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(remaining()))
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

InstanceChannel::~InstanceChannel()
{
    // The socket goes before the lock: whoever takes the lock next finds no one there.
    m_server->close();
}

bool InstanceChannel::listen(const QString& path)
{
    if (m_server->isListening())
        return true;
    // Whoever holds the lock listens: two starts at once, each finding no socket or one
    // left by a crash, cannot both take the path. A lock left by a process that died is
    // taken over; one held by a live process never ages.
    auto lock = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    // An instance still answers there (its lock was removed under it): it stays the one.
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(probeMilliseconds))
        return false;
    QLocalServer::removeServer(path);
    if (!m_server->listen(path))
        return false;
    m_lock = std::move(lock);
    return true;
}

InstanceChannel::Start InstanceChannel::listenOrDeliver(
    const QString& path, const std::function<bool(int milliseconds)>& deliver, int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    for (;;) {
        if (deliver(int(deadline.remainingTime())))
            return Start::HandedOver;
        if (listen(path))
            return Start::Listening;
        if (deadline.hasExpired())
            return Start::Unanswered;
        QThread::msleep(retryMilliseconds);
    }
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
            QString url;
            QDataStream decoder(request);
            decoder >> files;
            if (!decoder.atEnd())
                decoder >> url;
            socket->putChar(acknowledgement);
            socket->flush();
            socket->disconnectFromServer();
            if (!url.isEmpty())
                Q_EMIT urlReceived(url);
            else
                Q_EMIT filesReceived(files);
        });
    }
}
