// A WiFi sync over loopback on the local sync benchmark's data: the app's copy fetched by
// GET, written to the temporary file, opened, merged, this datafile saved, and the merged
// datafile uploaded by POST. The app is a server on its own thread that streams its file
// and counts what it receives, so the peak memory is the program's own.
//
//   wifi_sync_bench
#include "BenchMain.h"
#include "HttpExchange.h"
#include "MergeEngine.h"
#include "SyncBenchData.h"
#include "WiFiRequests.h"

#include <QFile>
#include <QFileInfo>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QScopeGuard>
#include <QThread>

#include <cstdio>

using namespace sync_bench_data;

namespace {

class StreamingPeer : public QThread {
public:
    explicit StreamingPeer(const QString& served) : m_served(served) {}

    quint16 port() const { return m_port; }
    void waitUntilListening() { m_listening.acquire(); }
    qint64 received() const { return m_received; }

protected:
    void run() override
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        m_port = server.serverPort();
        QObject::connect(&server, &QTcpServer::newConnection, &server, [&] {
            while (QTcpSocket* socket = server.nextPendingConnection())
                serve(socket);
        });
        m_listening.release();
        exec();
    }

private:
    void serve(QTcpSocket* socket)
    {
        auto head = std::make_shared<QByteArray>();
        auto remaining = std::make_shared<qint64>(-1);
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [=, this] {
            if (*remaining < 0) {
                *head += socket->readAll();
                const qsizetype end = head->indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                if (head->startsWith("GET ")) {
                    stream(socket);
                    return;
                }
                const qsizetype at = head->toLower().indexOf("content-length:");
                const qint64 length = head->mid(at + 15, head->indexOf("\r\n", at) - at - 15).trimmed().toLongLong();
                *remaining = length - (head->size() - end - 4);
            } else {
                *remaining -= socket->readAll().size();
            }
            if (*remaining <= 0) {
                m_received += 1;
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nOK");
                socket->disconnectFromHost();
            }
        });
    }

    void stream(QTcpSocket* socket)
    {
        auto file = std::make_shared<QFile>(m_served);
        file->open(QIODevice::ReadOnly);
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(file->size()) +
                      "\r\nConnection: close\r\n\r\n");
        const auto more = [socket, file] {
            if (socket->bytesToWrite() > (1 << 22))
                return;
            const QByteArray chunk = file->read(1 << 22);
            if (chunk.isEmpty())
                socket->disconnectFromHost();
            else
                socket->write(chunk);
        };
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
        more();
    }

    QString m_served;
    quint16 m_port = 0;
    QSemaphore m_listening;
    std::atomic<qint64> m_received{0};
};

QString uptime()
{
    QFile load(QStringLiteral("/proc/loadavg"));
    return load.open(QIODevice::ReadOnly) ? QString::fromLatin1(load.readAll()).trimmed() : QStringLiteral("?");
}

} // namespace

int runBenchmark(int, char**)
{
    SyncBench bench;
    if (!bench.local)
        return 1;
    std::unique_ptr<DatafileDocument>& local = bench.local;
    const QString& localPath = bench.localPath;
    const QString& syncPath = bench.syncPath;
    const QString downloadPath = bench.folder.filePath(QStringLiteral("0B7E2C1A-0000-4000-8000-000000000000.nv3"));
    const double setUpPeak = peakRssMB();

    StreamingPeer peer(syncPath);
    peer.start();
    peer.waitUntilListening();
    const QString base = QStringLiteral("http://127.0.0.1:%1/").arg(peer.port());
    const auto stopPeer = qScopeGuard([&peer] {
        peer.quit();
        peer.wait();
    });

    QElapsedTimer total;
    total.start();
    QElapsedTimer timer;
    timer.start();
    HttpExchange::Result got =
        HttpExchange::send(QNetworkRequest(WiFiRequests::datafileURL(base, QStringLiteral("Sync.nv3"))), "GET");
    const double getSeconds = seconds(timer);
    if (!got.succeeded())
        return 1;
    QByteArray data = std::move(*got.data);
    got.data.reset();
    const qint64 fileSize = data.size();
    const bool accepted =
        QByteArrayView(data).isValidUtf8() && data.contains(WiFiRequests::AcceptanceMarker);
    const bool written = SafeFileWriter::write(downloadPath, data).ok;
    data = QByteArray();
    const double writeSeconds = seconds(timer);
    std::unique_ptr<DatafileDocument> remote = open(downloadPath);
    if (!remote)
        return 1;
    const double openSeconds = seconds(timer);
    MergeEngine merge(*local, *remote);
    const QStringList conflicts = merge.merge();
    const double mergeSeconds = seconds(timer);
    remote.reset();
    for (const auto& record : local->datafileRecords()->collection())
        record->setNeedsSync(false);
    const bool saved = local->saveToURL(QUrl::fromLocalFile(localPath), DatafileDocument::ProDatafileType,
                                        Document::SaveOperation::Save);
    QFile::remove(downloadPath);
    const double saveSeconds = seconds(timer);
    const HttpExchange::Result posted = WiFiRequests::sendUpload(
        QUrl(base), "POST", QStringLiteral("Local.nv3"), localPath);
    const double postSeconds = seconds(timer);
    const double totalSeconds = double(total.nsecsElapsed()) / 1e9;

    std::printf("WiFi sync over loopback, %d records, %d changed on each side (%d deleted), "
                "%s, %lld conflicts, %lld taken over, %lld deleted:\n"
                "  GET %.2f s, temporary write %.2f s, open %.2f s, merge %.2f s, save %.2f s, "
                "POST %.2f s; GET to POST reply %.2f s (%s)\n"
                "  file %.0f MB; peak RSS %.0f MB (%.0f MB before the GET); load %s\n",
                RecordCount, ChangedPerSide, DeletedPerSide, accepted ? "accepted" : "NOT accepted",
                qlonglong(conflicts.size()), qlonglong(merge.overwrittenCount()),
                qlonglong(merge.deletedCount()), getSeconds, writeSeconds, openSeconds, mergeSeconds,
                saveSeconds, postSeconds, totalSeconds,
                written && saved && posted.succeeded() ? "all written" : "a step failed",
                double(fileSize) / (1024.0 * 1024.0), peakRssMB(), setUpPeak, qPrintable(uptime()));
    return 0;
}
