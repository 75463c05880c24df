#include "SubsetSortedData.h"

#include "VKArrayCategories.h"

#include <algorithm>
#include <utility>
#include <limits>

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
    if (m_deletionBatches > 0) {
        m_pendingDeletions.insert(identifier);
        return;
    }
    const qsizetype index = indexOfIdentifier(identifier);
    if (index < 0)
        return;
    PlistArray entries = sortedArray();
    entries.removeAt(index);
    rebuildSelectedIdentifiers();
}

void SubsetSortedData::beginDeletions()
{
    ++m_deletionBatches;
}

void SubsetSortedData::endDeletions()
{
    if (m_deletionBatches == 0 || --m_deletionBatches > 0 || m_pendingDeletions.isEmpty())
        return;
    const QSet<QString> deleted = std::exchange(m_pendingDeletions, {});
    // In place: others may hold the same array.
    PlistArray entries = sortedArray();
    const auto kept = std::remove_if(entries.begin(), entries.end(), [&](const PlistValue& entry) {
        return deleted.contains(identifierOfEntry(entry));
    });
    const qsizetype keptCount = kept - entries.begin();
    while (entries.size() > keptCount)
        entries.removeAt(entries.size() - 1);
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
    // A copy, shared: the list given may be this very one.
    const QStringList before = m_selectedIdentifiers;
    m_selectedIdentifiers = identifiers;
    if (m_selectedIndexes && !patchSelectedIndexes(before, m_selectedIdentifiers))
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
        m_selectionHasDuplicates = indexes.size() != m_selectedIdentifiers.size();
        m_selectedIndexes = std::move(indexes);
    }
    return *m_selectedIndexes;
}

namespace {

// The lists are mostly the same strings: comparing where they are settles most pairs.
bool sameIdentifier(const QString& a, const QString& b)
{
    return a.constData() == b.constData() || a == b;
}

bool sameRange(const QStringList& a, qsizetype fromA, const QStringList& b, qsizetype fromB,
               qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i) {
        if (!sameIdentifier(a.at(fromA + i), b.at(fromB + i)))
            return false;
    }
    return true;
}

// Every position from first to last (both included) moves by step.
void shiftPositions(QHash<QString, qsizetype>& indexes, qsizetype first, qsizetype last,
                    qsizetype step)
{
    for (auto it = indexes.begin(); it != indexes.end(); ++it) {
        if (it.value() >= first && it.value() <= last)
            it.value() += step;
    }
}

} // namespace

bool SubsetSortedData::patchSelectedIndexes(const QStringList& before, const QStringList& after)
{
    if (m_selectionHasDuplicates)
        return false;
    QHash<QString, qsizetype>& indexes = *m_selectedIndexes;
    // The stretch where the lists differ: [first, endBefore) of before, [first, endAfter) of after.
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype first = 0;
    while (first < shorter && sameIdentifier(before.at(first), after.at(first)))
        ++first;
    qsizetype endBefore = before.size();
    qsizetype endAfter = after.size();
    while (endBefore > first && endAfter > first &&
           sameIdentifier(before.at(endBefore - 1), after.at(endAfter - 1))) {
        --endBefore;
        --endAfter;
    }
    const qsizetype removed = endBefore - first;
    const qsizetype inserted = endAfter - first;
    if (removed == 0 && inserted == 0)
        return true;
    const qsizetype end = std::numeric_limits<qsizetype>::max();
    if (removed == 0 && inserted == 1) {
        const QString& identifier = after.at(first);
        if (indexes.contains(identifier))
            return false;
        shiftPositions(indexes, first, end, +1);
        indexes.insert(identifier, first);
        return true;
    }
    if (removed == 1 && inserted == 0) {
        if (indexes.value(before.at(first), -1) != first)
            return false;
        indexes.remove(before.at(first));
        shiftPositions(indexes, first + 1, end, -1);
        return true;
    }
    if (removed != inserted || removed < 2)
        return false;
    // One identifier moved from one end of the stretch to the other.
    const qsizetype last = first + removed - 1;
    if (sameIdentifier(before.at(first), after.at(last)) &&
        sameRange(before, first + 1, after, first, removed - 1)) {
        const QString& identifier = before.at(first);
        if (indexes.value(identifier, -1) != first)
            return false;
        shiftPositions(indexes, first + 1, last, -1);
        indexes.insert(identifier, last);
        return true;
    }
    if (sameIdentifier(after.at(first), before.at(last)) &&
        sameRange(before, first, after, first + 1, removed - 1)) {
        const QString& identifier = before.at(last);
        if (indexes.value(identifier, -1) != last)
            return false;
        shiftPositions(indexes, first, last - 1, +1);
        indexes.insert(identifier, first);
        return true;
    }
    return false;
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
