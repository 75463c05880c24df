// A user's journeys through Fields ▸ Modify Fields in the program as main() runs it:
// the sheet's table and buttons, OK, and the datafile saved.
#include "JourneyTestBase.h"

#include "EditorTableController.h"
#include "ListViewModel.h"
#include "ModifyFieldsSheetController.h"
#include "NewDatafileSheetController.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QRadioButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace {

class FieldsJourneyTest : public JourneyTestBase {
protected:
    // Fields Name (N), City (C) and Zip (Z) over three filled records.
    QString writePeople(const QString& syncID = "")
    {
        PlistArray definitions;
        for (const auto& [identifier, name] :
             QList<std::pair<QString, QString>>{{"N", "Name"}, {"C", "City"}, {"Z", "Zip"}})
            definitions.append(PlistDictionary{{"Identifier", identifier}, {"Name", name}, {"Width", 150.0}});
        PlistDictionary records;
        PlistArray catalog;
        const QList<QStringList> people{{"Ann", "Bonn", "53111"}, {"Bob", "Kiel", "24103"},
                                        {"Cy", "Ulm", "89073"}};
        int number = 0;
        for (const QStringList& values : people) {
            const QString identifier =
                QStringLiteral("00000000-0000-4000-8000-%1").arg(++number, 12, 10, QLatin1Char('0'));
            records.insert(identifier,
                           PlistDictionary{{"RecordIdentifier", identifier},
                                           {"Fields", PlistDictionary{{"N", values[0]},
                                                                      {"C", values[1]},
                                                                      {"Z", values[2]}}},
                                           {"TextString", values[0]}});
            catalog.append(PlistDictionary{{"Identifier", identifier},
                                           {"CurrentlySelected", true},
                                           {"PreviouslySelected", true}});
        }
        const PlistDictionary datafile{
            {"Settings", PlistDictionary{{"DataFormat", 1}, {"Mode", "List"},
                                         {"Fields", definitions}, {"SyncID", syncID}}},
            {"Records", records},
            {"Catalog", catalog}};
        const QString path = m_dir.filePath("people.nv3");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_TRUE(writePropertyList(datafile, file, PlistFormat::Xml));
        return path;
    }

    // A click on the row's name, as the user selects a field.
    static void clickRow(QTableView* table, int row)
    {
        const QRect cell = table->visualRect(table->model()->index(row, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    }

    // The name being edited in the table.
    static QLineEdit* openEditor(QTableView* table)
    {
        for (QLineEdit* editor : table->findChildren<QLineEdit*>())
            if (editor->isVisibleTo(table))
                return editor;
        return nullptr;
    }

    static QStringList fieldNamesIn(const PlistDictionary& datafile)
    {
        QStringList names;
        const PlistValue settings = datafile.value("Settings");
        const PlistValue fields = settings.asDictionary()->value("Fields");
        for (const PlistValue& field : *fields.asArray())
            names.append(field.asDictionary()->stringForKey("Name"));
        return names;
    }
};

} // namespace

TEST_F(FieldsJourneyTest, ModifyFields_RenameAndDeleteThenSave_TheFileKeepsNoValuesOfTheDeleted)
{
    const QString path = writePeople();
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);

