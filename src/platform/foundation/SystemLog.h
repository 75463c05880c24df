#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The system log: internal faults and notices the user does not see.
class SystemLog {
public:
    static void log(const QString& line);

    // Tests capture the lines instead of letting them reach standard error.
    using Capture = std::function<void(const QString& line)>;
    static void setCapture(Capture capture);
};

// Collects logged lines for the life of the object.
class ScopedLogCapture {
public:
    ScopedLogCapture();
    ~ScopedLogCapture();
    ScopedLogCapture(const ScopedLogCapture&) = delete;
    ScopedLogCapture& operator=(const ScopedLogCapture&) = delete;

    const QStringList& lines() const { return m_lines; }

private:
    QStringList m_lines;
};
