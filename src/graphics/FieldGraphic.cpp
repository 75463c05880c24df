#include "FieldGraphic.h"

#include "StringFormat.h"
#include "TextMeasurer.h"

#include <QTextDocument>

#include <cmath>

const QString FieldGraphic::noFieldName = QStringLiteral("<none>");

namespace {

const QString kFont = QStringLiteral("Font");
const QString kFieldName = QStringLiteral("FieldName");
const QString kAlignment = QStringLiteral("Alignment");
const QString kFieldMinimumSize = QStringLiteral("FieldMinimumSize");

} // namespace

FieldGraphic::FieldGraphic() : FieldGraphic(noFieldName)
{
}

FieldGraphic::FieldGraphic(const QString& text) : m_fieldName(noFieldName)
{
    showPlaceholder(text, placeholderColor(), false);
}

ArchivedColor FieldGraphic::placeholderColor()
{
    return ArchivedColor::calibratedRgb(0, 0, 1);
}

std::shared_ptr<Graphic> FieldGraphic::copy() const
{
    return copyAs<FieldGraphic>();
}

void FieldGraphic::copyInto(Graphic& copy) const
{
    PlaceholderGraphic::copyInto(copy);
    auto& field = static_cast<FieldGraphic&>(copy);
    field.m_alignment = m_alignment;
    field.m_fieldName = m_fieldName;
    field.m_minimumPointSize = m_minimumPointSize;
    // Again, now that the font gives the line height.
    field.setBounds(bounds());
}

QString FieldGraphic::graphicType() const
{
    return QStringLiteral("FieldGraphic");
}

void FieldGraphic::setFieldName(const QString& name)
{
    m_fieldName = name.isEmpty() ? noFieldName : name;
}

float FieldGraphic::minimumPointSize() const
{
    return minimumSizeOrDefault(float(m_minimumPointSize));
}

void FieldGraphic::setMinimumPointSize(float size)
{
    m_minimumPointSize =
        std::isfinite(size) ? qint64(std::trunc(std::clamp(size, -1e9f, 1e9f))) : 0;
}

float FieldGraphic::lineHeight() const
{
    return TextMeasurer::shared().heightOfString(QStringLiteral("Tg"), font()) + 2;
}

QSizeF FieldGraphic::minSize() const
{
    const float line = lineHeight();
    return {line, line};
}

QSizeF FieldGraphic::maxSize() const
{
    return {bounds().width(), lineHeight()};
}

double FieldGraphic::horizontalTextOffset() const
{
    if (m_alignment != 1 && m_alignment != 2)
        return 0;
    const double room =
        bounds().width() - TextMeasurer::shared().widthOfString(document().toPlainText(), font()) -
        6;
    return m_alignment == 2 ? room : room / 2;
}

void FieldGraphic::setBounds(const QRectF& bounds)
{
    TextGraphic::setBounds(QRectF(bounds.x(), bounds.y(),
                                  std::max(bounds.width(), double(lineHeight())), bounds.height()));
}

int FieldGraphic::resizeByMovingKnob(int knob, const QPointF& point,
                                     Qt::KeyboardModifiers modifiers)
{
    knob = TextGraphic::resizeByMovingKnob(knob, point, modifiers);
    const QRectF resized = bounds();
    setBounds(QRectF(resized.x(), resized.y(), resized.width(), lineHeight()));
    return knob;
}

unsigned FieldGraphic::knobMask() const
{
    return knobBit(UpperLeftKnob) | knobBit(UpperRightKnob) | knobBit(MiddleLeftKnob) |
           knobBit(MiddleRightKnob) | knobBit(LowerLeftKnob) | knobBit(LowerRightKnob);
}

void FieldGraphic::writePropertyList(PlistDictionary& dictionary) const
{
    PlaceholderGraphic::writePropertyList(dictionary);
    dictionary.insert(kFont, fontArchive());
    dictionary.insert(kFieldName, m_fieldName);
    dictionary.insert(kAlignment, PlistValue(m_alignment));
    dictionary.insert(kFieldMinimumSize,
                      stringWithFormat(QStringLiteral("%f"), double(m_minimumPointSize)));
}

void FieldGraphic::loadPropertyListRepresentation(const PlistDictionary& dictionary)
{
    PlaceholderGraphic::loadPropertyListRepresentation(dictionary);
    if (const std::optional<QByteArray> font = dataForKey(dictionary, kFont))
        setFontArchive(*font);
    if (const std::optional<QString> name = stringForKey(dictionary, kFieldName)) {
        setFieldName(*name);
        showPlaceholder(m_fieldName, placeholderColor(), false);
    }
    if (const PlistValue* alignment = dictionary.find(kAlignment))
        m_alignment = alignment->integerValue();
    if (const std::optional<float> size = floatForKey(dictionary, kFieldMinimumSize))
        setMinimumPointSize(*size);
}
