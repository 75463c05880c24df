#include "SyncController.h"

#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "DocumentController.h"
#include "EditorRecordsController.h"
#include "EditorWindowController.h"
#include "FeatureContext.h"
#include "LocalSyncTransport.h"
#include "Localization.h"
#include "MergeEngine.h"
#include "Presenter.h"
#include "SyncChoiceSheetController.h"
#include "SynchronizationController.h"
#include "StringFormat.h"
#include "SystemLog.h"
#include "UserDefaults.h"
#include "VKStringCategories.h"
#include "WiFiSyncController.h"

#include <QFileInfo>
#include <QPointer>

#include <cstdio>

namespace {

std::map<int, SyncController::TransportFactory>& transportFactories()
{
    static std::map<int, SyncController::TransportFactory> factories{
        {SyncController::LocalMethod, [] { return std::make_unique<LocalSyncTransport>(); }},
        {SyncController::WiFiMethod, [] { return std::make_unique<WiFiSyncController>(); }}};
    return factories;
}

std::function<bool()>& dropboxAllowed()
{
    static std::function<bool()> allowed;
    return allowed;
}

QString canonicalPath(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
}

// The open document of the file, however the path reaches it.
DatafileDocument* openDatafileAt(const QString& path)
{
    const QString wanted = canonicalPath(path);
    for (Document* document : DocumentController::shared().documents()) {
        const QString own = document->fileURL().toLocalFile();
        if (!own.isEmpty() && canonicalPath(own) == wanted)
            return qobject_cast<DatafileDocument*>(document);
    }
    return nullptr;
}

EditorWindowController* editorOf(const DatafileDocument* document)
{
    return document ? dynamic_cast<EditorWindowController*>(document->editor()) : nullptr;
}

} // namespace

void SyncController::registerTransport(int method, TransportFactory factory)
{
    if (factory)
        transportFactories()[method] = std::move(factory);
    else
        transportFactories().erase(method);
}

void SyncController::setCanUseDropbox(std::function<bool()> canUse)
{
    dropboxAllowed() = std::move(canUse);
}

bool SyncController::canUseDropbox()
{
    return dropboxAllowed() && dropboxAllowed()();
}

QString SyncController::dropboxUnavailableToolTip()
{
    return canUseDropbox() ? QString()
                           : localized(QStringLiteral("Dropbox needs an application key in this build."));
}

SyncController::SyncController(FeatureContext& context) : m_context(context)
{
    const auto command = [this](const char* selector, void (SyncController::*action)()) {
        m_context.registerAction(QString::fromLatin1(selector), [this, action](QObject*) {
            if (!m_context.nowSyncing())
                (this->*action)();
        });
    };
    command("synchronizeDatafiles:", &SyncController::synchronizeDatafiles);
    command("saveAsNewSyncFile:", &SyncController::saveAsNewSyncFile);
    command("removeSyncID:", &SyncController::removeSyncID);
}

SyncController::~SyncController()
{
    if (m_conflicts)
        conflictsCancelled();
}

SyncTransport* SyncController::transport(int method)
{
    const auto made = m_transports.find(method);
    if (made != m_transports.end())
        return made->second.get();
    const auto factory = transportFactories().find(method);
    if (factory == transportFactories().end() || !factory->second)
        return nullptr;
    return m_transports.emplace(method, factory->second()).first->second.get();
}

bool SyncController::refusesToSync()
{
    DatafileDocument* document = m_context.document();
    if (!document || m_context.nowSyncing() ||
        (m_context.hasCurrentRecordEngine() && m_context.engine().isClone())) {
        Presenter::shared().beep();
        return true;
    }
    const bool canSave = !m_context.hasCurrentRecordEngine() || m_context.engine().canSaveChanges();
    if (document->openedReadOnly() || document->datafileSettings()->readOnly() || !canSave) {
        showAlert(localized(QStringLiteral("Cannot synchronize")),
                  localized(QStringLiteral("This datafile cannot be saved, so it cannot be "
                                           "synchronized.")));
        return true;
    }
    return false;
}

