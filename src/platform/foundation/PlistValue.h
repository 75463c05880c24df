#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTimeZone>

#include <memory>
#include <variant>
#include <vector>

class PlistValue;

// A date as the stored files keep it: seconds since 2001-01-01 00:00:00 UTC.
struct PlistDate {
    double secondsSinceReferenceDate = 0;

    static constexpr qint64 referenceDateUnixSeconds = 978307200;

    static PlistDate fromDateTime(const QDateTime& dateTime);
    QDateTime toDateTime() const;
    bool operator==(const PlistDate&) const = default;
    auto operator<=>(const PlistDate&) const = default;
};

// The reference of a keyed archive's object table.
struct PlistUid {
    quint64 value = 0;
    bool operator==(const PlistUid&) const = default;
};

// An array of property-list values. The object is a handle: copies share one
// mutable array, as the stored model relies on (a record's fields edited in place).
class PlistArray {
public:
    using Items = std::vector<PlistValue>;

    PlistArray();
    explicit PlistArray(Items items);
    PlistArray(std::initializer_list<PlistValue> items);

    qsizetype size() const;
    bool isEmpty() const;
    const PlistValue& at(qsizetype index) const;
    PlistValue& operator[](qsizetype index);
    const PlistValue& operator[](qsizetype index) const;

    void append(PlistValue value);
    void insert(qsizetype index, PlistValue value);
    void removeAt(qsizetype index);
    void clear();
    void reserve(qsizetype count);

    Items::iterator begin();
    Items::iterator end();
    Items::const_iterator begin() const;
    Items::const_iterator end() const;

    // A new array holding the same element handles.
    PlistArray shallowCopy() const;
    // A new array in which nested arrays and dictionaries are copied all the way down.
    PlistArray deepCopy() const;
    bool isSameObject(const PlistArray& other) const { return d == other.d; }

private:
    std::shared_ptr<Items> d;
};

// A dictionary from string keys to property-list values; a shared mutable handle
// like PlistArray. Entries keep their insertion order until one is removed; large
// dictionaries (a datafile's records) get a hash index so lookups stay constant.
class PlistDictionary {
public:
    struct Entry;
    using Entries = std::vector<Entry>;

    PlistDictionary();
    PlistDictionary(std::initializer_list<std::pair<QString, PlistValue>> entries);
    // A dictionary over the given entries, in their order; of repeated keys the
    // last value wins, at the first one's place.
    static PlistDictionary fromEntries(Entries entries);

    qsizetype size() const;
    bool isEmpty() const;
    bool contains(const QString& key) const;
    // The stored value, or nullptr when the key is absent.
    const PlistValue* find(const QString& key) const;
    PlistValue* find(const QString& key);
    // The stored value, or a null value when the key is absent.
    PlistValue value(const QString& key) const;
    // The stored text; empty when the key is absent or holds something else.
    QString stringForKey(const QString& key) const;

    // Stores the value under the key, replacing an earlier one.
    void insert(const QString& key, PlistValue value);
    bool remove(const QString& key);
    void clear();
    void reserve(qsizetype count);
    // Empties the dictionary, handing over its entries in their order.
    Entries takeEntries();

    QStringList keys() const;
    // The entries ordered by key as the files write them (UTF-16 code-unit order).
    std::vector<const Entry*> sortedEntries() const;

    Entries::const_iterator begin() const;
    Entries::const_iterator end() const;

    PlistDictionary shallowCopy() const;
    PlistDictionary deepCopy() const;
    bool isSameObject(const PlistDictionary& other) const { return d == other.d; }

private:
    struct Storage;
    std::shared_ptr<Storage> d;
};

class PlistValue {
public:
    enum class Type { Null, Boolean, Integer, Real, String, Data, Date, Array, Dictionary, Uid };

    PlistValue() = default;
    PlistValue(bool value) : m_value(value) {}
    PlistValue(int value) : m_value(qint64(value)) {}
    PlistValue(qint64 value) : m_value(value) {}
    // Unsigned values above the signed range stay unsigned, as the files allow.
    PlistValue(quint64 value);
    PlistValue(double value) : m_value(value) {}
    PlistValue(const QString& value) : m_value(value) {}
    PlistValue(QString&& value) : m_value(std::move(value)) {}
    PlistValue(const char* utf8) : m_value(QString::fromUtf8(utf8)) {}
    PlistValue(const QByteArray& value) : m_value(value) {}
    PlistValue(QByteArray&& value) : m_value(std::move(value)) {}
    PlistValue(PlistDate value) : m_value(value) {}
    PlistValue(PlistArray value) : m_value(std::move(value)) {}
    PlistValue(PlistDictionary value) : m_value(std::move(value)) {}
    PlistValue(PlistUid value) : m_value(value) {}

