#pragma once

#include "RtfdFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// The flattened RTFD: the platform's serialised form of a folder, as the datafile stores
// a record's rich text. Little-endian throughout: the magic "rtfd", a zero word, then a
// folder record. A record is a type word: 1 for a file (its length, or 0x80000000 then
// length and padding, and its bytes) or 3 for a folder (entry count, each name as length
// and bytes, each entry record's size, then the entry records). The folder's preferred
// name and "." entries describe the folder itself and are not files of it. Subfolders
// are read as "folder/name" paths.
class FlatRtfd {
public:
    struct ReadResult {
        QList<RtfdFile> files;
        std::optional<QString> error;

        bool ok() const { return !error.has_value(); }
    };

    static ReadResult read(QByteArrayView bytes);
    // Files in the order given; a name with "/" puts the file in a subfolder.
    static QByteArray write(const QList<RtfdFile>& files);

    static bool isFlatRtfd(QByteArrayView bytes) { return bytes.startsWith("rtfd"); }
};
