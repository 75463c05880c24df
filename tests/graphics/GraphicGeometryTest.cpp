#include "AddressGraphic.h"
#include "CircleGraphic.h"
#include "FieldGraphic.h"
#include "GraphicTesting.h"
#include "ImageGraphic.h"
#include "LineGraphic.h"
#include "RectangleGraphic.h"
#include "TextGraphic.h"

namespace {
class GraphicGeometryTest : public GraphicTest {};
constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
} // namespace

TEST_F(GraphicGeometryTest, Knobs_AreHitInTheSixPointSquareAroundTheirPoint)
{
    RectangleGraphic rectangle;
    rectangle.setBounds(QRectF(100, 100, 80, 40));
    const struct {
        QPointF point;
        int knob;
    } cases[] = {
        {{100, 100}, Graphic::UpperLeftKnob},
        {{97, 97}, Graphic::UpperLeftKnob}, // 3 left of and above
        {{102.9, 102.9}, Graphic::UpperLeftKnob},
        {{103, 100}, Graphic::NoKnob}, // 3 to the right: the far edge is outside
        {{104, 100}, Graphic::NoKnob},
        {{96, 100}, Graphic::NoKnob},
        {{140, 100}, Graphic::UpperMiddleKnob},
        {{180, 100}, Graphic::UpperRightKnob},
        {{100, 120}, Graphic::MiddleLeftKnob},
        {{182, 121}, Graphic::MiddleRightKnob},
        {{100, 140}, Graphic::LowerLeftKnob},
        {{140, 137}, Graphic::LowerMiddleKnob},
        {{177, 137}, Graphic::LowerRightKnob},
        {{140, 120}, Graphic::NoKnob},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rectangle.knobUnderPoint(c.point), c.knob) << c.point.x() << ", " << c.point.y();

    // Only the knobs of the mask count.
    FieldGraphic field;
    field.setBounds(QRectF(100, 100, 80, 16));
    EXPECT_EQ(field.knobMask(), 378u);
    EXPECT_EQ(field.knobUnderPoint(QPointF(140, 100)), Graphic::NoKnob);
    EXPECT_EQ(field.knobUnderPoint(QPointF(180, 116)), Graphic::LowerRightKnob);
    EXPECT_EQ(ImageGraphic().knobMask(), 330u);
    EXPECT_EQ(LineGraphic().knobMask(), 258u);
}

TEST_F(GraphicGeometryTest, HitTest_TheOutlineOrASelectedGraphicsKnob)
{
    CircleGraphic circle;
    circle.setBounds(QRectF(0, 0, 100, 100));
    EXPECT_TRUE(circle.hitTest(QPointF(50, 50), false));
    EXPECT_FALSE(circle.hitTest(QPointF(2, 2), false)); // inside the bounds, outside the oval
    EXPECT_FALSE(circle.hitTest(QPointF(-2, -2), false));
    EXPECT_TRUE(circle.hitTest(QPointF(-2, -2), true)); // the upper-left knob

    LineGraphic line;
    line.setBounds(QRectF(0, 0, 100, 50));
    EXPECT_TRUE(line.hitTest(QPointF(50, 25), false));
    EXPECT_TRUE(line.hitTest(QPointF(50, 27.4), false)); // within 1/2 + 2 of the line
    EXPECT_FALSE(line.hitTest(QPointF(50, 28), false));
    line.setStartsAtLowerLeft(true);
    EXPECT_FALSE(line.hitTest(QPointF(20, 10), false));
    EXPECT_TRUE(line.hitTest(QPointF(20, 40), false));
    line.setBounds(QRectF(10, 0, 0, 50));
    EXPECT_TRUE(line.hitTest(QPointF(12.5, 20), false));
    EXPECT_FALSE(line.hitTest(QPointF(13, 20), false));

    EXPECT_TRUE(sameRect(line.drawingBounds(), QRectF(6, -4, 8, 58)));
    line.setStrokeLineWidth(10);
    EXPECT_TRUE(sameRect(line.drawingBounds(), QRectF(3, -7, 14, 64)));
}

TEST_F(GraphicGeometryTest, FlipKnob_MirrorsAcrossEachAxis)
{
    const int horizontal[] = {0, 3, 2, 1, 5, 4, 8, 7, 6};
    const int vertical[] = {0, 6, 7, 8, 4, 5, 1, 2, 3};
    for (int knob = 0; knob <= 8; ++knob) {
        EXPECT_EQ(Graphic::flipKnob(knob, true), horizontal[knob]) << knob;
        EXPECT_EQ(Graphic::flipKnob(knob, false), vertical[knob]) << knob;
    }
}

