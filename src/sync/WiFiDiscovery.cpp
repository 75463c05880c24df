#include "WiFiDiscovery.h"

#include "HttpExchange.h"
#include "Localization.h"
#include "PortNumberSheetController.h"
#include "Presenter.h"
#include "StringFormat.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QPointer>

void WiFiDiscovery::showOKAlert(QWidget* window, const QString& message, const QString& informative)
{
    AlertRequest alert;
    alert.style = AlertRequest::Style::Informational;
    alert.messageText = message;
    alert.informativeText = informative;
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, window, [](const AlertResponse&) {});
}

WiFiDiscovery::WiFiDiscovery(WiFiDiscoveryClient& client) : m_client(client)
{
    m_timeOutReport.setSingleShot(true);
    connect(&m_timeOutReport, &QTimer::timeout, this, [this] {
        // A choice up is the user's to make, however long it takes.
        if (m_iPhonePath.isEmpty() && !m_pickerShown)
            checkForWiFiNetworkSuccess();
    });
}

WiFiDiscovery::~WiFiDiscovery()
{
    m_tracing = false;
    shutDownNetServices();
}

void WiFiDiscovery::beginWiFiConnection()
{
    releaseBrowser();
    m_browser = ServiceBrowser::make();
    m_services.clear();
    m_pickerShown = false;
    m_browser->setDelegate(this);
    m_timeOutReport.start(TimeOutReportDelay);
    m_browser->searchForServicesOfType(ServiceType, QString());
}

void WiFiDiscovery::shutDownNetServices()
{
    m_timeOutReport.stop();
    releaseBrowser();
    m_services.clear();
}

void WiFiDiscovery::releaseBrowser()
{
    if (std::shared_ptr<ServiceBrowser> browser = std::move(m_browser)) {
        browser->setDelegate(nullptr);
        if (m_serviceBeingResolved) {
            browser->stopResolving(*m_serviceBeingResolved);
            traceStop();
        }
        browser->stop();
        // Possibly called from inside one of the browser's callbacks: it goes once that
        // has returned.
        QTimer::singleShot(0, QCoreApplication::instance(), [browser] {});
    }
    m_serviceBeingResolved.reset();
}

void WiFiDiscovery::stopResolution()
{
    if (m_serviceBeingResolved && m_browser) {
        m_browser->stopResolving(*m_serviceBeingResolved);
        traceStop();
    }
    m_serviceBeingResolved.reset();
}

void WiFiDiscovery::traceStop()
{
    if (m_tracing)
        m_client.traceDiscovery(QStringLiteral("\nNetService did stop\n"));
}

void WiFiDiscovery::checkForWiFiNetworkSuccess()
{
    if (!m_iPhonePath.isEmpty())
        return;
    shutDownNetServices();
    showOKAlert(m_client.discoveryWindow(), localized(QStringLiteral("Timed Out Connecting to Server")),
                localized(QStringLiteral("Perhaps the Norva Mobil WiFi Server is not active.")));
}

void WiFiDiscovery::netServiceBrowserWillSearch()
{
    m_client.traceDiscovery(QStringLiteral("\nNetService will search\n"));
    if (m_browser)
        m_browser->setDelegate(this);
}

void WiFiDiscovery::netServiceBrowserDidStopSearch()
{
    m_client.traceDiscovery(QStringLiteral("\nNetService did stop search\n"));
    if (m_browser)
        m_browser->setDelegate(this);
}

void WiFiDiscovery::netServiceBrowserDidNotSearch()
{
    m_client.traceDiscovery(QStringLiteral("\nNetService will search\n"));
}

void WiFiDiscovery::netServiceDidNotResolve(const NetService&)
{
    m_client.traceDiscovery(QStringLiteral("\nNetService did not resolve\n"));
}

void WiFiDiscovery::netServiceBrowserDidFindService(const NetService& service, bool moreComing)
{
    HttpExchange::whenIdle(this, [this, service, moreComing] { findService(service, moreComing); });
}

