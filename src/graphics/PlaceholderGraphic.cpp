#include "PlaceholderGraphic.h"

#include "ShownColor.h"

#include <QPainter>
#include <QTextDocument>

PlaceholderGraphic::PlaceholderGraphic() : m_font(defaultFont())
{
}

const ArchivedFont& PlaceholderGraphic::font() const
{
    return m_font.value() ? *m_font.value() : defaultFont();
}

void PlaceholderGraphic::setFont(const ArchivedFont& font)
{
    if (font == this->font())
        return;
    m_font.set(font);
    setPlaceholderContents(document().toPlainText(), font, m_textColor, m_clips);
}

void PlaceholderGraphic::setFontArchive(const QByteArray& archive)
{
    m_font = KeptArchive<ArchivedFont>::fromArchive(archive, defaultFont());
}

void PlaceholderGraphic::showPlaceholder(const QString& text, const ArchivedColor& color,
                                         bool clips)
{
    m_textColor = color;
    m_clips = clips;
    setPlaceholderContents(text, font(), color, clips);
    setStrokeColor(color);
    setStrokeLineWidth(0.5);
}

void PlaceholderGraphic::copyInto(Graphic& copy) const
{
    TextGraphic::copyInto(copy);
    auto& placeholder = static_cast<PlaceholderGraphic&>(copy);
    placeholder.m_font = m_font;
    placeholder.m_textColor = m_textColor;
    placeholder.m_clips = m_clips;
}

void PlaceholderGraphic::drawInView(QPainter& painter, bool isSelected, bool isDraft) const
{
    if (isDraft && strokeColor())
        painter.strokePath(boundsPath(), QPen(shownColor(*strokeColor()), strokeLineWidth()));
    TextGraphic::drawInView(painter, isSelected, isDraft);
}
