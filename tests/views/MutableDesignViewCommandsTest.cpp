// The canvas's commands, keys, context menu and rulers.
#include "MutableDesignView.h"

#include "../graphics/GraphicTesting.h"

#include "AddressGraphic.h"
#include "DesignRulerView.h"
#include "ImageGraphic.h"
#include "Localization.h"
#include "RectangleGraphic.h"
#include "RulerScrollView.h"
#include "ScriptedPresenter.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QTest>

namespace {

class MutableDesignViewCommandsTest : public GraphicTest {
protected:
    void SetUp() override
    {
        GraphicTest::SetUp();
        Presenter::setShared(&m_presenter);
        Localization::setTable(
            QStringLiteral("UndoStrings"),
            {{QStringLiteral("Center Verticallly"), QStringLiteral("Center Vertically")}});
        m_canvas.resize(300, 200);
        m_canvas.setUndoManager(&m_undo);
        m_canvas.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_canvas));
    }
    void TearDown() override
    {
        Localization::setTable(QStringLiteral("UndoStrings"), {});
        Presenter::setShared(nullptr);
        GraphicTest::TearDown();
    }

    template <typename Kind = RectangleGraphic>
    std::shared_ptr<Kind> add(const QRectF& bounds, qsizetype index)
    {
        auto graphic = std::make_shared<Kind>();
        graphic->setBounds(bounds);
        m_canvas.insertGraphic(graphic, index);
        return graphic;
    }
    void select(const GraphicList& graphics)
    {
        m_canvas.clearSelection();
        for (const auto& graphic : graphics)
            m_canvas.selectGraphic(graphic);
    }
    // What was done so far is out of the undo's reach.
    void forgetUndo()
    {
        QCoreApplication::processEvents();
        m_undo.removeAllActions();
    }
    // A finished step with a name of its own, to see that later commands leave it be.
    void leaveAStep(const std::shared_ptr<Graphic>& graphic)
    {
        forgetUndo();
        m_undo.beginUndoGrouping();
        graphic->setStrokeLineWidth(3);
        m_undo.setActionName(QStringLiteral("Set Line Width"));
        m_undo.endUndoGrouping();
    }
    const GraphicList& design() const { return *m_canvas.graphics(); }

    ScriptedPresenter m_presenter;
    UndoManager m_undo;
    MutableDesignView m_canvas;
};

} // namespace

TEST_F(MutableDesignViewCommandsTest, AlignAndSize_FollowTheFirstSelected_OneNamedStepUndone)
{
    const struct {
        const char* selector;
        QRectF front;
        QRectF reference;
        const char* undoName;
    } cases[] = {
        {"alignLeftEdges:", {10, 50, 40, 30}, {10, 20, 60, 40}, "Align Left Edges"},
        {"alignRightEdges:", {30, 50, 40, 30}, {10, 20, 60, 40}, "Align Right Edges"},
        {"alignTopEdges:", {100, 20, 40, 30}, {10, 20, 60, 40}, "Align Top Edges"},
        {"alignBottomEdges:", {100, 30, 40, 30}, {10, 20, 60, 40}, "Align Bottom Edges"},
        {"alignHorizontalCenters:", {20, 50, 40, 30}, {10, 20, 60, 40}, "Align Horizontal Centers"},
        {"alignVerticalCenters:", {100, 25, 40, 30}, {10, 20, 60, 40}, "Align Vertical Centers"},
        {"alignCenters:", {20, 25, 40, 30}, {10, 20, 60, 40}, "Align Vertical Centers"},
        {"makeSameWidth:", {100, 50, 60, 30}, {10, 20, 60, 40}, "Make Same Width"},
        {"makeSameHeight:", {100, 50, 40, 40}, {10, 20, 60, 40}, "Make Same Height"},
        // On the 300 x 200 canvas, 2 points short of its middle.
        {"centerHorizontally:", {128, 50, 40, 30}, {118, 20, 60, 40}, "Align Horizontal Centers"},
        {"centerVertically:", {100, 83, 40, 30}, {10, 78, 60, 40}, "Center Vertically"},
        {"centerOnLabel:", {128, 83, 40, 30}, {118, 78, 60, 40}, "Center Vertically"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selector);
        // The reference lies behind the other and is selected first.
        const auto reference = add({10, 20, 60, 40}, 0);
        const auto front = add({100, 50, 40, 30}, 0);
        select({reference, front});
        forgetUndo();
        ASSERT_TRUE(m_canvas.validateAction(c.selector));
        ASSERT_TRUE(m_canvas.performAction(c.selector));
        EXPECT_EQ(front->bounds(), c.front);
        EXPECT_EQ(reference->bounds(), c.reference);
        EXPECT_EQ(m_undo.undoActionName(), c.undoName);
        m_undo.undo();
        EXPECT_EQ(front->bounds(), QRectF(100, 50, 40, 30));
        EXPECT_EQ(reference->bounds(), QRectF(10, 20, 60, 40));
        EXPECT_FALSE(m_undo.canUndo());
        m_canvas.removeGraphic(front);
        m_canvas.removeGraphic(reference);
    }
}

