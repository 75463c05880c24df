// A user's journeys through printing: the current record, every selected record, the
// selected text and the List View, to PDF files read back with poppler's tools, and Page
// Setup.
#include "JourneyTestBase.h"

#include "BasicPrintView.h"
#include "EditorPrintController.h"
#include "EditorTableController.h"
#include "FreeformTextView.h"
#include "PdfReader.h"
#include "PrintMarginsSheetController.h"
#include "RXTableView.h"
#include "TablePrintView.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTextCursor>

namespace {

class PrintJourneyTest : public JourneyTestBase {
protected:
    static void typeIntoText(EditorWindowController* editor, const QString& text)
    {
        FreeformTextView* view = editor->freeformTextView();
        view->setFocus();
        view->moveCursor(QTextCursor::End);
        QTest::keyClicks(view, text);
    }

    QString pdfPath(const QString& name) const { return m_dir.filePath(name); }
};

} // namespace

TEST_F(PrintJourneyTest, PrintWithCtrlP_TheShownRecordAsTypedWithItsHeaderToAPdfFile)
{
    EditorWindowController* editor = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(editor);
    QTest::keyClick(editor->window(), Qt::Key_Apostrophe, Qt::ControlModifier);
    ASSERT_EQ(editor->engine().indexOfCurrentRecord(), 1);
    typeIntoText(editor, " more");

    m_presenter.answerPrintJob(true, pdfPath("record.pdf"));
    QTest::keyClick(editor->window(), Qt::Key_P, Qt::ControlModifier);
    // The margins sheet first: 72 points are an inch.
    auto* sheet = VKSheetController::topmostController<PrintMarginsSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->marginsTopField()->text(), "1");
    EXPECT_TRUE(m_presenter.printJobs().isEmpty());
    sheet->printRecordNumbersCheck()->setChecked(true);
    QTest::mouseClick(sheet->okayButton(), Qt::LeftButton);

    ASSERT_EQ(m_presenter.printJobs().size(), 1);
    EXPECT_TRUE(m_presenter.printJobs()[0].request.showsPrintPanel);
    EXPECT_EQ(m_presenter.printJobs()[0].window, editor->window());
    EXPECT_EQ(PdfReader::pageCount(pdfPath("record.pdf")), 1);
    const QString text = PdfReader::text(pdfPath("record.pdf"));
    EXPECT_TRUE(text.contains("Record number: 2")) << text.toStdString();
    EXPECT_TRUE(text.contains("Name: 2")) << text.toStdString();
    EXPECT_TRUE(editor->settings()->basicViewPrintRecordNumbers());
    EXPECT_TRUE(text.contains("2 more")) << text.toStdString();
    // The header line: the datafile's name at the left, the page number at the right.
    EXPECT_TRUE(text.contains(QRegularExpression("five\\.nv3 .* Page 1"))) << text.toStdString();
}

TEST_F(PrintJourneyTest, PrintCurrentRecord_FromTheFileMenu_WithoutTheHeaderWhenTurnedOff)
{
    EditorWindowController* editor = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(editor);
    editor->settings()->setBasicViewPrintHeader(false);
    editor->settings()->setHideMargins(true);
    m_presenter.answerPrintJob(true, pdfPath("plain.pdf"));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "printCurrentRecord:"));

    EXPECT_EQ(PdfReader::pageCount(pdfPath("plain.pdf")), 1);
    const QString text = PdfReader::text(pdfPath("plain.pdf"));
    EXPECT_TRUE(text.contains("Name: 1")) << text.toStdString();
    EXPECT_FALSE(text.contains("Page 1")) << text.toStdString();
}

namespace {

// Notes the progress sheet's message as each print job starts.
class ProgressNotingPresenter : public ScriptedPresenter {
public:
    explicit ProgressNotingPresenter(EditorWindowController* editor) : m_editor(editor) {}

    void runPrintOperation(const PrintOperationRequest& request, QWidget* window,
                           std::function<void(const PrintOperationResult&)> didRun) override
    {
        const QLabel* message = m_editor->progressPanel()->findChild<QLabel*>();
        messages.append(m_editor->progressPanel()->isVisible() && message ? message->text()
                                                                           : QString());
        ScriptedPresenter::runPrintOperation(request, window, std::move(didRun));
    }

