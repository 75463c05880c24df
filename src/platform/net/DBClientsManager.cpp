#include "DBClientsManager.h"

#include "SafeFileWriter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrlQuery>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 largestTokenFile = 64 * 1024;

struct PendingSignIn {
    QString verifier;
    QString state;
};

struct ClientsState {
    DBClientsManager::Configuration configuration;
    std::unique_ptr<DropboxClient> client;
    std::optional<PendingSignIn> pending;
    std::unique_ptr<QNetworkAccessManager> network;
};

ClientsState& state()
{
    static ClientsState clients;
    return clients;
}

QByteArray base64Url(const QByteArray& bytes)
{
    return bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

QByteArray randomBytes(int count)
{
    QByteArray bytes(count, Qt::Uninitialized);
    QRandomGenerator::system()->generate(bytes.begin(), bytes.end());
    return bytes;
}

std::optional<DropboxToken> readToken(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly) || file.size() > largestTokenFile)
        return std::nullopt;
    const QJsonObject stored = QJsonDocument::fromJson(file.readAll()).object();
    DropboxToken token{stored.value(QLatin1String("access_token")).toString(),
                       stored.value(QLatin1String("refresh_token")).toString()};
    if (token.isEmpty())
        return std::nullopt;
    return token;
}

void forgetToken(const QString& path)
{
    if (!path.isEmpty())
        QFile::remove(path);
}

bool storeToken(const QString& path, const DropboxToken& token)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    QDir().mkpath(info.absolutePath());
    // Only the user may read it, from its first byte on: the safe write keeps these bits.
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0)
        return false;
    const bool owned = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0;
    ::close(fd);
    if (!owned)
        return false;
    const QJsonObject stored{{QStringLiteral("access_token"), token.accessToken},
                             {QStringLiteral("refresh_token"), token.refreshToken}};
    return SafeFileWriter::write(path, QJsonDocument(stored).toJson(QJsonDocument::Compact)).ok;
}

void makeClient(const DropboxToken& token)
{
    ClientsState& clients = state();
    const QString path = clients.configuration.tokenPath;
    clients.client = std::make_unique<DropboxClient>(
        clients.configuration.endpoints, clients.configuration.appKey, token,
        [path](const std::optional<DropboxToken>& changed) {
            if (changed) {
                storeToken(path, *changed);
                return;
            }
            forgetToken(path);
            // The client answering this refusal goes once it has answered.
            if (DropboxClient* refused = state().client.release())
                refused->deleteLater();
        });
}

QUrl tokenRoute()
{
    QUrl url = state().configuration.endpoints.api;
    QString path = url.path();
    if (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    url.setPath(path + QStringLiteral("/oauth2/token"));
    return url;
}

} // namespace

QString DBOAuthResult::description() const
{
    if (errorDescription.isEmpty())
        return errorType;
    return errorType.isEmpty() ? errorDescription
                               : errorType + QStringLiteral(": ") + errorDescription;
}

void DBClientsManager::configure(Configuration configuration)
{
    ClientsState& clients = state();
    clients.client.reset();
    clients.pending.reset();
    clients.network.reset();
    clients.configuration = std::move(configuration);
}

QString DBClientsManager::defaultTokenPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Norva/dropbox-token.json");
}

bool DBClientsManager::isValidAppKey(const QString& key)
{
    static const QRegularExpression form(QStringLiteral("^[a-z0-9]{15}$"));
    return form.match(key).hasMatch();
}

QString DBClientsManager::redirectURI(const QString& appKey)
{
    return QStringLiteral("db-%1://2/token").arg(appKey);
}

DropboxClient* DBClientsManager::authorizedClient()
{
    ClientsState& clients = state();
    if (!clients.client) {
        if (const std::optional<DropboxToken> token = readToken(clients.configuration.tokenPath))
            makeClient(*token);
    }
    return clients.client.get();
}

void DBClientsManager::setupWithAppKeyDesktop(const QString& appKey)
{
    state().configuration.appKey = appKey;
}

