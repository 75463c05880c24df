// A user's journeys through the find box in the program as main() runs it: typing keys
// and pressing Return, Shift-Return, Tab and Ctrl+G, the hits shown, and the mode button
// switching to Select mode, where only the records holding every key stay shown.
#include "JourneyTestBase.h"

#include "EditorSearchController.h"
#include "EditorTableController.h"
#include "FieldCellEditor.h"
#include "FindBoxView.h"
#include "FreeformTextView.h"
#include "ListViewModel.h"
#include "RXTableView.h"

#include <QTextCursor>
#include <QToolButton>

namespace {

class FindBoxJourneyTest : public JourneyTestBase {
protected:
    // People with a name, a city and a text, in this order, all selected.
    QString writePeople(const QString& mode = QStringLiteral("Basic"))
    {
        const QList<QStringList> people{{"Ann Lee", "Denver", "likes tea"},
                                        {"Bob Smith", "Boston", "calls on Fridays"},
                                        {"Cy Jones", "Austin", "met Smith in May"},
                                        {"Di Smith", "Chicago", ""},
                                        {"Ed Smith", "Boston", "Smith again"}};
        PlistDictionary records;
        PlistArray catalog;
        int number = 0;
        for (const QStringList& person : people) {
            const QString identifier = QStringLiteral("00000000-0000-4000-8000-%1")
                                           .arg(++number, 12, 10, QLatin1Char('0'));
            records.insert(identifier, PlistDictionary{{"RecordIdentifier", identifier},
                                                       {"Fields", PlistDictionary{{"N", person[0]},
                                                                                  {"C", person[1]}}},
                                                       {"TextString", person[2]}});
            catalog.append(PlistDictionary{{"Identifier", identifier},
                                           {"CurrentlySelected", true},
                                           {"PreviouslySelected", true}});
        }
        const PlistArray fields{
            PlistDictionary{{"Identifier", "N"}, {"Name", "Name"}, {"Width", 150.0}},
            PlistDictionary{{"Identifier", "C"}, {"Name", "City"}, {"Width", 150.0}}};
        const PlistDictionary datafile{
            {"Settings", PlistDictionary{{"DataFormat", 1}, {"Mode", mode}, {"Fields", fields}}},
            {"Records", records},
            {"Catalog", catalog}};
        const QString path = m_dir.filePath("people.nv3");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_TRUE(writePropertyList(datafile, file, PlistFormat::Xml));
        return path;
    }

    static FindBoxView* findBox(EditorWindowController* editor)
    {
        return editor->editorSearchController().searchField();
    }

    // The user clicks into the find box, replaces its text and presses Return.
    static void search(EditorWindowController* editor, const QString& text,
                       Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        FindBoxView* box = findBox(editor);
        QTest::mouseClick(box->viewport(), Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty())
            QTest::keyClick(box, Qt::Key_Backspace);
        else
            QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return, modifiers);
    }

    static QString currentName(EditorWindowController* editor)
    {
        return editor->engine().currentRecord()->fields().value("N").stringValue();
    }

    static FieldCellEditor* editedCell(EditorWindowController* editor)
    {
        return editor->tableController()->currentTableView()->cellEditor();
    }
};

} // namespace

