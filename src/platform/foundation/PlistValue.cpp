#include "PlistValue.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

// ---- PlistDate ----

PlistDate PlistDate::fromDateTime(const QDateTime& dateTime)
{
    return {double(dateTime.toMSecsSinceEpoch()) / 1000.0 - double(referenceDateUnixSeconds)};
}

QDateTime PlistDate::toDateTime() const
{
    // A file may hold any double; beyond a hundred million years no calendar helps.
    constexpr double limit = 1e8 * 365.25 * 86400 * 1000;
    const double msecs = (secondsSinceReferenceDate + double(referenceDateUnixSeconds)) * 1000.0;
    if (std::isnan(msecs))
        return QDateTime();
    return QDateTime::fromMSecsSinceEpoch(qint64(std::llround(std::clamp(msecs, -limit, limit))),
                                          QTimeZone::utc());
}

// ---- PlistArray ----

PlistArray::PlistArray() : d(std::make_shared<Items>()) {}

PlistArray::PlistArray(Items items) : d(std::make_shared<Items>(std::move(items))) {}

PlistArray::PlistArray(std::initializer_list<PlistValue> items) : d(std::make_shared<Items>(items)) {}

void PlistArray::insert(qsizetype index, PlistValue value)
{
    d->insert(d->begin() + index, std::move(value));
}

void PlistArray::removeAt(qsizetype index) { d->erase(d->begin() + index); }

void PlistArray::clear() { d->clear(); }

void PlistArray::reserve(qsizetype count) { d->reserve(size_t(count)); }

PlistArray PlistArray::shallowCopy() const { return PlistArray(*d); }

PlistArray PlistArray::deepCopy() const
{
    Items items;
    items.reserve(d->size());
    for (const PlistValue& value : *d)
        items.push_back(value.deepCopy());
    return PlistArray(std::move(items));
}

// ---- PlistDictionary ----

namespace {
// Below this size a linear scan beats hashing; above it the index keeps a
// 100,000-record dictionary's lookups constant.
constexpr size_t kIndexThreshold = 16;
} // namespace

struct PlistDictionary::Storage {
    Entries entries;
    QHash<QString, qsizetype> index;
    bool indexed = false;

    qsizetype indexOf(const QString& key) const
    {
        if (indexed)
            return index.value(key, -1);
        for (size_t i = 0; i < entries.size(); ++i) {
            // Keys read from a file share their text, so the same text is found at once;
            // keys of one length (identifiers) mostly differ in their first character.
            const QString& candidate = entries[i].key;
            if (candidate.size() != key.size())
                continue;
            if (key.isEmpty() || candidate.constData() == key.constData() ||
                (candidate.front() == key.front() && candidate == key))
                return qsizetype(i);
        }
        return -1;
    }

    void buildIndex()
    {
        index.reserve(qsizetype(entries.size()) * 2);
        for (size_t i = 0; i < entries.size(); ++i)
            index.insert(entries[i].key, qsizetype(i));
        indexed = true;
    }
};

PlistDictionary::PlistDictionary() : d(std::make_shared<Storage>()) {}

PlistDictionary::PlistDictionary(std::initializer_list<std::pair<QString, PlistValue>> entries)
    : PlistDictionary()
{
    for (const auto& [key, value] : entries)
        insert(key, value);
}

PlistDictionary PlistDictionary::fromEntries(Entries entries)
{
    PlistDictionary dictionary;
    Storage& storage = *dictionary.d;
    storage.entries = std::move(entries);
    Entries& all = storage.entries;
    const bool indexed = all.size() > kIndexThreshold;
    if (indexed)
        storage.index.reserve(qsizetype(all.size()));
    size_t kept = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        qsizetype earlier = -1;
        if (indexed) {
            earlier = storage.index.value(all[i].key, -1);
        } else {
            for (size_t k = 0; k < kept && earlier < 0; ++k) {
                if (all[k].key == all[i].key)
                    earlier = qsizetype(k);
            }
        }
        if (earlier >= 0) {
            all[size_t(earlier)].value = std::move(all[i].value);
            continue;
        }
        if (indexed)
            storage.index.insert(all[i].key, qsizetype(kept));
        if (kept != i)
            all[kept] = std::move(all[i]);
        ++kept;
    }
    all.erase(all.begin() + qsizetype(kept), all.end());
    storage.indexed = indexed;
    return dictionary;
}

