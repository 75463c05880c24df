#include "SoundLibrary.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace SoundLibrary {

namespace {

const QStringList soundExtensions{QStringLiteral("aiff"), QStringLiteral("aif"),
                                  QStringLiteral("snd"),  QStringLiteral("wav"),
                                  QStringLiteral("oga"),  QStringLiteral("ogg")};

bool isSoundFile(const QFileInfo& file)
{
    return soundExtensions.contains(file.suffix(), Qt::CaseInsensitive);
}

// The name less its last extension, with its path inside the folder.
QString nameInFolder(const QDir& folder, const QFileInfo& file)
{
    const QString relative = folder.relativeFilePath(file.filePath());
    return relative.left(relative.size() - file.suffix().size() - 1);
}

} // namespace

QStringList soundFolders()
{
    // The user's data folder comes first in Qt's list.
    const QStringList data = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    QStringList folders;
    for (qsizetype index = 1; index < data.size(); ++index)
        folders.append(QDir(data.at(index)).filePath(QStringLiteral("sounds")));
    if (!data.isEmpty())
        folders.append(QDir(data.first()).filePath(QStringLiteral("sounds")));
    return folders;
}

QStringList soundNames(const QStringList& folders)
{
    QStringList names;
    for (const QString& path : folders) {
        const QDir folder(path);
        // Links are not followed, so a link back up the tree cannot loop.
        QDirIterator entries(path, QDir::Files | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
        while (entries.hasNext()) {
            const QFileInfo file(entries.next());
            if (isSoundFile(file))
                names.append(nameInFolder(folder, file));
        }
    }
    std::stable_sort(names.begin(), names.end(), [](const QString& left, const QString& right) {
        return left.compare(right, Qt::CaseInsensitive) < 0;
    });
    return names;
}

QString pathForSound(const QString& name, const QStringList& folders)
{
    if (name.isEmpty())
        return QString();
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        const QDir dir(*folder);
        for (const QString& extension : soundExtensions) {
            const QFileInfo file(dir.filePath(name + QLatin1Char('.') + extension));
            if (file.isFile())
                return file.filePath();
        }
    }
    return QString();
}

QString bundledSoundPath(const QString& name)
{
    const QString path = QStringLiteral(":/sounds/") + name + QStringLiteral(".wav");
    return !name.isEmpty() && QFileInfo::exists(path) ? path : QString();
}

} // namespace SoundLibrary
