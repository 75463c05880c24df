#include "DatafileFormat.h"

#include "Localization.h"
#include "ParallelChunks.h"
#include "PlistXmlWriter.h"
#include "PropertyList.h"
#include "SortedData.h"
#include "StringFormat.h"
#include "SubsetSortedData.h"
#include "SystemLog.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace {

template <typename Value> DatafileFormat::Result<Value> failure(const QString& message)
{
    return {std::nullopt, PlistError{message, -1, 0}};
}

template <typename Value> DatafileFormat::Result<Value> damagedRecord(const QString& identifier)
{
    return failure<Value>(
        stringWithFormat(localized(QStringLiteral("The record %@ is damaged.")), identifier));
}

} // namespace

// Records made while the file is parsed, from each record's dictionary as the reader hands
// it over, so that no dictionary of a record outlives its parsing.
class DatafileFormat::RecordsMade {
public:
    using RecordPointer = DatafileRecordsData::RecordPointer;

    const PlistXmlReader::Handover& handover() const { return m_handover; }
    bool isEmpty() const { return m_made.empty(); }
    // The record a UID read stands for; nullptr for any other value.
    RecordPointer recordFor(const PlistValue& value) const
    {
        const PlistUid* uid = value.asUid();
        return uid && uid->value < m_made.size() ? m_made[size_t(uid->value)] : nullptr;
    }

private:
    std::mutex m_lock;
    std::vector<RecordPointer> m_made;
    const PlistXmlReader::Handover m_handover{
        RecordsKey, [this](const QString& key, PlistDictionary&& dictionary) {
            RecordPointer record = DatafileRecordsData::recordFromDictionary(key, dictionary);
            const std::lock_guard lock(m_lock);
            m_made.push_back(std::move(record));
            return PlistUid{quint64(m_made.size() - 1)};
        }};
};

DatafileFormat::Result<DatafileFormat::Parts> DatafileFormat::readParts(QByteArrayView bytes)
{
    return partsOf(readPropertyList(bytes));
}

DatafileFormat::Result<DatafileFormat::Parts> DatafileFormat::readParts(QIODevice& device)
{
    return partsOf(readPropertyList(device));
}

DatafileFormat::Result<DatafileFormat::Parts> DatafileFormat::partsOf(const PlistReadResult& read,
                                                                      bool recordsHandedOver)
{
    if (!read.ok()) {
        PlistError error = *read.error;
        error.message = stringWithFormat(
            localized(QStringLiteral("The file is not a datafile or is damaged (%@).")),
            read.error->toString());
        return {std::nullopt, error};
    }
    const PlistDictionary* top = read.value.asDictionary();
    if (!top)
        return failure<Parts>(localized(QStringLiteral("The file is not a datafile.")));
    const PlistValue* settings = top->find(SettingsKey);
    const PlistValue* records = top->find(RecordsKey);
    const PlistValue* catalog = top->find(CatalogKey);
    if (!settings || !settings->isDictionary())
        return failure<Parts>(localized(QStringLiteral("The datafile has no settings.")));
    if (!records || !records->isDictionary())
        return failure<Parts>(localized(QStringLiteral("The datafile has no records.")));
    if (catalog && !catalog->isArray())
        return failure<Parts>(localized(QStringLiteral("The datafile's record order is damaged.")));

    Parts parts{*settings->asDictionary(), *records->asDictionary(),
                catalog ? *catalog->asArray() : PlistArray()};
    for (const PlistDictionary::Entry& entry : parts.records) {
        if (!entry.value.isDictionary() && !(recordsHandedOver && entry.value.isUid()))
            return damagedRecord<Parts>(entry.key);
    }
    leaveOutWhatXmlCannotHold(parts);
    for (const PlistValue& entry : parts.catalog) {
        if (!entry.isDictionary())
            return failure<Parts>(
                localized(QStringLiteral("The datafile's record order is damaged.")));
    }
    return {std::move(parts), {}};
}

void DatafileFormat::leaveOutWhatXmlCannotHold(Parts& parts)
{
    // A binary property list can hold a null or a UID, which a datafile, written as XML,
    // cannot: kept, they would fail every save. Left out, what reads them finds its
    // default. (A record handed over while parsing stands as a UID of our own.)
    QStringList cleaned;
    if (!PlistValue(parts.settings).hasXmlForm()) {
        parts.settings = *PlistValue(parts.settings).xmlFormCopy().asDictionary();
        cleaned.append(SettingsKey);
    }
    std::vector<PlistDictionary::Entry> storableRecords;
    for (const PlistDictionary::Entry& entry : parts.records) {
        if (entry.value.isDictionary() && !entry.value.hasXmlForm())
            storableRecords.push_back({entry.key, entry.value.xmlFormCopy()});
    }
    for (PlistDictionary::Entry& entry : storableRecords)
        parts.records.insert(entry.key, std::move(entry.value));
    if (!storableRecords.empty())
        cleaned.append(RecordsKey);
    if (!PlistValue(parts.catalog).hasXmlForm()) {
        parts.catalog = *PlistValue(parts.catalog).xmlFormCopy().asArray();
        cleaned.append(CatalogKey);
    }
    if (!cleaned.isEmpty()) {
        SystemLog::log(QStringLiteral("The datafile holds values it cannot store (null or UID) "
                                      "in \"%1\"; they are not used.")
                           .arg(cleaned.join(QStringLiteral("\", \""))));
    }
}

