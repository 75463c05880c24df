#pragma once

#include "KeyedUnarchiver.h"

// What every fuzz input must satisfy, shared by the fuzzer and the corpus replay test:
// decoding never crashes, fails only with a reason, answers the same twice, and what it
// decodes holds no reference left unresolved.

namespace keyedarchivefuzz {

inline bool resolved(const PlistValue& value)
{
    if (value.isUid())
        return false;
    if (const PlistArray* array = value.asArray()) {
        for (const PlistValue& element : *array)
            if (!resolved(element))
                return false;
    }
    if (const PlistDictionary* dictionary = value.asDictionary()) {
        for (const PlistDictionary::Entry& entry : *dictionary)
            if (!resolved(entry.value))
                return false;
    }
    return true;
}

} // namespace keyedarchivefuzz

inline bool keyedArchiveDecodesOrFailsCleanly(QByteArrayView bytes)
{
    const PlistReadResult first = KeyedUnarchiver::unarchiveObjectWithData(bytes);
    const PlistReadResult again = KeyedUnarchiver::unarchiveObjectWithData(bytes);
    if (!first.ok())
        return !first.error->message.isEmpty() && !again.ok() && again.error->message == first.error->message;
    return again.ok() && again.value == first.value && keyedarchivefuzz::resolved(first.value);
}
