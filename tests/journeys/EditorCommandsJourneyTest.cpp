// A user's journeys through the editor's Sort Lines, field and record stepping, and the
// find, select, sort and switch commands while the datafile syncs, in the program as
// main() runs it.
#include "JourneyTestBase.h"

#include "BasicViewModel.h"
#include "EditorSearchController.h"
#include "EditorTableController.h"
#include "FieldCellEditor.h"
#include "FindBoxView.h"
#include "FreeformTextView.h"
#include "ListViewModel.h"
#include "RXTableView.h"
#include "SelectRecordsSheetController.h"
#include "SortFieldBasedRecordsSheetController.h"

#include <QTextBlock>
#include <QTextCursor>

namespace {

const QList<std::pair<QString, QString>> threeFields{
    {"A", "First"}, {"B", "Second"}, {"C", "Third"}};
const QList<QStringList> threeRecords{
    {"a1", "b1", "c1", "one"}, {"a2", "b2", "c2", "two"}, {"a3", "b3", "c3", "three"}};

class EditorCommandsJourneyTest : public JourneyTestBase {
protected:
    static QString text(EditorWindowController* editor)
    {
        return editor->freeformTextView()->plainText();
    }
};

} // namespace

TEST_F(EditorCommandsJourneyTest, SortLines_CaseInsensitiveAsOneUndoStepKeepingTheAttributes)
{
    EditorWindowController* editor =
        openWithCommand(writeDatafile("lines.nv3", threeFields, threeRecords, "Basic"));
    ASSERT_TRUE(editor);
    FreeformTextView* view = editor->freeformTextView();
    view->setFocus();
    view->selectAll();
    view->insertPlainText("b\nA\nc");
    // "A" bold and its line centred.
    QTextCursor bold(view->document()->findBlockByNumber(1));
    bold.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat boldFormat;
    boldFormat.setFontWeight(QFont::Bold);
    bold.mergeCharFormat(boldFormat);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    bold.mergeBlockFormat(centred);
    editor->engine().updateCurrentRecord();
    const std::shared_ptr<RecordData> record = editor->engine().currentRecord();
    record->setModifiedDate(PlistDate{});
    QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_FALSE(editor->window()->isWindowModified());

    ASSERT_TRUE(chooseMenuItem(editor->window(), "sortFreeformTextByLine:"));
    EXPECT_EQ(text(editor), "A\nb\nc");
    const QTextBlock first = view->document()->firstBlock();
    EXPECT_EQ(first.blockFormat().alignment(), Qt::AlignHCenter);
    QTextCursor inA(first);
    inA.movePosition(QTextCursor::NextCharacter);
    EXPECT_EQ(inA.charFormat().fontWeight(), QFont::Bold);
    EXPECT_NE(first.next().blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_NE(record->modifiedDate(), PlistDate{}) << "the record is stamped";
    EXPECT_TRUE(editor->window()->isWindowModified());
    editor->window()->grab().save(qEnvironmentVariable("NORVA_SHOTS", m_dir.path()) +
                                  "/sorted.png");

    // Edit ▸ Undo takes the whole sort back in one step; Redo Line Sort sorts again.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "undo:"));
    EXPECT_EQ(text(editor), "b\nA\nc");
    EXPECT_EQ(view->document()->findBlockByNumber(1).blockFormat().alignment(), Qt::AlignHCenter);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "redoSortByLine:"));
    EXPECT_EQ(text(editor), "A\nb\nc");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "undoSortByLine:"));
    EXPECT_EQ(text(editor), "b\nA\nc");
    QTextCursor restored(view->document()->findBlockByNumber(1));
    restored.movePosition(QTextCursor::NextCharacter);
    EXPECT_EQ(restored.charFormat().fontWeight(), QFont::Bold);

    // Z to A, and a trailing line feed: its empty line sorts first.
    QAction* reverse = nullptr;
    auto* lines =
        qobject_cast<QMenu*>(menuItem(editor->window(), "sortFreeformTextByLine:")->parent());
    ASSERT_TRUE(lines);
    for (QAction* item : lines->actions())
        if (item->data().toInt() == 1)
            reverse = item;
    ASSERT_TRUE(reverse);
    Q_EMIT lines->aboutToShow();
    ASSERT_TRUE(reverse->isEnabled());
    reverse->trigger();
    EXPECT_EQ(text(editor), "c\nb\nA");
    view->selectAll();
    view->insertPlainText("b\na\n");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "sortFreeformTextByLine:"));
    EXPECT_EQ(text(editor), "\na\nb");

    // Not in a locked record.
    editor->engine().updateCurrentRecord();
    record->setRecordLocked(true);
    editor->engine().loadCurrentRecord();
    view->setFocus();
    editor->performAction("sortFreeformTextByLine:");
    EXPECT_EQ(text(editor), "\na\nb");
}

