// Property-list speed on generated datafiles, plus a few command-line modes so that
// outside tools can check our output and memory can be measured in a fresh process:
//
//   plist_bench [benchmark options]
//   plist_bench --convert IN OUT --xml|--binary
//   plist_bench --generate N OUT [--xml|--binary]
//   plist_bench --measure-read FILE
//   plist_bench --measure-write FILE

#include "BenchMain.h"
#include "PlistBinaryReader.h"
#include "PlistBinaryWriter.h"
#include "PlistXmlReader.h"
#include "PlistXmlWriter.h"
#include "PropertyList.h"
#include "SafeFileWriter.h"

#include <benchmark/benchmark.h>

#include "DatafileGenerator.h"
#include <QBuffer>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUuid>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string_view>
#include <unistd.h>

namespace {

// ---- the benchmark cases ----

// One generated datafile per size, with its serialised forms, built on first use.
struct Corpus {
    PlistValue value;
    std::optional<QByteArray> xml;
    std::optional<QByteArray> binary;
};

Corpus& corpus(int recordCount)
{
    static std::map<int, std::unique_ptr<Corpus>> cache;
    std::unique_ptr<Corpus>& entry = cache[recordCount];
    if (!entry)
        entry = std::make_unique<Corpus>(Corpus{generateDatafile(recordCount), {}, {}});
    return *entry;
}

const QByteArray& serialised(int recordCount, PlistFormat format)
{
    Corpus& c = corpus(recordCount);
    std::optional<QByteArray>& bytes = format == PlistFormat::Xml ? c.xml : c.binary;
    if (!bytes)
        bytes = propertyListBytes(c.value, format);
    return *bytes;
}

// Reads the bytes over and over; freeing what was read is not counted.
void timeReading(benchmark::State& state, const QByteArray& bytes,
                 PlistReadResult (*read)(QByteArrayView), const char* sizeCounter)
{
    for (auto _ : state) {
        PlistReadResult result = read(bytes);
        if (!result.ok()) {
            state.SkipWithError("the reader failed");
            break;
        }
        // Freeing a hundred thousand records is not part of reading them.
        state.PauseTiming();
        result = {};
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.counters[sizeCounter] = double(bytes.size()) / 1e6;
}

void readBenchmark(benchmark::State& state, PlistFormat format)
{
    const QByteArray& bytes = serialised(int(state.range(0)), format);
    if (bytes.isEmpty()) {
        state.SkipWithError("the writer produced nothing to read");
        return;
    }
    PlistReadResult (*read)(QByteArrayView) = PlistBinaryReader::read;
    if (format == PlistFormat::Xml)
        read = [](QByteArrayView b) { return PlistXmlReader::read(b); };
    timeReading(state, bytes, read, "file_MB");
}

void writeBenchmark(benchmark::State& state, PlistFormat format)
{
    const PlistValue& value = corpus(int(state.range(0))).value;
    const qsizetype expectedSize = serialised(int(state.range(0)), format).size();
    // Touch the buffer once, so page faults on fresh memory are not counted as writing.
    QByteArray storage(expectedSize + expectedSize / 8, '\0');
    storage.resize(0);
    for (auto _ : state) {
        storage.resize(0);
        QBuffer buffer(&storage);
        buffer.open(QIODevice::WriteOnly);
        const bool ok = format == PlistFormat::Xml ? PlistXmlWriter::write(value, buffer)
                                                   : PlistBinaryWriter::write(value, buffer);
        if (!ok) {
            state.SkipWithError("the writer failed");
            break;
        }
        benchmark::DoNotOptimize(storage.data());
    }
    state.SetBytesProcessed(state.iterations() * storage.size());
    state.counters["file_MB"] = double(storage.size()) / 1e6;
}

void BM_XmlRead(benchmark::State& state)
{
    readBenchmark(state, PlistFormat::Xml);
}
void BM_XmlWrite(benchmark::State& state)
{
    writeBenchmark(state, PlistFormat::Xml);
}
void BM_BinaryRead(benchmark::State& state)
{
    readBenchmark(state, PlistFormat::Binary);
}
void BM_BinaryWrite(benchmark::State& state)
{
    writeBenchmark(state, PlistFormat::Binary);
}

// Old-style text of about 10 MB: the generated datafile's records, as many as it takes.
const QByteArray& openStepText()
{
    static const QByteArray text = [] {
        constexpr qsizetype wanted = 10'000'000;
        // The size per record settles as the records grow: one estimate, then one correction.
        int records = 1'000;
        QByteArray bytes;
        for (int round = 0; round < 3; ++round) {
            bytes = propertyListBytes(generateDatafile(records), PlistFormat::OpenStep);
            records = int(qint64(records) * wanted / std::max<qsizetype>(bytes.size(), 1)) + 1;
        }
        return bytes;
    }();
    return text;
}

void BM_OpenStepRead(benchmark::State& state)
{
    timeReading(state, openStepText(), [](QByteArrayView b) { return readOpenStepPropertyList(b); },
                "text_MB");
}

BENCHMARK(BM_OpenStepRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XmlRead)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XmlWrite)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BinaryRead)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BinaryWrite)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// ---- command-line modes ----

void fail(const QString& message)
{
    std::fprintf(stderr, "plist_bench: %s\n", qPrintable(message));
}

rusage resourceUsage()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage;
}

double peakRssMB()
{
    return double(resourceUsage().ru_maxrss) * 1024.0 / 1e6;
} // in kilobytes

// Fresh memory costs a page fault per page, which on some virtual machines
// outweighs the parsing; the count tells how much of the time that may be.
long minorFaults()
{
    return resourceUsage().ru_minflt;
}

