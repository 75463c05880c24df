// The editor window's Records commands over real windows: adding, order, locks, the
// go-to and move sheets, and the record information palette.
#include "EditorRecordsController.h"
#include "RecordDataTesting.h"

#include "EditorTableController.h"
#include "EditorTestBase.h"
#include "Pasteboard.h"
#include "RichText.h"
#include "FileURL.h"
#include "FreeformTextView.h"
#include "GotoRecordSheetController.h"
#include "MoveRecordSheetController.h"
#include "NotificationCenter.h"
#include "RecordInfoPaletteController.h"
#include "SortCriteriaData.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

#include <algorithm>
#include <limits>
#include <random>
#include <new>
#include <stdexcept>

// Failures name the strings, not their bytes.
static void PrintTo(const QString& string, std::ostream* stream)
{
    *stream << '"' << string.toStdString() << '"';
}

namespace {

const QString NameField = QStringLiteral("N");

class EditorRecordsControllerTest : public EditorTestBase {
protected:
    void SetUp() override
    {
        EditorTestBase::SetUp();
        m_addedObserver = NotificationCenter::defaultCenter().addObserver(
            "DidAddRecordNotification", nullptr,
            [this](const Notification& note) { m_added.append(note.userInfo); });
    }

    // Records named "1" to count in the field "Name" of two (none when withFields is false), each
    // with its name as its text.
    EditorWindowController* openNumbered(int count, const QString& mode = "Basic",
                                         bool withFields = true)
    {
        auto document = std::make_unique<DatafileDocument>();
        if (withFields)
            document->datafileSettings()->setFields(PlistArray{
                PlistDictionary{{DatafileSettingsData::FieldIdentifierKey, NameField},
                                {DatafileSettingsData::FieldNameKey, "Name"}},
                PlistDictionary{{DatafileSettingsData::FieldIdentifierKey, "T"},
                                {DatafileSettingsData::FieldNameKey, "Note"}}});
        document->datafileSettings()->setMode(mode);
        for (int i = 1; i <= count; ++i) {
            auto record = std::make_shared<RecordData>();
            if (withFields)
                record->setFields(PlistDictionary{{NameField, QString::number(i)}}, RecordDataTesting::key());
            record->setTextString(QString::number(i), RecordDataTesting::key());
            document->datafileRecords()->setRecord(record, record->identifier());
            document->datafileCatalog()->insertIdentifierAtEnd(record->identifier());
            m_identifiers.append(record->identifier());
        }
        document->datafileCatalog()->rebuildSelectedIdentifiers();
        m_document = show(std::move(document));
        return editorOf(m_document);
    }

    // The records of the catalog in order, by name; "new" for one without.
    QStringList order(EditorWindowController* editor, bool selectedOnly = false) const
    {
        const std::shared_ptr<SubsetSortedData>& catalog = editor->engine().catalog();
        QStringList identifiers = catalog->selectedIdentifiers();
        if (!selectedOnly) {
            identifiers.clear();
            for (const PlistValue& entry : catalog->sortedArray())
                identifiers.append(SortedData::identifierOfEntry(entry));
        }
        QStringList names;
        for (const QString& identifier : identifiers)
            names.append(nameOf(editor, identifier));
        return names;
    }

    QString nameOf(EditorWindowController* editor, const QString& identifier) const
    {
        const std::shared_ptr<RecordData> record = editor->engine().recordForIdentifier(identifier);
        const QString text = record ? record->textString() : QString();
        return text.isEmpty() ? QStringLiteral("new") : text;
    }

    QString current(EditorWindowController* editor) const
    {
        const std::shared_ptr<RecordData>& record = editor->engine().currentRecord();
        return record ? nameOf(editor, record->identifier()) : QString();
    }

    void showNumber(EditorWindowController* editor, int number)
    {
        editor->engine().loadRecordAtIndex(
            editor->engine().indexOfRecordWithIdentifier(m_identifiers.at(number - 1)));
    }

    static void emptyCurrentRecord(EditorWindowController* editor)
    {
        editor->engine().currentRecord()->setFields(PlistDictionary(), RecordDataTesting::key());
        editor->freeformTextView()->loadPlainText(QString());
        editor->engine().updateCurrentRecord();
    }

    static void activate(QWidget* window)
    {
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    }

    DatafileDocument* m_document = nullptr;
    QStringList m_identifiers;
    QList<QVariantMap> m_added;
    NotificationObserver m_addedObserver;
};

} // namespace