void SyncController::showAlert(const QString& message, const QString& informative)
{
    AlertRequest alert;
    alert.style = AlertRequest::Style::Informational;
    alert.messageText = message;
    alert.informativeText = informative;
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, m_context.window(), [](const AlertResponse&) {});
}

// Synchronise

void SyncController::synchronizeDatafiles()
{
    if (refusesToSync())
        return;
    if (!m_context.document()->isDocumentEdited()) {
        setLocalSyncChoice();
        return;
    }
    AlertRequest alert;
    alert.messageText =
        localized(QStringLiteral("Save changes or Revert to previously saved state before proceeding?"));
    alert.informativeText =
        localized(QStringLiteral("Once synchronization has begun, it may not be possible to halt "
                                 "the process before the datafiles have been modified."));
    alert.buttons = {localized(QStringLiteral("Save Changes")), localized(QStringLiteral("Cancel")),
                     localized(QStringLiteral("Revert"))};
    const QPointer<SyncController> self(this);
    Presenter::shared().beginAlertSheet(alert, m_context.window(), [self](const AlertResponse& response) {
        if (!self)
            return;
        switch (response.returnCode) {
        case AlertFirstButtonReturn:
            self->handleEditedDocument(1);
            break;
        case AlertSecondButtonReturn:
            self->handleEditedDocument(0);
            break;
        default:
            self->handleEditedDocument(-1);
            break;
        }
    });
}

void SyncController::handleEditedDocument(int returnCode)
{
    DatafileDocument* document = m_context.document();
    if (returnCode == 0 || !document)
        return;
    if (returnCode == 1) {
        document->saveDocument();
        // A save that failed has told the user; nothing may be merged over it.
        if (document->isDocumentEdited())
            return;
    } else {
        if (m_context.hasCurrentRecordEngine())
            m_context.engine().goToNextRecord();
        // Errors are ignored: the sync goes on with what the datafile then holds.
        document->revertToContentsOfURL(document->fileURL(), document->fileType());
    }
    setLocalSyncChoice();
}

void SyncController::setLocalSyncChoice()
{
    chooseSyncMethod(&SyncController::handleSynchronization,
                     &SyncController::resolveLocalSyncChoice);
}

void SyncController::resolveLocalSyncChoice(int returnCode, int creationMethod)
{
    takeSyncChoice(returnCode, creationMethod, &SyncController::handleSynchronization);
}

void SyncController::chooseSyncMethod(void (SyncController::*next)(),
                                      void (SyncController::*didEnd)(int, int))
{
    m_localSyncChoice = int(UserDefaults::standardUserDefaults().integerForKey(DefaultSynchMethodKey));
    if (m_localSyncChoice != AskEachTime) {
        (this->*next)();
        return;
    }
    beginSyncChoice([this, didEnd](int returnCode, int method) { (this->*didEnd)(returnCode, method); });
}

void SyncController::takeSyncChoice(int returnCode, int creationMethod, void (SyncController::*next)())
{
    // A cancelled sheet leaves no method.
    m_localSyncChoice = returnCode == 1 ? creationMethod : int(NoMethod);
    if (returnCode == 1)
        (this->*next)();
}

void SyncController::handleSynchronization()
{
    switch (m_localSyncChoice) {
    case DropboxMethod:
        m_taskType = SynchronizeTask;
        break;
    default:
        break;
    }
    SyncTransport* chosen = transport(m_localSyncChoice);
    if (!chosen)
        return;
    const QPointer<SyncController> self(this);
    chosen->fetchSyncFile(*this, [self, chosen](const std::optional<QUrl>& file) {
        if (self && file)
            self->synchronizeWithFile(*chosen, *file);
    });
}

