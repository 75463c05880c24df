#include "EditorSelectionController.h"

#include "EditorWindowController.h"
#include "Presenter.h"
#include "SelectRecordsSheetController.h"

#include <QPointer>

EditorSelectionController::EditorSelectionController(EditorWindowController& editor)
    : m_editor(editor)
{
    m_editor.registerAction(QStringLiteral("selectRecords:"),
                            [this](QObject*) { selectRecords(false); });
    m_editor.registerAction(QStringLiteral("selectFromOmitted:"),
                            [this](QObject*) { selectRecords(true); });
    m_editor.registerAction(QStringLiteral("selectRecordsFrom:"),
                            [this](QObject*) { selectRecordsFrom(); });
    m_editor.registerAction(QStringLiteral("deselectCurrentRecord:"),
                            [this](QObject*) { deselectCurrentRecord(); });
    m_editor.registerAction(QStringLiteral("switchToOmitted:"), [this](QObject*) { switchToOmitted(); });
    m_editor.registerAction(QStringLiteral("revertToPreviousSelection:"),
                            [this](QObject*) { revertToPreviousSelection(); });
}

void EditorSelectionController::commitEditing()
{
    CurrentRecordEngine& engine = m_editor.engine();
    m_editor.endEditing();
    engine.updateCurrentRecord();
    engine.saveIfDifferentRecord(nullptr);
}

void EditorSelectionController::commitTyping()
{
    m_editor.endEditing();
    m_editor.engine().updateCurrentRecord();
    m_editor.engine().autoSaveChanges(false);
}

void EditorSelectionController::selectRecords(bool fromOmitted)
{
    if (m_editor.nowSyncing())
        return;
    commitEditing();
    m_fromOmitted = fromOmitted;
    selectRecordsFrom();
}

void EditorSelectionController::selectRecordsFrom()
{
    if (m_editor.nowSyncing())
        return;
    commitEditing();
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    auto* sheet = VKSheetController::controller<SelectRecordsSheetController>();
    // The window may close with the sheet up; its did-end then has no one to tell.
    const QPointer<EditorSelectionController> self(this);
    sheet->beginSheetWithCriteria(settings->criteria(), settings->fields(), settings->textName(),
                                  m_editor.window(), [self, sheet](QWidget*, int returnCode) {
                                      if (self)
                                          self->selectRecordsSheetDidEnd(sheet, returnCode);
                                  });
}

void EditorSelectionController::selectRecordsSheetDidEnd(SelectRecordsSheetController* sheet,
                                                         int returnCode)
{
    if (returnCode == 1) {
        sheet->handleOkayClick();
        const std::shared_ptr<SubsetSortCriteriaData> criteria = sheet->criteria();
        CurrentRecordEngine& engine = m_editor.engine();
        if (criteria) {
            m_editor.settings()->setCriteria(criteria);
            engine.catalog()->selectWithCriteria(criteria, m_fromOmitted);
        }
        engine.updateCurrentRecord();
        engine.autoSaveChanges(false);
        engine.loadRecordAtIndex(0);
        engine.freshenWindowContentSettings();
    }
    // The criteria are the catalog's now: the reset must not change them.
    sheet->setCriteria(nullptr);
    sheet->resetSelectRecordsSheet();
}

void EditorSelectionController::deselectCurrentRecord()
{
    CurrentRecordEngine& engine = m_editor.engine();
    // A clone shares its document's catalog, which it never changes.
    if (engine.isClone())
        return;
    // Omitting the only record shown would leave nothing to show.
    if (engine.selectedRecordCount() < 2) {
        Presenter::shared().beep();
        return;
    }
    commitTyping();
    const qint64 index = engine.indexOfCurrentRecord();
    const std::shared_ptr<RecordData> record = engine.currentRecord();
    if (!record)
        return;
    engine.catalog()->omitIdentifier(record->identifier(), true);
    engine.loadRecordAtIndex(index);
}

void EditorSelectionController::switchToOmitted()
{
    CurrentRecordEngine& engine = m_editor.engine();
    if (engine.nowSyncing() || engine.isClone())
        return;
    // What was typed reaches the record before another is shown.
    commitTyping();
    if (!engine.catalog()->switchToOmitted()) {
        Presenter::shared().beep();
        return;
    }
    engine.loadCurrentRecord();
}

void EditorSelectionController::revertToPreviousSelection()
{
    CurrentRecordEngine& engine = m_editor.engine();
    if (engine.isClone())
        return;
    commitTyping();
    engine.catalog()->revertToPrevious();
    engine.loadCurrentRecord();
}
