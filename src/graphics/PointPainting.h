#pragma once

#include <QFont>
#include <QRectF>

class QPaintDevice;
class QPainter;

// Painting in points on any device: a screen, a 72-dpi image or a high-resolution
// printer. The painter is scaled so that one unit is one point, and fonts are resolved so
// that text keeps its point size under that scale.
class PointPainting {
public:
    static constexpr double pointsPerInch = 72.0;

    // A device of 72 dots per inch, on which one pixel is one point: text laid out or
    // measured on it has its sizes in points.
    static QPaintDevice* pointDevice();
    // Device pixels per point.
    static double scaleOf(const QPaintDevice& device);
    // Scales the painter (from its current transform) so that one unit is one point.
    static void scaleToPoints(QPainter& painter);
    // The font that draws at the given font's point size on the painter's device once the
    // painter is in points (a device resolves a font's points by its own resolution).
    static QFont fontForPainter(const QFont& font, const QPainter& painter);
    // The rectangle moved onto whole device pixels, so that it is crisp at any scale.
    static QRectF alignedToPixels(const QPainter& painter, const QRectF& rect);
};
