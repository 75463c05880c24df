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
    // The first literal match at or after `from`, the last one that ends by `end` (the
    // text's end for -1). Ignoring case folds each code point by simple case folding, so
    // a match has the pattern's length in the text.
    static std::optional<TextRange> rangeOfLiteral(QStringView text, QStringView pattern,
                                                   Qt::CaseSensitivity sensitivity,
                                                   qsizetype from = 0);
    static std::optional<TextRange> lastRangeOfLiteral(QStringView text, QStringView pattern,
                                                       Qt::CaseSensitivity sensitivity,
                                                       qsizetype end = -1);
    // The first literal match at or after `from` that is a whole word: the code points on
    // either side of it, where there are any, are neither letters, marks nor digits.
    static std::optional<TextRange> rangeOfLiteralWord(QStringView text, QStringView pattern,
                                                       Qt::CaseSensitivity sensitivity,
                                                       qsizetype from = 0);
    static bool isWordCharacter(char32_t c);
};
