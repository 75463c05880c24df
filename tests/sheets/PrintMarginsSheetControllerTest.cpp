// The margins sheet of the record prints and the unit conversions it shares.
#include "MarginUnits.h"

#include <gtest/gtest.h>

TEST(MarginUnitsTest, PointsShownInInchesAndCentimetresAndBack)
{
    EXPECT_EQ(MarginUnits::pixelsAsUnits(72.0f, true), 1.0f);
    EXPECT_EQ(MarginUnits::pixelsAsUnits(72.0f, false), 2.54f);
    EXPECT_EQ(MarginUnits::unitsAsPixels(2.54f, false), 72.0f);
    EXPECT_EQ(MarginUnits::unitsAsPixels(2.0f, true), 144.0f);
    EXPECT_EQ(MarginUnits::unitsAsPixels(MarginUnits::pixelsAsUnits(36.5f, false), false), 36.5f);
}
