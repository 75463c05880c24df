// What a printed record says before its text, and where the text goes on the paper.
#include "PrintOperation.h"
#include "RecordDataTesting.h"
#include "PrintPageGeometry.h"
#include "RecordData.h"
#include "RecordPrintText.h"

#include <QFontMetricsF>

#include <gtest/gtest.h>

namespace {

PlistArray definitions(const QStringList& names)
{
    PlistArray fields;
    for (qsizetype i = 0; i < names.size(); ++i)
        fields.append(PlistDictionary{{QStringLiteral("Identifier"), QStringLiteral("F%1").arg(i)},
                                      {QStringLiteral("Name"), names[i]}});
    return fields;
}

RecordData record(const QStringList& values, const QString& text)
{
    RecordData made;
    PlistDictionary fields;
    for (qsizetype i = 0; i < values.size(); ++i)
        fields.insert(QStringLiteral("F%1").arg(i), values[i]);
    made.setFields(fields, RecordDataTesting::key());
    made.setTextString(text, RecordDataTesting::key());
    return made;
}

const QSizeF letter(612, 792);

} // namespace

TEST(RecordPrintTextTest, Options_GiveTheNumberFieldLinesAndHeading)
{
    struct Case {
        const char* name;
        QStringList values;
        QString text;
        RecordPrintText::Options options;
        QString expected;
    };
    const Case cases[] = {
        {"all empty, empty fields skipped", {"", ""}, "Notes", {true, false, true},
         "Record number: 3\n\n\nText:\n"},
        {"empty field kept", {"Ann", ""}, "", {false, false, false}, "Name: Ann\nCity: \n"},
        {"no text, no heading", {"Ann", "Rome"}, "", {false, false, true},
         "Record number: 3\n\nName: Ann\nCity: Rome\n"},
    };
    for (const Case& c : cases) {
        const RecordPrintText printed =
            RecordPrintText::forRecord(record(c.values, c.text), 3, definitions({"Name", "City"}),
                                       QStringLiteral("Text"), c.options, QFont());
        EXPECT_EQ(printed.text, c.expected) << c.name;
        EXPECT_TRUE(printed.boldRanges.isEmpty()) << c.name;
    }
}

TEST(RecordPrintTextTest, BoldNames_MarkNamesColonsNumberAndHeading)
{
    const RecordPrintText printed = RecordPrintText::forRecord(
        record({"Ann", "Rome"}, "Notes"), 12, definitions({"Name", "City"}),
        QStringLiteral("Text"), {false, true, true}, QFont());
    EXPECT_EQ(printed.text, "Record number: 12\n\nName: Ann\nCity: Rome\n\nText:\n");
    QStringList bold;
    for (const RecordPrintText::Range& range : printed.boldRanges)
        bold.append(printed.text.mid(range.location, range.length));
    EXPECT_EQ(bold, QStringList({"Record number:", "Name:", "City:", "Text:"}));
}

TEST(RecordPrintTextTest, NoFields_GiveNoHeadingBoldOrTabs)
{
    const RecordPrintText printed =
        RecordPrintText::forRecord(record({}, "Notes"), 1, PlistArray(), QStringLiteral("Text"),
                                   {true, true, false}, QFont());
    EXPECT_EQ(printed.text, "");
    EXPECT_TRUE(printed.boldRanges.isEmpty());
    EXPECT_TRUE(printed.tabStops.isEmpty());
}

TEST(RecordPrintTextTest, TabStops_FiveFromTheWidestNamePlus15)
{
    QFont font(QStringLiteral("DejaVu Sans"), 12);
    const QList<double> stops = RecordPrintText::fieldNameTabStops({"A", "Much longer"}, font);
    const double widest =
        QFontMetricsF(font, PrintableView::pointDevice()).horizontalAdvance("Much longer");
    ASSERT_EQ(stops.size(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_DOUBLE_EQ(stops[i], widest + 15 + 10 * i);
    EXPECT_EQ(RecordPrintText::fieldNameTabStops({}, font).constFirst(), 15.0);
}

TEST(PrintPageGeometryTest, Minimums_ArePrinterBorderPlusOneAndHeaderRoom)
{
    struct Case {
        const char* name;
        QRectF imageable;
        bool header;
        PrintMargins minimum;
    };
    const Case cases[] = {
        {"18 points all round", QRectF(18, 18, 576, 756), false, {19, 19, 19, 19}},
        {"18 points, header", QRectF(18, 18, 576, 756), true, {37, 19, 19, 19}},
        {"PDF", QRectF(0, 0, 612, 792), false, {1, 1, 1, 1}},
        {"PDF, header", QRectF(0, 0, 612, 792), true, {19, 1, 1, 1}},
        // Lower left corner origin: 10 at the left, 20 at the bottom, 30 right, 40 top.
        {"uneven", QRectF(10, 20, 572, 732), false, {41, 21, 11, 31}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PrintPageGeometry::minimumMargins(letter, c.imageable, c.header), c.minimum)
            << c.name;
}

TEST(PrintPageGeometryTest, Margins_RaisedToMinimumsFrameAndHeaderPlaced)
{
    const PrintPageGeometry geometry = PrintPageGeometry::forPaper(
        letter, QRectF(18, 18, 576, 756), PrintMargins{20, 72, 5, 36}, true);
    EXPECT_EQ(geometry.margins, (PrintMargins{37, 72, 19, 36}));
    const QRectF frame(19, 37, 612 - 19 - 36, 792 - 37 - 72);
    EXPECT_EQ(geometry.frame, frame);
    // The header is the frame's top line, the body the rest of it.
    EXPECT_EQ(geometry.headerRect, QRectF(19, 37, frame.width(), 18));
    EXPECT_EQ(geometry.body, frame.adjusted(0, 18, 0, 0));
    EXPECT_TRUE(geometry.fits());
    const PrintPageGeometry plain = PrintPageGeometry::forPaper(letter, QRectF(18, 18, 576, 756),
                                                                PrintMargins{20, 72, 5, 36}, false);
    EXPECT_EQ(plain.body, plain.frame);

    const PrintPageGeometry tooLarge = PrintPageGeometry::forPaper(
        letter, QRectF(0, 0, 612, 792), PrintMargins{400, 400, 400, 400}, false);
    EXPECT_FALSE(tooLarge.fits());
    // Room for the header line and nothing below it.
    const PrintPageGeometry headerOnly = PrintPageGeometry::forPaper(
        letter, QRectF(0, 0, 612, 792), PrintMargins{400, 374, 72, 72}, true);
    EXPECT_GT(headerOnly.frame.height(), 0);
    EXPECT_FALSE(headerOnly.fits());
}
