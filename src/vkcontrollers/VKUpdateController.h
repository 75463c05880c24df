#pragma once

#include "PlistValue.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QNetworkAccessManager;

// The software-update check: fetches the version list the product's servers publish,
// compares the release it describes with the running build, records the outcome in the
// user defaults (the Updates preferences show it) and, as the check was started, tells
// the user and offers the download or information page.
class VKUpdateController : public QObject {
    Q_OBJECT

public:
    // Who started a check. The automatic ones keep quiet unless an update is found.
    enum Source {
        DueCheck = 2,
        FirstAutomaticCheck = 3,
        OtherSource = 7,
        ToolbarItemSource = 8,
        MenuItemSource = 9,
    };
    enum Status { Idle = 0, Checking = 1, Done = 2, Failed = 3 };

    // The user defaults the check keeps its choices and outcome in.
    static inline const QString ModeKey = QStringLiteral("SoftwareUpdateMode");
    static inline const QString FrequencyKey = QStringLiteral("SoftwareUpdateFrequency");
    static inline const QString StatusKey = QStringLiteral("SoftwareUpdateStatus");
    static inline const QString LevelKey = QStringLiteral("SoftwareUpdateLevel");
    static inline const QString LastAttemptKey = QStringLiteral("SoftwareUpdateLastAttempt");
    static inline const QString LastCheckKey = QStringLiteral("SoftwareUpdateLastCheck");
    static inline const QString LastMessageKey = QStringLiteral("SoftwareUpdateLastMessage");

    // Seconds between automatic checks for a "SoftwareUpdateFrequency": 0 daily, 2 every
    // four weeks, anything else weekly.
    static qint64 checkInterval(qint64 frequency);

    // The running program as the check compares it: its name, its build ("4001"; a
    // prerelease ends in "b" or "a") and the version shown to the user ("4.0.1").
    struct BundleInfo {
        QString name;
        QString build;
        QString shownVersion;
    };
    static BundleInfo builtBundleInfo();

    // The update server's list, the product server's, and the one on the product site.
    static QList<QUrl> defaultVersionListAddresses();

    static VKUpdateController& sharedUpdateController();

    // "SoftwareUpdateDefaultLevel" is stored as 0 when missing or 0; then the mode,
    // frequency, status and level are registered.
    void setupDefaultPrefs();

    // Runs the check on this thread (the flag is kept for callers; there is no other
    // thread): the interface waits for the fetches, still repainting.
    void checkForUpdates(int source, bool inNewThread);
    // When checking automatically, a check once none was ever made or once the chosen
    // interval has passed since the last; then the same again a day later. Nothing calls
    // it: checks run only when the user asks.
    void automaticUpdateCheck();
    void setStatus(qint64 status, const QString& message, bool notify);

    // What tests replace: the program compared, where the lists are fetched, how long each
    // fetch may take, and how the next automatic check is scheduled.
    void setBundleInfo(const BundleInfo& info) { m_bundleInfo = info; }
    const BundleInfo& bundleInfo() const { return m_bundleInfo; }
    void setVersionListAddresses(const QList<QUrl>& addresses) { m_addresses = addresses; }
    const QList<QUrl>& versionListAddresses() const { return m_addresses; }
    void setFetchTimeout(int milliseconds) { m_fetchTimeout = milliseconds; }
    using Scheduler = std::function<void(int seconds, std::function<void()> run)>;
    void setScheduler(Scheduler scheduler) { m_scheduler = std::move(scheduler); }

private:
    VKUpdateController();
    ~VKUpdateController() override;

    void runCheck(int source);
    // The first version list the addresses give, in turn.
    std::optional<PlistDictionary> fetchVersionList();
    std::optional<PlistDictionary> fetch(QNetworkAccessManager& network, const QUrl& address);
    void reportUpToDate(int source, const PlistDictionary& entry);
    void offerUpdate(const PlistDictionary& entry, const QString& release);

    BundleInfo m_bundleInfo;
    QList<QUrl> m_addresses;
    int m_fetchTimeout = 20000;
    Scheduler m_scheduler;
    bool m_checking = false;
};
