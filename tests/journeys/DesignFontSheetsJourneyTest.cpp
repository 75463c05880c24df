// The address and field font sheets of the Edit Design palette, from the template's page
// window to the pages it lays out.
#include "TemplatesJourneyFixture.h"

#include "AddressGraphic.h"
#include "AddressToolFontController.h"
#include "DesignToolPaletteController.h"
#include "FieldGraphic.h"
#include "FieldToolFontController.h"
#include "MutableDesignView.h"
#include "PageViewController.h"
#include "PopUpButton.h"
#include "TemplateDesignSheetController.h"
#include "TemplatePageWindowController.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDoubleSpinBox>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextCursor>

namespace {

class DesignFontSheetsJourneyTest : public TemplatesJourneyTest {
protected:
    // Edit Design from the page window's toolbar.
    TemplateDesignSheetController* openDesign() { return openDesignSheet(m_page->window()); }
    static DesignToolPaletteController& palette()
    {
        return DesignToolPaletteController::sharedDesignToolPaletteController();
    }
    static void save(QWidget* window, const char* name)
    {
        window->grab().toImage().save(QDir::temp().filePath(QString::fromLatin1(name)));
    }
    // The page's first cells, each one record.
    const std::vector<PageCell>& cells() const { return m_page->pageViewController().cells(); }
    // The cell whose address block begins so; -1 for none.
    int cellOf(const QString& start) const
    {
        for (int index = 0; index < int(cells().size()); ++index) {
            const auto block =
                std::dynamic_pointer_cast<AddressGraphic>(cells().at(index).graphics->front());
            if (block && block->document().toPlainText().startsWith(start))
                return index;
        }
        return -1;
    }

    void SetUp() override
    {
        TemplatesJourneyTest::SetUp();
        TemplateDocument* labels = openLabels();
        ASSERT_TRUE(labels);
        m_labels = labels;
        m_page =
            static_cast<TemplatePageWindowController*>(labels->windowControllers().front().get());
    }

    TemplateDocument* m_labels = nullptr;
    TemplatePageWindowController* m_page = nullptr;
};

} // namespace

TEST_F(DesignFontSheetsJourneyTest, AddressFont_CancelledThenChosen_ThePagesLayTheBlockOutSo)
{
    TemplateDesignSheetController* design = openDesign();
    ASSERT_TRUE(design);
    MutableDesignView* canvas = design->designView();
    // The block is selected with a click inside it.
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(100, 60));
    ASSERT_TRUE(canvas->addressGraphicSelected());
    QCoreApplication::processEvents();
    ASSERT_TRUE(palette().changeAddressFontButton()->isEnabled());

    // A first attempt, cancelled: nothing changes and the palette is back on the arrow.
    QTest::mouseClick(palette().changeAddressFontButton(), Qt::LeftButton);
    auto* sheet = VKSheetController::topmostController<AddressToolFontController>();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(sheet->window()));
    EXPECT_FALSE(canvas->clickable());
    sheet->minimumPointSizeStepper()->setValue(12);
    QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(sheet->window()->isVisible());
    EXPECT_TRUE(canvas->clickable());
    EXPECT_EQ(palette().selectedToolRow(), DesignToolPaletteController::ArrowTool);
    auto block = std::dynamic_pointer_cast<AddressGraphic>(canvas->addressGraphic());
    ASSERT_TRUE(block);
    EXPECT_EQ(block->minimumPointSize(), 8.0f);

    // Again: 14 points, at least 9, right and bottom, lines centred.
    QTest::mouseClick(palette().changeAddressFontButton(), Qt::LeftButton);
    sheet = VKSheetController::topmostController<AddressToolFontController>();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(sheet->window()));
    EXPECT_EQ(sheet->minimumPointSizeStepper()->value(), 8.0);
    QTest::mouseClick(sheet->textFontButton(), Qt::LeftButton);
    ASSERT_TRUE(m_presenter.fontPanelShown());
    const QString family = m_presenter.fontPanelFont().family();
    m_presenter.pickFont(QFont(family, 14));
    EXPECT_EQ(sheet->minimumPointSizeStepper()->maximum(), 14.0);
    sheet->minimumPointSizeStepper()->setFocus();
    QTest::keyClick(sheet->minimumPointSizeStepper(), Qt::Key_Up);
    EXPECT_EQ(sheet->minimumPointSize(), 9.0f);
    QTest::mouseClick(sheet->horizontalPlacementMatrix()->button(2), Qt::LeftButton);
    QTest::mouseClick(sheet->verticalPlacementMatrix()->button(2), Qt::LeftButton);
    QTest::mouseClick(sheet->centerAlignButton(), Qt::LeftButton);
    save(sheet->window(), "norva-address-font-sheet.png");
    QTest::mouseClick(sheet->okayButton(), Qt::LeftButton);
    EXPECT_FALSE(sheet->window()->isVisible());
    EXPECT_EQ(block->font(), ArchivedFont(family, 14));

    QTest::mouseClick(design->okayButton(), Qt::LeftButton);
    EXPECT_FALSE(design->window()->isVisible());
    EXPECT_TRUE(m_labels->isDocumentEdited());
    const auto master =
        std::dynamic_pointer_cast<AddressGraphic>(m_labels->masterGraphics().front());
    ASSERT_TRUE(master);
    EXPECT_EQ(master->minimumPointSize(), 9.0f);
    EXPECT_EQ(master->horizontalAddressBlockPlacement(), 2);
    EXPECT_EQ(master->verticalAddressBlockPlacement(), 2);
    EXPECT_EQ(master->addressBlockAlignment(), 1);

    // Each record's block sits in the frame's lower right corner, its lines centred.
    ASSERT_GE(cells().size(), 2u);
    const QRectF frame(18, 30, 250, 80);
    for (int index = 0; index < 2; ++index) {
        SCOPED_TRACE(index);
        const auto cellBlock =
            std::dynamic_pointer_cast<AddressGraphic>(cells().at(index).graphics->front());
        ASSERT_TRUE(cellBlock);
        const QRectF placed = cellBlock->bounds();
        EXPECT_NEAR(placed.right(), frame.right(), 0.01);
        EXPECT_NEAR(placed.bottom(), frame.bottom(), 0.01);
        EXPECT_LT(placed.width(), frame.width());
        const QTextBlock first = cellBlock->document().firstBlock();
        EXPECT_EQ(first.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QTextCursor start(first);
        start.movePosition(QTextCursor::NextCharacter);
        EXPECT_EQ(start.charFormat().font().pointSizeF(), 14.0);
    }
    EXPECT_EQ(cellOf("Bob Jones"), 1 - cellOf("Alice Smith\n12 Main St"));
}

