// Phone numbers in the current record, the Dial commands with a recording dialer and URL
// opener, and Make Telephone Links over real editor windows.
#include "EditorTelephonyController.h"
#include "RecordDataTesting.h"

#include "DatafileChanges.h"
#include "DialingSets.h"
#include "EditorTableController.h"
#include "EditorTestBase.h"
#include "FieldCellEditor.h"
#include "FreeformTextView.h"
#include "RXTableView.h"
#include "RichText.h"
#include "Telephony.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

// Failures name the strings, not their bytes.
static void PrintTo(const QString& string, std::ostream* stream)
{
    *stream << '"' << string.toStdString() << '"';
}

namespace {

using Controller = EditorTelephonyController;

const QString DefaultTemplates =
    QStringLiteral("nnn-nnnn\nnnn-nnn-nnnn\nnnn nnn-nnnn\n(nnn)nnn-nnnn\n(nnn) nnn-nnnn");

TEST(TelephoneNumberPieces, SplitAtEachLowerCaseX)
{
    const struct {
        QString number;
        QStringList pieces;
    } cases[] = {{"555-1234x12x3", {"555-1234", "12", "3"}},
                 {"555x", {"555"}},
                 {"x12", {}},
                 {"555xx12", {"555"}},
                 {"555X12", {"555X12"}},
                 {"", {}}};
    for (const auto& each : cases)
        EXPECT_EQ(Controller::phoneNumberArrayFromString(each.number), each.pieces)
            << each.number.toStdString();
}

TEST(TelephoneNumberBrackets, OnlyTheFirstPairCounts)
{
    const struct {
        QString text;
        QString bracket;
        QString number;
    } cases[] = {{"call \\555-1234\\ now", "\\", "555-1234"},
                 {"\\\\555-1234\\", "\\", ""},
                 {"one \\555-1234 only", "\\", ""},
                 {"[[555]] [[777]]", "[[", "555]] "},
                 {"#555#", "", ""}};
    for (const auto& each : cases)
        EXPECT_EQ(Controller::bracketedPhoneNumberInString(each.text, each.bracket), each.number)
            << each.text.toStdString();
}

TEST(TelephoneNumberSearch, FirstMatchingRunInTheWindow)
{
    const QStringList formats = DefaultTemplates.split(u'\n');
    const struct {
        QString text;
        qsizetype start;
        qsizetype length; // -1: to the end
        QString number;
    } cases[] = {
        {"Call 555-1234 now", 0, -1, "555-1234"},   {"(555) 123-4567", 0, -1, "(555) 123-4567"},
        {"555-1234.", 0, -1, "555-1234"},           {"555-1234 x", 0, -1, ""},
        {"555-1234\nmore text", 0, -1, "555-1234"}, {"(555)%20123-4567", 0, -1, "(555) 123-4567"},
        {"12 then 555-1234", 0, -1, "555-1234"},    {"555-1234 and 555-9876", 1, -1, "555-9876"},
        {"555-1234 555-9876", 1, -1, ""},           {"555-1234", 0, 6, ""}};
    for (const auto& each : cases) {
        const qsizetype length = each.length < 0 ? each.text.size() - each.start : each.length;
        EXPECT_EQ(Telephony::firstMatchingNumber(each.text, each.start, length, formats),
                  each.number)
            << each.text.toStdString();
    }
    EXPECT_EQ(Telephony::firstMatchingNumber(QStringLiteral("555-1234"), 0, 8, {}), "");
}

TEST(TelephoneUrls, StrictAddressesOnly)
{
    const struct {
        QString text;
        bool linkable; // as the text of a link
        bool opens;    // as an address handed to the desktop
    } cases[] = {{"tel://555-1234", true, true},
                 {"tel://(555)%20123-4567", true, false},
                 {"tel://(555)123-4567", true, false},
                 {"tel://5551234567", true, true},
                 {"tel://(555) 123-4567", false, false},
                 {"tel://555\u00a01234", false, false},
                 {"tel://555\t1234", false, false},
                 {"tel://555<1234", false, false},
                 {"tel://555|1234", false, false},
                 {"tel://555\\1234", false, false},
                 {"", false, false}};
    for (const auto& each : cases) {
        EXPECT_EQ(Telephony::isStrictUrlText(each.text), each.linkable) << each.text.toStdString();
        const std::optional<QUrl> url = Telephony::telephoneUrl(each.text);
        EXPECT_EQ(url.has_value(), each.opens) << each.text.toStdString();
        if (url) {
            EXPECT_EQ(url->toString(QUrl::FullyEncoded), each.text);
        }
    }
}

// Where dialed numbers go, as the engine and the sheets would get them.
struct RecordingDialer : EditorTelephonyController::Dialer {
    struct Call {
        QString how; // "engine", "extensions" or "showing"
        QStringList numbers;
        QString modemPath;
        int dialingMethod = 0;
        bool operator==(const Call&) const = default;
    };
    void dialPhoneNumber(const QString& number, const QString& modemPath, int method) override
    {
        calls.append({"engine", {number}, modemPath, method});
    }
    void dialExtensions(const QStringList& pieces, QWidget*, const QString& modemPath,
                        int method) override
    {
        calls.append({"extensions", pieces, modemPath, method});
    }
    void dialPhoneShowingNumber(const QString& number, QWidget*, const QString& modemPath,
                                int method) override
    {
        calls.append({"showing", {number}, modemPath, method});
    }
    QList<Call> calls;
};

void PrintTo(const RecordingDialer::Call& call, std::ostream* stream)
{
    *stream << call.how.toStdString() << " " << call.numbers.join(',').toStdString() << " "
            << call.modemPath.toStdString() << " " << call.dialingMethod;
}

class EditorTelephonyTest : public EditorTestBase {
protected:
    struct Row {
        PlistDictionary fields;
        QString text;
    };

