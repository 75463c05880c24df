// The canvas's mouse: each tracking loop is a state that the press begins, the drags
// continue and the release ends.
#include "MutableDesignView.h"

#include "AddressGraphic.h"
#include "DesignToolPalette.h"
#include "FieldGraphic.h"
#include "Localization.h"
#include "Presenter.h"
#include "UndoManager.h"

#include <QMouseEvent>

#include <cmath>

namespace {
// A move starts once the pointer is this far from where it was pressed.
constexpr double moveThreshold = 2;
// How far inside the canvas a selection dragged off it comes back: the near edge, 12
// points inside the far side of the canvas, the far edge 10 points inside the near one.
constexpr double backInsideFar = 12;
constexpr double backInsideNear = 10;
} // namespace

DesignMouseEvent MutableDesignView::eventFrom(const QMouseEvent& event, int clickCount) const
{
    return {event.position(), event.modifiers(), clickCount};
}

void MutableDesignView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    mouseDown(eventFrom(*event, 1));
}

void MutableDesignView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    mouseDown(eventFrom(*event, 2));
}

void MutableDesignView::mouseMoveEvent(QMouseEvent* event)
{
    mouseDragged(eventFrom(*event, 1));
}

void MutableDesignView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    mouseUp(eventFrom(*event, 1));
}

void MutableDesignView::hideEvent(QHideEvent* event)
{
    // A gesture cut off by the sheet going ends where it is.
    if (isTracking())
        mouseUp({m_lastPoint, Qt::NoModifier, 1});
    DesignView::hideEvent(event);
}

void MutableDesignView::mouseDown(const DesignMouseEvent& event)
{
    if (!m_clickable) {
        Presenter::shared().beep();
        return;
    }
    // A press begun during another gesture (a lost release) ends that one first.
    if (isTracking())
        mouseUp({m_lastPoint, event.modifiers, 1});
    if (m_undoManager) {
        m_undoManager->beginUndoGrouping();
        m_gestureGroupOpen = true;
    }
    std::optional<GraphicClass> tool;
    if (m_toolPaletteController) {
        m_toolPaletteController->enableFontSettingsButton(false);
        tool = m_toolPaletteController->currentGraphicClass();
    }
    if (m_editingGraphic)
        endEditing();
    if (event.clickCount >= 2) {
        const std::shared_ptr<Graphic> graphic = graphicUnderPoint(event.point);
        if (graphic && graphic->isEditable()) {
            startEditingGraphic(graphic, event);
            endTracking();
            return;
        }
    }
    if (!tool) {
        selectAndTrackMouseWithEvent(event);
    } else {
        clearSelection();
        createGraphicOfClass(*tool, event);
    }
    if (!isTracking())
        endTracking();
}

void MutableDesignView::mouseDragged(const DesignMouseEvent& event)
{
    if (isTracking())
        track(event, false);
}

void MutableDesignView::mouseUp(const DesignMouseEvent& event)
{
    if (isTracking())
        track(event, true);
}

void MutableDesignView::track(const DesignMouseEvent& event, bool released)
{
    switch (m_tracking) {
    case Tracking::Creating:
        continueCreating(event, released);
        break;
    case Tracking::Knob:
        continueKnob(event, released);
        break;
    case Tracking::Moving:
        if (continueMoving(event, released)) {
            finishMoving();
            if (released)
                endTracking();
        }
        break;
    case Tracking::Rubberband:
        continueRubberband(event, released);
        break;
    case Tracking::Swallowing:
        if (released)
            endTracking();
        break;
    case Tracking::None:
        break;
    }
}

void MutableDesignView::endTracking()
{
    m_tracking = Tracking::None;
    m_trackedGraphic.reset();
    m_creatingClass.reset();
    if (m_gestureGroupOpen && m_undoManager) {
        m_gestureGroupOpen = false;
        m_undoManager->endUndoGrouping();
    }
}

void MutableDesignView::selectAndTrackMouseWithEvent(const DesignMouseEvent& event)
{
    const bool shift = event.modifiers.testFlag(Qt::ShiftModifier);
    const std::shared_ptr<Graphic> graphic = graphicUnderPoint(event.point);
    const bool selected = graphic && graphicIsSelected(graphic);
    if (!shift && !selected)
        clearSelection();
    if (!graphic) {
        rubberbandSelectWithEvent(event);
        return;
    }
    if (!shift && selected) {
        if (const int knob = graphic->knobUnderPoint(event.point)) {
            trackKnob(knob, graphic, event);
            return;
        }
    }
    if (shift && selected) {
        deselectGraphic(graphic);
        m_tracking = Tracking::Swallowing;
        return;
    }
    selectGraphic(graphic);
    moveSelectedGraphicsWithEvent(event);
}

// ---- creating ----

