#include "RecordPrintText.h"

#include "DatafileSettingsData.h"
#include "Localization.h"
#include "PrintOperation.h"
#include "RecordData.h"
#include "StringFormat.h"

#include <QFontMetricsF>

#include <algorithm>

namespace {

QString stringIn(const PlistDictionary& dictionary, const QString& key)
{
    const PlistValue value = dictionary.value(key);
    return value.asString() ? *value.asString() : QString();
}

} // namespace

RecordPrintText RecordPrintText::forRecord(const RecordData& record, qint64 number,
                                           const PlistArray& fieldDefinitions,
                                           const QString& textName, const Options& options,
                                           const QFont& font)
{
    const bool bold = options.printBoldFieldNames && !fieldDefinitions.isEmpty();
    RecordPrintText printed;
    QString& text = printed.text;
    const auto markBold = [&](qsizetype location, qsizetype length) {
        if (bold)
            printed.boldRanges.append({location, length});
    };

    if (options.printRecordNumbers) {
        markBold(0, localized(QStringLiteral("Record number:")).size());
        text += stringWithFormat(localized(QStringLiteral("Record number: %d\n\n")), number);
    }
    QStringList names;
    for (const PlistValue& definition : fieldDefinitions) {
        const PlistDictionary* field = definition.asDictionary();
        const QString name =
            field ? stringIn(*field, DatafileSettingsData::FieldNameKey) : QString();
        names.append(name);
        const QString value =
            field ? stringIn(record.fields(), stringIn(*field, DatafileSettingsData::FieldIdentifierKey))
                  : QString();
        if (options.dontPrintEmptyFields && value.isEmpty())
            continue;
        // The name and the colon after it.
        markBold(text.size(), name.size() + 1);
        text += name + QStringLiteral(": ") + value + QLatin1Char('\n');
    }
    if (!record.textString().isEmpty() && !fieldDefinitions.isEmpty()) {
        text += QLatin1Char('\n');
        markBold(text.size(), textName.size() + 1);
        text += textName + QStringLiteral(":\n");
    }
    if (!fieldDefinitions.isEmpty()) {
        QFont nameFont = font;
        nameFont.setBold(bold);
        printed.tabStops = fieldNameTabStops(names, nameFont);
    }
    return printed;
}

QList<double> RecordPrintText::fieldNameTabStops(const QStringList& names, const QFont& font)
{
    const QFontMetricsF metrics(font, PrintableView::pointDevice());
    double widest = 0;
    for (const QString& name : names)
        widest = std::max(widest, metrics.horizontalAdvance(name));
    QList<double> stops;
    for (int i = 0; i < TabStopCount; ++i)
        stops.append(widest + TabStopIndent + TabStopSpacing * i);
    return stops;
}
