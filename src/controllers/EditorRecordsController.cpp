// The Records commands that move between records and in the datafile's order, lock
// records and show their information.
#include "EditorRecordsController.h"

#include "DatafileDocument.h"
#include "EditorDrawerController.h"
#include "EditorWindowController.h"
#include "GotoRecordSheetController.h"
#include "MoveRecordSheetController.h"
#include "RecordInfoPaletteController.h"

#include <QApplication>
#include <QPointer>

EditorRecordsController::EditorRecordsController(EditorWindowController& editor) : m_editor(editor)
{
    registerCommands();
}

void EditorRecordsController::updateDrawerContents()
{
    m_editor.drawerController().updateDrawerContents();
}

void EditorRecordsController::registerCommand(const char* selector, std::function<void()> command)
{
    m_editor.registerAction(QString::fromLatin1(selector), [this, command](QObject*) {
        if (!m_editor.nowSyncing())
            command();
    });
}

void EditorRecordsController::registerCommands()
{
    CurrentRecordEngine& engine = m_editor.engine();
    registerCommand("goToFirstRecord:", [this, &engine] {
        engine.goToFirstRecord();
        updateDrawerContents();
    });
    registerCommand("goToLastRecord:", [this, &engine] {
        engine.goToLastRecord();
        updateDrawerContents();
    });
    registerCommand("goToNextRecord:", [this, &engine] {
        engine.goToNextRecord();
        updateDrawerContents();
    });
    registerCommand("goToPreviousRecord:", [this, &engine] {
        engine.goToPreviousRecord();
        updateDrawerContents();
    });
    registerCommand("goToRecordNumber:", [this] { goToRecordNumber(); });
    registerCommand("goBackOneRecord:", [&engine] { engine.goBackOneRecord(); });
    registerCommand("goForwardOneRecord:", [&engine] { engine.goForwardOneRecord(); });

    registerCommand("addRecord:", [this] { addRecord(); });
    registerCommand("addRecordWithPaste:", [this] { addRecordWithPaste(); });
    registerCommand("addRecordWithToggle:",
                    [this] { addRecordWithToggle(QApplication::keyboardModifiers()); });
    registerCommand("addRecordWithPasteAsPlainText:", [this] { addRecordWithPasteAsPlainText(); });

    registerCommand("deleteRecord:", [this] { deleteRecord(); });
    registerCommand("deleteRecordWithToggle:",
                    [this] { deleteRecordWithToggle(QApplication::keyboardModifiers()); });
    registerCommand("deleteRecordWithoutWarning:", [this] { deleteRecordWithoutWarning(); });

    registerCommand("deleteAllSelectedRecords:", [this] { deleteAllSelectedRecords(); });
    registerCommand("duplicateCurrentRecord:", [this] { duplicateCurrentRecord(); });
    registerCommand("removeDuplicateRecords:", [this] { removeDuplicateRecords(); });
    registerCommand("importTextFileAsRecord:", [this] { importTextFileAsRecord(); });
    // Copying goes on while the window syncs.
    m_editor.registerAction(QStringLiteral("copyRecord:"), [this](QObject*) { copyRecord(); });
    m_editor.registerAction(QStringLiteral("copyRecordWithFieldNames:"),
                            [this](QObject*) { copyRecordWithFieldNames(); });

    registerCommand("makeThisTheFirstRecord:", [this] { makeThisTheFirstRecord(); });
    registerCommand("makeThisTheLastRecord:", [this] { makeThisTheLastRecord(); });
    registerCommand("moveAfterRecordNumber:", [this] { moveAfterRecordNumber(); });
    registerCommand("lockAllRecords:", [this] { lockAllRecords(); });
    registerCommand("unlockAllRecords:", [this] { unlockAllRecords(); });
    registerCommand("revertAllRecordsLockedState:", [this] { revertAllRecordsLockedState(); });
    registerCommand("toggleRecordLocked:", [this] { toggleRecordLocked(); });
    registerCommand("showRecordInfo:", [this] { showRecordInfo(); });
    registerCommand("selectAllRecords:", [this] { selectAllRecords(); });
}

// Navigation

void EditorRecordsController::goToRecordNumber()
{
    const CurrentRecordEngine& engine = m_editor.engine();
    if (engine.nowSyncing() || engine.selectedRecordCount() <= 1)
        return;
    auto* sheet = VKSheetController::controller<GotoRecordSheetController>();
    const QPointer<EditorRecordsController> self(this);
    sheet->beginGotoSheetWithMaximum(engine.selectedRecordCount(), m_editor.window(),
                                     [self, sheet](QWidget*, int returnCode) {
                                         if (self)
                                             self->gotoRecordSheetDidEnd(returnCode,
                                                                         sheet->recordToGoTo());
                                     });
}

void EditorRecordsController::gotoRecordSheetDidEnd(int returnCode, qint64 index)
{
    if (returnCode != 1 || m_editor.nowSyncing())
        return;
    m_editor.engine().goToRecordAtIndex(index);
}

// Order

void EditorRecordsController::moveCurrentRecord(qint64 catalogIndex, qint64 shown)
{
    CurrentRecordEngine& engine = m_editor.engine();
    m_editor.endEditing();
    m_editor.activateFindBox();
    engine.saveIfDifferentRecord(nullptr);
    engine.catalog()->moveIdentifier(engine.currentRecord()->identifier(), catalogIndex);
    engine.loadRecordAtIndex(shown);
    engine.freshenWindowContentSettings();
    engine.setDatafileChanged();
}

