// The design canvas: selection, the list and its address-block rules, and the mouse.
#include "MutableDesignView.h"

#include "../graphics/GraphicTesting.h"

#include "AddressGraphic.h"
#include "DesignToolPalette.h"
#include "FieldGraphic.h"
#include "Localization.h"
#include "RectangleGraphic.h"
#include "ScriptedPresenter.h"
#include "TextGraphicEditor.h"

#include <QTest>

namespace {

// The palette's side: the tool chosen and the settings new placeholders take.
class FakePalette : public DesignToolPalette {
public:
    std::optional<GraphicClass> currentGraphicClass() const override { return tool; }
    void selectArrowTool() override
    {
        tool.reset();
        ++arrowSelections;
    }
    void enableFontSettingsButton(bool enabled) override { fontSettingsEnabled = enabled; }
    void setNeedsUpdate(bool needs) override { needsUpdate = needs; }
    void windowDidUpdate() override
    {
        if (needsUpdate)
            ++updates;
        needsUpdate = false;
    }
    qint64 currentFieldAlignment() const override { return 2; }
    ArchivedFont currentFieldFont() const override { return ArchivedFont("Helvetica", 12); }
    QString currentFieldName() const override { return QStringLiteral("City"); }
    float fieldMinimumPointSize() const override { return 9.7f; }
    ArchivedFont addressFont() const override { return ArchivedFont("Helvetica", 14); }
    float minimumPointSize() const override { return 8.6f; }
    qint64 addressBlockAlignment() const override { return 0; }
    qint64 horizontalAddressBlockPlacement() const override { return 1; }
    qint64 verticalAddressBlockPlacement() const override { return 2; }

    std::optional<GraphicClass> tool;
    int arrowSelections = 0;
    int updates = 0;
    bool needsUpdate = false;
    bool fontSettingsEnabled = false;
};

class MutableDesignViewTest : public GraphicTest {
protected:
    void SetUp() override
    {
        GraphicTest::SetUp();
        Presenter::setShared(&m_presenter);
        Localization::setTable(QStringLiteral("GraphicClassNames"),
                               {{QStringLiteral("RectangleGraphic"), QStringLiteral("Rectangle")},
                                {QStringLiteral("FieldGraphic"), QStringLiteral("Field")}});
        m_canvas.resize(300, 200);
        m_canvas.setUndoManager(&m_undo);
        m_canvas.setToolPaletteController(&m_palette);
        m_canvas.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_canvas));
    }
    void TearDown() override
    {
        m_canvas.endEditing();
        Presenter::setShared(nullptr);
        GraphicTest::TearDown();
    }

    std::shared_ptr<RectangleGraphic> rectangle(const QRectF& bounds, qsizetype index = 0)
    {
        auto graphic = std::make_shared<RectangleGraphic>();
        graphic->setBounds(bounds);
        m_canvas.insertGraphic(graphic, index);
        return graphic;
    }
    std::shared_ptr<AddressGraphic> address(const QRectF& bounds)
    {
        auto graphic = std::make_shared<AddressGraphic>();
        graphic->setBounds(bounds);
        m_canvas.insertGraphic(graphic, 0);
        return graphic;
    }
    // What was done so far is out of the undo's reach.
    void forgetUndo()
    {
        QCoreApplication::processEvents();
        m_undo.removeAllActions();
    }
    const GraphicList& design() const { return *m_canvas.graphics(); }
    static DesignMouseEvent at(double x, double y, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        return {QPointF(x, y), keys, 1};
    }
    // A press, the moves through the points and the release at the last.
    void drag(const QList<QPointF>& points, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        m_canvas.mouseDown({points.front(), keys, 1});
        for (const QPointF& point : points.mid(1))
            m_canvas.mouseDragged({point, keys, 1});
        m_canvas.mouseUp({points.back(), keys, 1});
    }

    ScriptedPresenter m_presenter;
    UndoManager m_undo;
    FakePalette m_palette;
    MutableDesignView m_canvas;
};

