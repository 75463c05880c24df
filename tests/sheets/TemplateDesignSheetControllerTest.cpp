// The Edit Design sheet and its tool palette.
#include "TemplateDesignSheetController.h"

#include "ColorWell.h"
#include "DesignToolPaletteController.h"
#include "LineGraphic.h"
#include "MutableDesignView.h"
#include "PageLayoutTesting.h"
#include "RectangleGraphic.h"
#include "RulerScrollView.h"
#include "ScriptedPresenter.h"
#include "TemplateSettingsData.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QSlider>
#include <QTest>

namespace {

class TemplateDesignSheetControllerTest : public GraphicTest {
protected:
    void SetUp() override
    {
        GraphicTest::SetUp();
        Presenter::setShared(&m_presenter);
        m_page.resize(600, 500);
        m_page.show();
        m_settings->setWidth(288);
        m_settings->setHeight(144);
        m_settings->setAssociatedDatafileURL(QUrl::fromLocalFile(QStringLiteral("/d/People.nv3")));
    }
    void TearDown() override
    {
        if (m_sheet && m_sheet->window()->isVisible()) {
            m_sheet->designView()->setClickable(true);
            m_sheet->cancel();
        }
        Presenter::setShared(nullptr);
        GraphicTest::TearDown();
    }

    TemplateDesignSheetController* open(const GraphicList& design)
    {
        m_sheet = VKSheetController::controller<TemplateDesignSheetController>();
        m_sheet->beginSheetWithSettings(m_settings, design, nullptr, &m_page,
                                        [this](QWidget*, int code) { m_returnCode = code; });
        return m_sheet;
    }
    static std::shared_ptr<RectangleGraphic> rectangleAt(const QRectF& bounds)
    {
        auto graphic = std::make_shared<RectangleGraphic>();
        graphic->setBounds(bounds);
        return graphic;
    }
    DesignToolPaletteController& palette()
    {
        return DesignToolPaletteController::sharedDesignToolPaletteController();
    }
    MutableDesignView& canvas() { return *m_sheet->designView(); }
    // The palette's controls as they show once the event loop turns.
    void settle() { QCoreApplication::processEvents(); }

    ScriptedPresenter m_presenter;
    QWidget m_page;
    std::shared_ptr<TemplateSettingsData> m_settings = TemplateSettingsData::settings();
    TemplateDesignSheetController* m_sheet = nullptr;
    int m_returnCode = -1;
};

} // namespace

TEST_F(TemplateDesignSheetControllerTest, FourByTwoInchLabel_GivesACanvasOf306By162)
{
    open({});
    EXPECT_EQ(m_sheet->designSize(), QSizeF(306, 162));
    EXPECT_EQ(m_sheet->designScrollView()->viewport()->size(), QSize(306, 162));
    EXPECT_EQ(canvas().size(), QSize(306, 162));
    EXPECT_TRUE(palette().window()->isVisible());
    EXPECT_EQ(palette().inspectingDesignView(), &canvas());
}

