#include "DropboxSyncController.h"

#include "DBClientsManager.h"
#include "DatafileDocument.h"
#include "DropboxClient.h"
#include "FeatureContext.h"
#include "FileURL.h"
#include "Localization.h"
#include "Presenter.h"
#include "StringFormat.h"
#include "SyncController.h"
#include "SystemLog.h"
#include "URLEventManager.h"
#include "UserDefaults.h"
#include "VKStringCategories.h"

#include <QFile>
#include <QFileInfo>
#include <QProgressBar>

#include <algorithm>
#include <climits>
#include <utility>

namespace {

QProgressBar* progressBarOf(const FeatureContext& context)
{
    QWidget* panel = context.progress().progressPanel();
    return panel ? panel->findChild<QProgressBar*>() : nullptr;
}

} // namespace

DropboxSyncController::DropboxSyncController(QString appKey) : m_appKey(std::move(appKey))
{
}

DropboxSyncController::~DropboxSyncController()
{
    // The window closed during a sync: its download goes with it.
    removeTemporaryDownload();
}

QString DropboxSyncController::temporaryPath(const QString& datafilesFolder, bool mobile)
{
    QString folder = datafilesFolder;
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return stringWithFormat(QStringLiteral("%@/%@%@"), folder,
                            VKStringCategories::universallyUniqueIdentifier(),
                            mobile ? QStringLiteral(".nvm") : QStringLiteral(".nv3"));
}

// Engine

void DropboxSyncController::createSyncFile(SyncController& sync)
{
    m_sync = &sync;
    connectToDropbox();
}

void DropboxSyncController::fetchSyncFile(SyncController& sync, Fetched fetched)
{
    m_sync = &sync;
    m_fetched = std::move(fetched);
    connectToDropbox();
}

void DropboxSyncController::didMismatch(SyncController&, const QUrl&)
{
    removeTemporaryDownload();
}

void DropboxSyncController::didEnd(SyncController&, const QUrl&)
{
    removeTemporaryDownload();
}

void DropboxSyncController::writeBack(SyncController& sync, const QUrl&, WrittenBack done)
{
    m_sync = &sync;
    m_writtenBack = std::move(done);
    batchUploadDatafileToDropbox(sync.context().document()->fileURL().toLocalFile());
    removeTemporaryDownload();
}

// Sign-in

void DropboxSyncController::connectToDropbox()
{
    if (!m_sync)
        return;
    _taskType = m_sync->taskType();
    if (DBClientsManager::authorizedClient()) {
        continueByTaskType();
        return;
    }
    DBClientsManager::setupWithAppKeyDesktop(m_appKey);
    DBClientsManager::authorizeFromControllerDesktop(
        [](const QUrl& url) { Presenter::shared().openUrl(url); });
    const QPointer<DropboxSyncController> self(this);
    URLEventManager::shared().setEventHandler(this, [self](const QString& url) {
        if (self)
            self->handleAppleEvent(url);
    });
}

void DropboxSyncController::continueByTaskType()
{
    if (_taskType != SyncController::CreateSyncFileTask) {
        SystemLog::log(QStringLiteral("Call Download\n\n"));
        _taskType = SyncController::SynchronizeTask;
        syncDatafileOnDropbox();
    } else {
        SystemLog::log(QStringLiteral("Call Upload\n\n"));
        createDropboxSyncFile();
    }
}

void DropboxSyncController::handleAppleEvent(const QString& url)
{
    const QPointer<DropboxSyncController> self(this);
    DBClientsManager::handleRedirectURL(QUrl(url), [self](const DBOAuthResult& result) {
        if (self)
            self->authorizationDidEnd(result);
    });
}

void DropboxSyncController::authorizationDidEnd(const DBOAuthResult& result)
{
    if (result.isSuccess()) {
        SystemLog::log(QStringLiteral("Success! User is logged into Dropbox.\n\n"));
        continueByTaskType();
    } else if (result.isCancel()) {
        // Logged only: the sync does not start, and a later sign-in may still start it.
        SystemLog::log(QStringLiteral("Authorization flow was manually canceled by user!"));
    } else {
        SystemLog::log(stringWithFormat(QStringLiteral("Error: %@"), result.description()));
    }
}

