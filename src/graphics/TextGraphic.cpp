#include "TextGraphic.h"

namespace {
const QString kText = QStringLiteral("Text");
}

bool TextGraphic::Contents::operator==(const Contents& other) const
{
    return archive == other.archive && plainText == other.plainText && font == other.font &&
           color == other.color && clips == other.clips;
}

const ArchivedFont& TextGraphic::defaultFont()
{
    static const ArchivedFont font(QStringLiteral("Helvetica"), 12);
    return font;
}

TextGraphic::TextGraphic()
{
    m_contents.font = defaultFont();
    m_contents.color = ArchivedColor::calibratedWhite(0);
}

std::shared_ptr<Graphic> TextGraphic::copy() const
{
    return copyAs<TextGraphic>();
}

void TextGraphic::copyInto(Graphic& copy) const
{
    Graphic::copyInto(copy);
    static_cast<TextGraphic&>(copy).setContents(m_contents);
}

QString TextGraphic::graphicType() const
{
    return QStringLiteral("TextGraphic");
}

void TextGraphic::setContents(const Contents& contents)
{
    if (contents == m_contents)
        return;
    registerUndo<TextGraphic>(
        [old = m_contents](TextGraphic& graphic) { graphic.setContents(old); });
    m_contents = contents;
    didChange();
}

void TextGraphic::setPlainContents(const QString& text, const ArchivedFont& font,
                                   const ArchivedColor& color, bool clips)
{
    m_contents = Contents{QByteArray(), text, font, color, clips};
    didChange();
}

QSizeF TextGraphic::minSize() const
{
    return {10, 15};
}

QSizeF TextGraphic::maxSize() const
{
    return {30000, 30000};
}

void TextGraphic::setBounds(const QRectF& bounds)
{
    const QSizeF least = minSize();
    Graphic::setBounds(QRectF(bounds.x(), bounds.y(), std::max(bounds.width(), least.width()),
                              std::max(bounds.height(), least.height())));
}

int TextGraphic::resizeByMovingKnob(int knob, const QPointF& point, Qt::KeyboardModifiers modifiers)
{
    const QSizeF least = minSize();
    const QRectF before = bounds();
    const double x = before.x();
    const double y = before.y();
    const double w = before.width();
    const double h = before.height();
    QPointF moved = point;
    if (isLeftKnob(knob)) {
        if (x + w - moved.x() < least.width())
            moved.setX(x + w - least.width());
    } else if (isRightKnob(knob)) {
        if (moved.x() - x < least.width())
            moved.setX(x + least.width());
    }
    if (isUpperKnob(knob)) {
        if (y + h - moved.y() < least.height())
            moved.setY(y + h - least.height());
    } else if (isLowerKnob(knob)) {
        if (moved.y() - y < least.height())
            moved.setY(y + least.height());
    }
    knob = resizeBoundsByMovingKnob(knob, moved);
    // Option asks for the natural size, which text has not.
    if (modifiers & controlKey)
        setBounds(centredOn(bounds(), before));
    return knob;
}

void TextGraphic::writePropertyList(PlistDictionary& dictionary) const
{
    // A placeholder's text is rebuilt from its own keys when read.
    if (!m_contents.archive.isEmpty())
        dictionary.insert(kText, m_contents.archive);
}

void TextGraphic::loadPropertyListRepresentation(const PlistDictionary& dictionary)
{
    Graphic::loadPropertyListRepresentation(dictionary);
    if (const std::optional<QByteArray> text = dataForKey(dictionary, kText);
        text && !text->isEmpty()) {
        Contents contents = m_contents;
        contents.archive = *text;
        contents.plainText.clear();
        setContents(contents);
    }
}
