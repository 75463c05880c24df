#include "VKFileManagerCategories.h"

#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace VKFileManagerCategories {

int fileSizeAtPath(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return 0;
    return int(std::clamp<qint64>(info.size(), 0, std::numeric_limits<int>::max()));
}

std::optional<QString> targetOfSymbolicLink(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return std::nullopt;
    const QString target = info.canonicalFilePath();
    if (target.isEmpty())
        return std::nullopt;
    return target;
}

QString canonicalPathOrSelf(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

} // namespace VKFileManagerCategories