// Download

void DropboxSyncController::syncDatafileOnDropbox()
{
    if (!m_sync)
        return;
    FeatureContext& context = m_sync->context();
    removeTemporaryDownload();
    context.progress().startIndeterminateProgressPanel(localized(QStringLiteral("Downloading...")));
    if (QProgressBar* bar = progressBarOf(context)) {
        bar->setRange(0, 0);
        bar->setValue(1);
    }
    const QString folder =
        FileURL::folderPath(UserDefaults::standardUserDefaults()
                                .stringForKey(QStringLiteral("DatafilesFolderURL"))
                                .value_or(QString()));
    g_pathToTemporaryDownloadedFile = temporaryPath(folder, context.isMobile());
    downloadDatafileFromDropbox(context.document()->displayName(), g_pathToTemporaryDownloadedFile);
    g_uploading = false;
    m_sync->setCreatingSyncFile(false);
    SyncController::updateMinorStatus(QStringLiteral("Starting Download"));
}

void DropboxSyncController::downloadDatafileFromDropbox(const QString& name,
                                                        const QString& downloadedFile)
{
    DropboxClient* client = DBClientsManager::authorizedClient();
    if (!client) {
        SystemLog::log(QStringLiteral("DBUserClient == nil"));
        // Nothing comes to close the sheet.
        endProgress();
        fetchEnded(std::nullopt);
        return;
    }
    _taskType = SyncController::SynchronizeTask;
    _uploadedDatafilePath = downloadedFile;
    const QPointer<DropboxSyncController> self(this);
    client->downloadToFile(stringWithFormat(QStringLiteral("/%@"), name), downloadedFile,
                           [self](const DropboxDownloadResponse& response) {
                               if (self)
                                   self->downloadDidEnd(response);
                           });
}

QString DropboxSyncController::downloadFailureText(const DropboxDownloadResponse& response)
{
    if (response.routeError) {
        const DropboxRouteError& route = *response.routeError;
        const QString detail =
            route.isPath() ? stringWithFormat(QStringLiteral("Invalid path: %@"), route.lookupTag)
                           : stringWithFormat(QStringLiteral("Unknown error: %@"),
                                              route.summary.isEmpty() ? route.tag : route.summary);
        return QStringLiteral("Route-specific error") + QLatin1Char('\n') + detail;
    }
    const QString detail = response.requestError ? response.requestError->description() : QString();
    return QStringLiteral("Generic request error") + QLatin1Char('\n') +
           stringWithFormat(QStringLiteral("%@"), detail);
}

void DropboxSyncController::downloadDidEnd(const DropboxDownloadResponse& response)
{
    endProgress();
    if (!response.succeeded()) {
        removeTemporaryDownload();
        badDropboxDownload(downloadFailureText(response));
        fetchEnded(std::nullopt);
        return;
    }
    if (!response.written) {
        SyncController::updateMinorStatus(QStringLiteral("Failed to write temporary datafile.\n"));
        fetchEnded(std::nullopt);
        return;
    }
    SyncController::updateMinorStatus(QStringLiteral("Temporary datafile written."));
    performDropboxSync();
}

void DropboxSyncController::performDropboxSync()
{
    if (!m_sync)
        return;
    m_sync->setCreatingSyncFile(false);
    m_sync->context().progress().incrementProgressPanel(
        localized(QStringLiteral("Synchronizing...")));
    const QString escaped = QString::fromLatin1(
        QUrl::toPercentEncoding(g_pathToTemporaryDownloadedFile, QByteArrayLiteral("/")));
    const QUrl remote(stringWithFormat(QStringLiteral("file://localhost%@"), escaped));
    // The engine ends the sheet, opens the copy displayed and merges it.
    fetchEnded(QUrl::fromLocalFile(FileURL::localPath(remote)));
}

