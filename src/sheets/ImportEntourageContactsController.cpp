#include "ImportEntourageContactsController.h"

#include "DatafileDocument.h"
#include "EntourageContactsReader.h"
#include "FeatureContext.h"
#include "ImportRecordSink.h"
#include "Localization.h"
#include "TabDelimitedRecordReader.h"

#include <QCheckBox>

void ImportEntourageContactsController::buildInterface(QDialog* window)
{
    ImportSheetBase::buildInterface(window);
    // The first line always names the columns.
    namesInFirstRecord()->hide();
}

void ImportEntourageContactsController::importEntourageContactsFile(NewDatafileMaker sender)
{
    m_entourageContactsFileContent.clear();
    const std::optional<QString> text = openImportFile(
        std::move(sender), {{}, localized(QStringLiteral("Select a Contacts File to Import")), {}});
    if (!text)
        return;
    m_entourageContactsFileContent = *text;
    m_incomingFieldCount = TabDelimitedRecordReader::incomingFieldCount(*text);
    beginImportSheet(m_incomingFieldCount);
}

void ImportEntourageContactsController::importEntourageContactsFileDidEnd(int returnCode)
{
    if (returnCode != 1)
        return;
    FeatureContext* target =
        importTarget(EntourageContactsReader::fieldNames(m_entourageContactsFileContent),
                     QStringLiteral("Entourage Contacts"));
    if (!target)
        return;
    target->progress().startIndeterminateProgressPanel(localized(QStringLiteral("Importing...")));
    convertEntourageContactsFile(*target);
    target->progress().endIndeterminateProgressPanel();
    // Saved even when only the names line was there: the new datafile holds its fields.
    if (createNewIsOn()) {
        bringToFront(*target);
        target->document()->saveDocument();
    }
}

void ImportEntourageContactsController::convertEntourageContactsFile(FeatureContext& target)
{
    QList<ImportRecordSink::Record> records;
    for (EntourageContactsReader::Contact& contact :
         EntourageContactsReader::convertEntourageContactsFile(m_entourageContactsFileContent))
        records.append({std::move(contact.values), std::move(contact.text), {}});
    ImportRecordSink::add(target, records, {mergeIntoCurrentIsOn(), true});
}
