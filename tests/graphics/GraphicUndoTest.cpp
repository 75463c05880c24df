#include "AddressGraphic.h"
#include "CircleGraphic.h"
#include "FieldGraphic.h"
#include "GraphicTesting.h"
#include "ImageGraphic.h"
#include "LineGraphic.h"
#include "RectangleGraphic.h"
#include "TextGraphic.h"

#include <functional>

namespace {

class GraphicUndoTest : public GraphicTest {};

// The graphic's whole state as the file sees it, with the flags the getters answer.
PlistValue state(const Graphic& graphic)
{
    return PlistValue(graphic.propertyListRepresentation());
}

} // namespace

TEST_F(GraphicUndoTest, SameBoundsAgain_RegistersAndPostsNothing)
{
    FakeGraphicView view;
    auto rectangle = std::make_shared<RectangleGraphic>();
    rectangle->setBounds(QRectF(1, 2, 3, 4));
    rectangle->setDesignView(&view);
    ChangeCounter changes(*rectangle);
    view.step([&] { rectangle->setBounds(QRectF(1, 2, 3, 4)); });
    EXPECT_EQ(changes.count, 0);
    EXPECT_FALSE(view.undo().canUndo());
    EXPECT_EQ(view.invalidations, 0);

    // A change is announced before (the old area) and after.
    view.step([&] { rectangle->setBounds(QRectF(1, 2, 3, 4.5)); });
    EXPECT_EQ(changes.count, 2);
    EXPECT_EQ(view.invalidations, 2);
    EXPECT_TRUE(view.undo().canUndo());
}

TEST_F(GraphicUndoTest, DragInsideOneManipulation_IsOneStepAndTwoPosts)
{
    FakeGraphicView view;
    auto circle = std::make_shared<CircleGraphic>();
    circle->setBounds(QRectF(0, 0, 50, 50));
    circle->setDesignView(&view);
    ChangeCounter changes(*circle);

    circle->startBoundsManipulation();
    EXPECT_TRUE(sameRect(circle->origBounds(), QRectF(0, 0, 50, 50)));
    int knob = Graphic::LowerRightKnob;
    for (const QPointF point : {QPointF(60, 60), QPointF(80, 70), QPointF(90, 40)})
        view.step([&] { knob = circle->resizeByMovingKnob(knob, point, Qt::NoModifier); });
    EXPECT_EQ(changes.count, 0);
    EXPECT_FALSE(view.undo().canUndo());
    view.step([&] { circle->stopBoundsManipulation(); });
    EXPECT_EQ(changes.count, 2);
    EXPECT_TRUE(sameRect(circle->bounds(), QRectF(0, 0, 90, 40)));

    view.undo().undo();
    EXPECT_TRUE(sameRect(circle->bounds(), QRectF(0, 0, 50, 50)));
    EXPECT_FALSE(view.undo().canUndo());
    view.undo().redo();
    EXPECT_TRUE(sameRect(circle->bounds(), QRectF(0, 0, 90, 40)));

    // A drag that ends where it began leaves nothing to undo; a second stop does nothing.
    circle->startBoundsManipulation();
    circle->resizeByMovingKnob(Graphic::LowerRightKnob, QPointF(10, 10), Qt::NoModifier);
    circle->resizeByMovingKnob(Graphic::LowerRightKnob, QPointF(90, 40), Qt::NoModifier);
    view.step([&] {
        circle->stopBoundsManipulation();
        circle->stopBoundsManipulation();
    });
    EXPECT_EQ(changes.count, 6); // the undo's and the redo's two each
    EXPECT_FALSE(view.undo().canRedo());
}

