#pragma once

#include <QObject>

#include <atomic>

// While it lives, a long piece of work on the main thread that lets events through can be
// stopped: Escape or Ctrl+period pressed anywhere in the program is noted, and every other
// key, click and menu shortcut is held off. The note can be read from any thread.
class StopKeyMonitor : public QObject {
public:
    StopKeyMonitor();
    ~StopKeyMonitor() override;

    bool stopRequested() const { return m_stopped.load(std::memory_order_relaxed); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::atomic<bool> m_stopped{false};
};
