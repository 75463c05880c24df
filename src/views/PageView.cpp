#include "PageView.h"

#include "DesignPainting.h"
#include "PageLayoutHost.h"
#include "PageViewController.h"
#include "PointPainting.h"
#include "TemplateSettingsData.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

PageView::PageView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageView::setPageViewController(PageViewController* controller)
{
    m_controller = controller;
}

void PageView::setPaperFrame(const QRectF& frame)
{
    m_paperFrame = frame;
    update();
}

void PageView::setPrintableFrame(const QRectF& frame)
{
    m_printableFrame = frame;
    update();
}

QSizeF PageView::frameSize() const
{
    const double points = PointPainting::scaleOf(*this);
    return QSizeF(width() / points, height() / points);
}

void PageView::setFrameSize(const QSizeF& size)
{
    const double points = PointPainting::scaleOf(*this);
    resize(int(std::ceil(size.width() * points)), int(std::ceil(size.height() * points)));
    updateGeometry();
}

void PageView::scaleUnitSquare(double scale)
{
    m_scale *= scale;
    update();
}

double PageView::pixelsPerPaperPoint() const
{
    return PointPainting::scaleOf(*this) * m_scale;
}

QPointF PageView::paperPointAt(const QPointF& widgetPoint) const
{
    return widgetPoint / pixelsPerPaperPoint();
}

void PageView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::gray);
    PointPainting::scaleToPoints(painter);
    painter.scale(m_scale, m_scale);
    // A page shrunk to fit keeps its hairlines: a frame is never thinner than a pixel.
    const double pixels = pixelsPerPaperPoint();
    const double line = pixels < 1 ? 1 / pixels : 1;
    if (pixels < 1)
        painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(m_paperFrame, Qt::white);
    frameRect(painter, m_paperFrame, Qt::black, line);
    frameRect(painter, m_printableFrame, Qt::lightGray, line);
    if (!m_controller)
        return;
    for (const PageCell& cell : m_controller->cells())
        cell.paint(painter);
}

void PageView::mousePressEvent(QMouseEvent* event)
{
    PageViewController* controller = m_controller;
    if (!controller || !controller->templateSettings())
        return;
    if (m_currentPage != 0 && !controller->showingSingleTemplate())
        return;
    if (controller->templateSettings()->isEnvelope())
        return;
    const QPointF point = paperPointAt(event->position());
    for (qint64 row = 0; row < controller->rows(); ++row) {
        for (qint64 column = 0; column < controller->columns(); ++column) {
            const QRectF cell = controller->cellRect(row, column);
            // Left and top edges belong to the cell, right and bottom ones to the next.
            if (point.x() < cell.left() || point.x() >= cell.right() || point.y() < cell.top() ||
                point.y() >= cell.bottom())
                continue;
            controller->setStartingLabelRow(row, column);
            controller->setFirstLabelOffset(row * controller->columns() + column);
            if (PageLayoutHost* host = controller->host())
                host->reloadStatusBar();
            return;
        }
    }
}
