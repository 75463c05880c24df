// File ▸ New Datafile, the import sink and File ▸ Import, through the program as main()
// assembles it.
#include "JourneyTestBase.h"

#include "EditorTableController.h"
#include "NewDatafileSheetController.h"
#include "RXTableView.h"

#include <QHeaderView>
#include <QSplitter>

namespace {

class NewDocumentsJourneyTest : public JourneyTestBase {
protected:
    MainController& controller() const { return m_assembly->mainController(); }

    static int topHeight(EditorWindowController* editor)
    {
        return editor->splitterView()->sizes().value(0);
    }

    static int threeListRows(EditorWindowController* editor)
    {
        return 3 *
               editor->tableController()->listTableView()->verticalHeader()->defaultSectionSize();
    }

    // The top pane's height in a datafile's window nobody changed.
    int untouchedTopHeight()
    {
        Document* plain = DocumentController::shared().openUntitledDocumentOfType(
            DatafileDocument::ProDatafileType, true);
        auto* editor =
            static_cast<EditorWindowController*>(plain->windowControllers().front().get());
        const int height = topHeight(editor);
        plain->close();
        return height;
    }

    static EditorWindowController* newestEditor()
    {
        const std::vector<Document*>& documents = DocumentController::shared().documents();
        if (documents.empty())
            return nullptr;
        return static_cast<EditorWindowController*>(
            documents.back()->windowControllers().front().get());
    }

    static QStringList fieldNames(EditorWindowController* editor)
    {
        QStringList names;
        for (const PlistValue& field : editor->settings()->fields())
            names.append(*field.asDictionary()->value("Name").asString());
        return names;
    }
};

} // namespace

