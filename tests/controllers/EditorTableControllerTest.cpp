#include "EditorTableController.h"
#include "RecordDataTesting.h"

#include "BasicViewModel.h"
#include "EditorTestBase.h"
#include "FieldCellEditor.h"
#include "ListViewModel.h"
#include "NotificationCenter.h"
#include "PropertyList.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

class EditorTableControllerTest : public EditorTestBase {
protected:
    // Two records, two fields, shown in the Basic View.
    EditorWindowController* openEditor()
    {
        auto document = std::make_unique<DatafileDocument>();
        document->datafileSettings()->setFields(PlistArray{
            PlistDictionary{{DatafileSettingsData::FieldIdentifierKey, QStringLiteral("F1")},
                            {DatafileSettingsData::FieldNameKey, QStringLiteral("Name")}},
            PlistDictionary{{DatafileSettingsData::FieldIdentifierKey, QStringLiteral("F2")},
                            {DatafileSettingsData::FieldNameKey, QStringLiteral("Phone")}}});
        for (int i = 0; i < 2; ++i) {
            auto record = std::make_shared<RecordData>();
            record->setTextString(QStringLiteral("Text"), RecordDataTesting::key());
            document->datafileRecords()->setRecord(record, record->identifier());
            document->datafileCatalog()->insertIdentifierAtEnd(record->identifier());
        }
        document->datafileCatalog()
            ->rebuildSelectedIdentifiers(); // appending leaves it to the caller
        m_document = show(std::move(document));
        EditorWindowController* editor = editorOf(m_document);
        editor->engine().setCanSaveChanges(true);
        return editor;
    }

    // Starts editing the current record's first field, holding that value.
    static FieldCellEditor* editFirstField(EditorWindowController* editor, const QString& value)
    {
        editor->engine().currentRecord()->setFields(PlistDictionary{{QStringLiteral("F1"), value}}, RecordDataTesting::key());
        editor->reloadTables();
        EditorTableController& tables = *editor->tableController();
        tables.singleClicked(BasicViewModel::ValueColumn, 0);
        return tables.basicTableView()->cellEditor();
    }

    // The middle of the character at that index, in the editor's viewport.
    static QPoint pointOfCharacter(FieldCellEditor* cell, int index)
    {
        QTextCursor cursor = cell->textCursor();
        cursor.setPosition(index);
        const QRect before = cell->cursorRect(cursor);
        cursor.setPosition(index + 1);
        return {(before.left() + cell->cursorRect(cursor).left()) / 2, before.center().y()};
    }

    DatafileDocument* m_document = nullptr;
};

} // namespace

