#include "ArchivedColor.h"
#include "ArchivedFont.h"
#include "PrintInfo.h"
#include "SystemLog.h"
#include "TypedStreamFixtures.h"
#include "TypedStreamReader.h"
#include "TypedStreamWriter.h"

#include <gtest/gtest.h>

using namespace TypedStreamFixtures;

namespace {

std::shared_ptr<TypedStreamObject> object(QList<TypedStreamClass> classes, TypedStreamGroups groups)
{
    return std::make_shared<TypedStreamObject>(std::move(classes), std::move(groups));
}

TypedStreamValue string(const char* text)
{
    return TypedStreamValue::object(TypedStreamObject::makeString(QString::fromUtf8(text)));
}

TypedStreamValue number(QByteArray type, TypedStreamValue value)
{
    return TypedStreamValue::object(
        object({{"NSNumber", 0}, {"NSValue", 0}, {"NSObject", 0}},
               {{"*", {TypedStreamValue::cString(type)}}, {type, {std::move(value)}}}));
}

// A print info as the platform archives it, with entries we do not read (a printer
// object of a class we never decode among them).
QByteArray platformPrintInfo()
{
    const QByteArray sizeType = "{_NSSize=ff}";
    const TypedStreamValue paperSize = TypedStreamValue::object(
        object({{"NSValue", 0}, {"NSObject", 0}},
               {{"*", {TypedStreamValue::cString(sizeType)}},
                {sizeType,
                 {TypedStreamValue::compound(
                     {TypedStreamValue::real(595), TypedStreamValue::real(842)})}}}));
    const TypedStreamValue printer = TypedStreamValue::object(
        object({{"NSPrinter", 3}, {"NSObject", 0}},
               {{"@i", {string("Office"), TypedStreamValue::integer(9)}}}));
    const std::vector<std::pair<const char*, TypedStreamValue>> entries{
        {"NSPaperName", string("iso-a4")},
        {"NSPaperSize", paperSize},
        {"NSOrientation", number("i", TypedStreamValue::integer(1))},
        {"NSLeftMargin", number("d", TypedStreamValue::real(36))},
        {"NSRightMargin", number("d", TypedStreamValue::real(36.5))},
        {"NSTopMargin", number("f", TypedStreamValue::real(18))},
        {"NSBottomMargin", number("f", TypedStreamValue::real(20))},
        {"NSScalingFactor", number("f", TypedStreamValue::real(0.75))},
        {"NSPrinter", printer},
        {"NSJobDisposition", string("NSPrintSpoolJob")},
    };
    TypedStreamGroups dictionary{{"i", {TypedStreamValue::integer(qint64(entries.size()))}}};
    for (const auto& [key, value] : entries) {
        dictionary.push_back({"@", {string(key)}});
        dictionary.push_back({"@", {value}});
    }
    const auto attributes =
        object({{"NSMutableDictionary", 0}, {"NSDictionary", 0}, {"NSObject", 0}}, dictionary);
    const auto printInfo = object({{"NSPrintInfo", 1}, {"NSObject", 0}},
                                  {{"@", {TypedStreamValue::object(attributes)}}});
    return TypedStreamWriter::toBytes({{"@", {TypedStreamValue::object(printInfo)}}});
}

} // namespace

TEST(ArchivedColorTest, Fixtures_DecodeAndEncodeByteForByte)
{
    const struct {
        QByteArray archive;
        ArchivedColor color;
        ArchivedColor::ColorSpace space;
        QList<double> components;
    } cases[] = {
        {calibratedRgbColor(),
         ArchivedColor::calibratedRgb(1, 0.5, 0.25),
         ArchivedColor::ColorSpace::CalibratedRgb,
         {1, 0.5, 0.25}},
        {calibratedWhiteColor(),
         ArchivedColor::calibratedWhite(0.5),
         ArchivedColor::ColorSpace::CalibratedWhite,
         {0.5}},
    };
    for (const auto& c : cases) {
        const std::optional<ArchivedColor> read = ArchivedColor::fromArchive(c.archive);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->colorSpace(), c.space);
        EXPECT_EQ(read->components(), c.components);
        EXPECT_EQ(read->alpha(), 1.0);
        EXPECT_EQ(*read, c.color);
        EXPECT_EQ(c.color.toArchive().toHex(), c.archive.toHex());
    }
    const ArchivedColor white = *ArchivedColor::fromArchive(calibratedWhiteColor());
    EXPECT_EQ(white.redComponent(), 0.5);
    EXPECT_EQ(white.blueComponent(), 0.5);
}