TEST_F(EditorCommandsJourneyTest, SortLines_UndoAndRedoAreNamedAndLeaveTheRecordsStamp)
{
    const QString path = writeDatafile("undo.nv3", threeFields, {{"a1", "b1", "c1", "b\nA\nc"}});
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    FreeformTextView* view = editor->freeformTextView();
    view->setFocus();
    const std::shared_ptr<RecordData> record = editor->engine().currentRecord();
    QAction* undo = menuItem(editor->window(), "undo:");
    QAction* redo = menuItem(editor->window(), "redo:");
    ASSERT_TRUE(undo && redo);
    const auto saved = [&] {
        QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
        EXPECT_FALSE(editor->window()->isWindowModified());
        const PlistDictionary records = *readDatafile(path).value("Records").asDictionary();
        return records.value(record->identifier()).asDictionary()->stringForKey("TextString");
    };

    record->setModifiedDate(PlistDate{1000});
    ASSERT_TRUE(chooseMenuItem(editor->window(), "sortFreeformTextByLine:"));
    EXPECT_EQ(text(editor), "A\nb\nc");
    EXPECT_NE(record->modifiedDate(), PlistDate{1000}) << "the sort is the user's edit";
    showMenusOf(editor->window());
    EXPECT_EQ(undo->text(), "Undo FTA Sort");
    EXPECT_EQ(saved(), "A\nb\nc");

    // Undo and Redo put the kept texts back: the datafile changes, the stamp stays.
    record->setModifiedDate(PlistDate{1000});
    ASSERT_TRUE(chooseMenuItem(editor->window(), "undo:"));
    EXPECT_EQ(text(editor), "b\nA\nc");
    EXPECT_EQ(record->modifiedDate(), PlistDate{1000});
    EXPECT_TRUE(editor->window()->isWindowModified());
    showMenusOf(editor->window());
    EXPECT_EQ(redo->text(), "Redo FTA Sort");
    EXPECT_EQ(undo->text(), "Undo");
    EXPECT_EQ(saved(), "b\nA\nc");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "redo:"));
    EXPECT_EQ(text(editor), "A\nb\nc");
    EXPECT_EQ(record->modifiedDate(), PlistDate{1000});
    showMenusOf(editor->window());
    EXPECT_EQ(undo->text(), "Undo FTA Sort");
    EXPECT_EQ(saved(), "A\nb\nc");

    // Undo Line Sort is such a step too, and Edit > Undo takes it back the same way.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "undoSortByLine:"));
    EXPECT_EQ(text(editor), "b\nA\nc");
    EXPECT_EQ(record->modifiedDate(), PlistDate{1000});
    ASSERT_TRUE(chooseMenuItem(editor->window(), "undo:"));
    EXPECT_EQ(text(editor), "A\nb\nc");
    EXPECT_EQ(record->modifiedDate(), PlistDate{1000});

    // Typing after it is the user's edit again, and Undo names no step it does not take.
    QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(view, "d");
    EXPECT_EQ(text(editor), "A\nb\ncd");
    EXPECT_NE(record->modifiedDate(), PlistDate{1000});
    showMenusOf(editor->window());
    EXPECT_EQ(undo->text(), "Undo");
    EXPECT_EQ(redo->text(), "Redo");
}

