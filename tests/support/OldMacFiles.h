#pragma once

// Old Macintosh files built byte by byte for tests: a resource fork with resources of
// given types, the field-name resource of the oldest datafiles, and the containers that
// carry a resource fork off its disk (AppleDouble, AppleSingle, MacBinary).
#include "ForkContainers.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QtEndian>

#include <utility>

namespace old_mac_files {

inline void appendU16(QByteArray& bytes, quint16 value)
{
    bytes.append(char(value >> 8)).append(char(value & 0xFF));
}

inline void appendU32(QByteArray& bytes, quint32 value)
{
    appendU16(bytes, quint16(value >> 16));
    appendU16(bytes, quint16(value & 0xFFFF));
}

// A resource fork holding the resources, each (four-character type, data), the types
// in their first order of appearance.
inline QByteArray resourceFork(const QList<std::pair<QByteArray, QByteArray>>& resources)
{
    QList<QByteArray> types;
    for (const auto& [type, data] : resources)
        if (!types.contains(type))
            types.append(type);
    QByteArray data;
    QList<quint32> offsets;
    for (const auto& resource : resources) {
        offsets.append(quint32(data.size()));
        appendU32(data, quint32(resource.second.size()));
        data.append(resource.second);
    }
    QByteArray typeList;
    appendU16(typeList, quint16(types.size() - 1));
    QByteArray references;
    const qsizetype referencesStart = 2 + types.size() * 8;
    for (const QByteArray& type : types) {
        QList<qsizetype> ofType;
        for (qsizetype r = 0; r < resources.size(); ++r)
            if (resources[r].first == type)
                ofType.append(r);
        typeList.append(type);
        appendU16(typeList, quint16(ofType.size() - 1));
        appendU16(typeList, quint16(referencesStart + references.size()));
        for (qsizetype r : ofType) {
            appendU16(references, quint16(128 + r)); // identifier
            appendU16(references, 0xFFFF);           // no name
            references.append('\0');                 // attributes
            references.append(char(offsets[r] >> 16))
                .append(char(offsets[r] >> 8 & 0xFF))
                .append(char(offsets[r] & 0xFF));
            appendU32(references, 0);
        }
    }
    QByteArray map(16 + 4 + 2 + 2, '\0');
    appendU16(map, 28);
    appendU16(map, quint16(28 + typeList.size() + references.size()));
    map.append(typeList).append(references);
    QByteArray fork;
    const quint32 dataStart = 256;
    appendU32(fork, dataStart);
    appendU32(fork, dataStart + quint32(data.size()));
    appendU32(fork, quint32(data.size()));
    appendU32(fork, quint32(map.size()));
    fork.append(QByteArray(dataStart - 16, '\0')).append(data).append(map);
    return fork;
}

// The field-name resource: the count N as given, then the names as Pascal strings.
inline QByteArray fieldNamesResource(quint16 count, const QList<QByteArray>& names)
{
    QByteArray resource;
    appendU16(resource, count);
    for (const QByteArray& name : names)
        resource.append(char(name.size())).append(name);
    return resource;
}

inline QByteArray norva1ResourceFork(quint16 count, const QList<QByteArray>& names)
{
    return resourceFork({{"Pfld", fieldNamesResource(count, names)}});
}

// AppleSingle (with the data fork) or AppleDouble (without).
inline QByteArray appleContainer(quint32 magic, const std::optional<QByteArray>& dataFork,
                                 const QByteArray& resourceFork)
{
    QList<std::pair<quint32, QByteArray>> entries;
    // A Finder-information entry first, as the system writes it.
    entries.append({9, QByteArray(32, '\0')});
    if (dataFork)
        entries.append({1, *dataFork});
    entries.append({2, resourceFork});
    QByteArray bytes;
    appendU32(bytes, magic);
    appendU32(bytes, 0x00020000);
    bytes.append(QByteArray(16, '\0'));
    appendU16(bytes, quint16(entries.size()));
    quint32 offset = quint32(bytes.size() + entries.size() * 12);
    for (const auto& [identifier, data] : entries) {
        appendU32(bytes, identifier);
        appendU32(bytes, offset);
        appendU32(bytes, quint32(data.size()));
        offset += quint32(data.size());
    }
    for (const auto& entry : entries)
        bytes.append(entry.second);
    return bytes;
}

inline QByteArray appleDouble(const QByteArray& resourceFork)
{
    return appleContainer(ForkContainers::AppleDoubleMagic, std::nullopt, resourceFork);
}

inline QByteArray appleSingle(const QByteArray& dataFork, const QByteArray& resourceFork)
{
    return appleContainer(ForkContainers::AppleSingleMagic, dataFork, resourceFork);
}

// MacBinary II: the header with its CRC, then each fork padded to 128 bytes.
inline QByteArray macBinary(const QByteArray& name, const QByteArray& dataFork,
                            const QByteArray& resourceFork)
{
    QByteArray header(128, '\0');
    header[1] = char(name.size());
    header.replace(2, name.size(), name);
    header.replace(65, 8, "TEXTNrva");
    qToBigEndian<quint32>(quint32(dataFork.size()), header.data() + 83);
    qToBigEndian<quint32>(quint32(resourceFork.size()), header.data() + 87);
    header[122] = char(129);
    header[123] = char(129);
    qToBigEndian<quint16>(ForkContainers::macBinaryCrc(header.first(124)), header.data() + 124);
    const auto padded = [](QByteArray fork) {
        fork.append(QByteArray((128 - fork.size() % 128) % 128, '\0'));
        return fork;
    };
    return header + padded(dataFork) + padded(resourceFork);
}

} // namespace old_mac_files
