// Print jobs through the scripted presenter: a fake sink, or a PDF file read back.
#include "PdfReader.h"
#include "PrintOperation.h"
#include "ScriptedPresenter.h"

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Pages that say their job's name and number.
class NumberedPages : public PrintableView {
public:
    NumberedPages(QString title, int pages) : m_title(std::move(title)), m_pages(pages) {}
    QString printJobTitle() const override { return m_title; }
    int pageCount() override { return m_pages; }
    void drawPage(QPainter& painter, int index) override
    {
        painter.drawText(QPointF(72, 72), QStringLiteral("%1 page %2").arg(m_title).arg(index + 1));
    }

private:
    QString m_title;
    int m_pages;
};

PrintOperationRequest request(const QString& title, int pages, bool panel,
                              std::shared_ptr<PrintSession> session = nullptr)
{
    PrintOperationRequest made;
    made.view = std::make_shared<NumberedPages>(title, pages);
    made.showsPrintPanel = panel;
    made.session = std::move(session);
    return made;
}

} // namespace

TEST(PrintOperationTest, SessionToAFile_PutsEveryJobInOneDocument)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.pdf"));
    ScriptedPresenter presenter;
    presenter.answerPrintJob(true, path);
    auto session = std::make_shared<PrintSession>();
    QList<bool> results;
    const auto didRun = [&](const PrintOperationResult& result) { results.append(result.success); };
    presenter.runPrintOperation(request("First", 2, true, session), nullptr, didRun);
    presenter.runPrintOperation(request("Second", 1, false, session), nullptr, didRun);
    session.reset();

    EXPECT_EQ(results, QList<bool>({true, true}));
    ASSERT_EQ(presenter.printJobs().size(), 2);
    EXPECT_TRUE(presenter.printJobs()[0].request.showsPrintPanel);
    EXPECT_EQ(PdfReader::pageCount(path), 3);
    EXPECT_TRUE(PdfReader::text(path, 3).contains("Second page 1"));
    EXPECT_TRUE(PdfReader::text(path, 2).contains("First page 2"));
}

TEST(PrintOperationTest, ScriptedJobs_FailAsToldAndNameAFileThatCannotBeWritten)
{
    ScriptedPresenter presenter;
    presenter.answerPrintJob(false);
    presenter.answerPrintJob(true, QStringLiteral("/no/such/folder/out.pdf"));
    QList<PrintOperationResult> results;
    const auto didRun = [&](const PrintOperationResult& result) { results.append(result); };
    presenter.runPrintOperation(request("Cancelled", 1, true), nullptr, didRun);
    presenter.runPrintOperation(request("Unwritable", 1, true), nullptr, didRun);
    presenter.runPrintOperation(request("Faked", 1, true), nullptr, didRun);
    ASSERT_EQ(results.size(), 3);
    EXPECT_FALSE(results[0].success);
    EXPECT_TRUE(results[0].unwritableFile.isEmpty());
    EXPECT_FALSE(results[1].success);
    EXPECT_EQ(results[1].unwritableFile, "/no/such/folder/out.pdf");
    EXPECT_TRUE(results[2].success);
}

TEST(PrintOperationTest, ImageableBounds_ThePaperLessTheBorderFromTheLowerLeft)
{
    ScriptedPresenter presenter;
    const PrintInfo letter;
    EXPECT_EQ(presenter.imageablePageBounds(letter), QRectF(0, 0, 612, 792));
    presenter.setUnprintableBorder(QMarginsF(10, 40, 30, 20));
    EXPECT_EQ(presenter.imageablePageBounds(letter), QRectF(10, 20, 572, 732));
    // No printer by that name: a PDF file's, the whole paper.
    EXPECT_EQ(PrintSession::imageablePageBounds(letter, QString()), QRectF(0, 0, 612, 792));
}
