// Finding the mobile app's server: the choice among several, the edition test and the
// run's end, on a scripted network.
#include "WiFiDiscovery.h"

#include "DocumentFixture.h"
#include "FakeServiceBrowser.h"
#include "PortNumberSheetController.h"

#include <QComboBox>
#include <QDialog>
#include <QTest>

namespace {

const QHostAddress Loopback(QStringLiteral("127.0.0.1"));
const QHostAddress Ipv6(QStringLiteral("fe80::1"));

class Client : public WiFiDiscoveryClient {
public:
    QWidget* discoveryWindow() const override { return const_cast<QWidget*>(&window); }
    QString expectedPort() const override { return mobile ? WiFiDiscovery::MobilePort : WiFiDiscovery::PlusPort; }
    QString wrongPort() const override { return mobile ? WiFiDiscovery::PlusPort : WiFiDiscovery::MobilePort; }
    QString incorrectDatafileTypeText() const override { return QStringLiteral("wrong edition"); }
    void startExchange(int operation) override { exchanges.append(operation); }
    void pickerCancelled() override { ++cancelled; }

    QWidget window;
    bool mobile = false;
    QList<int> exchanges;
    int cancelled = 0;
};

class WiFiDiscoveryTest : public DocumentFixture {
protected:
    void SetUp() override
    {
        DocumentFixture::SetUp();
        m_network = &FakeServiceBrowser::install();
        m_client.window.show();
    }
    void TearDown() override
    {
        if (pickerShown())
            picker()->cancel();
        m_discovery.reset();
        FakeServiceBrowser::uninstall();
        DocumentFixture::TearDown();
    }

    void start(const QList<FakeServiceBrowser::Server>& servers, int operation = 1)
    {
        m_discovery.reset();
        m_network->calls.clear();
        m_network->servers = servers;
        m_discovery = std::make_unique<WiFiDiscovery>(m_client);
        m_discovery->setWiFiOperation(operation);
        m_discovery->beginWiFiConnection();
        settle();
    }
    static void settle() { QTest::qWait(20); }
    // The picker on screen, or nullptr.
    static PortNumberSheetController* picker()
    {
        return VKSheetController::findControllerForObject<PortNumberSheetController>(QVariant());
    }
    static bool pickerShown() { return picker() != nullptr; }
    static QStringList pickerItems()
    {
        QStringList items;
        for (int i = 0; i < picker()->serviceNamesPopup()->count(); ++i)
            items.append(picker()->serviceNamesPopup()->itemText(i));
        return items;
    }

    FakeServiceBrowser::Network* m_network = nullptr;
    Client m_client;
    std::unique_ptr<WiFiDiscovery> m_discovery;
};

} // namespace

TEST_F(WiFiDiscoveryTest, TheServerChosen_ByHowManyAnswerAndTheStoredName)
{
    struct Case {
        const char* name;
        QList<FakeServiceBrowser::Server> servers;
        QString stored;
        QStringList calls;
        bool picker;
    };
    const Case cases[] = {
        {"one server", {{"Pad", {Loopback}, 8080}}, QString(), {"search", "resolve Pad"}, false},
        {"two, the stored one second", {{"Pad", {Loopback}, 8080}, {"Phone", {Loopback}, 8080}},
         "Phone", {"search", "resolve Phone"}, false},
        {"two, the stored one gone", {{"Pad", {Loopback}, 8080}, {"Phone", {Loopback}, 8080}},
         "Other", {"search"}, true},
    };
    for (const Case& c : cases) {
        m_defaults.setObject(c.stored, WiFiDiscovery::DefaultiPhoneNameKey);
        m_network->calls.clear();
        m_client.exchanges.clear();
        start(c.servers);
        EXPECT_EQ(m_network->calls.mid(0, c.calls.size()), c.calls) << c.name;
        EXPECT_EQ(pickerShown(), c.picker) << c.name;
        if (!c.picker) {
            EXPECT_EQ(m_client.exchanges, QList<int>{1}) << c.name;
            EXPECT_EQ(m_discovery->iPhonePath(), "http://127.0.0.1:8080/") << c.name;
            // Stopped once the exchange has begun.
            EXPECT_FALSE(m_discovery->serviceBeingResolved()) << c.name;
            EXPECT_EQ(m_defaults.stringForKey(WiFiDiscovery::DefaultiPhoneNameKey), c.stored) << c.name;
        } else {
            picker()->cancel();
        }
    }
}

