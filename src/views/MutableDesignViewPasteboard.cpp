// The canvas's clipboard, pictures and drops.
#include "MutableDesignView.h"

#include "ArchivedImage.h"
#include "Graphic.h"
#include "ImageGraphic.h"
#include "Pasteboard.h"
#include "PropertyList.h"
#include "StringFormat.h"

#include <QBuffer>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

const QString kGraphicsList = QStringLiteral("GraphicsList");
const QString kDrawDocumentVersion = QStringLiteral("DrawDocumentVersion");
const QString kColorType = QStringLiteral("application/x-color");
const QString kFileNamesType = QStringLiteral("text/uri-list");
constexpr QPointF cascadeStep{10, 10};
// Where a pasted image file lands.
constexpr QPointF pastedFilePoint{50, 50};
constexpr double pointsPerInch = 72;
constexpr double metresPerInch = 0.0254;

// The image types the pasteboard may offer, as MIME types.
const QStringList& imageTypes()
{
    static const QStringList types = [] {
        QStringList names;
        for (const QByteArray& type : QImageReader::supportedMimeTypes())
            names.append(QString::fromLatin1(type));
        return names;
    }();
    return types;
}

bool offersImage(const QMimeData* data)
{
    return data && (data->hasImage() || std::any_of(imageTypes().cbegin(), imageTypes().cend(),
                                                     [data](const QString& type) {
                                                         return data->hasFormat(type);
                                                     }));
}

QImage imageFrom(const QMimeData* data)
{
    if (data->hasImage()) {
        const QImage image = qvariant_cast<QImage>(data->imageData());
        if (!image.isNull())
            return image;
    }
    for (const QString& type : data->formats()) {
        if (!imageTypes().contains(type))
            continue;
        QImage image;
        if (image.loadFromData(data->data(type)))
            return image;
    }
    return {};
}

// The local files of a drag or the clipboard.
QStringList fileNames(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    return paths;
}

// The picture's size in points at its own resolution. A picture that says none (Qt gives
// it the screen's default) counts 72 dots an inch, one point a pixel. Files keep whole dots
// a metre, so a resolution within a twentieth of a whole number of dots an inch is that.
QSizeF sizeInPoints(const QImage& image)
{
    const int unknown = QImage(1, 1, QImage::Format_ARGB32).dotsPerMeterX();
    const auto points = [unknown](int pixels, int dotsPerMetre) {
        if (dotsPerMetre <= 0 || dotsPerMetre == unknown)
            return double(pixels);
        double dotsPerInch = dotsPerMetre * metresPerInch;
        if (std::abs(dotsPerInch - std::round(dotsPerInch)) < 0.05)
            dotsPerInch = std::round(dotsPerInch);
        return pixels * pointsPerInch / dotsPerInch;
    };
    return {points(image.width(), image.dotsPerMeterX()),
            points(image.height(), image.dotsPerMeterY())};
}

} // namespace

// ---- the clipboard's form ----

PlistDictionary MutableDesignView::drawDocumentDictionaryForGraphics(const GraphicList& graphics)
{
    PlistArray list;
    list.reserve(graphics.size());
    for (const std::shared_ptr<Graphic>& graphic : graphics)
        list.append(graphic->propertyListRepresentation());
    return PlistDictionary{{kGraphicsList, list},
                           {kDrawDocumentVersion, stringWithFormat(QStringLiteral("%d"), 1)}};
}

QByteArray MutableDesignView::drawDocumentDataForGraphics(const GraphicList& graphics)
{
    return propertyListBytes(drawDocumentDictionaryForGraphics(graphics), PlistFormat::OpenStep);
}

std::optional<PlistDictionary> MutableDesignView::drawDocumentDictionaryFromData(const QByteArray& data)
{
    // ASCII, as it was written: anything else is not ours.
    if (std::any_of(data.cbegin(), data.cend(), [](char c) { return uchar(c) >= 0x80; }))
        return std::nullopt;
    const PlistReadResult read = readOpenStepPropertyList(data);
    if (!read.ok() || !read.value.isDictionary())
        return std::nullopt;
    return *read.value.asDictionary();
}

