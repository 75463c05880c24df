#pragma once

#include <QPainterPath>
#include <QRectF>

class QPainter;

// Rounded rectangles as the drawings and views of the system outline them.
namespace VKBezierPathCategories {

// From the middle of the rectangle's far edge (y + height) round the four corners,
// y + height side first, and closes the path.
void appendBezierPathWithRoundedRect(QPainterPath& path, const QRectF& rect, qreal radius);

} // namespace VKBezierPathCategories

// Strokes the rounded rectangle with the painter's pen, or with the pen at that width.
void VKFrameRoundedRect(QPainter& painter, const QRectF& rect, qreal radius);
void VKFrameRoundedRectWithWidth(QPainter& painter, const QRectF& rect, qreal radius, qreal width);
