// A user's journeys through the Fields menu's bulk operations in the program as main()
// runs it: each sheet from its menu item, OK, and the datafile saved.
#include "JourneyTestBase.h"

#include "AddFieldWithContentSheetController.h"
#include "EditorFieldContentsController.h"
#include "FillEmptyFieldsSheetController.h"
#include "MoveTextElementsSheetController.h"
#include "TotalFieldContentsSheetController.h"
#include "TransferFieldContentsSheetController.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

class FieldContentsJourneyTest : public JourneyTestBase {
protected:
    // Fields Name (N) and Amount (M) over records of a name, an amount and a text; by
    // default three whose texts hold a phone number, an address and a link.
    QString writeAccounts(const QList<QStringList>& rows = {
                              {"Ann", "12.50", "Call 555-1234 or ann@example.org"},
                              {"Bob", "", "See www.example.com for more"},
                              {"", "-2.25", "Nothing to find"}})
    {
        PlistArray definitions{
            PlistDictionary{{"Identifier", "N"}, {"Name", "Name"}, {"Width", 150.0}},
            PlistDictionary{{"Identifier", "M"}, {"Name", "Amount"}, {"Width", 150.0}}};
        PlistDictionary records;
        PlistArray catalog;
        int number = 0;
        for (const QStringList& row : rows) {
            const QString identifier = QStringLiteral("00000000-0000-4000-8000-%1")
                                           .arg(++number, 12, 10, QLatin1Char('0'));
            records.insert(identifier, PlistDictionary{{"RecordIdentifier", identifier},
                                                       {"Fields", PlistDictionary{{"N", row[0]},
                                                                                  {"M", row[1]}}},
                                                       {"TextString", row[2]}});
            catalog.append(PlistDictionary{{"Identifier", identifier},
                                           {"CurrentlySelected", true},
                                           {"PreviouslySelected", true}});
        }
        const PlistDictionary datafile{
            {"Settings",
             PlistDictionary{{"DataFormat", 1}, {"Mode", "List"}, {"Fields", definitions}}},
            {"Records", records},
            {"Catalog", catalog}};
        m_path = m_dir.filePath("accounts.nv3");
        QFile file(m_path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_TRUE(writePropertyList(datafile, file, PlistFormat::Xml));
        return m_path;
    }

    // The saved records in catalog order.
    QList<PlistDictionary> savedRecords()
    {
        const PlistDictionary saved = readDatafile(m_path);
        const PlistDictionary all = *saved.value("Records").asDictionary();
        const PlistArray catalog = *saved.value("Catalog").asArray();
        QList<PlistDictionary> records;
        for (const PlistValue& entry : catalog)
            records.append(
                *all.value(entry.asDictionary()->stringForKey("Identifier")).asDictionary());
        return records;
    }

    // The saved field definitions' names and identifiers.
    QList<std::pair<QString, QString>> savedFields()
    {
        const PlistDictionary saved = readDatafile(m_path);
        const PlistDictionary settings = *saved.value("Settings").asDictionary();
        const PlistArray fields = *settings.value("Fields").asArray();
        QList<std::pair<QString, QString>> named;
        for (const PlistValue& field : fields)
            named.append({field.asDictionary()->stringForKey("Name"),
                          field.asDictionary()->stringForKey("Identifier")});
        return named;
    }

    static QString fieldOf(const PlistDictionary& record, const QString& field)
    {
        const PlistDictionary fields = *record.value("Fields").asDictionary();
        return fields.stringForKey(field);
    }

    void save(EditorWindowController* editor)
    {
        activate(editor->window());
        QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
    }

    static void shoot(QWidget* window, const QString& name)
    {
        if (qEnvironmentVariableIsSet("NORVA_SHOTS"))
            window->grab().save(qEnvironmentVariable("NORVA_SHOTS") + '/' + name);
    }

    QString m_path;
};

} // namespace

TEST_F(FieldContentsJourneyTest, FillEmptyFields_TypedTextFillsTheEmptyValuesOnly)
{
    EditorWindowController* editor = openWithCommand(writeAccounts());
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "fillEmptyFields:"));
    auto* sheet = VKSheetController::topmostController<FillEmptyFieldsSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->window()->parentWidget(), editor->window());
    QTest::keyClicks(sheet->replacementTextField(), "none");
    shoot(sheet->window(), "fill-empty-fields.png");
    QTest::mouseClick(sheet->okayButton(), Qt::LeftButton);
    save(editor);
    const QList<PlistDictionary> records = savedRecords();
    EXPECT_EQ(fieldOf(records[0], "N"), "Ann");
    EXPECT_EQ(fieldOf(records[2], "N"), "none");
    EXPECT_TRUE(records[2].value("NeedsSync").boolValue());
}