TEST(ArchivedColorTest, OtherSpaces_RoundTrip)
{
    const ArchivedColor fallback = ArchivedColor::deviceRgb(0.2, 0.4, 0.6, 0.8);
    const ArchivedColor named =
        ArchivedColor::named(QStringLiteral("System"), QStringLiteral("controlColor"), fallback);
    for (const ArchivedColor& color : {ArchivedColor::deviceWhite(0.25, 0.5), fallback, named}) {
        const std::optional<ArchivedColor> read = ArchivedColor::fromArchive(color.toArchive());
        ASSERT_TRUE(read);
        EXPECT_EQ(*read, color);
        EXPECT_EQ(read->toArchive(), color.toArchive());
    }
    const ArchivedColor read = *ArchivedColor::fromArchive(named.toArchive());
    EXPECT_EQ(read.catalogName(), QStringLiteral("System"));
    EXPECT_EQ(read.colorName(), QStringLiteral("controlColor"));
    EXPECT_EQ(read.greenComponent(), double(0.4f));
    EXPECT_EQ(read.alpha(), double(0.8f));
}

TEST(ArchivedColorTest, Undecodable_IsNulloptWithOneLogLine)
{
    QByteArray cmyk = calibratedRgbColor();
    cmyk[header().size() + colorObjectStart().size() + 3] = 5; // colour space 5
    const QByteArray cases[] = {
        QByteArray(), QByteArray("garbage"), calibratedRgbColor().chopped(3), helveticaFont(), cmyk,
    };
    for (const QByteArray& bytes : cases) {
        ScopedLogCapture log;
        EXPECT_FALSE(ArchivedColor::fromArchive(bytes)) << bytes.toHex().constData();
        EXPECT_EQ(log.lines().size(), 1);
    }
}

TEST(ArchivedFontTest, Fixture_DecodesAndEncodesByteForByte)
{
    const std::optional<ArchivedFont> font = ArchivedFont::fromArchive(helveticaFont());
    ASSERT_TRUE(font);
    EXPECT_EQ(font->name(), QStringLiteral("Helvetica"));
    EXPECT_EQ(font->size(), 12.0);
    EXPECT_EQ(font->toArchive().toHex(), helveticaFont().toHex());
    EXPECT_EQ(ArchivedFont(QStringLiteral("Helvetica"), 12).toArchive().toHex(),
              helveticaFont().toHex());
}

TEST(ArchivedFontTest, UnknownTrailingFields_SurviveAndNamesChange)
{
    const TypedStreamGroups read = TypedStreamReader::read(helveticaFont()).groups;
    const std::shared_ptr<TypedStreamObject> root = typedStreamRootObject(read);
    root->classes.first().version = 21;
    root->groups[4].values[0] = TypedStreamValue::integer(-3);
    root->groups.push_back({"@", {string("extra")}});
    const QByteArray unusual = TypedStreamWriter::toBytes(read);

    std::optional<ArchivedFont> font = ArchivedFont::fromArchive(unusual);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->toArchive(), unusual);

    font->setName(QStringLiteral("Zapf Dingbats \u00e9"));
    font->setSize(10.5);
    const std::optional<ArchivedFont> renamed = ArchivedFont::fromArchive(font->toArchive());
    ASSERT_TRUE(renamed);
    EXPECT_EQ(*renamed, *font);
    const TypedStreamGroups rewritten = TypedStreamReader::read(font->toArchive()).groups;
    const auto rewrittenRoot = typedStreamRootObject(rewritten);
    EXPECT_EQ(rewrittenRoot->classes.first().version, 21);
    EXPECT_EQ(rewrittenRoot->groups.back(), root->groups.back());
}