TEST_F(GraphicGeometryTest, Resize_PastTheOppositeCorner_MirrorsTheKnobAndKeepsTheSizePositive)
{
    const struct {
        int knob;
        QPointF to;
        int knobAfter;
        QRectF bounds;
    } cases[] = {
        {Graphic::LowerRightKnob, {0, 0}, Graphic::UpperLeftKnob, {0, 0, 10, 10}},
        {Graphic::LowerRightKnob, {150, 90}, Graphic::LowerRightKnob, {10, 10, 140, 80}},
        {Graphic::UpperLeftKnob, {130, 20}, Graphic::UpperRightKnob, {110, 20, 20, 40}},
        {Graphic::UpperMiddleKnob, {500, 100}, Graphic::LowerMiddleKnob, {10, 60, 100, 40}},
        {Graphic::MiddleRightKnob, {5, 999}, Graphic::MiddleLeftKnob, {5, 10, 5, 50}},
        {Graphic::LowerLeftKnob, {30, 70}, Graphic::LowerLeftKnob, {30, 10, 80, 60}},
    };
    for (const auto& c : cases) {
        RectangleGraphic rectangle;
        rectangle.setBounds(QRectF(10, 10, 100, 50));
        EXPECT_EQ(rectangle.resizeByMovingKnob(c.knob, c.to, kNone), c.knobAfter) << c.knob;
        EXPECT_TRUE(sameRect(rectangle.bounds(), c.bounds)) << c.knob;
    }
}

TEST_F(GraphicGeometryTest, Line_DraggedPastItsOtherEnd_StillJoinsTheFixedEndAndThePoint)
{
    LineGraphic line;
    line.setBounds(QRectF(10, 10, 100, 50));
    const int knob = line.resizeByMovingKnob(Graphic::LowerRightKnob, QPointF(0, 60), kNone);
    EXPECT_EQ(knob, Graphic::LowerLeftKnob);
    EXPECT_TRUE(line.startsAtLowerLeft());
    EXPECT_EQ(line.knobMask(), 72u);
    EXPECT_EQ(line.startPoint(), QPointF(0, 60));
    EXPECT_EQ(line.endPoint(), QPointF(10, 10));

    // Past both sides: mirrored twice, the direction back as it was.
    line.setBounds(QRectF(10, 10, 100, 50));
    line.setStartsAtLowerLeft(false);
    EXPECT_EQ(line.resizeByMovingKnob(Graphic::LowerRightKnob, QPointF(0, 0), kNone),
              Graphic::UpperLeftKnob);
    EXPECT_FALSE(line.startsAtLowerLeft());
    EXPECT_EQ(line.startPoint(), QPointF(0, 0));
    EXPECT_EQ(line.endPoint(), QPointF(10, 10));
}

TEST_F(GraphicGeometryTest, NaturalSize_LinesStraightenShapesSquare)
{
    const struct {
        QRectF before;
        QRectF line;
        QRectF square;
    } cases[] = {
        {{5, 6, 30, 80}, {5, 6, 0, 80}, {5, 6, 30, 30}},
        {{5, 6, 80, 30}, {5, 6, 80, 0}, {5, 6, 30, 30}},
        {{5, 6, 50, 50}, {5, 6, 50, 50}, {5, 6, 50, 50}},
    };
    for (const auto& c : cases) {
        LineGraphic line;
        line.setBounds(c.before);
        line.makeNaturalSize();
        EXPECT_TRUE(sameRect(line.bounds(), c.line));
        RectangleGraphic rectangle;
        rectangle.setBounds(c.before);
        rectangle.makeNaturalSize();
        EXPECT_TRUE(sameRect(rectangle.bounds(), c.square));
        CircleGraphic circle;
        circle.setBounds(c.before);
        circle.makeNaturalSize();
        EXPECT_TRUE(sameRect(circle.bounds(), c.square));
    }
    EXPECT_FALSE(TextGraphic().hasNaturalSize());
    EXPECT_TRUE(LineGraphic().hasNaturalSize());
}

