#pragma once

#include <QModelIndex>
#include <QModelIndexList>

class QTreeView;

// Selecting items of an outline (a tree view) by their model indexes.
namespace VKOutlineViewCategories {

// The item of the selected row: the current one when it is selected, else the first
// selected; invalid when no row is.
QModelIndex selectedItem(const QTreeView* view);
// Selects the rows of the items that are shown (their parents expanded); the others
// are skipped. Unless extending, the selection is cleared first.
void selectItems(QTreeView* view, const QModelIndexList& items, bool byExtendingSelection);

} // namespace VKOutlineViewCategories