void SyncController::beginSyncChoice(std::function<void(int, int)> didEnd)
{
    const bool mobile = m_context.isMobile();
    SyncChoiceSheetController* sheet =
        mobile ? static_cast<SyncChoiceSheetController*>(
                     VKSheetController::controller<SyncChoiceOldSheetController>())
               : VKSheetController::controller<SyncChoiceNewSheetController>();
    const QPointer<SyncController> self(this);
    sheet->beginSyncChoiceForWindow(m_context.window(), mobile,
                                    [self, sheet, didEnd](QWidget*, int returnCode) {
                                        if (self)
                                            didEnd(returnCode, sheet->creationMethod());
                                    });
}

// Create

void SyncController::saveAsNewSyncFile()
{
    if (refusesToSync())
        return;
    if (m_context.settings()->syncID().isEmpty()) {
        queryCreateChoiceDidEnd(1);
        return;
    }
    AlertRequest alert;
    alert.messageText = localized(QStringLiteral("This datafile already has a Sync ID."));
    alert.informativeText = localized(QStringLiteral("Are you sure you want to create a new version?"));
    alert.buttons = {localized(QStringLiteral("Save As New")), localized(QStringLiteral("Cancel"))};
    askFirstOrCancel(alert, &SyncController::queryCreateChoiceDidEnd);
}

void SyncController::queryCreateChoiceDidEnd(int returnCode)
{
    if (returnCode == 0)
        m_creatingSyncFile = false;
    if (returnCode != 1)
        return;
    chooseSyncMethod(&SyncController::createNewSyncFile, &SyncController::saveSyncChoiceDidEnd);
}

void SyncController::saveSyncChoiceDidEnd(int returnCode, int creationMethod)
{
    takeSyncChoice(returnCode, creationMethod, &SyncController::createNewSyncFile);
}

void SyncController::createNewSyncFile()
{
    switch (m_localSyncChoice) {
    case DropboxMethod:
        m_taskType = CreateSyncFileTask;
        break;
    default:
        break;
    }
    if (SyncTransport* chosen = transport(m_localSyncChoice))
        chosen->createSyncFile(*this);
}

// Remove

void SyncController::removeSyncID()
{
    AlertRequest alert;
    alert.messageText = localized(QStringLiteral("Are you sure that you want to remove the Synchronization ID?"));
    alert.informativeText = localized(QStringLiteral(
        "Once the Sync ID has been removed, this datafile will no longer synchronize with its "
        "current Sync File.\n\nThis change will become permanent the next time you save changes to "
        "the datafile."));
    alert.buttons = {localized(QStringLiteral("Remove It")), localized(QStringLiteral("Cancel"))};
    askFirstOrCancel(alert, &SyncController::removeSyncIDDidEnd);
}

void SyncController::askFirstOrCancel(const AlertRequest& alert, void (SyncController::*didEnd)(int))
{
    const QPointer<SyncController> self(this);
    Presenter::shared().beginAlertSheet(alert, m_context.window(), [self, didEnd](const AlertResponse& response) {
        if (self)
            (self->*didEnd)(response.returnCode == AlertFirstButtonReturn ? 1 : 0);
    });
}

void SyncController::removeSyncIDDidEnd(int returnCode)
{
    if (returnCode != 1 || !m_context.document())
        return;
    m_context.settings()->setSyncID(QStringLiteral(""));
    if (m_context.hasCurrentRecordEngine())
        m_context.engine().setDatafileChanged();
    else
        m_context.document()->updateChangeCount(Document::ChangeType::Done);
    UserDefaults::standardUserDefaults().removeObjectForKey(
        LocalSyncTransport::rememberedKey(m_context.document()->fileURL().toLocalFile()));
}

// Pairing state

