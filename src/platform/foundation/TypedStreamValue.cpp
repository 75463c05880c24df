#include "TypedStreamValue.h"

#include <cmath>
#include <set>
#include <utility>

namespace {

// Compares graphs of objects: a pair of objects already under comparison counts as
// equal, so shared objects are compared once and cycles end.
class GraphComparer {
public:
    bool same(const TypedStreamValue& a, const TypedStreamValue& b)
    {
        if (a.kind() != b.kind())
            return false;
        switch (a.kind()) {
        case TypedStreamValue::Kind::Nil:
            return true;
        case TypedStreamValue::Kind::Integer:
            return a.integerValue() == b.integerValue();
        case TypedStreamValue::Kind::Real:
            return a.realValue() == b.realValue() ||
                   (std::isnan(a.realValue()) && std::isnan(b.realValue()));
        case TypedStreamValue::Kind::CString:
        case TypedStreamValue::Kind::String:
        case TypedStreamValue::Kind::Bytes:
            return a.data() == b.data();
        case TypedStreamValue::Kind::Class:
            return a.classes() == b.classes();
        case TypedStreamValue::Kind::Object:
            return sameObject(*a.object(), *b.object());
        case TypedStreamValue::Kind::Compound:
            return sameValues(a.elements(), b.elements());
        }
        return false;
    }

    bool sameGroups(const TypedStreamGroups& a, const TypedStreamGroups& b)
    {
        if (a.size() != b.size())
            return false;
        for (size_t i = 0; i < a.size(); ++i) {
            if (a[i].encoding != b[i].encoding || !sameValues(a[i].values, b[i].values))
                return false;
        }
        return true;
    }

private:
    bool sameValues(const std::vector<TypedStreamValue>& a, const std::vector<TypedStreamValue>& b)
    {
        if (a.size() != b.size())
            return false;
        for (size_t i = 0; i < a.size(); ++i) {
            if (!same(a[i], b[i]))
                return false;
        }
        return true;
    }

    bool sameObject(const TypedStreamObject& a, const TypedStreamObject& b)
    {
        if (&a == &b || !m_seen.insert({&a, &b}).second)
            return true;
        return a.classes == b.classes && sameGroups(a.groups, b.groups);
    }

    std::set<std::pair<const TypedStreamObject*, const TypedStreamObject*>> m_seen;
};

} // namespace

bool TypedStreamGroup::operator==(const TypedStreamGroup& other) const
{
    GraphComparer comparer;
    return encoding == other.encoding && comparer.same(TypedStreamValue::compound(values),
                                                       TypedStreamValue::compound(other.values));
}

TypedStreamValue TypedStreamValue::integer(qint64 value)
{
    TypedStreamValue v;
    v.m_kind = Kind::Integer;
    v.m_integer = value;
    return v;
}

TypedStreamValue TypedStreamValue::real(double value)
{
    TypedStreamValue v;
    v.m_kind = Kind::Real;
    v.m_real = value;
    return v;
}

TypedStreamValue TypedStreamValue::cString(QByteArray text)
{
    TypedStreamValue v;
    v.m_kind = Kind::CString;
    v.m_data = std::move(text);
    return v;
}

TypedStreamValue TypedStreamValue::string(QByteArray text)
{
    TypedStreamValue v;
    v.m_kind = Kind::String;
    v.m_data = std::move(text);
    return v;
}

TypedStreamValue TypedStreamValue::bytes(QByteArray data)
{
    TypedStreamValue v;
    v.m_kind = Kind::Bytes;
    v.m_data = std::move(data);
    return v;
}

TypedStreamValue TypedStreamValue::classChain(QList<TypedStreamClass> chain)
{
    TypedStreamValue v;
    if (chain.isEmpty())
        return v;
    v.m_kind = Kind::Class;
    v.m_classes = std::move(chain);
    return v;
}

TypedStreamValue TypedStreamValue::object(std::shared_ptr<TypedStreamObject> object)
{
    TypedStreamValue v;
    if (!object)
        return v;
    v.m_kind = Kind::Object;
    v.m_object = std::move(object);
    return v;
}

TypedStreamValue TypedStreamValue::compound(std::vector<TypedStreamValue> elements)
{
    TypedStreamValue v;
    v.m_kind = Kind::Compound;
    v.m_elements = std::move(elements);
    return v;
}

std::optional<double> TypedStreamValue::numberValue() const
{
    if (m_kind == Kind::Integer)
        return double(m_integer);
    if (m_kind == Kind::Real)
        return m_real;
    return std::nullopt;
}

bool TypedStreamValue::operator==(const TypedStreamValue& other) const
{
    GraphComparer comparer;
    return comparer.same(*this, other);
}

TypedStreamObject::TypedStreamObject(QList<TypedStreamClass> classes, TypedStreamGroups groups)
    : classes(std::move(classes)), groups(std::move(groups))
{
}

QByteArray TypedStreamObject::className() const
{
    return classes.isEmpty() ? QByteArray() : classes.first().name;
}

bool TypedStreamObject::isKindOf(QByteArrayView name) const
{
    for (const TypedStreamClass& level : classes) {
        if (level.name == name)
            return true;
    }
    return false;
}

const TypedStreamValue* TypedStreamObject::singleValue(qsizetype index,
                                                       QByteArrayView encoding) const
{
    if (index < 0 || size_t(index) >= groups.size())
        return nullptr;
    const TypedStreamGroup& group = groups[size_t(index)];
    if (group.encoding != encoding || group.values.size() != 1)
        return nullptr;
    return &group.values.front();
}

std::shared_ptr<TypedStreamObject> TypedStreamObject::makeString(const QString& text)
{
    TypedStreamGroup contents{"+", {TypedStreamValue::bytes(text.toUtf8())}};
    return std::make_shared<TypedStreamObject>(
        QList<TypedStreamClass>{{"NSString", 1}, {"NSObject", 0}},
        TypedStreamGroups{std::move(contents)});
}

std::optional<QString> TypedStreamObject::stringValue(const TypedStreamValue& value)
{
    const TypedStreamObject* object = value.object().get();
    if (!object || !object->isKindOf("NSString"))
        return std::nullopt;
    const TypedStreamValue* text = object->singleValue(0, "+");
    if (!text || text->kind() != TypedStreamValue::Kind::Bytes)
        return std::nullopt;
    return QString::fromUtf8(text->data());
}

std::shared_ptr<TypedStreamObject> typedStreamRootObject(const TypedStreamGroups& groups)
{
    if (groups.size() != 1 || groups.front().encoding != "@" || groups.front().values.size() != 1)
        return nullptr;
    return groups.front().values.front().object();
}
