#include "BrowserBridge.h"

#include "LinuxBrowserBridge.h"
#include "SystemLog.h"

namespace {

QString script(const QString& application, const QString& command)
{
    return QStringLiteral("tell application \"%1\" \n %2 \n end tell").arg(application, command);
}

BrowserRow row(const char (&code)[5], const QString& name, const QString& automation,
               const QString& urlCommand, const QString& titleCommand,
               const QString& executable = {}, const QString& profile = {})
{
    return {browserSignature(code), name, automation, script(name, urlCommand),
            script(name, titleCommand), executable, profile};
}

BrowserBridge* testBridge = nullptr;

} // namespace

const QList<BrowserRow>& browserTable()
{
    static const QList<BrowserRow> table = {
        row("sfri", QStringLiteral("Safari"), QStringLiteral("com.apple.Safari"),
            QStringLiteral("get URL of current tab of window 1"),
            QStringLiteral("get name of current tab of window 1")),
        row("rimZ", QStringLiteral("Google Chrome"), QStringLiteral("com.google.Chrome"),
            QStringLiteral("get URL of active tab of window 1"),
            QStringLiteral("get title of active tab of window 1"), QStringLiteral("chrome"),
            QStringLiteral("google-chrome")),
        row("Cr24", QStringLiteral("Yandex"), QStringLiteral("ru.yandex.desktop.yandex-browser"),
            QStringLiteral("get URL of active tab of window 1"),
            QStringLiteral("get title of active tab of window 1"),
            QStringLiteral("yandex_browser"), QStringLiteral("yandex-browser")),
        row("OPRA", QStringLiteral("Opera"), QStringLiteral("com.operasoftware.Opera"),
            QStringLiteral("get URL of (active tab of (item 1 of windows))"),
            QStringLiteral("get name of (active tab of (item 1 of windows))"),
            QStringLiteral("opera"), QStringLiteral("opera")),
        row("OWEB", QStringLiteral("OmniWeb"), QStringLiteral("com.xxx.xxx"),
            QStringLiteral("get address of browser 1"), QStringLiteral("get name of window 1")),
        row("Vivl", QStringLiteral("Vivaldi"), QString(),
            QStringLiteral("get URL of (active tab of (item 1 of windows))"),
            QStringLiteral("get name of (active tab of (item 1 of windows))"),
            QStringLiteral("vivaldi-bin"), QStringLiteral("vivaldi")),
        row("iCAB", QStringLiteral("iCab"), QStringLiteral("de.icab.iCab"),
            QStringLiteral("get url of document 1"), QStringLiteral("get name of window 1")),
        row("ShkX", QStringLiteral("Demeter"), QString(),
            QStringLiteral("get \u00abclass pURL\u00bb of document of window 1"),
            QStringLiteral("get name of window 1")),
    };
    return table;
}

const BrowserRow* browserRowForSignature(BrowserSignature signature)
{
    for (const BrowserRow& row : browserTable()) {
        if (row.signature == signature)
            return &row;
    }
    return nullptr;
}

BrowserBridge& BrowserBridge::shared()
{
    if (testBridge)
        return *testBridge;
    static LinuxBrowserBridge bridge;
    return bridge;
}

void BrowserBridge::setSharedForTesting(BrowserBridge* bridge)
{
    testBridge = bridge;
}

BrowserSignature FirstAvailableBrowser(BrowserBridge& bridge, BrowserSignature preferred)
{
    BrowserSignature first = NoBrowserSignature;
    for (const RunningBrowser& running : bridge.runningBrowsers()) {
        if (!browserRowForSignature(running.signature))
            continue;
        if (running.signature == preferred)
            return preferred;
        if (first == NoBrowserSignature)
            first = running.signature;
    }
    return first;
}

bool checkSIPforAppIdentifier(BrowserBridge& bridge, const QString& identifier)
{
    for (const RunningBrowser& running : bridge.runningBrowsers()) {
        const BrowserRow* row = browserRowForSignature(running.signature);
        if (row && row->automationIdentifier == identifier) {
            SystemLog::log(QStringLiteral("Automation permitted for %1.").arg(identifier));
            return true;
        }
    }
    SystemLog::log(QStringLiteral("%1 not running, automation consent unknown.").arg(identifier));
    return false;
}
