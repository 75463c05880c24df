// The records a user's searches walk through, one search after the other, in the
// program as main() runs it: Ctrl+G and Ctrl+Shift+G from the find box's text, and Find
// Next in the Find and Replace panel for a single field.
#include "JourneyTestBase.h"

#include "EditorSearchController.h"
#include "EditorTableController.h"
#include "FieldCellEditor.h"
#include "FindAndReplaceController.h"
#include "FindBoxView.h"
#include "PopUpButton.h"
#include "RXTableView.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace {

struct FindWalk {
    const char* name;
    QString mode;
    // Name, City, then the text, per record.
    QList<QStringList> records;
    // Reached with Next Record before the first search.
    int startRecord;
    QString findText;
    // All fields: the find box; a field: the Find and Replace panel.
    qint64 scope;
    bool forward;
    // After each hit the user selects the found text in the cell being edited.
    bool selectHit;
    // The Name of the record shown after each search.
    QStringList walk;
    qint64 recordsLeft;
};

void PrintTo(const FindWalk& walk, std::ostream* stream)
{
    *stream << walk.name;
}

constexpr qint64 AllFields = EditorSearchController::AllFieldsScope;
// The panel's items: "All Fields", a separator, then the fields.
constexpr int FirstFieldItem = 2;

class FindWalkJourneyTest : public JourneyTestBase, public ::testing::WithParamInterface<FindWalk> {
protected:
    FindAndReplaceController* openPanel(EditorWindowController* editor)
    {
        EXPECT_TRUE(chooseMenuItem(editor->window(), "startFindAndReplace:"));
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && window->windowTitle().startsWith("Find and Replace"))
                return dynamic_cast<FindAndReplaceController*>(
                    WindowController::controllerForWindow(window));
        }
        return nullptr;
    }

    static QString shownName(EditorWindowController* editor)
    {
        const std::shared_ptr<RecordData> record = editor->engine().currentRecord();
        return record ? record->fields().value("F0").stringValue() : QStringLiteral("none");
    }

    // The found text selected in its cell, as with Shift+End from the caret the hit leaves.
    void selectFoundText(EditorWindowController* editor, FindAndReplaceController* panel)
    {
        FieldCellEditor* cell = editor->tableController()->currentTableView()->cellEditor();
        ASSERT_TRUE(cell);
        activate(editor->window());
        QTest::keyClick(cell, Qt::Key_End, Qt::ShiftModifier);
        activate(panel->window());
        ASSERT_EQ(editor->tableController()->currentTableView()->cellEditor(), cell);
    }
};

} // namespace

TEST_P(FindWalkJourneyTest, EachSearchGoesOnFromTheLastHit)
{
    const FindWalk& walk = GetParam();
    const QString path = m_dir.filePath("walk.nv3");
    writeRecords(path, {"Name", "City"}, walk.records, PlistDictionary{{"Mode", walk.mode}});
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    for (int step = 0; step < walk.startRecord; ++step)
        ASSERT_TRUE(chooseMenuItem(editor->window(), "goToNextRecord:"));

    FindAndReplaceController* panel = nullptr;
    if (walk.scope == AllFields) {
        FindBoxView* box = editor->editorSearchController().searchField();
        QTest::mouseClick(box->viewport(), Qt::LeftButton);
        QTest::keyClicks(box, walk.findText);
    } else {
        panel = openPanel(editor);
        ASSERT_TRUE(panel);
        activate(panel->window());
        const int item = FirstFieldItem + int(walk.scope);
        panel->searchIn()->selectItemAtIndex(item);
        panel->selectField(item);
        ASSERT_EQ(panel->fieldsToSearchIn(), walk.scope);
        panel->findWhatView()->setFocus();
        QTest::keyClicks(panel->findWhatView(), walk.findText);
    }

    QStringList walked;
    for (qsizetype search = 0; search < walk.walk.size(); ++search) {
        if (panel) {
            QTest::mouseClick(panel->findNextButton(), Qt::LeftButton);
        } else {
            const Qt::KeyboardModifiers back = walk.forward ? Qt::NoModifier : Qt::ShiftModifier;
            QTest::keyClick(editor->window(), Qt::Key_G, Qt::ControlModifier | back);
        }
        walked << shownName(editor);
        if (walk.selectHit)
            selectFoundText(editor, panel);
    }
    EXPECT_EQ(walked, walk.walk);
    EXPECT_EQ(editor->engine().selectedRecordCount(), walk.recordsLeft);
}

// Wren and Tit are both in both fields of the first record.
const QList<QStringList> BirdRecords{
    {"Wren Tit", "Tit Wren", ""}, {"Wren", "Tit", ""}, {"Cy", "Boston", ""}};
// The text of the first record holds "wren" too, out of the field's scope.
const QList<QStringList> FieldRecords{
    {"Wren", "Boston", "wren"}, {"Cy", "Wrenham", ""}, {"Jenny Wren", "", ""}};

INSTANTIATE_TEST_SUITE_P(
    Walks, FindWalkJourneyTest,
    ::testing::Values(
        FindWalk{"SeveralKeysForwardBasic", "Basic", BirdRecords, 0, "wren&&tit", AllFields, true,
                 false, {"Wren Tit", "Wren", "Wren Tit"}, 3},
        FindWalk{"SeveralKeysForwardList", "List", BirdRecords, 0, "wren&&tit", AllFields, true,
                 false, {"Wren Tit", "Wren", "Wren Tit"}, 3},
        FindWalk{"SelectedFieldHitBasic", "Basic", FieldRecords, 0, "wren", 0, true, true,
                 {"Wren", "Jenny Wren", "Wren"}, 3},
        FindWalk{"SelectedFieldHitList", "List", FieldRecords, 0, "wren", 0, true, true,
                 {"Wren", "Jenny Wren", "Wren"}, 3},
        // Reverse from an empty record: it goes when the hit is in the first pass or in
        // the first record the second pass examines, and stays when the hit lies further on.
        FindWalk{"ReverseFromEmptyHitInFirstPass", "Basic",
                 {{"Wren", "", ""}, {"", "", ""}, {"Bo", "", ""}}, 1, "wren", AllFields, false,
                 false, {"Wren"}, 2},
        FindWalk{"ReverseFromEmptyHitInLastRecord", "Basic",
                 {{"Ann", "", ""}, {"", "", ""}, {"Wren", "", ""}}, 1, "wren", AllFields, false,
                 false, {"Wren"}, 2},
        FindWalk{"ReverseFromEmptyHitBeforeTheLastRecord", "Basic",
                 {{"Ann", "", ""}, {"", "", ""}, {"Wren", "", ""}, {"Bo", "", ""}}, 1, "wren",
                 AllFields, false, false, {"Wren", "Wren"}, 4}),
    [](const ::testing::TestParamInfo<FindWalk>& info) { return std::string(info.param.name); });
