#include "PageLayoutTesting.h"

#include "PagePrintView.h"
#include "RectangleGraphic.h"
#include "TestPrintView.h"

#include <QImage>
#include <QTextBlock>
#include <QPainter>

namespace {

const QUrl peopleURL = QUrl::fromLocalFile(QStringLiteral("/data/People.nv3"));

class PagePrintViewTest : public GraphicTest {
protected:
    void SetUp() override
    {
        GraphicTest::SetUp();
        engine.setPageView(&display);
        host.datafile = records;
    }

    std::shared_ptr<TemplateSettingsData> sheet()
    {
        auto settings = labelSheet(3, 2);
        settings->setAssociatedDatafileURL(peopleURL);
        return settings;
    }

    // The engine laid out, then handed to a print view as the document hands it.
    std::unique_ptr<PagePrintView> printView(const GraphicList& design)
    {
        const auto settings = sheet();
        engine.resetWithSettings(settings, design, false);
        auto view = std::make_unique<PagePrintView>(QRectF(0, 0, 612, 792));
        view->setFirstLabelOffset(quint64(engine.firstLabelOffset()));
        view->setPageViewController(engine, settings, design);
        return view;
    }

    static QString textOf(const PageCell& cell, qsizetype graphic = 0)
    {
        return plainText(static_cast<const TextGraphic&>(*cell.graphics->at(graphic)));
    }

    FakePageLayoutHost host;
    FakePageDisplay display;
    std::shared_ptr<FakeRecordSource> records = std::make_shared<FakeRecordSource>();
    PageViewController engine{&host};
};

} // namespace

TEST_F(PagePrintViewTest, OffsetFiveTenRecords_PagesTwoAndThreeStartAtEntriesOneAndSeven)
{
    records->count = 10;
    records->addressBlock = [](qint64 index) { return QStringLiteral("R%1").arg(index); };
    engine.setStartingLabelRow(2, 1);
    auto view = printView({addressGraphicAt({10, 10, 200, 60})});
    ASSERT_EQ(engine.firstLabelOffset(), 5);
    ASSERT_EQ(view->pageCount(), 3);
    EXPECT_EQ(view->pagesToPrint(PrintableView::PageRange{2, 3}),
              (PrintableView::PageRange{2, 3}));
    EXPECT_EQ(view->pagesToPrint(PrintableView::PageRange{3, 2}), std::nullopt);

    // Page 1: the starting label alone.
    view->rectForPage(1);
    ASSERT_EQ(view->cells().size(), 1u);
    EXPECT_EQ(textOf(view->cells()[0]), "R0");
    EXPECT_EQ(view->cells()[0].frame, engine.cellRect(2, 1));

    view->rectForPage(2);
    EXPECT_EQ(view->firstRecordOnPage(), 1);
    ASSERT_EQ(view->cells().size(), 6u);
    EXPECT_EQ(textOf(view->cells()[0]), "R1");
    EXPECT_EQ(textOf(view->cells()[5]), "R6");

    // The last page stops after the last record: the other cells stay bare paper.
    view->rectForPage(3);
    EXPECT_EQ(view->firstRecordOnPage(), 7);
    ASSERT_EQ(view->cells().size(), 3u);
    EXPECT_EQ(textOf(view->cells()[2]), "R9");
    EXPECT_EQ(view->cells()[2].frame, engine.cellRect(1, 0));
    for (const PageCell& cell : view->cells())
        EXPECT_FALSE(cell.draft);
}

TEST_F(PagePrintViewTest, TextAndShapes_EveryCellFromTheStartingLabelOnePage)
{
    records->count = 40;
    auto text = std::make_shared<TextGraphic>();
    text->setBounds({10, 10, 100, 20});
    engine.setStartingLabelRow(1, 1);
    auto view = printView({text, std::make_shared<RectangleGraphic>()});
    ASSERT_EQ(view->pageCount(), 1);

    view->rectForPage(1);
    ASSERT_EQ(view->cells().size(), 3u);
    EXPECT_EQ(view->cells()[0].frame, engine.cellRect(1, 1));
    for (const PageCell& cell : view->cells())
        EXPECT_EQ(cell.graphics->size(), 2);
}

TEST_F(PagePrintViewTest, SingleItem_PageOneAloneWithTheStartingCell)
{
    records->count = 5;
    records->addressBlocks = {"A", "B", "C", "D", "E"};
    engine.setShowingSingleTemplate(true);
    engine.setCurrentRecord(3);
    engine.setStartingLabelRow(1, 1);
    auto view = printView({addressGraphicAt({10, 10, 200, 60})});

    EXPECT_EQ(view->pagesToPrint(PrintableView::PageRange{2, 5}), (PrintableView::PageRange{1, 1}));
    EXPECT_EQ(view->pagesToPrint(PrintableView::PageRange{3, 2}), (PrintableView::PageRange{1, 1}));
    view->rectForPage(1);
    ASSERT_EQ(view->cells().size(), 1u);
    EXPECT_EQ(view->cells()[0].frame, engine.cellRect(1, 1));
    EXPECT_EQ(textOf(view->cells()[0]), "D");
}

TEST_F(PagePrintViewTest, AgainstTheScreen_TwoPointsNarrowerAndFurtherRightByPlacement)
{
    records->count = 1;
    records->addressBlocks = {QStringLiteral("Ann Smith\n1 Main St")};
    for (qint64 placement : {0, 1, 2}) {
        SCOPED_TRACE(placement);
        const GraphicList design{addressGraphicAt({10, 10, 200, 60}, placement, 0)};
        auto view = printView(design);
        view->rectForPage(1);
        const QRectF screen = engine.cells().at(0).graphics->at(0)->bounds();
        const QRectF paper = view->cells().at(0).graphics->at(0)->bounds();
        EXPECT_DOUBLE_EQ(paper.width(), screen.width() - 2);
        EXPECT_DOUBLE_EQ(paper.x(), screen.x() + double(placement));
        EXPECT_DOUBLE_EQ(paper.y(), screen.y());
    }
}

