#pragma once

#include "RtfdFile.h"

#include <QList>
#include <QString>

#include <optional>

// An RTFD as it lies on disk: a folder of "TXT.rtf" and its attachments.
namespace RtfdFolder {

// The folder's files by name, or why they could not be read. Only regular files count:
// a pipe would wait for its writer, a device has no end.
struct Files {
    QList<RtfdFile> files;
    std::optional<QString> error;
};

Files read(const QString& folderPath);

} // namespace RtfdFolder
