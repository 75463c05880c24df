#include "PointPainting.h"

#include "PrintableView.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>

#include <cmath>

QPaintDevice* PointPainting::pointDevice()
{
    // The print's own, so that what the screen measures prints the same.
    return PrintableView::pointDevice();
}

double PointPainting::scaleOf(const QPaintDevice& device)
{
    const int dpi = device.logicalDpiY();
    return dpi > 0 ? dpi / pointsPerInch : 1.0;
}

void PointPainting::scaleToPoints(QPainter& painter)
{
    if (const QPaintDevice* device = painter.device()) {
        const double scale = scaleOf(*device);
        painter.scale(scale, scale);
    }
}

QFont PointPainting::fontForPainter(const QFont& font, const QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    if (!device)
        return font;
    QFont resolved(font);
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize();
    if (points > 0)
        resolved.setPointSizeF(points / scaleOf(*device));
    return resolved;
}

QRectF PointPainting::alignedToPixels(const QPainter& painter, const QRectF& rect)
{
    const QTransform toDevice = painter.deviceTransform();
    bool invertible = false;
    const QTransform fromDevice = toDevice.inverted(&invertible);
    if (!invertible || toDevice.isRotating())
        return rect;
    const QRectF onDevice = toDevice.mapRect(rect);
    const QRectF snapped(QPointF(std::round(onDevice.left()), std::round(onDevice.top())),
                         QPointF(std::round(onDevice.right()), std::round(onDevice.bottom())));
    return fromDevice.mapRect(snapped);
}
