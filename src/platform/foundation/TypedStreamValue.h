#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class TypedStreamObject;
class TypedStreamValue;

// One level of an archived object's class chain.
struct TypedStreamClass {
    QByteArray name;
    qint64 version = 0;
    bool operator==(const TypedStreamClass&) const = default;
};

// The values written by one encode call: their type encoding ("@", "c", "ffff",
// "{_NSSize=ff}" ...) and one value per type in it. Kept whole so that a group of
// four floats writes back as one group rather than four.
struct TypedStreamGroup {
    QByteArray encoding;
    std::vector<TypedStreamValue> values;

    bool operator==(const TypedStreamGroup& other) const;
};

// The groups at the top of a stream, in order.
using TypedStreamGroups = std::vector<TypedStreamGroup>;

// A value of an archive. What it means (an int or a char, a float or a double) is
// said by its group's encoding; the value holds only what the bytes carried.
class TypedStreamValue {
public:
    enum class Kind {
        Nil,      // a nil object, class, C string or string
        Integer,  // c C s S i I l L q Q B
        Real,     // f d
        CString,  // '*': shared by content through the object table
        String,   // ':' and '%': shared through the string table
        Bytes,    // '+' and arrays of chars
        Class,    // '#': a class chain, most derived first
        Object,   // '@'
        Compound, // arrays of other types and structs: their elements in order
    };

    TypedStreamValue() = default;
    static TypedStreamValue integer(qint64 value);
    static TypedStreamValue real(double value);
    static TypedStreamValue cString(QByteArray text);
    static TypedStreamValue string(QByteArray text);
    static TypedStreamValue bytes(QByteArray data);
    static TypedStreamValue classChain(QList<TypedStreamClass> chain);
    static TypedStreamValue object(std::shared_ptr<TypedStreamObject> object);
    static TypedStreamValue compound(std::vector<TypedStreamValue> elements);

    Kind kind() const { return m_kind; }
    bool isNil() const { return m_kind == Kind::Nil; }
    qint64 integerValue() const { return m_integer; }
    double realValue() const { return m_real; }
    // The bytes of a C string, string or byte array.
    const QByteArray& data() const { return m_data; }
    const QList<TypedStreamClass>& classes() const { return m_classes; }
    // Null unless the value is an object; objects met twice in a stream share one.
    const std::shared_ptr<TypedStreamObject>& object() const { return m_object; }
    const std::vector<TypedStreamValue>& elements() const { return m_elements; }

    // A number of either kind as a double.
    std::optional<double> numberValue() const;

    // Values compare by content; objects by content too, each pair of objects
    // compared once, so shared and even cyclic graphs compare in linear time.
    bool operator==(const TypedStreamValue& other) const;

private:
    Kind m_kind = Kind::Nil;
    qint64 m_integer = 0;
    double m_real = 0;
    QByteArray m_data;
    QList<TypedStreamClass> m_classes;
    std::shared_ptr<TypedStreamObject> m_object;
    std::vector<TypedStreamValue> m_elements;
};

// An archived object: its class chain and the groups its coder wrote. The format
// does not mark where one class level's values end, so the groups are one list.
class TypedStreamObject {
public:
    TypedStreamObject() = default;
    TypedStreamObject(QList<TypedStreamClass> classes, TypedStreamGroups groups);

    QList<TypedStreamClass> classes;
    TypedStreamGroups groups;

    QByteArray className() const;
    bool isKindOf(QByteArrayView name) const;

    // The single value of the group at index when the group has that encoding.
    const TypedStreamValue* singleValue(qsizetype index, QByteArrayView encoding) const;

    // The platform's string objects: a "+" group of UTF-8 bytes.
    static std::shared_ptr<TypedStreamObject> makeString(const QString& text);
    // The text of a string object; nullopt for any other object.
    static std::optional<QString> stringValue(const TypedStreamValue& value);
};

// The first group's single object, the shape every archived value of the files has.
std::shared_ptr<TypedStreamObject> typedStreamRootObject(const TypedStreamGroups& groups);
