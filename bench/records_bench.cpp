// Building a datafile's records from their dictionaries and writing them back, on
// 100,000 generated records shaped like a real address datafile.
#include "BenchMain.h"
#include "DatafileRecordsData.h"
#include "VKStringCategories.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int RecordCount = 100'000;
constexpr int FieldCount = 12;

PlistDictionary recordDictionary(int index, const QStringList& fieldIdentifiers)
{
    PlistDictionary::Entries fields;
    for (int field = 0; field < FieldCount; ++field) {
        fields.push_back({fieldIdentifiers[field],
                          QStringLiteral("Value %1 of field %2").arg(index).arg(field)});
    }
    const PlistDate date{700'000'000.0 + index};
    const QString user = QStringLiteral("Alex Example");
    return PlistDictionary::fromEntries({
        {QStringLiteral("RecordIdentifier"), VKStringCategories::universallyUniqueIdentifier()},
        {QStringLiteral("RecordName"), QStringLiteral("Record %1").arg(index)},
        {QStringLiteral("NeedsSync"), false},
        {QStringLiteral("IsSum"), false},
        {QStringLiteral("RecordLocked"), index % 7 == 0},
        {QStringLiteral("RecordWasLocked"), false},
        {QStringLiteral("RecordCreatedDate"), date},
        {QStringLiteral("RecordModifiedDate"), date},
        {QStringLiteral("RecordViewedDate"), date},
        {QStringLiteral("RecordCreatedBy"), user},
        {QStringLiteral("RecordModifiedBy"), user},
        {QStringLiteral("RecordViewedBy"), user},
        {QStringLiteral("Fields"), PlistDictionary::fromEntries(std::move(fields))},
        {QStringLiteral("TextString"), QStringLiteral("Notes for record %1").arg(index)},
        {QStringLiteral("TextRTFD"), QByteArray(512, 'r')},
    });
}

// The datafile's "Records" dictionary: identifier to record dictionary.
const PlistDictionary& recordsDictionary()
{
    static const PlistDictionary records = [] {
        QStringList fieldIdentifiers;
        for (int field = 0; field < FieldCount; ++field)
            fieldIdentifiers.append(VKStringCategories::universallyUniqueIdentifier());
        PlistDictionary::Entries entries;
        entries.reserve(RecordCount);
        for (int index = 0; index < RecordCount; ++index) {
            PlistDictionary record = recordDictionary(index, fieldIdentifiers);
            entries.push_back({*record.find(QStringLiteral("RecordIdentifier"))->asString(),
                               std::move(record)});
        }
        return PlistDictionary::fromEntries(std::move(entries));
    }();
    return records;
}

void BM_ReadRecords(benchmark::State& state)
{
    const PlistDictionary& records = recordsDictionary();
    for (auto _ : state) {
        DatafileRecordsData collection(records);
        benchmark::DoNotOptimize(collection.count());
    }
    state.SetItemsProcessed(state.iterations() * RecordCount);
}

void BM_WriteRecords(benchmark::State& state)
{
    const DatafileRecordsData collection(recordsDictionary());
    for (auto _ : state) {
        PlistDictionary written = collection.dictionary();
        benchmark::DoNotOptimize(written.size());
    }
    state.SetItemsProcessed(state.iterations() * RecordCount);
}

} // namespace

BENCHMARK(BM_ReadRecords)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WriteRecords)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int runBenchmark(int argc, char** argv)
{
    return runRegisteredBenchmarks(argc, argv);
}
