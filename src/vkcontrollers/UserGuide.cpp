#include "UserGuide.h"

#include "Localization.h"
#include "Presenter.h"
#include "StringFormat.h"

const QString UserGuide::baseAddress = QStringLiteral("https://norva.app/guide/");

QUrl UserGuide::urlForPage(const QString& pageName)
{
    return QUrl(baseAddress + pageName);
}

bool UserGuide::openPage(const QString& pageName)
{
    return openAddress(urlForPage(pageName));
}

bool UserGuide::openAddress(const QUrl& address)
{
    if (Presenter::shared().openUrl(address))
        return true;
    AlertRequest alert;
    alert.messageText = localized(QStringLiteral("The page could not be shown."));
    alert.informativeText = stringWithFormat(
        localized(QStringLiteral("No program on this computer would open %@.")),
        address.toDisplayString());
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().runModalAlert(alert);
    return false;
}
