#include "ResourceFork.h"

#include <QtEndian>

#include <algorithm>

namespace {

// Reads big-endian numbers within the bytes; a read that does not fit answers nothing.
class BigEndianBytes {
public:
    explicit BigEndianBytes(QByteArrayView bytes) : m_bytes(bytes) {}

    std::optional<quint32> u32(qint64 offset) const
    {
        if (!fits(offset, 4))
            return std::nullopt;
        return qFromBigEndian<quint32>(m_bytes.data() + offset);
    }
    std::optional<quint16> u16(qint64 offset) const
    {
        if (!fits(offset, 2))
            return std::nullopt;
        return qFromBigEndian<quint16>(m_bytes.data() + offset);
    }
    std::optional<quint32> u24(qint64 offset) const
    {
        if (!fits(offset, 3))
            return std::nullopt;
        const auto* data = reinterpret_cast<const uchar*>(m_bytes.data() + offset);
        return quint32(data[0]) << 16 | quint32(data[1]) << 8 | quint32(data[2]);
    }
    bool fits(qint64 offset, qint64 length) const
    {
        return offset >= 0 && length >= 0 && offset <= m_bytes.size() &&
               length <= m_bytes.size() - offset;
    }

private:
    QByteArrayView m_bytes;
};

constexpr qint64 HeaderLength = 16;
// The map's copy of the header, the next map's handle, the file reference and the
// attributes come before its two offsets.
constexpr qint64 MapTypeListOffset = 24;
constexpr qint64 TypeEntryLength = 8;
constexpr qint64 ReferenceLength = 12;

} // namespace

std::optional<ResourceFork> ResourceFork::read(QByteArrayView bytes)
{
    const BigEndianBytes fork(bytes);
    const std::optional<quint32> dataStart = fork.u32(0);
    const std::optional<quint32> mapStart = fork.u32(4);
    const std::optional<quint32> dataLength = fork.u32(8);
    const std::optional<quint32> mapLength = fork.u32(12);
    if (!dataStart || !mapStart || !dataLength || !mapLength)
        return std::nullopt;
    if (!fork.fits(*dataStart, *dataLength) || !fork.fits(*mapStart, *mapLength) ||
        *mapLength < MapTypeListOffset + 4 || *dataStart < HeaderLength)
        return std::nullopt;
    const BigEndianBytes map(bytes.sliced(*mapStart, *mapLength));
    const std::optional<quint16> typeListOffset = map.u16(MapTypeListOffset);
    if (!typeListOffset)
        return std::nullopt;
    const qint64 typeList = *typeListOffset;
    const std::optional<quint16> typeCountLessOne = map.u16(typeList);
    if (!typeCountLessOne)
        return std::nullopt;
    ResourceFork result;
    // An empty map stores its count less one as 0xFFFF.
    const qint64 typeCount = (*typeCountLessOne + 1) & 0xFFFF;
    for (qint64 t = 0; t < typeCount; ++t) {
        const qint64 entry = typeList + 2 + t * TypeEntryLength;
        const std::optional<quint32> type = map.u32(entry);
        const std::optional<quint16> countLessOne = map.u16(entry + 4);
        const std::optional<quint16> referencesOffset = map.u16(entry + 6);
        if (!type || !countLessOne || !referencesOffset)
            return std::nullopt;
        const qint64 count = qint64(*countLessOne) + 1;
        // Lists may overlap in a damaged map: no more references than the map can hold.
        if (!map.fits(typeList + *referencesOffset, count * ReferenceLength) ||
            result.m_references.size() + count > *mapLength / ReferenceLength)
            return std::nullopt;
        for (qint64 r = 0; r < count; ++r) {
            const qint64 reference = typeList + *referencesOffset + r * ReferenceLength;
            // After the identifier, the name's offset and the attributes.
            const std::optional<quint32> dataOffset = map.u24(reference + 5);
            if (!dataOffset)
                return std::nullopt;
            result.m_references.append({*type, *dataOffset});
        }
    }
    result.m_bytes = bytes.toByteArray();
    result.m_dataStart = *dataStart;
    result.m_dataLength = *dataLength;
    return result;
}

std::optional<QByteArray> ResourceFork::get1IndResource(quint32 type, int index) const
{
    if (index < 1)
        return std::nullopt;
    int seen = 0;
    for (const Reference& reference : m_references) {
        if (reference.type != type || ++seen != index)
            continue;
        const BigEndianBytes data(QByteArrayView(m_bytes).sliced(m_dataStart, m_dataLength));
        const std::optional<quint32> length = data.u32(reference.dataOffset);
        if (!length || !data.fits(qint64(reference.dataOffset) + 4, *length))
            return std::nullopt;
        return m_bytes.mid(qsizetype(m_dataStart) + reference.dataOffset + 4, *length);
    }
    return std::nullopt;
}

int ResourceFork::count1Resources(quint32 type) const
{
    return int(std::count_if(m_references.cbegin(), m_references.cend(),
                             [type](const Reference& reference) { return reference.type == type; }));
}
