#pragma once

#include "ApplicationDelegate.h"

#include <QObject>

// The running application as its delegate sees it: launching finishes once the event
// loop runs, quitting asks the delegate first, and closing the last document window
// may quit.
class Application : public QObject {
    Q_OBJECT

public:
    static Application& shared();

    ApplicationDelegate* delegate() const { return m_delegate; }
    void setDelegate(ApplicationDelegate* delegate) { m_delegate = delegate; }

    // Tells the delegate, once the event loop runs, that launching has finished.
    void finishLaunchingWhenRunning();
    bool isRunning() const { return m_running; }

    // Asks the delegate; quits now, never, or when it replies.
    void terminate();
    void replyToApplicationShouldTerminate(bool shouldTerminate);
    // A document window closed and none is left.
    void lastWindowClosed();

Q_SIGNALS:
    void didFinishLaunching();

private:
    Application();
    void quitNow();
    bool eventFilter(QObject* watched, QEvent* event) override;

    ApplicationDelegate* m_delegate = nullptr;
    bool m_running = false;
    bool m_terminating = false;
};
