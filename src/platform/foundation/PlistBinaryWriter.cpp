#include "PlistBinaryWriter.h"

#include <QIODevice>

#include <cstring>
#include <vector>

namespace {

// Deeper values are refused: the reader would refuse them, and a container that
// holds itself would otherwise recurse forever.
constexpr int kMaxDepth = 512;
constexpr qint64 kTrailerSize = 32;

int byteSizeFor(quint64 largest)
{
    if (largest <= 0xFF)
        return 1;
    if (largest <= 0xFFFF)
        return 2;
    if (largest <= 0xFFFFFFFF)
        return 4;
    return 8;
}

void putBigEndian(char* out, quint64 value, int size)
{
    for (int i = size - 1; i >= 0; --i) {
        out[i] = char(value & 0xFF);
        value >>= 8;
    }
}

void appendBigEndian(QByteArray& out, quint64 value, int size)
{
    const qsizetype at = out.size();
    out.resize(at + size);
    putBigEndian(out.data() + at, value, size);
}

void appendUnsignedInteger(QByteArray& out, quint64 value)
{
    const int size = byteSizeFor(value);
    out.append(char(0x10 | (size == 1 ? 0 : size == 2 ? 1 : size == 4 ? 2 : 3)));
    appendBigEndian(out, value, size);
}

// A count below 15 fits in the marker; a larger one follows it as an integer object.
void appendMarker(QByteArray& out, uchar kind, quint64 count)
{
    if (count < 15) {
        out.append(char(kind | count));
        return;
    }
    out.append(char(kind | 0x0F));
    appendUnsignedInteger(out, count);
}

void appendDouble(QByteArray& out, uchar marker, double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    out.append(char(marker));
    appendBigEndian(out, bits, 8);
}

void appendString(QByteArray& out, const QString& text)
{
    const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    // No early exit: the plain loop vectorises, and most text is ASCII anyway.
    char16_t all = 0;
    for (qsizetype i = 0; i < n; ++i)
        all |= units[i];
    const bool ascii = all < 0x80;
    appendMarker(out, ascii ? 0x50 : 0x60, quint64(n));
    const qsizetype at = out.size();
    out.resize(at + (ascii ? n : 2 * n));
    char* p = out.data() + at;
    if (ascii) {
        for (qsizetype i = 0; i < n; ++i)
            p[i] = char(units[i]);
    } else {
        for (qsizetype i = 0; i < n; ++i) {
            p[2 * i] = char(units[i] >> 8);
            p[2 * i + 1] = char(units[i] & 0xFF);
        }
    }
}

void appendScalar(QByteArray& out, const PlistValue& value)
{
    switch (value.type()) {
    case PlistValue::Type::Boolean:
        out.append(char(value.integerBits() ? 0x09 : 0x08));
        break;
    case PlistValue::Type::Integer: {
        const qint64 v = value.integerBits();
        if (value.isUnsignedInteger()) {
            // Above the signed range: the 16-byte form, upper half zero.
            out.append(char(0x14));
            appendBigEndian(out, 0, 8);
            appendBigEndian(out, quint64(v), 8);
        } else if (v < 0) {
            out.append(char(0x13));
            appendBigEndian(out, quint64(v), 8);
        } else {
            appendUnsignedInteger(out, quint64(v));
        }
        break;
    }
    case PlistValue::Type::Real:
        appendDouble(out, 0x23, value.realValue());
        break;
    case PlistValue::Type::Date:
        appendDouble(out, 0x33, value.asDate()->secondsSinceReferenceDate);
        break;
    case PlistValue::Type::Data: {
        const QByteArray& data = *value.asData();
        appendMarker(out, 0x40, quint64(data.size()));
        out.append(data);
        break;
    }
    case PlistValue::Type::String:
        appendString(out, *value.asString());
        break;
    case PlistValue::Type::Uid: {
        const quint64 uid = value.asUid()->value;
        const int size = byteSizeFor(uid);
        out.append(char(0x80 | (size - 1)));
        appendBigEndian(out, uid, size);
        break;
    }
    default:
        break;
    }
}

// Scalars are written as they are met, straight into the output; a scalar whose
// bytes were written before is taken back and refers to the earlier object. The
// index is an open-addressed table of spans of the output itself: no copies, and
// no node per entry to chase through memory.
class Encoder {
public:
    QByteArray run(const PlistValue& value);

private:
    struct Slot {
        size_t hash = 0;
        qsizetype length = -1; // -1: empty
        quint64 id = 0;
    };
    struct Container {
        quint64 id;
        uchar kind;
        quint64 count;
        size_t firstRef;
    };

    bool add(const PlistValue& value, int depth, quint64& id);
    quint64 addScalar(const PlistValue& value);
    size_t addContainer(uchar kind, quint64 count, quint64 refCount, quint64& id);
    void growIndex();