    void SetUp() override
    {
        EditorTestBase::SetUp();
        m_defaults.setObject(DefaultTemplates, "PhoneNumberTemplates");
        EditorTelephonyController::setDialerForTesting(&m_dialer);
    }
    void TearDown() override
    {
        EditorTelephonyController::setDialerForTesting(nullptr);
        EditorTestBase::TearDown();
    }

    // Fields "Name" (A) and "Phone" (B); each text stored as rich text too.
    EditorWindowController* openRows(const QList<Row>& rows, bool mobile = false)
    {
        auto document = std::make_unique<DatafileDocument>();
        if (mobile)
            document->setFileType(DatafileDocument::MobileDatafileType);
        DatafileSettingsData& settings = *document->datafileSettings();
        settings.setFields(
            PlistArray{PlistDictionary{{"Identifier", "A"}, {"Name", "Name"}, {"Width", 150.0}},
                       PlistDictionary{{"Identifier", "B"}, {"Name", "Phone"}, {"Width", 150.0}}});
        settings.setMode("Basic");
        for (const Row& row : rows) {
            auto record = std::make_shared<RecordData>();
            record->setFields(row.fields.deepCopy(), RecordDataTesting::key());
            record->setTextString(row.text, RecordDataTesting::key());
            if (!row.text.isEmpty()) {
                QTextDocument text;
                text.setPlainText(row.text);
                record->setTextRTFD(RichText::toRtfd(text), RecordDataTesting::key());
            }
            record->setModifiedDate(PlistDate{1000});
            document->datafileRecords()->setRecord(record, record->identifier());
            document->datafileCatalog()->insertIdentifierAtEnd(record->identifier());
            m_records.append(record);
        }
        document->datafileCatalog()->selectAll();
        m_document = show(std::move(document));
        m_editor = editorOf(m_document);
        m_editor->window()->activateWindow();
        QApplication::setActiveWindow(m_editor->window());
        return m_editor;
    }

    Controller& telephony() const { return m_editor->telephonyController(); }

