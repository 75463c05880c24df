#include "PlistValue.h"

#include <gtest/gtest.h>

#include <limits>

TEST(PlistValueTest, BoolValue_StringsReadAsThePlatformReadsThem)
{
    const std::pair<const char*, bool> cases[] = {
        {"YES", true},  {"yes", true},   {"Y", true},      {"true", true},    {"T", true},
        {"1", true},    {"9 lives", true}, {"  7", true},  {"-1", true},      {"+0003", true},
        {"NO", false},  {"no", false},   {"false", false}, {"0", false},      {"000", false},
        {"", false},    {"   ", false},  {"x", false},     {"0.5", false},    {"Nope", false},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(PlistValue(text).boolValue(), expected) << '"' << text << '"';

    EXPECT_TRUE(PlistValue(2).boolValue());
    EXPECT_FALSE(PlistValue(0.0).boolValue());
    EXPECT_TRUE(PlistValue(0.25).boolValue());
    EXPECT_FALSE(PlistValue(QByteArray("1")).boolValue());
    EXPECT_FALSE(PlistValue().boolValue());
}

TEST(PlistValueTest, NumberReadings_TruncateAndClampLikeThePlatform)
{
    const qint64 twoToThe32Plus1 = (qint64(1) << 32) + 1;
    EXPECT_EQ(PlistValue(twoToThe32Plus1).intValue(), 1);
    EXPECT_EQ(PlistValue(twoToThe32Plus1).integerValue(), twoToThe32Plus1);
    EXPECT_EQ(PlistValue(3.9).intValue(), 3);
    EXPECT_EQ(PlistValue(-3.9).integerValue(), -3);
    EXPECT_EQ(PlistValue(true).intValue(), 1);
    EXPECT_EQ(PlistValue(std::numeric_limits<quint64>::max()).integerValue(), -1);

    struct Case {
        const char* text;
        int intValue;
        qint64 integerValue;
        double doubleValue;
    };
    const Case cases[] = {
        {"125", 125, 125, 125},
        {"  -42abc", -42, -42, -42},
        {"+7", 7, 7, 7},
        {"12.75", 12, 12, 12.75},
        {"1e3", 1, 1, 1000},
        {"4294967297", std::numeric_limits<int>::max(), 4294967297, 4294967297.0},
        {"-99999999999999999999", std::numeric_limits<int>::min(), std::numeric_limits<qint64>::min(), -1e20},
        {"abc", 0, 0, 0},
        {"", 0, 0, 0},
        {".5", 0, 0, 0.5},
    };
    for (const Case& c : cases) {
        const PlistValue value(c.text);
        EXPECT_EQ(value.intValue(), c.intValue) << c.text;
        EXPECT_EQ(value.integerValue(), c.integerValue) << c.text;
        EXPECT_DOUBLE_EQ(value.doubleValue(), c.doubleValue) << c.text;
    }
}

TEST(PlistValueTest, StringValue_NumbersGiveTheirDecimalText)
{
    EXPECT_EQ(PlistValue(125).stringValue(), QStringLiteral("125"));
    EXPECT_EQ(PlistValue(true).stringValue(), QStringLiteral("1"));
    EXPECT_EQ(PlistValue(0.1).stringValue(), QStringLiteral("0.1"));
    EXPECT_EQ(PlistValue(150.0).stringValue(), QStringLiteral("150"));
    EXPECT_EQ(PlistValue("text").stringValue(), QStringLiteral("text"));
    EXPECT_TRUE(PlistValue(PlistArray()).stringValue().isEmpty());
}

TEST(PlistValueTest, Equality_NumbersCompareAcrossKinds)
{
    EXPECT_EQ(PlistValue(true), PlistValue(1));
    EXPECT_EQ(PlistValue(1), PlistValue(1.0));
    EXPECT_EQ(PlistValue(false), PlistValue(0.0));
    EXPECT_NE(PlistValue(1), PlistValue(1.5));
    EXPECT_NE(PlistValue(1), PlistValue("1"));
    EXPECT_NE(PlistValue(std::numeric_limits<quint64>::max()), PlistValue(qint64(-1)));
    // 2^53 + 1 has no exact double: the comparison must not round it.
    EXPECT_NE(PlistValue((qint64(1) << 53) + 1), PlistValue(double(qint64(1) << 53)));
    EXPECT_EQ(PlistValue(PlistDate{5}), PlistValue(PlistDate{5}));
    EXPECT_NE(PlistValue(PlistDate{5}), PlistValue(5));
    EXPECT_EQ(PlistValue(PlistArray{1, "a"}), PlistValue(PlistArray{1.0, "a"}));
    EXPECT_EQ(PlistValue(PlistDictionary{{"a", 1}, {"b", 2}}), PlistValue(PlistDictionary{{"b", 2}, {"a", true}}));
    EXPECT_NE(PlistValue(PlistDictionary{{"a", 1}}), PlistValue(PlistDictionary{{"b", 1}}));
    EXPECT_EQ(PlistValue(), PlistValue());
}

TEST(PlistValueTest, Containers_CopiesShareUntilCopiedExplicitly)
{
    PlistDictionary fields{{"f1", "a"}};
    PlistDictionary record{{"Fields", fields}};
    PlistArray list{record};

    const PlistArray shallow = list.shallowCopy();
    const PlistArray deep = list.deepCopy();
    PlistValue handle = list;

    fields.insert("f1", "edited");
    list.append("added");

    EXPECT_EQ(handle.asArray()->size(), 2); // the same array
    EXPECT_EQ(shallow.size(), 1);           // a new array ...
    EXPECT_EQ(shallow.at(0).asDictionary()->value("Fields").asDictionary()->value("f1"),
              PlistValue("edited")); // ... over the same elements
    EXPECT_EQ(deep.at(0).asDictionary()->value("Fields").asDictionary()->value("f1"), PlistValue("a"));
}

TEST(PlistValueTest, Dictionary_LargeDictionaryKeepsLookupsAndRemovalsConsistent)
{
    PlistDictionary dictionary;
    const int count = 2000;
    for (int i = 0; i < count; ++i)
        dictionary.insert(QString::number(i), i);
    for (int i = 0; i < count; i += 3)
        EXPECT_TRUE(dictionary.remove(QString::number(i)));
    EXPECT_FALSE(dictionary.remove(QStringLiteral("0")));
    dictionary.insert(QStringLiteral("5"), QStringLiteral("replaced"));

    for (int i = 0; i < count; ++i) {
        const PlistValue* value = dictionary.find(QString::number(i));
        if (i % 3 == 0)
            EXPECT_EQ(value, nullptr) << i;
        else if (i == 5)
            EXPECT_EQ(*value, PlistValue("replaced"));
        else
            ASSERT_TRUE(value && value->integerValue() == i) << i;
    }
    EXPECT_EQ(dictionary.size(), count - (count + 2) / 3);

    const auto sorted = dictionary.sortedEntries();
    EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end(),
                               [](auto* a, auto* b) { return a->key < b->key; }));
}

