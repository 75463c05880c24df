#include "EditorWindowSearchViews.h"

#include "BasicViewModel.h"
#include "EditorDatafileController.h"
#include "EditorRecordsController.h"
#include "EditorTableController.h"
#include "EditorWindowController.h"
#include "FieldCellEditor.h"
#include "FindBoxView.h"
#include "FreeformTextView.h"
#include "ListViewModel.h"
#include "RXTableView.h"

#include <QApplication>
#include <QTextCursor>

EditorWindowSearchViews::EditorWindowSearchViews(EditorWindowController& editor) : m_editor(editor)
{
    // Find Next and Find Previous, and their "and Edit" forms, which leave the hit
    // selected for editing.
    const auto findCommand = [this](bool forward, bool highlight) {
        return [this, forward, highlight](QObject*) { searchForFindBoxText(forward, highlight); };
    };
    m_editor.registerAction(QStringLiteral("forwardSearchForFindBoxText:"), findCommand(true, false));
    m_editor.registerAction(QStringLiteral("reverseSearchForFindBoxText:"), findCommand(false, false));
    m_editor.registerAction(QStringLiteral("forwardSearchHighlight:"), findCommand(true, true));
    m_editor.registerAction(QStringLiteral("reverseSearchHighlight:"), findCommand(false, true));
    m_editor.registerAction(QStringLiteral("skipThenSearchForward:"),
                            [this](QObject*) { skipThenSearch(true); });
    m_editor.registerAction(QStringLiteral("skipThenReverseSearch:"),
                            [this](QObject*) { skipThenSearch(false); });
    m_editor.registerAction(QStringLiteral("findNextInClone:"), [this](QObject*) { findNextInClone(); });
    m_editor.registerAction(QStringLiteral("activateFindBox:"),
                            [this](QObject*) { m_editor.activateFindBox(); });
}

void EditorWindowSearchViews::searchForFindBoxText(bool forward, bool highlight)
{
    if (m_editor.nowSyncing())
        return;
    // What was typed is searched too.
    m_editor.engine().updateCurrentRecord();
    m_editor.engine().autoSaveChanges(false);
    EditorSearchController& search = m_editor.editorSearchController();
    if (highlight)
        search.setSimulatedControlKeyDown(true);
    if (forward)
        search.forwardSearch(QApplication::keyboardModifiers());
    else
        search.reverseSearch(QApplication::keyboardModifiers());
}

void EditorWindowSearchViews::skipThenSearch(bool forward)
{
    if (m_editor.nowSyncing())
        return;
    EditorSearchController& search = m_editor.editorSearchController();
    if (forward) {
        goToNextRecord();
        search.forwardSearchSkip(QApplication::keyboardModifiers());
    } else {
        goToPreviousRecord();
        search.reverseSearchSkip(QApplication::keyboardModifiers());
    }
}

void EditorWindowSearchViews::findNextInClone()
{
    const QString text = m_editor.editorSearchController().searchField()->toPlainText();
    if (text.isEmpty())
        return;
    EditorWindowController* clone = m_editor.openCloneWindowAndReturnController();
    if (!clone)
        return;
    clone->editorSearchController().searchField()->insertPlainText(text);
    clone->performAction(QStringLiteral("goToNextRecord:"));
    clone->performAction(QStringLiteral("forwardSearchForFindBoxText:"));
}

qint64 EditorWindowSearchViews::selectedRecordCount() const
{
    return m_editor.engine().selectedRecordCount();
}

std::shared_ptr<RecordData> EditorWindowSearchViews::recordAtIndex(qint64 index) const
{
    return m_editor.engine().recordAtIndex(index);
}

std::shared_ptr<RecordData> EditorWindowSearchViews::currentRecord() const
{
    return m_editor.engine().currentRecord();
}

qint64 EditorWindowSearchViews::indexOfCurrentRecord() const
{
    return m_editor.engine().indexOfCurrentRecord();
}

qint64 EditorWindowSearchViews::lastHitField() const
{
    return m_editor.engine().lastHitField();
}

void EditorWindowSearchViews::setLastHitField(qint64 code)
{
    m_editor.engine().setLastHitField(code);
}

quint64 EditorWindowSearchViews::currentField() const
{
    return m_editor.currentField();
}

bool EditorWindowSearchViews::tableTextSelected() const
{
    return m_editor.tableController()->tableTextSelectedRange().second > 0;
}

bool EditorWindowSearchViews::listViewShown() const
{
    return m_editor.tableController()->currentTableViewName() == EditorTableController::ListMode;
}

