// Printing labels to a PDF file: sheets of 3 x 10 labels, each with a four-line address
// block and two fields, for 1,000, 10,000 and 30,000 records, with the seconds, the
// peak memory and the file's size. The time should grow as the labels do.
//
//   label_print_bench
#include "AddressGraphic.h"
#include "BenchMain.h"
#include "FieldGraphic.h"
#include "PagePrintView.h"
#include "PageRecordSource.h"
#include "PageViewController.h"
#include "PrintOperation.h"
#include "TemplateSettingsData.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// Records made up as they are asked for: a name, a street, a town and a country.
class GeneratedRecords : public PageRecordSource {
public:
    explicit GeneratedRecords(qint64 count) : m_count(count) {}
    bool isAvailable() const override { return true; }
    qint64 countSelected() const override { return m_count; }
    QString addressBlockAtIndex(qint64 index) const override
    {
        return QStringLiteral("Person Number %1\n%2 Long Street Name\nSpringfield, IL 6%3\n"
                              "United States")
            .arg(index)
            .arg(index % 9000 + 1)
            .arg(index % 10000, 4, 10, QLatin1Char('0'));
    }
    std::optional<QString> contentOfField(const QString& fieldName, qint64 index) const override
    {
        return fieldName + QStringLiteral(" %1").arg(index);
    }
    qint64 indexOfCurrentRecord() const override { return 0; }
    void saveAndReloadCurrentRecord() override {}
    void incrementOpenTemplateCount() override {}
    void decrementOpenTemplateCount() override {}

private:
    qint64 m_count;
};

// A sheet of thirty address labels, 2 5/8 by 1 inch, on US Letter.
std::shared_ptr<TemplateSettingsData> addressLabels()
{
    auto settings = TemplateSettingsData::settings();
    settings->setLabelRows(10);
    settings->setLabelColumns(3);
    settings->setWidth(189);
    settings->setHeight(72);
    settings->setLabelTopMargin(36);
    settings->setLabelLeftMargin(13.5);
    settings->setLabelHorizontalSpacing(9);
    settings->setLabelVerticalSpacing(0);
    return settings;
}

GraphicList addressDesign()
{
    auto address = std::make_shared<AddressGraphic>();
    address->setFont(ArchivedFont(QStringLiteral("Helvetica"), 9));
    address->setMinimumPointSize(6);
    address->setBounds(QRectF(4, 2, 181, 50));
    auto first = std::make_shared<FieldGraphic>();
    first->setFont(ArchivedFont(QStringLiteral("Helvetica"), 7));
    first->setFieldName(QStringLiteral("Phone"));
    first->setBounds(QRectF(4, 54, 90, 12));
    auto second = std::make_shared<FieldGraphic>();
    second->setFont(ArchivedFont(QStringLiteral("Helvetica"), 7));
    second->setFieldName(QStringLiteral("Code"));
    second->setBounds(QRectF(96, 54, 90, 12));
    return {address, first, second};
}

void BM_PrintLabelsToPdf(benchmark::State& state)
{
    const qint64 labels = state.range(0);
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("labels.pdf"));
    const auto settings = addressLabels();
    const GraphicList design = addressDesign();
    PageViewController engine;
    engine.setEditorController(std::make_shared<GeneratedRecords>(labels));
    int pages = 0;
    for (auto _ : state) {
        // As Print does: the records fitted afresh, then every page drawn into the file.
        engine.resetWithSettings(settings, design, true);
        PagePrintView view(QRectF(0, 0, 612, 792));
        view.setFirstLabelOffset(0);
        view.setPageViewController(engine, settings, design);
        PrintSession session;
        session.setOutputFile(pdf);
        if (session.print(view, settings->printInfo()) != PrintSession::Outcome::Printed) {
            state.SkipWithError("the PDF file could not be written");
            return;
        }
        session.finish();
        pages = view.pageCount();
    }
    state.counters["labels"] = double(labels);
    state.counters["pages"] = pages;
    state.counters["pdfMB"] = double(QFileInfo(pdf).size()) / (1024.0 * 1024.0);
    state.counters["peakRssMB"] = peakRssMB();
    state.counters["nonPrintable"] = double(engine.nonPrintableRecordCount());
}
BENCHMARK(BM_PrintLabelsToPdf)
    ->Arg(1'000)
    ->Arg(10'000)
    ->Arg(30'000)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

} // namespace

int runBenchmark(int argc, char** argv)
{
    return runRegisteredBenchmarks(argc, argv);
}
