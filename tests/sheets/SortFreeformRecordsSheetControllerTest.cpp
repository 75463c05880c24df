// The sort sheet of a datafile without fields: its tabs, its number fields and the title
// list every datafile shares.
#include "SortFreeformRecordsSheetController.h"

#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "DocumentFixture.h"

namespace {

class SortFreeformRecordsSheetControllerTest : public DocumentFixture {
protected:
    void TearDown() override
    {
        if (m_sheet)
            m_sheet->cancel();
        DocumentFixture::TearDown();
    }

    SortFreeformRecordsSheetController* open()
    {
        m_sheet = VKSheetController::controller<SortFreeformRecordsSheetController>();
        m_criteria = SortCriteriaData::criteria();
        // What a sort sheet never writes: a secondary key.
        m_criteria->setSecondaryFieldIdentifier("F-ID");
        m_sheet->beginSheetWithCriteria(m_criteria, &m_window, {});
        return m_sheet;
    }

    void showTab(const QString& identifier)
    {
        QWidget* tab = m_sheet->tabWithIdentifier(identifier);
        ASSERT_TRUE(tab) << identifier.toStdString();
        m_sheet->sortTabView()->setCurrentWidget(tab);
    }

    PlistDictionary okay()
    {
        m_sheet->okayButton()->click();
        m_sheet->handleOkayClick();
        return m_criteria->dictionary();
    }

    QStringList storedTitles() const
    {
        return m_defaults.stringArrayForKey("SortTitleList").value_or(QStringList{"<missing>"});
    }

    void selectTitleRow(int row)
    {
        QTableView* table = m_sheet->titleTableView();
        table->selectionModel()->select(table->model()->index(row, 0),
                                        QItemSelectionModel::ClearAndSelect |
                                            QItemSelectionModel::Rows);
    }

    static void retype(QLineEdit* field, const QString& text)
    {
        field->clear();
        QTest::keyClicks(field, text);
    }

    QWidget m_window;
    SortFreeformRecordsSheetController* m_sheet = nullptr;
    std::shared_ptr<SortCriteriaData> m_criteria;
};

} // namespace

TEST_F(SortFreeformRecordsSheetControllerTest, TitleList_MissingOrEmpty_GetsTheDefaultsInOrder)
{
    const QStringList defaults{"D.D.S.", "DDS",  "D.D.", "DD",   "Dr.", "Fr.",   "IV",
                               "III",    "II",   "I",    "J.P.", "JP",  "Jr.",   "M.D.",
                               "MD",     "Miss", "Mr.",  "Mrs.", "Ms.", "Ph.D.", "PhD",
                               "Rev.",   "R.N.", "RN",   "Sr."};
    for (const bool empty : {false, true}) {
        SCOPED_TRACE(empty);
        if (empty)
            m_defaults.setObject(PlistArray(), "SortTitleList");
        else
            m_defaults.removeObjectForKey("SortTitleList");
        open();
        EXPECT_EQ(storedTitles(), defaults);
        EXPECT_EQ(m_sheet->titles(), defaults);
        EXPECT_EQ(m_sheet->titleTableView()->model()->rowCount(), 25);
        m_sheet->cancel();
    }

    // The user's own list stays as it is.
    m_defaults.setObject(PlistArray{"Herr", "Frau"}, "SortTitleList");
    open();
    EXPECT_EQ(m_sheet->titles(), QStringList({"Herr", "Frau"}));
    EXPECT_EQ(m_sheet->titleTableView()->model()->headerData(0, Qt::Horizontal), "Titles");
    EXPECT_EQ(storedTitles(), QStringList({"Herr", "Frau"}));
}

