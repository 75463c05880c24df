#include "WiFiSyncController.h"

#include "DatafileDocument.h"
#include "DocumentController.h"
#include "FeatureContext.h"
#include "FileURL.h"
#include "Localization.h"
#include "Presenter.h"
#include "SafeFileWriter.h"
#include "StringFormat.h"
#include "SyncController.h"
#include "UserDefaults.h"
#include "VKInternetStringCategories.h"
#include "VKStringCategories.h"

#include <QAuthenticator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>

#include <utility>

namespace {

Document* documentAt(const QString& path)
{
    return DocumentController::shared().documentForURL(QUrl::fromLocalFile(path));
}

} // namespace

WiFiSyncController::WiFiSyncController() : m_discovery(*this) {}

WiFiSyncController::~WiFiSyncController()
{
    m_discovery.shutDownNetServices();
}

FeatureContext& WiFiSyncController::context() const
{
    return m_sync->context();
}

QString WiFiSyncController::displayName() const
{
    DatafileDocument* document = context().document();
    return document ? document->displayName() : QString();
}

// The wire

QString WiFiSyncController::megabytesText(qint64 bytes)
{
    const QString full = QString::asprintf("%f", double(bytes) / 1024.0 / 1024.0);
    const qsizetype point = full.indexOf(QLatin1Char('.'));
    return point < 0 ? full : full.left(point + 2);
}

QUrl WiFiSyncController::wifiDocumentURL() const
{
    return WiFiRequests::baseURL(m_discovery.iPhonePath());
}

// Alerts

void WiFiSyncController::showAlert(const QString& message, const QString& informative)
{
    m_sync->showAlert(message, informative);
}

bool WiFiSyncController::refusesName()
{
    if (!WiFiRequests::nameBreaksUpload(displayName()))
        return false;
    showAlert(localized(QStringLiteral("Cannot synchronize")),
              localized(QStringLiteral("The datafile's name holds a line break, which Norva Mobile "
                                       "cannot take. Rename the datafile, then try again.")));
    return true;
}

// Discovery's client

QWidget* WiFiSyncController::discoveryWindow() const
{
    return context().window();
}

QString WiFiSyncController::expectedPort() const
{
    return context().isMobile() ? WiFiDiscovery::MobilePort : WiFiDiscovery::PlusPort;
}

QString WiFiSyncController::wrongPort() const
{
    return context().isMobile() ? WiFiDiscovery::PlusPort : WiFiDiscovery::MobilePort;
}

QString WiFiSyncController::incorrectDatafileTypeText() const
{
    return WiFiRequests::incorrectDatafileTypeText(context().isMobile());
}

void WiFiSyncController::startExchange(int operation)
{
    switch (operation) {
    case WiFiRequests::GetOperation:
        performGet();
        break;
    case WiFiRequests::PostOperation:
        context().progress().startIndeterminateProgressPanel(localized(QStringLiteral("Uploading...")));
        performPost();
        m_sync->setCreatingSyncFile(false);
        break;
    default:
        break;
    }
}

void WiFiSyncController::pickerCancelled()
{
    shutDownNetServices();
}

void WiFiSyncController::shutDownNetServices()
{
    m_discovery.shutDownNetServices();
    if (m_connection)
        m_connection->abort();
    m_connection.reset();
}

// The sync transport

void WiFiSyncController::fetchSyncFile(SyncController& sync, Fetched fetched)
{
    m_sync = &sync;
    if (refusesName()) {
        fetched(std::nullopt);
        return;
    }
    m_fetched = std::move(fetched);
    m_discovery.setIPhonePath(QString());
    m_discovery.setServiceChosen(false);
    m_discovery.setWiFiOperation(WiFiRequests::GetOperation);
    m_discovery.beginWiFiConnection();
}

void WiFiSyncController::endFetch()
{
    if (Fetched fetched = std::exchange(m_fetched, {}))
        fetched(std::nullopt);
}

void WiFiSyncController::createSyncFile(SyncController& sync)
{
    m_sync = &sync;
    m_discovery.setIPhonePath(QString());
    m_discovery.setServiceChosen(false);
    createWiFiSyncFile();
}

void WiFiSyncController::didMismatch(SyncController&, const QUrl& file)
{
    // The app gets its own file back, so that nothing of it is lost.
    cancelWiFiSync(file);
}

void WiFiSyncController::writeBack(SyncController&, const QUrl&, WrittenBack done)
{
    removeDownload();
    if (post(context().document()->fileURL().toLocalFile(), false))
        done(std::nullopt);
    else
        done(m_postFailure);
}

