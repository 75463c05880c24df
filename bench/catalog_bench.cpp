// Selecting and sorting the catalog of a generated datafile of 100,000 records.
#include "BenchMain.h"
#include "SubsetSortedData.h"
#include "RecordDataTesting.h"
#include "UserDefaults.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int RecordCount = 100'000;

const QStringList firstNames{"John", "Mary", "Alice", "Bob", "Carol", "Dave", "Eve", "Frank"};
const QStringList lastNames{"Smith", "Jones", "Brown", "Miller", "Davis", "Wilson", "Moore"};
const QString nameKey = QStringLiteral("NAME");
const QString amountKey = QStringLiteral("AMOUNT");
const QString cityKey = QStringLiteral("CITY");
const QStringList cities{"Springfield IL 62704", "Toronto ON M5V 2T6", "Portland OR 97201-1234"};

struct Datafile {
    std::shared_ptr<DatafileRecordsData> records =
        std::make_shared<DatafileRecordsData>(PlistDictionary());
    std::shared_ptr<SubsetSortedData> catalog;
};

Datafile& datafile()
{
    static Datafile generated = [] {
        Datafile file;
        std::mt19937 random(42);
        PlistArray entries;
        entries.reserve(RecordCount);
        for (int index = 0; index < RecordCount; ++index) {
            const QString first = firstNames[random() % firstNames.size()];
            const QString last = lastNames[random() % lastNames.size()];
            auto record = std::make_shared<RecordData>();
            record->setTextString(QStringLiteral("Mr. %1 %2\n%3 Main St\n%4")
                                      .arg(first, last)
                                      .arg(random() % 900 + 100)
                                      .arg(cities[random() % cities.size()]), RecordDataTesting::key());
            record->setFields(PlistDictionary{
                {nameKey, QStringLiteral("%1 %2").arg(first, last)},
                {amountKey,
                 QStringLiteral("$%L1").arg(double(random() % 1'000'000) / 100, 0, 'f', 2)},
                {cityKey, cities[random() % cities.size()]}}, RecordDataTesting::key());
            file.records->setRecord(record, record->identifier());
            entries.append(PlistDictionary{{SortedData::IdentifierKey, record->identifier()},
                                           {SubsetSortedData::CurrentlySelectedKey, true},
                                           {SubsetSortedData::PreviouslySelectedKey, true}});
        }
        file.catalog =
            SortedData::catalogWithSortedArray<SubsetSortedData>(entries, file.records, nullptr);
        file.catalog->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        file.catalog->setFieldDefinitionsSource([] {
            return PlistArray{PlistDictionary{{SortedData::IdentifierKey, nameKey}},
                              PlistDictionary{{SortedData::IdentifierKey, amountKey}},
                              PlistDictionary{{SortedData::IdentifierKey, cityKey}}};
        });
        return file;
    }();
    return generated;
}

void BM_SelectTwoCriteria(benchmark::State& state)
{
    SubsetSortedData& catalog = *datafile().catalog;
    auto criteria = SubsetSortCriteriaData::criteria();
    criteria->setSelectAllRecords(false);
    criteria->setBasedOnPopup1(5);
    criteria->setBasedOnIdentifier1(nameKey);
    criteria->setWherePopup1(1000); // contains
    criteria->setWhereField1("smith");
    criteria->setBasedOnPopup2(5);
    criteria->setBasedOnIdentifier2(amountKey);
    criteria->setWherePopup2(1013); // greater than
    criteria->setWhereField2("5,000");
    criteria->setAndSelect(true);
    for (auto _ : state) {
        state.PauseTiming();
        catalog.selectAll();
        // Selecting all resets the catalog's criteria, which these are.
        criteria->setSelectAllRecords(false);
        criteria->setAndSelect(true);
        state.ResumeTiming();
        catalog.selectWithCriteria(criteria, false);
    }
    state.counters["selected"] = double(catalog.countSelected());
}

void BM_SelectForFindTwoTerms(benchmark::State& state)
{
    SubsetSortedData& catalog = *datafile().catalog;
    for (auto _ : state) {
        state.PauseTiming();
        catalog.selectAll();
        state.ResumeTiming();
        catalog.selectForFind({"alice", "toronto"}, false);
    }
    state.counters["selected"] = double(catalog.countSelected());
}

void sortBy(benchmark::State& state, qint64 kind, const QString& field)
{
    SubsetSortedData& catalog = *datafile().catalog;
    catalog.selectAll();
    auto criteria = SubsetSortCriteriaData::criteria();
    criteria->setCompareSelector(kind);
    criteria->setPrimaryFieldIdentifier(field);
    catalog.setCriteria(criteria);
    for (auto _ : state)
        catalog.sort();
}

void BM_SortByTextField(benchmark::State& state)
{
    sortBy(state, 1, nameKey);
}
void BM_SortByNumberField(benchmark::State& state)
{
    sortBy(state, 2, amountKey);
}
void BM_SortByName(benchmark::State& state)
{
    sortBy(state, 6, QString());
}

} // namespace

BENCHMARK(BM_SelectTwoCriteria)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectForFindTwoTerms)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByTextField)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByNumberField)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByName)->Unit(benchmark::kMillisecond);

int runBenchmark(int argc, char** argv)
{
    // The name sort reads its titles from the user defaults: keep the user's own apart.
    QTemporaryDir folder;
    UserDefaults defaults(folder.path());
    defaults.setObject(PlistArray{"Dr.", "Mr.", "Mrs.", "Ms.", "Jr.", "Sr.", "III", "II"},
                       "SortTitleList");
    UserDefaults::setStandardUserDefaults(&defaults);
    const int status = runRegisteredBenchmarks(argc, argv);
    UserDefaults::setStandardUserDefaults(nullptr);
    return status;
}
