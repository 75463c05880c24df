#pragma once

#include "PlaceholderGraphic.h"

// The place of one field's content: its name in the design, the record's value on the
// page. Always one line of its font high.
class FieldGraphic : public PlaceholderGraphic {
public:
    FieldGraphic();
    explicit FieldGraphic(const QString& text);

    std::shared_ptr<Graphic> copy() const override;
    QString graphicType() const override;

    static ArchivedColor placeholderColor();
    static const QString noFieldName;

    // "<none>" until a name is set; an empty name is stored as "<none>". Setting the name
    // leaves the text shown as it is.
    const QString& fieldName() const { return m_fieldName; }
    void setFieldName(const QString& name);
    // Shows the field name in the font, in blue, framed in blue.
    void showFieldName() { showPlaceholder(m_fieldName, placeholderColor(), false); }
    // 0 left, 1 centre, 2 right.
    qint64 fieldAlignment() const { return m_alignment; }
    void setFieldAlignment(qint64 alignment) { m_alignment = alignment; }
    // A whole number of points; the fraction is dropped. A stored size below 1 counts as 8.
    float minimumPointSize() const;
    void setMinimumPointSize(float size);

    // The line height of the font: the height of "Tg" + 2.
    float lineHeight() const;
    QSizeF minSize() const override;
    QSizeF maxSize() const override;
    // Right-aligned text ends 6 points inside the right edge; centred text sits halfway.
    double horizontalTextOffset() const override;
    void setBounds(const QRectF& bounds) override;
    int resizeByMovingKnob(int knob, const QPointF& point,
                           Qt::KeyboardModifiers modifiers) override;
    unsigned knobMask() const override;

    void loadPropertyListRepresentation(const PlistDictionary& dictionary) override;

protected:
    void writePropertyList(PlistDictionary& dictionary) const override;
    void copyInto(Graphic& copy) const override;

private:
    QString m_fieldName;
    qint64 m_alignment = 0;
    qint64 m_minimumPointSize = 0;
};
