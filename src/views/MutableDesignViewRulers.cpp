// The canvas's rulers: set up the first time the canvas takes the focus, and the lines
// that echo the rectangle being drawn, resized, moved or nudged.
#include "MutableDesignView.h"

#include "DesignRulerView.h"
#include "RulerScrollView.h"

#include <QFocusEvent>

RulerScrollView* MutableDesignView::enclosingScrollView() const
{
    for (QWidget* above = parentWidget(); above; above = above->parentWidget())
        if (auto* scrollView = dynamic_cast<RulerScrollView*>(above))
            return scrollView;
    return nullptr;
}

DesignRulerView* MutableDesignView::horizontalRulerView() const
{
    const RulerScrollView* scrollView = enclosingScrollView();
    return scrollView ? dynamic_cast<DesignRulerView*>(scrollView->horizontalRulerView()) : nullptr;
}

DesignRulerView* MutableDesignView::verticalRulerView() const
{
    const RulerScrollView* scrollView = enclosingScrollView();
    return scrollView ? dynamic_cast<DesignRulerView*>(scrollView->verticalRulerView()) : nullptr;
}

bool MutableDesignView::rulersShown() const
{
    const RulerScrollView* scrollView = enclosingScrollView();
    return scrollView && scrollView->rulersVisible();
}

void MutableDesignView::focusInEvent(QFocusEvent* event)
{
    toggleRuler();
    updateRulers();
    DesignView::focusInEvent(event);
}

void MutableDesignView::toggleRuler()
{
    RulerScrollView* scrollView = enclosingScrollView();
    // The canvas only ever turns its rulers on.
    if (!scrollView || scrollView->rulersVisible())
        return;
    if (!m_initedRulers) {
        scrollView->setHorizontalRulerView(new DesignRulerView(Qt::Horizontal, this));
        scrollView->setVerticalRulerView(new DesignRulerView(Qt::Vertical, this));
        m_initedRulers = true;
    }
    scrollView->setRulersVisible(true);
    updateRulers();
}

void MutableDesignView::updateRulers()
{
    // The rulers carry no markers; only an echo is left to take away.
    if (rulersShown())
        stopEchoingMoveToRulers();
}

void MutableDesignView::beginEchoingMoveToRulers(const QRectF& rect)
{
    DesignRulerView* horizontal = horizontalRulerView();
    DesignRulerView* vertical = verticalRulerView();
    if (!horizontal || !vertical)
        return;
    // A new echo takes the place of one left showing.
    if (m_echoingToRulers)
        stopEchoingMoveToRulers();
    m_horizontalRulerLineRect = horizontal->convertRectFromClient(rect);
    m_verticalRulerLineRect = vertical->convertRectFromClient(rect);
    const QRectF& across = m_horizontalRulerLineRect;
    const QRectF& down = m_verticalRulerLineRect;
    for (const double location : {across.left(), across.center().x(), across.right()})
        horizontal->moveRulerlineFromLocation(-1, location);
    for (const double location : {down.top(), down.center().y(), down.bottom()})
        vertical->moveRulerlineFromLocation(-1, location);
    m_echoingToRulers = true;
}

void MutableDesignView::continueEchoingMoveToRulers(const QRectF& rect)
{
    DesignRulerView* horizontal = horizontalRulerView();
    DesignRulerView* vertical = verticalRulerView();
    if (!horizontal || !vertical || !m_echoingToRulers)
        return;
    const QRectF across = horizontal->convertRectFromClient(rect);
    const QRectF down = vertical->convertRectFromClient(rect);
    const QRectF& wasAcross = m_horizontalRulerLineRect;
    const QRectF& wasDown = m_verticalRulerLineRect;
    horizontal->moveRulerlineFromLocation(wasAcross.left(), across.left());
    horizontal->moveRulerlineFromLocation(wasAcross.center().x(), across.center().x());
    horizontal->moveRulerlineFromLocation(wasAcross.right(), across.right());
    vertical->moveRulerlineFromLocation(wasDown.top(), down.top());
    vertical->moveRulerlineFromLocation(wasDown.center().y(), down.center().y());
    vertical->moveRulerlineFromLocation(wasDown.bottom(), down.bottom());
    m_horizontalRulerLineRect = across;
    m_verticalRulerLineRect = down;
}

void MutableDesignView::stopEchoingMoveToRulers()
{
    DesignRulerView* horizontal = horizontalRulerView();
    DesignRulerView* vertical = verticalRulerView();
    if (horizontal && vertical && m_echoingToRulers) {
        const QRectF& across = m_horizontalRulerLineRect;
        const QRectF& down = m_verticalRulerLineRect;
        for (const double location : {across.left(), across.center().x(), across.right()})
            horizontal->moveRulerlineFromLocation(location, -1);
        for (const double location : {down.top(), down.center().y(), down.bottom()})
            vertical->moveRulerlineFromLocation(location, -1);
    }
    m_echoingToRulers = false;
    m_horizontalRulerLineRect = QRectF();
    m_verticalRulerLineRect = QRectF();
}
