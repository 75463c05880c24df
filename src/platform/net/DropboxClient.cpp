#include "DropboxClient.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>
#include <QUrlQuery>

#include <memory>

namespace {

qint64& chunkSize()
{
    static qint64 size = DropboxClient::ChunkSize;
    return size;
}

qint64& largestDownload()
{
    static qint64 size = DropboxClient::LargestDownload;
    return size;
}

QUrl routeUrl(const QUrl& base, const QString& route)
{
    QUrl url = base;
    QString path = url.path();
    if (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    url.setPath(path + route);
    return url;
}

QJsonObject jsonObjectOf(const QByteArray& body)
{
    return QJsonDocument::fromJson(body).object();
}

QString summaryOf(const QByteArray& body)
{
    const QString summary = jsonObjectOf(body).value(QLatin1String("error_summary")).toString();
    return summary.isEmpty() ? QString::fromUtf8(body.left(512)).trimmed() : summary;
}

DropboxRouteError routeErrorOf(const QByteArray& body)
{
    const QJsonObject reply = jsonObjectOf(body);
    const QJsonObject error = reply.value(QLatin1String("error")).toObject();
    DropboxRouteError route;
    route.tag = error.value(QLatin1String(".tag")).toString();
    route.lookupTag = error.value(route.tag).toObject().value(QLatin1String(".tag")).toString();
    route.summary = reply.value(QLatin1String("error_summary")).toString();
    return route;
}

} // namespace

void DropboxClient::setChunkSizeForTesting(qint64 size)
{
    chunkSize() = size > 0 ? size : ChunkSize;
}

void DropboxClient::setLargestDownloadForTesting(qint64 size)
{
    largestDownload() = size > 0 ? size : LargestDownload;
}

DropboxEndpoints DropboxEndpoints::service()
{
    return {QUrl(QStringLiteral("https://www.dropbox.com")),
            QUrl(QStringLiteral("https://api.dropboxapi.com")),
            QUrl(QStringLiteral("https://content.dropboxapi.com"))};
}

DropboxEndpoints DropboxEndpoints::allAt(const QUrl& base)
{
    return {base, base, base};
}

QString DropboxRequestError::description() const
{
    const char* kinds[] = {"Internal server error", "Bad input error", "Auth error",
                           "Rate limit error",      "HTTP error",      "Client error"};
    QString text = QString::fromLatin1(kinds[int(kind)]);
    if (statusCode > 0)
        text += QStringLiteral(" (%1)").arg(statusCode);
    if (!summary.isEmpty())
        text += QStringLiteral(": ") + summary;
    return text;
}

DropboxRequestError DropboxRequestError::ofStatus(int status, const QString& summary)
{
    DropboxRequestError error;
    error.statusCode = status;
    error.summary = summary;
    if (status >= 500 && status <= 599)
        error.kind = Kind::InternalServer;
    else if (status == 400)
        error.kind = Kind::BadInput;
    else if (status == 401)
        error.kind = Kind::Auth;
    else if (status == 429)
        error.kind = Kind::RateLimit;
    else
        error.kind = Kind::Http;
    return error;
}

// One POST, kept whole so that it can be sent again after a refresh.
struct DropboxClient::Call {
    QNetworkRequest request;
    QByteArray body;
    // Takes a successful reply's bytes as they come (a download); false stops it.
    std::function<bool(const QByteArray&)> sink;
    struct Answer {
        int status = 0;
        QByteArray body;
        bool dropped = false; // no complete answer: no connection, cut off, too large
        QString errorString;
        bool sinkStopped = false;
    };
    std::function<void(const Answer&)> answered;
    bool refreshed = false;

    // The request error of the answer, none for a success or a route error.
    static std::optional<DropboxRequestError> requestError(const Answer& answer)
    {
        // No answer, one cut off, or one too large to read: nothing the route said.
        if (answer.status == 0 || answer.dropped) {
            DropboxRequestError error;
            error.kind = DropboxRequestError::Kind::Client;
            error.summary = answer.errorString;
            return error;
        }
        if ((answer.status >= 200 && answer.status < 300) || answer.status == 409)
            return std::nullopt;
        return DropboxRequestError::ofStatus(answer.status, summaryOf(answer.body));
    }
};

struct DropboxClient::Upload {
    struct File {
        QString localPath;
        DropboxCommitInfo commit;
        QString sessionId;
        qint64 offset = 0;
        qint64 size = 0;
        bool uploaded = false;
    };
    QList<File> files;
    qsizetype index = 0;
    std::unique_ptr<QFile> reading;
    qint64 totalSent = 0;
    qint64 totalExpected = 0;
    Progress progress;
    BatchDone done;
    DropboxBatchResponse response;
};

DropboxClient::DropboxClient(DropboxEndpoints endpoints, QString appKey, DropboxToken token,
                             TokenChanged tokenChanged, QObject* parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this)),
      m_endpoints(std::move(endpoints)), m_appKey(std::move(appKey)), m_token(std::move(token)),
      m_tokenChanged(std::move(tokenChanged))
{
}

