// Adding records: the automatic content, the making of a record and where it goes,
// and the variants that paste the clipboard into it.
#include "EditorRecordsController.h"

#include "DatafileDocument.h"
#include "EditorTableController.h"
#include "EditorWindowController.h"
#include "FreeformTextView.h"
#include "Localization.h"
#include "Presenter.h"
#include "RXTableView.h"

#include <QApplication>
#include <QClipboard>

#include <algorithm>
#include <exception>
#include <limits>

namespace {

// "NewRecordLocation": any other value leaves a new record after the current one.
constexpr qint64 FirstRecordLocation = 1;
constexpr qint64 LastRecordLocation = 2;

// More zeros than any field shows; a stored digit count beyond it cannot exhaust memory.
constexpr qint64 MostDigits = 1000;

const QMimeData* clipboardContents()
{
    return QApplication::clipboard()->mimeData();
}

} // namespace

QString EditorRecordsController::autoAddNumberText(qint64 number, qint64 digitCount)
{
    QString text = QString::number(number);
    const qint64 length = std::min(digitCount, MostDigits);
    if (text.size() < length) {
        // -4 in three digits is "-04".
        const qsizetype afterSign = number < 0 ? 1 : 0;
        text.insert(afterSign, QString(qsizetype(length) - text.size(), QLatin1Char('0')));
    }
    return text;
}

void EditorRecordsController::updateAutoAddContentField(const std::shared_ptr<RecordData>& record)
{
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    const QString field = settings->autoAddContentFieldID();
    if (field.isEmpty())
        return;
    QString content = settings->autoAddPrefix();
    if (settings->autoAddNumber()) {
        // The counter never wraps round to negative numbers.
        const qint64 last = settings->lastAutoAddInteger();
        const qint64 number = last == std::numeric_limits<qint64>::max() ? last : last + 1;
        content += autoAddNumberText(number, settings->autoAddDigitCount());
        settings->setLastAutoAddInteger(number);
    }
    content += settings->autoAddSuffix();
    m_editor.engine().writeField(record, field, content, CurrentRecordEngine::FieldWrite::Bulk);
}

bool EditorRecordsController::refusedInAClone()
{
    // A clone never changes its document.
    if (!m_editor.engine().isClone())
        return false;
    Presenter::shared().beep();
    return true;
}

bool EditorRecordsController::commitForAdding()
{
    CurrentRecordEngine& engine = m_editor.engine();
    const bool wasTableActive = m_editor.tableViewActive();
    engine.saveIfDifferentRecord(nullptr);
    if (engine.currentRecordNumberOfFields() > 0)
        m_editor.tableController()->endEditing();
    return wasTableActive;
}

bool EditorRecordsController::currentRecordIsEmpty() const
{
    const std::shared_ptr<RecordData>& current = m_editor.engine().currentRecord();
    return current && CurrentRecordEngine::isEmpty(*current);
}

void EditorRecordsController::refocusTable()
{
    EditorTableController* tables = m_editor.tableController();
    tables->currentTableView()->setFocus();
    tables->tableViewHit();
}

std::shared_ptr<RecordData> EditorRecordsController::makeRecord()
{
    CurrentRecordEngine& engine = m_editor.engine();
    const QString after =
        engine.currentRecord() ? engine.currentRecord()->identifier() : QStringLiteral("");
    // After the record that was current, announced with its automatic content.
    return m_editor.datafileDocument()->changes().addRecord(
        after, [this](const std::shared_ptr<RecordData>& record, qsizetype) {
            updateAutoAddContentField(record);
        });
}

void EditorRecordsController::resetFreeformText()
{
    // No link, highlight or style of the record left behind carries over into typing.
    FreeformTextView* text = m_editor.freeformTextView();
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    text->setTextFont(settings->textFont());
    text->setBackgroundColor(settings->backgroundFTAcolor());
    text->loadPlainText(QString());
}

void EditorRecordsController::showNewRecord(const std::shared_ptr<RecordData>& record)
{
    CurrentRecordEngine& engine = m_editor.engine();
    engine.autoSaveChanges(false);
    engine.loadRecord(record);
    engine.insertInViewedRecordList(record);
    resetFreeformText();
}

void EditorRecordsController::placeNewRecord()
{
    switch (m_editor.settings()->newRecordLocation()) {
    case FirstRecordLocation:
        makeThisTheFirstRecord();
        break;
    case LastRecordLocation:
        makeThisTheLastRecord();
        break;
    default:
        break; // where it was made: after the record that was current
    }
}

void EditorRecordsController::focusNewRecord()
{
    if (m_editor.engine().currentRecordNumberOfFields() == 0) {
        m_editor.activateFreeformText();
        return;
    }
    if (m_editor.settings()->mode() == EditorTableController::BasicMode)
        m_editor.tableController()->selectRow(0);
    m_editor.activateField();
}