TEST_F(PagePrintViewTest, FieldMissingOrTooWide_PrintsNothingWhereTheScreenSaysSo)
{
    records->count = 1;
    records->addressBlocks = {QStringLiteral("Ann")};
    records->fields[QStringLiteral("Name")] = {QString(100, QLatin1Char('m'))};
    auto address = addressGraphicAt({10, 10, 200, 60});
    address->setAddressBlockAlignment(2);
    const GraphicList design{address, fieldGraphicAt({10, 80, 100, 20}, QStringLiteral("Name")),
                             fieldGraphicAt({10, 110, 100, 20}, QStringLiteral("Fax"))};
    auto view = printView(design);
    view->rectForPage(1);
    ASSERT_EQ(view->cells().size(), 1u);
    const PageCell& printed = view->cells()[0];
    EXPECT_EQ(textOf(printed, 0), "Ann");
    // The block's lines follow the graphic's alignment, as on screen.
    EXPECT_EQ(static_cast<const TextGraphic&>(*printed.graphics->at(0))
                      .document()
                      .begin()
                      .blockFormat()
                      .alignment() &
                  Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
    EXPECT_EQ(textOf(printed, 1), "");
    EXPECT_EQ(textOf(printed, 2), "");
    EXPECT_EQ(textOf(engine.cells()[0], 1), "Too Large");
    EXPECT_EQ(textOf(engine.cells()[0], 2), "No Field Data");
}

TEST_F(PagePrintViewTest, WithoutTheDatafile_AddressPrintsNothing)
{
    host.datafile = nullptr;
    const GraphicList design{addressGraphicAt({10, 10, 200, 60})};
    auto view = printView(design);
    view->rectForPage(1);
    ASSERT_FALSE(view->cells().empty());
    EXPECT_EQ(textOf(view->cells()[0]), "");
    EXPECT_EQ(textOf(engine.cells()[0]), "Address Block");
}

TEST(PaperFitTest, EmptyAddressIsOneEmptyLineAndAShrunkFieldKeepsTwelvePoints)
{
    FakeTextMeasurer measurer;
    TextMeasurer::setShared(&measurer);
    QRectF rect(0, 0, 100, 20);
    ArchivedFont font(QStringLiteral("Helvetica"), 12);
    EXPECT_FALSE(PageViewController::calculateAddressRectangle(rect, QString(), font, 8, 0, 0));
    EXPECT_TRUE(PageViewController::calculateAddressRectangle(rect, QString(), font, 8, 0, 0,
                                                              PageViewController::paperFit));
    EXPECT_EQ(rect, QRectF(0, 0, 16, 14));

    // Ten characters: 60 wide at 12 points, 5 less a point smaller; paper wants 12 more.
    const QString ten = QStringLiteral("abcdefghij");
    const struct {
        double width;
        bool screenFits;
        double screenSize;
        bool paperFits;
        double paperSize;
    } cases[] = {
        {60, true, 12, true, 12}, // fits at once: no margin either way
        {58, true, 11, true, 9},  // 58 > 45 + 12
        {56, true, 11, true, 8},
        {50, true, 9, false, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        for (const bool paper : {false, true}) {
            QRectF field(0, 0, c.width, 20);
            ArchivedFont size(QStringLiteral("Helvetica"), 12);
            const bool fits = PageViewController::fieldTextFits(
                field, ten, size, 8,
                paper ? PageViewController::paperFit : PageViewController::screenFit);
            EXPECT_EQ(fits, paper ? c.paperFits : c.screenFits) << paper;
            EXPECT_EQ(size.size(), paper ? c.paperSize : c.screenSize) << paper;
        }
    }
    TextMeasurer::setShared(nullptr);
}

TEST(TestPrintViewTest, OnePageWhateverTheRangeAndEveryLabelOutlinedGrey)
{
    TestPrintView view(QRectF(0, 0, 612, 792));
    view.setTempletSettings(labelSheet(3, 2));
    EXPECT_EQ(view.pagesToPrint(std::nullopt), (PrintableView::PageRange{1, 1}));
    EXPECT_EQ(view.pagesToPrint(PrintableView::PageRange{2, 4}), (PrintableView::PageRange{1, 1}));
    const QList<QRectF> outlines = view.labelOutlines();
    ASSERT_EQ(outlines.size(), 6);
    EXPECT_EQ(outlines[0], QRectF(13.5, 36, 288, 144));
    EXPECT_EQ(outlines[5], QRectF(13.5 + 288 + 9, 36 + 2 * 144, 288, 144));

    QImage page(612, 792, QImage::Format_RGB32);
    page.fill(Qt::black);
    QPainter painter(&page);
    view.drawPage(painter, 0);
    painter.end();
    // Grey on the edges of the labels, white inside them and on the paper around them.
    const auto greyAround = [&page](int x, int y) {
        for (int dy = -2; dy <= 2; ++dy) {
            const QColor pixel = page.pixelColor(x, y + dy);
            if (pixel.red() == pixel.blue() && pixel.red() > 60 && pixel.red() < 200)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(greyAround(157, 36));
    EXPECT_TRUE(greyAround(157, 180));
    EXPECT_TRUE(greyAround(460, 468));
    EXPECT_EQ(page.pixelColor(150, 100), QColor(Qt::white));
    EXPECT_EQ(page.pixelColor(5, 5), QColor(Qt::white));
}