TEST_F(DesignFontSheetsJourneyTest, FieldTool_AsksForTheFieldFirst_AndFieldFontRestylesTheSelected)
{
    TemplateDesignSheetController* design = openDesign();
    ASSERT_TRUE(design);
    MutableDesignView* canvas = design->designView();

    // The field tool asks first; the datafile's first field is proposed.
    QTest::mouseClick(palette().toolButton(DesignToolPaletteController::FieldTool), Qt::LeftButton);
    auto* sheet = VKSheetController::topmostController<FieldToolFontController>();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(sheet->window()));
    EXPECT_EQ(sheet->fieldNamesPopup()->titleOfSelectedItem(), "Name");
    save(sheet->window(), "norva-field-font-sheet.png");
    QTest::mouseClick(sheet->okayButton(), Qt::LeftButton);
    EXPECT_EQ(palette().selectedToolRow(), DesignToolPaletteController::FieldTool);
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(30, 180));
    QTest::mouseMove(canvas, QPoint(120, 200));
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    const auto drawn = std::dynamic_pointer_cast<FieldGraphic>(design->graphics()->at(1));
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->fieldName(), "Name");
    EXPECT_EQ(palette().selectedToolRow(), DesignToolPaletteController::ArrowTool);

    // The new field selected alone: Field Font… shows it as Phone in 16 points, centred.
    QCoreApplication::processEvents();
    ASSERT_TRUE(palette().changeFieldFontButton()->isEnabled());
    QTest::mouseClick(palette().changeFieldFontButton(), Qt::LeftButton);
    sheet = VKSheetController::topmostController<FieldToolFontController>();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->fieldNamesPopup()->titleOfSelectedItem(), "Name");
    sheet->fieldNamesPopup()->itemWithTag(1)->trigger();
    QTest::mouseClick(sheet->textFontButton(), Qt::LeftButton);
    m_presenter.pickFont(QFont(m_presenter.fontPanelFont().family(), 16));
    QTest::mouseClick(sheet->centerAlignButton(), Qt::LeftButton);
    QTest::mouseClick(sheet->okayButton(), Qt::LeftButton);
    EXPECT_EQ(drawn->fieldName(), "Phone");
    EXPECT_EQ(drawn->font().size(), 16.0);
    EXPECT_EQ(drawn->fieldAlignment(), 1);
    EXPECT_EQ(drawn->bounds().height(), drawn->minSize().height());

    QTest::mouseClick(design->okayButton(), Qt::LeftButton);
    ASSERT_EQ(m_labels->masterGraphics().size(), 4);
    ASSERT_GE(cells().size(), 2u);
    const int alice = cellOf("Alice Smith");
    ASSERT_GE(alice, 0);
    const auto cellField =
        std::dynamic_pointer_cast<FieldGraphic>(cells().at(alice).graphics->at(1));
    ASSERT_TRUE(cellField);
    EXPECT_EQ(cellField->document().toPlainText(), "555-0100");
}
