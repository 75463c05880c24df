// The Modify Fields and New Datafile sheets driven through their controls, offscreen.
#include "ModifyFieldsSheetController.h"

#include "DocumentFixture.h"
#include "FieldDefinitionsTableModel.h"
#include "NewDatafileSheetController.h"

#include <QButtonGroup>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

// Failures name the strings, not their bytes.
static void PrintTo(const QString& string, std::ostream* stream)
{
    *stream << '"' << string.toStdString() << '"';
}

namespace {

// The editor as the sheet sees it.
class FakeEditor : public ModifyFieldsEditor {
public:
    QList<qint64> emptyFieldList() const override { return empty; }
    bool fieldsDeleted() const override { return deleted; }
    void setFieldsDeleted(bool value) override { deleted = value; }

    QList<qint64> empty;
    bool deleted = false;
};

PlistArray fieldsNamed(const QStringList& names)
{
    PlistArray fields;
    for (const QString& name : names)
        fields.append(PlistDictionary{{"Identifier", name + "-ID"}, {"Name", name}, {"Width", 150.0}});
    return fields;
}

class ModifyFieldsSheetControllerTest : public DocumentFixture {
protected:
    void TearDown() override
    {
        if (m_sheet)
            m_sheet->cancel();
        DocumentFixture::TearDown();
    }

    ModifyFieldsSheetController* open(const QStringList& names, const QString& syncID = "")
    {
        m_sheet = VKSheetController::controller<ModifyFieldsSheetController>();
        m_datafileFields = fieldsNamed(names);
        m_sheet->beginModifyFieldsForWindow(
            &m_window, PlistDictionary{{"Fields", m_datafileFields}, {"SyncID", syncID}},
            &m_editor, [this](QWidget*, int code) { m_codes.append(code); });
        return m_sheet;
    }

    QStringList names() const
    {
        QStringList result;
        for (const PlistValue& field : m_sheet->fields())
            result.append(field.asDictionary()->stringForKey("Name"));
        return result;
    }

    // A cell editor is open in the table.
    bool editingName() const
    {
        const QList<QLineEdit*> editors = m_sheet->fieldTableView()->findChildren<QLineEdit*>();
        return std::any_of(editors.begin(), editors.end(),
                           [](const QLineEdit* editor) { return editor->isVisibleTo(editor->window()); });
    }

