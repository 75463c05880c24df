#pragma once

#include <QList>
#include <QString>

class QUrl;

// Finds the first link-like text (web, mail, record and other addresses) in a range
// of a string, as the text area and the field cells mark and follow them.
class LinkFinder {
public:
    // Which characters may continue a link: the Freeform Text Area also takes "[" and
    // "]", the field cells do not.
    enum class Characters { Field, FreeformText };

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

    struct Link {
        Range range;
        QString url; // the range's text, with "http://" or "mailto:" put in front as needed
    };

    static Found urlRangeInString(const QString& string, Range range,
                                  Characters characters = Characters::Field);
    static bool isURLCharacter(QChar character, Characters characters = Characters::Field);
    // An address counts only with a "." at least two characters after its "@" and
    // before its last character.
    static bool isCompleteMailAddress(const QString& address);
    // Every link of the string, scanning on from the end of each one found; ranges
    // shorter than three characters and texts that make no valid URL are left out.
    static QList<Link> linksInString(const QString& string,
                                     Characters characters = Characters::Field);
    // Whether a clicked link may go to the system: only web, FTP, mail, telephone and
    // file addresses, the kinds the finder marks. A stored rich text can carry a link
    // of any scheme, and the desktop would start whatever handles that scheme.
    static bool isOpenedBySystem(const QUrl& url);
};
