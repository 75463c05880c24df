#include "TypedStreamReader.h"

#include "TypedStreamEncoding.h"

#include <QtEndian>

#include <cstring>

namespace {

// Heads: a byte outside the tag range is an integer in itself.
constexpr qint8 tagInteger2 = -127;
constexpr qint8 tagInteger4 = -126;
constexpr qint8 tagFloatingPoint = -125;
constexpr qint8 tagNew = -124;
constexpr qint8 tagNil = -123;
constexpr qint8 tagEndOfObject = -122;
constexpr qint8 firstTag = -128;
constexpr qint8 lastTag = -111;
constexpr qint64 firstReference = lastTag + 1;

// Longer chains than this are no archive of the classes the files hold; the bound
// keeps chain copies small.
constexpr int maximumClassChain = 64;

struct ReadFailure {
    QString message;
    qint64 offset;
};

class StreamParser {
public:
    explicit StreamParser(QByteArrayView bytes) : m_bytes(bytes) {}

    TypedStreamGroups parse()
    {
        readHeader();
        TypedStreamGroups groups;
        while (m_position < m_bytes.size())
            groups.push_back(readGroup(readHead()));
        return groups;
    }

    qint64 position() const { return m_position; }

private:
    struct TableEntry {
        enum class Kind { CString, Class, Object } kind;
        QByteArray text;
        QList<TypedStreamClass> chain;
        std::shared_ptr<TypedStreamObject> object;
        bool complete = true;
    };

    [[noreturn]] void fail(const QString& message, qint64 offset = -1) const
    {
        throw ReadFailure{message, offset < 0 ? m_position : offset};
    }

    QByteArrayView take(qint64 count)
    {
        if (count < 0 || count > m_bytes.size() - m_position)
            fail(QStringLiteral("%1 bytes needed, %2 left")
                     .arg(count)
                     .arg(m_bytes.size() - m_position));
        const QByteArrayView part = m_bytes.sliced(m_position, count);
        m_position += count;
        return part;
    }

    template <typename T> T takeNumber()
    {
        const QByteArrayView raw = take(sizeof(T));
        return m_bigEndian ? qFromBigEndian<T>(raw.data()) : qFromLittleEndian<T>(raw.data());
    }

    qint8 readHead() { return qint8(take(1)[0]); }

    static bool isTag(qint8 head) { return head >= firstTag && head <= lastTag; }

    qint64 readInteger(qint8 head, bool isSigned)
    {
        if (!isTag(head))
            return isSigned ? qint64(head) : qint64(quint8(head));
        if (head == tagInteger2)
            return isSigned ? qint64(takeNumber<qint16>()) : qint64(takeNumber<quint16>());
        if (head == tagInteger4)
            return isSigned ? qint64(takeNumber<qint32>()) : qint64(takeNumber<quint32>());
        fail(QStringLiteral("tag 0x%1 where a number belongs").arg(quint8(head), 2, 16),
             m_position - 1);
    }

    qint64 readReference(qint8 head, qint64 tableSize)
    {
        const qint64 at = m_position - 1;
        const qint64 index = readInteger(head, true) - firstReference;
        if (index < 0 || index >= tableSize)
            fail(QStringLiteral("reference %1 to nothing read before").arg(index), at);
        return index;
    }

    void readHeader()
    {
        const QByteArrayView start = take(2);
        if (start[0] != 4)
            fail(QStringLiteral("not a typed stream of version 4"), 0);
        const QByteArrayView signature = take(quint8(start[1]));
        if (signature == "streamtyped")
            m_bigEndian = false;
        else if (signature == "typedstream")
            m_bigEndian = true;
        else
            fail(QStringLiteral("no typed stream signature"), 2);
        readInteger(readHead(), false); // the system version, which changes nothing here
    }

