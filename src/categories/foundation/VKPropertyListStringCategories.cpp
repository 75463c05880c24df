#include "VKPropertyListStringCategories.h"

#include "PlistValue.h"
#include "StringFormat.h"

#include <cmath>

namespace VKPropertyListStringCategories {

namespace {

double coordinate(QStringView text)
{
    const double value = PlistValue::leadingDouble(text);
    return std::isfinite(value) ? value : 0.0;
}

} // namespace

QString stringWithPoint(const QPointF& point)
{
    return stringWithFormat(QStringLiteral("%f, %f"), point.x(), point.y());
}

QPointF pointValue(const QString& string)
{
    const qsizetype separator = string.indexOf(QLatin1String(", "));
    if (separator < 0)
        return QPointF(coordinate(string), 0);
    const QStringView text(string);
    return QPointF(coordinate(text.left(separator)), coordinate(text.mid(separator + 2)));
}

} // namespace VKPropertyListStringCategories
