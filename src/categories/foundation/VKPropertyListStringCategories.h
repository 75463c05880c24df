#pragma once

#include <QPointF>
#include <QString>

// Points written as text in property lists: "x, y".
namespace VKPropertyListStringCategories {

QString stringWithPoint(const QPointF& point);
// Two numbers separated by ", "; a part that is not a number reads as 0.
QPointF pointValue(const QString& string);

} // namespace VKPropertyListStringCategories
