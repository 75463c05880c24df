#include "TypedStreamWriter.h"

#include "TypedStreamEncoding.h"

#include <QHash>
#include <QSet>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr char tagInteger2 = char(0x81);
constexpr char tagInteger4 = char(0x82);
constexpr char tagFloatingPoint = char(0x83);
constexpr char tagNew = char(0x84);
constexpr char tagNil = char(0x85);
constexpr char tagEndOfObject = char(0x86);
constexpr qint64 firstReference = -110;

struct WriteFailure {};

class StreamComposer {
public:
    QByteArray compose(const TypedStreamGroups& groups)
    {
        m_out.append(char(4));
        m_out.append(char(11));
        m_out.append("streamtyped");
        writeInteger(1000); // the system version every archive of the platform carries
        for (const TypedStreamGroup& group : groups)
            writeGroup(group, 0);
        return m_out;
    }

private:
    [[noreturn]] static void fail() { throw WriteFailure{}; }

    template <typename T> void append(T value)
    {
        char raw[sizeof(T)];
        qToLittleEndian(value, raw);
        m_out.append(raw, sizeof raw);
    }

    void writeInteger(qint64 value)
    {
        if (value >= -110 && value <= 127)
            m_out.append(char(value));
        else if (value >= std::numeric_limits<qint16>::min() &&
                 value <= std::numeric_limits<qint16>::max()) {
            m_out.append(tagInteger2);
            append(qint16(value));
        } else if (value >= std::numeric_limits<qint32>::min() &&
                   value <= std::numeric_limits<qint32>::max()) {
            m_out.append(tagInteger4);
            append(qint32(value));
        } else {
            fail();
        }
    }

    void writeUnsigned(qint64 value)
    {
        if (value < 0)
            fail();
        if (value <= 127)
            m_out.append(char(value));
        else if (value <= std::numeric_limits<quint16>::max()) {
            m_out.append(tagInteger2);
            append(quint16(value));
        } else if (value <= std::numeric_limits<quint32>::max()) {
            m_out.append(tagInteger4);
            append(quint32(value));
        } else {
            fail();
        }
    }

    void writeReference(qint64 index) { writeInteger(index + firstReference); }

    void writeSharedString(const QByteArray& text)
    {
        const auto known = m_strings.constFind(text);
        if (known != m_strings.cend())
            return writeReference(*known);
        m_out.append(tagNew);
        writeUnsigned(text.size());
        m_out.append(text);
        m_strings.insert(text, m_strings.size());
    }

    // Integral values are written as integers, as the archiver does.
    template <typename Float> void writeFloat(double value)
    {
        const Float narrowed = Float(value);
        if (std::isfinite(narrowed) && std::trunc(narrowed) == narrowed &&
            narrowed >= Float(std::numeric_limits<qint32>::min()) &&
            narrowed < Float(2147483648.0)) {
            writeInteger(qint64(narrowed));
            return;
        }
        using Bits = std::conditional_t<sizeof(Float) == 4, quint32, quint64>;
        Bits bits;
        std::memcpy(&bits, &narrowed, sizeof bits);
        m_out.append(tagFloatingPoint);
        append(bits);
    }

    static QByteArray chainKey(const QList<TypedStreamClass>& chain, qsizetype from)
    {
        QByteArray key;
        for (qsizetype i = from; i < chain.size(); ++i) {
            key += chain[i].name;
            key += '\0';
            key += QByteArray::number(chain[i].version);
            key += '\0';
        }
        return key;
    }

    void writeClass(const QList<TypedStreamClass>& chain)
    {
        for (qsizetype i = 0; i < chain.size(); ++i) {
            const QByteArray key = chainKey(chain, i);
            const auto known = m_classes.constFind(key);
            if (known != m_classes.cend())
                return writeReference(*known);
            m_out.append(tagNew);
            writeSharedString(chain[i].name);
            writeInteger(chain[i].version);
            m_classes.insert(key, m_tableSize++);
        }
        m_out.append(tagNil);
    }

    void writeObject(const TypedStreamObject& object, int depth)
    {
        const auto known = m_objects.constFind(&object);
        if (known != m_objects.cend()) {
            if (m_inProgress.contains(&object))
                fail(); // a cycle reads back as an error
            return writeReference(*known);
        }
        if (depth >= TypedStreamEncoding::maximumNesting || object.classes.isEmpty())
            fail();
        m_out.append(tagNew);
        m_objects.insert(&object, m_tableSize++);
        m_inProgress.insert(&object);
        writeClass(object.classes);
        for (const TypedStreamGroup& group : object.groups)
            writeGroup(group, depth + 1);
        m_out.append(tagEndOfObject);
        m_inProgress.remove(&object);
    }

