#pragma once

#include <QString>
#include <QUrl>

// The online user guide: one base address, one page per topic ("index.html",
// "NvProPrefsGeneral.html" ...).
class UserGuide {
public:
    static const QString baseAddress;

    static QUrl urlForPage(const QString& pageName);
    // Opens the page in the user's browser; false, after telling the user, when nothing
    // would take it.
    static bool openPage(const QString& pageName);
    // The same for any web or mail address.
    static bool openAddress(const QUrl& address);
};
