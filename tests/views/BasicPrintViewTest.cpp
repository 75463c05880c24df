// The printing text view: its pages in points and its one-line page header.
#include "BasicPrintView.h"

#include <QFontMetricsF>
#include <QRegularExpression>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(BasicPrintViewTest, Pages_HoldTheLinesThatFitTheFrameInPoints)
{
    BasicPrintView view(QRectF(72, 72, 468, 720));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(12);
    QTextCharFormat format;
    format.setFont(font);
    QTextCursor cursor(&view.textStorage());
    for (int line = 0; line < 200; ++line)
        cursor.insertText(QStringLiteral("Line %1\n").arg(line), format);
    // Laid out for the screen, 12 points would be 16 pixels high and need more pages.
    const double lineHeight = QFontMetricsF(font, PrintableView::pointDevice()).lineSpacing();
    const int linesPerPage = int(720 / lineHeight);
    EXPECT_NEAR(view.pageCount(), std::ceil(201.0 / linesPerPage), 1);
}

TEST(BasicPrintViewTest, Scaling_AHalfSizedTextHoldsTwiceTheLinesOfAPage)
{
    const auto pages = [](double scalingFactor) {
        BasicPrintView view(QRectF(72, 72, 468, 648), scalingFactor);
        QTextCursor cursor(&view.textStorage());
        for (int line = 0; line < 400; ++line)
            cursor.insertText(QStringLiteral("Line %1\n").arg(line));
        return view.pageCount();
    };
    const int natural = pages(1.0);
    ASSERT_GE(natural, 4);
    EXPECT_NEAR(pages(0.5), natural / 2.0, 1);
    EXPECT_NEAR(pages(2.0), natural * 2.0, 2);
}

TEST(BasicPrintViewTest, Scaling_StoredFactorsTakenAsTheNearestUsableOne)
{
    const struct {
        double stored;
        double used;
    } cases[] = {
        {1.0, 1.0},
        {0.5, 0.5},
        {2.5, 2.5},
        {0.0, 1.0},
        {-2.0, 1.0},
        {std::nan(""), 1.0},
        {std::numeric_limits<double>::infinity(), 1.0},
        {1e-9, BasicPrintView::SmallestScalingFactor},
        {1e9, BasicPrintView::LargestScalingFactor},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BasicPrintView::usableScalingFactor(c.stored), c.used) << c.stored;
        EXPECT_EQ(BasicPrintView(QRectF(0, 0, 100, 100), c.stored).scalingFactor(), c.used);
    }
}

TEST(BasicPrintViewTest, Header_TitleDateAndPageNumberOnOneLine)
{
    BasicPrintView view(QRectF(72, 72, 468, 648));
    view.setPrintJobTitle(QStringLiteral("Clients.nv3"));
    const QStringList parts = view.headerText(3).split('\t');
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[0], "Clients.nv3");
    EXPECT_TRUE(parts[1].contains(QRegularExpression("\\d")));
    EXPECT_EQ(parts[2], "Page 3");
}
