// The import sheets and the record sink behind them: where records land, what the user is
// told, and the CSV and tab-delimited particulars.
#include "ImportBookmarksController.h"
#include "ImportCSVSheetController.h"
#include "ImportCustomDelimitedController.h"
#include "ImportEmailSheetController.h"
#include "ImportEntourageContactsController.h"
#include "ImportRecordSink.h"
#include "ImportTabDelimitedSheetController.h"
#include "ImportTextFilesController.h"
#include "EmailMessage.h"
#include "Mailbox.h"

#include "DatafileFormat.h"
#include "PropertyList.h"
#include "EditorRecordsController.h"
#include "RichText.h"
#include "../controllers/EditorTestBase.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextBlock>
#include <QTimer>
#include <QThread>
#include <QTest>
#include <QSignalSpy>

// Failures name the strings, not their bytes.
static void PrintTo(const QString& string, std::ostream* stream)
{
    *stream << '"' << string.toStdString() << '"';
}

namespace {

const QString NothingImported = QStringLiteral("No records were imported.");
const QString EmptyOrWrongFormat =
    QStringLiteral("Either the file was empty, or it had the wrong format.");

class ImportSheetsTest : public EditorTestBase {
protected:
    void SetUp() override
    {
        EditorTestBase::SetUp();
        const auto make = [] { return std::make_unique<DatafileDocument>(); };
        DocumentController::shared().registerDocumentType(
            {DatafileDocument::ProDatafileType, {"nv3"}, make});
    }

    // A datafile file of the fields (identifier and name alike) whose records hold the
    // rows' values in field order.
    QString makeDatafile(const QString& name, const QStringList& fields,
                         const QList<QStringList>& rows)
    {
        PlistArray definitions;
        for (const QString& field : fields)
            definitions.append(PlistDictionary{{"Identifier", field}, {"Name", field}});
        PlistDictionary stored;
        int number = 0;
        for (const QStringList& row : rows) {
            PlistDictionary values;
            for (qsizetype i = 0; i < row.size(); ++i)
                values.insert(fields.at(i), row.at(i));
            const QString identifier = QStringLiteral("R%1").arg(++number);
            stored.insert(identifier, PlistDictionary{{"Identifier", identifier}, {"Fields", values}});
        }
        const QString path = m_dir.filePath(name);
        EXPECT_FALSE(DatafileDocument::writeDatafileToPath(
            path, {PlistDictionary{{"Fields", definitions}}, stored,
                   DatafileFormat::catalogForRecords(stored)}));
        return path;
    }

    EditorWindowController* openFile(const QString& path)
    {
        Document* document = DocumentController::shared().openDocumentWithContentsOfURL(
            QUrl::fromLocalFile(path), true);
        EXPECT_TRUE(document);
        if (!document)
            return nullptr;
        auto* editor =
            static_cast<EditorWindowController*>(document->windowControllers().front().get());
        editor->engine().setCanSaveChanges(true);
        editor->makeMainEditor();
        return editor;
    }

    // As the application's import sink makes a new datafile: its fields, one blank record,
    // shown and in front.
    ImportSheetBase::NewDatafileMaker newDatafileMaker()
    {
        return [this](const std::optional<QStringList>& names,
                      const std::optional<QString>& textName,
                      const QString& draftName) -> EditorWindowController* {
            ++m_datafilesMade;
            m_madeWith = {names.value_or(QStringList()).join(','), textName.value_or("-"),
                          draftName};
            if (m_failToMakeDatafiles)
                return nullptr;
            auto* document = static_cast<DatafileDocument*>(
                DocumentController::shared().openUntitledDocumentOfType(
                    DatafileDocument::ProDatafileType, false));
            document->setDefaultDraftName(draftName);
            document->datafileSettings()->setFields(
                DatafileDocument::arrayForFieldNames(names.value_or(QStringList())));
            auto* editor =
                static_cast<EditorWindowController*>(document->windowControllers().front().get());
            editor->recordsController().addRecord();
            document->showWindows();
            editor->engine().setCanSaveChanges(true);
            editor->makeMainEditor();
            return editor;
        };
    }

    // File ▸ Import ▸ CSV… with the file chosen; the sheet, when one came up.
    ImportCSVSheetController* importCSV(const QString& path)
    {
        m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
        auto* sheet = VKSheetController::controller<ImportCSVSheetController>();
        sheet->importCSVFile(newDatafileMaker());
        return sheet->window()->isVisible() ? sheet : nullptr;
    }

    ImportTabDelimitedSheetController* importTabDelimited(const QString& path)
    {
        m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
        auto* sheet = VKSheetController::controller<ImportTabDelimitedSheetController>();
        sheet->importTabDelimitedFile(newDatafileMaker());
        return sheet->window()->isVisible() ? sheet : nullptr;
    }

    ImportCustomDelimitedController* importCustomDelimited(const QString& path)
    {
        m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
        auto* sheet = VKSheetController::controller<ImportCustomDelimitedController>();
        sheet->importCustomDelimitedFile(newDatafileMaker());
        return sheet->window()->isVisible() ? sheet : nullptr;
    }

    ImportEntourageContactsController* importContacts(const QString& path)
    {
        m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
        auto* sheet = VKSheetController::controller<ImportEntourageContactsController>();
        sheet->importEntourageContactsFile(newDatafileMaker());
        return sheet->window()->isVisible() ? sheet : nullptr;
    }

    ImportTextFilesController* importFolder(const QString& path, bool withFileNames)
    {
        m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
        auto* sheet = VKSheetController::controller<ImportTextFilesController>();
        if (withFileNames)
            sheet->importFolderOfTextFilesWithFileNames(newDatafileMaker());
        else
            sheet->importFolderOfTextFiles(newDatafileMaker());
        return sheet->window()->isVisible() ? sheet : nullptr;
    }

    ImportBookmarksController* importBookmarks(const QString& path, qint64 tag = 0)
    {
        m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
        auto* sheet = VKSheetController::controller<ImportBookmarksController>();
        sheet->importBookmarksFile(newDatafileMaker(), tag);
        return sheet->window()->isVisible() ? sheet : nullptr;
    }

    // Each record's plain text, in the datafile's order.
    static QStringList textsOf(EditorWindowController* editor)
    {
        QStringList texts;
        for (qint64 i = 0; i < editor->engine().catalog()->count(); ++i)
            texts.append(editor->engine().recordAtCatalogIndex(i)->textString());
        return texts;
    }

    static EditorWindowController* newestEditor()
    {
        const std::vector<Document*>& documents = DocumentController::shared().documents();
        return static_cast<EditorWindowController*>(
            documents.back()->windowControllers().front().get());
    }

    // Each record's values in field order, in the datafile's order.
    static QList<QStringList> rowsOf(EditorWindowController* editor)
    {
        QStringList identifiers;
        for (const PlistValue& field : editor->settings()->fields())
            identifiers.append(field.asDictionary()->stringForKey("Identifier"));
        QList<QStringList> rows;
        for (qint64 i = 0; i < editor->engine().catalog()->count(); ++i) {
            const std::shared_ptr<RecordData> record = editor->engine().recordAtCatalogIndex(i);
            QStringList row;
            for (const QString& identifier : std::as_const(identifiers)) {
                const PlistValue* value = record->fields().find(identifier);
                row.append(value ? *value->asString() : QStringLiteral("<absent>"));
            }
            rows.append(row);
        }
        return rows;
    }

