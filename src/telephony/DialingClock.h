#pragma once

#include <functional>

class QObject;

// The time dialing waits by. The system's clock runs each wait on a precise single-shot
// timer of the event loop, so the windows stay usable; a test installs a clock that holds
// the waits until the test moves time on.
class DialingClock {
public:
    virtual ~DialingClock() = default;

    // Calls `elapsed` from the event loop once the seconds have passed, unless `context`
    // is gone by then.
    virtual void wait(double seconds, QObject* context, std::function<void()> elapsed);

    static DialingClock& shared();
    // Nullptr puts the system's clock back.
    static void setSharedForTesting(DialingClock* clock);
};
