// Deleting the current record, asked first or at once.
#include "EditorRecordsController.h"

#include "EditorWindowController.h"
#include "Localization.h"
#include "Presenter.h"

#include <QPointer>

bool EditorRecordsController::mayDeleteRecord()
{
    const CurrentRecordEngine& engine = m_editor.engine();
    // The last record always stays; a clone shares a catalog it never changes.
    if (engine.catalog()->count() == 1) {
        Presenter::shared().beep();
        return false;
    }
    if (engine.nowSyncing())
        return false;
    if (engine.catalog()->count() < 2 || engine.isClone() || !engine.currentRecord()) {
        Presenter::shared().beep();
        return false;
    }
    return true;
}

void EditorRecordsController::beginDeleteSheet(const QString& message)
{
    AlertRequest alert;
    alert.style = AlertRequest::Style::Critical;
    alert.messageText = localized(message);
    alert.informativeText =
        m_editor.hasSyncID()
            ? localized(QStringLiteral("When this datafile is synchronized, this record will also be "
                                       "deleted on the other sync file.\n\nAre you sure you want to "
                                       "delete the current record?"))
            : localized(QStringLiteral("Are you sure you want to delete the current record?"));
    alert.buttons = {localized(QStringLiteral("Delete")), localized(QStringLiteral("Cancel"))};
    const QPointer<EditorRecordsController> self(this);
    Presenter::shared().beginAlertSheet(alert, m_editor.window(), [self](const AlertResponse& response) {
        if (self)
            self->deleteElementSheetDidEnd(response.returnCode == AlertFirstButtonReturn ? 1 : 0);
    });
}

void EditorRecordsController::deleteRecord()
{
    if (mayDeleteRecord())
        beginDeleteSheet(QStringLiteral("Delete Record?"));
}

void EditorRecordsController::deleteRecordWithToggle(Qt::KeyboardModifiers modifiers)
{
    if (!mayDeleteRecord())
        return;
    if (modifiers.testFlags(Qt::ShiftModifier | Qt::AltModifier))
        deleteElementSheetDidEnd(1);
    else
        beginDeleteSheet(QStringLiteral("Delete Record"));
}

void EditorRecordsController::deleteRecordWithoutWarning()
{
    if (mayDeleteRecord())
        deleteElementSheetDidEnd(1);
}

void EditorRecordsController::deleteElementSheetDidEnd(int returnCode)
{
    CurrentRecordEngine& engine = m_editor.engine();
    if (returnCode != 1 || engine.nowSyncing() || engine.catalog()->count() == 1)
        return;
    m_editor.endEditing();
    engine.deleteCurrentRecord();
}
