// The windows of the program as main() assembles it: the panels float above the
// datafiles' windows without menu bars of their own, and every window opens on the screen.
#include "JourneyTestBase.h"

#include "FindAndReplaceController.h"
#include "MultiFileFindController.h"
#include "PreferencesController.h"

#include <QScreen>

namespace {

class WindowsJourneyTest : public JourneyTestBase {
protected:
    // The visible window of the controller's kind.
    template <typename Controller> static Controller* shown()
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* controller =
                    dynamic_cast<Controller*>(WindowController::controllerForWindow(window));
                controller && window->isVisible())
                return controller;
        }
        return nullptr;
    }

    static QString describe(const QRect& rect)
    {
        return QStringLiteral("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(
            rect.height());
    }

    EditorWindowController* openDatafile(const QString& name)
    {
        const QString path = m_dir.filePath(name);
        writeRecords(path, {"Name"}, {{"Ann", ""}});
        return openWithCommand(path);
    }
};

} // namespace

TEST_F(WindowsJourneyTest, ThePanels_AreToolWindowsWithoutMenuBars_WhoseKeysStillWork)
{
    EditorWindowController* editor = openDatafile("people.nv3");
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "startFindAndReplace:"));
    auto* findAndReplace = shown<FindAndReplaceController>();
    ASSERT_TRUE(findAndReplace);
    activate(editor->window());
    ASSERT_TRUE(chooseMenuItem(editor->window(), "startMultiFileFind:"));
    auto* multiFileFind = shown<MultiFileFindController>();
    ASSERT_TRUE(multiFileFind);

    // Ctrl+, in the Find and Replace panel: its key equivalents are the application's.
    activate(findAndReplace->window());
    QTest::keyClick(findAndReplace->window(), Qt::Key_Comma, Qt::ControlModifier);
    auto* preferences = shown<PreferencesController>();
    ASSERT_TRUE(preferences);

    for (QWidget* panel :
         {findAndReplace->window(), multiFileFind->window(), preferences->window()}) {
        const std::string title = panel->windowTitle().toStdString();
        EXPECT_EQ(panel->windowType(), Qt::Tool) << title;
        EXPECT_FALSE(panel->findChild<QMenuBar*>()) << title;
    }
    // The datafile's own window keeps the menus.
    EXPECT_EQ(editor->window()->windowType(), Qt::Window);
    EXPECT_TRUE(editor->window()->findChild<QMenuBar*>());
}

TEST_F(WindowsJourneyTest, NewEditorWindows_OpenWhollyOnTheScreen)
{
    QList<QRect> frames;
    for (const char* name : {"one.nv3", "two.nv3", "three.nv3"}) {
        EditorWindowController* editor = openDatafile(QString::fromLatin1(name));
        ASSERT_TRUE(editor);
        const QRect available = editor->window()->screen()->availableGeometry();
        const QRect frame = editor->window()->frameGeometry();
        EXPECT_TRUE(available.contains(frame))
            << name << ": " << describe(frame).toStdString() << " in "
            << describe(available).toStdString();
        frames.append(frame);
    }
    // Each one where there is room for it: a step from the one before, or back at the top.
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    for (qsizetype i = 1; i < frames.size(); ++i) {
        const QPoint step = frames[i].topLeft() - frames[i - 1].topLeft();
        EXPECT_TRUE(step == QPoint(24, 24) || frames[i].topLeft() == available.topLeft())
            << describe(frames[i]).toStdString();
    }
}
