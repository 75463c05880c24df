#include "SortedData.h"

void SortedData::initWithSortedArray(const std::optional<PlistArray>& array,
                                     std::shared_ptr<DatafileRecordsData> records,
                                     std::shared_ptr<VKSortCriteriaData> criteria)
{
    const bool hadEntries = array && !array->isEmpty();
    initWithArray(array, std::move(criteria));
    m_records = std::move(records);
    if (!hadEntries)
        rebuildCatalog(true);
}

std::shared_ptr<VKSortCriteriaData> SortedData::newSortCriteria() const
{
    return SortCriteriaData::criteria();
}

PlistDictionary SortedData::catalogDictionaryWithIdentifier(const QString& identifier) const
{
    return PlistDictionary{{IdentifierKey, identifier}};
}

void SortedData::rebuildCatalog(bool sort)
{
    PlistArray entries;
    if (m_records) {
        entries.reserve(m_records->count());
        for (auto it = m_records->collection().cbegin(); it != m_records->collection().cend(); ++it)
            entries.append(catalogDictionaryWithIdentifier(it.key()));
    }
    setSortedArray(entries);
    if (sort)
        this->sort();
}

PlistArray SortedData::pushCatalog()
{
    PlistArray saved = sortedArray().shallowCopy();
    // New entries in the order shown, so that a stable sort after this keeps the earlier
    // of two equal records first; a catalog that names other records than the collection
    // holds is made from the collection.
    if (!m_records || saved.size() != m_records->count()) {
        rebuildCatalog(false);
        return saved;
    }
    PlistArray entries;
    entries.reserve(saved.size());
    for (const PlistValue& entry : saved)
        entries.append(catalogDictionaryWithIdentifier(identifierOfEntry(entry)));
    setSortedArray(entries);
    return saved;
}

PlistArray SortedData::fieldDefinitions() const
{
    return m_fieldDefinitions ? m_fieldDefinitions() : PlistArray();
}

QString SortedData::identifierOfEntry(const PlistValue& entry)
{
    if (const PlistDictionary* dictionary = entry.asDictionary()) {
        if (const PlistValue* identifier = dictionary->find(IdentifierKey)) {
            if (const QString* text = identifier->asString())
                return *text;
        }
    }
    return {};
}

qsizetype SortedData::indexOfIdentifier(const QString& identifier) const
{
    const PlistArray& entries = sortedArray();
    for (qsizetype index = 0; index < entries.size(); ++index) {
        if (identifierOfEntry(entries.at(index)) == identifier)
            return index;
    }
    return -1;
}

const RecordData* SortedData::recordForEntry(const PlistValue& entry) const
{
    if (!m_records)
        return nullptr;
    // Runs once per entry in every selection and sort: no copies of the identifier or
    // of the record's pointer.
    const PlistDictionary* dictionary = entry.asDictionary();
    const PlistValue* identifier = dictionary ? dictionary->find(IdentifierKey) : nullptr;
    const QString* text = identifier ? identifier->asString() : nullptr;
    if (!text)
        return nullptr;
    const auto& collection = m_records->collection();
    const auto found = collection.constFind(*text);
    return found == collection.cend() ? nullptr : found->get();
}
