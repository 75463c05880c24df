#include "PlistBinaryWriter.h"
#include "PlistXmlReader.h"
#include "PlistXmlWriter.h"

#include "FailingDevice.h"
#include "PlistFuzzChecks.h"

#include <QBuffer>
#include <QDirIterator>
#include <QStringDecoder>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

QByteArray document(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n" +
           body + "</plist>\n";
}

PlistValue readOk(const QByteArray& bytes)
{
    const PlistReadResult result = PlistXmlReader::read(bytes);
    EXPECT_TRUE(result.ok()) << (result.error ? result.error->toString().toStdString() : "") << "\n"
                             << bytes.toStdString();
    return result.value;
}

PlistValue everyKind()
{
    PlistDictionary nested{{"empty array", PlistArray()}, {"empty dict", PlistDictionary()}};
    return PlistDictionary{
        {"bool", true},
        {"false", false},
        {"int", qint64(-42)},
        {"int64 max", std::numeric_limits<qint64>::max()},
        {"int64 min", std::numeric_limits<qint64>::min()},
        {"uint64 max", std::numeric_limits<quint64>::max()},
        {"real", 0.1},
        {"big real", 1e300},
        {"integral real", 3.0},
        {"string", "caf\u00e9 \U0001D11E & <tag> \r\n\t\x01 end"},
        {"empty string", ""},
        {"data", QByteArray("\x00\x01\x02\xff", 4)},
        {"empty data", QByteArray()},
        {"date 1901", PlistDate{-3155760000.0}},
        {"date 2100", PlistDate{3124137600.0}},
        {"array", PlistArray{1, "two", PlistArray{3.5}}},
        {"nested", nested},
    };
}

} // namespace

TEST(PlistXmlTest, RoundTrip_EveryKind_ReadsBackEqual)
{
    const PlistValue value = everyKind();
    const QByteArray bytes = PlistXmlWriter::toBytes(value);
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_EQ(readOk(bytes), value);
    // The integral real stays a real, the 64-bit unsigned stays unsigned.
    const PlistValue back = readOk(bytes);
    EXPECT_EQ(back.asDictionary()->value("integral real").type(), PlistValue::Type::Real);
    EXPECT_TRUE(back.asDictionary()->value("uint64 max").isUnsignedInteger());
}

TEST(PlistXmlTest, Writer_SmallDocument_MatchesPlatformLayout)
{
    const PlistValue value = PlistDictionary{
        {"b", PlistArray{true, qint64(7), PlistArray(), PlistDictionary()}},
        {"a", "x\ry<&>"},
        {"B", QByteArray("hello")},
    };
    EXPECT_EQ(PlistXmlWriter::toBytes(value).toStdString(),
              document("<dict>\n"
                       "\t<key>B</key>\n"
                       "\t<data>\n"
                       "\taGVsbG8=\n"
                       "\t</data>\n"
                       "\t<key>a</key>\n"
                       "\t<string>x&#13;y&lt;&amp;&gt;</string>\n"
                       "\t<key>b</key>\n"
                       "\t<array>\n"
                       "\t\t<true/>\n"
                       "\t\t<integer>7</integer>\n"
                       "\t\t<array/>\n"
                       "\t\t<dict/>\n"
                       "\t</array>\n"
                       "</dict>\n")
                  .toStdString());
}

TEST(PlistXmlTest, Writer_Data_LineWidthShrinksWithIndentation)
{
    const QByteArray data(200, '\x5a');
    struct Case {
        int depth;
        qsizetype lineLength;
    };
    for (const Case& c : {Case{0, 76}, Case{1, 68}, Case{3, 52}, Case{9, 12}}) {
        PlistValue value = data;
        for (int i = 0; i < c.depth; ++i)
            value = PlistArray{value};
        const QList<QByteArray> lines = PlistXmlWriter::toBytes(value).split('\n');
        const auto first = std::find_if(lines.begin(), lines.end(),
                                        [](const QByteArray& line) { return line.endsWith("<data>"); });
        ASSERT_NE(first, lines.end());
        EXPECT_EQ((first + 1)->trimmed().size(), c.lineLength) << "depth " << c.depth;
        EXPECT_EQ((first + 1)->count('\t'), c.depth) << "depth " << c.depth;
    }
}