TEST_F(EditorRecordsControllerTest, AutoAddNumberText_PadsAfterTheSignAndNeverCuts)
{
    const struct {
        qint64 number;
        qint64 digits;
        QString text;
    } cases[] = {
        {8, 3, "008"},   {100, 2, "100"}, {42, 5, "00042"}, {42, 1, "42"}, {7, 1, "7"},
        {-4, 3, "-04"},  {-4, 2, "-4"},   {0, 3, "000"},    {5, 0, "5"},   {5, -2, "5"},
        {std::numeric_limits<qint64>::min(), 25, "-000009223372036854775808"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EditorRecordsController::autoAddNumberText(c.number, c.digits), c.text)
            << c.number << " in " << c.digits;
    // A digit count no field could show does not exhaust memory.
    EXPECT_EQ(EditorRecordsController::autoAddNumberText(1, qint64(1) << 40).size(), 1000);
}

TEST_F(EditorRecordsControllerTest, AutomaticContent_PrefixNumberSuffixIntoTheChosenField)
{
    struct Case {
        const char* name;
        QString field;
        bool number;
        QString prefix, suffix;
        qint64 digits, last;
        std::optional<QString> written; // none: nothing written
        qint64 counter;
    };
    const Case cases[] = {
        {"prefix and number", "F", true, "A-", "", 3, 7, "A-008", 8},
        {"a longer number", "F", true, "", "", 2, 99, "100", 100},
        {"leading zeros", "F", true, "", "", 5, 41, "00042", 42},
        {"digit count 1", "F", true, "", "", 1, 41, "42", 42},
        {"a negative counter", "F", true, "", "", 3, -5, "-04", -4},
        {"suffix", "F", true, "#", "/x", 1, 0, "#1/x", 1},
        {"no field", "", true, "A-", "", 3, 7, std::nullopt, 7},
        {"no number", "F", false, "A-", "-Z", 3, 7, "A--Z", 7},
        {"the last number there is", "F", true, "", "", 1, std::numeric_limits<qint64>::max(),
         QString::number(std::numeric_limits<qint64>::max()), std::numeric_limits<qint64>::max()},
        // An identifier that names no field is written all the same.
        {"no such field", "ELSEWHERE", true, "", "", 1, 0, "1", 1},
    };
    EditorWindowController* editor = openNumbered(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto settings = editor->settings();
        settings->setAutoAddContentFieldID(c.field);
        settings->setAutoAddNumber(c.number);
        settings->setAutoAddPrefix(c.prefix);
        settings->setAutoAddSuffix(c.suffix);
        settings->setAutoAddDigitCount(c.digits);
        settings->setLastAutoAddInteger(c.last);
        auto record = std::make_shared<RecordData>();
        record->setNeedsSync(false);

        editor->recordsController().updateAutoAddContentField(record);

        const PlistValue* value = record->fields().find(c.field);
        EXPECT_EQ(value ? std::optional<QString>(value->stringValue()) : std::nullopt, c.written);
        EXPECT_EQ(settings->lastAutoAddInteger(), c.counter);
        EXPECT_EQ(record->needsSync(), c.written.has_value());
    }
}

TEST_F(EditorRecordsControllerTest, AddRecord_OnAnEmptyCurrentRecord_AddsAndPostsNothing)
{
    EditorWindowController* editor = openNumbered(3);
    editor->settings()->setAutoAddContentFieldID(NameField);
    editor->settings()->setAutoAddNumber(true);
    showNumber(editor, 2);
    emptyCurrentRecord(editor);
    const QString emptyOne = editor->engine().currentRecord()->identifier();

    editor->performAction("addRecord:");
    editor->recordsController().addRecordForModification();
    editor->recordsController().addRecordWithPaste();

    EXPECT_TRUE(m_added.isEmpty());
    EXPECT_EQ(editor->engine().catalog()->count(), 3);
    EXPECT_EQ(editor->engine().currentRecord()->identifier(), emptyOne);
    EXPECT_EQ(editor->settings()->lastAutoAddInteger(), 0);
}

TEST_F(EditorRecordsControllerTest, AddRecord_GoesWhereTheDatafileSays_SelectedAndShown)
{
    const struct {
        qint64 location;
        QStringList order;
    } cases[] = {
        {0, {"1", "2", "new", "3", "4", "5"}},
        {1, {"new", "1", "2", "3", "4", "5"}},
        {2, {"1", "2", "3", "4", "5", "new"}},
        {7, {"1", "2", "new", "3", "4", "5"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.location);
        m_identifiers.clear();
        m_added.clear();
        EditorWindowController* editor = openNumbered(5);
        editor->settings()->setNewRecordLocation(c.location);
        showNumber(editor, 2);
        const QString second = editor->engine().currentRecord()->identifier();

        editor->performAction("addRecord:");

        EXPECT_EQ(order(editor), c.order);
        EXPECT_EQ(current(editor), "new");
        ASSERT_EQ(m_added.size(), 1);
        EXPECT_EQ(m_added.first().value("AfterIdentifier").toString(), second);
        EXPECT_EQ(m_added.first().value("NewIdentifier").toString(),
                  editor->engine().currentRecord()->identifier());
        EXPECT_EQ(editor->engine().viewedRecordList().last(),
                  editor->engine().currentRecord()->identifier());
        EXPECT_TRUE(m_document->isDocumentEdited());
        EXPECT_EQ(editor->engine().lastHitField(), CurrentRecordEngine::NoHit);
    }

    // With only some records selected, the new one is selected and shown.
    for (qint64 location : {0, 1, 2}) {
        SCOPED_TRACE(location);
        m_identifiers.clear();
        EditorWindowController* editor = openNumbered(5);
        editor->settings()->setNewRecordLocation(location);
        editor->engine().catalog()->omitIdentifier(m_identifiers.at(2), true);
        editor->engine().catalog()->omitIdentifier(m_identifiers.at(3), true);
        showNumber(editor, 2);
        editor->performAction("addRecord:");
        EXPECT_EQ(current(editor), "new");
        EXPECT_TRUE(editor->engine().isValidRecord(editor->engine().currentRecord()));
        EXPECT_EQ(editor->engine().selectedRecordCount(), 4);
    }
}

TEST_F(EditorRecordsControllerTest, AddRecord_WithoutACurrentRecord_GoesLast)
{
    EditorWindowController* editor = openNumbered(0);
    ASSERT_FALSE(editor->engine().currentRecord());
    editor->performAction("addRecord:");
    ASSERT_EQ(m_added.size(), 1);
    EXPECT_EQ(m_added.first().value("AfterIdentifier").toString(), "");
    EXPECT_EQ(order(editor), QStringList({"new"}));
    EXPECT_EQ(current(editor), "new");

    m_identifiers.clear();
    editor = openNumbered(3);
    editor->engine().setCurrentRecord(nullptr);
    editor->recordsController().addNewRecord();
    EXPECT_EQ(order(editor), QStringList({"1", "2", "3", "new"}));
}

TEST_F(EditorRecordsControllerTest, AddRecord_PutsTheFocusInTheFirstFieldOrTheText)
{
    EditorWindowController* editor = openNumbered(3, "Basic");
    editor->tableController()->basicTableView()->selectRow(1);
    editor->tableController()->setCurrentField(1);
    editor->performAction("addRecord:");
    EXPECT_TRUE(editor->tableViewActive());
    EXPECT_EQ(editor->tableController()->currentField(), 0u);
    EXPECT_EQ(editor->tableController()->basicTableView()->selectionModel()->selectedRows().first().row(), 0);

    m_identifiers.clear();
    editor = openNumbered(3, "List");
    editor->performAction("addRecord:");
    EXPECT_TRUE(editor->tableViewActive());
    EXPECT_EQ(editor->tableController()->listTableView()->selectionModel()->selectedRows().first().row(),
              int(editor->engine().indexOfCurrentRecord()));

    m_identifiers.clear();
    editor = openNumbered(3, "List", false);
    editor->performAction("addRecord:");
    EXPECT_FALSE(editor->tableViewActive());
    EXPECT_EQ(editor->window()->focusWidget(), editor->freeformTextView());
}

TEST_F(EditorRecordsControllerTest, AddRecordForModification_AndAddNewRecord)
{
    EditorWindowController* editor = openNumbered(3);
    editor->settings()->setAutoAddContentFieldID(NameField);
    editor->settings()->setAutoAddNumber(true);
    editor->settings()->setAutoAddDigitCount(3);
    showNumber(editor, 2);
    const std::shared_ptr<RecordData> second = editor->engine().currentRecord();

    // Numbered one after another; the record on screen stays.
    for (int i = 0; i < 3; ++i)
        editor->recordsController().addNewRecord();
    EXPECT_EQ(editor->engine().currentRecord(), second);
    ASSERT_EQ(m_added.size(), 3);
    QStringList numbers;
    for (const QVariantMap& added : m_added)
        numbers.append(editor->engine()
                           .recordForIdentifier(added.value("NewIdentifier").toString())
                           ->fields()
                           .value(NameField)
                           .stringValue());
    EXPECT_EQ(numbers, QStringList({"001", "002", "003"}));
    EXPECT_EQ(editor->settings()->lastAutoAddInteger(), 3);

    const std::shared_ptr<RecordData> toFill = editor->recordsController().addRecordForModification();
    ASSERT_TRUE(toFill);
    EXPECT_EQ(toFill, editor->engine().currentRecord());
    EXPECT_EQ(toFill->fields().value(NameField).stringValue(), "004");
    // Not placed: directly after the record that was current.
    EXPECT_EQ(editor->engine().catalog()->indexOfIdentifier(toFill->identifier()), 2);
    // The record to fill is empty but for its number: handed out again, not made anew.
    toFill->setFields(PlistDictionary(), RecordDataTesting::key());
    EXPECT_EQ(editor->recordsController().addRecordForModification(), toFill);
}

TEST_F(EditorRecordsControllerTest, AddRecordWithToggle_AltPastesRichText_AltShiftPlainText)
{
    auto* clipboard = new QMimeData;
    clipboard->setHtml("<b>Bold</b> words");
    clipboard->setText("Bold words");
    QApplication::clipboard()->setMimeData(clipboard);

    for (const bool plain : {false, true}) {
        SCOPED_TRACE(plain ? "plain" : "rich");
        m_identifiers.clear();
        EditorWindowController* editor = openNumbered(3);
        emptyCurrentRecord(editor);
        const std::shared_ptr<RecordData> reused = editor->engine().currentRecord();

        editor->recordsController().addRecordWithToggle(plain ? Qt::AltModifier | Qt::ShiftModifier
                                                              : Qt::AltModifier);

        // The empty record on screen receives the paste: nothing is added.
        EXPECT_TRUE(m_added.isEmpty());
        EXPECT_EQ(editor->engine().currentRecord(), reused);
        EXPECT_EQ(reused->textString(), "Bold words");
        QTextCursor cursor(editor->freeformTextView()->document());
        cursor.setPosition(2);
        EXPECT_EQ(cursor.charFormat().fontWeight() >= QFont::Bold, !plain);
        EXPECT_FALSE(reused->textRTFD().isEmpty());
        EXPECT_TRUE(m_document->isDocumentEdited());
    }

    // Without Alt a record is added and nothing pasted.
    m_identifiers.clear();
    EditorWindowController* editor = openNumbered(3);
    editor->recordsController().addRecordWithToggle(Qt::NoModifier);
    EXPECT_EQ(m_added.size(), 1);
    EXPECT_EQ(editor->engine().currentRecord()->textString(), "");

    // Always plain text, into a new record.
    editor->engine().loadRecordAtIndex(0);
    editor->performAction("addRecordWithPasteAsPlainText:");
    EXPECT_EQ(m_added.size(), 2);
    EXPECT_EQ(editor->engine().currentRecord()->textString(), "Bold words");

    // Add Record with Paste: a new record holding the clipboard's rich text.
    editor->engine().loadRecordAtIndex(0);
    editor->performAction("addRecordWithPaste:");
    EXPECT_EQ(m_added.size(), 3);
    EXPECT_EQ(editor->engine().currentRecord()->textString(), "Bold words");
    EXPECT_EQ(editor->recordsController().addRecordWithPasteboard(nullptr), false);
}

TEST_F(EditorRecordsControllerTest, Paste_ThatThrows_ShowsMemoryErrorAndKeepsTheRecord)
{
    EditorWindowController* editor = openNumbered(2);
    int thrown = 0;
    editor->recordsController().setPasteForTesting([&](const QMimeData*, bool plain) -> bool {
        if (thrown++ % 2)
            throw std::runtime_error("unsteady");
        if (plain)
            throw std::length_error("too long");
        throw std::bad_alloc();
    });
    auto* clipboard = new QMimeData;
    clipboard->setText("words");
    QApplication::clipboard()->setMimeData(clipboard);

    EXPECT_FALSE(editor->recordsController().addRecordWithPasteboard(clipboard));
    editor->engine().loadRecordAtIndex(0);
    editor->recordsController().addRecordWithToggle(Qt::AltModifier);
    editor->engine().loadRecordAtIndex(0);
    editor->recordsController().addRecordWithPasteAsPlainText();

    ASSERT_EQ(m_presenter.alerts().size(), 3);
    for (const auto& shown : m_presenter.alerts()) {
        EXPECT_EQ(shown.request.style, AlertRequest::Style::Critical);
        EXPECT_EQ(shown.request.messageText, "Memory Error.");
        EXPECT_EQ(shown.request.informativeText,
                  "It appears that the contents of the clipboard that were just pasted into Norva "
                  "Pro may have caused a instability. We strongly suggest that you save changes, "
                  "quit Norva Pro, and relaunch it..");
        EXPECT_EQ(shown.request.buttons, QStringList({"OK"}));
    }
    // Each record stays, and the operation went on to its end.
    EXPECT_EQ(m_added.size(), 3);
    EXPECT_EQ(editor->engine().catalog()->count(), 5);
    EXPECT_EQ(current(editor), "new");
    EXPECT_TRUE(m_document->isDocumentEdited());
}

TEST_F(EditorRecordsControllerTest, Clone_BeepsAndAddsNothing)
{
    EditorWindowController* editor = openNumbered(3);
    auto made = std::make_unique<EditorWindowController>();
    EditorWindowController* clone = made.get();
    m_document->addWindowController(std::move(made));
    clone->setIsClone(true);
    clone->prepare();

    for (const char* command : {"addRecord:", "addRecordWithPaste:", "addRecordWithToggle:",
                                "addRecordWithPasteAsPlainText:"})
        clone->performAction(command);
    EXPECT_FALSE(clone->recordsController().addRecordForModification());
    EXPECT_FALSE(clone->recordsController().addNewRecord());
    EXPECT_FALSE(clone->recordsController().addRecordWithPasteboard(nullptr));
    EXPECT_EQ(m_presenter.beepCount(), 7);
    EXPECT_TRUE(m_added.isEmpty());
    EXPECT_EQ(editor->engine().catalog()->count(), 3);

    // Nor does it reorder the catalog it shares.
    clone->engine().loadRecordAtIndex(1);
    clone->performAction("makeThisTheFirstRecord:");
    clone->performAction("makeThisTheLastRecord:");
    EXPECT_EQ(order(editor), QStringList({"1", "2", "3"}));
}

TEST_F(EditorRecordsControllerTest, Order_MakeFirstMakeLastAndMoveAfterByTheSheet)
{
    struct Case {
        const char* name;
        int current;
        const char* command;
        QString typed; // into the move sheet
        QStringList order;
        QString shown;
    };
    const Case cases[] = {
        {"2 after 4", 2, "moveAfterRecordNumber:", "4", {"1", "3", "4", "2", "5"}, "2"},
        {"5 after 2", 5, "moveAfterRecordNumber:", "2", {"1", "5", "2", "3", "4"}, "5"},
        {"after itself", 3, "moveAfterRecordNumber:", "3", {"1", "2", "3", "4", "5"}, "3"},
        {"make first", 4, "makeThisTheFirstRecord:", {}, {"4", "1", "2", "3", "5"}, "4"},
        {"make first of the first", 1, "makeThisTheFirstRecord:", {}, {"1", "2", "3", "4", "5"}, "1"},
        {"make last", 2, "makeThisTheLastRecord:", {}, {"1", "3", "4", "5", "2"}, "2"},
        {"make last of the last", 5, "makeThisTheLastRecord:", {}, {"1", "2", "3", "4", "5"}, "5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_identifiers.clear();
        EditorWindowController* editor = openNumbered(5);
        showNumber(editor, c.current);
        editor->performAction(c.command);
        if (!c.typed.isEmpty()) {
            auto* sheet = VKSheetController::topmostController<MoveRecordSheetController>();
            ASSERT_TRUE(sheet);
            EXPECT_EQ(sheet->lastMoveAfterRecord()->text(), "of 5");
            EXPECT_FALSE(sheet->okayButton()->isEnabled());
            QTest::keyClicks(sheet->numberField(), c.typed);
            sheet->okay();
        }
        EXPECT_EQ(order(editor), c.order);
        EXPECT_EQ(current(editor), c.shown);
        EXPECT_EQ(m_document->isDocumentEdited(), c.order != QStringList({"1", "2", "3", "4", "5"}));
    }
}

TEST_F(EditorRecordsControllerTest, NumberSheets_TakeOnlyNumbersUpToTheSelectedCount)
{
    EditorWindowController* editor = openNumbered(5);
    editor->engine().catalog()->omitIdentifier(m_identifiers.at(4), true);
    editor->performAction("goToRecordNumber:");
    auto* sheet = VKSheetController::topmostController<GotoRecordSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->lastGoToRecord()->text(), "of 4");
    QLineEdit* field = sheet->numberField();
    for (const char* refused : {"5", "9", "x", "-", " "})
        QTest::keyClicks(field, refused);
    EXPECT_EQ(field->text(), "");
    EXPECT_FALSE(sheet->okayButton()->isEnabled());
    QTest::keyClicks(field, "0");
    EXPECT_FALSE(sheet->okayButton()->isEnabled());
    field->clear();
    QTest::keyClicks(field, "3");
    EXPECT_TRUE(sheet->okayButton()->isEnabled());
    sheet->cancel();
    EXPECT_EQ(current(editor), "1");

    editor->performAction("goToRecordNumber:");
    sheet = VKSheetController::topmostController<GotoRecordSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->numberField()->text(), ""); // a new question each time
    QTest::keyClicks(sheet->numberField(), "3");
    sheet->okay();
    EXPECT_EQ(current(editor), "3");
    EXPECT_FALSE(VKSheetController::topmostController<GotoRecordSheetController>());

    // One selected record: nothing to go to.
    for (int i = 0; i < 3; ++i)
        editor->engine().catalog()->omitIdentifier(m_identifiers.at(i), true);
    editor->performAction("goToRecordNumber:");
    editor->performAction("moveAfterRecordNumber:");
    EXPECT_FALSE(VKSheetController::topmostController<GotoRecordSheetController>());
    EXPECT_FALSE(VKSheetController::topmostController<MoveRecordSheetController>());
}

TEST_F(EditorRecordsControllerTest, Locks_AllUnlockAllRevertAndToggle)
{
    EditorWindowController* editor = openNumbered(4);
    const auto locks = [&] {
        QList<bool> states;
        for (const QString& identifier : m_identifiers)
            states.append(editor->engine().recordForIdentifier(identifier)->recordLocked());
        return states;
    };
    editor->engine().recordForIdentifier(m_identifiers.at(1))->setRecordLocked(true);
    const QList<bool> before = locks();
    // Only the selected records change.
    editor->engine().catalog()->omitIdentifier(m_identifiers.at(3), true);

    editor->performAction("lockAllRecords:");
    EXPECT_EQ(locks(), QList<bool>({true, true, true, false}));
    EXPECT_EQ(editor->recordLockedImageName(), "TB_C_recordlocked");
    EXPECT_TRUE(editor->freeformTextView()->isReadOnly());
    editor->performAction("revertAllRecordsLockedState:");
    EXPECT_EQ(locks(), before);
    EXPECT_EQ(editor->recordLockedImageName(), "TB_C_recordunlocked");
    EXPECT_FALSE(editor->freeformTextView()->isReadOnly());

    editor->performAction("lockAllRecords:");
    editor->performAction("unlockAllRecords:");
    EXPECT_EQ(locks(), QList<bool>({false, false, false, false}));
    EXPECT_EQ(editor->recordLockedImageName(), "TB_C_recordunlocked");
    editor->performAction("revertAllRecordsLockedState:");
    EXPECT_EQ(locks(), QList<bool>({true, true, true, false}));

    editor->performAction("toggleRecordLocked:");
    EXPECT_EQ(locks(), QList<bool>({false, true, true, false}));
    EXPECT_EQ(editor->recordLockedImageName(), "TB_C_recordunlocked");
    EXPECT_FALSE(editor->freeformTextView()->isReadOnly());
    editor->performAction("toggleRecordLocked:");
    EXPECT_EQ(editor->recordLockedImageName(), "TB_C_recordlocked");
    EXPECT_TRUE(editor->freeformTextView()->isReadOnly());

    // Only the settings count as changed, so closing keeps them.
    EXPECT_TRUE(editor->settings()->datafileSettingsDidChange());
    EXPECT_FALSE(m_document->isDocumentEdited());
}

TEST_F(EditorRecordsControllerTest, SelectAllRecords_SelectsEveryRecordAndKeepsTheOneShown)
{
    EditorWindowController* editor = openNumbered(4);
    editor->engine().catalog()->omitIdentifier(m_identifiers.at(0), true);
    editor->engine().catalog()->omitIdentifier(m_identifiers.at(2), true);
    showNumber(editor, 4);
    editor->performAction("selectAllRecords:");
    EXPECT_EQ(order(editor, true), QStringList({"1", "2", "3", "4"}));
    EXPECT_EQ(current(editor), "4");
    EXPECT_TRUE(editor->settings()->criteria()->selectAllRecords());
}

TEST_F(EditorRecordsControllerTest, WhileSyncing_EveryCommandDoesNothing)
{
    EditorWindowController* editor = openNumbered(4);
    editor->engine().catalog()->omitIdentifier(m_identifiers.at(3), true);
    showNumber(editor, 2);
    editor->engine().loadRecordAtIndex(0);
    editor->settings()->setDatafileSettingsDidChange(false);
    editor->setNowSyncing(true);
    for (const char* command :
         {"goToFirstRecord:", "goToLastRecord:", "goToNextRecord:", "goToPreviousRecord:",
          "goToRecordNumber:", "goBackOneRecord:", "goForwardOneRecord:", "addRecord:",
          "addRecordWithPaste:", "addRecordWithToggle:", "addRecordWithPasteAsPlainText:",
          "makeThisTheFirstRecord:", "makeThisTheLastRecord:", "moveAfterRecordNumber:",
          "lockAllRecords:", "unlockAllRecords:", "revertAllRecordsLockedState:",
          "toggleRecordLocked:", "showRecordInfo:", "selectAllRecords:", "deleteRecord:",
          "deleteRecordWithToggle:", "deleteRecordWithoutWarning:"}) {
        SCOPED_TRACE(command);
        EXPECT_TRUE(editor->respondsToAction(command));
        editor->performAction(command);
        EXPECT_EQ(current(editor), "1");
        EXPECT_EQ(order(editor, true), QStringList({"1", "2", "3"}));
    }
    EXPECT_FALSE(editor->recordsController().addRecordForModification());
    EXPECT_FALSE(editor->recordsController().addNewRecord());
    EXPECT_TRUE(m_added.isEmpty());
    EXPECT_FALSE(editor->engine().currentRecord()->recordLocked());
    EXPECT_FALSE(VKSheetController::topmostController<GotoRecordSheetController>());
    EXPECT_FALSE(m_document->isDocumentEdited());
    EXPECT_FALSE(editor->settings()->datafileSettingsDidChange());
}

TEST_F(EditorRecordsControllerTest, RecordInfoPalette_ShowsTheFrontWindowsRecord_WithoutTheFocus)
{
    RecordInfoPaletteController& palette =
        RecordInfoPaletteController::sharedRecordInfoPaletteController();
    EditorWindowController* first = openNumbered(2);
    first->engine().currentRecord()->setCreatedBy("Ann");
    first->engine().currentRecord()->setModifiedBy("Max");
    first->engine().currentRecord()->setTextString(QString(999, 'x'), RecordDataTesting::key());
    activate(first->window());
    first->performAction("showRecordInfo:");

    EXPECT_TRUE(palette.isVisible());
    EXPECT_TRUE(palette.window()->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_EQ(QApplication::activeWindow(), first->window());
    const QStringList info = first->recordInfo();
    EXPECT_EQ(palette.modifiedOnText()->text(), info.at(0));
    EXPECT_EQ(palette.createdOnText()->text(), info.at(2));
    EXPECT_EQ(palette.modifiedByText()->text(), "Max");
    EXPECT_EQ(palette.createdByText()->text(), "Ann");
    EXPECT_EQ(palette.recordSizeText()->text(), "1000 Bytes"); // 999 characters and "1"

    // Each record loaded in the window in front.
    first->engine().loadRecordAtIndex(1);
    EXPECT_EQ(palette.recordSizeText()->text(), "2 Bytes");

    // Another datafile's window comes to the front: its record.
    m_identifiers.clear();
    EditorWindowController* second = openNumbered(1);
    second->engine().currentRecord()->setCreatedBy("Zoë");
    second->engine().currentRecord()->setTextString(QString(1000, 'y'), RecordDataTesting::key());
    activate(second->window());
    EXPECT_EQ(palette.createdByText()->text(), "Zoë");
    EXPECT_EQ(palette.recordSizeText()->text(), "1.001000 KB");
    // A window behind loads a record: the palette stays with the one in front.
    first->engine().loadRecordAtIndex(0);
    EXPECT_EQ(palette.createdByText()->text(), "Zoë");
    activate(first->window());
    EXPECT_EQ(palette.createdByText()->text(), "Ann");
    palette.window()->hide();
}

// Deleting

namespace {

QStringList tombstones(EditorWindowController* editor)
{
    QStringList identifiers;
    for (const PlistValue& value : editor->settings()->deletedIdentifiers())
        if (const QString* identifier = value.asString())
            identifiers.append(*identifier);
    return identifiers;
}

} // namespace

TEST_F(EditorRecordsControllerTest, Delete_TwoRecords_OnceThenBeeps_TheLastRecordStays)
{
    EditorWindowController* editor = openNumbered(2);
    QStringList deleted;
    const NotificationObserver willDelete = NotificationCenter::defaultCenter().addObserver(
        "WillDeleteRecordNotification", m_document, [&](const Notification& note) {
            deleted.append(note.userInfo.value("Identifier").toString());
        });
    int didDelete = 0;
    const NotificationObserver didDeleteObserver = NotificationCenter::defaultCenter().addObserver(
        "DidDeleteRecordNotification", m_document, [&](const Notification&) { ++didDelete; });

    editor->performAction("deleteRecordWithoutWarning:");
    EXPECT_EQ(order(editor), QStringList({"2"}));
    EXPECT_EQ(current(editor), "2");
    EXPECT_EQ(deleted, QStringList({m_identifiers.at(0)}));
    EXPECT_EQ(didDelete, 1);
    EXPECT_FALSE(m_document->datafileRecords()->recordForIdentifier(m_identifiers.at(0)));
    EXPECT_TRUE(m_document->isDocumentEdited());
    // No tombstone without a Sync ID.
    EXPECT_TRUE(tombstones(editor).isEmpty());
    EXPECT_EQ(m_presenter.beepCount(), 0);

    for (const char* command : {"deleteRecord:", "deleteRecordWithToggle:", "deleteRecordWithoutWarning:"})
        editor->performAction(command);
    EXPECT_EQ(m_presenter.beepCount(), 3);
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    EXPECT_EQ(order(editor), QStringList({"2"}));
}

TEST_F(EditorRecordsControllerTest, Delete_ShowsTheFollowerOrTheFirst_AndAnEmptiedSubsetSelectsAll)
{
    EditorWindowController* editor = openNumbered(5);
    showNumber(editor, 2);
    editor->recordsController().deleteRecordWithoutWarning();
    EXPECT_EQ(current(editor), "3");
    showNumber(editor, 5);
    editor->recordsController().deleteRecordWithoutWarning();
    EXPECT_EQ(current(editor), "1");
    EXPECT_EQ(order(editor), QStringList({"1", "3", "4"}));

    // The only selected record of a subset: afterwards every record is selected.
    editor->engine().catalog()->setSelectedIdentifiers({m_identifiers.at(3)});
    editor->engine().loadRecordAtIndex(0);
    ASSERT_EQ(current(editor), "4");
    editor->recordsController().deleteRecordWithoutWarning();
    EXPECT_EQ(order(editor, true), QStringList({"1", "3"}));
    EXPECT_EQ(current(editor), "1");
    // Going back never reaches a deleted record.
    EXPECT_FALSE(editor->engine().viewedRecordList().contains(m_identifiers.at(3)));
}

TEST_F(EditorRecordsControllerTest, Delete_AsksWithTheExactTexts_CancelKeeps_ShiftAltDeletesAtOnce)
{
    EditorWindowController* editor = openNumbered(6);
    const QString plain = "Are you sure you want to delete the current record?";
    const QString synced = "When this datafile is synchronized, this record will also be deleted "
                           "on the other sync file.\n\nAre you sure you want to delete the current "
                           "record?";

    m_presenter.answerAlerts({AlertSecondButtonReturn});
    editor->performAction("deleteRecord:");
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    const AlertRequest& asked = m_presenter.lastAlert().request;
    EXPECT_EQ(asked.messageText, "Delete Record?");
    EXPECT_EQ(asked.informativeText, plain);
    EXPECT_EQ(asked.buttons, QStringList({"Delete", "Cancel"}));
    EXPECT_EQ(asked.style, AlertRequest::Style::Critical);
    EXPECT_EQ(editor->engine().catalog()->count(), 6);

    editor->settings()->setSyncID("SYNC");
    m_presenter.answerAlerts({AlertFirstButtonReturn});
    editor->performAction("deleteRecord:");
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText, synced);
    EXPECT_EQ(editor->engine().catalog()->count(), 5);

    // One of Shift and Alt alone still asks, and the message has no question mark.
    for (const Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(Qt::ShiftModifier),
                                                  Qt::KeyboardModifiers(Qt::AltModifier),
                                                  Qt::KeyboardModifiers()}) {
        m_presenter.answerAlerts({AlertSecondButtonReturn});
        editor->recordsController().deleteRecordWithToggle(modifiers);
        EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Delete Record");
        EXPECT_EQ(m_presenter.lastAlert().request.informativeText, synced);
    }
    EXPECT_EQ(m_presenter.alerts().size(), 5);
    EXPECT_EQ(editor->engine().catalog()->count(), 5);

    showNumber(editor, 4);
    editor->recordsController().deleteRecordWithToggle(Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_EQ(m_presenter.alerts().size(), 5);
    editor->performAction("deleteRecordWithoutWarning:");
    // The tombstones in the order of deletion.
    EXPECT_EQ(tombstones(editor),
              QStringList({m_identifiers.at(0), m_identifiers.at(3), m_identifiers.at(4)}));
    EXPECT_EQ(order(editor), QStringList({"2", "3", "6"}));
}

TEST_F(EditorRecordsControllerTest, Delete_NeverInAClone)
{
    EditorWindowController* editor = openNumbered(3);
    auto made = std::make_unique<EditorWindowController>();
    EditorWindowController* clone = made.get();
    m_document->addWindowController(std::move(made));
    clone->setIsClone(true);
    clone->prepare();
    clone->recordsController().deleteRecordWithoutWarning();
    clone->recordsController().deleteElementSheetDidEnd(1);
    EXPECT_EQ(editor->engine().catalog()->count(), 3);
    EXPECT_EQ(m_presenter.beepCount(), 1);
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

// Duplicating

TEST_F(EditorRecordsControllerTest, Duplicate_CopiesFieldsAndText_TheAutomaticFieldGetsTheNextNumber)
{
    EditorWindowController* editor = openNumbered(3);
    const auto settings = editor->settings();
    settings->setAutoAddContentFieldID("T");
    settings->setAutoAddNumber(true);
    settings->setAutoAddPrefix("A-");
    settings->setAutoAddDigitCount(3);
    settings->setLastAutoAddInteger(7);
    showNumber(editor, 2);
    const std::shared_ptr<RecordData> source = editor->engine().currentRecord();
    editor->engine().writeField(source, "T", "A-007", CurrentRecordEngine::FieldWrite::Bulk);
    source->setTextRTFD(QByteArray("rich"), RecordDataTesting::key());
    editor->settings()->setNewRecordLocation(2); // last, yet a duplicate stays by its source

    editor->performAction("duplicateCurrentRecord:");
    const std::shared_ptr<RecordData> copy = editor->engine().currentRecord();
    ASSERT_NE(copy, source);
    EXPECT_NE(copy->identifier(), source->identifier());
    EXPECT_EQ(copy->fields().value(NameField), PlistValue("2"));
    EXPECT_EQ(copy->fields().value("T"), PlistValue("A-008"));
    EXPECT_EQ(copy->textString(), "2");
    EXPECT_EQ(editor->freeformTextView()->plainText(), "2");
    EXPECT_EQ(order(editor), QStringList({"1", "2", "2", "3"}));
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 2);
    EXPECT_TRUE(m_document->isDocumentEdited());

    // The datafile's setting places it as a new record.
    settings->setDuplicateRecordLocationMatchesNewRecordLocation(true);
    showNumber(editor, 1);
    editor->performAction("duplicateCurrentRecord:");
    EXPECT_EQ(order(editor), QStringList({"1", "2", "2", "3", "1"}));
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 4);
    settings->setNewRecordLocation(1);
    showNumber(editor, 3);
    editor->performAction("duplicateCurrentRecord:");
    EXPECT_EQ(order(editor), QStringList({"3", "1", "2", "2", "3", "1"}));
}

