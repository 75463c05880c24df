// The Preferences window, opened from the Edit menu as the user would.
#include "JourneyTestBase.h"

#include "Application.h"
#include "PreferencesController.h"
#include "PreferencesToolbarController.h"
#include "Toolbar.h"
#include "ToolbarItem.h"

#include "PopUpButton.h"
#include "PseudoTerminalModem.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>

namespace {

class PreferencesJourneyTest : public JourneyTestBase {
protected:
    void SetUp() override
    {
        // No real serial port is written to.
        PreferencesController::setModemProbeSeams([] { return QStringList(); },
                                                  [](double) { return 0.0; });
        JourneyTestBase::SetUp();
    }
    void TearDown() override
    {
        JourneyTestBase::TearDown();
        PreferencesController::setModemProbeSeams({}, {});
    }

    // The one Preferences window's controller; nullptr while none is open.
    static PreferencesController* openPreferences()
    {
        PreferencesController* found = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* preferences =
                    dynamic_cast<PreferencesController*>(WindowController::controllerForWindow(window)))
                found = preferences;
        }
        return found;
    }

    static void clickPane(PreferencesController& preferences, const QString& pane)
    {
        Toolbar* toolbar = preferences.preferencesToolbarController().toolbar();
        for (ToolbarItem* item : toolbar->items()) {
            if (item->itemIdentifier() != pane)
                continue;
            auto* button = qobject_cast<QToolButton*>(
                toolbar->toolBar()->widgetForAction(item->buttonAction()));
            ASSERT_TRUE(button);
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
        FAIL() << pane.toStdString();
    }

    static void saveGrab(QWidget* window, const QString& name)
    {
        const QString folder = QDir::temp().filePath(QStringLiteral("norva-journeys"));
        QDir().mkpath(folder);
        window->grab().save(QDir(folder).filePath(name));
    }
};

} // namespace

