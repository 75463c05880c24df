// The margins sheet of the record prints and the unit conversions it shares.
#include "DatafileSettingsData.h"
#include "MarginUnits.h"
#include "PrintMarginsSheetController.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

std::shared_ptr<DatafileSettingsData> settingsWithFields(int count)
{
    auto settings = DatafileSettingsData::settings();
    for (int i = 0; i < count; ++i)
        settings->addField(PlistDictionary{{QStringLiteral("Identifier"), QStringLiteral("F%1").arg(i)},
                                           {QStringLiteral("Name"), QStringLiteral("Field %1").arg(i)}});
    return settings;
}

class PrintMarginsSheetControllerTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (m_sheet)
            m_sheet->cancel();
    }

    // Opens the sheet with every margin at `points`; the return code lands in m_returnCode.
    PrintMarginsSheetController* open(float points, bool useInches, bool isListView = false,
                                      int fieldCount = 2)
    {
        m_sheet = VKSheetController::controller<PrintMarginsSheetController>();
        m_sheet->beginSheetWithTopMargin(points, points, points, points, false, true, false,
                                         useInches, true, isListView, settingsWithFields(fieldCount),
                                         nullptr, [this](QWidget*, int code) { m_returnCode = code; });
        return m_sheet;
    }

    PrintMarginsSheetController* m_sheet = nullptr;
    int m_returnCode = -1;
};

} // namespace

TEST(MarginUnitsTest, PointsShownInInchesAndCentimetresAndBack)
{
    EXPECT_EQ(MarginUnits::pixelsAsUnits(72.0f, true), 1.0f);
    EXPECT_EQ(MarginUnits::pixelsAsUnits(72.0f, false), 2.54f);
    EXPECT_EQ(MarginUnits::unitsAsPixels(2.54f, false), 72.0f);
    EXPECT_EQ(MarginUnits::unitsAsPixels(2.0f, true), 144.0f);
    EXPECT_EQ(MarginUnits::unitsAsPixels(MarginUnits::pixelsAsUnits(36.5f, false), false), 36.5f);
}

TEST_F(PrintMarginsSheetControllerTest, Centimetres_ShowTheMarginsSwitchToInchesAndOKGivesPoints)
{
    PrintMarginsSheetController* sheet = open(72.0f, false);
    EXPECT_EQ(sheet->marginsTopField()->text(), "2.54");
    EXPECT_EQ(sheet->unitsMatrix()->checkedId(), PrintMarginsSheetController::CentimetresTag);

    sheet->unitsMatrix()->button(PrintMarginsSheetController::InchesTag)->click();
    EXPECT_EQ(sheet->marginsTopField()->text(), "1");
    EXPECT_EQ(sheet->marginsRightField()->text(), "1");
    sheet->okay();
    EXPECT_EQ(m_returnCode, 1);
    EXPECT_EQ(sheet->topMargin(), 72.0f);
    EXPECT_EQ(sheet->leftMargin(), 72.0f);
    EXPECT_TRUE(sheet->useInches());
    m_sheet = nullptr;
}

TEST_F(PrintMarginsSheetControllerTest, TypedValues_AreTakenInTheUnitShown)
{
    PrintMarginsSheetController* sheet = open(72.0f, true);
    sheet->marginsTopField()->setText("2");
    sheet->marginsBottomField()->setText("0,5");
    sheet->marginsLeftField()->setText("none");
    sheet->printRecordNumbersCheck()->setChecked(true);
    sheet->okay();
    EXPECT_EQ(sheet->topMargin(), 144.0f);
    EXPECT_EQ(sheet->bottomMargin(), 36.0f);
    EXPECT_EQ(sheet->leftMargin(), 0.0f);
    EXPECT_TRUE(sheet->printRecordNumbers());
    EXPECT_TRUE(sheet->printBoldFieldNames());
    EXPECT_TRUE(sheet->printHeader());
    m_sheet = nullptr;
}

TEST_F(PrintMarginsSheetControllerTest, Enabling_FollowsTheViewAndTheFields)
{
    struct Case {
        const char* name;
        bool isListView;
        int fieldCount;
        bool emptyAndBold;
        bool numbers;
    };
    const Case cases[] = {
        {"Basic View with fields", false, 2, true, true},
        {"List View", true, 2, false, false},
        {"no fields", false, 0, false, true},
    };
    for (const Case& c : cases) {
        PrintMarginsSheetController* sheet = open(72.0f, true, c.isListView, c.fieldCount);
        EXPECT_EQ(sheet->dontPrintEmptyFieldsCheck()->isEnabled(), c.emptyAndBold) << c.name;
        EXPECT_EQ(sheet->printBoldFieldNamesCheck()->isEnabled(), c.emptyAndBold) << c.name;
        EXPECT_EQ(sheet->printRecordNumbersCheck()->isEnabled(), c.numbers) << c.name;
        EXPECT_TRUE(sheet->printHeaderCheck()->isEnabled()) << c.name;
        EXPECT_TRUE(sheet->marginsTopField()->isEnabled()) << c.name;
        sheet->cancel();
    }
    m_sheet = nullptr;
}

TEST_F(PrintMarginsSheetControllerTest, HideTicked_OKHides_CancelKeepsTheOpeningValues)
{
    PrintMarginsSheetController* sheet = open(72.0f, true);
    sheet->hideThisDialogCheck()->setChecked(true);
    sheet->okay();
    EXPECT_TRUE(sheet->hideMargins());

    sheet = open(36.0f, true);
    sheet->marginsTopField()->setText("3");
    sheet->hideThisDialogCheck()->setChecked(true);
    sheet->cancel();
    EXPECT_EQ(m_returnCode, 0);
    EXPECT_EQ(sheet->topMargin(), 36.0f);
    EXPECT_FALSE(sheet->hideMargins());
    m_sheet = nullptr;
}
