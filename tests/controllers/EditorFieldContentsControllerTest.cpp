// The Fields menu's bulk operations: the adder, number texts and text-element detectors
// as tables, and the operations over real editor windows.
#include "EditorFieldContentsController.h"
#include "RecordDataTesting.h"

#include "AddFieldWithContentSheetController.h"
#include "EditorRecordsController.h"
#include "EditorTestBase.h"
#include "FillEmptyFieldsSheetController.h"
#include "FreeformTextView.h"
#include "MoveTextElementsSheetController.h"
#include "NotificationCenter.h"
#include "ReplaceFieldContentSheetController.h"
#include "Telephony.h"
#include "TotalFieldContentsSheetController.h"
#include "TransferFieldContentsSheetController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <stdexcept>

// Failures name the strings, not their bytes.
static void PrintTo(const QString& string, std::ostream* stream)
{
    *stream << '"' << string.toStdString() << '"';
}

namespace {

using Controller = EditorFieldContentsController;

TEST(FieldContentNumbers, ZerosGoAfterTheSignUpToTheDigitCount)
{
    const struct {
        qint64 number;
        qint64 digitCount;
        QString text;
    } cases[] = {{7, 3, "007"},
                 {1234, 3, "1234"},
                 {-7, 2, "-07"},
                 {-2, 0, "-2"},
                 {0, 1, "0"},
                 {5, -4, "5"},
                 {std::numeric_limits<qint64>::min(), 0, "-9223372036854775808"}};
    for (const auto& each : cases)
        EXPECT_EQ(Controller::numberText(each.number, each.digitCount), each.text) << each.number;
}

TEST(FieldContentNumbers, FillTextLosesLineBreaksAndTabs)
{
    EXPECT_EQ(Controller::withoutLineBreaks(QStringLiteral("a\tb\nc\rd\u2028e\u2029f")), "abcdef");
}

TEST(FieldTotals, AddsDecimalTextExactly)
{
    const struct {
        QStringList values;
        QString separator;
        bool money;
        QString total;
        bool readable;
    } cases[] = {
        {{"5.00", "-1.25"}, ".", true, "3.75", true},
        {{"0.10", "-0.30"}, ".", true, "-0.20", true},
        {{"1.5", "2.5"}, ".", false, "4", true},
        {{"1,5", "2,5"}, ",", false, "4", true},
        {{"1,234.5", "1"}, ".", false, "1235.5", true},
        {{"1.234,5", "1"}, ",", false, "1235,5", true},
        {{"1,5"}, ".", false, "15", true},
        {{"$12.50"}, ".", true, "12.50", true},
        {{"-$12.50"}, ".", true, "-0.50", false},
        {{"12.3456789"}, ".", false, "12.345678", true},
        {{"12.3456789"}, ".", true, "12.34", true},
        {{"", "7"}, ".", true, "7.00", true},
        {{".5"}, ".", false, "0.5", true},
        {{"- 5"}, ".", false, "-5", true},
        {{"- 5.25", "10"}, ".", true, "4.75", true},
        {{"abc"}, ".", false, "0", false},
        {{"9223372036854775807"}, ".", false, "0", false},
        {{"922337203685", "922337203685"}, ".", false, "1844674407370", true},
        // Text after the fraction: its digits count in their places, and it is reported.
        {{"12.5 kg"}, ".", false, "12.5", false},
        {{"3.5 EUR"}, ".", true, "3.50", false},
        {{"12,345.67 abc"}, ".", false, "12345.67", false},
        {{"12.345,67 abc"}, ",", false, "12345,67", false},
        {{"3,5 EUR"}, ",", true, "3,50", false},
        {{"7.25"}, ".", false, "7.25", true},
        {{"-2.5 m", "10"}, ".", false, "7.5", false},
        {{"1. 5"}, ".", false, "1", false},
        // A hyphen is a minus sign only in front of the number.
        {{"555-1234"}, ".", false, "555", false},
        {{"555-1234"}, ",", false, "555", false},
        {{"5-"}, ".", false, "5", false},
        {{"--5"}, ".", false, "0", false},
        {{"1.-5"}, ".", false, "1", false},
        {{"$-5"}, ".", false, "-5", true},
        {{"1.5", "555-1234", "12,345.67 abc", "10"}, ".", false, "12912.17", false},
    };
    for (const auto& each : cases) {
        QString total = QStringLiteral("0.0");
        bool readable = true;
        for (const QString& value : each.values) {
            const Controller::NumberSum sum =
                Controller::addNumberString(total, value, each.separator, each.money);
            total = sum.total;
            readable = readable && sum.readable;
        }
        EXPECT_EQ(total, each.total) << each.values.join(' ').toStdString();
        EXPECT_EQ(readable, each.readable) << each.values.join(' ').toStdString();
    }
}

TEST(FieldTotals, AnOverflowingSumIsReportedAndLeftOut)
{
    // Each fits in 10^-6 units; their sum does not.
    const Controller::NumberSum sum =
        Controller::addNumberString(QStringLiteral("9000000000000"),
                                    QStringLiteral("9000000000000"), QStringLiteral("."), false);
    EXPECT_FALSE(sum.readable);
    EXPECT_EQ(sum.total, "9000000000000");
}

TEST(TextElements, Detectors)
{
    const QStringList templates{"nnn-nnnn", "(nnn) nnn-nnnn"};
    const struct {
        QString text;
        QString phone;
    } phones[] = {{"call 555-1234 ok", "555-1234"},
                  {"(555) 555-1234\nx", "(555) 555-1234"},
                  {"12a", ""},
                  {"555%201234 or 555-1234", "555-1234"},
                  {"no digits", ""},
                  {"12345", ""}};
    for (const auto& each : phones)
        EXPECT_EQ(Controller::phoneNumberInString(each.text, 0, templates), each.phone)
            << each.text.toStdString();
    EXPECT_EQ(Controller::phoneNumberInString("call 555-1234", 0, {}), "");
    EXPECT_EQ(Telephony::possibleNumberInString(u"12a"), "12");
    EXPECT_EQ(Telephony::possibleNumberInString(u"555%20123"), "555 123");
    EXPECT_TRUE(Telephony::goodMatchForString("555-1234", {"nnn-nnnn"}));

    const auto whole = [](const QString& text) { return Controller::TextRange{0, text.size()}; };
    const auto email = [&](const QString& text) {
        const Controller::TextRange range = Controller::emailRangeInString(text, whole(text));
        return text.mid(range.location, range.length);
    };
    EXPECT_EQ(email("Write to ann@example.org."), "ann@example.org");
    EXPECT_EQ(email("a@b.c"), "");
    EXPECT_EQ(email("a@b.c then bob@example.com"), "bob@example.com");
    EXPECT_EQ(email("ann@x.org,bob@y.org"), "ann@x.org,bob@y.org");
    EXPECT_EQ(Controller::emailRangeInString("none here", whole("none here")),
              Controller::TextRange{});

    const QString links = QStringLiteral("see www.example.com, or http://x.org/a");
    const Controller::TextRange link = Controller::webLinkRangeInString(links, whole(links));
    EXPECT_EQ(links.mid(link.location, link.length), "www.example.com");
    const Controller::TextRange later = Controller::webLinkRangeInString(
        links, {link.location + link.length, links.size() - link.location - link.length});
    EXPECT_EQ(links.mid(later.location, later.length), "http://x.org/a");
}

class EditorFieldContentsTest : public EditorTestBase {
protected:
    struct Row {
        PlistDictionary fields;
        QString text;
        bool locked = false;
    };

