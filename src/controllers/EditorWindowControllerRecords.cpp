// The editor window's current record: every rule lives in CurrentRecordEngine, which
// other features reach through engine(); the window shows what the engine tells it.
#include "EditorWindowController.h"

#include "DatafileDocument.h"
#include "Localization.h"

#include <QLabel>

void EditorWindowController::goToNextRecord()
{
    m_engine->goToNextRecord();
}

void EditorWindowController::showRecordLocked(bool locked)
{
    if (m_recordLocked)
        m_recordLocked->setText(locked ? localized(QStringLiteral("Locked")) : QString());
}

QString EditorWindowController::addressBlockText() const
{
    return datafileDocument()->addressBlockAtIndex(m_engine->indexOfCurrentRecord());
}
