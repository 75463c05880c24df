// The Datafiles, Templates and Dial menus built from the user's folders and defaults.
#include "MainController.h"

#include "ApplicationMenus.h"
#include "DocumentController.h"
#include "PopUpButton.h"
#include "ScriptedPresenter.h"
#include "SystemLog.h"
#include "UserDefaults.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Answers each folder panel with the next folder, and lets a test act while one is up.
class FolderPresenter : public ScriptedPresenter {
public:
    std::function<void()> whilePanelIsUp;
    QList<QUrl> runOpenPanel(const OpenPanelRequest& request, QWidget* window) override
    {
        if (whilePanelIsUp) {
            const auto act = std::exchange(whilePanelIsUp, nullptr);
            act();
        }
        return ScriptedPresenter::runOpenPanel(request, window);
    }
};

class MainControllerMenusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        UserDefaults::setStandardUserDefaults(&m_defaults);
        Presenter::setShared(&m_presenter);
        m_controller.initialize();
    }
    void TearDown() override
    {
        Presenter::setShared(nullptr);
        UserDefaults::setStandardUserDefaults(nullptr);
    }

    QString makeFolder(const QString& relative)
    {
        EXPECT_TRUE(QDir(m_dir.path()).mkpath(relative));
        return m_dir.filePath(relative);
    }
    QString makeFile(const QString& relative)
    {
        QFile file(m_dir.filePath(relative));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return file.fileName();
    }
    static QString folderURL(const QString& path)
    {
        return QUrl::fromLocalFile(path).toString() + '/';
    }

    // The titles of the items after the fixed ones.
    static QStringList titlesAfter(const QMenu* menu, int fixed)
    {
        QStringList titles;
        const QList<QAction*> items = menu->actions();
        for (qsizetype index = fixed; index < items.size(); ++index)
            titles << items[index]->text();
        return titles;
    }
    static QStringList names(const PlistArray& entries)
    {
        QStringList result;
        for (const PlistValue& entry : entries)
            result << entry.asDictionary()->stringForKey("Name");
        return result;
    }

    QMenu* datafilesMenu() const { return m_controller.menus().datafilesMenu(); }
    QMenu* templatesMenu() const { return m_controller.menus().templatesMenu(); }
    int scanDatafiles(const QString& folder, PlistArray& entries)
    {
        return m_controller.scanDirectory(folder, datafilesMenu(), entries, false);
    }

    QTemporaryDir m_dir;
    UserDefaults m_defaults{m_dir.filePath("defaults")};
    FolderPresenter m_presenter;
    MainController m_controller;
};

} // namespace

TEST_F(MainControllerMenusTest, Scan_ListsDatafilesInCaseInsensitiveOrderAfterTheFixedItems)
{
    const QString folder = makeFolder("Datafiles");
    makeFile("Datafiles/b.nv3");
    makeFile("Datafiles/A.nvm");
    makeFile("Datafiles/notes.txt");
    makeFolder("Datafiles/Old");
    makeFolder("Datafiles/.hidden");
    makeFile("Datafiles/.hidden/secret.nv3");
    makeFile("Datafiles/.x.nv3");

    PlistArray entries;
    EXPECT_EQ(scanDatafiles(folder, entries), 3);
    const int fixed = MainController::datafilesMenuFixedItemCount;
    EXPECT_EQ(titlesAfter(datafilesMenu(), fixed), QStringList({".x", "A.nvm", "b"}));
    EXPECT_EQ(names(entries), QStringList({".x", "A", "b"}));
    const PlistDictionary first = *entries.at(1).asDictionary();
    EXPECT_EQ(first.stringForKey("Path"), folder + "/A.nvm");
    EXPECT_EQ(first.size(), 2);
    const QAction* item = datafilesMenu()->actions().at(fixed + 1);
    EXPECT_EQ(PopUpButton::representedObject(item).toString(), folder + "/A.nvm");
    EXPECT_EQ(m_controller.menus().binding().selectorFor(item), "openFromDatafileMenu:");
    EXPECT_TRUE(item->shortcut().isEmpty());

    // A scan again replaces what the last one added, and the fixed items stay.
    QFile::remove(folder + "/b.nv3");
    entries.clear();
    EXPECT_EQ(scanDatafiles(folder, entries), 2);
    EXPECT_EQ(titlesAfter(datafilesMenu(), fixed), QStringList({".x", "A.nvm"}));
    EXPECT_EQ(datafilesMenu()->actions().first()->text(), "Datafile Hot Keys…");

    // A folder that cannot be read leaves only the fixed items.
    entries.clear();
    EXPECT_EQ(scanDatafiles(m_dir.filePath("missing"), entries), 0);
    EXPECT_EQ(datafilesMenu()->actions().size(), fixed);
}

