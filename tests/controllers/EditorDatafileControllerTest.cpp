// The datafile as a whole: merging another datafile, saving as the other kind or the
// selected records, splitting, the clone window and showing the file.
#include "EditorDatafileController.h"
#include "RecordDataTesting.h"

#include "Clock.h"
#include "CombineFilesSheetController.h"
#include "DatafileFormat.h"
#include "EditorRecordsController.h"
#include "EditorSearchController.h"
#include "EditorTestBase.h"
#include "FindBoxView.h"
#include "FreeformTextView.h"
#include "IncomingDatafile.h"
#include "PropertyList.h"
#include "RichText.h"

#include <QFile>
#include <QTextDocument>

// Failures name the strings, not their bytes.
static void PrintTo(const QString& string, std::ostream* stream)
{
    *stream << '"' << string.toStdString() << '"';
}

namespace {

struct Record {
    QString text;
    QStringList values; // by field position
};

class EditorDatafileControllerTest : public EditorTestBase {
protected:
    void SetUp() override
    {
        EditorTestBase::SetUp();
        // The new datafiles open as the user's files do.
        const auto make = [] { return std::make_unique<DatafileDocument>(); };
        DocumentController::shared().registerDocumentType({DatafileDocument::ProDatafileType, {"nv3"}, make});
        DocumentController::shared().registerDocumentType(
            {DatafileDocument::MobileDatafileType, {"nvm"}, make});
    }

    // A datafile file of the fields (identifier and name alike) and records, each record's
    // identifier its text.
    QString makeDatafile(const QString& name, const QStringList& fields, const QList<Record>& records,
                         PlistDictionary settings = PlistDictionary())
    {
        PlistArray definitions;
        for (const QString& field : fields)
            definitions.append(PlistDictionary{{"Identifier", field}, {"Name", field}});
        settings.insert("Fields", definitions);
        PlistDictionary stored;
        for (const Record& record : records) {
            PlistDictionary values;
            for (qsizetype i = 0; i < record.values.size(); ++i)
                values.insert(fields.at(i), record.values.at(i));
            stored.insert(record.text, PlistDictionary{{"Identifier", record.text},
                                                       {"TextString", record.text},
                                                       {"Fields", values}});
        }
        const QString path = m_dir.filePath(name);
        EXPECT_FALSE(DatafileDocument::writeDatafileToPath(
            path, {settings, stored, DatafileFormat::catalogForRecords(stored)}));
        return path;
    }

    // Opened as the user opens it.
    EditorWindowController* openFile(const QString& path)
    {
        Document* document =
            DocumentController::shared().openDocumentWithContentsOfURL(QUrl::fromLocalFile(path), true);
        EXPECT_TRUE(document);
        if (!document)
            return nullptr;
        auto* editor = static_cast<EditorWindowController*>(document->windowControllers().front().get());
        editor->engine().setCanSaveChanges(true);
        return editor;
    }

    static EditorWindowController* editorFor(const QString& path)
    {
        Document* document = DocumentController::shared().documentForURL(QUrl::fromLocalFile(path));
        return document ? static_cast<EditorWindowController*>(document->windowControllers().front().get())
                        : nullptr;
    }

    // The texts of the records in the datafile's order.
    static QStringList order(EditorWindowController* editor)
    {
        QStringList texts;
        for (qint64 i = 0; i < editor->engine().catalog()->count(); ++i)
            texts.append(editor->engine().recordAtCatalogIndex(i)->textString());
        return texts;
    }

    // Merge Datafiles in the mode, with the file chosen in the panel.
    void merge(EditorWindowController* editor, const QString& path, int mode)
    {
        m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
        editor->performAction("mergeDatafiles:");
        auto* sheet = VKSheetController::topmostController<CombineFilesSheetController>();
        ASSERT_TRUE(sheet);
        sheet->setCombiningMode(mode);
        sheet->okay();
    }

    static PlistDictionary readFile(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const PlistReadResult read = readPropertyList(file.readAll());
        return read.ok() && read.value.asDictionary() ? *read.value.asDictionary() : PlistDictionary();
    }

