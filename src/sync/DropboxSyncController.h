#pragma once

#include "SyncTransport.h"

#include <QObject>
#include <QPointer>
#include <QString>

struct DBOAuthResult;
struct DropboxBatchResponse;
struct DropboxDownloadResponse;

// The sync file at the root of the user's Dropbox folder: the sign-in in the browser,
// the download into a temporary file that the merge opens, and the upload of the whole
// datafile that replaces the copy there or creates it.
class DropboxSyncController : public QObject, public SyncTransport {
    Q_OBJECT

public:
    static constexpr int MethodCode = 3;
    // The bar's step for each report of the upload, whatever was sent.
    static constexpr double ProgressStep = 32768;

    explicit DropboxSyncController(QString appKey);
    ~DropboxSyncController() override;

    int methodCode() const override { return MethodCode; }
    void createSyncFile(SyncController& sync) override;
    void fetchSyncFile(SyncController& sync, Fetched fetched) override;
    void didMismatch(SyncController& sync, const QUrl& file) override;
    bool titlesRemoteAfterItself() const override { return false; }
    void writeBack(SyncController& sync, const QUrl& file, WrittenBack done) override;
    void didEnd(SyncController& sync, const QUrl& file) override;

    // Signs in when no client is signed in, then goes on by the task type.
    void connectToDropbox();
    // The sign-in redirect the desktop handed over.
    void handleAppleEvent(const QString& url);
    void syncDatafileOnDropbox();
    void downloadDatafileFromDropbox(const QString& name, const QString& downloadedFile);
    void performDropboxSync();
    void createDropboxSyncFile();
    void batchUploadDatafileToDropbox(const QString& localPath);

    void goodDropboxDownload();
    void badDropboxDownload(const QString& error);
    void goodDropboxUpload();
    void badDropboxUpload(const QString& error);
    void userAbortedSynchronization();
    void userAbortedSyncFileCreation();

    // The upload's progress block: the bar over the bytes expected, one fixed step a report.
    void uploadProgress(qint64 justSent, qint64 totalSent, qint64 totalExpected);
    double progressValue() const { return m_barValue; }

    unsigned taskType() const { return _taskType; }
    QString temporaryDownloadPath() const { return g_pathToTemporaryDownloadedFile; }
    bool uploading() const { return g_uploading; }

    // "%@/%@%@": the datafiles folder, a new UUID and the datafile's own extension.
    static QString temporaryPath(const QString& datafilesFolder, bool mobile);
    // The text of a failed download: a heading and what went wrong.
    static QString downloadFailureText(const DropboxDownloadResponse& response);

private:
    void continueByTaskType();
    void downloadDidEnd(const DropboxDownloadResponse& response);
    void uploadDidEnd(const QString& localPath, const DropboxBatchResponse& response);
    // The sign-in's answer, in the window that began it.
    void authorizationDidEnd(const DBOAuthResult& result);
    void showAlert(const QString& title, const QString& message);
    void endProgress();
    void removeTemporaryDownload();
    void userAborted();
    // How the running transfer ended, to whoever waits for it.
    void fetchEnded(const std::optional<QUrl>& file);
    void uploadEnded(bool succeeded);

    QString m_appKey;
    QPointer<SyncController> m_sync;
    unsigned _taskType = 0;
    QString g_pathToTemporaryDownloadedFile;
    QString _uploadedDatafilePath;
    bool g_uploading = false;
    Fetched m_fetched;
    WrittenBack m_writtenBack;
    double m_barValue = 0;
};
