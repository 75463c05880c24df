// Editing field cells: when it may start, cleaning every change, moving on with Return,
// Tab and Backtab, and following links in fields.
#include "EditorTableController.h"

#include "BasicViewModel.h"
#include "EditorWindowController.h"
#include "FieldCellEditor.h"
#include "FreeformTextView.h"
#include "LinkFinder.h"
#include "ListViewModel.h"
#include "Presenter.h"
#include "UserDefaults.h"

#include <QUrl>

namespace {

const QString HighlightFieldTextKey = QStringLiteral("GeneralHighlightFieldText");
const QString RecordLinkPrefix = QStringLiteral("uuid://");

} // namespace

std::optional<EditorTableController::CellTarget>
EditorTableController::movementTarget(bool basicView, TextMovement movement, qint64 field,
                                      qint64 fieldCount)
{
    if (fieldCount <= 0)
        return std::nullopt;
    switch (movement) {
    case TextMovement::Return:
        if (!basicView)
            return CellTarget{field, true};
        [[fallthrough]];
    case TextMovement::Tab:
        return CellTarget{field + 1 >= fieldCount ? 0 : field + 1, false};
    case TextMovement::Backtab:
        return CellTarget{field <= 0 ? fieldCount - 1 : field - 1, false};
    default:
        return std::nullopt;
    }
}

bool EditorTableController::tableViewActive() const
{
    return currentTableView()->cellEditor() != nullptr;
}

void EditorTableController::endEditing()
{
    m_basicTableView->endEditing();
    m_listTableView->endEditing();
}

bool EditorTableController::control() const
{
    if (m_editor.engine().isClone() || m_editor.nowSyncing())
        return false;
    const std::shared_ptr<RecordData>& record = m_editor.engine().currentRecord();
    return !record || !record->recordLocked();
}

void EditorTableController::controlTextDidChange(FieldCellEditor&)
{
    // The editor has cleaned its own text already.
    if (currentTableViewName() == BasicMode && m_editor.settings()->liveFieldWrapping())
        updateLineWrapping();
    // The value and its stamp are stored when the edit ends; the window shows at once
    // that there is something to save.
    m_editor.setCurrentRecordDirty(true);
    m_editor.engine().setDatafileChanged();
}

bool EditorTableController::rxTableView(RXTableView* table, int, int row) const
{
    return table == m_basicTableView ? m_editor.engine().currentRecord() != nullptr
                                     : recordForRow(row) != nullptr;
}

bool EditorTableController::editCell(RXTableView* table, int column, int row, bool select)
{
    const QModelIndex index = table->model()->index(row, column);
    if (!index.isValid() || !(index.flags() & Qt::ItemIsEditable) ||
        !rxTableView(table, column, row) || !control())
        return false;
    const bool updating = std::exchange(m_updating, true);
    const bool edited = table->editCell(column, row, select);
    m_updating = updating;
    return edited;
}

void EditorTableController::tableViewHit(std::optional<int> clickedColumn,
                                         std::optional<int> clickedRow)
{
    RXTableView* table = currentTableView();
    const bool basic = table == m_basicTableView;
    int column = clickedColumn.value_or(-1);
    // A cell the user clicks into has its text selected when the user asks for it, so
    // that typing replaces it. One entered otherwise is all selected in the List View and
    // has the caret at its end in the Basic View.
    const bool select = clickedRow
                            ? UserDefaults::standardUserDefaults().boolForKey(HighlightFieldTextKey)
                            : !basic;
    if (basic) {
        column = std::max(column, int(BasicViewModel::ValueColumn));
    } else {
        if (!clickedColumn)
            column = int(m_editor.engine().lastHitField());
        if (column < 0 || column >= m_listModel->columnCount())
            column = 0;
    }
    const QModelIndexList selected = table->selectionModel()->selectedRows();
    const int row = clickedRow ? *clickedRow : selected.isEmpty() ? -1 : selected.first().row();
    if (row < 0)
        return;
    if (!basic && m_listModel->columnIdentifier(column) == ListViewModel::TextColumnIdentifier) {
        if (FreeformTextView* text = m_editor.freeformTextView())
            text->setFocus();
        return;
    }
    if (!editCell(table, column, row, select))
        return;
    m_currentField = quint64(basic ? row : column);
    if (basic && m_editor.settings()->fieldWrapping() && !m_editor.settings()->liveFieldWrapping())
        updateLineWrapping();
    m_editor.engine().setLastHitField(qint64(m_currentField));
    activateURLInField();
}

void EditorTableController::singleClicked(int column, int row)
{
    tableViewHit(column, row);
}

