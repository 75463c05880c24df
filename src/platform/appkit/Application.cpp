#include "Application.h"

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
    m_awaitingReply = false;
    m_closingDocuments = false;
    m_quitting = false;
}

void Application::terminate()
{
    if (m_awaitingReply || m_closingDocuments || m_quitting)
        return;
    const ApplicationDelegate::TerminateReply reply =
        m_delegate ? m_delegate->applicationShouldTerminate()
                   : ApplicationDelegate::TerminateReply::Now;
    switch (reply) {
    case ApplicationDelegate::TerminateReply::Now:
        closeDocumentsThenQuit();
        break;
    case ApplicationDelegate::TerminateReply::Later:
        m_awaitingReply = true;
        break;
    case ApplicationDelegate::TerminateReply::Cancel:
        break;
    }
}

void Application::replyToApplicationShouldTerminate(bool shouldTerminate)
{
    if (!m_awaitingReply)
        return;
    m_awaitingReply = false;
    if (shouldTerminate)
        closeDocumentsThenQuit();
}

void Application::closeDocumentsThenQuit()
{
    m_closingDocuments = true;
    DocumentController::shared().closeAllDocuments([this](bool allClosed) {
        m_closingDocuments = false;
        if (allClosed)
            quitNow();
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
    if (m_delegate)
        m_delegate->applicationWillTerminate();
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
