// A user's journeys through File ▸ Datafiles and Templates and the Dial menu, the menus
// mirroring the user's folders as the program finds them each time it comes to the front.
#include "JourneyTestBase.h"

#include "FilePathField.h"
#include "FileURL.h"
#include "HotKeyHandler.h"
#include "HotKeySheetController.h"
#include "NotificationCenter.h"
#include "PopUpButton.h"
#include "VKViewsListView.h"

#include <QPushButton>

namespace {

class DatafilesMenuJourneyTest : public JourneyTestBase {
protected:
    // The application comes to the front again, as after the user worked in another one.
    static void becomeActive()
    {
        QEvent activate(QEvent::ApplicationActivate);
        QCoreApplication::sendEvent(QCoreApplication::instance(), &activate);
    }

    // The item of the window's File ▸ Datafiles (or its submenus) with the title.
    static QAction* itemTitled(QMenu* menu, const QString& title)
    {
        for (QAction* item : menu->actions()) {
            if (item->text() == title)
                return item;
            if (item->menu())
                if (QAction* found = itemTitled(item->menu(), title))
                    return found;
        }
        return nullptr;
    }
    QMenu* datafilesMenu() const { return m_assembly->mainController().menus().datafilesMenu(); }
    QMenu* templatesMenu() const { return m_assembly->mainController().menus().templatesMenu(); }

    Document* documentAt(const QString& path) const
    {
        return DocumentController::shared().documentForURL(QUrl::fromLocalFile(path));
    }
};

} // namespace

TEST_F(DatafilesMenuJourneyTest, ADatafileAddedToTheFolderIsInTheMenuAndOpensFromIt)
{
    QWidget* start = &m_assembly->startWindow();
    const QString path = copyFixture("good.nv3");
    QDir(m_dir.path()).mkdir("Work");
    const QString linked = copyFixture("five.nv3", "Work/five.nv3");
    ASSERT_TRUE(QFile::link(linked, m_dir.filePath("Five Link.nv3")));
    EXPECT_FALSE(itemTitled(datafilesMenu(), "good"));

    becomeActive();
    QAction* good = itemTitled(datafilesMenu(), "good");
    ASSERT_TRUE(good);
    showMenusOf(start);
    EXPECT_TRUE(good->isEnabled());
    good->trigger();
    ASSERT_TRUE(documentAt(path));

    // A link opens the file it points to; a subfolder is a submenu.
    QAction* link = itemTitled(datafilesMenu(), "Five Link");
    ASSERT_TRUE(link);
    link->trigger();
    EXPECT_TRUE(documentAt(linked));
    EXPECT_TRUE(itemTitled(datafilesMenu(), "Work")->menu());
    EXPECT_TRUE(m_presenter.alerts().isEmpty())
        << m_presenter.alertMessages().join('\n').toStdString();
}

TEST_F(DatafilesMenuJourneyTest, AHotKeyOpensItsDatafileWithCtrlAndItsDigit)
{
    const QString path = copyFixture("good.nv3");
    m_defaults.setObject(
        PlistArray{PlistDictionary{{"Mode", 3}, {"Path", path}, {"KeyEquivalent", "3"}}},
        "HotKeySettings");
    becomeActive();
    EXPECT_EQ(itemTitled(datafilesMenu(), "good")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_3));
    QTest::keyClick(&m_assembly->startWindow(), Qt::Key_3, Qt::ControlModifier);
    EXPECT_TRUE(documentAt(path));
}

TEST_F(DatafilesMenuJourneyTest, AFileThatCannotBeOpenedIsTold)
{
    const QString broken = copyFixture("catalog-not-array.nv3");
    becomeActive();
    itemTitled(datafilesMenu(), "catalog-not-array")->trigger();
    EXPECT_FALSE(documentAt(broken));
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "The document “catalog-not-array.nv3” could not be opened.");
}

