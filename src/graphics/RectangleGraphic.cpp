#include "RectangleGraphic.h"

#include "StringFormat.h"

namespace {
const QString kRectangleRadius = QStringLiteral("RectangleRadius");
}

std::shared_ptr<Graphic> RectangleGraphic::copy() const
{
    return copyAs<RectangleGraphic>();
}

void RectangleGraphic::copyInto(Graphic& copy) const
{
    Graphic::copyInto(copy);
    static_cast<RectangleGraphic&>(copy).setRadius(m_radius);
}

QString RectangleGraphic::graphicType() const
{
    return QStringLiteral("RectangleGraphic");
}

void RectangleGraphic::setRadius(float radius)
{
    const float stored = radius < 0 ? 0 : radius;
    if (stored == m_radius)
        return;
    registerUndo<RectangleGraphic>(
        [old = m_radius](RectangleGraphic& graphic) { graphic.setRadius(old); });
    m_radius = stored;
    didChange();
}

float RectangleGraphic::maxRadius() const
{
    return narrowed(std::min(bounds().width(), bounds().height()) / 2);
}

void RectangleGraphic::makeNaturalSize()
{
    makeSquare();
}

int RectangleGraphic::resizeByMovingKnob(int knob, const QPointF& point,
                                         Qt::KeyboardModifiers modifiers)
{
    return resizeShapeByMovingKnob(knob, point, modifiers);
}

void RectangleGraphic::constrainAfterResize()
{
    if (m_radius > maxRadius())
        setRadius(maxRadius());
}

std::optional<QPainterPath> RectangleGraphic::bezierPath() const
{
    return roundedRect(bounds(), m_radius);
}

QPainterPath RectangleGraphic::roundedRect(const QRectF& rect, double radius)
{
    QPainterPath path;
    if (radius <= 0)
        path.addRect(rect);
    else
        path.addRoundedRect(rect, radius, radius);
    return path;
}

void RectangleGraphic::writePropertyList(PlistDictionary& dictionary) const
{
    dictionary.insert(kRectangleRadius, stringWithFormat(QStringLiteral("%.2f"), m_radius));
}

void RectangleGraphic::loadPropertyListRepresentation(const PlistDictionary& dictionary)
{
    Graphic::loadPropertyListRepresentation(dictionary);
    setRadius(floatForKey(dictionary, kRectangleRadius).value_or(0));
}