TEST_F(EditorRecordsControllerTest, Duplicate_AnEmptyRecordOrAClone_DoesNothing)
{
    EditorWindowController* editor = openNumbered(2);
    emptyCurrentRecord(editor);
    editor->performAction("duplicateCurrentRecord:");
    EXPECT_EQ(editor->engine().catalog()->count(), 2);
    EXPECT_TRUE(m_added.isEmpty());

    auto made = std::make_unique<EditorWindowController>();
    EditorWindowController* clone = made.get();
    m_document->addWindowController(std::move(made));
    clone->setIsClone(true);
    clone->prepare();
    clone->engine().loadRecordAtIndex(1);
    clone->recordsController().duplicateCurrentRecord();
    EXPECT_EQ(editor->engine().catalog()->count(), 2);
    EXPECT_EQ(m_presenter.beepCount(), 1);
}

// Copying

TEST_F(EditorRecordsControllerTest, CopyWithFieldNames_NamesValuesThenTheText_EditsCommittedFirst)
{
    EditorWindowController* editor = openNumbered(3);
    showNumber(editor, 2);
    // Typed and not yet committed: the copy has it.
    editor->freeformTextView()->loadPlainText("Two\nlines");
    const QString textName = editor->settings()->textName();

    editor->performAction("copyRecordWithFieldNames:");
    EXPECT_EQ(QApplication::clipboard()->text(),
              "Name:\t2\nNote:\t\n\n" + textName + ":\nTwo\nlines");
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    EXPECT_FALSE(copied->hasHtml());
}

