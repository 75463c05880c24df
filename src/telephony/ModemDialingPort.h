#pragma once

#include "ModemSerial.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A modem's port as a dialing client uses it: raw, a read returning after at most a
// second (VMIN 0, VTIME 10), the line speed as it was. Each client has its own, and with
// it the attributes the port had, which closing gives back. The clients differ only in
// how they send a number.
class ModemDialingPort {
public:
    enum class Command {
        // The start string, the number and ";\r\n" in one write.
        OneWriteWithLineFeed,
        // The start string, the number and ";\r" in one write.
        OneWrite,
        // "+++" back to command mode, the start string, then the number and ";\r".
        EscapeThenThreeWrites,
    };
    // The most bytes one write sends; a longer command is cut.
    static constexpr qsizetype maximumWriteBytes = 255;

    explicit ModemDialingPort(Command command) : m_command(command) {}
    ~ModemDialingPort() { closeSerialPort(); }
    ModemDialingPort(const ModemDialingPort&) = delete;
    ModemDialingPort& operator=(const ModemDialingPort&) = delete;

    // The descriptor, or -1. A port still open is closed first: a client has one at a time.
    int openSerialPort(const QString& path);
    // Drops DTR, which hangs the modem up, gives the port its attributes back and closes
    // it. Nothing when none is open.
    void closeSerialPort();
    int fileDescriptor() const { return m_port.fd; }
    bool isOpen() const { return m_port.isOpen(); }

    // The writes that dial the number, in order; the escape waits go between the first
    // and the second of three.
    QList<QByteArray> dialCommandWrites(const QString& startString, const QString& number) const;
    // One write of at most maximumWriteBytes; what went out, empty when nothing could.
    QByteArray writeCommand(const QByteArray& bytes);

private:
    Command m_command;
    ModemPort m_port;
};
