#include "ModemSerial.h"

#include "ModemSleeper.h"
#include "SystemLog.h"

#include <QSerialPortInfo>

#include <algorithm>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr int replyStartMilliseconds = 1000;
// Once a reply has begun, its bytes come close together.
constexpr int replyGapMilliseconds = 100;

bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t result = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (result < 0)
            return false;
        written += result;
    }
    return true;
}

} // namespace

ModemPort openRawSerialPort(const QString& path, int minimumBytes)
{
    ModemPort port;
    const QByteArray native = path.toLocal8Bit();
    const int fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd == -1)
        return port;
    termios raw{};
    if (::fcntl(fd, F_SETFL, 0) == -1 || ::tcgetattr(fd, &port.savedAttributes) == -1) {
        ::close(fd);
        return port;
    }
    raw = port.savedAttributes;
    raw.c_cflag |= (CREAD | CLOCAL);
    raw.c_lflag &= ~tcflag_t(ICANON | ECHO | ECHOE | ISIG);
    raw.c_oflag &= ~tcflag_t(OPOST);
    raw.c_cc[VMIN] = cc_t(minimumBytes);
    raw.c_cc[VTIME] = 10;
    if (::tcsetattr(fd, TCSANOW, &raw) == -1) {
        ::close(fd);
        return port;
    }
    port.fd = fd;
    return port;
}

void restoreSerialPort(ModemPort& port)
{
    if (!port.isOpen())
        return;
    ::tcsetattr(port.fd, TCSANOW, &port.savedAttributes);
    ::close(port.fd);
    port.fd = -1;
}

ModemPort openSerialPort3(const QString& path)
{
    return openRawSerialPort(path, 1);
}

void closeSerialPort3(ModemPort& port, ModemSleeper& sleeper)
{
    if (!port.isOpen())
        return;
    // A cancelled wait ends at once: the modem is still hung up and the port given back.
    writeAll(port.fd, QByteArrayLiteral("ATH\r"));
    sleeper.sleep(90);
    writeAll(port.fd, QByteArrayLiteral("+++"));
    sleeper.sleep(90);
    writeAll(port.fd, QByteArrayLiteral("ATZ0\r"));
    restoreSerialPort(port);
}

int WriteToPort3(int fd, const QByteArray& bytes, ModemSleeper& sleeper)
{
    for (const char byte : bytes) {
        if (!sleeper.sleep(10))
            break;
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    return 0;
}

QByteArray readFromPort3(int fd, int maxBytes)
{
    QByteArray reply;
    int timeout = replyStartMilliseconds;
    while (reply.size() < maxBytes) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, timeout) <= 0 || !(ready.revents & POLLIN))
            break;
        char buffer[256];
        const ssize_t count = ::read(fd, buffer, size_t(std::min<qsizetype>(256, maxBytes - reply.size())));
        if (count <= 0)
            break;
        reply.append(buffer, count);
        timeout = replyGapMilliseconds;
    }
    return reply;
}

bool InitializeModem3(int fd, ModemSleeper& sleeper)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        WriteToPort3(fd, QByteArrayLiteral("AT\r"), sleeper);
        if (!sleeper.sleep(60))
            return false;
        QByteArray reply = readFromPort3(fd);
        SystemLog::log(QStringLiteral("Init Modem1\n"));
        SystemLog::log(QStringLiteral("Init Modem2\n"));
        while (!reply.isEmpty() && (reply.endsWith('\r') || reply.endsWith('\n')))
            reply.chop(1);
        if (reply.endsWith("OK"))
            return true;
    }
    return false;
}

bool isWirelessPort(const QString& path)
{
    return path.contains(QLatin1String("bluetooth"), Qt::CaseInsensitive) ||
           path.contains(QLatin1String("rfcomm"), Qt::CaseInsensitive);
}

QStringList FindModems3()
{
    QStringList paths;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        const QString path = port.systemLocation();
        if (!isWirelessPort(path))
            paths.append(path);
    }
    return paths;
}
