#include "LinkFinder.h"

#include <QUrl>

#include <array>

namespace {

const QString URLCharacters = QStringLiteral(
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_.!~*'();/?:@&=+$,#%");
const QString TrailingPunctuation = QStringLiteral(".!?,");

qsizetype find(const QString& string, const QString& what, qsizetype start, qsizetype end)
{
    const qsizetype at = string.indexOf(what, start, Qt::CaseSensitive);
    return at >= 0 && at + what.size() <= end ? at : -1;
}

qsizetype withoutTrailingPunctuation(const QString& string, qsizetype start, qsizetype stop)
{
    return stop > start && TrailingPunctuation.contains(string.at(stop - 1)) ? stop - 1 : stop;
}

} // namespace

bool LinkFinder::isURLCharacter(QChar character, Characters characters)
{
    return URLCharacters.contains(character) ||
           (characters == Characters::FreeformText && (character == u'[' || character == u']'));
}

LinkFinder::Found LinkFinder::urlRangeInString(const QString& string, Range range,
                                               Characters characters)
{
    static const std::array<QString, 7> prefixes = {
        QStringLiteral("http://"), QStringLiteral("https://"), QStringLiteral("uuid://"),
        QStringLiteral("ftp://"),  QStringLiteral("file://"),  QStringLiteral("mailto:"),
        QStringLiteral("tel://")};
    const qsizetype end = std::min(range.location + range.length, string.size());
    Found found;
    qsizetype bestStart = end;
    qsizetype bestLength = 0;
    for (const QString& prefix : prefixes) {
        const qsizetype at = find(string, prefix, range.location, end);
        if (at >= 0 && at < bestStart) {
            bestStart = at;
            bestLength = prefix.size();
        }
    }
    const qsizetype www = find(string, QStringLiteral("www."), range.location, end);
    if (www >= 0 && www < bestStart) {
        bestStart = www;
        bestLength = 4;
        found.needHttp = true;
    }
    const qsizetype at = find(string, QStringLiteral("@"), range.location, end);
    if (at >= 0 && at < bestStart) {
        found.needHttp = false;
        found.needMailto = true;
        qsizetype stop = at + 1;
        while (stop < end && isURLCharacter(string.at(stop), characters))
            ++stop;
        // Backwards the scan may leave the range searched.
        qsizetype start = at;
        while (start > 0 && isURLCharacter(string.at(start - 1), characters))
            --start;
        stop = withoutTrailingPunctuation(string, start, stop);
        found.range = {start, stop - start};
        return found;
    }
    if (bestLength == 0) {
        found.range = {end, 0};
        return found;
    }
    qsizetype stop = bestStart + bestLength;
    while (stop < end && isURLCharacter(string.at(stop), characters))
        ++stop;
    stop = withoutTrailingPunctuation(string, bestStart, stop);
    found.range = {bestStart, stop - bestStart};
    return found;
}

bool LinkFinder::isCompleteMailAddress(const QString& address)
{
    const qsizetype at = address.indexOf(QLatin1Char('@'));
    if (at < 0)
        return false;
    const qsizetype dot = address.indexOf(QLatin1Char('.'), at + 2);
    return dot >= 0 && dot <= address.size() - 2;
}

QList<LinkFinder::Link> LinkFinder::linksInString(const QString& string, Characters characters)
{
    QList<Link> links;
    qsizetype position = 0;
    while (position < string.size()) {
        const Found found =
            urlRangeInString(string, {position, string.size() - position}, characters);
        const QString text = string.mid(found.range.location, found.range.length);
        if (text.size() >= 3 && (!found.needMailto || isCompleteMailAddress(text))) {
            const QString url = found.needHttp     ? QStringLiteral("http://") + text
                                : found.needMailto ? QStringLiteral("mailto:") + text
                                                   : text;
            if (QUrl(url, QUrl::StrictMode).isValid())
                links.append({found.range, url});
        }
        position = std::max(position + 1, found.range.location + found.range.length);
    }
    return links;
}

bool LinkFinder::isOpenedBySystem(const QUrl& url)
{
    // Record links ("uuid://") never reach the system: the editor follows them itself.
    static const QStringList schemes{QStringLiteral("http"),   QStringLiteral("https"),
                                     QStringLiteral("ftp"),    QStringLiteral("mailto"),
                                     QStringLiteral("tel"),    QStringLiteral("file")};
    return url.isValid() && schemes.contains(url.scheme(), Qt::CaseInsensitive);
}
