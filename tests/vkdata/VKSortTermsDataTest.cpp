#include "VKSortTermsData.h"
#include "VKSortedData.h"

#include "InternalInconsistency.h"
#include "VKArrayCategories.h"

#include <gtest/gtest.h>

TEST(VKSortTermsDataTest, Sort_CaseInsensitiveByDefaultAndStable)
{
    VKSortTermsData terms;
    terms.addTerm("b", "object b");
    terms.addTerm("A", "object A");
    terms.addTerm("c", "object c");
    terms.addTerm("B", "object B");
    terms.sort();
    EXPECT_EQ(PlistValue(terms.objects()),
              PlistValue(PlistArray{"object A", "object b", "object B", "object c"}));

    terms.sortCaseSensitive(true);
    EXPECT_EQ(PlistValue(terms.terms()), PlistValue(PlistArray{"A", "B", "b", "c"}));
}

TEST(VKSortTermsDataTest, Compare_NumbersDatesAndIncomparableTerms)
{
    const PlistArray objects{1, 2, 3, 4};
    const PlistArray terms{10.5, 2, PlistDate{-1}, PlistDate{-5}};
    const PlistArray sorted = VKSortTermsData::sortObjectsFromArray(
        objects, [&](const PlistValue& object) { return terms.at(object.integerValue() - 1); });
    // Numbers among themselves, dates among themselves; a number and a date are "same".
    EXPECT_EQ(PlistValue(sorted), PlistValue(PlistArray{2, 1, 4, 3}));

    EXPECT_EQ(VKSortTermsBitData(PlistArray(), 1).compare(VKSortTermsBitData("x", 2)), 0);
}

TEST(VKSortTermsDataTest, MissingTermsOrObjects_AreInternalInconsistencies)
{
    VKSortTermsData terms;
    const auto message = [&](auto&& call) {
        try {
            call();
        } catch (const InternalInconsistency& failure) {
            return failure.message();
        }
        return QString();
    };
    EXPECT_EQ(message([&] { terms.addTerm(PlistValue(), 1); }),
              QStringLiteral("-addTerm:forObject: -- The term is missing."));
    EXPECT_EQ(message([&] { terms.addTerm(1, PlistValue()); }),
              QStringLiteral("-addTerm:forObject: -- The object is missing."));
    EXPECT_EQ(message([&] { terms.addTermsFromArray(PlistArray{1}, PlistArray()); }),
              QStringLiteral("-addTermsFromArray:forObjectsFromArray: -- The number of terms and "
                             "objects does not match."));
}

TEST(VKSortedDataTest, InitWithoutArguments_IsEmptyAndAscending)
{
    VKSortedData sorted;
    sorted.initWithArray(std::nullopt, nullptr);
    EXPECT_EQ(sorted.count(), 0);
    ASSERT_TRUE(sorted.criteria());
    EXPECT_FALSE(sorted.criteria()->descending());
}

TEST(VKSortedDataTest, Sort_DescendingReversesTheAscendingOrder)
{
    auto criteria = VKSortCriteriaData::criteria();
    auto sorted = VKSortedData::sortedDataWithArray(PlistArray{"b", "c", "a"}, criteria);
    EXPECT_EQ(PlistValue(sorted->sortedArray()), PlistValue(PlistArray{"a", "b", "c"}));

    criteria->setDescending(true);
    sorted->sort();
    EXPECT_EQ(PlistValue(sorted->sortedArray()), PlistValue(PlistArray{"c", "b", "a"}));
}

TEST(VKSortedDataTest, Lookups_OutsideTheArrayAnswerNothing)
{
    VKSortedData sorted;
    sorted.initWithArray(PlistArray{"a", "b", "a"}, nullptr);
    EXPECT_TRUE(sorted.objectAtIndex(3).isNull());
    EXPECT_TRUE(sorted.objectAtIndex(-1).isNull());
    EXPECT_EQ(sorted.objectAtIndex(1), PlistValue("b"));
    EXPECT_EQ(sorted.indexOfObject("a"), 0);
    EXPECT_EQ(sorted.indexOfObject(PlistValue()), VKArrayCategories::NotFound);
    EXPECT_EQ(sorted.indexOfObject("z"), VKArrayCategories::NotFound);
    EXPECT_FALSE(sorted.isValidIndex(3));
}
