#pragma once

#include "DBClientsManager.h"
#include "InstanceChannel.h"
#include "ServiceCommand.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class MainController;
class ServicesEndpoint;
class StartWindow;

// The program put together in one place: the kinds of document and how their windows
// are made, the application's delegate with its menus, the start window and the files
// handed over at start or by a second start. main() and the end-to-end tests both run
// the program through it, so whatever a user can reach is wired here.
class ApplicationAssembly {
public:
    struct LaunchOptions {
        QStringList files; // absolute paths, opened once launching has finished
        // Listening already, where later starts hand their files over; none: nowhere.
        std::unique_ptr<InstanceChannel> instanceChannel;
        QString servicesEndpoint; // where service requests arrive; empty: nowhere
        // A service asked for on the command line, run once launching has finished.
        std::optional<ServiceCommand> serviceRequest;
        // Dropbox: the build's application key (none offers Dropbox nowhere), where the
        // service answers and where the sign-in is kept.
        QString dropboxAppKey = builtDropboxAppKey();
        DropboxEndpoints dropboxEndpoints = DropboxEndpoints::service();
        QString dropboxTokenPath = DBClientsManager::defaultTokenPath();
        // A sign-in redirect given on the command line while no Norva ran.
        QString dropboxRedirect;
    };

    // The key the build was configured with, or none.
    static QString builtDropboxAppKey();

    // The application's names and icon; before anything else of Qt's is made.
    static void configureApplication();

    ApplicationAssembly();
    // Closes every document without asking and takes the program apart again.
    ~ApplicationAssembly();

    // Launching finishes once the event loop runs.
    void launch(LaunchOptions options);

    MainController& mainController() const { return *m_mainController; }
    StartWindow& startWindow() const { return *m_startWindow; }

private:
    // Files handed over by a later start; those that come while launching wait for it to
    // finish, as the defaults and menus a datafile's window reads are not all there yet.
    void openFiles(const QStringList& files);
    void bringToFront();
    // The importers File ▸ Import starts.
    void registerImporters();
    // Once launching has registered the services: requests are taken from then on.
    void registerServices();

    std::unique_ptr<MainController> m_mainController;
    std::unique_ptr<StartWindow> m_startWindow;
    std::unique_ptr<InstanceChannel> m_instanceChannel;
    std::unique_ptr<ServicesEndpoint> m_servicesEndpoint;
    QString m_servicesEndpointPath;
    std::optional<ServiceCommand> m_pendingService;
    bool m_dropboxAvailable = false;
    bool m_launched = false;
    QStringList m_filesHandedOverWhileLaunching;
};
