#pragma once

#include "PlistValue.h"

#include <optional>

// What went wrong in a property list, and where.
struct PlistError {
    QString message;
    qint64 byteOffset = -1; // -1 when the position is not known
    int line = 0;           // XML only; 0 when not known

    QString toString() const;
};

// A reader's answer: the value, or the error that stopped it.
struct PlistReadResult {
    PlistValue value;
    std::optional<PlistError> error;

    bool ok() const { return !error.has_value(); }
    static PlistReadResult failure(QString message, qint64 byteOffset, int line = 0)
    {
        return {PlistValue(), PlistError{std::move(message), byteOffset, line}};
    }
};
