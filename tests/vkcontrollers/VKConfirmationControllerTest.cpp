#include "VKConfirmationController.h"

#include "UserDefaults.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString askKey = QStringLiteral("SharedConfirmQuit");

struct Answer {
    int calls = 0;
    int returnCode = -1;
};

class VKConfirmationControllerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        m_defaults = std::make_unique<UserDefaults>(m_folder.path());
        UserDefaults::setStandardUserDefaults(m_defaults.get());
    }
    void TearDown() override
    {
        // Controllers delete themselves once they have answered.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        UserDefaults::setStandardUserDefaults(nullptr);
    }

    VKConfirmationController* ask(const QString& preference, Answer& answer)
    {
        return VKConfirmationController::beginConfirmForWindow(
            &m_window, QStringLiteral("Quit"), QStringLiteral("Are you sure you want to quit?"),
            preference, [&answer](QWidget*, int returnCode) {
                ++answer.calls;
                answer.returnCode = returnCode;
            });
    }

    QTemporaryDir m_folder;
    std::unique_ptr<UserDefaults> m_defaults;
    QWidget m_window;
};

TEST_F(VKConfirmationControllerTest, Preference_ZeroOrMissing_AnswersYesAtOnce)
{
    for (const bool stored : {false, true}) {
        if (stored)
            m_defaults->setInteger(0, askKey);
        Answer answer;
        EXPECT_EQ(ask(askKey, answer), nullptr);
        EXPECT_EQ(answer.calls, 1);
        EXPECT_EQ(answer.returnCode, 1);
    }
}

TEST_F(VKConfirmationControllerTest, Preference_WholeNumberDecides_NotItsLow32Bits)
{
    m_defaults->setInteger(qint64(1) << 32, askKey);
    Answer answer;
    VKConfirmationController* controller = ask(askKey, answer);
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(answer.calls, 0);
    controller->noButton()->click();
    EXPECT_EQ(answer.returnCode, 0);
}

TEST_F(VKConfirmationControllerTest, PreferenceSetOrAbsent_ShowsTheSheetAndAnswersByButton)
{
    m_defaults->setInteger(1, askKey);
    for (const QString& preference : {askKey, QString()}) {
        for (const int code : {0, 1}) {
            Answer answer;
            VKConfirmationController* controller = ask(preference, answer);
            ASSERT_NE(controller, nullptr);
            EXPECT_TRUE(controller->window()->isVisible());
            EXPECT_EQ(controller->titleStat()->text(), QStringLiteral("Quit"));
            EXPECT_EQ(controller->dontAskAgainCheck() != nullptr, !preference.isNull());
            EXPECT_EQ(answer.calls, 0);

            (code == 1 ? controller->yesButton() : controller->noButton())->click();
            EXPECT_EQ(answer.calls, 1);
            EXPECT_EQ(answer.returnCode, code);
        }
    }
}

TEST_F(VKConfirmationControllerTest, DontAskAgain_TickedThenNo_AnswersNoNowAndYesNextTime)
{
    m_defaults->setInteger(1, askKey);
    Answer first;
    VKConfirmationController* controller = ask(askKey, first);
    ASSERT_NE(controller, nullptr);
    controller->dontAskAgainCheck()->click();
    EXPECT_EQ(m_defaults->integerForKey(askKey), 0);
    controller->dontAskAgainCheck()->click();
    EXPECT_EQ(m_defaults->integerForKey(askKey), 1);
    controller->dontAskAgainCheck()->click();
    controller->window()->close();
    EXPECT_EQ(first.returnCode, 0);

    Answer next;
    EXPECT_EQ(ask(askKey, next), nullptr);
    EXPECT_EQ(next.returnCode, 1);
}

} // namespace
