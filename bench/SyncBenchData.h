#pragma once

// The data of the sync benchmarks: a generated datafile of 100,000 records as last
// synchronised, its sync file changed there in 1,000 records (the last 100 of them
// deleted), and the datafile changed here in the next 1,000 (the last 100 deleted).
#include "DatafileDocument.h"
#include "DatafileGenerator.h"
#include "PropertyList.h"
#include "SafeFileWriter.h"

#include "ScriptedPresenter.h"
#include "UserDefaults.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <memory>

namespace sync_bench_data {


constexpr int RecordCount = 100'000;
constexpr int ChangedPerSide = 1'000;
constexpr int DeletedPerSide = 100;

inline QString fieldOf(const PlistArray& fields)
{
    const PlistValue first = fields.isEmpty() ? PlistValue() : fields.at(0);
    return first.asDictionary() ? first.asDictionary()->stringForKey("Identifier") : QString();
}

// The datafile as last synchronised: paired, nothing flagged.
inline PlistValue pairedDatafile()
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

inline QStringList identifiersOf(const PlistDictionary& datafile)
{
    QStringList identifiers;
    const PlistValue catalog = datafile.value("Catalog");
    for (const PlistValue& entry : *catalog.asArray())
        identifiers.append(entry.asDictionary()->stringForKey("Identifier"));
    return identifiers;
}

inline bool write(const QString& path, const PlistValue& datafile)
{
    return SafeFileWriter::write(path, [&](QIODevice& device) {
               return writePropertyList(datafile, device, PlistFormat::Xml);
           }).ok;
}

inline std::unique_ptr<DatafileDocument> open(const QString& path)
{
    auto document = std::make_unique<DatafileDocument>();
    document->setFileType(DatafileDocument::ProDatafileType);
    document->setFileURL(QUrl::fromLocalFile(path));
    document->setOpenedAsSyncFile(true);
    if (!document->readFromURL(QUrl::fromLocalFile(path), DatafileDocument::ProDatafileType))
        return nullptr;
    return document;
}

inline double seconds(QElapsedTimer& timer)
{
    const double elapsed = double(timer.nsecsElapsed()) / 1e9;
    timer.restart();
    return elapsed;
}

// Writes both files and opens this datafile with its changes made; nullptr when a file
// could not be written or read.
inline std::unique_ptr<DatafileDocument> makeSyncPair(const QString& localPath, const QString& syncPath)
{
    // The sync file: its first 1,000 records changed there, the last 100 of them deleted.
    {
        PlistValue datafile = pairedDatafile();
        PlistDictionary& top = *datafile.asDictionary();
        if (!write(localPath, datafile))
            return nullptr;
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
            return nullptr;
    }

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

// A scripted presenter, user defaults of their own and a folder holding this datafile
// and its sync file, made by makeSyncPair; put back as they were at the end.
struct SyncBench {
    ScriptedPresenter presenter;
    QTemporaryDir folder;
    UserDefaults defaults{folder.filePath(QStringLiteral("defaults"))};
    QString localPath = folder.filePath(QStringLiteral("Local.nv3"));
    QString syncPath = folder.filePath(QStringLiteral("Sync.nv3"));
    std::unique_ptr<DatafileDocument> local;

    SyncBench()
    {
        Presenter::setShared(&presenter);
        UserDefaults::setStandardUserDefaults(&defaults);
        local = makeSyncPair(localPath, syncPath);
    }
    ~SyncBench()
    {
        local.reset();
        Presenter::setShared(nullptr);
        UserDefaults::setStandardUserDefaults(nullptr);
    }
};

} // namespace sync_bench_data