TEST_F(NewDocumentsJourneyTest, NewDatafile_MakesTheKindChosenWithOneRecordAndAsksWhereToSave)
{
    const int untouched = untouchedTopHeight();
    struct Case {
        const char* name;
        int returnCode;
        bool mobile;
        QStringList fields;
    };
    const Case cases[] = {
        {"cancelled", 0, false, {"Name"}},
        {"mobile with two fields", 1, true, {"Name", "Phone"}},
        {"no fields", 1, false, {}},
    };
    for (const Case& c : cases) {
        controller().setNewDatafileSheetFactory([&c](MainController::NewDatafileDidEnd didEnd) {
            didEnd(c.returnCode, DatafileDocument::arrayForFieldNames(c.fields), c.mobile);
        });
        m_presenter.clear();
        m_presenter.answerSavePanel(std::nullopt);
        activate(&m_assembly->startWindow());

        QTest::keyClick(&m_assembly->startWindow(), Qt::Key_N, Qt::ControlModifier);

        if (c.returnCode != 1) {
            EXPECT_TRUE(DocumentController::shared().documents().empty()) << c.name;
            EXPECT_TRUE(m_presenter.savePanels().isEmpty()) << c.name;
            continue;
        }
        ASSERT_EQ(DocumentController::shared().documents().size(), 1u) << c.name;
        EditorWindowController* editor = newestEditor();
        EXPECT_EQ(editor->document()->fileType(), c.mobile ? DatafileDocument::MobileDatafileType
                                                           : DatafileDocument::ProDatafileType)
            << c.name;
        EXPECT_EQ(fieldNames(editor), c.fields) << c.name;
        EXPECT_EQ(editor->engine().catalog()->count(), 1) << c.name;
        ASSERT_TRUE(editor->engine().currentRecord()) << c.name;
        EXPECT_EQ(m_presenter.savePanels().size(), 1) << c.name;
        EXPECT_TRUE(editor->document()->fileURL().isEmpty()) << c.name;
        if (c.fields.isEmpty()) {
            EXPECT_EQ(topHeight(editor), untouched) << c.name;
        } else {
            EXPECT_EQ(topHeight(editor), untouched + threeListRows(editor)) << c.name;
            // The first field was edited until the save ended editing for its panel.
            EXPECT_EQ(editor->currentField(), 0u) << c.name;
            const QModelIndex cell = editor->tableController()->currentTableView()->currentIndex();
            EXPECT_EQ(cell.row(), 0) << c.name;
            EXPECT_EQ(cell.column(), 0) << c.name;
        }
        editor->document()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(NewDocumentsJourneyTest, NewDatafile_TheRealSheetsOkayMakesADesktopDatafile)
{
    m_presenter.answerSavePanel(std::nullopt);
    ASSERT_TRUE(chooseMenuItem(&m_assembly->startWindow(), "newDatafile:"));
    auto* sheet = VKSheetController::topmostController<NewDatafileSheetController>();
    ASSERT_TRUE(sheet);
    sheet->okay();
    ASSERT_EQ(DocumentController::shared().documents().size(), 1u);
    EXPECT_EQ(newestEditor()->document()->fileType(), DatafileDocument::ProDatafileType);
    EXPECT_EQ(m_presenter.savePanels().size(), 1);
}

TEST_F(NewDocumentsJourneyTest, ImportSink_MakesAnUntitledEditedDatafileForTheImporter)
{
    const int untouched = untouchedTopHeight();
    struct Case {
        const char* name;
        std::optional<QStringList> fields;
        std::optional<QString> textName;
    };
    const Case cases[] = {
        {"no names", std::nullopt, std::nullopt},
        {"names and a text name", QStringList{"From", "Subject"}, QStringLiteral("Body")},
    };
    for (const Case& c : cases) {
        m_presenter.clear();
        EditorWindowController* editor =
            controller().createNewImportedDatafile(c.fields, c.textName, "Imported Mail");
        ASSERT_TRUE(editor) << c.name;
        EXPECT_EQ(EditorWindowController::mainEditor(), editor) << c.name;
        EXPECT_EQ(fieldNames(editor), c.fields.value_or(QStringList())) << c.name;
        EXPECT_EQ(editor->settings()->textName(),
                  c.textName.value_or(QStringLiteral("Freeform Text Area")))
            << c.name;
        EXPECT_EQ(editor->engine().catalog()->count(), 1) << c.name;
        EXPECT_EQ(editor->datafileDocument()->defaultDraftName(), "Imported Mail") << c.name;
        EXPECT_EQ(editor->document()->fileType(), DatafileDocument::ProDatafileType) << c.name;
        EXPECT_TRUE(editor->document()->isDocumentEdited()) << c.name;
        EXPECT_TRUE(editor->document()->fileURL().isEmpty()) << c.name;
        EXPECT_FALSE(editor->datafileDocument()->openedReadOnly()) << c.name;
        EXPECT_TRUE(m_presenter.savePanels().isEmpty()) << c.name;
        EXPECT_EQ(topHeight(editor), untouched + threeListRows(editor)) << c.name;
        editor->document()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(NewDocumentsJourneyTest, ImportMenu_EachItemReachesItsImporterWithItsKind)
{
    QWidget* window = &m_assembly->startWindow();
    // The submenu is validated as the user opens it.
    const auto chooseImport = [&](const char* selector) {
        Q_EMIT controller().menus().importMenu()->aboutToShow();
        return chooseMenuItem(window, selector);
    };
    // Until its importer registers, an item is off; the assembly registers the text ones
    // and the older formats.
    for (const ImportCommand& command : importCommands()) {
        const bool registered =
            command.importer == Importer::CSV || command.importer == Importer::TabDelimited ||
            command.importer == Importer::CustomDelimited ||
            command.importer == Importer::EntourageContacts ||
            command.importer == Importer::TextFiles || command.importer == Importer::Datafile ||
            command.importer == Importer::Bookmarks || command.importer == Importer::Email;
        // A registered one starts, and its panel is cancelled.
        EXPECT_EQ(chooseImport(command.selector), registered) << command.selector;
    }

    QStringList reached;
    for (Importer importer : {Importer::Email, Importer::Bookmarks, Importer::CustomDelimited,
                              Importer::EntourageContacts, Importer::TextFiles,
                              Importer::TabDelimited, Importer::CSV, Importer::Datafile}) {
        controller().registerImporter(
            importer,
            [&reached, this](const QString& call, qint64 kind, MainController& delegate) {
                EXPECT_EQ(&delegate, &controller());
                reached.append(call + ' ' + QString::number(kind));
            },
            importer == Importer::Bookmarks ? 3 : 0);
    }
    for (const ImportCommand& command : importCommands())
        EXPECT_TRUE(chooseImport(command.selector)) << command.selector;

    EXPECT_EQ(reached,
              QStringList({
                  "importEmailFolder:sender: 2",  "importEmailFile:sender: 3",
                  "importEmailFile:sender: 4",    "importEmailFile:sender: 5",
                  "importEmailFile:sender: 6",    "importEmailFile:sender: 7",
                  "importEmailFile:sender: 8",    "importBookmarksFile:tag: 3",
                  "importCustomDelimitedFile: 0", "importEntourageContactsFile: 0",
                  "importFolderOfTextFiles: 0",   "importFolderOfTextFilesWithFileNames: 0",
                  "importTabDelimitedFile: 0",    "importCSVFile: 0",
                  "importDatafile:sender: 1",     "importDatafile:sender: 2",
                  "importDatafile:sender: 2",     "importDatafile:sender: 3",
                  "importDatafile:sender: 4",
              }));
}