TEST_F(PreferencesJourneyTest, EditPreferences_OpensOneWindowOnUpdates_ToolbarSwitchesPanes)
{
    QWidget* start = &m_assembly->startWindow();
    EXPECT_FALSE(openPreferences());
    ASSERT_TRUE(chooseMenuItem(start, QStringLiteral("startPreferences:")));
    PreferencesController* preferences = openPreferences();
    ASSERT_TRUE(preferences);
    QWidget* window = preferences->window();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Updates"));
    saveGrab(window, QStringLiteral("preferences-updates.png"));

    clickPane(*preferences, QStringLiteral("General"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("General"));
    EXPECT_EQ(preferences->selectedPane(), PreferencesController::GeneralPane);
    saveGrab(window, QStringLiteral("preferences-general.png"));
    preferences->generalControls().quitWhenLastFileClosedCheck->click();
    EXPECT_TRUE(m_defaults.boolForKey(QStringLiteral("GeneralQuitAfterLastFile")));

    // The window keeps its toolbar, and a second Preferences… only brings it forward.
    activate(window);
    showMenusOf(start);
    QAction* toggle = menuItem(start, QStringLiteral("showHideToolbar:"));
    ASSERT_TRUE(toggle);
    EXPECT_FALSE(toggle->isEnabled());
    ASSERT_TRUE(chooseMenuItem(start, QStringLiteral("startPreferences:")));
    EXPECT_EQ(openPreferences(), preferences);
    EXPECT_EQ(preferences->selectedPane(), PreferencesController::GeneralPane);
}

TEST_F(PreferencesJourneyTest, TheWindow_OpensInTheMiddleFirst_EveryPaneKeepsItOnTheScreen)
{
    ASSERT_TRUE(chooseMenuItem(&m_assembly->startWindow(), QStringLiteral("startPreferences:")));
    PreferencesController* preferences = openPreferences();
    ASSERT_TRUE(preferences);
    QWidget* window = preferences->window();
    const QRect available = window->screen()->availableGeometry();
    const auto onScreen = [&] {
        const QRect frame = window->frameGeometry();
        return ::testing::AssertionResult(available.contains(frame))
               << frame.x() << ',' << frame.y() << ' ' << frame.width() << 'x' << frame.height();
    };
    EXPECT_TRUE(onScreen());
    const QPoint offCentre = window->frameGeometry().center() - available.center();
    EXPECT_LE(std::abs(offCentre.x()), 2);
    EXPECT_LE(std::abs(offCentre.y()), 2);

    // From the shortest pane to the tallest and back: the title bar stays on the screen.
    for (const char* pane : {"Dialing", "Modem", "General", "Updates"}) {
        clickPane(*preferences, QString::fromLatin1(pane));
        EXPECT_TRUE(onScreen()) << pane;
    }
    // Where the user left it, the next time.
    window->move(available.topLeft() + QPoint(30, 40));
    const QPoint left = window->frameGeometry().topLeft();
    window->close();
    ASSERT_TRUE(chooseMenuItem(&m_assembly->startWindow(), QStringLiteral("startPreferences:")));
    EXPECT_EQ(window->frameGeometry().topLeft(), left);
    EXPECT_TRUE(onScreen());
}

TEST_F(PreferencesJourneyTest, ServicesAndSpecial_ShowTheDatafilesFolderAndWhatIsStored)
{
    for (const char* name : {"Clients.nvm", "Accounts.nv3", "Sub/Inner.nv3"}) {
        QDir().mkpath(QFileInfo(m_dir.filePath(name)).absolutePath());
        QFile file(m_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString inner = m_dir.filePath("Sub/Inner.nv3");
    const QString gone = m_dir.filePath("Gone.nv3");
    m_defaults.setObject(inner, QStringLiteral("PreferredServicesDatafilePath"));
    m_defaults.setObject(gone, QStringLiteral("PreferredServicesDatafilePathForURLs"));
    // Stored though Dropbox cannot be used here.
    m_defaults.setInteger(3, QStringLiteral("DefaultSynchMethod"));

    ASSERT_TRUE(chooseMenuItem(&m_assembly->startWindow(), QStringLiteral("startPreferences:")));
    PreferencesController* preferences = openPreferences();
    ASSERT_TRUE(preferences);
    clickPane(*preferences, QStringLiteral("Services"));
    EXPECT_EQ(preferences->window()->windowTitle(), QStringLiteral("Services"));
    saveGrab(preferences->window(), QStringLiteral("preferences-services.png"));

    const PreferencesController::ServicesControls& services = preferences->servicesControls();
    QStringList titles;
    for (QAction* item : services.preferredDatafilePopup->itemArray())
        titles.append(item->text());
    EXPECT_EQ(titles.mid(0, 4), (QStringList{"None", "", "Accounts", "Clients.nvm"}));
    EXPECT_EQ(services.preferredDatafilePopup->titleOfSelectedItem(), QStringLiteral("Inner"));
    EXPECT_EQ(services.preferredDatafileWithURLPopup->titleOfSelectedItem(), QStringLiteral("None"));
    EXPECT_EQ(m_defaults.stringForKey(QStringLiteral("PreferredServicesDatafilePath")), inner);
    EXPECT_EQ(m_defaults.stringForKey(QStringLiteral("PreferredServicesDatafilePathForURLs")), gone);

    clickPane(*preferences, QStringLiteral("Special"));
    saveGrab(preferences->window(), QStringLiteral("preferences-special.png"));
    QAbstractButton* dropbox = preferences->specialControls().syncMethodMatrix->button(3);
    EXPECT_TRUE(dropbox->isChecked());
    EXPECT_FALSE(dropbox->isEnabled());

    // Special's box changed behind the window's back shows after General's Factory Settings.
    clickPane(*preferences, QStringLiteral("General"));
    m_defaults.setInteger(1, QStringLiteral("SharedConfirmQuit"));
    preferences->generalControls().leaveTextSelectedCheck->click();
    preferences->generalControls().factorySettingsButton->click();
    EXPECT_TRUE(preferences->specialControls().confirmQuitCheck->isChecked());
}

TEST_F(PreferencesJourneyTest, ServicesPane_OffersDatafilesOnly_StoresOnlyWhatTheUserChose)
{
    for (const char* name : {"Accounts.nv3", "Backups/Accounts 2026-01-02.nv3", "Work/Deep.nv3"}) {
        QDir().mkpath(QFileInfo(m_dir.filePath(name)).absolutePath());
        QFile file(m_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(chooseMenuItem(&m_assembly->startWindow(), QStringLiteral("startPreferences:")));
    PreferencesController* preferences = openPreferences();
    ASSERT_TRUE(preferences);
    clickPane(*preferences, QStringLiteral("Services"));
    const PreferencesController::ServicesControls& services = preferences->servicesControls();
    for (PopUpButton* popup :
         {services.preferredDatafilePopup, services.preferredDatafileWithURLPopup}) {
        QStringList titles;
        for (QAction* item : popup->itemArray())
            titles.append(item->text());
        EXPECT_EQ(titles, (QStringList{"None", "", "Accounts", "Work"}));
        EXPECT_EQ(popup->titleOfSelectedItem(), QStringLiteral("None"));
    }

    // A datafile of a sub-folder chosen for text; the pop-up for links stays as it was.
    const QString deep = m_dir.filePath("Work/Deep.nv3");
    QAction* chosen = services.preferredDatafilePopup->itemWithRepresentedObject(deep);
    ASSERT_TRUE(chosen);
    chosen->trigger();
    EXPECT_EQ(services.preferredDatafilePopup->titleOfSelectedItem(), QStringLiteral("Deep"));
    EXPECT_EQ(services.preferredDatafileWithURLPopup->titleOfSelectedItem(), QStringLiteral("None"));

    // Quitting with the window's key writes the choice, and nothing the user did not choose.
    QSignalSpy quitting(&Application::shared(), &Application::willTerminate);
    QTest::keyClick(preferences->window(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quitting.count(), 1);
    const std::optional<PlistDictionary> stored = m_defaults.persistentDomainForName("Norva");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->value("PreferredServicesDatafilePath"), PlistValue(deep));
    EXPECT_FALSE(stored->find("PreferredServicesDatafilePathForURLs"));
}

TEST_F(PreferencesJourneyTest, DialingSetChosenAndWindowClosed_BecomesTheDialMenusDefault)
{
    ASSERT_TRUE(chooseMenuItem(&m_assembly->startWindow(), QStringLiteral("startPreferences:")));
    PreferencesController* preferences = openPreferences();
    ASSERT_TRUE(preferences);
    clickPane(*preferences, QStringLiteral("Dialing"));
    saveGrab(preferences->window(), QStringLiteral("preferences-dialing.png"));
    preferences->dialingControls().dialingSetTable->selectRow(1);
    preferences->window()->close();
    const QList<QAction*> dial = m_assembly->mainController().menus().dialMenu()->actions();
    ASSERT_EQ(dial.size(), 2);
    EXPECT_EQ(dial.at(1)->text(), QStringLiteral("Long Distance"));
    EXPECT_FALSE(dial.at(1)->shortcut().isEmpty());
    EXPECT_TRUE(dial.at(0)->shortcut().isEmpty());
}

TEST_F(PreferencesJourneyTest, ModemPane_ShowsAtOnce_ThenTheModemThePortAnswersFrom)
{
    PseudoTerminalModem modem(true);
    const QString path = modem.path();
    PreferencesController::setModemProbeSeams([path] { return QStringList{path}; },
                                              [](double) { return 0.0; });
    ASSERT_TRUE(chooseMenuItem(&m_assembly->startWindow(), QStringLiteral("startPreferences:")));
    PreferencesController* preferences = openPreferences();
    ASSERT_TRUE(preferences);
    clickPane(*preferences, QStringLiteral("Modem"));
    EXPECT_EQ(preferences->window()->windowTitle(), QStringLiteral("Modem"));
    PopUpButton* popup = preferences->modemControls().chooseModemPopup;
    ASSERT_TRUE(QTest::qWaitFor([preferences] { return !preferences->isProbingModems(); }, 10000));
    EXPECT_EQ(popup->titleOfSelectedItem(), QStringLiteral("External"));
    saveGrab(preferences->window(), QStringLiteral("preferences-modem.png"));
    popup->selectItemAtIndex(0);
    Q_EMIT popup->activated(popup->itemAtIndex(0));
    EXPECT_EQ(m_defaults.stringForKey(QStringLiteral("ModemPreferredPath")), path);
}

TEST_F(PreferencesJourneyTest, ShowModemPrefTab_ShowsTheModemPaneOnceTheWindowWasOpened)
{
    PseudoTerminalModem modem(true);
    const QString path = modem.path();
    PreferencesController::setModemProbeSeams([path] { return QStringList{path}; },
                                              [](double) { return 0.0; });
    MainController& application = m_assembly->mainController();
    // Never opened: nothing comes up.
    application.showModemPrefTab();
    EXPECT_FALSE(openPreferences());

    ASSERT_TRUE(chooseMenuItem(&m_assembly->startWindow(), QStringLiteral("startPreferences:")));
    PreferencesController* preferences = openPreferences();
    ASSERT_TRUE(preferences);
    ASSERT_TRUE(QTest::qWaitFor([preferences] { return !preferences->isProbingModems(); }, 10000));
    EXPECT_EQ(preferences->selectedPane(), PreferencesController::UpdatesPane);
    application.showModemPrefTab();
    EXPECT_EQ(preferences->selectedPane(), PreferencesController::ModemPane);
    EXPECT_EQ(preferences->window()->windowTitle(), QStringLiteral("Modem"));
    EXPECT_TRUE(m_presenter.alerts().isEmpty()) << m_presenter.alertMessages().join('\n').toStdString();
}
