#pragma once

#include <QRectF>
#include <QString>
#include <QStringView>

// Rectangles as the files write them: "{{x, y}, {width, height}}", numbers in the C
// locale at full precision.
QString stringFromRect(const QRectF& rect);
// The rectangle of such a string. Reading stops at the first part that is not as
// written above; the numbers not read by then are 0, as the platform reads them.
QRectF rectFromString(QStringView text);
