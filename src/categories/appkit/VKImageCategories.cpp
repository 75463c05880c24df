#include "VKImageCategories.h"

#include <QFile>

namespace VKImageCategories {

QPixmap imageNamed(const QString& name)
{
    if (name.isEmpty())
        return {};
    for (const QString& suffix : {QString(), QStringLiteral(".png"), QStringLiteral(".tiff")}) {
        const QString path = QStringLiteral(":/images/") + name + suffix;
        if (QFile::exists(path))
            return QPixmap(path);
    }
    return {};
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
