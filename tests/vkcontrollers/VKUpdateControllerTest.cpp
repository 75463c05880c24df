#include "VKUpdateController.h"

#include "Clock.h"
#include "FakeHttpServer.h"
#include "NotificationCenter.h"
#include "PropertyList.h"
#include "ScriptedPresenter.h"
#include "ToolbarItem.h"
#include "UserDefaults.h"
#include "VKSharedController.h"

#include <QAction>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const PlistDate now{800000000};

class VKUpdateControllerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        UserDefaults::setStandardUserDefaults(&m_defaults);
        Presenter::setShared(&m_presenter);
        Clock::setNowForTesting([] { return now; });
        updates().setupDefaultPrefs();
        updates().setBundleInfo({"Norva", "4042", "4.0.42"});
        updates().setVersionListAddresses({m_server.url("/list.vers")});
    }
    void TearDown() override
    {
        updates().setBundleInfo(VKUpdateController::builtBundleInfo());
        updates().setVersionListAddresses(VKUpdateController::defaultVersionListAddresses());
        updates().setScheduler(nullptr);
        Clock::setNowForTesting(nullptr);
        Presenter::setShared(nullptr);
        UserDefaults::setStandardUserDefaults(nullptr);
    }

    static VKUpdateController& updates() { return VKUpdateController::sharedUpdateController(); }

    void serve(const PlistDictionary& general, const PlistValue& beta = PlistValue())
    {
        PlistDictionary list{{"General", general}};
        if (!beta.isNull())
            list.insert("Beta", beta);
        m_server.answer("/list.vers", {200, propertyListBytes(list, PlistFormat::Xml)});
    }

    static PlistDictionary release(const QString& number)
    {
        return {{"Release", number},
                {"Version", "4.0.43"},
                {"DownloadURL", "https://norva.app/download"},
                {"DownloadQuery", "Download it now?"},
                {"CommentsFromGeneral", "Faster."},
                {"CommentsFromBeta", "Beta notes."},
                {"CommentsUpToDate", "Nothing new."},
                {"UpToDateQuery", "See the notes?"},
                {"UpToDateButton", "Release Notes"},
                {"UpToDateURL", "https://norva.app/notes/%@.html"}};
    }

    qint64 status() const { return m_defaults.integerForKey("SoftwareUpdateStatus"); }
    QString lastMessage() const
    {
        return m_defaults.stringForKey("SoftwareUpdateLastMessage").value_or(QString());
    }

    QTemporaryDir m_folder;
    UserDefaults m_defaults{m_folder.path()};
    ScriptedPresenter m_presenter;
    FakeHttpServer m_server;
};

} // namespace

