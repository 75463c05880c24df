#pragma once

#include <QByteArray>
#include <QNetworkRequest>
#include <QString>

#include <functional>
#include <optional>

class QIODevice;
class QObject;

// One HTTP request sent and waited for, the way a caller on the main thread waits for a
// synchronous send: the window keeps painting but takes no input until the reply. It
// knows no datafile.
class HttpExchange {
public:
    // No reply is taken in beyond this.
    static constexpr qint64 MaxReplySize = qint64(2) << 30;
    // Without a byte for so long the request is given up.
    static constexpr int TransferTimeout = 60000; // ms

    struct Result {
        // The reply's bytes whenever an HTTP reply came, whatever its status; none else.
        std::optional<QByteArray> data;
        // 0 when a reply came; else the network error's number.
        qint64 code = 0;
        QString description;
        QString reason;

        bool succeeded() const { return data.has_value() && code == 0; }
    };

    // The request with the method and the body, if any (read from its current position
    // to its end; its size sets the Content-Length). A reply larger than the cap fails.
    static Result send(QNetworkRequest request, const QByteArray& method, QIODevice* body = nullptr,
                       qint64 maxReplySize = MaxReplySize);

    // Tests make the reply cap smaller; 0 puts back MaxReplySize.
    static void setMaxReplySizeForTesting(qint64 bytes);
    // Whether a send is waiting now.
    static bool isWaiting();
    // Runs the work now, or once the send that waits has returned, so that nothing
    // the wait lets through starts another exchange inside it.
    static void whenIdle(QObject* context, std::function<void()> work);
};
