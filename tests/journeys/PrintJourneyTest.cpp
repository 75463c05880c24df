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

namespace {

constexpr double Letter = 792;     // points high
constexpr double LetterWide = 612; // points wide

// Whether a box of the page lies between the margins (half a point of rounding allowed).
bool insideMargins(const QRectF& box, double top, double left, double bottom, double right)
{
    return !box.isEmpty() && box.left() >= left - 0.5 && box.right() <= LetterWide - right + 0.5 &&
           box.top() >= top - 0.5 && box.bottom() <= Letter - bottom + 0.5;
}

// Whether a part of a page drawn at 2 pixels a point holds anything but white paper.
bool marked(const QImage& page, const QRectF& points)
{
    const QRect pixels =
        QRectF(points.topLeft() * 2, points.size() * 2).toAlignedRect() & page.rect();
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            if (qGray(page.pixel(x, y)) < 230)
                return true;
    return false;
}

} // namespace

TEST_F(PrintJourneyTest, PageHeader_InsideTheMarginsAboveTheBody_OfARecordAndOfTheTable)
{
    EditorWindowController* editor = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(editor);
    std::shared_ptr<DatafileSettingsData> settings = editor->settings();
    settings->setHideMargins(true);
    settings->setBasicViewPrintHeader(true);
    settings->setBasicViewPrintTopMargin(90);
    settings->setBasicViewPrintLeftMargin(72);
    settings->setBasicViewPrintBottomMargin(72);
    settings->setBasicViewPrintRightMargin(54);
    m_presenter.answerPrintJob(true, pdfPath("record.pdf"));
    QTest::keyClick(editor->window(), Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(m_presenter.printJobs().size(), 1);

    QList<PdfReader::Word> words = PdfReader::words(pdfPath("record.pdf"), 1);
    QRectF title = PdfReader::wordBox(words, "five.nv3");
    QRectF page = PdfReader::wordBox(words, "Page");
    EXPECT_TRUE(insideMargins(title, 90, 72, 72, 54)) << title.x() << "," << title.y();
    EXPECT_TRUE(insideMargins(page, 90, 72, 72, 54)) << page.right() << "," << page.y();
    // "Page 1" ends at the right margin, the body starts below the header line.
    EXPECT_GT(page.right(), LetterWide - 54 - 40);
    const QRectF name = PdfReader::wordBox(words, "Name:");
    EXPECT_GE(name.top(), std::max(title.bottom(), page.bottom())) << name.y();
    EXPECT_NEAR(name.left(), 72, 1.5);

    // The List View's table on its own margins, after the record.
    const QString people = writeDatafile("people.nv3", personFields, listedPeople());
    editor = openWithCommand(people);
    ASSERT_TRUE(editor);
    settings = editor->settings();
    settings->setHideMargins(true);
    settings->setListViewPrintHeader(true);
    settings->setListViewPrintTopMargin(36);
    settings->setListViewPrintLeftMargin(36);
    settings->setListViewPrintBottomMargin(36);
    settings->setListViewPrintRightMargin(36);
    m_presenter.answerPrintJob(true, pdfPath("table.pdf"));
    ASSERT_TRUE(chooseMenuItem(editor->window(), "printAllListViewRecords:"));
    ASSERT_EQ(m_presenter.printJobs().size(), 2);
    for (int number : {1, 2}) {
        words = PdfReader::words(pdfPath("table.pdf"), number);
        title = PdfReader::wordBox(words, "people.nv3");
        page = PdfReader::wordBox(words, "Page");
        EXPECT_TRUE(insideMargins(title, 36, 36, 36, 36))
            << number << ": " << title.x() << "," << title.y();
        EXPECT_TRUE(insideMargins(page, 36, 36, 36, 36))
            << number << ": " << page.x() << "," << page.y();
        QRectF column = PdfReader::wordBox(words, "Name");
        if (column.isEmpty())
            column = PdfReader::wordBox(words, "Note");
        ASSERT_FALSE(column.isEmpty()) << number;
        EXPECT_GE(column.top(), std::max(title.bottom(), page.bottom())) << number;
    }
}

TEST_F(PrintJourneyTest, PrintListView_RulesEndAtTheLastShownColumnAndAtTheLastRecord)
{
    EditorWindowController* editor =
        openWithCommand(writeDatafile("people.nv3", personFields, listedPeople()));
    ASSERT_TRUE(editor);
    RXTableView* table = editor->tableController()->listTableView();
    table->setColumnWidth(0, 250);
    table->setColumnWidth(1, 200);
    table->setColumnWidth(2, 200);
    const std::shared_ptr<DatafileSettingsData> settings = editor->settings();
    settings->setHideMargins(true);
    settings->setListViewPrintHeader(false);
    settings->setListViewPrintTopMargin(36);
    settings->setListViewPrintLeftMargin(72);
    settings->setListViewPrintBottomMargin(36);
    settings->setListViewPrintRightMargin(72);
    const QString pdf = pdfPath("rules.pdf");
    m_presenter.answerPrintJob(true, pdf);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "printAllListViewRecords:"));
    ASSERT_EQ(m_presenter.printJobs().size(), 1);
    auto* view = dynamic_cast<TablePrintView*>(m_presenter.printJobs()[0].request.view.get());
    ASSERT_TRUE(view);
    const qint64 rows = view->rowsPerPage();
    const int bands = int((45 + rows - 1) / rows);
    ASSERT_GE(bands, 2);
    ASSERT_EQ(PdfReader::pageCount(pdf), 2 * bands);
    const double rowHeight = editor->tableController()->listViewRowHeight();

    // Right of the last column printed, the paper stays white: no column without a title
    // where the Freeform Text Area's would be.
    const double groupWidths[] = {450, 200};
    for (int group = 0; group < 2; ++group) {
        const QImage image = PdfReader::pageImage(pdf, 1 + group, 144);
        ASSERT_FALSE(image.isNull());
        const double right = 72 + groupWidths[group];
        EXPECT_TRUE(marked(image, QRectF(right - 1, 40, 2, rowHeight))) << group;
        EXPECT_FALSE(marked(image, QRectF(right + 2, 36, LetterWide - right - 2, Letter - 72)))
            << group;
    }
    // Below the last record the paper stays white too, on both pages of the last band;
    // a full page is ruled to its last row.
    const qint64 lastRows = 45 - (bands - 1) * rows;
    ASSERT_LT(lastRows, rows);
    for (int number : {2 * bands - 1, 2 * bands}) {
        const QImage image = PdfReader::pageImage(pdf, number, 144);
        ASSERT_FALSE(image.isNull());
        const double end = 36 + double(lastRows + 1) * rowHeight;
        EXPECT_TRUE(marked(image, QRectF(80, end - 1, 100, 2))) << number;
        EXPECT_FALSE(marked(image, QRectF(0, end + 2, LetterWide, Letter - 36 - end - 2)))
            << number;
    }
    const double fullEnd = 36 + double(rows + 1) * rowHeight;
    EXPECT_TRUE(marked(PdfReader::pageImage(pdf, 1, 144), QRectF(80, fullEnd - 1, 100, 2)));
}

