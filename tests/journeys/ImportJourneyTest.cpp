// File ▸ Import ▸ CSV…, Tab-Delimited Text…, Custom-Delimited Text…, Entourage Contacts…, both
// Folder of Text Files items, Bookmarks… and the mail items, through the program as main() assembles
// it: the panel and the sheet answered as a user would, the report seen as a user sees it.
#include "JourneyTestBase.h"

#include "ImportBookmarksController.h"
#include "ImportCSVSheetController.h"
#include "ImportCustomDelimitedController.h"
#include "ImportEmailSheetController.h"
#include "ImportEntourageContactsController.h"
#include "ImportTabDelimitedSheetController.h"
#include "ImportTextFilesController.h"
#include "QtPresenter.h"

#include <QCheckBox>
#include <QDir>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QThread>

namespace {

const QList<std::pair<QString, QString>> EmailFields = {
    {"S", "Subject"}, {"D", "Date"},      {"F", "From"},      {"R", "Reply to"},
    {"T", "To"},      {"C", "cc"},        {"N", "File Name"}, {"E", "References"}};

class ImportJourneyTest : public JourneyTestBase {
protected:
    QString shots() const { return qEnvironmentVariable("NORVA_SHOTS", m_dir.path()); }

    // File ▸ Import ▸ the item, in the window in front, with the file chosen in the panel
    // (none: the panel is cancelled).
    bool chooseImport(const char* selector, const QString& path = QString())
    {
        if (!path.isEmpty())
            m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
        Q_EMIT m_assembly->mainController().menus().importMenu()->aboutToShow();
        return chooseMenuItem(QApplication::activeWindow(), selector);
    }

    static EditorWindowController* newestEditor()
    {
        const std::vector<Document*>& documents = DocumentController::shared().documents();
        return documents.empty() ? nullptr
                                 : static_cast<EditorWindowController*>(
                                       documents.back()->windowControllers().front().get());
    }

    // The first field of every record shown.
    static QStringList subjectsOf(EditorWindowController* editor)
    {
        QStringList subjects;
        for (qint64 i = 0; i < editor->engine().catalog()->count(); ++i)
            subjects.append(valuesOfRecord(editor, i).value(0));
        return subjects;
    }

    static QStringList valuesOfRecord(EditorWindowController* editor, qint64 index)
    {
        QStringList values;
        const std::shared_ptr<RecordData> record = editor->engine().recordAtCatalogIndex(index);
        for (const PlistValue& field : editor->settings()->fields())
            values.append(record->fields().stringForKey(
                field.asDictionary()->stringForKey("Identifier")));
        return values;
    }
};

} // namespace

TEST_F(ImportJourneyTest, ImportCSV_AfterACancelledPanel_MakesANewEditedDatafile)
{
    const QString csv =
        writeFile("Contacts.csv", "Name,Phone\nAnn,\"555, ext 1\"\n\"Bo \"\"B\"\"\",556\n");
    // The first attempt is cancelled in the panel: nothing happens.
    ASSERT_TRUE(chooseImport("importCSV:"));
    EXPECT_TRUE(DocumentController::shared().documents().empty());
    EXPECT_EQ(m_presenter.openPanels().size(), 1);

    ASSERT_TRUE(chooseImport("importCSV:", csv));
    auto* sheet = VKSheetController::topmostController<ImportCSVSheetController>();
    ASSERT_TRUE(sheet);
    sheet->namesInFirstRecord()->setChecked(true);
    EXPECT_EQ(sheet->currentDatafileName()->text(), "<No suitable datafile open>");
    sheet->window()->grab().save(shots() + "/import-csv-sheet.png");
    QTest::keyClick(sheet->window(), Qt::Key_Return);

    EditorWindowController* made = newestEditor();
    ASSERT_TRUE(made);
    EXPECT_EQ(made->engine().catalog()->count(), 2);
    EXPECT_EQ(valuesOfRecord(made, 0), QStringList({"Ann", "555, ext 1"}));
    EXPECT_EQ(valuesOfRecord(made, 1), QStringList({"Bo \"B\"", "556"}));
    EXPECT_EQ(EditorWindowController::mainEditor(), made);
    // Edited and unsaved, as its title shows.
    EXPECT_TRUE(made->window()->isWindowModified());
    EXPECT_TRUE(made->document()->fileURL().isEmpty());
    EXPECT_TRUE(m_presenter.savePanels().isEmpty());
    EXPECT_TRUE(m_presenter.alerts().isEmpty());

    // Closing it asks first.
    activate(made->window());
    m_presenter.answerAlertWithButton(QStringLiteral("Cancel"));
    QTest::keyClick(made->window(), Qt::Key_W, Qt::ControlModifier);
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_TRUE(m_presenter.lastAlert().request.messageText.startsWith(
        "Do you want to save the changes made to the document"));
    EXPECT_EQ(DocumentController::shared().documents().size(), 1u);
}