    // Fields "Name" (A) and "Amount" (B) over the rows, every record stamped long ago.
    EditorWindowController* openRows(const QList<Row>& rows, int fieldCount = 2)
    {
        auto document = std::make_unique<DatafileDocument>();
        DatafileSettingsData& settings = *document->datafileSettings();
        const PlistArray all{definition("A", "Name"), definition("B", "Amount"),
                             definition("C", "City"), definition("D", "Zip"),
                             definition("E", "Note")};
        PlistArray fields;
        for (int field = 0; field < fieldCount; ++field)
            fields.append(all[field]);
        settings.setFields(fields);
        settings.setMode("List");
        for (const Row& row : rows) {
            auto record = std::make_shared<RecordData>();
            record->setFields(row.fields.deepCopy(), RecordDataTesting::key()); // rows may share one dictionary
            record->setTextString(row.text, RecordDataTesting::key());
            record->setRecordLocked(row.locked);
            record->setModifiedDate(PlistDate{1000});
            document->datafileRecords()->setRecord(record, record->identifier());
            document->datafileCatalog()->insertIdentifierAtEnd(record->identifier());
            m_records.append(record);
        }
        document->datafileCatalog()->selectAll();
        m_document = show(std::move(document));
        m_editor = editorOf(m_document);
        return m_editor;
    }

