#include "VKBezierPathCategories.h"

#include <QLineF>
#include <QPainter>

namespace {

// How highY a cubic's control points lie towards the corner for a quarter circle.
constexpr qreal quarterCircleControl = 0.5522847498;

// A rounded corner: a line to where the arc of the radius touches the edge from the
// current point, then the quarter arc to where it touches the edge towards next.
void appendArc(QPainterPath& path, const QPointF& corner, const QPointF& next, qreal radius)
{
    QLineF incoming(corner, path.currentPosition());
    QLineF outgoing(corner, next);
    if (incoming.length() > 0)
        incoming.setLength(radius);
    if (outgoing.length() > 0)
        outgoing.setLength(radius);
    const QPointF start = incoming.p2();
    const QPointF end = outgoing.p2();
    path.lineTo(start);
    path.cubicTo(start + (corner - start) * quarterCircleControl,
                 end + (corner - end) * quarterCircleControl, end);
}

} // namespace

namespace VKBezierPathCategories {

void appendBezierPathWithRoundedRect(QPainterPath& path, const QRectF& rect, qreal radius)
{
    const qreal left = rect.x();
    const qreal right = rect.x() + rect.width();
    const qreal lowY = rect.y();
    const qreal highY = rect.y() + rect.height();
    path.moveTo(rect.x() + rect.width() * 0.5, highY);
    appendArc(path, QPointF(left, highY), QPointF(left, lowY), radius);
    appendArc(path, QPointF(left, lowY), QPointF(right, lowY), radius);
    appendArc(path, QPointF(right, lowY), QPointF(right, highY), radius);
    appendArc(path, QPointF(right, highY), QPointF(left, highY), radius);
    path.closeSubpath();
}

} // namespace VKBezierPathCategories

void VKFrameRoundedRect(QPainter& painter, const QRectF& rect, qreal radius)
{
    QPainterPath path;
    VKBezierPathCategories::appendBezierPathWithRoundedRect(path, rect, radius);
    painter.strokePath(path, painter.pen());
}

void VKFrameRoundedRectWithWidth(QPainter& painter, const QRectF& rect, qreal radius, qreal width)
{
    QPainterPath path;
    VKBezierPathCategories::appendBezierPathWithRoundedRect(path, rect, radius);
    QPen pen = painter.pen();
    pen.setWidthF(width);
    painter.strokePath(path, pen);
}