// Upload

void DropboxSyncController::createDropboxSyncFile()
{
    if (!m_sync)
        return;
    m_sync->setCreatingSyncFile(true);
    FeatureContext& context = m_sync->context();
    context.progress().startIndeterminateProgressPanel(localized(QStringLiteral("Uploading...")));
    if (QProgressBar* bar = progressBarOf(context)) {
        bar->setRange(0, 100);
        bar->setValue(1);
    }
    m_barValue = 1.0;
    m_sync->resetSyncFlags();
    batchUploadDatafileToDropbox(context.document()->fileURL().toLocalFile());
}

void DropboxSyncController::batchUploadDatafileToDropbox(const QString& localPath)
{
    if (!m_sync)
        return;
    FeatureContext& context = m_sync->context();
    DatafileDocument* document = context.document();
    // After a merge the engine has just saved it so: the same bytes would be written again.
    if (document->isDocumentEdited() || m_sync->creatingSyncFile()) {
        m_sync->resetSyncFlags();
        document->updateChangeCount(Document::ChangeType::Done);
        document->saveDocument();
    }
    DropboxClient* client = DBClientsManager::authorizedClient();
    if (!client) {
        SystemLog::log(QStringLiteral("DBUserClient == nil"));
        endProgress();
        uploadEnded(false);
        return;
    }
    g_uploading = true;
    if (QProgressBar* bar = progressBarOf(context))
        m_barValue = bar->value();
    const DropboxCommitInfo commit{
        stringWithFormat(QStringLiteral("/%@"), QFileInfo(localPath).fileName())};
    const QPointer<DropboxSyncController> self(this);
    client->batchUploadFiles(
        {{localPath, commit}},
        [self](qint64 justSent, qint64 totalSent, qint64 totalExpected) {
            if (self)
                self->uploadProgress(justSent, totalSent, totalExpected);
        },
        [self, localPath](const DropboxBatchResponse& response) {
            if (self)
                self->uploadDidEnd(localPath, response);
        });
}

void DropboxSyncController::uploadProgress(qint64, qint64 totalSent, qint64 totalExpected)
{
    if (!m_sync)
        return;
    FeatureContext& context = m_sync->context();
    if (QProgressBar* bar = progressBarOf(context)) {
        // The bar counts in ints: a file beyond that is shown in proportion.
        const double scale =
            totalExpected > INT_MAX ? double(INT_MAX) / double(totalExpected) : 1.0;
        m_barValue += ProgressStep;
        bar->setRange(0, int(double(totalExpected) * scale));
        bar->setValue(int(std::min(m_barValue, double(totalExpected)) * scale));
    }
    context.progress().incrementProgressPanel(
        stringWithFormat(localized(QStringLiteral("Uploaded %lld of %lld KB.")), totalSent / 1024,
                         totalExpected / 1024));
}

