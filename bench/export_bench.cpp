// Exporting generated records: CSV (UTF-8 and UTF-16) and the text file, text and bytes,
// without the disk. Python's csv.writer is the yardstick (csv_writer_compare.py, run beside
// it on the same machine):
//
//   export_bench [benchmark options]
//   csv_writer_compare.py

#include "BenchMain.h"
#include "DelimitedWriter.h"
#include "PlainTextWriter.h"
#include "RecordData.h"

#include <benchmark/benchmark.h>

#include <QStringList>

#include <map>
#include <random>

namespace {

constexpr int FieldCount = 10;
constexpr int TextLength = 300;

struct Records {
    PlistArray fields;
    QList<std::shared_ptr<RecordData>> records;
};

// Ten fields of names, places and numbers, some with commas, quotes and line breaks to
// clean, and a text of 300 characters of words in several lines; the same every run.
const Records& generated(int count)
{
    static std::map<int, Records> cache;
    Records& entry = cache[count];
    if (!entry.records.isEmpty())
        return entry;
    std::mt19937 random(20261211);
    const QStringList words = {"alpha",       "Zoë",   "river",    "north, east",
                               "say \"hi\"",  "42",    "Ångström", "market",
                               "line\nbreak", "quiet", "ledger",   "café"};
    const auto word = [&] { return words.at(qsizetype(random() % words.size())); };
    QStringList identifiers;
    for (int field = 0; field < FieldCount; ++field) {
        identifiers.append(QStringLiteral("F%1").arg(field));
        entry.fields.append(PlistDictionary{{"Identifier", identifiers.last()},
                                            {"Name", QStringLiteral("Field %1").arg(field + 1)}});
    }
    entry.records.reserve(count);
    for (int i = 0; i < count; ++i) {
        PlistDictionary values;
        for (const QString& identifier : identifiers)
            values.insert(identifier, word() + u' ' + word());
        QString text;
        while (text.size() < TextLength)
            text += word() + (random() % 8 == 0 ? u'\n' : u' ');
        text.truncate(TextLength);
        entry.records.append(RecordData::record(values, text));
    }
    return entry;
}

void exportCSV(benchmark::State& state, bool utf16)
{
    const Records& input = generated(int(state.range(0)));
    const DelimitedWriter::Options options{QStringLiteral("\n"), utf16, true, false};
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray file =
            DelimitedWriter::bytes(DelimitedWriter::Variant::CSV, input.fields,
                                   QStringLiteral("Freeform Text Area"), input.records, options);
        bytes = file.size();
        benchmark::DoNotOptimize(file.constData());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["MB"] = double(bytes) / 1e6;
}

void BM_ExportCSV_Utf8(benchmark::State& state)
{
    exportCSV(state, false);
}

void BM_ExportCSV_Utf16(benchmark::State& state)
{
    exportCSV(state, true);
}

void BM_ExportTextFile(benchmark::State& state)
{
    const Records& input = generated(int(state.range(0)));
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray file = PlainTextWriter::bytes(input.fields, input.records);
        bytes = file.size();
        benchmark::DoNotOptimize(file.constData());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["MB"] = double(bytes) / 1e6;
}

BENCHMARK(BM_ExportCSV_Utf8)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportCSV_Utf16)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportTextFile)->Arg(100'000)->Unit(benchmark::kMillisecond);

} // namespace

int runBenchmark(int argc, char** argv)
{
    return runRegisteredBenchmarks(argc, argv);
}
