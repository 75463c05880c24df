#include "UserGuide.h"

#include "Presenter.h"

const QString UserGuide::baseAddress = QStringLiteral("https://norva.app/guide/");

QUrl UserGuide::urlForPage(const QString& pageName)
{
    return QUrl(baseAddress + pageName);
}

bool UserGuide::openPage(const QString& pageName)
{
    return Presenter::shared().openUrl(urlForPage(pageName));
}
