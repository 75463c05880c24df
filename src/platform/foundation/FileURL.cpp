#include "FileURL.h"

#include <QDir>
#include <QFileInfo>

namespace FileURL {

bool isLocalFile(const QUrl& url)
{
    return url.scheme() == QLatin1String("file") &&
           (url.host().isEmpty() ||
            url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0);
}

QString localPath(const QUrl& url)
{
    if (!isLocalFile(url))
        return {};
    QUrl local = url;
    local.setHost(QString());
    return local.toLocalFile();
}

QString folderURLString(const QString& path)
{
    // Slashes stay, everything else that a URL path cannot hold is escaped.
    const QByteArray escaped = QUrl::toPercentEncoding(path, "/");
    return QStringLiteral("file://localhost") + QString::fromLatin1(escaped) + QLatin1Char('/');
}

QString expandTilde(const QString& path)
{
    if (path == QLatin1String("~"))
        return QDir::homePath();
    if (path.startsWith(QLatin1String("~/")))
        return QDir::homePath() + path.mid(1);
    return path;
}

QString abbreviateTilde(const QString& path)
{
    const QString home = QDir::homePath();
    if (path == home)
        return QStringLiteral("~");
    if (path.startsWith(home + QLatin1Char('/')))
        return QLatin1Char('~') + path.mid(home.size());
    return path;
}

QString folderPath(const QString& stored)
{
    if (stored.isEmpty())
        return {};
    const QUrl url(stored);
    const QString path = expandTilde(isLocalFile(url) ? localPath(url) : stored);
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

} // namespace FileURL
