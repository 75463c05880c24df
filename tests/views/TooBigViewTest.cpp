#include "TooBigView.h"

#include "PageLayoutTesting.h"
#include "PointPainting.h"

#include <QPlainTextEdit>

namespace {

// The fake measurer: a character is half the point size wide, "Tg" the size + 2 high.
// At the minimum size of 10, a character is 5 wide and a line 12 high.
class TooBigViewTest : public GraphicTest {
protected:
    void SetUp() override
    {
        GraphicTest::SetUp();
        view.resize(500, 300);
        view.setTooBigTextView(new QPlainTextEdit);
    }

    void showGraphic(double width, double height, float minimum = 10)
    {
        auto address = addressGraphicAt({18, 30, width, height});
        address->setMinimumPointSize(minimum);
        view.setAddressGraphic(address);
    }

    TooBigView view;
};

} // namespace

TEST_F(TooBigViewTest, NoGraphic_NothingDrawnAndThePanelSeventyHigh)
{
    EXPECT_FALSE(view.verdictColor().isValid());
    EXPECT_TRUE(view.verdictFrame().isNull());
    const double width = 500 / PointPainting::scaleOf(view);
    EXPECT_EQ(view.bottomDrawerRect(), QRectF(0, 0, width, 70));
    showGraphic(200, 48);
    EXPECT_EQ(view.bottomDrawerRect(), QRectF(18, 30, width, 118));
}

TEST_F(TooBigViewTest, Verdict_BlueUpToTheEdgesRedOnePointPast)
{
    // The frame is w - 4 wide and h + 2 high: a line needs its width + 6, the lines
    // their height + 2. An address graphic is at least 10 x 15.
    const struct {
        const char* name;
        double width;
        double height;
        float minimum;
        QString text;
        QColor color;
    } cases[] = {
        {"WidestExactlyWMinus10_LinesFillH", 110, 36, 10, "aaaaaaaaaaaaaaaaaaaa\nab\ncd", Qt::blue},
        {"OnePointWider", 109, 36, 10, "aaaaaaaaaaaaaaaaaaaa\nab\ncd", Qt::red},
        {"OnePointTaller", 110, 35, 10, "aaaaaaaaaaaaaaaaaaaa\nab\ncd", Qt::red},
        // "Tg" 15 high at 13 points, 16 at 14.
        {"EmptyText_OneEmptyLineAsHighAsTheBlock", 10, 15, 13, "", Qt::blue},
        {"EmptyText_OneLineTooHigh", 10, 15, 14, "", Qt::red},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        showGraphic(c.width, c.height, c.minimum);
        view.setAddressBlockText(c.text);
        EXPECT_EQ(view.verdictColor(), c.color);
        const QRectF field = view.tooBigTextView()->geometry().toRectF();
        EXPECT_DOUBLE_EQ(view.verdictFrame().width(), c.width - 4);
        EXPECT_DOUBLE_EQ(view.verdictFrame().height(), c.height + 2);
        EXPECT_NEAR(view.verdictFrame().x() * PointPainting::scaleOf(view), field.x() + 1 *
                    PointPainting::scaleOf(view), 1);
    }
}

TEST_F(TooBigViewTest, Text_ShownAtTheMinimumSizeAndTheGraphicCopied)
{
    auto address = addressGraphicAt({18, 30, 200, 48});
    address->setMinimumPointSize(9);
    view.setAddressGraphic(address);
    view.setAddressBlockText(QStringLiteral("Ann Lee\n1 Elm St"));
    EXPECT_NE(view.addressGraphic(), address.get());
    address->setBounds({0, 0, 10, 10});
    EXPECT_EQ(view.addressGraphic()->bounds(), QRectF(18, 30, 200, 48));
    EXPECT_EQ(view.tooBigTextView()->toPlainText(), "Ann Lee\n1 Elm St");
    EXPECT_EQ(view.tooBigTextView()->font().pointSizeF(), 9);
    EXPECT_EQ(view.tooBigTextView()->font().family(), address->font().name());
}
