#include "ImageGraphic.h"

#include <QPainter>

#include "GraphicView.h"
#include "StringFormat.h"

namespace {
const QString kImage = QStringLiteral("Image");
const QString kOriginalWidth = QStringLiteral("OriginalWidth");
const QString kOriginalHeight = QStringLiteral("OriginalHeight");
} // namespace

std::shared_ptr<Graphic> ImageGraphic::copy() const
{
    return copyAs<ImageGraphic>();
}

void ImageGraphic::copyInto(Graphic& copy) const
{
    Graphic::copyInto(copy);
    auto& image = static_cast<ImageGraphic&>(copy);
    image.setImage(m_image);
    image.setOriginalSize(m_originalSize);
}

QString ImageGraphic::graphicType() const
{
    return QStringLiteral("ImageGraphic");
}

void ImageGraphic::setImage(const ArchivedImage& image)
{
    QByteArray data = image.toData();
    if (data == m_imageData)
        return;
    registerUndo<ImageGraphic>([old = m_image](ImageGraphic& graphic) { graphic.setImage(old); });
    m_image = image;
    m_imageData = std::move(data);
    didChange();
}

void ImageGraphic::setImage(const QByteArray& data)
{
    setImage(data.isEmpty() ? ArchivedImage() : ArchivedImage::fromData(data));
}

void ImageGraphic::drawInView(QPainter& painter, bool isSelected, bool isDraft) const
{
    if (hasImage()) {
        if (!isDecodable()) {
            // A picture we cannot decode still shows where it lies.
            painter.fillRect(bounds(), QColor(191, 191, 191));
        } else {
            painter.save();
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(bounds(), m_image.image());
            painter.restore();
        }
    }
    Graphic::drawInView(painter, isSelected, isDraft);
}

void ImageGraphic::setOriginalSize(const QSizeF& size)
{
    m_originalSize = size;
    m_originalWidth = narrowed(size.width());
    m_originalHeight = narrowed(size.height());
}

unsigned ImageGraphic::knobMask() const
{
    return knobBit(UpperLeftKnob) | knobBit(UpperRightKnob) | knobBit(LowerLeftKnob) |
           knobBit(LowerRightKnob);
}

void ImageGraphic::makeNaturalSize()
{
    if (!hasImage())
        return;
    const QRectF natural(bounds().topLeft(), m_originalSize);
    m_originalBounds = natural;
    setBounds(natural);
    if (GraphicView* view = designView()) {
        const QSizeF viewSize = view->boundsSize();
        if (viewSize.width() < m_originalSize.width() ||
            viewSize.height() < m_originalSize.height())
            placeInUpperLeft();
    }
    didChange();
}

void ImageGraphic::placeInUpperLeft()
{
    const QRectF current = bounds();
    setBounds(
        QRectF(0, m_originalSize.height() - current.height(), current.width(), current.height()));
}

void ImageGraphic::shrinkToFit()
{
    GraphicView* view = designView();
    if (!hasImage() || !view)
        return;
    const QRectF current = bounds();
    const QSizeF viewSize = view->boundsSize();
    double w = current.width();
    double h = current.height();
    const double excessX = w - viewSize.width();
    const double excessY = h - viewSize.height();
    if ((excessX <= 0 && excessY <= 0) || w <= 0 || h <= 0)
        return;
    const double ratio = w / h;
    if (excessX > excessY) {
        w = viewSize.width() - 10;
        h = w / ratio;
    } else {
        h = viewSize.height() - 10;
        w = ratio * h;
    }
    setBounds(QRectF(5, 5, w, h));
    didChange();
}

void ImageGraphic::handleCancel()
{
    setBounds(m_originalBounds);
    didChange();
    if (GraphicView* view = designView())
        view->invalidateGraphic(*this);
}

int ImageGraphic::resizeByMovingKnob(int knob, const QPointF& point,
                                     Qt::KeyboardModifiers modifiers)
{
    const QRectF before = bounds();
    QRectF resized;
    knob = knobMovedToPoint(knob, point, &resized);
    // Never beyond the picture's own size.
    QSizeF size(std::min(resized.width(), double(m_originalWidth)),
                std::min(resized.height(), double(m_originalHeight)));
    if (!(modifiers & optionKey))
        size = constrainProportions(size);
    resized = placedByKnob(resized, size, knob);
    if (modifiers & controlKey)
        resized = centredOn(resized, before);
    setBounds(resized);
    return knob;
}

QSizeF ImageGraphic::constrainProportions(const QSizeF& size) const
{
    // Without a size of its own the picture has no proportions to keep.
    if (!(m_originalWidth > 0) || !(m_originalHeight > 0))
        return size;
    const float ratio = m_originalWidth / m_originalHeight;
    const float w = narrowed(size.width());
    const float h = narrowed(size.height());
    return w > h ? QSizeF(w, w / ratio) : QSizeF(ratio * h, h);
}

QRectF ImageGraphic::placedByKnob(const QRectF& dragged, const QSizeF& size, int knob)
{
    // The corner across from the knob stays where the drag left it.
    const double x = isLeftKnob(knob) ? dragged.right() - size.width() : dragged.x();
    const double y = isUpperKnob(knob) ? dragged.bottom() - size.height() : dragged.y();
    return QRectF(QPointF(x, y), size);
}

void ImageGraphic::writePropertyList(PlistDictionary& dictionary) const
{
    if (hasImage())
        dictionary.insert(kImage, m_imageData);
    dictionary.insert(kOriginalWidth, stringWithFormat(QStringLiteral("%.2f"), m_originalWidth));
    dictionary.insert(kOriginalHeight, stringWithFormat(QStringLiteral("%.2f"), m_originalHeight));
}

void ImageGraphic::loadPropertyListRepresentation(const PlistDictionary& dictionary)
{
    Graphic::loadPropertyListRepresentation(dictionary);
    if (const std::optional<QByteArray> image = dataForKey(dictionary, kImage))
        setImage(*image);
    const std::optional<float> width = floatForKey(dictionary, kOriginalWidth);
    const std::optional<float> height = floatForKey(dictionary, kOriginalHeight);
    QSizeF size(100, 100);
    if (width && height) {
        setOriginalSize(QSizeF(*width, *height));
        size = m_originalSize;
    }
    m_originalBounds = QRectF(bounds().topLeft(), size);
}
