#include "RXTableView.h"

#include "FieldCellEditor.h"

RXTableView::RXTableView(QWidget* parent) : QTableView(parent)
{
    // Editing starts only where the controller decides.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
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