    static QByteArray bytesOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The records of a written datafile in its catalog order.
    static QList<PlistDictionary> recordsOf(const PlistDictionary& datafile)
    {
        QList<PlistDictionary> records;
        const PlistDictionary stored = *datafile.value("Records").asDictionary();
        const PlistValue catalog = datafile.value("Catalog");
        for (const PlistValue& entry : *catalog.asArray())
            records.append(*stored.value(entry.asDictionary()->stringForKey("Identifier")).asDictionary());
        return records;
    }

    static bool hasRichText(const PlistDictionary& record)
    {
        const PlistValue* rtfd = record.find("TextRTFD");
        return rtfd && rtfd->asData() && !rtfd->asData()->isEmpty();
    }

    static QStringList textsOf(const PlistDictionary& datafile)
    {
        QStringList texts;
        for (const PlistDictionary& record : recordsOf(datafile))
            texts.append(record.stringForKey("TextString"));
        return texts;
    }
};

} // namespace

// Merging

TEST_F(EditorDatafileControllerTest, Merge_FieldsByPosition_NotByName)
{
    EditorWindowController* editor =
        openFile(makeDatafile("people.nv3", {"name", "town"}, {{"Ann", {"Ann", "Oslo"}}}));
    const QString other = makeDatafile("other.nv3", {"x", "y"}, {{"Bob", {"Bob", "Rome"}}});
    editor->document()->updateChangeCount(Document::ChangeType::Cleared);

    merge(editor, other, CombineFilesSheetController::Append);
    ASSERT_EQ(m_presenter.openPanels().size(), 1);
    EXPECT_EQ(m_presenter.openPanels().front().request.message, "Select a Datafile to Merge");
    EXPECT_EQ(m_presenter.openPanels().front().request.fileTypes, QStringList({"nv3"}));
    EXPECT_EQ(order(editor), QStringList({"Ann", "Bob"}));
    const std::shared_ptr<RecordData> merged = editor->engine().recordAtCatalogIndex(1);
    EXPECT_EQ(merged->fields().stringForKey("name"), "Bob");
    EXPECT_EQ(merged->fields().stringForKey("town"), "Rome");
    EXPECT_FALSE(merged->fields().contains("x"));
    EXPECT_NE(merged->identifier(), "Bob"); // a record of its own
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Added 1 new record(s).");
    EXPECT_TRUE(m_presenter.lastAlert().request.informativeText.isEmpty());
    EXPECT_TRUE(editor->document()->isDocumentEdited());
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 0);
}

TEST_F(EditorDatafileControllerTest, Merge_NewRecordsOnTop_InTheFilesOrder)
{
    EditorWindowController* editor =
        openFile(makeDatafile("people.nv3", {"name"}, {{"1", {"1"}}, {"2", {"2"}}}));
    const QString other =
        makeDatafile("other.nv3", {"name"}, {{"A", {"A"}}, {"B", {"B"}}, {"C", {"C"}}});
    merge(editor, other, CombineFilesSheetController::NewRecordsOnTop);
    EXPECT_EQ(order(editor), QStringList({"A", "B", "C", "1", "2"}));
    EXPECT_EQ(editor->engine().catalog()->countSelected(), 5);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Added 3 new record(s).");
}

TEST_F(EditorDatafileControllerTest, Merge_RemovingDuplicates_CountsTheMergedRecordsThatStay)
{
    struct Case {
        const char* name;
        QList<Record> here;
        QList<Record> incoming;
        QString title;
        QString message;
        bool edited;
        QStringList left;
    };
    const QString none = "Either there were no unique records,or there was \na problem with the "
                         "format of the incoming datafile.";
    const Case cases[] = {
        {"every incoming record a duplicate", {{"A", {"a"}}, {"B", {"b"}}}, {{"A", {"a"}}, {"B", {"b"}}},
         "No new records were added.", none, false, {"A", "B"}},
        {"duplicates that were here go too",
         {{"X", {"x"}}, {"X", {"x"}}, {"Y", {"y"}}, {"Y", {"y"}}},
         {{"A", {"a"}}, {"B", {"b"}}},
         "Added 2 new record(s).", "", true, {"A", "B", "X", "Y"}},
    };
    int n = 0;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        m_presenter.clear();
        // Records of one text stand under one identifier in a file: the copies get their own.
        QList<Record> here = test.here;
        const QString path = makeDatafile(QString("here%1.nv3").arg(n), {"f"}, {});
        EditorWindowController* editor = openFile(path);
        for (const Record& record : here) {
            const std::shared_ptr<RecordData> made = RecordData::record();
            made->setTextString(record.text, RecordDataTesting::key());
            made->setFields(PlistDictionary{{"f", record.values.front()}}, RecordDataTesting::key());
            editor->datafileDocument()->datafileRecords()->setRecord(made, made->identifier());
            editor->engine().catalog()->insertIdentifierAtEnd(made->identifier());
        }
        editor->engine().catalog()->rebuildSelectedIdentifiers();
        editor->document()->updateChangeCount(Document::ChangeType::Cleared);

        merge(editor, makeDatafile(QString("in%1.nv3").arg(n++), {"f"}, test.incoming),
              CombineFilesSheetController::AppendThenRemoveDuplicates);
        EXPECT_EQ(m_presenter.lastAlert().request.messageText, test.title);
        EXPECT_EQ(m_presenter.lastAlert().request.informativeText, test.message);
        EXPECT_EQ(editor->document()->isDocumentEdited(), test.edited);
        EXPECT_EQ(order(editor), test.left);
    }
}

