#pragma once

#include "ApplicationDelegate.h"

#include <QObject>

#include <optional>

// The running application as its delegate sees it: launching finishes once the event
// loop runs, quitting asks the delegate first, and closing the last document window
// may quit.
class Application : public QObject {
    Q_OBJECT

public:
    static Application& shared();

    ApplicationDelegate* delegate() const { return m_delegate; }
    // A new delegate starts a new run of the program.
    void setDelegate(ApplicationDelegate* delegate);

    // Tells the delegate, once the event loop runs, that launching has finished.
    void finishLaunchingWhenRunning();
    bool isRunning() const { return m_running; }

    // Asks the delegate (now, never, or when it replies), then each document with unsaved
    // changes whether to save them, as closing it would; Cancel there cancels the quit
    // with every document still open. Only then is the quit certain: the delegate is told
    // it will terminate, what is still open closes without asking, and the event loop ends.
    void terminate();
    // The delegate's later answer; also taken when given while the delegate is asked.
    void replyToApplicationShouldTerminate(bool shouldTerminate);
    // From the moment the quit is certain.
    bool isQuitting() const { return m_quitting; }
    // A document window closed and none is left.
    void lastWindowClosed();

Q_SIGNALS:
    void didFinishLaunching();
    // A document's save question was cancelled: everything stays open.
    void terminationCancelled();
    // The quit is certain: the documents are closed and the event loop ends next.
    void willTerminate();

private:
    Application();
    void reviewDocumentsThenQuit();
    void quitNow();
    bool eventFilter(QObject* watched, QEvent* event) override;

    ApplicationDelegate* m_delegate = nullptr;
    bool m_running = false;
    bool m_askingDelegate = false;
    std::optional<bool> m_replyWhileAsking;
    bool m_awaitingReply = false;
    bool m_reviewingDocuments = false;
    bool m_quitting = false;
};
