#pragma once

// Print margins are kept in points (72 to the inch) and shown in inches or centimetres.
// The margins sheets of the record, list and zoom commands share these conversions.
namespace MarginUnits {

// A margin in points as the unit shows it.
float pixelsAsUnits(float points, bool useInches);
// A margin typed in the unit, in points.
float unitsAsPixels(float units, bool useInches);

} // namespace MarginUnits