TEST_F(TemplateDesignSheetControllerTest, StrayGraphics_ComeBackOntoTheCanvas)
{
    const struct {
        const char* name;
        std::shared_ptr<Graphic> graphic;
        QRectF expected;
    } cases[] = {
        {"outside", rectangleAt({400, 300, 30, 20}), {2, 2, 30, 20}},
        {"across the edge stays", rectangleAt({290, 150, 40, 30}), {290, 150, 40, 30}},
        {"zero width outside", rectangleAt({500, 10, 0, 20}), {2, 2, 1, 20}},
        {"address across the edge, cut back", addressGraphicAt({250, 100, 100, 100}),
         {250, 100, 54, 60}},
        {"address wholly outside", addressGraphicAt({400, 300, 400, 50}), {2, 2, 302, 50}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QRectF before = c.graphic->bounds();
        open({c.graphic});
        ASSERT_EQ(m_sheet->graphics()->size(), 1);
        EXPECT_TRUE(sameRect(m_sheet->graphics()->front()->bounds(), c.expected));
        // The template's own graphic is neither moved nor pointed at the canvas.
        EXPECT_EQ(c.graphic->bounds(), before);
        EXPECT_EQ(c.graphic->designView(), nullptr);
        EXPECT_FALSE(m_sheet->undoManager()->canUndo());
        m_sheet->cancel();
    }
}

TEST_F(TemplateDesignSheetControllerTest, OK_ClearsTheDatafileOnlyForADesignWithoutRecordGraphics)
{
    const struct {
        const char* name;
        GraphicList design;
        bool keepsDatafile;
    } cases[] = {
        {"shapes only", {rectangleAt({10, 10, 20, 20}), std::make_shared<LineGraphic>()}, false},
        {"one field", {rectangleAt({10, 10, 20, 20}), fieldGraphicAt({10, 40, 80, 16}, "City")},
         true},
        {"an address block", {addressGraphicAt({10, 10, 200, 60})}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_settings->setAssociatedDatafileURL(QUrl::fromLocalFile(QStringLiteral("/d/People.nv3")));
        open(c.design);
        m_sheet->okay();
        EXPECT_EQ(m_returnCode, 1);
        EXPECT_EQ(!m_settings->associatedDatafileURL().isEmpty(), c.keepsDatafile);
        EXPECT_FALSE(palette().window()->isVisible());
        EXPECT_EQ(palette().inspectingDesignView(), nullptr);
        // The design handed back no longer points at the canvas.
        for (const auto& graphic : *m_sheet->graphics())
            EXPECT_EQ(graphic->designView(), nullptr);
    }
}

TEST_F(TemplateDesignSheetControllerTest, Cancel_AfterManyEditsLeavesTheDesign_AndClosesThePalette)
{
    const auto shape = rectangleAt({10, 10, 40, 30});
    open({shape});
    const std::shared_ptr<Graphic> copy = m_sheet->graphics()->front();
    canvas().selectGraphic(copy);
    copy->moveBy(50, 20);
    canvas().insertGraphic(rectangleAt({100, 100, 10, 10}), 0);
    canvas().removeGraphic(copy);
    m_sheet->cancel();
    EXPECT_EQ(m_returnCode, 0);
    EXPECT_EQ(shape->bounds(), QRectF(10, 10, 40, 30));
    EXPECT_FALSE(palette().window()->isVisible());
    EXPECT_FALSE(m_sheet->window()->isVisible());
}

TEST_F(TemplateDesignSheetControllerTest, OKOrCancelWhileTheCanvasIsNotClickable_Beeps)
{
    open({});
    canvas().setClickable(false);
    for (const bool ok : {true, false}) {
        const int beeps = m_presenter.beepCount();
        if (ok)
            m_sheet->okay();
        else
            m_sheet->cancel();
        EXPECT_EQ(m_presenter.beepCount(), beeps + 1);
        EXPECT_TRUE(m_sheet->window()->isVisible());
        EXPECT_EQ(m_returnCode, -1);
    }
}

TEST_F(TemplateDesignSheetControllerTest, Tools_TheCursorFollowsTheToolAndAToolWithoutACanvasBeeps)
{
    open({});
    palette().toolButton(DesignToolPaletteController::RectangleTool)->click();
    EXPECT_EQ(canvas().cursor().shape(), Qt::CrossCursor);
    palette().selectArrowTool();
    EXPECT_EQ(canvas().cursor().shape(), Qt::ArrowCursor);
    // Without field names the field tool is off.
    EXPECT_FALSE(palette().toolButton(DesignToolPaletteController::FieldTool)->isEnabled());
    m_sheet->okay();

    const int beeps = m_presenter.beepCount();
    palette().selectTool(DesignToolPaletteController::CircleTool);
    EXPECT_EQ(m_presenter.beepCount(), beeps + 1);
    palette().selectArrowTool();
}

TEST_F(TemplateDesignSheetControllerTest, Palette_AddressToolIsOffWhileTheDesignHasABlock)
{
    open({addressGraphicAt({10, 10, 200, 60})});
    QAbstractButton* addressTool = palette().toolButton(DesignToolPaletteController::AddressTool);
    EXPECT_FALSE(addressTool->isEnabled());
    // Deleted, as the selected block is.
    const std::shared_ptr<Graphic> block = canvas().addressGraphic();
    canvas().selectGraphic(block);
    canvas().removeGraphic(block);
    EXPECT_TRUE(addressTool->isEnabled());

    // With field names the field tool comes on; a new field takes the first name.
    m_sheet->setFieldNames(QStringList{"Name", "City"});
    palette().setCurrentFieldName(QString());
    palette().setMainWindow(m_sheet->window());
    EXPECT_TRUE(palette().toolButton(DesignToolPaletteController::FieldTool)->isEnabled());
    EXPECT_EQ(palette().currentFieldName(), "Name");
    EXPECT_EQ(palette().fieldMinimumPointSize(), 8.0f);
    EXPECT_EQ(palette().currentFieldFont().size(), 12.0);
}

TEST_F(TemplateDesignSheetControllerTest, Palette_ShowsTheSelectionsFillLineAndCorners)
{
    auto rounded = rectangleAt({10, 10, 60, 40});
    auto line = std::make_shared<LineGraphic>();
    line->setBounds({100, 10, 50, 50});
    open({rounded, line});
    const std::shared_ptr<Graphic> rectangle = m_sheet->graphics()->at(0);
    const std::shared_ptr<Graphic> diagonal = m_sheet->graphics()->at(1);

    canvas().selectGraphic(rectangle);
    EXPECT_TRUE(palette().radiusSlider()->isEnabled());
    EXPECT_EQ(palette().radiusSliderMaximum(), 20.0f);
    EXPECT_TRUE(palette().fillCheck()->isEnabled());
    EXPECT_TRUE(palette().fillColorWell()->isEnabled());
    EXPECT_EQ(palette().lineCheck()->checkState(), Qt::Checked);
    EXPECT_TRUE(palette().lineWidthSlider()->isEnabled());

    canvas().clearSelection();
    canvas().selectGraphic(diagonal);
    EXPECT_FALSE(palette().radiusSlider()->isEnabled());
    EXPECT_FALSE(palette().fillCheck()->isEnabled());

    canvas().selectGraphic(rectangle);
    EXPECT_EQ(palette().fillCheck()->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(palette().lineCheck()->checkState(), Qt::PartiallyChecked);
    for (QWidget* control : std::initializer_list<QWidget*>{
             palette().fillCheck(), palette().lineCheck(), palette().fillColorWell(),
             palette().lineColorWell(), palette().lineWidthSlider(), palette().radiusSlider()})
        EXPECT_FALSE(control->isEnabled());

    canvas().clearSelection();
    settle();
    EXPECT_EQ(palette().fillCheck()->checkState(), Qt::Unchecked);
    EXPECT_FALSE(palette().fillCheck()->isEnabled());
}

TEST_F(TemplateDesignSheetControllerTest, PaletteActions_ChangeTheSelectionAsOneNamedStep)
{
    auto shape = rectangleAt({10, 10, 60, 40});
    shape->setFillColor(std::nullopt);
    shape->setStrokeColor(std::nullopt);
    open({shape});
    const auto rectangle =
        std::static_pointer_cast<RectangleGraphic>(m_sheet->graphics()->front());
    UndoManager& undo = *m_sheet->undoManager();
    canvas().selectGraphic(rectangle);
    settle();

    // An empty selection changes nothing and names nothing.
    canvas().clearSelection();
    settle();
    palette().fillCheck()->setCheckState(Qt::Checked);
    palette().toggleFillCheck();
    EXPECT_FALSE(rectangle->drawsFill());
    canvas().selectGraphic(rectangle);
    settle();

    const struct {
        const char* name;
        std::function<void()> act;
        const char* undoName;
        std::function<bool()> done;
    } cases[] = {
        {"fill on without a colour: white",
         [&] {
             palette().fillCheck()->setCheckState(Qt::Checked);
             palette().toggleFillCheck();
         },
         "Set Fill Color",
         [&] {
             return rectangle->drawsFill() &&
                    rectangle->fillColor() == ArchivedColor::calibratedWhite(1);
         }},
        {"line on without a colour: black",
         [&] {
             palette().lineCheck()->setCheckState(Qt::Checked);
             palette().toggleLineCheck();
         },
         "Set Line Color",
         [&] {
             return rectangle->drawsStroke() &&
                    rectangle->strokeColor() == ArchivedColor::calibratedWhite(0);
         }},
        {"fill well",
         [&] {
             palette().fillColorWell()->setColor(Qt::red);
             palette().fillColorWellHit();
         },
         "Set Fill Color",
         [&] { return rectangle->fillColor() == ArchivedColor::calibratedRgb(1, 0, 0); }},
        {"line well",
         [&] {
             palette().lineColorWell()->setColor(Qt::blue);
             palette().lineColorWellHit();
         },
         "Set Line Color",
         [&] { return rectangle->strokeColor() == ArchivedColor::calibratedRgb(0, 0, 1); }},
        {"line width", [&] { palette().lineWidthSlider()->setValue(35); }, "Set Line Width",
         [&] { return rectangle->strokeLineWidth() == 3.5f; }},
        {"corner radius", [&] { palette().radiusSlider()->setValue(50); },
         "Set Rectangle Corner Radius", [&] { return rectangle->radius() == 5.0f; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        settle();
        c.act();
        EXPECT_TRUE(c.done());
        EXPECT_EQ(undo.undoActionName(), c.undoName);
    }
}