TEST_F(EditorDatafileControllerTest, Merge_AnotherNumberOfFields_IsRefusedWithoutChange)
{
    EditorWindowController* editor =
        openFile(makeDatafile("people.nv3", {"name", "town"}, {{"Ann", {"Ann", "Oslo"}}}));
    editor->document()->updateChangeCount(Document::ChangeType::Cleared);
    merge(editor, makeDatafile("other.nv3", {"name"}, {{"Bob", {"Bob"}}}),
          CombineFilesSheetController::Append);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Cannot merge \"other.nv3\"");
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "The number of fields (1) does not match\nthe number of fields in this datafile (2).");
    EXPECT_EQ(m_presenter.lastAlert().request.buttons, QStringList({"OK"}));
    EXPECT_EQ(order(editor), QStringList({"Ann"}));
    EXPECT_FALSE(editor->document()->isDocumentEdited());
}

TEST_F(EditorDatafileControllerTest, Merge_MalformedFiles_CountAsNoFieldsAndNoRecords)
{
    // Without fields here, an unreadable file adds nothing; with fields it has too few.
    EditorWindowController* plain = openFile(makeDatafile("plain.nv3", {}, {{"Ann", {}}}));
    EditorWindowController* fielded = openFile(makeDatafile("fielded.nv3", {"f"}, {{"Ann", {"a"}}}));
    QFile garbage(m_dir.filePath("garbage.nv3"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("not a property list");
    garbage.close();
    const QString recordsArray = m_dir.filePath("array.nv3");
    QFile array(recordsArray);
    ASSERT_TRUE(array.open(QIODevice::WriteOnly));
    array.write(propertyListBytes(
        PlistDictionary{{"Settings", PlistDictionary{{"Fields", PlistArray{PlistDictionary{{"Identifier", "f"}}}}}},
                        {"Records", PlistArray{1, 2}},
                        {"Catalog", PlistArray{PlistDictionary(), 3}}},
        PlistFormat::Xml));
    array.close();

    for (const QString& path : {garbage.fileName(), m_dir.filePath("missing.nv3")}) {
        merge(plain, path, CombineFilesSheetController::AppendThenRemoveDuplicates);
        EXPECT_EQ(m_presenter.lastAlert().request.messageText, "No new records were added.");
        merge(fielded, path, CombineFilesSheetController::Append);
        EXPECT_EQ(m_presenter.lastAlert().request.messageText, "Cannot merge \"" + QFileInfo(path).fileName() + "\"");
    }
    merge(fielded, recordsArray, CombineFilesSheetController::Append);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "No new records were added.");
    EXPECT_EQ(order(plain), QStringList({"Ann"}));
    EXPECT_EQ(order(fielded), QStringList({"Ann"}));
}

TEST_F(EditorDatafileControllerTest, Merge_IntoAMobileDatafile_TakesThePlainTextOnly)
{
    EditorWindowController* editor = openFile(makeDatafile("phone.nvm", {"f"}, {{"Ann", {"a"}}}));
    const QString other = m_dir.filePath("rich.nvm");
    const PlistDictionary records{{"r", PlistDictionary{{"TextString", "plain"},
                                                        {"TextRTFD", QByteArray("rich")}}}};
    ASSERT_FALSE(DatafileDocument::writeDatafileToPath(
        other, {PlistDictionary{{"Fields", PlistArray{PlistDictionary{{"Identifier", "f"}}}}}, records,
                DatafileFormat::catalogForRecords(records)}));
    merge(editor, other, CombineFilesSheetController::Append);
    EXPECT_EQ(m_presenter.openPanels().back().request.fileTypes, QStringList({"nvm"}));
    const std::shared_ptr<RecordData> merged = editor->engine().recordAtCatalogIndex(1);
    EXPECT_EQ(merged->textString(), "plain");
    EXPECT_TRUE(merged->textRTFD().isEmpty());
}

TEST_F(EditorDatafileControllerTest, Merge_CancelledSheetOrPanel_DoesNothing)
{
    EditorWindowController* editor = openFile(makeDatafile("people.nv3", {"f"}, {{"Ann", {"a"}}}));
    editor->performAction("mergeDatafiles:");
    VKSheetController::topmostController<CombineFilesSheetController>()->cancel();
    EXPECT_TRUE(m_presenter.openPanels().isEmpty());
    editor->performAction("mergeDatafiles:");
    VKSheetController::topmostController<CombineFilesSheetController>()->okay();
    EXPECT_EQ(m_presenter.openPanels().size(), 1);
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    EXPECT_EQ(order(editor), QStringList({"Ann"}));
}

// Saving as the other kind

TEST_F(EditorDatafileControllerTest, SaveAsMobile_EveryRecordAfresh_SettingsKept_SourceCloses)
{
    const QString path = makeDatafile("People.nv3", {"name"}, {{"1", {"Ann"}}, {"2", {"Bob"}}, {"3", {"Cy"}}},
                                      PlistDictionary{{"SyncID", "SYNC"},
                                                      {"Munge", "secret"},
                                                      {"AddressBlockLayout", QByteArray("layout")},
                                                      {"DataVersion", 1}});
    EditorWindowController* editor = openFile(path);
    CurrentRecordEngine& engine = editor->engine();
    engine.loadRecordAtIndex(2); // the record on screen is committed before the save
    engine.recordAtCatalogIndex(0)->setTextString("a\r\nb\rc", RecordDataTesting::key());
    // Empty plain text with rich text: the rich text's string.
    QTextDocument rich;
    rich.setPlainText("from rich");
    engine.recordAtCatalogIndex(1)->setTextString("", RecordDataTesting::key());
    engine.recordAtCatalogIndex(1)->setTextRTFD(RichText::toRtfd(rich), RecordDataTesting::key());
    engine.catalog()->omitIdentifier("3", true);
    editor->document()->updateChangeCount(Document::ChangeType::Cleared);
    const QString target = m_dir.filePath("People.nvm");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(target));

    editor->performAction("saveAsOtherFormatDatafile:");
    ASSERT_EQ(m_presenter.savePanels().size(), 1);
    const SavePanelRequest& panel = m_presenter.savePanels().front().request;
    EXPECT_EQ(panel.title, "Save as Norva Mobile Datafile...");
    EXPECT_EQ(panel.nameFieldValue, "People.nvm");
    EXPECT_EQ(panel.allowedFileTypes, QStringList({"nvm"}));

    const PlistDictionary written = readFile(target);
    EXPECT_EQ(textsOf(written), QStringList({"a\nb\nc", "from rich", "3"}));
    for (const PlistDictionary& record : recordsOf(written)) {
        EXPECT_FALSE(hasRichText(record));
        EXPECT_FALSE(QStringList({"1", "2", "3"}).contains(record.stringForKey("Identifier")));
    }
    EXPECT_EQ(recordsOf(written).front().value("Fields").asDictionary()->stringForKey("name"), "Ann");
    const PlistDictionary settings = *written.value("Settings").asDictionary();
    EXPECT_EQ(settings.stringForKey("SyncID"), "");
    EXPECT_EQ(settings.value("DataVersion"), PlistValue(2));
    EXPECT_EQ(settings.stringForKey("Munge"), "secret");
    EXPECT_EQ(*settings.value("AddressBlockLayout").asData(), QByteArray("layout"));

    // The new datafile is open as a mobile one; the source has closed.
    EditorWindowController* opened = editorFor(target);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(opened->isMobile());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(DocumentController::shared().documentForURL(QUrl::fromLocalFile(path)));
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

TEST_F(EditorDatafileControllerTest, SaveAsDesktop_PlainTextOnly_AndAnEditedSourceAsksBeforeClosing)
{
    const QString path = makeDatafile("Phone.nvm", {"name"}, {{"1", {"Ann"}}, {"2", {"Bob"}}});
    EditorWindowController* editor = openFile(path);
    editor->engine().loadRecordAtIndex(1);
    editor->engine().recordAtCatalogIndex(0)->setTextString("line\r\nnext", RecordDataTesting::key());
    editor->engine().setDatafileChanged();
    const QString target = m_dir.filePath("Phone.nv3");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(target));
    m_presenter.answerAlertWithButton("Don’t Save");

    editor->performAction("saveAsOtherFormatDatafile:");
    EXPECT_EQ(m_presenter.savePanels().front().request.title, "Save as Norva Pro Datafile...");
    EXPECT_EQ(m_presenter.savePanels().front().request.nameFieldValue, "Phone.nv3");
    const PlistDictionary written = readFile(target);
    EXPECT_EQ(textsOf(written), QStringList({"line\r\nnext", "2"}));
    EXPECT_EQ(written.value("Settings").asDictionary()->value("DataVersion"), PlistValue(1));
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "Do you want to save the changes made to the document “Phone.nvm”?");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(DocumentController::shared().documentForURL(QUrl::fromLocalFile(path)));
    EXPECT_TRUE(editorFor(target));
}

