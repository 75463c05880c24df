#pragma once

#include "PlistValue.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class DatafileDocument;
class DatafileSettingsData;
class RecordData;

// Brings the changes made in a sync file into the local datafile. The local datafile is
// the master: a remote record flagged "NeedsSync" is taken over unless the local one is
// flagged too (a conflict, left to the user), remote deletions are applied unless the
// local record changed, and the local tombstones are emptied, as the sync file is
// replaced by a full copy afterwards. Records are matched by identifier, field values by
// field identifier. Every local change goes through the document's records door.
class MergeEngine {
public:
    // Deletes local records for remote deletions, in one pass, the last record always
    // kept; how many went.
    using DeletionStep =
        std::function<qsizetype(const QList<std::shared_ptr<RecordData>>& records)>;
    // Told of each local record after it took the remote record's content.
    using Overwritten = std::function<void(const std::shared_ptr<RecordData>& record)>;

    MergeEngine(DatafileDocument& local, const DatafileDocument& remote);

    // Without one, records go through the door, the last one refused.
    void setDeletionStep(DeletionStep step) { m_deletionStep = std::move(step); }
    void setOverwritten(Overwritten overwritten) { m_overwritten = std::move(overwritten); }

    // The field-structure test: the same number of fields, every local field identifier
    // among the remote ones, in any order.
    static bool goodMatchBetweenLocalDatafile(const DatafileDocument& local,
                                              const DatafileDocument& remote);
    static bool goodMatchBetweenLocalDatafile(const DatafileSettingsData& local,
                                              const DatafileSettingsData& remote);

    // The remote record's text (and rich text, unless the local datafile is mobile) and
    // its values, each under its field identifier, into the local record, which then
    // needs no sync. A field the remote record holds no value for keeps its local value.
    void overwriteRecord(const std::shared_ptr<RecordData>& localRecord,
                         const PlistArray& localFields, const RecordData& remoteRecord,
                         const PlistArray& remoteFields);

    // The pull loop over the remote catalog, the remote deletions and the emptying of the
    // local tombstones. The identifiers of the records changed on both sides, in remote
    // catalog order.
    QStringList merge();

    // The records the last merge took over, added and deleted.
    qsizetype overwrittenCount() const { return m_overwrittenCount; }
    qsizetype addedCount() const { return m_addedCount; }
    qsizetype deletedCount() const { return m_deletedCount; }

private:
    qsizetype deleteLocalRecords(const QList<std::shared_ptr<RecordData>>& records);

    DatafileDocument& m_local;
    const DatafileDocument& m_remote;
    DeletionStep m_deletionStep;
    Overwritten m_overwritten;
    qsizetype m_overwrittenCount = 0;
    qsizetype m_addedCount = 0;
    qsizetype m_deletedCount = 0;
};
