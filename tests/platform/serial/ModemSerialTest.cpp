#include "ModemSerial.h"

#include "ModemSleeper.h"
#include "PseudoTerminalModem.h"
#include "SystemLog.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

double noWait(double)
{
    return 0.0;
}

// What the modem received, once it has the expected end.
QByteArray receivedEndingWith(const PseudoTerminalModem& modem, const QByteArray& end)
{
    QElapsedTimer timer;
    timer.start();
    while (!modem.received().endsWith(end) && timer.elapsed() < 3000)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return modem.received();
}

} // namespace

TEST(ModemSerialTest, OpenSetsTheTerminalRaw_CloseHangsUpAndGivesItsAttributesBack)
{
    PseudoTerminalModem modem(true);
    ASSERT_FALSE(modem.path().isEmpty());
    termios before{};
    ASSERT_EQ(::tcgetattr(modem.slave(), &before), 0);
    ASSERT_TRUE(before.c_lflag & ICANON);

    ModemPort port = openSerialPort3(modem.path());
    ASSERT_TRUE(port.isOpen());
    termios raw{};
    ASSERT_EQ(::tcgetattr(modem.slave(), &raw), 0);
    EXPECT_EQ(raw.c_cc[VMIN], 1);
    EXPECT_EQ(raw.c_cc[VTIME], 10);
    EXPECT_FALSE(raw.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(raw.c_oflag & OPOST);
    EXPECT_TRUE(raw.c_cflag & CLOCAL);

    ModemSleeper sleeper(noWait);
    closeSerialPort3(port, sleeper);
    EXPECT_FALSE(port.isOpen());
    termios after{};
    ASSERT_EQ(::tcgetattr(modem.slave(), &after), 0);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(after.c_oflag, before.c_oflag);
    EXPECT_EQ(receivedEndingWith(modem, "ATZ0\r"), QByteArray("ATH\r+++ATZ0\r"));
    // Closing a port that is not open does nothing.
    closeSerialPort3(port, sleeper);
}

TEST(ModemSerialTest, SavedAttributes_ArePerPort)
{
    PseudoTerminalModem first(true);
    PseudoTerminalModem second(true);
    termios changed{};
    ASSERT_EQ(::tcgetattr(second.slave(), &changed), 0);
    changed.c_lflag &= ~tcflag_t(ECHOK);
    ASSERT_EQ(::tcsetattr(second.slave(), TCSANOW, &changed), 0);
    termios firstBefore{};
    ASSERT_EQ(::tcgetattr(first.slave(), &firstBefore), 0);

    ModemPort a = openSerialPort3(first.path());
    ModemPort b = openSerialPort3(second.path());
    ModemSleeper sleeper(noWait);
    closeSerialPort3(b, sleeper);
    closeSerialPort3(a, sleeper);
    termios firstAfter{};
    termios secondAfter{};
    ASSERT_EQ(::tcgetattr(first.slave(), &firstAfter), 0);
    ASSERT_EQ(::tcgetattr(second.slave(), &secondAfter), 0);
    EXPECT_EQ(firstAfter.c_lflag, firstBefore.c_lflag);
    EXPECT_EQ(secondAfter.c_lflag, changed.c_lflag);
}

TEST(ModemSerialTest, InitializeModem_AnsweringOk_Silent_TriesThreeTimes)
{
    ModemSleeper sleeper(noWait);
    {
        PseudoTerminalModem modem(true);
        ModemPort port = openSerialPort3(modem.path());
        ASSERT_TRUE(port.isOpen());
        EXPECT_TRUE(InitializeModem3(port.fd, sleeper));
        closeSerialPort3(port, sleeper);
    }
    PseudoTerminalModem silent(false);
    ModemPort port = openSerialPort3(silent.path());
    ASSERT_TRUE(port.isOpen());
    ScopedLogCapture log;
    EXPECT_FALSE(InitializeModem3(port.fd, sleeper));
    EXPECT_EQ(log.lines().count(QStringLiteral("Init Modem1\n")), 3);
    EXPECT_EQ(receivedEndingWith(silent, "AT\rAT\rAT\r"), QByteArray("AT\rAT\rAT\r"));
    closeSerialPort3(port, sleeper);
    EXPECT_EQ(openSerialPort3(QStringLiteral("/nonexistent/tty")).fd, -1);
}

TEST(ModemSerialTest, Sleeper_CancelWakesAWaitAtOnce)
{
    ModemSleeper sleeper;
    QElapsedTimer timer;
    timer.start();
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        sleeper.cancel();
    });
    EXPECT_FALSE(sleeper.sleep(60));
    canceller.join();
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_FALSE(sleeper.sleep(60));
    EXPECT_TRUE(isWirelessPort("/dev/cu.Bluetooth-Modem"));
    EXPECT_TRUE(isWirelessPort("/dev/rfcomm0"));
    EXPECT_FALSE(isWirelessPort("/dev/ttyUSB0"));
}

TEST(ModemSerialTest, InitializeModem_AnErrorFailsThatTryOnly)
{
    ModemSleeper sleeper(noWait);
    PseudoTerminalModem erring(QList<QByteArray>{"AT\r\r\nERROR\r\n", "AT\r\r\nOK\r\n"});
    ModemPort port = openSerialPort3(erring.path());
    ASSERT_TRUE(port.isOpen());
    ScopedLogCapture log;
    EXPECT_TRUE(InitializeModem3(port.fd, sleeper));
    EXPECT_EQ(log.lines().count(QStringLiteral("Init Modem1\n")), 2);
    closeSerialPort3(port, sleeper);

    PseudoTerminalModem alwaysErring(QList<QByteArray>{"ERROR\r\n"});
    port = openSerialPort3(alwaysErring.path());
    EXPECT_FALSE(InitializeModem3(port.fd, sleeper));
    closeSerialPort3(port, sleeper);
}

TEST(ModemSerialTest, ReadFromPort_SilentPort_GivesUpAfterASecond)
{
    // A read of a port opened so waits for a byte; the reader must not.
    for (const int minimumBytes : {1, 0}) {
        SCOPED_TRACE(minimumBytes);
        PseudoTerminalModem silent(false);
        ModemPort port = openRawSerialPort(silent.path(), minimumBytes);
        ASSERT_TRUE(port.isOpen());
        QElapsedTimer timer;
        timer.start();
        EXPECT_TRUE(readFromPort3(port.fd).isEmpty());
        EXPECT_LT(timer.elapsed(), 2500);
        EXPECT_GE(timer.elapsed(), 900);
        restoreSerialPort(port);
        EXPECT_FALSE(port.isOpen());
    }
}