    static QStringList fieldNames(EditorWindowController* editor)
    {
        QStringList names;
        for (const PlistValue& field : editor->settings()->fields())
            names.append(field.asDictionary()->stringForKey("Name"));
        return names;
    }

    int m_datafilesMade = 0;
    bool m_failToMakeDatafiles = false;
    // The last new datafile's field names, text name ("-" for none) and draft name.
    QStringList m_madeWith;
};

QList<ImportRecordSink::Record> incoming(const QList<QStringList>& rows)
{
    QList<ImportRecordSink::Record> records;
    for (const QStringList& row : rows)
        records.append({row, std::nullopt, {}});
    return records;
}

} // namespace

// The record sink

TEST_F(ImportSheetsTest, Sink_NewDatafile_HoldsTheRecordsAndNotItsBlankOne)
{
    EditorWindowController* editor = newDatafileMaker()(QStringList{"a", "b"}, std::nullopt, "X");
    const qint64 added = ImportRecordSink::add(
        editor->featureContext(), incoming({{"1", "2"}, {"3", ""}, {"5", "6"}}), {});

    EXPECT_EQ(added, 3);
    EXPECT_EQ(rowsOf(editor), QList<QStringList>({{"1", "2"}, {"3", ""}, {"5", "6"}}));
    EXPECT_EQ(editor->engine().selectedRecordCount(), 3);
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 0);
    EXPECT_EQ(editor->engine().currentRecord()->fields().value(
                  editor->settings()->fields().at(0).asDictionary()->stringForKey("Identifier")),
              PlistValue("1"));
    EXPECT_EQ(editor->engine().lastHitField(), CurrentRecordEngine::NoHit);
    EXPECT_TRUE(editor->document()->isDocumentEdited());
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

TEST_F(ImportSheetsTest, Sink_AppendAndMerge_IntoAnOpenDatafileAsOneChange)
{
    struct Case {
        const char* name;
        bool merge;
        QList<QStringList> rows;
    };
    const Case cases[] = {
        {"append", false,
         {{"Ann", "Oslo"}, {"Cy", "Rome"}, {"Ann", "Oslo"}, {"Cy", "Rome"}, {"Bob", "Bonn"}}},
        // Duplicates go from the whole datafile, which is left in whole-record order.
        {"merge", true, {{"Ann", "Oslo"}, {"Bob", "Bonn"}, {"Cy", "Rome"}}},
    };
    int file = 0;
    for (const Case& c : cases) {
        EditorWindowController* editor =
            openFile(makeDatafile(QString("people%1.nv3").arg(++file), {"name", "town"},
                                  {{"Ann", "Oslo"}, {"Cy", "Rome"}}));
        EditorWindowController* clone = editor->openCloneWindowAndReturnController();
        ImportRecordSink::add(editor->featureContext(),
                              incoming({{"Ann", "Oslo"}, {"Cy", "Rome"}, {"Bob", "Bonn"}}),
                              {c.merge, true});
        EXPECT_EQ(rowsOf(editor), c.rows) << c.name;
        // Every window of the datafile shows the records.
        EXPECT_EQ(clone->engine().selectedRecordCount(), editor->engine().selectedRecordCount())
            << c.name;
        // One change: undoing it once leaves the datafile as it was saved.
        editor->document()->updateChangeCount(Document::ChangeType::Undone);
        EXPECT_FALSE(editor->document()->isDocumentEdited()) << c.name;
    }
}

TEST_F(ImportSheetsTest, Sink_NoRecords_TellsTheUserAndKeepsTheBlankRecord)
{
    EditorWindowController* editor = newDatafileMaker()(QStringList{"a"}, std::nullopt, "X");
    EXPECT_EQ(ImportRecordSink::add(editor->featureContext(), {}, {}), 0);
    EXPECT_EQ(editor->engine().catalog()->count(), 1);
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, NothingImported);
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText, EmptyOrWrongFormat);
}

// The sheets' shared shape

TEST_F(ImportSheetsTest, Sheet_OffersTheCurrentDatafileOnlyWhenItsFieldsFit)
{
    const QString csv = writeFile("two.csv", "a,b\nc,d\n");
    ImportCSVSheetController* sheet = importCSV(csv);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(m_presenter.openPanels().last().request.message, "Select a CSV File to Import");
    EXPECT_EQ(m_presenter.openPanels().last().request.fileTypes,
              QStringList({"text", "txt", "csv"}));
    EXPECT_TRUE(sheet->window()->isModal());
    EXPECT_EQ(sheet->window()->windowModality(), Qt::ApplicationModal);
    EXPECT_FALSE(sheet->appendToCurrent()->isEnabled());
    EXPECT_FALSE(sheet->mergeIntoCurrent()->isEnabled());
    EXPECT_TRUE(sheet->createNewIsOn());
    EXPECT_EQ(sheet->currentDatafileName()->text(), "<No suitable datafile open>");
    sheet->cancel();

    EditorWindowController* three = openFile(makeDatafile("three.nv3", {"x", "y", "z"}, {{"1"}}));
    sheet = importCSV(csv);
    EXPECT_FALSE(sheet->appendToCurrent()->isEnabled());
    sheet->cancel();

    EditorWindowController* two = openFile(makeDatafile("pair.nv3", {"x", "y"}, {{"1", "2"}}));
    sheet = importCSV(csv);
    EXPECT_TRUE(sheet->appendToCurrent()->isEnabled());
    EXPECT_TRUE(sheet->mergeIntoCurrent()->isEnabled());
    EXPECT_EQ(sheet->currentDatafileName()->text(), two->featureContext().host().windowTitle());
    // A cancelled sheet changes nothing.
    sheet->cancel();
    EXPECT_EQ(two->engine().catalog()->count(), 1);
    EXPECT_EQ(three->engine().catalog()->count(), 1);
    EXPECT_EQ(m_datafilesMade, 0);
}

TEST_F(ImportSheetsTest, Sheet_TheDatafileInFrontAtTheCommand_GetsTheRecords)
{
    const QString csv = writeFile("two.csv", "new,one\n");
    EditorWindowController* meant = openFile(makeDatafile("meant.nv3", {"x", "y"}, {{"1", "2"}}));
    EditorWindowController* other = openFile(makeDatafile("other.nv3", {"x", "y"}, {{"3", "4"}}));
    meant->makeMainEditor();
    ImportCSVSheetController* sheet = importCSV(csv);
    ASSERT_TRUE(sheet);
    // Another window comes to the front while the sheet is up.
    other->makeMainEditor();
    sheet->appendToCurrent()->setChecked(true);
    sheet->okay();
    EXPECT_EQ(rowsOf(meant), QList<QStringList>({{"1", "2"}, {"new", "one"}}));
    EXPECT_EQ(rowsOf(other), QList<QStringList>({{"3", "4"}}));

    // Closed meanwhile: nothing lands anywhere, and the user hears why.
    meant->makeMainEditor();
    sheet = importCSV(csv);
    ASSERT_TRUE(sheet);
    m_presenter.clear();
    meant->document()->close();
    sheet->appendToCurrent()->setChecked(true);
    sheet->okay();
    EXPECT_EQ(rowsOf(other), QList<QStringList>({{"3", "4"}}));
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, NothingImported);
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "The datafile they were meant for is no longer open.");
}

