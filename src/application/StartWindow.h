#pragma once

#include <QMainWindow>

class ApplicationMenus;

// A small window that carries the application's menus while no datafile window is
// open, so that Open, New, Preferences and Quit stay within reach. Closing it quits:
// Norva without a window could not be reached.
class StartWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit StartWindow(const ApplicationMenus& menus);

    // Shown while no document is open, hidden otherwise.
    void followDocuments();

protected:
    void closeEvent(QCloseEvent* event) override;
};
