#include "VKSortCriteriaData.h"

std::shared_ptr<VKSortCriteriaData> VKSortCriteriaData::criteria()
{
    return std::make_shared<VKSortCriteriaData>();
}

std::shared_ptr<VKSortCriteriaData>
VKSortCriteriaData::criteriaWithDictionary(const PlistDictionary& dictionary)
{
    return createWithDictionary<VKSortCriteriaData>(dictionary);
}

std::shared_ptr<VKKeyedAccessorData> VKSortCriteriaData::newInstance() const
{
    return std::make_shared<VKSortCriteriaData>();
}
