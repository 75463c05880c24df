#pragma once

#include "DocumentAttributes.h"
#include "RtfdFile.h"

#include <QList>
#include <QString>
#include <QTextDocument>

#include <memory>
#include <optional>

// A rich text read from RTF or RTFD: the document, or an error saying why it could not
// be read. A failed read never carries a document.
struct RichTextResult {
    std::unique_ptr<QTextDocument> document;
    DocumentAttributes attributes;
    // Attachments that are not images; the document refers to them by name and keeps
    // their bytes, so that they are written back.
    QList<RtfdFile> attachments;
    std::optional<QString> error;

    bool ok() const { return !error.has_value(); }
};
