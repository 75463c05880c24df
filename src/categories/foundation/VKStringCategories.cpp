#include "VKStringCategories.h"

#include "Localization.h"
#include "StringFormat.h"

#include <QFontMetricsF>
#include <QRandomGenerator>
#include <QUuid>

#include <algorithm>
#include <array>

namespace VKStringCategories {

namespace {

const QString sharedTable = QStringLiteral("Shared");

bool isNewline(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x0A && u <= 0x0D) || u == 0x85 || u == 0x2028 || u == 0x2029;
}

bool isSpaceOrTab(QChar c)
{
    return c == u' ' || c == u'\t';
}

// "%d word" with the word for the number; null when a word is missing.
QString part(int value, const QString& format, const QString& singular, const QString& plural)
{
    if (singular.isNull() || plural.isNull())
        return {};
    return stringWithFormat(format, value, stringWithIntValue(value, QString(), singular, plural));
}

} // namespace

QString universallyUniqueIdentifier()
{
    // A random (version 4) identifier from the global generator, which the system's
    // source seeded once: asking that source for every one of a large import's records
    // costs more than making them.
    std::array<quint32, 4> words;
    QRandomGenerator::global()->fillRange(words.data(), qsizetype(words.size()));
    QByteArray bytes(reinterpret_cast<const char*>(words.data()), 16);
    bytes[6] = char((bytes[6] & 0x0F) | 0x40);
    bytes[8] = char((bytes[8] & 0x3F) | 0x80);
    return QUuid::fromRfc4122(bytes).toString(QUuid::WithoutBraces).toUpper();
}

QString stringWithIntValue(int value, const QString& zero, const QString& singular,
                           const QString& plural)
{
    if (value == 0 && !zero.isNull())
        return zero;
    if (value == 1 && !singular.isNull())
        return singular;
    return plural;
}

QString stringWithSeconds(int seconds, const QString& minuteSingular, const QString& minutesPlural,
                          const QString& secondSingular, const QString& secondsPlural)
{
    const int minutes = seconds / 60;
    const int remainder = seconds % 60;
    const QString minutesPart =
        part(minutes, QStringLiteral("%d %@"), minuteSingular, minutesPlural);
    const QString secondsPart =
        part(remainder, localized(QStringLiteral("%d %@")), secondSingular, secondsPlural);
    if (seconds < 60)
        return secondsPart;
    if (remainder == 0)
        return minutesPart;
    if (minutesPart.isNull())
        return secondsPart;
    if (secondsPart.isNull())
        return minutesPart;
    return stringWithFormat(QStringLiteral("%@ %@"), minutesPart, secondsPart);
}

QString stringWithIntValue(int value, int minLength, int maxLength, QChar paddedWith, bool padLeft,
                           bool useEllipsis)
{
    Q_UNUSED(maxLength);
    Q_UNUSED(useEllipsis);
    const QString number = QString::number(value);
    return padLeft ? number.rightJustified(minLength, paddedWith)
                   : number.leftJustified(minLength, paddedWith);
}

QString stringWithLeadingZeroesForIntValue(int value, int digits)
{
    return right(stringWithFormat(QStringLiteral("%0.10d"), value), std::max(digits, 0));
}

QString stringAsBytesWithInt(int bytes)
{
    if (bytes == 0)
        return localized(QStringLiteral("Zero KB"), sharedTable);
    const float count = float(bytes);
    if (bytes >= 1073741824)
        return stringWithFormat(localized(QStringLiteral("%.1f GB"), sharedTable),
                                double(count / 1073741824.0f));
    if (bytes < 1024)
        return stringWithFormat(localized(QStringLiteral("%d bytes"), sharedTable), bytes);
    if (bytes < 1048576)
        return stringWithFormat(localized(QStringLiteral("%.1f KB"), sharedTable),
                                double(count / 1024.0f));
    return stringWithFormat(localized(QStringLiteral("%.1f MB"), sharedTable),
                            double(count / 1048576.0f));
}

QString stringWithPrefix(const QString& prefix, const QString& keyword, const QString& suffix,
                         const QString& alternative)
{
    if (keyword.isNull() && alternative.isNull())
        return {};
    QString result(QLatin1String(""));
    appendPrefix(result, prefix, keyword, suffix, alternative);
    return result;
}

QString or_(const QString& string, const QString& other)
{
    return other.isNull() ? string : other;
}

bool containsString(const QString& string, const QString& text)
{
    return !text.isEmpty() && string.contains(text);
}

int caseAndSpaceInsensitiveCompare(const QString& string, const QString& other)
{
    QString a = string;
    QString b = other;
    a.remove(u' ');
    b.remove(u' ');
    return a.compare(b, Qt::CaseInsensitive);
}

QString left(const QString& string, qsizetype length)
{
    return string.left(length);
}

QString right(const QString& string, qsizetype length)
{
    return string.right(length);
}

QString fromLength(const QString& string, qsizetype index, qsizetype length)
{
    if (index < 0 || index >= string.size())
        return QString(QLatin1String(""));
    return string.mid(index, length < 0 ? -1 : length);
}

QString fromTo(const QString& string, qsizetype index, qsizetype last)
{
    if (last < index)
        return QString(QLatin1String(""));
    return fromLength(string, index, last - index + 1);
}

QString reverse(const QString& string)
{
    QString result;
    result.reserve(string.size());
    for (qsizetype i = string.size() - 1; i >= 0; --i) {
        if (i > 0 && string.at(i).isLowSurrogate() && string.at(i - 1).isHighSurrogate()) {
            result.append(string.at(i - 1));
            result.append(string.at(i));
            --i;
        } else {
            result.append(string.at(i));
        }
    }
    return result;
}

