// Datafile ▸ Export: each item through the program as main() assembles it, its sheet and
// save panel answered as a user would.
#include "JourneyTestBase.h"

#include "BasicViewModel.h"
#include "EditorTableController.h"
#include "ExportAsFreeformSheetController.h"
#include "ExportDelimitedSheetController.h"
#include "FieldCellEditor.h"
#include "FreeformTextView.h"
#include "RXTableView.h"
#include "SafeFileWriter.h"

#include <QCheckBox>
#include <QListWidget>
#include <QRadioButton>
#include <QTextEdit>

namespace {

class ExportJourneyTest : public JourneyTestBase {
protected:
    static QString shots() { return qEnvironmentVariable("NORVA_SHOTS", QDir::tempPath()); }

    // People.nv3: two fields, three records, the first current.
    EditorWindowController* openPeople()
    {
        const QString path = m_dir.filePath("People.nv3");
        writeRecords(
            path, {"Name", "City"},
            {{"Ann", "Oslo, Norway", "first text"}, {"Bo", "", "second"}, {"Cy", "Rome", ""}});
        return openWithCommand(path);
    }

    // Types into the Freeform Text Area of the current record, as the user does.
    static void typeText(EditorWindowController* editor, const QString& text)
    {
        editor->freeformTextView()->setFocus();
        QTest::keyClick(editor->freeformTextView(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(editor->freeformTextView(), text);
    }

    // A click on the button's mark, where a click always lands on it.
    static void clickChoice(QAbstractButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }

    template <typename Sheet> Sheet* shownSheet()
    {
        auto* sheet = VKSheetController::topmostController<Sheet>();
        EXPECT_TRUE(sheet && sheet->window()->isVisible());
        return sheet;
    }
};

} // namespace

TEST_F(ExportJourneyTest, AsCSV_CancelledThenChosen_WritesTheShownRecordsWithTheTypedText)
{
    EditorWindowController* editor = openPeople();
    ASSERT_TRUE(editor);

    // A first attempt cancelled at the sheet writes nothing and asks for no file.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "exportAsCSV:"));
    shownSheet<ExportAsCSVSheetController>()->cancel();
    EXPECT_TRUE(m_presenter.savePanels().isEmpty());

    typeText(editor, " more");
    ASSERT_TRUE(chooseMenuItem(editor->window(), "exportAsCSV:"));
    auto* sheet = shownSheet<ExportAsCSVSheetController>();
    ASSERT_TRUE(sheet);
    sheet->window()->grab().save(shots() + "/export-csv-sheet.png");
    clickChoice(sheet->crlf());
    const QString csv = m_dir.filePath("People.csv");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(csv));
    QTest::mouseClick(sheet->okayButton(), Qt::LeftButton);

    ASSERT_FALSE(m_presenter.savePanels().isEmpty());
    EXPECT_EQ(m_presenter.savePanels().back().request.nameFieldValue, "People.csv");
    EXPECT_EQ(m_presenter.savePanels().back().request.allowedFileTypes, QStringList{"csv"});
    EXPECT_EQ(contentsOf(csv), QByteArray("Name,City,Freeform Text Area\r\n"
                                          "Ann,\"Oslo, Norway\",first text more\r\n"
                                          "Bo,,second\r\n"
                                          "Cy,Rome,\r\n"));
    // The sheet keeps the choices for the next export.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "exportAsCSV:"));
    sheet = shownSheet<ExportAsCSVSheetController>();
    EXPECT_TRUE(sheet->crlfIsOn());
    sheet->cancel();
}

TEST_F(ExportJourneyTest, AsTabDelimited_Utf16FieldsOnly_WritesBomAndNoTextColumn)
{
    EditorWindowController* editor = openPeople();
    ASSERT_TRUE(editor);
    // The city of the first record still being typed when the export starts.
    RXTableView* table = editor->tableController()->currentTableView();
    const QRect cell = table->visualRect(table->model()->index(1, BasicViewModel::ValueColumn));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    ASSERT_TRUE(table->cellEditor());
    QTest::keyClicks(QApplication::focusWidget(), "Bergen");
    const QString typed = table->cellEditor()->text();
    ASSERT_TRUE(typed.contains("Bergen"));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "exportAsTabDelimited:"));
    auto* sheet = shownSheet<ExportAsTabDelimitedSheetController>();
    ASSERT_TRUE(sheet);
    clickChoice(sheet->utf16Radio());
    sheet->includingFieldNames()->setChecked(false);
    sheet->fieldContentOnly()->setChecked(true);
    const QString tab = m_dir.filePath("People.tab");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(tab));
    sheet->okay();

    EXPECT_EQ(m_presenter.savePanels().back().request.title, "Save as Tab-Delimited File");
    EXPECT_EQ(m_presenter.savePanels().back().request.nameFieldValue, "People.tab");
    const QByteArray bytes = contentsOf(tab);
    ASSERT_TRUE(bytes.startsWith("\xFF\xFE"));
    EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                 (bytes.size() - 2) / 2),
              "Ann\t" + typed + "\nBo\t\nCy\tRome\n");
    EXPECT_EQ(m_presenter.beepCount(), 0);
}

