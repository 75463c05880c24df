#pragma once

#include <QString>

#include <functional>
#include <optional>

class QByteArray;
class QIODevice;

// The one way a user's file is written: into a temporary file beside it that then
// replaces it, keeping its permission bits and, where the system allows, its owner and
// group. A failed write, at any point, leaves the old file byte-identical, and the
// error says why the system refused it ("No space left on device").
class SafeFileWriter {
public:
    struct Result {
        bool ok = false;
        QString errorString; // empty on success
    };
    // Writes into the device; false stops the write and keeps the old file.
    using Serializer = std::function<bool(QIODevice&)>;

    static Result write(const QString& path, const QByteArray& bytes);
    static Result write(const QString& path, const Serializer& serialize);

    // Makes every write fail once that many bytes are written, as a full disk would;
    // nullopt writes normally again.
    static void setFailAfterBytesForTesting(std::optional<qint64> bytes);
};
