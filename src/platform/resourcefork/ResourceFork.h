#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

// The resource map of an old Macintosh file's resource fork: which resources of which
// four-character types it holds, and where each one's data lies. Every offset is checked
// against the fork's bytes, so a damaged fork reads as no fork, or a resource as missing,
// and nothing is read past the end.
class ResourceFork {
public:
    static constexpr quint32 fourCharCode(const char (&code)[5])
    {
        return quint32(quint8(code[0])) << 24 | quint32(quint8(code[1])) << 16 |
               quint32(quint8(code[2])) << 8 | quint32(quint8(code[3]));
    }

    // Nothing when the bytes are not a resource fork whose header and map fit them.
    static std::optional<ResourceFork> read(QByteArrayView bytes);

    // The data of the index-th resource of the type (from 1), in the map's order, as the
    // fork's own map lists it; nothing when there is no such resource or its data does
    // not fit the fork.
    std::optional<QByteArray> get1IndResource(quint32 type, int index) const;
    // How many resources of the type the map lists.
    int count1Resources(quint32 type) const;

private:
    struct Reference {
        quint32 type;
        quint32 dataOffset; // from the start of the resource data
    };

    QByteArray m_bytes;
    quint32 m_dataStart = 0;
    quint32 m_dataLength = 0;
    QList<Reference> m_references;
};
