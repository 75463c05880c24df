#include "DatafileFolderWalk.h"

#include "PopUpButton.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

// Each item's title, a submenu's followed by its own items in brackets.
QString describe(const QMenu* menu)
{
    QStringList titles;
    for (const QAction* item : menu->actions())
        titles.append(item->menu() ? item->text() + " [" + describe(item->menu()) + "]"
                                   : item->text());
    return titles.join(", ");
}

class DatafileFolderWalkTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_folder = m_dir.filePath("Datafiles");
        touch(m_folder + "/Smith.nv3");
        touch(m_folder + "/Smith.nvm");
        touch(m_folder + "/.x.nv3");
        touch(m_folder + "/notes.txt");
        touch(m_folder + "/.Hidden/A.nv3");
        QDir().mkpath(m_folder + "/Empty");
        touch(m_folder + "/Work/Jones.nv3");
        touch(m_dir.filePath("Elsewhere/Target.nv3"));
        QFile::link(m_dir.filePath("Elsewhere/Target.nv3"), m_folder + "/Alias.nv3");
        QFile::link(m_folder, m_folder + "/Loop");
    }

    QTemporaryDir m_dir;
    QString m_folder;
};

} // namespace

TEST_F(DatafileFolderWalkTest, ListsDatafilesSortedWithFoldersFollowingLinksOnceAndGivingEachItem)
{
    QMenu menu;
    menu.addAction("Fixed");
    PlistArray entries;
    QList<QAction*> made;
    DatafileFolderWalk([&made](QAction* item) {
        made.append(item);
    }).scanDirectory(m_folder, &menu, entries);

    // Hidden datafiles are listed, hidden folders and other files are not, a link back up
    // the tree is not followed, and an empty folder keeps its empty submenu.
    EXPECT_EQ(describe(&menu), "Fixed, .x, Alias, Empty [], Smith, Smith.nvm, Work [Jones]");
    const QList<QAction*> items = menu.actions();
    EXPECT_EQ(PopUpButton::representedObject(items.at(2)).toString(),
              m_dir.filePath("Elsewhere/Target.nv3"));
    EXPECT_EQ(PopUpButton::representedObject(items.at(5)).toString(), m_folder + "/Smith.nvm");
    // Each datafile's item was handed over once it was in its menu, the sub-folder's too.
    ASSERT_EQ(made.size(), 5);
    EXPECT_EQ(made.back()->text(), "Jones");
    EXPECT_EQ(made.back()->parent(), items.at(6)->menu());

    ASSERT_EQ(entries.size(), 6);
    EXPECT_EQ(entries.at(1).asDictionary()->stringForKey("Path"),
              m_dir.filePath("Elsewhere/Target.nv3"));
    EXPECT_EQ(entries.at(2).asDictionary()->stringForKey("IsGroup"), "YES");
    EXPECT_EQ(entries.at(2).asDictionary()->find("Items")->asArray()->size(), 0);
    EXPECT_EQ(entries.at(3).asDictionary()->stringForKey("Name"), "Smith");
}

TEST_F(DatafileFolderWalkTest, MissingFolderAddsNothing_AliasOfAFileOnly)
{
    QMenu menu;
    PlistArray entries;
    DatafileFolderWalk({}).scanDirectory(m_dir.filePath("Gone"), &menu, entries);
    EXPECT_TRUE(menu.actions().isEmpty());
    EXPECT_TRUE(entries.isEmpty());

    EXPECT_EQ(DatafileFolderWalk::targetOfAlias(m_folder + "/Alias.nv3"),
              m_dir.filePath("Elsewhere/Target.nv3"));
    EXPECT_EQ(DatafileFolderWalk::targetOfAlias(m_folder + "/Smith.nv3"), std::nullopt);
}
