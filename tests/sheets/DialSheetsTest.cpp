#include "DialExtensionsSheetController.h"
#include "DialingTestFixture.h"
#include "EditorDialingController.h"
#include "NumberBeingDialedController.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

constexpr int modem = EditorDialingController::modemDialingMethod;
constexpr int speaker = EditorDialingController::speakerDialingMethod;

class DialSheetsTest : public DialingTestFixture {
protected:
    void SetUp() override
    {
        DialingTestFixture::SetUp();
        m_editor = std::make_unique<QWidget>();
        m_editor->resize(600, 400);
        m_editor->show();
    }

    void TearDown() override
    {
        for (VKSheetController* sheet :
             {static_cast<VKSheetController*>(VKSheetController::topmostController<DialExtensionsSheetController>()),
              static_cast<VKSheetController*>(VKSheetController::topmostController<NumberBeingDialedController>())})
            if (sheet)
                sheet->cancel();
        m_editor.reset();
        DialingTestFixture::TearDown();
    }

    DialExtensionsSheetController* dialExtensions(const QStringList& pieces, int method,
                                                  const QString& path = QString())
    {
        auto* sheet = VKSheetController::controller<DialExtensionsSheetController>();
        sheet->dialExtensions(pieces, m_editor.get(), method == modem && path.isEmpty() ? m_modem.path() : path,
                              method);
        return sheet;
    }

    std::unique_ptr<QWidget> m_editor;
};

TEST_F(DialSheetsTest, Extensions_ByModem_EachPieceAfterTheEscape_ThenThreeDelaysAndClose)
{
    DialExtensionsSheetController* sheet = dialExtensions({"555-1234", "12"}, modem);
    EXPECT_TRUE(sheet->window()->isVisible());
    EXPECT_EQ(sheet->window()->windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet->window()->parentWidget(), m_editor.get());
    EXPECT_EQ(sheet->nowDialingField()->text(), "555-1234");
    EXPECT_NE(sheet->fileDescriptor2(), -1);
    EXPECT_FALSE(sheet->nextButton()->isEnabled());
    expectRaw();

    m_clock.advance(60 + 90);
    EXPECT_EQ(m_modem.receivedEndingWith("+++"), QByteArray("+++"));
    m_clock.advance(90);
    EXPECT_EQ(m_modem.receivedEndingWith(";\r"), QByteArray("+++atdt555-1234;\r"));
    EXPECT_EQ(sheet->steps().trace(),
              QStringList({"open", "60", "90", "+++", "90", "atdt", "555-1234;\r"}));
    // Waiting for the user, the pieces shown.
    EXPECT_FALSE(sheet->steps().isRunning());
    EXPECT_EQ(sheet->currentNumberIndex(), 0u);
    EXPECT_EQ(sheet->nowDialingField()->text(), "555-1234");
    EXPECT_EQ(sheet->nextNumberField()->text(), "12");
    ASSERT_TRUE(sheet->nextButton()->isEnabled());

    QTest::mouseClick(sheet->nextButton(), Qt::LeftButton);
    EXPECT_EQ(sheet->nowDialingField()->text(), "12");
    EXPECT_EQ(sheet->nextNumberField()->text(), "");
    EXPECT_FALSE(sheet->nextButton()->isEnabled());
    m_clock.advance(180);
    EXPECT_EQ(m_modem.receivedEndingWith("12;\r"), QByteArray("+++atdt555-1234;\r+++atdt12;\r"));
    m_clock.advance(374.9);
    EXPECT_TRUE(sheet->window()->isVisible());
    expectRaw();
    m_clock.advance(0.1);
    EXPECT_FALSE(sheet->window()->isVisible());
    expectRestored();
    EXPECT_EQ(sheet->fileDescriptor2(), -1);
    EXPECT_EQ(sheet->steps().trace(),
              QStringList({"open", "60", "90", "+++", "90", "atdt", "555-1234;\r", "Next", "90",
                           "+++", "90", "atdt", "12;\r", "375", "close"}));
    EXPECT_EQ(m_modem.receivedAfterAMoment(), QByteArray("+++atdt555-1234;\r+++atdt12;\r"));
}

TEST_F(DialSheetsTest, Extensions_Cancel_StopsEveryPendingStep)
{
    // Between pieces, and in the middle of a guard wait.
    for (const double cancelAfter : {240.0, 200.0, 30.0}) {
        SCOPED_TRACE(cancelAfter);
        PseudoTerminalModem other(false);
        DialExtensionsSheetController* sheet = dialExtensions({"555", "1", "2"}, modem, other.path());
        m_clock.advance(cancelAfter);
        const QByteArray before = other.receivedAfterAMoment();
        QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
        EXPECT_FALSE(sheet->window()->isVisible());
        EXPECT_EQ(sheet->fileDescriptor2(), -1);
        EXPECT_EQ(sheet->steps().trace().constLast(), "close");
        m_clock.runAll();
        EXPECT_EQ(other.receivedAfterAMoment(), before);
        EXPECT_FALSE(sheet->steps().isRunning());
    }
    expectRestored();
}