void WiFiSyncController::writeBackFailed(SyncController& sync, const QString& failure)
{
    // The changed records are flagged again and saved; the pairing goes, as after any
    // failed upload, and the user is told why.
    postFailed(failure, false);
    sync.removeSyncIDDidEnd(1);
}

// GET

bool WiFiSyncController::performGet()
{
    FeatureContext& features = context();
    if (m_discovery.iPhonePath().isEmpty()) {
        showAlert(localized(QStringLiteral("No Norva Mobile Server Detected")),
                  localized(QStringLiteral("Make sure the WiFi Server page is open in Norva Mobile.")));
        endFetch();
        return false;
    }
    features.progress().startIndeterminateProgressPanel(localized(QStringLiteral("Downloading...")));
    QNetworkRequest request(WiFiRequests::datafileURL(m_discovery.iPhonePath(), displayName()));
    HttpExchange::Result result = HttpExchange::send(request, QByteArrayLiteral("GET"));
    if (!result.succeeded()) {
        m_sync->endProgress();
        showAlert(localized(QStringLiteral("Download Failed")), WiFiRequests::downloadFailureText(result));
        endFetch();
        return false;
    }
    // Handed on and let go once written, so the merge does not run beside a copy.
    QByteArray data = std::move(*result.data);
    result.data.reset();
    switch (WiFiRequests::readReply(data)) {
    case WiFiRequests::Reply::Empty:
        downloadFailed(localized(QStringLiteral("Norva Mobile sent no datafile.")));
        return true;
    case WiFiRequests::Reply::FileNotFound:
        m_sync->endProgress();
        m_discovery.setServiceChosen(false);
        shutDownNetServices();
        endFetch();
        return false;
    case WiFiRequests::Reply::Other:
        downloadFailed(localized(QStringLiteral("Norva Mobile sent no datafile.")));
        return false;
    case WiFiRequests::Reply::Datafile:
        break;
    }
    saveGottenFile(std::move(data));
    return true;
}

void WiFiSyncController::downloadFailed(const QString& informative)
{
    m_sync->endProgress();
    showAlert(localized(QStringLiteral("Download Failed")), informative);
    endFetch();
}

void WiFiSyncController::saveGottenFile(QByteArray data)
{
    const QString folder = FileURL::folderPath(
        UserDefaults::standardUserDefaults().stringForKey(QStringLiteral("DatafilesFolderURL")).value_or(QString()));
    const QString extension = context().isMobile() ? QStringLiteral(".nvm") : QStringLiteral(".nv3");
    SafeFileWriter::Result written;
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        m_fullDatafileName.clear();
        written.errorString = localized(QStringLiteral("The datafiles folder is not set or cannot be found."));
    } else {
        m_fullDatafileName = stringWithFormat(QStringLiteral("%@/%@%@"), folder,
                                              VKStringCategories::universallyUniqueIdentifier(), extension);
        written = SafeFileWriter::write(m_fullDatafileName, data);
    }
    if (!written.ok) {
        SyncController::updateMinorStatus(QStringLiteral("Download failed"));
        downloadFailed(written.errorString.isEmpty()
                           ? localized(QStringLiteral("The file could not be written."))
                           : written.errorString);
        return;
    }
    data = QByteArray();
    SyncController::updateMinorStatus(QStringLiteral("Download successful"));
    syncDatafileOnWiFi();
}

void WiFiSyncController::syncDatafileOnWiFi()
{
    context().progress().incrementProgressPanel(localized(QStringLiteral("Synchronizing...")));
    const QString address = VKInternetStringCategories::stringByAddingPercentEscapes(
        stringWithFormat(QStringLiteral("file://localhost%@"), m_fullDatafileName));
    const QString path = FileURL::localPath(QUrl::fromEncoded(address.toUtf8()));
    const QString download = m_fullDatafileName;
    Fetched fetched = std::exchange(m_fetched, {});
    if (fetched)
        fetched(QUrl::fromLocalFile(path));
    // The merge has run, or waits for the conflicts to be resolved in the download's
    // window: the download goes once nothing reads it any more.
    if (Document* open = documentAt(download)) {
        connect(open, &Document::closed, this, [download] { QFile::remove(download); });
        return;
    }
    QFile::remove(download);
}

void WiFiSyncController::removeDownload()
{
    if (!m_fullDatafileName.isEmpty())
        QFile::remove(m_fullDatafileName);
}

// POST

bool WiFiSyncController::performPost()
{
    return post(context().document()->fileURL().toLocalFile(), true);
}

