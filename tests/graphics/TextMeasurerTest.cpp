#include "ArchivedFont.h"
#include "GraphicTesting.h"
#include "PointTextMeasurer.h"

TEST(TextMeasurerTest, PointDevice_MeasuresInPointsProportionalToTheSize)
{
    const PointTextMeasurer measurer;
    const ArchivedFont twelve(QStringLiteral("Helvetica"), 12);
    const ArchivedFont twentyFour(QStringLiteral("Helvetica"), 24);
    const float line = measurer.heightOfString(QStringLiteral("Tg"), twelve);
    // A 12-point font's line is about 12 to 16 points, whatever the screen's resolution.
    EXPECT_GT(line, 11);
    EXPECT_LT(line, 18);
    EXPECT_NEAR(measurer.heightOfString(QStringLiteral("Tg"), twentyFour) / line, 2, 0.2);

    const float hello = measurer.widthOfString(QStringLiteral("Hello"), twelve);
    EXPECT_GT(hello, 15);
    EXPECT_LT(hello, 45);
    EXPECT_NEAR(measurer.widthOfString(QStringLiteral("HelloHello"), twelve) / hello, 2, 0.05);
    EXPECT_NEAR(measurer.widthOfString(QStringLiteral("Hello"), twentyFour) / hello, 2, 0.2);
    EXPECT_EQ(measurer.widthOfString(QString(), twelve), 0);
}

TEST(TextMeasurerTest, Shared_IsThePointDeviceUnlessOneIsInstalled)
{
    const ArchivedFont font(QStringLiteral("Helvetica"), 12);
    const float device = PointTextMeasurer().heightOfString(QStringLiteral("Tg"), font);
    EXPECT_EQ(TextMeasurer::shared().heightOfString(QStringLiteral("Tg"), font), device);
    const FakeTextMeasurer fake;
    TextMeasurer::setShared(&fake);
    EXPECT_EQ(TextMeasurer::shared().heightOfString(QStringLiteral("Tg"), font), 14);
    TextMeasurer::setShared(nullptr);
    EXPECT_EQ(TextMeasurer::shared().heightOfString(QStringLiteral("Tg"), font), device);
}
