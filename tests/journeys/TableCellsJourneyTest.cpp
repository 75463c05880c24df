// A user's journeys through the editor tables: clicking a cell and typing into it, in
// either view, the lines of wrapped fields brought up to date, and the List cells'
// quick sorts.
#include "JourneyTestBase.h"

#include "BasicViewModel.h"
#include "DatafileSettingsData.h"
#include "EditorSortController.h"
#include "EditorTableController.h"
#include "FieldCellEditor.h"
#include "RXTableView.h"
#include "SettingsSheetController.h"

#include <QContextMenuEvent>
#include <QHeaderView>

#include <cmath>

namespace {

const QString HighlightFieldTextKey = QStringLiteral("GeneralHighlightFieldText");

class TableCellsJourneyTest : public JourneyTestBase {
protected:
    // Two records of a name and a phone number, shown in the view named.
    EditorWindowController* openPeople(const QString& mode)
    {
        const QString path = m_dir.filePath("people.nv3");
        writeRecords(path, {"Name", "Phone"},
                     {{"Bob", "555", "first text"}, {"Ann", "777", "second text"}},
                     PlistDictionary{{"Mode", mode}});
        return openWithCommand(path);
    }

    // A click in the middle of the cell, as the user clicks it: into the cell's editor
    // when one is open there.
    static void clickCell(RXTableView* table, int row, int column)
    {
        const QRect cell = table->visualRect(table->model()->index(row, column));
        ASSERT_TRUE(cell.isValid()) << row << ", " << column;
        QWidget* target = table->viewport();
        QPoint point = cell.center();
        if (QWidget* child = target->childAt(point)) {
            point = child->mapFrom(target, point);
            target = child;
        }
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, point);
    }

    // Keys go where the focus is, as the user's do.
    static void type(const QString& text)
    {
        ASSERT_TRUE(QApplication::focusWidget());
        QTest::keyClicks(QApplication::focusWidget(), text);
    }

    static QString valueOf(EditorWindowController* editor, qint64 record, const QString& field)
    {
        return editor->engine().recordAtIndex(record)->fields().stringForKey(field);
    }

    static FieldCellEditor* editedCell(EditorWindowController* editor)
    {
        return editor->tableController()->currentTableView()->cellEditor();
    }
};

// The view, and whether "GeneralHighlightFieldText" is on.
class CellTypingJourneyTest : public TableCellsJourneyTest,
                              public ::testing::WithParamInterface<std::tuple<QString, bool>> {};

} // namespace

TEST_P(CellTypingJourneyTest, ClickThenType_ReplacesTheValueOnlyWhenHighlighted_RowAfterRow)
{
    const auto& [mode, highlight] = GetParam();
    m_defaults.setBool(highlight, HighlightFieldTextKey);
    EditorWindowController* editor = openPeople(mode);
    ASSERT_TRUE(editor);
    EditorTableController* tables = editor->tableController();
    RXTableView* table = tables->currentTableView();
    const bool basic = mode == EditorTableController::BasicMode;
    const auto replaced = [highlight](const QString& old, const QString& typed) {
        return highlight ? typed : old + typed;
    };

    // The first record's name.
    if (basic)
        clickCell(table, 0, BasicViewModel::ValueColumn);
    else
        clickCell(table, 0, 0);
    ASSERT_TRUE(editedCell(editor));
    type("Robert");
    EXPECT_EQ(editedCell(editor)->text(), replaced("Bob", "Robert"));

    // Then a cell of another row: the Basic View's phone, the List View's second record.
    if (basic)
        clickCell(table, 1, BasicViewModel::ValueColumn);
    else
        clickCell(table, 1, 1);
    ASSERT_TRUE(editedCell(editor)) << "one click starts editing the other row's cell";
    type("9");
    EXPECT_EQ(editedCell(editor)->text(), replaced(basic ? "555" : "777", "9"));
    EXPECT_EQ(valueOf(editor, 0, "F0"), replaced("Bob", "Robert"));

    // Return ends the editing: the value is the record's.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(valueOf(editor, basic ? 0 : 1, "F1"), replaced(basic ? "555" : "777", "9"));
    EXPECT_EQ(valueOf(editor, basic ? 1 : 0, "F1"), basic ? "777" : "555");
    EXPECT_TRUE(editor->document()->isDocumentEdited());
}

INSTANTIATE_TEST_SUITE_P(
    ViewsAndHighlighting, CellTypingJourneyTest,
    ::testing::Combine(::testing::Values(EditorTableController::BasicMode,
                                         EditorTableController::ListMode),
                       ::testing::Bool()),
    [](const ::testing::TestParamInfo<std::tuple<QString, bool>>& info) {
        return std::get<0>(info.param).toStdString() +
               (std::get<1>(info.param) ? "Highlighted" : "NotHighlighted");
    });

