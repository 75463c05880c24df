#include "VKOutlineViewCategories.h"

#include <QItemSelectionModel>
#include <QTreeView>

namespace {

// Whether the item has a row in the outline: all its ancestors expanded, none hidden.
bool hasRow(const QTreeView* view, const QModelIndex& item)
{
    if (!item.isValid() || item.model() != view->model())
        return false;
    for (QModelIndex index = item; index.isValid(); index = index.parent()) {
        const QModelIndex parent = index.parent();
        if (view->isRowHidden(index.row(), parent))
            return false;
        if (parent.isValid() && !view->isExpanded(parent))
            return false;
    }
    return true;
}

} // namespace

namespace VKOutlineViewCategories {

QModelIndex selectedItem(const QTreeView* view)
{
    const QItemSelectionModel* selection = view->selectionModel();
    if (!selection)
        return {};
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && selection->isRowSelected(current.row(), current.parent()))
        return current.siblingAtColumn(0);
    const QModelIndexList rows = selection->selectedRows();
    return rows.isEmpty() ? QModelIndex() : rows.first();
}

void selectItems(QTreeView* view, const QModelIndexList& items, bool byExtendingSelection)
{
    QItemSelectionModel* selection = view->selectionModel();
    if (!selection)
        return;
    if (!byExtendingSelection)
        selection->clearSelection();
    for (const QModelIndex& item : items) {
        if (hasRow(view, item))
            selection->select(item, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

} // namespace VKOutlineViewCategories