// Deleting the selected records, and the backup copy

TEST_F(EditorRecordsControllerTest, BackupFileName_DateTimeForTheExtension_NeverOverwrites)
{
    const QString dateTime = "12-9-24_9•05•07_PM";
    QStringList taken;
    const auto isTaken = [&](const QString& name) { return taken.contains(name); };
    EXPECT_EQ(EditorRecordsController::backupFileName("Contacts.nv3", ".nv3", dateTime, isTaken),
              "Contacts 12-9-24_9•05•07_PM.nv3");
    taken = {"Contacts 12-9-24_9•05•07_PM.nv3", "Contacts 12-9-24_9•05•07_PM 2.nv3"};
    EXPECT_EQ(EditorRecordsController::backupFileName("Contacts.nv3", ".nv3", dateTime, isTaken),
              "Contacts 12-9-24_9•05•07_PM 3.nv3");
    EXPECT_EQ(EditorRecordsController::backupFileName("Contacts", ".nvm", dateTime, isTaken),
              "Contacts 12-9-24_9•05•07_PM.nvm");

    // 2024-12-09 21:05:07 UTC, in locales that write it with slashes, colons and odd spaces.
    for (const char* locale : {"en_US", "de_DE", "ja_JP", "fr_FR"}) {
        SCOPED_TRACE(locale);
        const QString text = EditorRecordsController::fullDateTime(locale, 1733778307000.0);
        EXPECT_FALSE(text.isEmpty());
        for (const QChar character : text)
            EXPECT_FALSE(character == '/' || character == ':' || character.isSpace())
                << text.toStdString();
    }
    EXPECT_TRUE(EditorRecordsController::fullDateTime("en_US", 1733778307000.0).contains("•05•07"));
}