TEST_F(VKUpdateControllerTest, Versions_DecideBetweenUpToDateAndTheUpdateOffered)
{
    const struct {
        QString build;
        QString release;
        QString alert;
        QString status;
        bool storedAsGeneralRelease;
    } cases[] = {
        {"4042", "4042", "Your software is up-to-date", "No new software updates were available",
         true},
        {"4041", "4.0.42", "A newer version is available", "Found update to version 4.0.43", false},
        {"4042b", "4042", "A general release is available", "Found update to version 4.0.43", true},
        {"4043", "4042", "Your software is up-to-date", "No new software updates were available",
         true},
        {"4043", "40431", "A newer version is available", "Found update to version 4.0.43", false},
        // A short release is compared whole.
        {"40b", "40", "A general release is available", "Found update to version 4.0.43", false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE((row.build + " / " + row.release).toStdString());
        m_presenter.clear();
        m_defaults.removeObjectForKey("SoftwareUpdateGeneralRelease");
        updates().setBundleInfo({"Norva", row.build, "4.0.42"});
        serve(release(row.release));

        updates().checkForUpdates(VKUpdateController::MenuItemSource, true);

        ASSERT_EQ(m_presenter.alerts().size(), 1);
        EXPECT_EQ(m_presenter.lastAlert().request.messageText, row.alert);
        EXPECT_EQ(status(), 2);
        EXPECT_EQ(lastMessage(), row.status);
        EXPECT_EQ(m_defaults.stringForKey("SoftwareUpdateGeneralRelease").has_value(),
                  row.storedAsGeneralRelease);
        EXPECT_EQ(m_defaults.objectForKey("SoftwareUpdateLastCheck"), PlistValue(now));
    }
}

TEST_F(VKUpdateControllerTest, Alerts_SayWhatTheListSaysAndOpenOnlyWebPages)
{
    updates().setBundleInfo({"Norva", "4041", "4.0.41"});
    PlistDictionary entry = release("4043");
    entry.insert("Date", PlistValue(PlistDate{700000000}));
    entry.insert("UpToDateURL", "https://x/%@/%@%s");
    serve(entry);
    m_presenter.answerAlert(AlertSecondButtonReturn);

    updates().checkForUpdates(VKUpdateController::MenuItemSource, true);

    const AlertRequest& offer = m_presenter.lastAlert().request;
    const QString date = QLocale().toString(PlistDate{700000000}.toDateTime().toLocalTime().date(),
                                            QLocale::ShortFormat);
    EXPECT_EQ(offer.informativeText, "You are using Norva version 4.0.41.  Version 4.0.43 is now "
                                     "available (released " +
                                         date + ").\n\nFaster.\n\nDownload it now?");
    EXPECT_EQ(offer.buttons, QStringList({"OK", "Release Notes"}));
    EXPECT_EQ(offer.style, AlertRequest::Style::Informational);
    ASSERT_EQ(m_presenter.openedUrls().size(), 1);
    EXPECT_EQ(m_presenter.openedUrls()[0], QUrl("https://x/4043/%@%s"));

    // A list without texts or a second button; its download address is no web page.
    m_presenter.clear();
    serve({{"Release", "4043"}, {"DownloadURL", "file:///etc/passwd"}});
    updates().checkForUpdates(VKUpdateController::MenuItemSource, true);
    EXPECT_EQ(m_presenter.lastAlert().request.buttons, QStringList{"OK"});
    EXPECT_EQ(
        m_presenter.lastAlert().request.informativeText,
        "You are using Norva version 4.0.41.  Version  is now available (released ).\n\n\n\n");
    EXPECT_TRUE(m_presenter.openedUrls().isEmpty());

    m_presenter.clear();
    updates().setBundleInfo({"Norva", "4043", "4.0.43"});
    m_presenter.answerAlert(AlertSecondButtonReturn);
    serve(release("4043"));
    updates().checkForUpdates(VKUpdateController::OtherSource, true);
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "You are using Norva version 4.0.43.  Nothing new.\n\nSee the notes?");
    // Up to date, the address is opened as it stands.
    EXPECT_EQ(m_presenter.openedUrls(), QList<QUrl>{QUrl("https://norva.app/notes/%@.html")});
}

TEST_F(VKUpdateControllerTest, Sources_AreTriedInTurnUntilOneGivesAList)
{
    m_server.answer("/one", {404, "missing"});
    m_server.answer("/two",
                    {200, propertyListBytes(PlistArray{PlistValue("a")}, PlistFormat::Xml)});
    m_server.answer("/three", {200, propertyListBytes(PlistDictionary{{"General", release("4042")}},
                                                      PlistFormat::Xml)});
    updates().setVersionListAddresses(
        {m_server.url("/one"), m_server.url("/two"), m_server.url("/three")});

    updates().checkForUpdates(VKUpdateController::MenuItemSource, true);

    EXPECT_EQ(m_server.requestedPaths(), QStringList({"/one", "/two", "/three"}));
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Your software is up-to-date");
    // Where the lists are fetched from without a test's addresses.
    EXPECT_EQ(VKUpdateController::defaultVersionListAddresses(),
              QList<QUrl>({QUrl("https://updates.norva.app/4-en.vers"),
                           QUrl("https://norva.app/updates/info.php"),
                           QUrl("https://norva.app/updates/4-en.vers")}));
}

TEST_F(VKUpdateControllerTest, Failures_SetTheStatusAndAlertOnlyWhenTheUserAsked)
{
    const struct {
        int source;
        bool alert;
    } sources[] = {{9, true}, {8, true}, {7, true}, {2, false}, {3, false}};
    updates().setVersionListAddresses(
        {FakeHttpServer::refusedUrl("/a"), FakeHttpServer::refusedUrl("/b")});
    const PlistValue earlier(PlistDate{1000});
    for (const auto& row : sources) {
        SCOPED_TRACE(row.source);
        m_presenter.clear();
        m_defaults.setObject(earlier, "SoftwareUpdateLastCheck");
        m_defaults.removeObjectForKey("SoftwareUpdateLastAttempt");
        int resets = 0;
        const NotificationObserver observer = NotificationCenter::defaultCenter().addObserver(
            "VKUpdateResetStatus", nullptr, [&](const Notification&) { ++resets; });

        updates().checkForUpdates(row.source, true);

        EXPECT_EQ(status(), 3);
        EXPECT_EQ(lastMessage(), "Failed. Could not connect to the internet.");
        EXPECT_EQ(resets, 2);
        EXPECT_EQ(m_defaults.objectForKey("SoftwareUpdateLastCheck"), earlier);
        EXPECT_EQ(m_defaults.objectForKey("SoftwareUpdateLastAttempt"), PlistValue(now));
        ASSERT_EQ(m_presenter.alerts().size(), row.alert ? 1 : 0);
        if (row.alert) {
            EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Unable to check for updates");
            EXPECT_EQ(m_presenter.lastAlert().request.style, AlertRequest::Style::Critical);
        }
    }
}

