#include "VKArrayCategories.h"

#include <gtest/gtest.h>

using namespace VKArrayCategories;

namespace {

PlistDictionary entry(const char* name)
{
    return PlistDictionary{{"Name", name}};
}

} // namespace

TEST(VKArrayCategoriesTest, IsValidIndexAcceptsOnlyPositionsInsideTheArray)
{
    const PlistArray array{"a", "b", "c"};
    for (const auto& [index, valid] : std::vector<std::pair<qint64, bool>>{
             {-1, false}, {0, true}, {2, true}, {3, false}, {NotFound, false}}) {
        EXPECT_EQ(isValidIndex(array, index), valid) << index;
        EXPECT_EQ(isValidIndex(QList<int>{1, 2, 3}, index), valid) << index;
    }
}

TEST(VKArrayCategoriesTest, ObjectMatchingStopsAtANonDictionaryWhileIndexOfSkipsIt)
{
    const PlistDictionary wanted = entry("Bob");
    const PlistArray withoutKey{PlistDictionary{{"Other", "Bob"}}, wanted};
    EXPECT_TRUE(objectMatching(withoutKey, "Bob", "Name").asDictionary()->isSameObject(wanted));
    EXPECT_EQ(indexOfObjectMatching(withoutKey, "Bob", "Name"), 1);

    const PlistArray afterString{"Bob", wanted};
    EXPECT_TRUE(objectMatching(afterString, "Bob", "Name").isNull());
    EXPECT_EQ(indexOfObjectMatching(afterString, "Bob", "Name"), 1);

    // Values compare as numbers across kinds; a missing key never matches a null value.
    const PlistArray numbered{PlistDictionary{{"Id", 2.0}}};
    EXPECT_EQ(indexOfObjectMatching(numbered, qint64(2), "Id"), 0);
    EXPECT_EQ(indexOfObjectMatching(numbered, PlistValue(), "Name"), NotFound);
    EXPECT_TRUE(objectMatching(PlistArray(), "Bob", "Name").isNull());
}

TEST(VKArrayCategoriesTest, NewArraysLeaveTheReceiverAlone)
{
    const PlistArray array{"a", "b", "c", "b"};
    EXPECT_EQ(PlistValue(reverseArray(array)), PlistValue(PlistArray{"b", "c", "b", "a"}));
    EXPECT_EQ(PlistValue(arrayByRemovingObjectsInArray(array, {"b", "z"})),
              PlistValue(PlistArray{"a", "c"}));
    EXPECT_EQ(PlistValue(arrayWithIndexEnumerator(array, {2, 0, 9, -1})),
              PlistValue(PlistArray{"c", "a"}));
    EXPECT_EQ(array.size(), 4);

    EXPECT_EQ(firstObject(array), PlistValue("a"));
    EXPECT_EQ(penultimateObject(array), PlistValue("c"));
    EXPECT_TRUE(firstObject(PlistArray()).isNull());
    EXPECT_TRUE(penultimateObject(PlistArray{"a"}).isNull());
    EXPECT_EQ(penultimateObject(QList<int>{1, 2, 3}), 2);
    EXPECT_EQ(firstObject(QList<int>()), std::nullopt);
    EXPECT_EQ(reverseArray(QList<int>{1, 2, 3}), (QList<int>{3, 2, 1}));
}

TEST(VKArrayCategoriesTest, ContainsObjectIdenticalToTellsSharedContainersFromEqualOnes)
{
    const PlistDictionary shared = entry("Bob");
    const PlistArray array{shared, qint64(1)};
    EXPECT_TRUE(containsObjectIdenticalTo(array, shared));
    EXPECT_FALSE(containsObjectIdenticalTo(array, entry("Bob")));
    EXPECT_TRUE(containsObjectIdenticalTo(array, qint64(1)));
    EXPECT_FALSE(containsObjectIdenticalTo(array, 1.0));
}

TEST(VKArrayCategoriesTest, InsertObjectUsesTheIndexOrTheChosenEnd)
{
    struct Case {
        qint64 index;
        bool orEnd;
        qint64 used;
    };
    for (const Case& c : {Case{3, false, 3}, Case{1, false, 1}, Case{7, false, 0}, Case{7, true, 3},
                          Case{-1, true, 3}, Case{-1, false, 0}}) {
        PlistArray array{"a", "b", "c"};
        EXPECT_EQ(insertObject(array, "x", c.index, c.orEnd), c.used) << c.index;
        EXPECT_EQ(array.size(), 4);
        EXPECT_EQ(array.at(c.used), PlistValue("x")) << c.index;
    }
}

TEST(VKArrayCategoriesTest, InsertOrMoveObjectsMovesExistingOnesAndFollowsTheIndex)
{
    struct Case {
        PlistArray objects;
        qint64 index;
        PlistArray expected;
    };
    const std::vector<Case> cases{
        {{"a"}, 3, {"b", "c", "a", "d"}},           {{"d"}, 0, {"d", "a", "b", "c"}},
        {{"x", "a"}, 2, {"b", "x", "a", "c", "d"}}, {{"b", "x"}, 4, {"a", "c", "d", "b", "x"}},
        {{"c"}, NotFound, {"a", "b", "d", "c"}},
    };
    for (const Case& c : cases) {
        PlistArray array{"a", "b", "c", "d"};
        insertOrMoveObjectsFromArray(array, c.objects, c.index);
        EXPECT_EQ(PlistValue(array), PlistValue(c.expected)) << c.index;
    }

    PlistArray array{"a", "b", "c"};
    addOrMoveObjectsFromArray(array, {"a"});
    EXPECT_EQ(PlistValue(array), PlistValue(PlistArray{"b", "c", "a"}));

    // The array moved into itself keeps its elements.
    insertOrMoveObjectsFromArray(array, array, 0);
    EXPECT_EQ(PlistValue(array), PlistValue(PlistArray{"b", "c", "a"}));
}

TEST(VKArrayCategoriesTest, InsertObjectsFromArrayKeepsAnOutOfRangeIndexInsideTheArray)
{
    struct Case {
        qint64 index;
        PlistArray expected;
    };
    for (const Case& c : {Case{1, {"a", "x", "y", "b"}}, Case{2, {"a", "b", "x", "y"}},
                          Case{9, {"a", "b", "x", "y"}}, Case{-3, {"x", "y", "a", "b"}}}) {
        PlistArray array{"a", "b"};
        insertObjectsFromArray(array, {"x", "y"}, c.index);
        EXPECT_EQ(PlistValue(array), PlistValue(c.expected)) << c.index;
    }
    PlistArray array{"a", "b"};
    insertObjectsFromArray(array, array, 1);
    EXPECT_EQ(PlistValue(array), PlistValue(PlistArray{"a", "a", "b", "b"}));
}

TEST(VKArrayCategoriesTest, RemoveObjectsFromIndexEnumeratorRemovesEveryEqualElement)
{
    PlistArray array{"a", "b", "a", "c"};
    const PlistArray handle = array;
    removeObjectsFromIndexEnumerator(array, {0, 7});
    EXPECT_EQ(PlistValue(handle), PlistValue(PlistArray{"b", "c"}));
}
