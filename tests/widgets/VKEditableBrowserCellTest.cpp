// The browser cell's editor beside its icon and its context menu from the browser.
#include "VKEditableBrowserCell.h"

#include <QApplication>
#include <QColumnView>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QStandardItemModel>

#include <gtest/gtest.h>

namespace {

class VKEditableBrowserCellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QPixmap icon(16, 16);
        icon.fill(Qt::red);
        auto* folder = new QStandardItem(QIcon(icon), "Folder");
        folder->appendRow(new QStandardItem("First"));
        folder->appendRow(new QStandardItem("Second"));
        m_model.appendRow(new QStandardItem("Top"));
        m_model.appendRow(folder);
        m_browser.setModel(&m_model);
        m_browser.resize(600, 300);
        m_cell.attachTo(&m_browser);
        m_browser.show();
        m_browser.setCurrentIndex(m_model.index(1, 0));
        QApplication::processEvents();
    }

    QPoint centreOf(const QModelIndex& index) const { return m_browser.visualRect(index).center(); }

    QStandardItemModel m_model;
    QColumnView m_browser;
    VKEditableBrowserCell m_cell;
    QMenu m_menu;
};

} // namespace

TEST_F(VKEditableBrowserCellTest, Menu_TheBrowsersForTheRowAndColumn_NoneWithoutOne)
{
    const QModelIndex second = m_model.index(1, 0, m_model.index(1, 0));
    EXPECT_FALSE(m_cell.menuForEvent(centreOf(second), &m_browser));

    QList<std::pair<int, int>> asked;
    m_cell.setMenuProvider([&](int row, int column) {
        asked.append({row, column});
        return &m_menu;
    });
    EXPECT_EQ(m_cell.menuForEvent(centreOf(second), &m_browser), &m_menu);
    EXPECT_EQ(m_cell.menuForEvent(centreOf(m_model.index(0, 0)), &m_browser), &m_menu);
    EXPECT_EQ(asked, (QList<std::pair<int, int>>{{1, 1}, {0, 0}}));
    // Off the cells there is nothing to ask about.
    EXPECT_FALSE(m_cell.menuForEvent(QPoint(590, 290), &m_browser));
}

TEST_F(VKEditableBrowserCellTest, Editor_LeavesTheIconAndThreePointsBesideIt)
{
    QStyleOptionViewItem option;
    option.rect = QRect(10, 20, 200, 22);
    option.decorationSize = QSize(16, 16);
    QLineEdit editor;
    m_cell.updateEditorGeometry(&editor, option, m_model.index(1, 0));
    EXPECT_EQ(editor.geometry(), QRect(29, 20, 181, 22));
    m_cell.updateEditorGeometry(&editor, option, m_model.index(0, 0));
    EXPECT_EQ(editor.geometry(), QRect(10, 20, 200, 22));

    std::unique_ptr<QWidget> made(m_cell.createEditor(&m_browser, option, m_model.index(0, 0)));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->palette().color(QPalette::Text), QColor(Qt::black));
}
