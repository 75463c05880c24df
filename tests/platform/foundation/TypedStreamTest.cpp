#include "TypedStreamFixtures.h"
#include "TypedStreamReader.h"
#include "TypedStreamWriter.h"

#include <gtest/gtest.h>

#include <QtEndian>

using namespace TypedStreamFixtures;

namespace {

TypedStreamGroups readOk(const QByteArray& bytes)
{
    const TypedStreamReadResult result = TypedStreamReader::read(bytes);
    EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error->toString().toStdString());
    return result.groups;
}

TypedStreamGroups oneGroup(QByteArray encoding, std::vector<TypedStreamValue> values)
{
    return {{std::move(encoding), std::move(values)}};
}

} // namespace

TEST(TypedStreamTest, ColorArchive_ReadsClassChainAndGroups)
{
    const TypedStreamGroups groups = readOk(calibratedRgbColor());
    const std::shared_ptr<TypedStreamObject> color = typedStreamRootObject(groups);
    ASSERT_TRUE(color);
    const QList<TypedStreamClass> chain{{"NSColor", 0}, {"NSObject", 0}};
    EXPECT_EQ(color->classes, chain);
    ASSERT_EQ(color->groups.size(), 2u);
    EXPECT_EQ(color->groups[0].encoding, "c");
    EXPECT_EQ(color->groups[0].values[0].integerValue(), 1);
    EXPECT_EQ(color->groups[1].encoding, "ffff");
    std::vector<double> components;
    for (const TypedStreamValue& value : color->groups[1].values)
        components.push_back(value.realValue());
    EXPECT_EQ(components, (std::vector<double>{1, 0.5, 0.25, 1}));
}

TEST(TypedStreamTest, Fixtures_WriteBackByteForByte)
{
    for (const QByteArray& fixture :
         {calibratedRgbColor(), calibratedWhiteColor(), helveticaFont()})
        EXPECT_EQ(TypedStreamWriter::toBytes(readOk(fixture)).toHex(), fixture.toHex());
}

TEST(TypedStreamTest, BigEndianStream_ReadsLikeLittleEndian)
{
    const QByteArray big = bytes("\x04\x0btypedstream"
                                 "\x81\x03\xe8") + // system version, big-endian
                           colorObjectStart() +
                           bytes("\x84\x01"
                                 "c"
                                 "\x01"
                                 "\x84\x04"
                                 "ffff"
                                 "\x01"
                                 "\x83\x3f\x00\x00\x00" // 0.5, big-endian
                                 "\x83\x3e\x80\x00\x00" // 0.25
                                 "\x01\x86");
    EXPECT_EQ(readOk(big), readOk(calibratedRgbColor()));
}

TEST(TypedStreamTest, SharedObjectsAndStrings_ReadAsOneAndWriteAsReferences)
{
    auto shared = TypedStreamObject::makeString(QStringLiteral("x"));
    const TypedStreamGroups groups =
        oneGroup("@@*@*", {TypedStreamValue::object(shared), TypedStreamValue::object(shared),
                           TypedStreamValue::cString("{_NSSize=ff}"),
                           TypedStreamValue::object(TypedStreamObject::makeString("y")),
                           TypedStreamValue::cString("{_NSSize=ff}")});
    const QByteArray written = TypedStreamWriter::toBytes(groups);
    const QByteArray expected =
        header() + bytes("\x84\x05@@*@*"                // string #0
                         "\x84"                         // object #0
                         "\x84\x84\x08NSString\x01"     // class #1, string #1
                         "\x84\x84\x08NSObject\x00\x85" // class #2, string #2
                         "\x84\x01+\x01x\x86"           // "+" is string #3
                         "\x92"                         // object #0 again
                         "\x84\x84\x0c{_NSSize=ff}"     // C string #3, string #4
                         "\x84\x93"                     // object #4 of class #1
                         "\x95\x01y\x86"                // "+" by reference
                         "\x95");                       // C string #3 again
    EXPECT_EQ(written.toHex(), expected.toHex());

    const TypedStreamGroups read = readOk(written);
    EXPECT_EQ(read, groups);
    EXPECT_EQ(read[0].values[0].object(), read[0].values[1].object());
}

TEST(TypedStreamTest, Integers_UseTheShortestForm)
{
    const struct {
        qint64 value;
        QByteArray bytes;
    } cases[] = {
        {0, bytes("\x00")},
        {127, bytes("\x7f")},
        {-110, bytes("\x92")},
        {-111, bytes("\x81\x91\xff")}, // inside the tag range: two bytes
        {128, bytes("\x81\x80\x00")},
        {-32769, bytes("\x82\xff\x7f\xff\xff")},
        {2147483647, bytes("\x82\xff\xff\xff\x7f")},
    };
    for (const auto& c : cases) {
        const TypedStreamGroups groups = oneGroup("i", {TypedStreamValue::integer(c.value)});
        const QByteArray written = TypedStreamWriter::toBytes(groups);
        EXPECT_EQ(written.mid(header().size() + 3).toHex(), c.bytes.toHex()) << c.value;
        EXPECT_EQ(readOk(written), groups) << c.value;
    }
}

