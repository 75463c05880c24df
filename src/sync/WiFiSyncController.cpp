#include "WiFiSyncController.h"

#include "DatafileDocument.h"
#include "DocumentController.h"
#include "FeatureContext.h"
#include "FileURL.h"
#include "Localization.h"
#include "MultipartUploadBody.h"
#include "Presenter.h"
#include "SafeFileWriter.h"
#include "StringFormat.h"
#include "SyncController.h"
#include "UserDefaults.h"
#include "VKInternetStringCategories.h"
#include "VKStringCategories.h"

#include <QAuthenticator>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>

#include <utility>

namespace {

QString canonical(const QString& path)
{
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? QFileInfo(path).absoluteFilePath() : resolved;
}

Document* documentAt(const QString& path)
{
    const QString wanted = canonical(path);
    for (Document* document : DocumentController::shared().documents())
        if (!document->fileURL().isEmpty() && canonical(document->fileURL().toLocalFile()) == wanted)
            return document;
    return nullptr;
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

QUrl WiFiSyncController::datafileURL(const QString& base, const QString& displayName)
{
    QString text =
        VKInternetStringCategories::stringByAddingPercentEscapes(stringWithFormat(QStringLiteral("%@/%@"), base, displayName));
    // Left as they are, "#" and "?" would end the path and ask for another datafile.
    const qsizetype nameStart = text.size() - VKInternetStringCategories::stringByAddingPercentEscapes(displayName).size();
    QString name = text.mid(nameStart);
    name.replace(QLatin1Char('#'), QLatin1String("%23"));
    name.replace(QLatin1Char('?'), QLatin1String("%3F"));
    text = text.left(nameStart) + name;
    return QUrl::fromEncoded(text.toLatin1(), QUrl::StrictMode);
}

HttpExchange::Result WiFiSyncController::sendUpload(const QUrl& url, const QByteArray& method,
                                                    const QString& displayName, const QString& filePath)
{
    MultipartUploadBody body(displayName, filePath);
    if (!body.open(QIODevice::ReadOnly)) {
        HttpExchange::Result unread;
        unread.code = QNetworkReply::UnknownContentError;
        unread.description = localized(QStringLiteral("The datafile could not be read."));
        unread.reason = body.errorString();
        return unread;
    }
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, MultipartUploadBody::contentType());
    return HttpExchange::send(request, method, &body);
}

QString WiFiSyncController::downloadFailureText(const HttpExchange::Result& result)
{
    return stringWithFormat(QStringLiteral("Description = %@\n\nReason = %@\n\nCode = %ld"),
                            result.description, result.reason, result.code);
}

QString WiFiSyncController::connectionFailureText(const HttpExchange::Result& result)
{
    const QString text =
        stringWithFormat(QStringLiteral("Description = %@\n\nReason = %@"), result.description, result.reason);
    return stringWithFormat(QStringLiteral("%@\n\nCode = %lu"), text, result.code);
}

QString WiFiSyncController::megabytesText(qint64 bytes)
{
    const QString full = QString::asprintf("%f", double(bytes) / 1024.0 / 1024.0);
    const qsizetype point = full.indexOf(QLatin1Char('.'));
    return point < 0 ? full : full.left(point + 2);
}

bool WiFiSyncController::nameBreaksUpload(const QString& displayName)
{
    return displayName.contains(QLatin1Char('\r')) || displayName.contains(QLatin1Char('\n'));
}

QUrl WiFiSyncController::wifiDocumentURL() const
{
    const QString base = m_discovery.iPhonePath();
    if (base.isEmpty())
        return QUrl();
    return QUrl::fromEncoded(VKInternetStringCategories::stringByAddingPercentEscapes(base).toLatin1(),
                             QUrl::StrictMode);
}

// Alerts

void WiFiSyncController::showAlert(const QString& message, const QString& informative)
{
    m_sync->showAlert(message, informative);
}

bool WiFiSyncController::refusesName()
{
    if (!nameBreaksUpload(displayName()))
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
    return context().isMobile()
               ? localized(QStringLiteral("An nvm datafile cannot be synced to Norva Mobile PLUS.\nIt "
                                          "requires Norva Mobile."))
               : localized(QStringLiteral("An nv3 datafile cannot be synced to Norva Mobile.\nIt "
                                          "requires Norva Mobile PLUS."));
}

void WiFiSyncController::startExchange(int operation)
{
    switch (operation) {
    case GetOperation:
        performGet();
        break;
    case PostOperation:
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
    m_discovery.setWiFiOperation(GetOperation);
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
    QNetworkRequest request(datafileURL(m_discovery.iPhonePath(), displayName()));
    HttpExchange::Result result = HttpExchange::send(request, QByteArrayLiteral("GET"));
    if (!result.succeeded()) {
        m_sync->endProgress();
        showAlert(localized(QStringLiteral("Download Failed")), downloadFailureText(result));
        endFetch();
        return false;
    }
    // Handed on and let go once written, so the merge does not run beside a copy.
    QByteArray data = std::move(*result.data);
    result.data.reset();
    if (data.isEmpty() || !QByteArrayView(data).isValidUtf8()) {
        downloadFailed(localized(QStringLiteral("Norva Mobile sent no datafile.")));
        return true;
    }
    if (data == FileNotFound) {
        m_sync->endProgress();
        m_discovery.setServiceChosen(false);
        shutDownNetServices();
        endFetch();
        return false;
    }
    if (!data.contains(AcceptanceMarker)) {
        downloadFailed(localized(QStringLiteral("Norva Mobile sent no datafile.")));
        return false;
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
        sendUpload(wifiDocumentURL(), QByteArrayLiteral("POST"), displayName(), filePath);
    m_uploading = false;
    m_sync->endProgress();
    if (result.succeeded()) {
        SyncController::updateMinorStatus(QStringLiteral("POST succeeded"));
        return true;
    }
    m_postFailure = connectionFailureText(result);
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
    const HttpExchange::Result result = sendUpload(wifiDocumentURL(), QByteArrayLiteral("POST"),
                                                   displayName(), FileURL::localPath(file));
    m_uploading = false;
    m_sync->endProgress();
    if (result.succeeded()) {
        SyncController::updateMinorStatus(QStringLiteral("POST succeeded"));
        return true;
    }
    SyncController::updateMinorStatus(QStringLiteral("POST failed"));
    postFailed(connectionFailureText(result), true);
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
    m_discovery.setWiFiOperation(PostOperation);
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
