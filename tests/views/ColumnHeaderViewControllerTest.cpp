#include "ColumnHeaderViewController.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

TEST(ColumnHeaderViewTest, SectionBackground_DarkensFromTheEdgesToTheMiddle)
{
    QImage image(40, 42, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    ColumnHeaderViewController::drawSectionBackground(painter, QRectF(0, 0, 40, 42), 1.0);
    painter.end();
    const auto whiteAt = [&](int y) { return qRed(image.pixel(20, y)); };
    EXPECT_EQ(whiteAt(0), qRound(0.7 * 255));   // the frame
    EXPECT_EQ(whiteAt(1), qRound(0.95 * 255));  // the outermost band
    EXPECT_EQ(whiteAt(21), qRound(0.86 * 255)); // the innermost band, in the middle
    EXPECT_EQ(whiteAt(40), qRound(0.95 * 255));
    EXPECT_GT(whiteAt(5), whiteAt(15));
}