    static PlistDictionary definition(const QString& identifier, const QString& name)
    {
        return PlistDictionary{{"Identifier", identifier}, {"Name", name}, {"Width", 150.0}};
    }

    QString value(int record, const QString& field) const
    {
        const PlistValue* stored = m_records[record]->fields().find(field);
        return stored && stored->asString() ? *stored->asString() : QStringLiteral("<missing>");
    }

    Controller& operations() { return m_editor->fieldContentsController(); }

    template <typename Sheet> static Sheet* sheet()
    {
        auto* shown = VKSheetController::topmostController<Sheet>();
        EXPECT_TRUE(shown);
        return shown;
    }

    DatafileDocument* m_document = nullptr;
    EditorWindowController* m_editor = nullptr;
    QList<std::shared_ptr<RecordData>> m_records;
};

TEST_F(EditorFieldContentsTest, FillWritesEmptyValuesAndReplaceWritesAll)
{
    openRows({{{{"A", ""}}, "", false},
              {{{"A", " "}}, "", false},
              {{}, "", false},
              {{{"A", "x"}}, "", false}});
    m_document->datafileCatalog()->omitIdentifier(m_records[2]->identifier(), true);

    operations().fillEmptyFields();
    auto* fill = sheet<FillEmptyFieldsSheetController>();
    fill->replacementTextField()->setText("a\tb");
    fill->okay();
    EXPECT_EQ(value(0, "A"), "ab");
    EXPECT_EQ(value(1, "A"), " ");         // a blank is a value
    EXPECT_EQ(value(2, "A"), "<missing>"); // not selected
    EXPECT_EQ(value(3, "A"), "x");
    EXPECT_TRUE(m_records[0]->needsSync());
    EXPECT_FALSE(m_records[3]->needsSync());
    EXPECT_EQ(m_records[0]->modifiedDate(), PlistDate{1000});

    operations().replaceFieldContents();
    auto* replace = sheet<ReplaceFieldContentSheetController>();
    replace->replacementTextField()->setText("z");
    replace->okay();
    EXPECT_EQ(value(1, "A"), "z");
    EXPECT_EQ(value(3, "A"), "z");
    EXPECT_EQ(value(2, "A"), "<missing>");
}

TEST_F(EditorFieldContentsTest, FillWithoutFieldsBeeps)
{
    openRows({{{}, "", false}}, 0);
    operations().fillEmptyFields();
    auto* fill = sheet<FillEmptyFieldsSheetController>();
    EXPECT_EQ(fill->fieldNamesPopup()->currentText(), "<none>");
    EXPECT_EQ(FieldOperationSheetController::selectedFieldTag(fill->fieldNamesPopup()), 99999);
    fill->okay();
    EXPECT_EQ(m_presenter.beepCount(), 1);
}

TEST_F(EditorFieldContentsTest, AddFieldWithContentNumbersTheSelectedRecords)
{
    const struct {
        int selected;
        QString starting;
        QString ending; // empty: no records added
        QString digits;
        QString prefix;
        QString suffix;
        QStringList contents;
    } cases[] = {
        {5, "1", "3", "", "", "", {"1", "2", "3", "4", "5"}},
        {4, "1", "10", "", "", "", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
        {2, "7", "", "3", "", "", {"007", "008"}},
        {3, "-2", "", "", "", "", {"-2", "-1", "0"}},
        {2, "", "", "", "P-", "-S", {"P--S", "P--S"}},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.contents.join(' ').toStdString());
        m_records.clear();
        openRows(QList<Row>(each.selected, Row{{{"A", "x"}}, "", false}));
        m_editor->datafileDocument()->updateChangeCount(Document::ChangeType::Cleared);
        operations().addFieldWithContent();
        auto* add = sheet<AddFieldWithContentSheetController>();
        add->fieldNameField()->setText("Number");
        if (!each.starting.isEmpty()) {
            add->sequentialNumbersCheck()->click();
            add->startingNumberField()->setText(each.starting);
        }
        if (!each.ending.isEmpty()) {
            add->addRecordsCheck()->click();
            add->endingNumberField()->setText(each.ending);
        }
        if (!each.digits.isEmpty()) {
            add->leadingZeroesCheck()->click();
            add->digitCountField()->setText(each.digits);
        }
        if (!each.prefix.isEmpty()) {
            add->staticPrefixCheck()->click();
            add->staticPrefixField()->setText(each.prefix);
        }
        if (!each.suffix.isEmpty()) {
            add->staticSuffixCheck()->click();
            add->staticSuffixField()->setText(each.suffix);
        }
        add->autoAddContentCheck()->click();
        ASSERT_TRUE(add->okayButton()->isEnabled());
        add->okay();

        const CurrentRecordEngine& engine = m_editor->engine();
        const QString field = m_editor->settings()->autoAddContentFieldID();
        EXPECT_EQ(engine.fieldNames().front(), "Number");
        ASSERT_EQ(engine.selectedRecordCount(), each.contents.size());
        QStringList contents;
        for (qint64 index = 0; index < engine.selectedRecordCount(); ++index) {
            const PlistValue* stored = engine.recordAtIndex(index)->fields().find(field);
            contents.append(stored ? stored->stringValue() : QString());
        }
        contents.sort();
        QStringList expected = each.contents;
        expected.sort();
        EXPECT_EQ(contents, expected);
        if (!each.starting.isEmpty()) {
            EXPECT_EQ(m_editor->settings()->lastAutoAddInteger(),
                      each.starting.toLongLong() + each.contents.size() - 1);
        }
    }
}

TEST_F(EditorFieldContentsTest, AddFieldWithContentContinuesInNewRecordsAndKeepsASwitchedOffPrefix)
{
    openRows({{{{"A", "x"}}, "", false}, {{{"A", "y"}}, "", false}});
    m_editor->datafileDocument()->updateChangeCount(Document::ChangeType::Cleared);
    operations().addFieldWithContent();
    auto* add = sheet<AddFieldWithContentSheetController>();
    add->fieldNameField()->setText("Number");
    add->sequentialNumbersCheck()->click();
    add->startingNumberField()->setText("1");
    add->addRecordsCheck()->click();
    add->endingNumberField()->setText("4");
    add->staticPrefixCheck()->click();
    add->staticPrefixField()->setText("No. ");
    add->staticPrefixCheck()->click();
    add->autoAddContentCheck()->click();
    add->okay();
    EXPECT_EQ(m_editor->settings()->lastAutoAddInteger(), 4);
    EXPECT_EQ(m_editor->settings()->autoAddPrefix(), "No. ");
    EXPECT_EQ(value(0, m_editor->settings()->autoAddContentFieldID()), "1");
    EXPECT_TRUE(m_records[0]->needsSync());

    // The next record added continues the numbering, with the prefix.
    const std::shared_ptr<RecordData> added = m_editor->recordsController().addNewRecord();
    const PlistValue* number = added->fields().find(m_editor->settings()->autoAddContentFieldID());
    ASSERT_TRUE(number);
    EXPECT_EQ(number->stringValue(), "No. 5");
}

TEST_F(EditorFieldContentsTest, AddFieldWithContentAsksAboutUnsavedChanges)
{
    openRows({{{{"A", "x"}}, "", false}});
    m_editor->datafileDocument()->updateChangeCount(Document::ChangeType::Done);
    m_presenter.answerAlertWithButton("Cancel");
    operations().addFieldWithContent();
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "Save changes or Revert to previously saved state before proceeding?");
    EXPECT_EQ(m_presenter.lastAlert().request.buttons,
              (QStringList{"Save Changes", "Cancel", "Revert"}));
    EXPECT_FALSE(VKSheetController::topmostController<AddFieldWithContentSheetController>());
}

