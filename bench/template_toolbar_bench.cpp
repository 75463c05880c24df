// The Select Datafile menu of a template's window rebuilt from a datafiles folder of
// 2,000 datafiles in 100 folders, as every time the window comes to the front.
#include "BenchMain.h"
#include "TemplatePageToolbarController.h"
#include "UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QUrl>

#include <benchmark/benchmark.h>

namespace {

constexpr int folderCount = 100;
constexpr int filesPerFolder = 20;

struct Folder {
    QTemporaryDir root;
    QString datafiles = root.filePath(QStringLiteral("Datafiles"));
    UserDefaults defaults{root.filePath(QStringLiteral("defaults"))};

    Folder()
    {
        for (int folder = 0; folder < folderCount; ++folder) {
            const QString path =
                QStringLiteral("%1/Folder %2").arg(datafiles).arg(folder, 3, 10, QLatin1Char('0'));
            QDir().mkpath(path);
            for (int file = 0; file < filesPerFolder; ++file) {
                QFile made(QStringLiteral("%1/File %2.nv3").arg(path).arg(file));
                made.open(QIODevice::WriteOnly);
            }
        }
        UserDefaults::setStandardUserDefaults(&defaults);
        defaults.setObject(QUrl::fromLocalFile(datafiles).toString() + '/',
                           QStringLiteral("DatafilesFolderURL"));
    }
    ~Folder() { UserDefaults::setStandardUserDefaults(nullptr); }
};

void BM_UpdateDatafileMenu(benchmark::State& state)
{
    Folder folder;
    TemplatePageToolbarController toolbar;
    toolbar.updateDatafileMenu();
    for (auto _ : state) {
        toolbar.updateDatafileMenu();
        benchmark::DoNotOptimize(toolbar.datafileMenu()->actions().size());
    }
    state.counters["datafiles"] = folderCount * filesPerFolder;
}
BENCHMARK(BM_UpdateDatafileMenu)->Unit(benchmark::kMillisecond);

} // namespace

int runBenchmark(int argc, char** argv)
{
    return runRegisteredBenchmarks(argc, argv);
}