TEST(TypedStreamTest, CompoundValues_RoundTrip)
{
    const TypedStreamGroups groups{
        {"{_NSSize=ff}",
         {TypedStreamValue::compound(
             {TypedStreamValue::real(612), TypedStreamValue::real(792.5)})}},
        {"[3i][4c]d",
         {TypedStreamValue::compound({TypedStreamValue::integer(1), TypedStreamValue::integer(-300),
                                      TypedStreamValue::integer(70000)}),
          TypedStreamValue::bytes(bytes("ab\0d")), TypedStreamValue::real(0.1)}},
        {"#:+",
         {TypedStreamValue::classChain({{"NSValue", 0}, {"NSObject", 0}}),
          TypedStreamValue::string("sel"), TypedStreamValue()}},
    };
    const QByteArray written = TypedStreamWriter::toBytes(groups);
    ASSERT_FALSE(written.isEmpty());
    EXPECT_EQ(readOk(written), groups);
}

TEST(TypedStreamTest, ValuesThatCannotBeWritten_GiveNoBytes)
{
    auto cyclic =
        std::make_shared<TypedStreamObject>(QList<TypedStreamClass>{{"A", 0}}, TypedStreamGroups());
    cyclic->groups = oneGroup("@", {TypedStreamValue::object(cyclic)});
    const TypedStreamGroups cases[] = {
        oneGroup("i", {TypedStreamValue::real(1)}),                  // kind differs
        oneGroup("i", {TypedStreamValue::integer(qint64(1) << 40)}), // out of range
        oneGroup("c", {TypedStreamValue::integer(200)}),             // out of range
        oneGroup("ii", {TypedStreamValue::integer(1)}),              // value missing
        oneGroup("[3c]", {TypedStreamValue::bytes("ab")}),           // wrong count
        oneGroup("v", {TypedStreamValue()}),                         // unknown type
        oneGroup("@", {TypedStreamValue::object(cyclic)}),
    };
    for (const TypedStreamGroups& groups : cases)
        EXPECT_TRUE(TypedStreamWriter::toBytes(groups).isEmpty()) << groups[0].encoding.constData();
    cyclic->groups.clear(); // break the cycle so the objects are freed
}

TEST(TypedStreamTest, EveryTruncation_FailsWithAPosition)
{
    const QByteArray whole = helveticaFont();
    for (qsizetype length = 0; length < whole.size(); ++length) {
        const TypedStreamReadResult result = TypedStreamReader::read(whole.left(length));
        // A prefix that ends between two top-level groups is a whole stream.
        if (length == header().size())
            continue;
        ASSERT_FALSE(result.ok()) << length;
        EXPECT_FALSE(result.error->message.isEmpty());
        EXPECT_GE(result.error->byteOffset, 0);
    }
}

TEST(TypedStreamTest, MalformedStreams_FailCleanly)
{
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty", {}},
        {"other version", bytes("\x03\x0bstreamtyped\x81\xe8\x03")},
        {"other signature", bytes("\x04\x0bstreamtypex\x81\xe8\x03")},
        {"reference to nothing", header() + bytes("\x95")},
        {"nil encoding", header() + bytes("\x85")},
        {"unknown type", header() + bytes("\x84\x01v")},
        {"empty struct", header() + bytes("\x84\x04{a=}")},
        {"array beyond the bytes", header() + bytes("\x84\x0d[2000000000i]\x00")},
        {"struct opened only", header() + bytes("\x84\x03{a=")},
        {"object without class", header() + bytes("\x84\x01@\x84\x85\x86")},
        {"class reference to a string", header() + bytes("\x84\x01*\x84\x84\x01x"
                                                         "\x84\x01@\x84\x84\x02"
                                                         "Ab"
                                                         "\x00\x92")},
        {"object refers to itself", header() + bytes("\x84\x01@\x84\x84\x84\x01"
                                                     "A"
                                                     "\x00\x85\x92\x92\x86")},
        {"tag as a number", header() + bytes("\x84\x01i\x86")},
        {"float truncated", header() + bytes("\x84\x01"
                                             "d"
                                             "\x83\x00\x00")},
    };
    for (const auto& c : cases) {
        const TypedStreamReadResult result = TypedStreamReader::read(c.bytes);
        ASSERT_FALSE(result.ok()) << c.name;
        EXPECT_FALSE(result.error->message.isEmpty()) << c.name;
    }
}

TEST(TypedStreamTest, DeepNesting_FailsInsteadOfExhaustingTheStack)
{
    QByteArray objects = header() + bytes("\x84\x01@\x84\x84\x84\x01"
                                          "A"
                                          "\x00\x85");
    for (int i = 0; i < 100000; ++i)
        objects += bytes("\x92\x84\x93"); // group "@", new object of class #1
    QByteArray deepType("i");
    for (int i = 0; i < 20; ++i)
        deepType = "[1" + deepType + "]";
    deepType.prepend(char(deepType.size()));
    const TypedStreamReadResult nestedObjects = TypedStreamReader::read(objects);
    ASSERT_FALSE(nestedObjects.ok());
    EXPECT_TRUE(nestedObjects.error->message.contains(QStringLiteral("deeply")));
    EXPECT_FALSE(TypedStreamReader::read(header() + bytes("\x84") + deepType).ok());
}
