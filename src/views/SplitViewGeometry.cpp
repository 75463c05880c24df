#include "SplitViewGeometry.h"

#include <algorithm>

namespace SplitViewGeometry {

float readStoredHeight(float stored)
{
    return stored == CollapsedHeight ? 0.0f : stored;
}

float storedHeightFor(double topHeight)
{
    // The height itself, which the box takes again when the view opens (one point less
    // would lose a point at every opening, and store -1, nothing, for a collapsed box). An
    // open box is at least 21 points high, so 20 is never an open one's.
    return topHeight <= 0 ? CollapsedHeight : float(topHeight);
}

Setup setup(double splitHeight, double dividerThickness, float splitHeightRead, double presentTop)
{
    if (splitHeightRead < 0)
        return Setup{std::nullopt, float(presentTop)};
    Setup result;
    const double max = splitHeight - dividerThickness - BottomReserve;
    double top = splitHeightRead;
    if (top > max) {
        top = std::max(0.0, max);
        result.storeBack = float(top);
    }
    // The text area takes the rest.
    result.heights = Heights{top, std::max(0.0, splitHeight - dividerThickness - top)};
    return result;
}

double dividerPosition(double proposed, double splitHeight, double dividerThickness)
{
    const double max = std::max(EdgeDistance, splitHeight - EdgeDistance - dividerThickness);
    if (proposed < EdgeDistance)
        return proposed < EdgeDistance / 2 ? 0.0 : EdgeDistance;
    return std::min(proposed, max);
}

Heights resized(Heights old, double oldHeight, double newHeight, double dividerThickness)
{
    const double delta = oldHeight - newHeight;
    Heights heights{old.top, old.bottom - delta};
    if (heights.bottom < TextAreaFloor) {
        heights.bottom = TextAreaFloor;
        heights.top = std::max(0.0, newHeight - dividerThickness - TextAreaFloor);
    }
    return heights;
}

} // namespace SplitViewGeometry
