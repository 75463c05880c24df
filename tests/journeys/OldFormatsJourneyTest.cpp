// File ▸ Import ▸ Norva 2 Datafile…, Norva 1 Datafile…, Kestrowan File…, Marlocan Card
// Deck… and Norva 2 Template…, through the program as main() assembles it, with the
// panels answered from a script and the finish's wait on a clock the test moves.
#include "JourneyTestBase.h"

#include "FakeDialingClock.h"
#include "OldMacFiles.h"
#include "SystemLog.h"

#include <QDir>

using namespace old_mac_files;

namespace {

class OldFormatsJourneyTest : public JourneyTestBase {
protected:
    QString shots() const { return qEnvironmentVariable("NORVA_SHOTS", m_dir.path()); }

    // File ▸ Import ▸ the item in the window in front, the panel answered with the path
    // (none: cancelled).
    void chooseImport(const char* selector, const QString& path = QString())
    {
        if (!path.isEmpty())
            m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
        Q_EMIT m_assembly->mainController().menus().importMenu()->aboutToShow();
        QWidget* front = QApplication::activeWindow();
        ASSERT_TRUE(chooseMenuItem(front ? front : &m_assembly->startWindow(), selector));
    }

    static std::vector<Document*> documents() { return DocumentController::shared().documents(); }

    static EditorWindowController* newestEditor()
    {
        const std::vector<Document*> open = documents();
        return open.empty() ? nullptr
                            : dynamic_cast<EditorWindowController*>(
                                  open.back()->windowControllers().front().get());
    }

    static QStringList fieldNames(EditorWindowController* editor)
    {
        QStringList names;
        for (const PlistValue& field : editor->settings()->fields())
            names.append(field.asDictionary()->stringForKey("Name"));
        return names;
    }

    // Each record in order: its field values that are set, by field name, and its text.
    static QStringList recordsOf(EditorWindowController* editor)
    {
        QStringList shown;
        const PlistArray fields = editor->settings()->fields();
        for (qint64 i = 0; i < editor->engine().catalog()->count(); ++i) {
            const std::shared_ptr<RecordData> record = editor->engine().recordAtCatalogIndex(i);
            QStringList parts;
            for (const PlistValue& field : fields) {
                const PlistDictionary* definition = field.asDictionary();
                if (const PlistValue* value =
                        record->fields().find(definition->stringForKey("Identifier")))
                    parts.append(definition->stringForKey("Name") + "=" + value->stringValue());
            }
            parts.append("text=" + record->textString());
            shown.append(parts.join('|'));
        }
        return shown;
    }

    // A Norva 1 file with its fork in a "._" companion beside it, its count of names
    // the number given, so the last name is none.
    QString writeNorva1(const QString& name, const QByteArray& records,
                        const QList<QByteArray>& names)
    {
        writeFile("._" + name, appleDouble(norva1ResourceFork(quint16(names.size()), names)));
        return writeFile(name, records);
    }

    FakeDialingClock m_clock;
};

} // namespace