TEST_F(EditorRecordsControllerTest, DeleteAllSelected_BacksUpThenDeletesFromTheLastUp)
{
    const QString datafiles = m_dir.filePath("Datafiles");
    ASSERT_TRUE(QDir().mkdir(datafiles));
    m_defaults.setObject(PlistValue(FileURL::folderURLString(datafiles)), "DatafilesFolderURL");
    EditorWindowController* editor = openNumbered(5);
    editor->settings()->setSyncID("SYNC");
    editor->engine().catalog()->setSelectedIdentifiers(
        {m_identifiers.at(1), m_identifiers.at(2), m_identifiers.at(4)});
    editor->engine().loadRecordAtIndex(0);

    m_presenter.answerAlerts({AlertFirstButtonReturn});
    editor->performAction("deleteAllSelectedRecords:");
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Delete All Selected Records?");
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "When this datafile is synchronized, These records will also be deleted on the "
              "other sync file.\n\nAre you sure you want to delete all currently selected "
              "records?");
    EXPECT_EQ(order(editor), QStringList({"1", "4"}));
    EXPECT_EQ(order(editor, true), QStringList({"1", "4"}));
    EXPECT_EQ(current(editor), "1");
    EXPECT_EQ(tombstones(editor),
              QStringList({m_identifiers.at(4), m_identifiers.at(2), m_identifiers.at(1)}));

    // The backup is the datafile as it was.
    const QStringList backups = QDir(datafiles + "/Backups").entryList(QDir::Files);
    ASSERT_EQ(backups.size(), 1);
    EXPECT_TRUE(backups.first().endsWith(".nv3"));
    DatafileDocument backup;
    ASSERT_TRUE(backup.readFromURL(QUrl::fromLocalFile(datafiles + "/Backups/" + backups.first()),
                                   DatafileDocument::ProDatafileType));
    EXPECT_EQ(backup.datafileCatalog()->count(), 5);
    EXPECT_EQ(backup.datafileRecords()->recordForIdentifier(m_identifiers.at(2))->textString(), "3");

    // Every record selected: nothing to do.
    editor->performAction("deleteAllSelectedRecords:");
    EXPECT_EQ(m_presenter.beepCount(), 1);
}