TEST(PlistXmlTest, RealText_ShortestRoundTripForm)
{
    const std::pair<double, const char*> cases[] = {
        {0.1, "0.1"},
        {1.0, "1.0"},
        {-2.5, "-2.5"},
        {1e300, "1e+300"},
        {1e-7, "1e-07"},
        {0.0001, "0.0001"},
        {1e16, "1e+16"},
        {123456789012345.0, "123456789012345.0"},
        {0.0, "0.0"},
        {-0.0, "-0.0"},
        {150.0, "150.0"},
        {std::numeric_limits<double>::infinity(), "+infinity"},
        {-std::numeric_limits<double>::infinity(), "-infinity"},
        {std::nan(""), "nan"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(PlistXmlWriter::realText(value).toStdString(), text);

    std::mt19937_64 random(7);
    for (int i = 0; i < 2000; ++i) {
        const double value = std::bit_cast<double>(random());
        if (!std::isfinite(value))
            continue;
        const PlistValue back = readOk(document("<real>" + PlistXmlWriter::realText(value) + "</real>\n"));
        ASSERT_EQ(back.realValue(), value) << PlistXmlWriter::realText(value).toStdString();
    }
}

TEST(PlistXmlTest, DateText_UtcWholeSecondsAcrossEras)
{
    const std::pair<double, const char*> cases[] = {
        {0, "2001-01-01T00:00:00Z"},
        {-978307200, "1970-01-01T00:00:00Z"},
        {-3155760000.0, "1901-01-01T00:00:00Z"},
        {-978307200 - 14182940, "1969-07-20T20:17:40Z"},
        {3124137600.0, "2100-01-01T00:00:00Z"},
        {1169832648.0, "2038-01-26T17:30:48Z"},
        {0.75, "2001-01-01T00:00:00Z"},
        {-0.5, "2000-12-31T23:59:59Z"},
    };
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(PlistXmlWriter::dateText(PlistDate{seconds}).toStdString(), text);
        const PlistValue back = readOk(document(QByteArray("<date>") + text + "</date>\n"));
        EXPECT_EQ(back.asDate()->secondsSinceReferenceDate, std::floor(seconds)) << text;
    }
}

TEST(PlistXmlTest, Dates_BeyondTheFourDigitYears_AreWrittenClampedAndAlwaysReadBack)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, const char*> cases[] = {
        {1e308, "9999-12-31T23:59:59Z"},
        {std::numeric_limits<double>::max(), "9999-12-31T23:59:59Z"},
        {inf, "9999-12-31T23:59:59Z"},
        {253402300800.0 - 978307200, "9999-12-31T23:59:59Z"}, // 10000-01-01
        {-1e308, "0000-01-01T00:00:00Z"},
        {-inf, "0000-01-01T00:00:00Z"},
        {-62167219200.0 - 978307200 - 1, "0000-01-01T00:00:00Z"}, // the last second of -0001
        {-62167219200.0 - 978307200, "0000-01-01T00:00:00Z"},
        {-63114076800.0, "0000-12-30T00:00:00Z"}, // the platform's distant past
        {std::nan(""), "2001-01-01T00:00:00Z"},
        {std::numeric_limits<double>::denorm_min(), "2001-01-01T00:00:00Z"},
    };
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(PlistXmlWriter::dateText(PlistDate{seconds}).toStdString(), text) << seconds;
        // Saved once, the document opens again with the date as written.
        const PlistDictionary saved{{"date", PlistDate{seconds}}, {"F2", "next"}};
        const PlistValue back = readOk(PlistXmlWriter::toBytes(saved));
        const PlistValue written = PlistXmlWriter::writtenDate(PlistDate{seconds});
        EXPECT_EQ(back, PlistValue(PlistDictionary{{"date", written}, {"F2", "next"}})) << text;
        EXPECT_EQ(PlistXmlWriter::dateText(*written.asDate()).toStdString(), text);
    }
}

TEST(PlistXmlTest, Reader_ExpandedYears_ReadAsOtherWritersWriteThem)
{
    // Four hundred years are exactly 146097 days.
    constexpr double cycle = 146097.0 * 86400;
    const std::pair<const char*, double> cases[] = {
        {"10400-01-01T00:00:00Z", 253402300800.0 + cycle},
        {"-0400-01-01T00:00:00Z", -62167219200.0 - cycle},
        {"-400-01-01T00:00:00Z", -62167219200.0 - cycle},
        {"0000-01-01T00:00:00Z", -62167219200.0},
        {"1-01-01T00:00:00Z", -62167219200.0 + 366 * 86400},
    };
    for (const auto& [text, unixSeconds] : cases) {
        const PlistValue back = readOk(document(QByteArray("<date>") + text + "</date>\n"));
        ASSERT_TRUE(back.isDate()) << text;
        EXPECT_EQ(back.asDate()->secondsSinceReferenceDate, unixSeconds - 978307200) << text;
    }
    const PlistReadResult tooLong = PlistXmlReader::read(document("<date>1234567890123-01-01T00:00:00Z</date>\n"));
    EXPECT_FALSE(tooLong.ok());
}

