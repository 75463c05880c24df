// Insert Link To File or Folder and Deactivate Field Link over a real editor window.
#include "LinkCommandsController.h"
#include "RecordDataTesting.h"

#include "BasicViewModel.h"
#include "EditorTableController.h"
#include "EditorTestBase.h"
#include "FieldCellEditor.h"
#include "FreeformTextView.h"
#include "RXTableView.h"

#include <QDir>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace {

class LinkCommandsControllerTest : public EditorTestBase {
protected:
    void SetUp() override
    {
        EditorTestBase::SetUp();
        QDir(m_dir.path()).mkpath("My Folder");
        m_folder = m_dir.filePath("My Folder");
        m_file = writeFile("notes.txt", "x");
        auto document = std::make_unique<DatafileDocument>();
        document->datafileSettings()->setFields(
            PlistArray{PlistDictionary{{DatafileSettingsData::FieldIdentifierKey, "F1"},
                                       {DatafileSettingsData::FieldNameKey, "Where"}}});
        auto record = std::make_shared<RecordData>();
        record->setTextString("see ", RecordDataTesting::key());
        document->datafileRecords()->setRecord(record, record->identifier());
        document->datafileCatalog()->insertIdentifierAtEnd(record->identifier());
        document->datafileCatalog()->rebuildSelectedIdentifiers();
        m_document = show(std::move(document));
        m_editor = editorOf(m_document);
        m_editor->engine().setCanSaveChanges(true);
    }

    // The text area focused with the caret at its end, or the characters given selected.
    FreeformTextView* focusText(int selectFrom = -1, int selectTo = -1)
    {
        FreeformTextView* text = m_editor->freeformTextView();
        text->setFocus();
        QTextCursor cursor = text->textCursor();
        cursor.movePosition(QTextCursor::End);
        if (selectFrom >= 0) {
            cursor.setPosition(selectFrom);
            cursor.setPosition(selectTo, QTextCursor::KeepAnchor);
        }
        text->setTextCursor(cursor);
        return text;
    }

    FieldCellEditor* editField()
    {
        EditorTableController& tables = *m_editor->tableController();
        tables.singleClicked(BasicViewModel::ValueColumn, 0);
        FieldCellEditor* cell = tables.basicTableView()->cellEditor();
        if (cell)
            cell->setFocus();
        return cell;
    }

    void chooseInPanel(const QString& path)
    {
        m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
        m_editor->performAction("insertFileLink:");
    }

    // Each run of the text with its link, "" where there is none.
    static QList<QPair<QString, QString>> runs(const FreeformTextView* text)
    {
        QList<QPair<QString, QString>> found;
        for (QTextBlock block = text->document()->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                found.append({it.fragment().text(), it.fragment().charFormat().anchorHref()});
        return found;
    }

    static QString fileUrl(const QString& path)
    {
        return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    }

    QString m_folder;
    QString m_file;
    DatafileDocument* m_document = nullptr;
    EditorWindowController* m_editor = nullptr;
};

} // namespace

TEST_F(LinkCommandsControllerTest, TextArea_AfterACancelledPanel_TheFolderLinkedByItsName)
{
    FreeformTextView* text = focusText();
    m_presenter.answerOpenPanel({});
    m_editor->performAction("insertFileLink:");
    ASSERT_EQ(m_presenter.openPanels().size(), 1);
    const OpenPanelRequest& panel = m_presenter.openPanels().last().request;
    EXPECT_EQ(panel.prompt, "Select");
    EXPECT_TRUE(panel.canChooseFiles);
    EXPECT_TRUE(panel.canChooseDirectories);
    EXPECT_FALSE(panel.allowsMultipleSelection);
    EXPECT_EQ(text->toPlainText(), "see ");
    EXPECT_FALSE(m_document->isDocumentEdited());

    chooseInPanel(m_folder);
    EXPECT_EQ(runs(text), (QList<QPair<QString, QString>>{{"see ", ""},
                                                          {"My Folder", fileUrl(m_folder)}}));
    EXPECT_TRUE(fileUrl(m_folder).startsWith("file:///"));
    EXPECT_TRUE(fileUrl(m_folder).endsWith("/My%20Folder"));
    EXPECT_EQ(text->textCursor().position(), text->toPlainText().size());
    EXPECT_FALSE(text->textCursor().hasSelection());
    m_editor->engine().updateCurrentRecord();
    EXPECT_EQ(m_editor->engine().currentRecord()->textString(), "see My Folder");
}

TEST_F(LinkCommandsControllerTest, TextArea_Selection_BecomesTheLinkWithoutTheName)
{
    FreeformTextView* text = focusText(0, 3);
    chooseInPanel(m_file);
    EXPECT_EQ(runs(text), (QList<QPair<QString, QString>>{{"see", fileUrl(m_file)}, {" ", ""}}));
}

TEST_F(LinkCommandsControllerTest, Field_GetsTheAddressAsText_AndDeactivatingDropsItsLinks)
{
    // Without a field being edited there is nothing to take the links from.
    m_editor->performAction("deactivateFieldLink:");

    FieldCellEditor* cell = editField();
    ASSERT_TRUE(cell);
    chooseInPanel(m_file);
    EXPECT_EQ(cell->text(), fileUrl(m_file));
    EXPECT_EQ(m_editor->freeformTextView()->toPlainText(), "see ");

    cell->setLinks({{0, 4, "file:///x"}});
    m_editor->performAction("deactivateFieldLink:");
    EXPECT_TRUE(cell->links().isEmpty());
    EXPECT_EQ(cell->text(), fileUrl(m_file));
}