TEST_F(MainControllerMenusTest, Scan_TemplatesKeepTheirSixItemsAndHaveNoShortcuts)
{
    const QString folder = makeFolder("Templates");
    makeFile("Templates/Lab.zlabel");
    makeFile("Templates/Env.zenv");
    makeFile("Templates/Some.nv3");
    m_defaults.setObject(
        PlistArray{PlistDictionary{{"Path", folder + "/Env.zenv"}, {"KeyEquivalent", "1"}}},
        "HotKeySettings");
    PlistArray entries;
    EXPECT_EQ(m_controller.scanDirectory(folder, templatesMenu(), entries, true), 2);
    const int fixed = MainController::templatesMenuFixedItemCount;
    EXPECT_EQ(titlesAfter(templatesMenu(), fixed), QStringList({"Env", "Lab"}));
    EXPECT_EQ(templatesMenu()->actions().at(fixed - 2)->text(), "Change Templates Folder…");
    for (const QAction* item : templatesMenu()->actions().mid(fixed)) {
        EXPECT_TRUE(item->shortcut().isEmpty());
        EXPECT_EQ(m_controller.menus().binding().selectorFor(item), "openFromTemplateMenu:");
    }
}

TEST_F(MainControllerMenusTest, Scan_SubfoldersBecomeGroupsAndLinksTheirTargets)
{
    const QString folder = makeFolder("Datafiles");
    makeFolder("Datafiles/Work/Empty");
    makeFile("Datafiles/Work/Clients.nv3");
    const QString elsewhere = makeFile("Real.nv3");
    ASSERT_TRUE(QFile::link(elsewhere, folder + "/Shortcut"));
    ASSERT_TRUE(QFile::link(m_dir.filePath("gone.nv3"), folder + "/Dangling.nv3"));
    // A link back to an ancestor would be scanned for ever.
    ASSERT_TRUE(QFile::link(folder, folder + "/Work/Loop"));

    PlistArray entries;
    EXPECT_EQ(scanDatafiles(folder, entries), 3);
    EXPECT_EQ(names(entries), QStringList({"Dangling", "Shortcut", "Work"}));

    // A dangling link is listed as itself; a link to a file names its target.
    EXPECT_EQ(entries.at(0).asDictionary()->stringForKey("Path"), folder + "/Dangling.nv3");
    EXPECT_EQ(entries.at(1).asDictionary()->stringForKey("Path"), elsewhere);

    const PlistDictionary group = *entries.at(2).asDictionary();
    EXPECT_EQ(group.stringForKey("IsGroup"), "YES");
    EXPECT_FALSE(group.contains("Path"));
    EXPECT_EQ(names(*group.value("Items").asArray()), QStringList({"Clients"}));
    const QAction* work = datafilesMenu()->actions().last();
    ASSERT_TRUE(work->menu());
    EXPECT_EQ(work->text(), "Work");
    EXPECT_EQ(titlesAfter(work->menu(), 0), QStringList({"Clients"}));

    EXPECT_EQ(MainController::targetOfAlias(folder + "/Shortcut"), elsewhere);
    EXPECT_EQ(MainController::targetOfAlias(folder + "/Dangling.nv3"), std::nullopt);
    EXPECT_EQ(MainController::targetOfAlias(elsewhere), std::nullopt);
}

TEST_F(MainControllerMenusTest, HotKeys_TildePathsMatch_FirstRowWins_ShortcutIsCtrlDigit)
{
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", m_dir.path().toUtf8());
    const QString folder = makeFolder("Datafiles");
    const QString clients = makeFile("Datafiles/Clients.nv3");
    makeFile("Datafiles/Other.nv3");
    m_defaults.setObject(
        PlistArray{PlistDictionary{
                       {"Mode", 3}, {"Path", "~/Datafiles/Clients.nv3"}, {"KeyEquivalent", "3"}},
                   PlistDictionary{{"Mode", 4}, {"Path", clients}, {"KeyEquivalent", "4"}},
                   PlistDictionary{{"Mode", 10}, {"Path", folder + "/Other.nv3"}}},
        "HotKeySettings");

    EXPECT_EQ(MainController::findHotKeysEquivalentForPath(clients), "3");
    // A row without a key gives none.
    EXPECT_EQ(MainController::findHotKeysEquivalentForPath(folder + "/Other.nv3"), "");
    EXPECT_EQ(MainController::findHotKeysEquivalentForPath(folder + "/None.nv3"), "");

    PlistArray entries;
    scanDatafiles(folder, entries);
    const QList<QAction*> items = datafilesMenu()->actions();
    EXPECT_EQ(items.at(MainController::datafilesMenuFixedItemCount)->shortcut(),
              QKeySequence(Qt::CTRL | Qt::Key_3));
    EXPECT_TRUE(items.last()->shortcut().isEmpty());
    qputenv("HOME", home);
}

