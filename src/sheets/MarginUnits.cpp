#include "MarginUnits.h"

#include "Localization.h"
#include "PlistValue.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QRadioButton>

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

QString marginText(float points, bool useInches)
{
    return QString::number(double(pixelsAsUnits(points, useInches)), 'g', 6);
}

float typedMargin(const QString& text, bool useInches)
{
    QString number = text;
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    return unitsAsPixels(float(PlistValue::leadingDouble(number)), useInches);
}

QButtonGroup* addUnitsMatrix(QGridLayout* grid, int row, QObject* owner)
{
    auto* matrix = new QButtonGroup(owner);
    auto* inches = new QRadioButton(localized(QStringLiteral("Inches")));
    auto* centimetres = new QRadioButton(localized(QStringLiteral("Centimeters")));
    matrix->addButton(inches, InchesTag);
    matrix->addButton(centimetres, CentimetresTag);
    auto* units = new QHBoxLayout;
    units->addWidget(inches);
    units->addWidget(centimetres);
    units->addStretch(1);
    grid->addLayout(units, row, 0, 1, grid->columnCount());
    return matrix;
}

} // namespace MarginUnits