double currentRssMB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> pages = statm.readAll().split(' ');
    return pages.size() > 1 ? pages[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / 1e6 : 0;
}

class Stopwatch {
public:
    double seconds() const
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    }

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

// Reads the way a document does: from an open file, read whole into memory of its own.
std::optional<PlistValue> readValue(const QString& path, PlistFormat* format = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    if (format)
        *format =
            PlistBinaryReader::isBinary(file.peek(8)) ? PlistFormat::Binary : PlistFormat::Xml;
    PlistReadResult result = readPropertyList(file);
    if (!result.ok()) {
        fail(QStringLiteral("cannot read %1: %2").arg(path, result.error->toString()));
        return std::nullopt;
    }
    return std::move(result.value);
}

bool writeValue(const PlistValue& value, const QString& path, PlistFormat format)
{
    const SafeFileWriter::Result result = SafeFileWriter::write(
        path, [&](QIODevice& device) { return writePropertyList(value, device, format); });
    if (!result.ok) {
        fail(QStringLiteral("cannot write %1 as %2: %3")
                 .arg(path, format == PlistFormat::Xml ? "XML" : "binary", result.errorString));
    }
    return result.ok;
}

// False when the option names no format.
bool parseFormat(std::string_view option, PlistFormat& format)
{
    if (option != "--xml" && option != "--binary")
        return false;
    format = option == "--xml" ? PlistFormat::Xml : PlistFormat::Binary;
    return true;
}

const char* formatName(PlistFormat format)
{
    return format == PlistFormat::Xml ? "xml" : "binary";
}

int convert(const QString& in, const QString& out, PlistFormat format)
{
    const std::optional<PlistValue> value = readValue(in);
    return value && writeValue(*value, out, format) ? 0 : 1;
}

int generate(int recordCount, const QString& out, PlistFormat format)
{
    return writeValue(generateDatafile(recordCount), out, format) ? 0 : 1;
}

int measureRead(const QString& path)
{
    const double fileMB = double(QFileInfo(path).size()) / 1e6;
    PlistFormat format = PlistFormat::Xml;
    const long faultsBefore = minorFaults();
    const Stopwatch stopwatch;
    const std::optional<PlistValue> value = readValue(path, &format);
    const double seconds = stopwatch.seconds();
    const long faults = minorFaults() - faultsBefore;
    if (!value)
        return 1;
    std::printf("read %s: %.1f MB in %.3f s = %.1f MB/s; %ld page faults\n", formatName(format),
                fileMB, seconds, fileMB / seconds, faults);
    std::printf("RSS holding the value %.1f MB; peak RSS %.1f MB = %.2f x file size\n",
                currentRssMB(), peakRssMB(), peakRssMB() / fileMB);
    return 0;
}

int measureWrite(const QString& path)
{
    PlistFormat format = PlistFormat::Xml;
    const std::optional<PlistValue> value = readValue(path, &format);
    if (!value)
        return 1;
    QTemporaryDir folder;
    if (!folder.isValid()) {
        fail(QStringLiteral("cannot make a temporary folder: %1").arg(folder.errorString()));
        return 1;
    }
    const QString out = folder.filePath(QStringLiteral("written.plist"));
    const double peakBefore = peakRssMB();
    const double valueRss = currentRssMB();

    const long faultsBefore = minorFaults();
    const Stopwatch stopwatch;
    if (!writeValue(*value, out, format))
        return 1;
    const double seconds = stopwatch.seconds();
    const long faults = minorFaults() - faultsBefore;
    const double outMB = double(QFile(out).size()) / 1e6;
    std::printf("write %s: %.1f MB in %.3f s = %.1f MB/s; %ld page faults\n", formatName(format),
                outMB, seconds, outMB / seconds, faults);
    std::printf("RSS holding the value %.1f MB; peak RSS %.1f MB before the write (reading), "
                "%.1f MB after\n",
                valueRss, peakBefore, peakRssMB());
    return 0;
}

// Runs a command-line mode; nullopt when argv asks for the benchmark instead.
std::optional<int> runMode(int argc, char** argv)
{
    if (argc < 2)
        return std::nullopt;
    const std::string_view mode = argv[1];
    const auto arg = [&](int i) { return QString::fromLocal8Bit(argv[i]); };
    if (mode == "--convert") {
        PlistFormat format = PlistFormat::Xml;
        if (argc != 5 || !parseFormat(argv[4], format)) {
            fail("usage: plist_bench --convert IN OUT --xml|--binary");
            return 2;
        }
        return convert(arg(2), arg(3), format);
    }
    if (mode == "--generate") {
        PlistFormat format = PlistFormat::Xml;
        bool isNumber = false;
        const int recordCount = argc > 2 ? arg(2).toInt(&isNumber) : 0;
        if ((argc != 4 && argc != 5) || (argc == 5 && !parseFormat(argv[4], format)) || !isNumber ||
            recordCount < 0) {
            fail("usage: plist_bench --generate N OUT [--xml|--binary]");
            return 2;
        }
        return generate(recordCount, arg(3), format);
    }
    if (mode == "--measure-read" || mode == "--measure-write") {
        if (argc != 3) {
            fail(QStringLiteral("usage: plist_bench %1 FILE").arg(argv[1]));
            return 2;
        }
        return mode == "--measure-read" ? measureRead(arg(2)) : measureWrite(arg(2));
    }
    return std::nullopt;
}

} // namespace

int runBenchmark(int argc, char** argv)
{
    if (const std::optional<int> status = runMode(argc, argv))
        return *status;
    return runRegisteredBenchmarks(argc, argv);
}
