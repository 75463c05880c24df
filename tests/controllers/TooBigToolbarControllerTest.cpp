#include "TooBigToolbarController.h"

#include "Toolbar.h"
#include "ToolbarItem.h"
#include "UserDefaults.h"

#include <QMainWindow>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(TooBigToolbarControllerTest, FixedIconsOnlyAndNeverSaved)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    UserDefaults defaults(folder.path());
    UserDefaults::setStandardUserDefaults(&defaults);
    {
        QMainWindow window;
        TooBigToolbarController controller;
        controller.setWindow(&window);
        controller.setupFixed();
        Toolbar* toolbar = controller.toolbar();
        ASSERT_TRUE(toolbar);
        EXPECT_EQ(toolbar->itemIdentifiers(),
                  QStringList({"FirstRecord", "PreviousRecord", "NextRecord", "LastRecord",
                               "UpdateDrawerContents", "StopEditing"}));
        EXPECT_EQ(toolbar->displayMode(), Toolbar::DisplayMode::IconOnly);
        EXPECT_FALSE(toolbar->allowsUserCustomization());
        EXPECT_FALSE(toolbar->autosavesConfiguration());
        const QList<ToolbarItem*> items = toolbar->items();
        ASSERT_EQ(items.size(), 6);
        EXPECT_EQ(items.at(4)->action(), "updateDrawerContents:");
        EXPECT_EQ(items.at(5)->action(), "quitEditingNonPrintableRecords:");
        EXPECT_EQ(items.at(5)->toolTip(), "Stop editing records.");
        for (const ToolbarItem* item : items)
            EXPECT_FALSE(item->image().isNull()) << item->itemIdentifier().toStdString();
        toolbar->setVisible(false);
        EXPECT_FALSE(defaults.dictionaryForKey(Toolbar::configurationKey("TooBigEditor")));
    }
    UserDefaults::setStandardUserDefaults(nullptr);
}
