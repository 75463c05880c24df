// A datafile end to end: reading it into the model (settings, records, catalog), into
// its editor window, saving it and closing it, as the application does.
//
//   datafile_bench --generate N OUT     writes a realistic datafile of N records
//   datafile_bench --parse FILE         times the property-list parse alone, on one core
//                                       and on all of them
//   datafile_bench --open FILE          times reading it into the model
//   datafile_bench --roundtrip IN OUT   reads IN (a catalog that does not match its
//                                       records is rebuilt) and saves OUT
//   datafile_bench --document IN OUT    opens IN into its window, saves it as OUT, closes it
//   datafile_bench [N ...]              --document on generated datafiles of N records
//                                       (10,000, 100,000 and 200,000 when none is given),
//                                       each in a process of its own for its peak memory
#include "BackgroundRelease.h"
#include "BenchMain.h"
#include "DatafileFormat.h"
#include "DatafileGenerator.h"
#include "EditorWindowOpening.h"
#include "PlistXmlReader.h"
#include "PropertyList.h"
#include "SafeFileWriter.h"
#include "SubsetSortedData.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>


#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

namespace {

double fileMB(const QString& path)
{
    return double(QFileInfo(path).size()) / (1024.0 * 1024.0);
}

double secondsSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

int generate(int recordCount, const QString& out)
{
    const PlistValue datafile = generateDatafile(recordCount);
    const SafeFileWriter::Result written = SafeFileWriter::write(out, [&](QIODevice& device) {
        return writePropertyList(datafile, device, PlistFormat::Xml);
    });
    if (!written.ok)
        std::fprintf(stderr, "%s\n", qPrintable(written.errorString));
    return written.ok ? 0 : 1;
}

// The model of an open datafile.
struct Datafile {
    std::shared_ptr<DatafileSettingsData> settings;
    std::shared_ptr<DatafileRecordsData> records;
    std::shared_ptr<SubsetSortedData> catalog;
};

std::optional<Datafile> openDatafile(const QString& path, double* seconds)
{
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return std::nullopt;
    }
    DatafileFormat::Result<DatafileFormat::Contents> read = DatafileFormat::read(file);
    if (!read.ok()) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(path),
                     qPrintable(read.error.message));
        return std::nullopt;
    }
    DatafileFormat::Contents& contents = *read.value;
    if (!contents.catalogMatchesRecords)
        contents.catalog = DatafileFormat::catalogForRecords(contents.records->dictionary());
    Datafile datafile{contents.settings, contents.records,
                      SortedData::catalogWithSortedArray<SubsetSortedData>(
                          contents.catalog, contents.records, contents.settings->criteria())};
    *seconds = double(timer.nsecsElapsed()) / 1e9;
    return datafile;
}

int open(const QString& path)
{
    double seconds = 0;
    const std::optional<Datafile> datafile = openDatafile(path, &seconds);
    if (!datafile)
        return 1;
    std::printf("open %.1f MB, %lld records: %.3f s = %.0f MB/s; peak RSS %.1f MB = %.2f x file\n",
                fileMB(path), qlonglong(datafile->records->count()), seconds,
                fileMB(path) / seconds, peakRssMB(), peakRssMB() / fileMB(path));
    return 0;
}

int parse(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray bytes = file.readAll();
    for (const bool oneCore : {true, false}) {
        QElapsedTimer timer;
        timer.start();
        const PlistReadResult read =
            oneCore ? PlistXmlReader::readOnOneCore(bytes) : PlistXmlReader::read(bytes);
        const double seconds = secondsSince(timer);
        if (!read.ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(read.error->toString()));
            return 1;
        }
        std::printf("parse %.1f MB on %s: %.3f s = %.0f MB/s\n", fileMB(path),
                    oneCore ? "one core" : "all cores", seconds, fileMB(path) / seconds);
    }
    return 0;
}