TEST_F(ImportJourneyTest, ImportCSV_IntoTheDatafileInFront_ReportsTheMalformedLines)
{
    EditorWindowController* editor =
        openWithCommand(writeDatafile("Phones.nv3", {{"N", "Name"}, {"P", "Phone"}},
                                      {{"Cy", "557", ""}}));
    ASSERT_TRUE(editor);
    const QString csv = writeFile("more.csv", "Dee,558\nEd\nFi,559,extra\n");
    ASSERT_TRUE(chooseImport("importCSV:", csv));
    auto* sheet = VKSheetController::topmostController<ImportCSVSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->currentDatafileName()->text(), editor->featureContext().host().windowTitle());
    sheet->appendToCurrent()->setChecked(true);

    // The report as the user sees it, on the datafile's window.
    QtPresenter shown;
    Presenter::setShared(&shown);
    sheet->okay();
    Presenter::setShared(&m_presenter);
    QMessageBox* report = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        report = editor->window()->findChild<QMessageBox*>();
        return report && report->isVisible();
    }, 3000));
    EXPECT_EQ(report->text(), "The imported file contained some malformed data.");
    EXPECT_TRUE(report->informativeText().endsWith("\n\nLines: 2, 3"));
    report->grab().save(shots() + "/import-csv-report.png");
    editor->window()->grab().save(shots() + "/import-csv-appended.png");
    report->accept();

    EXPECT_EQ(editor->engine().catalog()->count(), 4);
    EXPECT_EQ(valuesOfRecord(editor, 3), QStringList({"Fi", "559 <EXTRA FIELD> extra"}));
    EXPECT_EQ(valuesOfRecord(editor, 2), QStringList({"Ed", "<MISSING FIELD>"}));
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 0);
    EXPECT_EQ(DocumentController::shared().documents().size(), 1u);
}

TEST_F(ImportJourneyTest, ImportTabDelimited_NewDatafile_AsksWhereToSaveIt)
{
    m_presenter.answerSavePanel(std::nullopt);
    ASSERT_TRUE(chooseImport("importTabDelimited:", writeFile("list.tab", "Name\tPhone\nAnn\t1\n")));
    auto* sheet = VKSheetController::topmostController<ImportTabDelimitedSheetController>();
    ASSERT_TRUE(sheet);
    sheet->namesInFirstRecord()->setChecked(true);
    sheet->okay();
    EditorWindowController* made = newestEditor();
    ASSERT_TRUE(made);
    EXPECT_EQ(valuesOfRecord(made, 0), QStringList({"Ann", "1"}));
    EXPECT_EQ(m_presenter.savePanels().size(), 1);
}

TEST_F(ImportJourneyTest, ImportCustomDelimited_TypedDelimiter_AppendsTextsAfterACancelledSheet)
{
    EditorWindowController* editor =
        openWithCommand(writeDatafile("Notes.nv3", {{"T", "Topic"}}, {{"old", "kept"}}));
    ASSERT_TRUE(editor);
    const QString file = writeFile("notes.txt", "first\n--second\n--");
    ASSERT_TRUE(chooseImport("importCustomDelimited:", file));
    auto* sheet = VKSheetController::topmostController<ImportCustomDelimitedController>();
    ASSERT_TRUE(sheet);
    sheet->cancel();
    EXPECT_EQ(editor->engine().catalog()->count(), 1);

    ASSERT_TRUE(chooseImport("importCustomDelimited:", file));
    sheet = VKSheetController::topmostController<ImportCustomDelimitedController>();
    ASSERT_TRUE(sheet);
    sheet->appendToCurrent()->setChecked(true);
    QTest::keyClicks(sheet->delimiterTextView(), "--");
    sheet->window()->grab().save(shots() + "/import-custom-sheet.png");
    sheet->okay();
    ASSERT_EQ(editor->engine().catalog()->count(), 3);
    EXPECT_EQ(editor->engine().recordAtCatalogIndex(1)->textString(), "first\n");
    EXPECT_EQ(editor->engine().recordAtCatalogIndex(2)->textString(), "second\n");
    EXPECT_EQ(valuesOfRecord(editor, 2), QStringList({""}));
    EXPECT_TRUE(editor->window()->isWindowModified());
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

TEST_F(ImportJourneyTest, ImportEntourageContacts_NewDatafile_SavedWhereTheUserSays)
{
    const QString saved = m_dir.filePath("Contacts.nv3");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(saved));
    ASSERT_TRUE(chooseImport("importEntourageContacts:",
                             writeFile("contacts.txt", "First\tLast\tNotes\nAnn\tLee\tvip\ttea\n")));
    auto* sheet = VKSheetController::topmostController<ImportEntourageContactsController>();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->namesInFirstRecord()->isHidden());
    sheet->window()->grab().save(shots() + "/import-contacts-sheet.png");
    QTest::keyClick(sheet->window(), Qt::Key_Return);

    EditorWindowController* made = newestEditor();
    ASSERT_TRUE(made);
    EXPECT_EQ(valuesOfRecord(made, 0), QStringList({"Ann", "Lee", ""}));
    EXPECT_EQ(made->engine().recordAtCatalogIndex(0)->textString(), "vip\ttea");
    EXPECT_EQ(EditorWindowController::mainEditor(), made);
    EXPECT_TRUE(QFileInfo::exists(saved));
    EXPECT_FALSE(made->window()->isWindowModified());
}

