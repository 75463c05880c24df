// Record prints of a generated datafile to PDF files, end to end: the record texts built,
// laid out in pages and written.
//
//   print_bench [COUNT]    1,000 records of ten fields and 2 KB of rich text when not given
#include "BenchMain.h"
#include "DatafileDocument.h"
#include "EditorWindowController.h"
#include "EditorWindowOpening.h"
#include "RichTextRecords.h"
#include "ScriptedPresenter.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Seconds the command takes, and the PDF file it wrote.
void timePrint(EditorWindowController* editor, ScriptedPresenter& presenter, const QString& pdf,
               const char* selector, const char* title)
{
    presenter.answerPrintJob(true, pdf);
    QElapsedTimer timer;
    timer.start();
    editor->performAction(QString::fromLatin1(selector));
    QCoreApplication::processEvents();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const qsizetype jobs = presenter.printJobs().size();
    const int pages = jobs > 0 ? presenter.printJobs().constLast().request.view->pageCount() : 0;
    std::printf("%s: %.2f s, %lld job(s), %d page(s) in the last, %.1f MB of PDF\n", title, seconds,
                qlonglong(jobs), pages, double(QFileInfo(pdf).size()) / 1e6);
    presenter.clear();
}

} // namespace

int runBenchmark(int argc, char** argv)
{
    ScriptedPresenter presenter;
    Presenter::setShared(&presenter);
    QTemporaryDir folder;
    UserDefaults defaults(folder.path());
    UserDefaults::setStandardUserDefaults(&defaults);

    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000;
    const QString path = folder.filePath(QStringLiteral("Generated.nv3"));
    if (!writeDatafileWithRichText(path, count, 2000))
        return 1;

    DatafileDocument document;
    EditorWindowController* editor = openInEditorWindow(document, path);
    if (!editor)
        return 1;
    editor->settings()->setHideMargins(true);
    editor->settings()->setBasicViewPrintBoldFieldNames(true);
    editor->settings()->setBasicViewPrintRecordNumbers(true);

    std::printf("%d records of ten fields and %lld characters of rich text\n", count,
                qlonglong(editor->engine().recordAtIndex(0)->textString().size()));
    timePrint(editor, presenter, folder.filePath(QStringLiteral("continuous.pdf")),
              "printAllContinuousBasicViewRecords:", "All records, one after another");
    timePrint(editor, presenter, folder.filePath(QStringLiteral("individual.pdf")),
              "printAllIndividualBasicViewRecords:", "All records, one per page, into one file");

    document.close();
    DatafileDocument::setEditorFactory(nullptr);
    UserDefaults::setStandardUserDefaults(nullptr);
    return 0;
}
