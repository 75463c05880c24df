#include "VKSortTermsData.h"

#include "InternalInconsistency.h"
#include "ParallelChunks.h"
#include "StringCompare.h"

#include <algorithm>
#include <numeric>

namespace {

// A term made ready for many comparisons: strings by their comparison key, numbers
// and dates by value. Terms of different kinds compare as the same.
struct SortKey {
    enum Kind { Text, Number, Date, Other } kind = Other;
    QString text;
    double value = 0;

    SortKey() = default;
    SortKey(const PlistValue& term, Qt::CaseSensitivity sensitivity)
    {
        if (const QString* string = term.asString()) {
            kind = Text;
            text = stringComparisonKey(*string, sensitivity);
        } else if (term.isNumber()) {
            kind = Number;
            value = term.doubleValue();
        } else if (const PlistDate* date = term.asDate()) {
            kind = Date;
            value = date->secondsSinceReferenceDate;
        }
    }

    bool operator<(const SortKey& other) const
    {
        if (kind != other.kind || kind == Other)
            return false;
        if (kind == Text)
            return QStringView(text).compare(other.text) < 0;
        return value < other.value;
    }
};

} // namespace

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
    // Each term is prepared once and the positions are sorted, not the pairs: a catalog
    // sort compares a hundred thousand terms many times over.
    std::vector<SortKey> keys(m_collection.size());
    forEachChunk(qsizetype(keys.size()), [&](qsizetype begin, qsizetype end) {
        for (qsizetype index = begin; index < end; ++index)
            keys[size_t(index)] = SortKey(m_collection[size_t(index)].term(), sensitivity);
    });
    std::vector<size_t> order(m_collection.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&keys](size_t a, size_t b) { return keys[a] < keys[b]; });
    std::vector<VKSortTermsBitData> sorted;
    sorted.reserve(m_collection.size());
    for (size_t index : order)
        sorted.push_back(std::move(m_collection[index]));
    m_collection = std::move(sorted);
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
