#include "MarginUnits.h"

namespace MarginUnits {

// Worked in double precision and rounded once, so 72 points show as exactly 2.54 cm and
// 2.54 cm read back as exactly 72 points.
float pixelsAsUnits(float points, bool useInches)
{
    const double inches = double(points) / 72.0;
    return float(useInches ? inches : inches * 2.54);
}

float unitsAsPixels(float units, bool useInches)
{
    const double points = double(units) * 72.0;
    return float(useInches ? points : points / 2.54);
}

} // namespace MarginUnits