TEST_F(GraphicUndoTest, EverySetter_UndoThenRedo_RestoresTheState)
{
    const ArchivedColor red = ArchivedColor::calibratedRgb(1, 0, 0);
    const struct {
        const char* name;
        std::function<std::shared_ptr<Graphic>()> make;
        std::function<void(Graphic&)> change;
    } cases[] = {
        {"bounds", [] { return std::make_shared<RectangleGraphic>(); },
         [](Graphic& g) { g.setBounds(QRectF(5, 6, 7, 8)); }},
        {"moveBy", [] { return std::make_shared<RectangleGraphic>(); },
         [](Graphic& g) { g.moveBy(10, -3); }},
        {"drawsFill", [] { return std::make_shared<RectangleGraphic>(); },
         [](Graphic& g) { g.setDrawsFill(true); }},
        // The fill was off: undoing the colour must not leave it on.
        {"fillColor", [] { return std::make_shared<RectangleGraphic>(); },
         [&](Graphic& g) { g.setFillColor(red); }},
        {"no fillColor", [] { return std::make_shared<CircleGraphic>(); },
         [](Graphic& g) { g.setFillColor(std::nullopt); }},
        {"drawsStroke", [] { return std::make_shared<CircleGraphic>(); },
         [](Graphic& g) { g.setDrawsStroke(!g.drawsStroke()); }},
        {"strokeColor", [] { return std::make_shared<LineGraphic>(); },
         [&](Graphic& g) { g.setStrokeColor(red); }},
        {"no strokeColor", [] { return std::make_shared<LineGraphic>(); },
         [](Graphic& g) { g.setStrokeColor(std::nullopt); }},
        {"lineWidth", [] { return std::make_shared<LineGraphic>(); },
         [](Graphic& g) { g.setStrokeLineWidth(3); }},
        {"negative lineWidth", [] { return std::make_shared<LineGraphic>(); },
         [](Graphic& g) { g.setStrokeLineWidth(-1); }},
        {"contents", [] { return std::make_shared<TextGraphic>(); },
         [](Graphic& g) {
             auto& text = static_cast<TextGraphic&>(g);
             text.setContents(ArchivedTextStorage::fromData(QByteArray("archived text")));
         }},
        {"address stroke", [] { return std::make_shared<AddressGraphic>(); },
         [&](Graphic& g) { g.setStrokeColor(red); }},
        {"image", [] { return std::make_shared<ImageGraphic>(); },
         [](Graphic& g) { static_cast<ImageGraphic&>(g).setImage(QByteArray("picture")); }},
        {"direction", [] { return std::make_shared<LineGraphic>(); },
         [](Graphic& g) { static_cast<LineGraphic&>(g).setStartsAtLowerLeft(true); }},
        {"radius", [] { return std::make_shared<RectangleGraphic>(); },
         [](Graphic& g) { static_cast<RectangleGraphic&>(g).setRadius(4); }},
        {"resize with flips", [] { return std::make_shared<LineGraphic>(); },
         [](Graphic& g) {
             g.setBounds(QRectF(10, 10, 100, 50));
             g.resizeByMovingKnob(Graphic::LowerRightKnob, QPointF(0, 60), Graphic::controlKey);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeGraphicView view;
        const std::shared_ptr<Graphic> graphic = c.make();
        // A stroke that is off and a width: the flags must come back as they were.
        graphic->setDrawsStroke(!graphic->drawsStroke());
        graphic->setDesignView(&view);
        const PlistValue before = state(*graphic);
        ChangeCounter changes(*graphic);
        view.step([&] { c.change(*graphic); });
        const PlistValue after = state(*graphic);
        EXPECT_NE(after, before);
        EXPECT_GT(changes.count, 0);

        view.undo().undo();
        EXPECT_EQ(state(*graphic), before);
        EXPECT_FALSE(view.undo().canUndo());
        view.undo().redo();
        EXPECT_EQ(state(*graphic), after);
        view.undo().undo();
        EXPECT_EQ(state(*graphic), before);
    }
}

TEST_F(GraphicUndoTest, WithoutAnUndoManager_ChangesStillHappenAndAreAnnounced)
{
    FakeGraphicView view;
    auto line = std::make_shared<LineGraphic>();
    ChangeCounter changes(*line);
    line->setStrokeLineWidth(2);
    EXPECT_FLOAT_EQ(line->strokeLineWidth(), 2);
    EXPECT_EQ(changes.count, 1);

    // A graphic held on the stack works as long as nothing is registered for it.
    RectangleGraphic loose;
    loose.setRadius(3);
    EXPECT_FLOAT_EQ(loose.radius(), 3);
}

TEST_F(GraphicUndoTest, FillAndStroke_FollowTheColourAndTheWidth)
{
    FakeGraphicView view;
    auto rectangle = std::make_shared<RectangleGraphic>();
    rectangle->setDesignView(&view);
    const ArchivedColor stroke = *rectangle->strokeColor();

    view.step([&] { rectangle->setStrokeColor(std::nullopt); });
    EXPECT_FALSE(rectangle->drawsStroke());
    EXPECT_FALSE(rectangle->strokeColor());
    view.step([&] { rectangle->setStrokeColor(stroke); });
    EXPECT_TRUE(rectangle->drawsStroke());

    // The same colour again turns stroking back on, but is no change of colour.
    view.step([&] { rectangle->setDrawsStroke(false); });
    view.step([&] { rectangle->setStrokeColor(stroke); });
    EXPECT_TRUE(rectangle->drawsStroke());
    view.undo().undo();
    EXPECT_FALSE(rectangle->drawsStroke());
    EXPECT_EQ(rectangle->strokeColor(), stroke);

    view.step([&] { rectangle->setStrokeLineWidth(-2); });
    EXPECT_FALSE(rectangle->drawsStroke());
    EXPECT_FLOAT_EQ(rectangle->strokeLineWidth(), 0);
    view.step([&] { rectangle->setStrokeLineWidth(0); });
    EXPECT_FLOAT_EQ(rectangle->strokeLineWidth(), 0);
    EXPECT_FALSE(rectangle->drawsStroke()); // 0 again is no change
    view.step([&] { rectangle->setStrokeLineWidth(0.25); });
    EXPECT_TRUE(rectangle->drawsStroke());

    // Fixed answers win over the stored flags.
    TextGraphic text;
    text.setDrawsStroke(true);
    EXPECT_FALSE(text.drawsStroke());
    AddressGraphic address;
    address.setDrawsFill(true);
    EXPECT_FALSE(address.drawsFill());
    EXPECT_TRUE(address.drawsStroke());
}

TEST_F(GraphicUndoTest, PlaceholderSetters_AreNotUndoable)
{
    FakeGraphicView view;
    auto field = std::make_shared<FieldGraphic>();
    field->setDesignView(&view);
    view.step([&] {
        field->setFieldName(QStringLiteral("City"));
        field->setFieldAlignment(1);
        field->setFont(ArchivedFont(QStringLiteral("Courier"), 9));
        field->setMinimumPointSize(10);
    });
    EXPECT_FALSE(view.undo().canUndo());
    EXPECT_EQ(plainText(*field), QStringLiteral("<none>")); // the shown text stays
    view.step([&] { field->setFieldName(QString()); });
    EXPECT_EQ(field->fieldName(), QStringLiteral("<none>"));
}
