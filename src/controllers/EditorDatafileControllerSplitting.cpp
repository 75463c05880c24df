// Splitting the datafile: the selected records, or the second half of all of them, go
// into a new datafile and out of this one.
#include "EditorDatafileController.h"

#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "FeatureContext.h"
#include "FreeformTextView.h"
#include "Localization.h"
#include "Presenter.h"

#include <QPointer>

void EditorDatafileController::deleteSelectedRecords()
{
    CurrentRecordEngine& engine = m_context.engine();
    const std::shared_ptr<SubsetSortedData> catalog = engine.catalog();
    if (!catalog || engine.isClone())
        return;
    const QStringList selected = catalog->selectedIdentifiers();
    QList<std::shared_ptr<RecordData>> records;
    records.reserve(selected.size());
    for (auto identifier = selected.crbegin(); identifier != selected.crend(); ++identifier) {
        if (std::shared_ptr<RecordData> record = engine.recordForIdentifier(*identifier))
            records.append(std::move(record));
    }
    m_context.changes().removeRecords(records);
    engine.setCurrentRecord(nullptr);
    m_context.host().selectAllRecords();
    engine.setDatafileChanged();
    engine.loadRecordAtIndex(0);
    if (catalog->count() == 0) {
        // Nothing left to show: the editor stands empty, ready for a new record.
        m_context.host().freeformTextView()->loadPlainText(QString());
        m_context.host().reloadTables();
        m_context.host().reloadStatusBar();
    }
    engine.setLastHitField(CurrentRecordEngine::NoHit);
    m_context.document()->saveDocument();
}

void EditorDatafileController::splitDatafile()
{
    CurrentRecordEngine& engine = m_context.engine();
    if (engine.isClone() || !engine.catalog()) {
        Presenter::shared().beep();
        return;
    }
    m_context.host().endEditing();
    engine.updateCurrentRecord();
    engine.autoSaveChanges(false);
    if (m_context.haveCurrentSelection()) {
        moveSelectedRecordsToNewFile();
        return;
    }
    AlertRequest alert;
    alert.messageText = localized(QStringLiteral("All records are selected."));
    alert.informativeText = localized(QStringLiteral("Do you wish to split the datafile in half?"));
    alert.buttons = {localized(QStringLiteral("Split in half")), localized(QStringLiteral("Cancel"))};
    const QPointer<EditorDatafileController> self(this);
    Presenter::shared().beginAlertSheet(
        alert, m_context.window(), [self](const AlertResponse& response) {
            if (self)
                self->splitDatafileDidEnd(response.returnCode == AlertFirstButtonReturn ? 1 : 0);
        });
}

void EditorDatafileController::splitDatafileDidEnd(int returnCode)
{
    if (returnCode == 0)
        return;
    const std::shared_ptr<SubsetSortedData> catalog = m_context.engine().catalog();
    // The first half is omitted, so that the second half is what moves.
    const qint64 half = catalog->count() / 2;
    const QStringList selected = catalog->selectedIdentifiers();
    for (qint64 index = 0; index < half && index < selected.size(); ++index)
        catalog->omitIdentifier(selected.at(index), index == half - 1);
    moveSelectedRecordsToNewFile();
}

void EditorDatafileController::moveSelectedRecordsToNewFile()
{
    // Nothing leaves this datafile unless the new one holds it.
    if (saveSelectedRecords(true))
        deleteSelectedRecords();
    else
        m_context.host().selectAllRecords();
}
