#include "ImportedTextFile.h"

#include "Localization.h"
#include "RichText.h"
#include "RtfdFolder.h"
#include "TextFileDecoding.h"

#include <QFile>
#include <QFileInfo>

namespace {

// A regular file's bytes, or why there are none: a pipe would wait for its writer.
std::optional<QByteArray> fileContents(const QString& path, QString& reason)
{
    if (!QFileInfo(path).isFile()) {
        reason = localized(QStringLiteral("It is not a regular file."));
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return std::nullopt;
    }
    return file.readAll();
}

} // namespace

ImportedTextFile::Contents ImportedTextFile::readPlainText(const QString& path)
{
    Contents contents;
    QString reason;
    const std::optional<QByteArray> bytes = fileContents(path, reason);
    if (!bytes) {
        contents.error = reason;
        return contents;
    }
    contents.plainText = TextFileDecoding::decode(*bytes);
    if (!contents.plainText)
        contents.error = localized(QStringLiteral("It holds no text Norva can read."));
    return contents;
}

ImportedTextFile::Contents ImportedTextFile::readRichText(const QString& path)
{
    Contents contents;
    if (QFileInfo(path).isDir()) {
        const RtfdFolder::Files folder = RtfdFolder::read(path);
        if (folder.error) {
            contents.error = *folder.error;
            return contents;
        }
        contents.rich = RichText::fromRtfdFiles(folder.files);
    } else {
        QString reason;
        const std::optional<QByteArray> bytes = fileContents(path, reason);
        if (!bytes) {
            contents.error = reason;
            return contents;
        }
        contents.rich = RichText::fromRtf(*bytes);
    }
    if (!contents.rich.ok() || !contents.rich.document) {
        contents.error = contents.rich.error.value_or(QString());
        contents.rich = {};
    }
    return contents;
}