TEST(ArchivedFontTest, Undecodable_IsNullopt)
{
    QByteArray badName = helveticaFont();
    badName[header().size() + 37] = 9; // serialised type 9 is no string
    for (const QByteArray& bytes : {QByteArray("\x04"), calibratedRgbColor(), badName}) {
        ScopedLogCapture log;
        EXPECT_FALSE(ArchivedFont::fromArchive(bytes));
        EXPECT_EQ(log.lines().size(), 1);
    }
}

TEST(PrintInfoTest, PlatformArchive_DecodesAndWritesBackUnchanged)
{
    const QByteArray archive = platformPrintInfo();
    ASSERT_FALSE(archive.isEmpty());
    const std::optional<PrintInfo> info = PrintInfo::fromArchive(archive);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->paperName(), QStringLiteral("iso-a4"));
    EXPECT_EQ(info->paperSize(), QSizeF(595, 842));
    EXPECT_EQ(info->orientation(), PrintInfo::Orientation::Landscape);
    EXPECT_EQ(info->leftMargin(), 36.0);
    EXPECT_EQ(info->rightMargin(), 36.5);
    EXPECT_EQ(info->topMargin(), 18.0);
    EXPECT_EQ(info->bottomMargin(), 20.0);
    EXPECT_EQ(info->scalingFactor(), 0.75);
    EXPECT_EQ(info->toArchive(), archive);

    PrintInfo unchanged = *info;
    unchanged.setLeftMargin(36); // the same value is no change
    EXPECT_EQ(unchanged.toArchive(), archive);
}

TEST(PrintInfoTest, ChangedValue_WritesOwnFormThatReadsBackEqual)
{
    PrintInfo info = *PrintInfo::fromArchive(platformPrintInfo());
    info.setOrientation(PrintInfo::Orientation::Portrait);
    info.setTopMargin(54.25);
    const QByteArray written = info.toArchive();
    EXPECT_TRUE(written.startsWith(PrintInfo::ownFormPrefix));
    const std::optional<PrintInfo> read = PrintInfo::fromArchive(written);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, info);
    EXPECT_EQ(read->toArchive(), written);

    const PrintInfo fresh;
    EXPECT_EQ(PrintInfo::fromArchive(fresh.toArchive()), fresh);
}

TEST(PrintInfoTest, Defaults_AreLetterWithThePlatformMargins)
{
    const PrintInfo info;
    EXPECT_EQ(info.paperSize(), QSizeF(612, 792));
    EXPECT_EQ(info.orientation(), PrintInfo::Orientation::Portrait);
    EXPECT_EQ(info.leftMargin(), 72.0);
    EXPECT_EQ(info.rightMargin(), 72.0);
    EXPECT_EQ(info.topMargin(), 90.0);
    EXPECT_EQ(info.bottomMargin(), 90.0);
    EXPECT_EQ(info.scalingFactor(), 1.0);
    EXPECT_EQ(PrintInfo::sharedPrintInfo(), info);

    PrintInfo landscape;
    landscape.setOrientation(PrintInfo::Orientation::Landscape);
    PrintInfo::setSharedPrintInfo(landscape);
    EXPECT_EQ(PrintInfo::sharedPrintInfo(), landscape);
    PrintInfo::setSharedPrintInfo(PrintInfo());
}

TEST(PrintInfoTest, Undecodable_IsNulloptWithOneLogLine)
{
    const QByteArray cases[] = {
        QByteArray("nonsense"),
        calibratedRgbColor(),
        platformPrintInfo().chopped(1),
        PrintInfo::ownFormPrefix.toByteArray() + "<plist>",
        PrintInfo::ownFormPrefix.toByteArray() +
            "<plist><dict><key>LeftMargin</key><string>wide</string></dict></plist>",
    };
    for (const QByteArray& bytes : cases) {
        ScopedLogCapture log;
        EXPECT_FALSE(PrintInfo::fromArchive(bytes)) << bytes.constData();
        EXPECT_EQ(log.lines().size(), 1);
    }
}
