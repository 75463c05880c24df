#pragma once

#include "PlistValue.h"

// One (term, object) pair: the object sorts where its term sorts.
class VKSortTermsBitData {
public:
    VKSortTermsBitData(PlistValue term, PlistValue object);
    static VKSortTermsBitData sortTermWithTerm(PlistValue term, PlistValue object);

    const PlistValue& term() const { return m_term; }
    void setTerm(const PlistValue& term) { m_term = term; }
    const PlistValue& object() const { return m_object; }
    void setObject(const PlistValue& object) { m_object = object; }

    // Strings by the model's string order, numbers by value, dates by time; terms of
    // kinds that cannot be compared are the same (0).
    int compare(const VKSortTermsBitData& other) const;
    int caseInsensitiveCompare(const VKSortTermsBitData& other) const;
    QString description() const;

    static int compareTerms(const PlistValue& a, const PlistValue& b,
                            Qt::CaseSensitivity sensitivity);

private:
    PlistValue m_term;
    PlistValue m_object;
};
