#include "VKKeyedAccessorData.h"

#include "SystemLog.h"

#include <gtest/gtest.h>

#include <limits>

TEST(VKKeyedAccessorDataTest, Dictionary_FreshAccessorHoldsOnlyTheFormatStamp)
{
    VKKeyedAccessorData accessor;
    EXPECT_EQ(PlistValue(accessor.dictionary()), PlistValue(PlistDictionary{{"DataFormat", 1}}));
    // The stamp is an integer, as the files write it.
    EXPECT_EQ(accessor.dictionary().value("DataFormat").type(), PlistValue::Type::Integer);
}

TEST(VKKeyedAccessorDataTest, InitWithDictionary_RefusesOnlyNewerFormats)
{
    struct Case {
        std::optional<PlistDictionary> dictionary;
        bool accepted;
    };
    const Case cases[] = {
        {std::nullopt, true},
        {PlistDictionary(), true},
        {PlistDictionary{{"DataFormat", 1}, {"DataVersion", 99}}, true},
        {PlistDictionary{{"DataFormat", 2}}, false},
        {PlistDictionary{{"DataFormat", -7}}, true},
        {PlistDictionary{{"DataFormat", 0.5}}, true},
        // The whole stored number decides, never its low 32 bits.
        {PlistDictionary{{"DataFormat", qint64(1) << 31}}, false},
        {PlistDictionary{{"DataFormat", (qint64(1) << 32) + 1}}, false},
        {PlistDictionary{{"DataFormat", std::numeric_limits<qint64>::max()}}, false},
        {PlistDictionary{{"DataFormat", std::numeric_limits<quint64>::max()}}, false},
        {PlistDictionary{{"DataFormat", "4294967297"}}, false},
        {PlistDictionary{{"DataFormat", 4294967297.0}}, false},
    };
    for (const Case& c : cases) {
        ScopedLogCapture log;
        EXPECT_EQ(VKKeyedAccessorData().initWithDictionary(c.dictionary), c.accepted);
        EXPECT_EQ(log.lines().isEmpty(), c.accepted);
    }

    ScopedLogCapture log;
    EXPECT_EQ(VKKeyedAccessorData::createWithDictionary<VKKeyedAccessorData>(
                  PlistDictionary{{"DataFormat", 2}}),
              nullptr);
    EXPECT_EQ(log.lines(),
              QStringList{QStringLiteral(
                  "The data is too new for this version of the application.  (Data format "
                  "is 2, latest the app knowns about is format 1.)")});

    ScopedLogCapture beyond;
    EXPECT_EQ(VKKeyedAccessorData::createWithDictionary<VKKeyedAccessorData>(
                  PlistDictionary{{"DataFormat", std::numeric_limits<quint64>::max()}}),
              nullptr);
    EXPECT_EQ(beyond.lines(),
              QStringList{QStringLiteral(
                  "The data is too new for this version of the application.  (Data format "
                  "is 18446744073709551615, latest the app knowns about is format 1.)")});
}

TEST(VKKeyedAccessorDataTest, TypedGetters_ReadStoredValuesTheWayTheFilesNeed)
{
    const PlistDictionary stored{
        {"big", (qint64(1) << 32) + 1},
        {"yes", "YES"},
        {"count", "125 apples"},
        {"flag", true},
        {"ratio", 0.5},
        {"name", "Ivy"},
        {"list", PlistArray{1, 2}},
        {"date", PlistDate{3}},
    };
    VKKeyedAccessorData accessor;
    ASSERT_TRUE(accessor.initWithDictionary(stored));

    // Settings are read whole: a stored 2^32 + 1 is never taken for 1.
    EXPECT_EQ(accessor.integerForKey("big", 7), (qint64(1) << 32) + 1);
    EXPECT_TRUE(accessor.boolForKey("yes", false));
    EXPECT_EQ(accessor.integerForKey("count", 0), 125);
    EXPECT_EQ(accessor.integerForKey("flag", 0), 1);
    EXPECT_FLOAT_EQ(accessor.floatForKey("ratio", 0), 0.5f);
    EXPECT_EQ(accessor.stringForKey("name", "x"), QStringLiteral("Ivy"));
    EXPECT_EQ(accessor.objectForKey("date", {}), PlistValue(PlistDate{3}));

    // Absent keys and the null key give the caller's default and store nothing.
    EXPECT_EQ(accessor.integerForKey("missing", 42), 42);
    EXPECT_EQ(accessor.stringForKey(QString(), "dflt"), QStringLiteral("dflt"));
    EXPECT_FALSE(accessor.arrayForKey("missing", std::nullopt).has_value());
    EXPECT_FALSE(accessor.settingExistsForKey("missing"));

    // A value of the wrong kind gives the default, with a line in the log.
    ScopedLogCapture log;
    EXPECT_EQ(accessor.stringForKey("big", "dflt"), QStringLiteral("dflt"));
    EXPECT_EQ(accessor.integerForKey("list", 9), 9);
    EXPECT_TRUE(accessor.boolForKey("date", true));
    EXPECT_FALSE(accessor.dictionaryForKey("name", std::nullopt).has_value());
    EXPECT_EQ(log.lines().size(), 4);

    // Asked again, and again, each key is logged once: a window asks many times a second.
    for (int turn = 0; turn < 3; ++turn) {
        EXPECT_EQ(accessor.stringForKey("big", "dflt"), QStringLiteral("dflt"));
        EXPECT_EQ(accessor.integerForKey("list", 9), 9);
    }
    EXPECT_EQ(log.lines().size(), 4);
    EXPECT_EQ(accessor.stringForKey("flag", "dflt"), QStringLiteral("dflt"));
    EXPECT_EQ(log.lines().size(), 5) << "another key is another line";
}

