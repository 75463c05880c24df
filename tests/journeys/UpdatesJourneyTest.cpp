// The update check as a user reaches it: Help ▸ Check for Updates… and the Updates
// preferences' Check Now, against a version list served on this machine.
#include "JourneyTestBase.h"

#include "FakeHttpServer.h"
#include "NotificationCenter.h"
#include "PreferencesController.h"
#include "VKUpdateController.h"

#include <QLabel>
#include <QPushButton>

namespace {

class UpdatesJourneyTest : public JourneyTestBase {
protected:
    void SetUp() override
    {
        JourneyTestBase::SetUp();
        PlistDictionary newer{{"Release", "4002"},
                              {"Version", "4.0.2"},
                              {"DownloadURL", "https://norva.app/download"},
                              {"CommentsFromGeneral", "Faster saving."},
                              {"DownloadQuery", "Download it now?"},
                              {"UpToDateButton", "Release Notes"},
                              {"UpToDateURL", "https://norva.app/notes/%@.html"}};
        m_server.answer("/4-en.vers", {200, propertyListBytes(PlistDictionary{{"General", newer}},
                                                              PlistFormat::Xml)});
        updates().setBundleInfo({"Norva", "4001", "4.0.1"});
        updates().setVersionListAddresses({m_server.url("/4-en.vers")});
    }
    void TearDown() override
    {
        updates().setBundleInfo(VKUpdateController::builtBundleInfo());
        updates().setVersionListAddresses(VKUpdateController::defaultVersionListAddresses());
        JourneyTestBase::TearDown();
    }

    static VKUpdateController& updates() { return VKUpdateController::sharedUpdateController(); }

    FakeHttpServer m_server;
};

} // namespace

TEST_F(UpdatesJourneyTest, HelpMenu_CheckForUpdatesOffersTheNewerRelease)
{
    int resets = 0;
    const NotificationObserver observer = NotificationCenter::defaultCenter().addObserver(
        "UpdateResetStatus", nullptr, [&](const Notification&) { ++resets; });
    m_presenter.answerAlertWithButton("Release Notes");

    ASSERT_TRUE(chooseMenuItem(&m_assembly->startWindow(), "checkForUpdates:"));

    EXPECT_EQ(menuItem(&m_assembly->startWindow(), "checkForUpdates:")->text(),
              "Check for Updates…");
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "A newer version is available");
    EXPECT_EQ(m_presenter.openedUrls(), QList<QUrl>{QUrl("https://norva.app/notes/4002.html")});
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(m_defaults.stringForKey("SoftwareUpdateLastMessage"),
              "Found update to version 4.0.2");
}

TEST_F(UpdatesJourneyTest, PreferencesCheckNow_ChecksAndShowsTheOutcome)
{
    ASSERT_TRUE(chooseMenuItem(&m_assembly->startWindow(), "startPreferences:"));
    PreferencesController* preferences = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* found =
                dynamic_cast<PreferencesController*>(WindowController::controllerForWindow(window)))
            preferences = found;
    ASSERT_TRUE(preferences);
    // A list that cannot be had.
    m_server.answer("/4-en.vers", {500, "down"});

    QTest::mouseClick(preferences->updatesControls().checkNowButton, Qt::LeftButton);

    EXPECT_EQ(m_presenter.alertMessages(), QStringList{"Unable to check for updates"});
    EXPECT_EQ(preferences->updatesControls().statusTitleStat->text(), "Last Attempt:");
    EXPECT_EQ(preferences->updatesControls().lastStatusStat->text(),
              "Failed. Could not connect to the internet.");
    QCoreApplication::processEvents();
    if (qEnvironmentVariableIsSet("NORVA_SHOTS"))
        preferences->window()->grab().save(qEnvironmentVariable("NORVA_SHOTS") +
                                           "/updates-pane.png");
}
