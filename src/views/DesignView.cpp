#include "DesignView.h"

#include "DesignPainting.h"
#include "PointPainting.h"

#include <QPaintEvent>
#include <QPainter>

DesignView::DesignView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QRectF DesignView::pointBounds() const
{
    const double scale = PointPainting::scaleOf(*this);
    return QRectF(0, 0, width() / scale, height() / scale);
}

void DesignView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    PointPainting::scaleToPoints(painter);
    static const GraphicList none;
    paintDesign(painter, pointBounds(), m_graphics ? *m_graphics : none, m_isDraft, m_isEnvelope);
}
