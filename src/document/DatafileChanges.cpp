#include "DatafileChanges.h"

#include "DatafileDocument.h"
#include "FieldDefinitions.h"
#include "NotificationCenter.h"

#include <algorithm>
#include <exception>

bool DatafileChanges::writeField(const std::shared_ptr<RecordData>& record,
                                 const QString& identifier, const QString& value, Kind kind)
{
    if (!record || identifier.isEmpty())
        return false;
    const QString cleaned = RecordData::cleanedFieldValue(value);
    const PlistValue* stored = record->fields().find(identifier);
    const QString* storedValue = stored ? stored->asString() : nullptr;
    if (storedValue ? *storedValue == cleaned : cleaned.isEmpty())
        return false;
    // The record's own dictionary, changed in place: every holder of it sees the value.
    PlistDictionary fields = record->fields();
    fields.insert(identifier, cleaned);
    record->setFields(fields, RecordData::ChangeKey());
    changed(*record, kind);
    return true;
}

bool DatafileChanges::writeText(const std::shared_ptr<RecordData>& record, const QString& plainText,
                                const RichText& rtfd, Kind kind)
{
    if (!record)
        return false;
    // A mobile datafile keeps the plain text alone.
    const bool rich = !m_document.isMobile() && rtfd;
    QByteArray richText = rich ? rtfd() : QByteArray();
    const bool plainChanged = plainText != record->textString();
    const bool richChanged = rich && richText != record->textRTFD();
    if (!plainChanged && !richChanged)
        return false;
    const RecordData::ChangeKey key;
    if (plainChanged)
        record->setTextString(plainText, key);
    if (richChanged)
        record->setTextRTFD(std::move(richText), key);
    // A view's commit rewrites the rich text as the view holds it each time: only a new
    // plain text is news for the other windows.
    if (kind != Kind::Commit || plainChanged)
        changed(*record, kind);
    return true;
}

bool DatafileChanges::writeText(const std::shared_ptr<RecordData>& record, const QString& plainText,
                                const QByteArray& rtfd, Kind kind)
{
    return writeText(record, plainText, [&rtfd] { return rtfd; }, kind);
}

bool DatafileChanges::removeValuesOfUndefinedFields()
{
    const std::shared_ptr<DatafileSettingsData>& settings = m_document.datafileSettings();
    const QSet<QString> defined = FieldDefinitions::identifiers(settings->fields());
    // New records would be numbered into a field that no longer exists.
    if (!settings->autoAddContentFieldID().isEmpty() &&
        !defined.contains(settings->autoAddContentFieldID()))
        settings->setAutoAddContentFieldID(QStringLiteral(""));
    bool removed = false;
    QStringList undefined;
    for (const std::shared_ptr<RecordData>& record : records().collection()) {
        if (!record)
            continue;
        // In place: the record's own dictionary.
        PlistDictionary values = record->fields();
        undefined.clear();
        for (const PlistDictionary::Entry& entry : values) {
            if (!defined.contains(entry.key))
                undefined.append(entry.key);
        }
        for (const QString& key : std::as_const(undefined))
            values.remove(key);
        removed = removed || !undefined.isEmpty();
    }
    return removed;
}

std::shared_ptr<RecordData> DatafileChanges::addRecord(const QString& afterIdentifier,
                                                       const Filler& fill)
{
    const std::shared_ptr<RecordData> record = RecordData::record();
    addNewRecord(record, Placement::AtEnd, afterIdentifier, fill);
    return record;
}

std::shared_ptr<RecordData> DatafileChanges::addRecordKeepingIdentifier(
    const QString& identifier, Placement placement, const QString& afterIdentifier,
    const Filler& fill)
{
    const std::shared_ptr<RecordData> record = RecordData::record();
    const bool taken = records().recordForIdentifier(identifier) ||
                       m_document.datafileCatalog()->indexOfIdentifier(identifier) >= 0;
    if (!identifier.isEmpty() && !taken)
        record->setIdentifier(identifier);
    addNewRecord(record, placement, afterIdentifier, fill);
    return record;
}

void DatafileChanges::addNewRecord(const std::shared_ptr<RecordData>& record, Placement placement,
                                   const QString& afterIdentifier, const Filler& fill)
{
    records().setRecord(record, record->identifier());
    if (placement == Placement::AtBeginning)
        m_document.datafileCatalog()->insertIdentifierAtBeginning(record->identifier());
    else
        m_document.datafileCatalog()->insertIdentifier(record->identifier(), afterIdentifier);
    if (fill) {
        // What fills it is announced with the addition, not as a change of its own.
        Batch batch(*this);
        fill(record, 0);
        m_pendingSet.remove(record->identifier());
        m_pendingChanges.removeOne(record->identifier());
    }
    markEdited();
    post(DidAddRecordNotification,
         {{NewIdentifierKey, record->identifier()},
          {AfterIdentifierKey, placement == Placement::AtBeginning ? QString() : afterIdentifier}});
}