    QStringList messages;

private:
    EditorWindowController* m_editor;
};

QString printedText(const ScriptedPresenter::ShownPrintJob& job)
{
    auto* view = dynamic_cast<BasicPrintView*>(job.request.view.get());
    return view ? view->textStorage().toPlainText() : QString();
}

} // namespace

TEST_F(PrintJourneyTest, OnePerPage_OnePanelAJobEachRecordWithProgress_ToOnePdfFile)
{
    EditorWindowController* editor = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(editor);
    ProgressNotingPresenter presenter(editor);
    Presenter::setShared(&presenter);
    presenter.answerPrintJob(true, pdfPath("each.pdf"));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "printAllIndividualBasicViewRecords:"));
    auto* sheet = VKSheetController::topmostController<PrintMarginsSheetController>();
    ASSERT_TRUE(sheet);
    sheet->okay();

    ASSERT_EQ(presenter.printJobs().size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(presenter.printJobs()[i].request.showsPrintPanel, i == 0);
        EXPECT_EQ(presenter.printJobs()[i].window, editor->progressPanel());
        EXPECT_TRUE(printedText(presenter.printJobs()[i]).startsWith(QStringLiteral("Name: %1\n").arg(i + 1)));
    }
    EXPECT_EQ(presenter.messages, QStringList({"Preparing...", "Printing record# 2", "Printing record# 3",
                                               "Printing record# 4", "Printing record# 5"}));
    EXPECT_FALSE(editor->progressPanel()->isVisible());
    // One file, each record from a page of its own.
    EXPECT_EQ(PdfReader::pageCount(pdfPath("each.pdf")), 5);
    EXPECT_TRUE(PdfReader::text(pdfPath("each.pdf"), 4).contains("Name: 4"));
}

TEST_F(PrintJourneyTest, OnePerPage_ACancelledPanelEndsAll_ALaterFailureIsPassedBy)
{
    EditorWindowController* editor = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(editor);
    editor->settings()->setHideMargins(true);
    m_presenter.answerPrintJob(false);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "printAllIndividualBasicViewRecords:"));
    EXPECT_EQ(m_presenter.printJobs().size(), 1);
    EXPECT_FALSE(editor->progressPanel()->isVisible());

    m_presenter.clear();
    m_presenter.answerPrintJob(true);
    m_presenter.answerPrintJob(false);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "printAllIndividualBasicViewRecords:"));
    ASSERT_EQ(m_presenter.printJobs().size(), 5);
    EXPECT_TRUE(printedText(m_presenter.printJobs()[2]).startsWith("Name: 3"));
    EXPECT_FALSE(editor->progressPanel()->isVisible());
}

TEST_F(PrintJourneyTest, OneAfterAnother_TheSelectedRecordsSeparatedByARule)
{
    EditorWindowController* editor = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(editor);
    editor->settings()->setHideMargins(true);
    editor->settings()->setBasicViewPrintBoldFieldNames(true);
    const QStringList all = editor->engine().catalog()->selectedIdentifiers();
    editor->engine().catalog()->omitIdentifier(all[1], true);
    editor->engine().catalog()->omitIdentifier(all[3], true);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "printAllContinuousBasicViewRecords:"));

    ASSERT_EQ(m_presenter.printJobs().size(), 1);
    EXPECT_TRUE(m_presenter.printJobs()[0].request.showsPrintPanel);
    const QString separator = "\n\n" + QString(50, '-') + "\n\n";
    EXPECT_EQ(separator.size(), 54);
    const QString record = "Name: %1\nPhone: \n\nFreeform Text Area:\n%1";
    EXPECT_EQ(printedText(m_presenter.printJobs()[0]),
              record.arg(1) + separator + record.arg(3) + separator + record.arg(5));
    // The names of the third record printed are bold, where its text now begins.
    auto* view = dynamic_cast<BasicPrintView*>(m_presenter.printJobs()[0].request.view.get());
    QTextCursor cursor(&view->textStorage());
    const int third = int(printedText(m_presenter.printJobs()[0]).lastIndexOf("Name: 5"));
    cursor.setPosition(third + 2);
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
    cursor.setPosition(third + 7);
    EXPECT_NE(cursor.charFormat().fontWeight(), QFont::Bold);
    // Tab stops from the widest name on, over the whole text.
    const QList<QTextOption::Tab> tabs = cursor.blockFormat().tabPositions();
    ASSERT_EQ(tabs.size(), 5);
    EXPECT_NEAR(tabs[1].position - tabs[0].position, PrintableView::documentTabPosition(10), 1e-9);
}

