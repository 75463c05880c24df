// A user's journeys through the Records menu: moving between records in the Basic View,
// adding, ordering and locking records, and the record information palette.
#include "JourneyTestBase.h"

#include "BasicViewModel.h"
#include "FileURL.h"
#include "EditorTableController.h"
#include "FieldCellEditor.h"
#include "FreeformTextView.h"
#include "GotoRecordSheetController.h"
#include "MoveRecordSheetController.h"
#include "RXTableView.h"
#include "RecordInfoPaletteController.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTextCursor>

namespace {

const QString nameField = QStringLiteral("3F2504E0-4F89-11D3-9A0C-0305E82C3301");

QString numbered(int n)
{
    return QStringLiteral("%1-0000-4000-8000-000000000000").arg(n, 8, 10, QLatin1Char('0'));
}

class RecordsJourneyTest : public JourneyTestBase {
protected:
    // The name the Basic View shows for the record on screen.
    static QString shownName(EditorWindowController* editor)
    {
        const BasicViewModel* basic = editor->tableController()->basicViewModel();
        return basic->data(basic->index(0, BasicViewModel::ValueColumn), Qt::DisplayRole).toString();
    }

    static QStringList catalogOf(const PlistDictionary& datafile)
    {
        QStringList identifiers;
        const PlistValue catalog = datafile.value("Catalog");
        for (const PlistValue& entry : *catalog.asArray())
            identifiers.append(*entry.asDictionary()->value("Identifier").asString());
        return identifiers;
    }

    static QStringList order(EditorWindowController* editor)
    {
        QStringList names;
        for (qint64 i = 0; i < editor->engine().selectedRecordCount(); ++i)
            names.append(editor->engine().recordAtIndex(i)->textString());
        return names;
    }

    // Types the number into the sheet on screen and presses Return.
    template <typename Sheet> static void answerNumberSheet(const QString& number)
    {
        auto* sheet = VKSheetController::topmostController<Sheet>();
        ASSERT_TRUE(sheet);
        QTest::keyClicks(sheet->numberField(), number);
        QTest::keyClick(sheet->numberField(), Qt::Key_Return);
        EXPECT_FALSE(sheet->window()->isVisible());
    }

    void key(EditorWindowController* editor, Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        QTest::keyClick(editor->window(), key, modifiers);
    }
};

} // namespace

TEST_F(RecordsJourneyTest, BasicView_MovesByKeysTheSheetAndTheHistory)
{
    EditorWindowController* editor = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(editor);
    ASSERT_EQ(shownName(editor), "1");
    QWidget* window = editor->window();
    showMenusOf(window);
    EXPECT_FALSE(menuItem(window, "goBackOneRecord:")->isEnabled());

    const Qt::KeyboardModifiers command = Qt::ControlModifier;
    const Qt::KeyboardModifiers commandControl = Qt::ControlModifier | Qt::MetaModifier;
    key(editor, Qt::Key_Apostrophe, command);
    EXPECT_EQ(shownName(editor), "2");
    key(editor, Qt::Key_Semicolon, command);
    key(editor, Qt::Key_Semicolon, command); // from the first: the last
    EXPECT_EQ(shownName(editor), "5");
    key(editor, Qt::Key_Apostrophe, command); // from the last: the first
    EXPECT_EQ(shownName(editor), "1");
    key(editor, Qt::Key_Apostrophe, commandControl);
    EXPECT_EQ(shownName(editor), "5");
    key(editor, Qt::Key_Semicolon, commandControl);
    EXPECT_EQ(shownName(editor), "1");
    EXPECT_EQ(editor->freeformTextView()->plainText(), "1");

    ASSERT_TRUE(chooseMenuItem(window, "goToRecordNumber:"));
    answerNumberSheet<GotoRecordSheetController>("4");
    EXPECT_EQ(shownName(editor), "4");

    // Back and forward walk what was shown: 1 2 1 5 1 5 1 4.
    key(editor, Qt::Key_Semicolon, commandControl | Qt::AltModifier);
    EXPECT_EQ(shownName(editor), "1");
    key(editor, Qt::Key_Semicolon, commandControl | Qt::AltModifier);
    EXPECT_EQ(shownName(editor), "5");
    ASSERT_TRUE(chooseMenuItem(window, "goForwardOneRecord:"));
    EXPECT_EQ(shownName(editor), "1");
    ASSERT_TRUE(chooseMenuItem(window, "goBackOneRecord:"));
    ASSERT_TRUE(chooseMenuItem(window, "goToNextRecord:"));
    ASSERT_TRUE(chooseMenuItem(window, "goToNextRecord:"));
    EXPECT_EQ(shownName(editor), "2");
    EXPECT_FALSE(chooseMenuItem(window, "goForwardOneRecord:")); // a new visit ends the way forward
    ASSERT_TRUE(chooseMenuItem(window, "goToLastRecord:"));
    ASSERT_TRUE(chooseMenuItem(window, "goToPreviousRecord:"));
    ASSERT_TRUE(chooseMenuItem(window, "goToFirstRecord:"));
    EXPECT_EQ(shownName(editor), "1");
    // Looking is no change.
    EXPECT_FALSE(editor->document()->isDocumentEdited());
}