DatafileFormat::Result<DatafileFormat::Contents> DatafileFormat::read(QByteArrayView bytes)
{
    RecordsMade made;
    Result<Parts> parts = partsOf(readPropertyList(bytes, made.handover()), true);
    return parts.ok() ? contentsOf(std::move(*parts.value), &made)
                      : Result<Contents>{std::nullopt, parts.error};
}

DatafileFormat::Result<DatafileFormat::Contents> DatafileFormat::read(QIODevice& device)
{
    RecordsMade made;
    Result<Parts> parts = partsOf(readPropertyList(device, made.handover()), true);
    return parts.ok() ? contentsOf(std::move(*parts.value), &made)
                      : Result<Contents>{std::nullopt, parts.error};
}

DatafileFormat::Result<DatafileFormat::Contents> DatafileFormat::contentsOf(Parts parts)
{
    return contentsOf(std::move(parts), nullptr);
}

DatafileFormat::Result<DatafileFormat::Contents> DatafileFormat::contentsOf(Parts parts,
                                                                            const RecordsMade* made)
{
    std::shared_ptr<DatafileSettingsData> settings =
        DatafileSettingsData::settingsWithDictionary(parts.settings);
    if (!settings)
        return failure<Contents>(
            localized(QStringLiteral("The datafile was written by a newer version of Norva.")));
    const bool matches = catalogMatchesRecords(parts.catalog, parts.records);
    std::shared_ptr<DatafileRecordsData> records;
    if (!made) {
        // Parts a caller gives may be shared, so they are left as they are.
        records = std::make_shared<DatafileRecordsData>(parts.records);
    } else if (made->isEmpty()) {
        // A binary file hands nothing over (and a UID of its own is no record): each
        // record's dictionary goes as it is made.
        for (const PlistDictionary::Entry& entry : parts.records) {
            if (entry.value.isUid())
                return damagedRecord<Contents>(entry.key);
        }
        records = std::make_shared<DatafileRecordsData>(parts.records.takeEntries());
    } else {
        QHash<QString, DatafileRecordsData::RecordPointer> collection;
        collection.reserve(parts.records.size());
        for (const PlistDictionary::Entry& entry : parts.records) {
            DatafileRecordsData::RecordPointer record = made->recordFor(entry.value);
            if (!record)
                return damagedRecord<Contents>(entry.key);
            collection.insert(entry.key, std::move(record));
        }
        records = std::make_shared<DatafileRecordsData>();
        records->setCollection(collection);
    }
    return {Contents{std::move(settings), std::move(records), std::move(parts.catalog), matches},
            {}};
}

bool DatafileFormat::write(const Parts& parts, QIODevice& device)
{
    const PlistDictionary top{{SettingsKey, parts.settings},
                              {RecordsKey, parts.records},
                              {CatalogKey, parts.catalog}};
    return PlistXmlWriter::write(top, device);
}

bool DatafileFormat::write(const PlistDictionary& settings, const DatafileRecordsData& records,
                           const PlistArray& catalog, QIODevice& device)
{
    PlistXmlWriter::DictionarySource source;
    std::vector<const RecordData*> written;
    source.keys.reserve(size_t(records.count()));
    written.reserve(size_t(records.count()));
    for (auto it = records.collection().cbegin(); it != records.collection().cend(); ++it) {
        source.keys.push_back(it.key());
        written.push_back(it.value().get());
    }
    source.appendEntries = [&](size_t index, PlistDictionary::Entries& entries) {
        written[index]->appendEntries(entries);
    };
    return PlistXmlWriter::write(PlistDictionary{{SettingsKey, settings}, {CatalogKey, catalog}},
                                 RecordsKey, source, device);
}

bool DatafileFormat::catalogMatchesRecords(const PlistArray& catalog,
                                           const PlistDictionary& records)
{
    if (catalog.size() != records.size())
        return false;
    // Each entry's record, found side by side: the catalog matches when every entry has
    // one and no two the same.
    std::vector<const PlistValue*> listed(size_t(catalog.size()));
    std::atomic<bool> missing = false;
    forEachChunk(catalog.size(), [&](qsizetype begin, qsizetype end) {
        for (qsizetype index = begin; index < end && !missing; ++index) {
            listed[size_t(index)] = records.find(SortedData::identifierOfEntry(catalog[index]));
            if (!listed[size_t(index)])
                missing = true;
        }
    });
    if (missing)
        return false;
    std::sort(listed.begin(), listed.end());
    return std::adjacent_find(listed.begin(), listed.end()) == listed.end();
}

PlistArray DatafileFormat::catalogForRecords(const PlistDictionary& records)
{
    PlistArray rebuilt;
    rebuilt.reserve(records.size());
    for (const PlistDictionary::Entry& entry : records) {
        rebuilt.append(PlistDictionary{{SortedData::IdentifierKey, entry.key},
                                       {SubsetSortedData::CurrentlySelectedKey, true},
                                       {SubsetSortedData::PreviouslySelectedKey, true}});
    }
    return rebuilt;
}
