#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;

// One running Norva per user: a second start hands the files it was given to the
// running one over a local socket only this user can reach, and then exits, so that
// one datafile is never open in two processes.
class InstanceChannel : public QObject {
    Q_OBJECT

public:
    // The socket in the user's runtime folder.
    static QString defaultPath();
    // A socket of that name in the user's runtime folder (the temporary folder without one).
    static QString runtimePath(const QString& name);

    // Gives the files (absolute paths) to the instance listening at the path; false when
    // none is listening or it did not take them.
    static bool handOver(const QString& path, const QStringList& files);

    explicit InstanceChannel(QObject* parent = nullptr);
    ~InstanceChannel() override;

    // Listens at the path, taking over a socket left by an instance that died; false
    // when another instance listens there.
    bool listen(const QString& path);

Q_SIGNALS:
    // A second start handed these over (perhaps none: it only wants the windows shown).
    void filesReceived(const QStringList& files);

private:
    void receive();

    QLocalServer* m_server;
};
