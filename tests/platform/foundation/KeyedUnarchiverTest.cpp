#include "KeyedUnarchiver.h"

#include "KeyedArchiveBuilder.h"
#include "PropertyList.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

PlistValue titles(const QStringList& names)
{
    PlistArray list;
    for (const QString& name : names)
        list.append(PlistDictionary{{"title", name}});
    return list;
}

struct Case {
    const char* name;
    std::function<QByteArray()> bytes;
    PlistValue decoded;       // when it decodes
    const char* failure = ""; // else the start of the reason
};

QByteArray listShape(const QString& arrayClass)
{
    KeyedArchiveBuilder archive;
    const PlistUid b = archive.titled("b");
    const PlistUid a = archive.titled("A");
    return archive.bytes(archive.array({b, a}, arrayClass));
}

QByteArray xmlArchive()
{
    // The XML form writes each UID as {"CF$UID": n}.
    const auto uid = [](int n) { return PlistDictionary{{"CF$UID", n}}; };
    const PlistDictionary archive{
        {"$top", PlistDictionary{{"root", uid(1)}}},
        {"$objects", PlistArray{"$null", PlistDictionary{{"NS.objects", PlistArray{uid(2)}}, {"$class", uid(5)}},
                                PlistDictionary{{"NS.keys", PlistArray{uid(3)}},
                                                {"NS.objects", PlistArray{uid(4)}},
                                                {"$class", uid(6)}},
                                "title", "Cards", PlistDictionary{{"$classname", "NSArray"}},
                                PlistDictionary{{"$classname", "NSDictionary"}}}}};
    return propertyListBytes(archive, PlistFormat::Xml);
}

QByteArray nested(int levels)
{
    KeyedArchiveBuilder archive;
    PlistUid inner = archive.array({});
    for (int level = 1; level < levels; ++level)
        inner = archive.array({inner});
    return archive.bytes(inner);
}

PlistValue nestedValue(int levels)
{
    PlistValue value = PlistArray();
    for (int level = 1; level < levels; ++level)
        value = PlistArray{value};
    return value;
}

const Case cases[] = {
    {"ListShape", [] { return listShape("NSMutableArray"); }, titles({"b", "A"})},
    {"ImmutableArrayRoot", [] { return listShape("NSArray"); }, titles({"b", "A"})},
    {"MutableStringTitles",
     [] {
         KeyedArchiveBuilder archive;
         const PlistUid cards = archive.titled(archive.mutableString("Cards"));
         return archive.bytes(archive.array({cards}));
     },
     titles({"Cards"})},
    {"NullEntry",
     [] {
         KeyedArchiveBuilder archive;
         const PlistUid cards = archive.titled("Cards");
         return archive.bytes(archive.array({PlistUid{0}, cards}));
     },
     PlistArray{PlistValue(), PlistDictionary{{"title", "Cards"}}}},
    {"NumbersAndDataInPlace",
     [] {
         KeyedArchiveBuilder archive;
         const PlistUid data = archive.add(QByteArray("\x01\x02", 2));
         return archive.bytes(archive.array({qint64(7), 2.5, true, data}));
     },
     PlistArray{qint64(7), 2.5, true, QByteArray("\x01\x02", 2)}},
    {"SharedObjectIsNoCycle",
     [] {
         KeyedArchiveBuilder archive;
         const PlistUid cards = archive.titled("Cards");
         return archive.bytes(archive.array({cards, cards}));
     },
     titles({"Cards", "Cards"})},
    {"XmlArchive", xmlArchive, titles({"Cards"})},
    {"NestingAtTheLimit", [] { return nested(KeyedUnarchiver::MaxDepth); }, nestedValue(KeyedUnarchiver::MaxDepth)},
    {"Cycle",
     [] {
         KeyedArchiveBuilder archive;
         const PlistUid self = archive.reserve();
         const PlistUid arrayClass = archive.classNamed("NSMutableArray");
         archive.fill(self, PlistDictionary{{"NS.objects", PlistArray{self}}, {"$class", arrayClass}});
         return archive.bytes(self);
     },
     {}, "The object 1 holds itself."},
    {"UidOutOfRange",
     [] {
         KeyedArchiveBuilder archive;
         return archive.bytes(archive.array({PlistUid{99}}));
     },
     {}, "The reference 99 lies outside"},
    {"RootOutOfRange", [] { return KeyedArchiveBuilder().bytes(PlistUid{5}); }, {}, "The reference 5 lies outside"},
    {"NestingOf10000Levels", [] { return nested(10000); }, {}, "The archive nests deeper than 512 levels."},
    {"NestingJustPastTheLimit", [] { return nested(KeyedUnarchiver::MaxDepth + 1); }, {}, "The archive nests deeper"},
    {"OtherClass",
     [] {
         KeyedArchiveBuilder archive;
         return archive.bytes(archive.add(PlistDictionary{{"NS.time", 1.0}, {"$class", archive.classNamed("NSDate")}}));
     },
     {}, "The archive holds an object of the class NSDate"},
    {"DictionaryKeyNotAString",
     [] {
         KeyedArchiveBuilder archive;
         const PlistUid key = archive.add(qint64(3));
         const PlistUid value = archive.add("x");
         return archive.bytes(archive.add(PlistDictionary{{"NS.keys", PlistArray{key}},
                                                          {"NS.objects", PlistArray{value}},
                                                          {"$class", archive.classNamed("NSDictionary")}}));
     },
     {}, "A dictionary of the archive has a key that is not a string."},
    {"KeysAndValuesDiffer",
     [] {
         KeyedArchiveBuilder archive;
         const PlistUid key = archive.add("title");
         return archive.bytes(archive.add(PlistDictionary{{"NS.keys", PlistArray{key}},
                                                          {"NS.objects", PlistArray{}},
                                                          {"$class", archive.classNamed("NSDictionary")}}));
     },
     {}, "A dictionary of the archive has 1 keys for 0 values."},
    {"PropertyListNotAnArchive",
     [] { return propertyListBytes(PlistArray{"title"}, PlistFormat::Binary); }, {}, "Not a keyed archive."},
    {"NotAPropertyList", [] { return QByteArray("\x00\x01garbage", 9); }, {}, "Not a property list"},
    {"FileNotFound", [] { return QByteArray("File not found"); }, {}, "Not a property list"},
};

class KeyedUnarchiverTest : public testing::TestWithParam<Case> {};

} // namespace

TEST_P(KeyedUnarchiverTest, DecodesOrFailsWithItsReason)
{
    const Case& test = GetParam();
    const PlistReadResult result = KeyedUnarchiver::unarchiveObjectWithData(test.bytes());
    if (*test.failure == '\0') {
        ASSERT_TRUE(result.ok()) << result.error->message.toStdString();
        EXPECT_EQ(result.value, test.decoded);
        EXPECT_EQ(propertyListBytes(result.value.xmlFormCopy(), PlistFormat::Xml),
                  propertyListBytes(test.decoded.xmlFormCopy(), PlistFormat::Xml));
    } else {
        ASSERT_FALSE(result.ok());
        EXPECT_TRUE(result.error->message.startsWith(QLatin1String(test.failure))) << result.error->message.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Archives, KeyedUnarchiverTest, testing::ValuesIn(cases),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });
