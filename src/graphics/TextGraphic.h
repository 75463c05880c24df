#pragma once

#include "ArchivedFont.h"
#include "Graphic.h"

#include <QSizeF>

// Free rich text on the design, and the base of the address and field placeholders.
class TextGraphic : public Graphic {
public:
    // The text. Text read from a file stays its archived text storage, kept byte for byte;
    // a placeholder's text is a plain string in one font and colour.
    struct Contents {
        QByteArray archive;
        QString plainText;
        ArchivedFont font;
        ArchivedColor color;
        // Lines that do not fit are cut, not wrapped.
        bool clips = false;

        bool isEmpty() const { return archive.isEmpty() && plainText.isEmpty(); }
        bool operator==(const Contents& other) const;
    };

    TextGraphic();

    std::shared_ptr<Graphic> copy() const override;
    QString graphicType() const override;

    const Contents& contents() const { return m_contents; }
    // Undoable; the same text again changes nothing.
    void setContents(const Contents& contents);

    virtual QSizeF minSize() const;
    virtual QSizeF maxSize() const;

    // Never smaller than the minimum size.
    void setBounds(const QRectF& bounds) override;
    // Keeps at least the minimum size; with Control the centre stays.
    int resizeByMovingKnob(int knob, const QPointF& point,
                           Qt::KeyboardModifiers modifiers) override;

    bool drawsStroke() const override { return false; }
    bool canDrawStroke() const override { return false; }
    bool isEditable() const override { return true; }
    bool hasNaturalSize() const override { return false; }

    void loadPropertyListRepresentation(const PlistDictionary& dictionary) override;

    // The font where none is given: Helvetica, 12 points.
    static const ArchivedFont& defaultFont();

protected:
    void writePropertyList(PlistDictionary& dictionary) const override;
    void copyInto(Graphic& copy) const override;
    // A plain placeholder text, replacing the contents without undo.
    void setPlainContents(const QString& text, const ArchivedFont& font, const ArchivedColor& color,
                          bool clips);

private:
    Contents m_contents;
};
