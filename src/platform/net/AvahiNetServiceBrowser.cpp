#include "AvahiNetServiceBrowser.h"

#include "QtAvahiPoll.h"
#include "SystemLog.h"

#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/error.h>

#include <QMap>
#include <QtEndian>
#include <QTimer>

#include <optional>

struct AvahiNetServiceBrowser::State {
    AvahiNetServiceBrowser* owner = nullptr;
    QtAvahiPoll poll;
    AvahiClient* client = nullptr;
    ::AvahiServiceBrowser* browser = nullptr;
    // How many (interface, protocol) pairs announce each service.
    QMap<QString, int> appearances;
    bool allForNow = false;
    // The last find of a burst waits until the next one, or the burst's end, says
    // whether more are coming.
    std::optional<NetService> heldFind;

    struct Resolution {
        ::AvahiServiceResolver* resolver = nullptr;
        QTimer* timer = nullptr;
    };
    QMap<QString, Resolution> resolutions;

    static QString key(const NetService& service)
    {
        return service.name + QChar(0) + service.type + QChar(0) + service.domain;
    }

    ServiceBrowserDelegate* delegate() const { return owner->delegate(); }

    void releaseHeld(bool moreComing)
    {
        if (!heldFind)
            return;
        const NetService service = *heldFind;
        heldFind.reset();
        if (ServiceBrowserDelegate* target = delegate())
            target->netServiceBrowserDidFindService(service, moreComing);
    }

    void endResolution(const QString& which)
    {
        const auto found = resolutions.find(which);
        if (found == resolutions.end())
            return;
        if (found->resolver)
            avahi_service_resolver_free(found->resolver);
        // Possibly from the timer's own time-out.
        found->timer->deleteLater();
        resolutions.erase(found);
    }

    void stopAll()
    {
        for (const QString& which : resolutions.keys())
            endResolution(which);
        if (browser)
            avahi_service_browser_free(browser);
        browser = nullptr;
        appearances.clear();
        heldFind.reset();
        allForNow = false;
    }
};

namespace {

void clientChanged(AvahiClient*, AvahiClientState, void*) {}

void browseEvent(::AvahiServiceBrowser*, AvahiIfIndex, AvahiProtocol, AvahiBrowserEvent event,
                 const char* name, const char* type, const char* domain, AvahiLookupResultFlags,
                 void* userdata)
{
    auto* state = static_cast<AvahiNetServiceBrowser::State*>(userdata);
    switch (event) {
    case AVAHI_BROWSER_NEW: {
        const NetService service{QString::fromUtf8(name), QString::fromUtf8(type), QString::fromUtf8(domain)};
        if (state->appearances[state->key(service)]++ > 0)
            return;
        if (state->allForNow) {
            if (ServiceBrowserDelegate* target = state->delegate())
                target->netServiceBrowserDidFindService(service, false);
            return;
        }
        state->releaseHeld(true);
        state->heldFind = service;
        return;
    }
    case AVAHI_BROWSER_REMOVE: {
        const NetService service{QString::fromUtf8(name), QString::fromUtf8(type), QString::fromUtf8(domain)};
        const QString which = state->key(service);
        if (!state->appearances.contains(which) || --state->appearances[which] > 0)
            return;
        state->appearances.remove(which);
        if (state->heldFind && *state->heldFind == service) {
            state->heldFind.reset();
            return;
        }
        if (ServiceBrowserDelegate* target = state->delegate())
            target->netServiceBrowserDidRemoveService(service, false);
        return;
    }
    case AVAHI_BROWSER_ALL_FOR_NOW:
        state->allForNow = true;
        state->releaseHeld(false);
        return;
    case AVAHI_BROWSER_FAILURE:
        SystemLog::log(QStringLiteral("Service browsing failed: %1")
                           .arg(QString::fromUtf8(avahi_strerror(avahi_client_errno(state->client)))));
        state->stopAll();
        if (ServiceBrowserDelegate* target = state->delegate())
            target->netServiceBrowserDidNotSearch();
        return;
    case AVAHI_BROWSER_CACHE_EXHAUSTED:
        return;
    }
}

void resolveEvent(::AvahiServiceResolver*, AvahiIfIndex, AvahiProtocol, AvahiResolverEvent event,
                  const char* name, const char* type, const char* domain, const char*,
                  const AvahiAddress* address, uint16_t port, AvahiStringList*, AvahiLookupResultFlags,
                  void* userdata)
{
    auto* state = static_cast<AvahiNetServiceBrowser::State*>(userdata);
    const NetService service{QString::fromUtf8(name), QString::fromUtf8(type), QString::fromUtf8(domain)};
    state->endResolution(state->key(service));
    ServiceBrowserDelegate* target = state->delegate();
    if (!target)
        return;
    if (event != AVAHI_RESOLVER_FOUND || !address) {
        target->netServiceDidNotResolve(service);
        return;
    }
    QList<QHostAddress> addresses;
    if (address->proto == AVAHI_PROTO_INET)
        addresses.append(QHostAddress(qFromBigEndian(address->data.ipv4.address)));
    else if (address->proto == AVAHI_PROTO_INET6)
        addresses.append(QHostAddress(address->data.ipv6.address));
    target->netServiceDidResolveAddress(service, addresses, port);
}

} // namespace