void EditorRecordsController::makeThisTheFirstRecord()
{
    const CurrentRecordEngine& engine = m_editor.engine();
    // A clone shares its document's catalog, which it never changes.
    if (engine.isClone() || !engine.currentRecord() || engine.indexOfCurrentRecord() == 0)
        return;
    moveCurrentRecord(0, 0);
}

void EditorRecordsController::makeThisTheLastRecord()
{
    const CurrentRecordEngine& engine = m_editor.engine();
    const qint64 lastCatalogIndex = engine.catalog()->count() - 1;
    if (engine.isClone() || !engine.currentRecord() ||
        engine.indexOfCurrentRecord() >= lastCatalogIndex)
        return;
    moveCurrentRecord(lastCatalogIndex, engine.lastIndex());
}

void EditorRecordsController::moveAfterRecordNumber()
{
    const CurrentRecordEngine& engine = m_editor.engine();
    if (engine.isClone() || engine.selectedRecordCount() <= 1)
        return;
    auto* sheet = VKSheetController::controller<MoveRecordSheetController>();
    const QPointer<EditorRecordsController> self(this);
    sheet->beginMoveAfterSheetWithMaximum(engine.selectedRecordCount(), m_editor.window(),
                                          [self, sheet](QWidget*, int returnCode) {
                                              if (self)
                                                  self->moveAfterRecordSheetDidEnd(
                                                      returnCode, sheet->recordToMoveAfter());
                                          });
}

void EditorRecordsController::moveAfterRecordSheetDidEnd(int returnCode, qint64 index)
{
    const CurrentRecordEngine& engine = m_editor.engine();
    if (returnCode != 1 || engine.nowSyncing() || engine.isClone() || !engine.currentRecord() ||
        !engine.catalog()->isValidSelectedIndex(index) || index == engine.indexOfCurrentRecord())
        return;
    // Taken out, then put in at that index of the others: after the record that bore the
    // number when moving down, before it when moving up.
    moveCurrentRecord(index, index);
}

// Locks

void EditorRecordsController::setLockOfSelectedRecords(bool locked)
{
    CurrentRecordEngine& engine = m_editor.engine();
    for (const QString& identifier : engine.catalog()->selectedIdentifiers()) {
        if (const std::shared_ptr<RecordData> record = engine.recordForIdentifier(identifier)) {
            record->setRecordWasLocked(record->recordLocked());
            record->setRecordLocked(locked);
        }
    }
    m_editor.showRecordLocked(locked);
    engine.updateTextEditability();
    m_editor.settings()->setDatafileSettingsDidChange(true);
}

void EditorRecordsController::lockAllRecords()
{
    setLockOfSelectedRecords(true);
}

void EditorRecordsController::unlockAllRecords()
{
    setLockOfSelectedRecords(false);
}

void EditorRecordsController::revertAllRecordsLockedState()
{
    CurrentRecordEngine& engine = m_editor.engine();
    for (const QString& identifier : engine.catalog()->selectedIdentifiers()) {
        if (const std::shared_ptr<RecordData> record = engine.recordForIdentifier(identifier))
            record->setRecordLocked(record->recordWasLocked());
    }
    const std::shared_ptr<RecordData>& current = engine.currentRecord();
    m_editor.showRecordLocked(current && current->recordLocked());
    engine.updateTextEditability();
    m_editor.settings()->setDatafileSettingsDidChange(true);
}

void EditorRecordsController::toggleRecordLocked()
{
    CurrentRecordEngine& engine = m_editor.engine();
    const std::shared_ptr<RecordData> current = engine.currentRecord();
    if (!current)
        return;
    m_editor.showRecordLocked(current->toggleRecordLocked());
    engine.updateTextEditability();
    engine.freshenWindowContentSettings();
    m_editor.settings()->setDatafileSettingsDidChange(true);
}

// Record information

void EditorRecordsController::showRecordInfo()
{
    RecordInfoPaletteController& palette = RecordInfoPaletteController::sharedRecordInfoPaletteController();
    palette.setRecordInfo(m_editor.recordInfo());
    palette.showWindow();
}

void EditorRecordsController::updateRecordInfoPalette()
{
    // The palette speaks of the window in front.
    const EditorWindowController* front = EditorWindowController::mainEditor();
    if (front && front != &m_editor)
        return;
    RecordInfoPaletteController::sharedRecordInfoPaletteController().setRecordInfo(
        m_editor.recordInfo());
}

// Selection

void EditorRecordsController::selectAllRecords()
{
    CurrentRecordEngine& engine = m_editor.engine();
    // A clone shares its document's catalog, which it never changes.
    if (engine.isClone())
        return;
    m_editor.endEditing();
    engine.updateCurrentRecord();
    engine.saveIfDifferentRecord(engine.currentRecord());
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    const std::shared_ptr<SubsetSortCriteriaData> criteria = settings->criteria();
    engine.catalog()->resetSubsetCriteria(criteria);
    settings->setCriteria(criteria);
    engine.catalog()->selectWithCriteria(criteria, false);
    engine.loadCurrentRecord();
}
