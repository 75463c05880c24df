// The Select Records sheet driven as a user would: choices in its pop-ups, text in its
// value fields, its boxes clicked, and OK.
#include "SelectRecordsSheetController.h"

#include "DocumentFixture.h"
#include "PopUpButton.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

const PlistArray cityAndName{
    PlistDictionary{{"Identifier", "C-ID"}, {"Name", "City"}},
    PlistDictionary{{"Identifier", "N-ID"}, {"Name", "Name"}},
};

class SelectRecordsSheetControllerTest : public DocumentFixture {
protected:
    void TearDown() override
    {
        if (m_sheet)
            m_sheet->cancel();
        DocumentFixture::TearDown();
    }

    SelectRecordsSheetController* open(const PlistArray& fields = cityAndName)
    {
        m_sheet = VKSheetController::controller<SelectRecordsSheetController>();
        m_criteria = SubsetSortCriteriaData::criteria();
        m_sheet->beginSheetWithCriteria(
            m_criteria, fields, "Notes", &m_window,
            [this](QWidget*, int returnCode) { m_returnCodes.append(returnCode); });
        return m_sheet;
    }

    // The user picks the item of that code.
    static void choose(PopUpButton* popUp, int code)
    {
        QAction* item = popUp->itemWithTag(code);
        ASSERT_TRUE(item) << code;
        ASSERT_TRUE(popUp->isEnabled()) << code;
        item->trigger();
    }

    static QList<int> codesOf(const PopUpButton* popUp)
    {
        QList<int> codes;
        for (const QAction* item : popUp->itemArray())
            if (!item->isSeparator())
                codes.append(PopUpButton::tag(item));
        return codes;
    }

    bool okayEnabled() const { return m_sheet->okayButton()->isEnabled(); }

    bool rowTwoEnabled() const
    {
        return m_sheet->basedOnPopup(1)->isEnabled() && m_sheet->treatAsPopup(1)->isEnabled() &&
               m_sheet->wherePopup(1)->isEnabled() && m_sheet->whereField(1)->isEnabled();
    }
    bool rowTwoDisabled() const
    {
        return !m_sheet->basedOnPopup(1)->isEnabled() && !m_sheet->treatAsPopup(1)->isEnabled() &&
               !m_sheet->wherePopup(1)->isEnabled() && !m_sheet->whereField(1)->isEnabled();
    }

    QWidget m_window;
    SelectRecordsSheetController* m_sheet = nullptr;
    std::shared_ptr<SubsetSortCriteriaData> m_criteria;
    QList<int> m_returnCodes;
};

} // namespace

TEST_F(SelectRecordsSheetControllerTest, Reset_FirstRowReadyTheSecondOff_EvenWithCriteriaStored)
{
    for (const bool withFields : {true, false}) {
        SCOPED_TRACE(withFields);
        open(withFields ? cityAndName : PlistArray());
        // Stored criteria are never shown: a reset sheet opens.
        m_criteria->setWhereField1("stored");
        EXPECT_EQ(m_sheet->basedOnPopup(0)->titleOfSelectedItem(), "Whole Record");
        EXPECT_EQ(m_sheet->basedOnPopup(0)->selectedTag(), withFields ? 1000 : 1003);
        EXPECT_EQ(m_sheet->treatAsPopup(0)->selectedTag(), 1000);
        // The treatment rule runs last: contains or not, whatever the fields.
        EXPECT_EQ(codesOf(m_sheet->wherePopup(0)), QList<int>({1000, 1001}));
        EXPECT_TRUE(m_sheet->whereField(0)->isEnabled());
        EXPECT_TRUE(m_sheet->whereField(0)->text().isEmpty());
        EXPECT_TRUE(rowTwoDisabled());
        EXPECT_FALSE(m_sheet->whereField(1)->hasFrame()); // drawn as plain text
        EXPECT_TRUE(m_sheet->whereField(0)->hasFrame());
        EXPECT_FALSE(m_sheet->andSelect()->isEnabled());
        EXPECT_FALSE(m_sheet->orSelect()->isEnabled());
        EXPECT_FALSE(okayEnabled());
        EXPECT_FALSE(m_criteria->andSelect());
        m_sheet->cancel();
    }
}

