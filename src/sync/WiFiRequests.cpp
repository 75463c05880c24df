#include "WiFiRequests.h"

#include "Localization.h"
#include "MultipartUploadBody.h"
#include "StringFormat.h"
#include "VKInternetStringCategories.h"

#include <QByteArrayView>
#include <QNetworkReply>

WiFiRequests::Reply WiFiRequests::readReply(const QByteArray& data)
{
    if (data.isEmpty() || !QByteArrayView(data).isValidUtf8())
        return Reply::Empty;
    if (data == FileNotFound)
        return Reply::FileNotFound;
    return data.contains(AcceptanceMarker) ? Reply::Datafile : Reply::Other;
}

QUrl WiFiRequests::baseURL(const QString& base)
{
    if (base.isEmpty())
        return QUrl();
    return QUrl::fromEncoded(VKInternetStringCategories::stringByAddingPercentEscapes(base).toLatin1(),
                             QUrl::StrictMode);
}

QUrl WiFiRequests::datafileURL(const QString& base, const QString& fileName)
{
    QString text =
        VKInternetStringCategories::stringByAddingPercentEscapes(stringWithFormat(QStringLiteral("%@/%@"), base, fileName));
    // Left as they are, "#" and "?" would end the path and ask for another datafile.
    const qsizetype nameStart = text.size() - VKInternetStringCategories::stringByAddingPercentEscapes(fileName).size();
    QString name = text.mid(nameStart);
    name.replace(QLatin1Char('#'), QLatin1String("%23"));
    name.replace(QLatin1Char('?'), QLatin1String("%3F"));
    text = text.left(nameStart) + name;
    return QUrl::fromEncoded(text.toLatin1(), QUrl::StrictMode);
}

HttpExchange::Result WiFiRequests::sendUpload(const QUrl& url, const QByteArray& method, const QString& fileName,
                                              const QString& filePath, qint64 maxReplySize)
{
    MultipartUploadBody body(fileName, filePath);
    if (!body.open(QIODevice::ReadOnly)) {
        HttpExchange::Result unread;
        unread.code = QNetworkReply::UnknownContentError;
        unread.description = localized(QStringLiteral("The datafile could not be read."));
        unread.reason = body.errorString();
        return unread;
    }
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, MultipartUploadBody::contentType());
    return HttpExchange::send(request, method, &body, maxReplySize);
}

QString WiFiRequests::downloadFailureText(const HttpExchange::Result& result)
{
    return stringWithFormat(QStringLiteral("Description = %@\n\nReason = %@\n\nCode = %ld"), result.description,
                            result.reason, result.code);
}

QString WiFiRequests::connectionFailureText(const HttpExchange::Result& result)
{
    const QString text =
        stringWithFormat(QStringLiteral("Description = %@\n\nReason = %@"), result.description, result.reason);
    return stringWithFormat(QStringLiteral("%@\n\nCode = %lu"), text, result.code);
}

QString WiFiRequests::incorrectDatafileTypeText(bool mobileDatafile)
{
    return mobileDatafile
               ? localized(QStringLiteral("An nvm datafile cannot be synced to Norva Mobile PLUS.\nIt "
                                          "requires Norva Mobile."))
               : localized(QStringLiteral("An nv3 datafile cannot be synced to Norva Mobile.\nIt "
                                          "requires Norva Mobile PLUS."));
}

bool WiFiRequests::nameBreaksUpload(const QString& displayName)
{
    return displayName.contains(QLatin1Char('\r')) || displayName.contains(QLatin1Char('\n'));
}
