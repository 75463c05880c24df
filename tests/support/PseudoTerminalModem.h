#pragma once

// A modem on a pseudo-terminal: the program opens its path as it would a serial port;
// a thread reads the commands it is sent and answers as a modem does, or not at all.
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QString>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

class PseudoTerminalModem {
public:
    explicit PseudoTerminalModem(bool answers)
        : PseudoTerminalModem(answers ? QList<QByteArray>{"AT\r\r\nOK\r\n"} : QList<QByteArray>())
    {
    }
    // Answers each "AT\r" with the next reply, the last one again once they are used up.
    explicit PseudoTerminalModem(QList<QByteArray> atReplies)
        : m_answers(!atReplies.isEmpty()), m_atReplies(std::move(atReplies))
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master == -1 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        m_path = QString::fromLocal8Bit(::ptsname(m_master));
        // Held open, so that the terminal and its attributes last between the program's
        // openings, and to look at them.
        m_slave = ::open(m_path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        m_thread = std::thread([this] { run(); });
    }
    ~PseudoTerminalModem()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_slave != -1)
            ::close(m_slave);
        if (m_master != -1)
            ::close(m_master);
    }

    QString path() const { return m_path; }
    // An descriptor of the terminal of its own, for its attributes.
    int slave() const { return m_slave; }
    // Every byte the program wrote.
    QByteArray received() const
    {
        const std::lock_guard lock(m_mutex);
        return m_received;
    }
    // What the program wrote, once it ends so (or three seconds have passed).
    QByteArray receivedEndingWith(const QByteArray& end) const
    {
        QElapsedTimer timer;
        timer.start();
        while (!received().endsWith(end) && timer.elapsed() < 3000)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return received();
    }
    // What the program wrote after a moment in which any byte on its way has arrived.
    QByteArray receivedAfterAMoment() const
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        return received();
    }

private:
    void run()
    {
        QByteArray line;
        while (!m_stop) {
            pollfd ready{m_master, POLLIN, 0};
            if (::poll(&ready, 1, 20) <= 0 || !(ready.revents & POLLIN))
                continue;
            char byte = 0;
            if (::read(m_master, &byte, 1) != 1)
                continue;
            {
                const std::lock_guard lock(m_mutex);
                m_received.append(byte);
            }
            line.append(byte);
            if (byte != '\r')
                continue;
            if (m_answers && line == "AT\r")
                answer(m_atReplies.size() > 1 ? m_atReplies.takeFirst() : m_atReplies.constFirst());
            else if (m_answers && line == "ATI4\r")
                answer("Norva Test Modem\r\n");
            line.clear();
        }
    }
    void answer(const QByteArray& reply)
    {
        [[maybe_unused]] const ssize_t written = ::write(m_master, reply.constData(), size_t(reply.size()));
    }

    bool m_answers;
    QList<QByteArray> m_atReplies;
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    std::thread m_thread;
    std::atomic<bool> m_stop = false;
    mutable std::mutex m_mutex;
    QByteArray m_received;
};
