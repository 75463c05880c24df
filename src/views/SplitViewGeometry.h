#pragma once

#include <optional>

// The split of an editor window between its table above (the top box) and the Freeform
// Text Area below (the bottom box), as arithmetic on heights in points. The divider keeps
// 21 points off either edge; the top box may collapse, the text area never; a shrinking
// window takes height from the text area first, down to 12 points.
namespace SplitViewGeometry {

constexpr double EdgeDistance = 21.0;
constexpr double TextAreaFloor = 12.0;
// What a stored split height must leave below the top box.
constexpr double BottomReserve = 24.0;
// Stored for a collapsed top box, and read back as one.
constexpr float CollapsedHeight = 20.0f;

struct Heights {
    double top = 0;
    double bottom = 0;
    bool operator==(const Heights&) const = default;
};

// A stored split height as it reads; negative is nothing stored yet.
float readStoredHeight(float stored);
// What is stored for a top box of this height.
float storedHeightFor(double topHeight);

struct Setup {
    // The boxes' heights; none to leave the split as it stands.
    std::optional<Heights> heights;
    // To be stored as the split height.
    std::optional<float> storeBack;
    bool operator==(const Setup&) const = default;
};
// The split as a view opens with the split height read (`readStoredHeight`): nothing
// stored takes the present top height; too tall a top box is cut to what fits, and that
// is stored back.
Setup setup(double splitHeight, double dividerThickness, float splitHeightRead, double presentTop);

// Where the divider goes when dragged to `proposed` (the top box's height).
double dividerPosition(double proposed, double splitHeight, double dividerThickness);

// The boxes after the split view's height changed from `oldHeight` to `newHeight`.
Heights resized(Heights old, double oldHeight, double newHeight, double dividerThickness);

} // namespace SplitViewGeometry