TEST_F(DatafilesMenuJourneyTest, ShowAndChangeTheFolders)
{
    QWidget* start = &m_assembly->startWindow();
    ASSERT_TRUE(chooseMenuItem(start, "revealDatafilesFolderInFinder:"));
    ASSERT_TRUE(chooseMenuItem(start, "revealTemplatesFolderInFinder:"));
    EXPECT_EQ(m_presenter.revealedPaths(),
              QStringList({QFileInfo(m_dir.path()).canonicalFilePath(),
                           QFileInfo(m_dir.filePath("Templates")).canonicalFilePath()}));

    const QString other = m_dir.filePath("Other");
    QDir(m_dir.path()).mkdir("Other");
    QFile::copy(QStringLiteral(NORVA_FIXTURES_DIR "/datafile/good.nv3"), other + "/Elsewhere.nv3");
    m_presenter.answerAlertWithButton("Change It");
    m_presenter.answerOpenPanel({QUrl::fromLocalFile(other)});
    ASSERT_TRUE(chooseMenuItem(start, "resetDatafilesFolder:"));
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "Are you sure you want to change your Datafiles folder?");
    ASSERT_EQ(m_presenter.openPanels().size(), 1);
    EXPECT_TRUE(itemTitled(datafilesMenu(), "Elsewhere"));

    // The fixed items lead the menus.
    QStringList fixed;
    for (QAction* item : datafilesMenu()->actions().mid(0, 3))
        fixed << item->text();
    EXPECT_EQ(fixed, QStringList({"Datafile Hot Keys…", "Show Datafiles Folder",
                                  "Change Datafiles Folder…"}));
    fixed.clear();
    for (QAction* item : templatesMenu()->actions())
        fixed << item->text();
    EXPECT_EQ(fixed, QStringList({"New Label…", "New Envelope…", "", "Show Templates Folder",
                                  "Change Templates Folder…", ""}));
}

TEST_F(DatafilesMenuJourneyTest, TheDialMenuIsInEveryMenuBarWithTheDialingSets)
{
    const auto dialMenuOf = [](QWidget* window) -> QAction* {
        for (QAction* top : window->findChild<QMenuBar*>()->actions())
            if (top->text() == "&Dial")
                return top;
        return nullptr;
    };
    QAction* startDial = dialMenuOf(&m_assembly->startWindow());
    ASSERT_TRUE(startDial);
    EXPECT_TRUE(startDial->isVisible());
    QStringList titles;
    for (QAction* item : startDial->menu()->actions())
        titles << item->text();
    EXPECT_EQ(titles, QStringList({"Basic", "Long Distance"}));

    EditorWindowController* editor = openWithCommand(copyFixture("good.nv3"));
    ASSERT_TRUE(editor);
    ASSERT_TRUE(dialMenuOf(editor->window()));
    EXPECT_TRUE(dialMenuOf(editor->window())->isVisible());

    // Changed dialing sets make the menu afresh.
    m_defaults.setObject(PlistArray{PlistDictionary{{"SetName", "Office"}, {"IsDefault", true}}},
                         "DialingSetList");
    NotificationCenter::defaultCenter().postNotification("DialingSetChanged", nullptr);
    ASSERT_EQ(startDial->menu()->actions().size(), 1);
    EXPECT_EQ(startDial->menu()->actions().first()->text(), "Office");
    EXPECT_EQ(startDial->menu()->actions().first()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
}

TEST_F(DatafilesMenuJourneyTest, HotKeysSetInTheSheetOpenTheirDatafiles)
{
    QWidget* start = &m_assembly->startWindow();
    const QString good = copyFixture("good.nv3");
    const QString five = copyFixture("five.nv3");
    becomeActive();
    ASSERT_TRUE(chooseMenuItem(start, "editDatafileHotKeys:"));
    auto* sheet = VKSheetController::topmostController<HotKeySheetController>();
    ASSERT_TRUE(sheet);
    const auto row = [sheet](int index) {
        return static_cast<HotKeyHandler*>(sheet->datafileView()->handlers().at(size_t(index)));
    };
    row(0)->pathField()->setText(good);
    row(0)->addButton()->click();
    row(1)->modePopup()->itemWithTag(7)->trigger();
    row(1)->pathField()->setText(five);
    sheet->okayButton()->click();

    EXPECT_EQ(itemTitled(datafilesMenu(), "good")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_1));
    EXPECT_EQ(itemTitled(datafilesMenu(), "five")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_7));
    QTest::keyClick(start, Qt::Key_7, Qt::ControlModifier);
    EXPECT_TRUE(documentAt(five));
    EXPECT_FALSE(documentAt(good));
}

