// A datafile end to end: reading it into the model (settings, records, catalog) and
// saving it, as the document does.
//
//   datafile_bench --generate N OUT     writes a realistic datafile of N records
//   datafile_bench --open FILE          times reading it into the model
//   datafile_bench --roundtrip IN OUT   reads IN (a catalog that does not match its
//                                       records is rebuilt) and saves OUT
//   datafile_bench                      all of it on a generated datafile of 100,000 records
#include "DatafileFormat.h"
#include "DatafileGenerator.h"
#include "PropertyList.h"
#include "SafeFileWriter.h"
#include "SubsetSortedData.h"

#include <QGuiApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

namespace {

double peakRssMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

double fileMB(const QString& path)
{
    return double(QFileInfo(path).size()) / (1024.0 * 1024.0);
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
    std::printf("open %.1f MB, %lld records: %.3f s; peak RSS %.1f MB = %.2f x file\n",
                fileMB(path), qlonglong(datafile->records->count()), seconds, peakRssMB(),
                peakRssMB() / fileMB(path));
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
    const DatafileFormat::Parts parts{datafile->settings->dictionary(),
                                      datafile->records->dictionary(),
                                      datafile->catalog->sortedArray()};
    const SafeFileWriter::Result saved = SafeFileWriter::write(
        out, [&](QIODevice& device) { return DatafileFormat::write(parts, device); });
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

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    const std::string_view mode = argc > 1 ? argv[1] : "";
    const auto arg = [&](int i) { return QString::fromLocal8Bit(argv[i]); };
    if (mode == "--generate" && argc == 4)
        return generate(arg(2).toInt(), arg(3));
    if (mode == "--open" && argc == 3)
        return open(arg(2));
    if (mode == "--roundtrip" && argc == 4)
        return roundtrip(arg(2), arg(3));
    if (argc != 1) {
        std::fprintf(
            stderr,
            "usage: datafile_bench [--generate N OUT | --open FILE | --roundtrip IN OUT]\n");
        return 2;
    }
    QTemporaryDir folder;
    const QString in = folder.filePath(QStringLiteral("Generated.nv3"));
    const QString out = folder.filePath(QStringLiteral("Saved.nv3"));
    if (generate(100'000, in) != 0)
        return 1;
    return roundtrip(in, out);
}
