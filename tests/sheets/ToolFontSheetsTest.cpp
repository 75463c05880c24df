// The tool palette's address and field font sheets, opened over an Edit Design sheet.
#include "AddressToolFontController.h"
#include "FieldToolFontController.h"

#include "DesignToolPaletteController.h"
#include "FontStatisticLabel.h"
#include "MutableDesignView.h"
#include "PageLayoutTesting.h"
#include "PopUpButton.h"
#include "ScriptedPresenter.h"
#include "TemplateDesignSheetController.h"
#include "TemplateSettingsData.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

namespace {

class ToolFontSheetsTest : public GraphicTest {
protected:
    void SetUp() override
    {
        GraphicTest::SetUp();
        Presenter::setShared(&m_presenter);
        m_page.resize(600, 500);
        m_page.show();
        m_settings->setWidth(288);
        m_settings->setHeight(144);
        palette().setCurrentFieldName(QString());
        palette().setFieldMinimumPointSize(8);
    }
    void TearDown() override
    {
        for (ToolFontSheetController* sheet : std::initializer_list<ToolFontSheetController*>{
                 VKSheetController::topmostController<AddressToolFontController>(),
                 VKSheetController::topmostController<FieldToolFontController>()})
            if (sheet)
                sheet->cancel();
        if (m_sheet && m_sheet->window()->isVisible())
            m_sheet->cancel();
        Presenter::setShared(nullptr);
        GraphicTest::TearDown();
    }

    // The Edit Design sheet over the design, the palette serving its canvas.
    void open(const GraphicList& design, const QStringList& fieldNames = {})
    {
        m_sheet = VKSheetController::controller<TemplateDesignSheetController>();
        m_sheet->beginSheetWithSettings(m_settings, design, nullptr, &m_page, {});
        m_sheet->setFieldNames(fieldNames);
        palette().setMainWindow(m_sheet->window());
    }
    static DesignToolPaletteController& palette()
    {
        return DesignToolPaletteController::sharedDesignToolPaletteController();
    }
    MutableDesignView& canvas() { return *m_sheet->designView(); }
    AddressToolFontController* addressSheet() { return palette().addressController(); }
    FieldToolFontController* fieldSheet() { return palette().fieldController(); }
    void drag(const QPointF& from, const QPointF& to)
    {
        canvas().mouseDown({from, Qt::NoModifier, 1});
        canvas().mouseDragged({to, Qt::NoModifier, 1});
        canvas().mouseUp({to, Qt::NoModifier, 1});
    }

    ScriptedPresenter m_presenter;
    QWidget m_page;
    std::shared_ptr<TemplateSettingsData> m_settings = TemplateSettingsData::settings();
    TemplateDesignSheetController* m_sheet = nullptr;
};

} // namespace

