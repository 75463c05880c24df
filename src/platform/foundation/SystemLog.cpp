#include "SystemLog.h"

#include <QStringList>

#include <cstdio>
#include <mutex>

namespace {
SystemLog::Capture& capture()
{
    static SystemLog::Capture current;
    return current;
}
} // namespace

void SystemLog::log(const QString& line)
{
    // Records read side by side may log at once.
    static std::mutex lock;
    const std::lock_guard hold(lock);
    if (capture()) {
        capture()(line);
        return;
    }
    std::fprintf(stderr, "Norva: %s\n", line.toLocal8Bit().constData());
}

void SystemLog::setCapture(Capture newCapture) { capture() = std::move(newCapture); }

ScopedLogCapture::ScopedLogCapture()
{
    SystemLog::setCapture([this](const QString& line) { m_lines.append(line); });
}

ScopedLogCapture::~ScopedLogCapture() { SystemLog::setCapture({}); }
