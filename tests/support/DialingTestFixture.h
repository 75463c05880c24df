#pragma once

// What a dialing test works with: the user's defaults of its own, a scripted presenter
// that notes the tones, a clock that stands still until the test moves it on, and a
// modem on a pseudo-terminal.
#include "FakeDialingClock.h"
#include "PseudoTerminalModem.h"
#include "ScriptedPresenter.h"
#include "UserDefaults.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <termios.h>

class DialingTestFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_FALSE(m_modem.path().isEmpty());
        Presenter::setShared(&m_presenter);
        UserDefaults::setStandardUserDefaults(&m_defaults);
        m_defaults.registerDefaults({{QStringLiteral("ModemStartCallsString"), QStringLiteral("atdt")},
                                     {QStringLiteral("ModemDialingDelayTicks"), 125}});
        ASSERT_EQ(::tcgetattr(m_modem.slave(), &m_original), 0);
    }

    void TearDown() override
    {
        UserDefaults::setStandardUserDefaults(nullptr);
        Presenter::setShared(nullptr);
    }

    termios attributes() const
    {
        termios now{};
        EXPECT_EQ(::tcgetattr(m_modem.slave(), &now), 0);
        return now;
    }
    // The terminal as it was before the program opened it.
    void expectRestored() const
    {
        const termios now = attributes();
        EXPECT_EQ(now.c_lflag, m_original.c_lflag);
        EXPECT_EQ(now.c_oflag, m_original.c_oflag);
        EXPECT_EQ(now.c_cflag, m_original.c_cflag);
        EXPECT_EQ(now.c_cc[VMIN], m_original.c_cc[VMIN]);
    }
    // Raw, as dialing sets it: a read returns after a second at most.
    void expectRaw() const
    {
        const termios now = attributes();
        EXPECT_EQ(now.c_cc[VMIN], 0);
        EXPECT_EQ(now.c_cc[VTIME], 10);
        EXPECT_FALSE(now.c_lflag & (ICANON | ISIG | ECHO | ECHOE));
        EXPECT_FALSE(now.c_oflag & OPOST);
        EXPECT_TRUE(now.c_cflag & CREAD);
        EXPECT_TRUE(now.c_cflag & CLOCAL);
    }

    QTemporaryDir m_dir;
    ScriptedPresenter m_presenter;
    UserDefaults m_defaults{m_dir.filePath("defaults")};
    FakeDialingClock m_clock;
    PseudoTerminalModem m_modem{false};
    termios m_original{};
};
