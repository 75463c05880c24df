#include "VKImageViewCategories.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>

namespace {

bool hasImage(const QLabel* view)
{
    return !view->pixmap().isNull();
}

QImage clipboardImage()
{
    return QGuiApplication::clipboard()->image();
}

void run(const VKImageViewCategories::Action& action)
{
    if (action)
        action();
}

} // namespace

namespace VKImageViewCategories {

bool doCopy(const QLabel* view)
{
    if (!hasImage(view))
        return false;
    QGuiApplication::clipboard()->setImage(view->pixmap().toImage());
    return true;
}

void copy(const QLabel* view)
{
    doCopy(view);
}

void cut(QLabel* view, const Action& action)
{
    if (doCopy(view))
        deleteImage(view, action);
}

void paste(QLabel* view, const Action& action)
{
    const QImage image = clipboardImage();
    if (image.isNull())
        return;
    view->setPixmap(QPixmap::fromImage(image));
    run(action);
}

void deleteImage(QLabel* view, const Action& action)
{
    view->clear();
    run(action);
}

bool validateMenuItem(const QLabel* view, bool editable, const QString& selector)
{
    if (selector == QLatin1String("copy:"))
        return hasImage(view);
    if (selector == QLatin1String("cut:") || selector == QLatin1String("delete:"))
        return editable && hasImage(view);
    if (selector == QLatin1String("paste:"))
        return editable && !clipboardImage().isNull();
    return true;
}

} // namespace VKImageViewCategories