TEST_F(ImportSheetsTest, Sheet_NoNewDatafile_NothingLandsInTheCurrentOne)
{
    EditorWindowController* current = openFile(makeDatafile("here.nv3", {"x"}, {{"1"}}));
    m_failToMakeDatafiles = true;
    ImportCSVSheetController* sheet = importCSV(writeFile("one.csv", "a\nb\n"));
    ASSERT_TRUE(sheet);
    sheet->okay();
    EXPECT_EQ(m_datafilesMade, 1);
    EXPECT_EQ(rowsOf(current), QList<QStringList>({{"1"}}));
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "A new datafile for them could not be made.");
}

TEST_F(ImportSheetsTest, Sheet_FileWithoutText_IsToldAndShowsNoSheet)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QString informative;
    };
    const Case cases[] = {
        {"empty", "", EmptyOrWrongFormat},
        {"not text", QByteArray("\x01\x02\x03\x00\x04", 5), EmptyOrWrongFormat},
        {"no record", "\n\r\n\n", "lines.csv does not have the correct CSV format."},
    };
    for (const Case& c : cases) {
        m_presenter.clear();
        EXPECT_FALSE(importCSV(writeFile("lines.csv", c.bytes))) << c.name;
        ASSERT_EQ(m_presenter.alerts().size(), 1) << c.name;
        EXPECT_EQ(m_presenter.lastAlert().request.messageText, NothingImported) << c.name;
        EXPECT_EQ(m_presenter.lastAlert().request.informativeText, c.informative) << c.name;
    }
    // A cancelled panel is nothing at all.
    m_presenter.clear();
    auto* sheet = VKSheetController::controller<ImportCSVSheetController>();
    sheet->importCSVFile(newDatafileMaker());
    EXPECT_FALSE(sheet->window()->isVisible());
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    EXPECT_EQ(m_datafilesMade, 0);
}

// CSV

TEST_F(ImportSheetsTest, CSV_NewDatafile_NamedFieldsOrNumbers_ShownEditedAndUnsaved)
{
    const QString csv = writeFile("People.csv", "Name,Town\nAnn,Oslo\n\"Bo, Jr\",\"Rome\"\n");
    for (const bool names : {true, false}) {
        ImportCSVSheetController* sheet = importCSV(csv);
        ASSERT_TRUE(sheet);
        sheet->namesInFirstRecord()->setChecked(names);
        sheet->okay();
        EditorWindowController* made = newestEditor();
        EXPECT_EQ(fieldNames(made), names ? QStringList({"Name", "Town"}) : QStringList({"1", "2"}));
        QList<QStringList> rows = {{"Ann", "Oslo"}, {"Bo, Jr", "Rome"}};
        if (!names)
            rows.prepend({"Name", "Town"});
        EXPECT_EQ(rowsOf(made), rows) << names;
        EXPECT_EQ(made->datafileDocument()->defaultDraftName(), "People");
        EXPECT_EQ(EditorWindowController::mainEditor(), made);
        EXPECT_TRUE(made->document()->isDocumentEdited());
        EXPECT_TRUE(made->document()->fileURL().isEmpty());
        EXPECT_TRUE(m_presenter.savePanels().isEmpty());
        EXPECT_TRUE(m_presenter.alerts().isEmpty());
    }
}

TEST_F(ImportSheetsTest, CSV_NamesOnly_KeepsTheBlankRecordAndTellsTheUser)
{
    ImportCSVSheetController* sheet = importCSV(writeFile("names.csv", "Name,Phone\n"));
    ASSERT_TRUE(sheet);
    sheet->namesInFirstRecord()->setChecked(true);
    sheet->okay();
    EditorWindowController* made = newestEditor();
    EXPECT_EQ(fieldNames(made), QStringList({"Name", "Phone"}));
    EXPECT_EQ(made->engine().catalog()->count(), 1);
    EXPECT_EQ(m_presenter.alertMessages(), QStringList{NothingImported});
}

TEST_F(ImportSheetsTest, CSV_NamesRowOnAppendOrMerge_IsNeverARecord)
{
    const QString csv = writeFile("more.csv", "Name,Town\nBob,Bonn\n");
    for (const bool merge : {false, true}) {
        EditorWindowController* editor = openFile(
            makeDatafile(merge ? "m.nv3" : "a.nv3", {"name", "town"}, {{"Ann", "Oslo"}}));
        ImportCSVSheetController* sheet = importCSV(csv);
        ASSERT_TRUE(sheet);
        (merge ? sheet->mergeIntoCurrent() : sheet->appendToCurrent())->setChecked(true);
        sheet->namesInFirstRecord()->setChecked(true);
        sheet->okay();
        EXPECT_EQ(rowsOf(editor), QList<QStringList>({{"Ann", "Oslo"}, {"Bob", "Bonn"}})) << merge;
    }
}

TEST_F(ImportSheetsTest, CSV_ShortAndLongLines_ReportedWithTheirLines)
{
    ImportCSVSheetController* sheet = importCSV(writeFile("bad.csv", "a,b\nshort\nc,d,e\n"));
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->malformedRecordCount(), 2);
    sheet->okay();
    EditorWindowController* made = newestEditor();
    EXPECT_EQ(rowsOf(made), QList<QStringList>({{"a", "b"},
                                                {"short", "<MISSING FIELD>"},
                                                {"c", "d <EXTRA FIELD> e"}}));
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    const AlertRequest& report = m_presenter.lastAlert().request;
    EXPECT_EQ(report.messageText, "The imported file contained some malformed data.");
    EXPECT_EQ(report.informativeText,
              "There were 2 instances of extra or missing fields.\n\nSearch on \"<EXTRA FIELD>\" "
              "and \"<MISSING FIELD>\" to see them.\n\nLines: 2, 3");
    EXPECT_EQ(report.buttons, QStringList{"OK"});
    EXPECT_EQ(m_presenter.lastAlert().window, made->window());
}

// Tab-delimited

