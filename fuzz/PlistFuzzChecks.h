#pragma once

#include "PlistBinaryReader.h"
#include "PlistBinaryWriter.h"
#include "PlistOpenStepReader.h"
#include "PlistOpenStepWriter.h"
#include "PlistXmlReader.h"
#include "PlistXmlWriter.h"

#include <QStringEncoder>

#include <mutex>
#include <vector>

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

namespace plistfuzz {

inline bool sameRead(const PlistReadResult& a, const PlistReadResult& b)
{
    if (a.ok() != b.ok())
        return false;
    if (!a.ok())
        return a.error->message == b.error->message && a.error->byteOffset == b.error->byteOffset &&
               a.error->line == b.error->line;
    return a.value == b.value && PlistXmlWriter::toBytes(a.value) == PlistXmlWriter::toBytes(b.value);
}

// Read with the dictionaries of the top one's "Records" handed over, each put back after
// at the place of the UID that stands for it.
inline PlistReadResult readHandingOverRecords(QByteArrayView bytes, qsizetype pieceSize)
{
    std::mutex lock;
    std::vector<PlistDictionary> handed;
    const PlistXmlReader::Handover handover{
        QStringLiteral("Records"), [&](const QString&, PlistDictionary&& value) {
            const std::lock_guard guard(lock);
            handed.push_back(std::move(value));
            return PlistUid{quint64(handed.size() - 1)};
        }};
    PlistReadResult read = PlistXmlReader::readInPieces(bytes, pieceSize, &handover);
    PlistDictionary* top = read.value.asDictionary();
    PlistValue* records = top ? top->find(QStringLiteral("Records")) : nullptr;
    if (PlistDictionary* dictionary = records ? records->asDictionary() : nullptr) {
        for (const QString& key : dictionary->keys()) {
            PlistValue* value = dictionary->find(key);
            if (const PlistUid* uid = value->asUid())
                *value = handed.at(size_t(uid->value));
        }
    }
    return read;
}

} // namespace plistfuzz

// Parsed in pieces side by side, however small, and with the records handed over as they
// are parsed, the bytes give what one core gives: the same value of the same kinds, or
// the same error at the same place.
inline bool xmlPiecesParseAsOneCore(QByteArrayView bytes)
{
    using namespace plistfuzz;
    const PlistReadResult oneCore = PlistXmlReader::readOnOneCore(bytes);
    for (const qsizetype pieceSize : {0, 1, 64}) {
        if (pieceSize > 0 && !sameRead(PlistXmlReader::readInPieces(bytes, pieceSize), oneCore))
            return false;
        if (!sameRead(readHandingOverRecords(bytes, pieceSize), oneCore))
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

// Old-style text that reads is written again as old-style text, which reads back to the
// same value and writes the same bytes; it is also written as binary. (Not as XML, which
// has no form for some characters an old-style string may hold, NUL among them.)
inline bool openStepPlistRoundTripHolds(QByteArrayView bytes)
{
    using namespace plistfuzz;
    const PlistReadResult result = PlistOpenStepReader::read(bytes);
    if (!result.ok())
        return !result.error->message.isEmpty() && result.error->byteOffset >= 0 &&
               result.error->byteOffset <= bytes.size();
    return writesAndReadsBack<PlistOpenStepReader, PlistOpenStepWriter>(result.value, result.value,
                                                                         false) &&
           writesAndReadsBack<PlistBinaryReader, PlistBinaryWriter>(result.value, result.value,
                                                                     false);
}
