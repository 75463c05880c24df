#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <termios.h>

class ModemSleeper;

// A modem's serial port, open in raw mode, with the terminal attributes it had before,
// which closing gives back.
struct ModemPort {
    int fd = -1;
    termios savedAttributes{};

    bool isOpen() const { return fd != -1; }
};

// Opens the port for reading and writing, not as the controlling terminal and without
// waiting for a carrier, then clears its status flags and makes it raw: receiver on,
// modem lines ignored, no canonical input, echo or signals, no output processing, the
// count of bytes a read waits for and a second between bytes (VMIN, VTIME 10), at once.
// Input flags and the line speed stay. A port that cannot be set up is closed again.
ModemPort openRawSerialPort(const QString& path, int minimumBytes);
// Gives the port the attributes it had back and closes it. Nothing for one not open.
void restoreSerialPort(ModemPort& port);

// The modem list's own: a read waits for one byte (VMIN 1), so readFromPort3 asks first
// whether one has come.
ModemPort openSerialPort3(const QString& path);
// Hangs the modem up ("ATH\r", a wait of 90 s, "+++", 90 s, "ATZ0\r"), gives the port its
// attributes back and closes it. Nothing for a port that is not open.
void closeSerialPort3(ModemPort& port, ModemSleeper& sleeper);
// Asks for "OK" up to three times: each try writes "AT\r" byte by byte, waits 60 s and
// reads the reply. True as soon as a reply ends in "OK" (trailing line ends aside).
bool InitializeModem3(int fd, ModemSleeper& sleeper);
// Writes the bytes one at a time, each after a wait of 10 s. Errors are not reported.
int WriteToPort3(int fd, const QByteArray& bytes, ModemSleeper& sleeper);
// What the modem has sent, up to the count: the reply must begin within a second.
QByteArray readFromPort3(int fd, int maxBytes = 254);

// The serial ports that may hold a modem: every port the system lists, less Bluetooth
// and RFCOMM links, which are never probed.
QStringList FindModems3();
// Whether the path is a wireless link that is never probed.
bool isWirelessPort(const QString& path);
