// The split of the tables above the Freeform Text Area, and how the views map fields.
#include "EditorViewController.h"
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

namespace {

PlistArray fieldsShowing(std::initializer_list<bool> shown)
{
    PlistArray fields;
    for (const bool show : shown) {
        PlistDictionary field;
        if (!show)
            field.insert(QStringLiteral("Show"), false);
        fields.append(field);
    }
    return fields;
}

} // namespace

TEST(EditorViewControllerTest, SwitchingViews_MapsFieldsAndListColumnsPastHiddenFields)
{
    // Field 1 hidden: Basic field 2 is List column 1 and back again.
    const PlistArray fields = fieldsShowing({true, false, true, true});
    const qint64 columns = 4; // three shown fields and the text
    const struct {
        qint64 field;
        qint64 column;
    } toList[] = {{0, 0}, {1, 0}, {2, 1}, {3, 2}, {9, 2}};
    for (const auto& test : toList)
        EXPECT_EQ(EditorViewController::listColumnForField(fields, test.field, columns), test.column)
            << test.field;
    const struct {
        qint64 column;
        qint64 field;
    } toBasic[] = {{0, 0}, {1, 2}, {2, 3}, {3, 3}};
    for (const auto& test : toBasic)
        EXPECT_EQ(EditorViewController::fieldForListColumn(fields, test.column), test.field)
            << test.column;
    EXPECT_EQ(EditorViewController::fieldForListColumn(fieldsShowing({false, false, true}), 0), 2);
}

TEST(EditorViewControllerTest, ZoomWidth_MarginsUnderThePrintersBorderTakeTheBorderPlusOne)
{
    const QSizeF letter(612, 792);
    const QRectF bordered(18, 18, 576, 756); // 18 points round the paper
    const struct {
        float left, right;
        bool basic;
        float usedLeft, usedRight;
        double width;
    } cases[] = {
        {0, 0, false, 19, 19, 574},  // capped at the imageable width, 576
        {72, 90, false, 72, 90, 450},
        {72, 90, true, 72, 90, 466}, // the Basic View 16 points more
        {5, 72, true, 19, 72, 537},
        {400, 400, false, 400, 400, -188},
    };
    for (const auto& test : cases) {
        float left = test.left;
        float right = test.right;
        EXPECT_EQ(EditorViewController::zoomWidth(letter, bordered, left, right, test.basic),
                  test.width)
            << test.left << " " << test.right;
        EXPECT_EQ(left, test.usedLeft);
        EXPECT_EQ(right, test.usedRight);
    }
    // A PDF or no printer: the whole paper.
    float left = 0;
    float right = 0;
    EXPECT_EQ(EditorViewController::zoomWidth(letter, QRectF(QPointF(), letter), left, right, false),
              610);
}
