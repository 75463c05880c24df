#include "URLEventManager.h"

URLEventManager& URLEventManager::shared()
{
    static URLEventManager manager;
    return manager;
}

void URLEventManager::setEventHandler(QObject* receiver, Handler handler)
{
    m_receiver = receiver;
    m_handler = std::move(handler);
}

void URLEventManager::removeEventHandler()
{
    m_receiver = nullptr;
    m_handler = nullptr;
}

void URLEventManager::handleURL(const QString& url)
{
    // The window that registered may have closed since.
    if (!hasEventHandler())
        return;
    const Handler handler = m_handler;
    handler(url);
}
