#include "BenchMain.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QProcess>

#include <cstdio>

#include <sys/resource.h>

#if defined(NORVA_BENCH_WIDGETS)
#include <QApplication>
using BenchApplication = QApplication;
#elif defined(NORVA_BENCH_GUI)
#include <QGuiApplication>
using BenchApplication = QGuiApplication;
#endif

double peakRssMB()
{
    // The high-water mark of this program's own memory. getrusage's maximum outlives an
    // exec: a benchmark started by a larger one (datafile_bench runs each size in a child
    // after generating its datafile) would report its parent's peak instead.
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

std::optional<double> pythonSeconds(const QString& script, const QString& file)
{
    QProcess python;
    python.setProcessChannelMode(QProcess::MergedChannels);
    python.start(QStringLiteral("python3"), {script, file});
    if (!python.waitForFinished(-1) || python.exitCode() != 0)
        return std::nullopt;
    std::optional<double> seconds;
    for (const QByteArray& line : python.readAll().split('\n')) {
        if (line.startsWith("seconds "))
            seconds = line.mid(8).toDouble();
        else if (!line.isEmpty())
            std::printf("  %s\n", line.constData());
    }
    return seconds;
}

int runRegisteredBenchmarks(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

int main(int argc, char** argv)
{
#if defined(NORVA_BENCH_WIDGETS) || defined(NORVA_BENCH_GUI)
    // Measurements need no screen, and a run from a desktop shows no windows.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    BenchApplication application(argc, argv);
#endif
    return runBenchmark(argc, argv);
}
