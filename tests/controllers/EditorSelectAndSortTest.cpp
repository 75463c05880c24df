// Select Records, Select from Omitted Records and the Sort sheets, from the editor's
// commands through the sheets' OK to the records shown.
#include "EditorTestBase.h"
#include "RecordDataTesting.h"

#include "EditorSelectionController.h"
#include "EditorSortController.h"
#include "PopUpButton.h"
#include "SelectRecordsSheetController.h"
#include "SortFieldBasedRecordsSheetController.h"
#include "SortFreeformRecordsSheetController.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace {

class EditorSelectAndSortTest : public EditorTestBase {
protected:
    void TearDown() override
    {
        // A sheet left up goes with its window; none is left up for the next test.
        for (VKSheetController* sheet :
             {static_cast<VKSheetController*>(
                  VKSheetController::topmostController<SelectRecordsSheetController>()),
              static_cast<VKSheetController*>(
                  VKSheetController::topmostController<SortFieldBasedRecordsSheetController>()),
              static_cast<VKSheetController*>(
                  VKSheetController::topmostController<SortFreeformRecordsSheetController>())})
            if (sheet)
                sheet->cancel();
        EditorTestBase::TearDown();
    }

    // Fields "City" and "Name" ("Population" too when asked), one record per row.
    EditorWindowController* openPeople(const QList<QStringList>& rows, bool population = false)
    {
        auto document = std::make_unique<DatafileDocument>();
        PlistArray fields{
            PlistDictionary{{"Identifier", "C"}, {"Name", "City"}, {"Show", true}},
            PlistDictionary{{"Identifier", "N"}, {"Name", "Name"}, {"Show", true}},
            PlistDictionary{{"Identifier", "P"}, {"Name", "Population"}, {"Show", true}}};
        if (!population)
            fields.removeAt(2);
        document->datafileSettings()->setFields(fields);
        for (const QStringList& row : rows) {
            auto record = std::make_shared<RecordData>();
            PlistDictionary values{{"C", row.value(0)}, {"N", row.value(1)}};
            if (population)
                values.insert("P", row.value(2));
            record->setFields(values, RecordDataTesting::key());
            addRecord(*document, record);
        }
        m_document = show(std::move(document));
        return editorOf(m_document);
    }

    // A datafile without fields whose records hold these texts.
    EditorWindowController* openTexts(const QStringList& texts)
    {
        auto document = std::make_unique<DatafileDocument>();
        for (const QString& text : texts) {
            auto record = std::make_shared<RecordData>();
            record->setTextString(text, RecordDataTesting::key());
            addRecord(*document, record);
        }
        m_document = show(std::move(document));
        return editorOf(m_document);
    }

    static void addRecord(DatafileDocument& document, const std::shared_ptr<RecordData>& record)
    {
        document.datafileRecords()->setRecord(record, record->identifier());
        document.datafileCatalog()->insertIdentifierAtEnd(record->identifier());
        document.datafileCatalog()->rebuildSelectedIdentifiers();
    }

    // The shown records by a field, or by their text.
    static QStringList shown(EditorWindowController* editor, const QString& field = "N")
    {
        QStringList values;
        for (qint64 i = 0; i < editor->engine().selectedRecordCount(); ++i) {
            const auto record = editor->engine().recordAtIndex(i);
            values.append(field.isEmpty() ? record->textString()
                                          : record->fields().value(field).stringValue());
        }
        return values;
    }

    static void choose(PopUpButton* popUp, int code)
    {
        QAction* item = popUp->itemWithTag(code);
        ASSERT_TRUE(item) << code;
        item->trigger();
    }

    // Select Records (or from the omitted ones) with one row, or two joined by And.
    SelectRecordsSheetController* openSelectSheet(EditorWindowController* editor, bool fromOmitted)
    {
        editor->performAction(fromOmitted ? "selectFromOmitted:" : "selectRecords:");
        auto* sheet = VKSheetController::topmostController<SelectRecordsSheetController>();
        EXPECT_TRUE(sheet);
        return sheet;
    }

    static void fillRow(SelectRecordsSheetController* sheet, int row, int basedOn, int where,
                        const QString& value)
    {
        choose(sheet->basedOnPopup(row), basedOn);
        choose(sheet->wherePopup(row), where);
        sheet->whereField(row)->setText(value);
    }

    SortFieldBasedRecordsSheetController* openFieldSort(EditorWindowController* editor)
    {
        editor->performAction("sortDatafile:");
        auto* sheet = VKSheetController::topmostController<SortFieldBasedRecordsSheetController>();
        EXPECT_TRUE(sheet);
        return sheet;
    }

    DatafileDocument* m_document = nullptr;
};

