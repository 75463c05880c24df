// Our XML reader and writer against property lists written by an independent
// serializer (tests/fixtures/plist/make_plist_fixtures.py).

#include "PlistBinaryReader.h"
#include "PlistBinaryWriter.h"
#include "PlistXmlReader.h"
#include "PlistXmlWriter.h"

#include <gtest/gtest.h>

#include <QFile>

#include <algorithm>
#include <bit>
#include <functional>
#include <limits>
#include <ostream>
#include <string>

namespace {

// ---- building expected values ----

PlistDate utc(const char* iso)
{
    const QDateTime dateTime = QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
    return {double(dateTime.toSecsSinceEpoch() - PlistDate::referenceDateUnixSeconds)};
}

// The fixture script's byte pattern: every byte value turns up, so every base64 digit does.
QByteArray pattern(int length, int seed)
{
    QByteArray bytes(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i)
        bytes[i] = char((seed + i * 37) % 256);
    return bytes;
}

PlistValue datafile()
{
    const QString fields[][2] = {{"6B29FC40-CA47-1067-B31D-00DD010662DA", "Name"},
                                 {"0F8FAD5B-D9CB-469F-A165-70867728950E", "Street"},
                                 {"7C9E6679-7425-40DE-944B-E07FC1F90AE7", "Notes"}};
    const QString values[][3] = {
        {QStringLiteral("Anna Müller"), QStringLiteral("Hauptstraße 5"),
         QStringLiteral("Allergie: Nüsse & Milch")},
        {QStringLiteral("李小龙"), QStringLiteral("1 Rue de l'Église"), QString()}};

    PlistArray fieldDefinitions;
    for (const auto& field : fields) {
        fieldDefinitions.append(PlistDictionary{
            {"Identifier", field[0]}, {"Name", field[1]}, {"Width", 150.0}, {"Show", true}});
    }
    PlistDictionary records;
    PlistArray catalog;
    for (int n = 0; n < 2; ++n) {
        const QString identifier = QStringLiteral("R%1").arg(n + 1, 5, 10, QLatin1Char('0'));
        PlistDictionary fieldValues;
        for (int f = 0; f < 3; ++f)
            fieldValues.insert(fields[f][0], values[n][f]);
        records.insert(
            identifier,
            PlistDictionary{
                {"RecordIdentifier", identifier},
                {"RecordName", ""},
                {"NeedsSync", n == 0},
                {"IsSum", false},
                {"RecordLocked", false},
                {"RecordWasLocked", n == 1},
                {"RecordCreatedDate", utc("2019-03-04T09:15:00Z")},
                {"RecordModifiedDate", utc("2023-11-30T17:42:05Z")},
                {"RecordViewedDate", utc("2023-11-30T17:42:05Z")},
                {"RecordCreatedBy", "Jane Appleseed"},
                {"RecordModifiedBy", "Jane Appleseed"},
                {"RecordViewedBy", "José Núñez"},
                {"Fields", fieldValues},
                {"TextString", QStringLiteral("Called on Tuesday <re: invoice #%1>.").arg(n + 1)},
                {"TextRTFD", pattern(90, n)},
            });
        catalog.append(PlistDictionary{{"Identifier", identifier},
                                       {"CurrentlySelected", true},
                                       {"PreviouslySelected", n == 0}});
    }
    return PlistDictionary{
        {"Settings",
         PlistDictionary{{"DataFormat", 1},
                         {"EditorMode", "List"},
                         {"Fields", fieldDefinitions},
                         {"Criteria", PlistDictionary{{"SearchString", ""}, {"MatchCase", false}}},
                         {"ListFontName", "Helvetica"},
                         {"PrintInfo", pattern(70, 7)}}},
        {"Records", records},
        {"Catalog", catalog},
    };
}

// Keys in the order the script listed them, so the writer has to sort them.
PlistValue unsortedKeys()
{
    const char* keys[] = {"beta", "Beta",   "alpha",  "Alpha", "_under", "10",  "9", "zeta",
                          "Zeta", "éclair", "Éclair", "ä",     "中",     "a b", "a"};
    PlistDictionary dictionary;
    int i = 0;
    for (const char* key : keys)
        dictionary.insert(QString::fromUtf8(key), i++);
    return dictionary;
}

QString controlCharacters()
{
    QString text = QStringLiteral("a");
    for (char16_t c = 1; c < 32; ++c) {
        if (c != u'\t' && c != u'\n' && c != u'\r')
            text += QChar(c);
    }
    return text + QStringLiteral("b\x7f");
}

// ---- comparing strictly ----

QString kindName(PlistValue::Type type)
{
    static const char* const names[] = {"null", "boolean", "integer", "real",       "string",
                                        "data", "date",    "array",   "dictionary", "uid"};
    return QString::fromLatin1(names[int(type)]);
}

// PlistValue's own equality is numeric across booleans, integers and reals; a
// conformance check must also see the kind, the signedness and the exact bits.
QString firstDifference(const PlistValue& expected, const PlistValue& actual, const QString& path)
{
    const auto differ = [&](const QString& what) { return path + QStringLiteral(": ") + what; };
    if (expected.type() != actual.type()) {
        return differ(QStringLiteral("%1, expected %2")
                          .arg(kindName(actual.type()), kindName(expected.type())));
    }
    switch (expected.type()) {
    case PlistValue::Type::Null:
        return {};
    case PlistValue::Type::Boolean:
        return expected.boolValue() == actual.boolValue() ? QString() : differ("boolean differs");
    case PlistValue::Type::Integer:
        if (expected.integerBits() != actual.integerBits() ||
            expected.isUnsignedInteger() != actual.isUnsignedInteger()) {
            return differ(QStringLiteral("integer %1, expected %2")
                              .arg(actual.stringValue(), expected.stringValue()));
        }
        return {};
    case PlistValue::Type::Real:
        if (std::bit_cast<quint64>(expected.realValue()) !=
            std::bit_cast<quint64>(actual.realValue())) {
            return differ(QStringLiteral("real %1, expected %2")
                              .arg(actual.realValue(), 0, 'g', 17)
                              .arg(expected.realValue(), 0, 'g', 17));
        }
        return {};
    case PlistValue::Type::String:
        return *expected.asString() == *actual.asString()
                   ? QString()
                   : differ(QStringLiteral("string \"%1\", expected \"%2\"")
                                .arg(*actual.asString(), *expected.asString()));
    case PlistValue::Type::Data:
        return *expected.asData() == *actual.asData()
                   ? QString()
                   : differ(QStringLiteral("data %1, expected %2")
                                .arg(QString::fromLatin1(actual.asData()->toHex()),
                                     QString::fromLatin1(expected.asData()->toHex())));
    case PlistValue::Type::Date:
        if (std::bit_cast<quint64>(expected.asDate()->secondsSinceReferenceDate) !=
            std::bit_cast<quint64>(actual.asDate()->secondsSinceReferenceDate)) {
            return differ(QStringLiteral("date %1, expected %2")
                              .arg(actual.asDate()->secondsSinceReferenceDate, 0, 'f')
                              .arg(expected.asDate()->secondsSinceReferenceDate, 0, 'f'));
        }
        return {};
    case PlistValue::Type::Array: {
        const PlistArray& e = *expected.asArray();
        const PlistArray& a = *actual.asArray();
        if (e.size() != a.size())
            return differ(QStringLiteral("%1 elements, expected %2").arg(a.size()).arg(e.size()));
        for (qsizetype i = 0; i < e.size(); ++i) {
            const QString difference =
                firstDifference(e.at(i), a.at(i), path + QStringLiteral("[%1]").arg(i));
            if (!difference.isEmpty())
                return difference;
        }
        return {};
    }
    case PlistValue::Type::Dictionary: {
        const PlistDictionary& e = *expected.asDictionary();
        const PlistDictionary& a = *actual.asDictionary();
        if (e.size() != a.size())
            return differ(QStringLiteral("%1 entries, expected %2").arg(a.size()).arg(e.size()));
        for (const PlistDictionary::Entry& entry : e) {
            const PlistValue* other = a.find(entry.key);
            if (!other)
                return differ(QStringLiteral("no key \"%1\"").arg(entry.key));
            const QString difference =
                firstDifference(entry.value, *other, path + QLatin1Char('/') + entry.key);
            if (!difference.isEmpty())
                return difference;
        }
        return {};
    }
    case PlistValue::Type::Uid:
        return expected.asUid()->value == actual.asUid()->value ? QString() : differ("uid differs");
    }
    return differ(QStringLiteral("unknown kind"));
}

// The first line where two documents part, quoted from both.
std::string firstDifferingLine(const QByteArray& expected, const QByteArray& actual)
{
    const QList<QByteArray> e = expected.split('\n');
    const QList<QByteArray> a = actual.split('\n');
    for (qsizetype i = 0; i < std::max(e.size(), a.size()); ++i) {
        const QByteArray el = i < e.size() ? e[i] : QByteArray("<end>");
        const QByteArray al = i < a.size() ? a[i] : QByteArray("<end>");
        if (el != al) {
            return "line " + std::to_string(i + 1) + ":\n  expected: " + el.toStdString() +
                   "\n  written:  " + al.toStdString();
        }
    }
    return "documents are equal";
}

QByteArray fixtureBytes(const char* name)
{
    QFile file(QStringLiteral(NORVA_FIXTURES_DIR "/plist/xml/%1.plist").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// ---- the table ----

struct Fixture {
    const char* name;
    std::function<PlistValue()> expected; // built afresh: containers are shared handles
};

constexpr qint64 kInt64Max = std::numeric_limits<qint64>::max();
constexpr qint64 kInt64Min = std::numeric_limits<qint64>::min();
constexpr quint64 kUInt64Max = std::numeric_limits<quint64>::max();

const Fixture kFixtures[] = {
    {"booleans",
     [] {
         return PlistArray{true, false};
     }},
    {"integers",
     [] {
         return PlistArray{0, 1, -1, 42, -42, 2147483647, qint64(-2147483648), qint64(4294967296)};
     }},
    {"integer-limits",
     [] {
         return PlistArray{kInt64Max, kInt64Min, kUInt64Max};
     }},
    {"reals",
     [] {
         return PlistArray{0.1, 1e300, -2.5, 1.0, 1e-7, 0.0, 3.141592653589793, 1e15, 1e16, 5e-324};
     }},
    {"data-empty", [] { return QByteArray(); }},
    {"data-lengths",
     [] {
         PlistArray array;
         for (int n : {1, 2, 3, 51, 52})
             array.append(pattern(n, n));
         return array;
     }},
    {"data-long", [] { return pattern(200, 1); }},
    {"data-depth-1",
     [] {
         return PlistDictionary{{"Data", pattern(100, 2)}};
     }},
    {"data-depth-2",
     [] {
         return PlistDictionary{{"Outer", PlistDictionary{{"Data", pattern(100, 3)}}}};
     }},
    {"data-depth-3",
     [] {
         return PlistDictionary{
             {"Outer", PlistDictionary{{"Middle", PlistArray{pattern(100, 4)}}}}};
     }},
    {"dates",
     [] {
         return PlistArray{utc("1901-12-13T20:45:52Z"), utc("1969-07-20T20:17:40Z"),
                           utc("2001-01-01T00:00:00Z"), utc("2038-01-19T03:14:08Z"),
                           utc("2100-02-28T12:00:00Z")};
     }},
    {"string-markup", [] { return "a & b < c > d; <key>&amp;</key>"; }},
    {"string-astral", [] { return "\U0001D11E \U0001F600"; }},
    {"string-latin", [] { return "Crème brûlée, naïve Ångström, Øre, Œuvre, ß"; }},
    {"string-cjk", [] { return "日本語のテキスト 中文 한국어"; }},
    {"string-whitespace", [] { return "  two leading\tand tab\nnew line  "; }},
    {"string-empty", [] { return ""; }},
    {"string-carriage-return",
     [] {
         return PlistDictionary{{"Text", "first\r\nsecond\rthird"}};
     }},
    {"string-control-characters",
     [] {
         return PlistDictionary{{"Text", controlCharacters()}};
     }},
    {"array-empty", [] { return PlistArray(); }},
    {"dict-empty", [] { return PlistDictionary(); }},
    {"nested-containers",
     [] {
         return PlistDictionary{
             {"List", PlistArray{PlistArray(),
                                 PlistArray{1, PlistArray{true, PlistDictionary{{"Deep", "yes"}}}},
                                 PlistDictionary()}},
             {"Map", PlistDictionary{{"Empty", PlistDictionary()},
                                     {"Inner", PlistDictionary{{"Values", PlistArray{"a", 2.5}}}}}},
         };
     }},
    {"dict-sorted-keys", unsortedKeys},
    {"datafile", datafile},
};

void PrintTo(const Fixture& fixture, std::ostream* out)
{
    *out << fixture.name;
}

class PlistFixtureTest : public testing::TestWithParam<Fixture> {};

TEST_P(PlistFixtureTest, XmlReader_Fixture_ReadsExpectedValue)
{
    const QByteArray bytes = fixtureBytes(GetParam().name);
    ASSERT_FALSE(bytes.isEmpty()) << "missing fixture";

    const PlistReadResult result = PlistXmlReader::read(bytes);

    ASSERT_TRUE(result.ok()) << result.error->toString().toStdString();
    EXPECT_EQ(firstDifference(GetParam().expected(), result.value, "root").toStdString(), "");
}

TEST_P(PlistFixtureTest, XmlWriter_ExpectedValue_WritesFixtureBytes)
{
    const QByteArray bytes = fixtureBytes(GetParam().name);
    const PlistValue expected = GetParam().expected();

    const QByteArray written = PlistXmlWriter::toBytes(expected);

    EXPECT_TRUE(written == bytes) << firstDifferingLine(bytes, written);
}

// XML to binary and back: every kind survives the binary format, and the XML
// written afterwards is still the fixture.
TEST_P(PlistFixtureTest, BinaryRoundTrip_FixtureRead_WritesSameXml)
{
    const QByteArray bytes = fixtureBytes(GetParam().name);
    const PlistReadResult fromXml = PlistXmlReader::read(bytes);
    ASSERT_TRUE(fromXml.ok()) << fromXml.error->toString().toStdString();

    const QByteArray binary = PlistBinaryWriter::toBytes(fromXml.value);
    ASSERT_TRUE(PlistBinaryReader::isBinary(binary));
    const PlistReadResult fromBinary = PlistBinaryReader::read(binary);

    ASSERT_TRUE(fromBinary.ok()) << fromBinary.error->toString().toStdString();
    EXPECT_EQ(firstDifference(fromXml.value, fromBinary.value, "root").toStdString(), "");
    const QByteArray written = PlistXmlWriter::toBytes(fromBinary.value);
    EXPECT_TRUE(written == bytes) << firstDifferingLine(bytes, written);
}

INSTANTIATE_TEST_SUITE_P(Xml, PlistFixtureTest, testing::ValuesIn(kFixtures),
                         [](const testing::TestParamInfo<Fixture>& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
