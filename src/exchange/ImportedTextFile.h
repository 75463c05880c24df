#pragma once

#include "RichTextResult.h"

#include <QString>

#include <optional>

// A text or rich-text file as importers read it: its plain text, or its rich text, or why
// it could not be read.
namespace ImportedTextFile {

struct Contents {
    std::optional<QString> plainText;
    RichTextResult rich;
    std::optional<QString> error;
};

// A regular file's text, in whatever encoding it is in.
Contents readPlainText(const QString& path);
// An RTFD folder, or an RTF file.
Contents readRichText(const QString& path);

} // namespace ImportedTextFile
