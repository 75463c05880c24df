#pragma once

#include "VKKeyedAccessorData.h"

// The base of every sort and selection criteria object: it knows the direction only.
class VKSortCriteriaData : public VKKeyedAccessorData {
public:
    static inline const QString VKSortDescendingKey = QStringLiteral("VKSortDescending");

    static std::shared_ptr<VKSortCriteriaData> criteria();
    // Nullptr when the data is too new.
    static std::shared_ptr<VKSortCriteriaData>
    criteriaWithDictionary(const PlistDictionary& dictionary);

    bool descending() const { return boolForKey(VKSortDescendingKey, false); }
    void setDescending(bool descending) { setBool(descending, VKSortDescendingKey); }

protected:
    std::shared_ptr<VKKeyedAccessorData> newInstance() const override;
};
