#pragma once

#include "DesignView.h"
#include "GraphicClass.h"
#include "GraphicView.h"

#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QTimer>

#include <memory>
#include <optional>

class ArchivedFont;
class DesignToolPalette;
class TextGraphicEditor;
class UndoManager;
class QMouseEvent;

// A mouse event as the canvas reads it: where, in the canvas's points, with which keys,
// and the how-many-th click.
struct DesignMouseEvent {
    QPointF point;
    Qt::KeyboardModifiers modifiers;
    int clickCount = 1;
};

// The rectangle two points span.
QRectF DesignRectFromPoints(const QPointF& a, const QPointF& b);

// The editing canvas of the Edit Design sheet: the design with a selection, hit testing,
// the list changes with undo and the address-block rules (at most one block, always at
// the front), drawing with the palette's tools, moving and resizing by the mouse, and
// in-place editing of text. One point is one pixel, as the in-place editor has it.
//
// The mouse: a press starts one of the tracking states (creating, resizing by a knob,
// moving, rubber band, waiting for the release), each move and the release continue it,
// and the release ends it. Everything the press to the release changes is one undo step.
class MutableDesignView : public DesignView, public GraphicView {
public:
    static inline const QString GraphicViewSelectionDidChange =
        QStringLiteral("GraphicViewSelectionDidChange");

    explicit MutableDesignView(QWidget* parent = nullptr);
    ~MutableDesignView() override;

    // GraphicView: the sheet's undo manager, the canvas's size, a redraw of the area.
    UndoManager* undoManager() const override { return m_undoManager; }
    void setUndoManager(UndoManager* undoManager) { m_undoManager = undoManager; }
    QSizeF boundsSize() const override { return size(); }
    void invalidateGraphic(const Graphic& graphic) override;

    DesignToolPalette* toolPaletteController() const { return m_toolPaletteController; }
    void setToolPaletteController(DesignToolPalette* palette) { m_toolPaletteController = palette; }
    bool clickable() const { return m_clickable; }
    void setClickable(bool clickable) { m_clickable = clickable; }
    const std::shared_ptr<Graphic>& creatingGraphic() const { return m_creatingGraphic; }
    const std::shared_ptr<Graphic>& editingGraphic() const { return m_editingGraphic; }
    TextGraphicEditor* editorView() const;
    bool knobsHidden() const { return m_knobsHidden; }
    QRectF rubberbandRect() const { return m_rubberbandRect; }
    QPointF pasteCascadeDelta() const { return m_pasteCascadeDelta; }

    // The selection, in the order selected; membership is by identity.
    const GraphicList& selectedGraphics() const { return m_selectedGraphics; }
    bool graphicIsSelected(const std::shared_ptr<Graphic>& graphic) const;
    bool graphicIsSelected(const Graphic* graphic) const;
    // Front to back.
    GraphicList orderedSelectedGraphics() const;
    // Each undoable as "Selection Change", announced and shown by the palette at once.
    void selectGraphic(const std::shared_ptr<Graphic>& graphic);
    void deselectGraphic(const std::shared_ptr<Graphic>& graphic);
    void clearSelection();
    // Redraws the graphic's area; a graphic no longer in the design leaves the selection.
    void invalidateGraphic(const std::shared_ptr<Graphic>& graphic);
    void invalidateGraphics(const GraphicList& graphics);

    // The front-most graphic whose drawing bounds hold the point and that the point hits.
    std::shared_ptr<Graphic> graphicUnderPoint(const QPointF& point) const;
    // In design order.
    GraphicList graphicsIntersectingRect(const QRectF& rect) const;

    void setEditingGraphic(const std::shared_ptr<Graphic>& graphic, TextGraphicEditor* editor);
    // The in-place editor over a text graphic; the event's click places the insertion point.
    void startEditingGraphic(const std::shared_ptr<Graphic>& graphic,
                             const std::optional<DesignMouseEvent>& event);
    void endEditing();

    // The design's list, each change undoable. Nothing goes in front of an address block,
    // and a second one is refused with a beep.
    void insertGraphic(const std::shared_ptr<Graphic>& graphic, qsizetype index);
    void removeGraphicAtIndex(qsizetype index);
    void removeGraphic(const std::shared_ptr<Graphic>& graphic);
    void moveGraphic(const std::shared_ptr<Graphic>& graphic, qsizetype index);