TEST_F(WiFiDiscoveryTest, Picker_ListsInOrder_TheChoiceIsResolvedAndStored_CancelEndsTheRun)
{
    start({{"Pad", {Loopback}, 8080}, {"Phone", {Loopback}, 8080}}, 2);
    ASSERT_TRUE(pickerShown());
    EXPECT_EQ(pickerItems(), (QStringList{"Pad", "Phone"}));
    picker()->serviceNamesPopup()->setCurrentIndex(1);
    picker()->okay();
    // The resolution answers on the event loop, later under a slow build.
    EXPECT_TRUE(QTest::qWaitFor([this] { return !m_client.exchanges.isEmpty(); }, 5000));
    EXPECT_EQ(m_network->calls.last(), "stop-resolve Phone");
    EXPECT_TRUE(m_network->calls.contains("resolve Phone"));
    EXPECT_EQ(m_defaults.stringForKey(WiFiDiscovery::DefaultiPhoneNameKey), "Phone");
    EXPECT_EQ(m_client.exchanges, QList<int>{2});

    // Again, and cancelled this time.
    m_defaults.removeObjectForKey(WiFiDiscovery::DefaultiPhoneNameKey);
    m_discovery->setServiceChosen(false);
    m_discovery->beginWiFiConnection();
    settle();
    ASSERT_EQ(m_discovery->services().size(), 2);
    ASSERT_TRUE(pickerShown());
    picker()->cancel();
    EXPECT_EQ(m_client.cancelled, 1);
}

TEST_F(WiFiDiscoveryTest, Resolutions_IPv6OnlyWrongEditionOtherPort)
{
    // IPv6 only: nothing at all, and the resolution stays.
    start({{"Pad", {Ipv6}, 8080}});
    EXPECT_TRUE(m_discovery->iPhonePath().isEmpty());
    EXPECT_TRUE(m_client.exchanges.isEmpty());
    EXPECT_TRUE(m_discovery->serviceBeingResolved());
    EXPECT_TRUE(m_presenter.alerts().isEmpty());

    // The other edition: told, but the address is kept.
    m_discovery->shutDownNetServices();
    m_discovery->setServiceChosen(false);
    start({{"Pad", {Ipv6, Loopback}, 8088}});
    EXPECT_EQ(m_discovery->iPhonePath(), "http://127.0.0.1:8088/");
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.alerts().last().request.messageText, "Incorrect Datafile Type");
    EXPECT_EQ(m_presenter.alerts().last().request.informativeText, "wrong edition");
    EXPECT_TRUE(m_client.exchanges.isEmpty());
    EXPECT_TRUE(m_discovery->isBrowsing());

    // Neither edition's port: the choice again.
    m_discovery->setServiceChosen(false);
    start({{"Web", {Loopback}, 9000}});
    EXPECT_TRUE(pickerShown());
    EXPECT_EQ(pickerItems(), QStringList{"Web"});
    EXPECT_TRUE(m_client.exchanges.isEmpty());
}

TEST_F(WiFiDiscoveryTest, LaterFindsAreIgnored_ARemovalStopsItsResolution)
{
    start({{"Pad", {Loopback}, 8080, false}});
    ASSERT_EQ(m_discovery->serviceBeingResolved(), FakeServiceBrowser::service("Pad"));
    m_network->browser()->find(QStringLiteral("Late"));
    settle();
    EXPECT_EQ(m_discovery->services().size(), 1);

    m_network->browser()->remove(QStringLiteral("Pad"));
    settle();
    EXPECT_TRUE(m_discovery->services().isEmpty());
    EXPECT_FALSE(m_discovery->serviceBeingResolved());
    EXPECT_EQ(m_network->calls.last(), "stop-resolve Pad");
}

TEST_F(WiFiDiscoveryTest, NoServerAfterTheDelay_IsReportedOnce_NotWhileThePickerIsUp)
{
    m_network->servers = {};
    m_discovery = std::make_unique<WiFiDiscovery>(m_client);
    m_discovery->beginWiFiConnection();
    m_discovery->checkForWiFiNetworkSuccess();
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.alerts().last().request.messageText, "Timed Out Connecting to Server");
    EXPECT_EQ(m_presenter.alerts().last().request.informativeText,
              "Perhaps the Norva Mobil WiFi Server is not active.");
    EXPECT_FALSE(m_discovery->isBrowsing());
    // With an address there is nothing to report.
    m_discovery->setIPhonePath(QStringLiteral("http://127.0.0.1:8080/"));
    m_discovery->checkForWiFiNetworkSuccess();
    EXPECT_EQ(m_presenter.alerts().size(), 1);
}
