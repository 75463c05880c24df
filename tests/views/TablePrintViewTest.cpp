// The List View's table cut into pages: rows per page, column groups, row bands and the
// page range, without a printer.
#include "TablePrintView.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using Column = TablePrintView::Column;
using Page = TablePrintView::Page;

// Fields "F0", "F1" ... each shown unless listed as hidden; the table has a column for
// every shown one, of the given widths in order.
struct Table {
    PlistArray fields;
    QList<Column> columns;
};

Table table(const QList<float>& widths, const QList<int>& hidden = {})
{
    Table made;
    int shown = 0;
    for (int field = 0; field < widths.size() + hidden.size(); ++field) {
        const QString identifier = QStringLiteral("F%1").arg(field);
        PlistDictionary definition{{"Identifier", identifier}, {"Name", identifier}};
        if (hidden.contains(field)) {
            definition.insert("Show", false);
        } else {
            made.columns.append({identifier, identifier, widths.at(shown++)});
        }
        made.fields.append(definition);
    }
    return made;
}

} // namespace

TEST(TablePrintViewTest, Pages_BandByBandEachBandOnceForEveryColumnGroup)
{
    // 300 + 200 fills the 500-point frame exactly and stays one group; 100 more does not.
    const Table shown = table({300, 200, 100});
    const QList<Page> pages =
        TablePrintView::buildPagesArray(shown.fields, shown.columns, 500, 45, 20);
    const QList<Page> expected{
        {0, 19, {0, 1}, {0, 1}}, {0, 19, {2}, {2}},        {20, 39, {0, 1}, {0, 1}},
        {20, 39, {2}, {2}},      {40, 44, {0, 1}, {0, 1}}, {40, 44, {2}, {2}},
    };
    EXPECT_EQ(pages, expected);
}

TEST(TablePrintViewTest, ColumnGroups_TableOfCases)
{
    const struct {
        const char* name;
        Table shown;
        double frameWidth;
        QList<QList<qint64>> fieldGroups;
        QList<QList<qint64>> columnGroups;
    } cases[] = {
        // Hidden fields take no column: field 2 is column 1.
        {"hidden", table({100, 100}, {1}), 500, {{0, 2}}, {{0, 1}}},
        // A first column wider than the frame is printed alone (clipped), never after an
        // empty group.
        {"too wide first", table({600, 100, 100}), 500, {{0}, {1, 2}}, {{0}, {1, 2}}},
        {"too wide between", table({100, 600, 100}), 500, {{0}, {1}, {2}}, {{0}, {1}, {2}}},
        {"no fields", table({}), 500, {}, {}},
    };
    for (const auto& c : cases) {
        const QList<Page> pages =
            TablePrintView::buildPagesArray(c.shown.fields, c.shown.columns, c.frameWidth, 3, 10);
        QList<QList<qint64>> fields;
        QList<QList<qint64>> columns;
        for (const Page& page : pages) {
            EXPECT_FALSE(page.visibleFields.isEmpty()) << c.name;
            fields.append(page.visibleFields);
            columns.append(page.visibleColumns);
        }
        EXPECT_EQ(fields, c.fieldGroups) << c.name;
        EXPECT_EQ(columns, c.columnGroups) << c.name;
    }
}

TEST(TablePrintViewTest, Columns_FoundByTheirFieldIdentifier)
{
    Table shown = table({100, 200});
    std::swap(shown.columns[0], shown.columns[1]);
    const QList<Page> pages =
        TablePrintView::buildPagesArray(shown.fields, shown.columns, 250, 1, 10);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(pages[0].visibleColumns, QList<qint64>({1}));
    EXPECT_EQ(pages[1].visibleColumns, QList<qint64>({0}));
}

TEST(TablePrintViewTest, RowsPerPage_TheTitleRowAndTheRowsFitBelowTheHeader)
{
    const struct {
        double frameHeight;
        float rowHeight;
        bool header;
        qint64 rows;
    } cases[] = {
        {200, 19, true, 8},  // 182 / 19 = 9.6 rows, the title row one of them
        {200, 19, false, 9}, // 10 rows of 19 fit, 11 would run 9 points past the frame
        {662, 17, true, 36}, // 644 / 17 = 37.9
        {34, 17, false, 1},  // exactly the title row and one row
        {33, 17, false, 0},  // not one row fits below the title
        {10, 17, false, 0},  {100, 0, false, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TablePrintView::rowsPerPage(c.frameHeight, c.rowHeight, c.header), c.rows)
            << c.frameHeight << " " << c.rowHeight << " " << c.header;
    const Table shown = table({100});
    EXPECT_TRUE(TablePrintView::buildPagesArray(shown.fields, shown.columns, 500, 45, 0).isEmpty());
    EXPECT_TRUE(TablePrintView::buildPagesArray(shown.fields, shown.columns, 500, 0, 20).isEmpty());
}

TEST(TablePrintViewTest, PageRange_CutToThePageCountAReversedOneRefused)
{
    using Range = PrintableView::PageRange;
    EXPECT_EQ(PrintableView::pageRange(6, std::nullopt), Range({1, 6}));
    EXPECT_EQ(PrintableView::pageRange(6, Range{3, 99}), Range({3, 6}));
    EXPECT_EQ(PrintableView::pageRange(6, Range{2, 4}), Range({2, 4}));
    EXPECT_EQ(PrintableView::pageRange(6, Range{5, 2}), std::nullopt);
}
