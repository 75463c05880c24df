#pragma once

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>
#include <utility>

class QNetworkAccessManager;
class QNetworkReply;

// Where the service answers: the sign-in pages, the JSON routes and the file contents.
struct DropboxEndpoints {
    QUrl web;
    QUrl api;
    QUrl content;
    // The service's own addresses.
    static DropboxEndpoints service();
    // One address for all three, as a server on this machine gives them.
    static DropboxEndpoints allAt(const QUrl& base);
};

// A token pair as the token route gives it; the refresh token stays when a refresh
// answers with none.
struct DropboxToken {
    QString accessToken;
    QString refreshToken;
    bool isEmpty() const { return accessToken.isEmpty(); }
};

// Why a request had no answer of its route: the kinds, tested in this order.
struct DropboxRequestError {
    enum class Kind { InternalServer, BadInput, Auth, RateLimit, Http, Client };
    Kind kind = Kind::Client;
    int statusCode = 0;
    // The reply's "error_summary", else the text of the failure.
    QString summary;
    QString description() const;
    static DropboxRequestError ofStatus(int status, const QString& summary);
};

// A route's own error (status 409): its tag ("path" or another) and, for a path error,
// the lookup error's tag.
struct DropboxRouteError {
    QString tag;
    QString lookupTag;
    QString summary;
    bool isPath() const { return tag == QLatin1String("path"); }
};

struct DropboxDownloadResponse {
    std::optional<DropboxRouteError> routeError;
    std::optional<DropboxRequestError> requestError;
    // Whether the bytes reached the file; why not when they did not.
    bool written = false;
    QString writeError;
    bool succeeded() const { return !routeError && !requestError; }
};

struct DropboxCommitInfo {
    QString path;
    // Only "overwrite" is sent; autorename, client_modified and mute are left to the
    // service's defaults.
    QString mode = QStringLiteral("overwrite");
};

struct DropboxBatchResultEntry {
    bool success = false;
    QString pathDisplay;
    // The finish route's failure tag for this file, when it gave one.
    std::optional<QString> failure;
};

struct DropboxBatchResponse {
    // By local file path, in the order given; none when the batch never finished.
    std::optional<QList<std::pair<QString, DropboxBatchResultEntry>>> results;
    std::optional<DropboxRouteError> finishRouteError;
    std::optional<DropboxRequestError> finishRequestError;
    QMap<QString, DropboxRequestError> requestErrors;
};

// A signed-in client of the service's HTTP API, on QtNetwork. It knows files and paths,
// nothing of what they hold. Answers arrive on the main thread, once each.
class DropboxClient : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 ChunkSize = qint64(8) << 20;
    // Smaller pieces, so that a test's small file takes several.
    static void setChunkSizeForTesting(qint64 size);
    static constexpr qint64 LargestDownload = qint64(2) << 30;
    // A lower bound, so that a test's small file is over it.
    static void setLargestDownloadForTesting(qint64 size);
    static constexpr qint64 LargestJsonReply = qint64(1) << 20;

    using TokenChanged = std::function<void(const std::optional<DropboxToken>& token)>;
    // appKey identifies the application when the token is refreshed; tokenChanged hears of
    // a refreshed token, and of none when the refresh was refused.
    DropboxClient(DropboxEndpoints endpoints, QString appKey, DropboxToken token,
                  TokenChanged tokenChanged, QObject* parent = nullptr);
    ~DropboxClient() override;

    const DropboxToken& token() const { return m_token; }

    using DownloadDone = std::function<void(const DropboxDownloadResponse&)>;
    // The file at the path in the user's Dropbox, streamed into localPath (written whole
    // or not at all).
    void downloadToFile(const QString& dropboxPath, const QString& localPath, DownloadDone done);

    using Progress = std::function<void(qint64 justSent, qint64 totalSent, qint64 totalExpected)>;
    using BatchDone = std::function<void(const DropboxBatchResponse&)>;
    // Each local file to its commit, in upload sessions of ChunkSize pieces, committed
    // together at the end.
    void batchUploadFiles(const QList<std::pair<QString, DropboxCommitInfo>>& files,
                          Progress progress, BatchDone done);

    // "Dropbox-API-Arg" takes ASCII only: every character above 0x7E as \uXXXX.
    static QByteArray apiArgument(const QJsonObject& argument);

private:
    struct Call;
    struct Upload;
    // Sends the call with the access token; a refused token is refreshed once and the
    // call sent again.
    void send(std::shared_ptr<Call> call);
    void refreshThenResend(std::shared_ptr<Call> call, int status, const QByteArray& body);
    void uploadNext(std::shared_ptr<Upload> upload);
    void appendNext(std::shared_ptr<Upload> upload);
    void finishBatch(std::shared_ptr<Upload> upload);

    QNetworkAccessManager* m_network;
    DropboxEndpoints m_endpoints;
    QString m_appKey;
    DropboxToken m_token;
    TokenChanged m_tokenChanged;
};