    QList<int> selectedRows() const
    {
        QList<int> rows;
        for (const QModelIndex& index : m_sheet->fieldTableView()->selectionModel()->selectedRows())
            rows.append(index.row());
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    void selectRows(const QList<int>& rows)
    {
        QAbstractItemModel* model = m_sheet->fieldTableView()->model();
        QItemSelection selection;
        for (int row : rows)
            selection.select(model->index(row, 0), model->index(row, 1));
        m_sheet->fieldTableView()->selectionModel()->select(selection,
                                                            QItemSelectionModel::ClearAndSelect);
    }

    // Drags the rows and drops them on the row, as the table view hands them over.
    bool drag(const QList<int>& rows, int onRow)
    {
        FieldDefinitionsTableModel* model = m_sheet->fieldTableModel();
        QModelIndexList indexes;
        for (int row : rows)
            indexes.append(model->index(row, 0));
        std::unique_ptr<QMimeData> data(model->mimeData(indexes));
        EXPECT_TRUE(data->hasFormat("DatafileFieldsPboard")) << "the drag starts";
        return model->dropMimeData(data.get(), Qt::CopyAction, -1, -1, model->index(onRow, 0));
    }

    QWidget m_window;
    FakeEditor m_editor;
    PlistArray m_datafileFields;
    ModifyFieldsSheetController* m_sheet = nullptr;
    QList<int> m_codes;
};

} // namespace

TEST_F(ModifyFieldsSheetControllerTest, Opening_ACopyWithShowColumnAndButtonsReset)
{
    open({"Name", "City"});
    EXPECT_EQ(m_sheet->window()->windowModality(), Qt::WindowModal);
    EXPECT_EQ(names(), QStringList({"Name", "City"}));
    QAbstractItemModel* model = m_sheet->fieldTableView()->model();
    EXPECT_EQ(model->headerData(0, Qt::Horizontal, Qt::DisplayRole), "Fields");
    EXPECT_EQ(model->headerData(1, Qt::Horizontal, Qt::DisplayRole), "Show");
    EXPECT_EQ(model->data(model->index(0, 1), Qt::CheckStateRole), Qt::Checked) << "absent = on";
    EXPECT_TRUE(selectedRows().isEmpty());
    EXPECT_FALSE(m_sheet->deleteFieldButton()->isEnabled());
    EXPECT_TRUE(m_sheet->insertFieldButton()->isEnabled());
    EXPECT_TRUE(m_sheet->highlightEmptyFIeldsButton()->isEnabled());
    EXPECT_TRUE(m_sheet->syncIDwarning()->text().isEmpty());

    // The copy is deep: an edit stays in the sheet.
    model->setData(model->index(0, 0), "Full Name", Qt::EditRole);
    model->setData(model->index(1, 1), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_EQ(m_datafileFields.at(0).asDictionary()->stringForKey("Name"), "Name");
    EXPECT_EQ(m_sheet->fields().at(1).asDictionary()->value("Show"), PlistValue(false));

    // One row selected: its name is being edited and it may be deleted.
    selectRows({1});
    EXPECT_TRUE(m_sheet->deleteFieldButton()->isEnabled());
    EXPECT_TRUE(editingName());
    selectRows({});
    EXPECT_FALSE(m_sheet->deleteFieldButton()->isEnabled());
}

TEST_F(ModifyFieldsSheetControllerTest, Insert_FirstWithoutSelectionLastAfterTheLastRow)
{
    open({"Name", "City"});
    m_sheet->insertField();
    EXPECT_EQ(names(), QStringList({"New Field", "Name", "City"}));
    EXPECT_EQ(selectedRows(), QList<int>({0}));
    EXPECT_TRUE(editingName());

    selectRows({2});
    m_sheet->insertField();
    EXPECT_EQ(names(), QStringList({"New Field", "Name", "City", "New Field"}));
    EXPECT_EQ(selectedRows(), QList<int>({3}));
    const PlistDictionary made = *m_sheet->fields().at(3).asDictionary();
    EXPECT_EQ(made.value("Width"), PlistValue(150.0));
    EXPECT_EQ(made.stringForKey("Identifier"), made.stringForKey("Identifier").toUpper());
    EXPECT_NE(made.stringForKey("Identifier"),
              m_sheet->fields().at(0).asDictionary()->stringForKey("Identifier"));
}

TEST_F(ModifyFieldsSheetControllerTest, Delete_AskedExactlyThenRemovesTheSelectedRows)
{
    open({"Name", "City", "Zip"});
    selectRows({0, 2});
    m_presenter.answerAlertWithButton("Cancel");
    m_sheet->deleteField();
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    const ScriptedPresenter::ShownAlert& alert = m_presenter.alerts().front();
    EXPECT_EQ(alert.request.messageText, "Are you sure you want to delete the field(s)?");
    EXPECT_EQ(alert.request.informativeText,
              "Warning: Deleting a field will result in the loss of any data contained in that "
              "field.");
    EXPECT_EQ(alert.request.buttons, QStringList({"Delete", "Cancel"}));
    EXPECT_EQ(alert.request.style, AlertRequest::Style::Critical);
    EXPECT_TRUE(alert.sheet);
    EXPECT_EQ(alert.window, m_sheet->window());
    EXPECT_EQ(names(), QStringList({"Name", "City", "Zip"}));
    EXPECT_FALSE(m_editor.deleted);

    m_presenter.answerAlertWithButton("Delete");
    m_sheet->deleteField();
    EXPECT_EQ(names(), QStringList({"City"}));
    EXPECT_TRUE(m_editor.deleted);
    EXPECT_TRUE(selectedRows().isEmpty());
}

TEST_F(ModifyFieldsSheetControllerTest, Highlight_SelectsTheEmptyFieldsUntilTheyAreDeleted)
{
    open({"Name", "City", "Zip"});
    m_editor.empty = {0, 2};
    m_sheet->highlightEmptyFIelds();
    EXPECT_EQ(selectedRows(), QList<int>({0, 2}));
    EXPECT_TRUE(m_sheet->deleteFieldButton()->isEnabled());

    m_presenter.answerAlertWithButton("Delete");
    m_sheet->deleteField();
    EXPECT_EQ(names(), QStringList({"City"}));
    // The positions found no longer name the same fields.
    EXPECT_FALSE(m_sheet->highlightEmptyFIeldsButton()->isEnabled());
    m_editor.empty = {0};
    m_sheet->highlightEmptyFIelds();
    EXPECT_TRUE(selectedRows().isEmpty());

    // The next opening starts afresh.
    m_sheet->cancel();
    open({"Name", "City"});
    EXPECT_TRUE(m_sheet->highlightEmptyFIeldsButton()->isEnabled());
    m_sheet->highlightEmptyFIelds();
    EXPECT_EQ(selectedRows(), QList<int>({0}));
}

TEST_F(ModifyFieldsSheetControllerTest, Drop_MovesTheDraggedRowsAboveTheDropRow)
{
    open({"A", "B", "C", "D", "E", "F"});
    m_sheet->fieldTableModel()->setData(m_sheet->fieldTableModel()->index(1, 1), Qt::Unchecked,
                                        Qt::CheckStateRole);
    EXPECT_TRUE(drag({1, 3}, 5));
    EXPECT_EQ(names(), QStringList({"A", "C", "E", "B", "D", "F"}));
    EXPECT_EQ(m_sheet->fields().at(3).asDictionary()->value("Show"), PlistValue(false))
        << "the whole definition moves";
    EXPECT_EQ(m_sheet->fields().size(), 6);

    // Below the last row: at the end.
    FieldDefinitionsTableModel* model = m_sheet->fieldTableModel();
    std::unique_ptr<QMimeData> data(model->mimeData({model->index(0, 0)}));
    EXPECT_TRUE(model->dropMimeData(data.get(), Qt::CopyAction, -1, -1, QModelIndex()));
    EXPECT_EQ(names(), QStringList({"C", "E", "B", "D", "F", "A"}));

    // Something else dropped changes nothing.
    QMimeData text;
    text.setText("A");
    EXPECT_TRUE(model->dropMimeData(&text, Qt::CopyAction, 0, 0, QModelIndex()));
    EXPECT_EQ(names(), QStringList({"C", "E", "B", "D", "F", "A"}));
}

TEST_F(ModifyFieldsSheetControllerTest, SyncID_WarnsAndRefusesInsertDeleteAndDrop)
{
    open({"Name", "City", "Zip"}, "SYNC-1");
    EXPECT_EQ(m_sheet->syncIDwarning()->text(),
              "This datafile has a Sync ID, so fields cannot be inserted or deleted.");
    EXPECT_FALSE(m_sheet->insertFieldButton()->isEnabled());
    m_sheet->insertField();
    EXPECT_EQ(names(), QStringList({"Name", "City", "Zip"}));

    selectRows({1});
    EXPECT_FALSE(m_sheet->deleteFieldButton()->isEnabled());
    m_sheet->deleteField();
    EXPECT_TRUE(m_presenter.alerts().isEmpty());

    EXPECT_FALSE(drag({0}, 2));
    EXPECT_EQ(names(), QStringList({"Name", "City", "Zip"}));

    // Renaming and Show still reach the list.
    QAbstractItemModel* model = m_sheet->fieldTableView()->model();
    EXPECT_TRUE(model->setData(model->index(2, 0), "Postcode", Qt::EditRole));
    EXPECT_TRUE(model->setData(model->index(2, 1), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(names(), QStringList({"Name", "City", "Postcode"}));

    m_editor.empty = {2};
    m_sheet->highlightEmptyFIelds();
    EXPECT_EQ(selectedRows(), QList<int>({2}));
    EXPECT_FALSE(m_sheet->deleteFieldButton()->isEnabled());

    m_sheet->okay();
    EXPECT_EQ(m_codes, QList<int>({1}));
}

TEST_F(ModifyFieldsSheetControllerTest, NewDatafile_CallsBackWithTheFieldsAndTheKind)
{
    auto* sheet = VKSheetController::controller<NewDatafileSheetController>();
    QList<int> codes;
    sheet->beginNewDatafileForWindow(nullptr, PlistDictionary(),
                                     [&codes](QWidget*, int code) { codes.append(code); });
    EXPECT_EQ(sheet->window()->windowTitle(), "New Datafile");
    EXPECT_EQ(sheet->window()->windowModality(), Qt::ApplicationModal);
    EXPECT_TRUE(sheet->fields().isEmpty());
    EXPECT_TRUE(sheet->insertFieldButton()->isEnabled());
    EXPECT_FALSE(sheet->isMobile());
    EXPECT_EQ(sheet->isMobileMatrix()->id(sheet->mobileCell()), 1);

    sheet->mobileCell()->click();
    sheet->insertField();
    QAbstractItemModel* model = sheet->fieldTableView()->model();
    model->setData(model->index(0, 0), "Name", Qt::EditRole);
    sheet->insertField();
    model->setData(model->index(1, 0), "Phone", Qt::EditRole);
    sheet->okayButton()->click();
    EXPECT_EQ(codes, QList<int>({1}));
    EXPECT_TRUE(sheet->isMobile());
    ASSERT_EQ(sheet->fields().size(), 2);
    EXPECT_EQ(sheet->fields().at(1).asDictionary()->stringForKey("Name"), "Phone");

    // Again: an empty list, and Cancel calls back with 0.
    sheet->beginNewDatafileForWindow(nullptr, PlistDictionary(),
                                     [&codes](QWidget*, int code) { codes.append(code); });
    EXPECT_TRUE(sheet->fields().isEmpty());
    sheet->cancelButton()->click();
    EXPECT_EQ(codes, QList<int>({1, 0}));
}