TEST_F(EditorFieldContentsTest, TotalsMakeASumRecordAfterTheLastSelectedOne)
{
    openRows({{{{"A", "1.5"}, {"B", "1x"}}, "", false},
              {{{"A", "2.5"}, {"B", "2x"}}, "", false},
              {{{"A", "4"}, {"B", "3x"}}, "", false}});
    for (int run = 0; run < 2; ++run) {
        operations().totalFieldContents();
        auto* total = sheet<TotalFieldContentsSheetController>();
        EXPECT_FALSE(total->okayButton()->isEnabled());
        total->setFieldToTotal(0, true);
        total->setFieldToTotal(1, true);
        EXPECT_TRUE(total->okayButton()->isEnabled());
        total->okay();
    }
    const CurrentRecordEngine& engine = m_editor->engine();
    ASSERT_EQ(engine.selectedRecordCount(), 5);
    for (qint64 index : {3, 4}) {
        const std::shared_ptr<RecordData> sum = engine.recordAtIndex(index);
        EXPECT_TRUE(sum->isSum());
        EXPECT_EQ(sum->fields().find("A")->stringValue(), "8"); // the first sum is skipped
        EXPECT_EQ(sum->textString(),
                  "This record contains the result of summing one or more columns in other "
                  "records.\nIts contents will be ignored when summing columns in the future.");
    }
    // Three values could not be read in each run: one alert each.
    ASSERT_EQ(m_presenter.alerts().size(), 2);
    const AlertRequest& alert = m_presenter.lastAlert().request;
    EXPECT_EQ(alert.messageText,
              "Non-numeric data found in:\n\tRecord #: 1\n\tField: \"Amount\"\n\tData: 1x");
    EXPECT_TRUE(alert.informativeText.endsWith("\n\n2 more values could not be read."))
        << alert.informativeText.toStdString();
}