TEST_F(EditorDatafileControllerTest, TooLargeMobileDatafile_AboveFourHundredMegabytes_IsReported)
{
    const std::pair<qint64, std::optional<QString>> cases[] = {
        {419'430'400, std::nullopt},
        {419'430'401, QString("400.0")},
        {qint64(412.39 * 1'048'576), QString("412.3")}};
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(EditorDatafileController::tooLargeSizeText(bytes), text) << bytes;

    EditorWindowController* editor = openFile(makeDatafile("People.nv3", {}, {{"1", {}}}));
    editor->datafileController().reportFileTooLarge("400.0");
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "This Norva Mobile datafile is 400.0 MB.");
    EXPECT_TRUE(m_presenter.lastAlert().request.informativeText.startsWith(
        "Please note that datafiles larger than 400 MB may be sluggish or unstable on the iPhone."));
}

// Saving the selected records

TEST_F(EditorDatafileControllerTest, SaveSelected_DefaultSettingsWithTheFields_OnlyTheSelected)
{
    const QString path = makeDatafile("People.nv3", {"name"}, {{"1", {"Ann"}}, {"2", {"Bob"}}, {"3", {"Cy"}}},
                                      PlistDictionary{{"Munge", "secret"}, {"SyncID", "SYNC"}});
    EditorWindowController* editor = openFile(path);
    editor->engine().catalog()->omitIdentifier("2", true);
    QTextDocument rich;
    rich.setPlainText("1");
    editor->engine().recordAtCatalogIndex(0)->setTextRTFD(RichText::toRtfd(rich), RecordDataTesting::key());
    const QString target = m_dir.filePath("People-Selected.nv3");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(target));

    EXPECT_TRUE(editor->datafileController().performSaveSelectedAs());
    const SavePanelRequest& panel = m_presenter.savePanels().front().request;
    EXPECT_EQ(panel.title, "Save Selected Records to New File");
    EXPECT_EQ(panel.nameFieldValue, "People-Selected");
    EXPECT_EQ(panel.allowedFileTypes, QStringList({"nv3"}));
    const PlistDictionary written = readFile(target);
    EXPECT_EQ(textsOf(written), QStringList({"1", "3"}));
    EXPECT_TRUE(hasRichText(recordsOf(written).front()));
    const PlistDictionary settings = *written.value("Settings").asDictionary();
    EXPECT_FALSE(settings.contains("Munge"));
    EXPECT_EQ(settings.stringForKey("SyncID"), "");
    EXPECT_EQ(settings.value("Fields").asArray()->size(), 1);
    // Both stay open.
    EXPECT_TRUE(editorFor(target));
    EXPECT_TRUE(editorFor(path));
    EXPECT_EQ(editor->engine().catalog()->count(), 3);
}