TEST_F(ImportSheetsTest, TabDelimited_NewDatafile_SavedUnlessDataWasDropped)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QList<QStringList> rows;
        bool report;
    };
    const Case cases[] = {
        {"fits", "a\tb\tc\n\nd\n", {{"a", "b", "c"}, {"", "<absent>", "<absent>"},
                                     {"d", "<absent>", "<absent>"}}, false},
        {"four pieces", "a\tb\tc\nd\te\tf\tg\n", {{"a", "b", "c"}, {"d", "e", "f"}}, true},
    };
    for (const Case& c : cases) {
        m_presenter.clear();
        m_presenter.answerSavePanel(std::nullopt);
        ImportTabDelimitedSheetController* sheet = importTabDelimited(writeFile("t.tab", c.bytes));
        ASSERT_TRUE(sheet) << c.name;
        EXPECT_EQ(m_presenter.openPanels().last().request.message,
                  "Select a Tab-delimited File to Import");
        EXPECT_EQ(sheet->incomingFieldCount(), 3) << c.name;
        sheet->okay();
        EditorWindowController* made = newestEditor();
        EXPECT_EQ(fieldNames(made), QStringList({"1", "2", "3"})) << c.name;
        EXPECT_EQ(rowsOf(made), c.rows) << c.name;
        // An untitled datafile asks where to be saved.
        EXPECT_EQ(m_presenter.savePanels().size(), c.report ? 0 : 1) << c.name;
        if (c.report) {
            ASSERT_EQ(m_presenter.alerts().size(), 1) << c.name;
            EXPECT_EQ(m_presenter.lastAlert().request.messageText,
                      "Tab-delimited source contained some malformed records.");
            EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
                      "Some records contained too many tabs. As a result, some data may have "
                      "been omitted.");
            EXPECT_TRUE(made->document()->isDocumentEdited()) << c.name;
        } else {
            EXPECT_TRUE(m_presenter.alerts().isEmpty()) << c.name;
        }
    }
}

TEST_F(ImportSheetsTest, TabDelimited_AppendWithNames_SkipsTheNamesAndReportsTooManyTabs)
{
    EditorWindowController* editor =
        openFile(makeDatafile("pair.nv3", {"name", "phone"}, {{"Ann", "1"}}));
    ImportTabDelimitedSheetController* sheet =
        importTabDelimited(writeFile("t.txt", "Name\tPhone\r\nBob\t2\tx\r\n"));
    ASSERT_TRUE(sheet);
    sheet->appendToCurrent()->setChecked(true);
    sheet->namesInFirstRecord()->setChecked(true);
    sheet->okay();
    EXPECT_EQ(rowsOf(editor), QList<QStringList>({{"Ann", "1"}, {"Bob", "2"}}));
    EXPECT_EQ(m_presenter.alertMessages(),
              QStringList{"Tab-delimited source contained some malformed records."});
    EXPECT_TRUE(m_presenter.savePanels().isEmpty());
}

// Custom-delimited

TEST_F(ImportSheetsTest, CustomDelimited_PlainText_NewDatafileOfThePiecesSaved)
{
    m_presenter.answerSavePanel(std::nullopt);
    // The extension's case does not make a text file rich.
    ImportCustomDelimitedController* sheet =
        importCustomDelimited(writeFile("NOTES.TXT", "a%%b\n%%%%c%%"));
    ASSERT_TRUE(sheet);
    EXPECT_EQ(m_presenter.openPanels().last().request.message,
              "Select a Custom-delimited File to Import");
    EXPECT_EQ(m_presenter.openPanels().last().request.packageTypes, QStringList{"rtfd"});
    EXPECT_TRUE(sheet->namesInFirstRecord()->isHidden());
    sheet->delimiterTextView()->setPlainText("%%");
    sheet->okay();
    EditorWindowController* made = newestEditor();
    EXPECT_EQ(textsOf(made), QStringList({"a", "b\n", "c"}));
    EXPECT_EQ(static_cast<DatafileDocument*>(made->document())->defaultDraftName(),
              "Custom-Delimited");
    EXPECT_EQ(m_presenter.savePanels().size(), 1);

    // An empty delimiter: the whole file one record.
    m_presenter.clear();
    sheet = importCustomDelimited(writeFile("x.txt", "a%%b"));
    ASSERT_TRUE(sheet);
    sheet->delimiterTextView()->clear();
    sheet->okay();
    EXPECT_EQ(textsOf(newestEditor()), QStringList({"a%%b"}));

    // Nothing but delimiters: told, and the new datafile keeps its blank record, unsaved.
    m_presenter.clear();
    sheet = importCustomDelimited(writeFile("y.txt", "%%%%"));
    ASSERT_TRUE(sheet);
    sheet->delimiterTextView()->setPlainText("%%");
    sheet->okay();
    EXPECT_EQ(m_presenter.alertMessages(), QStringList{NothingImported});
    EXPECT_EQ(textsOf(newestEditor()), QStringList({""}));
    EXPECT_TRUE(m_presenter.savePanels().isEmpty());
}

TEST_F(ImportSheetsTest, CustomDelimited_RichPieces_KeepTheirStylesIntoAnyDatafile)
{
    EditorWindowController* editor =
        openFile(makeDatafile("three.nv3", {"a", "b", "c"}, {{"x", "y", "z"}}));
    ImportCustomDelimitedController* sheet = importCustomDelimited(
        writeFile("styled.rtf", "{\\rtf1\\ansi {\\b bold} one##plain two}"));
    ASSERT_TRUE(sheet);
    // Any datafile takes pieces of text, whatever its fields.
    EXPECT_TRUE(sheet->appendToCurrent()->isEnabled());
    EXPECT_EQ(sheet->currentDatafileName()->text(), editor->featureContext().host().windowTitle());
    sheet->appendToCurrent()->setChecked(true);
    sheet->delimiterTextView()->setPlainText("##");
    sheet->okay();

    EXPECT_EQ(textsOf(editor), QStringList({"", "bold one", "plain two"}));
    EXPECT_EQ(rowsOf(editor).at(1), QStringList({"<absent>", "<absent>", "<absent>"}));
    const std::shared_ptr<RecordData> first = editor->engine().recordAtCatalogIndex(1);
    const RichTextResult rich = RichText::fromRtfd(first->textRTFD());
    ASSERT_TRUE(rich.ok());
    EXPECT_EQ(RichText::plainText(*rich.document), "bold one");
    const QTextBlock block = rich.document->begin();
    EXPECT_EQ(block.begin().fragment().text(), "bold");
    EXPECT_TRUE(block.begin().fragment().charFormat().font().bold());
    const RichTextResult second =
        RichText::fromRtfd(editor->engine().recordAtCatalogIndex(2)->textRTFD());
    ASSERT_TRUE(second.ok());
    EXPECT_FALSE(second.document->begin().begin().fragment().charFormat().font().bold());
}

TEST_F(ImportSheetsTest, CustomDelimited_UnreadableOrEmptyFile_IsToldAndShowsNoSheet)
{
    for (const char* name : {"empty.txt", "broken.rtf"}) {
        m_presenter.clear();
        const QString path =
            writeFile(name, QByteArray(name) == "empty.txt" ? QByteArray() : "not rtf at all");
        EXPECT_FALSE(importCustomDelimited(path)) << name;
        EXPECT_EQ(m_presenter.alertMessages(), QStringList{NothingImported}) << name;
        EXPECT_EQ(m_presenter.lastAlert().request.informativeText, EmptyOrWrongFormat) << name;
    }
}

// Contacts