QString lastPathComponentWithoutExtension(const QString& path)
{
    QStringView name(path);
    while (name.size() > 1 && name.endsWith(u'/'))
        name.chop(1);
    name = name.mid(name.lastIndexOf(u'/') + 1);
    // A leading dot names a hidden file, not an extension.
    const qsizetype dot = name.lastIndexOf(u'.');
    return (dot > 0 ? name.left(dot) : name).toString();
}

int wordCount(const QString& string)
{
    int count = 0;
    qsizetype i = 0;
    const qsizetype size = string.size();
    while (i < size) {
        while (i < size &&
               (isSpaceOrTab(string.at(i)) || isNewline(string.at(i)) || string.at(i).isPunct()))
            ++i;
        if (i == size)
            break;
        ++count;
        while (i < size && !isSpaceOrTab(string.at(i)))
            ++i;
    }
    return count;
}

PlistDictionary dictionaryWithVersionComponents(const QString& version)
{
    PlistDictionary result;
    result.insert(QStringLiteral("Version"), version);
    const auto letter =
        std::find_if(version.cbegin(), version.cend(), [](QChar c) { return c.isLetter(); });
    const qsizetype letterAt = letter - version.cbegin();
    const QString general = version.left(letterAt);
    result.insert(QStringLiteral("General"), general);
    result.insert(QStringLiteral("IsGeneral"), letter == version.cend());
    if (!general.isEmpty()) {
        const QStringList parts = general.split(u'.');
        const char* const names[] = {"Major", "Minor", "Bug"};
        for (qsizetype i = 0; i < std::min<qsizetype>(parts.size(), 3); ++i)
            result.insert(QString::fromLatin1(names[i]), parts.at(i));
    }
    if (letter != version.cend()) {
        result.insert(QStringLiteral("Kind"), QString(*letter));
        const QString stage = version.mid(letterAt + 1);
        if (!stage.isEmpty())
            result.insert(QStringLiteral("Stage"), stage);
    }
    return result;
}

QString stringByRemovingQuotesAndSpaces(const QString& string)
{
    QString result;
    result.reserve(string.size());
    bool quoted = false;
    for (QChar c : string) {
        if (c == u'"')
            quoted = !quoted;
        else if (c == u' ' && quoted)
            result.append(QLatin1String("&SP&"));
        else
            result.append(c);
    }
    return result;
}

QString stringByReplacingAllOccurrencesOf(const QString& string, const QString& target,
                                          const QString& replacement)
{
    QString result = string;
    replaceAllOccurrencesOf(result, target, replacement);
    return result;
}

void replaceAllOccurrencesOf(QString& string, const QString& target, const QString& replacement)
{
    if (target.isEmpty())
        return;
    // Searching again from the start can only run forever when the string does not
    // shrink; such a replacement is made in a single pass instead.
    if (replacement.size() >= target.size()) {
        string.replace(target, replacement);
        return;
    }
    // A new occurrence must overlap the replaced text: nothing before it can match.
    qsizetype from = string.indexOf(target);
    while (from >= 0) {
        string.replace(from, target.size(), replacement);
        from = string.indexOf(target, std::max<qsizetype>(0, from - target.size() + 1));
    }
}

QString stringByDeletingLeadingSpaces(const QString& string, bool leading, bool trailing)
{
    QString result = string;
    deleteLeadingSpaces(result, leading, trailing);
    return result;
}

void deleteLeadingSpaces(QString& string, bool leading, bool trailing)
{
    if (trailing) {
        qsizetype end = string.size();
        while (end > 0 && string.at(end - 1) == u' ')
            --end;
        string.truncate(end);
    }
    if (leading) {
        qsizetype start = 0;
        while (start < string.size() && string.at(start) == u' ')
            ++start;
        string.remove(0, start);
    }
}

void appendString(QString& string, const QString& text, const QString& alternative)
{
    if (!text.isEmpty())
        string.append(text);
    else if (!alternative.isEmpty())
        string.append(alternative);
}

void appendPrefix(QString& string, const QString& prefix, const QString& keyword,
                  const QString& suffix, const QString& alternative)
{
    if (keyword.isEmpty()) {
        if (!alternative.isEmpty())
            string.append(alternative);
        return;
    }
    string.append(prefix);
    string.append(keyword);
    string.append(suffix);
}

float widthOfStringWithFont(const QString& string, const QFont& font)
{
    return float(QFontMetricsF(font).size(0, string).width());
}

float heightOfStringWithFont(const QString& string, const QFont& font)
{
    return float(QFontMetricsF(font).size(0, string).height());
}

QString truncatedStringWithIndicator(const QString& string, const QString& indicator,
                                     const QFont& font, int width, bool trimLeft)
{
    const QString mark = indicator.isNull() ? QStringLiteral("...") : indicator;
    if (float(width) >= widthOfStringWithFont(string, font))
        return string;

    // A coarse halving search: it ends once the step falls below 4 characters.
    const qsizetype length = string.size();
    qsizetype step = length / 2;
    qsizetype keep = step;
    const auto cut = [&] { return trimLeft ? string.right(keep) : string.left(keep); };
    QString part = cut();
    if (length >= 4) {
        const int markWidth = int(widthOfStringWithFont(mark, font));
        qsizetype lastStep = 0;
        bool done = false;
        do {
            const int measured = int(widthOfStringWithFont(part, font) + float(markWidth));
            lastStep = step;
            step /= 2;
            if (measured > width)
                keep -= step;
            else if (measured < width)
                keep += step;
            else
                done = true;
            part = cut();
        } while (!done && lastStep >= 4);
    }
    return trimLeft ? mark + part : part + mark;
}

} // namespace VKStringCategories
