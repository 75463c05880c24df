#include "VKPopUpButtonCategories.h"

#include "PopUpButton.h"

#include <QAction>

#include <gtest/gtest.h>

namespace {

TEST(VKPopUpButtonCategoriesTest, AddItem_KeepsEqualTitlesAndShowsTheSelectedOne)
{
    PopUpButton popUp;
    QAction* first = VKPopUpButtonCategories::addItemWithTitle(&popUp, QStringLiteral("1"), 1);
    QAction* second =
        VKPopUpButtonCategories::addItemWithTitle(&popUp, QStringLiteral("1"), 10, QString("x"));
    EXPECT_EQ(popUp.numberOfItems(), 2);
    EXPECT_EQ(popUp.selectedItem(), first);
    EXPECT_EQ(popUp.text(), QStringLiteral("1"));
    EXPECT_EQ(popUp.itemWithTag(10), second);
    EXPECT_EQ(PopUpButton::representedObject(second).toString(), QStringLiteral("x"));
    EXPECT_TRUE(second->data().isValid());
    EXPECT_FALSE(first->data().isValid());
}

} // namespace
