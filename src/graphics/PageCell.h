#pragma once

#include "GraphicList.h"

#include <QRectF>

#include <memory>

class QPainter;

// One label or envelope of a laid-out page: where it lies on the paper, in points with y
// down, and its own copy of the design filled with one record's contents.
struct PageCell {
    QRectF frame;
    std::shared_ptr<GraphicList> graphics;
    bool draft = true;
    bool envelope = false;

    // Draws the cell at its place on a painter in paper points.
    void paint(QPainter& painter) const;
};
