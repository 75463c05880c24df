#include "NotificationCenter.h"

#include <QObject>

#include <utility>
#include <vector>

namespace notification_detail {

struct Entry {
    quint64 id = 0;
    QString name;
    const void* object = nullptr;
    const QObject* context = nullptr;
    NotificationCenter::Callback callback;
    QMetaObject::Connection contextConnection;
    // Set when the observation ends, so a post already under way skips it.
    bool removed = false;
};

struct Registry {
    std::vector<std::shared_ptr<Entry>> entries;
    quint64 nextId = 1;

    template <typename Predicate>
    void removeIf(Predicate predicate)
    {
        std::vector<std::shared_ptr<Entry>> kept;
        std::vector<std::shared_ptr<Entry>> dropped;
        kept.reserve(entries.size());
        for (auto& entry : entries)
            (predicate(*entry) ? dropped : kept).push_back(std::move(entry));
        entries.swap(kept);
        for (const auto& entry : dropped) {
            entry->removed = true;
            QObject::disconnect(entry->contextConnection);
        }
        // The dropped callbacks die here, once the list is whole again: their
        // captures may end further observations.
    }

    void remove(quint64 id)
    {
        removeIf([id](const Entry& entry) { return entry.id == id; });
    }
};

} // namespace notification_detail

using notification_detail::Entry;
using notification_detail::Registry;

NotificationObserver::~NotificationObserver() { release(); }

NotificationObserver::NotificationObserver(NotificationObserver&& other) noexcept
    : m_registry(std::move(other.m_registry)), m_id(std::exchange(other.m_id, 0))
{
}

NotificationObserver& NotificationObserver::operator=(NotificationObserver&& other) noexcept
{
    if (this != &other) {
        release();
        m_registry = std::move(other.m_registry);
        m_id = std::exchange(other.m_id, 0);
    }
    return *this;
}

void NotificationObserver::release()
{
    if (const auto registry = m_registry.lock())
        registry->remove(m_id);
    m_registry.reset();
    m_id = 0;
}

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

NotificationCenter::NotificationCenter() : m_registry(std::make_shared<Registry>()) {}

NotificationCenter::~NotificationCenter()
{
    m_registry->removeIf([](const Entry&) { return true; });
}

NotificationObserver NotificationCenter::addObserver(const QString& name, const void* object,
                                                     Callback callback)
{
    Q_ASSERT(callback);
    auto entry = std::make_shared<Entry>();
    entry->id = m_registry->nextId++;
    entry->name = name;
    entry->object = object;
    entry->callback = std::move(callback);
    m_registry->entries.push_back(entry);
    return NotificationObserver(m_registry, entry->id);
}

void NotificationCenter::addObserver(const QString& name, const void* object,
                                     const QObject* context, Callback callback)
{
    Q_ASSERT(callback);
    Q_ASSERT(context);
    auto entry = std::make_shared<Entry>();
    entry->id = m_registry->nextId++;
    entry->name = name;
    entry->object = object;
    entry->context = context;
    entry->callback = std::move(callback);
    entry->contextConnection =
        QObject::connect(context, &QObject::destroyed,
                         [registry = std::weak_ptr<Registry>(m_registry), id = entry->id] {
                             if (const auto live = registry.lock())
                                 live->remove(id);
                         });
    m_registry->entries.push_back(entry);
}

void NotificationCenter::removeObserver(const NotificationObserver& observer)
{
    if (observer.m_registry.lock() == m_registry)
        m_registry->remove(observer.m_id);
}

void NotificationCenter::removeObserver(const QObject* context, const QString& name,
                                        const void* object)
{
    if (!context)
        return;
    m_registry->removeIf([&](const Entry& entry) {
        return entry.context == context && (name.isEmpty() || entry.name == name) &&
               (!object || entry.object == object);
    });
}

void NotificationCenter::postNotification(const QString& name, const void* object,
                                          const QVariantMap& userInfo)
{
    const Notification notification{name, object, userInfo};
    // The observers as they stand now: one added during delivery waits for the next
    // post, and the snapshot keeps a callback alive while it removes itself.
    const auto registry = m_registry;
    std::vector<std::shared_ptr<Entry>> matching;
    for (const auto& entry : registry->entries) {
        if ((entry->name.isEmpty() || entry->name == name) &&
            (!entry->object || entry->object == object))
            matching.push_back(entry);
    }
    for (const auto& entry : matching) {
        if (!entry->removed)
            entry->callback(notification);
    }
}
