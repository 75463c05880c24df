// How the views map fields, and the width a zoom to the page gives.
#include "EditorViewController.h"

#include <gtest/gtest.h>

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