TEST_F(FieldContentsJourneyTest, AddFieldWithContent_NumbersEveryRecordInANewFirstField)
{
    EditorWindowController* editor = openWithCommand(writeAccounts());
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "addFieldWithContent:"));
    auto* sheet = VKSheetController::topmostController<AddFieldWithContentSheetController>();
    ASSERT_TRUE(sheet);
    QTest::keyClicks(sheet->fieldNameField(), "Number");
    EXPECT_FALSE(sheet->okayButton()->isEnabled());
    QTest::mouseClick(sheet->sequentialNumbersCheck(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(6, 6));
    QTest::keyClicks(sheet->startingNumberField(), "1");
    QTest::mouseClick(sheet->leadingZeroesCheck(), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
    QTest::keyClicks(sheet->digitCountField(), "3");
    shoot(sheet->window(), "add-field-with-content.png");
    ASSERT_TRUE(sheet->okayButton()->isEnabled());
    QTest::mouseClick(sheet->okayButton(), Qt::LeftButton);
    save(editor);
    const QList<std::pair<QString, QString>> fields = savedFields();
    EXPECT_EQ(fields.front().first, "Number");
    const QString field = fields.front().second;
    const QList<PlistDictionary> records = savedRecords();
    EXPECT_EQ(fieldOf(records[0], field), "001");
    EXPECT_EQ(fieldOf(records[2], field), "003");
}

TEST_F(FieldContentsJourneyTest, TotalFieldContents_AddsASumRecord)
{
    EditorWindowController* editor = openWithCommand(writeAccounts());
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "totalFieldContents:"));
    auto* sheet = VKSheetController::topmostController<TotalFieldContentsSheetController>();
    ASSERT_TRUE(sheet);
    sheet->setFieldToTotal(1, true);
    sheet->treatAsMoneyCheck()->setChecked(true);
    shoot(sheet->window(), "total-field-contents.png");
    QTest::mouseClick(sheet->okayButton(), Qt::LeftButton);
    shoot(editor->window(), "after-totals.png");
    save(editor);
    const QList<PlistDictionary> records = savedRecords();
    ASSERT_EQ(records.size(), 4);
    EXPECT_TRUE(records[3].value("IsSum").boolValue());
    EXPECT_EQ(fieldOf(records[3], "M"), "10.25");
}

TEST_F(FieldContentsJourneyTest, TotalFieldContents_ReportsTrailingTextAndInnerHyphens)
{
    EditorWindowController* editor = openWithCommand(writeAccounts({{"A", "1.50", ""},
                                                                    {"B", "555-1234", ""},
                                                                    {"C", "12,345.67 abc", ""},
                                                                    {"D", "10", ""}}));
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "totalFieldContents:"));
    auto* sheet = VKSheetController::topmostController<TotalFieldContentsSheetController>();
    ASSERT_TRUE(sheet);
    sheet->setFieldToTotal(1, true);
    QTest::mouseClick(sheet->okayButton(), Qt::LeftButton);
    // The phone number and the text after the fraction are both reported, and each counts
    // what can be read in front of them.
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    const AlertRequest& alert = m_presenter.lastAlert().request;
    EXPECT_EQ(alert.messageText,
              "Non-numeric data found in:\n\tRecord #: 2\n\tField: \"Amount\"\n\tData: 555-1234");
    EXPECT_TRUE(alert.informativeText.endsWith("\n\n1 more values could not be read."))
        << alert.informativeText.toStdString();
    save(editor);
    const QList<PlistDictionary> records = savedRecords();
    ASSERT_EQ(records.size(), 5);
    EXPECT_TRUE(records[4].value("IsSum").boolValue());
    EXPECT_EQ(fieldOf(records[4], "M"), "12912.17");
}

TEST_F(FieldContentsJourneyTest, TransferFieldContents_MovesNamesToTheEndOfTheText)
{
    EditorWindowController* editor = openWithCommand(writeAccounts());
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "transferFieldContents:"));
    auto* sheet = VKSheetController::topmostController<TransferFieldContentsSheetController>();
    ASSERT_TRUE(sheet);
    sheet->setTransferMethod(TransferFieldContentsSheetController::Move);
    sheet->setPlacement(3);
    shoot(sheet->window(), "transfer-field-contents.png");
    QTest::mouseClick(sheet->okayButton(), Qt::LeftButton);
    save(editor);
    const QList<PlistDictionary> records = savedRecords();
    EXPECT_EQ(records[1].stringForKey("TextString"), "See www.example.com for more Bob");
    EXPECT_EQ(fieldOf(records[1], "N"), "");
}