    ASSERT_TRUE(chooseMenuItem(editor->window(), "modifyFields:"));
    auto* sheet = VKSheetController::topmostController<ModifyFieldsSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->window()->parentWidget(), editor->window());
    EXPECT_EQ(sheet->window()->windowModality(), Qt::WindowModal);
    QTableView* table = sheet->fieldTableView();
    QTest::qWait(20); // laid out

    // Clicking a field starts renaming it.
    clickRow(table, 1);
    QLineEdit* nameEditor = openEditor(table);
    ASSERT_TRUE(nameEditor);
    nameEditor->selectAll();
    QTest::keyClicks(nameEditor, "Town");
    QTest::keyClick(nameEditor, Qt::Key_Return);

    clickRow(table, 2);
    m_presenter.answerAlertWithButton("Delete");
    QTest::mouseClick(sheet->deleteFieldButton(), Qt::LeftButton);
    EXPECT_EQ(m_presenter.alertMessages(),
              QStringList({"Are you sure you want to delete the field(s)?"}));
    sheet->window()->grab().save(m_dir.filePath("modify-fields.png"));
    if (qEnvironmentVariableIsSet("NORVA_SHOTS"))
        sheet->window()->grab().save(qEnvironmentVariable("NORVA_SHOTS") + "/modify-fields.png");
    QTest::mouseClick(sheet->okayButton(), Qt::LeftButton);
    EXPECT_FALSE(sheet->window()->isVisible());

    const ListViewModel* list = editor->tableController()->listViewModel();
    EXPECT_EQ(list->headerData(1, Qt::Horizontal, Qt::DisplayRole), "Town");
    EXPECT_TRUE(editor->window()->isWindowModified());
    if (qEnvironmentVariableIsSet("NORVA_SHOTS"))
        editor->window()->grab().save(qEnvironmentVariable("NORVA_SHOTS") + "/after-modify.png");

    activate(editor->window());
    QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
    const PlistDictionary saved = readDatafile(path);
    EXPECT_EQ(fieldNamesIn(saved), QStringList({"Name", "Town"}));
    const PlistValue records = saved.value("Records");
    for (const PlistDictionary::Entry& record : *records.asDictionary()) {
        const PlistValue fields = record.value.asDictionary()->value("Fields");
        EXPECT_FALSE(fields.asDictionary()->contains("Z"));
        EXPECT_TRUE(fields.asDictionary()->contains("C"));
    }
}

TEST_F(FieldsJourneyTest, ModifyFields_WithASyncID_SaysWhyNothingCanBeInsertedOrDeleted)
{
    EditorWindowController* editor = openWithCommand(writePeople("SYNC-1"));
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "modifyFields:"));
    auto* sheet = VKSheetController::topmostController<ModifyFieldsSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->syncIDwarning()->text(),
              "This datafile has a Sync ID, so fields cannot be inserted or deleted.");
    EXPECT_FALSE(sheet->insertFieldButton()->isEnabled());
    QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(sheet->window()->isVisible());
    EXPECT_FALSE(editor->window()->isWindowModified());
}

TEST_F(FieldsJourneyTest, NewDatafileSheet_TheAssemblysFactoryCallsBackWithFieldsAndKind)
{
    const MainController::NewDatafileSheetFactory& begin =
        m_assembly->mainController().newDatafileSheetFactory();
    ASSERT_TRUE(begin);
    struct Result {
        int code = -1;
        QStringList names;
        bool isMobile = false;
    } result;
    const auto didEnd = [&result](int code, const PlistArray& fields, bool isMobile) {
        result = {code, {}, isMobile};
        for (const PlistValue& field : fields)
            result.names.append(field.asDictionary()->stringForKey("Name"));
    };
    begin(didEnd);
    auto* sheet = VKSheetController::topmostController<NewDatafileSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_FALSE(sheet->window()->parentWidget()) << "a sheet of no window";
    QTest::mouseClick(sheet->mobileCell(), Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
    for (const char* name : {"Name", "Phone"}) {
        // A new field is being renamed: the user types its name.
        sheet->fieldTableView()->selectionModel()->clearSelection();
        QTest::mouseClick(sheet->insertFieldButton(), Qt::LeftButton);
        QLineEdit* nameEditor = openEditor(sheet->fieldTableView());
        ASSERT_TRUE(nameEditor);
        nameEditor->selectAll();
        QTest::keyClicks(nameEditor, name);
    }
    if (qEnvironmentVariableIsSet("NORVA_SHOTS"))
        sheet->window()->grab().save(qEnvironmentVariable("NORVA_SHOTS") + "/new-datafile.png");
    QTest::mouseClick(sheet->okayButton(), Qt::LeftButton);
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.names, QStringList({"Phone", "Name"})) << "each inserted first";
    EXPECT_TRUE(result.isMobile);

    begin(didEnd);
    QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(result.code, 0);
    EXPECT_TRUE(result.names.isEmpty());
}
