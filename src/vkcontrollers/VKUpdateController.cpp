#include "VKUpdateController.h"

#include "Clock.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "Presenter.h"
#include "PropertyList.h"
#include "StringFormat.h"
#include "UserDefaults.h"
#include "VKSharedController.h"

#include <QEventLoop>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {

const QString shared = QStringLiteral("Shared");
const QString& modeKey = VKUpdateController::ModeKey;
const QString& frequencyKey = VKUpdateController::FrequencyKey;
const QString& statusKey = VKUpdateController::StatusKey;
const QString& levelKey = VKUpdateController::LevelKey;
const QString& lastAttemptKey = VKUpdateController::LastAttemptKey;
const QString& lastCheckKey = VKUpdateController::LastCheckKey;
const QString& lastMessageKey = VKUpdateController::LastMessageKey;
const QString defaultLevelKey = QStringLiteral("SoftwareUpdateDefaultLevel");
const QString generalReleaseKey = QStringLiteral("SoftwareUpdateGeneralRelease");

constexpr int secondsPerDay = 86400;

// A build or release number as a number: its leading digits once every "." and "b" is
// gone ("4.0.42" is 4042, "4042b" 4042).
int buildNumber(QString text)
{
    return PlistValue(text.remove(QLatin1Char('.')).remove(QLatin1Char('b'))).intValue();
}

bool isAutomatic(int source)
{
    return source == VKUpdateController::DueCheck ||
           source == VKUpdateController::FirstAutomaticCheck;
}

// Only web pages are opened from what the servers send.
void openWebPage(const QString& address)
{
    const QUrl url(address);
    if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
        Presenter::shared().openUrl(url);
}

AlertResponse runAlert(AlertRequest::Style style, const QString& message,
                       const QString& informative, const QString& secondButton = QString())
{
    AlertRequest alert;
    alert.style = style;
    alert.messageText = message;
    alert.informativeText = informative;
    alert.buttons = {localized(QStringLiteral("OK"), shared)};
    if (!secondButton.isEmpty())
        alert.buttons.append(secondButton);
    return Presenter::shared().runModalAlert(alert);
}

} // namespace

VKUpdateController::BundleInfo VKUpdateController::builtBundleInfo()
{
    return {QStringLiteral(NORVA_BUNDLE_NAME), QStringLiteral(NORVA_BUNDLE_VERSION),
            QStringLiteral(NORVA_SHORT_VERSION)};
}

QList<QUrl> VKUpdateController::defaultVersionListAddresses()
{
    const QString site =
        localized(VKSharedController::ProductSiteAddress, QStringLiteral("Specific"));
    return {QUrl(VKSharedController::UpdateServerAddress + QStringLiteral("4-en.vers")),
            QUrl(VKSharedController::ProductSiteAddress + QStringLiteral("updates/info.php")),
            QUrl(stringWithFormat(QStringLiteral("%@updates/%@-%@.vers"), site,
                                  VKSharedController::productNumberString(),
                                  localized(QStringLiteral("en"), shared)))};
}

qint64 VKUpdateController::checkInterval(qint64 frequency)
{
    if (frequency == 0)
        return secondsPerDay;
    return frequency == 2 ? 28 * secondsPerDay : 7 * secondsPerDay;
}

VKUpdateController& VKUpdateController::sharedUpdateController()
{
    // Never destroyed: it may outlive the application object.
    static VKUpdateController* controller = new VKUpdateController;
    return *controller;
}

VKUpdateController::VKUpdateController()
    : m_bundleInfo(builtBundleInfo()), m_addresses(defaultVersionListAddresses()),
      m_scheduler([this](int seconds, std::function<void()> run) {
          QTimer::singleShot(seconds * 1000, this, std::move(run));
      })
{
}

VKUpdateController::~VKUpdateController() = default;

