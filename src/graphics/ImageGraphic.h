#pragma once

#include "ArchivedImage.h"
#include "Graphic.h"

#include <QSizeF>

// A picture pasted or dropped on the design. It is never enlarged beyond its own size
// and keeps its proportions unless Option is held.
class ImageGraphic : public Graphic {
public:
    std::shared_ptr<Graphic> copy() const override;
    QString graphicType() const override;

    // The picture, decoded once.
    const ArchivedImage& image() const { return m_image; }
    // The archived picture as the file stores it, kept byte for byte; empty for none.
    const QByteArray& imageData() const { return m_imageData; }
    // Undoable.
    void setImage(const ArchivedImage& image);
    // The picture archived in the data; data that does not decode is kept all the same.
    void setImage(const QByteArray& data);
    bool hasImage() const { return !m_imageData.isEmpty(); }
    // Whether there is a picture to show; one that does not decode shows as a grey box.
    bool isDecodable() const { return m_image.isDecoded() && !m_image.image().isNull(); }

    QSizeF originalSize() const { return m_originalSize; }
    void setOriginalSize(const QSizeF& size);
    float originalWidth() const { return m_originalWidth; }
    float originalHeight() const { return m_originalHeight; }
    QRectF originalBounds() const override { return m_originalBounds; }
    void setOriginalBounds(const QRectF& bounds) { m_originalBounds = bounds; }

    // The picture at its own size; into the upper left when the view is smaller.
    void makeNaturalSize() override;
    // A picture larger than the view shrinks, proportions kept, to 5 points inside it.
    void shrinkToFit();
    void placeInUpperLeft();
    // Back to the bounds at its own size.
    void handleCancel() override;

    int resizeByMovingKnob(int knob, const QPointF& point,
                           Qt::KeyboardModifiers modifiers) override;
    // The size at the picture's proportions: the larger side kept.
    QSizeF constrainProportions(const QSizeF& size) const;

    // The picture scaled into the bounds; a grey box for one that does not decode.
    void drawInView(QPainter& painter, bool isSelected, bool isDraft) const override;

    bool drawsStroke() const override { return false; }
    bool canDrawStroke() const override { return false; }
    unsigned knobMask() const override;

    void loadPropertyListRepresentation(const PlistDictionary& dictionary) override;

protected:
    void writePropertyList(PlistDictionary& dictionary) const override;
    void copyInto(Graphic& copy) const override;

private:
    // The size placed against the corner of the dragged rectangle across from the knob.
    static QRectF placedByKnob(const QRectF& dragged, const QSizeF& size, int knob);

    ArchivedImage m_image;
    QByteArray m_imageData;
    QSizeF m_originalSize{0, 0};
    float m_originalWidth = 0;
    float m_originalHeight = 0;
    QRectF m_originalBounds;
};