void WiFiDiscovery::netServiceBrowserDidRemoveService(const NetService& service, bool)
{
    HttpExchange::whenIdle(this, [this, service] { removeService(service); });
}

void WiFiDiscovery::netServiceDidResolveAddress(const NetService& service,
                                                const QList<QHostAddress>& addresses, quint16 port)
{
    HttpExchange::whenIdle(this, [this, service, addresses, port] { resolveAddress(service, addresses, port); });
}

void WiFiDiscovery::findService(const NetService& service, bool moreComing)
{
    if (m_serviceChosen || !m_browser)
        return;
    m_services.append(service);
    if (moreComing)
        return;
    m_serviceChosen = true;
    if (m_services.size() == 1) {
        resolve(m_services.front());
        return;
    }
    const QString stored =
        UserDefaults::standardUserDefaults().stringForKey(DefaultiPhoneNameKey).value_or(QString());
    if (!stored.isEmpty()) {
        for (const NetService& listed : std::as_const(m_services)) {
            if (listed.name == stored) {
                resolve(listed);
                return;
            }
        }
    }
    beginPicker();
}

void WiFiDiscovery::removeService(const NetService& service)
{
    const qsizetype index = m_services.indexOf(service);
    if (index >= 0)
        m_services.removeAt(index);
    if (m_serviceBeingResolved && *m_serviceBeingResolved == service)
        stopResolution();
}

void WiFiDiscovery::resolve(const NetService& service)
{
    if (!m_browser)
        return;
    m_serviceBeingResolved = service;
    m_browser->resolveWithTimeout(service, ResolveTimeout);
}

void WiFiDiscovery::beginPicker()
{
    m_pickerShown = true;
    auto* sheet = VKSheetController::controller<PortNumberSheetController>();
    const QPointer<WiFiDiscovery> self(this);
    sheet->beginPortNumberSheetForWindow(m_client.discoveryWindow(), m_services,
                                         [self, sheet](QWidget*, int returnCode) {
                                             if (self)
                                                 self->didFindServiceDidEnd(returnCode,
                                                                            sheet->theServiceIndex());
                                         });
}

void WiFiDiscovery::didFindServiceDidEnd(int returnCode, int serviceIndex)
{
    m_pickerShown = false;
    m_client.pickerDidEnd();
    if (returnCode != 1) {
        m_client.pickerCancelled();
        return;
    }
    if (serviceIndex < 0 || serviceIndex >= m_services.size())
        return;
    const NetService chosen = m_services.at(serviceIndex);
    UserDefaults::standardUserDefaults().setObject(chosen.name, DefaultiPhoneNameKey);
    resolve(chosen);
}

void WiFiDiscovery::resolveAddress(const NetService& service, const QList<QHostAddress>& addresses,
                                   quint16 port)
{
    // An answer for a service no longer wanted, or of a run that has ended.
    if (!m_browser || !m_serviceBeingResolved || !(*m_serviceBeingResolved == service))
        return;
    const QHostAddress* ipv4 = nullptr;
    for (const QHostAddress& address : addresses) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol) {
            ipv4 = &address;
            break;
        }
    }
    if (!ipv4)
        return;
    const QString portText = QString::number(port);
    m_iPhonePath = stringWithFormat(QStringLiteral("http://%@:%@/"), ipv4->toString(), portText);
    if (portText == m_client.wrongPort()) {
        showOKAlert(m_client.discoveryWindow(), localized(QStringLiteral("Incorrect Datafile Type")),
                    m_client.incorrectDatafileTypeText());
        return;
    }
    if (portText != m_client.expectedPort()) {
        beginPicker();
        return;
    }
    m_timeOutReport.stop();
    // Out of the browser's own callback: the exchange waits for its reply and may end
    // discovery.
    QTimer::singleShot(0, this, [this] {
        m_client.startExchange(m_WiFiOperation);
        stopResolution();
    });
}