DropboxClient::~DropboxClient() = default;

QByteArray DropboxClient::apiArgument(const QJsonObject& argument)
{
    const QString json = QString::fromUtf8(QJsonDocument(argument).toJson(QJsonDocument::Compact));
    QByteArray ascii;
    ascii.reserve(json.size());
    for (const QChar character : json) {
        if (character.unicode() > 0x7E)
            ascii += QStringLiteral("\\u%1")
                         .arg(character.unicode(), 4, 16, QLatin1Char('0'))
                         .toLatin1();
        else
            ascii += char(character.unicode());
    }
    return ascii;
}

void DropboxClient::send(std::shared_ptr<Call> call)
{
    QNetworkRequest request = call->request;
    request.setRawHeader("Authorization", "Bearer " + m_token.accessToken.toUtf8());
    QNetworkReply* reply = m_network->post(request, call->body);
    auto answer = std::make_shared<Call::Answer>();
    const auto take = [call, answer, reply] {
        if (answer->dropped)
            return;
        answer->status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QByteArray bytes = reply->readAll();
        if (answer->status == 200 && call->sink) {
            if (!call->sink(bytes)) {
                answer->sinkStopped = true;
                answer->dropped = true;
                reply->abort();
            }
            return;
        }
        if (answer->body.size() + bytes.size() > LargestJsonReply) {
            answer->dropped = true;
            answer->errorString = QStringLiteral("The reply is too large.");
            reply->abort();
            return;
        }
        answer->body += bytes;
    };
    connect(reply, &QNetworkReply::readyRead, this, take);
    connect(reply, &QNetworkReply::finished, this, [this, call, answer, reply, take] {
        reply->deleteLater();
        take();
        if (reply->error() != QNetworkReply::NoError && answer->status == 0) {
            answer->dropped = true;
        } else if (reply->error() != QNetworkReply::NoError && answer->status >= 200 &&
                   answer->status < 300) {
            // Cut off after a good start.
            answer->dropped = true;
        }
        if (answer->errorString.isEmpty() && answer->dropped)
            answer->errorString = reply->errorString();
        if (answer->status == 401 && !call->refreshed && !m_token.refreshToken.isEmpty()) {
            refreshThenResend(call, answer->status, answer->body);
            return;
        }
        call->answered(*answer);
    });
}

void DropboxClient::refreshThenResend(std::shared_ptr<Call> call, int status,
                                      const QByteArray& body)
{
    call->refreshed = true;
    QUrlQuery form;
    form.addQueryItem(QStringLiteral("grant_type"), QStringLiteral("refresh_token"));
    form.addQueryItem(QStringLiteral("refresh_token"), m_token.refreshToken);
    form.addQueryItem(QStringLiteral("client_id"), m_appKey);
    QNetworkRequest request(routeUrl(m_endpoints.api, QStringLiteral("/oauth2/token")));
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QStringLiteral("application/x-www-form-urlencoded"));
    QNetworkReply* reply = m_network->post(request, form.toString(QUrl::FullyEncoded).toLatin1());
    connect(reply, &QNetworkReply::finished, this, [this, call, status, body, reply] {
        reply->deleteLater();
        const int refreshStatus =
            reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QByteArray answer = reply->read(LargestJsonReply);
        const QString access = jsonObjectOf(answer).value(QLatin1String("access_token")).toString();
        if (refreshStatus == 200 && !access.isEmpty()) {
            m_token.accessToken = access;
            if (m_tokenChanged)
                m_tokenChanged(m_token);
            send(call);
            return;
        }
        // Refused: the user signs in again next time. Unreachable: the token may still serve.
        if ((refreshStatus == 400 || refreshStatus == 401) && m_tokenChanged)
            m_tokenChanged(std::nullopt);
        Call::Answer refused;
        refused.status = status;
        refused.body = body;
        call->answered(refused);
    });
}