TEST_F(PrintJourneyTest, PrintSelectedText_AsTyped_AnEmptySelectionBeeps)
{
    EditorWindowController* editor = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(editor);
    FreeformTextView* text = editor->freeformTextView();
    text->setFocus();
    QTextCursor cursor = text->textCursor();
    cursor.clearSelection();
    text->setTextCursor(cursor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "printSelection:"));
    EXPECT_EQ(m_presenter.beepCount(), 1);
    EXPECT_TRUE(m_presenter.printJobs().isEmpty());

    typeIntoText(editor, " typed, not saved");
    text->selectAll();
    m_presenter.answerPrintJob(true, pdfPath("selection.pdf"));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "printSelection:"));
    ASSERT_EQ(m_presenter.printJobs().size(), 1);
    EXPECT_EQ(printedText(m_presenter.printJobs()[0]), "1 typed, not saved");
    const QString printed = PdfReader::text(pdfPath("selection.pdf"));
    EXPECT_TRUE(printed.contains("1 typed, not saved")) << printed.toStdString();
    EXPECT_FALSE(printed.contains("Page 1"));
}

TEST_F(PrintJourneyTest, Failures_MarginsTooLargeAlertAndPrintNothing_AnUnwritableFileIsNamed)
{
    EditorWindowController* editor = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(editor);
    const std::shared_ptr<DatafileSettingsData> settings = editor->settings();
    settings->setHideMargins(true);
    settings->setBasicViewPrintTopMargin(400);
    settings->setBasicViewPrintBottomMargin(400);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "printCurrentRecord:"));
    EXPECT_TRUE(m_presenter.printJobs().isEmpty());
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "The margins are too large for the paper.");
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "Make the margins smaller and print again.");
    // One per page says so before it starts.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "printAllIndividualBasicViewRecords:"));
    EXPECT_TRUE(m_presenter.printJobs().isEmpty());
    EXPECT_FALSE(editor->progressPanel() && editor->progressPanel()->isVisible());
    ASSERT_EQ(m_presenter.alerts().size(), 2);

    settings->setBasicViewPrintTopMargin(72);
    const QString unwritable = m_dir.filePath("missing/record.pdf");
    m_presenter.answerPrintJob(true, unwritable);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "printCurrentRecord:"));
    ASSERT_EQ(m_presenter.alerts().size(), 3);
    EXPECT_TRUE(m_presenter.lastAlert().request.messageText.contains(unwritable));
    EXPECT_FALSE(QFile::exists(unwritable));
}

TEST_F(PrintJourneyTest, PageSetup_KeepsPaperAndOrientationForTheViewAndMarksTheSettings)
{
    EditorWindowController* editor = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(editor);
    const std::shared_ptr<DatafileSettingsData> settings = editor->settings();
    // Stored settings that cannot be read give way to the document's own.
    settings->setObject(PlistValue(QByteArray("not a print info")),
                        DatafileSettingsData::BasicViewPrintInfoKey);
    settings->setDatafileSettingsDidChange(false);
    PrintInfo landscape;
    landscape.setPaperName("iso-a4");
    landscape.setPaperSize(QSizeF(842, 595));
    landscape.setOrientation(PrintInfo::Orientation::Landscape);
    m_presenter.answerPageLayout(landscape);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "runPageLayout:"));

    ASSERT_EQ(m_presenter.pageLayouts().size(), 1);
    EXPECT_EQ(m_presenter.pageLayouts()[0].printInfo, PrintInfo());
    ASSERT_TRUE(settings->basicViewPrintInfo());
    EXPECT_EQ(*settings->basicViewPrintInfo(), landscape);
    EXPECT_FALSE(settings->listViewPrintInfo());
    EXPECT_TRUE(settings->datafileSettingsDidChange());

    // The next print is on that paper.
    settings->setHideMargins(true);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "printCurrentRecord:"));
    ASSERT_EQ(m_presenter.printJobs().size(), 1);
    EXPECT_EQ(m_presenter.printJobs()[0].request.printInfo.paperSize(), QSizeF(842, 595));

    // A cancelled Page Setup keeps them; with view changes not counting, nothing is marked.
    m_defaults.setBool(true, "GeneralNoUpdateForViewChanges");
    settings->setDatafileSettingsDidChange(false);
    m_presenter.answerPageLayout(std::nullopt);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "runPageLayout:"));
    EXPECT_EQ(m_presenter.pageLayouts()[1].printInfo, landscape);
    m_presenter.answerPageLayout(PrintInfo());
    ASSERT_TRUE(chooseMenuItem(editor->window(), "runPageLayout:"));
    EXPECT_EQ(*settings->basicViewPrintInfo(), PrintInfo());
    EXPECT_FALSE(settings->datafileSettingsDidChange());

    // In the List View, the List View's.
    settings->setMode("List");
    m_presenter.answerPageLayout(landscape);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "runPageLayout:"));
    ASSERT_TRUE(settings->listViewPrintInfo());
    EXPECT_EQ(*settings->listViewPrintInfo(), landscape);
    EXPECT_EQ(*settings->basicViewPrintInfo(), PrintInfo());
}

