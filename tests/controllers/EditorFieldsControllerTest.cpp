// The editor window's field definitions over real windows: the Modify Fields sheet's
// OK and Cancel, the values of deleted fields, the fields other commands add, and the
// field pane opened for them.
#include "EditorFieldsController.h"
#include "RecordDataTesting.h"

#include "EditorTableController.h"
#include "EditorTestBase.h"
#include "ListViewModel.h"
#include "ModifyFieldsSheetController.h"
#include "NotificationCenter.h"

#include <QItemSelectionModel>
#include <QSplitter>
#include <QTableView>

// Failures name the strings, not their bytes.
static void PrintTo(const QString& string, std::ostream* stream)
{
    *stream << '"' << string.toStdString() << '"';
}

namespace {

class EditorFieldsControllerTest : public EditorTestBase {
protected:
    void SetUp() override
    {
        EditorTestBase::SetUp();
        m_formatObserver = NotificationCenter::defaultCenter().addObserver(
            DatafileDocument::DatafileFieldFormatChangedNotification, nullptr,
            [this](const Notification&) { ++m_formatChanges; });
    }

    // Fields "Name" (N), "City" (C), "Zip" (Z); three records filling all three, a
    // fourth, omitted, with a city only. Every record stamped long ago.
    EditorWindowController* openPeople(const QString& mode = "Basic")
    {
        auto document = std::make_unique<DatafileDocument>();
        DatafileSettingsData& settings = *document->datafileSettings();
        settings.setFields(PlistArray{definition("N", "Name"), definition("C", "City"),
                                      definition("Z", "Zip")});
        settings.setMode(mode);
        settings.setAutoAddContentFieldID("Z");
        const QList<PlistDictionary> values{{{"N", "Ann"}, {"C", "Bonn"}, {"Z", "53111"}},
                                            {{"N", "Bob"}, {"C", "Kiel"}, {"Z", "24103"}},
                                            {{"N", "Cy"}, {"C", "Ulm"}, {"Z", "89073"}},
                                            {{"C", "Jena"}}};
        for (const PlistDictionary& fields : values) {
            auto record = std::make_shared<RecordData>();
            record->setFields(fields, RecordDataTesting::key());
            record->setModifiedDate(PlistDate{1000});
            document->datafileRecords()->setRecord(record, record->identifier());
            document->datafileCatalog()->insertIdentifierAtEnd(record->identifier());
            m_records.append(record);
        }
        document->datafileCatalog()->omitIdentifier(m_records.back()->identifier(), true);
        m_document = show(std::move(document));
        EditorWindowController* editor = editorOf(m_document);
        m_formatChanges = 0;
        return editor;
    }

    static PlistDictionary definition(const QString& identifier, const QString& name)
    {
        return PlistDictionary{{"Identifier", identifier}, {"Name", name}, {"Width", 150.0}};
    }

    static QStringList fieldNames(EditorWindowController* editor)
    {
        return editor->engine().fieldNames();
    }

    static ModifyFieldsSheetController* openSheet(EditorWindowController* editor)
    {
        editor->fieldsController().modifyFields();
        auto* sheet = VKSheetController::topmostController<ModifyFieldsSheetController>();
        EXPECT_TRUE(sheet);
        return sheet;
    }

    static void selectRows(ModifyFieldsSheetController* sheet, const QList<int>& rows)
    {
        QItemSelection selection;
        for (int row : rows)
            selection.select(sheet->fieldTableView()->model()->index(row, 0),
                             sheet->fieldTableView()->model()->index(row, 1));
        sheet->fieldTableView()->selectionModel()->select(selection,
                                                          QItemSelectionModel::ClearAndSelect);
    }

    // Deletes the rows, answering the question with Delete.
    void deleteRows(ModifyFieldsSheetController* sheet, const QList<int>& rows)
    {
        selectRows(sheet, rows);
        m_presenter.answerAlertWithButton("Delete");
        sheet->deleteField();
    }

    QList<std::shared_ptr<RecordData>> m_records;
    DatafileDocument* m_document = nullptr;
    NotificationObserver m_formatObserver;
    int m_formatChanges = 0;
};

} // namespace