    // The caret (and selection) in the focused text area.
    void focusText(int position, int anchor = -1)
    {
        FreeformTextView* view = m_editor->freeformTextView();
        view->setFocus();
        QTextCursor cursor(view->document());
        cursor.setPosition(anchor < 0 ? position : anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        view->setTextCursor(cursor);
    }
    void focusField(quint64 field)
    {
        m_editor->tableController()->basicTableView()->setFocus();
        m_editor->tableController()->setCurrentField(field);
    }

    // The links of the record's rich text: each linked text and its address.
    static QList<QPair<QString, QString>> linksOf(const RecordData& record)
    {
        QList<QPair<QString, QString>> links;
        const RichTextResult rich = RichText::fromRtfd(record.textRTFD());
        if (!rich.ok())
            return links;
        for (QTextBlock block = rich.document->begin(); block.isValid(); block = block.next())
            for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment)
                if (fragment.fragment().charFormat().isAnchor())
                    links.append({fragment.fragment().text(),
                                  fragment.fragment().charFormat().anchorHref()});
        return links;
    }

    // Runs the links command and waits for its total.
    QString makeLinks()
    {
        const qsizetype before = m_presenter.alerts().size();
        EXPECT_TRUE(m_editor->performAction("createLinksForAllTelephoneNumbers:"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_presenter.alerts().size() > before; }, 5000));
        EXPECT_FALSE(telephony().makingLinks());
        return m_presenter.alerts().isEmpty() ? QString()
                                              : m_presenter.lastAlert().request.messageText;
    }

    RecordingDialer m_dialer;
    QList<std::shared_ptr<RecordData>> m_records;
    DatafileDocument* m_document = nullptr;
    EditorWindowController* m_editor = nullptr;
};

TEST_F(EditorTelephonyTest, FieldsMatchOnlyFromTheirFirstCharacter)
{
    const struct {
        QString a;
        QString b;
        QString number;
    } cases[] = {{"Tel 555-1234", "", ""},
                 {"Tel 555-1234", "555-1234", "555-1234"},
                 {"555-1234 home", "", "555-1234"},
                 {"(555) 123-4567", "", "(555) 123-4567"}};
    for (const auto& each : cases) {
        openRows({{PlistDictionary{{"A", each.a}, {"B", each.b}}, ""}});
        focusField(0);
        EXPECT_EQ(telephony().formatMatchingPhoneNumber(), each.number) << each.a.toStdString();
    }
}

TEST_F(EditorTelephonyTest, TheTextAreaSearchesFromTheCaretThenFieldsThenBeforeTheCaret)
{
    openRows({{PlistDictionary{{"B", "555-7777"}}, "555-1234 and 555-9876"}});
    const struct {
        int caret;
        QString number;
    } cases[] = {{0, "555-1234"},   // from the caret
                 {9, "555-9876"},   // the number after the caret first
                 {21, "555-7777"},  // the fields before the text before the caret
                 {17, "555-7777"}}; // caret inside the second number: "876" does not match
    for (const auto& each : cases) {
        focusText(each.caret);
        EXPECT_EQ(telephony().formatMatchingPhoneNumber(), each.number) << each.caret;
    }
    // Without the field, the text before the caret, cut at the caret.
    openRows({{PlistDictionary{}, "555-1234 and 555-9876"}});
    focusText(21);
    EXPECT_EQ(telephony().formatMatchingPhoneNumber(), "555-1234");
    focusText(6);
    EXPECT_EQ(telephony().formatMatchingPhoneNumber(), "555-9876");
    openRows({{PlistDictionary{}, "only 555-1234"}});
    focusText(10);
    EXPECT_EQ(telephony().formatMatchingPhoneNumber(), "");
}

TEST_F(EditorTelephonyTest, FieldTextSearchesFromTheCurrentFieldThenTextThenEarlierFields)
{
    openRows({{PlistDictionary{{"A", "555-1111"}, {"B", "555-2222"}}, "555-3333"}});
    focusField(1);
    EXPECT_EQ(telephony().formatMatchingPhoneNumber(), "555-2222");
    focusField(0);
    EXPECT_EQ(telephony().formatMatchingPhoneNumber(), "555-1111");
    openRows({{PlistDictionary{{"A", "555-1111"}}, "555-3333"}});
    focusField(1);
    EXPECT_EQ(telephony().formatMatchingPhoneNumber(), "555-3333");
    // A caret in the text does not matter here: all of the text is searched.
    m_editor->freeformTextView()->moveCursor(QTextCursor::End);
    focusField(1);
    EXPECT_EQ(telephony().formatMatchingPhoneNumber(), "555-3333");
}

