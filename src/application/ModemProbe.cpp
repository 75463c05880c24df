#include "ModemProbe.h"

#include "Localization.h"
#include "ModemSerial.h"
#include "StringFormat.h"
#include "SystemLog.h"

#include <QMetaObject>

#include <unistd.h>

ModemProbe::ModemProbe(Finder finder, ModemSleeper::Duration duration)
    : m_finder(finder ? std::move(finder) : Finder(&FindModems3)), m_sleeper(std::move(duration))
{
}

ModemProbe::~ModemProbe()
{
    m_sleeper.cancel();
    if (m_worker.joinable())
        m_worker.join();
}

void ModemProbe::start()
{
    if (m_running || m_worker.joinable())
        return;
    m_running = true;
    m_worker = std::thread([this] {
        const QList<Modem> modems = availableModems3(m_finder(), m_sleeper);
        // Dropped when the probe is gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, modems] {
                m_running = false;
                Q_EMIT finished(modems);
            },
            Qt::QueuedConnection);
    });
}

QList<ModemProbe::Modem> ModemProbe::availableModems3(const QStringList& paths,
                                                      ModemSleeper& sleeper)
{
    QList<Modem> modems;
    int external = 0;
    for (const QString& path : paths) {
        if (sleeper.isCancelled())
            break;
        if (isWirelessPort(path))
            continue;
        ModemPort port = openSerialPort3(path);
        if (!port.isOpen()) {
            SystemLog::log(QStringLiteral("Modem NOT Found 3\n"));
            continue;
        }
        sleeper.sleep(60);
        if (!InitializeModem3(port.fd, sleeper)) {
            SystemLog::log(QStringLiteral("Modem NOT Found 2\n"));
            closeSerialPort3(port, sleeper);
            continue;
        }
        const QByteArray identify = QByteArrayLiteral("ATI4\r");
        const bool written = ::write(port.fd, identify.constData(), size_t(identify.size())) ==
                             ssize_t(identify.size());
        if (written) {
            sleeper.sleep(60);
            if (readFromPort3(port.fd).isEmpty()) {
                SystemLog::log(QStringLiteral("Modem NOT Found 1\n"));
                closeSerialPort3(port, sleeper);
                continue;
            }
        }
        closeSerialPort3(port, sleeper);
        QString name;
        if (path == QLatin1String("/dev/cu.modem"))
            name = localized(QStringLiteral("Internal"));
        else if (++external == 1)
            name = localized(QStringLiteral("External"));
        else
            name = stringWithFormat(localized(QStringLiteral("External %d")), external);
        modems.append({name, path});
    }
    return modems;
}
