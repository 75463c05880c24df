// A local sync on a generated datafile of 100,000 records and its sync file, each changed
// in 1,000 records (100 of them deleted) that the other side left alone: the time of
// each step from opening the sync file to writing it back, and the peak memory. Then the
// same through Dropbox, against the tests' service in a process of its own on this machine.
//
//   sync_bench [--one-after-the-other]
#include "BenchMain.h"
#include "DropboxClient.h"
#include "LocalSyncTransport.h"
#include "MergeEngine.h"
#include "SyncBenchData.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cstdio>

using namespace sync_bench_data;

namespace {

// Turns the event loop until the flag is set.
void waitFor(const bool& done)
{
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace

int runBenchmark(int argc, char** argv)
{
    // --one-after-the-other: the sync file copied from the saved datafile after the save,
    // as a write-back without the save's bytes does it.
    const bool oneAfterTheOther = argc > 1 && QByteArray(argv[1]) == "--one-after-the-other";
    SyncBench bench;
    const QString& localPath = bench.localPath;
    const QString& syncPath = bench.syncPath;
    std::unique_ptr<DatafileDocument>& local = bench.local;
    if (!local)
        return 1;
    QElapsedTimer total;
    total.start();
    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<DatafileDocument> remote = open(syncPath);
    if (!remote)
        return 1;
    const double openSeconds = seconds(timer);
    MergeEngine merge(*local, *remote);
    const bool match = MergeEngine::goodMatchBetweenLocalDatafile(*local, *remote);
    const QStringList conflicts = merge.merge();
    const double mergeSeconds = seconds(timer);
    remote.reset();
    for (const auto& record : local->datafileRecords()->collection())
        record->setNeedsSync(false);
    // As the local sync does it: the sync file written from the save's own bytes, beside
    // the datafile, and replaced once the datafile is.
    if (!oneAfterTheOther)
        local->setCopyOfNextSave(syncPath);
    const bool saved = local->saveToURL(QUrl::fromLocalFile(localPath),
                                        DatafileDocument::ProDatafileType,
                                        Document::SaveOperation::Save);
    const double saveSeconds = seconds(timer);
    const std::optional<DatafileDocument::SavedCopy> copy = local->takeSavedCopy();
    const std::optional<QString> written =
        copy ? copy->failure : LocalSyncTransport::writeSavedCopy(*local, syncPath);
    const double writeBackSeconds = seconds(timer);
    const double totalSeconds = double(total.nsecsElapsed()) / 1e9;

    std::printf("Local sync, %d records, %d changed on each side (%d deleted), match %s, "
                "%lld conflicts, %lld taken over, %lld deleted:\n"
                "  open %.2f s, merge %.2f s, save with the write-back beside it %.2f s, write-back after it %.2f s; total %.2f s "
                "(%s); file %.0f MB; peak RSS %.0f MB\n",
                RecordCount, ChangedPerSide, DeletedPerSide, match ? "yes" : "no",
                qlonglong(conflicts.size()), qlonglong(merge.overwrittenCount()),
                qlonglong(merge.deletedCount()), openSeconds, mergeSeconds, saveSeconds,
                writeBackSeconds, totalSeconds, !saved || written ? "a write failed" : "written",
                double(QFileInfo(syncPath).size()) / (1024.0 * 1024.0), peakRssMB());
    local.reset();

    // The same sync through Dropbox, from the same files: the sync file downloaded from a
    // service on this machine, merged, and this datafile uploaded in its place.
    local = makeSyncPair(localPath, syncPath);
    if (!local)
        return 1;
    // The service is a process of its own: the peak memory below is Norva's side alone.
    QProcess service;
    service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    service.start(QCoreApplication::applicationDirPath() + QStringLiteral("/fake_dropbox_service"),
                  {QStringLiteral("bench"), QStringLiteral("/Local.nv3"), syncPath,
                   bench.folder.filePath(QStringLiteral("committed.nv3"))});
    if (!service.waitForStarted() || !service.waitForReadyRead(60'000))
        return 1;
    const QUrl base(QString::fromLatin1(service.readLine().trimmed()));
    const double peakBefore = peakRssMB();
    DropboxClient client(DropboxEndpoints::allAt(base), QStringLiteral("abcdefghij12345"),
                         {QStringLiteral("bench"), QString()}, nullptr);
    const QString downloadPath = bench.folder.filePath(QStringLiteral("download.nv3"));
    total.restart();
    timer.restart();
    bool downloaded = false;
    bool downloadWritten = false;
    client.downloadToFile(QStringLiteral("/Local.nv3"), downloadPath, [&](const DropboxDownloadResponse& response) {
        downloadWritten = response.written;
        downloaded = true;
    });
    waitFor(downloaded);
    const double downloadSeconds = seconds(timer);
    const double peakAfterDownload = peakRssMB();
    remote = open(downloadPath);
    if (!downloadWritten || !remote)
        return 1;
    MergeEngine dropboxMerge(*local, *remote);
    const QStringList dropboxConflicts = dropboxMerge.merge();
    const double dropboxMergeSeconds = seconds(timer);
    remote.reset();
    for (const auto& record : local->datafileRecords()->collection())
        record->setNeedsSync(false);
    const bool dropboxSaved = local->saveToURL(QUrl::fromLocalFile(localPath), DatafileDocument::ProDatafileType,
                                               Document::SaveOperation::Save);
    const double dropboxSaveSeconds = seconds(timer);
    const double peakAfterSave = peakRssMB();
    bool uploaded = false;
    bool committed = false;
    client.batchUploadFiles({{localPath, DropboxCommitInfo{QStringLiteral("/Local.nv3")}}}, nullptr,
                            [&](const DropboxBatchResponse& response) {
                                committed = response.results && response.results->front().second.success;
                                uploaded = true;
                            });
    waitFor(uploaded);
    const double uploadSeconds = seconds(timer);
    const double dropboxTotal = double(total.nsecsElapsed()) / 1e9;
    const double peakAfter = peakRssMB();
    service.closeWriteChannel();
    service.waitForFinished(60'000);
    QFile savedHere(localPath);
    QFile committedThere(bench.folder.filePath(QStringLiteral("committed.nv3")));
    const bool same = savedHere.open(QIODevice::ReadOnly) && committedThere.open(QIODevice::ReadOnly) &&
                      savedHere.readAll() == committedThere.readAll();
    std::printf("Dropbox sync of the same files through a service in another process on 127.0.0.1, "
                "%lld conflicts:\n"
                "  download %.2f s, open and merge %.2f s, save %.2f s, upload %.2f s; total %.2f s (%s); "
                "peak RSS %.0f MB before, %.0f MB after the download, %.0f MB after the save, "
                "%.0f MB after the upload\n",
                qlonglong(dropboxConflicts.size()), downloadSeconds, dropboxMergeSeconds, dropboxSaveSeconds,
                uploadSeconds, dropboxTotal,
                !dropboxSaved || !committed ? "a transfer failed"
                : same                     ? "uploaded, the same bytes there"
                                           : "uploaded, but other bytes there",
                peakBefore, peakAfterDownload, peakAfterSave, peakAfter);
    return 0;
}
