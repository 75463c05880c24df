#include "ImportDataFileController.h"

#include "CurrentRecordEngine.h"
#include "DatafileChanges.h"
#include "DatafileDocument.h"
#include "DialingClock.h"
#include "DocumentController.h"
#include "EditorWindowController.h"
#include "FeatureContext.h"
#include "FileURL.h"
#include "ImportRecordSink.h"
#include "Localization.h"
#include "MarlocanDeckReader.h"
#include "Norva1DatafileReader.h"
#include "NotificationCenter.h"
#include "Presenter.h"
#include "PropertyList.h"
#include "ResourceFork.h"
#include "ResourceForkLocator.h"
#include "SafeFileWriter.h"
#include "StopKeyMonitor.h"
#include "StringFormat.h"
#include "SubsetSortedData.h"
#include "SystemLog.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QUrl>

namespace {

// The application that started the latest old-format import.
ImportDataFileController::Sender g_sender;

constexpr quint32 FieldNamesResource = ResourceFork::fourCharCode("Pfld");

struct KindOfFile {
    const char* message;
    QStringList fileTypes;
};

KindOfFile kindOfFile(int kind)
{
    switch (kind) {
    case ImportDataFileController::Norva2Datafile:
        return {"Select an Norva 2 Datafile to Import", {QStringLiteral("norva")}};
    case ImportDataFileController::Norva1Datafile:
        return {"Select a Datafile to Import",
                {"nV", "ID", "NV1", "nV1", "FF", "fields", "KW", "KW2", "KW3", ""}};
    case ImportDataFileController::MarlocanCardDeck:
        return {"Select a Card Deck to Import", {"ML", "ML2", "mlcn", ""}};
    case ImportDataFileController::Norva2Template:
        return {"Select an Norva 2 Template to Import", {"zenv", "zlabel"}};
    default:
        return {"Select a File to Import", {}};
    }
}

// The files of the types, then any file: type codes are gone, and "" stands for the
// files without an extension, which no pattern picks out.
QStringList nameFiltersFor(const QStringList& fileTypes)
{
    QStringList patterns;
    for (const QString& type : fileTypes)
        if (!type.isEmpty())
            patterns.append(QStringLiteral("*.") + type);
    if (patterns.isEmpty())
        return {};
    return {patterns.join(QLatin1Char(' ')), localized(QStringLiteral("All Files")) +
                                                 QStringLiteral(" (*)")};
}

QWidget* mainWindow()
{
    EditorWindowController* main = EditorWindowController::mainEditor();
    return main ? main->featureContext().window() : nullptr;
}

void reportNothingImported(QWidget* window, ResourceForkLocator::Status status =
                                                ResourceForkLocator::Status::Read)
{
    if (status == ResourceForkLocator::Status::UnreadableArchive)
        ImportRecordSink::reportNothingImported(
            window, localized(QStringLiteral("The file is a BinHex or StuffIt archive, not a "
                                             "datafile of this kind. Unpack it first.")));
    else
        ImportRecordSink::reportNothingImported(window);
}

} // namespace

const void* ImportDataFileController::notificationObject()
{
    static const char token = 0;
    return &token;
}

void ImportDataFileController::importDatafile(int kind, Sender sender)
{
    g_sender = std::move(sender);
    const KindOfFile file = kindOfFile(kind);
    OpenPanelRequest request;
    request.message = localized(QString::fromLatin1(file.message));
    request.fileTypes = file.fileTypes;
    request.nameFilters = nameFiltersFor(file.fileTypes);
    request.canChooseFiles = true;
    request.canChooseDirectories = true;
    request.resolvesAliases = true;
    const QList<QUrl> chosen = Presenter::shared().runOpenPanel(request, nullptr);
    if (chosen.isEmpty() || !chosen.constFirst().isLocalFile())
        return;
    const QString path = chosen.constFirst().toLocalFile();
    switch (kind) {
    case Norva2Datafile:
        convertNorva2File(path);
        break;
    case Norva1Datafile:
        convertNorva1File(path);
        break;
    case MarlocanCardDeck:
        convertMarlocan2File(path);
        break;
    case Norva2Template:
        convertNorva2Template(path);
        break;
    default:
        break;
    }
}

// Norva 2

void ImportDataFileController::convertNorva2File(const QString& path)
{
    convertNorva2(path, false);
}

void ImportDataFileController::convertNorva2Template(const QString& path)
{
    convertNorva2(path, true);
}