TEST_F(MutableDesignViewCommandsTest, CommandThatChangesNothing_LeavesNoStepAndRenamesNone)
{
    const auto first = add({10, 20, 60, 40}, 0);
    const auto second = add({10, 90, 30, 30}, 0);
    auto image = add<ImageGraphic>({150, 20, 50, 50}, 0);
    select({first, second});
    leaveAStep(first);
    for (const char* selector :
         {"alignLeftEdges:", "moveForwardAndModifySelection:", "moveUpAndModifySelection:"}) {
        SCOPED_TRACE(selector);
        m_canvas.performAction(selector);
        QCoreApplication::processEvents();
        EXPECT_EQ(m_undo.undoActionName(), "Set Line Width");
        m_undo.undo();
        EXPECT_FALSE(m_undo.canUndo());
        m_undo.redo();
    }
    EXPECT_EQ(second->bounds(), QRectF(10, 90, 30, 30));
    // Shift with an arrow blinks the knobs.
    EXPECT_TRUE(m_canvas.knobsHidden());

    // An image keeps its size when the others take the first's.
    select({first, image, second});
    m_canvas.makeSameWidth();
    m_canvas.makeSameHeight();
    EXPECT_EQ(image->bounds(), QRectF(150, 20, 50, 50));
    EXPECT_EQ(second->bounds(), QRectF(10, 90, 60, 40));
}

