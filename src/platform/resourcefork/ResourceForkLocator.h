#pragma once

#include "ForkContainers.h"

#include <QString>

// Where an old Macintosh file's resource fork went once the file left its own disk:
// an AppleDouble "._name" beside it, the same in the "__MACOSX" folder of an unpacked
// zip archive, ".AppleDouble/name" of a file server, "name/rsrc" on a mounted Macintosh
// volume, or the file itself when it is an AppleSingle or MacBinary file, whose data
// fork then comes from inside it too.
class ResourceForkLocator {
public:
    enum class Status {
        Read,
        Unreadable,        // no file to read, or a folder
        UnreadableArchive, // BinHex or StuffIt
    };
    struct Result {
        Status status = Status::Unreadable;
        QByteArray dataFork;
        // Nothing when no fork was found.
        std::optional<QByteArray> resourceFork;
    };

    static Result locate(const QString& path);

    // The places a companion resource fork may lie, in the order they are tried.
    static QStringList companionPaths(const QString& path);
};
