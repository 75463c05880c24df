#include "VKOutlineViewCategories.h"

#include <QStandardItemModel>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

TEST(VKOutlineViewCategoriesTest, SelectItems_SkipsItemsInsideCollapsedParents)
{
    QStandardItemModel model;
    auto* folder = new QStandardItem(QStringLiteral("Folder"));
    auto* child = new QStandardItem(QStringLiteral("Child"));
    folder->appendRow(child);
    auto* loose = new QStandardItem(QStringLiteral("Loose"));
    model.appendRow(folder);
    model.appendRow(loose);
    QTreeView view;
    view.setModel(&model);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);

    VKOutlineViewCategories::selectItems(&view, {child->index(), loose->index()}, false);
    EXPECT_EQ(view.selectionModel()->selectedRows(), QModelIndexList{loose->index()});
    EXPECT_EQ(VKOutlineViewCategories::selectedItem(&view), loose->index());

    view.expand(folder->index());
    VKOutlineViewCategories::selectItems(&view, {child->index()}, true);
    EXPECT_EQ(view.selectionModel()->selectedRows().size(), 2);
    VKOutlineViewCategories::selectItems(&view, {folder->index()}, false);
    EXPECT_EQ(view.selectionModel()->selectedRows(), QModelIndexList{folder->index()});
}

} // namespace
