#include "DevToolsPageReader.h"

#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

namespace {

// A list of hundreds of tabs stays far below this; a larger answer is not a browser's.
constexpr qint64 MostListBytes = 4 * 1024 * 1024;
// Longer than any address or title a record should take from a browser.
constexpr qsizetype MostStringLength = 64 * 1024;

} // namespace

std::optional<quint16> DevToolsPageReader::activePort(const QString& profileFolder)
{
    QFile file(profileFolder + QStringLiteral("/DevToolsActivePort"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    bool number = false;
    const uint port = file.readLine(16).trimmed().toUInt(&number);
    if (!number || port == 0 || port > 65535)
        return std::nullopt;
    return quint16(port);
}

std::optional<DevToolsPageReader::Page> DevToolsPageReader::pageInList(const QByteArray& json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    for (const QJsonValue& value : document.array()) {
        const QJsonObject target = value.toObject();
        if (target.value(QStringLiteral("type")).toString() != QStringLiteral("page"))
            continue;
        const QJsonValue url = target.value(QStringLiteral("url"));
        if (!url.isString() || url.toString().isEmpty() || url.toString().size() > MostStringLength)
            return std::nullopt;
        const QJsonValue title = target.value(QStringLiteral("title"));
        Page page{url.toString(), std::nullopt};
        if (title.isString() && title.toString().size() <= MostStringLength)
            page.title = title.toString();
        return page;
    }
    return std::nullopt;
}

std::optional<DevToolsPageReader::Page> DevToolsPageReader::frontPage(
    quint16 port, std::chrono::milliseconds limit)
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(port);
    url.setPath(QStringLiteral("/json/list"));

    QNetworkAccessManager network;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(int(limit.count()));
    QNetworkReply* reply = network.get(request);
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > MostListBytes)
            reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(limit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);

    std::optional<Page> page;
    if (reply->error() == QNetworkReply::NoError &&
        reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200)
        page = pageInList(reply->read(MostListBytes));
    delete reply;
    return page;
}
