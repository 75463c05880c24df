#include "VKPropertyListStringCategories.h"

#include <gtest/gtest.h>

using namespace VKPropertyListStringCategories;

TEST(VKPropertyListStringCategoriesTest, PointsAsText)
{
    EXPECT_EQ(stringWithPoint(QPointF(12.5, -3)), "12.500000, -3.000000");
    EXPECT_EQ(pointValue(stringWithPoint(QPointF(0.25, 400))), QPointF(0.25, 400));

    struct Case {
        const char* text;
        QPointF point;
    };
    for (const Case& c : {Case{"1, 2", {1, 2}}, Case{"7", {7, 0}}, Case{"x, 2", {0, 2}},
                          Case{"", {0, 0}}, Case{"1,2", {1, 0}}, Case{"nan, inf", {0, 0}}})
        EXPECT_EQ(pointValue(c.text), c.point) << c.text;
}
