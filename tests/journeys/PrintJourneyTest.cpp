// A user's journeys through printing: the current record, every selected record and the
// selected text, to PDF files read back with poppler's tools, and Page Setup.
#include "JourneyTestBase.h"

#include "EditorPrintController.h"
#include "FreeformTextView.h"
#include "PdfReader.h"
#include "PrintMarginsSheetController.h"

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