TEST_F(ImportJourneyTest, ImportFolderOfTextFiles_BothItems_AppendAfterACancelledPanel)
{
    EditorWindowController* editor =
        openWithCommand(writeDatafile("Firms.nv3", {{"C", "Company"}}, {{"Old", ""}}));
    ASSERT_TRUE(editor);
    QDir(m_dir.path()).mkpath("letters");
    writeFile("letters/Acme.txt", "dear Acme");
    ASSERT_TRUE(chooseImport("importFolderOfTextFiles:"));
    EXPECT_EQ(editor->engine().catalog()->count(), 1);

    for (const char* selector :
         {"importFolderOfTextFiles:", "importFolderOfTextFilesWithFileNames:"}) {
        ASSERT_TRUE(chooseImport(selector, m_dir.filePath("letters"))) << selector;
        auto* sheet = VKSheetController::topmostController<ImportTextFilesController>();
        ASSERT_TRUE(sheet) << selector;
        sheet->appendToCurrent()->setChecked(true);
        sheet->window()->grab().save(shots() + "/import-folder-sheet.png");
        sheet->okay();
    }
    ASSERT_EQ(editor->engine().catalog()->count(), 3);
    EXPECT_EQ(valuesOfRecord(editor, 1), QStringList({""}));
    EXPECT_EQ(valuesOfRecord(editor, 2), QStringList({"Acme"}));
    EXPECT_EQ(editor->engine().recordAtCatalogIndex(2)->textString(), "dear Acme");
    EXPECT_TRUE(editor->window()->isWindowModified());
}

TEST_F(ImportJourneyTest, ImportBookmarks_HtmlFile_NewDatafileSavedAfterACancelledSheet)
{
    const QString html = writeFile(
        "bookmarks.html",
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<H1>Bookmarks</H1>\n<DL><p>\n"
        "<DT><H3>Work</H3>\n<DL><p>\n<DT><A HREF=\"https://w.example/?a=1&amp;b=2\">Wiki</A>\n"
        "</DL><p>\n<DT><A HREF=\"https://n.example/\">News</A>\n</DL><p>\n");
    ASSERT_TRUE(chooseImport("importBookmarks:", html));
    auto* sheet = VKSheetController::topmostController<ImportBookmarksController>();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(m_presenter.openPanels().last().request.message, "Select a Bookmarks File to Import");
    sheet->cancel();
    EXPECT_TRUE(DocumentController::shared().documents().empty());

    const QString saved = m_dir.filePath("Bookmarks.nv3");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(saved));
    ASSERT_TRUE(chooseImport("importBookmarks:", html));
    sheet = VKSheetController::topmostController<ImportBookmarksController>();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->createNew()->isChecked());
    EXPECT_FALSE(sheet->appendToCurrent()->isEnabled());
    sheet->window()->grab().save(shots() + "/import-bookmarks-sheet.png");
    QTest::keyClick(sheet->window(), Qt::Key_Return);

    EditorWindowController* made = newestEditor();
    ASSERT_TRUE(made);
    ASSERT_EQ(made->engine().catalog()->count(), 2);
    EXPECT_EQ(valuesOfRecord(made, 0), QStringList({"Work ", "Wiki", "https://w.example/?a=1&b=2"}));
    EXPECT_EQ(valuesOfRecord(made, 1), QStringList({"", "News", "https://n.example/"}));
    EXPECT_EQ(EditorWindowController::mainEditor(), made);
    EXPECT_TRUE(QFileInfo::exists(saved));
    EXPECT_EQ(m_presenter.savePanels().last().request.nameFieldValue.left(9), "Bookmarks");
    made->window()->grab().save(shots() + "/import-bookmarks-datafile.png");
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

