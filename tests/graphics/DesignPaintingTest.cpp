#include "DesignPainting.h"
#include "ImageGraphic.h"
#include "GraphicTesting.h"
#include "PointPainting.h"
#include "RectangleGraphic.h"
#include "TextGraphic.h"

#include <QImage>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>

namespace {

QImage paintedAt(int dpi, QSizeF points, const GraphicList& graphics, bool draft, bool envelope)
{
    const double scale = dpi / PointPainting::pointsPerInch;
    QImage image(qRound(points.width() * scale), qRound(points.height() * scale),
                 QImage::Format_ARGB32);
    const int dotsPerMeter = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::black);
    QPainter painter(&image);
    PointPainting::scaleToPoints(painter);
    paintDesign(painter, QRectF(QPointF(), points), graphics, draft, envelope);
    return image;
}

std::shared_ptr<RectangleGraphic> filled(const QRectF& bounds, const ArchivedColor& color)
{
    auto rectangle = std::make_shared<RectangleGraphic>();
    rectangle->setBounds(bounds);
    rectangle->setFillColor(color);
    rectangle->setDrawsStroke(false);
    return rectangle;
}

const ArchivedColor red = ArchivedColor::calibratedRgb(1, 0, 0);
const ArchivedColor blue = ArchivedColor::calibratedRgb(0, 0, 1);

} // namespace

class DesignPaintingTest : public GraphicTest {};

TEST_F(DesignPaintingTest, OverlappingGraphics_IndexZeroIsOnTop)
{
    const GraphicList graphics{filled({10, 10, 40, 40}, red), filled({30, 30, 40, 40}, blue)};
    const QImage image = paintedAt(72, {100, 100}, graphics, false, false);
    EXPECT_EQ(image.pixelColor(40, 40), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(60, 60), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(90, 5), QColor(Qt::white));
}

TEST_F(DesignPaintingTest, DraftOutline_EnvelopeCornerGreyLabelCornerWhite)
{
    const QRgb grey = QColor::fromRgbF(0.5f, 0.5f, 0.5f).rgb();
    const QImage envelope = paintedAt(72, {100, 60}, {}, true, true);
    const QImage label = paintedAt(72, {100, 60}, {}, true, false);
    const QImage plain = paintedAt(72, {100, 60}, {}, false, true);
    EXPECT_EQ(envelope.pixel(0, 0), grey);
    EXPECT_EQ(label.pixelColor(0, 0), QColor(Qt::white));
    EXPECT_EQ(label.pixel(50, 0), grey);
    EXPECT_EQ(plain.pixelColor(0, 0), QColor(Qt::white));
}

TEST_F(DesignPaintingTest, Images_ScaledIntoTheirBounds_AnUndecodableOneGrey)
{
    QImage green(4, 4, QImage::Format_ARGB32);
    green.fill(Qt::green);
    auto picture = std::make_shared<ImageGraphic>();
    picture->setImage(ArchivedImage::fromData(ArchivedImage::encode(green, QSizeF(4, 4))));
    picture->setBounds(QRectF(10, 10, 40, 20));
    auto broken = std::make_shared<ImageGraphic>();
    broken->setImage(QByteArray("not an archive"));
    broken->setBounds(QRectF(60, 10, 20, 20));
    ASSERT_TRUE(picture->isDecodable());
    ASSERT_FALSE(broken->isDecodable());

    const QImage image = paintedAt(72, {100, 50}, {picture, broken}, false, false);
    EXPECT_EQ(image.pixelColor(12, 12), QColor(Qt::green));
    EXPECT_EQ(image.pixelColor(47, 27), QColor(Qt::green));
    EXPECT_EQ(image.pixelColor(52, 12), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(70, 20), QColor(191, 191, 191));
}

TEST_F(DesignPaintingTest, Text_KeepsItsPointSizeAt300Dpi)
{
    auto text = std::make_shared<TextGraphic>();
    text->setBounds(QRectF(0, 0, 200, 40));
    QTextCursor(&text->document()).insertText(QStringLiteral("WWWWWW"));
    const auto inkWidth = [](const QImage& image) {
        int left = image.width(), right = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 128) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        return right - left + 1;
    };
    const double low = inkWidth(paintedAt(72, {200, 40}, {text}, false, false));
    const double high = inkWidth(paintedAt(300, {200, 40}, {text}, false, false));
    ASSERT_GT(low, 20);
    EXPECT_NEAR(high / low, 300 / 72.0, 0.25);
}

TEST_F(DesignPaintingTest, SameSceneAt300Dpi_SameProportions)
{
    const GraphicList graphics{filled({20, 10, 30, 20}, red)};
    const QImage low = paintedAt(72, {100, 50}, graphics, false, false);
    const QImage high = paintedAt(300, {100, 50}, graphics, false, false);
    const auto redWidth = [](const QImage& image, int row) {
        int count = 0;
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, row) == QColor(Qt::red);
        return count;
    };
    EXPECT_EQ(redWidth(low, 20), 30);
    EXPECT_NEAR(redWidth(high, 83), 30 * 300 / 72.0, 1);
    EXPECT_EQ(high.pixelColor(qRound(19 * 300 / 72.0), 83), QColor(Qt::white));
}