TEST_F(EditorFieldContentsTest, TransferPutsValuesIntoTheText)
{
    openRows(
        {{{{"A", "x"}}, "abc", false}, {{{"A", ""}}, "def", false}, {{{"A", "y"}}, "ghi", true}});
    operations().transferFieldContents();
    auto* transfer = sheet<TransferFieldContentsSheetController>();
    transfer->setPlacement(4);
    transfer->setTransferMethod(TransferFieldContentsSheetController::Move);
    transfer->okay();
    EXPECT_EQ(m_records[0]->textString(), "abc\nx");
    EXPECT_EQ(value(0, "A"), "");
    EXPECT_NE(m_records[0]->modifiedDate(), PlistDate{1000});
    EXPECT_EQ(m_records[1]->textString(), "def");
    EXPECT_EQ(m_records[1]->modifiedDate(), PlistDate{1000});
    // A locked record is left whole.
    EXPECT_EQ(m_records[2]->textString(), "ghi");
    EXPECT_EQ(value(2, "A"), "y");

    operations().transferFieldContents();
    transfer = sheet<TransferFieldContentsSheetController>();
    transfer->fieldNamesPopup()->setCurrentIndex(0);
    transfer->setPlacement(0);
    m_records[1]->setFields(PlistDictionary{{"A", "x"}}, RecordDataTesting::key());
    transfer->okay();
    EXPECT_EQ(m_records[1]->textString(), "x def");
    EXPECT_EQ(value(1, "A"), "x"); // copied
}

TEST_F(EditorFieldContentsTest, LinesOfTheTextGoIntoTheFields)
{
    openRows({{{}, "one\ttab\ntwo\nthree", false}}, 2);
    m_editor->engine().loadRecordAtIndex(0);
    operations().moveCurrentFreeformTextIntoFields(); // no field content: nothing asked
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    EXPECT_EQ(value(0, "A"), "one tab");
    EXPECT_EQ(value(0, "B"), "two");
    EXPECT_EQ(m_records[0]->textString(), "three");

    m_records.clear();
    openRows({{{{"C", "c"}, {"D", "d"}, {"E", "e"}}, "1\n2\n3", false}}, 5);
    m_editor->engine().loadRecordAtIndex(0);
    operations().moveCurrentFreeformTextIntoFields();
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "Some records have fields that already contain data. Are you sure that you want to "
              "move Freeform Text Area data into fields?");
    EXPECT_EQ(value(0, "C"), "3");
    EXPECT_EQ(value(0, "D"), "d");
    EXPECT_EQ(value(0, "E"), "e");
    EXPECT_EQ(m_records[0]->textString(), "");
}