int selectionChangesDuring(MutableDesignView& canvas, const std::function<void()>& action)
{
    int count = 0;
    NotificationObserver observer = NotificationCenter::defaultCenter().addObserver(
        MutableDesignView::GraphicViewSelectionDidChange, &canvas,
        [&count](const Notification&) { ++count; });
    action();
    return count;
}

} // namespace

TEST_F(MutableDesignViewTest, Selecting_TwiceRegistersOnce_UndoDeselects_AndThePaletteShowsIt)
{
    const auto shape = rectangle({10, 10, 40, 30});
    forgetUndo();
    const int changes = selectionChangesDuring(m_canvas, [&] {
        m_canvas.selectGraphic(shape);
        m_canvas.selectGraphic(shape);
    });
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(m_palette.updates, 1);
    EXPECT_TRUE(m_canvas.graphicIsSelected(shape));
    EXPECT_EQ(m_undo.undoActionName(), "Selection Change");
    m_undo.undo();
    EXPECT_FALSE(m_canvas.graphicIsSelected(shape));
    EXPECT_FALSE(m_undo.canUndo());
    m_undo.redo();
    EXPECT_TRUE(m_canvas.graphicIsSelected(shape));

    // A copy equal in every property is another graphic.
    EXPECT_FALSE(m_canvas.graphicIsSelected(shape->copy()));
}

TEST_F(MutableDesignViewTest, OrderedSelection_IsFrontToBack_AndHitsFindTheFrontMost)
{
    const auto back = rectangle({10, 10, 100, 100});
    const auto front = rectangle({50, 50, 100, 100});
    m_canvas.selectGraphic(back);
    m_canvas.selectGraphic(front);
    EXPECT_EQ(m_canvas.selectedGraphics(), (GraphicList{back, front}));
    EXPECT_EQ(m_canvas.orderedSelectedGraphics(), (GraphicList{front, back}));
    EXPECT_EQ(m_canvas.graphicUnderPoint({60, 60}), front);
    EXPECT_EQ(m_canvas.graphicUnderPoint({20, 20}), back);
    EXPECT_EQ(m_canvas.graphicUnderPoint({250, 180}), nullptr);
    EXPECT_EQ(m_canvas.graphicsIntersectingRect({0, 0, 20, 20}), GraphicList{back});
    EXPECT_EQ(DesignRectFromPoints({30, 5}, {10, 25}), QRectF(10, 5, 20, 20));
}

TEST_F(MutableDesignViewTest, AddressBlock_StaysInFront_AndASecondOneIsRefused)
{
    const auto block = address({10, 10, 150, 60});
    const auto shape = rectangle({20, 100, 30, 30});
    EXPECT_EQ(design(), (GraphicList{block, shape}));
    const auto other = rectangle({60, 100, 30, 30}, 2);
    m_canvas.moveGraphic(other, 0);
    EXPECT_EQ(design(), (GraphicList{block, other, shape}));
    EXPECT_TRUE(m_canvas.hasAddressGraphic());

    // A second block: a beep, no change, and it cannot be selected.
    auto second = std::make_shared<AddressGraphic>();
    const int beeps = m_presenter.beepCount();
    m_canvas.insertGraphic(second, 0);
    EXPECT_EQ(m_presenter.beepCount(), beeps + 1);
    EXPECT_EQ(design().size(), 3);
    m_canvas.selectGraphic(second);
    EXPECT_FALSE(m_canvas.graphicIsSelected(second));

    // The list's changes undo one by one.
    forgetUndo();
    m_canvas.moveGraphic(shape, 1);
    QCoreApplication::processEvents();
    m_canvas.removeGraphic(block);
    EXPECT_EQ(design(), (GraphicList{shape, other}));
    EXPECT_FALSE(m_canvas.hasAddressGraphic());
    m_undo.undo();
    EXPECT_EQ(design(), (GraphicList{block, shape, other}));
    m_undo.undo();
    EXPECT_EQ(design(), (GraphicList{block, other, shape}));
}

