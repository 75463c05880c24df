#pragma once

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QRectF>
#include <QString>

// Images by name and drawn upright in flipped coordinates.
namespace VKImageCategories {

// The application's image of that name: the resource ":/images/<name>", as given or with
// ".svg", ".png" or ".tiff" added; a name's own extension may also give way to those
// (the artwork of "Info.tiff" may be "Info.svg"). A null pixmap when there is none.
QPixmap imageNamed(const QString& name);
// The same image as an icon, drawn afresh at every size when it is SVG; a null icon when
// there is none.
QIcon iconNamed(const QString& name);

// Draws the whole image into the rectangle mirrored top to bottom, with the composition
// mode and the opacity fraction (0 to 1).
void drawFlippedInRect(QPainter& painter, const QPixmap& image, const QRectF& rect,
                       QPainter::CompositionMode operation, qreal fraction = 1.0);

} // namespace VKImageCategories