void DropboxClient::downloadToFile(const QString& dropboxPath, const QString& localPath,
                                   DownloadDone done)
{
    auto call = std::make_shared<Call>();
    call->request =
        QNetworkRequest(routeUrl(m_endpoints.content, QStringLiteral("/2/files/download")));
    call->request.setRawHeader("Dropbox-API-Arg",
                               apiArgument({{QStringLiteral("path"), dropboxPath}}));
    call->request.setRawHeader("Content-Type", "application/octet-stream");
    // Written beside its place and moved there once complete.
    auto file = std::make_shared<QSaveFile>(localPath);
    auto received = std::make_shared<qint64>(0);
    auto writeError = std::make_shared<QString>();
    call->sink = [file, received, writeError](const QByteArray& bytes) {
        if (!file->isOpen() && !file->open(QIODevice::WriteOnly)) {
            *writeError = file->errorString();
            return false;
        }
        *received += bytes.size();
        if (*received > largestDownload()) {
            *writeError = QStringLiteral("The file is larger than 2 GB.");
            return false;
        }
        if (file->write(bytes) != bytes.size()) {
            *writeError = file->errorString();
            return false;
        }
        return true;
    };
    call->answered = [file, writeError, done](const Call::Answer& answer) {
        DropboxDownloadResponse response;
        if (answer.sinkStopped) {
            file->cancelWriting();
            response.writeError = *writeError;
            done(response);
            return;
        }
        response.requestError = Call::requestError(answer);
        if (answer.status == 409)
            response.routeError = routeErrorOf(answer.body);
        if (!response.succeeded()) {
            file->cancelWriting();
            done(response);
            return;
        }
        // An empty file sent no bytes: it is written all the same.
        if (!file->isOpen() && !file->open(QIODevice::WriteOnly)) {
            response.writeError = file->errorString();
        } else if (!file->commit()) {
            response.writeError = file->errorString();
        } else {
            response.written = true;
        }
        done(response);
    };
    send(call);
}

void DropboxClient::batchUploadFiles(const QList<std::pair<QString, DropboxCommitInfo>>& files,
                                     Progress progress, BatchDone done)
{
    auto upload = std::make_shared<Upload>();
    for (const auto& [path, commit] : files) {
        Upload::File file;
        file.localPath = path;
        file.commit = commit;
        file.size = QFile(path).size();
        upload->totalExpected += file.size;
        upload->files.append(file);
    }
    upload->progress = std::move(progress);
    upload->done = std::move(done);
    uploadNext(upload);
}

void DropboxClient::uploadNext(std::shared_ptr<Upload> upload)
{
    if (upload->index >= upload->files.size()) {
        finishBatch(upload);
        return;
    }
    Upload::File& file = upload->files[upload->index];
    upload->reading = std::make_unique<QFile>(file.localPath);
    if (!upload->reading->open(QIODevice::ReadOnly)) {
        DropboxRequestError error;
        error.summary = upload->reading->errorString();
        upload->response.requestErrors.insert(file.localPath, error);
        ++upload->index;
        uploadNext(upload);
        return;
    }
    auto call = std::make_shared<Call>();
    call->request = QNetworkRequest(
        routeUrl(m_endpoints.content, QStringLiteral("/2/files/upload_session/start")));
    call->request.setRawHeader("Dropbox-API-Arg", apiArgument({{QStringLiteral("close"), false}}));
    call->request.setHeader(QNetworkRequest::ContentTypeHeader,
                            QStringLiteral("application/octet-stream"));
    call->answered = [this, upload](const Call::Answer& answer) {
        Upload::File& file = upload->files[upload->index];
        std::optional<DropboxRequestError> error = Call::requestError(answer);
        const QString session =
            jsonObjectOf(answer.body).value(QLatin1String("session_id")).toString();
        if (!error && session.isEmpty())
            error = DropboxRequestError::ofStatus(answer.status, summaryOf(answer.body));
        if (error) {
            upload->response.requestErrors.insert(file.localPath, *error);
            ++upload->index;
            uploadNext(upload);
            return;
        }
        file.sessionId = session;
        appendNext(upload);
    };
    send(call);
}