TEST_F(ToolFontSheetsTest, AddressSheet_StartsFromTheBlockAloneCentredAndApplicationModal)
{
    auto block = addressGraphicAt({10, 10, 200, 60}, 2, 0);
    block->setMinimumPointSize(0.5f);
    block->setFont(ArchivedFont(QStringLiteral("Courier"), 15));
    block->setAddressBlockAlignment(1);
    open({block});
    canvas().selectGraphic(canvas().addressGraphic());
    QTest::mouseClick(palette().changeAddressFontButton(), Qt::LeftButton);

    AddressToolFontController* sheet = addressSheet();
    ASSERT_TRUE(sheet && sheet->window()->isVisible());
    EXPECT_EQ(sheet->window()->parentWidget(), nullptr);
    EXPECT_EQ(sheet->window()->windowModality(), Qt::ApplicationModal);
    const QRect screen = sheet->window()->screen()->availableGeometry();
    const QPoint centre = sheet->window()->frameGeometry().center();
    EXPECT_LE(std::abs(centre.x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(centre.y() - screen.center().y()), 1);
    // A stored minimum below 1 opens as 8.
    EXPECT_EQ(sheet->minimumPointSize(), 8.0f);
    EXPECT_EQ(sheet->minimumPointSizeStepper()->value(), 8.0);
    EXPECT_EQ(sheet->minimumPointSizeStepper()->maximum(), 15.0);
    EXPECT_EQ(sheet->horizontalPlacementMatrix()->checkedId(), 2);
    EXPECT_EQ(sheet->verticalPlacementMatrix()->checkedId(), 0);
    EXPECT_TRUE(sheet->centerAlignButton()->isChecked());
    EXPECT_EQ(sheet->textFontStat()->text(), "Courier 15");
    // The canvas and the tools wait for the sheet.
    EXPECT_FALSE(canvas().clickable());
    EXPECT_FALSE(palette().toolButton(DesignToolPaletteController::RectangleTool)->isEnabled());

    sheet->help();
    ASSERT_FALSE(m_presenter.openedUrls().isEmpty());
    EXPECT_TRUE(m_presenter.openedUrls().back().toString().endsWith("TemplatesEditDesign.html"));
}

TEST_F(ToolFontSheetsTest, AddressSheet_ASmallerFontLowersTheMinimumAndCapsTheStepper)
{
    open({addressGraphicAt({10, 10, 200, 60})});
    canvas().selectGraphic(canvas().addressGraphic());
    palette().changeAddressFont();
    AddressToolFontController* sheet = addressSheet();
    ASSERT_TRUE(sheet);
    sheet->minimumPointSizeStepper()->setValue(12);
    EXPECT_EQ(sheet->minimumPointSize(), 12.0f);

    QTest::mouseClick(sheet->textFontButton(), Qt::LeftButton);
    ASSERT_TRUE(m_presenter.fontPanelShown());
    EXPECT_EQ(m_presenter.fontPanelFont().pointSizeF(), 12.0);
    m_presenter.pickFont(QFont(QStringLiteral("Helvetica"), 10));
    EXPECT_EQ(sheet->minimumPointSize(), 10.0f);
    EXPECT_EQ(sheet->minimumPointSizeStepper()->value(), 10.0);
    sheet->minimumPointSizeStepper()->stepUp();
    EXPECT_EQ(sheet->minimumPointSizeStepper()->value(), 10.0);

    // A very large font keeps the sample at most 52 high.
    m_presenter.pickFont(QFont(QStringLiteral("Helvetica"), 300));
    EXPECT_EQ(sheet->textFontStat()->statisticFrame().height(), 52.0);
    EXPECT_EQ(sheet->textFontStat()->text(), "Helvetica 300");
    // A larger font leaves the minimum as it is.
    EXPECT_EQ(sheet->minimumPointSize(), 10.0f);
}

TEST_F(ToolFontSheetsTest, AddressSheet_OKGivesThePaletteAndTheSelectedBlockTheSameSettings)
{
    open({addressGraphicAt({10, 10, 200, 60})});
    canvas().selectGraphic(canvas().addressGraphic());
    palette().changeAddressFont();
    AddressToolFontController* sheet = addressSheet();
    ASSERT_TRUE(sheet);
    sheet->selectAddressFont();
    m_presenter.pickFont(QFont(QStringLiteral("Courier"), 14));
    sheet->minimumPointSizeStepper()->setValue(9);
    sheet->horizontalPlacementMatrix()->button(2)->click();
    sheet->verticalPlacementMatrix()->button(2)->click();
    sheet->rightAlignButton()->click();
    sheet->okayButton()->click();

    EXPECT_FALSE(sheet->window()->isVisible());
    EXPECT_FALSE(m_presenter.fontPanelShown());
    EXPECT_TRUE(canvas().clickable());
    const auto block = std::dynamic_pointer_cast<AddressGraphic>(canvas().addressGraphic());
    ASSERT_TRUE(block);
    EXPECT_EQ(block->font(), ArchivedFont(QStringLiteral("Courier"), 14));
    EXPECT_EQ(block->minimumPointSize(), 9.0f);
    EXPECT_EQ(block->horizontalAddressBlockPlacement(), 2);
    EXPECT_EQ(block->verticalAddressBlockPlacement(), 2);
    EXPECT_EQ(block->addressBlockAlignment(), 2);
    EXPECT_EQ(block->document().toPlainText(), "Address");
    EXPECT_EQ(palette().addressFont(), block->font());
    EXPECT_EQ(palette().minimumPointSize(), 9.0f);
    EXPECT_EQ(palette().horizontalAddressBlockPlacement(), 2);
    EXPECT_EQ(palette().verticalAddressBlockPlacement(), 2);
    EXPECT_EQ(palette().addressBlockAlignment(), 2);
}

TEST_F(ToolFontSheetsTest, AddressTool_OpensTheSheetFirstAndTheBlockDrawnTakesItsSettings)
{
    open({});
    QTest::mouseClick(palette().toolButton(DesignToolPaletteController::AddressTool),
                      Qt::LeftButton);
    AddressToolFontController* sheet = addressSheet();
    ASSERT_TRUE(sheet && sheet->window()->isVisible());
    EXPECT_EQ(palette().selectedToolRow(), DesignToolPaletteController::AddressTool);
    // Without a block: 8 points at least, the user font of 12, centred in its frame.
    EXPECT_EQ(sheet->minimumPointSize(), 8.0f);
    EXPECT_EQ(sheet->font().size(), 12.0);
    EXPECT_EQ(sheet->horizontalPlacementMatrix()->checkedId(), 1);
    EXPECT_EQ(sheet->verticalPlacementMatrix()->checkedId(), 1);
    EXPECT_TRUE(sheet->leftAlignButton()->isChecked());
    // A click on the canvas meanwhile only beeps.
    const int beeps = m_presenter.beepCount();
    drag({20, 20}, {150, 80});
    EXPECT_EQ(m_presenter.beepCount(), beeps + 1);
    EXPECT_TRUE(m_sheet->graphics()->isEmpty());

    sheet->minimumPointSizeStepper()->setValue(10);
    sheet->verticalPlacementMatrix()->button(0)->click();
    sheet->okay();
    EXPECT_TRUE(palette().toolButton(DesignToolPaletteController::RectangleTool)->isEnabled());
    drag({20, 20}, {150, 80});
    ASSERT_EQ(m_sheet->graphics()->size(), 1);
    const auto block = std::dynamic_pointer_cast<AddressGraphic>(m_sheet->graphics()->front());
    ASSERT_TRUE(block);
    EXPECT_EQ(block->minimumPointSize(), 10.0f);
    EXPECT_EQ(block->verticalAddressBlockPlacement(), 0);
    EXPECT_EQ(block->horizontalAddressBlockPlacement(), 1);
    EXPECT_EQ(palette().selectedToolRow(), DesignToolPaletteController::ArrowTool);
    // The design has its block now: the tool is off.
    EXPECT_FALSE(palette().toolButton(DesignToolPaletteController::AddressTool)->isEnabled());
}

TEST_F(ToolFontSheetsTest, Cancel_EitherSheetReturnsToTheArrowAndBringsThePageWindowForward)
{
    open({}, {"A", "B"});
    const ArchivedFont addressFontBefore = palette().addressFont();
    for (const int tool :
         {DesignToolPaletteController::AddressTool, DesignToolPaletteController::FieldTool}) {
        SCOPED_TRACE(tool);
        QTest::mouseClick(palette().toolButton(tool), Qt::LeftButton);
        ToolFontSheetController* sheet = tool == DesignToolPaletteController::AddressTool
                                             ? static_cast<ToolFontSheetController*>(addressSheet())
                                             : fieldSheet();
        ASSERT_TRUE(sheet && sheet->window()->isVisible());
        EXPECT_EQ(palette().selectedToolRow(), tool);
        sheet->selectFont();
        sheet->cancelButton()->click();
        EXPECT_FALSE(sheet->window()->isVisible());
        EXPECT_FALSE(m_presenter.fontPanelShown());
        EXPECT_EQ(palette().selectedToolRow(), DesignToolPaletteController::ArrowTool);
        // The page window's design sheet is in front again.
        EXPECT_TRUE(QTest::qWaitForWindowActive(m_sheet->window(), 1000));
        EXPECT_TRUE(canvas().clickable());
        EXPECT_TRUE(palette().toolButton(tool)->isEnabled());
    }
    EXPECT_EQ(palette().addressFont(), addressFontBefore);
    EXPECT_TRUE(m_sheet->graphics()->isEmpty());
}

TEST_F(ToolFontSheetsTest, FieldTool_OffersTheFieldAfterTheLastConfirmed_WrappingToTheFirst)
{
    open({}, {"A", "B", "C"});
    palette().setCurrentFieldName(QStringLiteral("C"));
    for (const QString& expected :
         {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}) {
        SCOPED_TRACE(expected.toStdString());
        QTest::mouseClick(palette().toolButton(DesignToolPaletteController::FieldTool),
                          Qt::LeftButton);
        FieldToolFontController* sheet = fieldSheet();
        ASSERT_TRUE(sheet && sheet->window()->isVisible());
        EXPECT_EQ(sheet->fieldName(), expected);
        EXPECT_EQ(sheet->fieldNamesPopup()->titleOfSelectedItem(), expected);
        sheet->okayButton()->click();
        drag({20, 20}, {150, 40});
        const auto drawn = std::dynamic_pointer_cast<FieldGraphic>(m_sheet->graphics()->front());
        ASSERT_TRUE(drawn);
        EXPECT_EQ(drawn->fieldName(), expected);
        canvas().clearSelection();
    }
    EXPECT_EQ(m_sheet->graphics()->size(), 3);
}

TEST_F(ToolFontSheetsTest, FieldSheet_OKGivesTheNextFieldItsFontAlignmentAndWholeMinimum)
{
    open({}, {"Name", "City"});
    palette().fieldSettingsHit();
    FieldToolFontController* sheet = fieldSheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->minimumPointSizeStepper()->value(), 8.0);
    sheet->fieldNamesPopup()->itemAtIndex(1)->trigger();
    EXPECT_EQ(sheet->fieldName(), "City");
    sheet->selectFieldFont();
    m_presenter.pickFont(QFont(QStringLiteral("Courier"), 18));
    // The field sheet leaves the minimum as it is when the font changes.
    sheet->minimumPointSizeStepper()->setValue(20.5);
    EXPECT_EQ(sheet->minimumPointSize(), 20.5f);
    sheet->centerAlignButton()->click();
    sheet->okay();

    EXPECT_EQ(palette().currentFieldName(), "City");
    EXPECT_EQ(palette().currentFieldFont(), ArchivedFont(QStringLiteral("Courier"), 18));
    EXPECT_EQ(palette().currentFieldAlignment(), 1);
    // OK lowers a minimum above the font's size.
    EXPECT_EQ(palette().fieldMinimumPointSize(), 18.0f);
    drag({20, 20}, {150, 80});
    const auto drawn = std::dynamic_pointer_cast<FieldGraphic>(m_sheet->graphics()->front());
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->fieldName(), "City");
    EXPECT_EQ(drawn->fieldAlignment(), 1);
    EXPECT_EQ(drawn->minimumPointSize(), 18.0f);
    EXPECT_EQ(drawn->bounds().height(), drawn->minSize().height());
}

