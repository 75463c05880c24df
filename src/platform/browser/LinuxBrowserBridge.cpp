#include "LinuxBrowserBridge.h"

#include <QStandardPaths>

LinuxBrowserBridge::LinuxBrowserBridge(QString procRoot, QString configFolder)
    : m_scan(std::move(procRoot)), m_configFolder(std::move(configFolder))
{
    if (m_configFolder.isEmpty())
        m_configFolder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QList<RunningBrowser> LinuxBrowserBridge::runningBrowsers()
{
    m_found = m_scan.scan();
    QList<RunningBrowser> browsers;
    for (const BrowserProcessScan::Found& found : m_found)
        browsers.append(found.browser);
    return browsers;
}

QString LinuxBrowserBridge::profileFolder(BrowserSignature signature) const
{
    for (const BrowserProcessScan::Found& found : m_found) {
        if (found.browser.signature == signature && !found.userDataDir.isEmpty())
            return found.userDataDir;
    }
    const BrowserRow* row = browserRowForSignature(signature);
    if (!row || row->linuxProfile.isEmpty())
        return {};
    return m_configFolder + QLatin1Char('/') + row->linuxProfile;
}

std::optional<DevToolsPageReader::Page> LinuxBrowserBridge::frontPage(BrowserSignature signature)
{
    const QString folder = profileFolder(signature);
    if (folder.isEmpty())
        return std::nullopt;
    const std::optional<quint16> port = DevToolsPageReader::activePort(folder);
    if (!port)
        return std::nullopt;
    return DevToolsPageReader::frontPage(*port);
}

std::optional<QString> LinuxBrowserBridge::url(BrowserSignature signature)
{
    m_pageSignature = signature;
    m_page = frontPage(signature);
    if (!m_page)
        return std::nullopt;
    return m_page->url;
}

std::optional<QString> LinuxBrowserBridge::title(BrowserSignature signature)
{
    if (m_pageSignature != signature || !m_page)
        url(signature);
    return m_page ? m_page->title : std::nullopt;
}