TEST_F(TableCellsJourneyTest, UpdateLineWrapping_FromTheViewMenu_RowsFollowWhatWasTyped)
{
    const QString path = m_dir.filePath("notes.nv3");
    writeRecords(path, {"Name", "Notes"}, {{"Bob", "short", "text"}},
                 PlistDictionary{{"Mode", "Basic"}, {"FieldWrapping", true},
                                 {"LiveFieldWrapping", false}});
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    RXTableView* basic = editor->tableController()->basicTableView();
    const int oneLine = basic->rowHeight(1);
    clickCell(basic, 1, BasicViewModel::ValueColumn);
    ASSERT_TRUE(editedCell(editor));
    const QString longNote = QStringLiteral("a note long enough to wrap, ").repeated(12);
    type(longNote);
    editedCell(editor)->setSelection(5, 3);
    // Typing alone leaves the row as it was.
    EXPECT_EQ(basic->rowHeight(1), oneLine);

    ASSERT_TRUE(chooseMenuItem(editor->window(), "updateLineWrapping:"));
    EXPECT_GT(basic->rowHeight(1), 2 * oneLine);
    EXPECT_EQ(basic->rowHeight(0), oneLine);
    // The user goes on where they were.
    ASSERT_TRUE(editedCell(editor));
    EXPECT_EQ(editedCell(editor)->text(), longNote);
    EXPECT_EQ(editedCell(editor)->selectedRange(), qMakePair(5, 3));

    // A short text after the long one: one line again.
    editedCell(editor)->selectAll();
    type("x");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "updateLineWrapping:"));
    EXPECT_EQ(basic->rowHeight(1), oneLine);
    ASSERT_TRUE(editedCell(editor));
    EXPECT_EQ(editedCell(editor)->text(), "x");

    // Not in the List View, and not without wrapping.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "switchView:"));
    EXPECT_FALSE(chooseMenuItem(editor->window(), "updateLineWrapping:"));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "switchView:"));
    editor->settings()->setFieldWrapping(false);
    EXPECT_FALSE(chooseMenuItem(editor->window(), "updateLineWrapping:"));
}

TEST_F(TableCellsJourneyTest, ListHeader_TakesTheTextScaleWhenTheTablesAreSetUp)
{
    EditorWindowController* editor = openPeople(EditorTableController::ListMode);
    ASSERT_TRUE(editor);
    EditorTableController* tables = editor->tableController();
    QHeaderView* header = tables->listTableView()->horizontalHeader();
    const auto headerHeightAt = [tables](double scale) {
        return int(std::ceil(scale * double(tables->listViewRowHeight()) + 2.0));
    };
    EXPECT_EQ(header->height(), headerHeightAt(1.0));

    const auto applySettings = [this, editor] {
        ASSERT_TRUE(chooseMenuItem(editor->window(), "editDatafileSettings:"));
        auto* sheet = VKSheetController::topmostController<SettingsSheetController>();
        ASSERT_TRUE(sheet);
        QTest::keyClick(sheet->window(), Qt::Key_Return);
        EXPECT_FALSE(sheet->window()->isVisible());
        activate(editor->window());
    };
    // 200%, three steps up.
    for (int step = 0; step < 3; ++step)
        ASSERT_TRUE(chooseMenuItem(editor->window(), "increaseScale:"));
    applySettings();
    EXPECT_EQ(header->height(), headerHeightAt(2.0));
    QCoreApplication::processEvents();
    EXPECT_EQ(tables->listTableView()->viewport()->y(), header->y() + header->height());

    // Back down to 50%.
    for (int step = 0; step < 5; ++step)
        ASSERT_TRUE(chooseMenuItem(editor->window(), "decreaseScale:"));
    applySettings();
    EXPECT_EQ(header->height(), headerHeightAt(0.5));
}

namespace {

// Three people with a hidden field between their name and their number.
class ListCellMenuJourneyTest : public TableCellsJourneyTest {
protected:
    EditorWindowController* openPeopleWithHiddenField()
    {
        PlistDictionary records;
        PlistArray catalog;
        const QList<QStringList> people{
            {"Carol", "x", "2", "beta"}, {"alice", "y", "30", "gamma"}, {"Bob", "z", "100", "alpha"}};
        int number = 0;
        for (const QStringList& person : people) {
            const QString identifier =
                QStringLiteral("00000000-0000-4000-8000-%1").arg(++number, 12, 10, QLatin1Char('0'));
            records.insert(identifier,
                           PlistDictionary{{"RecordIdentifier", identifier},
                                           {"Fields", PlistDictionary{{"N", person[0]},
                                                                      {"S", person[1]},
                                                                      {"P", person[2]}}},
                                           {"TextString", person[3]}});
            catalog.append(PlistDictionary{
                {"Identifier", identifier}, {"CurrentlySelected", true}, {"PreviouslySelected", true}});
        }
        const PlistArray fields{
            PlistDictionary{{"Identifier", "N"}, {"Name", "Name"}, {"Width", 120.0}},
            PlistDictionary{{"Identifier", "S"}, {"Name", "Secret"}, {"Show", false}},
            PlistDictionary{{"Identifier", "P"}, {"Name", "Phone"}, {"Width", 120.0}}};
        const QString path = m_dir.filePath("hidden.nv3");
        {
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            EXPECT_TRUE(writePropertyList(
                PlistDictionary{{"Settings", PlistDictionary{{"DataFormat", 1},
                                                             {"Mode", "List"},
                                                             {"Fields", fields}}},
                                {"Records", records},
                                {"Catalog", catalog}},
                file, PlistFormat::Xml));
        }
        return openWithCommand(path);
    }

