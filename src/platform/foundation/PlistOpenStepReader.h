#pragma once

#include "PlistError.h"

#include <QByteArrayView>

// Reads old-style (OpenStep) property lists: dictionaries "{ key = value; }", arrays
// "( a, b )", data "<0fbd 77>", quoted strings with \ escapes (octal, \U and the C ones)
// and bare strings, between white space and comments. Every scalar reads as a string.
// It is called only where that form is expected, never chosen from a file's first bytes:
// almost any text is an old-style string.
class PlistOpenStepReader {
public:
    // Containers nested deeper than this are an error, not a stack overflow.
    static constexpr int maximumDepth = 512;

    static PlistReadResult read(QByteArrayView bytes);
};
