// The List View printed to a PDF file on Letter paper, from a generated datafile of ten
// fields: the pages laid out, every page drawn (with the memory in use sampled as they
// are), and the whole command end to end.
//
//   list_print_bench [COUNT]    100,000 records when not given
#include "BenchMain.h"
#include "DatafileDocument.h"
#include "DatafileGenerator.h"
#include "EditorWindowController.h"
#include "EditorWindowOpening.h"
#include "PropertyList.h"
#include "SafeFileWriter.h"
#include "ScriptedPresenter.h"
#include "TablePrintView.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

namespace {

// The memory the process holds now, in MB.
double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / 1e6 : 0;
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) * 1024.0 / 1e6;
}

double seconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int runBenchmark(int argc, char** argv)
{
    ScriptedPresenter presenter;
    Presenter::setShared(&presenter);
    QTemporaryDir folder;
    UserDefaults defaults(folder.path());
    UserDefaults::setStandardUserDefaults(&defaults);

    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    const QString path = folder.filePath(QStringLiteral("Generated.nv3"));
    const PlistValue generated = DatafileGenerator(31).datafile(count);
    if (!SafeFileWriter::write(path, [&](QIODevice& device) {
             return writePropertyList(generated, device, PlistFormat::Xml);
         }).ok)
        return 1;

    DatafileDocument document;
    EditorWindowController* editor = openInEditorWindow(document, path);
    if (!editor)
        return 1;
    editor->settings()->setHideMargins(true);
    std::printf("%d records of ten fields, %.0f MB in use once open\n", count, residentMegabytes());

    // The command as far as the print panel: the margins, the table and its pages.
    presenter.answerPrintJob(true);
    QElapsedTimer timer;
    timer.start();
    editor->performAction(QStringLiteral("printAllListViewRecords:"));
    const double built = seconds(timer);
    if (presenter.printJobs().isEmpty())
        return 1;
    const std::shared_ptr<PrintableView> view = presenter.printJobs().constLast().request.view;
    const int pages = view->pageCount();
    std::printf("Pages laid out: %.1f ms for %d pages of %lld rows\n", built * 1e3, pages,
                qlonglong(static_cast<TablePrintView&>(*view).rowsPerPage()));

    // Every page drawn into the file, the memory looked at as they go.
    PrintInfo printInfo = presenter.printJobs().constLast().request.printInfo;
    presenter.clear();
    {
        PrintSession session;
        session.setOutputFile(folder.filePath(QStringLiteral("pages.pdf")));
        session.setPaper(printInfo);
        const double before = residentMegabytes();
        double most = before;
        QElapsedTimer drawing;
        drawing.start();
        // Drawn in slices of pages, so that the memory is seen while they are drawn.
        struct Slice : PrintableView {
            PrintableView& whole;
            int first = 0;
            int count = 0;
            explicit Slice(PrintableView& view) : whole(view) {}
            QString printJobTitle() const override { return whole.printJobTitle(); }
            int pageCount() override { return count; }
            void drawPage(QPainter& painter, int index) override
            {
                whole.drawPage(painter, first + index);
            }
        } slice(*view);
        constexpr int SliceLength = 500;
        for (slice.first = 0; slice.first < pages; slice.first += SliceLength) {
            slice.count = std::min(SliceLength, pages - slice.first);
            if (session.print(slice, printInfo) != PrintSession::Outcome::Printed)
                return 1;
            most = std::max(most, residentMegabytes());
        }
        session.finish();
        std::printf("Pages drawn: %.2f s, %.2f ms a page; in use %.0f MB before, at most %.0f MB "
                    "while drawing\n",
                    seconds(drawing), seconds(drawing) * 1e3 / std::max(pages, 1), before, most);
    }

    // The whole command into a file.
    const QString pdf = folder.filePath(QStringLiteral("list.pdf"));
    presenter.answerPrintJob(true, pdf);
    timer.restart();
    editor->performAction(QStringLiteral("printAllListViewRecords:"));
    QCoreApplication::processEvents();
    std::printf("Whole print: %.2f s, %.1f MB of PDF; peak memory of the run %.0f MB\n",
                seconds(timer), double(QFileInfo(pdf).size()) / 1e6, peakMegabytes());

    document.close();
    DatafileDocument::setEditorFactory(nullptr);
    UserDefaults::setStandardUserDefaults(nullptr);
    return 0;
}