TEST_F(RecordsJourneyTest, AddRecord_TypedIntoAndSaved_AnEmptyOneLeftIsRemoved)
{
    const QString path = copyFixture("five.nv3");
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    QWidget* window = editor->window();
    key(editor, Qt::Key_Apostrophe, Qt::ControlModifier); // record 2

    key(editor, Qt::Key_Equal, Qt::ControlModifier);
    // The first field is being edited, in the new record after record 2.
    auto* cell = qobject_cast<FieldCellEditor*>(QApplication::focusWidget());
    ASSERT_TRUE(cell);
    QTest::keyClicks(cell, "Six");
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 2);

    // Another, left empty: moving on removes it.
    key(editor, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(editor->engine().catalog()->count(), 7);
    key(editor, Qt::Key_Apostrophe, Qt::ControlModifier);
    EXPECT_EQ(editor->engine().catalog()->count(), 6);
    EXPECT_EQ(shownName(editor), "3");

    // Add Empty Record with the new records going last, then the clipboard as plain text.
    editor->settings()->setNewRecordLocation(2);
    ASSERT_TRUE(chooseMenuItem(window, "addRecord:"));
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 6);
    auto* clipboard = new QMimeData;
    clipboard->setHtml("<i>Seven</i>");
    clipboard->setText("Seven");
    QApplication::clipboard()->setMimeData(clipboard);
    ASSERT_TRUE(chooseMenuItem(window, "addRecordWithPasteAsPlainText:"));
    EXPECT_EQ(editor->freeformTextView()->plainText(), "Seven");
    EXPECT_EQ(editor->engine().catalog()->count(), 7); // the empty record on screen took it
    ASSERT_TRUE(chooseMenuItem(window, "addRecordWithPaste:"));
    EXPECT_EQ(editor->engine().catalog()->count(), 8);
    QTextCursor cursor(editor->freeformTextView()->document());
    cursor.setPosition(2);
    EXPECT_TRUE(cursor.charFormat().fontItalic());

    // Add Record with Alt held pastes too.
    QTest::keyPress(window, Qt::Key_Alt, Qt::AltModifier);
    ASSERT_TRUE(chooseMenuItem(window, "addRecordWithToggle:"));
    QTest::keyRelease(window, Qt::Key_Alt, Qt::AltModifier);
    EXPECT_EQ(editor->engine().catalog()->count(), 9);
    EXPECT_EQ(editor->freeformTextView()->plainText(), "Seven");

    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
    const PlistDictionary saved = readDatafile(path);
    const QStringList catalog = catalogOf(saved);
    ASSERT_EQ(catalog.size(), 9);
    EXPECT_EQ(catalog.mid(0, 2), QStringList({numbered(1), numbered(2)}));
    const PlistValue records = saved.value("Records");
    const PlistValue six = records.asDictionary()->value(catalog.at(2));
    EXPECT_EQ(six.asDictionary()->value("Fields").asDictionary()->value(nameField), PlistValue("Six"));
    EXPECT_EQ(catalog.mid(3, 3), QStringList({numbered(3), numbered(4), numbered(5)}));
    for (int i = 6; i < 9; ++i) {
        const PlistValue pasted = records.asDictionary()->value(catalog.at(i));
        EXPECT_EQ(pasted.asDictionary()->value("TextString"), PlistValue("Seven"));
    }
}

