#pragma once

#include "ServiceBrowser.h"

#include <memory>

// The system's service browser on libavahi-client. avahi names a service once per
// interface and protocol; here it is one service, found at its first appearance and
// removed at its last. A daemon that cannot be reached is a network without services.
class AvahiNetServiceBrowser : public ServiceBrowser {
public:
    AvahiNetServiceBrowser();
    ~AvahiNetServiceBrowser() override;

    void searchForServicesOfType(const QString& type, const QString& domain) override;
    void stop() override;
    void resolveWithTimeout(const NetService& service, double seconds) override;
    void stopResolving(const NetService& service) override;

    // What avahi's callbacks reach.
    struct State;

private:
    std::unique_ptr<State> m_state;
};
