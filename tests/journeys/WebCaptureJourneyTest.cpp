// Edit ▸ Grab Web Address, its variants and the toolbar's grab button, in the program as
// main() assembles it; the browsers are faked at the bridge.
#include "JourneyTestBase.h"

#include "EditorToolbarController.h"
#include "FakeBrowserBridge.h"
#include "FreeformTextView.h"
#include "Toolbar.h"
#include "ToolbarItem.h"

#include <QClipboard>
#include <QMimeData>
#include <QToolButton>

namespace {

class WebCaptureJourneyTest : public JourneyTestBase {
protected:
    static QToolButton* toolbarButton(EditorWindowController* editor, const QString& identifier)
    {
        for (QToolButton* button : editor->window()->findChildren<QToolButton*>()) {
            const QAction* action = button->defaultAction();
            const auto* item = action ? qobject_cast<ToolbarItem*>(action->parent()) : nullptr;
            if (button->isVisible() && item && item->itemIdentifier() == identifier)
                return button;
        }
        return nullptr;
    }

    FakeBrowserBridge m_browsers;
};

} // namespace

TEST_F(WebCaptureJourneyTest, GrabWebAddress_AddsTheFrontPageRecordAfterRecord)
{
    const QString path = writeDatafile("Web.nv3", {{"F1", "Name"}}, {{"Ada"}, {"Bob"}}, "Basic");
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    auto* clipboard = new QMimeData;
    clipboard->setText("from the clipboard");
    QApplication::clipboard()->setMimeData(clipboard);

    // No browser yet: the alert, and no record.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "grabURLWithToggle:"));
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "Norva Pro cannot find an open Web browser that it can communicate with.");
    EXPECT_EQ(editor->engine().catalog()->count(), 2);

    m_browsers.run("rimZ", 400);
    m_browsers.showPage("rimZ", "https://example.org/a", "Page A");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "grabURLWithToggle:"));
    EXPECT_EQ(editor->engine().catalog()->count(), 3);
    EXPECT_EQ(editor->engine().currentRecord()->textString(),
              "Page A\n\nhttps://example.org/a\n\nfrom the clipboard");
    EXPECT_TRUE(editor->freeformTextView()->hasFocus());
    EXPECT_TRUE(editor->window()->isWindowModified());
    if (qEnvironmentVariableIsSet("NORVA_SHOTS"))
        editor->window()->grab().save(qEnvironmentVariable("NORVA_SHOTS") + "/web-capture.png");

    // Another page, without the clipboard, from a record just shown.
    m_browsers.showPage("rimZ", "https://example.org/b", "Page B");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "goToFirstRecord:"));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "grabURLWithoutPaste:"));
    EXPECT_EQ(editor->engine().catalog()->count(), 4);
    EXPECT_EQ(editor->engine().currentRecord()->textString(),
              "Page B\n\nhttps://example.org/b\n\n");

    // The toolbar's button grabs as the menu item does.
    QToolButton* grab = toolbarButton(editor, "GrabURL");
    if (!grab) {
        ASSERT_TRUE(
            editor->toolbarController().toolbar()->insertItemWithItemIdentifier("GrabURL", 0));
        QCoreApplication::processEvents();
        grab = toolbarButton(editor, "GrabURL");
    }
    ASSERT_TRUE(grab);
    ASSERT_TRUE(grab->isEnabled());
    QTest::mouseClick(grab, Qt::LeftButton);
    EXPECT_EQ(editor->engine().catalog()->count(), 5);
    EXPECT_TRUE(editor->engine().currentRecord()->textString().startsWith("Page B\n\n"));
    EXPECT_EQ(m_presenter.alerts().size(), 1);
}
