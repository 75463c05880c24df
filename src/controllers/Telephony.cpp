#include "Telephony.h"

#include "UserDefaults.h"

#include <algorithm>

namespace {

QString withDigitsAsN(QString text)
{
    for (QChar& character : text)
        if (character >= u'0' && character <= u'9')
            character = u'n';
    return text;
}

} // namespace

namespace Telephony {

bool startsNumber(QChar character)
{
    return character.isDigit() || character == u'(';
}

void forEachPossibleNumber(QStringView text, qsizetype start, qsizetype length,
                           const std::function<bool(qsizetype location, const QString& run)>& visit,
                           bool digitsOnly)
{
    start = std::clamp<qsizetype>(start, 0, text.size());
    qsizetype end =
        std::clamp<qsizetype>(start + std::max<qsizetype>(length, 0), start, text.size());
    while (start < end) {
        while (start < end && !(digitsOnly ? text[start].isDigit() : startsNumber(text[start])))
            ++start;
        if (start >= end)
            return;
        const QString run = possibleNumberInString(text.sliced(start, end - start));
        if (run.isEmpty() || visit(start, run))
            return;
        start += run.size();
    }
}

QString firstMatchingNumber(QStringView text, qsizetype start, qsizetype length,
                            const QStringList& formats)
{
    QString found;
    if (formats.isEmpty())
        return found;
    forEachPossibleNumber(text, start, length, [&](qsizetype, const QString& run) {
        if (!goodMatchForString(run, formats))
            return false;
        found = run;
        return true;
    });
    return found;
}

bool isStrictUrlText(const QString& text)
{
    static const QString refused = QStringLiteral("\"<>\\^`{|}");
    return !text.isEmpty() && std::none_of(text.cbegin(), text.cend(), [](QChar character) {
        return character.unicode() <= 0x20 || character.unicode() >= 0x7f ||
               refused.contains(character);
    });
}

std::optional<QUrl> telephoneUrl(const QString& text)
{
    if (!isStrictUrlText(text))
        return std::nullopt;
    QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("tel"))
        return std::nullopt;
    return url;
}

QString possibleNumberInString(QStringView text)
{
    // Built as it is read, so a long text is not copied for a short number.
    QString run;
    qsizetype others = 0;
    for (qsizetype index = 0; index < text.size();) {
        QChar character = text[index];
        qsizetype width = 1;
        if (character == u'%' && text.sliced(index).startsWith(u"%20")) {
            character = u' ';
            width = 3;
        }
        if (character == u'\n' && !run.isEmpty() && startsNumber(run.back()))
            break;
        run.append(character);
        index += width;
        if (startsNumber(character)) {
            others = 0;
        } else if (++others == 3) {
            run.chop(3);
            break;
        }
    }
    if (!run.isEmpty() && !startsNumber(run.back()))
        run.chop(1);
    return run;
}

bool goodMatchForString(const QString& text, const QStringList& formats)
{
    return formats.contains(withDigitsAsN(text));
}

QStringList phoneNumberTemplates()
{
    const std::optional<QString> templates =
        UserDefaults::standardUserDefaults().stringForKey(QStringLiteral("PhoneNumberTemplates"));
    if (!templates)
        return {};
    return withDigitsAsN(*templates).split(u'\n');
}

} // namespace Telephony
