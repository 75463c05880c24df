#include "ResourceForkLocator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

std::optional<QByteArray> readFile(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace

QStringList ResourceForkLocator::companionPaths(const QString& path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    const QString folder = info.absolutePath();
    QStringList paths{folder + QStringLiteral("/._") + name};
    // An unpacked zip archive keeps the companions under "__MACOSX" at its top, in the
    // same folders as the files: any folder above may be that top.
    QDir top(folder);
    do {
        const QString within = top.relativeFilePath(folder);
        const QString companion = within.isEmpty() || within == QLatin1String(".")
                                      ? QStringLiteral("._") + name
                                      : within + QStringLiteral("/._") + name;
        paths.append(top.filePath(QStringLiteral("__MACOSX/") + companion));
    } while (top.cdUp());
    paths.append(folder + QStringLiteral("/.AppleDouble/") + name);
    paths.append(info.absoluteFilePath() + QStringLiteral("/rsrc"));
    return paths;
}

ResourceForkLocator::Result ResourceForkLocator::locate(const QString& path)
{
    Result result;
    std::optional<QByteArray> bytes = readFile(path);
    if (!bytes)
        return result;
    if (ForkContainers::isUnreadableArchive(*bytes)) {
        result.status = Status::UnreadableArchive;
        return result;
    }
    result.status = Status::Read;
    for (const auto& container :
         {ForkContainers::readAppleSingleOrDouble, ForkContainers::readMacBinary}) {
        if (std::optional<MacFileForks> forks = container(*bytes)) {
            result.dataFork = forks->dataFork.value_or(QByteArray());
            result.resourceFork = std::move(forks->resourceFork);
            return result;
        }
    }
    result.dataFork = std::move(*bytes);
    for (const QString& companion : companionPaths(path)) {
        std::optional<QByteArray> companionBytes = readFile(companion);
        if (!companionBytes)
            continue;
        // AppleDouble companions wrap the fork; a mounted volume's "rsrc" is the fork.
        if (std::optional<MacFileForks> forks =
                ForkContainers::readAppleSingleOrDouble(*companionBytes)) {
            if (forks->resourceFork) {
                result.resourceFork = std::move(forks->resourceFork);
                return result;
            }
            continue;
        }
        if (companion.endsWith(QStringLiteral("/rsrc"))) {
            result.resourceFork = std::move(companionBytes);
            return result;
        }
    }
    return result;
}
