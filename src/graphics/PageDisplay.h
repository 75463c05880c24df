#pragma once

#include <QRectF>
#include <QSizeF>
#include <QString>

class PageViewController;

// What the page layout engine asks of the view that shows its page, so that the engine
// needs no widget. Lengths are in points.
class PageDisplay {
public:
    virtual ~PageDisplay() = default;

    // The engine whose cells the view shows and whose starting label a click picks.
    virtual void setPageViewController(PageViewController* controller) = 0;
    virtual void setPaperFrame(const QRectF& frame) = 0;
    virtual void setPrintableFrame(const QRectF& frame) = 0;
    virtual void setCurrentPage(quint64 page) = 0;

    // The view's own size, which scaling leaves alone.
    virtual QSizeF frameSize() const = 0;
    virtual void setFrameSize(const QSizeF& size) = 0;
    // Whether the paper is already drawn at a scale other than 1, which then stays.
    virtual bool isScaled() const = 0;
    virtual void scaleUnitSquare(double scale) = 0;

    virtual void setPageToolTip(const QString& toolTip) = 0;
    // The cells changed.
    virtual void setNeedsDisplay() = 0;
};