TEST_F(PrintJourneyTest, MarginsSheet_CancelStillPrints_HidingItSkipsItNextTime)
{
    EditorWindowController* editor = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(editor);
    const std::shared_ptr<DatafileSettingsData> settings = editor->settings();
    settings->setBasicViewPrintTopMargin(144);

    // Cancel keeps the sheet's values and goes on to the print panel.
    QTest::keyClick(editor->window(), Qt::Key_P, Qt::ControlModifier);
    auto* sheet = VKSheetController::topmostController<PrintMarginsSheetController>();
    ASSERT_TRUE(sheet);
    sheet->marginsTopField()->setText("5");
    QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
    ASSERT_EQ(m_presenter.printJobs().size(), 1);
    EXPECT_EQ(m_presenter.printJobs()[0].request.printInfo.topMargin(), 144);
    EXPECT_EQ(settings->basicViewPrintTopMargin(), 144.0f);
    EXPECT_TRUE(m_defaults.boolForKey(EditorPrintController::PrintHeaderAndFooterKey));

    // Ticking the box hides the sheet from then on.
    QTest::keyClick(editor->window(), Qt::Key_P, Qt::ControlModifier);
    sheet = VKSheetController::topmostController<PrintMarginsSheetController>();
    ASSERT_TRUE(sheet);
    sheet->printHeaderCheck()->setChecked(false);
    sheet->hideThisDialogCheck()->setChecked(true);
    QTest::mouseClick(sheet->okayButton(), Qt::LeftButton);
    EXPECT_TRUE(settings->hideMargins());
    EXPECT_FALSE(settings->basicViewPrintHeader());
    EXPECT_TRUE(settings->datafileSettingsDidChange());
    EXPECT_FALSE(m_defaults.boolForKey(EditorPrintController::PrintHeaderAndFooterKey));
    ASSERT_EQ(m_presenter.printJobs().size(), 2);

    QTest::keyClick(editor->window(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_FALSE(VKSheetController::topmostController<PrintMarginsSheetController>());
    EXPECT_EQ(m_presenter.printJobs().size(), 3);
}

namespace {

// 45 people in the List View: a name, a city and a note; the columns 250, 200 and 200
// points wide, so that on Letter paper between inch margins (468 points) the name and the
// city share a page and the note takes one of its own.
QList<QStringList> listedPeople()
{
    QList<QStringList> people;
    for (int person = 1; person <= 45; ++person)
        people.append({QStringLiteral("Person %1").arg(person), QStringLiteral("City %1").arg(person),
                       QStringLiteral("Note %1").arg(person)});
    return people;
}

const QList<std::pair<QString, QString>> personFields{{"N", "Name"}, {"C", "City"}, {"O", "Note"}};

} // namespace

TEST_F(PrintJourneyTest, PrintListView_ATableInBandsOfRowsAndGroupsOfColumns_ToAPdfFile)
{
    EditorWindowController* editor = openWithCommand(writeDatafile("people.nv3", personFields, listedPeople()));
    ASSERT_TRUE(editor);
    RXTableView* table = editor->tableController()->listTableView();
    table->setColumnWidth(0, 250);
    table->setColumnWidth(1, 200);
    table->setColumnWidth(2, 200);

    // Where the pictures of a run go, to be looked at.
    const QString pdf = QDir(qEnvironmentVariable("NORVA_SHOTS", m_dir.path())).filePath("list.pdf");
    m_presenter.answerPrintJob(true, pdf);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "printAllListViewRecords:"));
    // The List View's own margins; the record print's text options are not its.
    auto* sheet = VKSheetController::topmostController<PrintMarginsSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->marginsTopField()->text(), "0.5");
    EXPECT_EQ(sheet->marginsLeftField()->text(), "1");
    EXPECT_FALSE(sheet->printRecordNumbersCheck()->isEnabled());
    EXPECT_TRUE(sheet->printHeaderCheck()->isChecked());
    QTest::mouseClick(sheet->okayButton(), Qt::LeftButton);

    ASSERT_EQ(m_presenter.printJobs().size(), 1);
    EXPECT_EQ(m_presenter.printJobs()[0].window, editor->window());
    EXPECT_EQ(m_presenter.printJobs()[0].request.printInfo.scalingFactor(), 1.0);
    auto* view = dynamic_cast<TablePrintView*>(m_presenter.printJobs()[0].request.view.get());
    ASSERT_TRUE(view);
    const qint64 rows = view->rowsPerPage();
    ASSERT_GT(rows, 0);
    const int bands = int((45 + rows - 1) / rows);
    ASSERT_GE(bands, 2);
    EXPECT_EQ(PdfReader::pageCount(pdf), 2 * bands);

    // Band 1 in its two column groups, then band 2.
    const QString first = PdfReader::text(pdf, 1);
    EXPECT_TRUE(first.contains(QRegularExpression("Name +City"))) << first.toStdString();
    EXPECT_TRUE(first.contains(QRegularExpression("Person 1 +City 1\\b"))) << first.toStdString();
    EXPECT_FALSE(first.contains("Note")) << first.toStdString();
    EXPECT_TRUE(first.contains(QRegularExpression("people\\.nv3 .* Page 1"))) << first.toStdString();
    const QString second = PdfReader::text(pdf, 2);
    EXPECT_TRUE(second.contains("Note")) << second.toStdString();
    EXPECT_FALSE(second.contains("Name")) << second.toStdString();
    EXPECT_TRUE(second.contains("Note 1\n") || second.contains("Note 1 ")) << second.toStdString();
    const QString third = PdfReader::text(pdf, 3);
    EXPECT_TRUE(third.contains(QStringLiteral("Person %1").arg(rows + 1))) << third.toStdString();
    // The last band: the last records, then empty ruled rows.
    const QString last = PdfReader::text(pdf, 2 * bands - 1);
    EXPECT_TRUE(last.contains("Person 45")) << last.toStdString();
    EXPECT_EQ(view->pages().last().firstRow, (bands - 1) * rows);
    EXPECT_EQ(view->pages().last().lastRow, 44);

    // The sheet's values are the List View's from now on.
    EXPECT_FLOAT_EQ(editor->settings()->listViewPrintTopMargin(), 36.0f);
    EXPECT_TRUE(editor->settings()->datafileSettingsDidChange());
}

