#include "PlistBinaryReader.h"
#include "PlistBinaryWriter.h"

#include "FailingDevice.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>
#include <optional>

namespace {

// Equality that also tells kinds apart: the value type's own == compares numbers
// across booleans, integers and reals, which would hide a wrongly decoded kind.
::testing::AssertionResult sameValue(const PlistValue& a, const PlistValue& b,
                                     const QString& path = QStringLiteral("$"))
{
    const auto differ = [&](const char* what) {
        return ::testing::AssertionFailure() << path.toStdString() << ": " << what;
    };
    if (a.type() != b.type() || a.isUnsignedInteger() != b.isUnsignedInteger())
        return differ("kinds differ");
    switch (a.type()) {
    case PlistValue::Type::Real: {
        const double x = a.realValue();
        const double y = b.realValue();
        if (std::memcmp(&x, &y, sizeof x) != 0)
            return differ("reals differ");
        return ::testing::AssertionSuccess();
    }
    case PlistValue::Type::Array: {
        const PlistArray& x = *a.asArray();
        const PlistArray& y = *b.asArray();
        if (x.size() != y.size())
            return differ("array sizes differ");
        for (qsizetype i = 0; i < x.size(); ++i) {
            auto r = sameValue(x.at(i), y.at(i), path + QStringLiteral("[%1]").arg(i));
            if (!r)
                return r;
        }
        return ::testing::AssertionSuccess();
    }
    case PlistValue::Type::Dictionary: {
        const PlistDictionary& x = *a.asDictionary();
        const PlistDictionary& y = *b.asDictionary();
        if (x.size() != y.size())
            return differ("dictionary sizes differ");
        for (const PlistDictionary::Entry& entry : x) {
            const PlistValue* other = y.find(entry.key);
            if (!other)
                return differ(qPrintable(QStringLiteral("missing key ") + entry.key));
            auto r = sameValue(entry.value, *other, path + QLatin1Char('.') + entry.key);
            if (!r)
                return r;
        }
        return ::testing::AssertionSuccess();
    }
    default:
        return a == b ? ::testing::AssertionSuccess() : differ("values differ");
    }
}

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

QByteArray bigEndian(quint64 value, int size)
{
    QByteArray out(size, '\0');
    for (int i = size - 1; i >= 0; --i, value >>= 8)
        out[i] = char(value & 0xFF);
    return out;
}

// A file from encoded objects, with every trailer field open to tampering.
struct Layout {
    int offsetSize = 1;
    int refSize = 1;
    std::optional<quint64> numObjects;
    quint64 top = 0;
    std::optional<quint64> tableOffset;
    std::optional<quint64> firstOffset; // replaces object 0's offset
};

QByteArray assemble(const std::vector<QByteArray>& objects, const Layout& layout = {})
{
    QByteArray file("bplist00");
    std::vector<quint64> offsets;
    for (const QByteArray& object : objects) {
        offsets.push_back(quint64(file.size()));
        file += object;
    }
    if (layout.firstOffset)
        offsets[0] = *layout.firstOffset;
    const quint64 table = quint64(file.size());
    for (quint64 offset : offsets)
        file += bigEndian(offset, layout.offsetSize);
    file += QByteArray(6, '\0');
    file += char(layout.offsetSize);
    file += char(layout.refSize);
    file += bigEndian(layout.numObjects.value_or(objects.size()), 8);
    file += bigEndian(layout.top, 8);
    file += bigEndian(layout.tableOffset.value_or(table), 8);
    return file;
}

// A one-object file whose layout the change spoils.
template <typename Change> QByteArray tampered(Change change)
{
    Layout layout;
    change(layout);
    return assemble({QByteArray::fromHex("a0")}, layout);
}

struct Trailer {
    int offsetSize;
    int refSize;
    quint64 numObjects;
};

Trailer trailerOf(const QByteArray& file)
{
    const QByteArray t = file.right(32);
    quint64 count = 0;
    for (int i = 8; i < 16; ++i)
        count = (count << 8) | uchar(t[i]);
    return {int(t[6]), int(t[7]), count};
}

// Object bytes of a one-object file: everything between the magic and the offset table.
QByteArray onlyObject(const QByteArray& file)
{
    return file.mid(8, file.size() - 8 - 1 - 32);
}

PlistDate utcDate(int y, int mo, int d, int h, int mi, int s)
{
    return PlistDate::fromDateTime(QDateTime(QDate(y, mo, d), QTime(h, mi, s), QTimeZone::utc()));
}

PlistValue everyKind()
{
    return PlistDictionary{
        {"true", true},
        {"false", false},
        {"zero", 0},
        {"byte", 255},
        {"short", 256},
        {"word", 65536},
        {"long", qint64(1) << 32},
        {"minusOne", -1},
        {"min", std::numeric_limits<qint64>::min()},
        {"max", std::numeric_limits<qint64>::max()},
        {"unsignedMax", std::numeric_limits<quint64>::max()},
        {"tenth", 0.1},
        {"huge", 1e300},
        {"negativeHalf", -0.5},
        {"moonLanding", utcDate(1969, 7, 20, 20, 17, 40)},
        {"farFuture", utcDate(2100, 1, 1, 12, 30, 0)},
        {"bytes", hex("0001feff")},
        {"longBytes", hex("000102030405060708090a0b0c0d0e0f10111213")},
        {"ascii", "plain"},
        {"longAscii", "a string longer than fifteen"},
        {"latin", "café"},
        {"clef", "𝄞"},
        {"empty", ""},
        {"emptyArray", PlistArray()},
        {"emptyDict", PlistDictionary()},
        {"nested", PlistArray{PlistArray{1, PlistArray{2}}, PlistDictionary{{"k", "v"}}}},
        {"uid", PlistUid{7}},
        {"wideUid", PlistUid{70000}},
        {"sameString", "plain"},
    };
}

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(NORVA_FIXTURES_DIR "/plist/binary/") + QLatin1StringView(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// ---- our writer and reader together ----

TEST(PlistBinaryRoundTrip, EveryKind_ReadsBackIdentical)
{
    PlistDictionary value = *everyKind().asDictionary();
    value.insert("negativeZero", -0.0);
    value.insert("beforeReference", PlistDate{-1e9 - 0.25});
    value.insert("surrogates", QStringLiteral("a\u00e9\u4e2d") + QString::fromUtf8("😀"));
    value.insert("fifteen", PlistArray{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
    value.insert("bigUid", PlistUid{std::numeric_limits<quint64>::max()});

    const QByteArray bytes = PlistBinaryWriter::toBytes(value);
    ASSERT_TRUE(PlistBinaryReader::isBinary(bytes));
    const PlistReadResult result = PlistBinaryReader::read(bytes);
    ASSERT_TRUE(result.ok()) << result.error->toString().toStdString();
    EXPECT_TRUE(sameValue(result.value, value));
}

TEST(PlistBinaryRoundTrip, LoneSurrogatesAndDatesOfAnyValue_StayWhereTheyAre)
{
    // UTF-16 holds a lone surrogate as it is; nothing of one string reaches the next.
    const PlistDictionary value{
        {"A", QStringLiteral("x") + QChar(0xD800)},
        {QChar(0xDC00) + QStringLiteral("k"), "v"},
        {"F2", "after"},
        {"huge", PlistDate{1e308}},
        {"infinite", PlistDate{-std::numeric_limits<double>::infinity()}},
        {"not a number", PlistDate{std::nan("")}},
    };
    const PlistReadResult result = PlistBinaryReader::read(PlistBinaryWriter::toBytes(value));
    ASSERT_TRUE(result.ok()) << result.error->toString().toStdString();
    EXPECT_EQ(result.value, PlistValue(value));
    EXPECT_TRUE(sameValue(result.value, value));
}

TEST(PlistBinaryRoundTrip, TopLevelScalar_ReadsBack)
{
    for (const PlistValue& value :
         {PlistValue("just text"), PlistValue(42), PlistValue(hex("ff"))}) {
        const PlistReadResult result = PlistBinaryReader::read(PlistBinaryWriter::toBytes(value));
        ASSERT_TRUE(result.ok());
        EXPECT_TRUE(sameValue(result.value, value));
    }
}

// ---- files written by an independent serializer ----

struct FixtureCase {
    const char* file;
    int offsetSize;
    int refSize;
    PlistValue (*expected)();
};

void PrintTo(const FixtureCase& c, std::ostream* os)
{
    *os << c.file;
}

class PlistBinaryFixtureTest : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(PlistBinaryFixtureTest, ForeignFile_ReadsExpectedValue)
{
    const FixtureCase& c = GetParam();
    const QByteArray bytes = fixture(c.file);
    ASSERT_FALSE(bytes.isEmpty()) << c.file;
    // Guards the fixture itself: each one is there for the sizes it uses.
    const Trailer trailer = trailerOf(bytes);
    EXPECT_EQ(trailer.offsetSize, c.offsetSize);
    EXPECT_EQ(trailer.refSize, c.refSize);

    const PlistReadResult result = PlistBinaryReader::read(bytes);
    ASSERT_TRUE(result.ok()) << result.error->toString().toStdString();
    EXPECT_TRUE(sameValue(result.value, c.expected()));
}

// The values the fixture script writes.
PlistValue tiny()
{
    return PlistArray{1, "a", true};
}

PlistValue manyObjects()
{
    PlistArray items;
    for (int i = 1000; i < 1300; ++i)
        items.append(i);
    return items;
}

PlistValue largeData()
{
    QByteArray blob(70000, '\0');
    for (int i = 0; i < blob.size(); ++i)
        blob[i] = char((i * 7) % 251);
    return PlistDictionary{{"blob", blob}, {"after", "tail"}};
}

PlistValue keyToArray()
{
    return PlistDictionary{{"key", PlistArray{1, "x"}}};
}

INSTANTIATE_TEST_SUITE_P(Sizes, PlistBinaryFixtureTest,
                         ::testing::Values(FixtureCase{"tiny.bplist", 1, 1, tiny},
                                           FixtureCase{"every_kind.bplist", 2, 1, everyKind},
                                           FixtureCase{"many_objects.bplist", 2, 2, manyObjects},
                                           FixtureCase{"large_data.bplist", 4, 1, largeData},
                                           FixtureCase{"offsets8_refs8.bplist", 8, 8, keyToArray},
                                           FixtureCase{"offsets1_refs4.bplist", 1, 4, keyToArray}));

// ---- reader: encodings our writer never produces ----

struct ReadCase {
    const char* name;
    std::vector<QByteArray> objects;
    PlistValue (*expected)();
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.name;
}

class PlistBinaryForeignEncodingTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(PlistBinaryForeignEncodingTest, Object_DecodesAsExpected)
{
    const ReadCase& c = GetParam();
    const PlistReadResult result = PlistBinaryReader::read(assemble(c.objects));
    ASSERT_TRUE(result.ok()) << result.error->toString().toStdString();
    EXPECT_TRUE(sameValue(result.value, c.expected()));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PlistBinaryForeignEncodingTest,
    ::testing::Values(
        ReadCase{"SmallIntsAreUnsigned",
                 {hex("a3010203"), hex("10ff"), hex("11ffff"), hex("12ffffffff")},
                 [] {
                     return PlistValue(PlistArray{255, 65535, qint64(0xFFFFFFFF)});
                 }},
        ReadCase{"SignExtended128BitInt",
                 {hex("14ffffffffffffffff fffffffffffffffe")},
                 [] { return PlistValue(-2); }},
        ReadCase{"Float", {hex("22 3fc00000")}, [] { return PlistValue(1.5); }},
        ReadCase{"SetReadsAsArray",
                 {hex("c20102"), hex("1001"), hex("5161")},
                 [] {
                     return PlistValue(PlistArray{1, "a"});
                 }},
        ReadCase{"Utf8String", {hex("74 e282ac41")}, [] { return PlistValue("€A"); }},
        ReadCase{"Utf16WithExtendedCount",
                 {hex("6f1010") + hex("0041").repeated(16)},
                 [] { return PlistValue(QString(16, QLatin1Char('A'))); }},
        ReadCase{"ThreeByteUid", {hex("82 010203")}, [] { return PlistValue(PlistUid{0x010203}); }},
        ReadCase{"NullObject",
                 {hex("a101"), hex("00")},
                 [] { return PlistValue(PlistArray{PlistValue()}); }},
        ReadCase{"DuplicateKeyLaterWins",
                 {hex("d2 0101 0203"), hex("516b"), hex("1001"), hex("1002")},
                 [] {
                     return PlistValue(PlistDictionary{{"k", 2}});
                 }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlistBinaryReader, ContainerReferencedTwice_GivesEachReferenceItsOwnCopy)
{
    // [[1], [1]] where both elements are the same stored array.
    const PlistReadResult result =
        PlistBinaryReader::read(assemble({hex("a20101"), hex("a102"), hex("1001")}));
    ASSERT_TRUE(result.ok()) << result.error->toString().toStdString();
    PlistArray outer = *result.value.asArray();
    PlistArray first = *outer[0].asArray();
    first.append(2);
    EXPECT_EQ(outer[1].asArray()->size(), 1);
}

TEST(PlistBinaryReader, ScalarSharedByManyRecords_IsDecodedIntoEveryPlace)
{
    PlistArray records;
    for (int i = 0; i < 1000; ++i)
        records.append(PlistDictionary{{"Name", "same"}, {"Index", i}});
    const PlistReadResult result = PlistBinaryReader::read(PlistBinaryWriter::toBytes(records));
    ASSERT_TRUE(result.ok());
    EXPECT_TRUE(sameValue(result.value, records));
}

// ---- reader: malformed input ----

struct BadCase {
    const char* name;
    QByteArray (*bytes)();
    const char* messagePart;
    qint64 byteOffset; // -2: any offset at or past 0
};

void PrintTo(const BadCase& c, std::ostream* os)
{
    *os << c.name;
}

class PlistBinaryMalformedTest : public ::testing::TestWithParam<BadCase> {};

TEST_P(PlistBinaryMalformedTest, Input_FailsWithWhatAndWhere)
{
    const BadCase& c = GetParam();
    const auto started = std::chrono::steady_clock::now();
    const PlistReadResult result = PlistBinaryReader::read(c.bytes());
    const auto elapsed = std::chrono::steady_clock::now() - started;

    ASSERT_FALSE(result.ok());
    EXPECT_TRUE(result.error->message.contains(QLatin1StringView(c.messagePart)))
        << result.error->message.toStdString();
    if (c.byteOffset == -2)
        EXPECT_GE(result.error->byteOffset, 0);
    else
        EXPECT_EQ(result.error->byteOffset, c.byteOffset) << result.error->message.toStdString();
    EXPECT_LT(elapsed, std::chrono::seconds(2));
}

QByteArray nested(int depth)
{
    // Object i is an array holding object i + 1; the last one is empty.
    std::vector<QByteArray> objects;
    for (int i = 0; i < depth; ++i)
        objects.push_back(hex("a1") + bigEndian(quint64(i + 1), 2));
    objects.push_back(hex("a0"));
    Layout layout;
    layout.offsetSize = 2;
    layout.refSize = 2;
    return assemble(objects, layout);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlistBinaryMalformedTest,
    ::testing::Values(
        BadCase{"Empty", [] { return QByteArray(); }, "not a binary property list", 0},
        BadCase{"MagicOnly", [] { return QByteArray("bplist00"); }, "too short", 8},
        BadCase{"TruncatedTrailer", [] { return assemble({hex("a0")}).chopped(5); }, "", -2},
        BadCase{"OffsetSizeThree", [] { return tampered([](Layout& l) { l.offsetSize = 3; }); },
                "offset size 3", -2},
        BadCase{"RefSizeZero", [] { return tampered([](Layout& l) { l.refSize = 0; }); },
                "reference size 0", -2},
        BadCase{"OffsetTableOutOfRange",
                [] { return tampered([](Layout& l) { l.tableOffset = 5000; }); },
                "outside the file", -2},
        BadCase{"TableLongerThanFile",
                [] { return tampered([](Layout& l) { l.numObjects = quint64(1) << 61; }); },
                "runs past the trailer", 9},
        BadCase{"TopObjectNotAnObject", [] { return tampered([](Layout& l) { l.top = 1; }); },
                "top object 1", -2},
        BadCase{"NoObjects", [] { return tampered([](Layout& l) { l.numObjects = 0; }); },
                "no objects", -2},
        BadCase{"OffsetPastTheEnd", [] { return tampered([](Layout& l) { l.firstOffset = 200; }); },
                "outside the object area", 9},
        BadCase{"OffsetIntoHeader", [] { return tampered([](Layout& l) { l.firstOffset = 2; }); },
                "outside the object area", 9},
        BadCase{"ReferenceToMissingObject", [] { return assemble({hex("a107")}); },
                "reference to object 7", 9},
        BadCase{"StringPastTheEnd", [] { return assemble({hex("5f1050616263")}); },
                "runs past the end", 8},
        BadCase{"Utf16PastTheEnd", [] { return assemble({hex("6300410042")}); },
                "runs past the end", 8},
        BadCase{"DataPastTheEnd", [] { return assemble({hex("44010203")}); }, "runs past the end",
                8},
        BadCase{"IntPastTheEnd", [] { return assemble({hex("1300")}); }, "runs past the end", 8},
        BadCase{"HugeArrayCountInTinyFile", [] { return assemble({hex("af13 1000000000000000")}); },
                "array of 1152921504606846976", 8},
        BadCase{"HugeDictionaryCount", [] { return assemble({hex("df12ffffffff")}); },
                "dictionary of", 8},
        BadCase{"CountNotAnInteger", [] { return assemble({hex("af5100")}); },
                "count is not an integer", 8},
        BadCase{"SelfContainingArray", [] { return assemble({hex("a100")}); }, "cyclic reference",
                8},
        BadCase{"TwoObjectCycle",
                [] {
                    return assemble({hex("a101"), hex("a100")});
                },
                "cyclic reference", 8},
        BadCase{"CycleThroughDictionaryValue",
                [] {
                    return assemble({hex("d10102"), hex("516b"), hex("a100")});
                },
                "cyclic reference", 8},
        BadCase{"IntegerKey",
                [] {
                    return assemble({hex("d10102"), hex("1005"), hex("1006")});
                },
                "is not a string", 8},
        BadCase{"ArrayKey",
                [] {
                    return assemble({hex("d10101"), hex("a0")});
                },
                "is not a string", 8},
        BadCase{"Int128TooLarge",
                [] { return assemble({hex("14 0000000000000001 0000000000000000")}); },
                "does not fit", 8},
        BadCase{"Int32Bytes", [] { return assemble({hex("15") + QByteArray(32, '\0')}); },
                "integer of 32", 8},
        BadCase{"UidOfNineBytes", [] { return assemble({hex("88") + QByteArray(9, '\0')}); },
                "UID of 9", 8},
        BadCase{"FillByte", [] { return assemble({hex("0f")}); }, "unsupported object type 0x0f",
                8},
        BadCase{"RealOfTwoBytes", [] { return assemble({hex("210000")}); },
                "unsupported object type 0x21", 8},
        BadCase{"OrderedSet", [] { return assemble({hex("b0")}); }, "unsupported object type 0xb0",
                8},
        BadCase{"NestedBeyondLimit", [] { return nested(600); }, "nested deeper than 512", -2},
        BadCase{"ExponentialSharedArrays",
                [] {
                    // Sixty levels, each holding the next level twice: 2^60 values if expanded.
                    std::vector<QByteArray> objects;
                    for (int i = 0; i < 60; ++i)
                        objects.push_back(hex("a2") + bigEndian(quint64(i + 1), 1).repeated(2));
                    objects.push_back(hex("1001"));
                    return assemble(objects);
                },
                "shared references expand", -2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlistBinaryReader, NestingAtTheLimit_IsAccepted)
{
    // 511 arrays around an empty one: 512 levels, as deep as the writer goes.
    EXPECT_TRUE(PlistBinaryReader::read(nested(511)).ok());
}

TEST(PlistBinaryReader, EveryTruncationOfAValidFile_FailsCleanly)
{
    const QByteArray bytes = PlistBinaryWriter::toBytes(everyKind());
    for (qsizetype n = 0; n < bytes.size(); ++n) {
        // A copy, so that reading past the end touches memory that is not there.
        EXPECT_FALSE(PlistBinaryReader::read(QByteArray(bytes.constData(), n)).ok()) << n;
    }
}

// ---- writer ----

struct EncodingCase {
    const char* name;
    PlistValue (*value)();
    const char* objectHex;
};

void PrintTo(const EncodingCase& c, std::ostream* os)
{
    *os << c.name;
}

class PlistBinaryEncodingTest : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(PlistBinaryEncodingTest, Scalar_UsesSmallestPlatformEncoding)
{
    const EncodingCase& c = GetParam();
    EXPECT_EQ(onlyObject(PlistBinaryWriter::toBytes(c.value())).toHex(), QByteArray(c.objectHex));
}

INSTANTIATE_TEST_SUITE_P(
    Scalars, PlistBinaryEncodingTest,
    ::testing::Values(
        EncodingCase{"False", [] { return PlistValue(false); }, "08"},
        EncodingCase{"True", [] { return PlistValue(true); }, "09"},
        EncodingCase{"Int255", [] { return PlistValue(255); }, "10ff"},
        EncodingCase{"Int256", [] { return PlistValue(256); }, "110100"},
        EncodingCase{"Int65536", [] { return PlistValue(65536); }, "1200010000"},
        EncodingCase{"Int2Pow32", [] { return PlistValue(qint64(1) << 32); }, "130000000100000000"},
        EncodingCase{"MinusOne", [] { return PlistValue(-1); }, "13ffffffffffffffff"},
        EncodingCase{"UnsignedMax", [] { return PlistValue(std::numeric_limits<quint64>::max()); },
                     "140000000000000000ffffffffffffffff"},
        EncodingCase{"Real", [] { return PlistValue(1.5); }, "233ff8000000000000"},
        EncodingCase{"Date", [] { return PlistValue(PlistDate{1.5}); }, "333ff8000000000000"},
        EncodingCase{"Ascii", [] { return PlistValue("ab"); }, "526162"},
        EncodingCase{"NonAscii", [] { return PlistValue("é"); }, "6100e9"},
        EncodingCase{"Astral", [] { return PlistValue("𝄞"); }, "62d834dd1e"},
        EncodingCase{"LongAscii", [] { return PlistValue("fifteen letters"); },
                     "5f100f6669667465656e206c657474657273"},
        EncodingCase{"Data", [] { return PlistValue(hex("00ff")); }, "4200ff"},
        EncodingCase{"Uid255", [] { return PlistValue(PlistUid{255}); }, "80ff"},
        EncodingCase{"Uid256", [] { return PlistValue(PlistUid{256}); }, "810100"},
        EncodingCase{"Uid65536", [] { return PlistValue(PlistUid{65536}); }, "8300010000"},
        EncodingCase{"Uid2Pow32", [] { return PlistValue(PlistUid{quint64(1) << 32}); },
                     "870000000100000000"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlistBinaryWriter, RepeatedScalars_AreStoredOnceAndContainersNever)
{
    // Equal strings, ints and data share an object; 1 and true and 1.0 stay apart.
    PlistArray value{"a", "a", 1, 1, true, 1.0, hex("00"), hex("00")};
    value.append(PlistArray());
    value.append(PlistArray());
    value.append(PlistDictionary{{"a", 1}});
    const QByteArray bytes = PlistBinaryWriter::toBytes(value);
    // Top array, "a", 1, true, 1.0, data, two empty arrays, one dictionary.
    EXPECT_EQ(trailerOf(bytes).numObjects, 9u);
    const PlistReadResult result = PlistBinaryReader::read(bytes);
    ASSERT_TRUE(result.ok());
    EXPECT_TRUE(sameValue(result.value, value));
}

TEST(PlistBinaryWriter, Dictionary_WritesKeysInSortedOrder)
{
    // The reader keeps the file's key order, so it shows the order written.
    const QByteArray bytes =
        PlistBinaryWriter::toBytes(PlistDictionary{{"b", 2}, {"é", 4}, {"a", 1}, {"B", 3}});
    const PlistReadResult result = PlistBinaryReader::read(bytes);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.value.asDictionary()->keys(), QStringList({"B", "a", "b", "é"}));
}

TEST(PlistBinaryWriter, ObjectCountAndFileSize_ChooseSmallestRefAndOffsetSizes)
{
    const auto ints = [](int n) {
        PlistArray array;
        for (int i = 0; i < n; ++i)
            array.append(1000 + i);
        return array;
    };
    const struct {
        PlistValue value;
        int offsetSize;
        int refSize;
    } cases[] = {
        {ints(2), 1, 1},
        {ints(255), 2, 1}, // 256 objects: the last reference is 255
        {ints(256), 2, 2},
        {PlistArray{QByteArray(70000, 'x'), 1}, 4, 1},
    };
    for (const auto& c : cases) {
        const QByteArray bytes = PlistBinaryWriter::toBytes(c.value);
        const Trailer trailer = trailerOf(bytes);
        EXPECT_EQ(trailer.offsetSize, c.offsetSize) << trailer.numObjects;
        EXPECT_EQ(trailer.refSize, c.refSize) << trailer.numObjects;
        const PlistReadResult result = PlistBinaryReader::read(bytes);
        ASSERT_TRUE(result.ok());
        EXPECT_TRUE(sameValue(result.value, c.value));
    }
}

TEST(PlistBinaryWriter, NullAnywhere_IsRefused)
{
    for (const PlistValue& value : {PlistValue(), PlistValue(PlistArray{1, PlistValue()}),
                                    PlistValue(PlistDictionary{{"a", PlistArray{PlistValue()}}})}) {
        EXPECT_TRUE(PlistBinaryWriter::toBytes(value).isEmpty());
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EXPECT_FALSE(PlistBinaryWriter::write(value, buffer));
    }
}

TEST(PlistBinaryWriter, ArrayHoldingItself_IsRefused)
{
    PlistArray array{1};
    array.append(array);
    EXPECT_TRUE(PlistBinaryWriter::toBytes(array).isEmpty());
    array.removeAt(1); // break the cycle so the array can be freed
}

TEST(PlistBinaryWriter, DeviceFailingPartWay_ReportsFailure)
{
    const QByteArray expected = PlistBinaryWriter::toBytes(everyKind());
    for (qint64 limit : {qint64(0), qint64(8), expected.size() - 1}) {
        FailingDevice device(limit);
        EXPECT_FALSE(PlistBinaryWriter::write(everyKind(), device)) << limit;
    }
    FailingDevice roomy(expected.size());
    EXPECT_TRUE(PlistBinaryWriter::write(everyKind(), roomy));
    EXPECT_EQ(roomy.written, expected);
}

} // namespace