TEST_F(ToolFontSheetsTest, FieldFontButton_RestylesTheSelectedFieldOneLineHigh)
{
    auto field = fieldGraphicAt({20, 40, 120, 16}, QStringLiteral("Name"));
    field->setFieldAlignment(2);
    field->setMinimumPointSize(0.5f);
    open({field}, {"Name", "City"});
    const std::shared_ptr<Graphic> shown = m_sheet->graphics()->front();
    canvas().selectGraphic(shown);
    QCoreApplication::processEvents();
    ASSERT_TRUE(palette().changeFieldFontButton()->isEnabled());
    QTest::mouseClick(palette().changeFieldFontButton(), Qt::LeftButton);
    FieldToolFontController* sheet = fieldSheet();
    ASSERT_TRUE(sheet && sheet->window()->isVisible());
    // The sheet starts from the field, not from the next one.
    EXPECT_EQ(sheet->fieldNamesPopup()->titleOfSelectedItem(), "Name");
    EXPECT_TRUE(sheet->rightAlignButton()->isChecked());
    EXPECT_EQ(sheet->minimumPointSize(), 8.0f);
    EXPECT_EQ(palette().selectedToolRow(), DesignToolPaletteController::ArrowTool);

    sheet->fieldNamesPopup()->itemAtIndex(1)->trigger();
    sheet->selectFieldFont();
    m_presenter.pickFont(QFont(QStringLiteral("Helvetica"), 24));
    sheet->minimumPointSizeStepper()->setValue(11);
    sheet->leftAlignButton()->click();
    sheet->okay();

    const auto restyled = std::dynamic_pointer_cast<FieldGraphic>(shown);
    EXPECT_EQ(restyled->fieldName(), "City");
    EXPECT_EQ(restyled->document().toPlainText(), "City");
    EXPECT_EQ(restyled->font(), ArchivedFont(QStringLiteral("Helvetica"), 24));
    EXPECT_EQ(restyled->fieldAlignment(), 0);
    EXPECT_EQ(restyled->minimumPointSize(), 11.0f);
    // Origin and width kept, one line of 24 points high ("Tg" 26 + 2).
    EXPECT_EQ(restyled->bounds(), QRectF(20, 40, 120, 28));
    EXPECT_EQ(palette().currentFieldName(), "City");
    EXPECT_EQ(palette().currentFieldAlignment(), 0);
}