TEST_F(PrintJourneyTest, PrintListView_AFullPageKeepsItsLastRowAboveTheBottomMargin)
{
    EditorWindowController* editor =
        openWithCommand(writeDatafile("people.nv3", personFields, listedPeople()));
    ASSERT_TRUE(editor);
    const std::shared_ptr<DatafileSettingsData> settings = editor->settings();
    const double rowHeight = editor->tableController()->listViewRowHeight();
    // A frame of 30 and a half rows: the title row and 30 rows would run past it.
    const double bottom = Letter - 36 - 30.55 * rowHeight;
    for (const bool header : {false, true}) {
        settings->setHideMargins(true);
        settings->setListViewPrintHeader(header);
        settings->setListViewPrintTopMargin(36);
        settings->setListViewPrintBottomMargin(float(bottom));
        const QString pdf = pdfPath(header ? "header.pdf" : "plain.pdf");
        m_presenter.answerPrintJob(true, pdf);
        ASSERT_TRUE(chooseMenuItem(editor->window(), "printAllListViewRecords:"));
        auto* view =
            dynamic_cast<TablePrintView*>(m_presenter.printJobs().last().request.view.get());
        ASSERT_TRUE(view);
        const qint64 rows = view->rowsPerPage();
        ASSERT_GT(rows, 0);
        for (const PdfReader::Word& word : PdfReader::words(pdf, 1))
            EXPECT_LE(word.box.bottom(), Letter - bottom + 0.5)
                << header << " " << word.text.toStdString();
        // No record is lost between the bands.
        EXPECT_TRUE(PdfReader::text(pdf, 1).contains(QStringLiteral("Person %1 ").arg(rows)))
            << header;
        const auto secondBand =
            std::find_if(view->pages().cbegin(), view->pages().cend(),
                         [&](const TablePrintView::Page& page) { return page.firstRow == rows; });
        ASSERT_NE(secondBand, view->pages().cend());
        const int next = int(secondBand - view->pages().cbegin()) + 1;
        EXPECT_TRUE(PdfReader::text(pdf, next).contains(QStringLiteral("Person %1 ").arg(rows + 1)))
            << header;
    }
}

