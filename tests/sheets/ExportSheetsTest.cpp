// The export sheets as the user works them.
#include "DatafileSettingsData.h"
#include "ExportAsFreeformSheetController.h"
#include "ExportDelimitedSheetController.h"
#include "ScriptedPresenter.h"

#include <QListWidget>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

class ExportSheetsTest : public ::testing::Test {
protected:
    void SetUp() override { Presenter::setShared(&m_presenter); }
    void TearDown() override { Presenter::setShared(nullptr); }

    std::shared_ptr<DatafileSettingsData> settingsWithFields()
    {
        auto settings = DatafileSettingsData::settings();
        settings->setFields(PlistArray{PlistDictionary{{"Identifier", "F0"}, {"Name", "Name"}},
                                       PlistDictionary{{"Identifier", "F1"}, {"Name", "City"}}});
        return settings;
    }

    ScriptedPresenter m_presenter;
};

} // namespace

TEST_F(ExportSheetsTest, FreeformTemplate_TokenCopiedAndPasted_StaysAToken)
{
    auto* sheet = VKSheetController::controller<ExportAsFreeformSheetController>();
    sheet->beginSheetWithSettings(settingsWithFields(), QString(), nullptr, false, {});
    QTextEdit* text = sheet->freeformText();
    sheet->fieldNameList()->setCurrentRow(1);
    sheet->fieldNamesHit();
    text->selectAll();
    text->copy();
    QTest::keyClick(text, Qt::Key_End);
    QTest::keyClicks(text, " & ");
    text->paste();

    const FreeformTextFormat format = sheet->freeformTextFormat();
    QStringList tokens;
    for (const FreeformTextFormat::Element& element : format.elements()) {
        if (element.token)
            tokens.append(element.fieldName.value_or("?"));
    }
    EXPECT_EQ(tokens, QStringList({"City", "City"}));
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    sheet->cancel();

    // A new export starts from an empty template; a shared datafile opened read-only
    // says its settings will not be saved.
    auto settings = settingsWithFields();
    settings->setNetworkShared(true);
    sheet = VKSheetController::controller<ExportAsFreeformSheetController>();
    sheet->beginSheetWithSettings(settings, QString(), nullptr, true, {});
    EXPECT_TRUE(sheet->freeformTextFormat().isEmpty());
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "Changes to Datafile Settings will not be saved");
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "This datafile has been opened as read-only, so no changes can be saved.");
    sheet->cancel();
}

TEST_F(ExportSheetsTest, Help_EachSheet_OpensItsPageOfTheGuide)
{
    VKSheetController::controller<ExportAsCSVSheetController>()->help();
    VKSheetController::controller<ExportAsTabDelimitedSheetController>()->help();
    VKSheetController::controller<ExportAsFreeformSheetController>()->help();
    ASSERT_EQ(m_presenter.openedUrls().size(), 3);
    EXPECT_TRUE(m_presenter.openedUrls().at(0).toString().endsWith("/FileExportTab.html"));
    EXPECT_TRUE(m_presenter.openedUrls().at(1).toString().endsWith("/FileExportTab.html"));
    EXPECT_TRUE(m_presenter.openedUrls().at(2).toString().endsWith("/FileExportFreeform.html"));
}
