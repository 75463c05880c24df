// A user's journeys through the View menu: the Freeform Text Area's scale, switching
// between the Basic and List Views, and zooming the window to the printed width.
#include "JourneyTestBase.h"

#include "EditorScaleController.h"
#include "FreeformTextView.h"

#include <QLabel>

namespace {

class ViewsJourneyTest : public JourneyTestBase {
protected:
    QMenu* scaleMenu() const { return m_assembly->mainController().menus().scaleMenu(); }

    QAction* scaleItem(const QString& label) const
    {
        for (QAction* item : scaleMenu()->actions())
            if (item->text() == label)
                return item;
        ADD_FAILURE() << label.toStdString();
        return nullptr;
    }

    QStringList checkedScales() const
    {
        QStringList checked;
        for (QAction* item : scaleMenu()->actions())
            if (item->isChecked())
                checked.append(item->text());
        return checked;
    }

    // Shown for the user in the folder NORVA_SHOTS names, when it is set.
    static void saveShot(QWidget* window, const QString& name)
    {
        if (qEnvironmentVariableIsSet("NORVA_SHOTS"))
            window->grab().save(qEnvironmentVariable("NORVA_SHOTS") + '/' + name);
    }
};

} // namespace

TEST_F(ViewsJourneyTest, Scale_StepsThroughTheMenu_AndTheCheckMarkFollowsTheWindowInFront)
{
    EditorWindowController* first = openWithCommand(copyFixture("five.nv3", "first.nv3"));
    ASSERT_TRUE(first);
    QWidget* window = first->window();
    FreeformTextView* text = first->freeformTextView();
    const QString stored = text->plainText();
    EXPECT_EQ(checkedScales(), QStringList{"100%"});

    for (int step = 0; step < 4; ++step)
        ASSERT_TRUE(chooseMenuItem(window, "increaseScale:"));
    EXPECT_EQ(checkedScales(), QStringList{"400%"});
    EXPECT_EQ(first->scaleController().scaleInfo()->text(), "400%");
    EXPECT_EQ(text->scale(), 4.0);
    saveShot(window, "scale-400.png");

    // Choosing the scale in force keeps it, check mark included.
    showMenusOf(window);
    scaleItem("400%")->trigger();
    EXPECT_EQ(checkedScales(), QStringList{"400%"});
    EXPECT_EQ(text->scale(), 4.0);

    // The last step goes no further: a beep.
    scaleItem("6400%")->trigger();
    const int beeps = m_presenter.beepCount();
    ASSERT_TRUE(chooseMenuItem(window, "increaseScale:"));
    EXPECT_EQ(m_presenter.beepCount(), beeps + 1);
    EXPECT_EQ(checkedScales(), QStringList{"6400%"});
    // Ctrl+Underscore (Shift and Minus on most keyboards) reduces.
    QTest::keyClick(window, Qt::Key_Underscore, Qt::ControlModifier);
    EXPECT_EQ(checkedScales(), QStringList{"3200%"});
    EXPECT_EQ(text->plainText(), stored);
    EXPECT_FALSE(first->document()->isDocumentEdited());

    // Another window shows its own scale, and the first its own again when back in front.
    EditorWindowController* second = openWithCommand(copyFixture("five.nv3", "second.nv3"));
    ASSERT_TRUE(second);
    EXPECT_EQ(checkedScales(), QStringList{"100%"});
    EXPECT_EQ(second->freeformTextView()->scale(), 1.0);
    activate(window);
    EXPECT_EQ(checkedScales(), QStringList{"3200%"});
    EXPECT_EQ(first->scaleController().scaleInfo()->text(), "3200%");
}
