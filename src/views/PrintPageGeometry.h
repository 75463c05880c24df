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

// Where a print puts its page header and its body on the paper. A printer cannot mark a
// border round the paper: each margin is at least that border plus one point, and the top
// one leaves room for the one-line page header when there is one. The header is the top
// line of the area inside the margins, so that it lines up with the body below it.
struct PrintPageGeometry {
    static constexpr float HeaderHeight = 18.0f;

    PrintMargins margins; // the ones used
    QRectF frame;         // the area inside the margins, from the paper's top left corner
    QRectF headerRect;    // the header line at the top of the frame, likewise
    QRectF body;          // the frame below the header line when there is one

    // Paper and imageable bounds as the printer gives them: points, the bounds measured
    // from the paper's lower left corner (a PDF file's are the whole paper).
    static PrintMargins minimumMargins(QSizeF paper, const QRectF& imageableBounds, bool header);
    // The chosen margins raised to the minimums, and the header's and body's places.
    static PrintPageGeometry forPaper(QSizeF paper, const QRectF& imageableBounds,
                                      const PrintMargins& chosen, bool header);

    // Whether the margins leave any room for the body.
    bool fits() const { return body.width() > 0 && body.height() > 0; }
};
