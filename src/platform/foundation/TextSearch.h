#pragma once

#include <QString>

#include <optional>

// Where a match lies in the searched text, in UTF-16 code units.
struct TextRange {
    qsizetype position = 0;
    qsizetype length = 0;

    bool operator==(const TextRange&) const = default;
};

// The text search that record selection runs over every field of every record.
//
// The non-literal search treats canonically equivalent text as equal (a precomposed
// letter matches its decomposed form), folds case (simple case folding) unless asked
// to be case-sensitive, and keeps diacritics significant. A match starts and ends on
// the boundaries of the text's combining sequences, so "e" is not found inside "é".
// The literal search compares UTF-16 code units. An empty pattern is never found.
class TextSearch {
public:
    static std::optional<TextRange> rangeOfString(QStringView text, QStringView pattern,
                                                  Qt::CaseSensitivity sensitivity);
    static bool contains(QStringView text, QStringView pattern, Qt::CaseSensitivity sensitivity);
    // The whole text is one match of the pattern.
    static bool equals(QStringView text, QStringView pattern, Qt::CaseSensitivity sensitivity);
    // The first match starts the text.
    static bool beginsWith(QStringView text, QStringView pattern, Qt::CaseSensitivity sensitivity);

    static bool containsLiteral(QStringView text, QStringView pattern,
                                Qt::CaseSensitivity sensitivity);
};
