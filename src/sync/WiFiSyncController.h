#pragma once

#include "HttpExchange.h"
#include "WiFiRequests.h"
#include "SyncTransport.h"
#include "WiFiDiscovery.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>

#include <memory>

class FeatureContext;
class QAuthenticator;
class QNetworkReply;

// The sync file held by the mobile app, reached over the local network: discovery finds
// the app's server, a GET brings its copy here as a temporary file beside the user's
// datafiles, the merge runs on it like on a local sync file, and a multipart POST gives
// the app the merged datafile. Every request waits for its answer on the main thread.
class WiFiSyncController : public QObject, public SyncTransport, public WiFiDiscoveryClient {
    Q_OBJECT

public:
    static constexpr int MethodCode = 2;
    // The largest datafile that becomes a sync file without a warning.
    static constexpr qint64 SizeLimit = 419430400;

    WiFiSyncController();
    ~WiFiSyncController() override;

    // The sync transport.
    int methodCode() const override { return MethodCode; }
    bool opensDisplayed() const override { return false; }
    bool titlesRemoteAfterItself() const override { return false; }
    void createSyncFile(SyncController& sync) override;
    void fetchSyncFile(SyncController& sync, Fetched fetched) override;
    void didMismatch(SyncController& sync, const QUrl& file) override;
    void writeBack(SyncController& sync, const QUrl& file, WrittenBack done) override;
    void writeBackFailed(SyncController& sync, const QString& failure) override;
    void shutDownNetServices() override;

    // Discovery's client.
    QWidget* discoveryWindow() const override;
    QString expectedPort() const override;
    QString wrongPort() const override;
    QString incorrectDatafileTypeText() const override;
    void startExchange(int operation) override;
    void pickerCancelled() override;

    void setWiFiOperation(int operation) { m_discovery.setWiFiOperation(operation); }
    int wifiOperation() const { return m_discovery.wifiOperation(); }
    QString iPhonePath() const { return m_discovery.iPhonePath(); }
    QString fullDatafileName() const { return m_fullDatafileName; }
    WiFiDiscovery& discovery() { return m_discovery; }
    // The base address as a URL; empty while no server is known.
    QUrl wifiDocumentURL() const;

    bool performGet();
    void saveGottenFile(QByteArray data);
    void syncDatafileOnWiFi();
    bool performPost();
    bool cancelWiFiSync(const QUrl& file);
    void createWiFiSyncFile();
    void reportWiFiFileTooLarge(const QString& megabytes);
    void reportWiFiFileTooLargeDidEnd(int returnCode);
    void createWiFiSyncFile2();
    // Aborts a transfer and cleans up after it; the message, if any, is traced.
    void stopConnection(const QString& message = QString());

    // "512.3": megabytes, cut one digit after the point.
    static QString megabytesText(qint64 bytes);

private:
    FeatureContext& context() const;
    QString displayName() const;
    // Told to the user when the datafile's name cannot travel; true then.
    bool refusesName();
    void showAlert(const QString& message, const QString& informative);
    // The download came to nothing: the sheet ends and the user is told.
    void downloadFailed(const QString& informative);
    // A POST that failed: told, the datafile saved and unpaired.
    void postFailed(const QString& text, bool unpair);
    bool post(const QString& filePath, bool unpairOnFailure);
    void removeDownload();
    void endFetch();

    SyncController* m_sync = nullptr;
    WiFiDiscovery m_discovery;
    Fetched m_fetched;
    QString m_fullDatafileName;
    std::unique_ptr<QNetworkReply> m_connection;
    std::unique_ptr<QAuthenticator> m_pendingChallenge;
    QByteArray m_incomingData;
    bool m_uploading = false;
    // The text of the last failed POST, for the write-back's report.
    QString m_postFailure;
};
