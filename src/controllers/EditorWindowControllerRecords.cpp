// The editor window's current record: every rule lives in CurrentRecordEngine, which
// other features reach through engine(); the window shows what the engine tells it.
#include "EditorWindowController.h"

#include "DatafileDocument.h"
#include "EditorTableController.h"
#include "FreeformTextView.h"
#include "Localization.h"
#include "RXTableView.h"
#include "VKImageCategories.h"

#include <QLabel>

void EditorWindowController::goToNextRecord()
{
    m_engine->goToNextRecord();
}

void EditorWindowController::showRecordLocked(bool locked)
{
    m_recordLockedImageName =
        locked ? QStringLiteral("TB_C_recordlocked") : QStringLiteral("TB_C_recordunlocked");
    if (!m_recordLocked)
        return;
    const QPixmap image = VKImageCategories::imageNamed(m_recordLockedImageName);
    if (image.isNull())
        m_recordLocked->setText(locked ? localized(QStringLiteral("Locked")) : QString());
    else
        m_recordLocked->setPixmap(image);
}

void EditorWindowController::activateField()
{
    if (!m_tableController)
        return;
    m_tableController->currentTableView()->setFocus();
    m_tableController->tableViewHit();
}

void EditorWindowController::activateFreeformText()
{
    if (m_freeformTextView)
        m_freeformTextView->setFocus();
}

QString EditorWindowController::addressBlockText() const
{
    return datafileDocument()->addressBlockAtIndex(m_engine->indexOfCurrentRecord());
}
