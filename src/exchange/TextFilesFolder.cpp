#include "TextFilesFolder.h"

#include "ImportedTextFile.h"
#include "RichText.h"

#include <QDir>

QList<TextFilesFolder::TextFile> TextFilesFolder::read(const QString& folderPath)
{
    static const QStringList plainTypes = {QStringLiteral("text"), QStringLiteral("txt"),
                                           QStringLiteral("TEXT"), QStringLiteral("TXT")};
    static const QStringList richTypes = {QStringLiteral("rtf"), QStringLiteral("rtfd")};
    QList<TextFile> files;
    const QFileInfoList entries =
        QDir(folderPath)
            .entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                           QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
        const QString extension = entry.suffix();
        if (plainTypes.contains(extension)) {
            const ImportedTextFile::Contents contents =
                ImportedTextFile::readPlainText(entry.filePath());
            if (contents.plainText)
                files.append({entry.completeBaseName(), *contents.plainText, {}});
        } else if (richTypes.contains(extension)) {
            // Only an RTFD is a folder; a folder named like an RTF file is not one.
            if (entry.isDir() != (extension == QLatin1String("rtfd")))
                continue;
            const ImportedTextFile::Contents contents =
                ImportedTextFile::readRichText(entry.filePath());
            if (contents.error || !contents.rich.document)
                continue;
            const QString text = RichText::plainText(*contents.rich.document);
            if (text.isEmpty())
                continue;
            files.append({entry.completeBaseName(), text,
                          RichText::toRtfd(*contents.rich.document, contents.rich.attributes)});
        }
    }
    return files;
}