TEST_F(SortFreeformRecordsSheetControllerTest, TitleList_InsertDeleteAndEdit_KeptAtOnceEvenOnCancel)
{
    m_defaults.setObject(PlistArray{"Dr.", "Mr."}, "SortTitleList");
    open();
    EXPECT_FALSE(m_sheet->deleteTitleButton()->isEnabled());

    // Nothing selected: at the top, and being edited.
    m_sheet->insertTitleButton()->click();
    EXPECT_EQ(storedTitles(), QStringList({"New Title", "Dr.", "Mr."}));
    EXPECT_EQ(m_sheet->titleTableView()->currentIndex().row(), 0);
    EXPECT_TRUE(m_sheet->deleteTitleButton()->isEnabled());

    // The last row selected: at the end.
    selectTitleRow(2);
    EXPECT_TRUE(m_sheet->deleteTitleButton()->isEnabled());
    m_sheet->insertTitleButton()->click();
    EXPECT_EQ(storedTitles(), QStringList({"New Title", "Dr.", "Mr.", "New Title"}));

    // An edit of the table's cell is written at once.
    QAbstractItemModel* model = m_sheet->titleTableView()->model();
    EXPECT_TRUE(model->setData(model->index(3, 0), "Prof.", Qt::EditRole));
    EXPECT_EQ(storedTitles(), QStringList({"New Title", "Dr.", "Mr.", "Prof."}));
    EXPECT_EQ(model->data(model->index(3, 0), Qt::DisplayRole), "Prof.");

    selectTitleRow(0);
    m_sheet->deleteTitleButton()->click();
    EXPECT_EQ(storedTitles(), QStringList({"Dr.", "Mr.", "Prof."}));
    EXPECT_FALSE(m_sheet->deleteTitleButton()->isEnabled());

    m_sheet->cancel();
    EXPECT_EQ(storedTitles(), QStringList({"Dr.", "Mr.", "Prof."}));
    open();
    EXPECT_EQ(m_sheet->titles(), QStringList({"Dr.", "Mr.", "Prof."}));
}

TEST_F(SortFreeformRecordsSheetControllerTest, TitleList_TypedTitleCommittedByInsert)
{
    m_defaults.setObject(PlistArray{"Dr."}, "SortTitleList");
    open();
    m_sheet->window()->show();
    m_sheet->insertTitleButton()->click();
    QWidget* editor = m_sheet->titleTableView()->viewport()->findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    auto* field = static_cast<QLineEdit*>(editor);
    field->selectAll();
    QTest::keyClicks(field, "Sir");
    // Inserting another title first keeps what was typed.
    m_sheet->insertTitleButton()->click();
    EXPECT_EQ(storedTitles(), QStringList({"Sir", "New Title", "Dr."}));
}

TEST_F(SortFreeformRecordsSheetControllerTest, Ok_EachTabWritesItsKindAndCodes)
{
    using Sheet = SortFreeformRecordsSheetController;
    using Radio = QRadioButton* (Sheet::*)() const;
    const struct {
        const char* tab;
        Radio radio;
        QList<std::pair<const char*, PlistValue>> expected;
    } cases[] = {
        {"Name",
         &Sheet::nameOnLineNumberRadio,
         {{"SortCompareSelector", 6}, {"SortNameLineNumber", 3}}},
        {"Name",
         &Sheet::nameOnLastLineOfAddressRadio,
         {{"SortCompareSelector", 6}, {"SortNameLineNumber", -1}}},
        {"Name",
         &Sheet::nameOnLastLineOfRecordRadio,
         {{"SortCompareSelector", 6}, {"SortNameLineNumber", -2}}},
        {"Word",
         &Sheet::lineFromTopOfAddressRadio,
         {{"SortCompareSelector", 7},
          {"SortWordLineNumber", 3},
          {"SortWordLineOffset", -4},
          {"SortWordNumber", 4}}},
        {"Word", &Sheet::lineFromTopOfRecordRadio, {{"SortWordLineOffset", -6}}},
        {"Word", &Sheet::lineFromBottomOfAddressRadio, {{"SortWordLineOffset", -5}}},
        {"Word", &Sheet::lineFromBottomOfRecordRadio, {{"SortWordLineOffset", -7}}},
        // The last word whatever the word field holds.
        {"Word", &Sheet::byLastWordRadio, {{"SortCompareSelector", 7}, {"SortWordNumber", -3}}},
        {"Other",
         &Sheet::byWholeRecordRadio,
         {{"SortCompareSelector", 11}, {"SortPrimaryFieldIdentifier", ""}}},
        {"Other",
         &Sheet::byCreatedDateRadio,
         {{"SortCompareSelector", 9}, {"SortPrimaryFieldIdentifier", ""}}},
        {"Other",
         &Sheet::byModifiedDateRadio,
         {{"SortCompareSelector", 10}, {"SortPrimaryFieldIdentifier", ""}}},
        {"Other",
         &Sheet::byPostalCodeRadio,
         {{"SortCompareSelector", 8}, {"SortPrimaryFieldIdentifier", ""}}},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testing::Message() << testCase.tab << " " << testCase.expected.last().first);
        open();
        showTab(testCase.tab);
        retype(m_sheet->nameLineNumberField(), "3");
        retype(m_sheet->lineNumberField(), "3");
        retype(m_sheet->wordNumberField(), "4");
        (m_sheet->*testCase.radio)()->click();
        const PlistDictionary written = okay();
        for (const auto& [key, value] : testCase.expected)
            EXPECT_EQ(written.value(key), value) << key;
        EXPECT_FALSE(written.contains("SortSecondaryFieldIdentifier"));
        EXPECT_EQ(written.value("VKSortDescending"), PlistValue(false));
        EXPECT_EQ(m_sheet->title(), "");
    }

    open();
    m_sheet->reverseSortCheckbox()->click();
    m_sheet->addToSortTasksCheckbox()->click();
    m_sheet->sortTaskTitle()->setText("By surname");
    const PlistDictionary written = okay();
    EXPECT_EQ(written.value("VKSortDescending"), PlistValue(true));
    EXPECT_EQ(written.value("SortNameLineNumber"), PlistValue(1)); // reset: line 1
    EXPECT_EQ(m_sheet->title(), "By surname");
}

