#pragma once

#include <QRectF>
#include <QSizeF>

// The margins of a print in points, single precision as the datafile keeps them.
struct PrintMargins {
    float top = 0;
    float bottom = 0;
    float left = 0;
    float right = 0;

    bool operator==(const PrintMargins&) const = default;
};

// Where a record print puts its text on the paper. A printer cannot mark a border round
// the paper: each margin is at least that border plus one point, and the top one leaves
// room for the one-line page header when there is one.
struct PrintPageGeometry {
    static constexpr float HeaderHeight = 18.0f;

    PrintMargins margins; // the ones used
    QRectF frame;         // the text's area, from the paper's top left corner
    QRectF headerRect;    // the header line, likewise

    // Paper and imageable bounds as the printer gives them: points, the bounds measured
    // from the paper's lower left corner (a PDF file's are the whole paper).
    static PrintMargins minimumMargins(QSizeF paper, const QRectF& imageableBounds, bool header);
    // The chosen margins raised to the minimums, and the text's and header's places.
    static PrintPageGeometry forPaper(QSizeF paper, const QRectF& imageableBounds,
                                      const PrintMargins& chosen, bool header);

    // Whether the margins leave any room for the text.
    bool fits() const { return frame.width() > 0 && frame.height() > 0; }
};