TEST_F(RecordsJourneyTest, Order_MakeFirstMakeLastAndMoveAfter_AreSaved)
{
    const QString path = copyFixture("five.nv3");
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    QWidget* window = editor->window();
    key(editor, Qt::Key_Apostrophe, Qt::ControlModifier); // 2
    ASSERT_TRUE(chooseMenuItem(window, "moveAfterRecordNumber:"));
    answerNumberSheet<MoveRecordSheetController>("4");
    EXPECT_EQ(order(editor), QStringList({"1", "3", "4", "2", "5"}));
    EXPECT_EQ(shownName(editor), "2");
    ASSERT_TRUE(chooseMenuItem(window, "makeThisTheFirstRecord:"));
    EXPECT_EQ(order(editor), QStringList({"2", "1", "3", "4", "5"}));
    key(editor, Qt::Key_Apostrophe, Qt::ControlModifier); // 1
    ASSERT_TRUE(chooseMenuItem(window, "makeThisTheLastRecord:"));
    EXPECT_EQ(order(editor), QStringList({"2", "3", "4", "5", "1"}));
    EXPECT_EQ(shownName(editor), "1");
    ASSERT_TRUE(chooseMenuItem(window, "makeThisTheLastRecord:")); // the last already
    EXPECT_EQ(order(editor), QStringList({"2", "3", "4", "5", "1"}));

    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(catalogOf(readDatafile(path)),
              QStringList({numbered(2), numbered(3), numbered(4), numbered(5), numbered(1)}));
}

TEST_F(RecordsJourneyTest, Locks_SetFromTheMenu_SurviveClosingAndOpening)
{
    const QString path = copyFixture("five.nv3");
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "lockAllRecords:"));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "unlockAllRecords:"));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "revertAllRecordsLockedState:"));
    EXPECT_EQ(editor->recordLockedImageName(), "TB_C_recordlocked");
    key(editor, Qt::Key_Apostrophe, Qt::ControlModifier);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "toggleRecordLocked:"));
    EXPECT_EQ(editor->recordLockedImageName(), "TB_C_recordunlocked");
    EXPECT_FALSE(editor->freeformTextView()->isReadOnly());
    EXPECT_FALSE(editor->document()->isDocumentEdited());

    QTest::keyClick(editor->window(), Qt::Key_W, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    ASSERT_FALSE(DocumentController::shared().documentForURL(QUrl::fromLocalFile(path)));

    activate(&m_assembly->startWindow());
    editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    QStringList locked;
    for (int n = 1; n <= 5; ++n)
        if (editor->engine().recordForIdentifier(numbered(n))->recordLocked())
            locked.append(QString::number(n));
    EXPECT_EQ(locked, QStringList({"1", "3", "4", "5"}));
    EXPECT_TRUE(editor->freeformTextView()->isReadOnly());
    EXPECT_EQ(editor->recordLockedImageName(), "TB_C_recordlocked");
}

TEST_F(RecordsJourneyTest, RecordInfo_FocusCommandsAndSelectAll_FromTheMenus)
{
    EditorWindowController* editor = openWithCommand(copyFixture("good.nv3"));
    ASSERT_TRUE(editor);
    QWidget* window = editor->window();

    ASSERT_TRUE(chooseMenuItem(window, "showRecordInfo:"));
    RecordInfoPaletteController& palette =
        RecordInfoPaletteController::sharedRecordInfoPaletteController();
    EXPECT_TRUE(palette.isVisible());
    EXPECT_EQ(palette.createdByText()->text(), "Pat Example");
    EXPECT_EQ(palette.recordSizeText()->text(), "18 Bytes"); // "Bob Jones" twice
    EXPECT_EQ(QApplication::activeWindow(), window);

    ASSERT_TRUE(chooseMenuItem(window, "activateFreeformText:"));
    EXPECT_EQ(QApplication::focusWidget(), editor->freeformTextView());
    ASSERT_TRUE(chooseMenuItem(window, "activateField:"));
    EXPECT_TRUE(editor->tableViewActive());

    // With one of the two records omitted, Select All shows both again.
    ASSERT_EQ(editor->engine().selectedRecordCount(), 2);
    editor->engine().catalog()->omitIdentifier(editor->engine().recordAtIndex(1)->identifier(), true);
    ASSERT_TRUE(chooseMenuItem(window, "selectAllRecords:"));
    EXPECT_EQ(editor->engine().selectedRecordCount(), 2);
    EXPECT_FALSE(chooseMenuItem(window, "selectAllRecords:"));
    palette.window()->hide();
}

