#include "VKFilePathStringCategories.h"

#include "VKStringCategories.h"

#include <QDir>

#include <algorithm>

namespace VKFilePathStringCategories {

namespace {

QString appendComponent(const QString& path, const QString& component)
{
    if (path.isEmpty())
        return component;
    return path.endsWith(u'/') ? path + component : path + u'/' + component;
}

// "~" expanded, "." and ".." resolved, repeated and trailing slashes removed.
QString standardized(const QString& path)
{
    QString expanded = path;
    if (expanded == u'~' || expanded.startsWith(QLatin1String("~/")))
        expanded.replace(0, 1, QDir::homePath());
    return QDir::cleanPath(expanded);
}

} // namespace

QString stringByCleaningFilenameWithDefault(const QString& name, const QString& defaultName)
{
    QString cleaned = VKStringCategories::stringByDeletingLeadingSpaces(name, true, true);
    cleaned.replace(u'/', u'-');
    cleaned.replace(u':', u'-');
    return cleaned.isEmpty() ? defaultName : cleaned;
}

QString stringByAppendingPathComponent(const QString& path, const QString& component,
                                       const QString& cleanWithDefault)
{
    return appendComponent(path, stringByCleaningFilenameWithDefault(component, cleanWithDefault));
}

QString backupFilePath(const QString& path)
{
    const qsizetype nameStart = path.lastIndexOf(u'/') + 1;
    const qsizetype dot = path.lastIndexOf(u'.');
    // A leading dot names a hidden file, not an extension.
    if (dot <= nameStart)
        return path + u'~';
    return path.left(dot) + u'~' + path.mid(dot);
}

QString validatedDirectoryPath(const QString& path)
{
    const QString result = standardized(path);
    if (!result.isEmpty())
        QDir().mkpath(result);
    return result;
}

QString validatedFilePath(const QString& path)
{
    const QString file = standardized(path);
    const qsizetype slash = file.lastIndexOf(u'/');
    if (slash < 0)
        return file;
    const QString folder = slash == 0 ? QStringLiteral("/") : file.left(slash);
    return appendComponent(validatedDirectoryPath(folder), file.mid(slash + 1));
}

QString nameWithoutExtension(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

QString titleByReplacingExtension(const QString& title, const QString& extension,
                                  const QString& replacement)
{
    const qsizetype start = std::max<qsizetype>(0, title.size() - 6);
    return title.left(start) + title.mid(start).replace(extension, replacement);
}

} // namespace VKFilePathStringCategories