    std::optional<QByteArray> readSharedString(qint8 head)
    {
        if (head == tagNil)
            return std::nullopt;
        if (head == tagNew) {
            const qint64 length = readInteger(readHead(), false);
            m_strings.push_back(take(length).toByteArray());
            return m_strings.back();
        }
        return m_strings[size_t(readReference(head, qint64(m_strings.size())))];
    }

    QByteArray readNonNilString(const char* what)
    {
        const qint64 at = m_position;
        std::optional<QByteArray> text = readSharedString(readHead());
        if (!text)
            fail(QStringLiteral("%1 is nil").arg(QLatin1String(what)), at);
        return *text;
    }

    const TableEntry& entry(qint8 head, TableEntry::Kind kind, const char* what)
    {
        const qint64 at = m_position - 1;
        const TableEntry& found = m_table[size_t(readReference(head, qint64(m_table.size())))];
        if (found.kind != kind)
            fail(QStringLiteral("reference to something other than %1").arg(QLatin1String(what)),
                 at);
        return found;
    }

    TypedStreamValue readCString(qint8 head)
    {
        if (head == tagNil)
            return {};
        if (head == tagNew) {
            QByteArray text = readNonNilString("a C string");
            m_table.push_back({TableEntry::Kind::CString, text, {}, nullptr});
            return TypedStreamValue::cString(std::move(text));
        }
        return TypedStreamValue::cString(entry(head, TableEntry::Kind::CString, "a C string").text);
    }

    // The chain from this class to its root; empty for nil.
    QList<TypedStreamClass> readClass(qint8 head)
    {
        QList<TypedStreamClass> chain;
        std::vector<size_t> entries;
        while (head == tagNew) {
            if (chain.size() >= maximumClassChain)
                fail(QStringLiteral("class chain too long"));
            QByteArray name = readNonNilString("a class name");
            const qint64 version = readInteger(readHead(), true);
            chain.append({std::move(name), version});
            entries.push_back(m_table.size());
            m_table.push_back({TableEntry::Kind::Class, {}, {}, nullptr});
            head = readHead();
        }
        if (head != tagNil) {
            chain += entry(head, TableEntry::Kind::Class, "a class").chain;
            if (chain.size() > maximumClassChain)
                fail(QStringLiteral("class chain too long"));
        }
        for (size_t i = 0; i < entries.size(); ++i)
            m_table[entries[i]].chain = chain.mid(qsizetype(i));
        return chain;
    }

    TypedStreamValue readObject(qint8 head, int depth)
    {
        if (head == tagNil)
            return {};
        if (head != tagNew) {
            const qint64 at = m_position - 1;
            const TableEntry& found = entry(head, TableEntry::Kind::Object, "an object");
            if (!found.complete)
                fail(QStringLiteral("object refers to itself while it is read"), at);
            return TypedStreamValue::object(found.object);
        }
        if (depth >= TypedStreamEncoding::maximumNesting)
            fail(QStringLiteral("objects nested too deeply"));
        // The object's number comes before its classes', as the archiver counts.
        const size_t index = m_table.size();
        m_table.push_back({TableEntry::Kind::Object, {}, {}, nullptr, false});
        const qint64 classAt = m_position;
        QList<TypedStreamClass> chain = readClass(readHead());
        if (chain.isEmpty())
            fail(QStringLiteral("object without a class"), classAt);
        auto object = std::make_shared<TypedStreamObject>(std::move(chain), TypedStreamGroups());
        m_table[index].object = object;
        for (qint8 next = readHead(); next != tagEndOfObject; next = readHead())
            object->groups.push_back(readGroup(next, depth + 1));
        m_table[index].complete = true;
        return TypedStreamValue::object(std::move(object));
    }

    template <typename Float> double readFloat(qint8 head)
    {
        // An integral value stands in for the float it was; it lands in one.
        if (head != tagFloatingPoint)
            return double(Float(readInteger(head, true)));
        using Bits = std::conditional_t<sizeof(Float) == 4, quint32, quint64>;
        const Bits bits = takeNumber<Bits>();
        Float value;
        std::memcpy(&value, &bits, sizeof value);
        return double(value);
    }