bool WiFiSyncController::post(const QString& filePath, bool unpairOnFailure)
{
    shutDownNetServices();
    if (m_discovery.iPhonePath().isEmpty()) {
        m_sync->endProgress();
        showAlert(localized(QStringLiteral("No Norva Mobile Server Detected")),
                  localized(QStringLiteral("Make sure the WiFi Server page is open in Norva Mobile.")));
        m_postFailure = localized(QStringLiteral("No Norva Mobile Server Detected"));
        return false;
    }
    if (refusesName()) {
        m_sync->endProgress();
        m_postFailure = localized(QStringLiteral("The datafile's name holds a line break."));
        return false;
    }
    context().progress().incrementProgressPanel(localized(QStringLiteral("Uploading...")));
    m_uploading = true;
    const HttpExchange::Result result =
        WiFiRequests::sendUpload(wifiDocumentURL(), QByteArrayLiteral("POST"), displayName(), filePath);
    m_uploading = false;
    m_sync->endProgress();
    if (result.succeeded()) {
        SyncController::updateMinorStatus(QStringLiteral("POST succeeded"));
        return true;
    }
    m_postFailure = WiFiRequests::connectionFailureText(result);
    SyncController::updateMinorStatus(QStringLiteral("POST failed"));
    if (unpairOnFailure)
        postFailed(m_postFailure, true);
    return false;
}

void WiFiSyncController::postFailed(const QString& text, bool unpair)
{
    showAlert(localized(QStringLiteral("Connection Failed")), text);
    if (!unpair)
        return;
    context().document()->saveDocument();
    m_sync->removeSyncIDDidEnd(1);
}

bool WiFiSyncController::cancelWiFiSync(const QUrl& file)
{
    shutDownNetServices();
    context().progress().incrementProgressPanel(localized(QStringLiteral("Uploading...")));
    m_uploading = true;
    const HttpExchange::Result result = WiFiRequests::sendUpload(wifiDocumentURL(), QByteArrayLiteral("POST"),
                                                   displayName(), FileURL::localPath(file));
    m_uploading = false;
    m_sync->endProgress();
    if (result.succeeded()) {
        SyncController::updateMinorStatus(QStringLiteral("POST succeeded"));
        return true;
    }
    SyncController::updateMinorStatus(QStringLiteral("POST failed"));
    postFailed(WiFiRequests::connectionFailureText(result), true);
    return false;
}

// A new sync file

void WiFiSyncController::createWiFiSyncFile()
{
    if (refusesName())
        return;
    const QFileInfo file(context().document()->fileURL().toLocalFile());
    const qint64 size = file.exists() ? file.size() : 0;
    if (size <= SizeLimit) {
        createWiFiSyncFile2();
        return;
    }
    reportWiFiFileTooLarge(megabytesText(size));
}

void WiFiSyncController::reportWiFiFileTooLarge(const QString& megabytes)
{
    AlertRequest alert;
    alert.style = AlertRequest::Style::Warning;
    alert.messageText = stringWithFormat(localized(QStringLiteral("This Norva Mobile datafile is %@ MB.")), megabytes);
    alert.informativeText = stringWithFormat(
        localized(QStringLiteral(
            "Datafiles larger than %@ may be sluggish or unstable on the iPhone. If this turns out to "
            "be the case, you can remove data from the datafile, or use Split Datafile... (under the "
            "File menu) to split it into two or more smaller datafiles.")),
        QStringLiteral("400 MB"));
    alert.buttons = {localized(QStringLiteral("Continue")), localized(QStringLiteral("Cancel"))};
    const QPointer<WiFiSyncController> self(this);
    Presenter::shared().beginAlertSheet(alert, context().window(), [self](const AlertResponse& response) {
        if (self)
            self->reportWiFiFileTooLargeDidEnd(response.returnCode == AlertFirstButtonReturn ? 1 : 0);
    });
}

void WiFiSyncController::reportWiFiFileTooLargeDidEnd(int returnCode)
{
    if (returnCode == 1)
        createWiFiSyncFile2();
}

void WiFiSyncController::createWiFiSyncFile2()
{
    m_sync->updateSyncID();
    m_sync->setCreatingSyncFile(true);
    m_discovery.setIPhonePath(QString());
    m_discovery.setWiFiOperation(WiFiRequests::PostOperation);
    m_discovery.beginWiFiConnection();
}

void WiFiSyncController::stopConnection(const QString& message)
{
    if (m_uploading)
        m_sync->endProgress();
    if (!message.isEmpty())
        SyncController::updateMinorStatus(message);
    m_pendingChallenge.reset();
    m_incomingData.clear();
    if (m_connection)
        m_connection->abort();
    m_connection.reset();
    if (m_uploading && !m_sync->creatingSyncFile())
        removeDownload();
}