TEST_F(EditorTelephonyTest, TheSelectionIsTheNumberWhereTheUserTypes)
{
    openRows({{PlistDictionary{{"A", "Ada 555-1212"}}, "call 12345 today"}});
    focusText(10, 5);
    EXPECT_EQ(telephony().highlightedPhoneNumber(), "12345");
    focusText(5);
    EXPECT_EQ(telephony().highlightedPhoneNumber(), "");
    EXPECT_EQ(telephony().tableTextSelectedText(), "");

    m_editor->tableController()->editFieldOfCurrentRecord(0);
    FieldCellEditor* cell = m_editor->tableController()->currentTableView()->cellEditor();
    ASSERT_TRUE(cell);
    cell->setFocus();
    cell->setSelection(4, 8);
    EXPECT_EQ(telephony().highlightedPhoneNumber(), "555-1212");
    EXPECT_EQ(telephony().tableTextSelectedText(), "555-1212");
}

TEST_F(EditorTelephonyTest, BracketedNumbersOnlyWhenTheBracketIsUsed)
{
    openRows({{PlistDictionary{{"A", "\\555-0000\\"}}, "call \\555-1234\\ now"}});
    focusText(0);
    EXPECT_EQ(telephony().bracketedPhoneNumber(), "");
    m_defaults.setBool(true, "UsePhoneNumberBracket");
    m_defaults.setObject(QStringLiteral("\\"), "PhoneNumberBracket");
    EXPECT_EQ(telephony().bracketedPhoneNumber(), "555-1234");
    // The field before the text from the caret, outside the text area.
    focusField(0);
    EXPECT_EQ(telephony().bracketedPhoneNumber(), "555-0000");
    // The text area's last step looks at all of its text.
    focusText(12);
    EXPECT_EQ(telephony().bracketedPhoneNumber(), "555-0000");
    openRows({{PlistDictionary{}, "call \\555-1234\\ now"}});
    focusText(12);
    EXPECT_EQ(telephony().bracketedPhoneNumber(), "555-1234");
    m_defaults.setObject(QString(), "PhoneNumberBracket");
    EXPECT_EQ(telephony().bracketedPhoneNumber(), "");
}

TEST_F(EditorTelephonyTest, DialCommands)
{
    m_defaults.setObject(DialingSets::defaultSets(), DialingSets::DialingSetListKey);
    const struct {
        const char* name;
        QString text;
        qint64 method; // -1: not stored
        std::optional<int> set;
        bool showNowDialing;
        QList<RecordingDialer::Call> calls;
        QString url;
        int beeps;
    } cases[] = {
        {"no number", "no number here", 2, 0, false, {}, "", 1},
        {"speaker, basic", "555-1234", 2, 0, false, {{"engine", {"555-1234"}, "", 2}}, "", 0},
        {"long distance", "555-1234", 2, 1, false, {{"engine", {"1555-1234"}, "", 2}}, "", 0},
        {"no set", "555-1234", 2, std::nullopt, false, {{"engine", {"555-1234"}, "", 2}}, "", 0},
        {"set past the list", "555-1234", 2, 9, false, {{"engine", {"555-1234"}, "", 2}}, "", 0},
        {"modem", "555-1234", 3, 0, false, {{"engine", {"555-1234"}, "/dev/modem", 3}}, "", 0},
        {"url, no prefix", "555-1234", 1, 1, false, {}, "tel://555-1234", 0},
        {"url, blanks", "(555) 123-4567", 1, 0, false, {}, "tel://5551234567", 0},
        {"now dialing", "555-1234", 2, 0, true, {{"showing", {"555-1234"}, "", 2}}, "", 0},
        {"unknown method", "555-1234", 7, 0, false, {}, "", 0},
    };
    for (const auto& each : cases) {
        openRows({{PlistDictionary{}, each.text}});
        focusText(0);
        m_defaults.setInteger(each.method, "DialingMethod");
        m_defaults.setBool(each.showNowDialing, "ShowNowDialing");
        m_defaults.setObject(QStringLiteral("/dev/modem"), "ModemPreferredPath");
        m_dialer.calls.clear();
        m_presenter.clear();
        telephony().dialPhone(each.set);
        EXPECT_EQ(m_dialer.calls, each.calls) << each.name;
        EXPECT_EQ(m_presenter.openedUrls().isEmpty() ? QString()
                                                     : m_presenter.openedUrls().front().toString(),
                  each.url)
            << each.name;
        EXPECT_EQ(m_presenter.beepCount(), each.beeps) << each.name;
    }
}