void DropboxSyncController::uploadDidEnd(const QString&, const DropboxBatchResponse& response)
{
    g_uploading = false;
    std::optional<bool> succeeded;
    if (response.results) {
        SystemLog::log(QStringLiteral("Call to `/upload_session/finish_batch/check` succeeded"));
        for (const auto& [localPath, entry] : *response.results) {
            if (entry.success) {
                SystemLog::log(stringWithFormat(
                    QStringLiteral(
                        "File successfully uploaded from %@ on local machine to %@ in Dropbox."),
                    localPath, entry.pathDisplay));
                if (m_sync && m_sync->creatingSyncFile()) {
                    m_sync->setCreatingSyncFile(false);
                    m_sync->updateSyncID();
                }
                endProgress();
                succeeded = succeeded.value_or(true);
                continue;
            }
            QString reason;
            if (response.requestErrors.contains(localPath))
                reason = QStringLiteral("uploadNetworkError");
            if (entry.failure)
                reason = QStringLiteral("uploadSessionFinishError");
            endProgress();
            showAlert(localized(QStringLiteral("Synchronization Failed:")), reason);
            succeeded = false;
        }
    }
    if (response.finishRouteError) {
        SystemLog::log(
            QStringLiteral("Either bug in SDK code, or transient error on Dropbox server"));
        SystemLog::log(response.finishRouteError->summary.isEmpty()
                           ? response.finishRouteError->tag
                           : response.finishRouteError->summary);
    } else if (response.finishRequestError) {
        SystemLog::log(
            QStringLiteral("Request error from calling `/upload_session/finish_batch/check`"));
        SystemLog::log(response.finishRequestError->description());
    } else if (!response.requestErrors.isEmpty()) {
        SystemLog::log(
            QStringLiteral("Other additional errors (e.g. file doesn't exist client-side, etc.)."));
        for (auto error = response.requestErrors.cbegin(); error != response.requestErrors.cend();
             ++error)
            SystemLog::log(error.key() + QStringLiteral(": ") + error.value().description());
    }
    if (!response.results) {
        // Only batch-level errors: the sheet would stay up and nothing would be said.
        endProgress();
        const bool finishFailed = response.finishRouteError || response.finishRequestError;
        showAlert(localized(QStringLiteral("Synchronization Failed:")),
                  finishFailed ? QStringLiteral("uploadSessionFinishError")
                               : QStringLiteral("uploadNetworkError"));
        succeeded = false;
    }
    if (m_sync && m_sync->creatingSyncFile() && !succeeded.value_or(false))
        m_sync->setCreatingSyncFile(false);
    uploadEnded(succeeded.value_or(false));
}

// Outcome reports

void DropboxSyncController::goodDropboxDownload()
{
    performDropboxSync();
}

void DropboxSyncController::badDropboxDownload(const QString& error)
{
    endProgress();
    showAlert(localized(QStringLiteral("Could not download to Dropbox")),
              stringWithFormat(localized(QStringLiteral("Dropbox Error: %@")), error));
}

void DropboxSyncController::goodDropboxUpload()
{
    endProgress();
}

void DropboxSyncController::badDropboxUpload(const QString& error)
{
    endProgress();
    showAlert(localized(QStringLiteral("Could not upload to Dropbox")),
              stringWithFormat(localized(QStringLiteral("Dropbox Error: %@")), error));
}

void DropboxSyncController::userAbortedSynchronization()
{
    userAborted();
}

void DropboxSyncController::userAbortedSyncFileCreation()
{
    userAborted();
}

void DropboxSyncController::userAborted()
{
    if (!m_sync)
        return;
    endProgress();
    FeatureContext& context = m_sync->context();
    DatafileDocument* document = context.document();
    context.settings()->setSyncID(QStringLiteral(""));
    document->updateChangeCount(Document::ChangeType::Done);
    UserDefaults::standardUserDefaults().removeObjectForKey(document->fileURL().toLocalFile() +
                                                            QStringLiteral("-sync"));
    document->saveDocument();
}

// Helpers

void DropboxSyncController::showAlert(const QString& title, const QString& message)
{
    if (!m_sync)
        return;
    AlertRequest alert;
    alert.messageText = title;
    alert.informativeText = message;
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, m_sync->context().window(),
                                        [](const AlertResponse&) {});
}

void DropboxSyncController::endProgress()
{
    if (m_sync)
        m_sync->endProgress();
}

void DropboxSyncController::removeTemporaryDownload()
{
    if (!g_pathToTemporaryDownloadedFile.isEmpty())
        QFile::remove(g_pathToTemporaryDownloadedFile);
}

void DropboxSyncController::fetchEnded(const std::optional<QUrl>& file)
{
    if (Fetched fetched = std::exchange(m_fetched, nullptr))
        fetched(file);
}

void DropboxSyncController::uploadEnded(bool succeeded)
{
    // The user has been told why; the engine flags the records again.
    if (WrittenBack done = std::exchange(m_writtenBack, nullptr))
        done(succeeded ? std::nullopt : std::optional<QString>(QString()));
}