TEST_F(MutableDesignViewCommandsTest, Enabling_FollowsTheSelection_AndNothingWhileATextIsEdited)
{
    const auto shape = add({10, 10, 40, 30}, 0);
    const auto other = add({60, 10, 40, 30}, 0);
    const auto image = add<ImageGraphic>({10, 60, 40, 30}, 0);
    const auto secondImage = add<ImageGraphic>({60, 60, 40, 30}, 0);
    auto text = std::make_shared<TextGraphic>();
    text->setBounds({150, 10, 80, 30});
    m_canvas.insertGraphic(text, 0);

    const struct {
        const char* name;
        GraphicList selection;
        bool oneOrMore;
        bool twoOrMore;
        bool naturalSize;
        bool shrinkToFit;
    } cases[] = {
        {"nothing", {}, false, false, false, false},
        {"one rectangle", {shape}, true, false, true, false},
        {"two rectangles", {shape, other}, true, true, true, false},
        {"one image", {image}, true, false, true, true},
        {"two images", {image, secondImage}, true, true, true, false},
        {"a text", {text}, true, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        select(c.selection);
        for (const char* selector : {"delete:", "bringToFront:", "sendToBack:",
                                     "centerHorizontally:", "centerVertically:", "centerOnLabel:"})
            EXPECT_EQ(m_canvas.validateAction(selector), c.oneOrMore) << selector;
        for (const char* selector : {"alignLeftEdges:", "alignBottomEdges:",
                                     "alignVerticalCenters:", "makeSameWidth:", "makeSameHeight:"})
            EXPECT_EQ(m_canvas.validateAction(selector), c.twoOrMore) << selector;
        EXPECT_EQ(m_canvas.validateAction("makeNaturalSize:"), c.naturalSize);
        EXPECT_EQ(m_canvas.validateAction("shrinkToFit:"), c.shrinkToFit);
        for (const char* selector : {"selectAll:", "deselectAll:", "alignCenters:", "moveLeft:",
                                     "deleteBackward:", "changeColor:"})
            EXPECT_TRUE(m_canvas.validateAction(selector)) << selector;
    }

    // Sent anyway, a command that needs two does nothing with one.
    select({shape});
    forgetUndo();
    m_canvas.alignLeftEdges();
    m_canvas.shrinkToFit();
    QCoreApplication::processEvents();
    EXPECT_FALSE(m_undo.canUndo());

    m_canvas.startEditingGraphic(text, std::nullopt);
    EXPECT_FALSE(m_canvas.validateAction("selectAll:"));
    EXPECT_FALSE(m_canvas.validateAction("delete:"));
    m_canvas.endEditing();
    EXPECT_TRUE(m_canvas.validateAction("selectAll:"));
}

TEST_F(MutableDesignViewCommandsTest, Ordering_KeepsTheBlockInFrontAndTheSelectionsOrder)
{
    const auto d = add({10, 130, 20, 20}, 0);
    const auto c = add({10, 100, 20, 20}, 0);
    const auto b = add({10, 70, 20, 20}, 0);
    const auto a = add({10, 40, 20, 20}, 0);
    auto block = add<AddressGraphic>({100, 10, 150, 60}, 0);
    ASSERT_EQ(design(), (GraphicList{block, a, b, c, d}));

    // Selected back one first: the order in the design stands.
    select({d, b});
    forgetUndo();
    m_canvas.bringToFront();
    EXPECT_EQ(design(), (GraphicList{block, b, d, a, c}));
    EXPECT_EQ(m_undo.undoActionName(), "Bring To Front");
    m_undo.undo();
    EXPECT_EQ(design(), (GraphicList{block, a, b, c, d}));

    select({block, a});
    forgetUndo();
    m_canvas.sendToBack();
    EXPECT_EQ(design(), (GraphicList{block, b, c, d, a}));
    EXPECT_EQ(m_undo.undoActionName(), "Send To Back");

    // The block alone: nothing moves and no step is named.
    select({block});
    leaveAStep(a);
    m_canvas.sendToBack();
    m_canvas.bringToFront();
    QCoreApplication::processEvents();
    EXPECT_EQ(design(), (GraphicList{block, b, c, d, a}));
    EXPECT_EQ(m_undo.undoActionName(), "Set Line Width");

    // Select All takes the design's order; Delete removes it all in one step.
    select({c});
    m_canvas.selectAll();
    EXPECT_EQ(m_canvas.selectedGraphics(), design());
    forgetUndo();
    m_canvas.deleteBackward();
    EXPECT_TRUE(design().isEmpty());
    EXPECT_EQ(m_undo.undoActionName(), "Delete");
    m_undo.undo();
    EXPECT_EQ(design(), (GraphicList{block, b, c, d, a}));
    EXPECT_EQ(m_canvas.selectedGraphics().size(), 5);
    m_canvas.deselectAll();
    EXPECT_TRUE(m_canvas.selectedGraphics().isEmpty());
}

TEST_F(MutableDesignViewCommandsTest, Keys_NudgeDeleteAndTypeNothing)
{
    const struct {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QPointF moved;
        bool deleted;
    } cases[] = {
        {"left", Qt::Key_Left, Qt::NoModifier, {-1, 0}, false},
        {"right", Qt::Key_Right, Qt::NoModifier, {1, 0}, false},
        {"up", Qt::Key_Up, Qt::NoModifier, {0, -1}, false},
        {"down on the keypad", Qt::Key_Down, Qt::KeypadModifier, {0, 1}, false},
        {"shift-left", Qt::Key_Left, Qt::ShiftModifier, {0, 0}, false},
        {"shift-down", Qt::Key_Down, Qt::ShiftModifier, {0, 0}, false},
        {"a letter", Qt::Key_A, Qt::NoModifier, {0, 0}, false},
        {"backspace", Qt::Key_Backspace, Qt::NoModifier, {0, 0}, true},
        {"delete", Qt::Key_Delete, Qt::NoModifier, {0, 0}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto shape = add({20, 20, 40, 30}, 0);
        select({shape});
        forgetUndo();
        QTest::keyClick(&m_canvas, c.key, c.modifiers);
        EXPECT_EQ(shape->bounds().topLeft(), QPointF(20, 20) + c.moved);
        EXPECT_EQ(design().contains(shape), !c.deleted);
        QCoreApplication::processEvents();
        const bool stepped = !c.moved.isNull() || c.deleted;
        EXPECT_EQ(m_undo.canUndo(), stepped);
        if (!c.moved.isNull()) {
            EXPECT_EQ(m_undo.undoActionName(), "Nudge");
        }
        m_canvas.removeGraphic(shape);
    }
}

TEST_F(MutableDesignViewCommandsTest, ArrowPresses_HideTheKnobsUntilHalfASecondAfterTheLast)
{
    const auto shape = add({20, 20, 40, 30}, 0);
    select({shape});
    QTest::keyClick(&m_canvas, Qt::Key_Right);
    EXPECT_TRUE(m_canvas.knobsHidden());
    QTest::qWait(200);
    QTest::keyClick(&m_canvas, Qt::Key_Right);
    QElapsedTimer sinceLast;
    sinceLast.start();
    EXPECT_EQ(shape->bounds().topLeft(), QPointF(22, 20));
    EXPECT_TRUE(m_canvas.knobsHidden());
    EXPECT_TRUE(QTest::qWaitFor([this] { return !m_canvas.knobsHidden(); }, 3000));
    EXPECT_GE(sinceLast.elapsed(), 450);
    // Each press is a step of its own.
    m_undo.undo();
    EXPECT_EQ(shape->bounds().topLeft(), QPointF(21, 20));
}

TEST_F(MutableDesignViewCommandsTest, ContextMenu_OffersTheCommandsEnabledAsTheSelectionAllows)
{
    const auto first = add({10, 20, 60, 40}, 0);
    const auto second = add({100, 50, 40, 30}, 0);
    select({first});
    std::unique_ptr<QMenu> menu(m_canvas.menuForEvent());
    QStringList titles;
    for (const QAction* item : menu->actions())
        titles << (item->isSeparator() ? QStringLiteral("-") : item->text());
    EXPECT_EQ(titles, QStringList({"Cut",
                                   "Copy",
                                   "Paste",
                                   "Delete",
                                   "Select All",
                                   "Deselect All",
                                   "-",
                                   "Bring To Front",
                                   "Send To Back",
                                   "-",
                                   "Align Left Edges",
                                   "Align Right Edges",
                                   "Align Top Edges",
                                   "Align Bottom Edges",
                                   "Align Horizontal Centers",
                                   "Align Vertical Centers",
                                   "Align Centers",
                                   "-",
                                   "Center Horizontally",
                                   "Center Vertically",
                                   "Center on Label",
                                   "-",
                                   "Make Same Width",
                                   "Make Same Height",
                                   "Make Natural Size",
                                   "Shrink to Fit"}));
    const auto item = [&menu](const QString& title) {
        for (QAction* action : menu->actions())
            if (action->text() == title)
                return action;
        return static_cast<QAction*>(nullptr);
    };
    EXPECT_TRUE(item("Delete")->isEnabled());
    EXPECT_TRUE(item("Copy")->isEnabled());
    EXPECT_FALSE(item("Align Left Edges")->isEnabled());
    EXPECT_FALSE(item("Shrink to Fit")->isEnabled());

    // With two selected the aligning items work.
    m_canvas.selectGraphic(second);
    menu.reset(m_canvas.menuForEvent());
    ASSERT_TRUE(item("Align Top Edges")->isEnabled());
    item("Align Top Edges")->trigger();
    EXPECT_EQ(second->bounds(), QRectF(100, 20, 40, 30));
}

TEST_F(MutableDesignViewCommandsTest, Bounds_UniteTheGraphics_AndNoneIsTheZeroRectangle)
{
    const auto first = add({10, 20, 60, 40}, 0);
    const auto second = add({100, 50, 40, 30}, 0);
    EXPECT_EQ(MutableDesignView::boundsForGraphics({first, second}), QRectF(10, 20, 130, 60));
    // Drawing bounds reach 4 points further for the knobs.
    EXPECT_EQ(MutableDesignView::drawingBoundsForGraphics({first, second}), QRectF(6, 16, 138, 68));
    EXPECT_EQ(MutableDesignView::boundsForGraphics({}), QRectF());
    EXPECT_EQ(MutableDesignView::drawingBoundsForGraphics({}), QRectF());
}

namespace {

// The canvas inside a scroll view that can show rulers, as the Edit Design sheet holds it.
class MutableDesignViewRulersTest : public GraphicTest {
protected:
    void SetUp() override
    {
        GraphicTest::SetUp();
        m_canvas = new MutableDesignView;
        m_canvas->setFixedSize(300, 200);
        m_canvas->setUndoManager(&m_undo);
        m_scrollView.setWidget(m_canvas);
        m_scrollView.setContentSize(QSize(300, 200));
        m_scrollView.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_scrollView));
    }

    // The ruler's lines, as locations along the canvas.
    static QList<double> linesOf(const DesignRulerView* ruler)
    {
        const double origin =
            ruler->convertRectFromClient(QRectF()).x() + ruler->convertRectFromClient(QRectF()).y();
        QList<double> lines;
        for (const double location : ruler->rulerlineLocations())
            lines << location - origin;
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    UndoManager m_undo;
    RulerScrollView m_scrollView;
    MutableDesignView* m_canvas = nullptr;
};

} // namespace

TEST_F(MutableDesignViewRulersTest, Rulers_ShowWithTheFocusOnceAndKeepTheCanvasArea)
{
    m_scrollView.activateWindow();
    m_canvas->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_scrollView.rulersVisible(); }, 3000));
    m_canvas->toggleRuler();
    m_canvas->clearFocus();
    m_canvas->setFocus();
    m_canvas->toggleRuler();
    EXPECT_EQ(m_scrollView.findChildren<DesignRulerView*>().size(), 2);
    ASSERT_TRUE(m_canvas->horizontalRulerView());
    EXPECT_EQ(m_canvas->horizontalRulerView()->orientation(), Qt::Horizontal);
    EXPECT_EQ(m_canvas->verticalRulerView()->orientation(), Qt::Vertical);
    // The rulers take their room beside the canvas, not from it.
    EXPECT_EQ(m_scrollView.viewport()->size(), QSize(300, 200));
    EXPECT_TRUE(m_canvas->horizontalRulerView()->isVisible());
}

