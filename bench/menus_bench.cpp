// The Datafiles and Templates menus rebuilt from folders of 5,000 files in 100 folders
// each, as every time Norva comes to the front; ten of the datafiles have hot keys.
#include "ApplicationMenus.h"
#include "BenchMain.h"
#include "MainController.h"
#include "ScriptedPresenter.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int folderCount = 100;
constexpr int filesPerFolder = 50;

struct Folders {
    QTemporaryDir root;
    QString datafiles = root.filePath(QStringLiteral("Datafiles"));
    QString templates = root.filePath(QStringLiteral("Templates"));
    UserDefaults defaults{root.filePath(QStringLiteral("defaults"))};
    std::unique_ptr<MainController> controller;

    Folders()
    {
        make(datafiles, QStringLiteral("nv3"));
        make(templates, QStringLiteral("zlabel"));
        UserDefaults::setStandardUserDefaults(&defaults);
        defaults.setObject(QUrl::fromLocalFile(datafiles).toString() + '/',
                           QStringLiteral("DatafilesFolderURL"));
        defaults.setObject(QUrl::fromLocalFile(templates).toString() + '/',
                           QStringLiteral("TemplatesFolderURL"));
        PlistArray hotKeys;
        for (int key = 1; key <= 10; ++key)
            hotKeys.append(PlistDictionary{
                {QStringLiteral("Mode"), key},
                {QStringLiteral("Path"), QStringLiteral("%1/Folder %2/File %2.nv3")
                                             .arg(datafiles)
                                             .arg(key * 7, 3, 10, QLatin1Char('0'))},
                {QStringLiteral("KeyEquivalent"), QString::number(key % 10)}});
        defaults.setObject(hotKeys, QStringLiteral("HotKeySettings"));
        controller = std::make_unique<MainController>();
        controller->initialize();
    }
    ~Folders() { UserDefaults::setStandardUserDefaults(nullptr); }

    static void make(const QString& top, const QString& extension)
    {
        for (int folder = 0; folder < folderCount; ++folder) {
            const QString path =
                QStringLiteral("%1/Folder %2").arg(top).arg(folder, 3, 10, QLatin1Char('0'));
            QDir().mkpath(path);
            for (int file = 0; file < filesPerFolder; ++file) {
                QFile made(QStringLiteral("%1/File %2.%3")
                               .arg(path)
                               .arg(folder * filesPerFolder + file, 3, 10, QLatin1Char('0'))
                               .arg(extension));
                made.open(QIODevice::WriteOnly);
            }
        }
    }
};

Folders* folders = nullptr;

// The items a rebuild replaces go when control is back in the event loop.
void deleteReplacedItems()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_DatafilesMenu(benchmark::State& state)
{
    for (auto _ : state) {
        folders->controller->setupDatafilesMenu();
        deleteReplacedItems();
    }
    state.counters["items"] =
        double(folders->controller->menus().datafilesMenu()->actions().size());
}

void BM_TemplatesMenu(benchmark::State& state)
{
    for (auto _ : state) {
        folders->controller->setupTemplatesMenu();
        deleteReplacedItems();
    }
}

// What each activation of the application does.
void BM_BothMenusOnActivation(benchmark::State& state)
{
    for (auto _ : state) {
        folders->controller->applicationDidBecomeActive();
        deleteReplacedItems();
    }
}

} // namespace

BENCHMARK(BM_DatafilesMenu)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TemplatesMenu)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BothMenusOnActivation)->Unit(benchmark::kMillisecond);

int runBenchmark(int argc, char** argv)
{
    ScriptedPresenter presenter;
    Presenter::setShared(&presenter);
    int status = 0;
    {
        Folders made;
        folders = &made;
        status = runRegisteredBenchmarks(argc, argv);
        folders = nullptr;
    }
    Presenter::setShared(nullptr);
    return status;
}