void SyncController::resetSyncFlags()
{
    const std::shared_ptr<SubsetSortedData> catalog = m_context.document()->datafileCatalog();
    const std::shared_ptr<DatafileRecordsData>& records = m_context.document()->datafileRecords();
    for (const PlistValue& entry : catalog->sortedArray()) {
        const PlistDictionary* dictionary = entry.asDictionary();
        if (const std::shared_ptr<RecordData> record =
                dictionary ? records->recordForIdentifier(dictionary->stringForKey(SortedData::IdentifierKey))
                           : nullptr)
            record->setNeedsSync(false);
    }
}

QStringList SyncController::flaggedRecords() const
{
    QStringList flagged;
    for (const std::shared_ptr<RecordData>& record : m_context.document()->datafileRecords()->collection())
        if (record && record->needsSync())
            flagged.append(record->identifier());
    return flagged;
}

void SyncController::restoreSyncFlags(const QStringList& flagged)
{
    const std::shared_ptr<DatafileRecordsData>& records = m_context.document()->datafileRecords();
    for (const QString& identifier : flagged)
        if (const std::shared_ptr<RecordData> record = records->recordForIdentifier(identifier))
            record->setNeedsSync(true);
}

void SyncController::updateSyncID()
{
    const std::shared_ptr<DatafileSettingsData> settings = m_context.settings();
    if (!settings->syncID().isEmpty())
        return;
    settings->setSyncID(VKStringCategories::universallyUniqueIdentifier());
    resetSyncFlags();
    m_context.document()->updateChangeCount(Document::ChangeType::Done);
    m_context.document()->saveDocument();
}

void SyncController::updateMinorStatus(const QString& status)
{
    const QByteArray line = "  " + status.toUtf8() + "\n";
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stderr);
}

// One sync

void SyncController::synchronizeWithFile(SyncTransport& transport, const QUrl& file)
{
    DatafileDocument* local = m_context.document();
    if (!local || m_conflicts)
        return;
    const QString path = file.toLocalFile();
    DatafileDocument* open = openDatafileAt(path);
    if (open == local || canonicalPath(path) == canonicalPath(local->fileURL().toLocalFile())) {
        showAlert(localized(QStringLiteral("You cannot synchronize a datafile with itself.")),
                  localized(QStringLiteral("Perhaps you intended to synchronize with a file with the "
                                           "same name, but in a different location.")));
        return;
    }
    if (open && open->isDocumentEdited()) {
        showAlert(localized(QStringLiteral("Cannot synchronize")),
                  localized(QStringLiteral("The selected sync file is open with unsaved changes. Save "
                                           "or close it, then synchronize again.")));
        return;
    }
    m_running = &transport;
    m_context.progress().startIndeterminateProgressPanel(localized(QStringLiteral("Synchronizing...")));
    // Every local record committed and shown, so that the merge reaches each one.
    m_context.host().endEditing();
    if (m_context.hasCurrentRecordEngine()) {
        CurrentRecordEngine& engine = m_context.engine();
        engine.updateCurrentRecord();
        engine.saveIfDifferentRecord(engine.currentRecord());
    }
    m_context.host().selectAllRecords();

    QString failure;
    DatafileDocument* remote = open ? open : openRemoteDocument(transport, file, failure);
    if (!remote) {
        SystemLog::log(transport.openErrorLogLine(file, failure));
        m_running = nullptr;
        transport.didEnd(*this, file);
        cannotSynchronize(failure);
        return;
    }
    m_remoteDocument = remote;
    mergeRemoteDocument(transport, file);
}