GraphicList MutableDesignView::graphicsFromDrawDocumentDictionary(const PlistDictionary& dictionary)
{
    GraphicList graphics;
    const PlistValue list = dictionary.value(kGraphicsList);
    if (const PlistArray* entries = list.asArray())
        for (const PlistValue& entry : *entries)
            if (std::shared_ptr<Graphic> graphic = Graphic::graphicWithPropertyListRepresentation(entry))
                graphics.append(graphic);
    return graphics;
}

QImage MutableDesignView::imageForGraphics(const GraphicList& graphics)
{
    QRectF united;
    for (const std::shared_ptr<Graphic>& graphic : graphics)
        united = united.isNull() ? graphic->drawingBounds() : united.united(graphic->drawingBounds());
    const QSize size = united.size().toSize();
    if (united.isEmpty() || size.isEmpty())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.translate(-united.topLeft());
    for (auto it = graphics.crbegin(); it != graphics.crend(); ++it) {
        const Graphic& graphic = **it;
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setClipRect(graphic.drawingBounds(), Qt::IntersectClip);
        graphic.drawInView(painter, false, true);
        painter.restore();
    }
    return image;
}

QByteArray MutableDesignView::TIFFRepresentationForGraphics(const GraphicList& graphics)
{
    const QImage image = imageForGraphics(graphics);
    if (image.isNull())
        return {};
    QByteArray tiff;
    QBuffer buffer(&tiff);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    if (!writer.canWrite() || !writer.write(image))
        return {};
    return tiff;
}

// ---- copy, cut, paste ----

bool MutableDesignView::validateClipboardAction(const QString& selector) const
{
    if (selector == QLatin1String("copy:") || selector == QLatin1String("cut:"))
        return !m_selectedGraphics.isEmpty();
    return selector == QLatin1String("paste:");
}

void MutableDesignView::copy()
{
    const GraphicList graphics = orderedSelectedGraphics();
    if (graphics.isEmpty())
        return;
    auto* data = new QMimeData;
    data->setData(Pasteboard::DesignPboardType, drawDocumentDataForGraphics(graphics));
    // For other programs: PNG and the other forms Qt offers, and TIFF where it writes it.
    const QImage image = imageForGraphics(graphics);
    if (!image.isNull()) {
        data->setImageData(image);
        const QByteArray tiff = TIFFRepresentationForGraphics(graphics);
        if (!tiff.isEmpty())
            data->setData(Pasteboard::TiffType, tiff);
    }
    Pasteboard::setData(data);
    m_pasteboardChangeCount = Pasteboard::changeCount();
    m_pasteCascadeNumber = 1;
    m_pasteCascadeDelta = cascadeStep;
}

void MutableDesignView::cut()
{
    copy();
    removeSelectedGraphics(QStringLiteral("Cut"));
}

void MutableDesignView::paste()
{
    const QMimeData* data = Pasteboard::data();
    if (!data)
        return;
    if (data->hasFormat(Pasteboard::DesignPboardType)) {
        const std::optional<PlistDictionary> dictionary =
            drawDocumentDictionaryFromData(data->data(Pasteboard::DesignPboardType));
        const GraphicList graphics =
            dictionary ? graphicsFromDrawDocumentDictionary(*dictionary) : GraphicList();
        if (graphics.isEmpty())
            return;
        if (Pasteboard::changeCount() != m_pasteboardChangeCount) {
            // New contents: the first paste lands where they were copied.
            m_pasteboardChangeCount = Pasteboard::changeCount();
            m_pasteCascadeNumber = 0;
            m_pasteCascadeDelta = cascadeStep;
        }
        const QPointF delta = m_pasteCascadeDelta;
        clearSelection();
        for (auto it = graphics.crbegin(); it != graphics.crend(); ++it) {
            const std::shared_ptr<Graphic>& graphic = *it;
            if (m_pasteCascadeNumber > 0)
                graphic->moveBy(delta.x() * m_pasteCascadeNumber, delta.y() * m_pasteCascadeNumber);
            insertGraphic(graphic, 0);
            selectGraphic(graphic);
        }
        ++m_pasteCascadeNumber;
        // The selection changes reset the step.
        m_pasteCascadeDelta = delta;
        setActionName(QStringLiteral("Paste"));
        return;
    }
    if (data->hasUrls()) {
        const QStringList paths = fileNames(data);
        if (paths.size() == 1 && makeNewImageFromContentsOfFile(paths.front(), pastedFilePoint))
            setActionName(QStringLiteral("Paste"));
        return;
    }
    if (makeNewImageFromPasteboard(data, QPointF()))
        setActionName(QStringLiteral("Paste"));
}