TEST_F(MutableDesignViewRulersTest, Echo_FollowsMoveNudgeAndKnob_AndSelectingClearsIt)
{
    m_canvas->toggleRuler();
    ASSERT_TRUE(m_canvas->rulersShown());
    const DesignRulerView* across = m_canvas->horizontalRulerView();
    const DesignRulerView* down = m_canvas->verticalRulerView();
    auto shape = std::make_shared<RectangleGraphic>();
    shape->setBounds({20, 30, 40, 20});
    m_canvas->insertGraphic(shape, 0);

    // A drag: the lines follow the graphic and stay where it ends.
    m_canvas->mouseDown({{30, 40}, Qt::NoModifier, 1});
    EXPECT_EQ(linesOf(across), QList<double>({20, 40, 60}));
    EXPECT_EQ(linesOf(down), QList<double>({30, 40, 50}));
    m_canvas->mouseDragged({{40, 45}, Qt::NoModifier, 1});
    m_canvas->mouseUp({{50, 50}, Qt::NoModifier, 1});
    EXPECT_EQ(linesOf(across), QList<double>({40, 60, 80}));
    EXPECT_EQ(linesOf(down), QList<double>({40, 50, 60}));

    // A nudge shows where the selection went.
    m_canvas->moveRight();
    EXPECT_EQ(linesOf(across), QList<double>({41, 61, 81}));

    // A knob drag.
    m_canvas->mouseDown({{81, 60}, Qt::NoModifier, 1});
    m_canvas->mouseDragged({{91, 70}, Qt::NoModifier, 1});
    m_canvas->mouseUp({{91, 70}, Qt::NoModifier, 1});
    EXPECT_EQ(shape->bounds(), QRectF(41, 40, 50, 30));
    EXPECT_EQ(linesOf(across), QList<double>({41, 66, 91}));

    // Another selection takes the lines away.
    m_canvas->clearSelection();
    EXPECT_TRUE(across->rulerlineLocations().isEmpty());
    EXPECT_TRUE(down->rulerlineLocations().isEmpty());
}

TEST(DesignRulerViewTest, Units_AreInchesOrCentimetresByTheLocale)
{
    EXPECT_EQ(DesignRulerView::unitForLocale(QLocale(QLocale::English, QLocale::UnitedStates)),
              DesignRulerView::Unit::Inches);
    EXPECT_EQ(DesignRulerView::unitForLocale(QLocale(QLocale::German, QLocale::Germany)),
              DesignRulerView::Unit::Centimeters);
    EXPECT_EQ(DesignRulerView::pointsPerUnit(DesignRulerView::Unit::Inches), 72);
    EXPECT_NEAR(DesignRulerView::pointsPerUnit(DesignRulerView::Unit::Centimeters), 28.3465, 1e-4);
}
