// A datafile as a document, end to end: reading it into the model and saving it.
//
//   datafile_bench --generate N OUT     writes a realistic datafile of N records
//   datafile_bench --open FILE          times reading it into a document
//   datafile_bench --roundtrip IN OUT   reads IN as a document (a repair prompt is
//                                       answered "Correct the Problem") and saves OUT
//   datafile_bench                      all of it on a generated datafile of 100,000 records
#include "DatafileDocument.h"
#include "DatafileGenerator.h"
#include "PropertyList.h"
#include "SafeFileWriter.h"
#include "ScriptedPresenter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <memory>
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

std::unique_ptr<DatafileDocument> openDocument(const QString& path, double* seconds)
{
    auto document = std::make_unique<DatafileDocument>();
    document->setFileType(DatafileDocument::ProDatafileType);
    QElapsedTimer timer;
    timer.start();
    const bool read =
        document->readFromURL(QUrl::fromLocalFile(path), DatafileDocument::ProDatafileType);
    *seconds = double(timer.nsecsElapsed()) / 1e9;
    if (!read) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(path),
                     qPrintable(document->failureReason()));
        return nullptr;
    }
    document->setFileURL(QUrl::fromLocalFile(path));
    return document;
}

int open(const QString& path)
{
    double seconds = 0;
    const std::unique_ptr<DatafileDocument> document = openDocument(path, &seconds);
    if (!document)
        return 1;
    std::printf("open %.1f MB, %lld records: %.3f s; peak RSS %.1f MB = %.2f x file\n",
                fileMB(path), qlonglong(document->datafileRecords()->count()), seconds, peakRssMB(),
                peakRssMB() / fileMB(path));
    return 0;
}

int roundtrip(const QString& in, const QString& out)
{
    double openSeconds = 0;
    const std::unique_ptr<DatafileDocument> document = openDocument(in, &openSeconds);
    if (!document)
        return 1;
    QElapsedTimer timer;
    timer.start();
    const bool saved =
        document->saveToURL(QUrl::fromLocalFile(out), DatafileDocument::ProDatafileType,
                            Document::SaveOperation::SaveTo);
    const double saveSeconds = double(timer.nsecsElapsed()) / 1e9;
    if (!saved) {
        std::fprintf(stderr, "cannot save %s: %s\n", qPrintable(out),
                     qPrintable(document->failureReason()));
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
    QApplication application(argc, argv);
    ScriptedPresenter presenter; // answers every prompt with its first button
    Presenter::setShared(&presenter);

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