void VKUpdateController::setupDefaultPrefs()
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const PlistValue stored = defaults.objectForKey(defaultLevelKey);
    qint64 level = stored.isNull() ? 0 : defaults.integerForKey(defaultLevelKey);
    if (stored.isNull() || level == 0) {
        level = 0;
        defaults.setInteger(0, defaultLevelKey);
    }
    defaults.registerDefaults({{modeKey, 1}, {frequencyKey, 1}, {statusKey, 0}, {levelKey, level}});
}

void VKUpdateController::setStatus(qint64 status, const QString& message, bool notify)
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.setInteger(status, statusKey);
    defaults.setObject(message, lastMessageKey);
    if (notify)
        NotificationCenter::defaultCenter().postNotification(QStringLiteral("VKUpdateResetStatus"),
                                                             nullptr);
}

void VKUpdateController::checkForUpdates(int source, bool)
{
    // The interface takes no input while a check runs, yet a timer could ask again.
    if (m_checking)
        return;
    m_checking = true;
    runCheck(source);
    m_checking = false;
}

void VKUpdateController::automaticUpdateCheck()
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    if (defaults.integerForKey(modeKey) == 1) {
        const PlistValue lastCheck = defaults.objectForKey(lastCheckKey);
        if (!lastCheck.isDate()) {
            checkForUpdates(FirstAutomaticCheck, true);
        } else {
            const double interval = double(checkInterval(defaults.integerForKey(frequencyKey)));
            const double since = Clock::now().secondsSinceReferenceDate -
                                 lastCheck.asDate()->secondsSinceReferenceDate;
            if (since > interval)
                checkForUpdates(DueCheck, true);
        }
    }
    m_scheduler(secondsPerDay, [this] { automaticUpdateCheck(); });
}

void VKUpdateController::runCheck(int source)
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject(PlistValue(Clock::now()), lastAttemptKey);
    setStatus(Checking, localized(QStringLiteral("Checking for new software..."), shared), true);

    const std::optional<PlistDictionary> list = fetchVersionList();
    if (!list) {
        setStatus(Failed,
                  localized(QStringLiteral("Failed. Could not connect to the internet."), shared),
                  true);
        if (!isAutomatic(source))
            runAlert(AlertRequest::Style::Critical,
                     localized(QStringLiteral("Unable to check for updates"), shared),
                     localized(QStringLiteral("An error occurred while checking for an update.  "
                                              "Check that you have an internet connection and try "
                                              "again, or visit the product web site."),
                               shared));
        defaults.synchronize();
        return;
    }
    const QString chosen =
        defaults.integerForKey(levelKey) != 0 ? QStringLiteral("Beta") : QStringLiteral("General");
    PlistValue entry = list->value(chosen);
    if (!entry.isDictionary())
        entry = list->value(QStringLiteral("General"));
    if (!entry.isDictionary()) {
        setStatus(Failed, localized(QStringLiteral("Failed. No updates found."), shared), true);
        if (!isAutomatic(source))
            runAlert(AlertRequest::Style::Critical,
                     localized(QStringLiteral("No suitable updates can be found"), shared),
                     localized(QStringLiteral("Please try again later, or visit the product web "
                                              "site."),
                               shared));
        defaults.synchronize();
        return;
    }

    const PlistDictionary& description = *entry.asDictionary();
    const QString release = description.stringForKey(QStringLiteral("Release"));
    if (release.size() == 4)
        defaults.setObject(release, generalReleaseKey);
    const QString& build = m_bundleInfo.build;
    if (buildNumber(release) < buildNumber(build) || release == build)
        reportUpToDate(source, description);
    else
        offerUpdate(description, release);
    defaults.setObject(PlistValue(Clock::now()), lastCheckKey);
    defaults.synchronize();
}

