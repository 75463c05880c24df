#include "VKBezierPathCategories.h"

#include <gtest/gtest.h>

namespace {

TEST(VKBezierPathCategoriesTest, RoundedRect_StartsMidFarEdgeAndCutsTheCorners)
{
    QPainterPath path;
    VKBezierPathCategories::appendBezierPathWithRoundedRect(path, QRectF(10, 20, 100, 50), 8);
    EXPECT_EQ(path.elementAt(0), QPointF(60, 70));
    EXPECT_EQ(path.boundingRect(), QRectF(10, 20, 100, 50));
    EXPECT_TRUE(path.contains(QPointF(60, 45)));
    EXPECT_TRUE(path.contains(QPointF(12, 45)));
    for (const QPointF& corner :
         {QPointF(10.5, 20.5), QPointF(109.5, 20.5), QPointF(10.5, 69.5), QPointF(109.5, 69.5)})
        EXPECT_FALSE(path.contains(corner));
}

} // namespace
