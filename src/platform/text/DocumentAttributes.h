#pragma once

#include <QByteArray>
#include <QList>

#include <optional>
#include <utility>

// Document-level values of rich text, in the units the RTF writes them (twips for
// lengths). They are kept as read so that rewriting a record's text keeps its page
// and view settings.
struct DocumentAttributes {
    std::optional<int> paperWidth;
    std::optional<int> paperHeight;
    std::optional<int> leftMargin;
    std::optional<int> rightMargin;
    std::optional<int> topMargin;
    std::optional<int> bottomMargin;
    std::optional<int> viewWidth;
    std::optional<int> viewHeight;
    std::optional<int> viewKind;
    std::optional<int> viewScale;
    // Other document-level control words (hyphenation, read-only, default tab ...),
    // in the order read, each with its parameter when it had one.
    QList<std::pair<QByteArray, std::optional<int>>> otherControls;
    // The "info" group (title, author ...), as its RTF bytes.
    QByteArray info;

    bool operator==(const DocumentAttributes&) const = default;
};
