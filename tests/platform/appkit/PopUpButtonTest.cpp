#include "PopUpButton.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

QAction* addItem(QMenu* menu, const QString& title, int tag, const QVariant& object = {})
{
    QAction* item = menu->addAction(title);
    PopUpButton::setTag(item, tag);
    PopUpButton::setRepresentedObject(item, object);
    return item;
}

class PopUpButtonTest : public testing::Test {
protected:
    void SetUp() override
    {
        first = addItem(popUp.menu(), QStringLiteral("Home"), 1, QStringLiteral("/home"));
        twin = addItem(popUp.menu(), QStringLiteral("Home"), 2, QStringLiteral("/srv/home"));
        QMenu* sub = popUp.menu()->addMenu(QStringLiteral("More"));
        nested = addItem(sub, QStringLiteral("Deep"), 7, 42);
        nested->setEnabled(false);
    }

    PopUpButton popUp;
    QAction* first = nullptr;
    QAction* twin = nullptr;
    QAction* nested = nullptr;
};

TEST_F(PopUpButtonTest, Synchronize_WithNothingSelected_SelectsTheFirstItem)
{
    EXPECT_EQ(popUp.selectedItem(), nullptr);
    popUp.synchronizeTitleAndSelectedItem();
    EXPECT_EQ(popUp.selectedItem(), first);
    EXPECT_EQ(popUp.text(), QStringLiteral("Home"));
    EXPECT_EQ(popUp.indexOfSelectedItem(), 0);
}

TEST_F(PopUpButtonTest, SelectByTagOrObject_FindsItemsInSubmenusAndKeepsEqualTitles)
{
    EXPECT_TRUE(popUp.selectItemWithTag(2));
    EXPECT_EQ(popUp.selectedItem(), twin);
    EXPECT_TRUE(popUp.selectItemWithTag(7));
    EXPECT_EQ(popUp.selectedItem(), nested);
    EXPECT_EQ(popUp.titleOfSelectedItem(), QStringLiteral("Deep"));
    EXPECT_EQ(popUp.indexOfSelectedItem(), -1) << "the item is in a submenu";

    EXPECT_TRUE(popUp.selectItemWithRepresentedObject(QStringLiteral("/home")));
    EXPECT_EQ(popUp.selectedItem(), first);

    EXPECT_FALSE(popUp.selectItemWithTag(99));
    EXPECT_EQ(popUp.selectedItem(), nullptr);
    EXPECT_EQ(popUp.selectedTag(), -1);
    EXPECT_FALSE(popUp.selectItemWithRepresentedObject(QVariant()));
}

TEST_F(PopUpButtonTest, ChoosingAnItem_SelectsItAndReportsIt)
{
    QList<QAction*> activated;
    QObject::connect(&popUp, &PopUpButton::activated,
                     [&activated](QAction* item) { activated.append(item); });
    twin->trigger();
    EXPECT_EQ(popUp.selectedItem(), twin);
    EXPECT_TRUE(twin->isChecked());
    EXPECT_EQ(activated, QList<QAction*>{twin});

    first->trigger();
    EXPECT_FALSE(twin->isChecked());
    EXPECT_EQ(popUp.property("indexOfSelectedItem").toInt(), 0);
}

TEST_F(PopUpButtonTest, SelectedItemRemoved_NothingSelected)
{
    popUp.selectItem(twin);
    delete twin;
    EXPECT_EQ(popUp.selectedItem(), nullptr);
    popUp.removeAllItems();
    EXPECT_EQ(popUp.numberOfItems(), 0);
    popUp.synchronizeTitleAndSelectedItem();
    EXPECT_EQ(popUp.text(), QString());

    QAction foreign(QStringLiteral("Elsewhere"));
    popUp.selectItem(&foreign);
    EXPECT_EQ(popUp.selectedItem(), nullptr);
}

} // namespace
