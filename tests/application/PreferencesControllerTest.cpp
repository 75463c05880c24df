#include "PreferencesController.h"

#include "ColorArchive.h"
#include "ColorWell.h"
#include "DocumentFixture.h"
#include "MainController.h"
#include "NotificationCenter.h"
#include "PopUpButton.h"
#include "PseudoTerminalModem.h"
#include "SystemLog.h"
#include "VKUpdateController.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <functional>

namespace {

class PreferencesControllerTest : public DocumentFixture {
protected:
    void SetUp() override
    {
        DocumentFixture::SetUp();
        m_defaults.registerDefaults(MainController::applicationDefaults());
        VKUpdateController::sharedUpdateController().setupDefaultPrefs();
        // No real serial port is written to.
        PreferencesController::setModemProbeSeams([] { return QStringList(); }, {});
    }
    void TearDown() override
    {
        m_controller.reset();
        PreferencesController::setModemProbeSeams({}, {});
        DocumentFixture::TearDown();
    }

    PreferencesController& controller()
    {
        if (!m_controller)
            m_controller = std::make_unique<PreferencesController>();
        return *m_controller;
    }

    std::unique_ptr<PreferencesController> m_controller;
};

PlistDate dateAt(const char* iso)
{
    return PlistDate::fromDateTime(QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate));
}

} // namespace

