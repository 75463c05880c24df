#include "LineGraphic.h"

#include <cmath>

namespace {
const QString kLineStartsAtLowerLeft = QStringLiteral("LineStartsAtLowerLeft");
}

std::shared_ptr<Graphic> LineGraphic::copy() const
{
    return copyAs<LineGraphic>();
}

void LineGraphic::copyInto(Graphic& copy) const
{
    Graphic::copyInto(copy);
    static_cast<LineGraphic&>(copy).setStartsAtLowerLeft(m_startsAtLowerLeft);
}

QString LineGraphic::graphicType() const
{
    return QStringLiteral("LineGraphic");
}

void LineGraphic::setStartsAtLowerLeft(bool startsAtLowerLeft)
{
    if (startsAtLowerLeft == m_startsAtLowerLeft)
        return;
    registerUndo<LineGraphic>(
        [old = m_startsAtLowerLeft](LineGraphic& graphic) { graphic.setStartsAtLowerLeft(old); });
    m_startsAtLowerLeft = startsAtLowerLeft;
    didChange();
}

QPointF LineGraphic::startPoint() const
{
    return m_startsAtLowerLeft ? bounds().bottomLeft() : bounds().topLeft();
}

QPointF LineGraphic::endPoint() const
{
    return m_startsAtLowerLeft ? bounds().topRight() : bounds().bottomRight();
}

void LineGraphic::flipHorizontally()
{
    setStartsAtLowerLeft(!m_startsAtLowerLeft);
}

void LineGraphic::flipVertically()
{
    setStartsAtLowerLeft(!m_startsAtLowerLeft);
}

void LineGraphic::makeNaturalSize()
{
    const QRectF current = bounds();
    if (current.height() > current.width())
        setBounds(QRectF(current.x(), current.y(), 0, current.height()));
    else if (current.width() > current.height())
        setBounds(QRectF(current.x(), current.y(), current.width(), 0));
}

int LineGraphic::resizeByMovingKnob(int knob, const QPointF& point, Qt::KeyboardModifiers modifiers)
{
    return resizeShapeByMovingKnob(knob, point, modifiers);
}

unsigned LineGraphic::knobMask() const
{
    return m_startsAtLowerLeft ? knobBit(UpperRightKnob) | knobBit(LowerLeftKnob)
                               : knobBit(UpperLeftKnob) | knobBit(LowerRightKnob);
}

std::optional<QPainterPath> LineGraphic::bezierPath() const
{
    QPainterPath path(startPoint());
    path.lineTo(endPoint());
    return path;
}

bool LineGraphic::hitTest(const QPointF& point, bool isSelected) const
{
    if (isSelected && knobUnderPoint(point) != NoKnob)
        return true;
    const QRectF b = bounds();
    const double tolerance = strokeLineWidth() / 2.0 + 2;
    if (b.width() == 0)
        return std::abs(point.x() - b.x()) <= tolerance;
    const double slope = (m_startsAtLowerLeft ? -1 : 1) * b.height() / b.width();
    const double startY = startPoint().y();
    return std::abs(slope * (point.x() - b.x()) - (point.y() - startY)) <= tolerance;
}

void LineGraphic::writePropertyList(PlistDictionary& dictionary) const
{
    dictionary.insert(kLineStartsAtLowerLeft, yesOrNo(m_startsAtLowerLeft));
}

void LineGraphic::loadPropertyListRepresentation(const PlistDictionary& dictionary)
{
    Graphic::loadPropertyListRepresentation(dictionary);
    if (const std::optional<bool> lowerLeft = yesForKey(dictionary, kLineStartsAtLowerLeft))
        setStartsAtLowerLeft(*lowerLeft);
}
