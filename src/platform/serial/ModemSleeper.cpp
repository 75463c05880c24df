#include "ModemSleeper.h"

#include <chrono>

ModemSleeper::ModemSleeper(Duration duration) : m_duration(std::move(duration)) {}

bool ModemSleeper::sleep(double seconds)
{
    const double lasting = m_duration ? m_duration(seconds) : seconds;
    std::unique_lock lock(m_mutex);
    m_wake.wait_for(lock, std::chrono::duration<double>(lasting), [this] { return m_cancelled; });
    return !m_cancelled;
}

void ModemSleeper::cancel()
{
    {
        const std::lock_guard lock(m_mutex);
        m_cancelled = true;
    }
    m_wake.notify_all();
}

bool ModemSleeper::isCancelled() const
{
    const std::lock_guard lock(m_mutex);
    return m_cancelled;
}