TEST_F(EditorDatafileControllerTest, SaveSelected_FromAMobileDatafile_NoRichText)
{
    EditorWindowController* editor = openFile(makeDatafile("Phone.nvm", {"name"}, {{"1", {"Ann"}}}));
    editor->engine().recordAtCatalogIndex(0)->setTextRTFD(QByteArray("stale"), RecordDataTesting::key());
    const QString target = m_dir.filePath("Phone-Selected.nv3");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(target));
    EXPECT_TRUE(editor->datafileController().performSaveSelectedAs());
    EXPECT_EQ(m_presenter.savePanels().front().request.nameFieldValue, "Phone-Selected");
    for (const PlistDictionary& record : recordsOf(readFile(target)))
        EXPECT_FALSE(hasRichText(record));
    EXPECT_FALSE(editorFor(target)->isMobile());
}

TEST_F(EditorDatafileControllerTest, FailingWrite_IsTold_SourceUntouched_SplitDeletesNothing)
{
    const QString path = makeDatafile("People.nv3", {"name"}, {{"1", {"Ann"}}, {"2", {"Bob"}}});
    EditorWindowController* editor = openFile(path);
    const QByteArray before = bytesOf(path);
    const QString target = m_dir.filePath("Half.nv3");
    SafeFileWriter::setFailAfterBytesForTesting(10);

    m_presenter.answerSavePanel(QUrl::fromLocalFile(target));
    EXPECT_FALSE(editor->datafileController().performSaveSelectedAs());
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "The document “Half.nv3” could not be saved.");
    EXPECT_FALSE(m_presenter.lastAlert().request.informativeText.isEmpty());

    m_presenter.clear();
    m_presenter.answerAlertWithButton("Split in half");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(target));
    editor->performAction("splitDatafile:");
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "The document “Half.nv3” could not be saved.");
    EXPECT_EQ(order(editor), QStringList({"1", "2"}));
    EXPECT_EQ(editor->engine().catalog()->countSelected(), 2);
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(bytesOf(path), before);

    m_presenter.clear();
    m_presenter.answerSavePanel(QUrl::fromLocalFile(m_dir.filePath("Other.nvm")));
    editor->performAction("saveAsOtherFormatDatafile:");
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "The document “Other.nvm” could not be saved.");
    EXPECT_TRUE(editorFor(path));
}

