// Another datafile as a merge reads it, whatever shape it is in.
#include "IncomingDatafile.h"

#include "PropertyList.h"

#include <gtest/gtest.h>

namespace {

QByteArray bytesOf(const PlistValue& value)
{
    return propertyListBytes(value, PlistFormat::Xml);
}

PlistDictionary field(const QString& identifier)
{
    return PlistDictionary{{"Identifier", identifier}, {"Name", identifier + " name"}};
}

} // namespace

TEST(IncomingDatafileTest, Read_FieldsByPositionAndRecordsInCatalogOrder)
{
    const PlistDictionary records{
        {"r1", PlistDictionary{{"TextString", "one"},
                               {"TextRTFD", QByteArray("rtfd")},
                               {"Fields", PlistDictionary{{"a", "1a"}, {"b", "1b"}}}}},
        {"r2", PlistDictionary{{"TextString", "two"}}}};
    const PlistDictionary file{
        {"Settings", PlistDictionary{{"Fields", PlistArray{field("a"), field("b")}}}},
        {"Records", records},
        {"Catalog", PlistArray{PlistDictionary{{"Identifier", "r2"}}, PlistDictionary{{"Identifier", "r1"}}}}};

    const IncomingDatafile incoming = IncomingDatafile::read(bytesOf(file));
    EXPECT_EQ(incoming.fieldIdentifiers(), QStringList({"a", "b"}));
    EXPECT_EQ(incoming.recordCount(), 2);
    ASSERT_EQ(incoming.mergeCount(), 2);
    EXPECT_EQ(incoming.recordAt(0).textString, "two");
    const IncomingDatafile::Record first = incoming.recordAt(1);
    EXPECT_EQ(first.textString, "one");
    EXPECT_EQ(first.textRTFD, QByteArray("rtfd"));
    EXPECT_EQ(first.fields.stringForKey("b"), "1b");
}

TEST(IncomingDatafileTest, Read_MalformedParts_ArePassedOver)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        qsizetype fields;
        qsizetype records;
        qsizetype merged;
    };
    const PlistDictionary settings{{"Fields", PlistArray{field("a")}}};
    const PlistArray catalog{PlistDictionary{{"Identifier", "r1"}}};
    const Case cases[] = {
        {"not a property list", QByteArray("hello, world"), 0, 0, 0},
        {"a property list of another kind", bytesOf(PlistArray{1, 2}), 0, 0, 0},
        {"Records an array",
         bytesOf(PlistDictionary{{"Settings", settings}, {"Records", PlistArray{1}}, {"Catalog", catalog}}),
         1, 0, 0},
        {"Fields a string",
         bytesOf(PlistDictionary{{"Settings", PlistDictionary{{"Fields", "a"}}},
                                 {"Records", PlistDictionary{{"r1", PlistDictionary()}}},
                                 {"Catalog", catalog}}),
         0, 1, 1},
        {"Catalog a dictionary",
         bytesOf(PlistDictionary{{"Settings", settings},
                                 {"Records", PlistDictionary{{"r1", PlistDictionary()}}},
                                 {"Catalog", PlistDictionary{{"Identifier", "r1"}}}}),
         1, 1, 0},
        {"a definition, a catalog entry and a record of the wrong kind",
         bytesOf(PlistDictionary{
             {"Settings", PlistDictionary{{"Fields", PlistArray{"x", field("a")}}}},
             {"Records", PlistDictionary{{"r1", "not a record"}, {"r2", PlistDictionary()}}},
             {"Catalog", PlistArray{7, PlistDictionary{{"Identifier", "r1"}}, PlistDictionary()}}}),
         2, 2, 2},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const IncomingDatafile incoming = IncomingDatafile::read(test.bytes);
        EXPECT_EQ(incoming.fieldCount(), test.fields);
        EXPECT_EQ(incoming.recordCount(), test.records);
        EXPECT_EQ(incoming.mergeCount(), test.merged);
        for (qsizetype k = 0; k < incoming.mergeCount(); ++k) {
            const IncomingDatafile::Record record = incoming.recordAt(k);
            EXPECT_TRUE(record.textString.isEmpty());
            EXPECT_TRUE(record.fields.isEmpty());
        }
    }
}

TEST(IncomingDatafileTest, Read_ValuesOfTheWrongKind_AreLeftOut)
{
    const PlistDictionary file{
        {"Settings", PlistDictionary{{"Fields", PlistArray{field("a"), field("b")}}}},
        {"Records", PlistDictionary{{"r1", PlistDictionary{{"TextString", 12},
                                                           {"TextRTFD", "not data"},
                                                           {"Fields", PlistDictionary{{"a", 42}, {"b", "kept"}}}}}}},
        {"Catalog", PlistArray{PlistDictionary{{"Identifier", "r1"}}}}};
    const IncomingDatafile::Record record = IncomingDatafile::read(bytesOf(file)).recordAt(0);
    EXPECT_TRUE(record.textString.isEmpty());
    EXPECT_TRUE(record.textRTFD.isEmpty());
    EXPECT_FALSE(record.fields.contains("a"));
    EXPECT_EQ(record.fields.stringForKey("b"), "kept");
}