TEST_F(FindBoxJourneyTest, ReturnAndCtrlG_ShowEachHitInTurn)
{
    m_defaults.setObject(QStringLiteral("Y"), "GeneralBeepWhenFindFails");
    EditorWindowController* editor = openWithCommand(writePeople());
    ASSERT_TRUE(editor);
    FindBoxView* box = findBox(editor);
    EXPECT_TRUE(box->hasFocus()) << "the find box has the focus on opening";

    // An empty box: Return shows the next record, Shift-Return the previous.
    search(editor, "");
    EXPECT_EQ(currentName(editor), "Bob Smith");
    search(editor, "", Qt::ShiftModifier);
    EXPECT_EQ(currentName(editor), "Ann Lee");

    // "Smith" opens its cell with the caret at the start, in the hit colour.
    search(editor, "Smith");
    EXPECT_EQ(currentName(editor), "Bob Smith");
    FieldCellEditor* cell = editedCell(editor);
    ASSERT_TRUE(cell);
    EXPECT_EQ(editor->tableController()->currentField(), 0u);
    EXPECT_EQ(cell->textCursor().position(), 0);
    EXPECT_EQ(cell->palette().color(QPalette::Text), QColor(Qt::red));
    EXPECT_EQ(box->string(), "Smith") << "Return is never inserted";

    // Ctrl+G from the menu: the next one, in the text area, coloured until the next click.
    QTest::keyClick(editor->window(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(currentName(editor), "Cy Jones");
    FreeformTextView* text = editor->freeformTextView();
    EXPECT_EQ(text->textCursor().selectedText(), "Smith");
    EXPECT_TRUE(text->showsSearchHits());
    EXPECT_TRUE(box->hasFocus()) << "the focus is back in the find box";
    EXPECT_EQ(box->textCursor().selectedText(), "Smith");
    editor->window()->grab().save(qEnvironmentVariable("NORVA_SHOTS", m_dir.path()) + "/hit.png");
    QTest::mouseClick(text->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    EXPECT_FALSE(text->showsSearchHits());
    EXPECT_EQ(text->palette().color(QPalette::HighlightedText),
              box->palette().color(QPalette::HighlightedText));

    // Ctrl+Shift+G from a caret: the whole text from its end, then back to Bob.
    QTest::keyClick(editor->window(), Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(currentName(editor), "Cy Jones");
    EXPECT_EQ(text->textCursor().selectionStart(), 4);
    QTest::keyClick(editor->window(), Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(currentName(editor), "Bob Smith");

    // Tab in the find box edits the current cell.
    QTest::mouseClick(box->viewport(), Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_TRUE(editedCell(editor));
    EXPECT_EQ(box->string(), "Smith");

    // A miss: the find box text selected, a beep.
    const int beeps = m_presenter.beepCount();
    search(editor, "Nobody");
    EXPECT_EQ(m_presenter.beepCount(), beeps + 1);
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(box->textCursor().selectedText(), "Nobody");
    EXPECT_EQ(currentName(editor), "Bob Smith");

    // Nothing while syncing.
    editor->setNowSyncing(true);
    search(editor, "Jones");
    EXPECT_EQ(currentName(editor), "Bob Smith");
    editor->setNowSyncing(false);
}

TEST_F(FindBoxJourneyTest, AltReturn_SkipsTheRestOfTheRecord)
{
    EditorWindowController* editor = openWithCommand(writePeople());
    ASSERT_TRUE(editor);
    search(editor, "Smith");
    EXPECT_EQ(currentName(editor), "Bob Smith");
    // Plain Return would go on to Bob's text; Alt passes over it to the next record.
    QTest::keyClick(findBox(editor), Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(currentName(editor), "Cy Jones");
    EXPECT_EQ(editor->freeformTextView()->textCursor().selectedText(), "Smith");
}

TEST_F(FindBoxJourneyTest, ModeButton_MetaClickMakesSearchesCaseSensitive)
{
    EditorWindowController* editor = openWithCommand(writePeople());
    ASSERT_TRUE(editor);
    EditorSearchController& search = editor->editorSearchController();
    QToolButton* mode = search.findToggleButton();

    QTest::mouseClick(mode, Qt::LeftButton, Qt::AltModifier);
    EXPECT_EQ(mode->property("imageName").toString(), "TB_C_findButtonQuotes");
    QTest::mouseClick(mode, Qt::LeftButton, Qt::MetaModifier);
    EXPECT_EQ(mode->property("imageName").toString(), "TB_C_findButtonQuotesCase");
    EXPECT_TRUE(editor->settings()->caseSensitiveSearches());
    EXPECT_TRUE(editor->settings()->datafileSettingsDidChange());

    // Case-sensitive: "smith" finds nothing; a quoted phrase is searched as the phrase.
    FindBoxJourneyTest::search(editor, "smith");
    EXPECT_EQ(currentName(editor), "Ann Lee");
    FindBoxJourneyTest::search(editor, "\"Smith again\"");
    EXPECT_EQ(currentName(editor), "Ed Smith");
    EXPECT_EQ(editor->freeformTextView()->textCursor().selectedText(), "Smith again");

    // Kept in the datafile when its window closes.
    const QString path = editor->document()->fileURL().toLocalFile();
    QTest::keyClick(editor->window(), Qt::Key_W, Qt::ControlModifier);
    const PlistDictionary saved = readDatafile(path);
    const PlistValue settingsValue = saved.value("Settings");
    const PlistDictionary* settings = settingsValue.asDictionary();
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->value("FindEntryStyle"), PlistValue(1));
    EXPECT_TRUE(settings->value("CaseSensitiveSearches").boolValue());
}

TEST_F(FindBoxJourneyTest, SelectMode_KeepsOnlyTheRecordsHoldingEveryKey)
{
    m_defaults.setObject(QStringLiteral("Y"), "GeneralBeepWhenFindFails");
    EditorWindowController* editor = openWithCommand(writePeople("List"));
    ASSERT_TRUE(editor);
    EditorSearchController& search = editor->editorSearchController();
    QTest::mouseClick(search.findToggleButton(), Qt::LeftButton);
    EXPECT_EQ(search.forwardSearchButton()->property("imageName").toString(), "TB_C_selectButton");
    EXPECT_EQ(search.forwardSearchButton()->toolTip(),
              "Select records that contain text in Find Box.\nCtrl+G");
    EXPECT_EQ(search.reverseSearchButton()->property("imageName").toString(),
              "TB_C_selectAllButton");
    EXPECT_EQ(search.reverseSearchButton()->toolTip(), "Select ALL records.\nCtrl+Shift+G");

    // Empty box, all shown: Return and Shift-Return step.
    FindBoxJourneyTest::search(editor, "");
    EXPECT_EQ(currentName(editor), "Bob Smith");
    FindBoxJourneyTest::search(editor, "", Qt::ShiftModifier);
    EXPECT_EQ(currentName(editor), "Ann Lee");

    FindBoxJourneyTest::search(editor, "Smith&&Boston");
    EXPECT_EQ(editor->engine().selectedRecordCount(), 2);
    EXPECT_EQ(currentName(editor), "Bob Smith");
    EXPECT_EQ(editor->tableController()->listViewModel()->rowCount(), 2);
    EXPECT_TRUE(findBox(editor)->hasFocus());

    // A miss keeps the selection, with a beep.
    const int beeps = m_presenter.beepCount();
    FindBoxJourneyTest::search(editor, "Smith&&Denver");
    EXPECT_EQ(m_presenter.beepCount(), beeps + 1);
    EXPECT_EQ(editor->engine().selectedRecordCount(), 2);

    // With a subset shown, the reverse button shows every record again.
    QTest::mouseClick(search.reverseSearchButton(), Qt::LeftButton);
    EXPECT_EQ(editor->engine().selectedRecordCount(), 5);
    editor->window()->grab().save(qEnvironmentVariable("NORVA_SHOTS", m_dir.path()) + "/select.png");
}

TEST_F(FindBoxJourneyTest, FindMenu_AndEditKeepsTheHitSkipMovesOnCloneSearchesInANewWindow)
{
    EditorWindowController* editor = openWithCommand(writePeople());
    ASSERT_TRUE(editor);
    FindBoxView* box = findBox(editor);
    QTest::mouseClick(box->viewport(), Qt::LeftButton);
    QTest::keyClicks(box, "Smith");

    // Find Next and Edit: the hit stays selected for editing.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "forwardSearchHighlight:"));
    EXPECT_EQ(currentName(editor), "Bob Smith");
    ASSERT_TRUE(editedCell(editor));
    EXPECT_TRUE(editedCell(editor)->hasFocus());
    EXPECT_FALSE(box->hasFocus());
    EXPECT_FALSE(editor->editorSearchController().simulatedControlKeyDown()) << "one search only";

    // Ed has Smith in his name and his text: Find Next stays in his record, Skip Record
    // and Find Next goes past it (round to Ann) and finds Bob.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "forwardSearchForFindBoxText:"));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "forwardSearchForFindBoxText:"));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "forwardSearchForFindBoxText:"));
    EXPECT_EQ(currentName(editor), "Ed Smith");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "skipThenSearchForward:"));
    EXPECT_EQ(currentName(editor), "Bob Smith");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "reverseSearchHighlight:"));
    EXPECT_EQ(currentName(editor), "Ed Smith");
    EXPECT_FALSE(box->hasFocus());
    ASSERT_TRUE(chooseMenuItem(editor->window(), "skipThenReverseSearch:"));
    EXPECT_EQ(currentName(editor), "Di Smith");

    // An empty find box opens no window.
    box->clear();
    EXPECT_FALSE(chooseMenuItem(editor->window(), "findNextInClone:"));
    editor->performAction("findNextInClone:");
    EXPECT_EQ(editor->document()->windowControllers().size(), 1u);
    box->setPlainText("Smith");

    // Find Next in Clone Window: a clone with the find box's text, at its next hit.
    Document* document = editor->document();
    ASSERT_TRUE(chooseMenuItem(editor->window(), "findNextInClone:"));
    ASSERT_EQ(document->windowControllers().size(), 2u);
    auto* clone = static_cast<EditorWindowController*>(document->windowControllers().back().get());
    EXPECT_EQ(findBox(clone)->toPlainText(), "Smith");
    EXPECT_TRUE(currentName(clone).contains("Smith") ||
                clone->freeformTextView()->textCursor().selectedText() == "Smith");
    clone->window()->grab().save(qEnvironmentVariable("NORVA_SHOTS", m_dir.path()) + "/clone.png");
}