void EditorRecordsController::addRecord()
{
    CurrentRecordEngine& engine = m_editor.engine();
    if (engine.nowSyncing() || refusedInAClone())
        return;
    const bool wasTableActive = commitForAdding();
    if (currentRecordIsEmpty()) {
        // The empty record on screen is the new record.
        if (wasTableActive)
            refocusTable();
        return;
    }
    showNewRecord(makeRecord());
    placeNewRecord();
    focusNewRecord();
    engine.setDatafileChanged();
    engine.setLastHitField(CurrentRecordEngine::NoHit);
}

std::shared_ptr<RecordData> EditorRecordsController::addRecordForModification()
{
    CurrentRecordEngine& engine = m_editor.engine();
    if (engine.nowSyncing() || refusedInAClone())
        return nullptr;
    const bool wasTableActive = commitForAdding();
    if (currentRecordIsEmpty()) {
        if (wasTableActive)
            refocusTable();
        m_editor.activateFindBox();
        return engine.currentRecord();
    }
    const std::shared_ptr<RecordData> record = makeRecord();
    showNewRecord(record);
    m_editor.activateFindBox();
    engine.setDatafileChanged();
    engine.setLastHitField(CurrentRecordEngine::NoHit);
    return record;
}

std::shared_ptr<RecordData> EditorRecordsController::addNewRecord()
{
    CurrentRecordEngine& engine = m_editor.engine();
    if (engine.nowSyncing() || refusedInAClone())
        return nullptr;
    engine.saveIfDifferentRecord(nullptr);
    if (engine.currentRecordNumberOfFields() > 0)
        m_editor.tableController()->endEditing();
    return makeRecord();
}

void EditorRecordsController::addRecordWithPaste()
{
    addRecordWithPasteboard(clipboardContents());
}

bool EditorRecordsController::addRecordWithPasteboard(const QMimeData* pasteboard)
{
    CurrentRecordEngine& engine = m_editor.engine();
    if (engine.nowSyncing() || refusedInAClone())
        return false;
    // An empty current record receives the paste itself.
    addRecord();
    const bool read = pasteboard && guardedPaste([&] { return paste(pasteboard, false); });
    engine.saveIfDifferentRecord(nullptr);
    if (read)
        m_editor.reloadTables();
    return read;
}

void EditorRecordsController::addRecordWithToggle(Qt::KeyboardModifiers modifiers)
{
    CurrentRecordEngine& engine = m_editor.engine();
    if (engine.nowSyncing() || refusedInAClone())
        return;
    commitForAdding();
    if (!currentRecordIsEmpty())
        showNewRecord(makeRecord());
    if (modifiers.testFlag(Qt::AltModifier)) {
        const bool plainText = modifiers.testFlag(Qt::ShiftModifier);
        guardedPaste([&] {
            const bool read = paste(clipboardContents(), plainText);
            if (read || plainText)
                m_editor.reloadTables();
            return read;
        });
    }
    finishToggledAdd();
}

void EditorRecordsController::addRecordWithPasteAsPlainText()
{
    CurrentRecordEngine& engine = m_editor.engine();
    if (engine.nowSyncing() || refusedInAClone())
        return;
    commitForAdding();
    if (!currentRecordIsEmpty())
        showNewRecord(makeRecord());
    guardedPaste([&] {
        const bool read = paste(clipboardContents(), true);
        m_editor.reloadTables();
        return read;
    });
    finishToggledAdd();
}

void EditorRecordsController::finishToggledAdd()
{
    CurrentRecordEngine& engine = m_editor.engine();
    placeNewRecord();
    focusNewRecord();
    engine.saveIfDifferentRecord(nullptr);
    engine.setDatafileChanged();
    engine.setLastHitField(CurrentRecordEngine::NoHit);
}

bool EditorRecordsController::paste(const QMimeData* pasteboard, bool plainText)
{
    if (m_paste)
        return m_paste(pasteboard, plainText);
    FreeformTextView* text = m_editor.freeformTextView();
    return plainText ? text->pasteAsPlainText(pasteboard)
                     : text->readSelectionFromPasteboard(pasteboard);
}

bool EditorRecordsController::pasteIntoFreeformText(const QMimeData* pasteboard, bool plainText)
{
    return guardedPaste([&] { return paste(pasteboard, plainText) || plainText; });
}

bool EditorRecordsController::guardedPaste(const std::function<bool()>& paste)
{
    try {
        return paste();
    } catch (const std::exception&) {
        // What the clipboard held may have left the program unsteady: the record stays,
        // and the user hears to save and start again.
        reportMemoryError();
        return false;
    }
}

void EditorRecordsController::reportMemoryError()
{
    AlertRequest alert;
    alert.style = AlertRequest::Style::Critical;
    alert.messageText = localized(QStringLiteral("Memory Error."));
    alert.informativeText = localized(QStringLiteral(
        "It appears that the contents of the clipboard that were just pasted into Norva Pro may "
        "have caused a instability. We strongly suggest that you save changes, quit Norva Pro, "
        "and relaunch it.."));
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, m_editor.window(), [](const AlertResponse&) {});
}
