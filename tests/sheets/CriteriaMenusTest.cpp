// What the pop-ups of the selection and sort sheets offer, decided apart from the widgets.
#include "CriteriaMenus.h"

#include "PopUpButton.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

using namespace CriteriaMenus;

namespace {

const PlistArray twoFields{
    PlistDictionary{{"Identifier", "C-ID"}, {"Name", "City"}},
    PlistDictionary{{"Identifier", "N-ID"}, {"Name", "Name"}},
};

QList<int> codesOf(const CriteriaMenuItems& items)
{
    QList<int> codes;
    for (const CriteriaMenuItem& item : items)
        codes.append(item.separator ? -1 : item.code);
    return codes;
}

QStringList titlesOf(const CriteriaMenuItems& items)
{
    QStringList titles;
    for (const CriteriaMenuItem& item : items)
        titles.append(item.separator ? QStringLiteral("-") : item.title);
    return titles;
}

const QList<int> tenFieldOperators{1000, 1001, 1002, 1003, 1012, 1013, 1004, 1005, 1006, 1007};
const QList<int> textOperators{1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007};
const QList<int> dateOperators{1008, 1009, 1010, 1011};
const QList<int> numberOperators{1014, 1015, 1012, 1013};

} // namespace

TEST(CriteriaMenusTest, BasedOn_WithAndWithoutFields_ItemsCodesAndIdentifiers)
{
    const CriteriaMenuItems withFields = basedOnItems(twoFields, "Notes");
    EXPECT_EQ(titlesOf(withFields), QStringList({"Whole Record", "-", "City", "Name", "Notes", "-",
                                                 "Created Date", "Modified Date"}));
    EXPECT_EQ(codesOf(withFields), QList<int>({1000, -1, 0, 1, 1003, -1, 1001, 1002}));
    // Only the fields carry an identifier.
    for (const CriteriaMenuItem& item : withFields) {
        const QVariant expected = item.title == "City"   ? QVariant("C-ID")
                                  : item.title == "Name" ? QVariant("N-ID")
                                                         : QVariant();
        EXPECT_EQ(item.representedObject, expected) << item.title.toStdString();
    }

    // Without fields the whole record is the text: code 1003.
    const CriteriaMenuItems withoutFields = basedOnItems(PlistArray(), "Notes");
    EXPECT_EQ(titlesOf(withoutFields),
              QStringList({"Whole Record", "-", "Created Date", "Modified Date"}));
    EXPECT_EQ(codesOf(withoutFields), QList<int>({1003, -1, 1001, 1002}));
}

TEST(CriteriaMenusTest, ByBasis_WhereAndTreatAsMenus)
{
    const struct {
        int basedOn;
        QList<int> where;
        QList<int> treatAs;
    } cases[] = {
        {0, tenFieldOperators, {1000, 1001, 1002, 1003}},
        {7, tenFieldOperators, {1000, 1001, 1002, 1003}},
        {1000, {1000, 1001}, {1000, 1001, 1002, 1003}}, // the whole record: contains or not
        {1003, textOperators, {1000, 1001, 1002, 1003}},
        {1001, dateOperators, {1002}},
        {1002, dateOperators, {1002}},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.basedOn);
        EXPECT_EQ(codesOf(whereItemsForBasedOn(testCase.basedOn)), testCase.where);
        EXPECT_EQ(codesOf(treatAsItemsForBasedOn(testCase.basedOn)), testCase.treatAs);
    }
    EXPECT_EQ(titlesOf(whereItemsForBasedOn(0)),
              QStringList({"Contains", "Does Not Contain", "Equals", "Does Not Equal",
                           "Is Less Than", "Is Greater Than", "Begins With", "Does Not Begin With",
                           "Is Empty", "Is Not Empty"}));
    EXPECT_EQ(titlesOf(treatAsItemsForBasedOn(0)),
              QStringList({"Case-Insensitive Text", "Case-Sensitive Text", "Dates", "Numbers"}));
}

TEST(CriteriaMenusTest, ByTreatment_WhereMenus)
{
    const struct {
        int treatAs;
        bool hasFields;
        int basedOn;
        QList<int> where;
    } cases[] = {
        {1000, true, 0, textOperators},       {1001, true, 1003, textOperators},
        {1000, true, 1000, {1000, 1001}},  // whole record
        {1001, false, 1003, {1000, 1001}}, // no fields
        {1002, true, 0, dateOperators},       {1003, true, 0, numberOperators},
        {1003, false, 1003, numberOperators},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testing::Message() << testCase.treatAs << " " << testCase.basedOn);
        EXPECT_EQ(
            codesOf(whereItemsForTreatAs(testCase.treatAs, testCase.hasFields, testCase.basedOn)),
            testCase.where);
    }
    EXPECT_EQ(titlesOf(whereItemsForTreatAs(1003, true, 0)),
              QStringList({"Equals", "Does Not Equal", "Is Less Than", "Is Greater Than"}));
    EXPECT_EQ(titlesOf(whereItemsForTreatAs(1002, true, 0)),
              QStringList({"Equals", "Does Not Equal", "Is Later Than", "Is Earlier Than"}));
    EXPECT_EQ(codesOf(resetWhereItems(true)), QList<int>({1000, 1001}));
    EXPECT_EQ(codesOf(resetWhereItems(false)), QList<int>({1000, 1001, 1002, 1003, 1004, 1005}));
}

TEST(CriteriaMenusTest, SortKeys_PrimaryHasDatesSecondaryNot)
{
    const CriteriaMenuItems primary = sortPrimaryItems(twoFields, "Notes");
    EXPECT_EQ(titlesOf(primary),
              QStringList({"City", "Name", "Notes", "-", "Created Date", "Modified Date"}));
    EXPECT_EQ(codesOf(primary), QList<int>({0, 1, 1003, -1, 1001, 1002}));
    QStringList keys;
    for (const CriteriaMenuItem& item : primary)
        keys.append(item.representedObject.toString());
    EXPECT_EQ(keys, QStringList({"C-ID", "N-ID", "Text", "", "CreatedDate", "ModifiedDate"}));

    const CriteriaMenuItems secondary = sortSecondaryItems(twoFields, "Notes");
    EXPECT_EQ(titlesOf(secondary), QStringList({"City", "Name", "Notes"}));
    EXPECT_EQ(secondary.last().representedObject, QVariant("Text"));
    const CriteriaMenuItems none = sortSecondaryItems(PlistArray(), "Notes");
    EXPECT_EQ(titlesOf(none), QStringList({"<none>"}));
    EXPECT_EQ(codesOf(none), QList<int>({1003}));
}

TEST(CriteriaMenusTest, FillPopUp_ShowsSeparatorsAndSelectsTheFirstItem)
{
    PopUpButton popUp;
    fillPopUp(&popUp, basedOnItems(twoFields, "Notes"));
    ASSERT_EQ(popUp.numberOfItems(), 8);
    EXPECT_TRUE(popUp.itemAtIndex(1)->isSeparator());
    EXPECT_EQ(popUp.titleOfSelectedItem(), "Whole Record");
    EXPECT_EQ(popUp.selectedTag(), 1000);
    EXPECT_EQ(PopUpButton::representedObject(popUp.itemWithTag(1)), QVariant("N-ID"));

    // Filled again: the old items go.
    fillPopUp(&popUp, resetWhereItems(true));
    EXPECT_EQ(popUp.numberOfItems(), 2);
    EXPECT_EQ(popUp.titleOfSelectedItem(), "Contains");
}
