#pragma once

#include <QList>
#include <QString>

#include <optional>

// A four-character creator code, as the browsers are known by.
using BrowserSignature = quint32;

constexpr BrowserSignature browserSignature(const char (&code)[5])
{
    return BrowserSignature(quint8(code[0])) << 24 | BrowserSignature(quint8(code[1])) << 16 |
           BrowserSignature(quint8(code[2])) << 8 | BrowserSignature(quint8(code[3]));
}

// No known browser runs; also the wish for no browser in particular.
constexpr BrowserSignature NoBrowserSignature = browserSignature("xxxx");

// One browser the capture can ask for its front page.
struct BrowserRow {
    BrowserSignature signature;
    QString applicationName;
    // The bundle identifier of the automation check; empty for none.
    QString automationIdentifier;
    QString urlScript;
    QString titleScript;
    // The executable's file name on this system; empty where the browser never runs here.
    QString linuxExecutable;
    // The profile folder under the user's configuration folder.
    QString linuxProfile;
};

// Every known browser; the order carries no preference.
const QList<BrowserRow>& browserTable();
// Nullptr for a signature outside the table.
const BrowserRow* browserRowForSignature(BrowserSignature signature);

struct RunningBrowser {
    BrowserSignature signature;
    qint64 pid;
};

// The running browsers and the page in their front window.
class BrowserBridge {
public:
    virtual ~BrowserBridge() = default;
    // Applications only, in the order of the system's process list.
    virtual QList<RunningBrowser> runningBrowsers() = 0;
    // None when the browser cannot be asked or shows no page.
    virtual std::optional<QString> url(BrowserSignature signature) = 0;
    virtual std::optional<QString> title(BrowserSignature signature) = 0;

    // The bridge every window asks; the system's own unless a test set another.
    static BrowserBridge& shared();
    // Nullptr gives the system's own back.
    static void setSharedForTesting(BrowserBridge* bridge);
};

// The first running browser in process-list order, or the preferred one as soon as it
// is met; NoBrowserSignature when none runs.
BrowserSignature FirstAvailableBrowser(BrowserBridge& bridge, BrowserSignature preferred);

// Asking a browser needs no consent here: the line says so in the log, and the answer is
// whether the browser was found running.
bool checkSIPforAppIdentifier(BrowserBridge& bridge, const QString& identifier);
