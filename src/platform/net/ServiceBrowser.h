#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

// A service announced on the local network by DNS service discovery, known by its name,
// type and domain.
struct NetService {
    QString name;
    QString type;
    QString domain;

    bool operator==(const NetService&) const = default;
};

// What a browser tells as it runs; every message comes on the main thread.
class ServiceBrowserDelegate {
public:
    virtual ~ServiceBrowserDelegate() = default;
    virtual void netServiceBrowserWillSearch() {}
    virtual void netServiceBrowserDidStopSearch() {}
    virtual void netServiceBrowserDidNotSearch() {}
    // moreComing: further finds of the same burst follow at once.
    virtual void netServiceBrowserDidFindService(const NetService& service, bool moreComing) = 0;
    virtual void netServiceBrowserDidRemoveService(const NetService& service, bool moreComing) = 0;
    // The service's addresses in order and its port.
    virtual void netServiceDidResolveAddress(const NetService& service,
                                             const QList<QHostAddress>& addresses, quint16 port) = 0;
    virtual void netServiceDidNotResolve(const NetService&) {}
};

// Browsing for one service type and resolving the services found. One resolution at a
// time per service; stop ends the browse and every resolution.
class ServiceBrowser {
public:
    using Factory = std::function<std::unique_ptr<ServiceBrowser>()>;

    virtual ~ServiceBrowser() = default;

    void setDelegate(ServiceBrowserDelegate* delegate) { m_delegate = delegate; }
    ServiceBrowserDelegate* delegate() const { return m_delegate; }

    // The empty domain: the default browsing domains.
    virtual void searchForServicesOfType(const QString& type, const QString& domain) = 0;
    virtual void stop() = 0;
    // Ends with resolved or did-not-resolve, at the latest after the time-out.
    virtual void resolveWithTimeout(const NetService& service, double seconds) = 0;
    virtual void stopResolving(const NetService& service) = 0;

    // The system's browser (avahi), unless a test has put another in place.
    static std::unique_ptr<ServiceBrowser> make();
    // Null puts back the system's browser.
    static void setFactory(Factory factory);

private:
    ServiceBrowserDelegate* m_delegate = nullptr;
};
