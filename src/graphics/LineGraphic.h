#pragma once

#include "Graphic.h"

// A straight line along one diagonal of its bounds.
class LineGraphic : public Graphic {
public:
    std::shared_ptr<Graphic> copy() const override;
    QString graphicType() const override;

    // No: from the upper left to the lower right corner; yes: from the lower left to the
    // upper right.
    bool startsAtLowerLeft() const { return m_startsAtLowerLeft; }
    // Undoable.
    void setStartsAtLowerLeft(bool startsAtLowerLeft);
    QPointF startPoint() const;
    QPointF endPoint() const;

    // A mirrored resize keeps the line on the same ends.
    void flipHorizontally() override;
    void flipVertically() override;
    // Vertical when taller than wide, horizontal when wider than tall.
    void makeNaturalSize() override;
    int resizeByMovingKnob(int knob, const QPointF& point,
                           Qt::KeyboardModifiers modifiers) override;

    bool drawsFill() const override { return false; }
    bool canDrawFill() const override { return false; }
    // The two ends.
    unsigned knobMask() const override;
    std::optional<QPainterPath> bezierPath() const override;
    // Within half the line width + 2 of the line.
    bool hitTest(const QPointF& point, bool isSelected) const override;

    void loadPropertyListRepresentation(const PlistDictionary& dictionary) override;

protected:
    void writePropertyList(PlistDictionary& dictionary) const override;
    void copyInto(Graphic& copy) const override;

private:
    bool m_startsAtLowerLeft = false;
};
