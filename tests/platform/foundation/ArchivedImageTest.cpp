#include "ArchivedImage.h"
#include "SystemLog.h"
#include "TypedStreamFixtures.h"
#include "TypedStreamReader.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

#include <gtest/gtest.h>

using namespace TypedStreamFixtures;

namespace {

std::shared_ptr<TypedStreamObject> object(QList<TypedStreamClass> classes, TypedStreamGroups groups)
{
    return std::make_shared<TypedStreamObject>(std::move(classes), std::move(groups));
}

// 3 x 2 pixels, each of its own colour, one of them half transparent.
QImage knownPixels()
{
    QImage image(3, 2, QImage::Format_ARGB32);
    const QRgb pixels[2][3] = {
        {qRgba(255, 0, 0, 255), qRgba(0, 255, 0, 255), qRgba(0, 0, 255, 255)},
        {qRgba(255, 255, 255, 255), qRgba(0, 0, 0, 255), qRgba(10, 20, 30, 128)}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x)
            image.setPixel(x, y, pixels[y][x]);
    }
    return image;
}

QByteArray tiffOf(const QImage& image)
{
    QByteArray tiff;
    QBuffer buffer(&tiff);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(QImageWriter(&buffer, "tiff").write(image));
    return tiff;
}

TypedStreamValue dataObject(const QByteArray& bytes)
{
    return objectValue(object(
        {{"NSData", 0}, {"NSObject", 0}},
        {{"i", {TypedStreamValue::integer(bytes.size())}},
         {"[" + QByteArray::number(bytes.size()) + "c]", {TypedStreamValue::bytes(bytes)}}}));
}

TypedStreamGroup size(double width, double height)
{
    return {"{_NSSize=ff}",
            {TypedStreamValue::compound(
                {TypedStreamValue::real(width), TypedStreamValue::real(height)})}};
}

// An image whose flags and colour come before its size, and whose one bitmap
// representation carries its own fields before its data.
QByteArray imageArchive(const QByteArray& representationData)
{
    const auto bitmap =
        object({{"NSBitmapImageRep", 3}, {"NSImageRep", 1}, {"NSObject", 0}},
               {{"i", {TypedStreamValue::integer(8)}}, {"@", {dataObject(representationData)}}});
    return archive(object({{"NSImage", 1}, {"NSObject", 0}},
                          {{"I", {TypedStreamValue::integer(0x20)}},
                           {"@",
                            {objectValue(typedStreamRootObject(
                                TypedStreamReader::read(calibratedWhiteColor()).groups))}},
                           size(30, 20),
                           {"i", {TypedStreamValue::integer(1)}},
                           {"@", {objectValue(bitmap)}}}));
}

} // namespace

TEST(ArchivedImageTest, TiffPlugin_IsThere)
{
    EXPECT_TRUE(QImageReader::supportedImageFormats().contains("tiff"));
    EXPECT_TRUE(QImageWriter::supportedImageFormats().contains("tiff"));
}

TEST(ArchivedImageTest, KnownPixels_RoundTripThroughTiff)
{
    const QImage pixels = knownPixels();
    const QByteArray data = ArchivedImage(pixels, QSizeF(6, 4)).toData();
    ASSERT_FALSE(data.isEmpty());
    const ArchivedImage read = ArchivedImage::fromData(data);
    ASSERT_TRUE(read.isDecoded()) << read.error().toStdString();
    EXPECT_EQ(read.size(), QSizeF(6, 4));
    ASSERT_EQ(read.image().size(), QSize(3, 2));
    const QImage decoded = read.image().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(decoded.pixel(x, y), pixels.pixel(x, y)) << x << "," << y;
    }
    EXPECT_EQ(read.toData(), data);
    // Without a size of its own, an image is as many points as it has pixels.
    EXPECT_EQ(ArchivedImage::fromData(ArchivedImage(pixels).toData()).size(), QSizeF(3, 2));
}

TEST(ArchivedImageTest, PlatformArchive_DecodesAndWritesBackItsBytes)
{
    const QByteArray data = imageArchive(tiffOf(knownPixels()));
    const ArchivedImage read = ArchivedImage::fromData(data);
    ASSERT_TRUE(read.isDecoded()) << read.error().toStdString();
    EXPECT_EQ(read.size(), QSizeF(30, 20));
    EXPECT_EQ(read.image().convertToFormat(QImage::Format_ARGB32).pixel(2, 0),
              qRgba(0, 0, 255, 255));
    EXPECT_EQ(read.toData(), data);
}

TEST(ArchivedImageTest, Undecodable_FailsCleanlyAndKeepsItsBytes)
{
    const QByteArray good = imageArchive(tiffOf(knownPixels()));
    QImage png(2, 2, QImage::Format_RGB32);
    png.fill(Qt::red);
    QByteArray pngData;
    QBuffer buffer(&pngData);
    buffer.open(QIODevice::WriteOnly);
    png.save(&buffer, "PNG");
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"garbage", QByteArray("garbage")},
        {"truncated", good.left(good.size() / 2)},
        {"a colour", calibratedRgbColor()},
        {"an image without representations",
         archive(object({{"NSImage", 1}, {"NSObject", 0}}, {size(10, 10)}))},
        {"a representation that is not TIFF", imageArchive(pngData)},
        {"TIFF that does not read", imageArchive(bytes("II*\0 no directory here"))},
    };
    for (const auto& [name, data] : cases) {
        ScopedLogCapture log;
        const ArchivedImage read = ArchivedImage::fromData(data);
        EXPECT_FALSE(read.isDecoded()) << name;
        EXPECT_FALSE(read.error().isEmpty()) << name;
        EXPECT_TRUE(read.image().isNull()) << name;
        EXPECT_EQ(read.toData(), data) << name;
        EXPECT_EQ(log.lines().size(), 1) << name;
    }
}

#include "ArchivedValuesFuzzChecks.h"
#include "CorpusReplay.h"

TEST(ArchivedImageTest, FuzzCorpus_ReadsOrFailsCleanly)
{
    ScopedLogCapture quiet;
    replayCorpus(QStringLiteral("archived_image"), archivedImageHolds);
}