TEST_F(RecordsJourneyTest, Delete_ByKeyAndMenu_AskedOrNot_IsSaved)
{
    const QString path = copyFixture("five.nv3");
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    QWidget* window = editor->window();
    key(editor, Qt::Key_Apostrophe, Qt::ControlModifier); // 2

    // Cancelled, then confirmed.
    m_presenter.answerAlerts({AlertSecondButtonReturn, AlertFirstButtonReturn});
    key(editor, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Delete Record");
    EXPECT_EQ(order(editor), QStringList({"1", "2", "3", "4", "5"}));
    ASSERT_TRUE(chooseMenuItem(window, "deleteRecord:"));
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Delete Record?");
    EXPECT_EQ(order(editor), QStringList({"1", "3", "4", "5"}));
    EXPECT_EQ(shownName(editor), "3");

    // Shift and Alt held: at once.
    QTest::keyPress(window, Qt::Key_Alt, Qt::AltModifier | Qt::ShiftModifier);
    ASSERT_TRUE(chooseMenuItem(window, "deleteRecordWithToggle:"));
    QTest::keyRelease(window, Qt::Key_Alt, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(m_presenter.alerts().size(), 2);
    EXPECT_EQ(order(editor), QStringList({"1", "4", "5"}));

    ASSERT_TRUE(chooseMenuItem(window, "goToLastRecord:"));
    ASSERT_TRUE(chooseMenuItem(window, "deleteRecordWithoutWarning:"));
    EXPECT_EQ(shownName(editor), "1");
    ASSERT_TRUE(chooseMenuItem(window, "deleteRecordWithoutWarning:"));
    // One record left: the commands are off.
    showMenusOf(window);
    for (const char* command : {"deleteRecord:", "deleteRecordWithToggle:", "deleteRecordWithoutWarning:"})
        EXPECT_FALSE(menuItem(window, command)->isEnabled()) << command;

    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(catalogOf(readDatafile(path)), QStringList({numbered(4)}));
}

TEST_F(RecordsJourneyTest, Duplicate_FromTheMenu_IsSavedBesideItsSource)
{
    const QString path = copyFixture("five.nv3");
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    QWidget* window = editor->window();
    key(editor, Qt::Key_Apostrophe, Qt::ControlModifier); // 2
    ASSERT_TRUE(chooseMenuItem(window, "duplicateCurrentRecord:"));
    EXPECT_EQ(order(editor), QStringList({"1", "2", "2", "3", "4", "5"}));
    EXPECT_EQ(shownName(editor), "2");

    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
    const PlistDictionary saved = readDatafile(path);
    const QStringList catalog = catalogOf(saved);
    ASSERT_EQ(catalog.size(), 6);
    EXPECT_EQ(catalog.at(1), numbered(2));
    const PlistValue copy = saved.value("Records").asDictionary()->value(catalog.at(2));
    EXPECT_EQ(copy.asDictionary()->value("Fields").asDictionary()->value(nameField), PlistValue("2"));
    EXPECT_EQ(copy.asDictionary()->value("TextString"), PlistValue("2"));
}

TEST_F(RecordsJourneyTest, CopyWithFieldNames_FromTheMenu_PutsTheNamedTextOnTheClipboard)
{
    EditorWindowController* editor = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(editor);
    QWidget* window = editor->window();
    key(editor, Qt::Key_Apostrophe, Qt::ControlModifier); // 2
    ASSERT_TRUE(chooseMenuItem(window, "copyRecordWithFieldNames:"));
    const QString copied = QApplication::clipboard()->text();
    EXPECT_TRUE(copied.contains(":\t2\n")) << copied.toStdString();
    EXPECT_TRUE(copied.endsWith("\n\n" + editor->settings()->textName() + ":\n2"))
        << copied.toStdString();
    EXPECT_FALSE(editor->document()->isDocumentEdited());
}

TEST_F(RecordsJourneyTest, DeleteAllSelected_AfterTheBackup_IsSaved)
{
    const QString datafiles = m_dir.filePath("Datafiles");
    ASSERT_TRUE(QDir().mkdir(datafiles));
    m_defaults.setObject(PlistValue(FileURL::folderURLString(datafiles)), "DatafilesFolderURL");
    const QString path = copyFixture("five.nv3");
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    QWidget* window = editor->window();
    showMenusOf(window);
    EXPECT_FALSE(menuItem(window, "deleteAllSelectedRecords:")->isEnabled());
    editor->engine().catalog()->setSelectedIdentifiers({numbered(2), numbered(4)});
    editor->engine().loadRecordAtIndex(0);

    m_presenter.answerAlerts({AlertFirstButtonReturn});
    ASSERT_TRUE(chooseMenuItem(window, "deleteAllSelectedRecords:"));
    EXPECT_EQ(order(editor), QStringList({"1", "3", "5"}));
    EXPECT_EQ(shownName(editor), "1");
    const QStringList backups = QDir(datafiles + "/Backups").entryList(QDir::Files);
    ASSERT_EQ(backups.size(), 1);
    EXPECT_TRUE(backups.first().startsWith("five ")) << backups.first().toStdString();
    EXPECT_EQ(catalogOf(readDatafile(datafiles + "/Backups/" + backups.first())).size(), 5);

    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(catalogOf(readDatafile(path)), QStringList({numbered(1), numbered(3), numbered(5)}));
}

TEST_F(RecordsJourneyTest, RemoveDuplicates_FromTheMenu_TellsTheCountAndIsSaved)
{
    const QString path = copyFixture("five.nv3");
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    QWidget* window = editor->window();
    key(editor, Qt::Key_Apostrophe, Qt::ControlModifier); // 2
    ASSERT_TRUE(chooseMenuItem(window, "duplicateCurrentRecord:"));
    ASSERT_EQ(order(editor), QStringList({"1", "2", "2", "3", "4", "5"}));

    ASSERT_TRUE(chooseMenuItem(window, "removeDuplicateRecords:"));
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "1 duplicate record(s) removed.");
    EXPECT_EQ(order(editor), QStringList({"1", "2", "3", "4", "5"}));
    EXPECT_EQ(shownName(editor), "1");
    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(catalogOf(readDatafile(path)).mid(0, 2), QStringList({numbered(1), numbered(2)}));
    EXPECT_EQ(readDatafile(path).value("Records").asDictionary()->size(), 5);

    ASSERT_TRUE(chooseMenuItem(window, "removeDuplicateRecords:"));
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "No duplicate records were removed.");
    EXPECT_FALSE(editor->document()->isDocumentEdited());
}

