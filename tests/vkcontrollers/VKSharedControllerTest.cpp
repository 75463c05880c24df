#include "VKSharedController.h"

#include "Application.h"
#include "UserDefaults.h"
#include "VKConfirmationController.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The framework's own quit confirmation, as an application that keeps it sees it.
class QuittingController : public VKSharedController {
public:
    int finished = 0;
    void finishQuittingStuff() override { ++finished; }
};

class VKSharedControllerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        UserDefaults::setStandardUserDefaults(&m_defaults);
        m_controller.initialize();
        Application::shared().setDelegate(&m_controller);
    }
    void TearDown() override
    {
        Application::shared().setDelegate(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        UserDefaults::setStandardUserDefaults(nullptr);
    }

    QTemporaryDir m_folder;
    UserDefaults m_defaults{m_folder.path()};
    QuittingController m_controller;
};

} // namespace

TEST_F(VKSharedControllerTest, QuitConfirmation_AskedOnceFullyStartedAndAnsweredByItsSheet)
{
    struct Case {
        const char* name;
        bool fullyStarted;
        int ask; // "SharedConfirmQuit"
        bool shown;
        bool yes;
    };
    const Case cases[] = {
        {"still starting", false, 1, false, true},
        {"asked for, yes", true, 1, true, true},
        {"asked for, no", true, 1, true, false},
        {"not asked for", true, 0, false, true},
    };
    for (const Case& c : cases) {
        m_defaults.removeObjectForKey(QStringLiteral("SharedQuitDate"));
        m_defaults.setInteger(c.ask, QStringLiteral("SharedConfirmQuit"));
        m_controller.setFullyStarted(c.fullyStarted);
        m_controller.finished = 0;
        Application::shared().setDelegate(&m_controller);
        QSignalSpy quitting(&Application::shared(), &Application::willTerminate);

        Application::shared().terminate();

        auto* sheet = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        EXPECT_EQ(bool(sheet), c.shown) << c.name;
        if (sheet) {
            auto* label = sheet->findChild<QLabel*>();
            ASSERT_TRUE(label) << c.name;
            EXPECT_EQ(label->text(), "Are you sure you want to quit Norva?") << c.name;
            // The sheet's buttons: the last is Yes.
            const QList<QPushButton*> buttons = sheet->findChildren<QPushButton*>();
            ASSERT_EQ(buttons.size(), 2) << c.name;
            (c.yes ? buttons.back() : buttons.front())->click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        EXPECT_EQ(quitting.count(), c.yes ? 1 : 0) << c.name;
        // Only a quit the sheet confirmed is finished off and dated.
        const bool confirmed = c.yes && c.fullyStarted;
        EXPECT_EQ(m_controller.finished, confirmed ? 1 : 0) << c.name;
        EXPECT_EQ(m_defaults.objectForKey(QStringLiteral("SharedQuitDate")).isNull(), !confirmed)
            << c.name;
    }
}
