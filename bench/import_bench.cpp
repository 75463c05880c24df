// CSV import of a large file into a new datafile: the text read and decoded, parsed and
// added through the record sink, each timed apart, beside Python's csv module reading the
// same file.
//   import_bench [benchmark options]       parse and sink of generated text
//   import_bench --generate OUT            100,000 rows of 10 values, about 50 MB
//   import_bench --measure FILE            the steps timed once, then Python's csv module

#include "BenchMain.h"
#include "CSVRecordReader.h"
#include "DatafileDocument.h"
#include "DocumentOnlyWindow.h"
#include "FeatureContext.h"
#include "ImportRecordSink.h"
#include "TextFileDecoding.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>
#include <string_view>

namespace {

constexpr int RowCount = 100'000;
constexpr int ColumnCount = 10;

double secondsSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

// Rows of values as delimited export writes them, some holding commas, quotation marks
// and line ends; about 500 bytes a row.
QByteArray generateCSV(int rows)
{
    static const char* const words[] = {"alpha", "bravo", "charlie", "delta", "echo",
                                        "foxtrot", "golf",  "hotel",   "india", "juliet"};
    QRandomGenerator random(58);
    QByteArray text;
    text.reserve(qsizetype(rows) * 520);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < ColumnCount; ++column) {
            if (column > 0)
                text.append(',');
            QByteArray value;
            while (value.size() < 40)
                value.append(words[random.bounded(10)]).append(' ');
            const int kind = random.bounded(10);
            if (kind == 0) {
                text.append("\"" + value + ", said \"\"" + words[random.bounded(10)] + "\"\"\"");
            } else if (kind == 1) {
                text.append("\"" + value + "\nsecond line\"");
            } else {
                text.append(value);
            }
        }
        text.append('\n');
    }
    return text;
}

// A new datafile of numbered fields, headless, as the sink fills one.
struct NewDatafile {
    NewDatafile()
    {
        QStringList names;
        for (int column = 1; column <= ColumnCount; ++column)
            names.append(QString::number(column));
        document.datafileSettings()->setFields(DatafileDocument::arrayForFieldNames(names));
    }
    DatafileDocument document;
    DocumentOnlyWindow window{document};
    FeatureContext context{window};
};

QList<ImportRecordSink::Record> sinkRecords(const CSVRecordReader::Result& parsed)
{
    QList<ImportRecordSink::Record> records;
    records.reserve(parsed.records.size());
    for (const QStringList& values : parsed.records)
        records.append({values, std::nullopt, {}});
    return records;
}

void BM_ParseCSV(benchmark::State& state)
{
    const QString text = QString::fromUtf8(generateCSV(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(CSVRecordReader::convertCSVtoArrayOfRecords(text));
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_ParseCSV)->Arg(10'000)->Unit(benchmark::kMillisecond);

void BM_SinkCSV(benchmark::State& state)
{
    const CSVRecordReader::Result parsed = CSVRecordReader::convertCSVtoArrayOfRecords(
        QString::fromUtf8(generateCSV(int(state.range(0)))));
    const QList<ImportRecordSink::Record> records = sinkRecords(parsed);
    for (auto _ : state) {
        state.PauseTiming();
        auto datafile = std::make_unique<NewDatafile>();
        state.ResumeTiming();
        benchmark::DoNotOptimize(ImportRecordSink::add(datafile->context, records, {}));
        state.PauseTiming();
        datafile.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SinkCSV)->Arg(10'000)->Unit(benchmark::kMillisecond);

int generate(const QString& out)
{
    QFile file(out);
    if (!file.open(QIODevice::WriteOnly) || file.write(generateCSV(RowCount)) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s: %d rows, %.1f MB\n", qPrintable(out), RowCount, double(file.size()) / 1e6);
    return 0;
}


int measure(const QString& path)
{
    const double fileMB = double(QFileInfo(path).size()) / 1e6;
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const std::optional<QString> text = TextFileDecoding::decode(file.readAll());
    file.close();
    const double readSeconds = secondsSince(timer);
    if (!text)
        return 1;

    timer.start();
    const CSVRecordReader::Result parsed = CSVRecordReader::convertCSVtoArrayOfRecords(*text);
    const double parseSeconds = secondsSince(timer);

    NewDatafile datafile;
    timer.start();
    const qint64 added = ImportRecordSink::add(datafile.context, sinkRecords(parsed), {});
    const double sinkSeconds = secondsSince(timer);

    const double ours = parseSeconds + sinkSeconds;
    std::printf("%.1f MB, %lld records of %lld fields\n", fileMB, qlonglong(added),
                qlonglong(parsed.fieldCount));
    std::printf("read and decode %.3f s, parse %.3f s (%.1f MB/s), sink %.3f s; parse and sink "
                "%.3f s, with reading %.3f s\n",
                readSeconds, parseSeconds, fileMB / parseSeconds, sinkSeconds, ours,
                ours + readSeconds);
    std::printf("peak RSS %.1f MB = %.2f x file size\n", peakRssMB(), peakRssMB() / fileMB);
    std::fflush(stdout);
    if (const std::optional<double> python =
            pythonSeconds(QStringLiteral(NORVA_BENCH_DIR "/csv_compare.py"), path))
        std::printf("python csv %.3f s; python / ours (parse and sink) = %.2f, python / our "
                    "parse = %.2f\n",
                    *python, *python / ours, *python / parseSeconds);
    else
        std::printf("python csv: could not run\n");
    return 0;
}

} // namespace

int runBenchmark(int argc, char** argv)
{
    const std::string_view mode = argc > 1 ? argv[1] : "";
    if (mode == "--generate" && argc == 3)
        return generate(QString::fromLocal8Bit(argv[2]));
    if (mode == "--measure" && argc == 3)
        return measure(QString::fromLocal8Bit(argv[2]));
    return runRegisteredBenchmarks(argc, argv);
}