DatafileDocument* SyncController::openRemoteDocument(SyncTransport& transport, const QUrl& file,
                                                     QString& failure)
{
    DocumentController& documents = DocumentController::shared();
    const QString type = documents.typeForURL(file);
    if (type != m_context.document()->fileType() && type != DatafileDocument::ProDatafileType &&
        type != DatafileDocument::MobileDatafileType) {
        failure = localized(QStringLiteral("The file is not a datafile."));
        return nullptr;
    }
    auto document = std::make_unique<DatafileDocument>();
    document->setFileType(type);
    document->setFileURL(file);
    document->setOpenedAsSyncFile(true);
    if (!document->readFromURL(file, type)) {
        failure = document->failureReason().isEmpty()
                      ? localized(QStringLiteral("The file could not be read."))
                      : document->failureReason();
        return nullptr;
    }
    document->noteFileState();
    auto* opened = static_cast<DatafileDocument*>(documents.addDocument(std::move(document)));
    opened->makeWindowControllers();
    if (transport.opensDisplayed())
        opened->showWindows();
    return opened;
}

void SyncController::cannotSynchronize(const QString& reason)
{
    endProgress();
    showAlert(localized(QStringLiteral("Cannot synchronize")), reason);
}

void SyncController::mergeRemoteDocument(SyncTransport& transport, const QUrl& file)
{
    DatafileDocument& local = *m_context.document();
    if (!MergeEngine::goodMatchBetweenLocalDatafile(local, *m_remoteDocument)) {
        transport.didMismatch(*this, file);
        closeRemoteDocument();
        m_running = nullptr;
        cannotSynchronize(
            localized(QStringLiteral("The field structure of the selected datafile does not match.")));
        return;
    }
    transport.didMatch(*this, file);
    // Every remote record shown, so that every conflict can be shown.
    if (EditorWindowController* remote = remoteWindowController())
        remote->recordsController().selectAllRecords();

    MergeEngine merge(local, *m_remoteDocument);
    if (m_context.hasCurrentRecordEngine()) {
        CurrentRecordEngine& engine = m_context.engine();
        merge.setDeletionStep([&engine](const QList<std::shared_ptr<RecordData>>& records) {
            const qsizetype deleted = engine.deleteRecords(records);
            // The last record is never deleted, and the user hears so.
            if (deleted < records.size())
                Presenter::shared().beep();
            return deleted;
        });
        merge.setOverwritten([&engine](const std::shared_ptr<RecordData>& record) {
            if (record == engine.currentRecord())
                engine.loadRecord(record);
        });
    }
    const QStringList conflicts = merge.merge();
    m_context.host().selectAllRecords();
    if (conflicts.isEmpty())
        finishSynchronization(transport, file);
    else
        showConflicts(transport, conflicts);
}

void SyncController::showConflicts(SyncTransport& transport, const QStringList& conflicts)
{
    m_context.progress().endIndeterminateProgressPanel();
    EditorWindowController* remote = remoteWindowController();
    EditorWindowController* local = editorOf(m_context.document());
    if (!remote || !local) {
        conflictsCancelled();
        return;
    }
    remote->setNowSyncing(true);
    QWidget* remoteWindow = remote->window();
    const QString base =
        transport.titlesRemoteAfterItself() ? remoteWindow->windowTitle() : m_context.host().windowTitle();
    // Read-only first: that retitles the window, which then takes the title it keeps.
    m_remoteDocument->setOpenedReadOnly(true);
    remoteWindow->setWindowTitle(base + localized(QStringLiteral("-REMOTE")));
    remoteWindow->move(remoteWindow->pos() + QPoint(48, 48));

    m_conflicts = std::make_unique<SynchronizationController>();
    m_conflicts->initSyncController(*local, *remote, conflicts, transport.methodCode(), local,
                                    [this] { conflictsResolved(); }, [this] { conflictsCancelled(); });
    // Closing the remote window gives up the sync, as Cancel does.
    m_remoteClosed = connect(m_remoteDocument.data(), &Document::closed, this, [this] {
        // Already closing: it is not closed again.
        m_remoteDocument = nullptr;
        if (m_conflicts)
            conflictsCancelled();
    });
}