TEST_F(DatafilesMenuJourneyTest, ComingToTheFrontWithEveryDatafileMinimisedShowsTheFirst)
{
    EditorWindowController* first = openWithCommand(copyFixture("good.nv3"));
    EditorWindowController* second = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(first && second);
    first->window()->showMinimized();
    second->window()->showMinimized();
    becomeActive();
    EXPECT_FALSE(first->window()->isMinimized());
    EXPECT_TRUE(second->window()->isMinimized());

    // One shown is enough: the others stay as the user left them.
    first->window()->showMinimized();
    second->window()->showNormal();
    becomeActive();
    EXPECT_TRUE(first->window()->isMinimized());
}

namespace {

// Answers from its script; while a folder panel is up the desktop activates the
// application, as it does when the panel comes up.
class ActivatingPresenter : public ScriptedPresenter {
public:
    QList<QUrl> runOpenPanel(const OpenPanelRequest& request, QWidget* window) override
    {
        m_panelsUpAtEach.append(m_panelsUp);
        ++m_panelsUp;
        QEvent activate(QEvent::ApplicationActivate);
        QCoreApplication::sendEvent(QCoreApplication::instance(), &activate);
        --m_panelsUp;
        return ScriptedPresenter::runOpenPanel(request, window);
    }
    // How many other panels were still up when each one came up.
    QList<int> m_panelsUpAtEach;

private:
    int m_panelsUp = 0;
};

// The first start: neither folder is known yet.
class FirstStartJourneyTest : public JourneyTestBase {
protected:
    void beforeLaunch() override
    {
        m_defaults.removeObjectForKey(QStringLiteral("DatafilesFolderURL"));
        m_defaults.removeObjectForKey(QStringLiteral("TemplatesFolderURL"));
        QDir(m_dir.path()).mkdir(QStringLiteral("Datafiles"));
        m_folders.answerOpenPanel({QUrl::fromLocalFile(m_dir.filePath("Datafiles"))});
        m_folders.answerOpenPanel({QUrl::fromLocalFile(m_dir.filePath("Templates"))});
        Presenter::setShared(&m_folders);
    }

    ActivatingPresenter m_folders;
};

} // namespace

TEST_F(FirstStartJourneyTest, TheTwoFoldersAreAskedForOneAfterTheOtherFromTheHomeFolder)
{
    const QList<ScriptedPresenter::ShownOpenPanel>& panels = m_folders.openPanels();
    ASSERT_EQ(panels.size(), 2);
    EXPECT_EQ(panels[0].request.message, "Select Your Datafiles Folder (Shown in the Popup Menu).");
    EXPECT_EQ(panels[1].request.message, "Select Your Templates Folder (Shown in the Popup Menu).");
    EXPECT_EQ(m_folders.m_panelsUpAtEach, (QList<int>{0, 0})) << "a panel came up on another";
    for (const ScriptedPresenter::ShownOpenPanel& panel : panels)
        EXPECT_EQ(panel.request.directory, QDir::homePath());
    EXPECT_EQ(m_defaults.stringForKey("DatafilesFolderURL"),
              FileURL::folderURLString(m_dir.filePath("Datafiles")));
    EXPECT_EQ(m_defaults.stringForKey("TemplatesFolderURL"),
              FileURL::folderURLString(m_dir.filePath("Templates")));

    // Once both are known, coming to the front asks for neither again.
    QEvent activate(QEvent::ApplicationActivate);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &activate);
    EXPECT_EQ(m_folders.openPanels().size(), 2);
}