void ImportDataFileController::convertNorva2(const QString& path, bool isTemplate)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return;
    const PlistReadResult read = readPropertyList(file);
    if (!read.ok() || !read.value.asDictionary())
        return;
    const PlistValue dictionary = read.value;

    SavePanelRequest request;
    QString proposed = QFileInfo(path).fileName();
    if (isTemplate) {
        request.title = localized(QStringLiteral("Import Norva 2 Template"));
        request.allowedFileTypes = {QStringLiteral("zenv"), QStringLiteral("zlabel")};
    } else {
        request.title = localized(QStringLiteral("Import Norva 2 Datafile"));
        request.allowedFileTypes = {QStringLiteral("nv3")};
        proposed.replace(QStringLiteral(".norva"), QStringLiteral(".nv3"), Qt::CaseInsensitive);
    }
    request.directory = FileURL::folderPath(
        UserDefaults::standardUserDefaults()
            .stringForKey(isTemplate ? QStringLiteral("TemplatesFolderURL")
                                     : QStringLiteral("DatafilesFolderURL"))
            .value_or(QString()));
    request.nameFieldValue = proposed;
    const std::optional<QUrl> chosen = Presenter::shared().runSavePanel(request, nullptr);
    if (!chosen || !chosen->isLocalFile())
        return;
    const QString target = chosen->toLocalFile();

    // Copied as it stands: the current datafile and template formats are the same lists.
    const SafeFileWriter::Result written =
        SafeFileWriter::write(target, [&dictionary](QIODevice& device) {
            return writePropertyList(dictionary, device, PlistFormat::Xml);
        });
    if (!written.ok) {
        AlertRequest alert;
        alert.messageText = stringWithFormat(
            localized(QStringLiteral("The file \u201C%@\u201D could not be written.")),
            {QFileInfo(target).fileName()});
        alert.informativeText = written.errorString;
        alert.buttons = {localized(QStringLiteral("OK"))};
        Presenter::shared().runModalAlert(alert);
        return;
    }
    if (g_sender.setupDatafilesMenu)
        g_sender.setupDatafilesMenu();
    if (g_sender.setupTemplatesMenu)
        g_sender.setupTemplatesMenu();
    if (isTemplate)
        return;
    QString failure;
    if (!DocumentController::shared().openDocumentWithContentsOfURL(*chosen, true, failure))
        SystemLog::log(stringWithFormat(QStringLiteral("Unable to open %@: Error %@"),
                                        {target, failure}));
}

// Norva 1 and Kestrowan

void ImportDataFileController::convertNorva1File(const QString& path)
{
    const ResourceForkLocator::Result forks = ResourceForkLocator::locate(path);
    if (forks.status != ResourceForkLocator::Status::Read || forks.dataFork.isEmpty()) {
        reportNothingImported(mainWindow(), forks.status);
        return;
    }
    QStringList names;
    if (forks.resourceFork)
        if (const std::optional<ResourceFork> fork = ResourceFork::read(*forks.resourceFork))
            if (const std::optional<QByteArray> resource =
                    fork->get1IndResource(FieldNamesResource, 1))
                names = Norva1DatafileReader::fieldNames(*resource);
    registerImportFinished();
    EditorWindowController* editor =
        g_sender.createNewImportedDatafile
            ? g_sender.createNewImportedDatafile(names, std::nullopt, QFileInfo(path).fileName())
            : nullptr;
    if (!editor)
        return;
    processNorva1File(editor->featureContext(), forks.dataFork);
}

void ImportDataFileController::processNorva1File(FeatureContext& target, const QByteArray& dataFork)
{
    const QString text = Norva1DatafileReader::dataForkText(dataFork);
    target.progress().startIndeterminateProgressPanel(localized(QStringLiteral("Importing...")));
    const qsizetype fieldCount = target.settings()->fields().size();
    Norva1DatafileReader::Result read;
    {
        StopKeyMonitor stopKeys;
        qint64 sinceEvents = 0;
        read = Norva1DatafileReader::records(text, fieldCount, [&] {
            // The stop keys are seen when the events come through.
            if (++sinceEvents % 1000 == 0)
                QCoreApplication::processEvents();
            return stopKeys.stopRequested();
        });
    }
    QVariantMap userInfo{{QStringLiteral("Window"),
                          QVariant::fromValue(static_cast<QObject*>(target.window()))}};
    if (!read.hasRecords) {
        target.progress().endIndeterminateProgressPanel();
        ImportRecordSink::reportNothingImported(target.window());
    } else {
        ImportRecordSink::add(target, sinkRecords(std::move(read.records)), {false, false});
        target.progress().endIndeterminateProgressPanel();
    }
    NotificationCenter::defaultCenter().postNotification(ImportFinishedNotification,
                                                         notificationObject(), userInfo);
}

