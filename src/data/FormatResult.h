#pragma once

#include "PlistError.h"

#include <optional>

// What a reader of one of the system's files answers: the value read, or what was wrong
// and where.
template <typename Value> struct FormatResult {
    std::optional<Value> value;
    PlistError error; // when there is no value: what was wrong and where, if known

    bool ok() const { return value.has_value(); }
};