TEST_F(MutableDesignViewTest, RemovingASelectedGraphic_TakesItFromTheSelectionAndSaysSo)
{
    const auto shape = rectangle({10, 10, 40, 30});
    const auto kept = rectangle({100, 10, 40, 30});
    m_canvas.selectGraphic(shape);
    m_canvas.selectGraphic(kept);
    EXPECT_GE(selectionChangesDuring(m_canvas, [&] { m_canvas.removeGraphic(shape); }), 1);
    EXPECT_EQ(m_canvas.selectedGraphics(), GraphicList{kept});
    // An unselected one goes quietly.
    m_canvas.deselectGraphic(kept);
    EXPECT_EQ(selectionChangesDuring(m_canvas, [&] { m_canvas.removeGraphic(kept); }), 0);
}

TEST_F(MutableDesignViewTest, ClickOnEmptyCanvas_ClearsTheSelectionAndBands_BackAtTheStartNothing)
{
    const auto shape = rectangle({10, 10, 40, 30});
    m_canvas.selectGraphic(shape);
    QTest::mousePress(&m_canvas, Qt::LeftButton, Qt::NoModifier, QPoint(200, 150));
    EXPECT_TRUE(m_canvas.selectedGraphics().isEmpty());
    QTest::mouseMove(&m_canvas, QPoint(5, 5));
    EXPECT_EQ(m_canvas.rubberbandRect(), QRectF(5, 5, 195, 145));
    QTest::mouseMove(&m_canvas, QPoint(200, 150));
    EXPECT_TRUE(m_canvas.rubberbandRect().isNull());
    QTest::mouseRelease(&m_canvas, Qt::LeftButton, Qt::NoModifier, QPoint(200, 150));
    EXPECT_TRUE(m_canvas.selectedGraphics().isEmpty());
    EXPECT_FALSE(m_canvas.isTracking());
}

