#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QLocalServer;
class QLocalSocket;
class QMimeData;

// The desktop's way to hand Norva a service request (text or a link sent from another
// program or the command line): a local socket only this user can reach. One request per
// connection: the length of a binary property list {"Service", "Types": {MIME type: data}}
// as four bytes, big-endian, then the list; the answer {"Result", "Reason"} comes back the
// same way.
class ServicesEndpoint : public QObject {
    Q_OBJECT

public:
    struct Reply {
        bool result = false;
        QString reason; // why not, when the result is false
    };
    // Runs the named service on the pasteboard the request carried.
    using Provider = std::function<Reply(const QString& service, const QMimeData& pasteboard)>;

    // A request larger than this is refused unread.
    static constexpr qint64 largestRequest = 64 * 1024 * 1024;
    // The kinds of data a request carries, as the clipboard holds them.
    static const QStringList& pasteboardTypes();

    // The socket in the user's runtime folder.
    static QString defaultPath();

    // The request's bytes, length first.
    static QByteArray encodeRequest(const QString& service, const QMimeData& pasteboard);
    // Sends the request to whoever listens at the path and waits for the answer; nothing
    // when no one listens there.
    static std::optional<Reply> send(const QString& path, const QString& service,
                                     const QMimeData& pasteboard);

    explicit ServicesEndpoint(QObject* parent = nullptr);
    ~ServicesEndpoint() override;

    void setProvider(Provider provider) { m_provider = std::move(provider); }
    // How long a started request may take to arrive whole before it is refused.
    void setRequestTimeout(int milliseconds) { m_requestTimeout = milliseconds; }

    // Listens at the path, taking over a socket left by an instance that died; false
    // when another listens there.
    bool listen(const QString& path);
    bool isListening() const;

private:
    class Connection;
    void accept();

    QLocalServer* m_server;
    Provider m_provider;
    int m_requestTimeout = 10000;
};
