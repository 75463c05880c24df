// The Preferences window, opened from the Edit menu as the user would.
#include "JourneyTestBase.h"

#include "PreferencesController.h"
#include "PreferencesToolbarController.h"
#include "Toolbar.h"
#include "ToolbarItem.h"

#include "PopUpButton.h"
#include "PseudoTerminalModem.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QPushButton>
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
    showMenusOf(window);
    QAction* toggle = menuItem(window, QStringLiteral("showHideToolbar:"));
    ASSERT_TRUE(toggle);
    EXPECT_FALSE(toggle->isEnabled());
    ASSERT_TRUE(chooseMenuItem(window, QStringLiteral("startPreferences:")));
    EXPECT_EQ(openPreferences(), preferences);
    EXPECT_EQ(preferences->selectedPane(), PreferencesController::GeneralPane);
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
    EXPECT_EQ(titles.mid(0, 2), (QStringList{"Accounts", "Clients.nvm"}));
    EXPECT_EQ(services.preferredDatafilePopup->titleOfSelectedItem(), QStringLiteral("Inner"));
    EXPECT_EQ(services.preferredDatafileWithURLPopup->indexOfSelectedItem(), 0);
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
