#include "VKSortTermsData.h"

#include "InternalInconsistency.h"

#include <algorithm>

PlistArray VKSortTermsData::sortObjectsFromArray(const PlistArray& objects,
                                                 const TermFunction& term, bool caseSensitive)
{
    VKSortTermsData sorter;
    sorter.m_collection.reserve(size_t(objects.size()));
    for (const PlistValue& object : objects)
        sorter.addTerm(term(object), object);
    sorter.sortCaseSensitive(caseSensitive);
    return sorter.objects();
}

void VKSortTermsData::addTerm(const PlistValue& term, const PlistValue& object)
{
    if (term.isNull())
        throw InternalInconsistency(QStringLiteral("-addTerm:forObject: -- The term is missing."));
    if (object.isNull())
        throw InternalInconsistency(
            QStringLiteral("-addTerm:forObject: -- The object is missing."));
    m_collection.emplace_back(term, object);
}

void VKSortTermsData::addTermsFromArray(const PlistArray& terms, const PlistArray& objects)
{
    if (terms.size() != objects.size()) {
        throw InternalInconsistency(QStringLiteral("-addTermsFromArray:forObjectsFromArray: -- The "
                                                   "number of terms and objects does not match."));
    }
    for (qsizetype i = 0; i < terms.size(); ++i)
        addTerm(terms.at(i), objects.at(i));
}

bool VKSortTermsData::sortCaseSensitive(bool caseSensitive)
{
    const Qt::CaseSensitivity sensitivity = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    std::stable_sort(m_collection.begin(), m_collection.end(),
                     [sensitivity](const VKSortTermsBitData& a, const VKSortTermsBitData& b) {
                         return VKSortTermsBitData::compareTerms(a.term(), b.term(), sensitivity) <
                                0;
                     });
    return true;
}

PlistArray VKSortTermsData::terms() const
{
    PlistArray terms;
    terms.reserve(qsizetype(m_collection.size()));
    for (const VKSortTermsBitData& bit : m_collection)
        terms.append(bit.term());
    return terms;
}

PlistArray VKSortTermsData::objects() const
{
    PlistArray objects;
    objects.reserve(qsizetype(m_collection.size()));
    for (const VKSortTermsBitData& bit : m_collection)
        objects.append(bit.object());
    return objects;
}

QString VKSortTermsData::description() const
{
    QStringList lines;
    for (const VKSortTermsBitData& bit : m_collection)
        lines.append(bit.description());
    return QStringLiteral("VKSortTermsData: collection contains %1 terms:\n%2")
        .arg(m_collection.size())
        .arg(lines.join(QLatin1Char('\n')));
}