QList<ImportRecordSink::Record>
ImportDataFileController::sinkRecords(QList<Norva1DatafileReader::Record> read)
{
    QList<ImportRecordSink::Record> records;
    records.reserve(read.size());
    for (Norva1DatafileReader::Record& record : read) {
        ImportRecordSink::Record incoming{std::move(record.values), std::move(record.text), {}};
        incoming.emptyValuesUnset = true;
        records.append(std::move(incoming));
    }
    return records;
}

void ImportDataFileController::registerImportFinished()
{
    // One registration however many imports ran.
    static NotificationObserver observer;
    NotificationCenter::defaultCenter().removeObserver(observer);
    observer = NotificationCenter::defaultCenter().addObserver(
        ImportFinishedNotification, notificationObject(), &ImportDataFileController::importFinished);
}

void ImportDataFileController::importFinished(const Notification& notification)
{
    if (notification.object != notificationObject())
        return;
    // The import's own window, and nothing when it closed meanwhile. The program goes on
    // as the wait runs.
    auto* window = qobject_cast<QWidget*>(
        notification.userInfo.value(QStringLiteral("Window")).value<QObject*>());
    auto* found = window ? dynamic_cast<EditorWindowController*>(
                               WindowController::controllerForWindow(window))
                         : nullptr;
    const QPointer<EditorWindowController> editor(found);
    if (!editor)
        return;
    DialingClock::shared().wait(FinishPause, editor, [editor] {
        DialingClock::shared().wait(FinishWait, editor, [editor] {
            if (!ImportSheetBase::isOpenEditor(editor))
                return;
            FeatureContext& target = editor->featureContext();
            if (target.catalog()->count() == 0) {
                target.host().addRecord();
                return;
            }
            CurrentRecordEngine& engine = target.engine();
            engine.goToFirstRecord();
            engine.goToNextRecord();
            engine.goToFirstRecord();
            ImportSheetBase::bringToFront(target);
            target.document()->saveDocument();
        });
    });
}

// Marlocan card decks

void ImportDataFileController::convertMarlocan2File(const QString& path)
{
    EditorWindowController* editor =
        g_sender.createNewImportedDatafile
            ? g_sender.createNewImportedDatafile(std::nullopt, std::nullopt,
                                                 QFileInfo(path).fileName())
            : nullptr;
    if (!editor)
        return;
    FeatureContext& target = editor->featureContext();
    target.progress().startIndeterminateProgressPanel(localized(QStringLiteral("Importing...")));
    QFile file(path);
    QByteArray deck;
    if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly))
        deck = file.readAll();
    const std::optional<QStringList> cards =
        deck.isEmpty() ? std::nullopt : MarlocanDeckReader::cards(deck);
    if (!cards) {
        target.progress().endIndeterminateProgressPanel();
        if (!deck.isEmpty())
            target.host().addRecord();
        ImportRecordSink::reportNothingImported(target.window());
        return;
    }
    DatafileChanges& changes = target.changes();
    if (!cards->isEmpty()) {
        changes.addRecords(cards->size(), DatafileChanges::Placement::AtEnd,
                           [&](const std::shared_ptr<RecordData>& record, qsizetype index) {
                               const QString& card = cards->at(index);
                               changes.fillNewRecord(
                                   record, {}, {},
                                   card.isEmpty() ? std::nullopt : std::optional<QString>(card),
                                   {}, DatafileChanges::Kind::Edit);
                           });
    }
    CurrentRecordEngine& engine = target.engine();
    engine.setDatafileChanged();
    engine.setLastHitField(CurrentRecordEngine::NoHit);
    target.catalog()->rebuildSelectedIdentifiers();
    target.host().selectAllRecords();
    // The blank record the new datafile started with goes, unless it is all there is.
    if (target.catalog()->count() < 2)
        Presenter::shared().beep();
    else
        engine.deleteCurrentRecord();
    target.progress().endIndeterminateProgressPanel();
    ImportSheetBase::bringToFront(target);
    target.document()->saveDocument();
}
