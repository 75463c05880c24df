#pragma once

// A dialing clock that stands still until the test moves it on; the waits that end by
// then run in the order they end, each at its own moment, so a wait begun by another
// starts where that one ended. Installed while it lives.
#include "DialingClock.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <algorithm>
#include <functional>

class FakeDialingClock : public DialingClock {
public:
    FakeDialingClock() { DialingClock::setSharedForTesting(this); }
    ~FakeDialingClock() override { DialingClock::setSharedForTesting(nullptr); }

    void wait(double seconds, QObject* context, std::function<void()> elapsed) override
    {
        m_pending.append({m_now + seconds, m_order++, context, std::move(elapsed)});
    }

    double now() const { return m_now; }
    // Waits begun and not yet run, whose owner is still there.
    int pendingCount() const
    {
        return int(std::count_if(m_pending.begin(), m_pending.end(),
                                 [](const Pending& pending) { return !pending.context.isNull(); }));
    }

    void advance(double seconds)
    {
        const double until = m_now + seconds + 1e-9;
        while (runNextDueBy(until)) {
        }
        m_now = std::max(m_now, until - 1e-9);
    }
    // Until no wait is left.
    void runAll()
    {
        while (runNextDueBy(1e300)) {
        }
    }

private:
    struct Pending {
        double due;
        quint64 order;
        QPointer<QObject> context;
        std::function<void()> elapsed;
    };

    bool runNextDueBy(double until)
    {
        auto next = std::min_element(m_pending.begin(), m_pending.end(),
                                     [](const Pending& a, const Pending& b) {
                                         return a.due < b.due || (a.due == b.due && a.order < b.order);
                                     });
        if (next == m_pending.end() || next->due > until)
            return false;
        Pending pending = *next;
        m_pending.erase(next);
        m_now = std::max(m_now, pending.due);
        if (pending.context)
            pending.elapsed();
        return true;
    }

    double m_now = 0;
    quint64 m_order = 0;
    QList<Pending> m_pending;
};
