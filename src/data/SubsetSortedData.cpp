#include "SubsetSortedData.h"

#include "VKArrayCategories.h"

void SubsetSortedData::initWithSortedArray(const std::optional<PlistArray>& array,
                                           std::shared_ptr<DatafileRecordsData> records,
                                           std::shared_ptr<VKSortCriteriaData> criteria)
{
    SortedData::initWithSortedArray(array, std::move(records), std::move(criteria));
    selectAll();
    rebuildSelectedIdentifiers();
}

std::shared_ptr<VKSortCriteriaData> SubsetSortedData::newSortCriteria() const
{
    return SubsetSortCriteriaData::criteria();
}

PlistDictionary SubsetSortedData::catalogDictionaryWithIdentifier(const QString& identifier) const
{
    return PlistDictionary{
        {IdentifierKey, identifier}, {CurrentlySelectedKey, true}, {PreviouslySelectedKey, true}};
}

bool SubsetSortedData::sort()
{
    const bool sorted = SortedData::sort();
    rebuildSelectedIdentifiers();
    return sorted;
}

void SubsetSortedData::insertIdentifier(const QString& identifier, const QString& afterIdentifier)
{
    PlistArray entries = sortedArray();
    const qsizetype after = afterIdentifier.isNull() ? -1 : indexOfIdentifier(afterIdentifier);
    VKArrayCategories::insertObject(entries, catalogDictionaryWithIdentifier(identifier),
                                    after < 0 ? VKArrayCategories::NotFound : after + 1, true);
    rebuildSelectedIdentifiers();
}

void SubsetSortedData::insertIdentifierAtEnd(const QString& identifier)
{
    PlistArray entries = sortedArray();
    entries.append(catalogDictionaryWithIdentifier(identifier));
}

void SubsetSortedData::insertIdentifierAtBeginning(const QString& identifier)
{
    PlistArray entries = sortedArray();
    entries.insert(0, catalogDictionaryWithIdentifier(identifier));
    rebuildSelectedIdentifiers();
}

void SubsetSortedData::moveIdentifier(const QString& identifier, qint64 index)
{
    const qsizetype from = indexOfIdentifier(identifier);
    if (from < 0)
        return;
    PlistArray entries = sortedArray();
    const PlistValue entry = entries.at(from);
    entries.removeAt(from);
    VKArrayCategories::insertObject(entries, entry, index, true);
    rebuildSelectedIdentifiers();
}

void SubsetSortedData::deleteIdentifier(const QString& identifier)
{
    const qsizetype index = indexOfIdentifier(identifier);
    if (index >= 0) {
        PlistArray entries = sortedArray();
        entries.removeAt(index);
    }
    rebuildSelectedIdentifiers();
}

void SubsetSortedData::includeIdentifier(const QString& identifier, bool rebuild)
{
    const qsizetype index = indexOfIdentifier(identifier);
    if (PlistArray entries = sortedArray(); index >= 0)
        setEntryFlag(entries[index], CurrentlySelectedKey, true);
    if (rebuild)
        rebuildSelectedIdentifiers();
}

void SubsetSortedData::omitIdentifier(const QString& identifier, bool rebuild)
{
    const qsizetype index = indexOfIdentifier(identifier);
    if (PlistArray entries = sortedArray(); index >= 0)
        setEntryFlag(entries[index], CurrentlySelectedKey, false);
    if (rebuild)
        rebuildSelectedIdentifiers();
}

const QStringList& SubsetSortedData::rebuildSelectedIdentifiers()
{
    QStringList identifiers;
    identifiers.reserve(sortedArray().size());
    for (const PlistValue& entry : sortedArray()) {
        if (entryFlag(entry, CurrentlySelectedKey))
            identifiers.append(identifierOfEntry(entry));
    }
    setSelectedIdentifiers(identifiers);
    return m_selectedIdentifiers;
}

void SubsetSortedData::setSelectedIdentifiers(const QStringList& identifiers)
{
    m_selectedIdentifiers = identifiers;
    m_selectedIndexes.reset();
}

const QHash<QString, qsizetype>& SubsetSortedData::selectedIndexes() const
{
    if (!m_selectedIndexes) {
        QHash<QString, qsizetype> indexes;
        indexes.reserve(m_selectedIdentifiers.size());
        // The first position wins, as a search from the start would find it.
        for (qsizetype index = m_selectedIdentifiers.size() - 1; index >= 0; --index)
            indexes.insert(m_selectedIdentifiers.at(index), index);
        m_selectedIndexes = std::move(indexes);
    }
    return *m_selectedIndexes;
}

bool SubsetSortedData::isSelectedIdentifier(const QString& identifier) const
{
    return selectedIndexes().contains(identifier);
}

bool SubsetSortedData::isValidSelectedIndex(qint64 index) const
{
    return index >= 0 && index < m_selectedIdentifiers.size();
}

QString SubsetSortedData::selectedIdentifierAtIndex(qint64 index) const
{
    return isValidSelectedIndex(index) ? m_selectedIdentifiers.at(index) : QString();
}

qint64 SubsetSortedData::indexOfSelectedIdentifier(const QString& identifier) const
{
    if (identifier.isNull())
        return VKArrayCategories::NotFound;
    return selectedIndexes().value(identifier, VKArrayCategories::NotFound);
}

bool SubsetSortedData::entryFlag(const PlistValue& entry, const QString& key) const
{
    const PlistDictionary* dictionary = entry.asDictionary();
    const PlistValue* flag = dictionary ? dictionary->find(key) : nullptr;
    return flag && flag->boolValue();
}

void SubsetSortedData::setEntryFlag(PlistValue& entry, const QString& key, bool flag)
{
    // The entry is shared with every array that holds it: it changes in place.
    PlistDictionary* dictionary = entry.asDictionary();
    if (!dictionary)
        return;
    if (PlistValue* stored = dictionary->find(key))
        *stored = flag;
    else
        dictionary->insert(key, flag);
}