TEST_F(GraphicGeometryTest, ShapeResize_OptionGivesTheNaturalSize_ControlKeepsTheCentre)
{
    CircleGraphic circle;
    circle.setBounds(QRectF(0, 0, 100, 100));
    circle.resizeByMovingKnob(Graphic::LowerRightKnob, QPointF(60, 80), Graphic::optionKey);
    EXPECT_TRUE(sameRect(circle.bounds(), QRectF(0, 0, 60, 60)));

    circle.setBounds(QRectF(0, 0, 100, 100));
    circle.resizeByMovingKnob(Graphic::LowerRightKnob, QPointF(60, 80), Graphic::controlKey);
    EXPECT_TRUE(sameRect(circle.bounds(), QRectF(20, 10, 60, 80)));

    // Alt is Option and Meta is Control; the Ctrl key (Command) is neither.
    circle.setBounds(QRectF(0, 0, 100, 100));
    circle.resizeByMovingKnob(Graphic::LowerRightKnob, QPointF(60, 80), Qt::ControlModifier);
    EXPECT_TRUE(sameRect(circle.bounds(), QRectF(0, 0, 60, 80)));

    TextGraphic text;
    text.setBounds(QRectF(0, 0, 100, 100));
    text.resizeByMovingKnob(Graphic::LowerRightKnob, QPointF(60, 80),
                            Graphic::optionKey | Graphic::controlKey);
    EXPECT_TRUE(sameRect(text.bounds(), QRectF(20, 10, 60, 80)));
}

TEST_F(GraphicGeometryTest, Rectangle_RadiusFollowsTheSmallerSideAndIsNeverNegative)
{
    RectangleGraphic rectangle;
    rectangle.setBounds(QRectF(0, 0, 40, 100));
    rectangle.setRadius(30);
    EXPECT_FLOAT_EQ(rectangle.maxRadius(), 20);
    rectangle.resizeByMovingKnob(Graphic::LowerMiddleKnob, QPointF(20, 20), kNone);
    EXPECT_TRUE(sameRect(rectangle.bounds(), QRectF(0, 0, 40, 20)));
    EXPECT_FLOAT_EQ(rectangle.radius(), 10);

    rectangle.setRadius(-4);
    EXPECT_FLOAT_EQ(rectangle.radius(), 0);
    QPainterPath square;
    square.addRect(rectangle.bounds());
    EXPECT_EQ(*rectangle.bezierPath(), square);
}

TEST_F(GraphicGeometryTest, Text_KeepsItsMinimumSize)
{
    TextGraphic text;
    text.setBounds(QRectF(50, 50, 2, 3));
    EXPECT_TRUE(sameRect(text.bounds(), QRectF(50, 50, 10, 15)));

    text.setBounds(QRectF(50, 50, 100, 100));
    EXPECT_EQ(text.resizeByMovingKnob(Graphic::LowerRightKnob, QPointF(0, 0), kNone),
              Graphic::LowerRightKnob);
    EXPECT_TRUE(sameRect(text.bounds(), QRectF(50, 50, 10, 15)));
    text.resizeByMovingKnob(Graphic::UpperLeftKnob, QPointF(200, 200), kNone);
    EXPECT_TRUE(sameRect(text.bounds(), QRectF(50, 50, 10, 15)));
}

TEST_F(GraphicGeometryTest, Field_StaysOneLineHighAndAtLeastOneLineWide)
{
    FieldGraphic field; // Helvetica 12: "Tg" is 14 high, the line 16
    EXPECT_FLOAT_EQ(field.lineHeight(), 16);
    field.setBounds(QRectF(10, 10, 5, 5));
    EXPECT_TRUE(sameRect(field.bounds(), QRectF(10, 10, 16, 16)));

    field.setBounds(QRectF(10, 10, 100, 16));
    field.resizeByMovingKnob(Graphic::LowerRightKnob, QPointF(210, 150), kNone);
    EXPECT_TRUE(sameRect(field.bounds(), QRectF(10, 10, 200, 16)));
    field.resizeByMovingKnob(Graphic::UpperLeftKnob, QPointF(0, -40), kNone);
    EXPECT_TRUE(sameRect(field.bounds(), QRectF(0, -40, 210, 16)));

    field.setFont(ArchivedFont(QStringLiteral("Helvetica"), 24));
    EXPECT_TRUE(sameRect(QRectF(QPointF(), field.maxSize()), QRectF(0, 0, 210, 28)));
}

