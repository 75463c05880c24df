#pragma once

#include "PlistBinaryReader.h"
#include "PlistBinaryWriter.h"
#include "PlistXmlReader.h"
#include "PlistXmlWriter.h"

#include <QStringEncoder>

// What every fuzz input must satisfy, shared by the fuzzers and the corpus replay
// test: reading never crashes or fails without a message, and whatever reads, in
// either format, is written as XML and as binary; each reads back to the value as
// that format keeps it, and writes the same bytes again.

namespace plistfuzz {

inline bool holds(const PlistValue& value, bool (*kind)(const PlistValue&))
{
    if (kind(value))
        return true;
    if (const PlistArray* array = value.asArray()) {
        for (const PlistValue& element : *array) {
            if (holds(element, kind))
                return true;
        }
    }
    if (const PlistDictionary* dictionary = value.asDictionary()) {
        for (const PlistDictionary::Entry& entry : *dictionary) {
            if (holds(entry.value, kind))
                return true;
        }
    }
    return false;
}

inline bool isNull(const PlistValue& value) { return value.isNull(); }
inline bool isNullOrUid(const PlistValue& value) { return value.isNull() || value.isUid(); }

// UTF-8 holds no lone surrogate: each becomes U+FFFD, in its own string.
inline QString asUtf8Keeps(const QString& text)
{
    QStringEncoder encoder(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    return QString::fromUtf8(encoder.encode(text));
}

// The value as XML keeps it: dates in whole seconds of the years it writes, strings
// and keys as UTF-8 holds them (keys that become equal keep the last value, in the
// order the keys are written).
inline PlistValue asXmlKeeps(const PlistValue& value)
{
    if (const PlistDate* date = value.asDate())
        return PlistXmlWriter::writtenDate(*date);
    if (const QString* text = value.asString())
        return asUtf8Keeps(*text);
    if (const PlistArray* array = value.asArray()) {
        PlistArray kept;
        for (const PlistValue& element : *array)
            kept.append(asXmlKeeps(element));
        return kept;
    }
    if (const PlistDictionary* dictionary = value.asDictionary()) {
        PlistDictionary kept;
        for (const PlistDictionary::Entry* entry : dictionary->sortedEntries())
            kept.insert(asUtf8Keeps(entry->key), asXmlKeeps(entry->value));
        return kept;
    }
    return value;
}

template <typename Reader, typename Writer>
bool writesAndReadsBack(const PlistValue& value, const PlistValue& expected, bool mayHaveNoForm)
{
    const QByteArray written = Writer::toBytes(value);
    if (written.isEmpty())
        return mayHaveNoForm; // a value without a form in this format
    const PlistReadResult again = Reader::read(written);
    // The bytes compare kinds too, which == does not (true equals 1).
    return again.ok() && again.value == expected &&
           Writer::toBytes(again.value) == Writer::toBytes(expected);
}

} // namespace plistfuzz

template <typename Reader>
bool plistRoundTripHolds(QByteArrayView bytes)
{
    using namespace plistfuzz;
    const PlistReadResult result = Reader::read(bytes);
    if (!result.ok())
        return result.error.has_value() && !result.error->message.isEmpty();
    const PlistValue& value = result.value;
    return writesAndReadsBack<PlistXmlReader, PlistXmlWriter>(value, asXmlKeeps(value),
                                                               holds(value, isNullOrUid)) &&
           writesAndReadsBack<PlistBinaryReader, PlistBinaryWriter>(value, value,
                                                                     holds(value, isNull));
}

// Parsed in pieces side by side, however small, the bytes give what one core gives: the
// same value of the same kinds, or the same error at the same place.
inline bool xmlPiecesParseAsOneCore(QByteArrayView bytes)
{
    const PlistReadResult oneCore = PlistXmlReader::readOnOneCore(bytes);
    for (const qsizetype pieceSize : {1, 64}) {
        const PlistReadResult pieces = PlistXmlReader::readInPieces(bytes, pieceSize);
        if (pieces.ok() != oneCore.ok())
            return false;
        if (!oneCore.ok() && (pieces.error->message != oneCore.error->message ||
                              pieces.error->byteOffset != oneCore.error->byteOffset ||
                              pieces.error->line != oneCore.error->line))
            return false;
        if (oneCore.ok() && (pieces.value != oneCore.value ||
                             PlistXmlWriter::toBytes(pieces.value) != PlistXmlWriter::toBytes(oneCore.value)))
            return false;
    }
    return true;
}

inline bool xmlPlistRoundTripHolds(QByteArrayView bytes)
{
    return xmlPiecesParseAsOneCore(bytes) && plistRoundTripHolds<PlistXmlReader>(bytes);
}

inline bool binaryPlistRoundTripHolds(QByteArrayView bytes)
{
    return plistRoundTripHolds<PlistBinaryReader>(bytes);
}