TEST_F(MainControllerMenusTest, DialMenu_MadeFromTheDialingSetsWithTheDefaultsOnCtrlD)
{
    m_controller.setupDialMenu();
    const PlistArray stored = m_defaults.arrayForKey("DialingSetList").value_or(PlistArray());
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored.at(0),
              PlistValue(PlistDictionary{
                  {"SetName", "Basic"}, {"Prefix", ""}, {"Suffix", ""}, {"IsDefault", true}}));
    EXPECT_EQ(
        stored.at(1),
        PlistValue(PlistDictionary{
            {"SetName", "Long Distance"}, {"Prefix", "1"}, {"Suffix", ""}, {"IsDefault", false}}));

    const auto check = [this](const QStringList& titles, const QList<bool>& onCtrlD) {
        const QList<QAction*> items = m_controller.menus().dialMenu()->actions();
        ASSERT_EQ(items.size(), titles.size());
        for (qsizetype index = 0; index < items.size(); ++index) {
            EXPECT_EQ(items[index]->text(), titles[index]);
            EXPECT_EQ(PopUpButton::tag(items[index]), index);
            EXPECT_EQ(items[index]->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_D),
                      onCtrlD[index])
                << index;
            EXPECT_EQ(m_controller.menus().binding().selectorFor(items[index]), "dialPhone:");
        }
    };
    check({"Basic", "Long Distance"}, {true, false});

    m_defaults.setObject(PlistArray{PlistDictionary{{"SetName", "Home"}, {"IsDefault", true}},
                                    PlistDictionary{{"SetName", "Office"}, {"IsDefault", true}},
                                    PlistDictionary{{"SetName", "Away"}}},
                         "DialingSetList");
    m_controller.setupDialMenu();
    check({"Home", "Office", "Away"}, {true, true, false});
}

TEST_F(MainControllerMenusTest, FolderPanel_OnlyWhenNoFolderIsKnown)
{
    const QString datafiles = makeFolder("Datafiles");
    makeFile("Datafiles/A.nv3");
    const QString templates = makeFolder("Templates");

    // A known folder that is there: no panel.
    m_defaults.setObject(folderURL(datafiles), "DatafilesFolderURL");
    m_defaults.setObject(folderURL(templates), "TemplatesFolderURL");
    m_controller.setupNorvaMenus();
    EXPECT_TRUE(m_presenter.openPanels().isEmpty());
    EXPECT_EQ(titlesAfter(datafilesMenu(), MainController::datafilesMenuFixedItemCount),
              QStringList({"A"}));

    // None known: the panel asks, and the chosen folder is stored and scanned.
    m_defaults.removeObjectForKey("DatafilesFolderURL");
    const QString chosen = makeFolder("Chosen");
    makeFile("Chosen/B.nv3");
    m_presenter.answerOpenPanel({QUrl::fromLocalFile(chosen)});
    m_controller.setupDatafilesMenu();
    ASSERT_EQ(m_presenter.openPanels().size(), 1);
    const OpenPanelRequest& panel = m_presenter.openPanels().first().request;
    EXPECT_EQ(panel.message, "Select Your Datafiles Folder (Shown in the Popup Menu).");
    EXPECT_EQ(panel.prompt, "Select");
    EXPECT_FALSE(panel.canChooseFiles);
    EXPECT_TRUE(panel.canChooseDirectories);
    EXPECT_FALSE(panel.allowsMultipleSelection);
    EXPECT_TRUE(panel.canCreateDirectories);
    EXPECT_FALSE(panel.resolvesAliases);
    EXPECT_EQ(m_defaults.stringForKey("DatafilesFolderURL"),
              "file://localhost" + QUrl::toPercentEncoding(chosen, "/") + "/");
    EXPECT_EQ(titlesAfter(datafilesMenu(), MainController::datafilesMenuFixedItemCount),
              QStringList({"B"}));

    // The datafiles folder chosen in this session is not asked for again when it goes;
    // a missing templates folder is.
    QDir(chosen).removeRecursively();
    QDir(templates).removeRecursively();
    m_controller.setupDatafilesMenu();
    EXPECT_EQ(m_presenter.openPanels().size(), 1);
    EXPECT_EQ(datafilesMenu()->actions().size(), MainController::datafilesMenuFixedItemCount);
    m_controller.setupTemplatesMenu();
    ASSERT_EQ(m_presenter.openPanels().size(), 2);
    EXPECT_EQ(m_presenter.openPanels().last().request.message,
              "Select Your Templates Folder (Shown in the Popup Menu).");
}

