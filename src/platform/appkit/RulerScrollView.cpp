#include "RulerScrollView.h"

RulerScrollView::RulerScrollView(QWidget* parent) : QScrollArea(parent)
{
}

void RulerScrollView::setHorizontalRulerView(QWidget* ruler)
{
    adoptRuler(ruler);
    m_horizontalRuler = ruler;
    tile();
}

void RulerScrollView::setVerticalRulerView(QWidget* ruler)
{
    adoptRuler(ruler);
    m_verticalRuler = ruler;
    tile();
}

void RulerScrollView::adoptRuler(QWidget* ruler)
{
    if (!ruler)
        return;
    ruler->setParent(this);
    ruler->setVisible(m_rulersVisible);
}

void RulerScrollView::setRulersVisible(bool visible)
{
    if (m_rulersVisible == visible)
        return;
    m_rulersVisible = visible;
    for (QWidget* ruler : {m_horizontalRuler.data(), m_verticalRuler.data()})
        if (ruler)
            ruler->setVisible(visible);
    tile();
}

void RulerScrollView::setContentSize(const QSize& size)
{
    m_contentSize = size;
    tile();
}

int RulerScrollView::horizontalThickness() const
{
    return m_rulersVisible && m_horizontalRuler ? m_horizontalRuler->sizeHint().height() : 0;
}

int RulerScrollView::verticalThickness() const
{
    return m_rulersVisible && m_verticalRuler ? m_verticalRuler->sizeHint().width() : 0;
}

QSize RulerScrollView::frameSizeForContentSize(const QSize& size) const
{
    const int frame = 2 * frameWidth();
    return size + QSize(verticalThickness() + frame, horizontalThickness() + frame);
}

void RulerScrollView::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    tile();
}

void RulerScrollView::tile()
{
    const int top = horizontalThickness();
    const int left = verticalThickness();
    setViewportMargins(left, top, 0, 0);
    if (m_contentSize.isValid())
        setFixedSize(frameSizeForContentSize(m_contentSize));
    // The rulers lie in the margins, each as long as the document's visible area.
    const QRect area = viewport()->geometry();
    if (m_horizontalRuler)
        m_horizontalRuler->setGeometry(area.left(), area.top() - top, area.width(), top);
    if (m_verticalRuler)
        m_verticalRuler->setGeometry(area.left() - left, area.top(), left, area.height());
}