TEST_F(EditorRecordsControllerTest, DeleteAllSelected_WithoutABackupNothingIsDeleted_UnlessSwitchedOff)
{
    EditorWindowController* editor = openNumbered(3);
    editor->engine().catalog()->setSelectedIdentifiers({m_identifiers.at(1)});
    editor->engine().loadRecordAtIndex(0);

    // No datafiles folder.
    editor->recordsController().deleteAllSelectedRecordsDidEnd(1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "The backup copy could not be written.");
    EXPECT_EQ(editor->engine().catalog()->count(), 3);
    // Cancelled.
    editor->recordsController().deleteAllSelectedRecordsDidEnd(0);
    EXPECT_EQ(editor->engine().catalog()->count(), 3);

    m_defaults.setInteger(1, "NoBackupForDelectedSelectedRecords");
    editor->recordsController().deleteAllSelectedRecordsDidEnd(1);
    EXPECT_EQ(order(editor), QStringList({"1", "3"}));
    EXPECT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_TRUE(tombstones(editor).isEmpty());
}

TEST_F(EditorRecordsControllerTest, CopyRecord_FieldLinesInTheTextFontBeforeTheRichText)
{
    EditorWindowController* editor = openNumbered(3);
    QTextDocument rich;
    QTextCursor writer(&rich);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    writer.insertText("Two", italic);
    m_document->datafileRecords()->recordForIdentifier(m_identifiers.at(1))->setTextRTFD(
        RichText::toRtfd(rich), RecordDataTesting::key());
    showNumber(editor, 2);

    editor->performAction("copyRecord:");
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->text(), "2\n\nTwo");
    EXPECT_FALSE(copied->data("text/rtf").isEmpty());
    const RichTextResult read = RichText::fromRtfd(copied->data(Pasteboard::RtfdType));
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(RichText::plainText(*read.document), "2\n\nTwo");
    QTextCursor cursor(read.document.get());
    cursor.setPosition(1);
    EXPECT_EQ(cursor.charFormat().font().family(), editor->settings()->textFont().family());
    EXPECT_FALSE(cursor.charFormat().fontItalic());
    cursor.setPosition(5);
    EXPECT_TRUE(cursor.charFormat().fontItalic());

    // A record without rich text gives its plain text.
    showNumber(editor, 3);
    editor->engine().currentRecord()->setTextRTFD(QByteArray(), RecordDataTesting::key());
    editor->recordsController().copyRecord();
    EXPECT_EQ(QApplication::clipboard()->text(), "3\n\n3");
    EXPECT_EQ(RichText::plainText(
                  *RichText::fromRtfd(QApplication::clipboard()->mimeData()->data(Pasteboard::RtfdType))
                       .document),
              "3\n\n3");
}

// Removing duplicates

namespace {

QByteArray styledRtfd(const QString& text, bool bold)
{
    QTextDocument rich;
    QTextCharFormat format;
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    QTextCursor(&rich).insertText(text, format);
    return RichText::toRtfd(rich);
}

struct RecordSpec {
    QString name;
    QString text;
    QByteArray rtfd = {};
};

} // namespace

TEST_F(EditorRecordsControllerTest, DuplicateIdentifiers_SameFieldsAndText_StylingNeverKeepsOne)
{
    const QByteArray plain = styledRtfd("Text", false);
    const QByteArray bold = styledRtfd("Text", true);
    const QByteArray other = styledRtfd("Other", false);
    struct Case {
        const char* name;
        QList<RecordSpec> records;
        bool richText;
        QStringList expected; // positions, the last first
    };
    const Case cases[] = {
        {"three equal: the later two", {{"A", "x"}, {"A", "x"}, {"B", "x"}, {"A", "x"}}, false, {"3", "1"}},
        {"case tells records apart", {{"a", "x"}, {"A", "x"}, {"a", "X"}}, true, {}},
        {"two empty records are one duplicate", {{"", ""}, {"", ""}}, true, {"1"}},
        {"styling alone", {{"A", "Text", plain}, {"A", "Text", bold}}, true, {"1"}},
        {"one without rich text", {{"A", "Text", plain}, {"A", "Text"}}, true, {"1"}},
        {"rich texts that read differently", {{"A", "Text", plain}, {"A", "Text", other}}, true, {}},
        {"... alike as plain text", {{"A", "Text", plain}, {"A", "Text", other}}, false, {"1"}},
        {"unreadable rich text is never a duplicate",
         {{"A", "Text", plain}, {"A", "Text", "rtfd-garbage"}}, true, {}},
    };
    for (const Case& c : cases) {
        QList<std::shared_ptr<RecordData>> records;
        for (const RecordSpec& spec : c.records) {
            auto record = std::make_shared<RecordData>();
            record->setIdentifier(QString::number(records.size()));
            if (!spec.name.isEmpty())
                record->setFields(PlistDictionary{{NameField, spec.name}}, RecordDataTesting::key());
            record->setTextString(spec.text, RecordDataTesting::key());
            record->setTextRTFD(spec.rtfd, RecordDataTesting::key());
            records.append(record);
        }
        EXPECT_EQ(EditorRecordsController::duplicateIdentifiers(records, {NameField, "T"}, c.richText),
                  c.expected)
            << c.name;
    }
}

