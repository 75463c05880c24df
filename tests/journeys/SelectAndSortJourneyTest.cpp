// A user's journeys through Records ▸ Select Records, Select from Omitted Records and
// Sort in the program as main() runs it: the sheets' controls, OK, and the file saved.
#include "JourneyTestBase.h"

#include "EditorTableController.h"
#include "FreeformTextView.h"
#include "ListViewModel.h"
#include "PopUpButton.h"
#include "SelectRecordsSheetController.h"
#include "SortFieldBasedRecordsSheetController.h"
#include "SortFreeformRecordsSheetController.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace {

class SelectAndSortJourneyTest : public JourneyTestBase {
protected:
    // The user picks the item of that code from the pop-up's menu.
    static void choose(PopUpButton* popUp, int code)
    {
        ASSERT_TRUE(popUp->isEnabled());
        QAction* item = popUp->itemWithTag(code);
        ASSERT_TRUE(item) << code;
        item->trigger();
    }

    static void typeInto(QLineEdit* field, const QString& text)
    {
        field->selectAll();
        QTest::keyClicks(field, text);
    }

    // A click on the button's box or the start of its title, where a box stretched
    // across the sheet takes it.
    static void click(QAbstractButton* button)
    {
        ASSERT_TRUE(button->isEnabled()) << button->text().toStdString();
        const QPoint where = qobject_cast<QPushButton*>(button) ? button->rect().center()
                                                                : QPoint(8, button->height() / 2);
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, where);
    }

    // The List View's rows, by the field.
    static QStringList listed(EditorWindowController* editor, const QString& field)
    {
        QStringList values;
        const ListViewModel* model = editor->tableController()->listViewModel();
        EXPECT_EQ(model->rowCount(), editor->engine().selectedRecordCount());
        for (int row = 0; row < model->rowCount(); ++row)
            values.append(editor->engine().recordAtIndex(row)->fields().value(field).stringValue());
        return values;
    }

    static PlistDictionary settingsOf(const PlistDictionary& datafile)
    {
        const PlistValue settings = datafile.value("Settings");
        return settings.asDictionary() ? *settings.asDictionary() : PlistDictionary();
    }
};

const QList<std::pair<QString, QString>> cityAndName{{"C", "City"}, {"N", "Name"}};
const QList<QStringList> people{{"Boston", "Alice"},
                                {"Boston", "Bob"},
                                {"Chicago", "Anna"},
                                {"Boston", "Adam"},
                                {"Austin", "Al"}};

} // namespace

TEST_F(SelectAndSortJourneyTest, SelectRecordsThenFromOmitted_ShownAndSavedWithTheCriteria)
{
    const QString path = writeDatafile("people.nv3", cityAndName, people);
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);

    // City Equals "Boston" And Name Begins With "A".
    ASSERT_TRUE(chooseMenuItem(editor->window(), "selectRecords:"));
    auto* sheet = VKSheetController::topmostController<SelectRecordsSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->window()->parentWidget(), editor->window());
    EXPECT_EQ(sheet->window()->windowModality(), Qt::WindowModal);
    choose(sheet->basedOnPopup(0), 0);
    choose(sheet->wherePopup(0), 1002);
    typeInto(sheet->whereField(0), "Boston");
    click(sheet->andSelect());
    choose(sheet->basedOnPopup(1), 1);
    choose(sheet->wherePopup(1), 1004);
    EXPECT_FALSE(sheet->okayButton()->isEnabled());
    typeInto(sheet->whereField(1), "A");
    click(sheet->okayButton());
    EXPECT_FALSE(sheet->window()->isVisible());
    EXPECT_EQ(listed(editor, "N"), QStringList({"Alice", "Adam"}));

    // Nothing matches: said so, the selection stays.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "selectRecords:"));
    choose(sheet->basedOnPopup(0), 1);
    choose(sheet->wherePopup(0), 1002);
    typeInto(sheet->whereField(0), "Zed");
    click(sheet->okayButton());
    EXPECT_EQ(m_presenter.alertMessages(), QStringList({"Selection Did Not Change"}));
    EXPECT_EQ(listed(editor, "N"), QStringList({"Alice", "Adam"}));

    // From the omitted records, Name Begins With "B": Bob joins in his place.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "selectFromOmitted:"));
    EXPECT_EQ(sheet->basedOnPopup(0)->selectedTag(), 1000) << "opens reset";
    choose(sheet->basedOnPopup(0), 1);
    choose(sheet->wherePopup(0), 1004);
    typeInto(sheet->whereField(0), "B");
    click(sheet->okayButton());
    EXPECT_EQ(listed(editor, "N"), QStringList({"Alice", "Bob", "Adam"}));

    // A selection alone leaves the datafile unchanged; an edit has it saved with the rest.
    EXPECT_FALSE(editor->window()->isWindowModified());
    editor->freeformTextView()->setFocus();
    QTest::keyClicks(editor->freeformTextView(), "x");
    QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
    const PlistDictionary saved = readDatafile(path);
    const PlistValue criteriaValue = settingsOf(saved).value("Criteria");
    const PlistDictionary* criteria = criteriaValue.asDictionary();
    ASSERT_TRUE(criteria);
    EXPECT_EQ(criteria->value("SubsetSelectAll"), PlistValue(false));
    EXPECT_EQ(criteria->value("SubsetBasedOnIdentifiier1"), PlistValue("N"));
    EXPECT_EQ(criteria->value("SubsetWhereField1"), PlistValue("B"));
    EXPECT_EQ(criteria->value("SubsetWherePopup1"), PlistValue(1004));
    QStringList selected;
    const PlistValue catalog = saved.value("Catalog");
    ASSERT_TRUE(catalog.asArray());
    for (const PlistValue& entry : *catalog.asArray())
        selected.append(entry.asDictionary()->value("CurrentlySelected").boolValue() ? "Y" : "n");
    EXPECT_EQ(selected, QStringList({"Y", "Y", "n", "Y", "n"}));
}

