#include "HttpExchange.h"

#include "Localization.h"

#include <QBuffer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>

#include <utility>
#include <vector>

namespace {

int g_waiting = 0;
qint64 g_maxReplySize = HttpExchange::MaxReplySize;

struct HeldWork {
    QPointer<QObject> context;
    std::function<void()> work;
};

std::vector<HeldWork>& heldWork()
{
    static std::vector<HeldWork> held;
    return held;
}

void runHeldWork()
{
    std::vector<HeldWork> held;
    held.swap(heldWork());
    for (HeldWork& item : held) {
        QObject* context = item.context.data();
        if (!context)
            continue;
        // After the caller of the send has finished with its reply.
        QTimer::singleShot(0, context, std::move(item.work));
    }
}

QString reasonFor(QNetworkReply::NetworkError error, const QString& fallback)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return localized(QStringLiteral("The server refused the connection."));
    case QNetworkReply::HostNotFoundError:
        return localized(QStringLiteral("The server could not be found."));
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        return localized(QStringLiteral("The request timed out."));
    default:
        return fallback;
    }
}

} // namespace

void HttpExchange::setMaxReplySizeForTesting(qint64 bytes)
{
    g_maxReplySize = bytes > 0 ? bytes : MaxReplySize;
}

bool HttpExchange::isWaiting()
{
    return g_waiting > 0;
}

void HttpExchange::whenIdle(QObject* context, std::function<void()> work)
{
    if (!isWaiting()) {
        work();
        return;
    }
    heldWork().push_back({context, std::move(work)});
}

HttpExchange::Result HttpExchange::send(QNetworkRequest request, const QByteArray& method,
                                        QIODevice* body)
{
    request.setTransferTimeout(TransferTimeout);
    if (body) {
        // An exact length, so the body is never sent in chunks.
        request.setHeader(QNetworkRequest::ContentLengthHeader, body->size() - body->pos());
    }
    QNetworkAccessManager network;
    QNetworkReply* reply = network.sendCustomRequest(request, method, body);

    QByteArray received;
    bool tooLarge = false;
    const auto take = [&] {
        if (tooLarge)
            return;
        const qint64 available = reply->bytesAvailable();
        if (received.size() + available > g_maxReplySize) {
            tooLarge = true;
            reply->abort();
            return;
        }
        received += reply->readAll();
    };
    QObject::connect(reply, &QNetworkReply::readyRead, reply, take);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    ++g_waiting;
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    --g_waiting;
    take();

    Result result;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (tooLarge) {
        result.code = QNetworkReply::UnknownContentError;
        result.description = localized(QStringLiteral("The reply could not be taken in."));
        result.reason = localized(QStringLiteral("The reply is too large."));
    } else if (status.isValid()) {
        // Any HTTP reply is an answer, whatever its status.
        result.data = received;
    } else {
        const QNetworkReply::NetworkError error = reply->error();
        result.code = error == QNetworkReply::NoError ? QNetworkReply::UnknownNetworkError : error;
        result.description = reply->errorString();
        result.reason = reasonFor(error, reply->errorString());
    }
    delete reply;
    if (!isWaiting())
        runHeldWork();
    return result;
}
