#pragma once

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class QLocalServer;
class QLockFile;

// One running Norva per user: a second start hands the files it was given to the
// running one over a local socket only this user can reach, and then exits, so that
// one datafile is never open in two processes.
class InstanceChannel : public QObject {
    Q_OBJECT

public:
    // What became of a start.
    enum class Start {
        Listening,  // this start is the instance
        HandedOver, // the running instance took what this start was given
        Unanswered, // another instance holds the channel but took nothing in time
    };

    // The socket in the user's runtime folder.
    static QString defaultPath();
    // A socket of that name in the user's runtime folder (the temporary folder without one).
    static QString runtimePath(const QString& name);

    // Gives the files (absolute paths) to the instance listening at the path, waiting at
    // most the milliseconds for its answer; false when none is listening or it did not
    // take them.
    static bool handOver(const QString& path, const QStringList& files, int milliseconds = 3000);
    // Gives a URL the desktop handed to this start (a sign-in redirect) to the instance
    // listening at the path, as handOver does files.
    static bool handOverURL(const QString& path, const QString& url, int milliseconds = 3000);

    explicit InstanceChannel(QObject* parent = nullptr);
    ~InstanceChannel() override;

    // Listens at the path, taking over a socket left by an instance that died; false
    // when another instance listens there or is starting to. A lock beside the socket,
    // held for as long as this one listens, decides between starts at the same moment.
    bool listen(const QString& path);

    // Listens at the path, or gives the instance there what this start carries: deliver
    // says whether it was taken, waiting no longer than the milliseconds it is given. An
    // instance still starting holds the lock before it listens, so both are tried again
    // until the time is up.
    Start listenOrDeliver(const QString& path, const std::function<bool(int milliseconds)>& deliver,
                          int milliseconds);

Q_SIGNALS:
    // A second start handed these over (perhaps none: it only wants the windows shown).
    void filesReceived(const QStringList& files);
    // A second start handed this URL over.
    void urlReceived(const QString& url);

private:
    static bool deliver(const QString& path, const QStringList& files, const QString& url,
                        int milliseconds);
    void receive();

    QLocalServer* m_server;
    std::unique_ptr<QLockFile> m_lock;
};