const QList<QStringList> people{{"Boston", "Alice"},
                                {"Boston", "Bob"},
                                {"Chicago", "Anna"},
                                {"Boston", "Adam"},
                                {"Austin", "Al"}};

} // namespace

TEST_F(EditorSelectAndSortTest, Select_TwoCriteriaJoinedByAnd_ShowsThoseAndStoresTheCriteria)
{
    EditorWindowController* editor = openPeople(people);
    editor->engine().loadRecordAtIndex(2);
    SelectRecordsSheetController* sheet = openSelectSheet(editor, false);
    ASSERT_TRUE(sheet);
    fillRow(sheet, 0, 0, 1002, "boston"); // City Equals, either case
    sheet->andSelect()->click();
    fillRow(sheet, 1, 1, 1004, "A"); // Name Begins With
    sheet->okayButton()->click();

    EXPECT_EQ(shown(editor), QStringList({"Alice", "Adam"}));
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 0);
    EXPECT_EQ(editor->engine().currentRecord()->fields().value("N"), PlistValue("Alice"));
    const std::shared_ptr<SubsetSortCriteriaData> stored = editor->settings()->criteria();
    EXPECT_FALSE(stored->selectAllRecords());
    EXPECT_TRUE(stored->andSelect());
    EXPECT_EQ(stored->basedOnIdentifier1(), "C");
    EXPECT_EQ(stored->whereField2(), "A");
    // The sheet is reset for the next use without touching what the catalog selected by.
    EXPECT_TRUE(sheet->whereField(0)->text().isEmpty());
    const auto used =
        std::dynamic_pointer_cast<SubsetSortCriteriaData>(editor->engine().catalog()->criteria());
    ASSERT_TRUE(used);
    EXPECT_TRUE(used->andSelect());
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

TEST_F(EditorSelectAndSortTest, Select_MatchingNothing_SaysSoAndKeepsTheSelection_FromOmittedAdds)
{
    EditorWindowController* editor = openPeople(people);
    SelectRecordsSheetController* sheet = openSelectSheet(editor, false);
    fillRow(sheet, 0, 0, 1000, "Boston");
    sheet->okayButton()->click();
    ASSERT_EQ(shown(editor), QStringList({"Alice", "Bob", "Adam"}));

    sheet = openSelectSheet(editor, false);
    fillRow(sheet, 0, 0, 1002, "Paris");
    sheet->okayButton()->click();
    EXPECT_EQ(m_presenter.alertMessages(), QStringList({"Selection Did Not Change"}));
    EXPECT_EQ(shown(editor), QStringList({"Alice", "Bob", "Adam"}));

    // From the omitted records: those matching join the shown ones, in catalog order.
    sheet = openSelectSheet(editor, true);
    fillRow(sheet, 0, 1, 1004, "A");
    sheet->okayButton()->click();
    EXPECT_EQ(shown(editor), QStringList({"Alice", "Bob", "Anna", "Adam", "Al"}));

    // Cancel changes nothing, and the next sheet opens reset.
    editor->engine().catalog()->selectAll();
    sheet = openSelectSheet(editor, false);
    fillRow(sheet, 0, 1, 1002, "Bob");
    sheet->cancelButton()->click();
    EXPECT_EQ(shown(editor).size(), 5);
    sheet = openSelectSheet(editor, false);
    EXPECT_EQ(sheet->basedOnPopup(0)->selectedTag(), 1000);
    EXPECT_TRUE(sheet->whereField(0)->text().isEmpty());
}

TEST_F(EditorSelectAndSortTest, FieldSort_DescendingNumbers_FirstRecordShownAndDatafileChanged)
{
    EditorWindowController* editor = openPeople({{"A", "a", "900"},
                                                 {"B", "b", "80"},
                                                 {"C", "c", "1000"},
                                                 {"D", "d", ""},
                                                 {"E", "e", "95.5"}},
                                                true);
    editor->engine().loadRecordAtIndex(3);
    ASSERT_FALSE(m_document->isDocumentEdited());
    SortFieldBasedRecordsSheetController* sheet = openFieldSort(editor);
    ASSERT_TRUE(sheet);
    choose(sheet->primaryPopup(), 2);
    sheet->asNumbers()->click();
    sheet->reverseSortCheckbox()->click();
    sheet->okayButton()->click();

    EXPECT_EQ(shown(editor, "P"), QStringList({"1000", "900", "95.5", "80", ""}));
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 0);
    EXPECT_TRUE(m_document->isDocumentEdited());
    EXPECT_FALSE(editor->settings()->sortTasksList());
    EXPECT_TRUE(sheet->asCaseInsensitiveText()->isChecked()) << "reset after OK";
}

