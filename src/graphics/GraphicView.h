#pragma once

#include <QSizeF>

class Graphic;
class UndoManager;

// What a graphic needs of the view that shows it, so that graphics need no widget: the
// undo manager its changes register with, the view's size, and a redraw of its area.
// A graphic does not own its view.
class GraphicView {
public:
    virtual ~GraphicView() = default;

    // None when the view keeps no undo (a page cell).
    virtual UndoManager* undoManager() const = 0;
    virtual QSizeF boundsSize() const = 0;
    // The design canvas redraws the graphic's area; other views draw it as they draw.
    virtual void invalidateGraphic(const Graphic& graphic) { (void)graphic; }
};