void EditorTableController::doubleClicked(int column, int row)
{
    RXTableView* table = currentTableView();
    if (table == m_basicTableView && column == BasicViewModel::NameColumn)
        column = BasicViewModel::ValueColumn;
    if (editCell(table, column, row, true))
        m_currentField = quint64(table == m_basicTableView ? row : column);
    activateURLInField();
}

void EditorTableController::updateLineWrapping()
{
    if (currentTableViewName() != BasicMode)
        return;
    // Every row takes the height its value now wraps to, the one being edited as typed
    // so far; that row's editor stays open with the same selection.
    FieldCellEditor* editor = m_basicTableView->cellEditor();
    const QPair<int, int> selection = editor ? editor->selectedRange() : QPair<int, int>();
    m_basicTableView->commitCellEditor();
    for (int row = 0; row < m_basicModel->rowCount(); ++row)
        m_basicTableView->setRowHeight(row, heightOfRow(row));
    if (editor && editor == m_basicTableView->cellEditor())
        editor->setSelection(selection.first, selection.second);
}

void EditorTableController::selectRangeInField(RXTableView* table, qint64 column, qint64 row,
                                               qsizetype location, qsizetype length,
                                               bool highlightFindField)
{
    const bool basic = table == m_basicTableView;
    const int editedColumn = basic ? BasicViewModel::ValueColumn : int(column);
    const int editedRow = basic ? int(column) : int(row);
    if (!basic && column >= m_listModel->columnCount())
        return;
    table->selectRow(editedRow);
    if (!editCell(table, editedColumn, editedRow, false))
        return;
    m_currentField = quint64(column);
    if (FieldCellEditor* editor = table->cellEditor())
        editor->setSelection(int(location), int(length));
    if (basic && highlightFindField && m_listModel->columnCount() > 0)
        m_editor.activateFindBox();
}

QPair<qsizetype, qsizetype> EditorTableController::tableTextSelectedRange() const
{
    const FieldCellEditor* editor = currentTableView()->cellEditor();
    if (!editor)
        return {0, 0};
    const QPair<int, int> range = editor->selectedRange();
    return {range.first, range.second};
}

void EditorTableController::textDidEndEditing(RXTableView* table, TextMovement movement)
{
    const bool basic = table == m_basicTableView;
    const qint64 fieldCount =
        basic ? m_basicModel->rowCount() : qint64(m_listModel->columnCount()) - 1;
    const std::optional<CellTarget> target =
        movementTarget(basic, movement, qint64(m_currentField), fieldCount);
    if (!target)
        return;
    if (basic) {
        m_basicTableView->selectRow(int(target->field));
        if (editCell(m_basicTableView, BasicViewModel::ValueColumn, int(target->field), true))
            m_currentField = quint64(target->field);
        return;
    }
    if (target->nextRecord)
        m_editor.goToNextRecord();
    const qint64 row = m_editor.engine().indexOfCurrentRecord();
    if (row >= 0 && editCell(m_listTableView, int(target->field), int(row), true))
        m_currentField = quint64(target->field);
}

void EditorTableController::editFieldOfCurrentRecord(qint64 field)
{
    RXTableView* table = currentTableView();
    const bool basic = table == m_basicTableView;
    const int row = basic ? int(field) : int(m_editor.engine().indexOfCurrentRecord());
    if (row >= 0) {
        table->selectRow(row);
        if (editCell(table, basic ? int(BasicViewModel::ValueColumn) : int(field), row, true))
            activateURLInField();
    }
    m_currentField = quint64(field);
}

void EditorTableController::setFieldFoundTextColor(const QColor& color)
{
    if (FieldCellEditor* editor = currentTableView()->cellEditor())
        editor->setTextColor(color);
}

void EditorTableController::activateURLInField()
{
    FieldCellEditor* editor = currentTableView()->cellEditor();
    if (!editor || !m_editor.settings()->automaticallyEnableLinks())
        return;
    QList<FieldCellEditor::Link> links;
    for (const LinkFinder::Link& link : LinkFinder::linksInString(editor->text()))
        links.append({link.range.location, link.range.length, link.url});
    editor->setLinks(links);
}

bool EditorTableController::clickedOnLink(const QString& link)
{
    if (link.startsWith(RecordLinkPrefix)) {
        // From the text itself: a URL's host would come back lower-cased.
        m_editor.followRecordLink(link.mid(RecordLinkPrefix.size()));
        return true;
    }
    const QUrl url(link);
    if (!url.isValid())
        return false;
    if (!LinkFinder::isOpenedBySystem(url)) {
        m_editor.reportLinkNotFound(link);
        return true;
    }
    return Presenter::shared().openUrl(url);
}