    Type type() const;
    bool isNull() const { return type() == Type::Null; }
    bool isNumber() const;
    bool isString() const { return type() == Type::String; }
    bool isData() const { return type() == Type::Data; }
    bool isDate() const { return type() == Type::Date; }
    bool isArray() const { return type() == Type::Array; }
    bool isDictionary() const { return type() == Type::Dictionary; }
    bool isUid() const { return type() == Type::Uid; }
    // Whether it holds no null and no archive UID at any depth: what an XML property
    // list, which has no form for either, can store.
    bool hasXmlForm() const;
    // The value as an XML property list can hold it: every null and archive UID left out
    // of its arrays and dictionaries, at any depth. Containers that hold none are the
    // same handles; the others are new.
    PlistValue xmlFormCopy() const;
    // An integer above the signed 64-bit range.
    bool isUnsignedInteger() const { return std::holds_alternative<quint64>(m_value); }

    // Typed access without conversion: nullptr when the value is of another kind.
    const QString* asString() const { return std::get_if<QString>(&m_value); }
    const QByteArray* asData() const { return std::get_if<QByteArray>(&m_value); }
    const PlistDate* asDate() const { return std::get_if<PlistDate>(&m_value); }
    const PlistArray* asArray() const { return std::get_if<PlistArray>(&m_value); }
    const PlistDictionary* asDictionary() const { return std::get_if<PlistDictionary>(&m_value); }
    // The handle itself, to change the shared container in place.
    PlistArray* asArray() { return std::get_if<PlistArray>(&m_value); }
    PlistDictionary* asDictionary() { return std::get_if<PlistDictionary>(&m_value); }
    const PlistUid* asUid() const { return std::get_if<PlistUid>(&m_value); }
    // The raw bits of an integer (an unsigned one wraps) and a real as stored.
    qint64 integerBits() const;
    double realValue() const;

    // The readings the system's values answer to.
    // A number's truth; a string is true when, after leading white space, an optional
    // sign and zeros, it begins with Y, y, T, t or a digit 1-9.
    bool boolValue() const;
    // The 32-bit reading: numbers are truncated to 32 bits, strings read their
    // leading integer clamped to the 32-bit range.
    int intValue() const;
    qint64 integerValue() const;
    float floatValue() const;
    double doubleValue() const;
    // A string itself; a number's decimal text; empty otherwise.
    QString stringValue() const;

    // Equality as the system's objects compare: numbers numerically across boolean,
    // integer and real; strings, data and dates by value; containers element-wise.
    bool operator==(const PlistValue& other) const;
    bool operator!=(const PlistValue& other) const { return !(*this == other); }

    // A copy whose nested arrays and dictionaries are new containers.
    PlistValue deepCopy() const;

    // The leading decimal integer of a string, after white space and an optional
    // sign; 0 when there is none. Clamped to the 64-bit range.
    static qint64 leadingInteger(QStringView text);
    static double leadingDouble(QStringView text);

private:
    std::variant<std::monostate, bool, qint64, quint64, double, QString, QByteArray, PlistDate,
                 PlistArray, PlistDictionary, PlistUid>
        m_value;
};

struct PlistDictionary::Entry {
    QString key;
    PlistValue value;
};

// ---- inline container members that need PlistValue complete ----

inline qsizetype PlistArray::size() const { return qsizetype(d->size()); }
inline bool PlistArray::isEmpty() const { return d->empty(); }
inline const PlistValue& PlistArray::at(qsizetype index) const { return (*d)[size_t(index)]; }
inline PlistValue& PlistArray::operator[](qsizetype index) { return (*d)[size_t(index)]; }
inline const PlistValue& PlistArray::operator[](qsizetype index) const { return (*d)[size_t(index)]; }
inline void PlistArray::append(PlistValue value) { d->push_back(std::move(value)); }
inline PlistArray::Items::iterator PlistArray::begin() { return d->begin(); }
inline PlistArray::Items::iterator PlistArray::end() { return d->end(); }
inline PlistArray::Items::const_iterator PlistArray::begin() const { return d->cbegin(); }
inline PlistArray::Items::const_iterator PlistArray::end() const { return d->cend(); }