TEST_F(MutableDesignViewTest, Rubberband_SelectsAddsOrTakesAwayByTheKeys)
{
    const struct {
        const char* name;
        Qt::KeyboardModifiers keys;
        bool leftSelected;
        bool leftAfter;
        bool rightAfter;
    } cases[] = {
        {"plain, over the right one", Qt::NoModifier, true, false, true},
        {"Shift adds", Qt::ShiftModifier, true, true, true},
        {"Shift-Alt takes away", Qt::ShiftModifier | Qt::AltModifier, true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto left = rectangle({10, 10, 40, 30});
        const auto right = rectangle({150, 10, 40, 30});
        if (!c.rightAfter)
            m_canvas.selectGraphic(right);
        if (c.leftSelected)
            m_canvas.selectGraphic(left);
        drag({{140, 100}, {170, 60}, {200, 5}}, c.keys);
        EXPECT_EQ(m_canvas.graphicIsSelected(left), c.leftAfter);
        EXPECT_EQ(m_canvas.graphicIsSelected(right), c.rightAfter);
        EXPECT_TRUE(m_canvas.rubberbandRect().isNull());
        m_canvas.removeGraphic(left);
        m_canvas.removeGraphic(right);
    }
}

TEST_F(MutableDesignViewTest, ShiftClickOnASelectedGraphic_DeselectsAndMovesNothing)
{
    const auto shape = rectangle({10, 10, 40, 30});
    m_canvas.selectGraphic(shape);
    drag({{20, 20}, {60, 60}, {80, 80}}, Qt::ShiftModifier);
    EXPECT_FALSE(m_canvas.graphicIsSelected(shape));
    EXPECT_EQ(shape->bounds(), QRectF(10, 10, 40, 30));

    // On an unselected one it adds and moves.
    drag({{20, 20}, {30, 25}}, Qt::ShiftModifier);
    EXPECT_TRUE(m_canvas.graphicIsSelected(shape));
    EXPECT_EQ(shape->bounds(), QRectF(20, 15, 40, 30));
}

TEST_F(MutableDesignViewTest, DragUnderTwoPoints_MovesNothingAndLeavesNoUndo)
{
    const auto shape = rectangle({10, 10, 40, 30});
    m_canvas.selectGraphic(shape);
    forgetUndo();
    drag({{20, 20}, {21.5, 18.5}, {21, 21}});
    QCoreApplication::processEvents();
    EXPECT_EQ(shape->bounds(), QRectF(10, 10, 40, 30));
    EXPECT_FALSE(m_undo.canUndo());
}

TEST_F(MutableDesignViewTest, Move_IsOneStepNamedMove_ThatRestoresEveryBounds)
{
    const auto first = rectangle({10, 10, 40, 30});
    const auto second = rectangle({100, 60, 20, 20});
    m_canvas.selectGraphic(first);
    m_canvas.selectGraphic(second);
    forgetUndo();
    QTest::mousePress(&m_canvas, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QTest::mouseMove(&m_canvas, QPoint(30, 25));
    EXPECT_TRUE(m_canvas.knobsHidden());
    QTest::mouseMove(&m_canvas, QPoint(50, 40));
    QTest::mouseRelease(&m_canvas, Qt::LeftButton, Qt::NoModifier, QPoint(50, 40));
    EXPECT_FALSE(m_canvas.knobsHidden());
    EXPECT_EQ(first->bounds(), QRectF(40, 30, 40, 30));
    EXPECT_EQ(second->bounds(), QRectF(130, 80, 20, 20));
    EXPECT_EQ(m_canvas.pasteCascadeDelta(), QPointF(40, 30));
    EXPECT_EQ(m_undo.undoActionName(), "Move");
    m_undo.undo();
    EXPECT_EQ(first->bounds(), QRectF(10, 10, 40, 30));
    EXPECT_EQ(second->bounds(), QRectF(100, 60, 20, 20));
    EXPECT_FALSE(m_undo.canUndo());
}

TEST_F(MutableDesignViewTest, SelectionDraggedOffTheCanvas_ComesBackInsideAndTheDragEnds)
{
    const struct {
        const char* name;
        QPointF to;
        QRectF expected;
    } cases[] = {
        {"past the right edge", {420, 20}, {288, 10, 40, 30}},
        {"past the left edge", {-200, 20}, {-30, 10, 40, 30}},
        {"past the bottom edge", {20, 400}, {10, 188, 40, 30}},
        {"past the top edge", {20, -200}, {10, -20, 40, 30}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto shape = rectangle({10, 10, 40, 30});
        m_canvas.mouseDown(at(20, 20));
        m_canvas.mouseDragged({c.to, Qt::NoModifier, 1});
        m_canvas.mouseDragged({c.to + QPointF(5, 5), Qt::NoModifier, 1});
        // The drag has ended: the rest of it moves nothing.
        m_canvas.mouseDragged(at(100, 100));
        m_canvas.mouseUp(at(100, 100));
        EXPECT_EQ(shape->bounds(), c.expected);
        EXPECT_EQ(m_undo.undoActionName(), "Move");
        m_canvas.removeGraphic(shape);
    }
}

TEST_F(MutableDesignViewTest, Creating_DrawsWithTheToolNamesTheStepAndFallsBackToTheArrow)
{
    m_palette.tool = GraphicClass::rectangle();
    drag({{20, 30}, {60, 50}, {120, 90}});
    ASSERT_EQ(design().size(), 1);
    const std::shared_ptr<Graphic> made = design().front();
    EXPECT_EQ(made->graphicType(), "RectangleGraphic");
    EXPECT_EQ(made->bounds(), QRectF(20, 30, 100, 60));
    EXPECT_EQ(m_canvas.selectedGraphics(), GraphicList{made});
    EXPECT_EQ(m_undo.undoActionName(), "Create Rectangle");
    EXPECT_EQ(m_palette.arrowSelections, 1);
    EXPECT_FALSE(m_palette.tool);
    EXPECT_FALSE(m_canvas.creatingGraphic());
    m_undo.undo();
    EXPECT_TRUE(design().isEmpty());
    EXPECT_TRUE(m_canvas.selectedGraphics().isEmpty());

    // A click without a drag makes nothing and leaves nothing to undo.
    forgetUndo();
    m_palette.tool = GraphicClass::circle();
    drag({{50, 50}});
    QCoreApplication::processEvents();
    EXPECT_TRUE(design().isEmpty());
    EXPECT_FALSE(m_undo.canUndo());
}

TEST_F(MutableDesignViewTest, CreatingAField_IsOneLineHighWithThePalettesSettings)
{
    m_palette.tool = GraphicClass::field();
    drag({{20, 30}, {120, 130}});
    ASSERT_EQ(design().size(), 1);
    auto field = std::dynamic_pointer_cast<FieldGraphic>(design().front());
    ASSERT_TRUE(field);
    // "Tg" at 12 points is 14 high with the test's measurer: one line is 16.
    EXPECT_EQ(field->bounds(), QRectF(20, 30, 100, 16));
    EXPECT_EQ(field->fieldName(), "City");
    EXPECT_EQ(field->fieldAlignment(), 2);
    EXPECT_EQ(field->minimumPointSize(), 9.0f);
    EXPECT_EQ(plainText(*field), "City");
    EXPECT_EQ(m_undo.undoActionName(), "Create Field");

    // The address block takes the palette's font, placements and truncated minimum.
    m_palette.tool = GraphicClass::address();
    drag({{10, 60}, {200, 150}});
    auto block = std::dynamic_pointer_cast<AddressGraphic>(design().front());
    ASSERT_TRUE(block);
    EXPECT_EQ(block->font(), ArchivedFont("Helvetica", 14));
    EXPECT_EQ(block->minimumPointSize(), 8.0f);
    EXPECT_EQ(block->verticalAddressBlockPlacement(), 2);
    EXPECT_EQ(plainText(*block), "Address");
}

TEST_F(MutableDesignViewTest, KnobDrag_ResizesAsOneStepNamedResize)
{
    const auto shape = rectangle({10, 10, 40, 30});
    m_canvas.selectGraphic(shape);
    forgetUndo();
    QTest::mousePress(&m_canvas, Qt::LeftButton, Qt::NoModifier, QPoint(50, 40));
    QTest::mouseMove(&m_canvas, QPoint(60, 45));
    QTest::mouseMove(&m_canvas, QPoint(80, 70));
    QTest::mouseRelease(&m_canvas, Qt::LeftButton, Qt::NoModifier, QPoint(80, 70));
    EXPECT_EQ(shape->bounds(), QRectF(10, 10, 70, 60));
    EXPECT_EQ(m_undo.undoActionName(), "Resize");
    m_undo.undo();
    EXPECT_EQ(shape->bounds(), QRectF(10, 10, 40, 30));
}

TEST_F(MutableDesignViewTest, DoubleClick_EditsATextGraphic_AndIsAnOrdinaryClickOnARectangle)
{
    const auto shape = rectangle({150, 10, 40, 30});
    auto text = std::make_shared<TextGraphic>();
    text->setBounds({10, 10, 80, 30});
    m_canvas.insertGraphic(text, 0);

    QTest::mouseDClick(&m_canvas, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_EQ(m_canvas.editingGraphic(), text);
    ASSERT_TRUE(m_canvas.editorView());
    EXPECT_TRUE(m_canvas.editorView()->isVisible());
    EXPECT_TRUE(m_palette.fontSettingsEnabled);

    QTest::mouseDClick(&m_canvas, Qt::LeftButton, Qt::NoModifier, QPoint(160, 20));
    EXPECT_FALSE(m_canvas.editingGraphic());
    EXPECT_EQ(m_canvas.selectedGraphics(), GraphicList{shape});
    EXPECT_FALSE(m_palette.fontSettingsEnabled);
}

TEST_F(MutableDesignViewTest, NotClickable_APressOnlyBeeps)
{
    const auto shape = rectangle({10, 10, 40, 30});
    m_canvas.setClickable(false);
    const int beeps = m_presenter.beepCount();
    drag({{20, 20}, {60, 60}});
    EXPECT_EQ(m_presenter.beepCount(), beeps + 1);
    EXPECT_FALSE(m_canvas.graphicIsSelected(shape));
    EXPECT_EQ(shape->bounds(), QRectF(10, 10, 40, 30));
}
