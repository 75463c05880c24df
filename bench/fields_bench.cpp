// Modify Fields on a generated datafile of 100,000 records and ten fields: the time from
// the sheet's OK, after one field was deleted in it, until the values of that field have
// left every record and the window's tables are rebuilt.
//
//   fields_bench [RUNS]    one field fewer each run (5 runs when not given, at most 9)
#include "BenchMain.h"
#include "DatafileDocument.h"
#include "DatafileGenerator.h"
#include "EditorWindowController.h"
#include "EditorWindowOpening.h"
#include "ModifyFieldsSheetController.h"
#include "PropertyList.h"
#include "SafeFileWriter.h"
#include "ScriptedPresenter.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int runBenchmark(int argc, char** argv)
{
    ScriptedPresenter presenter; // the question before deleting gets its default, "Delete"
    Presenter::setShared(&presenter);
    QTemporaryDir folder;
    UserDefaults defaults(folder.path());
    UserDefaults::setStandardUserDefaults(&defaults);
    const int runs = std::clamp(argc > 1 ? std::atoi(argv[1]) : 5, 1, 9);

    const QString path = folder.filePath(QStringLiteral("Generated.nv3"));
    const PlistValue generated = generateDatafile(100'000);
    if (!SafeFileWriter::write(path, [&](QIODevice& device) {
             return writePropertyList(generated, device, PlistFormat::Xml);
         }).ok)
        return 1;

    DatafileDocument document;
    EditorWindowController* editor = openInEditorWindow(document, path);
    if (!editor)
        return 1;

    std::vector<double> okay;
    std::vector<double> shown;
    for (int run = 0; run < runs; ++run) {
        editor->performAction(QStringLiteral("modifyFields:"));
        auto* sheet = VKSheetController::topmostController<ModifyFieldsSheetController>();
        if (!sheet)
            return 1;
        QAbstractItemModel* table = sheet->fieldTableView()->model();
        const int row = table->rowCount() / 2;
        sheet->fieldTableView()->selectionModel()->select(
            QItemSelection(table->index(row, 0), table->index(row, 1)),
            QItemSelectionModel::ClearAndSelect);
        sheet->deleteField();
        QElapsedTimer timer;
        timer.start();
        sheet->okay();
        okay.push_back(double(timer.nsecsElapsed()) / 1e6);
        QCoreApplication::processEvents();
        shown.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    std::printf("%lld records, %d runs deleting one field each (10 fields at first), median "
                "(worst) ms: OK to values dropped and tables rebuilt %.1f (%.1f), to the window "
                "redrawn %.1f (%.1f)\n",
                qlonglong(editor->engine().catalog()->count()), runs, median(okay),
                *std::max_element(okay.begin(), okay.end()), median(shown),
                *std::max_element(shown.begin(), shown.end()));
    document.close();
    DatafileDocument::setEditorFactory(nullptr);
    UserDefaults::setStandardUserDefaults(nullptr);
    Presenter::setShared(nullptr);
    return 0;
}
