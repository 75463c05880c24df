#include "ArchivedImage.h"

#include "SystemLog.h"
#include "TypedStreamReader.h"
#include "TypedStreamWriter.h"

#include <QBuffer>
#include <QImageWriter>

#include <set>

namespace {

const QByteArray SizeEncoding = QByteArrayLiteral("{_NSSize=ff}");

bool isTiff(const QByteArray& data)
{
    return data.startsWith(QByteArrayView("II*\0", 4)) ||
           data.startsWith(QByteArrayView("MM\0*", 4));
}

std::shared_ptr<TypedStreamObject> object(QList<TypedStreamClass> classes, TypedStreamGroups groups)
{
    return std::make_shared<TypedStreamObject>(std::move(classes), std::move(groups));
}

// The first TIFF data among the values, depth first: a representation keeps its data
// in a data object, which the image may hold in an array.
class TiffSearch {
public:
    const QByteArray* inValues(const std::vector<TypedStreamValue>& values)
    {
        for (const TypedStreamValue& value : values) {
            if (const QByteArray* found = inValue(value))
                return found;
        }
        return nullptr;
    }

private:
    const QByteArray* inValue(const TypedStreamValue& value)
    {
        switch (value.kind()) {
        case TypedStreamValue::Kind::Bytes:
            return isTiff(value.data()) ? &value.data() : nullptr;
        case TypedStreamValue::Kind::Compound:
            return inValues(value.elements());
        case TypedStreamValue::Kind::Object:
            if (!m_seen.insert(value.object().get()).second)
                return nullptr;
            for (const TypedStreamGroup& group : value.object()->groups) {
                if (const QByteArray* found = inValues(group.values))
                    return found;
            }
            return nullptr;
        default:
            return nullptr;
        }
    }

    std::set<const TypedStreamObject*> m_seen;
};

struct Decoded {
    QImage image;
    QSizeF size;
};

std::optional<Decoded> decode(const QByteArray& data, QString* problem)
{
    const TypedStreamReadResult read = TypedStreamReader::read(data);
    if (!read.ok()) {
        *problem = read.error->toString();
        return std::nullopt;
    }
    const std::shared_ptr<TypedStreamObject> root = typedStreamRootObject(read.groups);
    if (!root || !root->isKindOf("NSImage")) {
        *problem = QStringLiteral("no image");
        return std::nullopt;
    }
    const QByteArray* tiff = TiffSearch().inValues({TypedStreamValue::object(root)});
    if (!tiff) {
        *problem = QStringLiteral("image without a TIFF representation");
        return std::nullopt;
    }
    Decoded decoded;
    if (!decoded.image.loadFromData(*tiff, "TIFF")) {
        *problem = QStringLiteral("TIFF representation not readable");
        return std::nullopt;
    }
    decoded.size = decoded.image.size();
    for (const TypedStreamGroup& group : root->groups) {
        if (group.encoding != SizeEncoding || group.values.size() != 1)
            continue;
        const std::vector<TypedStreamValue>& sides = group.values.front().elements();
        if (sides.size() == 2 && sides[0].realValue() > 0 && sides[1].realValue() > 0)
            decoded.size = QSizeF(sides[0].realValue(), sides[1].realValue());
        break;
    }
    return decoded;
}

QByteArray tiffOf(const QImage& image)
{
    QByteArray tiff;
    QBuffer buffer(&tiff);
    buffer.open(QIODevice::WriteOnly);
    // TIFF refuses a resolution below zero, which a damaged picture may have read with;
    // the archive's size in points is what counts.
    QImage written = image;
    constexpr int pointsPerMetre = 2835; // 72 per inch
    if (written.dotsPerMeterX() <= 0)
        written.setDotsPerMeterX(pointsPerMetre);
    if (written.dotsPerMeterY() <= 0)
        written.setDotsPerMeterY(pointsPerMetre);
    QImageWriter writer(&buffer, "tiff");
    if (!writer.write(written)) {
        SystemLog::log(QStringLiteral("Image not archived: %1").arg(writer.errorString()));
        return {};
    }
    return tiff;
}

} // namespace

ArchivedImage::ArchivedImage(const QImage& image, QSizeF size)
    : m_image(image), m_size(size.isEmpty() ? QSizeF(image.size()) : size)
{
}

ArchivedImage ArchivedImage::fromData(const QByteArray& data)
{
    ArchivedImage archived;
    archived.m_originalData = data;
    QString problem;
    if (std::optional<Decoded> decoded = decode(data, &problem)) {
        archived.m_image = std::move(decoded->image);
        archived.m_size = decoded->size;
    } else {
        archived.m_error = problem;
        SystemLog::log(QStringLiteral("Archived image not decoded: %1").arg(problem));
    }
    return archived;
}

QByteArray ArchivedImage::toData() const
{
    if (m_originalData)
        return *m_originalData;
    return m_image.isNull() ? QByteArray() : encode(m_image, m_size);
}

QByteArray ArchivedImage::encode(const QImage& image, QSizeF size)
{
    const QByteArray tiff = tiffOf(image);
    if (tiff.isEmpty())
        return {};
    const auto data =
        object({{"NSData", 0}, {"NSObject", 0}},
               {{"i", {TypedStreamValue::integer(tiff.size())}},
                {"[" + QByteArray::number(tiff.size()) + "c]", {TypedStreamValue::bytes(tiff)}}});
    const auto bitmap = object({{"NSBitmapImageRep", 0}, {"NSImageRep", 0}, {"NSObject", 0}},
                               {{"@", {TypedStreamValue::object(data)}}});
    const auto representations =
        object({{"NSArray", 0}, {"NSObject", 0}},
               {{"i", {TypedStreamValue::integer(1)}}, {"@", {TypedStreamValue::object(bitmap)}}});
    const auto root =
        object({{"NSImage", 0}, {"NSObject", 0}},
               {{SizeEncoding,
                 {TypedStreamValue::compound({TypedStreamValue::real(size.width()),
                                              TypedStreamValue::real(size.height())})}},
                {"@", {TypedStreamValue::object(representations)}}});
    return TypedStreamWriter::toBytes({{"@", {TypedStreamValue::object(root)}}});
}
