// A generated datafile opened into its editor window, its List View scrolled, the
// Records commands a user repeats most timed in both views, and its records sorted from
// the Sort sheet.
//
//   editor_bench [FILE]    a datafile of 100,000 generated records when none is given
#include "ApplicationMenus.h"
#include "BenchMain.h"
#include "RecordDataTesting.h"
#include "DatafileDocument.h"
#include "DatafileGenerator.h"
#include "EditorTableController.h"
#include "EditorWindowController.h"
#include "FileURL.h"
#include "ListViewModel.h"
#include "PopUpButton.h"
#include "PropertyList.h"
#include "RichTextRecords.h"
#include "SafeFileWriter.h"
#include "ScriptedPresenter.h"
#include "SortFieldBasedRecordsSheetController.h"
#include "UserDefaults.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

// Milliseconds of each run of the command, the events it leaves handled too.
struct Timing {
    double median = 0;
    double worst = 0;
};

template <typename Prepare, typename Command>
Timing timeCommand(int runs, Prepare prepare, Command command)
{
    std::vector<double> times;
    QElapsedTimer timer;
    for (int run = 0; run < runs; ++run) {
        prepare(run);
        QCoreApplication::processEvents();
        timer.restart();
        command();
        QCoreApplication::processEvents();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

void timeRecordsCommands(EditorWindowController* editor, const char* view)
{
    CurrentRecordEngine& engine = editor->engine();
    const qint64 middle = engine.selectedRecordCount() / 2;
    editor->settings()->setNewRecordLocation(1);
    // Each from a record that is not empty, so that each adds one.
    const Timing add = timeCommand(
        20, [&](int run) { engine.loadRecordAtIndex(middle + run); },
        [&] { editor->performAction(QStringLiteral("addRecordWithToggle:")); });
    engine.loadRecordAtIndex(middle);
    const Timing next = timeCommand(50, [](int) {}, [&] {
        editor->performAction(QStringLiteral("goToNextRecord:"));
    });
    const Timing last = timeCommand(
        20, [&](int run) { engine.loadRecordAtIndex(middle + run); },
        [&] { editor->performAction(QStringLiteral("goToLastRecord:")); });
    std::printf("%s View, median (worst) ms: Add Record placed first %.2f (%.2f), Next Record "
                "%.2f (%.2f), Last Record %.2f (%.2f)\n",
                view, add.median, add.worst, next.median, next.worst, last.median, last.worst);
}

// Remove Duplicate Records with every tenth record a copy of another, then Delete All
// Selected Records of 50,000 after the backup copy.
void timeRemovingRecords(EditorWindowController* editor, ScriptedPresenter& presenter,
                         const QString& datafilesFolder)
{
    CurrentRecordEngine& engine = editor->engine();
    engine.catalog()->selectAll();
    const qint64 count = engine.selectedRecordCount();
    for (qint64 index = 0; index + 1 < count; index += 10) {
        const std::shared_ptr<RecordData> source = engine.recordAtIndex(index);
        const std::shared_ptr<RecordData> copy = engine.recordAtIndex(index + 1);
        copy->setFields(source->fields().shallowCopy(), RecordDataTesting::key());
        copy->setTextString(source->textString(), RecordDataTesting::key());
        copy->setTextRTFD(source->textRTFD(), RecordDataTesting::key());
    }
    engine.loadRecordAtIndex(0);
    QElapsedTimer timer;
    timer.start();
    editor->performAction(QStringLiteral("removeDuplicateRecords:"));
    const double removing = double(timer.nsecsElapsed()) / 1e6;
    std::printf("Remove Duplicate Records, %lld records: %.0f ms (\"%s\")\n", qlonglong(count),
                removing, qPrintable(presenter.lastAlert().request.messageText));

    UserDefaults::standardUserDefaults().setObject(
        PlistValue(FileURL::folderURLString(datafilesFolder)),
        QStringLiteral("DatafilesFolderURL"));
    const std::shared_ptr<SubsetSortedData>& catalog = engine.catalog();
    const qint64 before = catalog->count();
    catalog->setSelectedIdentifiers(catalog->selectedIdentifiers().mid(0, 50'000));
    engine.loadRecordAtIndex(0);
    presenter.answerAlerts({AlertFirstButtonReturn});
    timer.restart();
    editor->performAction(QStringLiteral("deleteAllSelectedRecords:"));
    const double deleting = double(timer.nsecsElapsed()) / 1e6;
    std::printf("Delete All Selected Records, %lld of %lld with the backup copy: %.0f ms (%lld "
                "left)\n",
                qlonglong(before - catalog->count()), qlonglong(before), deleting,
                qlonglong(catalog->count()));
}

} // namespace

int runBenchmark(int argc, char** argv)
{
    ScriptedPresenter presenter;
    Presenter::setShared(&presenter);
    QTemporaryDir folder;
    UserDefaults defaults(folder.path());
    UserDefaults::setStandardUserDefaults(&defaults);

    QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (path.isEmpty()) {
        path = folder.filePath(QStringLiteral("Generated.nv3"));
        if (!writeDatafileWithRichText(path, 100'000))
            return 1;
    }

    DatafileDocument::setEditorFactory(
        [](DatafileDocument&) { return std::make_unique<EditorWindowController>(); });
    QElapsedTimer timer;
    timer.start();
    DatafileDocument document;
    document.setFileType(DatafileDocument::ProDatafileType);
    document.setFileURL(QUrl::fromLocalFile(path));
    if (!document.readFromURL(QUrl::fromLocalFile(path), DatafileDocument::ProDatafileType)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return 1;
    }
    const double read = double(timer.nsecsElapsed()) / 1e9;
    document.makeWindowControllers();
    document.showWindows();
    QCoreApplication::processEvents();
    const double shown = double(timer.nsecsElapsed()) / 1e9;

    auto* editor = static_cast<EditorWindowController*>(document.windowControllers().front().get());
    ListViewModel* model = editor->tableController()->listViewModel();
    const int rows = model->rowCount();
    const int columns = model->columnCount();
    // A page of 40 rows at every 100th row: what scrolling through the list asks for.
    timer.restart();
    qint64 cells = 0;
    for (int top = 0; top + 40 < rows; top += 100) {
        for (int row = top; row < top + 40; ++row) {
            for (int column = 0; column < columns; ++column) {
                model->data(model->index(row, column), Qt::DisplayRole);
                ++cells;
            }
        }
    }
    const double perCell = double(timer.nsecsElapsed()) / double(std::max<qint64>(cells, 1));
    std::printf("%d records: read %.3f s, window shown %.3f s; List View data() %.0f ns per cell "
                "(%lld cells)\n",
                rows, read, shown, perCell, qlonglong(cells));

    // Every command of the menu bar validated, as before each key press, the window in front.
    ApplicationMenus menus([editor] { return static_cast<Responder*>(editor); });
    constexpr int passes = 200;
    timer.restart();
    for (int pass = 0; pass < passes; ++pass)
        menus.binding().validateActions();
    std::printf("validating every menu command: %.3f ms per pass\n",
                double(timer.nsecsElapsed()) / 1e6 / passes);

    for (const QString& mode : {EditorTableController::BasicMode, EditorTableController::ListMode}) {
        editor->settings()->setMode(mode);
        editor->tableController()->changeMode(mode);
        timeRecordsCommands(editor, qPrintable(mode));
    }

    // The Sort sheet's OK to the first record shown, by a field of numbers in descending
    // order: the first field's values become numbers first.
    const PlistArray fields = editor->settings()->fields();
    const QString numberField =
        fields.isEmpty() ? QString() : fields.at(0).asDictionary()->stringForKey("Identifier");
    std::mt19937 random(7);
    for (qint64 index = 0; index < editor->engine().selectedRecordCount(); ++index) {
        const std::shared_ptr<RecordData> record = editor->engine().recordAtIndex(index);
        PlistDictionary values = record->fields().shallowCopy();
        values.insert(numberField, QString::number(random() % 1000000) + QStringLiteral(".5"));
        record->setFields(values, RecordDataTesting::key());
    }
    if (!numberField.isEmpty()) {
        editor->performAction(QStringLiteral("sortDatafile:"));
        auto* sheet = VKSheetController::topmostController<SortFieldBasedRecordsSheetController>();
        sheet->primaryPopup()->itemWithTag(0)->trigger();
        sheet->asNumbers()->click();
        sheet->reverseSortCheckbox()->click();
        timer.restart();
        sheet->okay();
        const double sorted = double(timer.nsecsElapsed()) / 1e6;
        std::printf("Sort sheet, by a number field descending: OK to the first record shown in "
                    "%.1f ms\n",
                    sorted);
    }
    timeRemovingRecords(editor, presenter, folder.path());
    document.close();
    DatafileDocument::setEditorFactory(nullptr);
    UserDefaults::setStandardUserDefaults(nullptr);
    return 0;
}
