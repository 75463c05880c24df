#include "PageLayoutTesting.h"

#include "RectangleGraphic.h"

#include <QTextBlock>
#include <QTextCursor>

namespace {

// The fake measurer: a character is half the point size wide, "Tg" the size + 2 high.
struct AddressFitCase {
    const char* name;
    QString text;
    QRectF rect;
    double fontSize;
    float minimum;
    qint64 horizontal;
    qint64 vertical;
    bool fits;
    QRectF fitted;
    double finalSize;
};

const QString twentyCharacters = QStringLiteral("abcdefghijklmnopqrst");

const AddressFitCase addressFitCases[] = {
    {"FitsAtOnce", "abcd\nab", {10, 20, 100, 100}, 12, 8, 0, 0, true, {10, 20, 42, 28}, 12},
    {"TooWide_OneSizeSmaller",
     twentyCharacters,
     {0, 0, 125, 100},
     12,
     8,
     0,
     0,
     true,
     {0, 0, 128, 13},
     11},
    {"TooTall_OneSizeSmaller",
     "abcd\nab\na",
     {0, 0, 120, 40},
     12,
     8,
     0,
     0,
     true,
     {0, 0, 40, 39},
     11},
    {"Never_RectangleUnchangedFontAtMinimum",
     twentyCharacters,
     {0, 0, 50, 10},
     12,
     8,
     0,
     0,
     false,
     {0, 0, 50, 10},
     8},
    {"MinimumZero_StopsAtEight",
     twentyCharacters,
     {0, 0, 50, 10},
     12,
     0,
     0,
     0,
     false,
     {0, 0, 50, 10},
     8},
    {"AlreadyAtMinimum_FontUnchanged",
     twentyCharacters,
     {0, 0, 50, 10},
     8,
     8,
     0,
     0,
     false,
     {0, 0, 50, 10},
     8},
    {"EmptyText_NeverFits", "", {0, 0, 100, 100}, 12, 8, 0, 0, false, {0, 0, 100, 100}, 12},
    {"Placement00", "abcd", {10, 20, 100, 50}, 12, 8, 0, 0, true, {10, 20, 42, 14}, 12},
    {"Placement11", "abcd", {10, 20, 100, 50}, 12, 8, 1, 1, true, {39, 38, 42, 14}, 12},
    {"Placement22", "abcd", {10, 20, 100, 50}, 12, 8, 2, 2, true, {68, 56, 42, 14}, 12},
    {"Placement77_OnePointIn", "abcd", {10, 20, 100, 50}, 12, 8, 7, 7, true, {11, 21, 42, 14}, 12},
    {"CentredWiderThanRoom_NegativeOffset",
     "abc",
     {0, 0, 30, 50},
     12,
     8,
     1,
     0,
     true,
     {-3, 0, 36, 14},
     12},
};

class AddressFitTest : public GraphicTest, public testing::WithParamInterface<AddressFitCase> {};

struct FieldFitCase {
    const char* name;
    QString text;
    QRectF rect;
    float minimum;
    bool fits;
    QRectF fitted;
    double finalSize;
};

const FieldFitCase fieldFitCases[] = {
    {"ExactWidth_FitsAtOnce", "abcdefghij", {0, 10, 60, 20}, 8, true, {0, 13, 60, 14}, 12},
    {"AfterShrinking_WidthMustBeStrictlyLarger",
     "abcdefghij",
     {0, 10, 55, 20},
     8,
     true,
     {0, 14, 55, 12},
     10},
    {"Never_RectangleUnchanged", "abcdefghij", {0, 10, 30, 20}, 8, false, {0, 10, 30, 20}, 8},
    {"MinimumZero_StopsAtEight", "abcdefghij", {0, 10, 30, 20}, 0, false, {0, 10, 30, 20}, 8},
    {"EmptyText_Fits", "", {0, 10, 60, 20}, 8, true, {0, 13, 60, 14}, 12},
};

class FieldFitTest : public GraphicTest, public testing::WithParamInterface<FieldFitCase> {};

template <typename Case> std::string caseName(const testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}

QColor textColor(const TextGraphic& graphic)
{
    QTextCursor cursor(&graphic.document());
    cursor.movePosition(QTextCursor::NextCharacter);
    return cursor.charFormat().foreground().color();
}

const QUrl peopleURL = QUrl::fromLocalFile(QStringLiteral("/data/People.nv3"));

} // namespace

