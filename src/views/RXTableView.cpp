#include "RXTableView.h"

#include "FieldCellEditor.h"

#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

RXTableView::RXTableView(QWidget* parent) : QTableView(parent)
{
    // Editing starts only where the controller decides.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Drops are delivered to the viewport, which must take them too.
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragEnabled(false);
}

namespace {

// Not QMimeData::hasText(), which also says yes to file URLs: files are not dropped.
bool hasPlainText(const QMimeData& data)
{
    return data.hasFormat(QStringLiteral("text/plain"));
}

} // namespace

void RXTableView::dragEnterEvent(QDragEnterEvent* event)
{
    if (hasPlainText(*event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void RXTableView::dragMoveEvent(QDragMoveEvent* event)
{
    if (hasPlainText(*event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void RXTableView::dropEvent(QDropEvent* event)
{
    const QPoint point = event->position().toPoint();
    FieldCellEditor* editor = cellEditor();
    const bool fromEditedCell =
        editor && (event->source() == editor || event->source() == editor->viewport());
    if (!hasPlainText(*event->mimeData()) || !m_dropHandler ||
        !m_dropHandler(event->mimeData()->text(), rowAt(point.y()), columnAt(point.x()),
                       event->modifiers(), fromEditedCell)) {
        event->ignore();
        return;
    }
    // The cell's own text moves by the table's doing, not by the dragged-from editor's.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void RXTableView::mousePressEvent(QMouseEvent* event)
{
    m_pressedCell.reset();
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid())
        m_pressedCell = std::pair(index.row(), index.column());
    QTableView::mousePressEvent(event);
}

void RXTableView::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    const std::optional<std::pair<int, int>> pressed = std::exchange(m_pressedCell, std::nullopt);
    if (event->button() != Qt::LeftButton || !pressed)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && std::pair(index.row(), index.column()) == *pressed)
        Q_EMIT cellClicked(index.row(), index.column());
}

FieldCellEditor* RXTableView::cellEditor() const
{
    if (state() != QAbstractItemView::EditingState)
        return nullptr;
    return qobject_cast<FieldCellEditor*>(indexWidget(currentIndex()));
}

bool RXTableView::editCell(int column, int row, bool select)
{
    const QModelIndex index = model() ? model()->index(row, column) : QModelIndex();
    if (!index.isValid())
        return false;
    setCurrentIndex(index);
    if (!cellEditor())
        edit(index);
    FieldCellEditor* editor = cellEditor();
    if (!editor)
        return false;
    editor->setFocus();
    if (select)
        editor->selectAll();
    else
        editor->setCursorPosition(int(editor->text().size()));
    return true;
}

void RXTableView::commitCellEditor()
{
    // An unchanged value is not written: the record keeps a value it never had absent.
    FieldCellEditor* editor = cellEditor();
    if (editor && editor->text() != currentIndex().data(Qt::EditRole).toString())
        commitData(editor);
}

void RXTableView::endEditing()
{
    if (FieldCellEditor* editor = cellEditor()) {
        commitData(editor);
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void RXTableView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // The movement is the controller's: the view itself moves nowhere.
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    switch (hint) {
    case QAbstractItemDelegate::SubmitModelCache:
        Q_EMIT textDidEndEditing(TextMovement::Return);
        break;
    case QAbstractItemDelegate::EditNextItem:
        Q_EMIT textDidEndEditing(TextMovement::Tab);
        break;
    case QAbstractItemDelegate::EditPreviousItem:
        Q_EMIT textDidEndEditing(TextMovement::Backtab);
        break;
    default:
        break;
    }
}
