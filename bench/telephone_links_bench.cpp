// Make Telephone Links over a generated datafile of 100,000 records, each with one number
// in its rich text and one in a field: the whole pass from the menu action to its total,
// and the longest the event loop waited meanwhile (what the user feels of the window).
//
//   telephone_links_bench [RECORDS]    (100,000 when not given)
#include "BenchMain.h"
#include "DatafileDocument.h"
#include "DatafileGenerator.h"
#include "EditorTelephonyController.h"
#include "EditorWindowController.h"
#include "EditorWindowOpening.h"
#include "PropertyList.h"
#include "RichTextRecords.h"
#include "SafeFileWriter.h"
#include "ScriptedPresenter.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

// Every record: "(555) 123-4567" in its text, "555-1234" in its first field.
void givePhoneNumbers(PlistValue& datafile)
{
    const PlistDictionary* settings =
        datafile.asDictionary()->find(QStringLiteral("Settings"))->asDictionary();
    const QString field = settings->find(QStringLiteral("Fields"))
                              ->asArray()
                              ->at(0)
                              .asDictionary()
                              ->stringForKey(QStringLiteral("Identifier"));
    PlistDictionary* records =
        datafile.asDictionary()->find(QStringLiteral("Records"))->asDictionary();
    const QString text = QStringLiteral("Call (555) 123-4567 about the order, or write.");
    const QByteArray rtfd = styledRtfd(text);
    for (const QString& identifier : records->keys()) {
        PlistDictionary* record = records->find(identifier)->asDictionary();
        record->insert(QStringLiteral("TextString"), text);
        record->insert(QStringLiteral("TextRTFD"), rtfd);
        record->find(QStringLiteral("Fields"))
            ->asDictionary()
            ->insert(field, QStringLiteral("555-1234"));
    }
}

} // namespace

int runBenchmark(int argc, char** argv)
{
    ScriptedPresenter presenter;
    Presenter::setShared(&presenter);
    QTemporaryDir folder;
    UserDefaults defaults(folder.path());
    UserDefaults::setStandardUserDefaults(&defaults);
    defaults.setObject(QStringLiteral("nnn-nnnn\n(nnn) nnn-nnnn"),
                       QStringLiteral("PhoneNumberTemplates"));
    const int recordCount = std::max(argc > 1 ? std::atoi(argv[1]) : 100'000, 1);

    const QString path = folder.filePath(QStringLiteral("Phones.nv3"));
    PlistValue generated = generateDatafile(recordCount);
    givePhoneNumbers(generated);
    if (!SafeFileWriter::write(path, [&](QIODevice& device) {
             return writePropertyList(generated, device, PlistFormat::Xml);
         }).ok)
        return 1;
    DatafileDocument document;
    EditorWindowController* editor = openInEditorWindow(document, path);
    if (!editor)
        return 1;

    // The longest wait between two turns of the event loop while the pass runs.
    QElapsedTimer sinceTick;
    qint64 longestWait = 0;
    QTimer ticks;
    ticks.setInterval(0);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longestWait = std::max(longestWait, sinceTick.elapsed());
        sinceTick.restart();
    });

    QElapsedTimer pass;
    pass.start();
    editor->performAction(QStringLiteral("createLinksForAllTelephoneNumbers:"));
    sinceTick.start();
    ticks.start();
    while (presenter.alerts().isEmpty())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const double seconds = double(pass.nsecsElapsed()) / 1e9;
    ticks.stop();
    std::printf("%d records: %s in %.2f s, the event loop waiting at most %lld ms\n", recordCount,
                qPrintable(presenter.lastAlert().request.messageText), seconds,
                qlonglong(longestWait));
    document.close();
    DatafileDocument::setEditorFactory(nullptr);
    UserDefaults::setStandardUserDefaults(nullptr);
    Presenter::setShared(nullptr);
    return 0;
}
