#pragma once

#include "DesignView.h"
#include "GraphicClass.h"
#include "GraphicView.h"
#include "PlistValue.h"
#include "Responder.h"

#include <QImage>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QTimer>

#include <memory>
#include <optional>

class DesignRulerView;
class ArchivedFont;
class DesignToolPalette;
class QDragEnterEvent;
class QDragLeaveEvent;
class QDragMoveEvent;
class QDropEvent;
class QMimeData;
class QKeyEvent;
class QMenu;
class RulerScrollView;
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
class MutableDesignView : public DesignView, public GraphicView, public Responder {
public:
    static inline const QString GraphicViewSelectionDidChange =
        QStringLiteral("GraphicViewSelectionDidChange");
    // The undo key of centring vertically, spelled as the "UndoStrings" table has it.
    static inline const QString CenterVerticalllyUndoKey = QStringLiteral("Center Verticallly");

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

    // The clipboard (MutableDesignViewPasteboard.cpp). Graphics go on it as old-style
    // property-list text under Pasteboard::DesignPboardType, with their picture beside.
    static PlistDictionary drawDocumentDictionaryForGraphics(const GraphicList& graphics);
    static QByteArray drawDocumentDataForGraphics(const GraphicList& graphics);
    // None for data that is not ASCII text of an old-style dictionary: the clipboard is
    // outside input.
    static std::optional<PlistDictionary> drawDocumentDictionaryFromData(const QByteArray& data);
    // Entries that make no graphic are left out.
    static GraphicList graphicsFromDrawDocumentDictionary(const PlistDictionary& dictionary);
    // The graphics drawn back to front on a transparent picture of their drawing bounds;
    // a null image when those are empty.
    static QImage imageForGraphics(const GraphicList& graphics);
    // That picture as TIFF; empty when it is empty or Qt cannot write TIFF here.
    static QByteArray TIFFRepresentationForGraphics(const GraphicList& graphics);
    // "copy:" and "cut:" want a selection; "paste:" is always allowed.
    bool validateClipboardAction(const QString& selector) const;
    void copy();
    void cut();
    // Graphics, else one image file, else image data. Repeated pastes of one copy step
    // down and right by the cascade offset.
    void paste();
    quint64 pasteboardChangeCount() const { return m_pasteboardChangeCount; }
    int pasteCascadeNumber() const { return m_pasteCascadeNumber; }

    // Pictures, each selected alone once made; false when nothing was made. The point is
    // not used for pasteboard data, which lands in the upper left.
    bool makeNewImageFromPasteboard(const QMimeData* pasteboard, const QPointF& point);
    bool makeNewImageFromContentsOfFile(const QString& path, const QPointF& point);

    // Dropping: a colour fills the graphic under it, one image file lands at the drop point,
    // image data in the upper left.
    static QStringList registeredDraggedTypes();
    Qt::DropAction dragOperationForDraggingInfo(const QMimeData* info, const QPointF& point) const;
    void draggingExited() {}
    bool prepareForDragOperation() { return true; }
    bool performDragOperation() { return true; }
    void concludeDragOperation(const QMimeData* info, const QPointF& point);
    // The commands, each an action of the canvas by its name ("alignLeftEdges:"), enabled
    // as the selection allows. Each one that changes the design is one undo step with its
    // name, set even when nothing had to change.
    bool validateAction(const QString& selector) const override;
    void selectAll();
    void deselectAll();
    void delete_();
    void deleteForward();
    void deleteBackward();
    // The selection in front, keeping its order, behind an address block.
    void bringToFront();
    // The selection at the back, keeping its order; the address block stays in front.
    void sendToBack();
    // The others line up with the graphic selected first.
    void alignLeftEdges();
    void alignRightEdges();
    void alignTopEdges();
    void alignBottomEdges();
    void alignHorizontalCenters();
    void alignVerticalCenters();
    void alignCenters();
    // On the middle of the canvas, 2 points short towards its origin.
    void centerHorizontally();
    void centerVertically();
    void centerOnLabel();
    // The others take the first selected's size; images keep theirs.
    void makeSameWidth();
    void makeSameHeight();
    void makeNaturalSize();
    void shrinkToFit();
    // A colour chosen for the selection: it is shown again.
    void changeColor();
    // One point each way; the canvas's y grows downward.
    void moveLeft();
    void moveRight();
    void moveUp();
    void moveDown();
    // Shift with an arrow moves nothing: the knobs only blink.
    void moveForwardAndModifySelection();
    void moveBackwardAndModifySelection();
    void moveUpAndModifySelection();
    void moveDownAndModifySelection();
    // Typed characters never reach the design outside in-place editing.
    void insertText(const QString& text);
    // The union of the graphics' drawing bounds; the zero rectangle for none.
    static QRectF drawingBoundsForGraphics(const GraphicList& graphics);
    // The canvas's commands, as its context menu offers them; the caller owns the menu.
    QMenu* menuForEvent(QWidget* parent = nullptr);

    // The rulers of the scroll view the canvas lies in: shown once the canvas takes the
    // focus, never hidden again; they echo the rectangle being moved or resized with a
    // line at each edge and at its middle.
    void toggleRuler();
    void updateRulers();
    bool rulersShown() const;
    void beginEchoingMoveToRulers(const QRectF& rect);
    void continueEchoingMoveToRulers(const QRectF& rect);
    void stopEchoingMoveToRulers();
    DesignRulerView* horizontalRulerView() const;
    DesignRulerView* verticalRulerView() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

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

    void registerCommands();
    // Runs a command as one undo step of that name; the name goes with an empty step too.
    void runCommand(const QString& undoName, const std::function<void()>& command);
    // The selected graphics taken away as one step under the name.
    void removeSelectedGraphics(const QString& undoName);
    // With at least that many selected, each selected graphic takes the rectangle made
    // from its bounds, unless it already has it; the reference is the first selected.
    void reshapeSelection(
        qsizetype needed, const QString& undoName,
        const std::function<QRectF(const QRectF& bounds, const QRectF& reference)>& reshaped,
        bool skipImages = false);
    RulerScrollView* enclosingScrollView() const;

    UndoManager* m_undoManager = nullptr;
    DesignToolPalette* m_toolPaletteController = nullptr;
    GraphicList m_selectedGraphics;
    std::shared_ptr<Graphic> m_creatingGraphic;
    QRectF m_rubberbandRect;
    GraphicList m_rubberbandGraphics;
    std::shared_ptr<Graphic> m_editingGraphic;
    QPointer<TextGraphicEditor> m_editorView;
    QPointF m_pasteCascadeDelta{10, 10};
    quint64 m_pasteboardChangeCount = 0;
    int m_pasteCascadeNumber = 0;
    QTimer m_unhideKnobsTimer;
    bool m_clickable = true;
    bool m_rubberbandIsDeselecting = false;
    bool m_knobsHidden = false;
    bool m_initedRulers = false;
    QRectF m_horizontalRulerLineRect;
    QRectF m_verticalRulerLineRect;
    bool m_echoingToRulers = false;

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
