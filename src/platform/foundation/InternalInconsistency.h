#pragma once

#include <QString>

#include <stdexcept>

// A broken promise between parts of the program, such as a missing argument that
// every caller must pass. Carries the message the system reports for it.
class InternalInconsistency : public std::logic_error {
public:
    explicit InternalInconsistency(const QString& message)
        : std::logic_error(message.toStdString()), m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};
