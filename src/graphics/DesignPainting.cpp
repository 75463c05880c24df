#include "DesignPainting.h"

#include "Graphic.h"
#include "RectangleGraphic.h"

#include <QPainter>
#include <QPen>

namespace {

constexpr double labelCornerRadius = 10;

const QColor& outlineGrey()
{
    static const QColor grey = QColor::fromRgbF(0.5f, 0.5f, 0.5f);
    return grey;
}

void drawDraftOutline(QPainter& painter, const QRectF& frame, bool envelope)
{
    if (envelope) {
        frameRect(painter, frame, outlineGrey());
    } else {
        frameLabel(painter, frame);
    }
}

} // namespace

void frameLabel(QPainter& painter, const QRectF& rect)
{
    painter.strokePath(RectangleGraphic::roundedRect(rect, labelCornerRadius),
                       QPen(outlineGrey(), 1));
}

void frameRect(QPainter& painter, const QRectF& rect, const QColor& color, double width)
{
    QPainterPath outer;
    outer.addRect(rect);
    QPainterPath inner;
    inner.addRect(rect.adjusted(width, width, -width, -width));
    painter.fillPath(outer.subtracted(inner), color);
}

void paintDesign(QPainter& painter, const QRectF& frame, const GraphicList& graphics, bool draft,
                 bool envelope)
{
    const QRectF dirty = painter.hasClipping() ? painter.clipBoundingRect() & frame : frame;
    painter.fillRect(dirty, Qt::white);
    if (draft)
        drawDraftOutline(painter, frame, envelope);
    for (auto it = graphics.crbegin(); it != graphics.crend(); ++it) {
        const Graphic* graphic = it->get();
        if (!graphic)
            continue;
        const QRectF area = graphic->drawingBounds();
        if (!area.intersects(dirty))
            continue;
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setClipRect(area, Qt::IntersectClip);
        graphic->drawInView(painter, false, draft);
        painter.restore();
    }
}