    TypedStreamValue readValue(const TypedStreamType& type, int depth)
    {
        switch (type.code) {
        case 'c':
            return TypedStreamValue::integer(qint8(take(1)[0]));
        case 'C':
        case 'B':
            return TypedStreamValue::integer(quint8(take(1)[0]));
        case 's':
        case 'i':
        case 'l':
        case 'q':
            return TypedStreamValue::integer(readInteger(readHead(), true));
        case 'S':
        case 'I':
        case 'L':
        case 'Q':
            return TypedStreamValue::integer(readInteger(readHead(), false));
        case 'f':
            return TypedStreamValue::real(readFloat<float>(readHead()));
        case 'd':
            return TypedStreamValue::real(readFloat<double>(readHead()));
        case '*':
            return readCString(readHead());
        case ':':
        case '%': {
            std::optional<QByteArray> text = readSharedString(readHead());
            return text ? TypedStreamValue::string(std::move(*text)) : TypedStreamValue();
        }
        case '+': {
            const qint8 head = readHead();
            if (head == tagNil)
                return {};
            return TypedStreamValue::bytes(take(readInteger(head, false)).toByteArray());
        }
        case '#':
            return TypedStreamValue::classChain(readClass(readHead()));
        case '@':
            return readObject(readHead(), depth);
        case '[':
            if (type.isByteArray())
                return TypedStreamValue::bytes(take(type.count).toByteArray());
            [[fallthrough]];
        case '{':
            return readCompound(type, depth);
        }
        fail(QStringLiteral("unknown type '%1'").arg(QLatin1Char(type.code)));
    }

    TypedStreamValue readCompound(const TypedStreamType& type, int depth)
    {
        if (depth >= TypedStreamEncoding::maximumNesting)
            fail(QStringLiteral("values nested too deeply"));
        if (type.minimumSize > m_bytes.size() - m_position)
            fail(QStringLiteral("%1 needs more bytes than are left")
                     .arg(type.code == '[' ? QStringLiteral("array") : QStringLiteral("struct")));
        std::vector<TypedStreamValue> elements;
        if (type.code == '[') {
            elements.reserve(size_t(type.count));
            for (qint64 i = 0; i < type.count; ++i)
                elements.push_back(readValue(type.members[0], depth + 1));
        } else {
            for (const TypedStreamType& field : type.members)
                elements.push_back(readValue(field, depth + 1));
        }
        return TypedStreamValue::compound(std::move(elements));
    }

    TypedStreamGroup readGroup(qint8 head, int depth = 0)
    {
        const qint64 at = m_position - 1;
        std::optional<QByteArray> encoding = readSharedString(head);
        if (!encoding)
            fail(QStringLiteral("type encoding is nil"), at);
        QString problem;
        const std::optional<std::vector<TypedStreamType>> types =
            TypedStreamEncoding::parse(*encoding, &problem);
        if (!types)
            fail(problem, at);
        TypedStreamGroup group{*encoding, {}};
        group.values.reserve(types->size());
        for (const TypedStreamType& type : *types)
            group.values.push_back(readValue(type, depth));
        return group;
    }

    QByteArrayView m_bytes;
    qint64 m_position = 0;
    bool m_bigEndian = false;
    std::vector<QByteArray> m_strings;
    std::vector<TableEntry> m_table;
};

} // namespace

QString TypedStreamError::toString() const
{
    return byteOffset < 0 ? message
                          : QStringLiteral("%1 (at byte %2)").arg(message).arg(byteOffset);
}

TypedStreamReadResult TypedStreamReader::read(QByteArrayView bytes)
{
    StreamParser parser(bytes);
    try {
        return {parser.parse(), std::nullopt};
    } catch (const ReadFailure& failure) {
        return {{}, TypedStreamError{failure.message, failure.offset}};
    }
}
