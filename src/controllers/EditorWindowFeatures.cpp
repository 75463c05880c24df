#include "EditorWindowFeatures.h"

#include "EditorFieldsController.h"
#include "EditorRecordsController.h"
#include "EditorSearchController.h"
#include "EditorWindowController.h"

#include <QDialog>

DatafileDocument* EditorWindowFeatures::datafileDocument() const
{
    return m_editor.datafileDocument();
}

QWidget* EditorWindowFeatures::sheetWindow()
{
    return m_editor.window();
}

QWidget* EditorWindowFeatures::frontWindow()
{
    EditorWindowController* main = EditorWindowController::mainEditor();
    return main ? main->window() : nullptr;
}

QString EditorWindowFeatures::windowTitle() const
{
    return m_editor.windowTitle();
}

bool EditorWindowFeatures::nowSyncing() const
{
    return m_editor.nowSyncing();
}

void EditorWindowFeatures::endEditing()
{
    m_editor.endEditing();
}

void EditorWindowFeatures::reloadTables()
{
    m_editor.reloadTables();
}

void EditorWindowFeatures::reloadStatusBar()
{
    m_editor.reloadStatusBar();
}

FreeformTextView* EditorWindowFeatures::freeformTextView() const
{
    return m_editor.freeformTextView();
}

EditorTableController* EditorWindowFeatures::tableController() const
{
    return m_editor.tableController();
}

void EditorWindowFeatures::makeMain()
{
    m_editor.makeMainEditor();
}

bool EditorWindowFeatures::findInAllFields(const QString& text, bool caseSensitive, bool wholeWord)
{
    return m_editor.editorSearchController().forwardSearchForString(
        text, caseSensitive, wholeWord, false, EditorSearchController::AllFieldsScope, false, false,
        true);
}

void EditorWindowFeatures::selectAllRecords()
{
    m_editor.recordsController().selectAllRecords();
}

std::shared_ptr<RecordData> EditorWindowFeatures::addNewRecord()
{
    return m_editor.recordsController().addNewRecord();
}

void EditorWindowFeatures::addRecord()
{
    m_editor.recordsController().addRecord();
}

std::shared_ptr<RecordData> EditorWindowFeatures::addRecordForModification()
{
    return m_editor.recordsController().addRecordForModification();
}

qint64 EditorWindowFeatures::stripDuplicateRecords(bool compareRichText)
{
    return m_editor.recordsController().stripDuplicateRecords(compareRichText);
}

QString EditorWindowFeatures::addNewFieldWithName(const QString& name)
{
    return m_editor.fieldsController().addNewFieldWithName(name);
}

QString EditorWindowFeatures::appendNewFieldWithName(const QString& name)
{
    return m_editor.fieldsController().appendNewFieldWithName(name);
}

void EditorWindowFeatures::resetSplitView()
{
    m_editor.fieldsController().resetSpliterView();
}

void EditorWindowFeatures::makeThisTheFirstRecord()
{
    m_editor.recordsController().makeThisTheFirstRecord();
}

void EditorWindowFeatures::makeThisTheLastRecord()
{
    m_editor.recordsController().makeThisTheLastRecord();
}

void EditorWindowFeatures::activateFreeformLinks()
{
    m_editor.activateFreeformLinks();
}

bool EditorWindowFeatures::pasteIntoFreeformText(const QMimeData* pasteboard, bool plainText)
{
    return m_editor.recordsController().pasteIntoFreeformText(pasteboard, plainText);
}

void EditorWindowFeatures::startIndeterminateProgressPanel(const QString& message)
{
    m_editor.startIndeterminateProgressPanel(message);
}

void EditorWindowFeatures::incrementProgressPanel(const QString& message)
{
    m_editor.incrementProgressPanel(message);
}

void EditorWindowFeatures::endIndeterminateProgressPanel()
{
    m_editor.endIndeterminateProgressPanel();
}

QWidget* EditorWindowFeatures::progressPanel() const
{
    return m_editor.progressPanel();
}
