#pragma once

// Browsers for tests: the processes and the pages set here, and who asked for what.
#include "BrowserBridge.h"

#include <QMap>

class FakeBrowserBridge : public BrowserBridge {
public:
    FakeBrowserBridge() { BrowserBridge::setSharedForTesting(this); }
    ~FakeBrowserBridge() override { BrowserBridge::setSharedForTesting(nullptr); }

    void run(const char (&code)[5], qint64 pid = 100)
    {
        m_running.append({browserSignature(code), pid});
    }
    void showPage(const char (&code)[5], const QString& url, std::optional<QString> title)
    {
        m_pages[browserSignature(code)] = {url, std::move(title)};
    }

    QList<RunningBrowser> runningBrowsers() override { return m_running; }
    std::optional<QString> url(BrowserSignature signature) override
    {
        ++urlRequests;
        if (!m_pages.contains(signature))
            return std::nullopt;
        return m_pages.value(signature).first;
    }
    std::optional<QString> title(BrowserSignature signature) override
    {
        if (!m_pages.contains(signature))
            return std::nullopt;
        return m_pages.value(signature).second;
    }

    int urlRequests = 0;

private:
    QList<RunningBrowser> m_running;
    QMap<BrowserSignature, QPair<QString, std::optional<QString>>> m_pages;
};
