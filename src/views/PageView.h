#pragma once

#include "PageDisplay.h"

#include <QWidget>

// The sheet of paper of a template on screen: the paper with its edge and its printable
// area, and the engine's cells of the page shown, all in points. A click on a label of
// the first page picks where printing starts.
class PageView : public QWidget, public PageDisplay {
public:
    explicit PageView(QWidget* parent = nullptr);

    PageViewController* pageViewController() const { return m_controller; }
    void setPageViewController(PageViewController* controller) override;
    const QRectF& paperFrame() const { return m_paperFrame; }
    void setPaperFrame(const QRectF& frame) override;
    const QRectF& printableFrame() const { return m_printableFrame; }
    void setPrintableFrame(const QRectF& frame) override;
    quint64 currentPage() const { return m_currentPage; }
    void setCurrentPage(quint64 page) override { m_currentPage = page; }

    QSizeF frameSize() const override;
    void setFrameSize(const QSizeF& size) override;
    bool isScaled() const override { return m_scale != 1; }
    void scaleUnitSquare(double scale) override;
    // Points of the paper per point of the view.
    double scale() const { return m_scale; }

    void setPageToolTip(const QString& toolTip) override { setToolTip(toolTip); }
    void setNeedsDisplay() override { update(); }

    // Where a point of the widget lies on the paper.
    QPointF paperPointAt(const QPointF& widgetPoint) const;
    QSize sizeHint() const override { return size(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    double pixelsPerPaperPoint() const;

    PageViewController* m_controller = nullptr;
    QRectF m_paperFrame;
    QRectF m_printableFrame;
    quint64 m_currentPage = 0;
    double m_scale = 1;
};
