#pragma once

#include <QString>

class QButtonGroup;
class QObject;
class QGridLayout;

// Print margins are kept in points (72 to the inch) and shown in inches or centimetres.
// The margins sheets of the record, list and zoom commands share these conversions.
namespace MarginUnits {

// The tags of the units' buttons.
constexpr int CentimetresTag = 0;
constexpr int InchesTag = 1;

// A margin in points as the unit shows it.
float pixelsAsUnits(float points, bool useInches);
// A margin typed in the unit, in points.
float unitsAsPixels(float units, bool useInches);

// The margin's text in the unit.
QString marginText(float points, bool useInches);
// The margin typed, in points: the number the text begins with ("2abc" is 2, with a point
// or a comma), 0 when it begins with none.
float typedMargin(const QString& text, bool useInches);

// The Inches and Centimeters buttons, by their tags, on a row of the margins' grid.
QButtonGroup* addUnitsMatrix(QGridLayout* grid, int row, QObject* owner);

} // namespace MarginUnits