    QByteArray m_out;
    std::vector<Slot> m_slots = std::vector<Slot>(64); // a power of two
    size_t m_used = 0;
    std::vector<quint64> m_offsets; // by object id
    std::vector<quint64> m_refs;
    std::vector<Container> m_containers;
};

void Encoder::growIndex()
{
    std::vector<Slot> old(m_slots.size() * 2);
    old.swap(m_slots);
    const size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.length < 0)
            continue;
        size_t i = slot.hash & mask;
        while (m_slots[i].length >= 0)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}

quint64 Encoder::addScalar(const PlistValue& value)
{
    const qsizetype begin = m_out.size();
    appendScalar(m_out, value);
    const qsizetype length = m_out.size() - begin;
    const char* bytes = m_out.constData();
    const size_t hash = qHash(QByteArrayView(bytes + begin, length));
    const size_t mask = m_slots.size() - 1;
    size_t i = hash & mask;
    for (; m_slots[i].length >= 0; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.hash == hash && slot.length == length &&
            std::memcmp(bytes + m_offsets[slot.id], bytes + begin, size_t(length)) == 0) {
            m_out.truncate(begin);
            return slot.id;
        }
    }
    const quint64 id = m_offsets.size();
    m_offsets.push_back(quint64(begin));
    m_slots[i] = Slot{hash, length, id};
    if (++m_used * 2 > m_slots.size())
        growIndex();
    return id;
}

size_t Encoder::addContainer(uchar kind, quint64 count, quint64 refCount, quint64& id)
{
    id = m_offsets.size();
    m_offsets.push_back(0); // set once the containers are written
    const size_t first = m_refs.size();
    m_refs.resize(first + refCount);
    m_containers.push_back({id, kind, count, first});
    return first;
}

// Objects are numbered depth first, a dictionary's keys before its values.
bool Encoder::add(const PlistValue& value, int depth, quint64& id)
{
    switch (value.type()) {
    case PlistValue::Type::Null:
        return false;
    case PlistValue::Type::Array: {
        if (depth >= kMaxDepth)
            return false;
        const PlistArray& array = *value.asArray();
        const quint64 n = quint64(array.size());
        const size_t first = addContainer(0xA0, n, n, id);
        for (quint64 i = 0; i < n; ++i) {
            quint64 child = 0;
            if (!add(array.at(qsizetype(i)), depth + 1, child))
                return false;
            m_refs[first + i] = child;
        }
        return true;
    }
    case PlistValue::Type::Dictionary: {
        if (depth >= kMaxDepth)
            return false;
        const std::vector<const PlistDictionary::Entry*> entries =
            value.asDictionary()->sortedEntries();
        const quint64 n = entries.size();
        const size_t first = addContainer(0xD0, n, 2 * n, id);
        for (quint64 i = 0; i < n; ++i)
            m_refs[first + i] = addScalar(PlistValue(entries[i]->key));
        for (quint64 i = 0; i < n; ++i) {
            quint64 child = 0;
            if (!add(entries[i]->value, depth + 1, child))
                return false;
            m_refs[first + n + i] = child;
        }
        return true;
    }
    default:
        id = addScalar(value);
        return true;
    }
}

QByteArray Encoder::run(const PlistValue& value)
{
    m_out = QByteArrayLiteral("bplist00");
    quint64 top = 0;
    if (!add(value, 0, top))
        return {};
    m_slots = {};

    const quint64 numObjects = m_offsets.size();
    const int refSize = byteSizeFor(numObjects - 1);
    for (const Container& c : m_containers) {
        m_offsets[c.id] = quint64(m_out.size());
        appendMarker(m_out, c.kind, c.count);
        const quint64 refCount = c.kind == 0xD0 ? 2 * c.count : c.count;
        const qsizetype at = m_out.size();
        m_out.resize(at + qsizetype(refCount) * refSize);
        char* p = m_out.data() + at;
        for (quint64 i = 0; i < refCount; ++i)
            putBigEndian(p + i * refSize, m_refs[c.firstRef + i], refSize);
    }

    const quint64 tableOffset = quint64(m_out.size());
    quint64 largestOffset = 0;
    for (quint64 offset : m_offsets)
        largestOffset = std::max(largestOffset, offset);
    const int offsetSize = byteSizeFor(largestOffset);
    m_out.reserve(m_out.size() + qsizetype(numObjects) * offsetSize + kTrailerSize);
    for (quint64 offset : m_offsets)
        appendBigEndian(m_out, offset, offsetSize);

    m_out.append(6, '\0');
    m_out.append(char(offsetSize));
    m_out.append(char(refSize));
    appendBigEndian(m_out, numObjects, 8);
    appendBigEndian(m_out, top, 8);
    appendBigEndian(m_out, tableOffset, 8);
    return std::move(m_out);
}

} // namespace

QByteArray PlistBinaryWriter::toBytes(const PlistValue& value)
{
    return Encoder().run(value);
}

bool PlistBinaryWriter::write(const PlistValue& value, QIODevice& device)
{
    const QByteArray bytes = toBytes(value);
    if (bytes.isEmpty())
        return false;
    qsizetype written = 0;
    while (written < bytes.size()) {
        const qint64 n = device.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            return false;
        written += qsizetype(n);
    }
    return true;
}
