#pragma once

#include "ArchivedFont.h"
#include "ArchivedTextStorage.h"
#include "Graphic.h"

#include <QSizeF>

class QTextDocument;

// Free rich text on the design, and the base of the address and field placeholders.
class TextGraphic : public Graphic {
public:
    TextGraphic();
    ~TextGraphic() override;

    std::shared_ptr<Graphic> copy() const override;
    QString graphicType() const override;

    // The text, kept as the archive it was read from until it changes.
    const ArchivedTextStorage& contents() const { return m_contents; }
    // The graphic's own text document, which the in-place editor edits. Laid out in
    // points, without a margin.
    QTextDocument& document() const { return *m_contents.document(); }
    // Undoable; the same text again changes nothing.
    void setContents(const ArchivedTextStorage& contents);
    // An edit of the document in place, from here on, ends as one undoable change.
    void startContentsEditing();
    void stopContentsEditing();
    bool isEditingContents() const { return m_textBeforeEditing != nullptr; }

    virtual QSizeF minSize() const;
    virtual QSizeF maxSize() const;
    // The size the text needs when its lines may be at most that wide; never below the
    // minimum size.
    QSizeF requiredSize(float maximumWidth) const;
    // Where the text starts right of the bounds' left edge.
    virtual double horizontalTextOffset() const { return 0; }

    // The fill, then the text at its point size clipped to the bounds (or, while the
    // in-place editor shows it, a frame around it), then the outline and handles.
    void drawInView(QPainter& painter, bool isSelected, bool isDraft) const override;

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
    // A placeholder's text in one font and colour, replacing the contents without undo;
    // clipped lines or wrapped ones.
    void setPlaceholderContents(const QString& text, const ArchivedFont& font,
                                const ArchivedColor& color, bool clips);

private:
    void replaceContents(ArchivedTextStorage contents);

    ArchivedTextStorage m_contents;
    // The text as it was when an in-place edit began.
    std::unique_ptr<ArchivedTextStorage> m_textBeforeEditing;
};
