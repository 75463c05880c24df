#include "IncomingDatafile.h"

#include "DatafileFormat.h"
#include "DatafileSettingsData.h"
#include "PropertyList.h"
#include "RecordData.h"
#include "SortedData.h"

#include <algorithm>

namespace {

// The dictionary stored under the key; nullptr when there is none.
const PlistDictionary* dictionaryAt(const PlistDictionary& dictionary, const QString& key)
{
    const PlistValue* stored = dictionary.find(key);
    return stored ? stored->asDictionary() : nullptr;
}

IncomingDatafile::Record recordOf(const PlistDictionary& stored)
{
    IncomingDatafile::Record record;
    if (const PlistValue* text = stored.find(RecordData::TextStringKey); text && text->asString())
        record.textString = *text->asString();
    if (const PlistValue* rtfd = stored.find(RecordData::TextRTFDKey); rtfd && rtfd->asData())
        record.textRTFD = *rtfd->asData();
    if (const PlistValue* fields = stored.find(RecordData::FieldsKey)) {
        if (const PlistDictionary* values = fields->asDictionary()) {
            for (const PlistDictionary::Entry& entry : *values) {
                if (entry.value.asString())
                    record.fields.insert(entry.key, entry.value);
            }
        }
    }
    return record;
}

} // namespace

IncomingDatafile IncomingDatafile::read(QByteArrayView bytes)
{
    return of(readPropertyList(bytes));
}

IncomingDatafile IncomingDatafile::read(QIODevice& device)
{
    return of(readPropertyList(device));
}

IncomingDatafile IncomingDatafile::of(const PlistReadResult& read)
{
    IncomingDatafile incoming;
    const PlistDictionary* top = read.ok() ? read.value.asDictionary() : nullptr;
    if (!top)
        return incoming;

    if (const PlistDictionary* settings = dictionaryAt(*top, DatafileFormat::SettingsKey)) {
        const PlistValue* stored = settings->find(DatafileSettingsData::FieldsKey);
        if (const PlistArray* fields = stored ? stored->asArray() : nullptr) {
            // Every definition keeps its position, so the values after it land in the
            // right fields.
            for (const PlistValue& field : *fields) {
                const PlistDictionary* definition = field.asDictionary();
                incoming.m_fieldIdentifiers.append(
                    definition ? definition->stringForKey(DatafileSettingsData::FieldIdentifierKey)
                               : QString());
            }
        }
    }
    if (const PlistDictionary* records = dictionaryAt(*top, DatafileFormat::RecordsKey))
        incoming.m_records = *records;
    const PlistValue* storedCatalog = top->find(DatafileFormat::CatalogKey);
    if (const PlistArray* catalog = storedCatalog ? storedCatalog->asArray() : nullptr) {
        for (const PlistValue& entry : *catalog) {
            if (const PlistDictionary* dictionary = entry.asDictionary())
                incoming.m_catalog.append(
                    dictionary->stringForKey(SortedData::IdentifierKey));
        }
    }
    return incoming;
}

qsizetype IncomingDatafile::mergeCount() const
{
    return std::min(m_records.size(), m_catalog.size());
}

IncomingDatafile::Record IncomingDatafile::recordAt(qsizetype k) const
{
    if (k < 0 || k >= m_catalog.size())
        return {};
    const PlistValue* stored = m_records.find(m_catalog.at(k));
    const PlistDictionary* record = stored ? stored->asDictionary() : nullptr;
    return record ? recordOf(*record) : Record();
}