TEST_F(MainControllerMenusTest, FolderPanel_NothingElseWhileItIsUp)
{
    int panelsDuring = -1;
    m_presenter.whilePanelIsUp = [this, &panelsDuring] {
        // Becoming active again while choosing: no second panel, no rebuild.
        m_controller.resetupNorvaMenus();
        m_controller.setupDatafilesMenu();
        panelsDuring = int(m_presenter.openPanels().size());
    };
    ScopedLogCapture log;
    m_controller.setupDatafilesMenu();
    EXPECT_EQ(panelsDuring, 0);
    EXPECT_EQ(m_presenter.openPanels().size(), 1);
    // Cancelled: no folder, the menu stays as it was.
    EXPECT_TRUE(log.lines().contains("directoryURL is nil - 1"));
    EXPECT_TRUE(log.lines().contains("directoryURL is nil - 2"));
    EXPECT_EQ(datafilesMenu()->actions().size(), MainController::datafilesMenuFixedItemCount);
}

TEST_F(MainControllerMenusTest, ChangeFolder_AsksFirstAndForgetsTheFolder)
{
    const QString datafiles = makeFolder("Datafiles");
    m_defaults.setObject(folderURL(datafiles), "DatafilesFolderURL");
    m_defaults.setObject(folderURL(datafiles), "TemplatesFolderURL");

    m_presenter.answerAlertWithButton("Cancel");
    m_controller.performAction("resetDatafilesFolder:");
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    const AlertRequest& alert = m_presenter.lastAlert().request;
    EXPECT_EQ(alert.messageText, "Are you sure you want to change your Datafiles folder?");
    EXPECT_EQ(alert.informativeText,
              "If you change it, be sure to move or copy any datafiles into the new Datafiles "
              "folder.");
    EXPECT_EQ(alert.buttons, QStringList({"Change It", "Cancel"}));
    EXPECT_TRUE(m_defaults.stringForKey("DatafilesFolderURL"));

    // Changing it asks for the new folder at once.
    m_presenter.answerAlertWithButton("Change It");
    m_controller.performAction("resetDatafilesFolder:");
    EXPECT_FALSE(m_defaults.stringForKey("DatafilesFolderURL"));
    EXPECT_EQ(m_presenter.openPanels().size(), 1);

    // The templates folder is asked for at the next rebuild.
    m_presenter.answerAlertWithButton("Change It");
    m_controller.performAction("resetTemplatesFolder:");
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "Are you sure you want to change your Templates folder?");
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "If you change it, be sure to move or copy any templates into the new Templates "
              "folder.");
    EXPECT_FALSE(m_defaults.stringForKey("TemplatesFolderURL"));
    EXPECT_EQ(m_presenter.openPanels().size(), 1);
    m_controller.setupTemplatesMenu();
    EXPECT_EQ(m_presenter.openPanels().size(), 2);
}

TEST_F(MainControllerMenusTest, OpenFromMenu_AFileThatCannotBeReadIsLoggedAndShown)
{
    const QString folder = makeFolder("Templates");
    const QString label = makeFile("Templates/Lab.zlabel");
    PlistArray entries;
    m_controller.scanDirectory(folder, templatesMenu(), entries, true);
    m_controller.setTestForRecordsThatDontFit(false);

    ScopedLogCapture log;
    templatesMenu()->actions().last()->trigger();
    EXPECT_TRUE(m_controller.testForRecordsThatDontFit());
    EXPECT_EQ(log.lines(), QStringList({"Unable to open " + label +
                                        ": Error Norva cannot open files of this kind."}));
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "The document “Lab.zlabel” could not be opened.");
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "Norva cannot open files of this kind.");
}

TEST_F(MainControllerMenusTest, Reveal_ShowsTheFolderInTheFileManager)
{
    const QString datafiles = makeFolder("Datafiles");
    const QString templates = makeFolder("Templates");
    m_defaults.setObject(folderURL(datafiles), "DatafilesFolderURL");
    m_defaults.setObject(folderURL(templates), "TemplatesFolderURL");
    m_controller.performAction("revealDatafilesFolderInFinder:");
    m_controller.performAction("revealTemplatesFolderInFinder:");
    EXPECT_EQ(m_presenter.revealedPaths(), QStringList({datafiles, templates}));
}
