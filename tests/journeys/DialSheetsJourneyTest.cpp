#include "DialExtensionsSheetController.h"
#include "EditorDialingController.h"
#include "FakeDialingClock.h"
#include "JourneyTestBase.h"
#include "NumberBeingDialedController.h"
#include "PseudoTerminalModem.h"

#include <QLabel>
#include <QPushButton>

namespace {

class DialSheetsJourneyTest : public JourneyTestBase {
protected:
    void shoot(QWidget* window, const QString& name) const
    {
        if (qEnvironmentVariableIsSet("NORVA_SHOTS"))
            window->grab().save(qEnvironmentVariable("NORVA_SHOTS") + '/' + name);
    }

    FakeDialingClock m_clock;
};

TEST_F(DialSheetsJourneyTest, SheetsOnTheEditorWindow_ShowTheNumber_ThenGiveTheWindowBack)
{
    const QString path = writeDatafile("Phones.nv3", {{"F1", "Name"}, {"F2", "Phone"}},
                                       {{"Ada", "555-1234x12"}});
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);

    auto* nowDialing = VKSheetController::controller<NumberBeingDialedController>();
    nowDialing->dialPhoneShowingNumber("555-1234", editor->window(), QString(),
                                       EditorDialingController::speakerDialingMethod);
    QDialog* sheet = nowDialing->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet));
    EXPECT_EQ(sheet->parentWidget(), editor->window());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(nowDialing->nowDialingField()->text(), "555-1234");
    EXPECT_FALSE(nowDialing->nowDialingField()->grab().isNull());
    shoot(sheet, "now-dialing.png");
    m_clock.runAll();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(m_presenter.playedSounds().size(), 7);

    // Then the extensions by modem, cancelled between pieces.
    PseudoTerminalModem modem(false);
    auto* extensions = VKSheetController::controller<DialExtensionsSheetController>();
    extensions->dialExtensions({"555-1234", "12"}, editor->window(), modem.path(),
                               EditorDialingController::modemDialingMethod);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(extensions->window()));
    m_clock.advance(240);
    EXPECT_EQ(modem.receivedEndingWith(";\r"), QByteArray("+++atdt555-1234;\r"));
    EXPECT_EQ(extensions->nextNumberField()->text(), "12");
    EXPECT_TRUE(extensions->nextButton()->isEnabled());
    shoot(extensions->window(), "dial-extensions.png");
    QTest::keyClick(extensions->window(), Qt::Key_Escape);
    EXPECT_FALSE(extensions->window()->isVisible());
    EXPECT_EQ(extensions->fileDescriptor2(), -1);
    m_clock.runAll();
    EXPECT_EQ(modem.receivedAfterAMoment(), QByteArray("+++atdt555-1234;\r"));

    // The window takes the user's commands again.
    activate(editor->window());
    EXPECT_TRUE(chooseMenuItem(editor->window(), "addRecord:"));
    EXPECT_EQ(editor->engine().catalog()->count(), 2);
}

} // namespace
