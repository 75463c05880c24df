#pragma once

#include "ApplicationDelegate.h"
#include "PlistValue.h"
#include "Responder.h"

#include <QObject>

// The application delegate's framework half: the shared defaults, the preference
// upgrade hook, the update defaults, the quit skeleton and the Help menu. Every part
// of the program reaches the application through mainController().
//
// Made in two steps, as C++ calls no overrides from a constructor: construct, then
// initialize().
class VKSharedController : public QObject, public Responder, public ApplicationDelegate {
    Q_OBJECT

public:
    // Where the product's pages live; the guide's address is UserGuide's.
    static inline const QString ProductSiteAddress = QStringLiteral("https://norva.app/");
    // Where the update server publishes its version lists.
    static inline const QString UpdateServerAddress = QStringLiteral("https://updates.norva.app/");
    // The product's major number, as the update addresses name it.
    static QString productNumberString() { return QStringLiteral("4"); }

    static VKSharedController* mainController();

    VKSharedController();
    ~VKSharedController() override;
    // Registers the shared defaults, upgrades the preferences and the update defaults.
    virtual void initialize();

    // {"SharedConfirmQuit": NO}.
    virtual PlistDictionary defaultPreferences() const;
    void upgradePreferences();
    // The preferences version after upgrading from the stored one; 0 means none.
    virtual qint64 upgradePreferencesFromVersion(qint64 version);
    // Stops when the system cannot run the application; this one always can.
    void terminatePolitelyIfNotAbleToRun();

    // The update check: a menu item as sender counts as the menu command, a toolbar
    // item as the toolbar's, anything else (the "CheckForUpdates" notification) as other.
    // "UpdateResetStatus" follows.
    void checkForUpdates(QObject* sender);
    static int updateSourceForSender(const QObject* sender);

    void applicationDidFinishLaunching() override;
    virtual void finishLaunchingStuff() {}
    bool fullyStarted() const { return m_fullyStarted; }
    void setFullyStarted(bool started) { m_fullyStarted = started; }
    // The next quit is not confirmed.
    void setMustQuitWithoutConfirmation() { m_fullyStarted = false; }

    // Once fully started, quitting asks first (the confirmation sheet, tied to
    // "SharedConfirmQuit"), unless the question has no text.
    TerminateReply applicationShouldTerminate() override;
    // Answers the pending termination: 1 quits after finishQuittingStuff() and the quit
    // date, anything else cancels.
    virtual void quitConfirmationDidEnd(int returnCode);
    // What must happen before a confirmed quit; nothing here.
    virtual void finishQuittingStuff() {}
    // A confirmed quit: the quit date stored and written out.
    void noteConfirmedQuit();

    // The dock icon's animation: kept as state, shown nowhere on this platform.
    void startDockIconAnimation();
    void animateDockIcon();
    void finishDockIconAnimation() { m_dockIconAnimation = 0; }
    void changeSplashProgress() { animateDockIcon(); }

    // Help menu: pages of the guide and the product site, opened in the browser.
    void helpGuide();
    void openGuidePage(const QString& pageName);

    bool validateAction(const QString& selector) const override;

private:
    void openAddress(const QString& address);

    bool m_fullyStarted = false;
    int m_dockIconAnimation = 0;
    qint64 m_dockIconFrameTime = 0;
};
