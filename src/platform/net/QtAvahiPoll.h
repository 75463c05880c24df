#pragma once

struct AvahiPoll;

// avahi's event loop hooks on Qt's: its file watches become socket notifiers and its
// timeouts single-shot timers, so every avahi callback runs on the main thread.
class QtAvahiPoll {
public:
    QtAvahiPoll();
    ~QtAvahiPoll();
    QtAvahiPoll(const QtAvahiPoll&) = delete;
    QtAvahiPoll& operator=(const QtAvahiPoll&) = delete;

    const AvahiPoll* poll() const;

private:
    struct Table;
    Table* m_table;
};