TEST_F(PreferencesControllerTest, FrameForContentHeight_KeepsTheTop_StaysFiveAboveTheBottom)
{
    const QRect screen(0, 0, 1200, 900);
    struct Case {
        QRect frame;
        int contentHeight;
        QRect expected;
    };
    const Case cases[] = {
        // Dialing (606) to Modem (217): the top stays, the bottom comes up.
        {QRect(100, 50, 500, 606 + 40), 217, QRect(100, 50, 500, 257)},
        // Growing near the bottom: the bottom stops 5 above the screen's.
        {QRect(100, 600, 500, 257), 606, QRect(100, 900 - 5 - 646, 500, 646)},
        // Exactly at the limit stays.
        {QRect(0, 855 - 240 - 40, 500, 100), 240, QRect(0, 575, 500, 280)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PreferencesController::frameForContentHeight(c.frame, c.contentHeight, 40, screen),
                  c.expected);
}

TEST_F(PreferencesControllerTest, Panes_SwitchTitleAndPage_KeepTheWindowTop)
{
    PreferencesController& preferences = controller();
    EXPECT_EQ(preferences.selectedPane(), PreferencesController::UpdatesPane);
    EXPECT_EQ(preferences.window()->windowTitle(), "Updates");
    preferences.showServicesTab();
    const int top = preferences.window()->geometry().top();
    EXPECT_EQ(preferences.window()->windowTitle(), "Services");
    const int servicesHeight = preferences.window()->height();
    preferences.showModemTab();
    EXPECT_EQ(preferences.selectedPane(), PreferencesController::ModemPane);
    EXPECT_EQ(preferences.window()->height(), servicesHeight - (343 - 217));
    EXPECT_EQ(preferences.window()->geometry().top(), top);
    EXPECT_FALSE(preferences.validateAction("showHideToolbar:"));
    EXPECT_TRUE(preferences.validateAction("showGeneralTab:"));
}

TEST_F(PreferencesControllerTest, Updates_ModeOff_DisablesFrequencyAndBlanksTheSchedule)
{
    m_defaults.setObject(dateAt("2026-01-02T13:04:05Z"), "SoftwareUpdateLastCheck");
    m_defaults.setInteger(2, "SoftwareUpdateFrequency");
    const PreferencesController::UpdatesControls& updates = controller().updatesControls();
    EXPECT_TRUE(updates.frequencyPopup->isEnabled());
    EXPECT_EQ(updates.nextScheduledStat->text(), "Next scheduled: 2026-01-30 13:04:05 +0000");

    updates.automaticCheck->click();
    EXPECT_EQ(m_defaults.integerForKey("SoftwareUpdateMode"), 0);
    EXPECT_FALSE(updates.frequencyPopup->isEnabled());
    EXPECT_EQ(updates.nextScheduledStat->text(), "");
    EXPECT_TRUE(updates.factorySettingsButton->isEnabled());
}

TEST_F(PreferencesControllerTest, Updates_StatusTexts_FollowTheStatusAndItsNotification)
{
    m_defaults.setInteger(2, "SoftwareUpdateStatus");
    const PreferencesController::UpdatesControls& updates = controller().updatesControls();
    EXPECT_EQ(updates.statusTitleStat->text(), "Last Check:");
    EXPECT_EQ(updates.lastStatusStat->text(), "Welcome!  Please check for an update.");
    EXPECT_EQ(updates.lastDateStat->text(), "");
    EXPECT_FALSE(updates.factorySettingsButton->isEnabled());

    // A check ran meanwhile.
    m_defaults.setInteger(3, "SoftwareUpdateStatus");
    m_defaults.setObject(QStringLiteral("Failed. No updates found."), "SoftwareUpdateLastMessage");
    m_defaults.setObject(dateAt("2026-03-04T05:06:07Z"), "SoftwareUpdateLastAttempt");
    NotificationCenter::defaultCenter().postNotification("VKUpdateResetStatus", nullptr);
    EXPECT_EQ(updates.statusTitleStat->text(), "Last Attempt:");
    EXPECT_EQ(updates.lastStatusStat->text(), "Failed. No updates found.");
    EXPECT_EQ(updates.lastDateStat->text(), "2026-03-04 05:06:07 +0000");

    m_defaults.setInteger(7, "SoftwareUpdateStatus");
    m_defaults.setInteger(5, "SoftwareUpdateFrequency"); // a week
    m_defaults.setObject(dateAt("2026-01-02T00:00:00Z"), "SoftwareUpdateLastCheck");
    controller().updateStatus();
    EXPECT_EQ(updates.statusTitleStat->text(), "Status:");
    EXPECT_EQ(updates.nextScheduledStat->text(), "Next scheduled: 2026-01-09 00:00:00 +0000");

    int checks = 0;
    NotificationCenter::defaultCenter().addObserver("CheckForUpdates", &controller(), &controller(),
                                                    [&](const Notification&) { ++checks; });
    updates.checkNowButton->click();
    EXPECT_EQ(checks, 1);
}

TEST_F(PreferencesControllerTest, General_OneClickWritesTenKeys_FactorySettingsReloadsEveryPane)
{
    const PreferencesController::GeneralControls& general = controller().generalControls();
    const QStringList ten{"GeneralSpellCheckerOff",   "GeneralHighlightFindField",
                          "GeneralBeepWhenFindFails", "GeneralNoUpdateForViewChanges",
                          "GeneralLeaveTextSelected", "GeneralHighlightFieldText",
                          "GeneralQuitAfterLastFile", "GeneralTimeInDateStamp",
                          "GeneralShowSecondsInTimeStamp", "GeneralDateTimeFormat"};
    general.leaveTextSelectedCheck->click();
    for (const QString& key : ten)
        EXPECT_TRUE(m_defaults.persistentDomainForName("Norva")->contains(key)) << key.toStdString();
    EXPECT_TRUE(m_defaults.boolForKey("GeneralLeaveTextSelected"));
    EXPECT_EQ(m_defaults.integerForKey("GeneralDateTimeFormat"), 1);
    general.dateFormatMatrix->button(4)->click();
    EXPECT_EQ(m_defaults.integerForKey("GeneralDateTimeFormat"), 4);

    // Another pane's value changed behind the window's back shows after the restore.
    m_defaults.setInteger(0, "SoftwareUpdateMode");
    general.factorySettingsButton->click();
    EXPECT_FALSE(m_defaults.boolForKey("GeneralLeaveTextSelected"));
    EXPECT_FALSE(general.leaveTextSelectedCheck->isChecked());
    EXPECT_TRUE(general.dateFormatMatrix->button(1)->isChecked());
    EXPECT_FALSE(controller().updatesControls().automaticCheck->isChecked());
}

TEST_F(PreferencesControllerTest, General_ColorWells_UnreadableGiveYellowAndRed_ChosenColorIsStored)
{
    m_defaults.setObject(QByteArray("not an archive"), "GeneralHighlighterColor");
    const PreferencesController::GeneralControls& general = controller().generalControls();
    EXPECT_EQ(general.colorWell->color(), QColor(Qt::yellow));
    EXPECT_EQ(general.searchHitColorWell->color(), QColor(Qt::red));
    const bool factoryEnabled = general.factorySettingsButton->isEnabled();

    m_presenter.answerColorPanel(QColor(0, 0, 255));
    general.searchHitColorWell->click();
    ASSERT_EQ(m_presenter.colorPanels().size(), 1);
    EXPECT_EQ(m_presenter.colorPanels().front(), QColor(Qt::red));
    const std::optional<QByteArray> stored = m_defaults.dataForKey("GeneralSearchHitColor");
    ASSERT_TRUE(stored);
    EXPECT_EQ(ColorArchive::colorFromArchive(*stored, Qt::black), QColor(0, 0, 255));
    EXPECT_EQ(general.factorySettingsButton->isEnabled(), factoryEnabled);

    // Cancelled: nothing changes.
    general.colorWell->click();
    EXPECT_EQ(m_defaults.dataForKey("GeneralHighlighterColor"), QByteArray("not an archive"));
}

TEST_F(PreferencesControllerTest, General_DateSamples_ShowFourStyles)
{
    const PreferencesController::GeneralControls& general = controller().generalControls();
    for (const QLabel* sample : {general.shortDateText, general.mediumDateText,
                                 general.longDateText, general.fullDateText})
        EXPECT_FALSE(sample->text().isEmpty());
    EXPECT_GT(general.fullDateText->text().size(), general.shortDateText->text().size());
}

namespace {

PlistArray namedSets(const QStringList& names, int defaultRow)
{
    PlistArray sets;
    for (qsizetype row = 0; row < names.size(); ++row)
        sets.append(PlistDictionary{{"SetName", names.at(row)},
                                    {"Prefix", QString("p%1").arg(row)},
                                    {"Suffix", QString()},
                                    {"IsDefault", row == defaultRow}});
    return sets;
}

// The sets' names, the default one marked with a "*".
QStringList describe(const PlistArray& sets)
{
    QStringList names;
    for (const PlistValue& set : sets) {
        const PlistDictionary* dictionary = set.asDictionary();
        names.append(dictionary->stringForKey("SetName") +
                     (dictionary->value("IsDefault").boolValue() ? "*" : ""));
    }
    return names;
}

} // namespace

TEST_F(PreferencesControllerTest, Dialing_NothingStored_ShowsBasicAndLongDistance_StoresTemplates)
{
    const PreferencesController::DialingControls& dialing = controller().dialingControls();
    ASSERT_EQ(dialing.dialingSetTable->rowCount(), 2);
    EXPECT_EQ(dialing.dialingSetTable->item(0, 0)->text(), "Basic");
    EXPECT_EQ(dialing.dialingSetTable->item(0, 1)->text(), "D");
    EXPECT_EQ(dialing.dialingSetTable->item(1, 0)->text(), "Long Distance");
    EXPECT_EQ(dialing.dialingSetTable->item(1, 1)->text(), "");
    EXPECT_EQ(dialing.dialingSetName->text(), "Basic");
    EXPECT_EQ(dialing.bracketText->text(), "\\");
    EXPECT_EQ(m_defaults.stringForKey("PhoneNumberTemplates"),
              "nnn-nnnn\nnnn-nnn-nnnn\nnnn nnn-nnnn\n(nnn)nnn-nnnn\n(nnn) nnn-nnnn");
    dialing.phoneNumberTemplatesText->insertPlainText("x");
    EXPECT_TRUE(m_defaults.stringForKey("PhoneNumberTemplates")->startsWith("x"));
    dialing.modemSpeakerMatrix->button(3)->click();
    EXPECT_EQ(m_defaults.integerForKey("DialingMethod"), 3);
    dialing.bracketCheck->click();
    EXPECT_TRUE(m_defaults.boolForKey("UsePhoneNumberBracket"));
    EXPECT_EQ(m_defaults.stringForKey("PhoneNumberBracket"), "\\");
}

TEST_F(PreferencesControllerTest, DialingSets_EditsBeepWhereTheyWouldLoseASet)
{
    enum class Action { Add, Remove, Change, MakeDefault, Close };
    struct Case {
        const char* what;
        QStringList names;
        int defaultRow;
        int selectRow; // -1: none selected
        QString fieldName;
        Action action;
        QStringList expected; // the controller's list afterwards
        bool beeps;
        bool stores;
    };
    const Case cases[] = {
        {"add to an empty list makes it the default", {}, -1, -1, "New", Action::Add, {"New*"}, false, false},
        {"add to a list does not", {"A", "B"}, 0, 1, "New", Action::Add, {"A*", "B", "New"}, false, false},
        {"add without a name beeps", {"A"}, 0, 0, "", Action::Add, {"A*"}, true, false},
        {"remove the default makes the first the default", {"A", "B", "C"}, 1, 1, "B", Action::Remove,
         {"A*", "C"}, false, true},
        {"remove another stores nothing", {"A", "B", "C"}, 0, 2, "C", Action::Remove, {"A*", "B"},
         false, false},
        {"remove the first beeps", {"A", "B"}, 0, 0, "A", Action::Remove, {"A*", "B"}, true, false},
        {"remove with no row beeps", {"A", "B"}, 1, -1, "", Action::Remove, {"A", "B*"}, true, false},
        {"change the second of three moves it last", {"A", "B", "C"}, 0, 1, "B2", Action::Change,
         {"A*", "C", "B2"}, false, false},
        {"change the default keeps it the default", {"A", "B", "C"}, 1, 1, "B2", Action::Change,
         {"A", "C", "B2*"}, false, true},
        {"change the first beeps", {"A", "B"}, 0, 0, "A2", Action::Change, {"A*", "B"}, true, false},
        {"change with no row beeps", {"A", "B"}, 0, -1, "X", Action::Change, {"A*", "B"}, true, false},
        {"change to an empty name beeps", {"A", "B"}, 0, 1, "", Action::Change, {"A*", "B"}, true, false},
        {"make default", {"A", "B"}, 0, 1, "B", Action::MakeDefault, {"A", "B*"}, false, true},
        {"closing makes the selected set the default", {"A", "B", "C"}, 0, 2, "C", Action::Close,
         {"A", "B", "C*"}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_controller.reset();
        m_presenter.clear();
        m_defaults.setObject(namedSets(c.names, c.defaultRow), "DialingSetList");
        int posted = 0;
        NotificationObserver observer = NotificationCenter::defaultCenter().addObserver(
            "DialingSetChanged", nullptr, [&](const Notification&) { ++posted; });
        const PreferencesController::DialingControls& dialing = controller().dialingControls();
        dialing.dialingSetTable->clearSelection();
        if (c.selectRow >= 0)
            dialing.dialingSetTable->selectRow(c.selectRow);
        dialing.dialingSetName->setText(c.fieldName);
        switch (c.action) {
        case Action::Add:
            controller().addItem();
            break;
        case Action::Remove:
            controller().removeItem();
            break;
        case Action::Change:
            controller().changeItem();
            break;
        case Action::MakeDefault:
            controller().makeDefault();
            break;
        case Action::Close:
            controller().showWindow();
            controller().window()->close();
            break;
        }
        EXPECT_EQ(describe(controller().dialingSets()), c.expected);
        EXPECT_EQ(m_presenter.beepCount(), c.beeps ? 1 : 0);
        EXPECT_EQ(posted, c.stores ? 1 : 0);
        const QStringList stored = describe(*m_defaults.arrayForKey("DialingSetList"));
        EXPECT_EQ(stored, c.stores ? c.expected : describe(namedSets(c.names, c.defaultRow)));
        EXPECT_EQ(dialing.dialingSetTable->rowCount(), c.expected.size());
    }
}

namespace {

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

QStringList titlesOf(const QMenu* menu)
{
    QStringList titles;
    for (const QAction* item : menu->actions())
        titles.append(item->menu() ? item->text() + "/" : item->text());
    return titles;
}

QStringList listed(const QListWidget* list)
{
    QStringList names;
    for (int row = 0; row < list->count(); ++row)
        names.append(list->item(row)->text());
    return names;
}

} // namespace

TEST_F(PreferencesControllerTest, ServicesScan_SortsAndMarksMobileDatafiles_SkipsFoldersWithoutThem)
{
    const QString folder = m_dir.filePath("Datafiles");
    touch(folder + "/Clients.nvm");
    touch(folder + "/accounts.nv3");
    touch(folder + "/notes.txt");
    touch(folder + "/.dir/Hidden.nv3");
    touch(folder + "/Work/Deep.nv3");
    QDir().mkpath(folder + "/Empty");
    // A link back up the tree is not followed for ever.
    QFile::link(folder, folder + "/Work/Loop");

    QMenu menu;
    PlistArray entries;
    controller().scanDirectory(folder, &menu, entries);
    // Only datafiles are offered: the empty folder is not.
    EXPECT_EQ(titlesOf(&menu), (QStringList{"accounts", "Clients.nvm", "Work/"}));
    EXPECT_EQ(titlesOf(menu.actions().at(2)->menu()), QStringList{"Deep"});
    EXPECT_EQ(PopUpButton::representedObject(menu.actions().at(1)).toString(), folder + "/Clients.nvm");
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries.at(0).asDictionary()->stringForKey("Path"), folder + "/accounts.nv3");
    EXPECT_EQ(entries.at(2).asDictionary()->stringForKey("IsGroup"), "YES");
}

TEST_F(PreferencesControllerTest, Sounds_ListBothFolders_ClickPlaysAndStores_BoxOffStoresEmpty)
{
    const QString system = m_dir.filePath("system");
    const QString user = m_dir.filePath("user");
    touch(system + "/Bell.wav");
    touch(system + "/Sub/Bell.wav");
    touch(system + "/x.mp3");
    touch(user + "/Bell.oga");
    touch(user + "/Alarm.aiff");
    PreferencesController::setSoundFolders({system, user});
    m_defaults.setObject(QStringLiteral("Unknown"), "SevicesFaliureSound");
    const PreferencesController::ServicesControls& services = controller().servicesControls();
    PreferencesController::setSoundFolders({});

    EXPECT_EQ(controller().soundList(), (QStringList{"Alarm", "Bell", "Bell", "Sub/Bell"}));
    EXPECT_EQ(listed(services.successSoundList), controller().soundList());
    EXPECT_FALSE(services.successSoundCheck->isChecked());
    EXPECT_TRUE(services.failureSoundCheck->isChecked());
    EXPECT_EQ(services.failureSoundList->currentRow(), -1);

    QListWidgetItem* bell = services.successSoundList->item(3);
    services.successSoundList->setCurrentItem(bell);
    Q_EMIT services.successSoundList->itemClicked(bell);
    EXPECT_EQ(m_presenter.playedSounds(), QStringList{"Sub/Bell"});
    EXPECT_TRUE(services.successSoundCheck->isChecked());
    EXPECT_EQ(m_defaults.stringForKey("SevicesSuccessSound"), "Sub/Bell");

    services.successSoundCheck->click();
    EXPECT_EQ(m_defaults.stringForKey("SevicesSuccessSound"), "");
    services.successSoundCheck->click();
    EXPECT_EQ(m_defaults.stringForKey("SevicesSuccessSound"), "Sub/Bell");
    EXPECT_EQ(m_presenter.playedSounds().size(), 1);
}

TEST_F(PreferencesControllerTest, Sounds_EmptyList_ClicksAndBoxesChangeNothing)
{
    PreferencesController::setSoundFolders({m_dir.filePath("none")});
    m_defaults.setObject(QStringLiteral("Gone"), "SevicesSuccessSound");
    const PreferencesController::ServicesControls& services = controller().servicesControls();
    PreferencesController::setSoundFolders({});
    EXPECT_TRUE(controller().soundList().isEmpty());
    services.successSoundCheck->click();
    EXPECT_TRUE(services.successSoundCheck->isChecked());
    services.failureSoundCheck->click();
    EXPECT_FALSE(services.failureSoundCheck->isChecked());
    controller().successSoundHit();
    EXPECT_EQ(m_defaults.stringForKey("SevicesSuccessSound"), "Gone");
    EXPECT_EQ(m_defaults.stringForKey("SevicesFaliureSound"), "");
    EXPECT_TRUE(m_presenter.playedSounds().isEmpty());
}

TEST_F(PreferencesControllerTest, Special_ChecksWriteTheirKeys_LoginItemAddedTwiceIsOneEntry)
{
    const PreferencesController::SpecialControls& special = controller().specialControls();
    special.confirmQuitCheck->click();
    EXPECT_EQ(m_defaults.objectForKey("SharedConfirmQuit"), PlistValue(qint64(1)));
    EXPECT_EQ(m_defaults.integerForKey("NoBackupForDelectedSelectedRecords"), 0);
    EXPECT_EQ(m_defaults.objectForKey("RestorePreviousSession"), PlistValue(false));
    special.syncMethodMatrix->button(4)->click();
    EXPECT_EQ(m_defaults.integerForKey("DefaultSynchMethod"), 4);
    EXPECT_TRUE(special.factorySettingsButton->isEnabled());

    const QString autostart = m_dir.filePath("autostart");
    const QString app = "/opt/My \"Norva\"/norva";
    EXPECT_FALSE(PreferencesController::isInLoginItems(app, autostart));
    PreferencesController::loginItem(app, true, false, autostart);
    PreferencesController::loginItem(app, true, true, autostart);
    EXPECT_TRUE(PreferencesController::isInLoginItems(app, autostart));
    EXPECT_FALSE(PreferencesController::isInLoginItems("/usr/bin/other", autostart));
    const QStringList entries = QDir(autostart).entryList(QDir::Files);
    ASSERT_EQ(entries.size(), 1);
    QFile entry(QDir(autostart).filePath(entries.front()));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_TRUE(entry.readAll().contains("X-Norva-Hide=true\n"));
    PreferencesController::loginItem(app, false, false, autostart);
    EXPECT_FALSE(PreferencesController::isInLoginItems(app, autostart));
}

TEST_F(PreferencesControllerTest, LoginItem_EntryCannotBeWritten_OldEntryStaysAndTheReasonIsLogged)
{
    const QString autostart = m_dir.filePath("autostart");
    const QString app = "/opt/norva/norva";
    PreferencesController::loginItem(app, true, false, autostart);
    const QStringList entries = QDir(autostart).entryList(QDir::Files);
    ASSERT_EQ(entries.size(), 1);
    const QString entryPath = QDir(autostart).filePath(entries.front());
    const auto contents = [&entryPath] {
        QFile entry(entryPath);
        return entry.open(QIODevice::ReadOnly) ? entry.readAll() : QByteArray();
    };
    const QByteArray old = contents();
    ASSERT_TRUE(old.contains("X-Norva-Hide=false\n"));

    struct Case {
        const char* name;
        std::function<bool()> refuse; // false: this way cannot refuse this user
        std::function<void()> allow;
    };
    struct rlimit limit {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const Case cases[] = {
        // Root writes into any folder.
        {"read-only folder",
         [&] {
             return geteuid() != 0 &&
                    QFile::setPermissions(autostart, QFile::ReadOwner | QFile::ExeOwner);
         },
         [&] {
             QFile::setPermissions(autostart,
                                   QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
         }},
        // The disk fills part way: the new entry is cut short.
        {"full disk",
         [&] {
             struct rlimit small = limit;
             small.rlim_cur = 16;
             return setrlimit(RLIMIT_FSIZE, &small) == 0;
         },
         [&] { setrlimit(RLIMIT_FSIZE, &limit); }},
    };
    for (const Case& c : cases) {
        if (!c.refuse())
            continue;
        ScopedLogCapture log;
        PreferencesController::loginItem(app, true, true, autostart);
        c.allow();
        EXPECT_EQ(contents(), old) << c.name;
        EXPECT_EQ(QDir(autostart).entryList(QDir::Files), entries) << c.name;
        EXPECT_TRUE(PreferencesController::isInLoginItems(app, autostart)) << c.name;
        ASSERT_EQ(log.lines().size(), 1) << c.name;
        EXPECT_TRUE(log.lines().front().contains(entryPath)) << c.name;
    }
    std::signal(SIGXFSZ, previousHandler);
}

namespace {

class PreferencesModemTest : public PreferencesControllerTest {
protected:
    void probe(const QStringList& paths, double seconds = 0.0)
    {
        PreferencesController::setModemProbeSeams([paths] { return paths; },
                                                  [seconds](double) { return seconds; });
    }
    bool probeEnds()
    {
        return QTest::qWaitFor([this] { return !controller().isProbingModems(); }, 15000);
    }
    QStringList modemTitles()
    {
        QStringList titles;
        for (QAction* item : controller().modemControls().chooseModemPopup->itemArray())
            titles.append(item->text());
        return titles;
    }
};

} // namespace

TEST_F(PreferencesModemTest, AnsweringModems_AreKeptAsExternal_ChoosingOneStoresIt)
{
    PseudoTerminalModem first(true);
    PseudoTerminalModem second(true);
    probe({"/dev/cu.Bluetooth-Modem", first.path(), "/dev/rfcomm0", second.path()});
    ScopedLogCapture log;
    PopUpButton* popup = controller().modemControls().chooseModemPopup;
    ASSERT_TRUE(probeEnds());
    EXPECT_EQ(modemTitles(), (QStringList{"External", "External 2"}));
    EXPECT_TRUE(popup->isEnabled());
    EXPECT_EQ(controller().modemPath(), first.path());
    EXPECT_FALSE(log.lines().contains("Modem NOT Found 3\n")) << "a wireless port was opened";
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    EXPECT_TRUE(first.received().contains("ATI4\r"));

    popup->selectItemAtIndex(1);
    controller().modemPrefHit();
    EXPECT_EQ(m_defaults.stringForKey("ModemPreferredName"), "External 2");
    EXPECT_EQ(m_defaults.stringForKey("ModemPreferredPath"), second.path());
    EXPECT_EQ(m_defaults.stringForKey("ModemStartCallsString"), "atdt");

    // Factory Settings gives back the strings only; the modem stays chosen.
    controller().modemControls().startCallsWith->setText("atdp");
    controller().modemPrefHit();
    controller().modemControls().factorySettingsButton->click();
    ASSERT_TRUE(probeEnds());
    EXPECT_EQ(controller().modemControls().startCallsWith->text(), "atdt");
    EXPECT_EQ(m_defaults.stringForKey("ModemPreferredName"), "External 2");
    EXPECT_EQ(popup->titleOfSelectedItem(), "External 2");
}

TEST_F(PreferencesModemTest, SilentModem_IsLeftOut_ModemPaneThenSaysNoModemFound)
{
    PseudoTerminalModem silent(false);
    probe({silent.path()});
    m_defaults.setObject(QStringLiteral("External"), "ModemPreferredName");
    m_defaults.setObject(QStringLiteral("/dev/old"), "ModemPreferredPath");
    ScopedLogCapture log;
    // While the probe runs the pane shows, and says nothing yet.
    controller().showModemTab();
    EXPECT_EQ(controller().selectedPane(), PreferencesController::ModemPane);
    controller().showUpdatesTab();
    ASSERT_TRUE(probeEnds());
    EXPECT_TRUE(log.lines().contains("Modem NOT Found 2\n"));
    EXPECT_EQ(modemTitles(), QStringList{"<none>"});
    EXPECT_TRUE(controller().modemError());
    // The stored one is not there.
    ASSERT_EQ(m_presenter.alertMessages(), QStringList{"The preferred modem is not responding."});
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "Please close the Preference panel, make sure that the modem is turned on, and try "
              "again.\n\nIf the modem is turned on, try turning it off and back on.");

    controller().showModemTab();
    EXPECT_EQ(controller().selectedPane(), PreferencesController::UpdatesPane);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "No modem found.");
    EXPECT_TRUE(m_presenter.lastAlert().sheet);
    controller().modemPrefHit();
    EXPECT_EQ(m_defaults.stringForKey("ModemPreferredName"), "External");
    EXPECT_EQ(m_defaults.stringForKey("ModemPreferredPath"), "/dev/old");
}

TEST_F(PreferencesModemTest, SlowProbe_WindowTakesInput_OtherFactorySettingsReuseIt_ClosingWakesIt)
{
    PseudoTerminalModem modem(true);
    probe({modem.path()}, 1.0);
    m_defaults.setObject(QStringLiteral("External"), "ModemPreferredName");
    const PreferencesController::ModemControls& modemControls = controller().modemControls();
    controller().showWindow();
    QTest::qWait(300);
    EXPECT_TRUE(controller().isProbingModems());
    EXPECT_EQ(modemControls.chooseModemPopup->titleOfSelectedItem(), "<none>");
    EXPECT_FALSE(modemControls.chooseModemPopup->isEnabled());

    controller().generalControls().leaveTextSelectedCheck->click();
    EXPECT_TRUE(m_defaults.boolForKey("GeneralLeaveTextSelected"));
    controller().generalControls().factorySettingsButton->click();
    EXPECT_TRUE(controller().isProbingModems());
    controller().modemPrefHit();
    EXPECT_EQ(m_defaults.stringForKey("ModemPreferredName"), "External");
    EXPECT_FALSE(m_defaults.persistentDomainForName("Norva")->contains("ModemPreferredPath"));
    EXPECT_TRUE(m_presenter.alerts().isEmpty());

    QElapsedTimer closing;
    closing.start();
    m_controller.reset();
    EXPECT_LT(closing.elapsed(), 900);
    termios after{};
    ASSERT_EQ(::tcgetattr(modem.slave(), &after), 0);
    EXPECT_TRUE(after.c_lflag & ICANON);
}