TEST_F(ToolFontSheetsTest, FieldSheetWithoutFieldNames_ShowsAnEmptyPopUpAndKeepsOKOff)
{
    open({fieldGraphicAt({20, 40, 120, 16}, QStringLiteral("Name"))});
    canvas().selectGraphic(m_sheet->graphics()->front());
    palette().changeFieldFont();
    FieldToolFontController* sheet = fieldSheet();
    ASSERT_TRUE(sheet && sheet->window()->isVisible());
    EXPECT_EQ(sheet->fieldNamesPopup()->numberOfItems(), 0);
    EXPECT_FALSE(sheet->okayButton()->isEnabled());
    sheet->okay();
    EXPECT_TRUE(sheet->window()->isVisible());
    sheet->cancel();
    EXPECT_FALSE(sheet->window()->isVisible());
    const auto field = std::dynamic_pointer_cast<FieldGraphic>(m_sheet->graphics()->front());
    EXPECT_EQ(field->fieldName(), "Name");
    EXPECT_TRUE(canvas().clickable());
}

TEST_F(ToolFontSheetsTest, FontSheets_OpenOnlyOverAClickableCanvas)
{
    open({}, {"A"});
    canvas().setClickable(false);
    const int beeps = m_presenter.beepCount();
    palette().addressSettingsHit();
    palette().fieldSettingsHit();
    EXPECT_EQ(m_presenter.beepCount(), beeps + 2);
    EXPECT_FALSE(VKSheetController::topmostController<AddressToolFontController>());
    EXPECT_FALSE(VKSheetController::topmostController<FieldToolFontController>());
    canvas().setClickable(true);
}
