#include "ServiceBrowser.h"

#include "AvahiNetServiceBrowser.h"

namespace {

ServiceBrowser::Factory& factory()
{
    static ServiceBrowser::Factory made;
    return made;
}

} // namespace

std::unique_ptr<ServiceBrowser> ServiceBrowser::make()
{
    if (factory())
        return factory()();
    return std::make_unique<AvahiNetServiceBrowser>();
}

void ServiceBrowser::setFactory(Factory made)
{
    factory() = std::move(made);
}
