// Building a label template's record lists over a generated datafile of 100,000
// records whose address blocks are laid out from four lines of fields, one copy of
// each label, with the peak memory.
//
//   page_layout_bench
#include "AddressBlockLayout.h"
#include "AddressGraphic.h"
#include "BenchMain.h"
#include "DatafileDocument.h"
#include "DatafileGenerator.h"
#include "PageRecordSource.h"
#include "PageViewController.h"
#include "PropertyList.h"
#include "SafeFileWriter.h"
#include "SubsetSortedData.h"
#include "TemplateSettingsData.h"
#include "UserDefaults.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int RecordCount = 100'000;

// The selected records of a datafile read without a window.
class DocumentRecords : public PageRecordSource {
public:
    explicit DocumentRecords(const DatafileDocument& document) : m_document(document) {}
    bool isAvailable() const override { return true; }
    qint64 countSelected() const override { return m_document.datafileCatalog()->countSelected(); }
    QString addressBlockAtIndex(qint64 index) const override
    {
        return m_document.addressBlockAtIndex(index);
    }
    std::optional<QString> contentOfField(const QString& fieldName, qint64 index) const override
    {
        return m_document.contentOfField(fieldName, index);
    }
    qint64 indexOfCurrentRecord() const override { return 0; }
    void saveAndReloadCurrentRecord() override {}
    void incrementOpenTemplateCount() override {}
    void decrementOpenTemplateCount() override {}

private:
    const DatafileDocument& m_document;
};

// "Field 1 / Field 2 / Field 3, Field 4 / Field 5": four lines from the generated fields.
QByteArray fourLineLayout()
{
    AddressBlockLayout layout;
    layout.appendField(QStringLiteral("Field 1"));
    layout.appendText(QStringLiteral("\n"));
    layout.appendField(QStringLiteral("Field 2"));
    layout.appendText(QStringLiteral("\n"));
    layout.appendField(QStringLiteral("Field 3"));
    layout.appendText(QStringLiteral(", "));
    layout.appendField(QStringLiteral("Field 4"));
    layout.appendText(QStringLiteral("\n"));
    layout.appendField(QStringLiteral("Field 5"));
    return layout.toData();
}

struct Datafile {
    QTemporaryDir folder;
    UserDefaults defaults{folder.filePath(QStringLiteral("defaults"))};
    DatafileDocument document;
    std::unique_ptr<DocumentRecords> records;
    bool ready = false;

    Datafile()
    {
        UserDefaults::setStandardUserDefaults(&defaults);
        const QString path = folder.filePath(QStringLiteral("Generated.nv3"));
        const PlistValue generated = DatafileGenerator(49).datafile(RecordCount);
        if (!SafeFileWriter::write(path, [&](QIODevice& device) {
                 return writePropertyList(generated, device, PlistFormat::Xml);
             }).ok)
            return;
        document.setFileType(DatafileDocument::ProDatafileType);
        if (!document.readFromURL(QUrl::fromLocalFile(path), DatafileDocument::ProDatafileType))
            return;
        document.datafileSettings()->setAddressInText(false);
        document.datafileSettings()->setAddressBlockLayout(fourLineLayout());
        records = std::make_unique<DocumentRecords>(document);
        ready = true;
    }
};

Datafile& generated()
{
    static Datafile datafile;
    return datafile;
}

void BM_BuildRecordArrays(benchmark::State& state)
{
    Datafile& datafile = generated();
    if (!datafile.ready) {
        state.SkipWithError("the generated datafile did not open");
        return;
    }
    auto settings = TemplateSettingsData::settings();
    settings->setLabelCopies(1);
    auto address = std::make_shared<AddressGraphic>();
    address->setFont(ArchivedFont(QStringLiteral("Helvetica"), 12));
    address->setBounds(QRectF(9, 9, 270, 120));
    PageViewController engine;
    engine.setMasterGraphics({address});
    engine.setTemplateSettings(settings);
    engine.setEditorController(
        std::shared_ptr<PageRecordSource>(datafile.records.get(), [](PageRecordSource*) {}));
    for (auto _ : state) {
        engine.buildRecordArrays();
        benchmark::DoNotOptimize(engine.printableRecords().constData());
    }
    state.counters["printable"] = double(engine.printableRecordCount());
    state.counters["nonPrintable"] = double(engine.nonPrintableRecordCount());
    // The datafile read and its generated file are nearly all of the peak; the lists are
    // the engine's own.
    state.counters["peakRssMB"] = peakRssMB();
    state.counters["listsKB"] =
        double(engine.printableRecords().capacity() + engine.nonPrintableRecords().capacity()) *
        sizeof(qint64) / 1024.0;
}
BENCHMARK(BM_BuildRecordArrays)->Unit(benchmark::kMillisecond)->Iterations(3);

// The datafile's share of it: the address blocks alone.
void BM_AddressBlocks(benchmark::State& state)
{
    Datafile& datafile = generated();
    if (!datafile.ready) {
        state.SkipWithError("the generated datafile did not open");
        return;
    }
    for (auto _ : state) {
        qint64 characters = 0;
        for (qint64 index = 0; index < RecordCount; ++index)
            characters += datafile.records->addressBlockAtIndex(index).size();
        benchmark::DoNotOptimize(characters);
    }
}
BENCHMARK(BM_AddressBlocks)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int runBenchmark(int argc, char** argv)
{
    return runRegisteredBenchmarks(argc, argv);
}
