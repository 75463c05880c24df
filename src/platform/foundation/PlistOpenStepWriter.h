#pragma once

#include "PlistValue.h"

class QIODevice;

// Writes old-style (OpenStep) property lists as the platform describes a collection: keys
// sorted, "key = value;" and "( ... )" indented by four spaces, strings quoted unless
// made of letters, digits and _$+/:.-, data as <hex in groups of four bytes>. The text is
// ASCII: other characters are written as \U escapes of their UTF-16 units. The form has
// no numbers, booleans or dates of its own: they are written as their text and read back
// as strings.
class PlistOpenStepWriter {
public:
    // False when the device refused a write or the value holds a null or an archive UID.
    static bool write(const PlistValue& value, QIODevice& device);
    // Empty for a value the form cannot carry.
    static QByteArray toBytes(const PlistValue& value);
    // The string as the form writes it, quoted when it must be.
    static QByteArray stringText(QStringView text);
};
