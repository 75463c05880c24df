// The sort sheet of a datafile with fields, driven through its controls.
#include "SortFieldBasedRecordsSheetController.h"

#include "DocumentFixture.h"
#include "PopUpButton.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const PlistArray cityAndPopulation{
    PlistDictionary{{"Identifier", "C-ID"}, {"Name", "City"}},
    PlistDictionary{{"Identifier", "P-ID"}, {"Name", "Population"}},
};

class SortFieldBasedRecordsSheetControllerTest : public DocumentFixture {
protected:
    void TearDown() override
    {
        if (m_sheet)
            m_sheet->cancel();
        DocumentFixture::TearDown();
    }

    SortFieldBasedRecordsSheetController* open()
    {
        m_sheet = VKSheetController::controller<SortFieldBasedRecordsSheetController>();
        m_criteria = SortCriteriaData::criteria();
        m_sheet->beginSheetWithCriteria(m_criteria, cityAndPopulation, "Notes", &m_window, {});
        return m_sheet;
    }

    // OK as the editor ends it: the sheet's button, then the criteria written.
    PlistDictionary okay()
    {
        m_sheet->okayButton()->click();
        m_sheet->handleOkayClick();
        return m_criteria->dictionary();
    }

    static void choose(PopUpButton* popUp, int code)
    {
        QAction* item = popUp->itemWithTag(code);
        ASSERT_TRUE(item) << code;
        item->trigger();
    }

    QList<QRadioButton*> radios() const
    {
        return {m_sheet->asCaseInsensitiveText(), m_sheet->asCaseSensitiveText(),
                m_sheet->asStandardDates(), m_sheet->asEmailDates(), m_sheet->asNumbers()};
    }

    QWidget m_window;
    SortFieldBasedRecordsSheetController* m_sheet = nullptr;
    std::shared_ptr<SortCriteriaData> m_criteria;
};

} // namespace

TEST_F(SortFieldBasedRecordsSheetControllerTest, Reset_FirstFieldAsCaseInsensitiveText)
{
    open();
    m_sheet->secondarySort()->click();
    m_sheet->asNumbers()->click();
    m_sheet->addToSortTasksCheckbox()->click();
    m_sheet->sortTaskTitle()->setText("Kept");
    m_sheet->cancel();

    open();
    EXPECT_EQ(m_sheet->primaryPopup()->titleOfSelectedItem(), "City");
    EXPECT_EQ(m_sheet->secondaryPopup()->titleOfSelectedItem(), "City");
    EXPECT_FALSE(m_sheet->secondaryPopup()->isEnabled());
    EXPECT_FALSE(m_sheet->secondarySort()->isChecked());
    EXPECT_TRUE(m_sheet->secondarySort()->isEnabled());
    EXPECT_TRUE(m_sheet->asCaseInsensitiveText()->isChecked());
    for (QRadioButton* radio : radios())
        EXPECT_TRUE(radio->isEnabled());
    EXPECT_FALSE(m_sheet->reverseSortCheckbox()->isChecked());
    EXPECT_FALSE(m_sheet->addToSortTasksCheckbox()->isChecked());
    EXPECT_TRUE(m_sheet->sortTaskTitle()->text().isEmpty());
    EXPECT_TRUE(m_sheet->sortTaskTitle()->isReadOnly());
    EXPECT_TRUE(m_sheet->okayButton()->isEnabled());
}

TEST_F(SortFieldBasedRecordsSheetControllerTest, Primary_DatesTakeNoComparisonOrSecondary)
{
    const struct {
        int code;
        const char* key;
        bool date;
    } cases[] = {
        {1001, "CreatedDate", true},
        {1002, "ModifiedDate", true},
        {1003, "Text", false},
        {1, "P-ID", false},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.key);
        open();
        choose(m_sheet->primaryPopup(), testCase.code);
        for (QRadioButton* radio : radios())
            EXPECT_EQ(radio->isEnabled(), !testCase.date);
        EXPECT_EQ(m_sheet->secondarySort()->isEnabled(), !testCase.date);
        EXPECT_FALSE(m_sheet->secondaryPopup()->isEnabled());
        const PlistDictionary written = okay();
        EXPECT_EQ(written.value("SortPrimaryFieldIdentifier"), PlistValue(testCase.key));
        EXPECT_EQ(written.value("SortCompareSelector"), PlistValue(1));
        EXPECT_FALSE(written.contains("SortSecondaryFieldIdentifier"));
    }
}

