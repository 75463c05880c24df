#include "EditorDialingController.h"

#include "ActionRouter.h"
#include "Application.h"
#include "DialingSteps.h"
#include "DialingTestFixture.h"
#include "Responder.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

namespace {

// Stands in for the application's delegate, which opens the preferences.
class PreferencesDelegate : public ApplicationDelegate, public Responder {
public:
    PreferencesDelegate()
    {
        registerAction(QStringLiteral("startPreferences:"), [this](QObject*) { ++opened; });
    }
    int opened = 0;
};

class EditorDialingControllerTest : public DialingTestFixture {
protected:
    void TearDown() override
    {
        EditorDialingController::cancelDialing();
        Application::shared().setDelegate(nullptr);
        DialingTestFixture::TearDown();
    }

    static QStringList trace() { return EditorDialingController::steps().trace(); }
    void dialByModem(const QString& number)
    {
        EditorDialingController::dialPhoneNumber(number, m_modem.path(),
                                                 EditorDialingController::modemDialingMethod);
    }
};

TEST_F(EditorDialingControllerTest, Modem_WritesTheCommandInOneWrite_WaitsTheDelay_ThenRestoresThePort)
{
    m_defaults.setObject(QStringLiteral("7"), QStringLiteral("ModemDialingDelayTicks"));
    dialByModem(QStringLiteral("555-1234"));
    EXPECT_EQ(m_modem.receivedEndingWith("\n"), QByteArray("atdt555-1234;\r\n"));
    expectRaw();

    m_clock.advance(6.9);
    expectRaw();
    EXPECT_TRUE(EditorDialingController::steps().isRunning());
    m_clock.advance(0.1);
    expectRestored();
    EXPECT_EQ(trace(), QStringList({"open", "atdt555-1234;\r\n", "7", "close"}));
    EXPECT_EQ(m_modem.receivedAfterAMoment(), QByteArray("atdt555-1234;\r\n"));
    EXPECT_FALSE(EditorDialingController::steps().isRunning());
}

TEST_F(EditorDialingControllerTest, Modem_CommandsAndDelays)
{
    const QString longNumber(300, QLatin1Char('5'));
    const struct {
        QString startString;
        QString delay;
        QString number;
        QByteArray written;
        QStringList trace;
    } cases[] = {
        // Cut after byte 255: the end of the command is lost.
        {"atdt", "0", longNumber, ("atdt" + longNumber.toLatin1()).left(255),
         {"open", QString::fromLatin1(("atdt" + longNumber.toLatin1()).left(255)), "close"}},
        {"", "0", "12", "12;\r\n", {"open", "12;\r\n", "close"}},
        // The leading integer of the field's text.
        {"atdp", "3 s", "9", "atdp9;\r\n", {"open", "atdp9;\r\n", "3", "close"}},
        {"atdt", "none", "9", "atdt9;\r\n", {"open", "atdt9;\r\n", "close"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.trace.join(' ').toStdString());
        PseudoTerminalModem modem(false);
        m_defaults.setObject(c.startString, QStringLiteral("ModemStartCallsString"));
        m_defaults.setObject(c.delay, QStringLiteral("ModemDialingDelayTicks"));
        EditorDialingController::dialPhoneNumber(c.number, modem.path(),
                                                 EditorDialingController::modemDialingMethod);
        m_clock.runAll();
        EXPECT_EQ(trace(), c.trace);
        EXPECT_EQ(modem.receivedAfterAMoment(), c.written);
    }
}

TEST_F(EditorDialingControllerTest, Modem_RegisteredDelay_LeavesTheEventLoopRunningThroughTheWait)
{
    dialByModem(QStringLiteral("555-1234"));
    bool fired = false;
    bool portOpenWhenFired = false;
    QTimer::singleShot(0, [&] {
        fired = true;
        portOpenWhenFired = attributes().c_cc[VMIN] == 0;
    });
    m_clock.advance(60);
    QTest::qWait(20);
    EXPECT_TRUE(fired);
    EXPECT_TRUE(portOpenWhenFired);
    m_clock.advance(64.9);
    expectRaw();
    m_clock.advance(0.1);
    expectRestored();
    EXPECT_EQ(trace(), QStringList({"open", "atdt555-1234;\r\n", "125", "close"}));
}

TEST_F(EditorDialingControllerTest, Modem_PortThatCannotOpen_OpensThePreferencesAndSendsNothing)
{
    PreferencesDelegate delegate;
    Application::shared().setDelegate(&delegate);
    EditorDialingController::dialPhoneNumber(QStringLiteral("555"), m_dir.filePath("no-such-tty"),
                                             EditorDialingController::modemDialingMethod);
    EXPECT_EQ(delegate.opened, 1);
    EXPECT_FALSE(EditorDialingController::steps().isRunning());
    EXPECT_EQ(trace(), QStringList({"open failed"}));
    EXPECT_TRUE(m_presenter.alerts().isEmpty());

    // A second try with the modem there dials.
    dialByModem(QStringLiteral("555"));
    m_clock.runAll();
    EXPECT_EQ(delegate.opened, 1);
    EXPECT_EQ(m_modem.receivedEndingWith("\n"), QByteArray("atdt555;\r\n"));
}

TEST_F(EditorDialingControllerTest, NewDial_StopsTheOneGoingOut)
{
    dialByModem(QStringLiteral("111"));
    PseudoTerminalModem second(false);
    EditorDialingController::dialPhoneNumber(QStringLiteral("222"), second.path(),
                                             EditorDialingController::modemDialingMethod);
    expectRestored();
    m_clock.runAll();
    EXPECT_EQ(m_modem.receivedAfterAMoment(), QByteArray("atdt111;\r\n"));
    EXPECT_EQ(second.receivedAfterAMoment(), QByteArray("atdt222;\r\n"));
}

TEST_F(EditorDialingControllerTest, Speaker_PlaysEachDigitsTone_AQuarterSecondApart)
{
    EditorDialingController::dialPhoneNumber(QStringLiteral("555-1234"), QString(),
                                             EditorDialingController::speakerDialingMethod);
    EXPECT_EQ(m_presenter.playedSounds(), QStringList({"n222s_5"}));
    m_clock.advance(0.25);
    EXPECT_EQ(m_presenter.playedSounds(), QStringList({"n222s_5", "n222s_5"}));
    // The hyphen makes no pause.
    m_clock.advance(0.5);
    EXPECT_EQ(m_presenter.playedSounds().size(), 4);
    EXPECT_EQ(m_presenter.playedSounds().last(), "n222s_1");
    m_clock.runAll();
    EXPECT_EQ(m_presenter.playedSounds(),
              QStringList({"n222s_5", "n222s_5", "n222s_5", "n222s_1", "n222s_2", "n222s_3", "n222s_4"}));
    EXPECT_DOUBLE_EQ(m_clock.now(), 7 * 0.25);
    EXPECT_EQ(m_modem.receivedAfterAMoment(), QByteArray());
}

TEST(EditorDialingControllerClockTest, SystemClock_RunsTheWaitsOnTheEventLoop)
{
    ScriptedPresenter presenter;
    Presenter::setShared(&presenter);
    QElapsedTimer timer;
    timer.start();
    EditorDialingController::dialPhoneNumber(QStringLiteral("12"), QString(),
                                             EditorDialingController::speakerDialingMethod);
    EXPECT_EQ(presenter.playedSounds(), QStringList({"n222s_1"}));
    EXPECT_TRUE(QTest::qWaitFor([] { return !EditorDialingController::steps().isRunning(); }, 3000));
    EXPECT_GE(timer.elapsed(), 490);
    EXPECT_EQ(presenter.playedSounds(), QStringList({"n222s_1", "n222s_2"}));
    Presenter::setShared(nullptr);
}

} // namespace