    void writeValue(const TypedStreamType& type, const TypedStreamValue& value, int depth)
    {
        using Kind = TypedStreamValue::Kind;
        const auto require = [&](Kind kind) {
            if (value.kind() != kind)
                fail();
        };
        const auto requireInRange = [&](qint64 low, qint64 high) {
            require(Kind::Integer);
            if (value.integerValue() < low || value.integerValue() > high)
                fail();
        };
        switch (type.code) {
        case 'c':
            requireInRange(-128, 127);
            m_out.append(char(value.integerValue()));
            return;
        case 'C':
        case 'B':
            requireInRange(0, 255);
            m_out.append(char(value.integerValue()));
            return;
        case 's':
        case 'i':
        case 'l':
        case 'q':
            require(Kind::Integer);
            return writeInteger(value.integerValue());
        case 'S':
        case 'I':
        case 'L':
        case 'Q':
            require(Kind::Integer);
            return writeUnsigned(value.integerValue());
        case 'f':
            require(Kind::Real);
            return writeFloat<float>(value.realValue());
        case 'd':
            require(Kind::Real);
            return writeFloat<double>(value.realValue());
        case '*':
            if (value.isNil())
                return void(m_out.append(tagNil));
            require(Kind::CString);
            return writeCString(value.data());
        case ':':
        case '%':
            if (value.isNil())
                return void(m_out.append(tagNil));
            require(Kind::String);
            return writeSharedString(value.data());
        case '+':
            if (value.isNil())
                return void(m_out.append(tagNil));
            require(Kind::Bytes);
            writeUnsigned(value.data().size());
            m_out.append(value.data());
            return;
        case '#':
            if (value.isNil())
                return void(m_out.append(tagNil));
            require(Kind::Class);
            return writeClass(value.classes());
        case '@':
            if (value.isNil())
                return void(m_out.append(tagNil));
            require(Kind::Object);
            return writeObject(*value.object(), depth);
        case '[':
            if (type.isByteArray()) {
                require(Kind::Bytes);
                if (value.data().size() != type.count)
                    fail();
                m_out.append(value.data());
                return;
            }
            [[fallthrough]];
        case '{':
            return writeCompound(type, value, depth);
        }
        fail();
    }

    void writeCString(const QByteArray& text)
    {
        const auto known = m_cStrings.constFind(text);
        if (known != m_cStrings.cend())
            return writeReference(*known);
        m_out.append(tagNew);
        writeSharedString(text);
        m_cStrings.insert(text, m_tableSize++);
    }

    void writeCompound(const TypedStreamType& type, const TypedStreamValue& value, int depth)
    {
        if (value.kind() != TypedStreamValue::Kind::Compound ||
            depth >= TypedStreamEncoding::maximumNesting)
            fail();
        const std::vector<TypedStreamValue>& elements = value.elements();
        const bool isArray = type.code == '[';
        if (qint64(elements.size()) != (isArray ? type.count : qint64(type.members.size())))
            fail();
        for (size_t i = 0; i < elements.size(); ++i)
            writeValue(isArray ? type.members[0] : type.members[i], elements[i], depth + 1);
    }

    void writeGroup(const TypedStreamGroup& group, int depth)
    {
        const std::optional<std::vector<TypedStreamType>> types =
            TypedStreamEncoding::parse(group.encoding);
        if (!types || types->size() != group.values.size())
            fail();
        writeSharedString(group.encoding);
        for (size_t i = 0; i < types->size(); ++i)
            writeValue((*types)[i], group.values[i], depth);
    }

    QByteArray m_out;
    QHash<QByteArray, qint64> m_strings;
    QHash<QByteArray, qint64> m_cStrings;
    QHash<QByteArray, qint64> m_classes;
    QHash<const TypedStreamObject*, qint64> m_objects;
    QSet<const TypedStreamObject*> m_inProgress;
    qint64 m_tableSize = 0;
};

} // namespace

QByteArray TypedStreamWriter::toBytes(const TypedStreamGroups& groups)
{
    try {
        return StreamComposer().compose(groups);
    } catch (const WriteFailure&) {
        return {};
    }
}