TEST_F(EditorSelectAndSortTest, SortTasks_OnlyATitledSortIsKept_InTheSettingsAndTheMenu)
{
    EditorWindowController* editor = openPeople(people);
    QMenu menu;
    editor->sortController().setupSortTasksMenu(&menu);

    // The box on without a title keeps nothing.
    SortFieldBasedRecordsSheetController* sheet = openFieldSort(editor);
    sheet->addToSortTasksCheckbox()->click();
    sheet->okayButton()->click();
    EXPECT_FALSE(editor->settings()->sortTasksList());

    sheet = openFieldSort(editor);
    choose(sheet->primaryPopup(), 1);
    sheet->addToSortTasksCheckbox()->click();
    sheet->sortTaskTitle()->setText("By name");
    sheet->okayButton()->click();
    EXPECT_EQ(shown(editor), QStringList({"Adam", "Al", "Alice", "Anna", "Bob"}));

    sheet = openFieldSort(editor);
    sheet->reverseSortCheckbox()->click();
    sheet->okayButton()->click();
    EXPECT_EQ(shown(editor, "C").first(), "Chicago");

    const std::optional<PlistDictionary> tasks = editor->settings()->sortTasksList();
    ASSERT_TRUE(tasks);
    EXPECT_EQ(tasks->keys(), QStringList({"By name"}));
    const PlistValue stored = tasks->value("By name");
    const PlistDictionary* task = stored.asDictionary();
    ASSERT_TRUE(task);
    EXPECT_EQ(task->value("SortPrimaryFieldIdentifier"), PlistValue("N"));
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_EQ(menu.actions().first()->text(), "By name");

    // The kept task sorts as it did.
    menu.actions().first()->trigger();
    EXPECT_EQ(shown(editor), QStringList({"Adam", "Al", "Alice", "Anna", "Bob"}));

    // A task of the same title is replaced; the stored copy is not the catalog's criteria.
    const auto inCatalog = editor->engine().catalog()->criteria();
    editor->sortController().addCriteria(inCatalog, "By name");
    inCatalog->setDescending(true);
    const PlistDictionary replaced = *editor->settings()->sortTasksList();
    EXPECT_EQ(replaced.keys().size(), 1);
    const PlistValue copy = replaced.value("By name");
    ASSERT_TRUE(copy.asDictionary());
    EXPECT_FALSE(copy.asDictionary()->value("VKSortDescending").boolValue());
}

TEST_F(EditorSelectAndSortTest, FreeformSort_WordOfTheAddressBlock_ReadThroughTheDocument)
{
    EditorWindowController* editor = openTexts({"zz first\nignored\nMary Brown Jones\nCity",
                                                "aa\nx\nPeter Able Cook", "mm\ny\nSue Crane Doe"});
    // The address block begins on the third line.
    editor->settings()->setAddressStartsAtLineNumber(true);
    editor->settings()->setAddressBlockStartingLine(3);
    editor->performAction("sortDatafile:");
    auto* sheet = VKSheetController::topmostController<SortFreeformRecordsSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_FALSE(VKSheetController::topmostController<SortFieldBasedRecordsSheetController>());
    sheet->sortTabView()->setCurrentWidget(sheet->tabWithIdentifier("Word"));
    sheet->lineFromTopOfAddressRadio()->click();
    sheet->wordNumberField()->setText("2");
    sheet->okayButton()->click();

    QStringList secondWords;
    for (const QString& text : shown(editor, QString()))
        secondWords.append(text.section('\n', 2, 2).section(' ', 1, 1));
    EXPECT_EQ(secondWords, QStringList({"Able", "Brown", "Crane"}));
    EXPECT_EQ(editor->engine().catalog()->document(), m_document);
    EXPECT_TRUE(m_document->isDocumentEdited());

    // The last word of the record's last line, whatever the word field says.
    editor->performAction("sortDatafile:");
    sheet->sortTabView()->setCurrentWidget(sheet->tabWithIdentifier("Word"));
    sheet->lineFromBottomOfRecordRadio()->click();
    sheet->byLastWordRadio()->click();
    sheet->okayButton()->click();
    EXPECT_EQ(shown(editor, QString()).first(), "zz first\nignored\nMary Brown Jones\nCity");
}

TEST_F(EditorSelectAndSortTest, Commands_NothingWhileSyncing)
{
    EditorWindowController* editor = openPeople(people);
    editor->setNowSyncing(true);
    for (const char* command :
         {"selectRecords:", "selectFromOmitted:", "selectRecordsFrom:", "sortDatafile:"})
        editor->performAction(command);
    EXPECT_FALSE(VKSheetController::topmostController<SelectRecordsSheetController>());
    EXPECT_FALSE(VKSheetController::topmostController<SortFieldBasedRecordsSheetController>());
    editor->setNowSyncing(false);
}