void MutableDesignView::createGraphicOfClass(const GraphicClass& graphicClass,
                                             const DesignMouseEvent& event)
{
    if (!graphicClass.make)
        return;
    m_creatingGraphic = graphicClass.make();
    m_creatingClass = graphicClass;
    m_tracking = Tracking::Creating;
    m_trackedKnob = Graphic::LowerRightKnob;
    m_lastPoint = event.point;
    m_creatingGraphic->startBoundsManipulation();
    m_creatingGraphic->setBounds(QRectF(event.point, QSizeF(0, 0)));
    invalidateGraphic(*m_creatingGraphic);
    if (rulersShown())
        beginEchoingMoveToRulers(m_creatingGraphic->bounds());
}

void MutableDesignView::continueCreating(const DesignMouseEvent& event, bool released)
{
    Graphic& graphic = *m_creatingGraphic;
    m_lastPoint = event.point;
    invalidateGraphic(graphic);
    m_trackedKnob = graphic.resizeByMovingKnob(m_trackedKnob, event.point, event.modifiers);
    invalidateGraphic(graphic);
    if (rulersShown())
        continueEchoingMoveToRulers(graphic.bounds());
    if (released)
        finishCreating();
}

void MutableDesignView::finishCreating()
{
    const std::shared_ptr<Graphic> graphic = m_creatingGraphic;
    const GraphicClass graphicClass = *m_creatingClass;
    if (rulersShown())
        stopEchoingMoveToRulers();
    graphic->stopBoundsManipulation();
    invalidateGraphic(*graphic);
    const bool made = graphic->bounds().width() > 0 || graphic->bounds().height() > 0;
    if (made) {
        insertGraphic(graphic, 0);
        selectGraphic(graphic);
        if (auto field = std::dynamic_pointer_cast<FieldGraphic>(graphic);
            field && graphicClass == GraphicClass::field()) {
            if (m_toolPaletteController) {
                const DesignToolPalette& palette = *m_toolPaletteController;
                field->setFieldAlignment(palette.currentFieldAlignment());
                field->setFont(palette.currentFieldFont());
                field->setFieldName(palette.currentFieldName());
                field->setMinimumPointSize(std::trunc(palette.fieldMinimumPointSize()));
            }
            field->showFieldName();
            const QRectF bounds = field->bounds();
            field->setBounds(QRectF(bounds.topLeft(), QSizeF(bounds.width(), field->minSize().height())));
        } else if (auto address = std::dynamic_pointer_cast<AddressGraphic>(graphic);
                   address && graphicClass == GraphicClass::address()) {
            if (m_toolPaletteController) {
                const DesignToolPalette& palette = *m_toolPaletteController;
                address->setFont(palette.addressFont());
                address->setMinimumPointSize(std::trunc(palette.minimumPointSize()));
                address->setAddressBlockAlignment(palette.addressBlockAlignment());
                address->setHorizontalAddressBlockPlacement(
                    palette.horizontalAddressBlockPlacement());
                address->setVerticalAddressBlockPlacement(palette.verticalAddressBlockPlacement());
            }
        } else if (graphicClass == GraphicClass::text()) {
            orderFrontFontPanel();
        }
        if (graphic->isEditable() && graphicIsSelected(graphic))
            startEditingGraphic(graphic, std::nullopt);
        else if (m_toolPaletteController)
            m_toolPaletteController->enableFontSettingsButton(false);
        if (m_undoManager)
            m_undoManager->setActionName(QStringLiteral("Create %@"),
                                         localized(graphicClass.name,
                                                   QStringLiteral("GraphicClassNames")));
    }
    m_creatingGraphic.reset();
    endTracking();
    // Every tool draws one graphic and falls back to the arrow.
    if (m_toolPaletteController)
        m_toolPaletteController->selectArrowTool();
}

// ---- resizing ----

void MutableDesignView::trackKnob(int knob, const std::shared_ptr<Graphic>& graphic,
                                  const DesignMouseEvent& event)
{
    m_tracking = Tracking::Knob;
    m_trackedGraphic = graphic;
    m_trackedKnob = knob;
    m_lastPoint = event.point;
    graphic->startBoundsManipulation();
    if (rulersShown())
        beginEchoingMoveToRulers(graphic->bounds());
}

void MutableDesignView::continueKnob(const DesignMouseEvent& event, bool released)
{
    const std::shared_ptr<Graphic> graphic = m_trackedGraphic;
    m_lastPoint = event.point;
    invalidateGraphic(graphic);
    m_trackedKnob = graphic->resizeByMovingKnob(m_trackedKnob, event.point, event.modifiers);
    invalidateGraphic(graphic);
    if (rulersShown())
        continueEchoingMoveToRulers(graphic->bounds());
    if (!released)
        return;
    graphic->stopBoundsManipulation();
    setActionName(QStringLiteral("Resize"));
    endTracking();
}

