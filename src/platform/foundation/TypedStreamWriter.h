#pragma once

#include "TypedStreamValue.h"

// Writes a tree as the archiver writes it: little-endian, streamer version 4,
// system version 1000; strings, C strings and classes written once and referred to
// after; an object met again (the same TypedStreamObject) written as a reference.
class TypedStreamWriter {
public:
    // Empty when the tree cannot be written: a value that does not fit its group's
    // encoding, an integer out of the format's range, a cycle, or nesting too deep.
    static QByteArray toBytes(const TypedStreamGroups& groups);
};