TEST_F(EditorTableControllerTest,
       Typing_LineBreaksAndTabsBecomeSpaces_DatafileEditedAtOnce)
{
    EditorWindowController* editor = openEditor();
    EditorTableController& tables = *editor->tableController();
    const std::shared_ptr<RecordData> record = editor->engine().currentRecord();
    ASSERT_TRUE(record);
    tables.singleClicked(BasicViewModel::ValueColumn, 0);
    FieldCellEditor* cell = tables.basicTableView()->cellEditor();
    ASSERT_TRUE(cell);
    QTest::keyClicks(cell, QStringLiteral("xy"));
    cell->setCursorPosition(1);
    QApplication::clipboard()->setText(QStringLiteral("a\tb\nc"));
    QTest::keyClick(cell, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(cell->text(), QStringLiteral("xa b cy"));
    EXPECT_EQ(cell->cursorPosition(), 6);
    EXPECT_TRUE(editor->engine().currentRecordDirty());
    EXPECT_TRUE(m_document->isDocumentEdited());

    // One undo takes back the paste and its cleaning together.
    QTest::keyClick(cell, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(cell->text(), QStringLiteral("xy"));

    QTest::keyClick(cell, Qt::Key_V, Qt::ControlModifier);
    tables.endEditing();
    const PlistValue* stored = record->fields().find(QStringLiteral("F1"));
    ASSERT_TRUE(stored && stored->asString());
    EXPECT_EQ(*stored->asString(), QStringLiteral("xa b cy"));
    EXPECT_EQ(RecordData::cleanedFieldValue(QStringLiteral("1\r2\u20283\u20294")),
              QStringLiteral("1 2 3 4"));
}

TEST_F(EditorTableControllerTest, ReturnAndTab_EndTheCellAndMoveOn_NeverEnterTheValue)
{
    EditorWindowController* editor = openEditor();
    EditorTableController& tables = *editor->tableController();
    tables.singleClicked(BasicViewModel::ValueColumn, 0);
    QTest::keyClicks(tables.basicTableView()->cellEditor(), QStringLiteral("Ann"));
    QTest::keyClick(tables.basicTableView()->cellEditor(), Qt::Key_Return);
    EXPECT_EQ(tables.currentField(), 1u);
    FieldCellEditor* next = tables.basicTableView()->cellEditor();
    ASSERT_TRUE(next);
    QTest::keyClicks(next, QStringLiteral("555"));
    QTest::keyClick(next, Qt::Key_Tab);
    EXPECT_EQ(tables.currentField(), 0u);
    const PlistDictionary fields = editor->engine().currentRecord()->fields();
    EXPECT_EQ(fields.value(QStringLiteral("F1")), PlistValue(QStringLiteral("Ann")));
    EXPECT_EQ(fields.value(QStringLiteral("F2")), PlistValue(QStringLiteral("555")));
}

TEST_F(EditorTableControllerTest, Editing_RefusedInALockedRecordACloneOrWhileSyncing)
{
    EditorWindowController* editor = openEditor();
    EditorTableController& tables = *editor->tableController();
    EXPECT_TRUE(tables.control());
    editor->engine().currentRecord()->setRecordLocked(true);
    EXPECT_FALSE(tables.control());
    tables.singleClicked(BasicViewModel::ValueColumn, 0);
    EXPECT_FALSE(tables.basicTableView()->cellEditor());
    editor->engine().currentRecord()->setRecordLocked(false);
    editor->setNowSyncing(true);
    EXPECT_FALSE(tables.control());
    editor->setNowSyncing(false);
    editor->setIsClone(true);
    EXPECT_FALSE(tables.control());
}

TEST(EditorTableControllerMovement, ReturnTabAndBacktab_MoveAndWrap)
{
    using Target = EditorTableController::CellTarget;
    struct Case {
        bool basic;
        TextMovement movement;
        qint64 field;
        std::optional<Target> expected;
    };
    const Case cases[] = {
        {true, TextMovement::Return, 0, Target{1, false}},
        {true, TextMovement::Return, 2, Target{0, false}},
        {true, TextMovement::Tab, 2, Target{0, false}},
        {true, TextMovement::Backtab, 0, Target{2, false}},
        {true, TextMovement::Backtab, 2, Target{1, false}},
        {false, TextMovement::Return, 1, Target{1, true}},
        {false, TextMovement::Tab, 2, Target{0, false}},
        {false, TextMovement::Backtab, 0, Target{2, false}},
        {true, TextMovement::Other, 1, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditorTableController::movementTarget(c.basic, c.movement, c.field, 3),
                  c.expected)
            << int(c.movement) << " from " << c.field;
}

TEST_F(EditorTableControllerTest, EndToEnd_EditAFieldMoveOnAndSave_WritesOnlyThatChange)
{
    // A datafile written by another serializer, opened as the application opens one.
    const QString path = m_dir.filePath("good.nv3");
    ASSERT_TRUE(QFile::copy(QStringLiteral(NORVA_FIXTURES_DIR "/datafile/good.nv3"), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    const auto readRecords = [&] {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const PlistValue top = readPropertyList(file.readAll()).value;
        return *top.asDictionary()->value("Records").asDictionary();
    };
    const PlistDictionary before = readRecords().deepCopy();

    m_document = open(path);
    EditorWindowController* editor = editorOf(m_document);
    editor->engine().setCanSaveChanges(true);
    EditorTableController& tables = *editor->tableController();
    tables.changeMode("Basic");

    const QString edited = editor->engine().currentRecord()->identifier();
    tables.singleClicked(BasicViewModel::ValueColumn, 0);
    FieldCellEditor* cell = tables.basicTableView()->cellEditor();
    ASSERT_TRUE(cell);
    cell->selectAll();
    QTest::keyClicks(cell, QStringLiteral("Robert Jones"));
    editor->goToNextRecord();
    m_document->saveDocument();
    ASSERT_FALSE(m_document->isDocumentEdited());

    const PlistDictionary after = readRecords();
    ASSERT_EQ(after.size(), before.size());
    for (const PlistDictionary::Entry& entry : before) {
        const PlistValue writtenValue = after.value(entry.key);
        const PlistDictionary* written = writtenValue.asDictionary();
        ASSERT_TRUE(written) << entry.key.toStdString();
        const PlistDictionary original = *entry.value.asDictionary();
        if (entry.key != edited) {
            // Untouched apart from being viewed.
            for (const char* key :
                 {"Fields", "TextString", "RecordModifiedDate", "NeedsSync", "RecordName"})
                EXPECT_EQ(written->value(key), original.value(key)) << key;
            continue;
        }
        const QString nameField = "3F2504E0-4F89-11D3-9A0C-0305E82C3301";
        const PlistValue fields = written->value("Fields");
        EXPECT_EQ(fields.asDictionary()->value(nameField), PlistValue("Robert Jones"));
        EXPECT_EQ(written->value("NeedsSync"), PlistValue(true));
        const PlistValue modified = written->value("RecordModifiedDate");
        const PlistValue wasModified = original.value("RecordModifiedDate");
        EXPECT_GT(modified.asDate()->secondsSinceReferenceDate,
                  wasModified.asDate()->secondsSinceReferenceDate);
    }
}

TEST_F(EditorTableControllerTest, LinksInACell_MarkedWhenEditingStarts_DroppedOnAnyChange)
{
    EditorWindowController* editor = openEditor();
    const QString text =
        QStringLiteral("see www.example.com. or ann@example.org, tel://5551234 and bob@host");
    FieldCellEditor* cell = editFirstField(editor, text);
    ASSERT_TRUE(cell);
    using Link = FieldCellEditor::Link;
    const QList<Link> expected = {
        {text.indexOf("www."), 15, QStringLiteral("http://www.example.com")},
        {text.indexOf("ann@"), 15, QStringLiteral("mailto:ann@example.org")},
        {text.indexOf("tel:"), 13, QStringLiteral("tel://5551234")},
    };
    EXPECT_EQ(cell->links(), expected);

    QTest::keyClick(cell, Qt::Key_X);
    EXPECT_TRUE(cell->links().isEmpty());

    editor->tableController()->endEditing();
    editor->settings()->setAutomaticallyEnableLinks(false);
    cell = editFirstField(editor, text);
    ASSERT_TRUE(cell);
    EXPECT_TRUE(cell->links().isEmpty());
}

TEST_F(EditorTableControllerTest, ClickingARecordLinkInACell_ShowsTheRecordAndEntersTheHistory)
{
    EditorWindowController* editor = openEditor();
    const std::shared_ptr<RecordData> linked = editor->engine().recordAtIndex(1);
    FieldCellEditor* cell =
        editFirstField(editor, QStringLiteral("uuid://") + linked->identifier());
    ASSERT_TRUE(cell);
    ASSERT_EQ(cell->links().size(), 1);
    QTest::mouseClick(cell->viewport(), Qt::LeftButton, Qt::NoModifier, pointOfCharacter(cell, 3));
    QCoreApplication::processEvents();
    EXPECT_EQ(editor->engine().currentRecord(), linked);
    EXPECT_EQ(editor->engine().viewedRecordList().last(), linked->identifier());
}

TEST_F(EditorTableControllerTest, RecordLinks_ToADeletedOrOmittedRecord_AskOrWarn)
{
    EditorWindowController* editor = openEditor();
    EditorTableController& tables = *editor->tableController();
    const std::shared_ptr<RecordData> first = editor->engine().currentRecord();
    const std::shared_ptr<RecordData> omitted = editor->engine().recordAtIndex(1);
    editor->engine().catalog()->omitIdentifier(omitted->identifier(), true);
    editor->reloadTables();
    const QStringList historyBefore = editor->engine().viewedRecordList();

    tables.clickedOnLink(QStringLiteral("uuid://0BADF00D-0000-0000-0000-000000000000"));
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "You have linked to a record that no longer exists.");
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "You should probably remove that link.");
    EXPECT_EQ(editor->engine().currentRecord(), first);
    EXPECT_EQ(editor->engine().viewedRecordList(), historyBefore);

    m_presenter.answerAlertWithButton(QStringLiteral("Cancel"));
    tables.clickedOnLink(QStringLiteral("uuid://") + omitted->identifier());
    const AlertRequest& asked = m_presenter.lastAlert().request;
    EXPECT_EQ(asked.messageText, "You have linked to a record that is not currently selected.");
    EXPECT_EQ(asked.informativeText, "Do you want to select it and show it?");
    EXPECT_EQ(asked.buttons, QStringList({"Yes, Select the Record", "Cancel"}));
    EXPECT_EQ(editor->engine().selectedRecordCount(), 1);
    EXPECT_EQ(editor->engine().currentRecord(), first);
    // Entered in the history at once, whatever the answer.
    EXPECT_EQ(editor->engine().viewedRecordList().last(), omitted->identifier());

    tables.clickedOnLink(QStringLiteral("uuid://") + omitted->identifier());
    EXPECT_EQ(editor->engine().selectedRecordCount(), 2);
    EXPECT_EQ(editor->engine().currentRecord(), omitted);
    EXPECT_EQ(tables.listViewModel()->rowCount(), 2);
}

TEST_F(EditorTableControllerTest, OtherLinks_GoToTheSystem_UnhandledWhenItCannotOpenThem)
{
    EditorWindowController* editor = openEditor();
    EditorTableController& tables = *editor->tableController();
    EXPECT_TRUE(tables.clickedOnLink(QStringLiteral("tel://5551234")));
    EXPECT_EQ(m_presenter.openedUrls(), QList<QUrl>({QUrl(QStringLiteral("tel://5551234"))}));
    m_presenter.setOpensUrls(false);
    EXPECT_FALSE(tables.clickedOnLink(QStringLiteral("http://www.example.com")));
}

TEST_F(EditorTableControllerTest, Links_OnlyWebMailTelephoneAndFileSchemesReachTheSystem)
{
    EditorWindowController* editor = openEditor();
    EditorTableController& tables = *editor->tableController();
    const struct {
        const char* link;
        bool opened;
    } cases[] = {
        {"http://www.example.com", true},
        {"https://example.com/a?b=c", true},
        {"HTTPS://EXAMPLE.COM", true},
        {"ftp://ftp.example.com/pub", true},
        {"mailto:ann@example.com", true},
        {"tel:5551234", true},
        {"tel://5551234", true},
        {"file:///tmp/note.txt", true},
        {"javascript:alert(1)", false},
        {"smb://server/share", false},
        {"ssh://host", false},
        {"data:text/html,hello", false},
        {"x-custom-handler:run?now", false},
        {"note.txt", false},
    };
    // The Freeform Text Area and the field cells follow links alike.
    const std::pair<const char*, std::function<bool(const QString&)>> followers[] = {
        {"text area", [&](const QString& link) { return editor->clickedOnLink(link); }},
        {"field", [&](const QString& link) { return tables.clickedOnLink(link); }},
    };
    for (const auto& [where, follow] : followers) {
        for (const auto& testCase : cases) {
            SCOPED_TRACE(std::string(where) + ": " + testCase.link);
            const qsizetype openedBefore = m_presenter.openedUrls().size();
            const qsizetype alertsBefore = m_presenter.alerts().size();
            EXPECT_TRUE(follow(QString::fromLatin1(testCase.link)));
            if (testCase.opened) {
                ASSERT_EQ(m_presenter.openedUrls().size(), openedBefore + 1);
                EXPECT_EQ(m_presenter.openedUrls().last(), QUrl(testCase.link));
                EXPECT_EQ(m_presenter.alerts().size(), alertsBefore);
            } else {
                EXPECT_EQ(m_presenter.openedUrls().size(), openedBefore);
                ASSERT_EQ(m_presenter.alerts().size(), alertsBefore + 1);
                EXPECT_EQ(m_presenter.lastAlert().request.messageText,
                          "Could not find the file at:");
                EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
                          QString::fromLatin1(testCase.link) +
                              "\n\nYou should update the link or remove it.");
            }
        }
    }
}

TEST_F(EditorTableControllerTest, LiveWrapping_TheEditedRowGrowsAsTheUserTypes_EditingGoesOn)
{
    EditorWindowController* editor = openEditor();
    editor->settings()->setFieldWrapping(true);
    editor->settings()->setLiveFieldWrapping(true);
    EditorTableController& tables = *editor->tableController();
    tables.basicTableView()->horizontalHeader()->setStretchLastSection(false);
    tables.basicTableView()->setColumnWidth(BasicViewModel::ValueColumn, 80);
    FieldCellEditor* cell = editFirstField(editor, QString());
    ASSERT_TRUE(cell);
    const int oneLine = tables.basicTableView()->rowHeight(0);

    QTest::keyClicks(cell, QStringLiteral("a value far too long for one line of the cell"));
    EXPECT_GT(tables.basicTableView()->rowHeight(0), oneLine);
    EXPECT_EQ(tables.basicTableView()->cellEditor(), cell);
    EXPECT_EQ(cell->cursorPosition(), cell->text().size());
}

TEST_F(EditorTableControllerTest, SelectRangeInField_EditsThatCellWithTheRangeSelected)
{
    EditorWindowController* editor = openEditor();
    EditorTableController& tables = *editor->tableController();
    editor->engine().currentRecord()->setFields(
        PlistDictionary{{QStringLiteral("F2"), QStringLiteral("call 555 now")}}, RecordDataTesting::key());
    tables.selectRangeInField(tables.basicTableView(), 1, 1, 5, 3, false);
    FieldCellEditor* cell = tables.basicTableView()->cellEditor();
    ASSERT_TRUE(cell);
    EXPECT_EQ(tables.currentField(), 1u);
    EXPECT_EQ(cell->selectedRange(), qMakePair(5, 3));
    EXPECT_EQ(tables.tableTextSelectedRange(), qMakePair(qsizetype(5), qsizetype(3)));
    tables.setFieldFoundTextColor(Qt::red);
    EXPECT_EQ(cell->palette().color(QPalette::Text), QColor(Qt::red));
}

TEST_F(EditorTableControllerTest, AlternatingColors_FollowTheUserDefaultWhenThePreferencesSaySo)
{
    EditorWindowController* editor = openEditor();
    EditorTableController& tables = *editor->tableController();
    EXPECT_FALSE(tables.listTableView()->alternatingRowColors());
    m_defaults.setBool(true, QStringLiteral("GeneralUseAlternatingColors"));
    NotificationCenter::defaultCenter().postNotification(
        EditorTableController::UseAlternatingColorChangedNotification, nullptr);
    EXPECT_TRUE(tables.listTableView()->alternatingRowColors());
    EXPECT_TRUE(tables.basicTableView()->alternatingRowColors());
}

TEST_F(EditorTableControllerTest, Drops_FillAnEmptyFieldReplaceOnlyWithControlAndRefuseElsewhere)
{
    EditorWindowController* editor = openEditor();
    EditorTableController& tables = *editor->tableController();
    RXTableView* basic = tables.basicTableView();
    const std::shared_ptr<RecordData> record = editor->engine().currentRecord();
    const auto value = [&](const char* field) {
        return record->fields().value(field).stringValue();
    };

    // Multi-line text becomes one line; the dropped text ends up selected in its cell.
    ASSERT_TRUE(tables.acceptDrop(basic, "Ann\nSmith", 0, 0, Qt::NoModifier, false));
    QCoreApplication::processEvents();
    EXPECT_EQ(value("F1"), "Ann Smith");
    ASSERT_TRUE(basic->cellEditor());
    EXPECT_EQ(basic->cellEditor()->selectedRange(), qMakePair(0, 9));
    EXPECT_TRUE(record->needsSync());
    EXPECT_TRUE(m_document->isDocumentEdited());
    tables.endEditing();

    EXPECT_FALSE(tables.acceptDrop(basic, "Bob", 0, 1, Qt::NoModifier, false));
    EXPECT_EQ(m_presenter.beepCount(), 1);
    EXPECT_TRUE(tables.acceptDrop(basic, "Bob", 0, 1, Qt::ControlModifier, false));
    QCoreApplication::processEvents();
    EXPECT_EQ(value("F1"), "Bob");

    // Nowhere to go: beside the rows, on the List View's "Text" column or beside it.
    tables.changeMode("List");
    RXTableView* list = tables.listTableView();
    EXPECT_FALSE(tables.acceptDrop(basic, "x", 5, 1, Qt::NoModifier, false));
    EXPECT_FALSE(tables.acceptDrop(list, "x", 0, 2, Qt::NoModifier, false));
    EXPECT_FALSE(tables.acceptDrop(list, "x", 0, -1, Qt::NoModifier, false));
    EXPECT_EQ(m_presenter.beepCount(), 4);
    // A List drop fills the field of that row's record.
    EXPECT_TRUE(tables.acceptDrop(list, "555", 1, 1, Qt::NoModifier, false));
    QCoreApplication::processEvents();
    EXPECT_EQ(editor->engine().recordAtIndex(1)->fields().value("F2").stringValue(), "555");

    // Refused without a word in a clone.
    editor->setIsClone(true);
    EXPECT_FALSE(tables.acceptDrop(list, "x", 0, 1, Qt::NoModifier, false));
    EXPECT_EQ(m_presenter.beepCount(), 4);
}

TEST_F(EditorTableControllerTest, Drops_FromTheEditedCellMoveUnlessAltIsHeld)
{
    EditorWindowController* editor = openEditor();
    EditorTableController& tables = *editor->tableController();
    RXTableView* basic = tables.basicTableView();
    const std::shared_ptr<RecordData> record = editor->engine().currentRecord();
    FieldCellEditor* cell = editFirstField(editor, "Ann Smith");
    ASSERT_TRUE(cell);
    cell->setSelection(4, 5);

    EXPECT_FALSE(tables.acceptDrop(basic, "Smith", 0, 1, Qt::NoModifier, true)); // its own cell
    EXPECT_TRUE(tables.acceptDrop(basic, "Smith", 1, 1, Qt::NoModifier, true));
    QCoreApplication::processEvents();
    EXPECT_EQ(record->fields().value("F1").stringValue(), "Ann ");
    EXPECT_EQ(record->fields().value("F2").stringValue(), "Smith");

    cell = editFirstField(editor, "Ann Smith");
    ASSERT_TRUE(cell);
    cell->setSelection(0, 3);
    record->setFields(PlistDictionary{{"F1", "Ann Smith"}}, RecordDataTesting::key());
    EXPECT_TRUE(tables.acceptDrop(basic, "Ann", 1, 1, Qt::AltModifier, true));
    QCoreApplication::processEvents();
    EXPECT_EQ(record->fields().value("F1").stringValue(), "Ann Smith");
    EXPECT_EQ(record->fields().value("F2").stringValue(), "Ann");
}

TEST_F(EditorTableControllerTest, Drops_ReachTheTableAsPlainTextOnly)
{
    EditorWindowController* editor = openEditor();
    RXTableView* basic = editor->tableController()->basicTableView();
    const QPoint onSecondRow = basic->visualRect(basic->model()->index(1, 1)).center();
    const auto drop = [&](QMimeData& data) {
        // A drag enters before it drops.
        QDragEnterEvent enter(onSecondRow, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(basic->viewport(), &enter);
        QDropEvent event(onSecondRow, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(basic->viewport(), &event);
        QCoreApplication::processEvents();
        return event.isAccepted();
    };
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/tmp/a.txt")});
    EXPECT_FALSE(drop(files));
    QMimeData text;
    text.setText("555-1234");
    EXPECT_TRUE(drop(text));
    EXPECT_EQ(editor->engine().currentRecord()->fields().value("F2").stringValue(), "555-1234");
}

TEST_F(EditorTableControllerTest, HeaderClicks_FitColumnsToValuesOrTitlesAndStoreTheWidths)
{
    EditorWindowController* editor = openEditor();
    EditorTableController& tables = *editor->tableController();
    tables.changeMode("List");
    RXTableView* list = tables.listTableView();
    editor->engine().recordAtIndex(0)->setFields(PlistDictionary{{"F1", "Al"}}, RecordDataTesting::key());
    editor->engine().recordAtIndex(1)->setFields(PlistDictionary{{"F1", "A considerably longer name"}}, RecordDataTesting::key());
    editor->settings()->setDatafileSettingsDidChange(false);
    const QFontMetricsF metrics(list->font());
    const float half = float(editor->settings()->fieldsFontSize() / 2);
    const auto storedWidth = [&](int field) {
        return editor->settings()->fields().at(field).asDictionary()->value("Width").doubleValue();
    };

    // Alt: the column fits its widest value.
    tables.tableViewMouseDownInHeaderOfTableColumn(0, Qt::AltModifier);
    const float fitted = float(metrics.size(0, "A considerably longer name").width()) + half;
    EXPECT_FLOAT_EQ(float(storedWidth(0)), fitted);
    EXPECT_EQ(list->columnWidth(0), int(std::ceil(fitted)));
    EXPECT_TRUE(editor->settings()->datafileSettingsDidChange());

    // Alt-Shift on the "Text" column narrows it to its title, never widens it.
    editor->settings()->setTextColumnWidth(10);
    tables.tableViewMouseDownInHeaderOfTableColumn(2, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(list->columnWidth(2), 10);

    // Control: every column fitted to values, then widened to titles; "Text" at 300.
    tables.tableViewMouseDownInHeaderOfTableColumn(1, Qt::ControlModifier);
    const float phoneTitle = float(metrics.size(0, "Phone").width()) + half;
    EXPECT_FLOAT_EQ(float(storedWidth(1)),
                    std::max(phoneTitle, 2.0f * float(list->font().pointSizeF())));
    EXPECT_EQ(list->columnWidth(2), 300);

    // A plain click changes nothing.
    list->setColumnWidth(0, 40);
    tables.tableViewMouseDownInHeaderOfTableColumn(0, Qt::NoModifier);
    EXPECT_EQ(list->columnWidth(0), 40);
}

TEST_F(EditorTableControllerTest, StoredWidths_NotFiniteTakeTheDefaultTooLargeAreBounded)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    EditorWindowController* editor = openEditor();
    EditorTableController& tables = *editor->tableController();
    const struct {
        double stored;
        int shown;
    } cases[] = {{nan, 100}, {infinity, 100}, {-infinity, 100}, {1e300, 1 << 16}, {-5, 0}};
    const auto storeWidths = [&](double width) {
        PlistArray fields = editor->settings()->fields();
        fields[0].asDictionary()->insert(DatafileSettingsData::FieldWidthKey, width);
        editor->settings()->setTextColumnWidth(float(width));
        tables.setupListTable();
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.stored);
        storeWidths(150.7);
        ASSERT_EQ(tables.listTableView()->columnWidth(0), 150);
        storeWidths(testCase.stored);
        EXPECT_EQ(tables.listTableView()->columnWidth(0), testCase.shown);
        EXPECT_EQ(tables.listTableView()->columnWidth(2),
                  std::isfinite(float(testCase.stored)) ? testCase.shown : 300);
    }
}

TEST_F(EditorTableControllerTest, EveryWayOfChangingAField_GoesThroughOneDoor)
{
    // Each way changes one field of one record: that record is stamped once, the change is
    // posted once, and ending an edit that changed nothing marks nothing at all.
    enum class Way { BasicTyping, ListTyping, Drop, UntouchedValue, UntouchedEmptyField };
    const struct {
        Way way;
        const char* name;
        bool changes;
    } cases[] = {
        {Way::BasicTyping, "typing in a Basic cell", true},
        {Way::ListTyping, "typing in a List cell", true},
        {Way::Drop, "a drop", true},
        {Way::UntouchedValue, "an edit of a value left as it was", false},
        {Way::UntouchedEmptyField, "an edit of an empty field left empty", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EditorWindowController* editor = openEditor();
        EditorTableController& tables = *editor->tableController();
        const std::shared_ptr<RecordData> record = editor->engine().currentRecord();
        record->setFields(PlistDictionary{{"F1", "Ann"}}, RecordDataTesting::key());
        record->setNeedsSync(false);
        editor->reloadTables();
        const PlistDate modified = record->modifiedDate();
        QStringList posted;
        NotificationCenter::defaultCenter().addObserver(
            "DidChangeRecordNotification", m_document, &tables, [&](const Notification& note) {
                posted.append(note.userInfo.value("Identifier").toString());
            });

        switch (c.way) {
        case Way::BasicTyping:
        case Way::UntouchedValue:
        case Way::UntouchedEmptyField: {
            const int row = c.way == Way::UntouchedEmptyField ? 1 : 0;
            tables.singleClicked(BasicViewModel::ValueColumn, row);
            FieldCellEditor* cell = tables.basicTableView()->cellEditor();
            ASSERT_TRUE(cell);
            if (c.way == Way::BasicTyping)
                QTest::keyClicks(cell, "Smith");
            QTest::keyClick(cell, Qt::Key_Return);
            break;
        }
        case Way::ListTyping: {
            tables.changeMode("List");
            tables.singleClicked(1, 0);
            FieldCellEditor* cell = tables.listTableView()->cellEditor();
            ASSERT_TRUE(cell);
            QTest::keyClicks(cell, "555");
            QTest::keyClick(cell, Qt::Key_Tab);
            break;
        }
        case Way::Drop:
            ASSERT_TRUE(tables.acceptDrop(tables.basicTableView(), "555", 1, 1, Qt::NoModifier,
                                          false));
            QCoreApplication::processEvents();
            break;
        }
        tables.endEditing();

        EXPECT_EQ(posted, c.changes ? QStringList{record->identifier()} : QStringList());
        EXPECT_EQ(record->needsSync(), c.changes);
        EXPECT_EQ(record->modifiedDate() != modified, c.changes);
        if (c.changes) {
            EXPECT_TRUE(m_document->isDocumentEdited());
        }
        if (c.way == Way::UntouchedEmptyField) {
            EXPECT_FALSE(record->fields().contains("F2")); // not even an empty value
        }
        if (c.way == Way::UntouchedValue) {
            EXPECT_FALSE(m_document->isDocumentEdited());
        }
        NotificationCenter::defaultCenter().removeObserver(&tables);
        m_documents.clear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