    std::shared_ptr<Graphic> addressGraphic() const;
    bool hasAddressGraphic() const { return bool(addressGraphic()); }
    bool addressGraphicSelected() const;
    std::shared_ptr<Graphic> selectedFieldGraphic() const;
    bool singleFieldGraphicSelected() const;

    // The union of the graphics' bounds; the zero rectangle for none.
    static QRectF boundsForGraphics(const GraphicList& graphics);
    // Moves the selection, hiding its knobs for a moment ("Nudge").
    void moveSelectedGraphicsByPoint(const QPointF& delta);
    void hideKnobsMomentarily();
    void unhideKnobs();

    // The font panel in front, its fonts going to the text edited in place.
    void orderFrontFontPanel();

    // Restyling from the palette's font sheets; the sheets' own steps name no undo.
    // The selected address block takes the font, minimum size, placements and alignment.
    void changeAddressBlockFont(const ArchivedFont& font, float minimumPointSize,
                                qint64 horizontalPlacement, qint64 verticalPlacement,
                                qint64 addressBlockAlignment);
    // The first selected field graphic shows that field in the font, one line high.
    void changeFieldFont(const ArchivedFont& font, const QString& fieldName,
                         qint64 fieldAlignment, float minimumPointSize);

    // The mouse. A press begins a tracking state; a drag and the release continue it.
    void mouseDown(const DesignMouseEvent& event);
    void mouseDragged(const DesignMouseEvent& event);
    void mouseUp(const DesignMouseEvent& event);
    bool isTracking() const { return m_tracking != Tracking::None; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    enum class Tracking { None, Creating, Knob, Moving, Rubberband, Swallowing };

    void selectAndTrackMouseWithEvent(const DesignMouseEvent& event);
    void createGraphicOfClass(const GraphicClass& graphicClass, const DesignMouseEvent& event);
    void trackKnob(int knob, const std::shared_ptr<Graphic>& graphic, const DesignMouseEvent& event);
    void moveSelectedGraphicsWithEvent(const DesignMouseEvent& event);
    void rubberbandSelectWithEvent(const DesignMouseEvent& event);
    // One event of the state under way; the release ends it.
    void track(const DesignMouseEvent& event, bool released);
    void continueCreating(const DesignMouseEvent& event, bool released);
    void finishCreating();
    void continueKnob(const DesignMouseEvent& event, bool released);
    // Whether the drag ends here.
    bool continueMoving(const DesignMouseEvent& event, bool released);
    void finishMoving();
    void continueRubberband(const DesignMouseEvent& event, bool released);
    void finishRubberband();
    void invalidateRubberband();
    void endTracking();

    void selectionDidChange();
    void registerUndo(std::function<void()> inverse);
    void setActionName(const QString& key);
    static bool isAddressGraphic(const std::shared_ptr<Graphic>& graphic);
    static bool isFieldGraphic(const std::shared_ptr<Graphic>& graphic);
    GraphicList& list();
    const GraphicList& list() const;
    DesignMouseEvent eventFrom(const QMouseEvent& event, int clickCount) const;

    UndoManager* m_undoManager = nullptr;
    DesignToolPalette* m_toolPaletteController = nullptr;
    GraphicList m_selectedGraphics;
    std::shared_ptr<Graphic> m_creatingGraphic;
    QRectF m_rubberbandRect;
    GraphicList m_rubberbandGraphics;
    std::shared_ptr<Graphic> m_editingGraphic;
    QPointer<TextGraphicEditor> m_editorView;
    QPointF m_pasteCascadeDelta{10, 10};
    QTimer m_unhideKnobsTimer;
    bool m_clickable = true;
    bool m_rubberbandIsDeselecting = false;
    bool m_knobsHidden = false;

    // The gesture under way.
    Tracking m_tracking = Tracking::None;
    std::shared_ptr<Graphic> m_trackedGraphic;
    int m_trackedKnob = 0;
    QPointF m_startPoint;
    QPointF m_lastPoint;
    bool m_moveStarted = false;
    bool m_moved = false;
    std::optional<GraphicClass> m_creatingClass;
    bool m_gestureGroupOpen = false;
};
