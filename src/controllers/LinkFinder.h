#pragma once

#include <QString>

// Finds the first link-like text (web, mail, record and other addresses) in a range
// of a string, as the text area and the field cells mark and follow them.
class LinkFinder {
public:
    struct Range {
        qsizetype location = 0;
        qsizetype length = 0;
        bool operator==(const Range&) const = default;
    };
    struct Found {
        Range range;
        bool needHttp = false;
        bool needMailto = false;
    };

    static Found urlRangeInString(const QString& string, Range range);
    static bool isURLCharacter(QChar character);
};
