#pragma once

#include "PlistError.h"

#include <QByteArrayView>

// Reads the root object of a keyed archive (the mobile app's replies), binary or XML:
// arrays, dictionaries, strings, numbers, data and nil, each object decoded once and
// shared where the archive shares it. Anything else, a reference outside the archive,
// a cycle or nesting deeper than MaxDepth is an error with its reason, never a crash.
class KeyedUnarchiver {
public:
    static constexpr int MaxDepth = 512;

    static PlistReadResult unarchiveObjectWithData(QByteArrayView bytes);
};
