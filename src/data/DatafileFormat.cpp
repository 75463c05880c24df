#include "DatafileFormat.h"

#include "Localization.h"
#include "PlistXmlWriter.h"
#include "PropertyList.h"
#include "SortedData.h"
#include "StringFormat.h"
#include "SubsetSortedData.h"

#include <QSet>

namespace {

template <typename Value> DatafileFormat::Result<Value> failure(const QString& message)
{
    return {std::nullopt, PlistError{message, -1, 0}};
}

} // namespace

DatafileFormat::Result<DatafileFormat::Parts> DatafileFormat::readParts(QByteArrayView bytes)
{
    return partsOf(readPropertyList(bytes));
}

DatafileFormat::Result<DatafileFormat::Parts> DatafileFormat::readParts(QIODevice& device)
{
    return partsOf(readPropertyList(device));
}

DatafileFormat::Result<DatafileFormat::Parts> DatafileFormat::partsOf(const PlistReadResult& read)
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
        if (!entry.value.isDictionary())
            return failure<Parts>(stringWithFormat(
                localized(QStringLiteral("The record %@ is damaged.")), entry.key));
    }
    for (const PlistValue& entry : parts.catalog) {
        if (!entry.isDictionary())
            return failure<Parts>(
                localized(QStringLiteral("The datafile's record order is damaged.")));
    }
    return {std::move(parts), {}};
}

DatafileFormat::Result<DatafileFormat::Contents> DatafileFormat::read(QByteArrayView bytes)
{
    Result<Parts> parts = readParts(bytes);
    return parts.ok() ? contentsOf(std::move(*parts.value), true)
                      : Result<Contents>{std::nullopt, parts.error};
}

DatafileFormat::Result<DatafileFormat::Contents> DatafileFormat::read(QIODevice& device)
{
    Result<Parts> parts = readParts(device);
    return parts.ok() ? contentsOf(std::move(*parts.value), true)
                      : Result<Contents>{std::nullopt, parts.error};
}

DatafileFormat::Result<DatafileFormat::Contents> DatafileFormat::contentsOf(Parts parts)
{
    return contentsOf(std::move(parts), false);
}

DatafileFormat::Result<DatafileFormat::Contents> DatafileFormat::contentsOf(Parts parts,
                                                                            bool partsAreOurs)
{
    std::shared_ptr<DatafileSettingsData> settings =
        DatafileSettingsData::settingsWithDictionary(parts.settings);
    if (!settings)
        return failure<Contents>(
            localized(QStringLiteral("The datafile was written by a newer version of Norva.")));
    const bool matches = catalogMatchesRecords(parts.catalog, parts.records);
    // Parts just read are this reader's alone: each record's dictionary goes as the record
    // is made. Parts a caller gives may be shared, so they are left as they are.
    auto records = partsAreOurs
                       ? std::make_shared<DatafileRecordsData>(parts.records.takeEntries())
                       : std::make_shared<DatafileRecordsData>(parts.records);
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

bool DatafileFormat::catalogMatchesRecords(const PlistArray& catalog,
                                           const PlistDictionary& records)
{
    if (catalog.size() != records.size())
        return false;
    QSet<QString> listed;
    listed.reserve(catalog.size());
    for (const PlistValue& entry : catalog) {
        const QString identifier = SortedData::identifierOfEntry(entry);
        if (!records.contains(identifier) || listed.contains(identifier))
            return false;
        listed.insert(identifier);
    }
    return true;
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
