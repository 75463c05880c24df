#include "MergeEngine.h"

#include "DatafileDocument.h"
#include "NotificationCenter.h"
#include "SystemLog.h"

#include <QSet>

#include <algorithm>

namespace {

QStringList fieldIdentifiers(const PlistArray& fields)
{
    QStringList identifiers;
    identifiers.reserve(fields.size());
    for (const PlistValue& field : fields) {
        const PlistDictionary* definition = field.asDictionary();
        identifiers.append(definition ? definition->stringForKey(DatafileSettingsData::FieldIdentifierKey)
                                      : QString());
    }
    return identifiers;
}

QString entryIdentifier(const PlistValue& entry)
{
    const PlistDictionary* dictionary = entry.asDictionary();
    return dictionary ? dictionary->stringForKey(SortedData::IdentifierKey) : QString();
}

} // namespace

MergeEngine::MergeEngine(DatafileDocument& local, const DatafileDocument& remote)
    : m_local(local), m_remote(remote)
{
}

bool MergeEngine::goodMatchBetweenLocalDatafile(const DatafileDocument& local,
                                                const DatafileDocument& remote)
{
    return goodMatchBetweenLocalDatafile(*local.datafileSettings(), *remote.datafileSettings());
}

bool MergeEngine::goodMatchBetweenLocalDatafile(const DatafileSettingsData& local,
                                                const DatafileSettingsData& remote)
{
    const QStringList localIdentifiers = fieldIdentifiers(local.fields());
    const QStringList remoteList = fieldIdentifiers(remote.fields());
    if (localIdentifiers.size() != remoteList.size())
        return false;
    const QSet<QString> remoteIdentifiers(remoteList.cbegin(), remoteList.cend());
    for (const QString& identifier : localIdentifiers) {
        if (!remoteIdentifiers.contains(identifier)) {
            SystemLog::log(QStringLiteral("no good match\n"));
            return false;
        }
    }
    return true;
}

void MergeEngine::overwriteRecord(const std::shared_ptr<RecordData>& localRecord,
                                  const PlistArray& localFields, const RecordData& remoteRecord,
                                  const PlistArray& remoteFields)
{
    DatafileChanges& changes = m_local.changes();
    // The door keeps the rich text out of a mobile datafile.
    changes.writeText(localRecord, remoteRecord.textString(), remoteRecord.textRTFD(),
                      DatafileChanges::Kind::Bulk);
    const QStringList remoteIdentifiers = fieldIdentifiers(remoteFields);
    const QSet<QString> remoteSet(remoteIdentifiers.cbegin(), remoteIdentifiers.cend());
    // By identifier, not position: fields in another order still land in their own field.
    for (const QString& identifier : fieldIdentifiers(localFields)) {
        if (identifier.isEmpty() || !remoteSet.contains(identifier))
            continue;
        const PlistValue* value = remoteRecord.fields().find(identifier);
        if (const QString* text = value ? value->asString() : nullptr)
            changes.writeField(localRecord, identifier, *text, DatafileChanges::Kind::Bulk);
    }
    localRecord->setNeedsSync(false);
}

QStringList MergeEngine::merge()
{
    m_overwrittenCount = m_addedCount = m_deletedCount = 0;
    QStringList conflicts;
    const PlistArray localFields = m_local.datafileSettings()->fields();
    const PlistArray remoteFields = m_remote.datafileSettings()->fields();
    const std::shared_ptr<DatafileRecordsData>& localRecords = m_local.datafileRecords();
    const std::shared_ptr<DatafileRecordsData>& remoteRecords = m_remote.datafileRecords();
    const DatafileChanges::Placement placement = m_local.datafileSettings()->newRecordLocation() == 1
                                                     ? DatafileChanges::Placement::AtBeginning
                                                     : DatafileChanges::Placement::AtEnd;
    DatafileChanges& changes = m_local.changes();
    QString previousIdentifier = QStringLiteral("");
    {
        DatafileChanges::Batch batch(changes);
        const PlistArray remoteEntries = m_remote.datafileCatalog()->sortedArray();
        for (const PlistValue& entry : remoteEntries) {
            const QString identifier = entryIdentifier(entry);
            const std::shared_ptr<RecordData> remoteRecord =
                remoteRecords->recordForIdentifier(identifier);
            if (remoteRecord && remoteRecord->needsSync()) {
                if (const std::shared_ptr<RecordData> localRecord =
                        localRecords->recordForIdentifier(identifier)) {
                    if (localRecord->needsSync()) {
                        conflicts.append(identifier);
                    } else {
                        overwriteRecord(localRecord, localFields, *remoteRecord, remoteFields);
                        ++m_overwrittenCount;
                        if (m_overwritten)
                            m_overwritten(localRecord);
                    }
                } else {
                    changes.addRecordKeepingIdentifier(
                        identifier, placement, previousIdentifier,
                        [&](const std::shared_ptr<RecordData>& added, qsizetype) {
                            overwriteRecord(added, localFields, *remoteRecord, remoteFields);
                        });
                    ++m_addedCount;
                }
            }
            previousIdentifier = identifier;
        }
    }

    const PlistArray remoteDeletions = m_remote.datafileSettings()->deletedIdentifiers();
    QList<std::shared_ptr<RecordData>> deletions;
    for (const PlistValue& deleted : remoteDeletions) {
        const QString* identifier = deleted.asString();
        const std::shared_ptr<RecordData> localRecord =
            identifier ? localRecords->recordForIdentifier(*identifier) : nullptr;
        // A record changed here stays, and goes back to the sync file with the copy.
        if (localRecord && !localRecord->needsSync())
            deletions.append(localRecord);
    }
    if (!deletions.isEmpty())
        m_deletedCount = deleteLocalRecords(deletions);

    // The sync file becomes a copy of this datafile: nothing is left to delete there.
    if (!m_local.datafileSettings()->deletedIdentifiers().isEmpty())
        m_local.datafileSettings()->setDeletedIdentifiers(PlistArray());
    return conflicts;
}

qsizetype MergeEngine::deleteLocalRecords(const QList<std::shared_ptr<RecordData>>& records)
{
    if (m_deletionStep)
        return m_deletionStep(records);
    QList<std::shared_ptr<RecordData>> doomed = records;
    // The last record always stays.
    const qsizetype deletable = std::max<qsizetype>(0, m_local.datafileCatalog()->count() - 1);
    if (doomed.size() > deletable)
        doomed.resize(deletable);
    m_local.changes().removeRecords(doomed);
    for (const std::shared_ptr<RecordData>& record : std::as_const(doomed))
        NotificationCenter::defaultCenter().postNotification(
            DatafileChanges::DidDeleteRecordNotification, &m_local,
            {{DatafileChanges::IdentifierKey, record->identifier()}});
    return doomed.size();
}