void SyncController::conflictsResolved()
{
    if (!m_conflicts || !m_remoteDocument || !m_running)
        return;
    m_context.progress().startIndeterminateProgressPanel(localized(QStringLiteral("Synchronizing...")));
    const QUrl file = m_remoteDocument->fileURL();
    SynchronizationController* window = m_conflicts.release();
    window->closeWindow();
    window->deleteLater();
    finishSynchronization(*m_running, file);
}

void SyncController::conflictsCancelled()
{
    const QUrl file = m_remoteDocument ? m_remoteDocument->fileURL() : QUrl();
    closeRemoteDocument();
    endProgress();
    if (SyncTransport* running = std::exchange(m_running, nullptr))
        running->didEnd(*this, file);
    if (SynchronizationController* window = m_conflicts.release()) {
        window->closeWindow();
        window->deleteLater();
    }
}

void SyncController::closeRemoteDocument()
{
    disconnect(m_remoteClosed);
    if (DatafileDocument* remote = m_remoteDocument.data()) {
        m_remoteDocument = nullptr;
        remote->close();
    }
}

bool SyncController::saveLocalDatafile(const QString& copyPath)
{
    DatafileDocument* document = m_context.document();
    if (document->fileURL().isEmpty())
        return false;
    if (DatafileEditor* editor = document->editor())
        editor->commitEdits();
    // For this save only: a save refused before writing must not leave it for the next.
    document->setCopyOfNextSave(copyPath);
    const bool saved = document->saveToURL(document->fileURL(), document->fileType(),
                                           Document::SaveOperation::Save);
    document->setCopyOfNextSave(QString());
    return saved;
}

void SyncController::finishSynchronization(SyncTransport& transport, const QUrl& file)
{
    closeRemoteDocument();
    DatafileDocument* document = m_context.document();
    // What still needs a sync if the sync file cannot be written: flagged again, the next
    // sync repeats and finds the same conflicts instead of taking the remote versions.
    const QStringList flagged = flaggedRecords();
    resetSyncFlags();
    document->updateChangeCount(Document::ChangeType::Done);
    if (!saveLocalDatafile(transport.copyPathOfSave(file))) {
        // The failed save has been reported; the sync file stays as it was.
        restoreSyncFlags(flagged);
        m_running = nullptr;
        transport.didEnd(*this, file);
        endProgress();
        return;
    }
    const QPointer<SyncController> self(this);
    transport.writeBack(*this, file, [self, flagged, &transport](const std::optional<QString>& failure) {
        if (!self)
            return;
        self->m_running = nullptr;
        self->endProgress();
        if (!failure)
            return;
        self->restoreSyncFlags(flagged);
        self->m_context.document()->updateChangeCount(Document::ChangeType::Done);
        self->saveLocalDatafile();
        if (!failure->isEmpty())
            transport.writeBackFailed(*self, *failure);
    });
}

void SyncController::reportWriteBackFailure(const QString& reason)
{
    AlertRequest alert;
    alert.style = AlertRequest::Style::Warning;
    alert.messageText = localized(QStringLiteral("Error Saving Remote Datafile"));
    alert.informativeText = stringWithFormat(localized(QStringLiteral("Error: %@")), reason);
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, m_context.window(), [](const AlertResponse&) {});
}

void SyncController::endProgress()
{
    m_context.progress().endIndeterminateProgressPanel();
    // The sync file's window and the sheet have gone: the user is back in this window.
    if (QWidget* window = m_context.window()) {
        window->raise();
        window->activateWindow();
    }
    m_context.host().makeMain();
}

EditorWindowController* SyncController::remoteWindowController() const
{
    return editorOf(m_remoteDocument.data());
}

void SyncTransport::writeBackFailed(SyncController& sync, const QString& failure)
{
    sync.reportWriteBackFailure(failure);
}

void SyncController::shutDownNetServices()
{
    for (const auto& [method, made] : m_transports)
        made->shutDownNetServices();
}

void SyncController::windowShouldClose()
{
    if (m_conflicts || m_remoteDocument)
        conflictsCancelled();
    shutDownNetServices();
}