TEST(PlistValueTest, Dictionary_SmallDictionaryKeepsInsertionOrder)
{
    PlistDictionary dictionary{{"c", 1}, {"a", 2}, {"b", 3}};
    dictionary.remove(QStringLiteral("a"));
    dictionary.insert(QStringLiteral("d"), 4);
    EXPECT_EQ(dictionary.keys(), QStringList({"c", "b", "d"}));
    EXPECT_TRUE(dictionary.value(QStringLiteral("missing")).isNull());
}

TEST(PlistValueTest, Date_ConvertsToAndFromDateTime)
{
    const QDateTime moon(QDate(1969, 7, 20), QTime(20, 17, 40), QTimeZone::utc());
    const PlistDate date = PlistDate::fromDateTime(moon);
    EXPECT_DOUBLE_EQ(date.secondsSinceReferenceDate, -978307200.0 - 14182940.0);
    EXPECT_EQ(date.toDateTime(), moon);
}

TEST(PlistValueTest, StringForKey_TextOnlyElseEmpty)
{
    const PlistDictionary dictionary{{"text", "Ann"}, {"number", 3}};
    EXPECT_EQ(dictionary.stringForKey("text"), "Ann");
    EXPECT_TRUE(dictionary.stringForKey("number").isEmpty());
    EXPECT_TRUE(dictionary.stringForKey("missing").isEmpty());
}

TEST(PlistValueTest, XmlFormCopy_LeavesOutNullsAndUidsAtEveryDepthAndSharesWhatHoldsNone)
{
    const PlistArray clean{"a", 1};
    const PlistDictionary nested{{"null", PlistValue()}, {"kept", "x"}, {"list", PlistArray{PlistUid{2}, "b"}}};
    const PlistDictionary top{{"uid", PlistUid{1}}, {"clean", clean}, {"nested", nested}};

    const PlistValue copy = PlistValue(top).xmlFormCopy();
    EXPECT_TRUE(copy.hasXmlForm());
    EXPECT_EQ(copy, PlistValue(PlistDictionary{
                        {"clean", clean},
                        {"nested", PlistDictionary{{"kept", "x"}, {"list", PlistArray{"b"}}}}}));
    // The containers read stay as they were; the clean one is the same handle.
    EXPECT_EQ(top.size(), 3);
    EXPECT_EQ(nested.size(), 3);
    EXPECT_TRUE(copy.asDictionary()->value("clean").asArray()->isSameObject(clean));
    EXPECT_TRUE(PlistValue(clean).xmlFormCopy().asArray()->isSameObject(clean));
    EXPECT_EQ(PlistValue(PlistArray{PlistValue(), PlistUid{0}}).xmlFormCopy(), PlistValue(PlistArray()));
}