TEST_F(SortFieldBasedRecordsSheetControllerTest,
       Secondary_OnlyWithItsBox_KeptWhenANumberRadioDisabledIt)
{
    open();
    m_sheet->secondarySort()->click();
    EXPECT_TRUE(m_sheet->secondaryPopup()->isEnabled());
    choose(m_sheet->secondaryPopup(), 1003); // the text, under the datafile's name for it
    EXPECT_EQ(m_sheet->secondaryPopup()->titleOfSelectedItem(), "Notes");
    m_sheet->asNumbers()->click();
    EXPECT_FALSE(m_sheet->secondarySort()->isEnabled());
    EXPECT_FALSE(m_sheet->secondaryPopup()->isEnabled());
    EXPECT_TRUE(m_sheet->secondarySort()->isChecked());
    // Choosing the primary key again leaves the secondary one off with numbers.
    choose(m_sheet->primaryPopup(), 1);
    EXPECT_FALSE(m_sheet->secondarySort()->isEnabled());
    EXPECT_FALSE(m_sheet->secondaryPopup()->isEnabled());
    PlistDictionary written = okay();
    EXPECT_EQ(written.value("SortSecondaryFieldIdentifier"), PlistValue("Text"));
    EXPECT_EQ(written.value("SortCompareSelector"), PlistValue(2));

    open();
    m_sheet->secondarySort()->click();
    choose(m_sheet->secondaryPopup(), 1);
    m_sheet->asStandardDates()->click();
    m_sheet->asCaseSensitiveText()->click();
    EXPECT_TRUE(m_sheet->secondarySort()->isEnabled());
    EXPECT_TRUE(m_sheet->secondaryPopup()->isEnabled());
    m_sheet->secondarySort()->click();
    EXPECT_FALSE(m_sheet->secondaryPopup()->isEnabled());
    written = okay();
    EXPECT_FALSE(written.contains("SortSecondaryFieldIdentifier"));
    EXPECT_EQ(written.value("SortCaseSensitive"), PlistValue(true));
}

TEST_F(SortFieldBasedRecordsSheetControllerTest, Ok_CompareKindReverseAndTitle)
{
    const struct {
        QRadioButton* (SortFieldBasedRecordsSheetController::*radio)() const;
        int compare;
        bool caseSensitive;
    } cases[] = {
        {&SortFieldBasedRecordsSheetController::asCaseInsensitiveText, 1, false},
        {&SortFieldBasedRecordsSheetController::asCaseSensitiveText, 1, true},
        {&SortFieldBasedRecordsSheetController::asStandardDates, 3, false},
        {&SortFieldBasedRecordsSheetController::asEmailDates, 4, false},
        {&SortFieldBasedRecordsSheetController::asNumbers, 2, false},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.compare);
        open();
        (m_sheet->*testCase.radio)()->click();
        m_sheet->reverseSortCheckbox()->click();
        const PlistDictionary written = okay();
        EXPECT_EQ(written.value("SortCompareSelector"), PlistValue(testCase.compare));
        EXPECT_EQ(written.value("SortCaseSensitive"), PlistValue(testCase.caseSensitive));
        EXPECT_EQ(written.value("VKSortDescending"), PlistValue(true));
        EXPECT_EQ(written.value("SortPrimaryFieldIdentifier"), PlistValue("C-ID"));
    }

    const struct {
        bool box;
        const char* typed;
        const char* title;
    } titles[] = {{true, "By city", "By city"}, {true, "", ""}, {false, "By city", ""}};
    for (const auto& testCase : titles) {
        SCOPED_TRACE(testCase.typed);
        open();
        if (testCase.box) {
            m_sheet->addToSortTasksCheckbox()->click();
            EXPECT_FALSE(m_sheet->sortTaskTitle()->isReadOnly());
        }
        m_sheet->sortTaskTitle()->setText(testCase.typed);
        okay();
        EXPECT_EQ(m_sheet->title(), testCase.title);
    }
    m_sheet->help();
    EXPECT_EQ(m_presenter.openedUrls().last().fragment(), "fieldbased");
}
