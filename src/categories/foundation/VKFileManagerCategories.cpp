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

} // namespace VKFileManagerCategories