TEST_P(AddressFitTest, FitsAsThePlacementsSay)
{
    const AddressFitCase& c = GetParam();
    QRectF rect = c.rect;
    ArchivedFont font(QStringLiteral("Helvetica"), c.fontSize);
    EXPECT_EQ(PageViewController::calculateAddressRectangle(rect, c.text, font, c.minimum,
                                                            c.horizontal, c.vertical),
              c.fits);
    EXPECT_TRUE(sameRect(rect, c.fitted));
    EXPECT_EQ(font.size(), c.finalSize);
}

INSTANTIATE_TEST_SUITE_P(Cases, AddressFitTest, testing::ValuesIn(addressFitCases),
                         caseName<AddressFitCase>);

TEST_P(FieldFitTest, FitsOneLineCentredOnTheBox)
{
    const FieldFitCase& c = GetParam();
    QRectF rect = c.rect;
    ArchivedFont font(QStringLiteral("Helvetica"), 12);
    EXPECT_EQ(PageViewController::fieldTextFits(rect, c.text, font, c.minimum), c.fits);
    EXPECT_TRUE(sameRect(rect, c.fitted));
    EXPECT_EQ(font.size(), c.finalSize);
}

INSTANTIATE_TEST_SUITE_P(Cases, FieldFitTest, testing::ValuesIn(fieldFitCases),
                         caseName<FieldFitCase>);

class PageViewControllerTest : public GraphicTest {
protected:
    void SetUp() override
    {
        GraphicTest::SetUp();
        engine.setPageView(&display);
        host.datafile = records;
    }

    std::shared_ptr<TemplateSettingsData> associatedSheet(qint64 rows = 3, qint64 columns = 2)
    {
        auto settings = labelSheet(rows, columns);
        settings->setAssociatedDatafileURL(peopleURL);
        return settings;
    }

    void layOut(const std::shared_ptr<TemplateSettingsData>& settings, const GraphicList& design,
                bool isSheet = false)
    {
        engine.resetWithSettings(settings, design, isSheet);
    }

    // The records' texts of the cell's graphics, front first.
    QStringList cellTexts(std::size_t cell) const
    {
        QStringList texts;
        for (const auto& graphic : *engine.cells().at(cell).graphics) {
            if (auto* text = dynamic_cast<const TextGraphic*>(graphic.get()))
                texts.append(plainText(*text));
        }
        return texts;
    }

    FakePageLayoutHost host;
    FakePageDisplay display;
    std::shared_ptr<FakeRecordSource> records = std::make_shared<FakeRecordSource>();
    PageViewController engine{&host};
};

TEST_F(PageViewControllerTest, RecordTooLarge_KeptApartAndTheOthersRepeatedByCopies)
{
    records->count = 2;
    records->addressBlocks = {QStringLiteral("Ann Smith\n1 Main St"),
                              QString(200, QLatin1Char('x'))};
    auto settings = associatedSheet();
    settings->setLabelCopies(3);
    layOut(settings, {addressGraphicAt({10, 10, 200, 60})});

    EXPECT_EQ(engine.printableRecords(), (QList<qint64>{0, 0, 0}));
    EXPECT_EQ(engine.nonPrintableRecords(), (QList<qint64>{1}));
    EXPECT_EQ(engine.pageCount(), 1u);
    EXPECT_EQ(cellTexts(0), QStringList{QStringLiteral("Ann Smith\n1 Main St")});
    EXPECT_EQ(cellTexts(2), QStringList{QStringLiteral("Ann Smith\n1 Main St")});
    EXPECT_TRUE(cellTexts(3).isEmpty());
}