TextRange EditorWindowSearchViews::freeformSelection() const
{
    const QTextCursor cursor = m_editor.freeformTextView()->textCursor();
    return TextRange{cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart()};
}

bool EditorWindowSearchViews::freeformCanUndo() const
{
    return m_editor.freeformTextView()->document()->isUndoAvailable();
}

void EditorWindowSearchViews::commitFreeformText()
{
    m_editor.engine().commitFreeformText();
}

void EditorWindowSearchViews::updateCurrentRecord()
{
    m_editor.engine().updateCurrentRecord();
}

void EditorWindowSearchViews::setDatafileChanged()
{
    m_editor.engine().setDatafileChanged();
}

void EditorWindowSearchViews::autoSaveChanges(bool force)
{
    m_editor.engine().autoSaveChanges(force);
}

void EditorWindowSearchViews::loadRecordAtIndex(qint64 index)
{
    m_editor.engine().loadRecordAtIndex(index);
}

void EditorWindowSearchViews::deleteIfEmptyRecordAtIndex(qint64 index)
{
    m_editor.engine().deleteIfEmptyRecordAtIndex(index);
}

void EditorWindowSearchViews::goToNextRecord()
{
    m_editor.performAction(QStringLiteral("goToNextRecord:"));
}

void EditorWindowSearchViews::goToPreviousRecord()
{
    m_editor.performAction(QStringLiteral("goToPreviousRecord:"));
}

void EditorWindowSearchViews::freshenWindowContentSettings()
{
    m_editor.engine().freshenWindowContentSettings();
}

void EditorWindowSearchViews::selectRow(qint64 row)
{
    m_editor.tableController()->selectRow(row);
}

void EditorWindowSearchViews::selectRangeInField(qint64 column, qint64 row)
{
    EditorTableController* tables = m_editor.tableController();
    tables->selectRangeInField(tables->currentTableView(), column, row, 0, 0, false);
}

void EditorWindowSearchViews::setFieldFoundTextColor(const QColor& color)
{
    m_editor.tableController()->setFieldFoundTextColor(color);
}

void EditorWindowSearchViews::scrollToField(qint64 row, qint64 field)
{
    EditorTableController* tables = m_editor.tableController();
    if (!listViewShown()) {
        tables->basicTableView()->scrollTo(
            tables->basicViewModel()->index(int(field), BasicViewModel::ValueColumn));
        return;
    }
    const qint64 column =
        EditorSearchController::columnFromFieldIndex(m_editor.settings()->fields(), field);
    tables->listTableView()->scrollTo(tables->listViewModel()->index(int(row), int(column)));
}

void EditorWindowSearchViews::showFreeformHits(const QList<TextRange>& ranges, const QColor& color,
                                               bool focus)
{
    FreeformTextView* view = m_editor.freeformTextView();
    QList<QPair<qsizetype, qsizetype>> hits;
    for (const TextRange& range : ranges)
        hits.append({range.position, range.length});
    view->showSearchHits(hits, color);
    view->ensureCursorVisible();
    if (focus)
        view->setFocus(Qt::OtherFocusReason);
}

void EditorWindowSearchViews::activateFreeformText()
{
    m_editor.activateFreeformText();
}

void EditorWindowSearchViews::highlightCharacter(qsizetype location)
{
    FreeformTextView* view = m_editor.freeformTextView();
    QTextCursor cursor(view->document());
    cursor.setPosition(int(location));
    cursor.setPosition(int(location + 1), QTextCursor::KeepAnchor);
    view->setTextCursor(cursor);
    view->ensureCursorVisible();
}

void EditorWindowSearchViews::highlightBeginningOfCurrentRecord()
{
    if (!m_editor.freeformTextView()->document()->isEmpty())
        highlightCharacter(0);
}

void EditorWindowSearchViews::highlightEndOfCurrentRecord()
{
    const qsizetype length = m_editor.freeformTextView()->document()->characterCount() - 1;
    if (length > 0)
        highlightCharacter(length - 1);
}

void EditorWindowSearchViews::tableViewHit()
{
    EditorTableController* tables = m_editor.tableController();
    RXTableView* table = tables->currentTableView();
    // The Basic View's current field is its row, which need not be selected.
    if (!listViewShown() && table->selectionModel()->selectedRows().isEmpty() &&
        qint64(tables->currentField()) < tables->basicViewModel()->rowCount())
        table->selectRow(int(tables->currentField()));
    table->setFocus(Qt::TabFocusReason);
    tables->tableViewHit();
}

QPlainTextEdit* EditorWindowSearchViews::fieldEditor() const
{
    return m_editor.tableController()->currentTableView()->cellEditor();
}