TEST_F(VKUpdateControllerTest, Level_BetaFallsBackToGeneral_NeitherFindsNoUpdates)
{
    m_defaults.setInteger(1, "SoftwareUpdateLevel");
    serve(release("4042"));
    updates().checkForUpdates(VKUpdateController::MenuItemSource, true);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Your software is up-to-date");

    serve(release("4042"), PlistValue(release("4050")));
    updates().checkForUpdates(VKUpdateController::MenuItemSource, true);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "A newer version is available");

    m_server.answer("/list.vers",
                    {200, propertyListBytes(PlistDictionary{{"Other", "x"}}, PlistFormat::Xml)});
    updates().checkForUpdates(VKUpdateController::MenuItemSource, true);
    EXPECT_EQ(status(), 3);
    EXPECT_EQ(lastMessage(), "Failed. No updates found.");
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "No suitable updates can be found");
}

TEST_F(VKUpdateControllerTest, AutomaticCheck_RunsWhenDueAndSchedulesItselfDaily)
{
    const struct {
        const char* name;
        qint64 mode;
        qint64 frequency;
        std::optional<double> ageOfLastCheck;
        bool checks;
    } cases[] = {
        {"never checked", 1, 1, std::nullopt, true},
        {"off", 0, 1, std::nullopt, false},
        {"daily, a day and a second", 1, 0, 86401, true},
        {"daily, a day", 1, 0, 86400, false},
        {"weekly, six days", 1, 1, 6 * 86400, false},
        {"weekly, eight days", 1, 1, 8 * 86400, true},
        {"four weeks, three weeks", 1, 2, 21 * 86400, false},
        {"four weeks, 29 days", 1, 2, 29 * 86400, true},
        {"unknown frequency is weekly", 1, 7, 8 * 86400, true},
    };
    QList<int> scheduled;
    updates().setScheduler([&](int seconds, std::function<void()>) { scheduled.append(seconds); });
    updates().setVersionListAddresses({FakeHttpServer::refusedUrl("/a")});
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        m_presenter.clear();
        scheduled.clear();
        m_defaults.removeObjectForKey("SoftwareUpdateLastAttempt");
        m_defaults.setInteger(row.mode, "SoftwareUpdateMode");
        m_defaults.setInteger(row.frequency, "SoftwareUpdateFrequency");
        if (row.ageOfLastCheck)
            m_defaults.setObject(
                PlistValue(PlistDate{now.secondsSinceReferenceDate - *row.ageOfLastCheck}),
                "SoftwareUpdateLastCheck");
        else
            m_defaults.removeObjectForKey("SoftwareUpdateLastCheck");

        updates().automaticUpdateCheck();

        EXPECT_EQ(!m_defaults.objectForKey("SoftwareUpdateLastAttempt").isNull(), row.checks);
        EXPECT_TRUE(m_presenter.alerts().isEmpty());
        EXPECT_EQ(scheduled, QList<int>{86400});
    }
}

TEST_F(VKUpdateControllerTest, Sender_MenuItemToolbarItemOrOther)
{
    QAction menuItem;
    ToolbarItem toolbarItem("Check for Updates...");
    QObject other;
    EXPECT_EQ(VKSharedController::updateSourceForSender(&menuItem), 9);
    EXPECT_EQ(VKSharedController::updateSourceForSender(&toolbarItem), 8);
    EXPECT_EQ(VKSharedController::updateSourceForSender(&other), 7);
    EXPECT_EQ(VKSharedController::updateSourceForSender(nullptr), 7);
    EXPECT_EQ(VKSharedController::productNumberString(), "4");
}