TEST(PlistXmlTest, Writer_LoneSurrogate_BecomesReplacementInItsOwnStringOnly)
{
    const QString highAtEnd = QStringLiteral("x") + QChar(0xD800);
    const QString lowAtStart = QChar(0xDC00) + QStringLiteral("y");
    const QString highBeforeEntity = QChar(0xDBFF) + QStringLiteral("&z");
    const QString key = QStringLiteral("K") + QChar(0xD801);
    const PlistDictionary saved{
        {"A", highAtEnd}, {"B", lowAtStart}, {"C", highBeforeEntity}, {key, "v"}, {"F2", "after"}};
    const QString replacement(QChar::ReplacementCharacter);
    const PlistDictionary expected{{"A", QStringLiteral("x") + replacement},
                                   {"B", replacement + QStringLiteral("y")},
                                   {"C", replacement + QStringLiteral("&z")},
                                   {QStringLiteral("K") + replacement, "v"},
                                   {"F2", "after"}};
    EXPECT_EQ(readOk(PlistXmlWriter::toBytes(saved)), PlistValue(expected));

    // The same when the entries are written side by side on several threads.
    PlistDictionary many;
    PlistDictionary manyExpected;
    for (int i = 0; i < 3000; ++i) {
        const QString name = QStringLiteral("F%1").arg(i);
        many.insert(name, i % 2 ? highAtEnd : QStringLiteral("plain"));
        manyExpected.insert(name, i % 2 ? QStringLiteral("x") + replacement : QStringLiteral("plain"));
    }
    EXPECT_EQ(readOk(PlistXmlWriter::toBytes(many)), PlistValue(manyExpected));
}

TEST(PlistXmlTest, Reader_DocumentTypeDeclarations_SkippedWhateverTheirLiteralsHold)
{
    const char* const cases[] = {
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://x/a>b.dtd\">",
        "<!DOCTYPE plist SYSTEM 'a>b.dtd'>",
        "<!DOCTYPE plist SYSTEM \"a]b\">",
        "<!DOCTYPE plist [ <!ENTITY x \"a > b ] c\"> ]>",
        "<!DOCTYPE plist [ <!ENTITY x 'say \"]>\"'> ]>",
        "<!DOCTYPE plist [ <!-- a comment with ]> and ' inside --> ]>",
        "<!DOCTYPE plist [ <?pi with ]> inside?> ]>",
        "<!DOCTYPE plist [ <!ATTLIST plist version CDATA \"1.0>\"> ]>",
        "<!DOCTYPE plist [\n<!ELEMENT plist (array | dict)>\n]>",
    };
    for (const char* doctype : cases) {
        const QByteArray bytes = QByteArray("<?xml version=\"1.0\"?>\n") + doctype +
                                 "\n<plist version=\"1.0\"><string>s</string></plist>\n";
        EXPECT_EQ(readOk(bytes), PlistValue("s")) << doctype;
    }
    for (const char* unterminated : {"<!DOCTYPE plist \"a>", "<!DOCTYPE plist [ <!-- ]> ", "<!DOCTYPE plist [ <!ENTITY x 'y'>"}) {
        const PlistReadResult result = PlistXmlReader::read(QByteArray(unterminated) + "<plist/>");
        ASSERT_FALSE(result.ok()) << unterminated;
        EXPECT_TRUE(result.error->message.contains(QStringLiteral("document type"))) << unterminated;
    }
}

