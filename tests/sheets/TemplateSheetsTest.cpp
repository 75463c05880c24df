// The sheets of a template's page window: the datafile it takes its records from, the
// label copies, and the page layout of labels and envelopes.
#include "AssociateDatafileSheetController.h"
#include "DocumentFixture.h"
#include "LabelCopiesSheetController.h"
#include "MarginUnits.h"
#include "PageView.h"
#include "PageViewController.h"
#include "PopUpButton.h"
#include "TemplateEnvelopePageSheetController.h"
#include "TemplateLabelPageSheetController.h"
#include "TemplateSettingsData.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QDir>
#include <QLineEdit>
#include <QMenu>

namespace {

class TemplateSheetsTest : public DocumentFixture {
protected:
    void TearDown() override
    {
        for (VKSheetController* sheet : m_opened)
            if (sheet->window()->isVisible())
                sheet->cancel();
        DocumentFixture::TearDown();
    }

    void setDatafilesFolder(const QString& path)
    {
        m_defaults.setObject(QUrl::fromLocalFile(path).toString() + '/',
                             QStringLiteral("DatafilesFolderURL"));
    }

    AssociateDatafileSheetController* openAssociateSheet()
    {
        auto* sheet = VKSheetController::controller<AssociateDatafileSheetController>();
        m_opened.append(sheet);
        sheet->beginDatafileSheetForWindow(nullptr, [this](QWidget*, int code) { m_code = code; });
        return sheet;
    }

    template <typename Sheet>
    Sheet* openPageSheet(const std::shared_ptr<TemplateSettingsData>& settings,
                         bool openPageSetup = false)
    {
        auto* sheet = static_cast<Sheet*>(
            TemplatePageSheetController::controllerForTemplate(settings->isEnvelope()));
        m_opened.append(sheet);
        sheet->beginSheetWithSettings(
            settings, {}, nullptr, [this](QWidget*, int code) { m_code = code; }, openPageSetup);
        return sheet;
    }

    static QStringList titles(const QMenu* menu)
    {
        QStringList list;
        for (const QAction* item : menu->actions())
            list.append(item->isSeparator() ? QStringLiteral("---") : item->text());
        return list;
    }

    QList<VKSheetController*> m_opened;
    int m_code = -1;
};

std::shared_ptr<TemplateSettingsData> letterLabels()
{
    auto settings = TemplateSettingsData::settings();
    PrintInfo letter = settings->printInfo();
    letter.setPaperSize(QSizeF(612, 792));
    settings->setPrintInfo(letter);
    return settings;
}

} // namespace

TEST_F(TemplateSheetsTest,
       AssociateSheet_TitleNoneAndSeparatorFirstEvenWithoutAFolder_NoneEndsEmpty)
{
    setDatafilesFolder(m_dir.filePath("Missing"));
    AssociateDatafileSheetController* sheet = openAssociateSheet();
    const QStringList fixed = titles(sheet->datafilesPopup()->menu());
    ASSERT_EQ(fixed.size(), 3);
    EXPECT_EQ(fixed.mid(1), QStringList({"None", "---"}));
    EXPECT_EQ(sheet->datafilesPopup()->indexOfSelectedItem(), 0);

    sheet->datafilesPopup()->menu()->actions().at(1)->trigger();
    EXPECT_EQ(m_code, 1);
    EXPECT_EQ(sheet->selectedDatafile(), nullptr);
    EXPECT_FALSE(sheet->window()->isVisible());
}