// ---- moving ----

void MutableDesignView::moveSelectedGraphicsWithEvent(const DesignMouseEvent& event)
{
    m_tracking = Tracking::Moving;
    m_startPoint = event.point;
    m_lastPoint = event.point;
    m_moveStarted = false;
    m_moved = false;
    if (rulersShown())
        beginEchoingMoveToRulers(boundsForGraphics(m_selectedGraphics));
}

bool MutableDesignView::continueMoving(const DesignMouseEvent& event, bool released)
{
    // The frame's edges as single-precision values, as the platform compares them.
    const float frameLeft = 0;
    const float frameTop = 0;
    const auto frameRight = float(width());
    const auto frameBottom = float(height());
    const QRectF united = boundsForGraphics(m_selectedGraphics);
    QPointF back;
    if (float(united.left()) >= frameRight)
        back.setX(frameRight - backInsideFar - united.left());
    else if (float(united.right()) <= frameLeft)
        back.setX(frameLeft + backInsideNear - united.right());
    if (float(united.top()) >= frameBottom)
        back.setY(frameBottom - backInsideFar - united.top());
    else if (float(united.bottom()) <= frameTop)
        back.setY(frameTop + backInsideNear - united.bottom());
    if (!back.isNull()) {
        if (back.x() != 0)
            moveSelectedGraphicsByPoint(QPointF(back.x(), 0));
        if (back.y() != 0)
            moveSelectedGraphicsByPoint(QPointF(0, back.y()));
        m_moved = true;
        return true;
    }
    const QPointF point = event.point;
    if (!m_moveStarted) {
        if (std::abs(point.x() - m_startPoint.x()) >= moveThreshold ||
            std::abs(point.y() - m_startPoint.y()) >= moveThreshold) {
            m_moveStarted = true;
            for (const std::shared_ptr<Graphic>& graphic : std::as_const(m_selectedGraphics))
                graphic->startBoundsManipulation();
            m_knobsHidden = true;
        }
    }
    if (m_moveStarted && point != m_lastPoint) {
        const QPointF delta = point - m_lastPoint;
        for (const std::shared_ptr<Graphic>& graphic : std::as_const(m_selectedGraphics)) {
            invalidateGraphic(graphic);
            graphic->moveBy(delta.x(), delta.y());
            invalidateGraphic(graphic);
        }
        if (rulersShown())
            continueEchoingMoveToRulers(boundsForGraphics(m_selectedGraphics));
        m_pasteCascadeDelta += delta;
        m_lastPoint = point;
        m_moved = true;
    }
    return released;
}

void MutableDesignView::finishMoving()
{
    if (m_moveStarted) {
        for (const std::shared_ptr<Graphic>& graphic : std::as_const(m_selectedGraphics))
            graphic->stopBoundsManipulation();
        m_knobsHidden = false;
        invalidateGraphics(m_selectedGraphics);
        if (m_moved)
            setActionName(QStringLiteral("Move"));
    }
    m_moveStarted = false;
    // The rest of a drag that ended early is swallowed until the release.
    m_tracking = Tracking::Swallowing;
}

// ---- rubber band ----

void MutableDesignView::rubberbandSelectWithEvent(const DesignMouseEvent& event)
{
    m_tracking = Tracking::Rubberband;
    m_rubberbandIsDeselecting = event.modifiers.testFlag(Qt::AltModifier);
    m_startPoint = event.point;
    m_lastPoint = event.point;
}

void MutableDesignView::invalidateRubberband()
{
    update(m_rubberbandRect.toAlignedRect().adjusted(-1, -1, 1, 1));
    invalidateGraphics(m_rubberbandGraphics);
}

void MutableDesignView::continueRubberband(const DesignMouseEvent& event, bool released)
{
    m_lastPoint = event.point;
    if (event.point == m_startPoint) {
        invalidateRubberband();
        m_rubberbandRect = QRectF();
        m_rubberbandGraphics.clear();
    } else {
        const QRectF band = DesignRectFromPoints(m_startPoint, event.point);
        if (band != m_rubberbandRect) {
            invalidateRubberband();
            m_rubberbandRect = band;
            m_rubberbandGraphics = graphicsIntersectingRect(band);
            invalidateRubberband();
        }
    }
    if (released)
        finishRubberband();
}

void MutableDesignView::finishRubberband()
{
    const GraphicList banded = m_rubberbandGraphics;
    for (const std::shared_ptr<Graphic>& graphic : banded) {
        if (m_rubberbandIsDeselecting)
            deselectGraphic(graphic);
        else
            selectGraphic(graphic);
    }
    invalidateRubberband();
    m_rubberbandRect = QRectF();
    m_rubberbandGraphics.clear();
    endTracking();
}