AvahiNetServiceBrowser::AvahiNetServiceBrowser() : m_state(std::make_unique<State>())
{
    m_state->owner = this;
}

AvahiNetServiceBrowser::~AvahiNetServiceBrowser()
{
    m_state->stopAll();
    if (m_state->client)
        avahi_client_free(m_state->client);
}

void AvahiNetServiceBrowser::searchForServicesOfType(const QString& type, const QString& domain)
{
    m_state->stopAll();
    if (!m_state->client) {
        int error = 0;
        m_state->client = avahi_client_new(m_state->poll.poll(), AvahiClientFlags(0), clientChanged,
                                           m_state.get(), &error);
        if (!m_state->client) {
            SystemLog::log(QStringLiteral("No service discovery: %1").arg(QString::fromUtf8(avahi_strerror(error))));
            return;
        }
    }
    // avahi wants the type without the final dot.
    QString bare = type;
    if (bare.endsWith(QLatin1Char('.')))
        bare.chop(1);
    const QByteArray typeBytes = bare.toUtf8();
    const QByteArray domainBytes = domain.toUtf8();
    m_state->browser = avahi_service_browser_new(m_state->client, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC,
                                                 typeBytes.constData(),
                                                 domain.isEmpty() ? nullptr : domainBytes.constData(),
                                                 AvahiLookupFlags(0), browseEvent, m_state.get());
    if (!m_state->browser) {
        SystemLog::log(QStringLiteral("No service discovery: %1")
                           .arg(QString::fromUtf8(avahi_strerror(avahi_client_errno(m_state->client)))));
        return;
    }
    if (ServiceBrowserDelegate* target = delegate())
        target->netServiceBrowserWillSearch();
}

void AvahiNetServiceBrowser::stop()
{
    const bool searching = m_state->browser != nullptr;
    m_state->stopAll();
    if (searching)
        if (ServiceBrowserDelegate* target = delegate())
            target->netServiceBrowserDidStopSearch();
}

void AvahiNetServiceBrowser::resolveWithTimeout(const NetService& service, double seconds)
{
    const QString which = State::key(service);
    m_state->endResolution(which);
    if (!m_state->client)
        return;
    const QByteArray name = service.name.toUtf8();
    const QByteArray type = service.type.toUtf8();
    const QByteArray domain = service.domain.toUtf8();
    ::AvahiServiceResolver* resolver = avahi_service_resolver_new(
        m_state->client, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, name.constData(), type.constData(),
        domain.constData(), AVAHI_PROTO_INET, AvahiLookupFlags(0), resolveEvent, m_state.get());
    if (!resolver) {
        if (ServiceBrowserDelegate* target = delegate())
            target->netServiceDidNotResolve(service);
        return;
    }
    auto* timer = new QTimer;
    timer->setSingleShot(true);
    State* state = m_state.get();
    QObject::connect(timer, &QTimer::timeout, timer, [state, which, service] {
        state->endResolution(which);
        if (ServiceBrowserDelegate* target = state->delegate())
            target->netServiceDidNotResolve(service);
    });
    m_state->resolutions.insert(which, {resolver, timer});
    timer->start(int(seconds * 1000));
}

void AvahiNetServiceBrowser::stopResolving(const NetService& service)
{
    m_state->endResolution(State::key(service));
}
