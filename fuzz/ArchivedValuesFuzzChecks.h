#pragma once

#include "ArchivedImage.h"
#include "ArchivedTextStorage.h"

#include <QTextDocument>

// What every archived text or image must satisfy, shared by the fuzzers and the corpus
// replay test: reading never crashes; whatever was read, decoded or not, writes back
// byte for byte; and what decodes, archived anew, reads back to the same archive.
inline bool archivedTextHolds(QByteArrayView bytes)
{
    const QByteArray data = bytes.toByteArray();
    const ArchivedTextStorage storage = ArchivedTextStorage::fromData(data);
    if (storage.toData() != data || storage.isDecoded() != storage.error().isEmpty())
        return false;
    if (!storage.isDecoded())
        return storage.document()->isEmpty();
    const QByteArray anew = ArchivedTextStorage::encode(*storage.document());
    const ArchivedTextStorage again = ArchivedTextStorage::fromData(anew);
    return again.isDecoded() &&
           again.document()->toPlainText() == storage.document()->toPlainText() &&
           ArchivedTextStorage::encode(*again.document()) == anew;
}

inline bool archivedImageHolds(QByteArrayView bytes)
{
    const QByteArray data = bytes.toByteArray();
    const ArchivedImage image = ArchivedImage::fromData(data);
    if (image.toData() != data || image.isDecoded() != image.error().isEmpty())
        return false;
    if (!image.isDecoded())
        return image.image().isNull();
    const ArchivedImage again =
        ArchivedImage::fromData(ArchivedImage::encode(image.image(), image.size()));
    return again.isDecoded() && again.image().size() == image.image().size() &&
           again.size() == image.size();
}
