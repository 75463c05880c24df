#include "VKSortedData.h"

#include "VKArrayCategories.h"
#include "VKSortTermsBitData.h"

#include <algorithm>

VKSortedData::VKSortedData() : m_criteria(VKSortCriteriaData::criteria())
{
}

VKSortedData::~VKSortedData() = default;

void VKSortedData::initWithArray(const std::optional<PlistArray>& array,
                                 std::shared_ptr<VKSortCriteriaData> criteria)
{
    m_sortedArray = array ? array->shallowCopy() : PlistArray();
    m_criteria = criteria ? std::move(criteria) : newSortCriteria();
}

std::shared_ptr<VKSortCriteriaData> VKSortedData::newSortCriteria() const
{
    return VKSortCriteriaData::criteria();
}

bool VKSortedData::sort()
{
    std::stable_sort(m_sortedArray.begin(), m_sortedArray.end(),
                     [](const PlistValue& a, const PlistValue& b) {
                         return VKSortTermsBitData::compareTerms(a, b, Qt::CaseSensitive) < 0;
                     });
    reverseIfNeeded();
    return true;
}

bool VKSortedData::reverseIfNeeded()
{
    const bool descending = m_criteria && m_criteria->descending();
    if (descending) {
        // A new array, as the reversed order replaces the sorted one.
        PlistArray reversed;
        reversed.reserve(m_sortedArray.size());
        for (qsizetype i = m_sortedArray.size() - 1; i >= 0; --i)
            reversed.append(m_sortedArray.at(i));
        m_sortedArray = reversed;
    }
    return descending;
}

bool VKSortedData::isValidIndex(qint64 index) const
{
    return index >= 0 && index < m_sortedArray.size();
}

PlistValue VKSortedData::objectAtIndex(qint64 index) const
{
    return isValidIndex(index) ? m_sortedArray.at(index) : PlistValue();
}

qint64 VKSortedData::indexOfObject(const PlistValue& object) const
{
    if (object.isNull())
        return VKArrayCategories::NotFound;
    const auto found = std::find(m_sortedArray.begin(), m_sortedArray.end(), object);
    return found == m_sortedArray.end() ? VKArrayCategories::NotFound
                                        : found - m_sortedArray.begin();
}