void DropboxClient::appendNext(std::shared_ptr<Upload> upload)
{
    Upload::File& file = upload->files[upload->index];
    auto call = std::make_shared<Call>();
    call->body = upload->reading->read(chunkSize());
    const bool last = file.offset + call->body.size() >= file.size || upload->reading->atEnd();
    call->request = QNetworkRequest(
        routeUrl(m_endpoints.content, QStringLiteral("/2/files/upload_session/append_v2")));
    const QJsonObject cursor{{QStringLiteral("session_id"), file.sessionId},
                             {QStringLiteral("offset"), double(file.offset)}};
    call->request.setRawHeader("Dropbox-API-Arg", apiArgument({{QStringLiteral("cursor"), cursor},
                                                               {QStringLiteral("close"), last}}));
    call->request.setHeader(QNetworkRequest::ContentTypeHeader,
                            QStringLiteral("application/octet-stream"));
    const qint64 sent = call->body.size();
    call->answered = [this, upload, sent, last](const Call::Answer& answer) {
        Upload::File& file = upload->files[upload->index];
        std::optional<DropboxRequestError> error = Call::requestError(answer);
        if (!error && answer.status == 409)
            error = DropboxRequestError::ofStatus(answer.status, summaryOf(answer.body));
        if (error) {
            upload->response.requestErrors.insert(file.localPath, *error);
            upload->reading.reset();
            ++upload->index;
            uploadNext(upload);
            return;
        }
        file.offset += sent;
        upload->totalSent += sent;
        if (upload->progress)
            upload->progress(sent, upload->totalSent, upload->totalExpected);
        if (!last) {
            appendNext(upload);
            return;
        }
        file.uploaded = true;
        upload->reading.reset();
        ++upload->index;
        uploadNext(upload);
    };
    send(call);
}

void DropboxClient::finishBatch(std::shared_ptr<Upload> upload)
{
    QJsonArray entries;
    for (const Upload::File& file : upload->files) {
        if (!file.uploaded)
            continue;
        entries.append(QJsonObject{
            {QStringLiteral("cursor"),
             QJsonObject{{QStringLiteral("session_id"), file.sessionId},
                         {QStringLiteral("offset"), double(file.offset)}}},
            {QStringLiteral("commit"), QJsonObject{{QStringLiteral("path"), file.commit.path},
                                                   {QStringLiteral("mode"), file.commit.mode}}}});
    }
    // Every file that did not reach the service has failed, with its request error.
    const auto resultsWith = [upload](const QJsonArray& finished) {
        QList<std::pair<QString, DropboxBatchResultEntry>> results;
        qsizetype next = 0;
        for (const Upload::File& file : upload->files) {
            DropboxBatchResultEntry entry;
            if (file.uploaded) {
                const QJsonObject answer = finished.at(next++).toObject();
                entry.success =
                    answer.value(QLatin1String(".tag")).toString() == QLatin1String("success");
                entry.pathDisplay = answer.value(QLatin1String("path_display")).toString();
                if (!entry.success) {
                    entry.failure = answer.value(QLatin1String("failure"))
                                        .toObject()
                                        .value(QLatin1String(".tag"))
                                        .toString();
                }
            }
            results.append({file.localPath, entry});
        }
        return results;
    };
    if (entries.isEmpty()) {
        upload->response.results = resultsWith({});
        upload->done(upload->response);
        return;
    }
    auto call = std::make_shared<Call>();
    call->request = QNetworkRequest(
        routeUrl(m_endpoints.api, QStringLiteral("/2/files/upload_session/finish_batch_v2")));
    call->request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    call->body = QJsonDocument(QJsonObject{{QStringLiteral("entries"), entries}})
                     .toJson(QJsonDocument::Compact);
    const qsizetype expected = entries.size();
    call->answered = [upload, resultsWith, expected](const Call::Answer& answer) {
        upload->response.finishRequestError = Call::requestError(answer);
        if (answer.status == 409)
            upload->response.finishRouteError = routeErrorOf(answer.body);
        if (!upload->response.finishRequestError && !upload->response.finishRouteError) {
            const QJsonArray finished =
                jsonObjectOf(answer.body).value(QLatin1String("entries")).toArray();
            if (finished.size() == expected)
                upload->response.results = resultsWith(finished);
            else
                upload->response.finishRequestError = DropboxRequestError::ofStatus(
                    answer.status, QStringLiteral("The reply lists other files."));
        }
        upload->done(upload->response);
    };
    send(call);
}
