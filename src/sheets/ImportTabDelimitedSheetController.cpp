#include "ImportTabDelimitedSheetController.h"

#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "FeatureContext.h"
#include "ImportRecordSink.h"
#include "Localization.h"
#include "Presenter.h"
#include "TabDelimitedRecordReader.h"

void ImportTabDelimitedSheetController::importTabDelimitedFile(NewDatafileMaker sender)
{
    m_tabDelimitedFileContent.clear();
    const std::optional<QString> text = openImportFile(
        std::move(sender), {{QStringLiteral("text"), QStringLiteral("txt"), QStringLiteral("tab")},
                            localized(QStringLiteral("Select a Tab-delimited File to Import")), {}});
    if (!text)
        return;
    m_tabDelimitedFileContent = *text;
    m_incomingFieldCount = TabDelimitedRecordReader::incomingFieldCount(m_tabDelimitedFileContent);
    beginImportSheet(m_incomingFieldCount);
}

void ImportTabDelimitedSheetController::importTabDelimitedFileDidEnd(int returnCode)
{
    if (returnCode != 1)
        return;
    QStringList fieldNames;
    if (namesInFirstRecordIsOn()) {
        fieldNames = TabDelimitedRecordReader::firstLinePieces(m_tabDelimitedFileContent);
    } else {
        for (qsizetype field = 1; field <= m_incomingFieldCount; ++field)
            fieldNames.append(QString::number(field));
    }
    FeatureContext* target = importTarget(fieldNames);
    if (!target)
        return;
    target->progress().startIndeterminateProgressPanel(localized(QStringLiteral("Importing...")));
    const bool tooManyTabs = convertTabDelimitedFile(*target);
    target->progress().endIndeterminateProgressPanel();
    if (createNewIsOn()) {
        bringToFront(*target);
        // A new datafile that lost data stays unsaved, for the user to look at first.
        if (!tooManyTabs) {
            target->document()->saveDocument();
            return;
        }
    }
    if (tooManyTabs)
        reportTooManyTabs(target->window());
}

bool ImportTabDelimitedSheetController::convertTabDelimitedFile(FeatureContext& target)
{
    const qsizetype fieldCount = target.hasCurrentRecordEngine()
                                     ? target.engine().currentRecordNumberOfFields()
                                     : target.settings()->fields().size();
    TabDelimitedRecordReader::Result read = TabDelimitedRecordReader::convertTabDelimitedFile(
        m_tabDelimitedFileContent, fieldCount, namesInFirstRecordIsOn());
    QList<ImportRecordSink::Record> records;
    records.reserve(read.records.size());
    for (QStringList& values : read.records)
        records.append({std::move(values), std::nullopt, {}});
    ImportRecordSink::add(target, records, {mergeIntoCurrentIsOn(), true});
    return read.tooManyTabs;
}

void ImportTabDelimitedSheetController::reportTooManyTabs(QWidget* window) const
{
    AlertRequest alert;
    alert.messageText =
        localized(QStringLiteral("Tab-delimited source contained some malformed records."));
    alert.informativeText = localized(QStringLiteral(
        "Some records contained too many tabs. As a result, some data may have been omitted."));
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, window, [](const AlertResponse&) {});
}
