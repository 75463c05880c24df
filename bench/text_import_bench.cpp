// The imports of many small pieces into a new datafile: a folder of 10,000 small text
// files, and an HTML bookmark file of 100,000 bookmarks, each read, walked and added
// through the record sink.
//   text_import_bench [benchmark options]

#include "BenchMain.h"
#include "BookmarksReader.h"
#include "DatafileDocument.h"
#include "DocumentOnlyWindow.h"
#include "FeatureContext.h"
#include "ImportRecordSink.h"
#include "TextFilesFolder.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

// A new datafile of the fields named, headless, as the sink fills one.
struct NewDatafile {
    explicit NewDatafile(const QStringList& names)
    {
        document.datafileSettings()->setFields(DatafileDocument::arrayForFieldNames(names));
    }
    DatafileDocument document;
    DocumentOnlyWindow window{document};
    FeatureContext context{window};
};

// A folder of that many notes of a few lines each, every tenth one rich text.
std::unique_ptr<QTemporaryDir> makeFolder(int files)
{
    auto folder = std::make_unique<QTemporaryDir>();
    for (int i = 0; i < files; ++i) {
        const bool rich = i % 10 == 0;
        QFile file(folder->filePath(QStringLiteral("note %1.%2").arg(i).arg(rich ? "rtf" : "txt")));
        if (!file.open(QIODevice::WriteOnly))
            return nullptr;
        const QByteArray body = "Call back about order " + QByteArray::number(i) +
                                "\nabout the delivery on Tuesday\nand the invoice.\n";
        file.write(rich ? "{\\rtf1\\ansi {\\b Note}\\par " + body + "}" : body);
    }
    return folder;
}

void BM_ImportFolderOfTextFiles(benchmark::State& state)
{
    const std::unique_ptr<QTemporaryDir> folder = makeFolder(int(state.range(0)));
    if (!folder) {
        state.SkipWithError("cannot write the folder");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto datafile = std::make_unique<NewDatafile>(QStringList{QStringLiteral("File Name")});
        state.ResumeTiming();
        QList<ImportRecordSink::Record> records;
        for (TextFilesFolder::TextFile& file : TextFilesFolder::read(folder->path()))
            records.append({{std::move(file.name)}, std::move(file.text), std::move(file.rtfd)});
        benchmark::DoNotOptimize(ImportRecordSink::add(datafile->context, records, {}));
        state.PauseTiming();
        datafile.reset();
        state.ResumeTiming();
    }
    state.counters["files"] = double(state.range(0));
}
BENCHMARK(BM_ImportFolderOfTextFiles)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(3);

// An export of that many bookmarks, ten to a folder, a folder in every tenth folder.
QString bookmarksFile(int bookmarks)
{
    QString html = QStringLiteral(
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n"
        "<DL><p>\n");
    html.reserve(qsizetype(bookmarks) * 110);
    for (int i = 0; i < bookmarks; ++i) {
        if (i % 10 == 0)
            html += QStringLiteral("<DT><H3 ADD_DATE=\"1700000000\">Folder %1</H3>\n<DL><p>\n").arg(i);
        html += QStringLiteral("<DT><A HREF=\"https://example.org/page?id=%1&amp;ref=bench\" "
                               "ADD_DATE=\"1700000000\">Page %1 &amp; more</A>\n")
                    .arg(i);
        if (i % 10 == 9 && i % 100 != 99)
            html += QStringLiteral("</DL><p>\n");
        if (i % 100 == 99)
            html += QStringLiteral("</DL><p>\n</DL><p>\n");
    }
    return html + QStringLiteral("</DL><p>\n");
}

void BM_ImportHtmlBookmarks(benchmark::State& state)
{
    const QString html = bookmarksFile(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto datafile = std::make_unique<NewDatafile>(
            QStringList{QStringLiteral("Category"), QStringLiteral("Title"), QStringLiteral("URL")});
        state.ResumeTiming();
        QList<ImportRecordSink::Record> records;
        for (const BookmarksReader::Bookmark& bookmark : BookmarksReader::importHtmlBookmarks(html))
            records.append(
                {{bookmark.category.value_or(QString()), bookmark.title, bookmark.url}, {}, {}});
        benchmark::DoNotOptimize(ImportRecordSink::add(datafile->context, records, {}));
        state.PauseTiming();
        datafile.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * html.size() * 2);
}
BENCHMARK(BM_ImportHtmlBookmarks)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int runBenchmark(int argc, char** argv)
{
    return runRegisteredBenchmarks(argc, argv);
}
