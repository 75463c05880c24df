#include "VKSortTermsBitData.h"

#include "StringCompare.h"

VKSortTermsBitData::VKSortTermsBitData(PlistValue term, PlistValue object)
    : m_term(std::move(term)), m_object(std::move(object))
{
}

VKSortTermsBitData VKSortTermsBitData::sortTermWithTerm(PlistValue term, PlistValue object)
{
    return VKSortTermsBitData(std::move(term), std::move(object));
}

int VKSortTermsBitData::compareTerms(const PlistValue& a, const PlistValue& b,
                                     Qt::CaseSensitivity sensitivity)
{
    if (a.isString() && b.isString())
        return compareStrings(*a.asString(), *b.asString(), sensitivity);
    if (a.isNumber() && b.isNumber()) {
        if (a == b)
            return 0;
        return a.doubleValue() < b.doubleValue() ? -1 : 1;
    }
    if (a.isDate() && b.isDate()) {
        const double x = a.asDate()->secondsSinceReferenceDate;
        const double y = b.asDate()->secondsSinceReferenceDate;
        return x < y ? -1 : x > y ? 1 : 0;
    }
    return 0;
}

int VKSortTermsBitData::compare(const VKSortTermsBitData& other) const
{
    return compareTerms(m_term, other.m_term, Qt::CaseSensitive);
}

int VKSortTermsBitData::caseInsensitiveCompare(const VKSortTermsBitData& other) const
{
    return compareTerms(m_term, other.m_term, Qt::CaseInsensitive);
}

QString VKSortTermsBitData::description() const
{
    return QStringLiteral("VKSortTermsBitData: term = \"%1\", object = \"%2\"")
        .arg(m_term.stringValue(), m_object.stringValue());
}
