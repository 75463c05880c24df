// The link, list, spacing and table panels on the Freeform Text Area's selection, and what
// they made still there once the datafile is saved and opened again.
#include "EditorTestBase.h"
#include "RecordDataTesting.h"

#include "FreeformPanelsController.h"
#include "FreeformTextView.h"
#include "TextCursorTesting.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextList>
#include <QTextTable>

namespace {

class FreeformPanelsControllerTest : public EditorTestBase {
protected:
    QString writeDatafile()
    {
        DatafileDocument document;
        auto record = std::make_shared<RecordData>();
        record->setTextString("Link here\nFirst item\nSecond item\nEnd", RecordDataTesting::key());
        document.datafileRecords()->setRecord(record, record->identifier());
        document.datafileCatalog()->insertIdentifierAtEnd(record->identifier());
        document.datafileSettings()->setMode("List");
        const QString path = m_dir.filePath("Panels.nv3");
        EXPECT_TRUE(document.saveToURL(QUrl::fromLocalFile(path), DatafileDocument::ProDatafileType,
                                       Document::SaveOperation::SaveTo));
        return path;
    }

    static QTextTable* firstTable(QTextDocument* document)
    {
        for (QTextFrame* frame : document->rootFrame()->childFrames())
            if (auto* table = qobject_cast<QTextTable*>(frame))
                return table;
        return nullptr;
    }
};

} // namespace

TEST_F(FreeformPanelsControllerTest, TableLinkAndListMadeWithThePanels_SurviveReopening)
{
    const QString path = writeDatafile();
    DatafileDocument* document = open(path);
    EditorWindowController* editor = editorOf(document);
    editor->engine().setCanSaveChanges(true);
    FreeformTextView* view = editor->freeformTextView();
    FreeformPanelsController& panels = editor->panelsController();

    editor->performAction("orderFrontLinkPanel:");
    ASSERT_TRUE(panels.linkPanel());
    EXPECT_TRUE(panels.linkPanel()->isVisible());
    EXPECT_FALSE(panels.linkPanel()->isModal());
    selectText(view, 0, 4);
    panels.linkField()->setText("https://example.com/page");
    panels.setLink();

    editor->performAction("orderFrontListPanel:");
    selectText(view, 10, 25);
    panels.listMarkerBox()->setCurrentIndex(panels.listMarkerBox()->findData(int(QTextListFormat::ListDecimal)));
    panels.applyList();

    editor->performAction("orderFrontSpacingPanel:");
    selectText(view, 34, 34);
    panels.lineHeightBox()->setValue(1.5);
    panels.spaceAfterBox()->setValue(6);
    panels.applySpacing();

    editor->performAction("orderFrontTablePanel:");
    QTextCursor end(view->document());
    end.movePosition(QTextCursor::End);
    view->setTextCursor(end);
    panels.tableRowsBox()->setValue(2);
    panels.tableColumnsBox()->setValue(3);
    panels.insertTable();
    view->textCursor().insertText("cell");
    panels.addTableRow();
    ASSERT_TRUE(firstTable(view->document()));
    EXPECT_EQ(firstTable(view->document())->rows(), 3);

    editor->engine().saveIfDifferentRecord(nullptr);
    ASSERT_TRUE(document->saveToURL(QUrl::fromLocalFile(path), DatafileDocument::ProDatafileType,
                                    Document::SaveOperation::Save));
    m_documents.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    FreeformTextView* reopened = editorOf(open(path))->freeformTextView();
    QTextDocument* text = reopened->document();
    EXPECT_TRUE(formatAt(reopened, 1).isAnchor());
    EXPECT_EQ(formatAt(reopened, 1).anchorHref(), "https://example.com/page");
    EXPECT_FALSE(formatAt(reopened, 6).isAnchor());
    const QTextBlock second = text->findBlockByNumber(1);
    ASSERT_TRUE(second.textList());
    EXPECT_EQ(second.textList()->format().style(), QTextListFormat::ListDecimal);
    EXPECT_EQ(second.textList(), text->findBlockByNumber(2).textList());
    EXPECT_EQ(second.textList()->itemText(text->findBlockByNumber(2)), "2.");
    const QTextBlockFormat spaced = text->findBlockByNumber(3).blockFormat();
    EXPECT_EQ(spaced.lineHeight(), 150);
    EXPECT_EQ(spaced.bottomMargin(), 6);
    QTextTable* table = firstTable(text);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->rows(), 3);
    EXPECT_EQ(table->columns(), 3);
    EXPECT_EQ(table->cellAt(0, 0).firstCursorPosition().block().text(), "cell");
}

TEST_F(FreeformPanelsControllerTest, Panels_ChangeNothingInALockedRecord_AndRemoveWhatTheyMade)
{
    DatafileDocument* document = open(writeDatafile());
    EditorWindowController* editor = editorOf(document);
    FreeformTextView* view = editor->freeformTextView();
    FreeformPanelsController& panels = editor->panelsController();
    editor->performAction("orderFrontLinkPanel:");
    editor->performAction("orderFrontListPanel:");
    selectText(view, 0, 4);
    panels.linkField()->setText("https://example.com");
    panels.setLink();
    panels.applyList();
    ASSERT_TRUE(formatAt(view, 1).isAnchor());
    ASSERT_TRUE(view->document()->firstBlock().textList());
    panels.removeLink();
    panels.removeList();
    EXPECT_FALSE(formatAt(view, 1).isAnchor());
    EXPECT_FALSE(view->document()->firstBlock().textList());

    editor->engine().currentRecord()->setRecordLocked(true);
    editor->engine().updateTextEditability();
    panels.setLink();
    panels.applyList();
    editor->performAction("orderFrontTablePanel:");
    panels.insertTable();
    EXPECT_FALSE(formatAt(view, 1).isAnchor());
    EXPECT_FALSE(view->document()->firstBlock().textList());
    EXPECT_FALSE(firstTable(view->document()));
}