TEST_F(EditorDatafileControllerTest, SaveSelected_OverAnOpenDatafile_IsRefused)
{
    const QString path = makeDatafile("People.nv3", {"name"}, {{"1", {"Ann"}}, {"2", {"Bob"}}});
    EditorWindowController* editor = openFile(path);
    const QByteArray before = bytesOf(path);
    editor->engine().catalog()->omitIdentifier("2", true);
    m_presenter.answerSavePanel(QUrl::fromLocalFile(path));
    editor->performAction("splitDatafile:");
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "The document “People.nv3” could not be saved.");
    EXPECT_EQ(bytesOf(path), before);
    EXPECT_EQ(order(editor), QStringList({"1", "2"}));
}

// Splitting

TEST_F(EditorDatafileControllerTest, Split_AllSelected_TheSecondHalfMoves_SourceSavedAtOnce)
{
    const QString path = makeDatafile(
        "Five.nv3", {"name"}, {{"1", {"a"}}, {"2", {"b"}}, {"3", {"c"}}, {"4", {"d"}}, {"5", {"e"}}});
    EditorWindowController* editor = openFile(path);
    const QString target = m_dir.filePath("Moved.nv3");
    m_presenter.answerAlertWithButton("Split in half");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(target));

    editor->performAction("splitDatafile:");
    const ScriptedPresenter::ShownAlert& asked = m_presenter.alerts().front();
    EXPECT_EQ(asked.request.messageText, "All records are selected.");
    EXPECT_EQ(asked.request.informativeText, "Do you wish to split the datafile in half?");
    EXPECT_EQ(asked.request.buttons, QStringList({"Split in half", "Cancel"}));
    EXPECT_EQ(textsOf(readFile(target)), QStringList({"3", "4", "5"}));
    EXPECT_EQ(order(editor), QStringList({"1", "2"}));
    EXPECT_EQ(editor->engine().catalog()->countSelected(), 2);
    EXPECT_EQ(textsOf(readFile(path)), QStringList({"1", "2"}));
    EXPECT_FALSE(editor->document()->isDocumentEdited());
    EXPECT_EQ(editor->engine().currentRecord()->textString(), "1");
}