TEST_F(ImportSheetsTest, Contacts_NewDatafile_NamedByTheFirstLineAndSaved)
{
    m_presenter.answerSavePanel(std::nullopt);
    ImportEntourageContactsController* sheet = importContacts(
        writeFile("export", "First\tLast\tPhone\tNotes\nAnn\tLee\t555\tlikes\ttea\nBo\n"));
    ASSERT_TRUE(sheet);
    EXPECT_EQ(m_presenter.openPanels().last().request.message, "Select a Contacts File to Import");
    EXPECT_TRUE(m_presenter.openPanels().last().request.fileTypes.isEmpty());
    EXPECT_EQ(sheet->incomingFieldCount(), 4);
    sheet->okay();
    EditorWindowController* made = newestEditor();
    EXPECT_EQ(fieldNames(made), QStringList({"First", "Last", "Phone", "Notes"}));
    EXPECT_EQ(rowsOf(made), QList<QStringList>({{"Ann", "Lee", "555", "<absent>"},
                                                {"Bo", "<absent>", "<absent>", "<absent>"}}));
    EXPECT_EQ(textsOf(made), QStringList({"likes\ttea", ""}));
    EXPECT_EQ(static_cast<DatafileDocument*>(made->document())->defaultDraftName(),
              "Entourage Contacts");
    EXPECT_EQ(m_presenter.savePanels().size(), 1);

    // Only the names line: told, the blank record kept, and still saved.
    m_presenter.clear();
    m_presenter.answerSavePanel(std::nullopt);
    sheet = importContacts(writeFile("names", "First\tLast\n"));
    ASSERT_TRUE(sheet);
    sheet->okay();
    EXPECT_EQ(m_presenter.alertMessages(), QStringList{NothingImported});
    EXPECT_EQ(textsOf(newestEditor()), QStringList({""}));
    EXPECT_EQ(m_presenter.savePanels().size(), 1);
}

TEST_F(ImportSheetsTest, Contacts_Append_OnlyIntoAsManyFieldsAndLeavesTheCurrentText)
{
    EditorWindowController* other = openFile(makeDatafile("two.nv3", {"a", "b"}, {{"x", "y"}}));
    ImportEntourageContactsController* sheet = importContacts(writeFile("c.txt", "A\tB\tC\nq\tr\ts\n"));
    ASSERT_TRUE(sheet);
    EXPECT_FALSE(sheet->appendToCurrent()->isEnabled());
    sheet->cancel();
    EXPECT_EQ(rowsOf(other).size(), 1);

    EditorWindowController* editor =
        openFile(makeDatafile("three.nv3", {"a", "b", "c"}, {{"x", "y", "z"}}));
    sheet = importContacts(writeFile("c.txt", "A\tB\tC\nq\tr\ts\n"));
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->appendToCurrent()->isEnabled());
    sheet->appendToCurrent()->setChecked(true);
    sheet->okay();
    EXPECT_EQ(rowsOf(editor), QList<QStringList>({{"x", "y", "z"}, {"q", "r", "<absent>"}}));
    EXPECT_EQ(textsOf(editor), QStringList({"", "s"}));
    EXPECT_TRUE(m_presenter.savePanels().isEmpty());
}

// Folder of text files

TEST_F(ImportSheetsTest, TextFiles_Folder_TextAndRichFilesInNameOrderOnly)
{
    QDir(m_dir.path()).mkpath("in/sub");
    QDir(m_dir.path()).mkpath("in/x.rtfd");
    const QByteArray rtf = "{\\rtf1\\ansi {\\b rich}}";
    writeFile("in/b.txt", "bee");
    writeFile("in/A.rtf", rtf);
    writeFile("in/c.TXT", "");
    writeFile("in/x.rtfd/TXT.rtf", "{\\rtf1\\ansi folder}");
    writeFile("in/empty.rtf", "{\\rtf1\\ansi }");
    for (const char* name : {"in/d.Txt", "in/e.RTF", "in/f.md", "in/.hidden.txt", "in/sub/g.txt"})
        writeFile(name, "never");
    m_presenter.answerSavePanel(std::nullopt);
    ImportTextFilesController* sheet = importFolder(m_dir.filePath("in"), false);
    ASSERT_TRUE(sheet);
    const OpenPanelRequest& panel = m_presenter.openPanels().last().request;
    EXPECT_EQ(panel.message, "Select a Folder of Text Files to Import");
    EXPECT_EQ(panel.prompt, "Select");
    EXPECT_TRUE(panel.canChooseDirectories);
    EXPECT_FALSE(panel.canChooseFiles);
    EXPECT_FALSE(panel.resolvesAliases);
    sheet->okay();
    EditorWindowController* made = newestEditor();
    EXPECT_EQ(textsOf(made), QStringList({"rich", "bee", "", "folder"}));
    const RichTextResult rich =
        RichText::fromRtfd(made->engine().recordAtCatalogIndex(0)->textRTFD());
    ASSERT_TRUE(rich.ok());
    EXPECT_TRUE(rich.document->begin().begin().fragment().charFormat().font().bold());
    EXPECT_TRUE(made->engine().recordAtCatalogIndex(1)->textRTFD().isEmpty());
    EXPECT_EQ(static_cast<DatafileDocument*>(made->document())->defaultDraftName(),
              "Folder of FIles");
    EXPECT_EQ(m_presenter.savePanels().size(), 1);

    // Nothing to import: told, and the new datafile keeps its blank record, unsaved.
    m_presenter.clear();
    QDir(m_dir.path()).mkpath("none");
    writeFile("none/notes.md", "x");
    sheet = importFolder(m_dir.filePath("none"), false);
    ASSERT_TRUE(sheet);
    sheet->okay();
    EXPECT_EQ(m_presenter.alertMessages(), QStringList{NothingImported});
    EXPECT_EQ(textsOf(newestEditor()), QStringList({""}));
    EXPECT_TRUE(m_presenter.savePanels().isEmpty());
}

TEST_F(ImportSheetsTest, TextFiles_WithFileNames_TheNameGoesIntoTheFirstField)
{
    QDir(m_dir.path()).mkpath("in");
    writeFile("in/Acme.txt", "call back");
    writeFile("in/a.b.txt", "dots");

    // A new datafile has the one field.
    m_presenter.answerSavePanel(std::nullopt);
    ImportTextFilesController* sheet = importFolder(m_dir.filePath("in"), true);
    ASSERT_TRUE(sheet);
    sheet->okay();
    EditorWindowController* made = newestEditor();
    EXPECT_EQ(fieldNames(made), QStringList{"File Name"});
    EXPECT_EQ(rowsOf(made), QList<QStringList>({{"a.b"}, {"Acme"}}));
    EXPECT_EQ(static_cast<DatafileDocument*>(made->document())->defaultDraftName(),
              "Folder of Files");

    EditorWindowController* editor =
        openFile(makeDatafile("co.nv3", {"Company", "Phone"}, {{"Old", "1"}}));
    sheet = importFolder(m_dir.filePath("in"), true);
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->appendToCurrent()->isEnabled());
    sheet->appendToCurrent()->setChecked(true);
    sheet->okay();
    EXPECT_EQ(rowsOf(editor),
              QList<QStringList>({{"Old", "1"}, {"a.b", "<absent>"}, {"Acme", "<absent>"}}));
    EXPECT_EQ(textsOf(editor), QStringList({"", "dots", "call back"}));
}

// Bookmarks

