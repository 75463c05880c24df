#include "RectString.h"

#include <QLocale>

#include <gtest/gtest.h>

TEST(RectStringTest, Write_NestedBracesAtFullPrecisionWhateverTheLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(stringFromRect(QRectF(10, 20.5, 300, 0)), QStringLiteral("{{10, 20.5}, {300, 0}}"));
    EXPECT_EQ(stringFromRect(QRectF(-1.25, 0.1, 1e-3, 72)),
              QStringLiteral("{{-1.25, 0.10000000000000001}, {0.001, 72}}"));
    QLocale::setDefault(QLocale::c());
}

TEST(RectStringTest, Read_TakesWhatItCanAndZeroForTheRest)
{
    const struct {
        const char* text;
        QRectF rect;
    } cases[] = {
        {"{{10, 20.5}, {300, 0}}", QRectF(10, 20.5, 300, 0)},
        {"  { {-3,4} ,{ 5e1 , 6 } }", QRectF(-3, 4, 50, 6)},
        {"{{-1.25, 0.10000000000000001}, {0.001, 72}}", QRectF(-1.25, 0.1, 0.001, 72)},
        {"junk", QRectF()},
        {"", QRectF()},
        {"{{10, 20}, junk}", QRectF(10, 20, 0, 0)},
        {"{{10, x}, {5, 5}}", QRectF(10, 0, 0, 0)},
        {"{{1, 2}, {3", QRectF(1, 2, 3, 0)},
        {"10 20 30 40", QRectF()},
    };
    for (const auto& c : cases) {
        const QRectF read = rectFromString(QString::fromLatin1(c.text));
        EXPECT_EQ(read.x(), c.rect.x()) << c.text;
        EXPECT_EQ(read.y(), c.rect.y()) << c.text;
        EXPECT_EQ(read.width(), c.rect.width()) << c.text;
        EXPECT_EQ(read.height(), c.rect.height()) << c.text;
    }
}

TEST(RectStringTest, WriteThenRead_GivesTheSameNumbers)
{
    for (const QRectF rect : {QRectF(0.1, 1.0 / 3, 1e10, 12.75), QRectF(0, 0, 1, 1)}) {
        const QRectF read = rectFromString(stringFromRect(rect));
        EXPECT_EQ(read.x(), rect.x());
        EXPECT_EQ(read.y(), rect.y());
        EXPECT_EQ(read.width(), rect.width());
        EXPECT_EQ(read.height(), rect.height());
    }
}
