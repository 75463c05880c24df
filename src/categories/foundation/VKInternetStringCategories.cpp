#include "VKInternetStringCategories.h"

#include "StringFormat.h"

#include <QUrl>

namespace VKInternetStringCategories {

QString stringByReplacingPercentEscapes(const QString& string)
{
    return QUrl::fromPercentEncoding(string.toUtf8());
}

QString stringByAddingPercentEscapes(const QString& string)
{
    // The reserved and mark characters of a URL, which stay as they are.
    static const QByteArray kept = QByteArrayLiteral(";/?:@&=+$,!*'()#");
    return QString::fromLatin1(QUrl::toPercentEncoding(string, kept));
}

QString stringByCleaningURLWithDefaultScheme(const QString& string, const QString& scheme)
{
    if (string.isEmpty())
        return string;

    static const QString separator = QStringLiteral("://");
    QString rest = string;
    QString usedScheme = scheme.isNull() ? QStringLiteral("http://") : scheme;
    const qsizetype schemeEnd = rest.indexOf(separator);
    if (schemeEnd >= 0) {
        usedScheme = rest.left(schemeEnd + separator.size());
        rest.remove(0, schemeEnd + separator.size());
    }

    const qsizetype slash = rest.indexOf(u'/');
    const QString path = slash >= 0 ? rest.mid(slash) : QStringLiteral("/");
    QString host = slash >= 0 ? rest.left(slash) : rest;
    if (!host.isEmpty() && !host.contains(u'.') && usedScheme != QLatin1String("file://"))
        host = stringWithFormat(QStringLiteral("www.%@.com"), host);

    return stringWithFormat(QStringLiteral("%@%@%@"), usedScheme, host, path);
}

QString stringByCleaningURL(const QString& string)
{
    return stringByCleaningURLWithDefaultScheme(string, QString());
}

} // namespace VKInternetStringCategories