TEST_F(ImportSheetsTest, Bookmarks_PropertyList_NewDatafileOfCategoryTitleURLSaved)
{
    const PlistDictionary leaf{{"URIDictionary", PlistDictionary{{"title", "Deep"}}},
                               {"URLString", "https://d.example/"}};
    const PlistDictionary safari{
        {"Children",
         PlistArray{PlistDictionary{
                        {"Title", "Outer"},
                        {"Children", PlistArray{PlistDictionary{{"Title", "A/B C"},
                                                                {"Children", PlistArray{leaf}}}}}},
                    PlistDictionary{{"URIDictionary", PlistDictionary{{"title", "Top"}}},
                                    {"URLString", "https://t.example/"}}}}};

    m_presenter.answerSavePanel(std::nullopt);
    ImportBookmarksController* sheet = importBookmarks(
        writeFile("Bookmarks.plist", propertyListBytes(safari, PlistFormat::Binary)));
    ASSERT_TRUE(sheet);
    const OpenPanelRequest& panel = m_presenter.openPanels().last().request;
    EXPECT_EQ(panel.message, "Select a Bookmarks File to Import");
    EXPECT_EQ(panel.fileTypes, QStringList({"plist", "html"}));
    EXPECT_FALSE(panel.canChooseDirectories);
    EXPECT_EQ(QDir(panel.directory).exists(), true);
    EXPECT_EQ(sheet->client(), 5);
    EXPECT_TRUE(sheet->namesInFirstRecord()->isHidden());
    EXPECT_FALSE(sheet->appendToCurrent()->isEnabled());
    sheet->okay();
    EditorWindowController* made = newestEditor();
    EXPECT_EQ(fieldNames(made), QStringList({"Category", "Title", "URL"}));
    EXPECT_EQ(rowsOf(made), QList<QStringList>({{"Outer / A/B C", "Deep", "https://d.example/"},
                                                {"", "Top", "https://t.example/"}}));
    EXPECT_EQ(static_cast<DatafileDocument*>(made->document())->defaultDraftName(), "Bookmarks");
    EXPECT_EQ(m_presenter.savePanels().size(), 1);

    // Another property list is read as the other layout: each folder followed by a blank.
    m_presenter.clear();
    const PlistDictionary camino{
        {"Children", PlistArray{PlistDictionary{
                         {"Title", "F"},
                         {"Children", PlistArray{PlistDictionary{{"Title", "In"}, {"URL", "i:"}}}}}}}};
    sheet = importBookmarks(writeFile("camino.plist", propertyListBytes(camino, PlistFormat::Xml)));
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->client(), 6);
    sheet->okay();
    EXPECT_EQ(rowsOf(newestEditor()), QList<QStringList>({{"F ", "In", "i:"}}));
}

TEST_F(ImportSheetsTest, Bookmarks_Html_OnlyIntoThreeFields_MergedWithoutDuplicates)
{
    const QString html = writeFile(
        "bookmarks.html",
        "<DL><p>\n<DT><H3>News</H3>\n<DL><p>\n<DT><A HREF=\"https://n.example/?a=1&amp;b=2\">Daily</A>\n"
        "</DL><p>\n<DT><A HREF=\"https://x.example/\">X</A>\n</DL><p>\n");
    openFile(makeDatafile("two.nv3", {"a", "b"}, {{"x", "y"}}));
    ImportBookmarksController* sheet = importBookmarks(html);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->currentDatafileName()->text(), "<No suitable datafile open>");
    sheet->cancel();

    EditorWindowController* editor = openFile(
        makeDatafile("links.nv3", {"c", "t", "u"}, {{"", "X", "https://x.example/"}}));
    sheet = importBookmarks(html);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->client(), 0);
    EXPECT_TRUE(sheet->mergeIntoCurrent()->isEnabled());
    sheet->mergeIntoCurrent()->setChecked(true);
    sheet->okay();
    EXPECT_EQ(rowsOf(editor), QList<QStringList>({{"", "X", "https://x.example/"},
                                                  {"News ", "Daily", "https://n.example/?a=1&b=2"}}));
    EXPECT_TRUE(m_presenter.savePanels().isEmpty());
    EXPECT_EQ(m_datafilesMade, 0);
}

TEST_F(ImportSheetsTest, Bookmarks_FilesOfNoBookmark_TellTheUser)
{
    // Unreadable as either kind: told at once, no sheet.
    for (const QByteArray& bytes : {QByteArray(), QByteArray("bplist00broken"),
                                    propertyListBytes(PlistArray{"a"}, PlistFormat::Xml)}) {
        m_presenter.clear();
        EXPECT_FALSE(importBookmarks(writeFile("bad.plist", bytes)));
        EXPECT_EQ(m_presenter.alertMessages(), QStringList{NothingImported});
        EXPECT_EQ(m_presenter.lastAlert().request.informativeText, EmptyOrWrongFormat);
    }

    // A property list of no bookmark: told, and no datafile made for it.
    m_presenter.clear();
    ImportBookmarksController* sheet = importBookmarks(writeFile(
        "prefs.plist", propertyListBytes(PlistDictionary{{"Children", PlistArray{}}}, PlistFormat::Xml)));
    ASSERT_TRUE(sheet);
    sheet->okay();
    EXPECT_EQ(m_presenter.alertMessages(), QStringList{NothingImported});
    EXPECT_EQ(m_datafilesMade, 0);

    // A text of no bookmark: the new datafile is made first and keeps its blank record.
    m_presenter.clear();
    sheet = importBookmarks(writeFile("notes.html", "<p>just a page</p>"));
    ASSERT_TRUE(sheet);
    sheet->okay();
    EXPECT_EQ(m_presenter.alertMessages(), QStringList{NothingImported});
    EXPECT_EQ(m_datafilesMade, 1);
    EXPECT_EQ(textsOf(newestEditor()), QStringList({""}));
    EXPECT_TRUE(m_presenter.savePanels().isEmpty());
}

namespace {

const QStringList EmailFields = {"Subject", "Date",      "From",      "Reply to",
                                 "To",      "cc",        "File Name", "References"};

// E-mail import: mailbox files on the main thread and mail folders on a worker.
class ImportEmailSheetTest : public ImportSheetsTest {
protected:
    void TearDown() override
    {
        if (QThread* worker = sheet()->importEmailThread())
            QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished(), 10000);
        ImportSheetsTest::TearDown();
    }

    static ImportEmailSheetController* sheet()
    {
        static ImportEmailSheetController* shared =
            VKSheetController::controller<ImportEmailSheetController>();
        return shared;
    }

    // A datafile of the e-mail fields holding one record of the values.
    EditorWindowController* openDatafile(const QStringList& values)
    {
        return openFile(makeDatafile("Mail.nv3", EmailFields, {values}));
    }

    // The mailbox file chosen; whether the sheet came up.
    bool importFile(int client, const QString& path)
    {
        m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
        sheet()->importEmailFile(client, newDatafileMaker());
        return sheet()->window()->isVisible();
    }

    bool importFolder(const QString& path)
    {
        m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
        sheet()->importEmailFolder(2, newDatafileMaker());
        return sheet()->window()->isVisible();
    }