TEST(VKKeyedAccessorDataTest, Setters_StoreTheFilesKindsAndRemoveOnNull)
{
    VKKeyedAccessorData accessor;
    accessor.setBool(true, "b");
    accessor.setInteger(-5, "i");
    accessor.setFloat(0.1f, "f");
    accessor.setString("text", "s");
    accessor.setBool(true, QString()); // a null key changes nothing

    const PlistDictionary stored = accessor.mutableDictionary();
    EXPECT_EQ(stored.value("b").type(), PlistValue::Type::Boolean);
    EXPECT_EQ(stored.value("i").type(), PlistValue::Type::Integer);
    EXPECT_EQ(stored.value("f").realValue(), double(0.1f));
    EXPECT_EQ(stored.size(), 4);

    accessor.setString(QString(), "s");
    accessor.setObject(PlistValue(), "i");
    accessor.setArray(std::nullopt, "b");
    EXPECT_EQ(accessor.stringForKey("s", "dflt"), QStringLiteral("dflt"));
    EXPECT_EQ(accessor.mutableDictionary().keys(), QStringList{"f"});
}

TEST(VKKeyedAccessorDataTest, Collections_AreCopiesUntilStoredBack)
{
    VKKeyedAccessorData accessor;
    PlistArray list{1};
    accessor.setArray(list, "list");
    list.append(2); // the caller's array is not the stored one
    std::optional<PlistArray> read = accessor.arrayForKey("list", std::nullopt);
    ASSERT_TRUE(read);
    read->append(3);
    EXPECT_EQ(accessor.arrayForKey("list", std::nullopt)->size(), 1);

    accessor.setArray(read, "list");
    EXPECT_EQ(accessor.arrayForKey("list", std::nullopt)->size(), 2);
}

TEST(VKKeyedAccessorDataTest, NestedAccessor_ReachesTheParentOnlyWhenStoredAndCarriesItsStamp)
{
    VKKeyedAccessorData parent;
    std::shared_ptr<VKKeyedAccessorData> nested =
        parent.keyedAccessorForKey<VKKeyedAccessorData>("Criteria");
    ASSERT_TRUE(nested);
    nested->setBool(true, "VKSortDescending");
    EXPECT_FALSE(parent.settingExistsForKey("Criteria"));

    parent.setKeyedAccessor(nested.get(), "Criteria");
    EXPECT_EQ(PlistValue(*parent.dictionaryForKey("Criteria", std::nullopt)),
              PlistValue(PlistDictionary{{"VKSortDescending", true}, {"DataFormat", 1}}));
}

TEST(VKKeyedAccessorDataTest, Copy_IsDeepAndIndependent)
{
    VKKeyedAccessorData original;
    original.setArray(PlistArray{PlistDictionary{{"Name", "A"}}}, "Fields");
    std::shared_ptr<VKKeyedAccessorData> copy = original.copy();

    PlistArray fields = *copy->mutableDictionary().value("Fields").asArray();
    PlistDictionary field = *fields.at(0).asDictionary();
    field.insert("Name", "changed in the copy");

    EXPECT_EQ(
        original.mutableDictionary().value("Fields").asArray()->at(0).asDictionary()->value("Name"),
        PlistValue("A"));
}
