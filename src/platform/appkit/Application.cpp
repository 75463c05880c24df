#include "Application.h"

#include "BackgroundRelease.h"
#include "Document.h"
#include "DocumentController.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

Application& Application::shared()
{
    static Application application;
    return application;
}

Application::Application()
{
    if (QCoreApplication* core = QCoreApplication::instance())
        core->installEventFilter(this);
}

void Application::finishLaunchingWhenRunning()
{
    QTimer::singleShot(0, this, [this] {
        m_running = true;
        if (m_delegate)
            m_delegate->applicationDidFinishLaunching();
        Q_EMIT didFinishLaunching();
    });
}

void Application::setDelegate(ApplicationDelegate* delegate)
{
    m_delegate = delegate;
    m_askingDelegate = false;
    m_replyWhileAsking.reset();
    m_awaitingReply = false;
    m_reviewingDocuments = false;
    m_quitting = false;
}

void Application::terminate()
{
    if (m_awaitingReply || m_reviewingDocuments || m_quitting)
        return;
    if (!m_delegate) {
        reviewDocumentsThenQuit();
        return;
    }
    // A delegate may answer "later" after it already replied (a question run modally).
    m_awaitingReply = true;
    m_askingDelegate = true;
    m_replyWhileAsking.reset();
    const ApplicationDelegate::TerminateReply reply = m_delegate->applicationShouldTerminate();
    m_askingDelegate = false;
    switch (reply) {
    case ApplicationDelegate::TerminateReply::Now:
        m_awaitingReply = false;
        reviewDocumentsThenQuit();
        break;
    case ApplicationDelegate::TerminateReply::Later:
        if (m_replyWhileAsking) {
            m_awaitingReply = false;
            if (*m_replyWhileAsking)
                reviewDocumentsThenQuit();
        }
        break;
    case ApplicationDelegate::TerminateReply::Cancel:
        m_awaitingReply = false;
        break;
    }
}

void Application::replyToApplicationShouldTerminate(bool shouldTerminate)
{
    if (!m_awaitingReply)
        return;
    if (m_askingDelegate) {
        m_replyWhileAsking = shouldTerminate;
        return;
    }
    m_awaitingReply = false;
    if (shouldTerminate)
        reviewDocumentsThenQuit();
}

void Application::reviewDocumentsThenQuit()
{
    m_reviewingDocuments = true;
    DocumentController::shared().reviewUnsavedDocuments([this](bool mayClose) {
        m_reviewingDocuments = false;
        if (mayClose) {
            quitNow();
            return;
        }
        Q_EMIT terminationCancelled();
    });
}

void Application::lastWindowClosed()
{
    if (m_delegate && m_delegate->applicationShouldTerminateAfterLastWindowClosed())
        terminate();
}

void Application::quitNow()
{
    m_quitting = true;
    // The system takes back the memory of what closes now at once; freeing it would only
    // keep the user waiting.
    BackgroundRelease::setKeeping(true);
    if (m_delegate)
        m_delegate->applicationWillTerminate();
    // Every document said what becomes of its changes: what is left closes unasked.
    const std::vector<Document*> open = DocumentController::shared().documents();
    for (auto document = open.rbegin(); document != open.rend(); ++document)
        (*document)->close();
    Q_EMIT willTerminate();
    QCoreApplication::quit();
}

bool Application::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == QCoreApplication::instance() && event->type() == QEvent::ApplicationActivate &&
        m_delegate)
        m_delegate->applicationDidBecomeActive();
    return QObject::eventFilter(watched, event);
}
