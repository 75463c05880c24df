#include "MainController.h"

#include "ProgressPanel.h"
#include "ScriptedPresenter.h"
#include "UserDefaults.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Records the calls start-up makes into the later features, in order.
class RecordingServices : public ShellServices {
public:
    explicit RecordingServices(QStringList& calls) : m_calls(calls) {}
    void registerServices(const QStringList& send, const QStringList& returned) override
    {
        m_calls << "registerServices " + send.join(',') + " / " + returned.join(',');
    }

private:
    QStringList& m_calls;
};

class CountingPanel : public SharedPanel {
public:
    CountingPanel(int& opened, int& fronted) : m_opened(opened), m_fronted(fronted) {}
    void open() override { ++m_opened; }
    void bringToFront() override { ++m_fronted; }

private:
    int& m_opened;
    int& m_fronted;
};

class MainControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        UserDefaults::setStandardUserDefaults(&m_defaults);
        Presenter::setShared(&m_presenter);
    }
    void TearDown() override
    {
        Presenter::setShared(nullptr);
        UserDefaults::setStandardUserDefaults(nullptr);
    }

    std::unique_ptr<MainController> launch()
    {
        auto controller =
            std::make_unique<MainController>(std::make_unique<RecordingServices>(m_calls));
        controller->initialize();
        controller->applicationDidFinishLaunching();
        return controller;
    }

    QTemporaryDir m_dir;
    UserDefaults m_defaults{m_dir.path()};
    ScriptedPresenter m_presenter;
    QStringList m_calls;
};

} // namespace

TEST_F(MainControllerTest, RegisteredDefaults_AreTheTableWithItsKinds)
{
    const auto controller = launch();
    const PlistDictionary registered = m_defaults.registrationDomain();
    struct Case {
        const char* key;
        PlistValue value;
    };
    const Case cases[] = {
        {"DatafilesFolderPath", "~/Documents/Norva/Norva Pro Datafiles"},
        {"TemplatesFolderPath", "~/Documents/Norva/Norva Pro Templates"},
        {"ModemStartCallsString", "atdt"},
        {"ModemEndCallsString", "ath"},
        {"PhoneNumberBracket", "\\"},
        {"PreferredServicesDatafilePath", ""},
        {"PreferredServicesDatafilePathForURLs", ""},
        {"SevicesSuccessSound", ""},
        {"SevicesFaliureSound", ""},
        {"ModemPreferredName", ""},
        {"ModemPreferredPath", ""},
        {"UsePhoneNumberBracket", false},
        {"ShowNowDialing", false},
        {"ModemDialingDelayTicks", 125},
        {"AutoOpenDatafilePaths", PlistArray()},
        {"EditorSplitHeight", 150},
        {"EditorMode", "List"},
        {"DefaultSynchMethod", 1},
        {"GeneralHighlightFindField", true},
        {"GeneralBeepWhenFindFails", true},
        {"GeneralHighlightFieldText", true},
        {"GeneralUseAlternatingColors", false},
        {"GeneralSpellCheckerOff", false},
        {"GeneralQuitAfterLastFile", false},
        {"GeneralNoUpdateForViewChanges", false},
        {"GeneralTimeInDateStamp", true},
        {"GeneralShowSecondsInTimeStamp", false},
        {"GeneralLeaveTextSelected", false},
        {"GeneralDateTimeFormat", 1},
        {"GeneralToolbarFormat", 5},
        {"DefaultFieldsFontSize", 12},
        {"DefaultFieldsFontName", "Helvetica"},
        {"DefaultFindBoxFontSize", 12},
        {"DefaultFindBoxFontName", "Helvetica"},
        {"DefaultTextFontSize", 12},
        {"DefaultTextFontName", "Helvetica"},
        {"SharedConfirmQuit", false},
        {"SoftwareUpdateMode", 1},
        {"SoftwareUpdateFrequency", 1},
        {"SoftwareUpdateStatus", 0},
        {"SoftwareUpdateLevel", 0},
    };
    EXPECT_EQ(MainController::applicationDefaults().size(), 36);
    EXPECT_EQ(registered.size(), qsizetype(std::size(cases)));
    for (const Case& c : cases) {
        const PlistValue* value = registered.find(c.key);
        ASSERT_TRUE(value) << c.key;
        EXPECT_EQ(value->type(), c.value.type()) << c.key;
        EXPECT_EQ(*value, c.value) << c.key;
    }
    m_defaults.synchronize();
    const PlistDictionary stored =
        m_defaults.persistentDomainForName("Norva").value_or(PlistDictionary());
    EXPECT_FALSE(stored.contains("VKSpecificPreferencesVersion"));
    EXPECT_FALSE(stored.contains("SharedConfirmQuit"));
}

