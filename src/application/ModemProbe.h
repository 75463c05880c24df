#pragma once

#include "ModemSleeper.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <thread>

// Finds the modems on a worker thread, so that Norva stays responsive through the
// minutes a modem needs: each port is opened, asked for "OK", then for its
// identification ("ATI4\r"), and closed again. Destroying the probe wakes its waits and
// waits for the port to be given back.
class ModemProbe : public QObject {
    Q_OBJECT

public:
    struct Modem {
        QString name; // "Internal", "External", "External 2" ...
        QString path;
        bool operator==(const Modem&) const = default;
    };
    using Finder = std::function<QStringList()>;

    // Empty seams: the system's serial ports, the waits as long as the modem needs.
    explicit ModemProbe(Finder finder = {}, ModemSleeper::Duration duration = {});
    ~ModemProbe() override;

    // Once; finished() follows on this object's thread.
    void start();
    bool isRunning() const { return m_running; }

    // The probe itself, on the calling thread: the modems that answered, in port order.
    static QList<Modem> availableModems3(const QStringList& paths, ModemSleeper& sleeper);

Q_SIGNALS:
    void finished(const QList<ModemProbe::Modem>& modems);

private:
    Finder m_finder;
    ModemSleeper m_sleeper;
    std::thread m_worker;
    bool m_running = false;
};