TEST_F(SortFreeformRecordsSheetControllerTest, NumberFields_TakeWholeNumbersFromOne)
{
    using Sheet = SortFreeformRecordsSheetController;
    const struct {
        const char* tab;
        QLineEdit* (Sheet::*field)() const;
    } cases[] = {
        {"Name", &Sheet::nameLineNumberField},
        {"Word", &Sheet::lineNumberField},
        {"Word", &Sheet::wordNumberField},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testing::Message() << testCase.tab);
        open();
        showTab(testCase.tab);
        QLineEdit* field = (m_sheet->*testCase.field)();
        for (const char* typed : {"0", "", "00"}) {
            retype(field, typed);
            EXPECT_FALSE(m_sheet->okayButton()->isEnabled()) << typed;
            EXPECT_FALSE(m_sheet->validate()) << typed;
        }
        // A sign cannot be typed: -1 would mean the last line.
        retype(field, "-1");
        EXPECT_EQ(field->text(), "1");
        retype(field, "12");
        EXPECT_TRUE(m_sheet->okayButton()->isEnabled());
        retype(field, "0");
        // Another tab does not read the field.
        showTab("Other");
        EXPECT_TRUE(m_sheet->okayButton()->isEnabled());
        m_sheet->cancel();
    }

    // A field whose radio is off is out of use.
    open();
    retype(m_sheet->nameLineNumberField(), "0");
    m_sheet->nameOnLastLineOfRecordRadio()->click();
    EXPECT_FALSE(m_sheet->nameLineNumberField()->isEnabled());
    EXPECT_TRUE(m_sheet->okayButton()->isEnabled());
    m_sheet->nameOnLineNumberRadio()->click();
    EXPECT_FALSE(m_sheet->okayButton()->isEnabled());
}

TEST_F(SortFreeformRecordsSheetControllerTest, Reset_FirstTabAndDefaultRadiosAndNumbers)
{
    open();
    showTab("Word");
    m_sheet->byLastWordRadio()->click();
    m_sheet->lineFromBottomOfRecordRadio()->click();
    retype(m_sheet->lineNumberField(), "5");
    m_sheet->reverseSortCheckbox()->click();
    m_sheet->cancel();

    open();
    EXPECT_EQ(m_sheet->sortTabView()->currentWidget(), m_sheet->tabWithIdentifier("Name"));
    for (QRadioButton* radio : {m_sheet->byWholeRecordRadio(), m_sheet->lineFromTopOfAddressRadio(),
                                m_sheet->byWordNumberRadio(), m_sheet->nameOnLineNumberRadio()})
        EXPECT_TRUE(radio->isChecked()) << radio->text().toStdString();
    for (QLineEdit* field :
         {m_sheet->nameLineNumberField(), m_sheet->lineNumberField(), m_sheet->wordNumberField()})
        EXPECT_EQ(field->text(), "1");
    EXPECT_FALSE(m_sheet->reverseSortCheckbox()->isChecked());
    EXPECT_TRUE(m_sheet->sortTaskTitle()->isReadOnly());
    m_sheet->help();
    EXPECT_TRUE(m_presenter.openedUrls().last().toString().endsWith("/EditSort.html"));
}