    // A right click at the point of the table; the menu it opens, if any.
    QMenu* rightClick(RXTableView* table, const QPoint& point) const
    {
        QContextMenuEvent event(QContextMenuEvent::Mouse, point, table->viewport()->mapToGlobal(point));
        QApplication::sendEvent(table->viewport(), &event);
        QMenu* sortMenu = m_assembly->mainController().menus().sortMenu();
        return sortMenu->isVisible() ? sortMenu : nullptr;
    }

    QMenu* rightClickCell(RXTableView* table, int row, int column) const
    {
        return rightClick(table, table->visualRect(table->model()->index(row, column)).center());
    }

    // Clicks the item of the open menu.
    static void choose(QMenu* menu, const QString& title)
    {
        for (QAction* item : menu->actions()) {
            if (item->text() == title) {
                ASSERT_TRUE(item->isEnabled()) << title.toStdString();
                QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                                  menu->actionGeometry(item).center());
                EXPECT_FALSE(menu->isVisible());
                return;
            }
        }
        ADD_FAILURE() << "no item " << title.toStdString();
    }

    static QStringList namesShown(EditorWindowController* editor)
    {
        QStringList names;
        RXTableView* list = editor->tableController()->listTableView();
        for (int row = 0; row < list->model()->rowCount(); ++row)
            names.append(list->model()->index(row, 0).data().toString());
        return names;
    }
};

} // namespace

TEST_F(ListCellMenuJourneyTest, RightClickOnACell_QuickSortsByThatCellsColumn)
{
    EditorWindowController* editor = openPeopleWithHiddenField();
    ASSERT_TRUE(editor);
    RXTableView* list = editor->tableController()->listTableView();
    ASSERT_EQ(list->model()->columnCount(), 3) << "Name, Phone and the text";

    // The phone numbers, past the hidden field, as numbers.
    QMenu* menu = rightClickCell(list, 0, 1);
    ASSERT_TRUE(menu);
    EXPECT_EQ(editor->sortController().sortColumn(), 2);
    choose(menu, "Sort as Numbers, Descending");
    EXPECT_EQ(namesShown(editor), QStringList({"Bob", "alice", "Carol"}));
    EXPECT_TRUE(editor->document()->isDocumentEdited());

    // Then the names, from another row's cell.
    menu = rightClickCell(list, 2, 0);
    ASSERT_TRUE(menu);
    EXPECT_EQ(editor->sortController().sortColumn(), 0);
    choose(menu, "Sort Z to A");
    EXPECT_EQ(namesShown(editor), QStringList({"Carol", "Bob", "alice"}));
    choose(rightClickCell(list, 1, 0), "Sort A to Z");
    EXPECT_EQ(namesShown(editor), QStringList({"alice", "Bob", "Carol"}));

    // The text column stands for the text.
    menu = rightClickCell(list, 0, 2);
    ASSERT_TRUE(menu);
    EXPECT_EQ(editor->sortController().sortColumn(), 3);
    choose(menu, "Sort A to Z");
    EXPECT_EQ(namesShown(editor), QStringList({"Bob", "Carol", "alice"}));

    // Below the last row, and anywhere in the Basic View, there is no sort menu.
    EXPECT_FALSE(rightClick(list, QPoint(10, list->viewport()->height() - 3)));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "switchView:"));
    RXTableView* basic = editor->tableController()->basicTableView();
    EXPECT_FALSE(rightClickCell(basic, 0, BasicViewModel::ValueColumn));
    EXPECT_EQ(namesShown(editor), QStringList({"Bob", "Carol", "alice"}));
}

TEST_F(TableCellsJourneyTest, NarrowerWindow_RewrapsEveryBasicRow_NotOnlyTheEditedOne)
{
    const QString path = m_dir.filePath("wrapped.nv3");
    const QString longNote = QStringLiteral("words that wrap once the window is narrow ").repeated(3);
    writeRecords(path, {"Name", "Notes"}, {{"Bob", longNote, "text"}},
                 PlistDictionary{{"Mode", "Basic"}, {"FieldWrapping", true}});
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    QWidget* window = editor->window();
    window->resize(1300, 600);
    QCoreApplication::processEvents();
    RXTableView* basic = editor->tableController()->basicTableView();
    const int oneLine = basic->rowHeight(0);
    ASSERT_EQ(basic->rowHeight(1), oneLine) << "the note fits a wide window";

    // The name is being edited while the window narrows: the note wraps all the same.
    clickCell(basic, 0, BasicViewModel::ValueColumn);
    ASSERT_TRUE(editedCell(editor));
    window->resize(400, 600);
    QCoreApplication::processEvents();
    EXPECT_GT(basic->rowHeight(1), oneLine);
    EXPECT_EQ(basic->rowHeight(0), oneLine);

    // And unwraps as it widens again.
    window->resize(1300, 600);
    QCoreApplication::processEvents();
    EXPECT_EQ(basic->rowHeight(1), oneLine);
}
