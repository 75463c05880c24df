#include "VKToolbarCategories.h"

#include "Responder.h"
#include "SystemLog.h"
#include "Toolbar.h"
#include "ToolbarDelegate.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace VKToolbarCategories;

namespace {

ToolbarItem* addImageItem(ToolbarItemList& items, const QString& identifier)
{
    return addToolbarItem(items, identifier, identifier, identifier, QString(), QString(), true,
                          nullptr, QString());
}

// Shows the one item the list holds.
struct OneItemDelegate : ToolbarDelegate {
    explicit OneItemDelegate(ToolbarItemList& items) : items(items) {}
    ToolbarItem* toolbarItemForItemIdentifier(Toolbar*, const QString& identifier, bool) override
    {
        return toolbarItemForIdentifier(items, identifier);
    }
    QStringList toolbarAllowedItemIdentifiers(Toolbar*) override
    {
        return toolbarItemIdentifiersIncludingStandardItems(items, true);
    }
    QStringList toolbarDefaultItemIdentifiers(Toolbar*) override
    {
        return toolbarItemIdentifiersIncludingStandardItems(items, false);
    }
    ToolbarItemList& items;
};

} // namespace

TEST(VKToolbarCategoriesTest, ItemList_FindsByIdentifierAndListsThemWithOrWithoutTheStandardOnes)
{
    ToolbarItemList items;
    ToolbarItem* first = addImageItem(items, "First");
    addImageItem(items, "Second");
    ToolbarItem* again = addImageItem(items, "First");
    EXPECT_EQ(toolbarItemForIdentifier(items, "First"), first);
    EXPECT_NE(again, first);
    EXPECT_EQ(toolbarItemForIdentifier(items, "Third"), nullptr);
    EXPECT_EQ(toolbarItemForIdentifier(ToolbarItemList(), "First"), nullptr);

    EXPECT_EQ(toolbarItemIdentifiersIncludingStandardItems(items, false),
              QStringList({"First", "Second", "First"}));
    EXPECT_EQ(
        toolbarItemIdentifiersIncludingStandardItems(items, true),
        QStringList({"First", "Second", "First", ToolbarItem::CustomizeToolbarItemIdentifier,
                     ToolbarItem::FlexibleSpaceItemIdentifier, ToolbarItem::SpaceItemIdentifier,
                     ToolbarItem::SeparatorItemIdentifier}));
    EXPECT_EQ(toolbarItemIdentifiersIncludingStandardItems(ToolbarItemList(), true).size(), 4);
}

TEST(VKToolbarCategoriesTest, ImageItem_TakesEveryArgument_AndAMissingImageIsLogged)
{
    ToolbarItemList items;
    Responder target;
    ScopedLogCapture log;
    ToolbarItem* item = addToolbarItem(items, "Print", "Print Record", "Print Current Record",
                                       "Print the current record", "NoSuchImage", false, &target,
                                       "printDocument:", 7);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items.front().get(), item);
    EXPECT_EQ(item->itemIdentifier(), "Print");
    EXPECT_EQ(item->label(), "Print Record");
    EXPECT_EQ(item->paletteLabel(), "Print Current Record");
    EXPECT_EQ(item->toolTip(), "Print the current record");
    EXPECT_FALSE(item->isEnabled());
    EXPECT_EQ(item->target(), &target);
    EXPECT_EQ(item->action(), "printDocument:");
    EXPECT_EQ(item->tag(), 7);
    EXPECT_TRUE(item->image().isNull());
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().front().contains("NoSuchImage"));

    EXPECT_EQ(addImageItem(items, "Plain")->tag(), 0);
}