TEST_F(OldFormatsJourneyTest, ImportItems_EachShowsItsMessageAndTypes)
{
    struct Case {
        const char* selector;
        const char* message;
        QStringList types;
    };
    const QList<Case> cases{
        {"importNorva2Datafile:", "Select an Norva 2 Datafile to Import", {"norva"}},
        {"importNorvaPro:", "Select a Datafile to Import",
         {"nV", "ID", "NV1", "nV1", "FF", "fields", "KW", "KW2", "KW3", ""}},
        {"importKestrowan:", "Select a Datafile to Import",
         {"nV", "ID", "NV1", "nV1", "FF", "fields", "KW", "KW2", "KW3", ""}},
        {"importMARLOCAN:", "Select a Card Deck to Import", {"ML", "ML2", "mlcn", ""}},
        {"importNorva2Template:", "Select an Norva 2 Template to Import", {"zenv", "zlabel"}},
    };
    for (const Case& test : cases) {
        chooseImport(test.selector);
        ASSERT_FALSE(m_presenter.openPanels().isEmpty());
        const OpenPanelRequest& panel = m_presenter.openPanels().constLast().request;
        EXPECT_EQ(panel.message, test.message) << test.selector;
        EXPECT_EQ(panel.fileTypes, test.types) << test.selector;
        EXPECT_TRUE(panel.canChooseFiles && panel.canChooseDirectories) << test.selector;
        EXPECT_FALSE(panel.allowsMultipleSelection);
        // Linux has no type codes: every file can be chosen too.
        EXPECT_EQ(panel.nameFilters.constLast(), "All Files (*)") << test.selector;
    }
    EXPECT_EQ(m_presenter.openPanels().size(), 5);
    EXPECT_TRUE(documents().empty());
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

TEST_F(OldFormatsJourneyTest, AFolderChosen_EachKindAsItsReaderSees)
{
    QDir(m_dir.path()).mkdir("Chosen");
    const QString folder = m_dir.filePath("Chosen");
    chooseImport("importNorva2Datafile:", folder);
    chooseImport("importNorva2Template:", folder);
    EXPECT_TRUE(m_presenter.savePanels().isEmpty());
    EXPECT_TRUE(m_presenter.alerts().isEmpty());

    chooseImport("importNorvaPro:", folder);
    EXPECT_EQ(m_presenter.alertMessages(), QStringList{"No records were imported."});
    EXPECT_TRUE(documents().empty());

    chooseImport("importMARLOCAN:", folder);
    EXPECT_EQ(m_presenter.alertMessages().size(), 2);
    ASSERT_EQ(documents().size(), 1u);
    EXPECT_EQ(newestEditor()->engine().catalog()->count(), 1);
}

TEST_F(OldFormatsJourneyTest, Norva2Datafile_CopiedUnchangedIntoACurrentFileThatOpens)
{
    const PlistDictionary original{
        {"Settings", PlistDictionary{{"DataFormat", 1}, {"Mode", "Basic"},
                                     {"Fields", PlistArray{PlistDictionary{{"Identifier", "F1"},
                                                                           {"Name", "Name"},
                                                                           {"Width", 1.0},
                                                                           {"Show", true}}}},
                                     {"Picture", QByteArray("\x00\x01\xFF", 3)}}},
        {"Records", PlistDictionary{{"R1", PlistDictionary{{"RecordIdentifier", "R1"},
                                                           {"Fields", PlistDictionary{{"F1", "Ann"}}},
                                                           {"TextString", "kept"},
                                                           {"RecordCreatedDate", PlistDate{1.5e8}}}}}},
        {"Catalog", PlistArray{PlistDictionary{{"Identifier", "R1"},
                                               {"CurrentlySelected", true},
                                               {"PreviouslySelected", true}}}}};
    const QString old = writeFile("Old.NORVA", propertyListBytes(original, PlistFormat::Binary));
    // The first attempt is cancelled in the save panel: nothing is written.
    m_presenter.answerSavePanel(std::nullopt);
    chooseImport("importNorva2Datafile:", old);
    ASSERT_EQ(m_presenter.savePanels().size(), 1);
    const SavePanelRequest& panel = m_presenter.savePanels().constLast().request;
    EXPECT_EQ(panel.nameFieldValue, "Old.nv3");
    EXPECT_EQ(panel.title, "Import Norva 2 Datafile");
    EXPECT_EQ(panel.allowedFileTypes, QStringList{"nv3"});
    EXPECT_EQ(QDir(panel.directory), QDir(m_dir.path()));
    EXPECT_TRUE(documents().empty());

    const QString copy = m_dir.filePath("Old.nv3");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(copy));
    chooseImport("importNorva2Datafile:", old);
    EXPECT_EQ(PlistValue(readDatafile(copy)), PlistValue(original));
    // A whole real stays a real, not an integer.
    const PlistDictionary copied = readDatafile(copy);
    const PlistValue width = copied.find("Settings")
                                 ->asDictionary()
                                 ->find("Fields")
                                 ->asArray()
                                 ->at(0)
                                 .asDictionary()
                                 ->value("Width");
    EXPECT_EQ(width.type(), PlistValue::Type::Real);
    EXPECT_TRUE(contentsOf(copy).contains("<true/>"));
    // It opens, and the Datafiles menu lists it.
    EditorWindowController* opened = newestEditor();
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->document()->fileURL(), QUrl::fromLocalFile(copy));
    EXPECT_EQ(recordsOf(opened), QStringList{"Name=Ann|text=kept"});
    bool listed = false;
    for (QAction* item : m_assembly->mainController().menus().datafilesMenu()->actions())
        listed = listed || item->text().contains("Old");
    EXPECT_TRUE(listed);
    activate(opened->window());
    opened->window()->grab().save(shots() + "/import-norva2.png");
}