QList<std::shared_ptr<RecordData>> DatafileChanges::addRecords(qsizetype count, Placement placement,
                                                               const Filler& fill)
{
    QList<std::shared_ptr<RecordData>> added;
    if (count <= 0)
        return added;
    added.reserve(count);
    const std::shared_ptr<SubsetSortedData>& catalog = m_document.datafileCatalog();
    QStringList identifiers;
    identifiers.reserve(count);
    {
        Batch batch(*this);
        for (qsizetype index = 0; index < count; ++index) {
            const std::shared_ptr<RecordData> record = RecordData::record();
            records().setRecord(record, record->identifier());
            catalog->insertIdentifierAtEnd(record->identifier());
            if (fill)
                fill(record, index);
            identifiers.append(record->identifier());
            added.append(record);
        }
        if (placement == Placement::AtBeginning) {
            // The new records, in their order, before the ones that were there.
            const PlistArray entries = catalog->sortedArray();
            PlistArray reordered;
            reordered.reserve(entries.size());
            const qsizetype firstAdded = entries.size() - count;
            for (qsizetype index = firstAdded; index < entries.size(); ++index)
                reordered.append(entries.at(index));
            for (qsizetype index = 0; index < firstAdded; ++index)
                reordered.append(entries.at(index));
            catalog->popCatalog(reordered);
        }
        catalog->rebuildSelectedIdentifiers();
        // Changes of the new records are announced with their addition.
        const QSet<QString> fresh(identifiers.cbegin(), identifiers.cend());
        m_pendingChanges.removeIf([&](const QString& identifier) { return fresh.contains(identifier); });
        m_pendingSet.subtract(fresh);
    }
    markEdited();
    post(DidAddRecordsNotification, {{NewIdentifiersKey, identifiers}});
    return added;
}

void DatafileChanges::fillNewRecord(const std::shared_ptr<RecordData>& record,
                                    const QStringList& identifiers, const QStringList& values,
                                    const std::optional<QString>& plainText,
                                    const QByteArray& rtfd, Kind kind)
{
    if (!record)
        return;
    // The record's own dictionary, filled in place.
    PlistDictionary fields = record->fields();
    const qsizetype count = std::min(identifiers.size(), values.size());
    fields.reserve(count);
    for (qsizetype k = 0; k < count; ++k) {
        if (!identifiers[k].isEmpty())
            fields.insert(identifiers[k], RecordData::cleanedFieldValue(values[k]));
    }
    const RecordData::ChangeKey key;
    if (plainText) {
        record->setTextString(*plainText, key);
        // A mobile datafile keeps the plain text alone.
        if (!m_document.isMobile() && !rtfd.isEmpty())
            record->setTextRTFD(rtfd, key);
    }
    stamp(*record, kind);
}

void DatafileChanges::removeRecord(const std::shared_ptr<RecordData>& record)
{
    if (!record)
        return;
    const QString identifier = record->identifier();
    const std::shared_ptr<DatafileSettingsData>& settings = m_document.datafileSettings();
    if (!settings->syncID().isEmpty())
        settings->addDeletedIdentifier(identifier);
    post(WillDeleteRecordNotification, {{IdentifierKey, identifier}});
    // Each window's own observer takes it out of the catalog; without one it must still go.
    m_document.datafileCatalog()->deleteIdentifier(identifier);
    records().removeRecordForIdentifier(identifier);
    m_pendingSet.remove(identifier);
    m_pendingChanges.removeOne(identifier);
}

void DatafileChanges::removeRecords(const QList<std::shared_ptr<RecordData>>& records)
{
    const std::shared_ptr<SubsetSortedData> catalog = m_document.datafileCatalog();
    catalog->beginDeletions();
    try {
        for (const std::shared_ptr<RecordData>& record : records)
            removeRecord(record);
    } catch (...) {
        catalog->endDeletions();
        throw;
    }
    catalog->endDeletions();
}

DatafileRecordsData& DatafileChanges::records() const
{
    // The records the datafile's catalog lists, which are the document's own.
    return *m_document.datafileCatalog()->records();
}

void DatafileChanges::changed(RecordData& record, Kind kind)
{
    stamp(record, kind);
    // The view's own commit: the typing marked the datafile already.
    if (kind != Kind::Commit)
        markEdited();
    postChange(record.identifier());
}

void DatafileChanges::stamp(RecordData& record, Kind kind)
{
    switch (kind) {
    case Kind::Edit:
        record.modified();
        break;
    case Kind::Bulk:
        record.setNeedsSync(true);
        break;
    case Kind::Commit:
        break;
    }
}

void DatafileChanges::markEdited()
{
    // While a sync runs it decides what the datafile's edited state is.
    if (!m_document.nowSyncing())
        m_document.updateChangeCount(Document::ChangeType::Done);
}

void DatafileChanges::postChange(const QString& identifier)
{
    if (m_batches == 0) {
        post(DidChangeRecordNotification, {{IdentifierKey, identifier}});
        return;
    }
    if (!m_pendingSet.contains(identifier)) {
        m_pendingSet.insert(identifier);
        m_pendingChanges.append(identifier);
    }
}

void DatafileChanges::post(const QString& name, const QVariantMap& userInfo)
{
    NotificationCenter::defaultCenter().postNotification(name, &m_document, userInfo);
}

void DatafileChanges::endBatch(bool announce)
{
    if (m_batches == 0 || --m_batches > 0)
        return;
    const QStringList changedRecords = std::exchange(m_pendingChanges, {});
    m_pendingSet.clear();
    if (!announce || changedRecords.isEmpty())
        return;
    if (changedRecords.size() == 1)
        post(DidChangeRecordNotification, {{IdentifierKey, changedRecords.front()}});
    else
        post(DidChangeRecordNotification, {{IdentifiersKey, changedRecords}});
}

DatafileChanges::Batch::Batch(DatafileChanges& changes)
    : m_changes(changes), m_exceptions(std::uncaught_exceptions())
{
    ++m_changes.m_batches;
}

DatafileChanges::Batch::~Batch() noexcept(false)
{
    // Unwinding, nobody may be told: a notice that throws here would end the program.
    m_changes.endBatch(std::uncaught_exceptions() == m_exceptions);
}