namespace {

// The removal as it was first written, kept as the reference: the whole catalog sorted by
// whole record, then each record in that order compared with the earlier ones that hold the
// same field values and text. The identifiers removed, the last first, and the order left.
struct ReferenceRemoval {
    QStringList removed;
    QStringList left;
};

ReferenceRemoval referenceRemoval(DatafileDocument& document, const QStringList& fieldIdentifiers,
                                  bool compareRichText)
{
    const std::shared_ptr<SubsetSortedData>& catalog = document.datafileCatalog();
    catalog->pushCatalog();
    const std::shared_ptr<SortCriteriaData> criteria = SortCriteriaData::criteria();
    criteria->setCompareSelector(SortCriteriaData::AllFieldsKind);
    catalog->setCriteria(criteria);
    catalog->sort();
    const auto plainOf = [](const RecordData& record) -> std::optional<QString> {
        const RichTextResult rich = RichText::fromRtfd(record.textRTFD());
        if (!rich.ok() || !rich.document)
            return std::nullopt;
        return RichText::plainText(*rich.document);
    };
    const auto sameRichText = [&](const RecordData& earlier, const RecordData& later) {
        if (earlier.textRTFD().isEmpty() || later.textRTFD().isEmpty() ||
            earlier.textRTFD() == later.textRTFD())
            return true;
        const std::optional<QString> first = plainOf(earlier);
        const std::optional<QString> second = plainOf(later);
        return first && second && *first == *second;
    };
    QHash<QStringList, QList<const RecordData*>> kept;
    ReferenceRemoval result;
    for (const QString& identifier : catalog->selectedIdentifiers()) {
        const std::shared_ptr<RecordData> record = document.datafileRecords()->recordForIdentifier(identifier);
        if (!record)
            continue;
        QStringList contents;
        for (const QString& field : fieldIdentifiers)
            contents.append(record->fields().stringForKey(field));
        contents.append(record->textString());
        QList<const RecordData*>& same = kept[contents];
        const bool duplicate =
            !same.isEmpty() &&
            (!compareRichText || std::any_of(same.cbegin(), same.cend(), [&](const RecordData* earlier) {
                return sameRichText(*earlier, *record);
            }));
        if (duplicate) {
            result.removed.prepend(identifier);
        } else {
            same.append(record.get());
            result.left.append(identifier);
        }
    }
    return result;
}

// A datafile of many records with exact copies, near copies (one field, only the text or
// only the rich text differs), values that differ but sort alike (case, composed and
// decomposed accents) and records that repeat nothing, in a shuffled order with part of it
// shown. The same identifiers every time, so that two documents made from it compare.
std::unique_ptr<DatafileDocument> generatedDatafile(quint32 seed, int count, bool manyDuplicates)
{
    std::mt19937 random(seed);
    const auto below = [&](int n) { return int(random() % unsigned(n)); };
    const QStringList words{"ann", "Ann", "ANN", "bob", QString::fromUtf8("jos\u00e9"),
                            QString::fromUtf8("jose\u0301"), "", "cy", "dee", "Eve"};
    const QByteArray plainRich = styledRtfd("text 1", false);
    const QByteArray boldRich = styledRtfd("text 1", true);
    const QByteArray otherRich = styledRtfd("other", false);

    auto document = std::make_unique<DatafileDocument>();
    const QStringList fields{"F1", "F2", "F3"};
    document->datafileSettings()->setFields(PlistArray{
        PlistDictionary{{DatafileSettingsData::FieldIdentifierKey, "F1"}, {DatafileSettingsData::FieldNameKey, "One"}},
        PlistDictionary{{DatafileSettingsData::FieldIdentifierKey, "F2"}, {DatafileSettingsData::FieldNameKey, "Two"}},
        PlistDictionary{{DatafileSettingsData::FieldIdentifierKey, "F3"}, {DatafileSettingsData::FieldNameKey, "Three"}}});
    document->datafileSettings()->setSyncID("SYNC");
    QList<std::shared_ptr<RecordData>> made;
    for (int i = 0; i < count; ++i) {
        auto record = std::make_shared<RecordData>();
        record->setIdentifier(QStringLiteral("R%1").arg(i, 5, 10, QLatin1Char('0')));
        const std::shared_ptr<RecordData> model =
            !made.isEmpty() && (manyDuplicates ? below(2) == 0 : false) ? made.at(below(int(made.size())))
                                                                      : nullptr;
        PlistDictionary values;
        QString text;
        QByteArray rtfd;
        if (model) {
            values = model->fields().shallowCopy();
            text = model->textString();
            rtfd = model->textRTFD();
            switch (below(6)) {
            case 0: // one field differs
                values.insert(fields.at(below(3)), words.at(below(int(words.size()))));
                break;
            case 1: // only the text differs
                text += QStringLiteral(" more");
                break;
            case 2: // only the rich text differs
                rtfd = below(2) == 0 ? boldRich : otherRich;
                break;
            default: // an exact copy, its values perhaps stored in another order
                if (below(2) == 0) {
                    PlistDictionary reordered;
                    for (auto field = fields.crbegin(); field != fields.crend(); ++field) {
                        if (const PlistValue* value = values.find(*field))
                            reordered.insert(*field, *value);
                    }
                    values = reordered;
                }
                break;
            }
        } else {
            for (const QString& field : fields) {
                const QString word = words.at(below(int(words.size())));
                if (!word.isEmpty() || below(2) == 0)
                    values.insert(field, manyDuplicates ? word : word + QString::number(i));
            }
            text = below(3) == 0 ? QString() : QStringLiteral("text %1").arg(manyDuplicates ? below(3) : i);
            const int rich = below(8);
            rtfd = rich == 0 ? plainRich : rich == 1 ? boldRich : QByteArray();
        }
        record->setFields(values, RecordDataTesting::key());
        record->setTextString(text, RecordDataTesting::key());
        record->setTextRTFD(rtfd, RecordDataTesting::key());
        made.append(record);
    }
    std::shuffle(made.begin(), made.end(), random);
    for (const std::shared_ptr<RecordData>& record : made) {
        document->datafileRecords()->setRecord(record, record->identifier());
        document->datafileCatalog()->insertIdentifierAtEnd(record->identifier());
    }
    for (const std::shared_ptr<RecordData>& record : made) {
        if (below(4) == 0)
            document->datafileCatalog()->omitIdentifier(record->identifier(), false);
    }
    document->datafileCatalog()->rebuildSelectedIdentifiers();
    return document;
}

} // namespace

TEST_F(EditorRecordsControllerTest, StripDuplicates_AgreesWithTheWholeRecordSortAndCompare)
{
    struct Case {
        const char* name;
        quint32 seed;
        int count;
        bool manyDuplicates;
        bool richText;
    };
    const Case cases[] = {
        {"many duplicates and near ones, rich text", 1, 1200, true, true},
        {"many duplicates and near ones, plain text", 2, 1200, true, false},
        {"none alike", 3, 600, false, true},
    };
    for (const Case& c : cases) {
        std::unique_ptr<DatafileDocument> reference = generatedDatafile(c.seed, c.count, c.manyDuplicates);
        const ReferenceRemoval expected = referenceRemoval(*reference, {"F1", "F2", "F3"}, c.richText);
        const QStringList before = generatedDatafile(c.seed, c.count, c.manyDuplicates)
                                       ->datafileCatalog()
                                       ->selectedIdentifiers();

        DatafileDocument* document = show(generatedDatafile(c.seed, c.count, c.manyDuplicates));
        EditorWindowController* editor = editorOf(document);
        const qint64 removed = editor->recordsController().stripDuplicateRecords(c.richText);

        EXPECT_EQ(removed, expected.removed.size()) << c.name;
        EXPECT_EQ(tombstones(editor), expected.removed) << c.name;
        if (expected.removed.isEmpty()) {
            EXPECT_EQ(editor->engine().catalog()->selectedIdentifiers(), before) << c.name;
        } else {
            EXPECT_EQ(editor->engine().catalog()->selectedIdentifiers(), expected.left) << c.name;
            EXPECT_EQ(editor->engine().catalog()->count(), expected.left.size()) << c.name;
        }
        if (c.manyDuplicates) {
            EXPECT_GT(expected.removed.size(), c.count / 10) << c.name;
        }
    }
}

