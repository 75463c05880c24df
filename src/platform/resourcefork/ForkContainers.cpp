#include "ForkContainers.h"

#include <QtEndian>

#include <algorithm>

namespace {

quint32 u32At(QByteArrayView bytes, qsizetype offset)
{
    return qFromBigEndian<quint32>(bytes.data() + offset);
}

quint16 u16At(QByteArrayView bytes, qsizetype offset)
{
    return qFromBigEndian<quint16>(bytes.data() + offset);
}

bool fits(QByteArrayView bytes, quint64 offset, quint64 length)
{
    return offset <= quint64(bytes.size()) && length <= quint64(bytes.size()) - offset;
}

constexpr qsizetype AppleSingleHeaderLength = 26;
constexpr qsizetype AppleSingleEntryLength = 12;
constexpr quint32 DataForkEntry = 1;
constexpr quint32 ResourceForkEntry = 2;

constexpr qsizetype MacBinaryHeaderLength = 128;

} // namespace

std::optional<MacFileForks> ForkContainers::readAppleSingleOrDouble(QByteArrayView bytes)
{
    if (bytes.size() < AppleSingleHeaderLength)
        return std::nullopt;
    const quint32 magic = u32At(bytes, 0);
    if (magic != AppleSingleMagic && magic != AppleDoubleMagic)
        return std::nullopt;
    const quint16 count = u16At(bytes, 24);
    if (!fits(bytes, AppleSingleHeaderLength, quint64(count) * AppleSingleEntryLength))
        return std::nullopt;
    MacFileForks forks;
    for (quint16 entry = 0; entry < count; ++entry) {
        const qsizetype at = AppleSingleHeaderLength + entry * AppleSingleEntryLength;
        const quint32 identifier = u32At(bytes, at);
        const quint32 offset = u32At(bytes, at + 4);
        const quint32 length = u32At(bytes, at + 8);
        if (identifier != DataForkEntry && identifier != ResourceForkEntry)
            continue;
        if (!fits(bytes, offset, length))
            return std::nullopt;
        // Companions of files without a resource fork carry an empty one.
        if (identifier == ResourceForkEntry && length == 0)
            continue;
        QByteArray fork = bytes.sliced(offset, length).toByteArray();
        (identifier == DataForkEntry ? forks.dataFork : forks.resourceFork) = std::move(fork);
    }
    return forks;
}

quint16 ForkContainers::macBinaryCrc(QByteArrayView bytes)
{
    // CRC-16 of the CCITT polynomial from zero, as MacBinary II defines it.
    quint16 crc = 0;
    for (const char byte : bytes) {
        crc ^= quint16(quint8(byte)) << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

std::optional<MacFileForks> ForkContainers::readMacBinary(QByteArrayView bytes)
{
    if (bytes.size() < MacBinaryHeaderLength)
        return std::nullopt;
    const auto byteAt = [&](qsizetype offset) { return quint8(bytes[offset]); };
    const quint8 nameLength = byteAt(1);
    if (byteAt(0) != 0 || byteAt(74) != 0 || nameLength < 1 || nameLength > 63)
        return std::nullopt;
    // Version II and later check their header; the first version, without a check, is
    // taken only when everything after its fields is blank.
    const bool checked = u16At(bytes, 124) == macBinaryCrc(bytes.first(124));
    const bool macBinary3 = bytes.sliced(102, 4) == QByteArrayView("mBIN");
    bool blankTail = byteAt(82) == 0;
    for (qsizetype offset = 99; offset < MacBinaryHeaderLength && blankTail; ++offset)
        blankTail = byteAt(offset) == 0;
    if (!checked && !macBinary3 && !blankTail)
        return std::nullopt;
    const quint32 dataLength = u32At(bytes, 83);
    const quint32 resourceLength = u32At(bytes, 87);
    const quint16 secondaryHeaderLength = (checked || macBinary3) ? u16At(bytes, 120) : 0;
    const auto padded = [](quint64 length) { return (length + 127) / 128 * 128; };
    const quint64 dataStart = MacBinaryHeaderLength + padded(secondaryHeaderLength);
    const quint64 resourceStart = dataStart + padded(dataLength);
    if (!fits(bytes, dataStart, dataLength) || !fits(bytes, resourceStart, resourceLength))
        return std::nullopt;
    MacFileForks forks;
    forks.dataFork = bytes.sliced(qsizetype(dataStart), dataLength).toByteArray();
    if (resourceLength > 0)
        forks.resourceFork = bytes.sliced(qsizetype(resourceStart), resourceLength).toByteArray();
    return forks;
}

bool ForkContainers::isUnreadableArchive(QByteArrayView bytes)
{
    const QByteArrayView head = bytes.first(std::min<qsizetype>(bytes.size(), 256));
    return head.contains(QByteArrayView("(This file must be converted with BinHex")) ||
           head.startsWith(QByteArrayView("SIT!")) ||
           head.startsWith(QByteArrayView("StuffIt (c)1997-"));
}
