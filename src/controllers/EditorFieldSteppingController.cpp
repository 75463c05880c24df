#include "EditorFieldSteppingController.h"

#include "BasicViewModel.h"
#include "EditorTableController.h"
#include "EditorWindowController.h"
#include "ListViewModel.h"

EditorFieldSteppingController::EditorFieldSteppingController(EditorWindowController& editor)
    : m_editor(editor)
{
    m_editor.registerAction(QStringLiteral("selectNextField:"), [this](QObject*) { selectNextField(); });
    m_editor.registerAction(QStringLiteral("selectPreviousField:"),
                            [this](QObject*) { selectPreviousField(); });
    m_editor.registerAction(QStringLiteral("selectNextRecord:"), [this](QObject*) { selectNextRecord(); });
    m_editor.registerAction(QStringLiteral("selectPreviousRecord:"),
                            [this](QObject*) { selectPreviousRecord(); });
}

qint64 EditorFieldSteppingController::steppedField(qint64 field, qint64 count, bool forward)
{
    if (forward)
        return field + 1 < count ? field + 1 : 0;
    return field > 0 ? field - 1 : std::max<qint64>(count - 1, 0);
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
    if (count <= 0)
        return;
    tables->editFieldOfCurrentRecord(steppedField(qint64(tables->currentField()), count, forward));
}

void EditorFieldSteppingController::stepRecord(bool forward)
{
    const qint64 field = qint64(m_editor.tableController()->currentField());
    m_editor.performAction(forward ? QStringLiteral("goToNextRecord:")
                                   : QStringLiteral("goToPreviousRecord:"));
    m_editor.tableController()->editFieldOfCurrentRecord(field);
}