qsizetype PlistDictionary::size() const { return qsizetype(d->entries.size()); }

bool PlistDictionary::isEmpty() const { return d->entries.empty(); }

bool PlistDictionary::contains(const QString& key) const { return d->indexOf(key) >= 0; }

const PlistValue* PlistDictionary::find(const QString& key) const
{
    const qsizetype i = d->indexOf(key);
    return i < 0 ? nullptr : &d->entries[size_t(i)].value;
}

PlistValue* PlistDictionary::find(const QString& key)
{
    const qsizetype i = d->indexOf(key);
    return i < 0 ? nullptr : &d->entries[size_t(i)].value;
}

PlistValue PlistDictionary::value(const QString& key) const
{
    const PlistValue* found = find(key);
    return found ? *found : PlistValue();
}

QString PlistDictionary::stringForKey(const QString& key) const
{
    const PlistValue* found = find(key);
    const QString* text = found ? found->asString() : nullptr;
    return text ? *text : QString();
}

void PlistDictionary::insert(const QString& key, PlistValue value)
{
    if (PlistValue* existing = find(key)) {
        *existing = std::move(value);
        return;
    }
    d->entries.push_back({key, std::move(value)});
    if (d->indexed)
        d->index.insert(key, qsizetype(d->entries.size()) - 1);
    else if (d->entries.size() > kIndexThreshold)
        d->buildIndex();
}

bool PlistDictionary::remove(const QString& key)
{
    const qsizetype i = d->indexOf(key);
    if (i < 0)
        return false;
    if (!d->indexed) {
        d->entries.erase(d->entries.begin() + i);
        return true;
    }
    // Swap with the last entry so that removal from a large dictionary stays constant.
    d->index.remove(key);
    const size_t last = d->entries.size() - 1;
    if (size_t(i) != last) {
        d->entries[size_t(i)] = std::move(d->entries[last]);
        d->index.insert(d->entries[size_t(i)].key, i);
    }
    d->entries.pop_back();
    return true;
}

void PlistDictionary::clear()
{
    d->entries.clear();
    d->index.clear();
    d->indexed = false;
}

void PlistDictionary::reserve(qsizetype count) { d->entries.reserve(size_t(count)); }

PlistDictionary::Entries PlistDictionary::takeEntries()
{
    Entries taken = std::move(d->entries);
    clear();
    return taken;
}

QStringList PlistDictionary::keys() const
{
    QStringList keys;
    keys.reserve(size());
    for (const Entry& entry : d->entries)
        keys.append(entry.key);
    return keys;
}

std::vector<const PlistDictionary::Entry*> PlistDictionary::sortedEntries() const
{
    std::vector<const Entry*> sorted;
    sorted.reserve(d->entries.size());
    for (const Entry& entry : d->entries)
        sorted.push_back(&entry);
    std::sort(sorted.begin(), sorted.end(),
              [](const Entry* a, const Entry* b) { return a->key < b->key; });
    return sorted;
}

PlistDictionary::Entries::const_iterator PlistDictionary::begin() const
{
    return d->entries.cbegin();
}

PlistDictionary::Entries::const_iterator PlistDictionary::end() const { return d->entries.cend(); }

PlistDictionary PlistDictionary::shallowCopy() const
{
    PlistDictionary copy;
    *copy.d = *d;
    return copy;
}

PlistDictionary PlistDictionary::deepCopy() const
{
    PlistDictionary copy;
    copy.d->entries.reserve(d->entries.size());
    for (const Entry& entry : d->entries)
        copy.d->entries.push_back({entry.key, entry.value.deepCopy()});
    if (d->indexed)
        copy.d->buildIndex();
    return copy;
}

// ---- PlistValue ----

PlistValue::PlistValue(quint64 value)
{
    if (value > quint64(std::numeric_limits<qint64>::max()))
        m_value = value;
    else
        m_value = qint64(value);
}

