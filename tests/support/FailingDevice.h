#pragma once

#include <QByteArray>
#include <QIODevice>

#include <algorithm>

// A device that accepts so many bytes and then refuses every write, as a full disk does.
class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(qint64 capacity) : m_capacity(capacity) { open(QIODevice::WriteOnly); }

    // What it accepted.
    QByteArray written;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        const qint64 room = m_capacity - written.size();
        if (room <= 0)
            return -1;
        const qint64 accepted = std::min(room, size);
        written.append(data, accepted);
        return accepted;
    }

private:
    qint64 m_capacity;
};