TEST_F(EditorFieldContentsTest, ALineEndedByABreakDiffersByVariant)
{
    openRows({{{{"B", "kept"}}, "line\n", false}});
    m_editor->engine().loadRecordAtIndex(0);
    m_presenter.answerAlertWithButton("Move the Data");
    operations().moveCurrentFreeformTextIntoFields();
    EXPECT_EQ(value(0, "A"), "line");
    EXPECT_EQ(value(0, "B"), "kept");

    m_records.clear();
    openRows({{{{"B", "kept"}}, "line\n", false},
              {{{"B", "stays"}}, "", false},
              {{{"B", "locked"}}, "x\ny", true}});
    m_presenter.answerAlertWithButton("Move the Data");
    operations().moveAllFreeformTextIntoFields();
    m_editor->engine().saveIfDifferentRecord(nullptr);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "Some records have fields that already contain data. Are you sure that you want to "
              "move Freeform Text Area data into fields in all records?");
    EXPECT_EQ(value(0, "A"), "line");
    EXPECT_EQ(value(0, "B"), "");
    EXPECT_EQ(value(1, "B"), "stays"); // an empty text changes nothing
    EXPECT_EQ(value(2, "B"), "locked");
    EXPECT_EQ(m_records[2]->textString(), "x\ny");
}

TEST_F(EditorFieldContentsTest, TextElementsIntoFields)
{
    m_defaults.setObject(QStringLiteral("555-1234\n(555) 555-1234"),
                         QStringLiteral("PhoneNumberTemplates"));
    openRows({{{}, "nothing", false}, {{}, "call 555-1111", false}, {{}, "none", false}});
    operations().copyOneEach(true, false, false);
    const QString phone =
        m_editor->settings()->fields()[0].asDictionary()->find("Identifier")->stringValue();
    EXPECT_EQ(m_editor->engine().fieldNames().front(), "Phone");
    EXPECT_EQ(value(0, phone), "<missing>"); // before the field was made
    EXPECT_EQ(value(1, phone), "555-1111");
    EXPECT_EQ(m_records[1]->textString(), "call 555-1111");

    m_records.clear();
    openRows({{{}, "555-1111 or 555-2222 or 555-3333", false}, {{}, "only 555-4444 here", false}});
    operations().moveAll(true, false, false);
    m_editor->engine().saveIfDifferentRecord(nullptr);
    QStringList names = m_editor->engine().fieldNames();
    EXPECT_EQ(names.mid(0, 1) + names.mid(3), (QStringList{"Phone 1", "Phone 2", "Phone 3"}));
    EXPECT_FALSE(m_records[0]->textString().contains("555"));
    EXPECT_EQ(m_records[1]->textString(), "only  here");

    m_records.clear();
    openRows({{{}, "plain text", false}});
    operations().moveOneEach(true, true, true);
    names = m_editor->engine().fieldNames();
    EXPECT_EQ(names.mid(0, 3), (QStringList{"Web Link", "Email", "Phone"}));
}

TEST_F(EditorFieldContentsTest, AutoSaveIsRestoredWhenARunThrows)
{
    m_defaults.setObject(QStringLiteral("nnn-nnnn"), QStringLiteral("PhoneNumberTemplates"));
    openRows({{{}, "call 555-1111", false}});
    m_editor->settings()->setAutoSaveChanges(true);
    const auto observer = NotificationCenter::defaultCenter().addObserver(
        QStringLiteral("DidChangeRecordNotification"), nullptr,
        [](const Notification&) { throw std::runtime_error("interrupted"); });
    EXPECT_THROW(operations().copyAll(true, false, false), std::runtime_error);
    NotificationCenter::defaultCenter().removeObserver(observer);
    EXPECT_TRUE(m_editor->settings()->autoSaveChanges());
}

} // namespace

namespace {

TEST_F(EditorFieldContentsTest, APhoneNumberReadThroughPercent20IsNotInTheText)
{
    // The candidate finder reads "%20" as a blank: the number it gives does not stand in
    // the text, so there is none, and copying all of them stops.
    m_defaults.setObject(QStringLiteral("nnn nnnn"), QStringLiteral("PhoneNumberTemplates"));
    openRows({{{}, "dial 555%201234", false}});
    operations().copyOneEach(true, false, false);
    operations().copyAll(true, false, false);
    EXPECT_EQ(m_editor->engine().fieldNames(), (QStringList{"Name", "Amount"}));
}

} // namespace
