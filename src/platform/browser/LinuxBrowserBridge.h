#pragma once

#include "BrowserBridge.h"
#include "BrowserProcessScan.h"
#include "DevToolsPageReader.h"

// The browsers of this machine: found in /proc, asked through their debugging endpoint,
// which a browser opens only when started with "--remote-debugging-port=0". Without it
// the browser cannot be asked and no page is reported.
class LinuxBrowserBridge : public BrowserBridge {
public:
    explicit LinuxBrowserBridge(QString procRoot = QStringLiteral("/proc"),
                                QString configFolder = QString());

    QList<RunningBrowser> runningBrowsers() override;
    std::optional<QString> url(BrowserSignature signature) override;
    std::optional<QString> title(BrowserSignature signature) override;

private:
    std::optional<DevToolsPageReader::Page> frontPage(BrowserSignature signature);
    QString profileFolder(BrowserSignature signature) const;

    BrowserProcessScan m_scan;
    QString m_configFolder;
    QList<BrowserProcessScan::Found> m_found;
    // The title comes with the address; asking twice could tell of two different pages.
    BrowserSignature m_pageSignature = NoBrowserSignature;
    std::optional<DevToolsPageReader::Page> m_page;
};