TEST_F(EditorDatafileControllerTest, Split_ASubsetMoves_TombstonedWithASyncID_CancelSelectsAll)
{
    const QString path = makeDatafile("Four.nv3", {"name"},
                                      {{"1", {"a"}}, {"2", {"b"}}, {"3", {"c"}}, {"4", {"d"}}},
                                      PlistDictionary{{"SyncID", "SYNC"}});
    EditorWindowController* editor = openFile(path);
    const std::shared_ptr<SubsetSortedData> catalog = editor->engine().catalog();
    catalog->omitIdentifier("1", false);
    catalog->omitIdentifier("3", true);

    m_presenter.answerSavePanel(std::nullopt);
    editor->performAction("splitDatafile:");
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    EXPECT_EQ(catalog->countSelected(), 4);
    EXPECT_EQ(order(editor), QStringList({"1", "2", "3", "4"}));

    catalog->omitIdentifier("1", false);
    catalog->omitIdentifier("3", true);
    const QString target = m_dir.filePath("Moved.nv3");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(target));
    editor->performAction("splitDatafile:");
    EXPECT_EQ(textsOf(readFile(target)), QStringList({"2", "4"}));
    EXPECT_EQ(order(editor), QStringList({"1", "3"}));
    const PlistDictionary saved = *readFile(path).value("Settings").asDictionary();
    EXPECT_EQ(saved.value("DeletedRecords"), PlistValue(PlistArray{"4", "2"}));
}

TEST_F(EditorDatafileControllerTest, Split_TheNewDatafileOpensAsItsFileReadsAndIsWrittenAsBefore)
{
    Clock::setNowForTesting([] { return PlistDate{800000000.75}; });
    const QString path = makeDatafile("Six.nv3", {"name", "town"},
                                      {{"1", {"Ann", "Oslo"}}, {"2", {"Bob", "Rome"}}, {"3", {"Cy", ""}},
                                       {"4", {"Dee", "Lima\r"}}, {"5", {"Eve", "Kiev"}}, {"6", {"Fay"}}});
    EditorWindowController* editor = openFile(path);
    QTextDocument rich;
    rich.setPlainText("4");
    editor->engine().recordAtCatalogIndex(3)->setTextRTFD(RichText::toRtfd(rich), RecordDataTesting::key());
    const QString target = m_dir.filePath("Moved.nv3");
    m_presenter.answerAlertWithButton("Split in half");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(target));
    editor->performAction("splitDatafile:");

    // The file holds, byte for byte, its records written as dictionaries.
    DatafileDocument read;
    ASSERT_TRUE(read.readFromURL(QUrl::fromLocalFile(target), DatafileDocument::ProDatafileType));
    PlistDictionary records;
    for (const QString& identifier : read.datafileCatalog()->selectedIdentifiers())
        records.insert(identifier, read.datafileRecords()->recordForIdentifier(identifier)->dictionary());
    const QString again = m_dir.filePath("Again.nv3");
    ASSERT_FALSE(DatafileDocument::writeDatafileToPath(
        again, {read.datafileSettings()->dictionary(), records, DatafileFormat::catalogForRecords(records)}));
    EXPECT_EQ(bytesOf(again), bytesOf(target));
    EXPECT_EQ(records.size(), 3);
    EXPECT_TRUE(hasRichText(recordsOf(readFile(target)).at(0)));
    EXPECT_EQ(textsOf(readFile(path)), QStringList({"1", "2", "3"}));

    // What opened is what opening the file gives.
    EditorWindowController* moved = editorFor(target);
    ASSERT_TRUE(moved);
    DatafileDocument* reopened = open(target);
    const DatafileDocument* opened = moved->datafileDocument();
    EXPECT_EQ(PlistValue(opened->datafileSettings()->dictionary()),
              PlistValue(reopened->datafileSettings()->dictionary()));
    EXPECT_EQ(PlistValue(opened->datafileRecords()->dictionary()),
              PlistValue(reopened->datafileRecords()->dictionary()));
    EXPECT_EQ(opened->datafileCatalog()->selectedIdentifiers(),
              reopened->datafileCatalog()->selectedIdentifiers());
    Clock::setNowForTesting(nullptr);

    // The moved records are the new datafile's alone: editing one there leaves the source be.
    const std::shared_ptr<RecordData> first = opened->datafileRecords()->recordForIdentifier(
        opened->datafileCatalog()->selectedIdentifiers().front());
    moved->datafileDocument()->changes().writeField(first, "name", "Changed", DatafileChanges::Kind::Edit);
    for (qint64 i = 0; i < editor->engine().catalog()->count(); ++i)
        EXPECT_NE(editor->engine().recordAtCatalogIndex(i)->fields().stringForKey("name"), "Changed");
}

