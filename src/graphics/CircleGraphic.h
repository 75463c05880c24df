#pragma once

#include "Graphic.h"

// An oval filling its bounds.
class CircleGraphic : public Graphic {
public:
    std::shared_ptr<Graphic> copy() const override;
    QString graphicType() const override;

    // A circle of the smaller side.
    void makeNaturalSize() override;
    int resizeByMovingKnob(int knob, const QPointF& point,
                           Qt::KeyboardModifiers modifiers) override;
    std::optional<QPainterPath> bezierPath() const override;
};
