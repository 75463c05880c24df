#include "SinglePageSheetController.h"

#include "DatafileSettingsData.h"
#include "PageLayoutTesting.h"
#include "PopUpButton.h"
#include "ScriptedPresenter.h"

#include <QMenu>
#include <QTemporaryDir>

namespace {

// The Templates menu as the application has it: its six commands, then the templates.
class SinglePageSheetControllerTest : public testing::Test {
protected:
    void SetUp() override
    {
        Presenter::setShared(&presenter);
        for (const char* command : {"New Label…", "New Envelope…", "", "Show Templates Folder",
                                    "Change Templates Folder…", ""}) {
            if (*command)
                menu.addAction(QString::fromUtf8(command));
            else
                menu.addSeparator();
        }
        SinglePageSheetController::setTemplatesMenu([this] { return &menu; }, 6);
        sheet = VKSheetController::controller<SinglePageSheetController>();
    }
    void TearDown() override
    {
        if (sheet->window()->isVisible())
            sheet->cancel();
        SinglePageSheetController::setTemplatesMenu(nullptr, 0);
        Presenter::setShared(nullptr);
    }

    void addTemplate(QMenu* into, const QString& title, const QString& path)
    {
        PopUpButton::setRepresentedObject(into->addAction(title), path);
    }

    ScriptedPresenter presenter;
    QMenu menu;
    std::shared_ptr<DatafileSettingsData> settings = DatafileSettingsData::settings();
    std::shared_ptr<FakeRecordSource> records = std::make_shared<FakeRecordSource>(1);
    SinglePageSheetController* sheet = nullptr;
};

} // namespace

TEST_F(SinglePageSheetControllerTest, NoTemplate_NoPreviewNothingOpenedAndPrintOff)
{
    sheet->beginSheetWithSettings(settings, nullptr, records);
    EXPECT_EQ(sheet->templatesPopUp()->numberOfItems(), 0);
    EXPECT_FALSE(sheet->templateDocument());
    EXPECT_FALSE(sheet->printerButton()->isEnabled());
    EXPECT_TRUE(sheet->pageViewController().cells().empty());
    EXPECT_TRUE(presenter.alerts().isEmpty());
    sheet->printSingle();
    EXPECT_TRUE(presenter.printJobs().isEmpty());
    // Closed, the datafile keeps what it had.
    settings->setDefaultTemplateName(QStringLiteral("Shipping"));
    sheet->cancel();
    EXPECT_EQ(settings->defaultTemplateName(), "Shipping");
}

TEST_F(SinglePageSheetControllerTest, TemplatesFromTheSeventhItemOnFoldersFlatAndPrintRetitled)
{
    QTemporaryDir folder;
    addTemplate(&menu, "Shipping", folder.filePath("Shipping.zlabel"));
    addTemplate(&menu, "Letters", folder.filePath("Letters.zenv"));
    QMenu* sub = menu.addMenu(QStringLiteral("Office"));
    addTemplate(sub, "Badges", folder.filePath("Badges.zlabel"));
    addTemplate(&menu, "Parcels", folder.filePath("Parcels.label"));
    settings->setDefaultTemplateName(QStringLiteral("Parcels"));
    sheet->beginSheetWithSettings(settings, nullptr, records);
    QStringList titles;
    for (QAction* item : sheet->templatesPopUp()->itemArray())
        titles.append(item->text());
    EXPECT_EQ(titles, QStringList({"Shipping", "Letters", "Badges", "Parcels"}));
    EXPECT_EQ(sheet->templatesPopUp()->menu()->title(), "SingleTemplates");
    EXPECT_EQ(sheet->defaultTemplateName(), "Parcels");
    // Any extension but the label's is an envelope.
    EXPECT_EQ(sheet->templateFileType(), "Norva Envelope");
    EXPECT_EQ(sheet->titleForAction(QStringLiteral("printCurrentRecord:")), "Print...");
    EXPECT_TRUE(sheet->validateAction(QStringLiteral("printCurrentRecord:")));
}
