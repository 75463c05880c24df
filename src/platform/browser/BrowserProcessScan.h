#pragma once

#include "BrowserBridge.h"

#include <QString>

// The known browsers among the processes of a /proc tree, lowest pid first. A process
// given a "--type=" argument is one of a browser's helpers (renderer, GPU ...), not the
// browser itself.
class BrowserProcessScan {
public:
    struct Found {
        RunningBrowser browser;
        // The "--user-data-dir=" argument; empty for the default profile.
        QString userDataDir;
    };

    explicit BrowserProcessScan(QString procRoot = QStringLiteral("/proc"))
        : m_procRoot(std::move(procRoot))
    {
    }

    QList<Found> scan() const;

private:
    QString m_procRoot;
};