TEST_F(EditorDatafileControllerTest, Split_TheOnlyRecord_LeavesAnEmptyEditorThatTakesANewRecord)
{
    const QString path = makeDatafile("One.nv3", {"name"}, {{"only", {"a"}}});
    EditorWindowController* editor = openFile(path);
    m_presenter.answerAlertWithButton("Split in half");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(m_dir.filePath("Moved.nv3")));
    editor->performAction("splitDatafile:");
    EXPECT_EQ(textsOf(readFile(m_dir.filePath("Moved.nv3"))), QStringList({"only"}));
    EXPECT_EQ(editor->engine().catalog()->count(), 0);
    EXPECT_FALSE(editor->engine().currentRecord());
    EXPECT_TRUE(editor->freeformTextView()->toPlainText().isEmpty());
    EXPECT_TRUE(textsOf(readFile(path)).isEmpty());

    editor->recordsController().addRecord();
    EXPECT_EQ(editor->engine().catalog()->count(), 1);
    EXPECT_TRUE(editor->engine().currentRecord());
}

// The clone window and the file

TEST_F(EditorDatafileControllerTest, Clone_ReadOnlyTintedOffset_OnTheSameRecord_TitledOnce)
{
    const QString path = makeDatafile("People.nv3", {"name"}, {{"1", {"a"}}, {"2", {"b"}}, {"3", {"c"}}});
    EditorWindowController* editor = openFile(path);
    editor->engine().loadRecordAtIndex(1);
    editor->window()->move(100, 100);

    editor->performAction("openCloneWindow:");
    ASSERT_EQ(editor->document()->windowControllers().size(), 2);
    auto* clone = static_cast<EditorWindowController*>(editor->document()->windowControllers().back().get());
    EXPECT_TRUE(clone->engine().isClone());
    EXPECT_EQ(clone->window()->windowTitle(), "People.nv3-CLONE[*]");
    clone->synchronizeWindowTitleWithDocumentName();
    EXPECT_EQ(clone->window()->windowTitle(), "People.nv3-CLONE[*]");
    EXPECT_EQ(editor->window()->windowTitle(), "People.nv3[*]");
    EXPECT_TRUE(clone->freeformTextView()->isReadOnly());
    EXPECT_FALSE(editor->freeformTextView()->isReadOnly());
    EXPECT_EQ(clone->editorSearchController().searchField()->palette().color(QPalette::Base),
              QColor::fromRgbF(0.8f, 0.9f, 1.0f));
    EXPECT_EQ(clone->window()->pos(), editor->window()->pos() + QPoint(20, 20));
    EXPECT_EQ(clone->engine().currentRecord(), editor->engine().currentRecord());
    EXPECT_TRUE(clone->window()->isVisible());
    // One clone at a time, and none from a clone.
    EXPECT_FALSE(editor->validateAction("openCloneWindow:"));
    EXPECT_FALSE(clone->validateAction("splitDatafile:"));
}

TEST_F(EditorDatafileControllerTest, Reveal_HandsTheFilesPathToTheFileManager)
{
    const QString path = makeDatafile("People.nv3", {}, {{"1", {}}});
    EditorWindowController* editor = openFile(path);
    editor->performAction("revealInFinder:");
    EXPECT_EQ(m_presenter.revealedPaths(), QStringList({path}));
}
