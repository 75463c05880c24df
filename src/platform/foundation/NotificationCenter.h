#pragma once

#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>

class QObject;

struct Notification {
    QString name;
    const void* object = nullptr;
    QVariantMap userInfo;
};

namespace notification_detail {
struct Registry;
}

// One observation. Destroying the token ends it; a token that outlives its
// center does nothing.
class NotificationObserver {
public:
    NotificationObserver() = default;
    ~NotificationObserver();
    NotificationObserver(NotificationObserver&& other) noexcept;
    NotificationObserver& operator=(NotificationObserver&& other) noexcept;
    NotificationObserver(const NotificationObserver&) = delete;
    NotificationObserver& operator=(const NotificationObserver&) = delete;

private:
    friend class NotificationCenter;
    NotificationObserver(std::weak_ptr<notification_detail::Registry> registry, quint64 id)
        : m_registry(std::move(registry)), m_id(id)
    {
    }
    void release();

    std::weak_ptr<notification_detail::Registry> m_registry;
    quint64 m_id = 0;
};

// Delivers notifications synchronously, on the posting thread (the main thread),
// to the matching observers in the order they were added.
class NotificationCenter {
public:
    using Callback = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    NotificationCenter();
    ~NotificationCenter();
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    // An empty name matches every name, a null object every object.
    [[nodiscard]] NotificationObserver addObserver(const QString& name, const void* object,
                                                   Callback callback);
    // The observation lasts until the context is destroyed or removed here.
    void addObserver(const QString& name, const void* object, const QObject* context,
                     Callback callback);

    void removeObserver(const NotificationObserver& observer);
    // Ends the context's observations of that name and object; an empty name and a
    // null object stand for all of them.
    void removeObserver(const QObject* context, const QString& name = QString(),
                        const void* object = nullptr);

    void postNotification(const QString& name, const void* object,
                          const QVariantMap& userInfo = QVariantMap());

private:
    std::shared_ptr<notification_detail::Registry> m_registry;
};
