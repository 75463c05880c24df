#pragma once

#include "TextGraphic.h"

// What the address and field placeholders share: text that stands for a record's
// content, in a font of its own, framed by its stroke and never filled.
class PlaceholderGraphic : public TextGraphic {
public:
    const ArchivedFont& font() const;
    // The text shown is shown in the new font.
    void setFont(const ArchivedFont& font);

    bool drawsFill() const override { return false; }
    bool drawsStroke() const override { return true; }
    bool canDrawStroke() const override { return true; }
    bool isEditable() const override { return false; }
    std::optional<QPainterPath> bezierPath() const override { return boundsPath(); }
    // A draft frames the text in the stroke colour before drawing it.
    void drawInView(QPainter& painter, bool isSelected, bool isDraft) const override;

protected:
    PlaceholderGraphic();

    // Shows the text in the font and colour, and frames it in that colour.
    void showPlaceholder(const QString& text, const ArchivedColor& color, bool clips);
    // The font as the file stores it; bytes that do not decode are kept.
    QByteArray fontArchive() const { return m_font.toArchive(); }
    void setFontArchive(const QByteArray& archive);
    // The smallest point size the page may shrink the text to: a stored size below 1 (what
    // a new graphic stores) counts as 8, as it would shrink to nothing.
    static float minimumSizeOrDefault(float stored) { return stored < 1 ? 8 : stored; }
    void copyInto(Graphic& copy) const override;

private:
    KeptArchive<ArchivedFont> m_font;
    ArchivedColor m_textColor;
    bool m_clips = false;
};
