#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>

// The waits a modem needs between commands, taken on a worker thread. Tests shorten
// them; cancelling wakes every wait at once (the program is quitting).
class ModemSleeper {
public:
    // How long a wait of the asked seconds really lasts; empty: as asked.
    using Duration = std::function<double(double seconds)>;

    explicit ModemSleeper(Duration duration = {});

    // False, at once, when cancelled.
    bool sleep(double seconds);
    void cancel();
    bool isCancelled() const;

private:
    Duration m_duration;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_cancelled = false;
};