TEST_F(MainControllerTest, StartUp_RunsInOrderAndIsFullyStartedOnlyAfterwards)
{
    m_defaults.setBool(true, "RestorePreviousSession");
    const auto controller = launch();
    EXPECT_EQ(m_calls, QStringList({"registerServices string,RTF,RTFD,PNG,TIFF / "
                                    "string,RTF,RTFD,PNG,TIFF"}));
    EXPECT_TRUE(controller->fullyStarted());
    EXPECT_TRUE(controller->testForRecordsThatDontFit());
    EXPECT_TRUE(controller->isMojaveOrLater());
    controller->setMustQuitWithoutConfirmation();
    EXPECT_FALSE(controller->fullyStarted());
}

TEST_F(MainControllerTest, FolderPathMigration_MovesPathsToFolderUrlsOnce)
{
    struct Case {
        const char* name;
        std::optional<QString> path;
        std::optional<QString> url;
        std::optional<QString> expectedURL;
    };
    const QString home = QString::fromLatin1(QUrl::toPercentEncoding(QDir::homePath(), "/"));
    const Case cases[] = {
        {"path only", "~/My Files", std::nullopt, "file://localhost" + home + "/My%20Files/"},
        {"url wins", "~/My Files", "file://localhost/Chosen/", "file://localhost/Chosen/"},
        {"empty path skipped", "", std::nullopt, std::nullopt},
        {"nothing", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        QTemporaryDir folder;
        UserDefaults defaults(folder.path());
        if (c.path)
            defaults.setObject(*c.path, "DatafilesFolderPath");
        if (c.url)
            defaults.setObject(*c.url, "DatafilesFolderURL");
        for (int run = 0; run < 2; ++run) {
            MainController::moveFolderPathToURL(defaults, "DatafilesFolderPath",
                                                "DatafilesFolderURL");
            EXPECT_EQ(defaults.stringForKey("DatafilesFolderURL"), c.expectedURL)
                << c.name << " run " << run;
            if (c.path && !c.path->isEmpty()) {
                EXPECT_FALSE(defaults.stringForKey("DatafilesFolderPath")) << c.name;
            }
        }
    }
}

TEST_F(MainControllerTest, DropboxGate_MovesTheDropboxSyncMethodToAskEachTime)
{
    for (const auto& [stored, expected] : {std::pair{3, 1}, std::pair{2, 2}}) {
        m_defaults.setInteger(stored, "DefaultSynchMethod");
        const auto controller = launch();
        EXPECT_FALSE(controller->canUseDropbox());
        EXPECT_EQ(m_defaults.integerForKey("DefaultSynchMethod"), expected);
    }
}

TEST_F(MainControllerTest, Panels_MadeOnceAndOfferedOnlyWhenTheyExist)
{
    const auto controller = launch();
    EXPECT_FALSE(controller->validateAction("startPreferences:"));
    int made = 0;
    int opened = 0;
    int fronted = 0;
    controller->setPanelFactory(MainController::Panel::Preferences, [&] {
        ++made;
        return std::make_unique<CountingPanel>(opened, fronted);
    });
    EXPECT_TRUE(controller->validateAction("startPreferences:"));
    controller->performAction("startPreferences:");
    controller->performAction("startPreferences:");
    EXPECT_EQ(made, 1);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(fronted, 1);

    EXPECT_FALSE(controller->validateAction("closeAllOpenDatafiles:"));
    controller->setOpenDatafileCount(1);
    EXPECT_TRUE(controller->validateAction("closeAllOpenDatafiles:"));
    controller->setOpenDatafileCount(-1);
    EXPECT_EQ(controller->openDatafileCount(), 0);
    EXPECT_TRUE(controller->validateAction("saveDocument:"));
}

TEST_F(MainControllerTest, HelpAndProgressPanel)
{
    const auto controller = launch();
    controller->performAction("helpGuide:");
    controller->performAction("helpFeedback:");
    EXPECT_EQ(m_presenter.openedUrls(), QList<QUrl>({QUrl("https://norva.app/guide/index.html"),
                                                     QUrl("https://norva.app/features.html")}));
    EXPECT_TRUE(m_presenter.alerts().isEmpty());

    // Without a browser the user hears why nothing happened.
    m_presenter.setOpensUrls(false);
    controller->performAction("helpGuide:");
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "The page could not be shown.");
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "No program on this computer would open https://norva.app/guide/index.html.");

    controller->startIndeterminateProgressPanel("Sorting…");
    controller->startIndeterminateProgressPanel("Sorting again…");
    controller->incrementProgressPanel("Half way");
    EXPECT_EQ(controller->progressPanel()->message(), "Half way");
    EXPECT_TRUE(controller->progressPanel()->isVisible());
    controller->endIndeterminateProgressPanel();
    EXPECT_FALSE(controller->progressPanel()->isVisible());
}