TEST_F(PageViewControllerTest, EmptyAddressBlock_NotPrintable)
{
    records->count = 2;
    records->addressBlocks = {QString(), QStringLiteral("Bob")};
    layOut(associatedSheet(), {addressGraphicAt({10, 10, 200, 60})});
    EXPECT_EQ(engine.printableRecords(), (QList<qint64>{1}));
    EXPECT_EQ(engine.nonPrintableRecords(), (QList<qint64>{0}));
}

TEST_F(PageViewControllerTest, OnlyShapes_EveryCellFilledCopiesIgnoredOnePage)
{
    records->count = 40;
    auto settings = associatedSheet();
    settings->setLabelCopies(3);
    auto box = std::make_shared<RectangleGraphic>();
    box->setBounds({5, 5, 50, 50});
    layOut(settings, {box});

    EXPECT_EQ(engine.printableRecords(), (QList<qint64>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(engine.pageCount(), 1u);
    ASSERT_EQ(engine.cells().size(), 6u);
    for (const PageCell& cell : engine.cells()) {
        ASSERT_EQ(cell.graphics->size(), 1);
        EXPECT_NE(cell.graphics->first(), box); // a copy, never the design's own
        EXPECT_TRUE(sameRect(cell.graphics->first()->bounds(), {5, 5, 50, 50}));
    }
}

TEST_F(PageViewControllerTest, HundredRecordsOffsetFive_EighteenPagesTurnedAndWrapped)
{
    records->count = 100;
    records->fields[QStringLiteral("Name")] = [] {
        QStringList names;
        for (int i = 0; i < 100; ++i)
            names.append(QStringLiteral("N%1").arg(i));
        return names;
    }();
    engine.setStartingLabelRow(2, 1);
    layOut(associatedSheet(), {fieldGraphicAt({10, 10, 200, 20}, QStringLiteral("Name"))});

    EXPECT_EQ(engine.firstLabelOffset(), 5);
    EXPECT_EQ(engine.pageCount(), 18u);
    // The first page shows its first record in the starting label only.
    EXPECT_EQ(cellTexts(4), QStringList());
    EXPECT_EQ(cellTexts(5), QStringList{QStringLiteral("N0")});

    EXPECT_EQ(engine.firstRecordOnPage(), 0);
    engine.goToNextPage();
    EXPECT_EQ(engine.firstRecordOnPage(), 1);
    EXPECT_EQ(cellTexts(0), QStringList{QStringLiteral("N1")});
    engine.goToNextPage();
    EXPECT_EQ(engine.firstRecordOnPage(), 7);
    EXPECT_EQ(display.currentPage, 2u);
    EXPECT_EQ(display.toolTip, QString());

    engine.goToLastPage();
    EXPECT_EQ(engine.currentPage(), 17u);
    EXPECT_EQ(engine.firstRecordOnPage(), 97);
    EXPECT_EQ(cellTexts(2), QStringList{QStringLiteral("N99")});
    EXPECT_EQ(cellTexts(3), QStringList());

    engine.goToNextPage();
    EXPECT_EQ(engine.currentPage(), 0u);
    EXPECT_EQ(engine.firstRecordOnPage(), 0);
    EXPECT_EQ(display.toolTip, QStringLiteral("Click the label to start printing from."));

    engine.goToPreviousPage();
    EXPECT_EQ(engine.currentPage(), 17u);
    engine.goToPreviousPage();
    EXPECT_EQ(engine.currentPage(), 16u);
    EXPECT_EQ(engine.firstRecordOnPage(), 91);
}

TEST_F(PageViewControllerTest, NoRecords_NoPagesAndTurningStaysOnTheFirst)
{
    records->count = 0;
    layOut(associatedSheet(), {addressGraphicAt({10, 10, 200, 60})});
    EXPECT_EQ(engine.pageCount(), 0u);
    engine.goToNextPage();
    EXPECT_EQ(engine.currentPage(), 0u);
    engine.goToLastPage();
    EXPECT_EQ(engine.currentPage(), 0u);
    EXPECT_EQ(engine.firstRecordOnPage(), 0);
}

TEST_F(PageViewControllerTest, OnePageWithOffset_LastPageIsTheFirstFromItsStart)
{
    records->count = 1;
    records->addressBlocks = {QStringLiteral("Ann")};
    engine.setStartingLabelRow(1, 1);
    layOut(associatedSheet(), {addressGraphicAt({10, 10, 200, 60})});
    ASSERT_EQ(engine.pageCount(), 1u);
    engine.goToLastPage();
    EXPECT_EQ(engine.firstRecordOnPage(), 0);
    EXPECT_EQ(cellTexts(3), QStringList{QStringLiteral("Ann")});
}

TEST_F(PageViewControllerTest, FieldContents_MissingAndTooLargeShownInRed)
{
    records->count = 2;
    records->fields[QStringLiteral("Name")] = {QStringLiteral("Ann"),
                                               QString(100, QLatin1Char('m'))};
    layOut(associatedSheet(), {fieldGraphicAt({10, 10, 100, 20}, QStringLiteral("Name")),
                               fieldGraphicAt({10, 40, 100, 20}, QStringLiteral("Missing"))});

    ASSERT_EQ(engine.printableRecords(), (QList<qint64>{0, 1}));
    const auto name = [&](std::size_t cell) {
        return std::static_pointer_cast<FieldGraphic>(engine.cells().at(cell).graphics->at(0));
    };
    EXPECT_EQ(plainText(*name(0)), QStringLiteral("Ann"));
    EXPECT_EQ(textColor(*name(0)), QColor(Qt::black));
    EXPECT_EQ(plainText(*name(1)), QStringLiteral("Too Large"));
    EXPECT_EQ(textColor(*name(1)), QColor(Qt::red));
    const auto missing =
        std::static_pointer_cast<FieldGraphic>(engine.cells().at(0).graphics->at(1));
    EXPECT_EQ(plainText(*missing), QStringLiteral("No Field Data"));
    EXPECT_EQ(textColor(*missing), QColor(Qt::red));
}

TEST_F(PageViewControllerTest, AddressFilled_FittedInACopyTheDesignUntouched)
{
    records->count = 1;
    records->addressBlocks = {QStringLiteral("Ann Smith\n1 Main St")};
    auto address = addressGraphicAt({10, 10, 200, 60}, 1, 1);
    address->setAddressBlockAlignment(1);
    layOut(associatedSheet(), {address});

    const auto shown =
        std::static_pointer_cast<AddressGraphic>(engine.cells().at(0).graphics->at(0));
    // "1 Main St" and "Ann Smith" are 9 characters: 54 + 18 wide, two lines of 14.
    EXPECT_TRUE(sameRect(shown->bounds(), {10 + (200 - 72) / 2.0, 10 + (60 - 28) / 2.0, 72, 28}));
    EXPECT_EQ(textColor(*shown), QColor(Qt::black));
    EXPECT_EQ(shown->document().begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    EXPECT_TRUE(sameRect(address->bounds(), {10, 10, 200, 60}));
    EXPECT_EQ(plainText(*address), QStringLiteral("Address"));
    EXPECT_NE(engine.addressGraphic(), address);
    EXPECT_TRUE(sameRect(engine.addressGraphic()->bounds(), {10, 10, 200, 60}));
}

TEST_F(PageViewControllerTest, DatafileOpened_TitledAndCountedOnceOverResets)
{
    records->count = 3;
    records->addressBlocks = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    const GraphicList design{addressGraphicAt({10, 10, 200, 60})};
    auto settings = associatedSheet();
    layOut(settings, design);
    layOut(settings, design);

    EXPECT_EQ(host.openedPaths, QStringList{QStringLiteral("/data/People.nv3")});
    EXPECT_EQ(host.windowTitle, QStringLiteral("Labels.zlabel (People)"));
    EXPECT_EQ(records->openTemplateCount, 1);
    EXPECT_EQ(host.alerts, 0);
    EXPECT_EQ(engine.printableRecords(), (QList<qint64>{0, 1, 2}));
    EXPECT_EQ(display.toolTip, QStringLiteral("Click the label to start printing from."));
    EXPECT_EQ(display.controller, &engine);
    EXPECT_TRUE(sameRect(display.paperFrame, {0, 0, 612, 792}));
    EXPECT_TRUE(sameRect(display.printableFrame, {13.5, 36, 585, 432}));
    EXPECT_EQ(display.size, QSizeF(612, 792));
}

TEST_F(PageViewControllerTest, DatafileWindowClosed_NextResetOpensItAgain)
{
    records->count = 1;
    records->addressBlocks = {QStringLiteral("Ann")};
    const GraphicList design{addressGraphicAt({10, 10, 200, 60})};
    layOut(associatedSheet(), design);
    records->available = false;
    auto reopened = std::make_shared<FakeRecordSource>(2);
    reopened->addressBlocks = {QStringLiteral("Ann"), QStringLiteral("Bob")};
    host.datafile = reopened;
    layOut(associatedSheet(), design);

    EXPECT_EQ(host.openedPaths.size(), 2);
    EXPECT_EQ(reopened->openTemplateCount, 1);
    EXPECT_EQ(engine.printableRecords(), (QList<qint64>{0, 1}));
}

TEST_F(PageViewControllerTest, NoDatafile_PlaceholdersAndTheAlertExceptForASheet)
{
    const GraphicList design{addressGraphicAt({10, 10, 200, 60}),
                             fieldGraphicAt({10, 80, 200, 20}, QStringLiteral("Name"))};
    layOut(labelSheet(), design, true);
    EXPECT_EQ(host.alerts, 0);
    layOut(labelSheet(), design);
    EXPECT_EQ(host.alerts, 1);
    EXPECT_TRUE(host.openedPaths.isEmpty());
    EXPECT_EQ(engine.printableRecords(), (QList<qint64>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(cellTexts(5),
              (QStringList{QStringLiteral("Address Block"), QStringLiteral("No Field Data")}));
    // Without records the page does not turn.
    engine.goToNextPage();
    EXPECT_EQ(engine.currentPage(), 0u);
}

TEST_F(PageViewControllerTest, DatafileNotOpened_AlertAndTitleOtherKindAlertOnly)
{
    host.datafile = nullptr;
    const GraphicList shapes{std::make_shared<RectangleGraphic>()};
    layOut(associatedSheet(), shapes);
    EXPECT_EQ(host.alerts, 1);
    EXPECT_EQ(host.windowTitle, QStringLiteral("Labels.zlabel (People)"));

    host.windowTitle.clear();
    auto other = labelSheet();
    other->setAssociatedDatafileURL(QUrl::fromLocalFile(QStringLiteral("/data/People.txt")));
    layOut(other, shapes);
    EXPECT_EQ(host.alerts, 2);
    EXPECT_TRUE(host.windowTitle.isEmpty());
    EXPECT_EQ(host.openedPaths.size(), 1);
}

TEST_F(PageViewControllerTest, ToolTips_SingleSheetAndEnvelope)
{
    const GraphicList design{addressGraphicAt({10, 10, 200, 60})};
    host.singlePageSheet = true;
    layOut(associatedSheet(), design);
    EXPECT_EQ(display.toolTip, QStringLiteral("Click the label to be printed."));
    auto envelope = associatedSheet();
    envelope->setIsEnvelope(true);
    layOut(envelope, design);
    EXPECT_EQ(display.toolTip, QString());
    // A label grid stored in an envelope is still one envelope.
    EXPECT_EQ(engine.cells().size(), 1u);
    EXPECT_TRUE(engine.cells().front().envelope);
}

TEST_F(PageViewControllerTest, SingleItem_OnlyTheStartingLabelShowsTheRecord)
{
    records->count = 5;
    records->addressBlocks = {"A", "B", "C", "D", "E"};
    engine.setShowingSingleTemplate(true);
    engine.setCurrentRecord(3);
    engine.setStartingLabelRow(1, 0);
    layOut(associatedSheet(), {addressGraphicAt({10, 10, 200, 60})});

    EXPECT_EQ(engine.printableRecords(), (QList<qint64>{3}));
    for (std::size_t cell = 0; cell < 6; ++cell)
        EXPECT_EQ(cellTexts(cell), cell == 2 ? QStringList{"D"} : QStringList()) << cell;

    engine.setTextInPasteboard(true);
    engine.setAddressBlockText(QStringLiteral("From the clipboard"));
    layOut(associatedSheet(), {addressGraphicAt({10, 10, 200, 60})});
    EXPECT_EQ(cellTexts(2), QStringList{"From the clipboard"});
}

TEST_F(PageViewControllerTest, GridShrunk_StartingLabelBackToTheFirstAndOffsetRecomputed)
{
    records->count = 10;
    const GraphicList design{fieldGraphicAt({10, 10, 200, 20}, QStringLiteral("Name"))};
    engine.setStartingLabelRow(2, 1);
    engine.setFirstLabelOffset(5);
    layOut(associatedSheet(2, 2), design);
    EXPECT_EQ(engine.startingLabelRow(), 0);
    EXPECT_EQ(engine.startingLabelColumn(), 0);
    EXPECT_EQ(engine.firstLabelOffset(), 0);

    // A start the grid still has stays, its offset counted in the new columns.
    engine.setStartingLabelRow(1, 1);
    layOut(associatedSheet(3, 3), design);
    EXPECT_EQ(engine.firstLabelOffset(), 4);
}

TEST_F(PageViewControllerTest, NoRowsOrColumns_CountAsOne)
{
    records->count = 3;
    layOut(associatedSheet(0, -2), {fieldGraphicAt({10, 10, 200, 20}, QStringLiteral("Name"))});
    EXPECT_EQ(engine.rows(), 1);
    EXPECT_EQ(engine.columns(), 1);
    EXPECT_EQ(engine.cells().size(), 1u);
    EXPECT_EQ(engine.pageCount(), 3u);
}

TEST_F(PageViewControllerTest, Geometry_CellsInPointsYDown)
{
    layOut(associatedSheet(), {std::make_shared<RectangleGraphic>()});
    ASSERT_EQ(engine.cells().size(), 6u);
    EXPECT_TRUE(sameRect(engine.cellRect(1, 1), {310.5, 180, 288, 144}));
    EXPECT_TRUE(sameRect(engine.cells().at(3).frame, {310.5, 180, 288, 144}));
    EXPECT_TRUE(sameRect(engine.cells().at(4).frame, {13.5, 324, 288, 144}));
    EXPECT_TRUE(engine.cells().at(3).draft);
    EXPECT_FALSE(engine.cells().at(3).envelope);
}

TEST_F(PageViewControllerTest, ScaleToFit_SmallerOfTheTwoRatiosOnce)
{
    engine.setScaleToFit(true);
    display.size = QSizeF(306, 198);
    layOut(associatedSheet(), {});
    EXPECT_DOUBLE_EQ(display.scale, 0.25);
    EXPECT_EQ(display.size, QSizeF(306, 198));
    layOut(associatedSheet(), {});
    EXPECT_DOUBLE_EQ(display.scale, 0.25);
}
