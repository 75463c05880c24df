#pragma once

#include "PlistError.h"

#include <QByteArrayView>

#include <functional>

// Reads XML property lists in one pass over the bytes, as leniently as the
// platform's own reader: raw control characters in strings, empty-element forms,
// comments, CDATA and character references are accepted. The records and the catalog
// of a large datafile are parsed on all cores; the value and any error, with its
// position, are the same as on one.
class PlistXmlReader {
public:
    // The dictionaries inside one dictionary of the top one, handed over each as soon as
    // it is parsed, on the thread that parsed it, instead of being kept: a datafile's
    // records are made from them while the rest is read. Each stands in the value read as
    // the UID `take` gives for it; XML has no UIDs, so nothing else reads as one.
    struct Handover {
        QString key; // of the dictionary in the top one
        std::function<PlistUid(const QString& key, PlistDictionary&& value)> take;
    };

    static PlistReadResult read(QByteArrayView bytes, const Handover* handover = nullptr);
    static PlistReadResult readOnOneCore(QByteArrayView bytes, const Handover* handover = nullptr);
    // The large containers split in pieces of about this many bytes, whatever the size
    // of the whole: what lets a test split a small file.
    static PlistReadResult readInPieces(QByteArrayView bytes, qsizetype pieceSize,
                                        const Handover* handover = nullptr);
    // The same over memory the caller gives up, mapped by itself in whole pages: pages
    // already parsed are given back to the system as the parser moves on, so memory
    // holds the values only. What they held reads as zeros afterwards.
    static PlistReadResult readReleasingPages(QByteArrayView bytes,
                                              const Handover* handover = nullptr);
};
