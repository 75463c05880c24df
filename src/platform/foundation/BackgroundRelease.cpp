#include "BackgroundRelease.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {

class ReleaseThread {
public:
    void release(std::shared_ptr<const void> value)
    {
        const std::lock_guard hold(m_lock);
        if (m_keeping) {
            m_kept.push_back(std::move(value));
            return;
        }
        m_waiting.push_back(std::move(value));
        if (!m_started) {
            // Never joined: it waits for work for the life of the process.
            std::thread([this] { run(); }).detach();
            m_started = true;
        }
        m_changed.notify_all();
    }

    void setKeeping(bool keeping)
    {
        const std::lock_guard hold(m_lock);
        m_keeping = keeping;
    }

    void waitUntilReleased()
    {
        std::unique_lock hold(m_lock);
        m_changed.wait(hold, [this] { return m_waiting.empty() && !m_releasing; });
    }

private:
    void run()
    {
        std::unique_lock hold(m_lock);
        for (;;) {
            m_changed.wait(hold, [this] { return !m_waiting.empty(); });
            std::shared_ptr<const void> value = std::move(m_waiting.front());
            m_waiting.pop_front();
            m_releasing = true;
            hold.unlock();
            value.reset();
            hold.lock();
            m_releasing = false;
            m_changed.notify_all();
        }
    }

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<std::shared_ptr<const void>> m_waiting;
    std::vector<std::shared_ptr<const void>> m_kept;
    bool m_keeping = false;
    bool m_releasing = false;
    bool m_started = false;
};

// Never destroyed: the thread may be at work while the process exits.
ReleaseThread& releaseThread()
{
    static auto* thread = new ReleaseThread;
    return *thread;
}

} // namespace

void BackgroundRelease::release(std::shared_ptr<const void> value)
{
    if (value)
        releaseThread().release(std::move(value));
}

void BackgroundRelease::setKeeping(bool keeping)
{
    releaseThread().setKeeping(keeping);
}

void BackgroundRelease::waitUntilReleased()
{
    releaseThread().waitUntilReleased();
}