TEST_F(TemplateSheetsTest, AssociateSheet_ChoosingADatafileEndsWithItsPath_ReopeningListsItOnce)
{
    QDir().mkpath(m_dir.filePath("Datafiles"));
    QFile file(m_dir.filePath("Datafiles/People.nv3"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    setDatafilesFolder(m_dir.filePath("Datafiles"));

    AssociateDatafileSheetController* sheet = openAssociateSheet();
    sheet->cancel();
    EXPECT_EQ(m_code, 0);
    sheet = openAssociateSheet();
    const QList<QAction*> items = sheet->datafilesPopup()->menu()->actions();
    EXPECT_EQ(titles(sheet->datafilesPopup()->menu()).mid(1),
              QStringList({"None", "---", "People"}));
    items.at(3)->trigger();
    EXPECT_EQ(m_code, 1);
    ASSERT_TRUE(sheet->selectedDatafile());
    EXPECT_EQ(PopUpButton::representedObject(sheet->selectedDatafile()).toString(),
              m_dir.filePath("Datafiles/People.nv3"));
}

TEST_F(TemplateSheetsTest, LabelCopies_OneToAHundred)
{
    auto* sheet = VKSheetController::controller<LabelCopiesSheetController>();
    m_opened.append(sheet);
    sheet->beginLabelCopiesSheetForWindow(nullptr, 3,
                                          [this](QWidget*, int code) { m_code = code; });
    EXPECT_EQ(sheet->labelCopiesText()->text(), "3");
    for (const char* refused : {"0", "101", ""}) {
        sheet->labelCopiesText()->setText(refused);
        sheet->okay();
        EXPECT_EQ(m_code, -1) << refused;
        EXPECT_TRUE(sheet->window()->isVisible());
    }
    EXPECT_EQ(m_presenter.beepCount(), 3);
    sheet->labelCopiesText()->setText("100");
    sheet->okay();
    EXPECT_EQ(m_code, 1);
    EXPECT_EQ(sheet->labelCopies(), 100);
}

TEST_F(TemplateSheetsTest, LabelSheet_UnitsKeepTheLengthsAndTypedSizesLoseHalfAHundredth)
{
    auto settings = letterLabels();
    settings->setLabelTopMargin(36);
    auto* sheet = openPageSheet<TemplateLabelPageSheetController>(settings);
    EXPECT_EQ(sheet->marginsTopField()->text(), "0.50");
    EXPECT_EQ(sheet->unitsMatrix()->checkedId(), MarginUnits::InchesTag);

    sheet->unitsMatrix()->button(MarginUnits::CentimetresTag)->click();
    EXPECT_EQ(sheet->marginsTopField()->text(), "1.27");
    EXPECT_EQ(sheet->settings()->labelTopMargin(), 36.0f);
    EXPECT_EQ(sheet->settings()->units(), 1);

    // Back in inches: 4 inches typed.
    sheet->unitsMatrix()->button(MarginUnits::InchesTag)->click();
    sheet->sizeWidthField()->setText("4");
    sheet->apply();
    EXPECT_EQ(sheet->settings()->width(), 287.995f);
    // Shown again (as a change of units shows it), it reads 4.00, and applying that takes
    // nothing more off.
    sheet->prepare();
    EXPECT_EQ(sheet->sizeWidthField()->text(), "4.00");
    sheet->apply();
    EXPECT_EQ(sheet->settings()->width(), 287.995f);
    // The bottom and right margins follow from the paper.
    EXPECT_EQ(sheet->marginsRightField()->text(),
              QString::number(double(sheet->settings()->labelRightMargin()) / 72, 'f', 2));

    sheet->okay();
    EXPECT_EQ(m_code, 1);
    // The template's own settings are not the sheet's.
    EXPECT_EQ(settings->units(), 0);
    EXPECT_NE(settings->width(), 287.995f);
}

TEST_F(TemplateSheetsTest, LabelSheet_RefusesAGridOrSizeOfNothing)
{
    auto* sheet = openPageSheet<TemplateLabelPageSheetController>(letterLabels());
    const qint64 rows = sheet->settings()->labelRows();
    const struct {
        QLineEdit* field;
        const char* text;
    } cases[] = {{sheet->sizeRowsField(), "0"},
                 {sheet->sizeColumnsField(), "1.5"},
                 {sheet->sizeWidthField(), "0"},
                 {sheet->sizeHeightField(), "tall"}};
    for (const auto& c : cases) {
        const QString before = c.field->text();
        c.field->setText(c.text);
        sheet->apply();
        sheet->okay();
        EXPECT_EQ(m_code, -1) << c.text;
        EXPECT_EQ(sheet->settings()->labelRows(), rows);
        c.field->setText(before);
    }
    EXPECT_EQ(m_presenter.beepCount(), 8);
    sheet->okay();
    EXPECT_EQ(m_code, 1);
}

TEST_F(TemplateSheetsTest, EnvelopeSheet_OneEdgeToEdgeCellNoWiderThanThePaper)
{
    auto settings = letterLabels();
    settings->setIsEnvelope(true);
    settings->setLabelRows(3);
    settings->setLabelTopMargin(20);
    settings->setLabelHorizontalSpacing(5);
    auto* sheet = openPageSheet<TemplateEnvelopePageSheetController>(settings);
    sheet->sizeWidthField()->setText("9");
    sheet->apply();
    EXPECT_EQ(sheet->sizeWidthField()->text(), "8.50");
    EXPECT_EQ(sheet->settings()->width(), 612.0f);
    const TemplateSettingsData& applied = *sheet->settings();
    EXPECT_EQ(applied.labelRows(), 1);
    EXPECT_EQ(applied.labelColumns(), 1);
    EXPECT_EQ(applied.labelTopMargin(), 0.0f);
    EXPECT_EQ(applied.labelLeftMargin(), 0.0f);
    EXPECT_EQ(applied.labelVerticalSpacing(), 0.0f);
    EXPECT_EQ(applied.labelHorizontalSpacing(), 0.0f);
    // The feed choice shows in the preview; it is not stored.
    sheet->feedMatrix()->button(0)->click();
    EXPECT_EQ(sheet->settings()->dictionary().find("EnvelopeFeed"), nullptr);
}

TEST_F(TemplateSheetsTest, PageSetup_OpensAtOnceWhenAskedAndGoesOnlyIntoTheCopy)
{
    auto settings = letterLabels();
    PrintInfo a4 = settings->printInfo();
    a4.setPaperSize(QSizeF(595, 842));
    m_presenter.answerPageLayout(a4);
    auto* sheet = openPageSheet<TemplateLabelPageSheetController>(settings, true);
    ASSERT_EQ(m_presenter.pageLayouts().size(), 1);
    EXPECT_EQ(m_presenter.pageLayouts().front().printInfo.paperSize(), QSizeF(612, 792));
    EXPECT_EQ(sheet->settings()->printInfo().paperSize(), QSizeF(595, 842));
    EXPECT_EQ(sheet->pageViewController().pageView(), static_cast<PageDisplay*>(sheet->pageView()));
    EXPECT_TRUE(sheet->pageViewController().scaleToFit());
    sheet->cancel();
    EXPECT_EQ(m_code, 0);
    EXPECT_EQ(settings->printInfo().paperSize(), QSizeF(612, 792));

    // Without asking, no Page Setup until the button.
    m_presenter.answerPageLayout(std::nullopt);
    sheet = openPageSheet<TemplateLabelPageSheetController>(settings);
    EXPECT_EQ(m_presenter.pageLayouts().size(), 1);
    sheet->pageSetup();
    EXPECT_EQ(m_presenter.pageLayouts().size(), 2);
    EXPECT_EQ(sheet->settings()->printInfo().paperSize(), QSizeF(612, 792));
}