TEST(EditorFieldsSplitTest, OpenedSplit_HalvesWhatACollapsedPaneLeaves)
{
    using Heights = EditorFieldsController::SplitHeights;
    for (double top : {0.0, 5.0, 12.0}) {
        EXPECT_EQ(EditorFieldsController::openedSplit(400, 9, top), Heights({183.5f, 195.5f}))
            << top;
    }
    EXPECT_FALSE(EditorFieldsController::openedSplit(400, 9, 13));
    // Odd heights: the half of the single-precision remainder.
    EXPECT_EQ(EditorFieldsController::openedSplit(301, 1, 0), Heights({138.0f, 150.0f}));
}

TEST_F(EditorFieldsControllerTest, DeleteThenOk_ValuesLeaveEveryRecordUnstampedAndTablesRebuildOnce)
{
    EditorWindowController* editor = openPeople("List");
    ModifyFieldsSheetController* sheet = openSheet(editor);
    ASSERT_TRUE(sheet);
    deleteRows(sheet, {2});
    EXPECT_TRUE(editor->fieldsController().fieldsDeleted());
    EXPECT_EQ(fieldNames(editor), QStringList({"Name", "City", "Zip"})) << "not before OK";
    sheet->okay();

    EXPECT_EQ(fieldNames(editor), QStringList({"Name", "City"}));
    EXPECT_FALSE(editor->fieldsController().fieldsDeleted());
    for (const std::shared_ptr<RecordData>& record : m_records) {
        EXPECT_FALSE(record->fields().contains("Z"));
        EXPECT_EQ(record->modifiedDate().secondsSinceReferenceDate, 1000) << "unstamped";
    }
    EXPECT_EQ(m_records.front()->fields().value("N"), PlistValue("Ann"));
    EXPECT_EQ(m_records.back()->fields().value("C"), PlistValue("Jena")) << "omitted ones too";
    // New records would otherwise be numbered into a field that is gone.
    EXPECT_EQ(editor->settings()->autoAddContentFieldID(), "");
    EXPECT_EQ(m_formatChanges, 1);
    EXPECT_EQ(editor->tableController()->listViewModel()->columnCount(), 3) << "two fields, text";
    EXPECT_TRUE(m_document->isDocumentEdited());
}

TEST_F(EditorFieldsControllerTest, AutoContentField_ClearedWhenGoneEvenWithoutValues)
{
    EditorWindowController* editor = openPeople();
    // No record holds a zip code any more; the automatic content still names its field.
    for (const std::shared_ptr<RecordData>& record : m_records)
        PlistDictionary(record->fields()).remove("Z");
    editor->settings()->setFields(PlistArray{definition("N", "Name"), definition("C", "City")});
    EXPECT_FALSE(editor->engine().removeValuesOfUndefinedFields());
    EXPECT_EQ(editor->settings()->autoAddContentFieldID(), "");

    editor->settings()->setAutoAddContentFieldID("N");
    editor->settings()->setFields(PlistArray{definition("N", "Name")});
    EXPECT_TRUE(editor->engine().removeValuesOfUndefinedFields()) << "the cities went";
    EXPECT_EQ(editor->settings()->autoAddContentFieldID(), "N");
}

TEST_F(EditorFieldsControllerTest, RenameShowAndInsert_ReachTheDatafileOnlyOnOk)
{
    EditorWindowController* editor = openPeople();
    ModifyFieldsSheetController* sheet = openSheet(editor);
    ASSERT_TRUE(sheet);
    QAbstractItemModel* table = sheet->fieldTableView()->model();
    table->setData(table->index(0, 0), "Full Name", Qt::EditRole);
    table->setData(table->index(1, 1), Qt::Unchecked, Qt::CheckStateRole);
    sheet->fieldTableView()->selectionModel()->clearSelection();
    sheet->insertField();
    deleteRows(sheet, {3});
    EXPECT_EQ(fieldNames(editor), QStringList({"Name", "City", "Zip"}));
    EXPECT_FALSE(editor->settings()->fields().at(1).asDictionary()->contains("Show"));

    // Cancel: nothing stored, the deletion forgotten, the values kept.
    sheet->cancel();
    EXPECT_EQ(fieldNames(editor), QStringList({"Name", "City", "Zip"}));
    EXPECT_FALSE(editor->fieldsController().fieldsDeleted());
    EXPECT_EQ(m_records.front()->fields().value("Z"), PlistValue("53111"));
    EXPECT_EQ(m_formatChanges, 0);

    sheet = openSheet(editor);
    EXPECT_EQ(sheet->fields().size(), 3) << "opens on the datafile's list again";
    table->setData(table->index(0, 0), "Full Name", Qt::EditRole);
    table->setData(table->index(1, 1), Qt::Unchecked, Qt::CheckStateRole);
    sheet->fieldTableView()->selectionModel()->clearSelection();
    sheet->insertField();
    sheet->okay();
    EXPECT_EQ(fieldNames(editor), QStringList({"New Field", "Full Name", "City", "Zip"}));
    EXPECT_EQ(editor->settings()->fields().at(2).asDictionary()->value("Show"), PlistValue(false));
    EXPECT_EQ(m_records.front()->fields().value("Z"), PlistValue("53111"));
    EXPECT_EQ(m_formatChanges, 1);
}

