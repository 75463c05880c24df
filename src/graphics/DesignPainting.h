#pragma once

#include "GraphicList.h"

#include <QRectF>

class QColor;
class QPainter;

// A frame in the colour, one point wide unless told, just inside the rectangle's edges.
void frameRect(QPainter& painter, const QRectF& rect, const QColor& color, double width = 1);

// A label's grey outline, its corners rounded by 10 points, all of its stroke drawn.
void frameLabel(QPainter& painter, const QRectF& rect);

// Draws one design on white into the frame, on a painter whose unit is one point (y grows
// downward): back to front, so that index 0 ends on top, each graphic kept inside its
// drawing bounds and none with handles. A draft shows the grey outline of the envelope
// (square corners) or the label (rounded corners). Only what meets the painter's clip is
// drawn.
void paintDesign(QPainter& painter, const QRectF& frame, const GraphicList& graphics, bool draft,
                 bool envelope);