TEST(PlistXmlTest, Reader_LenientForms_ReadAsThePlatformDoes)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        PlistValue expected;
    };
    const Case cases[] = {
        {"raw control characters", document("<string>a\x01\x02\x1f\tb</string>\n"), "a\x01\x02\x1f\tb"},
        {"character references", document("<string>&#13;&#x41;&#233;&#x1F600;</string>\n"),
         "\rA\u00e9\U0001F600"},
        {"named entities", document("<string>&amp;&lt;&gt;&quot;&apos;</string>\n"), "&<>\"'"},
        {"CDATA", document("<string>a<![CDATA[<b>&]]>c</string>\n"), "a<b>&c"},
        {"comment inside text", document("<string>a<!-- x -->b</string>\n"), "ab"},
        {"empty elements", document("<array><dict/><array/><string/><data/></array>\n"),
         PlistArray{PlistDictionary(), PlistArray(), "", QByteArray()}},
        {"white space and comments everywhere",
         "  \n<?xml version=\"1.0\"?>\n<!-- c -->\n<plist version=\"1.0\">\n <!-- c -->\n"
         "<dict>\n<!-- c --><key>k</key> \n<integer> 5 </integer></dict>\n</plist>\n\n",
         PlistDictionary{{"k", 5}}},
        {"no plist element", "<array><true/><false></false></array>", PlistArray{true, false}},
        {"byte-order mark", "\xEF\xBB\xBF<string>x</string>", "x"},
        {"hexadecimal and signed integers", document("<array><integer>0x1F</integer><integer>+3</integer>"
                                                     "<integer>-9223372036854775808</integer></array>\n"),
         PlistArray{31, 3, std::numeric_limits<qint64>::min()}},
        {"real forms", document("<array><real>1</real><real>-1.5E3</real><real>+infinity</real></array>\n"),
         PlistArray{1.0, -1500.0, std::numeric_limits<double>::infinity()}},
        {"truncated date forms", document("<array><date>2001-01-01T00:00Z</date><date>2001Z</date></array>\n"),
         PlistArray{PlistDate{0}, PlistDate{0}}},
        {"base64 with odd breaks", document("<data>\n  aGVs\n\tbG8=\n</data>\n"), QByteArray("hello")},
        {"repeated key keeps the last", document("<dict><key>a</key><true/><key>a</key><false/></dict>\n"),
         PlistDictionary{{"a", false}}},
        {"doctype with internal subset",
         "<!DOCTYPE plist [ <!ENTITY x \"y\"> ]><plist><string>s</string></plist>", "s"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readOk(c.bytes), c.expected) << c.name;
}

TEST(PlistXmlTest, Reader_OtherEncodings_AreConverted)
{
    const QString text = QStringLiteral("<plist><string>\u00e9t\u00e9 \u6f22</string></plist>");
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    EXPECT_EQ(readOk(utf16), PlistValue(QStringLiteral("\u00e9t\u00e9 \u6f22")));

    const QByteArray latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><plist><string>\xe9t\xe9</string></plist>";
    EXPECT_EQ(readOk(latin1), PlistValue(QStringLiteral("\u00e9t\u00e9")));
}

TEST(PlistXmlTest, Reader_MalformedInput_ReportsWhereAndNeverCrashes)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        int line;
    };
    const Case cases[] = {
        {"empty", "", 1},
        {"only the prolog", "<?xml version=\"1.0\"?>\n", 2},
        {"truncated", document("<dict>\n\t<key>a</key>\n\t<string>abc").left(180), 0},
        {"unknown element", document("<dict>\n<key>a</key>\n<foo/>\n</dict>\n"), 6},
        {"key without value", document("<dict><key>a</key></dict>\n"), 4},
        {"value without key", document("<dict><string>a</string></dict>\n"), 4},
        {"mismatched end tag", document("<array></dict>\n"), 4},
        {"unterminated comment", "<plist><!-- </plist>", 1},
        {"bad integer", document("<integer>12a</integer>\n"), 4},
        {"integer overflow", document("<integer>18446744073709551616</integer>\n"), 4},
        {"negative overflow", document("<integer>-9223372036854775809</integer>\n"), 4},
        {"empty integer", document("<integer></integer>\n"), 4},
        {"bad real", document("<real>1.5x</real>\n"), 4},
        {"bad date", document("<date>2001-13-01T00:00:00Z</date>\n"), 4},
        {"date without zone", document("<date>2001-01-01T00:00:00</date>\n"), 4},
        {"unknown entity", document("<string>&nbsp;</string>\n"), 4},
        {"reference to NUL", document("<string>&#0;</string>\n"), 4},
        {"reference to a surrogate", document("<string>&#xD800;</string>\n"), 4},
        {"unterminated reference", document("<string>&amp</string>\n"), 4},
        {"element inside string", document("<string>a<b/></string>\n"), 4},
        {"content after the list", document("<true/>\n") + "<true/>", 6},
        {"two values", document("<true/>\n<false/>\n"), 5},
        {"empty plist", "<plist/>", 1},
        {"text instead of element", "hello", 1},
        {"true with content", document("<true>x</true>\n"), 4},
    };
    for (const Case& c : cases) {
        const PlistReadResult result = PlistXmlReader::read(c.bytes);
        ASSERT_FALSE(result.ok()) << c.name;
        EXPECT_FALSE(result.error->message.isEmpty()) << c.name;
        EXPECT_GE(result.error->byteOffset, 0) << c.name;
        EXPECT_LE(result.error->byteOffset, c.bytes.size()) << c.name;
        if (c.line > 0) {
            EXPECT_EQ(result.error->line, c.line) << c.name << ": " << result.error->toString().toStdString();
        }
    }
}

