#include "Telephony.h"

#include "UserDefaults.h"

namespace {

bool startsNumber(QChar character)
{
    return character.isDigit() || character == u'(';
}

QString withDigitsAsN(QString text)
{
    for (QChar& character : text)
        if (character >= u'0' && character <= u'9')
            character = u'n';
    return text;
}

} // namespace

namespace Telephony {

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
