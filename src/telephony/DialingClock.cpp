#include "DialingClock.h"

#include <QTimer>

#include <chrono>
#include <cmath>

namespace {

DialingClock* installed = nullptr;

} // namespace

void DialingClock::wait(double seconds, QObject* context, std::function<void()> elapsed)
{
    // A coarse timer may end a long wait early by a twentieth.
    const auto milliseconds = std::chrono::milliseconds(std::llround(std::max(0.0, seconds) * 1000));
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, context, std::move(elapsed));
}

DialingClock& DialingClock::shared()
{
    static DialingClock system;
    return installed ? *installed : system;
}

void DialingClock::setSharedForTesting(DialingClock* clock)
{
    installed = clock;
}
