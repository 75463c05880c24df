#pragma once

// A service browser that plays a scripted network: the servers listed are found one after
// the other as the search starts (more coming for all but the last), each resolves to
// its addresses and port, and a test can find or remove services later. Installed, it
// stands in for avahi in every browser the program makes.
#include "ServiceBrowser.h"

#include <QPointer>
#include <QTimer>

#include <vector>

class FakeServiceBrowser : public ServiceBrowser {
public:
    struct Server {
        QString name;
        QList<QHostAddress> addresses;
        quint16 port = 0;
        // false: the resolution never answers.
        bool resolves = true;
    };
    struct Network {
        QList<Server> servers;
        // What the program did, in order: "search", "stop", "resolve NAME", "stop-resolve NAME".
        QStringList calls;
        std::vector<FakeServiceBrowser*> browsers;

        FakeServiceBrowser* browser() const { return browsers.empty() ? nullptr : browsers.back(); }
    };

    static Network& install()
    {
        network() = Network{};
        ServiceBrowser::setFactory([] { return std::make_unique<FakeServiceBrowser>(); });
        return network();
    }
    static void uninstall()
    {
        ServiceBrowser::setFactory({});
        network() = Network{};
    }
    static Network& network()
    {
        static Network shared;
        return shared;
    }

    static NetService service(const QString& name)
    {
        return NetService{name, QStringLiteral("_http._tcp."), QStringLiteral("local.")};
    }

    FakeServiceBrowser() { network().browsers.push_back(this); }
    ~FakeServiceBrowser() override
    {
        auto& all = network().browsers;
        all.erase(std::remove(all.begin(), all.end(), this), all.end());
    }

    void searchForServicesOfType(const QString&, const QString&) override
    {
        network().calls.append(QStringLiteral("search"));
        m_searching = true;
        const QList<Server> servers = network().servers;
        later([this, servers] {
            for (qsizetype i = 0; i < servers.size() && m_searching; ++i)
                if (delegate())
                    delegate()->netServiceBrowserDidFindService(service(servers[i].name), i + 1 < servers.size());
        });
    }
    void stop() override
    {
        network().calls.append(QStringLiteral("stop"));
        m_searching = false;
        m_resolving.clear();
    }
    void resolveWithTimeout(const NetService& wanted, double) override
    {
        network().calls.append(QStringLiteral("resolve ") + wanted.name);
        m_resolving.append(wanted.name);
        for (const Server& server : std::as_const(network().servers)) {
            if (server.name != wanted.name || !server.resolves)
                continue;
            later([this, server, wanted] {
                if (!m_resolving.removeOne(wanted.name) || !delegate())
                    return;
                delegate()->netServiceDidResolveAddress(wanted, server.addresses, server.port);
            });
        }
    }
    void stopResolving(const NetService& wanted) override
    {
        network().calls.append(QStringLiteral("stop-resolve ") + wanted.name);
        m_resolving.removeAll(wanted.name);
    }

    // Later events of the network.
    void find(const QString& name, bool moreComing = false)
    {
        if (delegate())
            delegate()->netServiceBrowserDidFindService(service(name), moreComing);
    }
    void remove(const QString& name)
    {
        if (delegate())
            delegate()->netServiceBrowserDidRemoveService(service(name), false);
    }
    bool isResolving(const QString& name) const { return m_resolving.contains(name); }

private:
    void later(std::function<void()> event)
    {
        QTimer::singleShot(0, &m_context, std::move(event));
    }

    QObject m_context;
    bool m_searching = false;
    QStringList m_resolving;
};
