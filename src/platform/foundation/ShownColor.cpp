#include "ShownColor.h"

#include "ArchivedColor.h"

#include <algorithm>

QColor shownColor(const ArchivedColor& color)
{
    const auto unit = [](double value) { return float(value >= 0 ? std::min(value, 1.0) : 0.0); };
    return QColor::fromRgbF(unit(color.redComponent()), unit(color.greenComponent()),
                            unit(color.blueComponent()), unit(color.alpha()));
}