TEST_F(EditorTelephonyTest, ExtensionsAlwaysGoToTheExtensionsSheet)
{
    m_defaults.setInteger(2, "DialingMethod");
    for (const bool showNowDialing : {false, true}) {
        openRows({{PlistDictionary{{"A", "555-1234x12"}}, ""}});
        m_defaults.setBool(showNowDialing, "ShowNowDialing");
        m_dialer.calls.clear();
        // The selected number is dialed as it stands, extensions and all.
        m_editor->tableController()->editFieldOfCurrentRecord(0);
        FieldCellEditor* cell = m_editor->tableController()->currentTableView()->cellEditor();
        ASSERT_TRUE(cell);
        cell->setSelection(0, 11);
        telephony().dialPhone(0);
        EXPECT_EQ(m_dialer.calls,
                  (QList<RecordingDialer::Call>{{"extensions", {"555-1234", "12"}, "", 2}}));
    }
    // Only extensions: nothing to dial them after.
    m_dialer.calls.clear();
    openRows({{PlistDictionary{{"A", "x12"}}, ""}});
    m_editor->tableController()->editFieldOfCurrentRecord(0);
    m_editor->tableController()->currentTableView()->cellEditor()->setSelection(0, 3);
    telephony().dialPhone(0);
    EXPECT_TRUE(m_dialer.calls.isEmpty());
    EXPECT_EQ(m_presenter.beepCount(), 1);
}

TEST_F(EditorTelephonyTest, TheFirstDialChoosesTheMethodFromTheOlderSetting)
{
    openRows({{PlistDictionary{}, "555-1234"}});
    focusText(0);
    // Neither key: the modem, and with no modem chosen nothing is dialed.
    telephony().dialPhone(std::nullopt);
    EXPECT_EQ(m_defaults.integerForKey("DialingMethod"), 3);
    EXPECT_TRUE(m_dialer.calls.isEmpty());
    EXPECT_EQ(m_presenter.beepCount(), 0);
    // The stored method holds, whatever the older key says now.
    m_defaults.setBool(true, "UseSpeakerDialing");
    m_defaults.setObject(QStringLiteral("/dev/modem"), "ModemPreferredPath");
    telephony().dialPhone(std::nullopt);
    EXPECT_EQ(m_dialer.calls.size(), 1);
    EXPECT_EQ(m_dialer.calls.front().dialingMethod, 3);
    m_defaults.removeObjectForKey("DialingMethod");
    telephony().dialPhone(std::nullopt);
    EXPECT_EQ(m_defaults.integerForKey("DialingMethod"), 2);
    EXPECT_EQ(m_dialer.calls.back().dialingMethod, 2);
}

TEST_F(EditorTelephonyTest, TheBasicSetIsTheDefaultOne)
{
    openRows({{PlistDictionary{}, "555-1234"}});
    focusText(0);
    m_defaults.setInteger(2, "DialingMethod");
    PlistArray sets = DialingSets::defaultSets();
    sets[0].asDictionary()->insert(DialingSets::IsDefaultKey, false);
    m_defaults.setObject(sets, DialingSets::DialingSetListKey);
    telephony().dialPhoneWithBasicSet();
    EXPECT_TRUE(m_dialer.calls.isEmpty());
    EXPECT_EQ(m_presenter.beepCount(), 0);
    sets[1].asDictionary()->insert(DialingSets::IsDefaultKey, true);
    m_defaults.setObject(sets, DialingSets::DialingSetListKey);
    telephony().dialPhoneWithBasicSet();
    EXPECT_EQ(m_dialer.calls, (QList<RecordingDialer::Call>{{"engine", {"1555-1234"}, "", 2}}));
}