TEST(VKToolbarCategoriesTest, ViewItem_TakesAGivenZeroSizeFromItsView_AndNothingWithoutOne)
{
    QWidget view;
    view.resize(120, 22);
    const struct {
        const char* name;
        QWidget* view;
        float minWidth, maxWidth, minHeight, maxHeight;
        QSizeF minSize, maxSize;
    } cases[] = {
        {"all zero", &view, 0, 0, 0, 0, {120, 22}, {120, 22}},
        {"widths given", &view, 80, 300, 0, 0, {80, 22}, {300, 22}},
        {"heights given", &view, 0, 0, 18.5f, 30, {120, 18.5}, {120, 30}},
        {"no view", nullptr, 0, 0, 0, 0, {0, 0}, {0, 0}},
        {"no view, sizes given", nullptr, 10, 0, 0, 20, {10, 0}, {0, 20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ToolbarItemList items;
        ToolbarItem* item =
            addToolbarItem(items, "Dial", "Dial Popup Menu", "Dial Popup Menu",
                           "Select a dialing option.", c.view, c.minWidth, c.maxWidth, c.minHeight,
                           c.maxHeight, nullptr, nullptr, true, nullptr, QString(), 0);
        EXPECT_EQ(item->view(), c.view);
        EXPECT_EQ(item->minSize(), c.minSize);
        EXPECT_EQ(item->maxSize(), c.maxSize);
        EXPECT_EQ(item->menuFormRepresentation(), nullptr);
    }
}

TEST(VKToolbarCategoriesTest, ViewItem_MenuFormIsTheGivenItemOrOneTitledWithTheLabel)
{
    QWidget view;
    QMenu submenu;
    QAction given("Dialing");
    ToolbarItemList items;
    ToolbarItem* made = addToolbarItem(items, "Dial", "Dial Popup Menu", "Dial Popup Menu", "",
                                       &view, 0, 0, 0, 0, nullptr, &submenu, true, nullptr, "", 0);
    ToolbarItem* kept = addToolbarItem(items, "Other", "Other", "Other", "", &view, 0, 0, 0, 0,
                                       &given, &submenu, true, nullptr, "", 0);
    ASSERT_NE(made->menuFormRepresentation(), nullptr);
    EXPECT_EQ(made->menuFormRepresentation()->text(), "Dial Popup Menu");
    EXPECT_EQ(made->menuFormRepresentation()->menu(), &submenu);
    EXPECT_EQ(made->menuFormRepresentation()->parent(), made);
    EXPECT_EQ(kept->menuFormRepresentation(), &given);
    EXPECT_EQ(given.menu(), &submenu);

    // In text-only display the made one is a button titled with the label, opening the
    // submenu.
    ToolbarItemList shown;
    addToolbarItem(shown, "Dial", "Dial Popup Menu", "Dial Popup Menu", "", &view, 0, 0, 0, 0,
                   nullptr, &submenu, true, nullptr, "", 0);
    OneItemDelegate delegate(shown);
    QMainWindow window;
    Toolbar toolbar("Dialing");
    toolbar.setDelegate(&delegate);
    toolbar.setDisplayMode(Toolbar::DisplayMode::LabelOnly);
    toolbar.installInWindow(&window);
    QToolButton* button = nullptr;
    for (QToolButton* child : toolbar.toolBar()->findChildren<QToolButton*>()) {
        if (child->text() == "Dial Popup Menu")
            button = child;
    }
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "Dial Popup Menu");
    EXPECT_EQ(button->menu(), &submenu);
}

TEST(VKToolbarCategoriesTest, ToolbarHeight_IsZeroWithoutAToolbarOrWhileItIsHidden)
{
    EXPECT_EQ(toolbarHeightForWindow(nullptr), 0);
    QMainWindow window;
    EXPECT_EQ(toolbarHeightForWindow(&window), 0);

    ToolbarItemList items;
    addImageItem(items, "First");
    OneItemDelegate delegate(items);
    Toolbar toolbar("Height");
    toolbar.setDelegate(&delegate);
    toolbar.installInWindow(&window);
    const float height = toolbarHeightForWindow(&window);
    EXPECT_GT(height, 0);
    toolbar.setVisible(false);
    EXPECT_EQ(toolbarHeightForWindow(&window), 0);
    toolbar.setVisible(true);

    window.show();
    EXPECT_EQ(toolbarHeightForWindow(&window), float(toolbar.toolBar()->height()));
    toolbar.setVisible(false);
    EXPECT_EQ(toolbarHeightForWindow(&window), 0);
}
