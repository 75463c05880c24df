#include "PageCell.h"

#include "DesignPainting.h"

#include <QPainter>

void PageCell::paint(QPainter& painter) const
{
    static const GraphicList none;
    painter.save();
    // The design's graphics lie in the cell's own coordinates.
    painter.translate(frame.topLeft());
    painter.setClipRect(QRectF(QPointF(0, 0), frame.size()), Qt::IntersectClip);
    paintDesign(painter, QRectF(QPointF(0, 0), frame.size()), graphics ? *graphics : none, draft,
                envelope);
    painter.restore();
}