TEST_F(SelectRecordsSheetControllerTest, EmptyValue_DisablesOkUnlessTheOperatorNeedsNone)
{
    open();
    choose(m_sheet->basedOnPopup(0), 0); // City
    EXPECT_EQ(codesOf(m_sheet->wherePopup(0)),
              QList<int>({1000, 1001, 1002, 1003, 1012, 1013, 1004, 1005, 1006, 1007}));
    for (const int where : {1000, 1001, 1002, 1003, 1012, 1013, 1004, 1005, 1006, 1007}) {
        SCOPED_TRACE(where);
        choose(m_sheet->wherePopup(0), where);
        const bool needsNoValue = where == 1006 || where == 1007;
        EXPECT_EQ(m_sheet->whereField(0)->isEnabled(), !needsNoValue);
        EXPECT_EQ(okayEnabled(), needsNoValue);
        if (!needsNoValue) {
            m_sheet->whereField(0)->setText("x");
            EXPECT_TRUE(okayEnabled());
            m_sheet->whereField(0)->clear();
        }
    }
    // Is Empty empties the value and takes it out of use: OK reads none.
    m_sheet->whereField(0)->setText("x");
    choose(m_sheet->wherePopup(0), 1006);
    EXPECT_TRUE(m_sheet->whereField(0)->text().isEmpty());
    EXPECT_EQ(m_sheet->whereField1ControlValue(), "");
    EXPECT_TRUE(m_sheet->andSelect()->isEnabled()) << "a criterion needing no value can be joined";
}

TEST_F(SelectRecordsSheetControllerTest, AndOr_NeverBothOn_AndEmptyingValueOneTurnsBothOff)
{
    open();
    m_sheet->whereField(0)->setText("Boston");
    EXPECT_TRUE(m_sheet->andSelect()->isEnabled());
    EXPECT_TRUE(m_sheet->orSelect()->isEnabled());

    m_sheet->andSelect()->click();
    EXPECT_TRUE(m_criteria->andSelect());
    EXPECT_FALSE(m_criteria->orSelect());
    EXPECT_FALSE(m_sheet->orSelect()->isEnabled());
    EXPECT_TRUE(rowTwoEnabled());
    EXPECT_TRUE(m_sheet->whereField(1)->hasFrame());
    EXPECT_FALSE(okayEnabled()) << "the second value is empty";
    m_sheet->whereField(1)->setText("A");
    EXPECT_TRUE(okayEnabled());
    // Typing on in the first value keeps Or off.
    m_sheet->whereField(0)->setText("Bostons");
    EXPECT_FALSE(m_sheet->orSelect()->isEnabled());
    EXPECT_TRUE(m_sheet->andSelect()->isChecked());

    // Unchecking frees Or, and row 2 goes back to its first items, emptied and off.
    choose(m_sheet->basedOnPopup(1), 1);
    m_sheet->andSelect()->click();
    EXPECT_FALSE(m_criteria->andSelect());
    EXPECT_TRUE(m_sheet->orSelect()->isEnabled());
    EXPECT_TRUE(rowTwoDisabled());
    EXPECT_EQ(m_sheet->basedOnPopup(1)->indexOfSelectedItem(), 0);
    EXPECT_TRUE(m_sheet->whereField(1)->text().isEmpty());
    EXPECT_FALSE(m_sheet->whereField(1)->hasFrame());

    m_sheet->orSelect()->click();
    EXPECT_TRUE(m_criteria->orSelect());
    EXPECT_FALSE(m_sheet->andSelect()->isEnabled());
    m_sheet->whereField(1)->setText("A");

    // Emptying the first value: no criterion to join to.
    m_sheet->whereField(0)->clear();
    EXPECT_FALSE(m_sheet->andSelect()->isChecked());
    EXPECT_FALSE(m_sheet->orSelect()->isChecked());
    EXPECT_FALSE(m_sheet->andSelect()->isEnabled());
    EXPECT_FALSE(m_sheet->orSelect()->isEnabled());
    EXPECT_FALSE(m_criteria->andSelect());
    EXPECT_FALSE(m_criteria->orSelect());
    EXPECT_TRUE(rowTwoDisabled());
    EXPECT_TRUE(m_sheet->whereField(1)->text().isEmpty());
}

