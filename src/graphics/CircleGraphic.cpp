#include "CircleGraphic.h"

std::shared_ptr<Graphic> CircleGraphic::copy() const
{
    return copyAs<CircleGraphic>();
}

QString CircleGraphic::graphicType() const
{
    return QStringLiteral("CircleGraphic");
}

void CircleGraphic::makeNaturalSize()
{
    makeSquare();
}

int CircleGraphic::resizeByMovingKnob(int knob, const QPointF& point,
                                      Qt::KeyboardModifiers modifiers)
{
    return resizeShapeByMovingKnob(knob, point, modifiers);
}

std::optional<QPainterPath> CircleGraphic::bezierPath() const
{
    QPainterPath path;
    path.addEllipse(bounds());
    return path;
}
