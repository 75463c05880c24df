#include "ArchivedTextStorage.h"
#include "ArchivedAttributedString.h"
#include "ArchivedColor.h"
#include "ArchivedFont.h"
#include "ArchivedParagraphStyle.h"
#include "SystemLog.h"
#include "TypedStreamFixtures.h"
#include "TypedStreamReader.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace TypedStreamFixtures;

namespace {

TypedStreamValue font(const QString& name, double size)
{
    return objectValue(ArchivedFont(name, size).toObject());
}

TypedStreamValue rgb(double red, double green, double blue)
{
    return objectValue(ArchivedColor::calibratedRgb(red, green, blue).toObject());
}

// A paragraph style written as the platform's archiver writes one: the alignment and
// line-break mode, then the metrics and no tab stops.
TypedStreamValue paragraphStyle(qint64 alignment, qint64 lineBreakMode)
{
    TypedStreamGroups groups{{"i", {TypedStreamValue::integer(alignment)}},
                             {"i", {TypedStreamValue::integer(lineBreakMode)}}};
    for (int metric = 0; metric < 7; ++metric)
        groups.push_back({"f", {TypedStreamValue::real(0)}});
    groups.push_back({"I", {TypedStreamValue::integer(0)}});
    return objectValue(std::make_shared<TypedStreamObject>(
        QList<TypedStreamClass>{{"NSParagraphStyle", 0}, {"NSObject", 0}}, groups));
}

TypedStreamValue kern(double amount)
{
    return objectValue(std::make_shared<TypedStreamObject>(
        QList<TypedStreamClass>{{"NSNumber", 0}, {"NSValue", 0}, {"NSObject", 0}},
        TypedStreamGroups{{"*", {TypedStreamValue::cString("f")}},
                          {"f", {TypedStreamValue::real(amount)}}}));
}

// "Hello" in bold Helvetica 12, red, centred, as a text storage archives it: its keys
// in an order of its own, with a kerning we do not show.
QByteArray helloFixture()
{
    auto storage = attributedString(
        "Hello", {run(1, 5), attributes({{"NSKern", kern(0.5)},
                                         {"NSParagraphStyle", paragraphStyle(2, 0)},
                                         {"NSColor", rgb(1, 0, 0)},
                                         {"NSFont", font("Helvetica-Bold", 12)}})});
    storage->classes = {{"NSTextStorage", 0},
                        {"NSMutableAttributedString", 0},
                        {"NSAttributedString", 0},
                        {"NSObject", 0}};
    return archive(storage);
}

QTextCharFormat formatAt(const QTextDocument& document, int position)
{
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

QString familyOf(const QTextCharFormat& format)
{
    return format.fontFamilies().toStringList().value(0);
}

} // namespace

TEST(ArchivedTextStorageTest, Fixture_DecodesTextFontColourAndAlignment)
{
    const ArchivedTextStorage storage = ArchivedTextStorage::fromData(helloFixture());
    ASSERT_TRUE(storage.isDecoded()) << storage.error().toStdString();
    const QTextDocument& document = *storage.document();
    EXPECT_EQ(document.toPlainText(), "Hello");
    const QTextCharFormat format = formatAt(document, 0);
    EXPECT_EQ(familyOf(format), "Helvetica");
    EXPECT_EQ(format.fontPointSize(), 12);
    EXPECT_EQ(format.fontWeight(), QFont::Bold);
    EXPECT_FALSE(format.fontItalic());
    EXPECT_EQ(format.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(document.begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    EXPECT_EQ(document.defaultTextOption().wrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}

TEST(ArchivedTextStorageTest, Untouched_WritesBackItsBytesAndAnEditIsArchivedAnew)
{
    const QByteArray fixture = helloFixture();
    ArchivedTextStorage storage = ArchivedTextStorage::fromData(fixture);
    // Archiving anew would differ: the kerning is not kept and the keys go in our order.
    ASSERT_NE(ArchivedTextStorage::encode(*storage.document()), fixture);
    EXPECT_FALSE(storage.isChanged());
    EXPECT_EQ(storage.toData(), fixture);
    EXPECT_EQ(ArchivedTextStorage(storage).toData(), fixture); // a copy too

    QTextCursor cursor(storage.document().get());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(", world");
    EXPECT_TRUE(storage.isChanged());
    const ArchivedTextStorage edited = ArchivedTextStorage::fromData(storage.toData());
    ASSERT_TRUE(edited.isDecoded());
    EXPECT_EQ(edited.document()->toPlainText(), "Hello, world");
    // The typed text takes the look of the text before it.
    const QTextCharFormat typed = formatAt(*edited.document(), 8);
    EXPECT_EQ(familyOf(typed), "Helvetica");
    EXPECT_EQ(typed.fontWeight(), QFont::Bold);
    EXPECT_EQ(typed.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(edited.document()->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);

    // Undoing the edit gives the bytes as read again.
    storage.document()->undo();
    EXPECT_EQ(storage.document()->toPlainText(), "Hello");
    EXPECT_EQ(storage.toData(), fixture);
}

TEST(ArchivedTextStorageTest, TwoRunsTwoParagraphs_RoundTrip)
{
    auto document = std::make_shared<QTextDocument>();
    QTextCursor cursor(document.get());
    QTextCharFormat times;
    times.setFontFamilies({"Times"});
    times.setFontPointSize(14);
    times.setForeground(QColor(0, 0, 255));
    QTextCharFormat courier;
    courier.setFontFamilies({"Courier"});
    courier.setFontPointSize(10);
    courier.setFontWeight(QFont::Bold);
    courier.setFontItalic(true);
    courier.setForeground(QColor(0, 128, 0));
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    cursor.setBlockFormat(right);
    cursor.insertText("Left ", times);
    cursor.insertText("Right", courier);
    cursor.insertBlock(right, courier);
    cursor.insertText("again", times);

    const QByteArray data = ArchivedTextStorage(document).toData();
    // Two looks, so two dictionaries, each written once.
    QString problem;
    const std::optional<ArchivedAttributedString> archived =
        ArchivedAttributedString::fromData(data, &problem);
    ASSERT_TRUE(archived) << problem.toStdString();
    EXPECT_EQ(archived->string, "Left Right\nagain");
    ASSERT_EQ(archived->runs.size(), 3u);
    EXPECT_EQ(*archived->runs[0].attributes, *archived->runs[2].attributes);
    std::optional<ArchivedFont> courierFont =
        ArchivedFont::fromObject(*archived->runs[1].attributes->object(u"NSFont"));
    ASSERT_TRUE(courierFont);
    EXPECT_EQ(*courierFont, ArchivedFont("Courier-BoldItalic", 10));

    const ArchivedTextStorage read = ArchivedTextStorage::fromData(data);
    ASSERT_TRUE(read.isDecoded());
    const QTextDocument& copy = *read.document();
    EXPECT_EQ(copy.toPlainText(), "Left Right\nagain");
    const struct {
        int position;
        QString family;
        double size;
        bool bold;
        bool italic;
        QColor color;
    } expected[] = {
        {0, "Times", 14, false, false, QColor(0, 0, 255)},
        {5, "Courier", 10, true, true, QColor(0, 128, 0)},
        {11, "Times", 14, false, false, QColor(0, 0, 255)},
    };
    for (const auto& run : expected) {
        const QTextCharFormat format = formatAt(copy, run.position);
        EXPECT_EQ(familyOf(format), run.family) << run.position;
        EXPECT_EQ(format.fontPointSize(), run.size) << run.position;
        EXPECT_EQ(format.fontWeight() >= QFont::DemiBold, run.bold) << run.position;
        EXPECT_EQ(format.fontItalic(), run.italic) << run.position;
        EXPECT_EQ(format.foreground().color(), run.color) << run.position;
    }
    for (QTextBlock block = copy.begin(); block.isValid(); block = block.next())
        EXPECT_EQ(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    // Read back unchanged, it writes what it read.
    EXPECT_EQ(read.toData(), data);
}

TEST(ArchivedTextStorageTest, LineEnds_EachStartAParagraphOfItsOwnStyle)
{
    const struct {
        const char* name;
        QString text;
    } cases[] = {
        {"line feed", "one\ntwo"},
        {"carriage return", "one\rtwo"},
        {"CR LF", "one\r\ntwo"},
        {"paragraph separator", QString("one") + QChar::ParagraphSeparator + "two"},
    };
    for (const auto& c : cases) {
        const QByteArray data =
            archive(attributedString(c.text, {run(1, c.text.size()), attributes({})}));
        const ArchivedTextStorage storage = ArchivedTextStorage::fromData(data);
        EXPECT_EQ(storage.document()->blockCount(), 2) << c.name;
        EXPECT_EQ(storage.document()->toPlainText(), "one\ntwo") << c.name;
    }

    // A CR LF split between two runs: the second paragraph starts after the LF, with
    // the look and the style of the second run.
    const QByteArray split = archive(attributedString(
        "one\r\ntwo", {run(1, 4), attributes({{"NSFont", font("Times-Roman", 9)}}), run(2, 4),
                        attributes({{"NSFont", font("Courier", 11)},
                                    {"NSParagraphStyle", paragraphStyle(2, 0)}})}));
    const ArchivedTextStorage storage = ArchivedTextStorage::fromData(split);
    const QTextDocument& document = *storage.document();
    EXPECT_EQ(document.toPlainText(), "one\ntwo");
    EXPECT_EQ(familyOf(formatAt(document, 4)), "Courier");
    EXPECT_FALSE(document.begin().blockFormat().hasProperty(QTextFormat::BlockAlignment));
    EXPECT_EQ(document.lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
}

TEST(ArchivedTextStorageTest, FontNames_SayTheFaceAndAChangedFaceIsNamedAnew)
{
    const struct {
        const char* name;
        const char* family;
        bool bold;
        bool italic;
        const char* afterBoldToggle;
    } cases[] = {
        {"Helvetica-BoldOblique", "Helvetica", true, true, "Helvetica-Italic"},
        {"Times-Roman", "Times", false, false, "Times-Bold"},
        {"Courier", "Courier", false, false, "Courier-Bold"},
        {"Georgia-Italic", "Georgia", false, true, "Georgia-BoldItalic"},
    };
    for (const auto& c : cases) {
        const QByteArray data =
            archive(attributedString("x", {run(1, 1), attributes({{"NSFont", font(c.name, 9)}})}));
        const ArchivedTextStorage storage = ArchivedTextStorage::fromData(data);
        const QTextCharFormat format = formatAt(*storage.document(), 0);
        EXPECT_EQ(familyOf(format), c.family) << c.name;
        EXPECT_EQ(format.fontWeight() >= QFont::DemiBold, c.bold) << c.name;
        EXPECT_EQ(format.fontItalic(), c.italic) << c.name;

        QTextCursor cursor(storage.document().get());
        cursor.select(QTextCursor::Document);
        QTextCharFormat toggle;
        toggle.setFontWeight(c.bold ? QFont::Normal : QFont::Bold);
        cursor.mergeCharFormat(toggle);
        QString problem;
        const auto archived = ArchivedAttributedString::fromData(storage.toData(), &problem);
        ASSERT_TRUE(archived) << problem.toStdString();
        EXPECT_EQ(ArchivedFont::fromObject(*archived->runs.at(0).attributes->object(u"NSFont")),
                  ArchivedFont(c.afterBoldToggle, 9))
            << c.name;
    }
}

TEST(ArchivedTextStorageTest, ParagraphStyleOfAnotherLayout_IsKeptThroughAnEdit)
{
    // A style whose numbers we cannot find: the text shows with the default paragraph
    // and the style goes back as it came.
    const TypedStreamValue style = objectValue(std::make_shared<TypedStreamObject>(
        QList<TypedStreamClass>{
            {"NSMutableParagraphStyle", 3}, {"NSParagraphStyle", 3}, {"NSObject", 0}},
        TypedStreamGroups{{"@f", {TypedStreamValue(), TypedStreamValue::real(28)}}}));
    const QByteArray data =
        archive(attributedString("Tabs", {run(1, 4), attributes({{"NSParagraphStyle", style}})}));
    ArchivedTextStorage storage = ArchivedTextStorage::fromData(data);
    ASSERT_TRUE(storage.isDecoded());
    EXPECT_FALSE(
        storage.document()->begin().blockFormat().hasProperty(QTextFormat::BlockAlignment));

    QTextCursor(storage.document().get()).insertText(">");
    QString problem;
    const auto archived = ArchivedAttributedString::fromData(storage.toData(), &problem);
    ASSERT_TRUE(archived);
    EXPECT_EQ(archived->string, ">Tabs");
    ASSERT_FALSE(archived->runs.empty());
    const auto written = archived->runs.back().attributes->object(u"NSParagraphStyle");
    ASSERT_TRUE(written);
    EXPECT_EQ(TypedStreamValue::object(written), style);

    // Once the user aligns the paragraph, it gets a style of its own.
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    QTextCursor(storage.document().get()).mergeBlockFormat(centred);
    const auto realigned = ArchivedAttributedString::fromData(storage.toData(), &problem);
    ASSERT_TRUE(realigned);
    const auto ownStyle = realigned->runs.back().attributes->object(u"NSParagraphStyle");
    ASSERT_TRUE(ownStyle);
    EXPECT_EQ(ArchivedParagraphStyle::fromObject(*ownStyle),
              ArchivedParagraphStyle(ArchivedParagraphStyle::Alignment::Center,
                                     ArchivedParagraphStyle::LineBreakMode::WordWrapping));
}

TEST(ArchivedTextStorageTest, Undecodable_FailsCleanlyAndKeepsItsBytes)
{
    const QByteArray fixture = helloFixture();
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"garbage", QByteArray("garbage")},
        {"truncated", fixture.left(fixture.size() - 7)},
        {"a font", TypedStreamFixtures::helveticaFont()},
        {"a colour", TypedStreamFixtures::calibratedRgbColor()},
        {"a plain string", archive(TypedStreamObject::makeString("Hello"))},
        {"characters not a string",
         archive(std::make_shared<TypedStreamObject>(
             QList<TypedStreamClass>{{"NSAttributedString", 0}, {"NSObject", 0}},
             TypedStreamGroups{{"i", {TypedStreamValue::integer(5)}}}))},
        {"run past the characters", archive(attributedString("ab", {run(1, 3), attributes({})}))},
        {"run without attributes", archive(attributedString("ab", {run(1, 2)}))},
        {"two roots", TypedStreamWriter::toBytes({{"@@",
                                                   {objectValue(attributedString("a", {})),
                                                    objectValue(attributedString("b", {}))}}})},
    };
    for (const auto& [name, data] : cases) {
        ScopedLogCapture log;
        const ArchivedTextStorage storage = ArchivedTextStorage::fromData(data);
        EXPECT_FALSE(storage.isDecoded()) << name;
        EXPECT_FALSE(storage.error().isEmpty()) << name;
        EXPECT_TRUE(storage.document()->isEmpty()) << name;
        EXPECT_EQ(storage.toData(), data) << name;
        EXPECT_EQ(log.lines().size(), 1) << name;
    }
}

TEST(ArchivedTextStorageTest, EmptyText_RoundTrips)
{
    const QByteArray empty = ArchivedTextStorage().toData();
    const ArchivedTextStorage read = ArchivedTextStorage::fromData(empty);
    ASSERT_TRUE(read.isDecoded());
    EXPECT_TRUE(read.document()->isEmpty());
    EXPECT_EQ(read.toData(), empty);
}

TEST(ArchivedTextStorageTest, Placeholder_IsOneFontOneColourClipped)
{
    const ArchivedTextStorage placeholder = ArchivedTextStorage::placeholder(
        "Address", ArchivedFont("Helvetica", 12), ArchivedColor::calibratedRgb(0, 0.5, 0));
    const QTextDocument& document = *placeholder.document();
    EXPECT_EQ(document.toPlainText(), "Address");
    EXPECT_EQ(document.defaultTextOption().wrapMode(), QTextOption::NoWrap);
    const QTextCharFormat format = formatAt(document, 3);
    EXPECT_EQ(familyOf(format), "Helvetica");
    EXPECT_EQ(format.fontPointSize(), 12);
    EXPECT_EQ(format.foreground().color(), QColor::fromRgbF(0, 0.5f, 0));

    QString problem;
    const auto archived = ArchivedAttributedString::fromData(placeholder.toData(), &problem);
    ASSERT_TRUE(archived) << problem.toStdString();
    ASSERT_EQ(archived->runs.size(), 1u);
    const ArchivedAttributedString::Attributes& attributes = *archived->runs[0].attributes;
    EXPECT_EQ(ArchivedColor::fromObject(*attributes.object(u"NSColor")),
              ArchivedColor::calibratedRgb(0, 0.5, 0));
    EXPECT_EQ(ArchivedParagraphStyle::fromObject(*attributes.object(u"NSParagraphStyle")),
              ArchivedParagraphStyle(ArchivedParagraphStyle::Alignment::Natural,
                                     ArchivedParagraphStyle::LineBreakMode::Clipping));
}

#include "ArchivedValuesFuzzChecks.h"
#include "CorpusReplay.h"

TEST(ArchivedTextStorageTest, FuzzCorpus_ReadsOrFailsCleanly)
{
    ScopedLogCapture quiet;
    replayCorpus(QStringLiteral("archived_text_storage"), archivedTextHolds);
}
