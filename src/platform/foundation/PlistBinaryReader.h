#pragma once

#include "PlistError.h"

#include <QByteArrayView>

// Reads binary property lists ("bplist00") with every offset and reference size.
// Cyclic references, out-of-range offsets and counts larger than the file can hold
// are errors, never crashes or unbounded allocations.
class PlistBinaryReader {
public:
    static PlistReadResult read(QByteArrayView bytes);
    static bool isBinary(QByteArrayView bytes);
};