void VKUpdateController::reportUpToDate(int source, const PlistDictionary& entry)
{
    setStatus(Done, localized(QStringLiteral("No new software updates were available"), shared),
              true);
    if (isAutomatic(source))
        return;
    const QString informative = stringWithFormat(
        QStringLiteral("You are using %@ version %@.  %@\n\n%@"), m_bundleInfo.name,
        m_bundleInfo.shownVersion, entry.stringForKey(QStringLiteral("CommentsUpToDate")),
        entry.stringForKey(QStringLiteral("UpToDateQuery")));
    const AlertResponse response =
        runAlert(AlertRequest::Style::Informational,
                 localized(QStringLiteral("Your software is up-to-date"), shared), informative,
                 entry.stringForKey(QStringLiteral("UpToDateButton")));
    if (response.returnCode == AlertSecondButtonReturn)
        openWebPage(entry.stringForKey(QStringLiteral("UpToDateURL")));
}

void VKUpdateController::offerUpdate(const PlistDictionary& entry, const QString& release)
{
    const QString& build = m_bundleInfo.build;
    const bool prerelease = build.endsWith(QLatin1Char('b')) || build.endsWith(QLatin1Char('a'));
    const QString version = entry.stringForKey(QStringLiteral("Version"));
    const PlistValue released = entry.value(QStringLiteral("Date"));
    const QString date =
        released.isDate() ? QLocale().toString(released.asDate()->toDateTime().toLocalTime().date(),
                                               QLocale::ShortFormat)
                          : QString();
    const QString comments = entry.stringForKey(prerelease ? QStringLiteral("CommentsFromBeta")
                                                           : QStringLiteral("CommentsFromGeneral"));
    const QString query = entry.stringForKey(QStringLiteral("DownloadQuery"));
    setStatus(
        Done,
        stringWithFormat(localized(QStringLiteral("Found update to version %@"), shared), version),
        true);

    QString message;
    QString format;
    if (prerelease && !(release.left(4) > build)) {
        message = localized(QStringLiteral("A general release is available"), shared);
        format = localized(QStringLiteral("You are using %@ version %@, a Beta release, but your "
                                          "preferences indicate you prefer a General release.  The "
                                          "previous General release, version %@, is also available "
                                          "(released %@).\n\n%@\n\n%@"),
                           shared);
    } else {
        message = localized(QStringLiteral("A newer version is available"), shared);
        format = localized(QStringLiteral("You are using %@ version %@.  Version %@ is now "
                                          "available (released %@).\n\n%@\n\n%@"),
                           shared);
    }
    const QString informative = stringWithFormat(
        format, m_bundleInfo.name, m_bundleInfo.shownVersion, version, date, comments, query);
    const AlertResponse response =
        runAlert(AlertRequest::Style::Informational, message, informative,
                 entry.stringForKey(QStringLiteral("UpToDateButton")));
    if (response.returnCode == AlertFirstButtonReturn) {
        openWebPage(entry.stringForKey(QStringLiteral("DownloadURL")));
    } else if (response.returnCode == AlertSecondButtonReturn) {
        // The release goes into the first "%@" only; the rest of the address is no format.
        QString address = entry.stringForKey(QStringLiteral("UpToDateURL"));
        const qsizetype place = address.indexOf(QLatin1String("%@"));
        if (place >= 0)
            address.replace(place, 2, release);
        openWebPage(address);
    }
}

std::optional<PlistDictionary> VKUpdateController::fetchVersionList()
{
    QNetworkAccessManager network;
    for (const QUrl& address : std::as_const(m_addresses)) {
        if (std::optional<PlistDictionary> list = fetch(network, address))
            return list;
    }
    return std::nullopt;
}

std::optional<PlistDictionary> VKUpdateController::fetch(QNetworkAccessManager& network,
                                                         const QUrl& address)
{
    QNetworkRequest request(address);
    QNetworkReply* reply = network.get(request);
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, reply, &QNetworkReply::abort);
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timeout.start(m_fetchTimeout);
    // The interface waits for the answer, but keeps painting.
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    const int httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray body =
        reply->error() == QNetworkReply::NoError ? reply->readAll() : QByteArray();
    delete reply;
    if (httpStatus < 200 || httpStatus > 299)
        return std::nullopt;
    const PlistReadResult read = readPropertyList(body);
    if (!read.ok() || !read.value.asDictionary())
        return std::nullopt;
    return *read.value.asDictionary();
}
