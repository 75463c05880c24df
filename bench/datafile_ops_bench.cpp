// Merge Datafiles, Remove Duplicate Records and Split Datafile on generated datafiles of
// 100,000 records, from the panel's answer (or the menu command) to the result shown,
// with the peak memory.
//
//   datafile_ops_bench
#include "BenchMain.h"
#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "DatafileGenerator.h"
#include "DocumentController.h"
#include "EditorDatafileController.h"
#include "EditorWindowController.h"
#include "PropertyList.h"
#include "RichTextRecords.h"
#include "SafeFileWriter.h"
#include "ScriptedPresenter.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>


#include <cstdio>
#include <memory>

namespace {

constexpr int RecordCount = 100'000;

bool writeGenerated(const QString& path, quint32 seed)
{
    PlistValue datafile = DatafileGenerator(seed).datafile(RecordCount);
    giveRecordsRichText(datafile);
    return SafeFileWriter::write(path, [&](QIODevice& device) {
               return writePropertyList(datafile, device, PlistFormat::Xml);
           }).ok;
}

std::unique_ptr<DatafileDocument> open(const QString& path)
{
    auto document = std::make_unique<DatafileDocument>();
    document->setFileType(DatafileDocument::ProDatafileType);
    document->setFileURL(QUrl::fromLocalFile(path));
    if (!document->readFromURL(QUrl::fromLocalFile(path), DatafileDocument::ProDatafileType))
        return nullptr;
    document->makeWindowControllers();
    document->showWindows();
    QCoreApplication::processEvents();
    return document;
}

EditorWindowController* editorOf(DatafileDocument& document)
{
    auto* editor = static_cast<EditorWindowController*>(document.windowControllers().front().get());
    editor->engine().setCanSaveChanges(true);
    return editor;
}

// Merges the other file, duplicates removed, into a fresh copy of the first.
void timeMerge(const QString& into, const QString& other, const char* what,
               ScriptedPresenter& presenter)
{
    std::unique_ptr<DatafileDocument> document = open(into);
    if (!document)
        return;
    EditorWindowController* editor = editorOf(*document);
    presenter.answerOpenPanel({QUrl::fromLocalFile(other)});
    QElapsedTimer timer;
    timer.start();
    editor->datafileController().combineFilesDidEnd(1, 0);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("Merge Datafiles, duplicates removed, %d records into %d, %s: %.2f s, %lld "
                "records after (\"%s\"); peak RSS %.0f MB\n",
                RecordCount, RecordCount, what, seconds,
                qlonglong(editor->engine().catalog()->count()),
                qPrintable(presenter.lastAlert().request.messageText), peakRssMB());
    document->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Remove Duplicate Records with every tenth record a copy of the one before it.
void timeRemovingDuplicates(const QString& path, ScriptedPresenter& presenter)
{
    std::unique_ptr<DatafileDocument> document = open(path);
    if (!document)
        return;
    EditorWindowController* editor = editorOf(*document);
    CurrentRecordEngine& engine = editor->engine();
    DatafileChanges& changes = document->changes();
    const PlistArray fields = document->datafileSettings()->fields();
    for (qint64 index = 0; index + 1 < engine.selectedRecordCount(); index += 10) {
        const std::shared_ptr<RecordData> source = engine.recordAtIndex(index);
        const std::shared_ptr<RecordData> copy = engine.recordAtIndex(index + 1);
        for (const PlistValue& field : fields) {
            const QString identifier = field.asDictionary()->stringForKey(QStringLiteral("Identifier"));
            changes.writeField(copy, identifier, source->fields().stringForKey(identifier),
                               DatafileChanges::Kind::Bulk);
        }
        changes.writeText(copy, source->textString(), source->textRTFD(),
                          DatafileChanges::Kind::Bulk);
    }
    engine.loadRecordAtIndex(0);
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    editor->performAction(QStringLiteral("removeDuplicateRecords:"));
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("Remove Duplicate Records, every tenth of %d a copy: %.3f s (\"%s\"); peak RSS "
                "%.0f MB\n",
                RecordCount, seconds, qPrintable(presenter.lastAlert().request.messageText),
                peakRssMB());
    document->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

int runBenchmark(int, char**)
{
    ScriptedPresenter presenter;
    Presenter::setShared(&presenter);
    QTemporaryDir folder;
    UserDefaults defaults(folder.filePath(QStringLiteral("defaults")));
    UserDefaults::setStandardUserDefaults(&defaults);
    DatafileDocument::setEditorFactory(
        [](DatafileDocument&) { return std::make_unique<EditorWindowController>(); });
    // The split's new datafile opens as the user's files do.
    DocumentController::shared().registerDocumentType(
        {DatafileDocument::ProDatafileType, {QStringLiteral("nv3")},
         [] { return std::make_unique<DatafileDocument>(); }});

    const QString first = folder.filePath(QStringLiteral("First.nv3"));
    const QString second = folder.filePath(QStringLiteral("Second.nv3"));
    if (!writeGenerated(first, 1) || !writeGenerated(second, 2))
        return 1;
    timeMerge(first, second, "none alike", presenter);
    timeMerge(first, first, "every one a duplicate", presenter);
    timeRemovingDuplicates(first, presenter);

    // Split Datafile with 50,000 records selected: the new file written and opened, the
    // records deleted and the datafile saved.
    std::unique_ptr<DatafileDocument> document = open(first);
    if (!document)
        return 1;
    EditorWindowController* editor = editorOf(*document);
    const std::shared_ptr<SubsetSortedData> catalog = editor->engine().catalog();
    catalog->setSelectedIdentifiers(catalog->selectedIdentifiers().mid(0, RecordCount / 2));
    presenter.answerSavePanel(QUrl::fromLocalFile(folder.filePath(QStringLiteral("Half.nv3"))));
    QElapsedTimer timer;
    timer.start();
    editor->performAction(QStringLiteral("splitDatafile:"));
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("Split Datafile, %d of %d records selected: %.2f s (%lld left); peak RSS %.0f MB\n",
                RecordCount / 2, RecordCount, seconds, qlonglong(catalog->count()), peakRssMB());

    for (Document* open : std::vector<Document*>(DocumentController::shared().documents()))
        open->close();
    document->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    DatafileDocument::setEditorFactory(nullptr);
    UserDefaults::setStandardUserDefaults(nullptr);
    Presenter::setShared(nullptr);
    return 0;
}
