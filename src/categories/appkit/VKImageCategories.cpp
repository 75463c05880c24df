#include "VKImageCategories.h"

#include <QFile>

namespace {

QString imagePath(const QString& name)
{
    if (name.isEmpty())
        return {};
    const QString folder = QStringLiteral(":/images/");
    if (QFile::exists(folder + name))
        return folder + name;
    QStringList stems{name};
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0)
        stems.append(name.left(dot));
    for (const QString& stem : std::as_const(stems)) {
        for (const char* suffix : {".svg", ".png", ".tiff"}) {
            const QString path = folder + stem + QLatin1String(suffix);
            if (QFile::exists(path))
                return path;
        }
    }
    return {};
}

} // namespace

namespace VKImageCategories {

QPixmap imageNamed(const QString& name)
{
    const QString path = imagePath(name);
    return path.isEmpty() ? QPixmap() : QPixmap(path);
}

QIcon iconNamed(const QString& name)
{
    const QString path = imagePath(name);
    return path.isEmpty() ? QIcon() : QIcon(path);
}

void drawFlippedInRect(QPainter& painter, const QPixmap& image, const QRectF& rect,
                       QPainter::CompositionMode operation, qreal fraction)
{
    painter.save();
    painter.translate(0, rect.y() + rect.height());
    painter.scale(1, -1);
    painter.setCompositionMode(operation);
    painter.setOpacity(fraction);
    painter.drawPixmap(QRectF(rect.x(), 0, rect.width(), rect.height()), image,
                       QRectF(image.rect()));
    painter.restore();
}

} // namespace VKImageCategories