TEST_F(OldFormatsJourneyTest, Norva2Template_CopiedNotOpened_AndAFailedWriteSaysSo)
{
    const PlistDictionary original{{"Settings", PlistDictionary{{"DataFormat", 1}}},
                                   {"Design", PlistArray{}}};
    const QString old = writeFile("Envelope.zenv", propertyListBytes(original, PlistFormat::Xml));
    const QString copy = m_dir.filePath("Templates/Envelope.zenv");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(copy));
    chooseImport("importNorva2Template:", old);
    ASSERT_EQ(m_presenter.savePanels().size(), 1);
    const SavePanelRequest& panel = m_presenter.savePanels().constLast().request;
    EXPECT_EQ(panel.nameFieldValue, "Envelope.zenv");
    EXPECT_EQ(panel.title, "Import Norva 2 Template");
    EXPECT_EQ(panel.allowedFileTypes, QStringList({"zenv", "zlabel"}));
    EXPECT_EQ(QDir(panel.directory), QDir(m_dir.filePath("Templates")));
    EXPECT_EQ(PlistValue(readDatafile(copy)), PlistValue(original));
    EXPECT_TRUE(documents().empty());

    // Not a property list: nothing asked, nothing written.
    chooseImport("importNorva2Template:", writeFile("Broken.zlabel", "not a list"));
    chooseImport("importNorva2Datafile:", writeFile("Broken.norva", "<plist><dict>"));
    EXPECT_EQ(m_presenter.savePanels().size(), 1);

    // A write that fails is reported; nothing opens.
    SafeFileWriter::setFailAfterBytesForTesting(0);
    const QString datafile =
        writeFile("Full.norva", propertyListBytes(PlistDictionary{{"Records", PlistDictionary{}}},
                                                  PlistFormat::Xml));
    m_presenter.answerSavePanel(QUrl::fromLocalFile(m_dir.filePath("Full.nv3")));
    chooseImport("importNorva2Datafile:", datafile);
    SafeFileWriter::setFailAfterBytesForTesting(std::nullopt);
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "The file \u201CFull.nv3\u201D could not be written.");
    EXPECT_FALSE(m_presenter.lastAlert().request.informativeText.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath("Full.nv3")));
    EXPECT_TRUE(documents().empty());
}

TEST_F(OldFormatsJourneyTest, Norva1Datafile_RecordsNow_SavedAfterTheWait)
{
    const QString old = writeNorva1("Clients", "Smith\rJohn\r\rnote1\rnote2\x06Lee\rAnn\rVIP\r\x06tail",
                                    {"Last", "First", "Status", "spare"});
    chooseImport("importNorvaPro:", old);
    EditorWindowController* made = newestEditor();
    ASSERT_TRUE(made);
    EXPECT_EQ(fieldNames(made), QStringList({"Last", "First", "Status"}));
    // The blank record it started with is gone.
    EXPECT_EQ(recordsOf(made), QStringList({"Last=Smith|First=John|text=note1\nnote2",
                                            "Last=Lee|First=Ann|Status=VIP|text="}));
    EXPECT_EQ(made->engine().indexOfCurrentRecord(), 0);
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    EXPECT_TRUE(m_presenter.savePanels().isEmpty());

    // The program goes on while the finish waits: the user moves to the next record.
    activate(made->window());
    ASSERT_TRUE(chooseMenuItem(made->window(), "goToNextRecord:"));
    EXPECT_EQ(made->engine().indexOfCurrentRecord(), 1);
    m_clock.advance(30.4);
    EXPECT_TRUE(m_presenter.savePanels().isEmpty());

    const QString saved = m_dir.filePath("Clients.nv3");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(saved));
    m_clock.advance(0.1);
    ASSERT_EQ(m_presenter.savePanels().size(), 1);
    EXPECT_EQ(m_presenter.savePanels().constFirst().request.nameFieldValue, "Clients");
    EXPECT_EQ(made->engine().indexOfCurrentRecord(), 0);
    EXPECT_TRUE(QFileInfo::exists(saved));
    EXPECT_EQ(readDatafile(saved).find("Records")->asDictionary()->size(), 2);
    made->window()->grab().save(shots() + "/import-norva1.png");
    EXPECT_EQ(m_clock.pendingCount(), 0);
}