TEST(PlistXmlTest, Reader_DeepNesting_IsRefusedWithoutExhaustingTheStack)
{
    const int depth = 100000;
    const QByteArray bytes = QByteArray("<array>").repeated(depth) + QByteArray("</array>").repeated(depth);
    const PlistReadResult result = PlistXmlReader::read(bytes);
    ASSERT_FALSE(result.ok());
    EXPECT_TRUE(result.error->message.contains(QStringLiteral("deep")));

    const QByteArray allowed = QByteArray("<array>").repeated(500) + QByteArray("</array>").repeated(500);
    EXPECT_TRUE(PlistXmlReader::read(allowed).ok());

    // Containers nest as deep as binary property lists allow, so that whatever reads
    // here also writes there; scalars may sit inside the deepest one.
    const QByteArray atTheLimit = QByteArray("<array>").repeated(512) + "<true/>" +
                                  QByteArray("</array>").repeated(512);
    const PlistReadResult deepest = PlistXmlReader::read(atTheLimit);
    ASSERT_TRUE(deepest.ok());
    EXPECT_FALSE(PlistBinaryWriter::toBytes(deepest.value).isEmpty());
    const QByteArray beyond = QByteArray("<array>").repeated(513) + QByteArray("</array>").repeated(513);
    EXPECT_FALSE(PlistXmlReader::read(beyond).ok());
}

TEST(PlistXmlTest, Reader_Containers_AreSharedMutableHandles)
{
    const PlistValue value = readOk(document("<dict><key>Fields</key><dict><key>f</key><string>a</string></dict></dict>\n"));
    PlistDictionary fields = *value.asDictionary()->value("Fields").asDictionary();
    fields.insert("f", "edited");
    EXPECT_EQ(value.asDictionary()->value("Fields").asDictionary()->value("f"), PlistValue("edited"));
}

TEST(PlistXmlTest, Writer_DeviceFailsPartWay_ReportsFailure)
{
    PlistArray big;
    for (int i = 0; i < 50000; ++i)
        big.append(QStringLiteral("record %1 with some text").arg(i));
    FailingDevice device(100000);
    EXPECT_FALSE(PlistXmlWriter::write(big, device));

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(PlistXmlWriter::write(big, buffer));
    EXPECT_EQ(buffer.data(), PlistXmlWriter::toBytes(big));
}

TEST(PlistXmlTest, Writer_ValuesWithoutXmlForm_AreRefused)
{
    EXPECT_TRUE(PlistXmlWriter::toBytes(PlistArray{PlistValue()}).isEmpty());
    EXPECT_TRUE(PlistXmlWriter::toBytes(PlistDictionary{{"uid", PlistUid{3}}}).isEmpty());
}

