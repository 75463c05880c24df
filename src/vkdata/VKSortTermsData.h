#pragma once

#include "VKSortTermsBitData.h"

#include <functional>
#include <vector>

// Sorts objects by a term computed for each: add the pairs, sort, read the objects
// back. Equal terms keep the order in which they were added.
class VKSortTermsData {
public:
    using TermFunction = std::function<PlistValue(const PlistValue& object)>;

    static VKSortTermsData sortTerms() { return {}; }
    static PlistArray sortObjectsFromArray(const PlistArray& objects, const TermFunction& term,
                                           bool caseSensitive = false);

    void addTerm(const PlistValue& term, const PlistValue& object);
    void addTermsFromArray(const PlistArray& terms, const PlistArray& objects);
    bool sort() { return sortCaseSensitive(false); }
    bool sortCaseSensitive(bool caseSensitive);

    PlistArray terms() const;
    PlistArray objects() const;
    const std::vector<VKSortTermsBitData>& collection() const { return m_collection; }
    QString description() const;

private:
    std::vector<VKSortTermsBitData> m_collection;
};
