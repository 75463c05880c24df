#include "SafeFileWriter.h"

#include <QByteArray>
#include <QSaveFile>

SafeFileWriter::Result SafeFileWriter::write(const QString& path, const QByteArray& bytes)
{
    return write(path, [&bytes](QIODevice& device) {
        return device.write(bytes) == bytes.size();
    });
}

SafeFileWriter::Result SafeFileWriter::write(const QString& path, const Serializer& serialize)
{
    // QSaveFile writes to a temporary file in the same folder, gives it the existing
    // file's permissions and renames it over the target only on commit.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString())};
    if (!serialize(file)) {
        const QString reason = file.error() != QFileDevice::NoError ? file.errorString()
                                                                    : QStringLiteral("the data could not be written");
        file.cancelWriting();
        return {false, QStringLiteral("Cannot write %1: %2").arg(path, reason)};
    }
    if (!file.commit())
        return {false, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString())};
    return {true, {}};
}
