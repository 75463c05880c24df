#include "EditorFieldSteppingController.h"

#include "EditorTableController.h"
#include "EditorWindowController.h"
#include "ListViewModel.h"
#include "RXTableView.h"

EditorFieldSteppingController::EditorFieldSteppingController(EditorWindowController& editor)
    : m_editor(editor)
{
    m_editor.registerAction(QStringLiteral("selectNextField:"),
                            [this](QObject*) { selectNextField(); });
    m_editor.registerAction(QStringLiteral("selectPreviousField:"),
                            [this](QObject*) { selectPreviousField(); });
    m_editor.registerAction(QStringLiteral("selectNextRecord:"),
                            [this](QObject*) { selectNextRecord(); });
    m_editor.registerAction(QStringLiteral("selectPreviousRecord:"),
                            [this](QObject*) { selectPreviousRecord(); });
}

bool EditorFieldSteppingController::basicViewShown() const
{
    return m_editor.tableController()->currentTableViewName() == EditorTableController::BasicMode;
}

void EditorFieldSteppingController::stepField(bool forward)
{
    EditorTableController* tables = m_editor.tableController();
    // The List View's last column is the Freeform Text Area's.
    const qint64 count = basicViewShown() ? m_editor.engine().currentRecordNumberOfFields()
                                          : qint64(tables->listViewModel()->columnCount()) - 1;
    // As Tab and Backtab move in a cell, wrapping at either end.
    const std::optional<EditorTableController::CellTarget> target =
        EditorTableController::movementTarget(true,
                                              forward ? TextMovement::Tab : TextMovement::Backtab,
                                              qint64(tables->currentField()), count);
    if (target)
        tables->editFieldOfCurrentRecord(target->field);
}

void EditorFieldSteppingController::stepRecord(bool forward)
{
    const qint64 field = qint64(m_editor.tableController()->currentField());
    m_editor.performAction(forward ? QStringLiteral("goToNextRecord:")
                                   : QStringLiteral("goToPreviousRecord:"));
    m_editor.tableController()->editFieldOfCurrentRecord(field);
}
