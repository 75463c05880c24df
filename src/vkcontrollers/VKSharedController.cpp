#include "VKSharedController.h"

#include "Localization.h"
#include "NotificationCenter.h"
#include "UserDefaults.h"
#include "UserGuide.h"
#include "VKUpdateController.h"

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
        [this](const Notification&) { checkForUpdates(); });

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

void VKSharedController::applicationDidFinishLaunching()
{
    animateDockIcon();
    finishLaunchingStuff();
    animateDockIcon();
    m_fullyStarted = true;
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