PlistValue::Type PlistValue::type() const
{
    static constexpr Type types[] = {Type::Null, Type::Boolean, Type::Integer, Type::Integer,
                                     Type::Real, Type::String,  Type::Data,    Type::Date,
                                     Type::Array, Type::Dictionary, Type::Uid};
    return types[m_value.index()];
}

bool PlistValue::isNumber() const
{
    const Type t = type();
    return t == Type::Boolean || t == Type::Integer || t == Type::Real;
}

qint64 PlistValue::integerBits() const
{
    if (const auto* v = std::get_if<qint64>(&m_value))
        return *v;
    if (const auto* v = std::get_if<quint64>(&m_value))
        return qint64(*v);
    if (const auto* v = std::get_if<bool>(&m_value))
        return *v ? 1 : 0;
    return 0;
}

double PlistValue::realValue() const
{
    if (const auto* v = std::get_if<double>(&m_value))
        return *v;
    return 0;
}

namespace {

bool isSpace(QChar c) { return c.isSpace(); }

// Skips leading white space and returns the position after it.
qsizetype skipSpace(QStringView text, qsizetype i = 0)
{
    while (i < text.size() && isSpace(text[i]))
        ++i;
    return i;
}

// A real truncated towards zero into the 64-bit range (NaN reads as 0).
qint64 truncateToInt64(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 9223372036854775807.0)
        return std::numeric_limits<qint64>::max();
    if (value <= -9223372036854775808.0)
        return std::numeric_limits<qint64>::min();
    return qint64(value);
}

} // namespace

qint64 PlistValue::leadingInteger(QStringView text)
{
    qsizetype i = skipSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate negatively so that the minimum value is reachable.
    qint64 result = 0;
    constexpr qint64 minimum = std::numeric_limits<qint64>::min();
    bool overflow = false;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const int digit = text[i].unicode() - u'0';
        if (result < (minimum + digit) / 10) {
            overflow = true;
            continue;
        }
        result = result * 10 - digit;
    }
    if (overflow)
        return negative ? minimum : std::numeric_limits<qint64>::max();
    if (!negative)
        return result == minimum ? std::numeric_limits<qint64>::max() : -result;
    return result;
}

double PlistValue::leadingDouble(QStringView text)
{
    qsizetype i = skipSpace(text);
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    auto digits = [&] {
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
            ++i;
    };
    digits();
    if (i < text.size() && text[i] == u'.') {
        ++i;
        digits();
    }
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        const qsizetype mark = i;
        ++i;
        if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
            ++i;
        const qsizetype exponentStart = i;
        digits();
        if (i == exponentStart)
            i = mark;
    }
    QByteArray ascii = text.mid(start, i - start).toLatin1();
    if (!ascii.isEmpty() && ascii.front() == '+')
        ascii.remove(0, 1);
    double result = 0;
    std::from_chars(ascii.constData(), ascii.constData() + ascii.size(), result);
    return result;
}

bool PlistValue::boolValue() const
{
    switch (type()) {
    case Type::Boolean:
    case Type::Integer:
        return integerBits() != 0;
    case Type::Real:
        return realValue() != 0;
    case Type::String: {
        const QString& text = *asString();
        qsizetype i = skipSpace(text);
        if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
            ++i;
        while (i < text.size() && text[i] == u'0')
            ++i;
        if (i >= text.size())
            return false;
        const QChar c = text[i];
        return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
    }
    default:
        return false;
    }
}

int PlistValue::intValue() const
{
    switch (type()) {
    case Type::Boolean:
    case Type::Integer:
        return int(quint32(quint64(integerBits())));
    case Type::Real:
        return int(quint32(quint64(truncateToInt64(realValue()))));
    case Type::String:
        return int(std::clamp<qint64>(leadingInteger(*asString()), std::numeric_limits<int>::min(),
                                      std::numeric_limits<int>::max()));
    default:
        return 0;
    }
}

qint64 PlistValue::integerValue() const
{
    switch (type()) {
    case Type::Boolean:
    case Type::Integer:
        return integerBits();
    case Type::Real:
        return truncateToInt64(realValue());
    case Type::String:
        return leadingInteger(*asString());
    default:
        return 0;
    }
}

