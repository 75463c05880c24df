#pragma once

#include "ServiceBrowser.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>

class QWidget;

// What a window that talks to the mobile app gives discovery: where its sheets go, which
// edition of the app it needs and the exchange to start once the server is known.
class WiFiDiscoveryClient {
public:
    virtual ~WiFiDiscoveryClient() = default;
    virtual QWidget* discoveryWindow() const = 0;
    // The port text of the edition this window needs ("8088" or "8080"), the other
    // edition's, and what the user is told when that one answers.
    virtual QString expectedPort() const = 0;
    virtual QString wrongPort() const = 0;
    virtual QString incorrectDatafileTypeText() const = 0;
    // The server is known and of the right edition.
    virtual void startExchange(int operation) = 0;
    // The choice of server was answered, before anything is done with the answer.
    virtual void pickerDidEnd() {}
    // The user cancelled the choice of server.
    virtual void pickerCancelled() = 0;
    // A line for the trace of discovery's silent steps; most windows write none.
    virtual void traceDiscovery(const QString&) {}
};

// Finding the mobile app's server on the network: browse for web servers, let the user
// choose when several answer, resolve the choice to an IPv4 address and port, test the
// app's edition and start the pending exchange. One run at a time per window.
class WiFiDiscovery : public QObject, public ServiceBrowserDelegate {
    Q_OBJECT

public:
    static inline const QString ServiceType = QStringLiteral("_http._tcp.");
    static inline const QString DefaultiPhoneNameKey = QStringLiteral("DefaultiPhoneName");
    static inline const QString MobilePort = QStringLiteral("8088");
    static inline const QString PlusPort = QStringLiteral("8080");
    static constexpr double ResolveTimeout = 5.0; // seconds
    // A run without a server address by then, and no choice up, is reported.
    static constexpr int TimeOutReportDelay = 15000; // ms

    explicit WiFiDiscovery(WiFiDiscoveryClient& client);
    ~WiFiDiscovery() override;

    QString iPhonePath() const { return m_iPhonePath; }
    void setIPhonePath(const QString& path) { m_iPhonePath = path; }
    int wifiOperation() const { return m_WiFiOperation; }
    void setWiFiOperation(int operation) { m_WiFiOperation = operation; }
    bool serviceChosen() const { return m_serviceChosen; }
    void setServiceChosen(bool chosen) { m_serviceChosen = chosen; }
    const QList<NetService>& services() const { return m_services; }
    std::optional<NetService> serviceBeingResolved() const { return m_serviceBeingResolved; }
    bool isBrowsing() const { return m_browser != nullptr; }

    // An alert sheet with one "OK", as every WiFi failure is told.
    static void showOKAlert(QWidget* window, const QString& message, const QString& informative);

    void beginWiFiConnection();
    void shutDownNetServices();
    // The run found no server: told, and discovery ends.
    void checkForWiFiNetworkSuccess();
    void didFindServiceDidEnd(int returnCode, int serviceIndex);

    // The browser's messages, held while an exchange waits.
    void netServiceBrowserWillSearch() override;
    void netServiceBrowserDidStopSearch() override;
    void netServiceBrowserDidNotSearch() override;
    void netServiceBrowserDidFindService(const NetService& service, bool moreComing) override;
    void netServiceBrowserDidRemoveService(const NetService& service, bool moreComing) override;
    void netServiceDidResolveAddress(const NetService& service, const QList<QHostAddress>& addresses,
                                     quint16 port) override;
    void netServiceDidNotResolve(const NetService& service) override;

private:
    void findService(const NetService& service, bool moreComing);
    void removeService(const NetService& service);
    void resolveAddress(const NetService& service, const QList<QHostAddress>& addresses, quint16 port);
    void resolve(const NetService& service);
    void beginPicker();
    void stopResolution();
    // A resolution was stopped.
    void traceStop();
    // Stops the browser and lets it go once the event loop turns.
    void releaseBrowser();

    WiFiDiscoveryClient& m_client;
    QString m_iPhonePath;
    int m_WiFiOperation = 0;
    bool m_serviceChosen = false;
    std::unique_ptr<ServiceBrowser> m_browser;
    QList<NetService> m_services;
    std::optional<NetService> m_serviceBeingResolved;
    bool m_pickerShown = false;
    QTimer m_timeOutReport;
    // Off once the window it serves is going.
    bool m_tracing = true;
};
