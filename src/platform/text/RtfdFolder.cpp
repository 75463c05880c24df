#include "RtfdFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

RtfdFolder::Files RtfdFolder::read(const QString& folderPath)
{
    Files result;
    const QDir folder(folderPath);
    if (!QFileInfo(folderPath).isDir()) {
        result.error = QStringLiteral("It is not a folder.");
        return result;
    }
    const QFileInfoList entries =
        folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (!entry.isFile())
            continue;
        QFile file(entry.absoluteFilePath());
        if (!file.open(QIODevice::ReadOnly)) {
            result.error = QStringLiteral("%1: %2").arg(entry.fileName(), file.errorString());
            return result;
        }
        result.files.append({entry.fileName(), file.readAll()});
    }
    return result;
}
