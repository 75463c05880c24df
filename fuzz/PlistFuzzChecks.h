#pragma once

#include "PlistBinaryReader.h"
#include "PlistBinaryWriter.h"
#include "PlistXmlReader.h"
#include "PlistXmlWriter.h"

// What every fuzz input must satisfy, shared by the fuzzers and the corpus replay
// test: reading never crashes or fails without a message, and whatever reads writes
// back to an equal value that writes the same bytes again.
template <typename Reader, typename Writer>
bool plistRoundTripHolds(QByteArrayView bytes)
{
    const PlistReadResult result = Reader::read(bytes);
    if (!result.ok())
        return result.error.has_value() && !result.error->message.isEmpty();
    const QByteArray written = Writer::toBytes(result.value);
    if (written.isEmpty())
        return true; // a value without a form in this format (a null, a UID in XML)
    const PlistReadResult again = Reader::read(written);
    return again.ok() && again.value == result.value && Writer::toBytes(again.value) == written;
}

inline bool xmlPlistRoundTripHolds(QByteArrayView bytes)
{
    return plistRoundTripHolds<PlistXmlReader, PlistXmlWriter>(bytes);
}

inline bool binaryPlistRoundTripHolds(QByteArrayView bytes)
{
    return plistRoundTripHolds<PlistBinaryReader, PlistBinaryWriter>(bytes);
}
