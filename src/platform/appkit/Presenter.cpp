#include "Presenter.h"

#include "QtPresenter.h"

#include <QFileInfo>

namespace {

Presenter* installedPresenter = nullptr;

} // namespace

Presenter& Presenter::shared()
{
    if (installedPresenter) {
        return *installedPresenter;
    }
    static QtPresenter defaultPresenter;
    return defaultPresenter;
}

void Presenter::setShared(Presenter* presenter)
{
    installedPresenter = presenter;
}

QUrl SavePanelRequest::completedUrl(const QUrl& chosen) const
{
    if (allowedFileTypes.isEmpty() || !chosen.isLocalFile()) {
        return chosen;
    }
    const QString path = chosen.toLocalFile();
    // A leading dot names a hidden file; it is no extension.
    if (QFileInfo(path).fileName().lastIndexOf(QLatin1Char('.')) > 0) {
        return chosen;
    }
    return QUrl::fromLocalFile(path + QLatin1Char('.') + allowedFileTypes.first());
}

bool OpenPanelRequest::isPackage(const QString& path) const
{
    const QFileInfo info(path);
    return info.isDir() && packageTypes.contains(info.suffix());
}
