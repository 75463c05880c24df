#pragma once

#include "FlatRtfd.h"
#include "RichText.h"

#include <QTextDocument>

// What every RTF input must satisfy, shared by the fuzzer and the corpus replay test:
// reading fails with a message and no document, or gives a document whose RTF reads
// back to the same plain text and document attributes.
inline bool rtfRoundTripHolds(QByteArrayView bytes)
{
    const RichTextResult result = RichText::fromRtf(bytes);
    if (!result.ok())
        return !result.error->isEmpty() && !result.document;
    if (!result.document)
        return false;
    const RichTextResult again =
        RichText::fromRtf(RichText::toRtf(*result.document, result.attributes));
    return again.ok() &&
           RichText::plainText(*again.document) == RichText::plainText(*result.document) &&
           again.attributes == result.attributes;
}

// The same for flattened RTFD, and for its container alone: what reads writes, and reads
// back to the same files.
inline bool rtfdRoundTripHolds(QByteArrayView bytes)
{
    const FlatRtfd::ReadResult folder = FlatRtfd::read(bytes);
    if (!folder.ok()) {
        if (folder.error->isEmpty() || !folder.files.isEmpty())
            return false;
    } else if (FlatRtfd::read(FlatRtfd::write(folder.files)).files != folder.files) {
        return false;
    }

    const RichTextResult result = RichText::fromRtfd(bytes);
    if (!result.ok())
        return !result.error->isEmpty() && !result.document;
    if (!result.document)
        return false;
    const RichTextResult again =
        RichText::fromRtfd(RichText::toRtfd(*result.document, result.attributes));
    return again.ok() &&
           RichText::plainText(*again.document) == RichText::plainText(*result.document);
}
