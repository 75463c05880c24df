#include "WindowFrameString.h"

#include <gtest/gtest.h>

TEST(WindowFrameStringTest, ConvertsBetweenBottomLeftAndTopLeftOrigins)
{
    // A 1000-point-high primary screen; the window's top edge 100 points below the screen's.
    const QRect frame(50, 100, 400, 300);
    const QString saved = WindowFrameString::fromGeometry(frame, QRect(0, 0, 1600, 1000), 1000);
    EXPECT_EQ(saved, "50 600 400 300 0 0 1600 1000");
    EXPECT_EQ(WindowFrameString::toGeometry(saved, 1000), frame);
    EXPECT_EQ(WindowFrameString::toGeometry("50 600 400 300", 1000), frame);
    EXPECT_EQ(WindowFrameString::toGeometry("50.5 600 400.25 300 0 0 1600 1000", 1000), QRect(50, 100, 400, 300));
}

TEST(WindowFrameStringTest, UnreadableStrings_MeanUseThePresentFrame)
{
    for (const char* unreadable : {"", "garbage", "1 2 3", "1 2 3 4 5", "1 2 0 4", "1 2 3 -4", "1e9 2 3 4", "a b c d"})
        EXPECT_FALSE(WindowFrameString::toGeometry(unreadable, 1000)) << unreadable;
}