TEST_F(DialSheetsTest, Extensions_NextWhileAPieceGoesOut_DoesNothing)
{
    DialExtensionsSheetController* sheet = dialExtensions({"555", "1"}, modem);
    m_clock.advance(100);
    sheet->dialNextNumber();
    EXPECT_EQ(sheet->currentNumberIndex(), 0u);
    m_clock.advance(140);
    EXPECT_EQ(sheet->nextNumberField()->text(), "1");
    sheet->dialNextNumber();
    EXPECT_EQ(sheet->currentNumberIndex(), 1u);
}

TEST_F(DialSheetsTest, Extensions_BySpeaker_FirstPieceAtOnce_ClosesRightAfterTheLast)
{
    DialExtensionsSheetController* sheet = dialExtensions({"555-1234", "12"}, speaker);
    EXPECT_EQ(sheet->fileDescriptor2(), -1);
    EXPECT_EQ(m_presenter.playedSounds(), QStringList({"n222s_5"}));
    m_clock.runAll();
    EXPECT_EQ(m_presenter.playedSounds().size(), 7);
    EXPECT_DOUBLE_EQ(m_clock.now(), 7 * 0.25);
    EXPECT_TRUE(sheet->window()->isVisible());
    ASSERT_TRUE(sheet->nextButton()->isEnabled());

    QTest::mouseClick(sheet->nextButton(), Qt::LeftButton);
    EXPECT_EQ(m_presenter.playedSounds().mid(7), QStringList({"n222s_1"}));
    m_clock.advance(0.25);
    EXPECT_TRUE(sheet->window()->isVisible());
    m_clock.advance(0.25);
    EXPECT_FALSE(sheet->window()->isVisible());
    EXPECT_EQ(m_presenter.playedSounds().mid(7), QStringList({"n222s_1", "n222s_2"}));
    EXPECT_EQ(m_modem.receivedAfterAMoment(), QByteArray());
}

TEST_F(DialSheetsTest, Extensions_PortThatCannotOpen_RunsItsStepsSilently)
{
    DialExtensionsSheetController* sheet = dialExtensions({"555", "1"}, modem, m_dir.filePath("no-tty"));
    EXPECT_TRUE(sheet->window()->isVisible());
    m_clock.runAll();
    sheet->dialNextNumber();
    m_clock.runAll();
    EXPECT_FALSE(sheet->window()->isVisible());
    EXPECT_EQ(sheet->steps().trace(),
              QStringList({"open failed", "90", "90", "Next", "90", "90", "375"}));
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

TEST_F(DialSheetsTest, Extensions_ParentWindowGoes_DialStops)
{
    DialExtensionsSheetController* sheet = dialExtensions({"555", "1"}, modem);
    m_clock.advance(100);
    m_editor.reset();
    expectRestored();
    m_clock.runAll();
    EXPECT_EQ(m_modem.receivedAfterAMoment(), QByteArray());
    EXPECT_FALSE(sheet->steps().isRunning());
}

TEST_F(DialSheetsTest, NowDialing_ByModem_OneWrite_TheDelay_ThenClosesItself)
{
    auto* sheet = VKSheetController::controller<NumberBeingDialedController>();
    sheet->dialPhoneShowingNumber("555-1234", m_editor.get(), m_modem.path(), modem);
    EXPECT_TRUE(sheet->window()->isVisible());
    EXPECT_EQ(sheet->window()->windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet->nowDialingField()->text(), "555-1234");
    m_clock.advance(60);
    EXPECT_EQ(m_modem.receivedEndingWith("\r"), QByteArray("atdt555-1234;\r"));
    m_clock.advance(124.9);
    EXPECT_TRUE(sheet->window()->isVisible());
    m_clock.advance(0.1);
    EXPECT_FALSE(sheet->window()->isVisible());
    expectRestored();
    EXPECT_EQ(sheet->steps().trace(), QStringList({"open", "60", "atdt555-1234;\r", "125", "close"}));

    // Again, by the speaker: the same sheet, the new number.
    auto* again = VKSheetController::controller<NumberBeingDialedController>();
    EXPECT_EQ(again, sheet);
    again->dialPhoneShowingNumber("12", m_editor.get(), QString(), speaker);
    EXPECT_EQ(again->nowDialingField()->text(), "12");
    EXPECT_EQ(m_presenter.playedSounds(), QStringList({"n222s_1"}));
    m_clock.advance(0.25);
    EXPECT_TRUE(again->window()->isVisible());
    m_clock.advance(0.25);
    EXPECT_FALSE(again->window()->isVisible());
    EXPECT_EQ(again->steps().trace(), QStringList({"n222s_1", "0.25", "n222s_2", "0.25"}));

    // Any other method dials nothing.
    again->dialPhoneShowingNumber("12", m_editor.get(), m_modem.path(), 1);
    EXPECT_FALSE(again->window()->isVisible());
    EXPECT_EQ(m_modem.receivedAfterAMoment(), QByteArray("atdt555-1234;\r"));
}

TEST_F(DialSheetsTest, NowDialing_CancelDuringTheSettling_SendsNothing)
{
    auto* sheet = VKSheetController::controller<NumberBeingDialedController>();
    sheet->dialPhoneShowingNumber("555", m_editor.get(), m_modem.path(), modem);
    m_clock.advance(30);
    QTest::keyClick(sheet->window(), Qt::Key_Escape);
    EXPECT_FALSE(sheet->window()->isVisible());
    expectRestored();
    m_clock.runAll();
    EXPECT_EQ(m_modem.receivedAfterAMoment(), QByteArray());
}

} // namespace