TEST(PlistXmlTest, Writer_LargeContainers_WrittenSideBySideInOrder)
{
    // Large enough for the children to be written on several threads.
    PlistDictionary records;
    PlistArray catalog;
    QByteArray expected;
    for (int i = 0; i < 6000; ++i) {
        const QString key = QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
        records.insert(key, PlistDictionary{{"Text", QStringLiteral("a < b & %1").arg(i)}});
        catalog.append(PlistDictionary{{"Identifier", key}});
        expected += "\t\t<key>" + key.toUtf8() + "</key>\n\t\t<dict>\n\t\t\t<key>Text</key>\n" +
                    "\t\t\t<string>a &lt; b &amp; " + QByteArray::number(i) +
                    "</string>\n\t\t</dict>\n";
    }
    const PlistDictionary datafile{{"Catalog", catalog}, {"Records", records}};
    const QByteArray bytes = PlistXmlWriter::toBytes(datafile);
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_TRUE(bytes.contains("\t<key>Records</key>\n\t<dict>\n" + expected + "\t</dict>\n"));
    EXPECT_EQ(readOk(bytes), PlistValue(datafile));

    // The records written from a source that makes each one's entries as it is asked, its
    // keys given in no order: the same bytes.
    const QStringList sortedKeys = records.keys();
    std::vector<QString> keys(sortedKeys.rbegin(), sortedKeys.rend());
    const auto sourceOf = [&](const PlistDictionary& of) {
        return PlistXmlWriter::DictionarySource{
            keys, [&of, &keys](size_t index, PlistDictionary::Entries& entries) {
                for (const PlistDictionary::Entry& entry : *of.find(keys[index])->asDictionary())
                    entries.push_back(entry);
            }};
    };
    const auto writtenFromSource = [&](const PlistDictionary& of) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        const bool written = PlistXmlWriter::write(PlistDictionary{{"Catalog", catalog}},
                                                   "Records", sourceOf(of), buffer);
        return written ? buffer.data() : QByteArray();
    };
    EXPECT_EQ(writtenFromSource(records), bytes);

    // One value without an XML form anywhere refuses the whole document.
    records.insert(QStringLiteral("04321"), PlistDictionary{{"Uid", PlistUid{1}}});
    EXPECT_TRUE(PlistXmlWriter::toBytes(datafile).isEmpty());
    keys.push_back(QStringLiteral("04321"));
    EXPECT_TRUE(writtenFromSource(records).isEmpty());
}

TEST(PlistXmlTest, Reader_InPieces_GivesTheOneCoreValueAndErrors)
{
    std::vector<std::pair<QString, QByteArray>> inputs;
    for (const QString folder : {"/plist/xml", "/datafile"}) {
        QDirIterator files(QStringLiteral(NORVA_FIXTURES_DIR) + folder, {"*.plist", "*.nv3"},
                           QDir::Files);
        while (files.hasNext()) {
            QFile file(files.next());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            inputs.emplace_back(file.fileName(), file.readAll());
        }
    }
    ASSERT_GT(inputs.size(), 10u);

    // A datafile's shape: records and catalog whose elements start lines alike.
    PlistDictionary records;
    PlistArray catalog;
    for (int i = 0; i < 60; ++i) {
        const QString key = QStringLiteral("R%1").arg(i);
        records.insert(key, PlistDictionary{{"Fields", PlistDictionary{{"F", "x & y"}}},
                                            {"Count", i},
                                            {"TextRTFD", QByteArray(40, char(i))}});
        catalog.append(PlistDictionary{{"Identifier", key}, {"CurrentlySelected", true}});
    }
    const QByteArray generated = PlistXmlWriter::toBytes(
        PlistDictionary{{"Catalog", catalog}, {"Records", records}, {"Settings", PlistDictionary()}});
    inputs.emplace_back("generated", generated);
    // Damaged copies: cut short, or a byte changed for one that opens or closes markup.
    for (qsizetype at = 150; at < generated.size(); at += generated.size() / 40) {
        inputs.emplace_back(QStringLiteral("cut at %1").arg(at), generated.left(at));
        for (const char byte : {'<', '&', '/'}) {
            QByteArray damaged = generated;
            damaged[at] = byte;
            inputs.emplace_back(QStringLiteral("%1 at %2").arg(QLatin1Char(byte)).arg(at), damaged);
        }
    }
    // Lines that look like the start of an element but are not one, and keys repeated
    // across pieces.
    const QByteArray element = "\n\t\t<key>k</key>\n\t\t<string>v</string>";
    const QByteArray lookalikes[] = {
        "\n\t\t<!--" + element + element + " -->",
        "\n\t\t<key>c</key>\n\t\t<string><![CDATA[" + element + element + "]]></string>",
        "\n\t\t<key>d</key>\n\t\t<string>" + element.mid(1) + "</string>",
        element + element + element,
    };
    for (const QByteArray& lookalike : lookalikes) {
        QByteArray body = "<dict>\n\t<key>Records</key>\n\t<dict>" + element;
        for (int i = 0; i < 4; ++i)
            body += element + lookalike;
        body += "\n\t</dict>\n</dict>\n";
        inputs.emplace_back(QString::fromUtf8(lookalike), document(body));
    }

    for (const auto& [name, bytes] : inputs)
        EXPECT_TRUE(xmlPiecesParseAsOneCore(bytes)) << name.toStdString();
}