TEST_F(SelectRecordsSheetControllerTest, Ok_WritesEveryCodeAndTheIdentifierOnlyForAField)
{
    open();
    choose(m_sheet->basedOnPopup(0), 0); // City
    choose(m_sheet->wherePopup(0), 1002);
    m_sheet->whereField(0)->setText("Boston");
    m_sheet->andSelect()->click();
    choose(m_sheet->basedOnPopup(1), 1); // Name
    choose(m_sheet->treatAsPopup(1), 1001);
    choose(m_sheet->wherePopup(1), 1004);
    m_sheet->whereField(1)->setText("A");
    m_sheet->okayButton()->click();
    ASSERT_EQ(m_returnCodes, QList<int>({1}));
    m_sheet->handleOkayClick();

    const PlistDictionary written = m_criteria->dictionary();
    const PlistDictionary expected{
        {"SubsetSelectAll", false},
        {"SubsetAndSelect", true},
        {"SubsetOrSelect", false},
        {"SubsetBasedOnPopup1", 0},
        {"SubsetBasedOnIdentifiier1", "C-ID"},
        {"SubsetTreatAsPopup1", 1000},
        {"SubsetWhereField1", "Boston"},
        {"SubsetWherePopup1", 1002},
        {"SubsetBasedOnPopup2", 1},
        {"SubsetBasedOnIdentifiier2", "N-ID"},
        {"SubsetTreatAsPopup2", 1001},
        {"SubsetWhereField2", "A"},
        {"SubsetWherePopup2", 1004},
    };
    for (const QString& key : expected.keys())
        EXPECT_EQ(written.value(key), expected.value(key)) << key.toStdString();

    // The whole record, the text and a date carry no identifier.
    for (const int basis : {1000, 1003, 1001}) {
        SCOPED_TRACE(basis);
        open();
        m_criteria->setBasedOnIdentifier1("left over");
        choose(m_sheet->basedOnPopup(0), basis);
        m_sheet->whereField(0)->setText(basis == 1001 ? "1/1/2020" : "x");
        m_sheet->okayButton()->click();
        m_sheet->handleOkayClick();
        const PlistDictionary dictionary = m_criteria->dictionary();
        EXPECT_EQ(dictionary.value("SubsetBasedOnPopup1"), PlistValue(basis));
        EXPECT_FALSE(dictionary.contains("SubsetBasedOnIdentifiier1"));
        EXPECT_FALSE(dictionary.contains("SubsetBasedOnIdentifiier2"));
        // The unused second row is written as it stands: empty.
        EXPECT_EQ(dictionary.value("SubsetWhereField2"), PlistValue(""));
        EXPECT_EQ(dictionary.value("SubsetWherePopup2"), PlistValue(1000));
    }
}

TEST_F(SelectRecordsSheetControllerTest, Choices_RebuildTheRowAndTheControlReaders)
{
    open();
    choose(m_sheet->basedOnPopup(0), 1002); // Modified Date
    EXPECT_EQ(codesOf(m_sheet->treatAsPopup(0)), QList<int>({1002}));
    EXPECT_EQ(codesOf(m_sheet->wherePopup(0)), QList<int>({1008, 1009, 1010, 1011}));
    EXPECT_EQ(m_criteria->basedOnIdentifier1(), "");

    choose(m_sheet->basedOnPopup(0), 1); // Name
    EXPECT_EQ(m_criteria->basedOnIdentifier1(), "N-ID");
    choose(m_sheet->treatAsPopup(0), 1003);
    EXPECT_EQ(codesOf(m_sheet->wherePopup(0)), QList<int>({1014, 1015, 1012, 1013}));
    EXPECT_EQ(m_sheet->wherePopup(0)->titleOfSelectedItem(), "Equals");
    choose(m_sheet->wherePopup(0), 1013);
    m_sheet->whereField(0)->setText("5");

    EXPECT_EQ(m_sheet->basedOnPopup1ControlValue(), 3); // after "Whole Record", a separator, "City"
    EXPECT_EQ(m_sheet->treatAsPopup1ControlValue(), 3);
    EXPECT_EQ(m_sheet->wherePopup1ControlValue(), 3);
    EXPECT_EQ(m_sheet->whereField1ControlValue(), "5");
    EXPECT_EQ(m_sheet->whereField2ControlValue(), "");
    EXPECT_FALSE(m_sheet->andSelectControlValue());
    EXPECT_FALSE(m_sheet->orSelectControlValue());

    // Help opens the sheet's own page of the guide.
    m_sheet->help();
    ASSERT_FALSE(m_presenter.openedUrls().isEmpty());
    EXPECT_TRUE(m_presenter.openedUrls().last().toString().endsWith("/SelectRecords.html"));
}
