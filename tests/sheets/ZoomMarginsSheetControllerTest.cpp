// The zoom's margins sheet.
#include "DatafileSettingsData.h"
#include "ZoomMarginsSheetController.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

class ZoomMarginsSheetControllerTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (m_sheet)
            m_sheet->cancel();
    }

    ZoomMarginsSheetController* open(float points, bool useInches)
    {
        m_sheet = VKSheetController::controller<ZoomMarginsSheetController>();
        m_sheet->beginSheetWithLeftMargin(points, points, useInches, DatafileSettingsData::settings(),
                                          nullptr, [this](QWidget*, int code) { m_returnCode = code; });
        return m_sheet;
    }

    ZoomMarginsSheetController* m_sheet = nullptr;
    int m_returnCode = -1;
};

} // namespace

TEST_F(ZoomMarginsSheetControllerTest, Centimetres_SwitchToInches_AndOKGivesPoints)
{
    ZoomMarginsSheetController* sheet = open(72.0f, false);
    EXPECT_EQ(sheet->marginsLeftField()->text(), "2.54");
    EXPECT_EQ(sheet->marginsRightField()->text(), "2.54");

    sheet->unitsMatrix()->button(ZoomMarginsSheetController::InchesTag)->click();
    EXPECT_EQ(sheet->marginsLeftField()->text(), "1");
    EXPECT_TRUE(sheet->useInches());

    sheet->okay();
    m_sheet = nullptr;
    EXPECT_EQ(m_returnCode, 1);
    EXPECT_EQ(sheet->leftMargin(), 72.0f);
    EXPECT_EQ(sheet->rightMargin(), 72.0f);
}

TEST_F(ZoomMarginsSheetControllerTest, Typed_TheLeadingNumberCounts)
{
    const struct {
        const char* typed;
        float points;
    } cases[] = {{"2", 144.0f}, {"2abc", 144.0f}, {" 0,5", 36.0f}, {"junk", 0.0f}, {"", 0.0f}};
    for (const auto& typed : cases) {
        ZoomMarginsSheetController* sheet = open(36.0f, true);
        sheet->marginsLeftField()->setText(typed.typed);
        sheet->okay();
        m_sheet = nullptr;
        EXPECT_EQ(sheet->leftMargin(), typed.points) << typed.typed;
        EXPECT_EQ(sheet->rightMargin(), 36.0f);
    }
}
