#include "PlaceholderGraphic.h"

PlaceholderGraphic::PlaceholderGraphic() : m_font(defaultFont())
{
}

const ArchivedFont& PlaceholderGraphic::font() const
{
    return m_font.value() ? *m_font.value() : defaultFont();
}

void PlaceholderGraphic::setFont(const ArchivedFont& font)
{
    m_font.set(font);
}

void PlaceholderGraphic::setFontArchive(const QByteArray& archive)
{
    m_font = KeptArchive<ArchivedFont>::fromArchive(archive, defaultFont());
}

void PlaceholderGraphic::showPlaceholder(const QString& text, const ArchivedColor& color,
                                         bool clips)
{
    setPlainContents(text, font(), color, clips);
    setStrokeColor(color);
    setStrokeLineWidth(0.5);
}

void PlaceholderGraphic::copyInto(Graphic& copy) const
{
    TextGraphic::copyInto(copy);
    static_cast<PlaceholderGraphic&>(copy).m_font = m_font;
}
