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

    // The same bytes, serialised once, to a file and to a copy of it elsewhere: both are
    // written side by side, so the disk takes them in one stretch, and the copy replaces
    // its old file only once the file has replaced its own. Whatever fails, the file is
    // never older than the copy: a failed file keeps both old files, a failed copy only
    // its own.
    struct PairResult {
        Result file;
        Result copy;
    };
    static PairResult writeWithCopy(const QString& path, const QString& copyPath,
                                    const Serializer& serialize);

    // Makes every write fail once that many bytes are written, as a full disk would;
    // nullopt writes normally again.
    static void setFailAfterBytesForTesting(std::optional<qint64> bytes);
    // The same for the copy of writeWithCopy alone.
    static void setFailCopyAfterBytesForTesting(std::optional<qint64> bytes);
};
