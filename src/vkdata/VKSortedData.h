#pragma once

#include "VKSortCriteriaData.h"

#include <memory>
#include <optional>

// An array kept in order together with its criteria; the catalog extends it.
class VKSortedData {
public:
    VKSortedData();
    virtual ~VKSortedData();

    // A nullopt array is an empty one; null criteria become new criteria of the class's
    // own kind. The array is copied; nothing is sorted.
    void initWithArray(const std::optional<PlistArray>& array,
                       std::shared_ptr<VKSortCriteriaData> criteria);

    template <typename T = VKSortedData>
    static std::shared_ptr<T> sortedDataWithArray(const std::optional<PlistArray>& array,
                                                  std::shared_ptr<VKSortCriteriaData> criteria)
    {
        auto sorted = std::make_shared<T>();
        sorted->initWithArray(array, std::move(criteria));
        sorted->sort();
        return sorted;
    }

    // New criteria of the kind this class sorts by.
    virtual std::shared_ptr<VKSortCriteriaData> newSortCriteria() const;
    // Orders the elements by their own comparison, then reverses when descending.
    virtual bool sort();
    bool reverseIfNeeded();

    bool isValidIndex(qint64 index) const;
    // A null value for an index outside the array.
    PlistValue objectAtIndex(qint64 index) const;
    // The first equal element's index, or NotFound.
    qint64 indexOfObject(const PlistValue& object) const;
    qsizetype count() const { return m_sortedArray.size(); }

    const PlistArray& sortedArray() const { return m_sortedArray; }
    void setSortedArray(const PlistArray& array) { m_sortedArray = array.shallowCopy(); }
    const std::shared_ptr<VKSortCriteriaData>& criteria() const { return m_criteria; }
    void setCriteria(std::shared_ptr<VKSortCriteriaData> criteria)
    {
        m_criteria = std::move(criteria);
    }

private:
    PlistArray m_sortedArray;
    std::shared_ptr<VKSortCriteriaData> m_criteria;
};