TEST_F(GraphicGeometryTest, Image_ShrinksIntoTheViewAndKeepsItsProportions)
{
    FakeGraphicView view(QSizeF(400, 400));
    auto image = std::make_shared<ImageGraphic>();
    image->setDesignView(&view);
    image->setImage(QByteArray("picture"));
    image->setOriginalSize(QSizeF(600, 300));
    image->setBounds(QRectF(0, 0, 600, 300));
    image->shrinkToFit();
    EXPECT_TRUE(sameRect(image->bounds(), QRectF(5, 5, 390, 195)));

    // Already inside: unchanged.
    image->setBounds(QRectF(20, 30, 200, 100));
    image->shrinkToFit();
    EXPECT_TRUE(sameRect(image->bounds(), QRectF(20, 30, 200, 100)));

    image->setBounds(QRectF(0, 0, 300, 700));
    image->shrinkToFit();
    EXPECT_TRUE(sameRect(image->bounds(), QRectF(5, 5, 390.0 * 300 / 700, 390)));
}

TEST_F(GraphicGeometryTest, Image_NeverGrowsBeyondItsOwnSize)
{
    auto image = std::make_shared<ImageGraphic>();
    image->setOriginalSize(QSizeF(100, 50));
    image->setBounds(QRectF(0, 0, 50, 25));
    image->resizeByMovingKnob(Graphic::LowerRightKnob, QPointF(300, 300), kNone);
    EXPECT_TRUE(sameRect(image->bounds(), QRectF(0, 0, 100, 50)));
    image->resizeByMovingKnob(Graphic::LowerRightKnob, QPointF(60, 50), kNone);
    EXPECT_TRUE(sameRect(image->bounds(), QRectF(0, 0, 60, 30)));

    // Option stretches it out of proportion, still within its own size.
    image->resizeByMovingKnob(Graphic::LowerRightKnob, QPointF(60, 50), Graphic::optionKey);
    EXPECT_TRUE(sameRect(image->bounds(), QRectF(0, 0, 60, 50)));
    image->resizeByMovingKnob(Graphic::LowerRightKnob, QPointF(300, 300), Graphic::optionKey);
    EXPECT_TRUE(sameRect(image->bounds(), QRectF(0, 0, 100, 50)));

    // The corner across from the knob stays, whichever knob is dragged.
    const struct {
        int knob;
        QPointF to;
        QRectF bounds;
    } corners[] = {
        {Graphic::UpperLeftKnob, {40, 10}, {40, 20, 60, 30}},
        {Graphic::UpperRightKnob, {70, 10}, {0, 15, 70, 35}},
        {Graphic::LowerLeftKnob, {40, 40}, {40, 0, 60, 30}},
        {Graphic::UpperLeftKnob, {-500, -500}, {0, 0, 100, 50}},
        {Graphic::UpperLeftKnob, {60, -500}, {0, 0, 100, 50}}, // the taller side wins
    };
    for (const auto& c : corners) {
        image->setBounds(QRectF(0, 0, 100, 50));
        image->resizeByMovingKnob(c.knob, c.to, kNone);
        EXPECT_TRUE(sameRect(image->bounds(), c.bounds)) << c.knob;
    }
}

TEST_F(GraphicGeometryTest, Image_WithoutASizeOfItsOwn_ResizesWithoutDividingByZero)
{
    auto image = std::make_shared<ImageGraphic>();
    image->setBounds(QRectF(0, 0, 50, 25));
    image->resizeByMovingKnob(Graphic::LowerRightKnob, QPointF(80, 80), kNone);
    const QRectF bounds = image->bounds();
    EXPECT_TRUE(std::isfinite(bounds.x()) && std::isfinite(bounds.y()) &&
                std::isfinite(bounds.width()) && std::isfinite(bounds.height()));
}

TEST_F(GraphicGeometryTest, Image_NaturalSizeAndCancel_GoBackToItsOwnSize)
{
    FakeGraphicView view(QSizeF(200, 200));
    auto image = std::make_shared<ImageGraphic>();
    image->setDesignView(&view);
    image->setImage(QByteArray("picture"));
    image->setOriginalSize(QSizeF(150, 300));
    image->setBounds(QRectF(10, 10, 50, 100));
    image->makeNaturalSize();
    // Taller than the view: moved into the upper left.
    EXPECT_TRUE(sameRect(image->bounds(), QRectF(0, 0, 150, 300)));
    EXPECT_TRUE(sameRect(image->originalBounds(), QRectF(10, 10, 150, 300)));

    image->setBounds(QRectF(40, 40, 30, 60));
    image->handleCancel();
    EXPECT_TRUE(sameRect(image->bounds(), QRectF(10, 10, 150, 300)));
}
