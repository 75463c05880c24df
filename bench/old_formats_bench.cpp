// A Norva 1 datafile of 100,000 records brought in: its field names from the resource
// fork, its data fork read into records, and the records added to a new datafile through
// the record sink.

#include "BenchMain.h"
#include "DatafileDocument.h"
#include "DocumentOnlyWindow.h"
#include "FeatureContext.h"
#include "ImportDataFileController.h"
#include "ImportRecordSink.h"
#include "Norva1DatafileReader.h"
#include "OldMacFiles.h"
#include "ResourceFork.h"

#include <benchmark/benchmark.h>

#include <QRandomGenerator>

namespace {

const QList<QByteArray> FieldNames{"Last", "First", "Company", "Phone", "City", "spare"};

// Records of five field lines (one in ten left empty) and a few lines of text, in Mac
// OS Roman with carriage returns; about 150 bytes a record.
QByteArray generateDataFork(int records)
{
    static const char* const words[] = {"alpha", "bravo", "Caf\x8E", "delta", "echo",
                                        "foxtrot", "golf", "hotel", "india", "juliet"};
    QRandomGenerator random(62);
    QByteArray fork;
    fork.reserve(qsizetype(records) * 160);
    for (int record = 0; record < records; ++record) {
        for (qsizetype field = 0; field + 1 < FieldNames.size(); ++field) {
            if (random.bounded(10) != 0)
                fork.append(words[random.bounded(10)]).append(' ').append(words[random.bounded(10)]);
            fork.append('\r');
        }
        for (int line = random.bounded(4); line > 0; --line)
            fork.append("notes on ").append(words[random.bounded(10)]).append('\r');
        fork.append('\x06');
    }
    return fork;
}

struct NewDatafile {
    explicit NewDatafile(const QStringList& names)
    {
        document.datafileSettings()->setFields(DatafileDocument::arrayForFieldNames(names));
    }
    DatafileDocument document;
    DocumentOnlyWindow window{document};
    FeatureContext context{window};
};

// As the import reads it: names, text, records, and the records as the sink takes them.
QList<ImportRecordSink::Record> readNorva1(const QByteArray& resourceFork,
                                           const QByteArray& dataFork, QStringList& names)
{
    const std::optional<ResourceFork> fork = ResourceFork::read(resourceFork);
    names = Norva1DatafileReader::fieldNames(
        fork->get1IndResource(ResourceFork::fourCharCode("Pfld"), 1).value_or(QByteArray()));
    Norva1DatafileReader::Result read = Norva1DatafileReader::records(
        Norva1DatafileReader::dataForkText(dataFork), names.size(), [] { return false; });
    return ImportDataFileController::sinkRecords(std::move(read.records));
}

void BM_Norva1Read(benchmark::State& state)
{
    const QByteArray resourceFork =
        old_mac_files::norva1ResourceFork(quint16(FieldNames.size()), FieldNames);
    const QByteArray dataFork = generateDataFork(int(state.range(0)));
    QStringList names;
    for (auto _ : state)
        benchmark::DoNotOptimize(readNorva1(resourceFork, dataFork, names));
    state.SetBytesProcessed(state.iterations() * dataFork.size());
}
BENCHMARK(BM_Norva1Read)->Arg(100'000)->Unit(benchmark::kMillisecond);

// The whole import but its window: read, then every record into a new datafile.
void BM_Norva1ReadAndSink(benchmark::State& state)
{
    const QByteArray resourceFork =
        old_mac_files::norva1ResourceFork(quint16(FieldNames.size()), FieldNames);
    const QByteArray dataFork = generateDataFork(int(state.range(0)));
    for (auto _ : state) {
        QStringList names;
        const QList<ImportRecordSink::Record> records = readNorva1(resourceFork, dataFork, names);
        state.PauseTiming();
        auto datafile = std::make_unique<NewDatafile>(names);
        state.ResumeTiming();
        benchmark::DoNotOptimize(ImportRecordSink::add(datafile->context, records, {false, false}));
        state.PauseTiming();
        datafile.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Norva1ReadAndSink)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int runBenchmark(int argc, char** argv)
{
    return runRegisteredBenchmarks(argc, argv);
}