// ---- pictures ----

bool MutableDesignView::makeNewImageFromPasteboard(const QMimeData* pasteboard, const QPointF&)
{
    if (!offersImage(pasteboard))
        return false;
    const QImage image = imageFrom(pasteboard);
    if (image.isNull())
        return false;
    // One point a pixel on the canvas; the picture's own size is kept as its original size.
    const QSizeF pixels(image.size());
    auto graphic = std::make_shared<ImageGraphic>();
    graphic->setOriginalSize(sizeInPoints(image));
    graphic->setBounds(QRectF(QPointF(0, 0), pixels));
    graphic->setOriginalBounds(QRectF(QPointF(0, 0), pixels));
    graphic->setImage(ArchivedImage(image, pixels));
    insertGraphic(graphic, 0);
    graphic->placeInUpperLeft();
    clearSelection();
    selectGraphic(graphic);
    graphic->shrinkToFit();
    return true;
}

bool MutableDesignView::makeNewImageFromContentsOfFile(const QString& path, const QPointF& point)
{
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    if (suffix.isEmpty() || !QImageReader::supportedImageFormats().contains(suffix))
        return false;
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    const QSizeF size = sizeInPoints(image);
    auto graphic = std::make_shared<ImageGraphic>();
    graphic->setOriginalSize(size);
    graphic->setBounds(QRectF(point, size));
    graphic->setOriginalBounds(QRectF(point, size));
    graphic->setImage(ArchivedImage(image, size));
    insertGraphic(graphic, 0);
    clearSelection();
    selectGraphic(graphic);
    graphic->shrinkToFit();
    return true;
}

// ---- drops ----

QStringList MutableDesignView::registeredDraggedTypes()
{
    return QStringList{kColorType, kFileNamesType, QStringLiteral("application/x-qt-image")} +
           imageTypes();
}

Qt::DropAction MutableDesignView::dragOperationForDraggingInfo(const QMimeData* info,
                                                               const QPointF& point) const
{
    const QStringList registered = registeredDraggedTypes();
    if (!info || std::none_of(registered.cbegin(), registered.cend(),
                              [info](const QString& type) { return info->hasFormat(type); }))
        return Qt::IgnoreAction;
    if (info->hasColor() && graphicUnderPoint(point))
        return Qt::MoveAction;
    if (info->hasUrls())
        return Qt::CopyAction;
    return offersImage(info) ? Qt::CopyAction : Qt::IgnoreAction;
}

void MutableDesignView::concludeDragOperation(const QMimeData* info, const QPointF& point)
{
    if (!info)
        return;
    if (info->hasColor()) {
        if (const std::shared_ptr<Graphic> graphic = graphicUnderPoint(point)) {
            const QColor rgb = qvariant_cast<QColor>(info->colorData()).toRgb();
            graphic->setFillColor(ArchivedColor::calibratedRgb(rgb.redF(), rgb.greenF(), rgb.blueF(), 1));
            setActionName(QStringLiteral("Set Fill Color"));
        }
        return;
    }
    if (info->hasUrls()) {
        const QStringList paths = fileNames(info);
        if (paths.size() == 1)
            makeNewImageFromContentsOfFile(paths.front(), point);
        return;
    }
    // No drag here says where its picture lies: it is taken to lie at the drop point.
    makeNewImageFromPasteboard(info, point);
}

void MutableDesignView::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void MutableDesignView::dragMoveEvent(QDragMoveEvent* event)
{
    const Qt::DropAction action = dragOperationForDraggingInfo(event->mimeData(), event->position());
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void MutableDesignView::dragLeaveEvent(QDragLeaveEvent* event)
{
    draggingExited();
    event->accept();
}

void MutableDesignView::dropEvent(QDropEvent* event)
{
    const Qt::DropAction action = dragOperationForDraggingInfo(event->mimeData(), event->position());
    if (action == Qt::IgnoreAction || !prepareForDragOperation() || !performDragOperation()) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
    concludeDragOperation(event->mimeData(), event->position());
}