TEST_F(SelectAndSortJourneyTest, SortByNumbersReversedKeptAsATask_ThenSortedByTheTask)
{
    const QString path = writeDatafile(
        "cities.nv3", {{"C", "City"}, {"P", "Population"}},
        {{"Austin", "961855"}, {"Boston", "675647"}, {"Chicago", "2746388"}, {"Denver", "715522"}});
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);

    ASSERT_TRUE(chooseMenuItem(editor->window(), "sortDatafile:"));
    auto* sheet = VKSheetController::topmostController<SortFieldBasedRecordsSheetController>();
    ASSERT_TRUE(sheet);
    choose(sheet->primaryPopup(), 1);
    click(sheet->asNumbers());
    click(sheet->reverseSortCheckbox());
    click(sheet->addToSortTasksCheckbox());
    typeInto(sheet->sortTaskTitle(), "Largest first");
    click(sheet->okayButton());
    EXPECT_EQ(listed(editor, "C"), QStringList({"Chicago", "Austin", "Denver", "Boston"}));
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 0);
    EXPECT_TRUE(editor->window()->isWindowModified());

    // By name, not kept.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "sortDatafile:"));
    click(sheet->okayButton());
    EXPECT_EQ(listed(editor, "C"), QStringList({"Austin", "Boston", "Chicago", "Denver"}));

    QMenu* tasks = m_assembly->mainController().menus().sortTasksMenu();
    showMenusOf(editor->window());
    ASSERT_EQ(tasks->actions().size(), 1);
    EXPECT_EQ(tasks->actions().first()->text(), "Largest first");
    tasks->actions().first()->trigger();
    EXPECT_EQ(listed(editor, "C"), QStringList({"Chicago", "Austin", "Denver", "Boston"}));

    QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
    const PlistValue taskList = settingsOf(readDatafile(path)).value("SortTaskDict");
    ASSERT_TRUE(taskList.asDictionary());
    EXPECT_EQ(taskList.asDictionary()->keys(), QStringList({"Largest first"}));
    const PlistValue task = taskList.asDictionary()->value("Largest first");
    EXPECT_EQ(task.asDictionary()->value("SortCompareSelector"), PlistValue(2));
    EXPECT_EQ(task.asDictionary()->value("VKSortDescending"), PlistValue(true));
}

TEST_F(SelectAndSortJourneyTest, FreeformSortByNameSkippingTitles_AndTheTitleListEdited)
{
    const QString path = writeDatafile("letters.nv3", {},
                                       {{"Dr. Zoe Adams\n1 Main St"},
                                        {"Mr. Carl Young Jr.\n2 Elm St"},
                                        {"Mary Baker, PhD\n3 Oak St"}});
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);

    ASSERT_TRUE(chooseMenuItem(editor->window(), "sortDatafile:"));
    auto* sheet = VKSheetController::topmostController<SortFreeformRecordsSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_FALSE(VKSheetController::topmostController<SortFieldBasedRecordsSheetController>());
    // Opening wrote the default titles for every datafile to share.
    EXPECT_EQ(m_defaults.stringArrayForKey("SortTitleList")->size(), 25);
    // The user adds a title of their own at the top.
    click(sheet->insertTitleButton());
    EXPECT_EQ(m_defaults.stringArrayForKey("SortTitleList")->first(), "New Title");
    EXPECT_EQ(sheet->sortTabView()->currentWidget(), sheet->tabWithIdentifier("Name"));
    EXPECT_TRUE(sheet->nameOnLineNumberRadio()->isChecked());
    click(sheet->okayButton());

    QStringList firstLines;
    for (qint64 i = 0; i < editor->engine().selectedRecordCount(); ++i)
        firstLines.append(editor->engine().recordAtIndex(i)->textString().section('\n', 0, 0));
    // By last name, then first name: Adams, Baker, Young.
    EXPECT_EQ(firstLines, QStringList({"Dr. Zoe Adams", "Mary Baker, PhD", "Mr. Carl Young Jr."}));
}