    static void waitForWorker()
    {
        QThread* worker = sheet()->importEmailThread();
        ASSERT_TRUE(worker);
        QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished(), 10000);
        // Its last hop has run.
        QCoreApplication::processEvents();
    }

    static QString value(EditorWindowController* editor, qint64 index, const QString& field)
    {
        const PlistArray fields = editor->settings()->fields();
        const qsizetype position = EmailFields.indexOf(field);
        const QString identifier =
            fields.at(position).asDictionary()->stringForKey("Identifier");
        return editor->engine().recordAtCatalogIndex(index)->fields().stringForKey(identifier);
    }

    static QStringList column(EditorWindowController* editor, const QString& field)
    {
        QStringList values;
        for (qint64 i = 0; i < editor->engine().catalog()->count(); ++i)
            values.append(value(editor, i, field));
        return values;
    }

    QString fixture(const char* name) const
    {
        return QStringLiteral(NORVA_FIXTURES_DIR "/email/") + QLatin1String(name);
    }

    // A message file: its length line, the message and a trailer that is not the message.
    void writeEmlx(const QString& relativePath, const QByteArray& date, const QByteArray& subject)
    {
        const QByteArray message = "Subject: " + subject + "\nDate: " + date +
                                   "\nFrom: a@example.com\n\n" + subject + " body\n";
        QDir(m_dir.path()).mkpath(QFileInfo(m_dir.filePath(relativePath)).path());
        QFile file(m_dir.filePath(relativePath));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::number(message.size()) + "\n" + message +
                   "<?xml version=\"1.0\"?>\n<plist><dict/></plist>\n");
    }

    QString writeMailFolder()
    {
        writeEmlx("Mail/Inbox.mbox/Messages/1.emlx", "Mon, 2 Mar 2026 09:00:00 +0000", "Oldest");
        writeEmlx("Mail/Inbox.mbox/Messages/2.emlx", "Wed, 4 Mar 2026 09:00:00 +0000", "Newest");
        writeEmlx("Mail/Work.mbox/Sub.mbox/Messages/3.emlx", "Tue, 3 Mar 2026 09:00:00 +0000",
                  "Middle");
        writeEmlx("Mail/Top.emlx", "Sun, 1 Mar 2026 09:00:00 +0000", "Top");
        // Not messages.
        writeEmlx("Mail/Inbox.mbox/Messages/4.partial.emlxpart", "Thu, 5 Mar 2026", "Part");
        writeEmlx("Mail/.hidden/5.emlx", "Thu, 5 Mar 2026", "Hidden");
        writeEmlx("Mail/Inbox.mbox/Info.plist", "Thu, 5 Mar 2026", "Info");
        return m_dir.filePath("Mail");
    }

    EditorWindowController* made() const { return m_datafilesMade ? newestEditor() : nullptr; }
};

} // namespace

