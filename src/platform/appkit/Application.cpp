#include "Application.h"

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

void Application::terminate()
{
    if (m_terminating)
        return;
    const ApplicationDelegate::TerminateReply reply =
        m_delegate ? m_delegate->applicationShouldTerminate()
                   : ApplicationDelegate::TerminateReply::Now;
    switch (reply) {
    case ApplicationDelegate::TerminateReply::Now:
        quitNow();
        break;
    case ApplicationDelegate::TerminateReply::Later:
        m_terminating = true;
        break;
    case ApplicationDelegate::TerminateReply::Cancel:
        break;
    }
}

void Application::replyToApplicationShouldTerminate(bool shouldTerminate)
{
    if (!m_terminating)
        return;
    m_terminating = false;
    if (shouldTerminate)
        quitNow();
}

void Application::lastWindowClosed()
{
    if (m_delegate && m_delegate->applicationShouldTerminateAfterLastWindowClosed())
        terminate();
}

void Application::quitNow()
{
    if (m_delegate)
        m_delegate->applicationWillTerminate();
    QCoreApplication::quit();
}

bool Application::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == QCoreApplication::instance() && event->type() == QEvent::ApplicationActivate &&
        m_delegate)
        m_delegate->applicationDidBecomeActive();
    return QObject::eventFilter(watched, event);
}
