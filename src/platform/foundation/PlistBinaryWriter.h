#pragma once

#include "PlistValue.h"

class QIODevice;

// Writes binary property lists ("bplist00"), choosing the smallest offset and
// reference sizes that fit.
class PlistBinaryWriter {
public:
    static bool write(const PlistValue& value, QIODevice& device);
    static QByteArray toBytes(const PlistValue& value);
};
