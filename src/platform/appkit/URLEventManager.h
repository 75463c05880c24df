#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

// Where a URL the desktop hands to the program goes (a sign-in redirect through its URL
// scheme): to the one handler registered, while the object it belongs to lives.
class URLEventManager {
public:
    static URLEventManager& shared();

    using Handler = std::function<void(const QString& url)>;
    // Replaces the handler; it stays registered until another replaces it.
    void setEventHandler(QObject* receiver, Handler handler);
    bool hasEventHandler() const { return m_receiver && m_handler; }
    void removeEventHandler();
    void handleURL(const QString& url);

private:
    QPointer<QObject> m_receiver;
    Handler m_handler;
};
