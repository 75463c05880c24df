#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class InstanceChannel;
class MainController;
class StartWindow;

// The program put together in one place: the kinds of document and how their windows
// are made, the application's delegate with its menus, the start window and the files
// handed over at start or by a second start. main() and the end-to-end tests both run
// the program through it, so whatever a user can reach is wired here.
class ApplicationAssembly {
public:
    struct LaunchOptions {
        QStringList files;        // absolute paths, opened once launching has finished
        QString instanceChannel;  // where later starts hand their files over; empty: nowhere
    };

    // The application's names and icon; before anything else of Qt's is made.
    static void configureApplication();

    ApplicationAssembly();
    // Closes every document without asking and takes the program apart again.
    ~ApplicationAssembly();

    // Launching finishes once the event loop runs.
    void launch(const LaunchOptions& options);

    MainController& mainController() const { return *m_mainController; }
    StartWindow& startWindow() const { return *m_startWindow; }

private:
    void openFiles(const QStringList& files);
    void bringToFront();

    std::unique_ptr<MainController> m_mainController;
    std::unique_ptr<StartWindow> m_startWindow;
    std::unique_ptr<InstanceChannel> m_instanceChannel;
};
