// Replacing and searching across datafiles, on generated data:
// - Replace All over 100,000 records (ten fields, 300 characters of text), every
//   twentieth record's text rich, with 1,000 occurrences of the key: 500 in fields and
//   500 in rich texts. Each run starts from a fresh copy of the datafile.
// - Multi-File Find missing over ten datafiles of 10,000 records in the datafiles folder,
//   each opened without a window, searched and closed again.
//
//   replace_bench [RUNS]    (3 runs when not given)
#include "BenchMain.h"
#include "DatafileDocument.h"
#include "DatafileGenerator.h"
#include "DocumentController.h"
#include "EditorSearchController.h"
#include "EditorWindowController.h"
#include "EditorWindowOpening.h"
#include "MultiFileFindController.h"
#include "PropertyList.h"
#include "RichTextRecords.h"
#include "SafeFileWriter.h"
#include "ScriptedPresenter.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString Key = QStringLiteral("zqxjv");

bool write(const QString& path, const PlistValue& datafile)
{
    return SafeFileWriter::write(path, [&](QIODevice& device) {
               return writePropertyList(datafile, device, PlistFormat::Xml);
           }).ok;
}

// Every twentieth record's text made rich; the key put into 500 of those texts and into
// a field of 500 other records, none of them locked.
PlistValue datafileWithOccurrences()
{
    PlistValue datafile = generateDatafile(100'000);
    PlistDictionary* records =
        datafile.asDictionary()->find(QStringLiteral("Records"))->asDictionary();
    const QStringList identifiers = records->keys();
    int inText = 0;
    int inFields = 0;
    for (qsizetype index = 0; index < identifiers.size(); ++index) {
        PlistDictionary* record = records->find(identifiers[index])->asDictionary();
        if (index % 20 == 0) {
            QString text = record->find(QStringLiteral("TextString"))->stringValue();
            if (inText < 500 && index % 200 == 0) {
                text.insert(100, QLatin1Char(' ') + Key + QLatin1Char(' '));
                record->insert(QStringLiteral("RecordLocked"), false);
                ++inText;
            }
            record->insert(QStringLiteral("TextString"), text);
            record->insert(QStringLiteral("TextRTFD"), styledRtfd(text));
        } else if (inFields < 500 && index % 20 == 7) {
            PlistDictionary* fields = record->find(QStringLiteral("Fields"))->asDictionary();
            const QString field = fields->keys().first();
            fields->insert(field, fields->find(field)->stringValue() + QLatin1Char(' ') + Key);
            record->insert(QStringLiteral("RecordLocked"), false);
            ++inFields;
        }
    }
    return datafile;
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int runBenchmark(int argc, char** argv)
{
    ScriptedPresenter presenter;
    Presenter::setShared(&presenter);
    QTemporaryDir folder;
    UserDefaults defaults(folder.filePath(QStringLiteral("defaults")));
    UserDefaults::setStandardUserDefaults(&defaults);
    const int runs = std::max(argc > 1 ? std::atoi(argv[1]) : 3, 1);

    const QString path = folder.filePath(QStringLiteral("Replace.nv3"));
    if (!write(path, datafileWithOccurrences()))
        return 1;
    std::vector<double> replaceTimes;
    for (int run = 0; run < runs; ++run) {
        DatafileDocument document;
        EditorWindowController* editor = openInEditorWindow(document, path);
        if (!editor)
            return 1;
        presenter.clear();
        QElapsedTimer timer;
        timer.start();
        editor->editorSearchController().replaceAll(Key, QStringLiteral("found"), false, false,
                                                    EditorSearchController::AllFieldsScope, false);
        replaceTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (presenter.alertMessages() != QStringList{QStringLiteral("Number of changes made: 1000")}) {
            std::fprintf(stderr, "unexpected: %s\n",
                         qPrintable(presenter.alertMessages().join(QLatin1Char('|'))));
            return 1;
        }
        document.close();
        // Its window goes before the document does.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::printf("Replace All, 100,000 records, 1,000 occurrences (500 in rich text), %d runs, "
                "median (worst) ms: %.1f (%.1f)\n",
                runs, median(replaceTimes), *std::max_element(replaceTimes.begin(), replaceTimes.end()));

    // Ten datafiles in the datafiles folder, none open.
    const QString datafiles = folder.filePath(QStringLiteral("Datafiles"));
    QDir().mkpath(datafiles);
    for (int file = 0; file < 10; ++file) {
        if (!write(QDir(datafiles).filePath(QStringLiteral("File%1.nv3").arg(file)),
                   DatafileGenerator(quint32(file + 1)).datafile(10'000)))
            return 1;
    }
    DocumentController::shared().registerDocumentType(
        {DatafileDocument::ProDatafileType, {QStringLiteral("nv3")},
         [] { return std::make_unique<DatafileDocument>(); }});
    defaults.setObject(QUrl::fromLocalFile(datafiles).toString() + QLatin1Char('/'),
                       QStringLiteral("DatafilesFolderURL"));
    std::vector<double> findTimes;
    for (int run = 0; run < runs; ++run) {
        MultiFileFindController finder;
        finder.searchDatafilesInMenu()->click();
        finder.findWhatField()->setText(Key + QString::number(run));
        QElapsedTimer timer;
        timer.start();
        finder.findNext();
        findTimes.push_back(double(timer.nsecsElapsed()) / 1e3 / 1e3);
        if (!DocumentController::shared().documents().empty() ||
            finder.allDatafiles().size() != 10)
            return 1;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::printf("Multi-File Find missing over ten datafiles of 10,000 records, %d runs, median "
                "(worst) ms: %.1f (%.1f)\n",
                runs, median(findTimes), *std::max_element(findTimes.begin(), findTimes.end()));

    DatafileDocument::setEditorFactory(nullptr);
    UserDefaults::setStandardUserDefaults(nullptr);
    Presenter::setShared(nullptr);
    return 0;
}