TEST_F(OldFormatsJourneyTest, Norva1Finish_OncePerImport_NoneForAClosedWindow)
{
    const QString first = writeNorva1("First", "a\x06", {"Name", "spare"});
    const QString second = writeFile("Kestrowan.KW", "no fork\rat all\x06");
    chooseImport("importNorvaPro:", first);
    EditorWindowController* firstMade = newestEditor();
    chooseImport("importKestrowan:", second);
    EditorWindowController* secondMade = newestEditor();
    ASSERT_TRUE(firstMade && secondMade && firstMade != secondMade);
    // No fork: no fields, every record's whole text its text.
    EXPECT_TRUE(fieldNames(secondMade).isEmpty());
    EXPECT_EQ(recordsOf(secondMade), QStringList{"text=no fork\nat all"});

    m_presenter.answerSavePanel(std::nullopt);
    m_presenter.answerSavePanel(std::nullopt);
    m_clock.advance(31);
    EXPECT_EQ(m_presenter.savePanels().size(), 2);

    // A third import whose window closes before the wait is over saves nothing.
    chooseImport("importNorvaPro:", writeNorva1("Third", "b\x06", {"Name", "spare"}));
    newestEditor()->document()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_clock.advance(31);
    EXPECT_EQ(m_presenter.savePanels().size(), 2);
    EXPECT_EQ(m_clock.pendingCount(), 0);
}

TEST_F(OldFormatsJourneyTest, Norva1Failures_TheFailureAlert)
{
    // Empty: no datafile.
    chooseImport("importNorvaPro:", writeFile("Empty.nV", ""));
    EXPECT_EQ(m_presenter.alertMessages(), QStringList{"No records were imported."});
    EXPECT_TRUE(documents().empty());
    // A BinHex archive is not read.
    chooseImport("importNorvaPro:", writeFile("Packed.hqx", "(This file must be converted with "
                                                            "BinHex 4.0)\r\r:!!!"));
    ASSERT_EQ(m_presenter.alerts().size(), 2);
    EXPECT_TRUE(m_presenter.lastAlert().request.informativeText.contains("BinHex"));
    EXPECT_TRUE(documents().empty());
    // No record end: the datafile is made, then the alert, and the finish still saves.
    chooseImport("importNorvaPro:", writeNorva1("Plain", "just text", {"A", "B", "spare"}));
    EXPECT_EQ(m_presenter.alerts().size(), 3);
    ASSERT_EQ(documents().size(), 1u);
    EXPECT_EQ(fieldNames(newestEditor()), QStringList({"A", "B"}));
    m_presenter.answerSavePanel(std::nullopt);
    m_clock.advance(30.5);
    EXPECT_EQ(m_presenter.savePanels().size(), 1);
}

TEST_F(OldFormatsJourneyTest, MarlocanCardDeck_OneRecordACard_Saved)
{
    const QString deck =
        writeFile("Recipes.mlcn", "HEADERPancakes\r*\rN*\rpSoup\rhot*\rNSalad\rTRAILR");
    const QString saved = m_dir.filePath("Recipes.nv3");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(saved));
    chooseImport("importMARLOCAN:", deck);
    EditorWindowController* made = newestEditor();
    ASSERT_TRUE(made);
    // Line ends as the text area keeps them; the empty card stays.
    EXPECT_EQ(recordsOf(made),
              QStringList({"text=Pancakes\n", "text=", "text=Soup\nhot", "text=Salad\n"}));
    EXPECT_EQ(EditorWindowController::mainEditor(), made);
    ASSERT_EQ(m_presenter.savePanels().size(), 1);
    EXPECT_EQ(m_presenter.savePanels().constFirst().request.nameFieldValue, "Recipes.mlcn");
    EXPECT_TRUE(QFileInfo::exists(saved));
    EXPECT_FALSE(made->window()->isWindowModified());
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    activate(made->window());
    made->window()->grab().save(shots() + "/import-marlocan.png");
}

TEST_F(OldFormatsJourneyTest, MarlocanCardDeck_TooShortOrNoCards)
{
    // Under 6 bytes: the datafile, then the alert; it stays open and unsaved.
    chooseImport("importMARLOCAN:", writeFile("Tiny.ML", "*\rN"));
    EXPECT_EQ(m_presenter.alertMessages(), QStringList{"No records were imported."});
    ASSERT_EQ(documents().size(), 1u);
    EditorWindowController* tiny = newestEditor();
    EXPECT_EQ(tiny->engine().catalog()->count(), 1);
    EXPECT_TRUE(tiny->document()->fileURL().isEmpty());
    EXPECT_TRUE(m_presenter.savePanels().isEmpty());

    // A marker but no card: the blank record stays, with a beep, and it is saved.
    m_presenter.answerSavePanel(std::nullopt);
    chooseImport("importMARLOCAN:", writeFile("Bare.ML", "HEADER*\rNxyz"));
    EXPECT_EQ(documents().size(), 2u);
    EXPECT_EQ(newestEditor()->engine().catalog()->count(), 1);
    EXPECT_EQ(m_presenter.beepCount(), 1);
    EXPECT_EQ(m_presenter.savePanels().size(), 1);
    EXPECT_EQ(m_presenter.alerts().size(), 1);
}