TEST_F(EditorFieldsControllerTest, EveryFieldDeletedInBasicView_SwitchesToListView)
{
    EditorWindowController* editor = openPeople("Basic");
    ModifyFieldsSheetController* sheet = openSheet(editor);
    ASSERT_TRUE(sheet);
    deleteRows(sheet, {0, 1, 2});
    EXPECT_FALSE(sheet->highlightEmptyFIeldsButton()->isEnabled());
    sheet->okay();
    EXPECT_TRUE(editor->settings()->fields().isEmpty());
    EXPECT_EQ(editor->settings()->mode(), "List");
    EXPECT_EQ(editor->tableController()->currentTableViewName(), "List");
    for (const std::shared_ptr<RecordData>& record : m_records)
        EXPECT_TRUE(record->fields().isEmpty());
}

TEST_F(EditorFieldsControllerTest, AddedFields_FirstOrAtFiveHundred)
{
    EditorWindowController* editor = openPeople();
    EditorFieldsController& fields = editor->fieldsController();
    const QString last = fields.appendNewFieldWithName("Phone");
    const QString first = fields.addNewFieldWithName("Title");
    EXPECT_EQ(fieldNames(editor), QStringList({"Title", "Name", "City", "Zip", "Phone"}));
    EXPECT_EQ(editor->settings()->fields().at(0).asDictionary()->value("Identifier"),
              PlistValue(first));
    EXPECT_EQ(editor->settings()->fields().at(4).asDictionary()->value("Identifier"),
              PlistValue(last));
    EXPECT_EQ(m_formatChanges, 0) << "the callers post the change";

    PlistArray many;
    for (int i = 0; i < 600; ++i)
        many.append(definition(QString::number(i), QString::number(i)));
    editor->settings()->setFields(many);
    fields.appendNewFieldWithName("Email");
    EXPECT_EQ(editor->engine().fieldNames().at(500), "Email");
    EXPECT_EQ(editor->engine().fieldNames().size(), 601);
}

TEST_F(EditorFieldsControllerTest, ResetSpliterView_OpensACollapsedFieldPaneOnly)
{
    EditorWindowController* editor = openPeople();
    QSplitter* splitter = editor->splitterView();
    ASSERT_TRUE(splitter);
    splitter->setSizes({0, splitter->height()});
    ASSERT_LE(splitter->sizes().at(0), 12);
    editor->fieldsController().resetSpliterView();
    const auto expected = EditorFieldsController::openedSplit(splitter->height(),
                                                              splitter->handleWidth(), 0);
    ASSERT_TRUE(expected);
    EXPECT_NEAR(splitter->sizes().at(0), expected->top, 1);
    EXPECT_FLOAT_EQ(editor->settings()->basicSplitHeight(), expected->top);

    splitter->setSizes({80, splitter->height() - 80});
    const QList<int> open = splitter->sizes();
    editor->fieldsController().resetSpliterView();
    EXPECT_EQ(splitter->sizes(), open);
}

TEST_F(EditorFieldsControllerTest, Highlight_SelectsTheFieldsNoSelectedRecordFills)
{
    EditorWindowController* editor = openPeople();
    // Only the omitted record has no name; none of the shown ones has a zip code.
    for (const std::shared_ptr<RecordData>& record : m_records)
        PlistDictionary(record->fields()).insert("Z", "");
    ModifyFieldsSheetController* sheet = openSheet(editor);
    ASSERT_TRUE(sheet);
    sheet->highlightEmptyFIelds();
    QList<int> rows;
    for (const QModelIndex& index : sheet->fieldTableView()->selectionModel()->selectedRows())
        rows.append(index.row());
    EXPECT_EQ(rows, QList<int>({2}));
    sheet->cancel();
}