TEST_F(SelectAndSortJourneyTest, OmitShowOmittedAndRevert_ChangeWhichRecordsAreShown)
{
    EditorWindowController* editor = openWithCommand(writeDatafile("people.nv3", cityAndName, people));
    ASSERT_TRUE(editor);
    // Nothing omitted: Show Omitted Records beeps.
    EXPECT_FALSE(chooseMenuItem(editor->window(), "switchToOmitted:"));
    editor->performAction("switchToOmitted:");
    EXPECT_EQ(m_presenter.beepCount(), 1);
    EXPECT_EQ(editor->engine().selectedRecordCount(), 5);

    // Omit Bob: Chicago's Anna takes his place.
    QTest::keyClick(editor->window(), Qt::Key_Apostrophe, Qt::ControlModifier);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "deselectCurrentRecord:"));
    EXPECT_EQ(listed(editor, "N"), QStringList({"Alice", "Anna", "Adam", "Al"}));
    EXPECT_EQ(editor->engine().currentRecord()->fields().value("N").stringValue(), "Anna");

    ASSERT_TRUE(chooseMenuItem(editor->window(), "switchToOmitted:"));
    EXPECT_EQ(listed(editor, "N"), QStringList({"Bob"}));
    // The only record shown cannot be omitted.
    EXPECT_FALSE(chooseMenuItem(editor->window(), "deselectCurrentRecord:"));
    editor->performAction("deselectCurrentRecord:");
    EXPECT_EQ(m_presenter.beepCount(), 2);
    EXPECT_EQ(listed(editor, "N"), QStringList({"Bob"}));

    // Omitting and showing the omitted records are no selection steps: reverting goes back
    // to the records shown before the last one, all of them.
    // What was typed into Bob's text stays as he stays shown.
    editor->freeformTextView()->setFocus();
    QTest::keyClicks(editor->freeformTextView(), "typed");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "revertToPreviousSelection:"));
    EXPECT_EQ(listed(editor, "N"), QStringList({"Alice", "Bob", "Anna", "Adam", "Al"}));
    EXPECT_EQ(editor->engine().currentRecord()->fields().value("N").stringValue(), "Bob");
    EXPECT_EQ(editor->freeformTextView()->plainText(), "typed");
    EXPECT_EQ(editor->engine().currentRecord()->textString(), "typed");
    editor->window()->grab().save(qEnvironmentVariable("NORVA_SHOTS", m_dir.path()) + "/omitted.png");
}

TEST_F(SelectAndSortJourneyTest, CancelledSelectAndSortSheets_ChangeNothingAndOpenReset)
{
    const QString path = writeDatafile("people.nv3", cityAndName, people);
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);

    ASSERT_TRUE(chooseMenuItem(editor->window(), "selectRecords:"));
    auto* select = VKSheetController::topmostController<SelectRecordsSheetController>();
    ASSERT_TRUE(select);
    choose(select->basedOnPopup(0), 0);
    typeInto(select->whereField(0), "Boston");
    QTest::mouseClick(select->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(editor->engine().selectedRecordCount(), 5);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "selectRecords:"));
    EXPECT_EQ(select->basedOnPopup(0)->selectedTag(), 1000);
    EXPECT_TRUE(select->whereField(0)->text().isEmpty());
    QTest::mouseClick(select->cancelButton(), Qt::LeftButton);

    ASSERT_TRUE(chooseMenuItem(editor->window(), "sortDatafile:"));
    auto* sort = VKSheetController::topmostController<SortFieldBasedRecordsSheetController>();
    ASSERT_TRUE(sort);
    choose(sort->primaryPopup(), 1);
    click(sort->addToSortTasksCheckbox());
    typeInto(sort->sortTaskTitle(), "By name");
    QTest::mouseClick(sort->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(listed(editor, "N"), QStringList({"Alice", "Bob", "Anna", "Adam", "Al"}));
    EXPECT_FALSE(editor->settings()->sortTasksList().has_value());
    EXPECT_FALSE(editor->window()->isWindowModified());
    ASSERT_TRUE(chooseMenuItem(editor->window(), "sortDatafile:"));
    EXPECT_TRUE(sort->sortTaskTitle()->text().isEmpty());
    EXPECT_FALSE(sort->addToSortTasksCheckbox()->isChecked());
    QTest::mouseClick(sort->cancelButton(), Qt::LeftButton);
}
