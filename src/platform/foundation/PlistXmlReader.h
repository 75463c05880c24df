#pragma once

#include "PlistError.h"

#include <QByteArrayView>

// Reads XML property lists in one pass over the bytes, as leniently as the
// platform's own reader: raw control characters in strings, empty-element forms,
// comments, CDATA and character references are accepted. The records and the catalog
// of a large datafile are parsed on all cores; the value and any error, with its
// position, are the same as on one.
class PlistXmlReader {
public:
    static PlistReadResult read(QByteArrayView bytes);
    static PlistReadResult readOnOneCore(QByteArrayView bytes);
    // The large containers split in pieces of about this many bytes, whatever the size
    // of the whole: what lets a test split a small file.
    static PlistReadResult readInPieces(QByteArrayView bytes, qsizetype pieceSize);
    // The same over memory the caller gives up, mapped by itself in whole pages: pages
    // already parsed are given back to the system as the parser moves on, so memory
    // holds the values only. What they held reads as zeros afterwards.
    static PlistReadResult readReleasingPages(QByteArrayView bytes);
};