TEST_F(ImportJourneyTest, MozillaMail_AfterACancelledPanel_MakesANewSavedDatafile)
{
    ASSERT_TRUE(chooseImport("importMozillaMail:"));
    EXPECT_TRUE(DocumentController::shared().documents().empty());

    ASSERT_TRUE(chooseImport("importMozillaMail:", NORVA_FIXTURES_DIR "/email/mozilla.mbox"));
    auto* sheet = VKSheetController::topmostController<ImportEmailSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->emailClient(), 6);
    EXPECT_TRUE(sheet->createNew()->isChecked());
    EXPECT_TRUE(sheet->importHTML()->isChecked());
    sheet->window()->grab().save(shots() + "/import-email-sheet.png");
    const QString saved = m_dir.filePath("Mozilla Email.nv3");
    m_presenter.answerSavePanel(QUrl::fromLocalFile(saved));
    QTest::keyClick(sheet->window(), Qt::Key_Return);

    EditorWindowController* made = newestEditor();
    ASSERT_TRUE(made);
    EXPECT_EQ(subjectsOf(made), QStringList({" Newest", " Middle", " Oldest"}));
    EXPECT_EQ(made->settings()->fields().size(), 8);
    EXPECT_EQ(EditorWindowController::mainEditor(), made);
    EXPECT_TRUE(QFileInfo::exists(saved));
    made->window()->grab().save(shots() + "/import-email-records.png");
}

TEST_F(ImportJourneyTest, EveryMailboxItem_AppendsItsProgramsMessages)
{
    EditorWindowController* editor = openWithCommand(writeDatafile("Mail.nv3", EmailFields, {}));
    ASSERT_TRUE(editor);
    const struct {
        const char* selector;
        QByteArray mailbox;
        QStringList subjects;
    } items[] = {
        {"importEntourageMail:",
         "From ???@??? a\rSubject: Entourage\r\rbody\r\rFrom ???@??? b\rSubject: Two\r\rbody\r",
         {" Entourage", " Two"}},
        {"importEudoraMail:", "From ???@??? a\rSubject: Eudora\r\r<x-html>body</x-html>\r",
         {" Eudora"}},
        {"importMailsmithMail:", "From ???@??? a\nSubject: Mailsmith\n\nbody\n", {" Mailsmith"}},
        {"importNetscapeMail:", "From - a\rSubject: Netscape\r\rbody\rFrom - b\rSubject: N2\r\rx\r",
         {" Netscape", " N2"}},
        {"importPowerMail:", "From ???@??? a\rSubject: PowerMail\r\rbody\r", {" PowerMail"}},
    };
    QStringList expected = subjectsOf(editor);
    for (const auto& item : items) {
        // The window manager's part: the window is active again once the progress is gone.
        activate(editor->window());
        ASSERT_TRUE(chooseImport(item.selector, writeFile("box", item.mailbox))) << item.selector;
        auto* sheet = VKSheetController::topmostController<ImportEmailSheetController>();
        ASSERT_TRUE(sheet) << item.selector;
        EXPECT_TRUE(sheet->appendToCurrent()->isEnabled()) << item.selector;
        sheet->appendToCurrent()->setChecked(true);
        sheet->okay();
        expected += item.subjects;
        EXPECT_EQ(subjectsOf(editor), expected) << item.selector;
    }
    EXPECT_TRUE(editor->window()->isWindowModified());
}

TEST_F(ImportJourneyTest, MailFolders_ImportsOnAWorker_NewestFirst)
{
    for (const auto& [path, date] :
         {std::pair{"Mail/A.mbox/Messages/1.emlx", "Mon, 2 Mar 2026 09:00:00 +0000"},
          std::pair{"Mail/B.mbox/Messages/2.emlx", "Wed, 4 Mar 2026 09:00:00 +0000"}}) {
        const QByteArray message = QByteArray("Subject: ") + path + "\nDate: " + date + "\n\nhi\n";
        QDir(m_dir.path()).mkpath(QFileInfo(m_dir.filePath(path)).path());
        writeFile(path, QByteArray::number(message.size()) + "\n" + message + "<plist/>\n");
    }
    ASSERT_TRUE(chooseImport("importNewAppleMail:", m_dir.filePath("Mail")));
    auto* sheet = VKSheetController::topmostController<ImportEmailSheetController>();
    ASSERT_TRUE(sheet);
    sheet->importText()->setChecked(true);
    sheet->okay();
    ASSERT_TRUE(sheet->importEmailThread());
    QTRY_VERIFY_WITH_TIMEOUT(sheet->importEmailThread()->isFinished(), 10000);
    QCoreApplication::processEvents();
    EditorWindowController* made = newestEditor();
    ASSERT_TRUE(made);
    EXPECT_EQ(subjectsOf(made), QStringList({" Mail/B.mbox/Messages/2.emlx",
                                           " Mail/A.mbox/Messages/1.emlx"}));
    EXPECT_EQ(made->engine().recordAtCatalogIndex(0)->textString(), "hi\n");
    EXPECT_EQ(made->datafileDocument()->defaultDraftName(), "Mail Email");
}