TEST_F(ImportEmailSheetTest, MailboxFile_NewDatafile_NewestFirstAndSaved)
{
    ASSERT_TRUE(importFile(4, fixture("eudora.mbx")));
    EXPECT_EQ(m_presenter.openPanels().back().request.message, "Select a message File to Import");
    EXPECT_EQ(sheet()->currentDatafileName()->text(), "<No suitable datafile open>");
    EXPECT_FALSE(sheet()->appendToCurrent()->isEnabled());
    EXPECT_EQ(sheet()->emailClient(), 4);
    m_presenter.answerSavePanel(QUrl::fromLocalFile(m_dir.filePath("Eudora.nv3")));
    sheet()->okay();

    ASSERT_TRUE(made());
    EXPECT_EQ(m_madeWith, QStringList({EmailFields.join(','), "Message", "Email"}));
    EXPECT_EQ(column(made(), "Subject"), QStringList({" Newest", " Middle", " Oldest"}));
    EXPECT_EQ(made()->engine().recordAtCatalogIndex(0)->textString(), "third body");
    EXPECT_EQ(column(made(), "File Name"), QStringList({"", "", ""}));
    EXPECT_EQ(made()->engine().indexOfCurrentRecord(), 0);
    EXPECT_TRUE(QFileInfo::exists(m_dir.filePath("Eudora.nv3")));
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

TEST_F(ImportEmailSheetTest, MailboxFile_AppendKeepsFileOrder_MergeStripsDuplicates)
{
    EditorWindowController* editor = openDatafile({" Kept", "Sun, 1 Mar 2026 09:00:00 +0000"});
    ASSERT_TRUE(importFile(6, fixture("mozilla.mbox")));
    EXPECT_TRUE(sheet()->appendToCurrent()->isEnabled());
    EXPECT_EQ(sheet()->currentDatafileName()->text(),
              editor->featureContext().host().windowTitle());
    sheet()->appendToCurrent()->setChecked(true);
    sheet()->importText()->setChecked(true);
    sheet()->okay();
    EXPECT_TRUE(sheet()->importTextOnly());
    EXPECT_EQ(column(editor, "Subject"),
              QStringList({" Kept", " Oldest", " Newest", " Middle"}));
    EXPECT_EQ(editor->engine().catalog()->countSelected(), 4);

    ASSERT_TRUE(importFile(6, fixture("mozilla.mbox")));
    EXPECT_TRUE(sheet()->importText()->isChecked());
    sheet()->mergeIntoCurrent()->setChecked(true);
    sheet()->okay();
    EXPECT_EQ(column(editor, "Subject"),
              QStringList({" Newest", " Middle", " Oldest", " Kept"}));
    EXPECT_TRUE(editor->window()->isWindowModified());
}

TEST_F(ImportEmailSheetTest, MailboxFile_ManyMessages_TheRecordsOfOneByOne_AndAStopKeepsThoseBefore)
{
    // Several batches of plain, HTML, base64 and empty messages.
    QByteArray mailbox;
    for (int index = 0; index < 700; ++index) {
        mailbox += "From - Tue Mar  3 10:00:00 2026\nSubject: M" + QByteArray::number(index) +
                   "\nDate: Tue, 3 Mar 2026 10:00:00 +0000\n";
        switch (index % 4) {
        case 0:
            mailbox += "Content-Type: text/plain\n\nplain " + QByteArray::number(index) + "\n";
            break;
        case 1:
            mailbox += "Content-Type: text/html; charset=utf-8\n"
                       "Content-Transfer-Encoding: quoted-printable\n\n"
                       "<html><body><b>caf=C3=A9</b> " + QByteArray::number(index) + "</body></html>\n";
            break;
        case 2:
            mailbox += "Content-Type: text/html\nContent-Transfer-Encoding: base64\n\n" +
                       QByteArray("<p>encoded " + QByteArray::number(index) + "</p>").toBase64() +
                       "\n";
            break;
        default:
            mailbox += "No-Body: yes\n";
            break;
        }
        mailbox += "\n";
    }
    EditorWindowController* editor = openDatafile({" Kept"});
    for (const bool textOnly : {false, true}) {
        QList<ImportRecordSink::Record> expected;
        MailboxCutter cutter(mailbox, 6);
        while (const std::optional<QByteArrayView> message = cutter.next())
            expected.append(ImportEmailSheetController::recordFor(
                EmailMessage::createRecordFromMessage(message->toByteArray(), message->size(), 6,
                                                      QString(), textOnly),
                textOnly));
        ASSERT_EQ(expected.size(), 700);

        qint64 base = editor->engine().catalog()->count();
        EXPECT_EQ(ImportEmailSheetController::convertEmailFile(
                      mailbox, 6, textOnly, false, editor->featureContext(), {}),
                  700);
        ASSERT_EQ(editor->engine().catalog()->count(), base + 700);
        for (qint64 index = 0; index < 700; ++index) {
            const std::shared_ptr<RecordData> record =
                editor->engine().recordAtCatalogIndex(base + index);
            const ImportRecordSink::Record& want = expected[index];
            ASSERT_EQ(value(editor, base + index, "Subject"), want.values.front()) << index;
            ASSERT_EQ(record->textString(), want.text.value_or(QString())) << index;
            // Plain text gets its RTFD from the sink.
            if (!want.rtfd.isEmpty()) {
                ASSERT_EQ(record->textRTFD(), want.rtfd) << index;
            }
        }

        // The stop seen after the 300th message, in the second batch.
        base = editor->engine().catalog()->count();
        int asked = 0;
        EXPECT_EQ(ImportEmailSheetController::convertEmailFile(
                      mailbox, 6, textOnly, false, editor->featureContext(),
                      [&asked] { return ++asked == 300; }),
                  300);
        EXPECT_EQ(editor->engine().catalog()->count(), base + 300);
        EXPECT_EQ(value(editor, base + 299, "Subject"), " M299");
    }
}

TEST_F(ImportEmailSheetTest, MailboxFile_WithoutMessages_NoRecordsNoAlert)
{
    const QString path = writeFile("notes.txt", "no messages in here\n");
    ASSERT_TRUE(importFile(5, path));
    m_presenter.answerSavePanel(std::nullopt);
    sheet()->okay();
    ASSERT_TRUE(made());
    EXPECT_EQ(made()->engine().catalog()->count(), 1);
    EXPECT_TRUE(m_presenter.alerts().isEmpty());

    // An empty file is told.
    ASSERT_TRUE(importFile(5, writeFile("empty.mbox", "")));
    sheet()->okay();
    EXPECT_EQ(m_presenter.alertMessages(), QStringList({"No records were imported."}));
}

TEST_F(ImportEmailSheetTest, MailFolder_EveryEmlxBelow_NewestFirstWhileEventsFlow)
{
    const QString folder = writeMailFolder();
    ASSERT_TRUE(importFolder(folder));
    EXPECT_EQ(m_presenter.openPanels().back().request.message,
              "Select a Messages Folder to Import");
    EXPECT_EQ(sheet()->emailFolderName(), "Mail Email");
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(0);
    QSignalSpy imported(sheet(), &ImportEmailSheetController::messageImported);
    sheet()->okay();
    ASSERT_TRUE(made());
    waitForWorker();
    EXPECT_EQ(m_madeWith, QStringList({EmailFields.join(','), "Message", "Mail Email"}));
    EXPECT_EQ(column(made(), "Subject"), QStringList({" Newest", " Middle", " Oldest", " Top"}));
    EXPECT_EQ(column(made(), "File Name"), QStringList({"2.emlx", "3.emlx", "1.emlx", "Top.emlx"}));
    EXPECT_EQ(made()->engine().recordAtCatalogIndex(0)->textString(), "Newest body\n");
    EXPECT_EQ(imported.size(), 4);
    EXPECT_GT(ticks, 0);
    EXPECT_FALSE(made()->progressPanel()->isVisible());
    // Not saved, nothing said.
    EXPECT_TRUE(made()->document()->fileURL().isEmpty());
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

TEST_F(ImportEmailSheetTest, MailFolder_EscapeAfterTheSecond_KeepsTwoAndEndsTheProgress)
{
    EditorWindowController* editor = openDatafile({" Kept", "Sun, 1 Mar 2026 09:00:00 +0000"});
    ASSERT_TRUE(importFolder(writeMailFolder()));
    sheet()->appendToCurrent()->setChecked(true);
    QObject::connect(sheet(), &ImportEmailSheetController::messageImported, editor,
                     [editor](qint64 count) {
                         if (count == 2)
                             QTest::keyClick(editor->window(), Qt::Key_Escape);
                     });
    sheet()->okay();
    waitForWorker();
    QObject::disconnect(sheet(), &ImportEmailSheetController::messageImported, editor, nullptr);
    EXPECT_EQ(editor->engine().catalog()->count(), 3);
    EXPECT_EQ(column(editor, "Subject"), QStringList({" Newest", " Oldest", " Kept"}));
    EXPECT_EQ(editor->engine().catalog()->countSelected(), 3);
    EXPECT_FALSE(editor->progressPanel()->isVisible());
    EXPECT_TRUE(editor->window()->isWindowModified());
}

TEST_F(ImportEmailSheetTest, MailFolder_WithoutMessages_EndsTheProgressAndSaysNothing)
{
    QDir(m_dir.path()).mkpath("Empty");
    ASSERT_TRUE(importFolder(m_dir.filePath("Empty")));
    sheet()->okay();
    ASSERT_TRUE(made());
    waitForWorker();
    EXPECT_EQ(made()->engine().catalog()->count(), 1);
    EXPECT_FALSE(made()->progressPanel()->isVisible());
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

TEST_F(ImportEmailSheetTest, OutlookFolder_EveryFileDirectlyInIt)
{
    EditorWindowController* editor = openDatafile({" Kept"});
    QDir(m_dir.path()).mkpath("Outlook/sub");
    writeFile("Outlook/a.txt", "x\rSubject: One\rDate: Mon, 2 Mar 2026 09:00:00 +0000\r\rbody\r");
    writeFile("Outlook/b", "");
    writeFile("Outlook/sub/c.txt", "x\rSubject: Deeper\r\rbody\r");
    // What lies in the subfolder stays out; an empty file is an empty record.
    EXPECT_EQ(ImportEmailSheetController::convertOutlookEmailFolder(
                  m_dir.filePath("Outlook"), 9, false, false, editor->featureContext()),
              2);
    QStringList subjects = column(editor, "Subject");
    subjects.sort();
    EXPECT_EQ(subjects, QStringList({"", " Kept", " One"}));
}

TEST_F(ImportEmailSheetTest, MailboxFile_StoppedAfterTheSecond_KeepsTwoSelected)
{
    EditorWindowController* editor = openDatafile({" Kept"});
    QFile mailbox(fixture("mozilla.mbox"));
    ASSERT_TRUE(mailbox.open(QIODevice::ReadOnly));
    int asked = 0;
    EXPECT_EQ(ImportEmailSheetController::convertEmailFile(
                  mailbox.readAll(), 6, true, false, editor->featureContext(),
                  [&asked] { return ++asked == 2; }),
              2);
    EXPECT_EQ(column(editor, "Subject"), QStringList({" Kept", " Oldest", " Newest"}));
    EXPECT_EQ(editor->engine().catalog()->countSelected(), 3);
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 0);
    EXPECT_TRUE(editor->window()->isWindowModified());
}
