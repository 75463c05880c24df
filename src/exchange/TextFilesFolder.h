#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The text and rich-text files of one folder, as records' texts: hidden entries and what
// lies in subfolders left out, an RTFD folder one file, in case-insensitive name order.
namespace TextFilesFolder {

struct TextFile {
    // The name without its extension.
    QString name;
    QString text;
    // Rich text's RTFD; empty for plain text.
    QByteArray rtfd;
};

// Plain text by "text", "txt", "TEXT" or "TXT", rich by "rtf" or "rtfd"; a file that
// cannot be read, or whose rich text is empty, is left out. A folder that cannot be
// listed has none.
QList<TextFile> read(const QString& folderPath);

} // namespace TextFilesFolder