double PlistValue::doubleValue() const
{
    switch (type()) {
    case Type::Boolean:
    case Type::Integer:
        return isUnsignedInteger() ? double(quint64(integerBits())) : double(integerBits());
    case Type::Real:
        return realValue();
    case Type::String:
        return leadingDouble(*asString());
    default:
        return 0;
    }
}

float PlistValue::floatValue() const { return float(doubleValue()); }

QString PlistValue::stringValue() const
{
    switch (type()) {
    case Type::String:
        return *asString();
    case Type::Boolean:
    case Type::Integer:
        return isUnsignedInteger() ? QString::number(quint64(integerBits()))
                                   : QString::number(integerBits());
    case Type::Real:
        return QString::number(realValue(), 'g', 16);
    default:
        return {};
    }
}

bool PlistValue::operator==(const PlistValue& other) const
{
    if (isNumber() && other.isNumber()) {
        if (type() == Type::Real || other.type() == Type::Real) {
            const auto exact = [](const PlistValue& v) -> long double {
                if (v.type() == Type::Real)
                    return v.realValue();
                return v.isUnsignedInteger() ? (long double)quint64(v.integerBits())
                                             : (long double)v.integerBits();
            };
            const long double a = exact(*this);
            const long double b = exact(other);
            // NaN equals NaN, so that a value read back from a file equals itself.
            return a == b || (std::isnan(a) && std::isnan(b));
        }
        return isUnsignedInteger() == other.isUnsignedInteger() && integerBits() == other.integerBits();
    }
    if (m_value.index() != other.m_value.index())
        return false;
    switch (type()) {
    case Type::Null:
        return true;
    case Type::String:
        return *asString() == *other.asString();
    case Type::Data:
        return *asData() == *other.asData();
    case Type::Date: {
        // As with reals, a date that is not a number equals itself once read back.
        const double a = asDate()->secondsSinceReferenceDate;
        const double b = other.asDate()->secondsSinceReferenceDate;
        return a == b || (std::isnan(a) && std::isnan(b));
    }
    case Type::Uid:
        return *asUid() == *other.asUid();
    case Type::Array: {
        const PlistArray& a = *asArray();
        const PlistArray& b = *other.asArray();
        return a.isSameObject(b) || std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
    case Type::Dictionary: {
        const PlistDictionary& a = *asDictionary();
        const PlistDictionary& b = *other.asDictionary();
        if (a.isSameObject(b))
            return true;
        if (a.size() != b.size())
            return false;
        for (const PlistDictionary::Entry& entry : a) {
            const PlistValue* match = b.find(entry.key);
            if (!match || !(*match == entry.value))
                return false;
        }
        return true;
    }
    default:
        return false;
    }
}

PlistValue PlistValue::deepCopy() const
{
    if (const PlistArray* array = asArray())
        return array->deepCopy();
    if (const PlistDictionary* dictionary = asDictionary())
        return dictionary->deepCopy();
    return *this;
}

bool PlistValue::hasXmlForm() const
{
    switch (type()) {
    case Type::Null:
    case Type::Uid:
        return false;
    case Type::Array:
        return std::all_of(asArray()->begin(), asArray()->end(),
                           [](const PlistValue& element) { return element.hasXmlForm(); });
    case Type::Dictionary:
        for (const PlistDictionary::Entry& entry : *asDictionary()) {
            if (!entry.value.hasXmlForm())
                return false;
        }
        return true;
    default:
        return true;
    }
}

PlistValue PlistValue::xmlFormCopy() const
{
    if (hasXmlForm())
        return *this;
    const auto storable = [](const PlistValue& value) { return !value.isNull() && !value.isUid(); };
    if (const PlistArray* array = asArray()) {
        PlistArray copy;
        for (const PlistValue& item : *array) {
            if (storable(item))
                copy.append(item.xmlFormCopy());
        }
        return copy;
    }
    if (const PlistDictionary* dictionary = asDictionary()) {
        PlistDictionary::Entries entries;
        for (const PlistDictionary::Entry& entry : *dictionary) {
            if (storable(entry.value))
                entries.push_back({entry.key, entry.value.xmlFormCopy()});
        }
        return PlistDictionary::fromEntries(std::move(entries));
    }
    return *this;
}
