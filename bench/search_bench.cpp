// The find box on a generated datafile of 100,000 records (ten fields, 300 characters of
// text each): a forward search that finds nothing, from the middle record so that it
// wraps and examines every record once, for one key and for two keys joined by "&&"
// whose first is in every record. Case ignored, as the find box searches by default.
//
//   search_bench [RUNS]    (5 runs when not given)
#include "BenchMain.h"
#include "DatafileDocument.h"
#include "DatafileGenerator.h"
#include "EditorSearchController.h"
#include "EditorWindowController.h"
#include "EditorWindowOpening.h"
#include "FindBoxView.h"
#include "PropertyList.h"
#include "SafeFileWriter.h"
#include "ScriptedPresenter.h"
#include "UserDefaults.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int runBenchmark(int argc, char** argv)
{
    ScriptedPresenter presenter;
    Presenter::setShared(&presenter);
    QTemporaryDir folder;
    UserDefaults defaults(folder.path());
    UserDefaults::setStandardUserDefaults(&defaults);
    const int runs = std::max(argc > 1 ? std::atoi(argv[1]) : 5, 1);

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
    EditorSearchController& search = editor->editorSearchController();
    const qint64 middle = editor->engine().selectedRecordCount() / 2;

    const auto time = [&](const QString& text) {
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            editor->engine().loadRecordAtIndex(middle);
            search.searchField()->setPlainText(text);
            QElapsedTimer timer;
            timer.start();
            search.forwardSearch(Qt::NoModifier);
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
            if (editor->engine().indexOfCurrentRecord() != middle)
                return std::vector<double>(); // found something: not a miss
        }
        std::sort(times.begin(), times.end());
        return times;
    };
    const std::vector<double> single = time(QStringLiteral("zqxjv"));
    const std::vector<double> several = time(QStringLiteral("e&&zqxjv"));
    if (single.empty() || several.empty())
        return 1;
    std::printf("%lld records, %d runs, forward miss wrapping once, median (worst) ms: one key "
                "%.1f (%.1f), two keys %.1f (%.1f)\n",
                qlonglong(editor->engine().selectedRecordCount()), runs, single[single.size() / 2],
                single.back(), several[several.size() / 2], several.back());
    document.close();
    DatafileDocument::setEditorFactory(nullptr);
    UserDefaults::setStandardUserDefaults(nullptr);
    Presenter::setShared(nullptr);
    return 0;
}
