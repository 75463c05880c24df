#include "ImportCSVSheetController.h"

#include "FeatureContext.h"
#include "ImportRecordSink.h"
#include "Localization.h"
#include "Presenter.h"
#include "StringFormat.h"

void ImportCSVSheetController::importCSVFile(NewDatafileMaker sender)
{
    m_CSVFileContent.clear();
    m_parsed = {};
    const std::optional<QString> text = openImportFile(
        std::move(sender), {{QStringLiteral("text"), QStringLiteral("txt"), QStringLiteral("csv")},
                            localized(QStringLiteral("Select a CSV File to Import")), {}});
    if (!text)
        return;
    m_CSVFileContent = *text;
    if (convertCSVtoArrayOfRecords() == 0) {
        ImportRecordSink::reportNothingImported(
            currentWindow(),
            stringWithFormat(localized(QStringLiteral("%@ does not have the correct CSV format.")),
                             fileName()));
        return;
    }
    beginImportSheet(m_parsed.fieldCount);
}

qsizetype ImportCSVSheetController::convertCSVtoArrayOfRecords()
{
    m_parsed = CSVRecordReader::convertCSVtoArrayOfRecords(m_CSVFileContent);
    return m_parsed.fieldCount;
}

void ImportCSVSheetController::importCSVFileDidEnd(int returnCode)
{
    if (returnCode != 1 || m_parsed.records.isEmpty())
        return;
    const bool names = namesInFirstRecordIsOn();
    QStringList fieldNames;
    if (names) {
        fieldNames = m_parsed.records.constFirst();
    } else {
        for (qsizetype field = 1; field <= m_parsed.fieldCount; ++field)
            fieldNames.append(QString::number(field));
    }
    FeatureContext* target = importTarget(fieldNames);
    if (!target)
        return;
    QList<ImportRecordSink::Record> records;
    records.reserve(m_parsed.records.size());
    // The names row is never a record, whichever datafile the records go into.
    for (qsizetype index = names ? 1 : 0; index < m_parsed.records.size(); ++index)
        records.append({m_parsed.records.at(index), std::nullopt, {}});
    target->progress().startIndeterminateProgressPanel(localized(QStringLiteral("Importing...")));
    ImportRecordSink::add(*target, records, {mergeIntoCurrentIsOn(), true});
    target->progress().endIndeterminateProgressPanel();
    // A new datafile stays unsaved: its title says so, and closing it asks.
    if (createNewIsOn())
        bringToFront(*target);
    if (m_parsed.malformedRecordCount != 0)
        reportMalformedData(target->window());
}

void ImportCSVSheetController::reportMalformedData(QWidget* window) const
{
    QStringList lines;
    for (const qint64 line : m_parsed.malformedLines)
        lines.append(QString::number(line));
    AlertRequest alert;
    alert.messageText = MalformedDataMessage;
    alert.informativeText =
        stringWithFormat(localized(QStringLiteral(
                             "There were %d instances of extra or missing fields.\n\nSearch on "
                             "\"<EXTRA FIELD>\" and \"<MISSING FIELD>\" to see them.")),
                         m_parsed.malformedRecordCount) +
        QStringLiteral("\n\n") + localized(QStringLiteral("Lines: ")) + lines.join(u", ");
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, window, [](const AlertResponse&) {});
}
