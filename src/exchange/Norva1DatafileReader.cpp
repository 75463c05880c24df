#include "Norva1DatafileReader.h"

#include "MacRomanCodec.h"

#include <QtEndian>

QStringList Norva1DatafileReader::fieldNames(QByteArrayView resource)
{
    QStringList names;
    if (resource.size() < 2)
        return names;
    // The count includes one more than there are names; a count of 0 or 1, or one of
    // 32769 and more, holds none.
    const auto count = qint16(qFromBigEndian<quint16>(resource.data()) - 1);
    qsizetype offset = 2;
    for (qint16 name = 0; name < count && offset < resource.size(); ++name) {
        const qsizetype length = static_cast<unsigned char>(resource[offset]);
        if (std::optional<QString> text = MacRomanCodec::pascalString(resource, offset))
            names.append(*text);
        else
            break; // runs past the end
        offset += length + 1;
    }
    return names;
}

QString Norva1DatafileReader::dataForkText(QByteArrayView dataFork)
{
    QString text = MacRomanCodec::toUnicode(dataFork);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

Norva1DatafileReader::Result Norva1DatafileReader::records(const QString& text,
                                                           qsizetype fieldCount,
                                                           const std::function<bool()>& stopRequested)
{
    Result result;
    const QStringView all(text);
    qsizetype position = 0;
    while (position < all.size()) {
        const qsizetype end = all.indexOf(QChar(RecordTerminator), position);
        if (end < 0)
            break;
        result.hasRecords = true;
        const QStringView content = all.sliced(position, end - position);
        Record record;
        qsizetype lineStart = 0;
        for (qsizetype field = 0; field < fieldCount; ++field) {
            const qsizetype lineEnd = content.indexOf(QLatin1Char('\n'), lineStart);
            if (lineEnd < 0)
                break;
            record.values.append(content.sliced(lineStart, lineEnd - lineStart).toString());
            lineStart = lineEnd + 1;
        }
        if (lineStart < content.size())
            record.text = content.sliced(lineStart).toString();
        result.records.append(std::move(record));
        position = end + 1;
        if (position < all.size() && stopRequested && stopRequested())
            break;
    }
    return result;
}
