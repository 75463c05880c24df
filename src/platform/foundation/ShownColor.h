#pragma once

#include <QColor>

class ArchivedColor;

// The colour an archived colour shows as on screen and paper. NaN and out-of-range
// components, which a damaged archive may hold, show as their nearest colour.
QColor shownColor(const ArchivedColor& color);
