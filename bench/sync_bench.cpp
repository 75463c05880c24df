// A local sync on a generated datafile of 100,000 records and its sync file, each changed
// in 1,000 records (100 of them deleted) that the other side left alone: the time of
// each step from opening the sync file to writing it back, and the peak memory. Then the
// same through Dropbox, against a service on this machine.
//
//   sync_bench
#include "BenchMain.h"
#include "DatafileDocument.h"
#include "DatafileGenerator.h"
#include "DropboxClient.h"
#include "FakeDropboxServer.h"
#include "LocalSyncTransport.h"
#include "MergeEngine.h"
#include "PropertyList.h"
#include "SafeFileWriter.h"
#include "ScriptedPresenter.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>


#include <cstdio>
#include <memory>

namespace {

constexpr int RecordCount = 100'000;
constexpr int ChangedPerSide = 1'000;
constexpr int DeletedPerSide = 100;

QString fieldOf(const PlistArray& fields)
{
    const PlistValue first = fields.isEmpty() ? PlistValue() : fields.at(0);
    return first.asDictionary() ? first.asDictionary()->stringForKey("Identifier") : QString();
}

// The datafile as last synchronised: paired, nothing flagged.
PlistValue pairedDatafile()
{
    PlistValue datafile = DatafileGenerator(7).datafile(RecordCount);
    PlistDictionary& top = *datafile.asDictionary();
    PlistValue settings = top.value("Settings");
    settings.asDictionary()->insert("SyncID", "BENCH-SYNC-ID");
    PlistValue records = top.value("Records");
    for (const auto& entry : *records.asDictionary()) {
        PlistValue record = entry.value;
        record.asDictionary()->insert("NeedsSync", false);
    }
    return datafile;
}

QStringList identifiersOf(const PlistDictionary& datafile)
{
    QStringList identifiers;
    const PlistValue catalog = datafile.value("Catalog");
    for (const PlistValue& entry : *catalog.asArray())
        identifiers.append(entry.asDictionary()->stringForKey("Identifier"));
    return identifiers;
}

bool write(const QString& path, const PlistValue& datafile)
{
    return SafeFileWriter::write(path, [&](QIODevice& device) {
               return writePropertyList(datafile, device, PlistFormat::Xml);
           }).ok;
}

std::unique_ptr<DatafileDocument> open(const QString& path)
{
    auto document = std::make_unique<DatafileDocument>();
    document->setFileType(DatafileDocument::ProDatafileType);
    document->setFileURL(QUrl::fromLocalFile(path));
    document->setOpenedAsSyncFile(true);
    if (!document->readFromURL(QUrl::fromLocalFile(path), DatafileDocument::ProDatafileType))
        return nullptr;
    return document;
}

double seconds(QElapsedTimer& timer)
{
    const double elapsed = double(timer.nsecsElapsed()) / 1e9;
    timer.restart();
    return elapsed;
}

// The datafile and its sync file as they stand before a sync: each changed on its side.
bool writeSyncPair(const QString& localPath, const QString& syncPath)
{
    // The sync file: its first 1,000 records changed there, the last 100 of them deleted.
    {
        PlistValue datafile = pairedDatafile();
        PlistDictionary& top = *datafile.asDictionary();
        if (!write(localPath, datafile))
            return false;
        const PlistValue settings = top.value("Settings");
        const QString field = fieldOf(*settings.asDictionary()->value("Fields").asArray());
        const QStringList identifiers = identifiersOf(top);
        PlistValue records = top.value("Records");
        PlistArray deleted;
        for (int i = 0; i < ChangedPerSide - DeletedPerSide; ++i) {
            PlistValue record = records.asDictionary()->value(identifiers.at(i));
            PlistValue fields = record.asDictionary()->value("Fields");
            fields.asDictionary()->insert(field, QStringLiteral("changed there %1").arg(i));
            record.asDictionary()->insert("NeedsSync", true);
        }
        PlistArray catalog;
        for (qsizetype i = 0; i < identifiers.size(); ++i) {
            if (i >= ChangedPerSide - DeletedPerSide && i < ChangedPerSide) {
                records.asDictionary()->remove(identifiers.at(i));
                deleted.append(identifiers.at(i));
            } else {
                catalog.append(top.value("Catalog").asArray()->at(i));
            }
        }
        top.insert("Catalog", catalog);
        PlistValue stored = top.value("Settings");
        stored.asDictionary()->insert("DeletedRecords", deleted);
        if (!write(syncPath, datafile))
            return false;
    }

    return true;
}

// This datafile opened, with the changes made here since the last sync.
std::unique_ptr<DatafileDocument> openChangedLocal(const QString& localPath)
{
    // This datafile: the next 1,000 records changed here, the last 100 of them deleted.
    std::unique_ptr<DatafileDocument> local = open(localPath);
    if (!local)
        return nullptr;
    local->setOpenedAsSyncFile(false);
    {
        const QString field = fieldOf(local->datafileSettings()->fields());
        const PlistArray entries = local->datafileCatalog()->sortedArray();
        DatafileChanges& changes = local->changes();
        QList<std::shared_ptr<RecordData>> doomed;
        for (int i = ChangedPerSide; i < 2 * ChangedPerSide; ++i) {
            const std::shared_ptr<RecordData> record = local->datafileRecords()->recordForIdentifier(
                entries.at(i).asDictionary()->stringForKey("Identifier"));
            if (i < 2 * ChangedPerSide - DeletedPerSide)
                changes.writeField(record, field, QStringLiteral("changed here %1").arg(i),
                                   DatafileChanges::Kind::Edit);
            else
                doomed.append(record);
        }
        changes.removeRecords(doomed);
    }

    return local;
}

// Turns the event loop until the flag is set.
void waitFor(const bool& done)
{
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace

int runBenchmark(int, char**)
{
    ScriptedPresenter presenter;
    Presenter::setShared(&presenter);
    QTemporaryDir folder;
    UserDefaults defaults(folder.filePath(QStringLiteral("defaults")));
    UserDefaults::setStandardUserDefaults(&defaults);
    const QString localPath = folder.filePath(QStringLiteral("Local.nv3"));
    const QString syncPath = folder.filePath(QStringLiteral("Sync.nv3"));

    if (!writeSyncPair(localPath, syncPath))
        return 1;
    std::unique_ptr<DatafileDocument> local = openChangedLocal(localPath);
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
    local.reset();

    // The same sync through Dropbox, from the same files: the sync file downloaded from a
    // service on this machine, merged, and this datafile uploaded in its place.
    if (!writeSyncPair(localPath, syncPath))
        return 1;
    local = openChangedLocal(localPath);
    if (!local)
        return 1;
    FakeDropboxServer service;
    service.acceptToken(QStringLiteral("bench"));
    {
        QFile sync(syncPath);
        if (!sync.open(QIODevice::ReadOnly))
            return 1;
        service.files[QStringLiteral("/Local.nv3")] = sync.readAll();
    }
    const double peakBefore = peakRssMB();
    DropboxClient client(DropboxEndpoints::allAt(service.base()), QStringLiteral("abcdefghij12345"),
                         {QStringLiteral("bench"), QString()}, nullptr);
    const QString downloadPath = folder.filePath(QStringLiteral("download.nv3"));
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
    std::printf("Dropbox sync of the same files through a service on 127.0.0.1, %lld conflicts:\n"
                "  download %.2f s, open and merge %.2f s, save %.2f s, upload %.2f s; total %.2f s (%s); "
                "peak RSS %.0f MB before, %.0f MB after (the service's own copies of the file included)\n",
                qlonglong(dropboxConflicts.size()), downloadSeconds, dropboxMergeSeconds, dropboxSaveSeconds,
                uploadSeconds, dropboxTotal, dropboxSaved && committed ? "uploaded" : "a transfer failed",
                peakBefore, peakRssMB());
    local.reset();
    Presenter::setShared(nullptr);
    UserDefaults::setStandardUserDefaults(nullptr);
    return 0;
}
