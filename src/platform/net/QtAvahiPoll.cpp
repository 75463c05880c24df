#include "QtAvahiPoll.h"

#include <avahi-common/watch.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <sys/time.h>

// avahi's opaque watch and timeout types are ours to define.
struct AvahiWatch {
    int fd;
    AvahiWatchEvent wanted = AvahiWatchEvent(0);
    AvahiWatchEvent happened = AvahiWatchEvent(0);
    AvahiWatchCallback callback;
    void* userdata;
    QSocketNotifier* read = nullptr;
    QSocketNotifier* write = nullptr;
};

struct AvahiTimeout {
    QTimer timer;
    AvahiTimeoutCallback callback;
    void* userdata;
    // Set while its callback runs, which may free it.
    bool firing = false;
    bool freed = false;
};

struct QtAvahiPoll::Table {
    AvahiPoll api{};
};

namespace {

void fire(AvahiWatch* watch, AvahiWatchEvent event)
{
    watch->happened = event;
    watch->callback(watch, watch->fd, event, watch->userdata);
}

void updateWatch(AvahiWatch* watch, AvahiWatchEvent event)
{
    watch->wanted = event;
    watch->read->setEnabled((event & AVAHI_WATCH_IN) != 0);
    watch->write->setEnabled((event & AVAHI_WATCH_OUT) != 0);
}

AvahiWatch* newWatch(const AvahiPoll*, int fd, AvahiWatchEvent event, AvahiWatchCallback callback,
                     void* userdata)
{
    auto* watch = new AvahiWatch{fd, AvahiWatchEvent(0), AvahiWatchEvent(0), callback, userdata};
    watch->read = new QSocketNotifier(fd, QSocketNotifier::Read);
    watch->write = new QSocketNotifier(fd, QSocketNotifier::Write);
    QObject::connect(watch->read, &QSocketNotifier::activated, watch->read,
                     [watch] { fire(watch, AVAHI_WATCH_IN); });
    QObject::connect(watch->write, &QSocketNotifier::activated, watch->write,
                     [watch] { fire(watch, AVAHI_WATCH_OUT); });
    updateWatch(watch, event);
    return watch;
}

AvahiWatchEvent watchEvents(AvahiWatch* watch)
{
    return watch->happened;
}

void freeWatch(AvahiWatch* watch)
{
    watch->read->setEnabled(false);
    watch->write->setEnabled(false);
    if (QCoreApplication::closingDown()) {
        // No events are posted while the application goes; no callback runs either.
        delete watch->read;
        delete watch->write;
    } else {
        // Possibly from inside the watch's own callback: the notifiers go later.
        watch->read->deleteLater();
        watch->write->deleteLater();
    }
    delete watch;
}

void updateTimeout(AvahiTimeout* timeout, const struct timeval* tv)
{
    timeout->timer.stop();
    if (!tv)
        return;
    const qint64 due = qint64(tv->tv_sec) * 1000 + tv->tv_usec / 1000;
    timeval now{};
    gettimeofday(&now, nullptr);
    const qint64 current = qint64(now.tv_sec) * 1000 + now.tv_usec / 1000;
    timeout->timer.start(int(std::max<qint64>(0, due - current)));
}

AvahiTimeout* newTimeout(const AvahiPoll*, const struct timeval* tv, AvahiTimeoutCallback callback,
                         void* userdata)
{
    auto* timeout = new AvahiTimeout;
    timeout->callback = callback;
    timeout->userdata = userdata;
    timeout->timer.setSingleShot(true);
    QObject::connect(&timeout->timer, &QTimer::timeout, &timeout->timer, [timeout] {
        timeout->firing = true;
        timeout->callback(timeout, timeout->userdata);
        if (timeout->freed) {
            // Freed by its own callback while its timer still signals: it goes afterwards,
            // at once when no event loop will run again.
            if (QCoreApplication::closingDown())
                delete timeout;
            else
                QTimer::singleShot(0, [timeout] { delete timeout; });
            return;
        }
        timeout->firing = false;
    });
    updateTimeout(timeout, tv);
    return timeout;
}

void freeTimeout(AvahiTimeout* timeout)
{
    timeout->timer.stop();
    if (timeout->firing) {
        timeout->freed = true;
        return;
    }
    delete timeout;
}

} // namespace

QtAvahiPoll::QtAvahiPoll() : m_table(new Table)
{
    m_table->api.userdata = this;
    m_table->api.watch_new = newWatch;
    m_table->api.watch_update = updateWatch;
    m_table->api.watch_get_events = watchEvents;
    m_table->api.watch_free = freeWatch;
    m_table->api.timeout_new = newTimeout;
    m_table->api.timeout_update = updateTimeout;
    m_table->api.timeout_free = freeTimeout;
}

QtAvahiPoll::~QtAvahiPoll()
{
    delete m_table;
}

const AvahiPoll* QtAvahiPoll::poll() const
{
    return &m_table->api;
}