void DBClientsManager::authorizeFromControllerDesktop(const OpenURL& openURL)
{
    ClientsState& clients = state();
    PendingSignIn pending{QString::fromLatin1(base64Url(randomBytes(64))),
                          QString::fromLatin1(base64Url(randomBytes(24)))};
    const QByteArray challenge = base64Url(
        QCryptographicHash::hash(pending.verifier.toLatin1(), QCryptographicHash::Sha256));
    const QString key = clients.configuration.appKey;
    QUrl url = clients.configuration.endpoints.web;
    QString path = url.path();
    if (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    url.setPath(path + QStringLiteral("/oauth2/authorize"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("client_id"), key);
    query.addQueryItem(QStringLiteral("response_type"), QStringLiteral("code"));
    query.addQueryItem(QStringLiteral("code_challenge"), QString::fromLatin1(challenge));
    query.addQueryItem(QStringLiteral("code_challenge_method"), QStringLiteral("S256"));
    query.addQueryItem(QStringLiteral("token_access_type"), QStringLiteral("offline"));
    query.addQueryItem(QStringLiteral("redirect_uri"), redirectURI(key));
    query.addQueryItem(QStringLiteral("state"), pending.state);
    url.setQuery(query);
    clients.pending = pending;
    openURL(url);
}

bool DBClientsManager::handleRedirectURL(const QUrl& url, AuthorizationDone done)
{
    ClientsState& clients = state();
    const QString key = clients.configuration.appKey;
    if (key.isEmpty() || !clients.pending ||
        url.scheme().compare(QStringLiteral("db-") + key, Qt::CaseInsensitive) != 0 ||
        // QUrl reads the host "2" as an IPv4 address.
        (url.host() != QLatin1String("2") && url.host() != QLatin1String("0.0.0.2")) ||
        url.path() != QLatin1String("/token"))
        return false;
    const QUrlQuery query(url);
    DBOAuthResult result;
    // Another page's redirect, not the answer to this sign-in: no token is asked for.
    if (query.queryItemValue(QStringLiteral("state")) != clients.pending->state) {
        result.errorType = QStringLiteral("invalid_state");
        result.errorDescription = QStringLiteral("The redirect does not answer this sign-in.");
        done(result);
        return true;
    }
    if (query.hasQueryItem(QStringLiteral("error"))) {
        clients.pending.reset();
        result.errorType = query.queryItemValue(QStringLiteral("error"), QUrl::FullyDecoded);
        result.errorDescription =
            query.queryItemValue(QStringLiteral("error_description"), QUrl::FullyDecoded);
        result.kind = result.errorType == QLatin1String("access_denied")
                          ? DBOAuthResult::Kind::Cancel
                          : DBOAuthResult::Kind::Error;
        done(result);
        return true;
    }
    const QString code = query.queryItemValue(QStringLiteral("code"), QUrl::FullyDecoded);
    const QString verifier = clients.pending->verifier;
    clients.pending.reset();
    if (code.isEmpty()) {
        result.errorType = QStringLiteral("invalid_request");
        result.errorDescription = QStringLiteral("The redirect carries no code.");
        done(result);
        return true;
    }
    QUrlQuery form;
    form.addQueryItem(QStringLiteral("code"), QString::fromLatin1(QUrl::toPercentEncoding(code)));
    form.addQueryItem(QStringLiteral("grant_type"), QStringLiteral("authorization_code"));
    form.addQueryItem(QStringLiteral("client_id"), key);
    form.addQueryItem(QStringLiteral("code_verifier"), verifier);
    form.addQueryItem(QStringLiteral("redirect_uri"),
                      QString::fromLatin1(QUrl::toPercentEncoding(redirectURI(key))));
    if (!clients.network)
        clients.network = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest request(tokenRoute());
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QStringLiteral("application/x-www-form-urlencoded"));
    QNetworkReply* reply =
        clients.network->post(request, form.toString(QUrl::FullyEncoded).toLatin1());
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, done] {
        reply->deleteLater();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QJsonObject answer =
            QJsonDocument::fromJson(reply->read(DropboxClient::LargestJsonReply)).object();
        DropboxToken token{answer.value(QLatin1String("access_token")).toString(),
                           answer.value(QLatin1String("refresh_token")).toString()};
        DBOAuthResult result;
        if (status == 200 && !token.isEmpty()) {
            ClientsState& clients = state();
            if (!storeToken(clients.configuration.tokenPath, token)) {
                result.errorType = QStringLiteral("token_not_stored");
                result.errorDescription = QStringLiteral("The sign-in could not be kept.");
                done(result);
                return;
            }
            makeClient(token);
            result.kind = DBOAuthResult::Kind::Success;
            done(result);
            return;
        }
        result.errorType = answer.value(QLatin1String("error")).toString();
        result.errorDescription = answer.value(QLatin1String("error_description")).toString();
        if (result.errorType.isEmpty() && result.errorDescription.isEmpty())
            result.errorDescription = reply->errorString();
        done(result);
    });
    return true;
}
