// The editor window's toolbar as the program builds it: its buttons clicked, its style
// switched from the View menu.
#include "JourneyTestBase.h"
#include "RecordDataTesting.h"

#include "EditorToolbarController.h"
#include "FreeformTextView.h"
#include "Toolbar.h"
#include "UserGuide.h"
#include "VKImageCategories.h"

#include <QTextCursor>
#include <QToolBar>
#include <QToolButton>

namespace {

class EditorToolbarJourneyTest : public JourneyTestBase {
protected:
    // The button the window shows for the item, or for the item of one of its groups.
    static QToolButton* button(EditorWindowController* editor, const QString& identifier)
    {
        for (QToolButton* button : editor->window()->findChildren<QToolButton*>()) {
            const QAction* action = button->defaultAction();
            const auto* item = action ? qobject_cast<ToolbarItem*>(action->parent()) : nullptr;
            if (button->isVisible() && item && item->itemIdentifier() == identifier)
                return button;
        }
        return nullptr;
    }

    static bool showsImage(EditorWindowController* editor, const QString& identifier,
                           const QString& name)
    {
        const QToolButton* shown = button(editor, identifier);
        return shown && shown->icon().pixmap(QSize(32, 32)).toImage() ==
                            VKImageCategories::iconNamed(name).pixmap(QSize(32, 32)).toImage();
    }
};

} // namespace

TEST_F(EditorToolbarJourneyTest, Buttons_GoToTheNextRecord_RemoveTheSelectedLinks_OpenTheUserGuide)
{
    EditorWindowController* editor = openWithCommand(copyFixture("good.nv3"));
    ASSERT_TRUE(editor);
    // Wide enough for the whole toolbar as it first appears.
    editor->window()->resize(2000, 500);
    QCoreApplication::processEvents();
    EXPECT_TRUE(showsImage(editor, "FirstRecord", "TB_C_first"));

    // Next Record, and then Back in the history of viewed records, which had one entry.
    QToolButton* next = button(editor, "NextRecord");
    QToolButton* back = button(editor, "BackOneRecord");
    ASSERT_TRUE(next && back);
    EXPECT_TRUE(next->isEnabled());
    EXPECT_FALSE(back->isEnabled());
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 1);
    QCoreApplication::processEvents();
    ASSERT_TRUE(back->isEnabled());
    QTest::mouseClick(back, Qt::LeftButton);
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 0);

    FreeformTextView* text = editor->freeformTextView();
    editor->engine().currentRecord()->setTextString("see http://example.com today", RecordDataTesting::key());
    editor->engine().currentRecord()->setTextRTFD(QByteArray(), RecordDataTesting::key());
    editor->engine().loadCurrentRecord();
    QTextCursor cursor(text->document());
    cursor.setPosition(4);
    cursor.setPosition(22, QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
    text->setFocus();
    QCoreApplication::processEvents();

    QToolButton* removeLinks = button(editor, "Remove Links");
    ASSERT_TRUE(removeLinks);
    EXPECT_TRUE(removeLinks->isEnabled());
    QTest::mouseClick(removeLinks, Qt::LeftButton);
    cursor.setPosition(7);
    EXPECT_FALSE(cursor.charFormat().isAnchor());
    EXPECT_TRUE(editor->document()->isDocumentEdited());
    EXPECT_EQ(QApplication::focusWidget(), text);

    QToolButton* guide = button(editor, "User Guide");
    ASSERT_TRUE(guide);
    EXPECT_TRUE(guide->isEnabled());
    QTest::mouseClick(guide, Qt::LeftButton);
    EXPECT_EQ(m_presenter.openedUrls(), QList<QUrl>{UserGuide::urlForPage("index.html")});
}

TEST_F(EditorToolbarJourneyTest, ToggleToolbarStyle_FromTheViewMenu_RestylesEveryOpenDatafile)
{
    EditorWindowController* first = openWithCommand(copyFixture("good.nv3", "first.nv3"));
    EditorWindowController* second = openWithCommand(copyFixture("good.nv3", "second.nv3"));
    ASSERT_TRUE(first && second);
    QCoreApplication::processEvents();
    for (EditorWindowController* editor : {first, second})
        EXPECT_TRUE(showsImage(editor, "FirstRecord", "TB_C_first"));

    EXPECT_TRUE(chooseMenuItem(second->window(), "toggleToolbarStyle:"));
    QCoreApplication::processEvents();
    EXPECT_EQ(m_defaults.integerForKey("GeneralToolbarFormat"), 6);
    for (EditorWindowController* editor : {first, second}) {
        EXPECT_TRUE(showsImage(editor, "FirstRecord", "TB_M_first"));
        EXPECT_EQ(Toolbar::toolbarForWindow(editor->window()),
                  editor->toolbarController().toolbar());
    }

    // Show or Hide Toolbar, and back.
    EXPECT_TRUE(chooseMenuItem(second->window(), "showHideToolbar:"));
    EXPECT_FALSE(second->toolbarController().toolbar()->toolBar()->isVisible());
    EXPECT_TRUE(chooseMenuItem(second->window(), "showHideToolbar:"));
    EXPECT_TRUE(second->toolbarController().toolbar()->toolBar()->isVisible());
    EXPECT_TRUE(first->toolbarController().toolbar()->toolBar()->isVisible());
}
