// A local sync on a generated datafile of 100,000 records and its sync file, each changed
// in 1,000 records (100 of them deleted) that the other side left alone: the time of
// each step from opening the sync file to writing it back, and the peak memory.
//
//   sync_bench
#include "BenchMain.h"
#include "SyncBenchData.h"
#include "LocalSyncTransport.h"
#include "MergeEngine.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>


#include <cstdio>
#include <memory>

using namespace sync_bench_data;

int runBenchmark(int, char**)
{
    SyncBench bench;
    if (!bench.local)
        return 1;
    std::unique_ptr<DatafileDocument>& local = bench.local;
    const QString& localPath = bench.localPath;
    const QString& syncPath = bench.syncPath;

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
    const bool saved = local->saveToURL(QUrl::fromLocalFile(localPath),
                                        DatafileDocument::ProDatafileType,
                                        Document::SaveOperation::Save);
    const double saveSeconds = seconds(timer);
    const std::optional<QString> written = LocalSyncTransport::writeSavedCopy(*local, syncPath);
    const double writeBackSeconds = seconds(timer);
    const double totalSeconds = double(total.nsecsElapsed()) / 1e9;

    std::printf("Local sync, %d records, %d changed on each side (%d deleted), match %s, "
                "%lld conflicts, %lld taken over, %lld deleted:\n"
                "  open %.2f s, merge %.2f s, save %.2f s, write-back %.2f s; total %.2f s "
                "(%s); file %.0f MB; peak RSS %.0f MB\n",
                RecordCount, ChangedPerSide, DeletedPerSide, match ? "yes" : "no",
                qlonglong(conflicts.size()), qlonglong(merge.overwrittenCount()),
                qlonglong(merge.deletedCount()), openSeconds, mergeSeconds, saveSeconds,
                writeBackSeconds, totalSeconds, !saved || written ? "a write failed" : "written",
                double(QFileInfo(syncPath).size()) / (1024.0 * 1024.0), peakRssMB());
    return 0;
}