TEST_F(EditorTelephonyTest, LinksGoIntoMatchingFieldsAndTextsOfEveryShownRecord)
{
    openRows({{PlistDictionary{{"A", "Home 555-1234"}, {"B", "555-1234"}}, "(555) 123-4567"},
              {PlistDictionary{}, "Call 555-9876 now"},
              {PlistDictionary{{"A", "Ada"}}, "nothing"}});
    // What the user typed in the current record is linked too.
    m_editor->freeformTextView()->moveCursor(QTextCursor::End);
    m_editor->freeformTextView()->insertPlainText(" or 555-0000");
    m_editor->setCurrentRecordDirty(true);
    const QByteArray untouched = m_records[2]->textRTFD();
    EXPECT_EQ(makeLinks(), "4 Links Added");
    const RecordData& first = *m_records[0];
    EXPECT_EQ(first.fields().stringForKey("A"), "Home 555-1234");
    EXPECT_EQ(first.fields().stringForKey("B"), "tel://555-1234");
    EXPECT_EQ(linksOf(first),
              (QList<QPair<QString, QString>>{{"(555) 123-4567", "tel://(555)%20123-4567"},
                                              {"555-0000", "tel://555-0000"}}));
    EXPECT_EQ(linksOf(*m_records[1]),
              (QList<QPair<QString, QString>>{{"555-9876", "tel://555-9876"}}));
    EXPECT_EQ(m_records[1]->modifiedDate(), PlistDate{1000});
    EXPECT_EQ(m_records[2]->textRTFD(), untouched);
    EXPECT_TRUE(m_document->isDocumentEdited());
    // The record shown is the one the pass left, links and all.
    EXPECT_EQ(m_editor->engine().currentRecord(), m_records[0]);
    EXPECT_EQ(m_editor->freeformTextView()->plainText(), "(555) 123-4567 or 555-0000");
    EXPECT_TRUE(m_editor->freeformTextView()
                    ->document()
                    ->findBlockByNumber(0)
                    .begin()
                    .fragment()
                    .charFormat()
                    .isAnchor());

    // Again: the fields hold links already, the texts are linked afresh.
    EXPECT_EQ(makeLinks(), "3 Links Added");
    EXPECT_EQ(first.fields().stringForKey("B"), "tel://555-1234");
    EXPECT_EQ(linksOf(first).size(), 2);
}

TEST_F(EditorTelephonyTest, TheTotalCountsOneOrNone)
{
    openRows({{PlistDictionary{{"B", "555-1234"}}, ""}, {PlistDictionary{}, "no number"}});
    EXPECT_EQ(makeLinks(), "1 Link Added");
    openRows({{PlistDictionary{{"B", "Home 555-1234"}}, "nothing"}});
    EXPECT_EQ(makeLinks(), "0 Links Added");
    EXPECT_FALSE(m_document->isDocumentEdited());
    EXPECT_EQ(m_presenter.lastAlert().request.buttons, QStringList{"OK"});
    EXPECT_TRUE(m_presenter.lastAlert().sheet);
}

TEST_F(EditorTelephonyTest, AMobileDatafileGetsNoLinks)
{
    openRows({{PlistDictionary{{"B", "555-1234"}}, "555-9876"}}, true);
    EXPECT_EQ(makeLinks(), "0 Links Added");
    EXPECT_EQ(m_records[0]->fields().stringForKey("B"), "555-1234");
    EXPECT_FALSE(m_document->isDocumentEdited());
}

TEST_F(EditorTelephonyTest, TheProgressSheetCoversThePass)
{
    QList<Row> rows;
    for (int index = 0; index < 300; ++index)
        rows.append({PlistDictionary{{"B", "555-1234"}}, "Call 555-9876"});
    openRows(rows);
    ASSERT_TRUE(m_editor->performAction("createLinksForAllTelephoneNumbers:"));
    EXPECT_TRUE(telephony().makingLinks());
    EXPECT_TRUE(m_editor->progressPanel()->isVisible());
    // A second start while one runs is no second pass.
    m_editor->telephonyController().createLinksForAllTelephoneNumbers();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !m_presenter.alerts().isEmpty(); }, 10000));
    EXPECT_FALSE(m_editor->progressPanel()->isVisible());
    EXPECT_EQ(m_presenter.alertMessages(), QStringList{"600 Links Added"});
}

} // namespace