TEST_F(RecordsJourneyTest, TextFileAsRecord_FromTheMenu_IsSaved)
{
    const QString path = copyFixture("five.nv3");
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    QWidget* window = editor->window();
    QFile text(m_dir.filePath("Letter.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QStringLiteral("Dear Ann,\nthank you.").toUtf8());
    text.close();

    m_presenter.answerOpenPanel({QUrl::fromLocalFile(text.fileName())});
    ASSERT_TRUE(chooseMenuItem(window, "importTextFileAsRecord:"));
    EXPECT_EQ(editor->freeformTextView()->plainText(), "Dear Ann,\nthank you.");
    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
    const PlistDictionary saved = readDatafile(path);
    const QStringList catalog = catalogOf(saved);
    ASSERT_EQ(catalog.size(), 6);
    const PlistValue record = saved.value("Records").asDictionary()->value(catalog.at(1));
    EXPECT_EQ(record.asDictionary()->value("TextString"), PlistValue("Dear Ann,\nthank you."));
    EXPECT_TRUE(record.asDictionary()->contains("TextRTFD"));
}

TEST_F(RecordsJourneyTest, CopyRecord_FromTheEditMenu_PutsRichTextOnTheClipboard)
{
    EditorWindowController* editor = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(editor);
    key(editor, Qt::Key_Apostrophe, Qt::ControlModifier); // 2
    ASSERT_TRUE(chooseMenuItem(editor->window(), "copyRecord:"));
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(copied);
    EXPECT_TRUE(copied->hasFormat("application/x-norva-rtfd"));
    EXPECT_TRUE(copied->hasFormat("text/rtf"));
    EXPECT_TRUE(copied->text().startsWith("2\n")) << copied->text().toStdString();
}