TEST_F(ExportJourneyTest, AsTextFile_AfterMovingToAnotherRecord_WritesEveryRecordBetweenRules)
{
    EditorWindowController* editor = openPeople();
    ASSERT_TRUE(editor);
    editor->engine().goToNextRecord();
    typeText(editor, "!");
    const QString text = m_dir.filePath("People.txt");
    m_presenter.answerSavePanel(std::nullopt);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "exportAsTextFile:"));
    EXPECT_FALSE(QFile::exists(text));
    m_presenter.answerSavePanel(QUrl::fromLocalFile(text));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "exportAsTextFile:"));

    EXPECT_EQ(m_presenter.savePanels().back().request.title, "Save as Text File");
    EXPECT_EQ(m_presenter.savePanels().back().request.nameFieldValue, "People.txt");
    const QByteArray bytes = contentsOf(text);
    ASSERT_TRUE(bytes.startsWith("\xFF\xFE"));
    const QString rule = "\n____________________\n\n";
    EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                 (bytes.size() - 2) / 2),
              "Name: Ann\nCity: Oslo, Norway\nfirst text" + rule + "Name: Bo\nCity: \nsecond!" +
                  rule + "Name: Cy\nCity: Rome\n");
}

TEST_F(ExportJourneyTest, AsNorva2Datafile_EditedDatafile_CopyWrittenDocumentUntouched)
{
    EditorWindowController* editor = openPeople();
    ASSERT_TRUE(editor);
    typeText(editor, " edited");
    editor->engine().goToNextRecord();
    Document* document = editor->document();
    ASSERT_TRUE(document->isDocumentEdited());
    const QUrl ownURL = document->fileURL();
    const QByteArray ownBytes = contentsOf(ownURL.toLocalFile());

    const QString copy = m_dir.filePath("People.norva");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(copy));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "exportAsNorva2Datafile:"));

    EXPECT_EQ(m_presenter.savePanels().back().request.title, "Save as Norva 2 Datafile");
    EXPECT_EQ(m_presenter.savePanels().back().request.nameFieldValue, "People.norva");
    EXPECT_EQ(m_presenter.beepCount(), 1);
    const PlistDictionary written = readDatafile(copy);
    EXPECT_EQ(written.value("Records").asDictionary()->size(), 3);
    EXPECT_TRUE(written.value("Settings").asDictionary()->contains("Fields"));
    bool editedTextWritten = false;
    const PlistValue records = written.value("Records");
    for (const auto& entry : *records.asDictionary())
        editedTextWritten |=
            entry.value.asDictionary()->stringForKey("TextString") == "first text edited";
    EXPECT_TRUE(editedTextWritten);
    EXPECT_EQ(document->fileURL(), ownURL);
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_EQ(contentsOf(ownURL.toLocalFile()), ownBytes);
}

TEST_F(ExportJourneyTest, Exports_WriteFails_AlertNamesTheFileNothingLeftNoBeep)
{
    EditorWindowController* editor = openPeople();
    ASSERT_TRUE(editor);
    // A folder that is not there, and a disk that fills up.
    const QString missing = m_dir.filePath("gone/People.norva");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(missing));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "exportAsNorva2Datafile:"));
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "The document “People.norva” could not be saved.");
    EXPECT_FALSE(m_presenter.lastAlert().request.informativeText.isEmpty());
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(m_presenter.beepCount(), 0);

    SafeFileWriter::setFailAfterBytesForTesting(10);
    const QString text = m_dir.filePath("People.txt");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(text));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "exportAsTextFile:"));
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "The document “People.txt” could not be saved.");
    EXPECT_FALSE(QFile::exists(text));
    EXPECT_EQ(QDir(m_dir.path()).entryList({"*People.txt*"}, QDir::Files | QDir::Hidden),
              QStringList());
}

TEST_F(ExportJourneyTest, AsFreeformText_TwoTokens_NewDatafileOfBlocksOpens)
{
    EditorWindowController* editor = openPeople();
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "exportAsFreeformDatafile:"));
    auto* sheet = shownSheet<ExportAsFreeformSheetController>();
    ASSERT_TRUE(sheet);
    ASSERT_EQ(sheet->fieldNameList()->count(), 2);
    QTextEdit* text = sheet->freeformText();
    text->setFocus();
    QTest::keyClicks(text, "To ");
    sheet->fieldNameList()->setCurrentRow(0);
    sheet->fieldNamesHit();
    QTest::keyClick(text, Qt::Key_Return);
    sheet->fieldNameList()->setCurrentRow(1);
    sheet->fieldNamesHit();
    QTest::keyClick(text, Qt::Key_Return);
    QTest::keyClicks(text, "end");
    sheet->window()->grab().save(shots() + "/export-freeform-sheet.png");

    const QString made = m_dir.filePath("People FF.nv3");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(made));
    sheet->okay();

    const ScriptedPresenter::ShownSavePanel& panel = m_presenter.savePanels().back();
    EXPECT_EQ(panel.request.title, "Export As Freeform Text");
    EXPECT_EQ(panel.request.nameFieldValue, "People FF");
    EXPECT_EQ(panel.request.allowedFileTypes, QStringList{"nv3"});
    const PlistDictionary written = readDatafile(made);
    const PlistDictionary settings = *written.value("Settings").asDictionary();
    EXPECT_TRUE(settings.value("Fields").asArray() == nullptr ||
                settings.value("Fields").asArray()->isEmpty());
    EXPECT_EQ(settings.stringForKey("SyncID"), "");
    QStringList texts;
    const PlistValue catalog = written.value("Catalog");
    for (const PlistValue& entry : *catalog.asArray()) {
        const QString identifier = entry.asDictionary()->stringForKey("Identifier");
        texts.append(written.value("Records")
                         .asDictionary()
                         ->value(identifier)
                         .asDictionary()
                         ->stringForKey("TextString"));
    }
    // Bo has no city: that line goes. Cy has no text of its own to follow the block.
    EXPECT_EQ(texts, QStringList({"To Ann\nOslo, Norway\nend\n\nfirst text", "To Bo\nend\n\nsecond",
                                  "To Cy\nRome\nend"}));
    Document* opened = DocumentController::shared().documentForURL(QUrl::fromLocalFile(made));
    ASSERT_TRUE(opened);
    EXPECT_FALSE(opened->isDocumentEdited());
}
