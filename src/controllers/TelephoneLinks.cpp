#include "TelephoneLinks.h"

#include "RichText.h"
#include "SystemLog.h"
#include "Telephony.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace TelephoneLinks {

qint64 linkNumbersInText(QTextDocument& text, const QStringList& formats)
{
    const QString plain = RichText::plainText(text);
    qint64 count = 0;
    Telephony::forEachPossibleNumber(
        plain, 0, plain.size(), [&](qsizetype location, const QString& run) {
            if (!Telephony::goodMatchForString(run, formats))
                return false;
            const QString address = QStringLiteral("tel://") + QString(run).replace(u' ', "%20");
            if (!Telephony::isStrictUrlText(address)) {
                SystemLog::log(QStringLiteral("Bad URL"));
                return true;
            }
            QTextCursor cursor(&text);
            cursor.setPosition(int(location));
            cursor.setPosition(int(location + run.size()), QTextCursor::KeepAnchor);
            QTextCharFormat link;
            link.setAnchor(true);
            link.setAnchorHref(address);
            cursor.mergeCharFormat(link);
            ++count;
            return false;
        });
    return count;
}

RecordLinks linksForRecord(const RecordInput& record, const QStringList& formats)
{
    RecordLinks links;
    if (formats.isEmpty())
        return links;
    for (const auto& [identifier, value] : record.fields) {
        if (!value.isEmpty() && Telephony::goodMatchForString(value, formats)) {
            links.fields.append({identifier, QStringLiteral("tel://") + value});
            ++links.linkCount;
        }
    }
    if (record.rtfd.isEmpty())
        return links;
    qint64 inText = 0;
    links.text = FreeformTextEdits::editRtfd(record.rtfd, [&](QTextDocument& text) {
        inText = linkNumbersInText(text, formats);
        return inText > 0;
    });
    links.linkCount += inText;
    return links;
}

} // namespace TelephoneLinks