TEST_F(FieldContentsJourneyTest, MoveAllFreeformText_AsksThenFillsTheFieldsLineByLine)
{
    EditorWindowController* editor = openWithCommand(writeAccounts());
    ASSERT_TRUE(editor);
    m_presenter.answerAlertWithButton("Move the Data");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "moveAllFreeformTextIntoFields:"));
    EXPECT_EQ(
        m_presenter.lastAlert().request.informativeText,
        "Current field data may be replaced by data from the Freeform Text Area.\n\nThis change "
        "will become permanent the next time you save changes to the datafile.");
    save(editor);
    const QList<PlistDictionary> records = savedRecords();
    EXPECT_EQ(fieldOf(records[0], "N"), "Call 555-1234 or ann@example.org");
    EXPECT_EQ(records[2].stringForKey("TextString"), "");
}

TEST_F(FieldContentsJourneyTest, MoveTextElements_CopiesTheFirstOfEachKindIntoNewFields)
{
    m_defaults.setObject(QStringLiteral("555-1234"), QStringLiteral("PhoneNumberTemplates"));
    EditorWindowController* editor = openWithCommand(writeAccounts());
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "moveTextElements:"));
    auto* sheet = VKSheetController::topmostController<MoveTextElementsSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_FALSE(sheet->okayButton()->isEnabled());
    for (QCheckBox* box :
         {sheet->phoneNumberCheckbox(), sheet->emailCheckbox(), sheet->linksCheckbox()})
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
    shoot(sheet->window(), "move-text-elements.png");
    QTest::mouseClick(sheet->okayButton(), Qt::LeftButton);
    shoot(editor->window(), "after-text-elements.png");
    save(editor);
    QStringList names;
    QStringList identifiers;
    for (const auto& [name, identifier] : savedFields()) {
        names.append(name);
        identifiers.append(identifier);
    }
    EXPECT_EQ(names, (QStringList{"Web Link", "Email", "Phone", "Name", "Amount"}));
    const QList<PlistDictionary> records = savedRecords();
    EXPECT_EQ(fieldOf(records[0], identifiers[2]), "555-1234");
    EXPECT_EQ(fieldOf(records[0], identifiers[1]), "ann@example.org");
    EXPECT_EQ(fieldOf(records[1], identifiers[0]), "www.example.com");
    EXPECT_EQ(records[0].stringForKey("TextString"), "Call 555-1234 or ann@example.org");
}

TEST_F(FieldContentsJourneyTest, AddFieldWithContent_UnsavedChangesAreSavedOrRevertedFirst)
{
    EditorWindowController* editor = openWithCommand(writeAccounts());
    ASSERT_TRUE(editor);
    const auto editAndAsk = [&](const QString& answer) {
        const std::shared_ptr<RecordData> record = editor->engine().recordAtIndex(2);
        editor->engine().writeField(record, "N", answer, CurrentRecordEngine::FieldWrite::Edit);
        m_presenter.answerAlertWithButton(answer);
        EXPECT_TRUE(chooseMenuItem(editor->window(), "addFieldWithContent:"));
        EXPECT_EQ(
            m_presenter.lastAlert().request.informativeText,
            "After the new field is added, it will be filled with the values that you specify, "
            "which must then be saved.");
        auto* sheet = VKSheetController::topmostController<AddFieldWithContentSheetController>();
        const bool shown = sheet && sheet->window()->isVisible();
        if (sheet)
            sheet->cancel();
        return shown;
    };

    EXPECT_FALSE(editAndAsk("Cancel"));
    EXPECT_EQ(fieldOf(savedRecords()[2], "N"), "");

    EXPECT_TRUE(editAndAsk("Save Changes"));
    EXPECT_EQ(fieldOf(savedRecords()[2], "N"), "Save Changes");
    EXPECT_FALSE(editor->datafileDocument()->isDocumentEdited());

    EXPECT_TRUE(editAndAsk("Revert"));
    EXPECT_FALSE(editor->datafileDocument()->isDocumentEdited());
    auto* reverted = static_cast<EditorWindowController*>(
        editor->datafileDocument()->windowControllers().front().get());
    EXPECT_EQ(reverted->engine().recordAtIndex(2)->fields().find("N")->stringValue(),
              "Save Changes");
}
