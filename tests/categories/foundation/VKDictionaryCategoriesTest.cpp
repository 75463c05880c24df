#include "VKDictionaryCategories.h"

#include <cmath>

#include <gtest/gtest.h>

using namespace VKDictionaryCategories;

TEST(VKDictionaryCategoriesTest, LookupsAnswerTheValueOrTheDefault)
{
    const PlistDictionary dictionary{{"Name", "Ann"}, {"Count", qint64(0)}};

    EXPECT_EQ(objectForKey(dictionary, "Name", "none"), PlistValue("Ann"));
    EXPECT_EQ(objectForKey(dictionary, "Missing", "none"), PlistValue("none"));
    EXPECT_EQ(objectForKeyOrInt(dictionary, "Count", 1), PlistValue(qint64(0)));

    const PlistValue one = objectForKeyOrInt(dictionary, "Missing", 1);
    EXPECT_EQ(one.type(), PlistValue::Type::Integer);
    EXPECT_EQ(one.integerValue(), 1);
    EXPECT_EQ(objectForKeyOrInt(dictionary, "Missing", -3).integerValue(), -3);

    const PlistValue flag = objectForKeyOrBool(dictionary, "Missing", true);
    EXPECT_EQ(flag.type(), PlistValue::Type::Boolean);
    EXPECT_TRUE(flag.boolValue());

    EXPECT_EQ(emptyStringOrObjectForKey(dictionary, "Missing"), PlistValue(""));
    EXPECT_EQ(emptyStringOrObjectForKey(dictionary, "Name"), PlistValue("Ann"));
}

TEST(VKDictionaryCategoriesTest, SettersTreatANullObjectAsAskedTo)
{
    PlistDictionary dictionary{{"Kept", "old"}};

    setObject(dictionary, PlistValue(), "Kept", PlistValue());
    EXPECT_EQ(dictionary.value("Kept"), PlistValue("old"));
    setObject(dictionary, PlistValue(), "Kept", "default");
    EXPECT_EQ(dictionary.value("Kept"), PlistValue("default"));
    setObject(dictionary, "new", "Kept", "default");
    EXPECT_EQ(dictionary.value("Kept"), PlistValue("new"));

    setObjectRemoveIfNil(dictionary, PlistValue(), "Kept", false);
    EXPECT_TRUE(dictionary.contains("Kept"));
    setObjectRemoveIfNil(dictionary, PlistValue(), "Kept", true);
    EXPECT_FALSE(dictionary.contains("Kept"));
    setObjectRemoveIfNil(dictionary, qint64(4), "Kept", true);
    EXPECT_EQ(dictionary.value("Kept"), PlistValue(qint64(4)));
}

TEST(VKDictionaryCategoriesTest, DictionaryWithArrayOfDictionariesKeysByValueAndLaterWins)
{
    const PlistDictionary first{{"Id", "A"}, {"N", qint64(1)}};
    const PlistDictionary second{{"Id", "B"}};
    const PlistDictionary later{{"Id", "A"}, {"N", qint64(2)}};
    const PlistArray array{first, PlistDictionary{{"Other", "C"}}, "loose", second, later};

    const PlistDictionary result = dictionaryWithArrayOfDictionaries(array, "Id");
    EXPECT_EQ(result.keys(), (QStringList{"A", "B"}));
    EXPECT_TRUE(result.value("A").asDictionary()->isSameObject(later));
    EXPECT_TRUE(result.value("B").asDictionary()->isSameObject(second));
}

TEST(VKDictionaryCategoriesTest, ColorsRoundTripAndBadComponentsStayInRange)
{
    const QColor original = QColor::fromRgbF(0.25f, 0.5f, 1.0f, 0.75f);
    const PlistDictionary stored = dictionaryWithColor(original);
    EXPECT_NEAR(stored.value("Green").doubleValue(), 0.5, 1e-4);
    EXPECT_EQ(color(stored), original);

    const QColor opaque = color(PlistDictionary{{"Red", 1.0}, {"Green", 0.0}, {"Blue", 0.0}});
    EXPECT_EQ(opaque, QColor(Qt::red));

    const QColor clamped = color(
        PlistDictionary{{"Red", 7.0}, {"Green", "junk"}, {"Blue", -2.0}, {"Alpha", std::nan("")}});
    EXPECT_TRUE(clamped.isValid());
    EXPECT_EQ(clamped, QColor::fromRgbF(1, 0, 0, 0));
}
