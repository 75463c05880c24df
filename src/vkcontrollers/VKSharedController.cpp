#include "VKSharedController.h"

#include "Application.h"
#include "Clock.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "ToolbarItem.h"
#include "UserDefaults.h"
#include "UserGuide.h"
#include "VKConfirmationController.h"
#include "VKUpdateController.h"

#include <QAction>
#include <QDateTime>

namespace {
VKSharedController* theMainController = nullptr;
const QString preferencesVersionKey = QStringLiteral("VKSpecificPreferencesVersion");
} // namespace

VKSharedController* VKSharedController::mainController()
{
    return theMainController;
}

VKSharedController::VKSharedController()
{
    theMainController = this;
}

VKSharedController::~VKSharedController()
{
    if (theMainController == this)
        theMainController = nullptr;
}

void VKSharedController::initialize()
{
    m_fullyStarted = false;
    UserDefaults::standardUserDefaults().registerDefaults(defaultPreferences());
    upgradePreferences();
    m_dockIconAnimation = 0;
    m_dockIconFrameTime = 0;
    VKUpdateController::sharedUpdateController().setupDefaultPrefs();
    terminatePolitelyIfNotAbleToRun();
    NotificationCenter::defaultCenter().addObserver(
        QStringLiteral("CheckForUpdates"), nullptr, this,
        [this](const Notification&) { checkForUpdates(nullptr); });
    registerAction(QStringLiteral("checkForUpdates:"),
                   [this](QObject* sender) { checkForUpdates(sender); });

    const auto help = [this](const QString& selector, const QString& address) {
        registerAction(selector, [this, address](QObject*) { openAddress(address); });
    };
    registerAction(QStringLiteral("helpGuide:"), [this](QObject*) { helpGuide(); });
    const QString site = localized(ProductSiteAddress, QStringLiteral("Specific"));
    for (const char* selector : {"helpAppSite:", "helpProducts:", "helpVelkorSite:"})
        help(QString::fromLatin1(selector), site);
    for (const char* selector :
         {"helpNewsletter:", "helpReleaseNotes:", "helpSupport:", "helpCommunity:"})
        help(QString::fromLatin1(selector), ProductSiteAddress + QStringLiteral("index.html"));
    help(QStringLiteral("helpOrders:"), ProductSiteAddress + QStringLiteral("order.html"));
    help(QStringLiteral("helpFeedback:"), ProductSiteAddress + QStringLiteral("features.html"));
    help(QStringLiteral("helpEmail:"),
         localized(QStringLiteral("mailto:support@norva.app?subject=Norva"),
                   QStringLiteral("Specific")));
}

PlistDictionary VKSharedController::defaultPreferences() const
{
    return PlistDictionary{{QStringLiteral("SharedConfirmQuit"), false}};
}

void VKSharedController::upgradePreferences()
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const qint64 version = defaults.integerForKey(preferencesVersionKey);
    const qint64 upgraded = upgradePreferencesFromVersion(version);
    if (upgraded > version)
        defaults.setInteger(upgraded, preferencesVersionKey);
}

qint64 VKSharedController::upgradePreferencesFromVersion(qint64)
{
    return 0;
}

void VKSharedController::terminatePolitelyIfNotAbleToRun()
{
    // Every system this runs on is new enough; the texts stay for the day one is not:
    // "Mac OS X %@ or newer required", "Sorry, this version of %@ requires a minimum
    // of Mac OS X version %@.", "Quit".
}

int VKSharedController::updateSourceForSender(const QObject* sender)
{
    if (qobject_cast<const QAction*>(sender))
        return VKUpdateController::MenuItemSource;
    if (qobject_cast<const ToolbarItem*>(sender))
        return VKUpdateController::ToolbarItemSource;
    return VKUpdateController::OtherSource;
}

void VKSharedController::checkForUpdates(QObject* sender)
{
    VKUpdateController::sharedUpdateController().checkForUpdates(updateSourceForSender(sender),
                                                                 true);
    NotificationCenter::defaultCenter().postNotification(QStringLiteral("UpdateResetStatus"),
                                                         nullptr);
}

void VKSharedController::applicationDidFinishLaunching()
{
    animateDockIcon();
    finishLaunchingStuff();
    animateDockIcon();
    m_fullyStarted = true;
}

ApplicationDelegate::TerminateReply VKSharedController::applicationShouldTerminate()
{
    if (!m_fullyStarted)
        return TerminateReply::Now;
    const QString title =
        localized(QStringLiteral("Are you sure you want to quit Norva?"), QStringLiteral("Specific"));
    if (title.isEmpty())
        return TerminateReply::Now;
    VKConfirmationController::beginConfirmForWindow(
        nullptr, title,
        localized(QStringLiteral("The preference to confirm quitting was enabled."),
                  QStringLiteral("Specific")),
        QStringLiteral("SharedConfirmQuit"),
        [this](QWidget*, int returnCode) { quitConfirmationDidEnd(returnCode); });
    return TerminateReply::Later;
}

void VKSharedController::quitConfirmationDidEnd(int returnCode)
{
    if (returnCode != 1) {
        Application::shared().replyToApplicationShouldTerminate(false);
        return;
    }
    noteConfirmedQuit();
    Application::shared().replyToApplicationShouldTerminate(true);
}

void VKSharedController::noteConfirmedQuit()
{
    startDockIconAnimation();
    finishQuittingStuff();
    finishDockIconAnimation();
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject(PlistValue(Clock::now()), QStringLiteral("SharedQuitDate"));
    defaults.synchronize();
}

void VKSharedController::startDockIconAnimation()
{
    // No animation images exist, so nothing ever starts.
}

void VKSharedController::animateDockIcon()
{
    if (m_dockIconAnimation == 0)
        return;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - m_dockIconFrameTime <= 100)
        return;
    m_dockIconFrameTime = now;
}

void VKSharedController::helpGuide()
{
    openGuidePage(QStringLiteral("index.html"));
}

void VKSharedController::openGuidePage(const QString& pageName)
{
    UserGuide::openPage(pageName);
}

void VKSharedController::openAddress(const QString& address)
{
    UserGuide::openAddress(QUrl(address));
}

bool VKSharedController::validateAction(const QString&) const
{
    return true;
}