// Open, window shown, save and close, each timed, with the peak memory after opening and
// at the end.
int document(const QString& in, const QString& out)
{
    QTemporaryDir defaultsFolder;
    UserDefaults defaults(defaultsFolder.path());
    UserDefaults::setStandardUserDefaults(&defaults);
    auto document = std::make_unique<DatafileDocument>();
    EditorWindowOpeningTimes opening;
    if (!openInEditorWindow(*document, in, &opening)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(in));
        return 1;
    }
    const double openedPeak = peakRssMB();
    BackgroundRelease::waitUntilReleased();
    QElapsedTimer timer;
    timer.start();
    if (!document->writeToURL(QUrl::fromLocalFile(out), DatafileDocument::ProDatafileType)) {
        std::fprintf(stderr, "cannot save %s\n", qPrintable(out));
        return 1;
    }
    const double save = secondsSince(timer);
    timer.restart();
    document->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // its window goes
    document.reset();
    const double close = secondsSince(timer);
    const double mb = fileMB(in);
    std::printf("%6.1f MB: open %.3f s = %4.0f MB/s, window shown %.3f s, save %.3f s, close "
                "%.3f s; peak RSS opened %.0f MB = %.2f x file, at the end %.0f MB = %.2f x\n",
                mb, opening.read, mb / opening.read, opening.shown, save, close, openedPeak,
                openedPeak / mb, peakRssMB(), peakRssMB() / mb);
    DatafileDocument::setEditorFactory(nullptr);
    UserDefaults::setStandardUserDefaults(nullptr);
    return 0;
}

int roundtrip(const QString& in, const QString& out)
{
    double openSeconds = 0;
    const std::optional<Datafile> datafile = openDatafile(in, &openSeconds);
    if (!datafile)
        return 1;
    QElapsedTimer timer;
    timer.start();
    const SafeFileWriter::Result saved = SafeFileWriter::write(out, [&](QIODevice& device) {
        return DatafileFormat::write(datafile->settings->dictionary(), *datafile->records,
                                     datafile->catalog->sortedArray(), device);
    });
    const double saveSeconds = double(timer.nsecsElapsed()) / 1e9;
    if (!saved.ok) {
        std::fprintf(stderr, "cannot save %s: %s\n", qPrintable(out), qPrintable(saved.errorString));
        return 1;
    }
    std::printf("open %.1f MB: %.3f s; save %.1f MB: %.3f s; peak RSS %.1f MB = %.2f x file\n",
                fileMB(in), openSeconds, fileMB(out), saveSeconds, peakRssMB(),
                peakRssMB() / fileMB(in));
    return 0;
}

} // namespace

int runBenchmark(int argc, char** argv)
{

    const std::string_view mode = argc > 1 ? argv[1] : "";
    const auto arg = [&](int i) { return QString::fromLocal8Bit(argv[i]); };
    if (mode == "--generate" && argc == 4)
        return generate(arg(2).toInt(), arg(3));
    if (mode == "--open" && argc == 3)
        return open(arg(2));
    if (mode == "--parse" && argc == 3)
        return parse(arg(2));
    if (mode == "--roundtrip" && argc == 4)
        return roundtrip(arg(2), arg(3));
    if (mode == "--document" && argc == 4)
        return document(arg(2), arg(3));
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.append(arg(i).toInt());
    if (sizes.contains(0)) {
        std::fprintf(stderr, "usage: datafile_bench [--generate N OUT | --parse FILE | --open FILE "
                             "| --roundtrip IN OUT | --document IN OUT | N ...]\n");
        return 2;
    }
    if (sizes.isEmpty())
        sizes = {10'000, 100'000, 200'000};
    for (const int size : sizes) {
        QTemporaryDir folder;
        const QString in = folder.filePath(QStringLiteral("Generated.nv3"));
        const QString out = folder.filePath(QStringLiteral("Saved.nv3"));
        if (generate(size, in) != 0)
            return 1;
        std::printf("%7d records ", size);
        std::fflush(stdout);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {"--document", in, out});
        if (!child.waitForFinished(-1) || child.exitCode() != 0)
            return 1;
    }
    return 0;
}
