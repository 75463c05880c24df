// The table view with a private pasteboard: it keeps the pasteboard its owner gives it,
// owns nothing, and otherwise behaves as any table view.
#include "VKDragDeleteTableView.h"

#include <QMimeData>
#include <QStandardItemModel>

#include <gtest/gtest.h>

#include <memory>

TEST(VKDragDeleteTableViewTest, NewTable_BehavesAsAPlainTableView)
{
    const QTableView plain;
    const VKDragDeleteTableView table;
    EXPECT_EQ(table.dragPasteboard(), nullptr);
    EXPECT_EQ(table.dragEnabled(), plain.dragEnabled());
    EXPECT_EQ(table.acceptDrops(), plain.acceptDrops());
    EXPECT_EQ(table.dragDropMode(), plain.dragDropMode());
    EXPECT_EQ(table.defaultDropAction(), plain.defaultDropAction());
    EXPECT_EQ(table.editTriggers(), plain.editTriggers());
    EXPECT_EQ(table.selectionBehavior(), plain.selectionBehavior());
    EXPECT_EQ(table.selectionMode(), plain.selectionMode());
}

TEST(VKDragDeleteTableViewTest, Pasteboard_IsTheOwnersToFillReadAndDelete)
{
    QStandardItemModel model(2, 1);
    auto table = std::make_unique<VKDragDeleteTableView>();
    table->setModel(&model);

    auto first = std::make_unique<QMimeData>();
    first->setText(QStringLiteral("row 1"));
    table->setDragPasteboard(first.get());
    EXPECT_EQ(table->dragPasteboard(), first.get());
    EXPECT_EQ(table->dragPasteboard()->text(), QStringLiteral("row 1"));

    // Another replaces it; the first is still the owner's.
    QMimeData second;
    table->setDragPasteboard(&second);
    EXPECT_EQ(table->dragPasteboard(), &second);
    EXPECT_EQ(first->text(), QStringLiteral("row 1"));

    // A pasteboard the owner deletes is no longer read through the table.
    auto third = std::make_unique<QMimeData>();
    table->setDragPasteboard(third.get());
    third.reset();
    EXPECT_EQ(table->dragPasteboard(), nullptr);

    // Nor does the table take its pasteboard with it.
    table->setDragPasteboard(first.get());
    table.reset();
    EXPECT_EQ(first->text(), QStringLiteral("row 1"));
}
