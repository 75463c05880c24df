// Edit ▸ Grab Web Address, its variants and the toolbar's grab button, and Edit ▸ Insert
// Link To File or Folder with Fields ▸ Deactivate Field Link, in the program as main()
// assembles it; the browsers are faked at the bridge.
#include "JourneyTestBase.h"

#include "BasicViewModel.h"
#include "EditorTableController.h"
#include "EditorToolbarController.h"
#include "FieldCellEditor.h"
#include "FakeBrowserBridge.h"
#include "FreeformTextView.h"
#include "RXTableView.h"
#include "Toolbar.h"
#include "ToolbarItem.h"

#include <QClipboard>
#include <QDir>
#include <QMimeData>
#include <QToolButton>

namespace {

class WebCaptureJourneyTest : public JourneyTestBase {
protected:
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
    QToolButton* grab = toolbarButton(editor->window(), "GrabURL");
    if (!grab) {
        ASSERT_TRUE(
            editor->toolbarController().toolbar()->insertItemWithItemIdentifier("GrabURL", 0));
        QCoreApplication::processEvents();
        grab = toolbarButton(editor->window(), "GrabURL");
    }
    ASSERT_TRUE(grab);
    ASSERT_TRUE(grab->isEnabled());
    QTest::mouseClick(grab, Qt::LeftButton);
    EXPECT_EQ(editor->engine().catalog()->count(), 5);
    EXPECT_TRUE(editor->engine().currentRecord()->textString().startsWith("Page B\n\n"));
    EXPECT_EQ(m_presenter.alerts().size(), 1);
}

TEST_F(WebCaptureJourneyTest, InsertLinkToFileOrFolder_TextAfterACancelledPanel_ThenAField)
{
    const QString path = writeDatafile("Links.nv3", {{"F1", "Where"}}, {{"Ada"}}, "Basic");
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    QDir(m_dir.path()).mkpath("Project Files");
    const QString folder = m_dir.filePath("Project Files");
    const QString folderUrl = QUrl::fromLocalFile(folder).toString(QUrl::FullyEncoded);

    FreeformTextView* text = editor->freeformTextView();
    QTest::mouseClick(text->viewport(), Qt::LeftButton);
    ASSERT_TRUE(text->hasFocus());
    QTest::keyClicks(text, "files: ");
    const qsizetype panelsBefore = m_presenter.openPanels().size();
    m_presenter.answerOpenPanel({});
    ASSERT_TRUE(chooseMenuItem(editor->window(), "insertFileLink:"));
    EXPECT_EQ(text->toPlainText(), "files: ");

    m_presenter.answerOpenPanel({QUrl::fromLocalFile(folder)});
    ASSERT_TRUE(chooseMenuItem(editor->window(), "insertFileLink:"));
    EXPECT_EQ(m_presenter.openPanels().size(), panelsBefore + 2);
    EXPECT_EQ(text->toPlainText(), "files: Project Files");
    QTextCursor cursor(text->document());
    cursor.setPosition(int(text->toPlainText().size()) - 1);
    EXPECT_EQ(cursor.charFormat().anchorHref(), folderUrl);
    if (qEnvironmentVariableIsSet("NORVA_SHOTS"))
        editor->window()->grab().save(qEnvironmentVariable("NORVA_SHOTS") + "/file-link.png");

    // In a field being edited the address goes in as text, and its links can be dropped.
    EXPECT_FALSE(chooseMenuItem(editor->window(), "deactivateFieldLink:"));
    editor->tableController()->singleClicked(BasicViewModel::ValueColumn, 0);
    FieldCellEditor* cell = editor->tableController()->basicTableView()->cellEditor();
    ASSERT_TRUE(cell);
    cell->setFocus();
    cell->selectAll();
    m_presenter.answerOpenPanel({QUrl::fromLocalFile(folder)});
    ASSERT_TRUE(chooseMenuItem(editor->window(), "insertFileLink:"));
    EXPECT_EQ(cell->text(), folderUrl);
    cell->setLinks({{0, 4, folderUrl}});
    ASSERT_TRUE(chooseMenuItem(editor->window(), "deactivateFieldLink:"));
    EXPECT_TRUE(cell->links().isEmpty());
    EXPECT_TRUE(editor->window()->isWindowModified());
}
