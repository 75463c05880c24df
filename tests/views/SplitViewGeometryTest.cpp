// The split of the tables above the Freeform Text Area.
#include "SplitViewGeometry.h"

#include <gtest/gtest.h>

namespace Split = SplitViewGeometry;

TEST(SplitViewGeometryTest, Setup_TakesTheStoredHeightWhereItFits)
{
    const double split = 400;
    const double divider = 5;
    const struct {
        float read;
        Split::Setup expected;
    } cases[] = {
        // Nothing stored: the top box keeps its height, which is stored.
        {-1.0f, {std::nullopt, 150.0f}},
        {100.0f, {Split::Heights{100, 295}, std::nullopt}},
        // Too tall: cut to leave the text area its room, and stored so.
        {900.0f, {Split::Heights{371, 24}, 371.0f}},
        // Collapsed.
        {0.0f, {Split::Heights{0, 395}, std::nullopt}},
    };
    for (const auto& test : cases)
        EXPECT_EQ(Split::setup(split, divider, test.read, 150), test.expected) << test.read;
}

TEST(SplitViewGeometryTest, StoredHeights_ACollapsedTopBoxIsStoredAsTwenty)
{
    EXPECT_EQ(Split::storedHeightFor(0), 20.0f);
    EXPECT_EQ(Split::readStoredHeight(Split::storedHeightFor(0)), 0.0f);
    EXPECT_EQ(Split::storedHeightFor(21), 21.0f);
    EXPECT_EQ(Split::storedHeightFor(151), 151.0f);
    EXPECT_EQ(Split::readStoredHeight(150.0f), 150.0f);
    EXPECT_EQ(Split::readStoredHeight(-1.0f), -1.0f);
}

TEST(SplitViewGeometryTest, Divider_KeepsOffBothEdges_AndTheTopBoxCollapses)
{
    const struct {
        double proposed;
        double position;
    } cases[] = {{5, 0}, {15, 21}, {21, 21}, {200, 200}, {395, 374}, {500, 374}};
    for (const auto& test : cases)
        EXPECT_EQ(Split::dividerPosition(test.proposed, 400, 5), test.position) << test.proposed;
}

TEST(SplitViewGeometryTest, Resize_TheTextAreaGivesFirst_DownToTwelvePoints)
{
    const Split::Heights old{100, 295}; // in 400 with a divider of 5
    const struct {
        double newHeight;
        Split::Heights heights;
    } cases[] = {
        {500, {100, 395}},  // growing goes to the text area
        {350, {100, 245}},  // and so does shrinking
        {117, {100, 12}},   // down to 12 points
        {80, {63, 12}},     // then the top box gives
        {10, {0, 12}},
    };
    for (const auto& test : cases)
        EXPECT_EQ(Split::resized(old, 400, test.newHeight, 5), test.heights) << test.newHeight;
}