TEST_F(PrintJourneyTest, PageScaling_StoredInThePrintSettings_ShrinksAndEnlargesTheRecord)
{
    EditorWindowController* editor = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(editor);
    const std::shared_ptr<DatafileSettingsData> settings = editor->settings();
    settings->setHideMargins(true);
    settings->setBasicViewPrintHeader(true);
    settings->setBasicViewPrintTopMargin(72);
    settings->setBasicViewPrintLeftMargin(72);
    struct Printed {
        QRectF name;
        QRectF page;
    };
    const auto print = [&](const QString& file) {
        m_presenter.answerPrintJob(true, pdfPath(file));
        QTest::keyClick(editor->window(), Qt::Key_P, Qt::ControlModifier);
        const QList<PdfReader::Word> words = PdfReader::words(pdfPath(file), 1);
        return Printed{PdfReader::wordBox(words, "Name:"), PdfReader::wordBox(words, "Page")};
    };
    const Printed natural = print("natural.pdf");
    ASSERT_FALSE(natural.name.isEmpty());
    PrintInfo printInfo;
    printInfo.setScalingFactor(0.5);
    settings->setBasicViewPrintInfo(printInfo);
    const Printed half = print("half.pdf");
    printInfo.setScalingFactor(2.0);
    settings->setBasicViewPrintInfo(printInfo);
    const Printed twice = print("twice.pdf");
    printInfo.setScalingFactor(1.0);
    settings->setBasicViewPrintInfo(printInfo);
    const Printed again = print("again.pdf");

    EXPECT_NEAR(half.name.width() / natural.name.width(), 0.5, 0.05);
    EXPECT_NEAR(twice.name.width() / natural.name.width(), 2.0, 0.1);
    EXPECT_NEAR(twice.name.height() / natural.name.height(), 2.0, 0.1);
    EXPECT_NEAR(again.name.width(), natural.name.width(), 0.1);
    // The text starts at the margins at every size; the header keeps its own.
    for (const Printed& printed : {half, twice, again}) {
        EXPECT_NEAR(printed.name.left(), natural.name.left(), 1.0);
        EXPECT_NEAR(printed.name.top(), natural.name.top(), 1.0);
        EXPECT_NEAR(printed.page.height(), natural.page.height(), 0.1);
    }
}
