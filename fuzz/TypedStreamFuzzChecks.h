#pragma once

#include "ArchivedColor.h"
#include "ArchivedFont.h"
#include "PrintInfo.h"
#include "TypedStreamReader.h"
#include "TypedStreamWriter.h"

// What every typed stream input must satisfy, shared by the fuzzer and the corpus
// replay test: reading never crashes or fails without a message; whatever reads
// writes, and reads back equal and writes the same bytes again. The archived values
// decode or refuse cleanly, and what decodes survives its own archive.
inline bool typedStreamRoundTripHolds(QByteArrayView bytes)
{
    if (const std::optional<ArchivedColor> color = ArchivedColor::fromArchive(bytes)) {
        if (ArchivedColor::fromArchive(color->toArchive()) != color)
            return false;
    }
    if (const std::optional<ArchivedFont> font = ArchivedFont::fromArchive(bytes)) {
        if (ArchivedFont::fromArchive(font->toArchive()) != font)
            return false;
    }
    if (const std::optional<PrintInfo> info = PrintInfo::fromArchive(bytes)) {
        if (PrintInfo::fromArchive(info->toArchive()) != info)
            return false;
    }

    const TypedStreamReadResult result = TypedStreamReader::read(bytes);
    if (!result.ok())
        return !result.error->message.isEmpty();
    const QByteArray written = TypedStreamWriter::toBytes(result.groups);
    if (written.isEmpty())
        return false;
    const TypedStreamReadResult again = TypedStreamReader::read(written);
    return again.ok() && again.groups == result.groups &&
           TypedStreamWriter::toBytes(again.groups) == written;
}