TEST_F(EditorRecordsControllerTest, RemoveDuplicates_TheEarliestStays_TombstonesAndCountTold)
{
    EditorWindowController* editor = openNumbered(5);
    editor->settings()->setSyncID("SYNC");
    showNumber(editor, 2);
    // Records 1, 3 and 5 become equal to 4's contents; 2 stays apart.
    for (int number : {1, 3, 5}) {
        const std::shared_ptr<RecordData> record =
            m_document->datafileRecords()->recordForIdentifier(m_identifiers.at(number - 1));
        record->setFields(PlistDictionary{{NameField, "4"}}, RecordDataTesting::key());
        record->setTextString("4", RecordDataTesting::key());
    }
    m_document->updateChangeCount(Document::ChangeType::Cleared);

    editor->performAction("removeDuplicateRecords:");
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "3 duplicate record(s) removed.");
    EXPECT_TRUE(m_presenter.lastAlert().request.informativeText.isEmpty());
    EXPECT_EQ(m_presenter.lastAlert().request.buttons, QStringList({"OK"}));
    // Left in whole-record order; of the equal ones the first in the datafile stays.
    const QStringList left = editor->engine().catalog()->selectedIdentifiers();
    EXPECT_EQ(left, QStringList({m_identifiers.at(1), m_identifiers.at(0)}));
    EXPECT_EQ(tombstones(editor),
              QStringList({m_identifiers.at(4), m_identifiers.at(3), m_identifiers.at(2)}));
    EXPECT_EQ(m_document->datafileRecords()->count(), 2);
    EXPECT_EQ(editor->engine().currentRecord()->identifier(), m_identifiers.at(1));
    EXPECT_TRUE(m_document->isDocumentEdited());
}

TEST_F(EditorRecordsControllerTest, RemoveDuplicates_NoneFound_KeepsOrderSelectionSortAndState)
{
    EditorWindowController* editor = openNumbered(4);
    showNumber(editor, 3);
    editor->recordsController().makeThisTheFirstRecord();
    editor->engine().catalog()->omitIdentifier(m_identifiers.at(0), false);
    editor->engine().catalog()->omitIdentifier(m_identifiers.at(1), true);
    const std::shared_ptr<VKSortCriteriaData> criteria = editor->engine().catalog()->criteria();
    m_document->updateChangeCount(Document::ChangeType::Cleared);

    editor->performAction("removeDuplicateRecords:");
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "No duplicate records were removed.");
    EXPECT_EQ(order(editor), QStringList({"3", "1", "2", "4"}));
    EXPECT_EQ(order(editor, true), QStringList({"3", "4"}));
    EXPECT_EQ(editor->engine().catalog()->criteria(), criteria);
    EXPECT_FALSE(m_document->isDocumentEdited());
    EXPECT_EQ(current(editor), "3");
}

// A text file as a record

TEST_F(EditorRecordsControllerTest, ImportTextFile_PlainTextInEveryEncoding_BecomesANewRecord)
{
    EditorWindowController* editor = openNumbered(1);
    const struct {
        const char* file;
        QByteArray bytes;
        QString text;
    } files[] = {
        {"utf8.txt", QStringLiteral("Gr\u00fc\u00dfe\nzwei").toUtf8(), QStringLiteral("Gr\u00fc\u00dfe\nzwei")},
        {"ASCII.TXT", "plain words", "plain words"},
        {"wide.text", QByteArray("\xFF\xFEh\0i\0", 6), "hi"},
    };
    for (const auto& file : files) {
        QFile out(m_dir.filePath(file.file));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(file.bytes);
        out.close();
        const qint64 before = editor->engine().catalog()->count();
        m_presenter.answerOpenPanel({QUrl::fromLocalFile(out.fileName())});
        editor->performAction("importTextFileAsRecord:");
        EXPECT_EQ(editor->engine().catalog()->count(), before + 1) << file.file;
        EXPECT_EQ(editor->engine().currentRecord()->textString(), file.text) << file.file;
        EXPECT_EQ(editor->freeformTextView()->plainText(), file.text) << file.file;
        // The rich text says the same.
        EXPECT_EQ(RichText::plainText(
                      *RichText::fromRtfd(editor->engine().currentRecord()->textRTFD()).document),
                  file.text);
    }
    const OpenPanelRequest& request = m_presenter.openPanels().last().request;
    EXPECT_EQ(request.message, "Select a Text File to Import");
    EXPECT_EQ(request.fileTypes, QStringList({"text", "txt", "TEXT", "TXT", "rtf", "rtfd", "RTF", "RTFD"}));
    EXPECT_FALSE(request.allowsMultipleSelection);
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    EXPECT_TRUE(m_document->isDocumentEdited());

    // Cancelled: nothing.
    const qint64 count = editor->engine().catalog()->count();
    m_presenter.answerOpenPanel({});
    editor->performAction("importTextFileAsRecord:");
    EXPECT_EQ(editor->engine().catalog()->count(), count);
}

TEST_F(EditorRecordsControllerTest, ImportTextFile_UnreadableFileIsToldAndAddsNoRecord)
{
    EditorWindowController* editor = openNumbered(2);
    QFile binary(m_dir.filePath("image.txt"));
    ASSERT_TRUE(binary.open(QIODevice::WriteOnly));
    binary.write(QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16));
    binary.close();
    QFile rtf(m_dir.filePath("broken.rtf"));
    ASSERT_TRUE(rtf.open(QIODevice::WriteOnly));
    rtf.write("not rich text at all");
    rtf.close();

    for (const QString& path : {binary.fileName(), rtf.fileName(), m_dir.filePath("gone.txt")}) {
        m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
        editor->performAction("importTextFileAsRecord:");
        EXPECT_EQ(m_presenter.lastAlert().request.messageText,
                  QStringLiteral("The file \u201C%1\u201D could not be read.").arg(QFileInfo(path).fileName()));
        EXPECT_FALSE(m_presenter.lastAlert().request.informativeText.isEmpty());
    }
    EXPECT_EQ(m_presenter.alerts().size(), 3);
    EXPECT_EQ(editor->engine().catalog()->count(), 2);
}

TEST_F(EditorRecordsControllerTest, ImportTextFile_RtfdFolderKeepsItsPictureUnlessMobile)
{
    QTextDocument rich;
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    rich.addResource(QTextDocument::ImageResource, QUrl("red"), red);
    QTextCursor cursor(&rich);
    cursor.insertText("Picture ");
    QTextImageFormat image;
    image.setName("red");
    cursor.insertImage(image);
    const QString folder = m_dir.filePath("Note.rtfd");
    ASSERT_TRUE(QDir().mkdir(folder));
    for (const RtfdFile& file : RichText::toRtfdFiles(rich)) {
        QFile out(folder + "/" + file.name);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(file.contents);
    }
    OpenPanelRequest packages;
    packages.packageTypes = {"rtfd", "RTFD"};
    EXPECT_TRUE(packages.isPackage(folder));
    EXPECT_FALSE(packages.isPackage(m_dir.path()));

    EditorWindowController* editor = openNumbered(1);
    m_presenter.answerOpenPanel({QUrl::fromLocalFile(folder)});
    editor->performAction("importTextFileAsRecord:");
    ASSERT_EQ(editor->engine().catalog()->count(), 2);
    EXPECT_EQ(m_presenter.openPanels().last().request.packageTypes, QStringList({"rtfd", "RTFD"}));
    const std::shared_ptr<RecordData> record = editor->engine().currentRecord();
    EXPECT_EQ(record->textString(), QStringLiteral("Picture \ufffc"));
    const RichTextResult stored = RichText::fromRtfd(record->textRTFD());
    ASSERT_TRUE(stored.ok());
    QTextCursor at(stored.document.get());
    at.setPosition(9);
    EXPECT_TRUE(at.charFormat().isImageFormat());

    // A mobile datafile keeps the text alone.
    m_document->setIsMobile(true);
    m_presenter.answerOpenPanel({QUrl::fromLocalFile(folder)});
    editor->performAction("importTextFileAsRecord:");
    ASSERT_EQ(editor->engine().catalog()->count(), 3);
    EXPECT_EQ(editor->engine().currentRecord()->textString(), QStringLiteral("Picture \ufffc"));
    EXPECT_TRUE(editor->engine().currentRecord()->textRTFD().isEmpty());
}
