#pragma once

#include "Graphic.h"

// A rectangle, its corners rounded by a radius.
class RectangleGraphic : public Graphic {
public:
    std::shared_ptr<Graphic> copy() const override;
    QString graphicType() const override;

    float radius() const { return m_radius; }
    // Undoable; a negative radius is stored as 0 (square corners).
    void setRadius(float radius);
    // Half the smaller side.
    float maxRadius() const;

    // A square of the smaller side.
    void makeNaturalSize() override;
    int resizeByMovingKnob(int knob, const QPointF& point,
                           Qt::KeyboardModifiers modifiers) override;
    std::optional<QPainterPath> bezierPath() const override;
    // The rectangle with corners of the radius; square corners for none.
    static QPainterPath roundedRect(const QRectF& rect, double radius);

    void loadPropertyListRepresentation(const PlistDictionary& dictionary) override;

protected:
    void writePropertyList(PlistDictionary& dictionary) const override;
    void copyInto(Graphic& copy) const override;
    // The radius never exceeds what the new size allows.
    void constrainAfterResize() override;

private:
    float m_radius = 0;
};
