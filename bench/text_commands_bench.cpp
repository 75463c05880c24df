// The Freeform Text commands over many records, on generated data: Remove Blank Lines over
// 10,000 selected records of 2 KB rich text, every one of them starting with two blank
// lines (so every record is read, edited and written again). Each run starts from the
// file as generated.
//
//   text_commands_bench [RUNS]    (3 runs when not given)
#include "BenchMain.h"
#include "DatafileDocument.h"
#include "DatafileGenerator.h"
#include "EditorWindowController.h"
#include "EditorWindowOpening.h"
#include "PropertyList.h"
#include "RichTextRecords.h"
#include "SafeFileWriter.h"
#include "ScriptedPresenter.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int RecordCount = 10'000;
constexpr qsizetype TextLength = 2'000;

// Every record's text 2 KB long, rich, after two blank lines.
PlistValue datafileWithBlankLines()
{
    PlistValue datafile = generateDatafile(RecordCount);
    PlistDictionary* records =
        datafile.asDictionary()->find(QStringLiteral("Records"))->asDictionary();
    for (const QString& identifier : records->keys()) {
        PlistDictionary* record = records->find(identifier)->asDictionary();
        const QString text = record->find(QStringLiteral("TextString"))->stringValue();
        QString longer = text;
        while (!text.isEmpty() && longer.size() < TextLength)
            longer += QLatin1Char(' ') + text;
        longer.prepend(QStringLiteral("\n\n"));
        record->insert(QStringLiteral("TextString"), longer);
        record->insert(QStringLiteral("TextRTFD"), styledRtfd(longer));
    }
    return datafile;
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int runBenchmark(int argc, char** argv)
{
    ScriptedPresenter presenter;
    Presenter::setShared(&presenter);
    QTemporaryDir folder;
    UserDefaults defaults(folder.filePath(QStringLiteral("defaults")));
    UserDefaults::setStandardUserDefaults(&defaults);
    const int runs = std::max(argc > 1 ? std::atoi(argv[1]) : 3, 1);

    const QString path = folder.filePath(QStringLiteral("BlankLines.nv3"));
    const PlistValue datafile = datafileWithBlankLines();
    if (!SafeFileWriter::write(path, [&](QIODevice& device) {
             return writePropertyList(datafile, device, PlistFormat::Xml);
         }).ok)
        return 1;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        DatafileDocument document;
        EditorWindowController* editor = openInEditorWindow(document, path);
        if (!editor)
            return 1;
        QElapsedTimer timer;
        timer.start();
        editor->performAction(QStringLiteral("removeBlankLines:"));
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        const std::shared_ptr<RecordData> last = editor->engine().recordAtIndex(RecordCount - 1);
        if (!last || last->textString().startsWith(QLatin1Char('\n'))) {
            std::fprintf(stderr, "the blank lines stayed\n");
            return 1;
        }
        document.close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::printf("Remove Blank Lines, %d records of %lld characters of rich text, %d runs, "
                "median (worst) ms: %.1f (%.1f)\n",
                RecordCount, static_cast<long long>(TextLength), runs, median(times),
                *std::max_element(times.begin(), times.end()));
    return 0;
}