TEST_F(PrintJourneyTest, PrintListView_NotOneRowFits_TheMarginsAlertAndNoPrint)
{
    EditorWindowController* editor = openWithCommand(writeDatafile("people.nv3", personFields, listedPeople()));
    ASSERT_TRUE(editor);
    editor->settings()->setHideMargins(true);
    editor->settings()->setListViewPrintTopMargin(700);
    editor->settings()->setListViewPrintBottomMargin(80);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "printAllListViewRecords:"));
    EXPECT_TRUE(m_presenter.printJobs().isEmpty());
    EXPECT_EQ(m_presenter.alertMessages(), QStringList({"The margins are too large for the paper."}));
}

TEST_F(PrintJourneyTest, PrintListView_WithoutFields_TheRecordsOneAfterAnother)
{
    EditorWindowController* editor =
        openWithCommand(writeDatafile("texts.nv3", {}, {{"first text"}, {"second text"}}));
    ASSERT_TRUE(editor);
    editor->settings()->setHideMargins(true);
    // Off in the menu: there is no table to print.
    EXPECT_FALSE(chooseMenuItem(editor->window(), "printAllListViewRecords:"));
    editor->performAction("printAllListViewRecords:");
    ASSERT_EQ(m_presenter.printJobs().size(), 1);
    EXPECT_EQ(printedText(m_presenter.printJobs()[0]),
              "first text" + EditorPrintController::recordSeparator() + "second text");
}
