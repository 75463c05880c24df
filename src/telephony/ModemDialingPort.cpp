#include "ModemDialingPort.h"

#include <sys/ioctl.h>
#include <unistd.h>

int ModemDialingPort::openSerialPort(const QString& path)
{
    closeSerialPort();
    m_port = openRawSerialPort(path, 0);
    return m_port.fd;
}

void ModemDialingPort::closeSerialPort()
{
    if (!m_port.isOpen())
        return;
    // Restored attributes without HUPCL would keep the line off hook; a pseudo-terminal
    // has no DTR and refuses, which is no matter.
    int dataTerminalReady = TIOCM_DTR;
    ::ioctl(m_port.fd, TIOCMBIC, &dataTerminalReady);
    restoreSerialPort(m_port);
}

QList<QByteArray> ModemDialingPort::dialCommandWrites(const QString& startString,
                                                      const QString& number) const
{
    switch (m_command) {
    case Command::OneWriteWithLineFeed:
        return {(startString + number + QStringLiteral(";\r\n")).toUtf8()};
    case Command::OneWrite:
        return {(startString + number + QStringLiteral(";\r")).toUtf8()};
    case Command::EscapeThenThreeWrites:
        break;
    }
    return {QByteArrayLiteral("+++"), startString.toUtf8(), (number + QStringLiteral(";\r")).toUtf8()};
}

QByteArray ModemDialingPort::writeCommand(const QByteArray& bytes)
{
    if (!m_port.isOpen() || bytes.isEmpty())
        return {};
    const QByteArray command = bytes.left(maximumWriteBytes);
    const ssize_t written = ::write(m_port.fd, command.constData(), size_t(command.size()));
    return written > 0 ? command.left(written) : QByteArray();
}
