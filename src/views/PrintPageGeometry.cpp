#include "PrintPageGeometry.h"

#include <algorithm>

PrintMargins PrintPageGeometry::minimumMargins(QSizeF paper, const QRectF& imageableBounds,
                                               bool header)
{
    const double x = imageableBounds.x();
    const double y = imageableBounds.y();
    const double w = imageableBounds.width();
    const double h = imageableBounds.height();
    PrintMargins minimum;
    minimum.left = float(x + 1.0);
    minimum.bottom = float(y + 1.0);
    minimum.right = float(paper.width() - w - (x + 1.0) + 2.0);
    minimum.top = float(paper.height() - h - y + 1.0 + (header ? HeaderHeight : 0.0));
    return minimum;
}

PrintPageGeometry PrintPageGeometry::forPaper(QSizeF paper, const QRectF& imageableBounds,
                                              const PrintMargins& chosen, bool header)
{
    const PrintMargins minimum = minimumMargins(paper, imageableBounds, header);
    PrintPageGeometry geometry;
    geometry.margins.left = std::max(chosen.left, minimum.left);
    geometry.margins.right = std::max(chosen.right, minimum.right);
    geometry.margins.top = std::max(chosen.top, minimum.top);
    geometry.margins.bottom = std::max(chosen.bottom, minimum.bottom);
    const PrintMargins& used = geometry.margins;
    geometry.frame = QRectF(used.left, used.top, paper.width() - used.left - used.right,
                            paper.height() - used.bottom - used.top);
    geometry.headerRect =
        QRectF(geometry.frame.topLeft(), QSizeF(geometry.frame.width(), HeaderHeight));
    geometry.body = header ? geometry.frame.adjusted(0, HeaderHeight, 0, 0) : geometry.frame;
    return geometry;
}
