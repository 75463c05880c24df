// The Freeform Text Area's font sheet: each font picked is in the settings at once.
#include "CurrentTextFontSheetController.h"

#include "DatafileSettingsData.h"
#include "DocumentFixture.h"
#include "FontStatisticLabel.h"

#include <QPushButton>

namespace {

class CurrentTextFontSheetControllerTest : public DocumentFixture {
protected:
    void TearDown() override
    {
        if (m_sheet && m_sheet->window()->isVisible())
            m_sheet->cancel();
        DocumentFixture::TearDown();
    }

    CurrentTextFontSheetController* open(bool openedReadOnly = false)
    {
        m_sheet = VKSheetController::controller<CurrentTextFontSheetController>();
        m_sheet->beginSheetWithSettings(m_settings, nullptr, openedReadOnly, {});
        return m_sheet;
    }

    void pick(qreal points)
    {
        QFont font = m_presenter.fontPanelFont();
        font.setPointSizeF(points);
        m_presenter.pickFont(font);
    }

    std::shared_ptr<DatafileSettingsData> m_settings = DatafileSettingsData::settings();
    CurrentTextFontSheetController* m_sheet = nullptr;
};

} // namespace

TEST_F(CurrentTextFontSheetControllerTest, PickedFonts_AreStoredAtOnceAndCancelKeepsThem)
{
    m_settings->setTextFontSize(9);
    open();
    QFont nine = m_settings->textFont();
    EXPECT_EQ(m_sheet->textFontStat()->text(), FontStatisticLabel::statisticText(nine));
    EXPECT_DOUBLE_EQ(m_sheet->textFontStat()->statisticFrame().height(),
                     QFontMetricsF(nine).size(Qt::TextSingleLine, "Tg").height() + 6);
    m_sheet->textFontButton()->click();
    ASSERT_TRUE(m_presenter.fontPanelShown());
    pick(72);
    EXPECT_EQ(m_settings->dictionary().value("TextFontSize"), PlistValue(qint64(72)));
    EXPECT_EQ(m_sheet->textFontStat()->statisticFrame().height(), 52);
    pick(13.6);
    EXPECT_EQ(m_settings->dictionary().value("TextFontSize"), PlistValue(qint64(13)));
    EXPECT_EQ(m_settings->textFontName(), m_presenter.fontPanelFont().family());
    m_sheet->cancel();
    EXPECT_FALSE(m_presenter.fontPanelShown());
    EXPECT_EQ(m_settings->textFontSize(), 13);
}

TEST_F(CurrentTextFontSheetControllerTest, ReadOnlySharedDatafile_WarnsAndStillPicks)
{
    m_settings->setNetworkShared(true);
    open(true);
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    const ScriptedPresenter::ShownAlert& warning = m_presenter.lastAlert();
    EXPECT_TRUE(warning.sheet);
    EXPECT_EQ(warning.request.messageText, "Changes to Datafile Settings will not be saved");
    EXPECT_EQ(warning.request.informativeText,
              "This datafile has been opened as read-only, so no changes can be saved.");
    m_sheet->selectTextFont();
    pick(20);
    EXPECT_EQ(m_settings->textFontSize(), 20);
    m_sheet->okay();
    EXPECT_FALSE(m_sheet->window()->isVisible());
}