TEST_F(EditorCommandsJourneyTest, FieldStepping_WrapsInBothViewsAndRecordSteppingKeepsTheField)
{
    EditorWindowController* editor =
        openWithCommand(writeDatafile("steps.nv3", threeFields, threeRecords, "Basic"));
    ASSERT_TRUE(editor);
    EditorTableController* tables = editor->tableController();
    const auto editedRow = [tables] {
        const QModelIndexList rows = tables->currentTableView()->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.first().row() : -1;
    };

    // Basic View: previous from the first field goes to the last, next from there to 0.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "selectPreviousField:"));
    EXPECT_EQ(tables->currentField(), 2u);
    EXPECT_EQ(editedRow(), 2);
    ASSERT_TRUE(tables->currentTableView()->cellEditor());
    EXPECT_EQ(tables->currentTableView()->cellEditor()->text(), "c1");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "selectNextField:"));
    EXPECT_EQ(tables->currentField(), 0u);
    EXPECT_EQ(tables->currentTableView()->cellEditor()->text(), "a1");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "selectNextField:"));
    EXPECT_EQ(tables->currentField(), 1u);

    // The same field in the next record, and round to the last from the first.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "selectNextRecord:"));
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 1);
    EXPECT_EQ(tables->currentField(), 1u);
    EXPECT_EQ(tables->currentTableView()->cellEditor()->text(), "b2");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "selectPreviousRecord:"));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "selectPreviousRecord:"));
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 2);
    EXPECT_EQ(tables->currentTableView()->cellEditor()->text(), "b3");

    // List View: m columns, the last the text's, never entered.
    tables->endEditing();
    editor->settings()->setMode(EditorTableController::ListMode);
    tables->changeMode(EditorTableController::ListMode);
    ASSERT_EQ(tables->listViewModel()->columnCount(), 4);
    tables->setCurrentField(0);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "selectPreviousField:"));
    EXPECT_EQ(tables->currentField(), 2u);
    EXPECT_EQ(editedRow(), 2);
    EXPECT_EQ(tables->currentTableView()->cellEditor()->text(), "c3");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "selectNextField:"));
    EXPECT_EQ(tables->currentField(), 0u);
    EXPECT_EQ(tables->currentTableView()->cellEditor()->text(), "a3");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "selectNextRecord:"));
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 0);
    EXPECT_EQ(tables->currentTableView()->cellEditor()->text(), "a1");
    editor->window()->grab().save(qEnvironmentVariable("NORVA_SHOTS", m_dir.path()) +
                                  "/stepped.png");
}

TEST_F(EditorCommandsJourneyTest, WhileSyncing_FindSelectSortAndSwitchCommandsChangeNothing)
{
    EditorWindowController* editor =
        openWithCommand(writeDatafile("sync.nv3", threeFields, threeRecords, "List"));
    ASSERT_TRUE(editor);
    editor->editorSearchController().searchField()->setPlainText("a2");
    editor->engine().catalog()->omitIdentifier(editor->engine().catalog()->selectedIdentifiers()[2],
                                               true);
    const QStringList selected = editor->engine().catalog()->selectedIdentifiers();
    const QString shownText = text(editor);
    editor->setNowSyncing(true);
    for (const char* command :
         {"forwardSearchForFindBoxText:", "reverseSearchForFindBoxText:", "forwardSearchHighlight:",
          "reverseSearchHighlight:", "skipThenSearchForward:", "skipThenReverseSearch:",
          "selectRecords:", "selectFromOmitted:", "selectRecordsFrom:", "switchToOmitted:",
          "sortDatafile:", "sortAlphaReverse:", "sortFreeformTextByLine:", "switchView:"}) {
        EXPECT_TRUE(editor->performAction(command)) << command;
        EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 0) << command;
        EXPECT_EQ(editor->engine().catalog()->selectedIdentifiers(), selected) << command;
        EXPECT_EQ(text(editor), shownText) << command;
        EXPECT_EQ(editor->settings()->mode(), "List") << command;
        EXPECT_FALSE(editor->editorSearchController().simulatedControlKeyDown()) << command;
        EXPECT_FALSE(VKSheetController::topmostController<SelectRecordsSheetController>())
            << command;
        EXPECT_FALSE(VKSheetController::topmostController<SortFieldBasedRecordsSheetController>())
            << command;
    }
    editor->setNowSyncing(false);
}
