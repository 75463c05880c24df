#include "ImportTextFilesController.h"

#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "EditorWindowController.h"
#include "FeatureContext.h"
#include "ImportRecordSink.h"
#include "Localization.h"
#include "TextFilesFolder.h"

#include <QCheckBox>

void ImportTextFilesController::buildInterface(QDialog* window)
{
    ImportSheetBase::buildInterface(window);
    namesInFirstRecord()->hide();
}

void ImportTextFilesController::importFolderOfTextFiles(NewDatafileMaker sender)
{
    chooseFolder(std::move(sender), false);
}

void ImportTextFilesController::importFolderOfTextFilesWithFileNames(NewDatafileMaker sender)
{
    chooseFolder(std::move(sender), true);
}

void ImportTextFilesController::chooseFolder(NewDatafileMaker sender, bool withFileNames)
{
    m_folderURL.clear();
    m_withFileNames = withFileNames;
    const std::optional<QString> folder = chooseImportFolder(
        std::move(sender), localized(QStringLiteral("Select a Folder of Text Files to Import")));
    if (!folder)
        return;
    // Read only once the user said where the records go.
    m_folderURL = *folder;
    EditorWindowController* current = currentEditor();
    beginImportSheetOffering(!withFileNames ||
                             (current && current->engine().currentRecordNumberOfFields() != 0));
}

void ImportTextFilesController::importDidEnd()
{
    if (m_withFileNames)
        importFolderOfTextFilesWithFileNamesDidEnd(1);
    else
        importFolderOfTextFilesDidEnd(1);
}

void ImportTextFilesController::importFolderOfTextFilesDidEnd(int returnCode)
{
    if (returnCode == 1)
        importFolder(false);
}

void ImportTextFilesController::importFolderOfTextFilesWithFileNamesDidEnd(int returnCode)
{
    if (returnCode == 1)
        importFolder(true);
}

void ImportTextFilesController::importFolder(bool withFileNames)
{
    const std::optional<QStringList> fieldNames =
        withFileNames
            ? std::optional<QStringList>(QStringList{localized(QStringLiteral("File Name"))})
            : std::nullopt;
    FeatureContext* target =
        importTarget(fieldNames, withFileNames ? QStringLiteral("Folder of Files")
                                               : QStringLiteral("Folder of FIles"));
    if (!target)
        return;
    target->progress().startIndeterminateProgressPanel(localized(QStringLiteral("Importing...")));
    QList<ImportRecordSink::Record> records;
    for (TextFilesFolder::TextFile& file : TextFilesFolder::read(m_folderURL)) {
        records.append({withFileNames ? QStringList{std::move(file.name)} : QStringList{},
                        std::move(file.text), std::move(file.rtfd)});
    }
    const qint64 added = ImportRecordSink::add(*target, records, {mergeIntoCurrentIsOn(), false});
    target->progress().endIndeterminateProgressPanel();
    if (createNewIsOn() && added > 0) {
        bringToFront(*target);
        target->document()->saveDocument();
    }
}
