#include "PageView.h"

#include "PageLayoutTesting.h"
#include "PointPainting.h"
#include "RectangleGraphic.h"

#include <QImage>
#include <QTest>

namespace {

class PageViewTest : public GraphicTest {
protected:
    void SetUp() override
    {
        GraphicTest::SetUp();
        records->count = 10;
        for (int i = 0; i < 10; ++i)
            records->fields[QStringLiteral("Name")].append(QStringLiteral("N%1").arg(i));
        host.datafile = records;
        engine.setPageView(&view);
    }

    void layOut(const std::shared_ptr<TemplateSettingsData>& settings)
    {
        settings->setAssociatedDatafileURL(QUrl::fromLocalFile(QStringLiteral("/data/People.nv3")));
        engine.resetWithSettings(settings, design, false);
    }

    // The widget's pixel at a point of the paper.
    QPoint pixelAt(QPointF paperPoint) const
    {
        const QPointF pixel = paperPoint * view.scale() * PointPainting::scaleOf(view);
        return QPoint(int(pixel.x()), int(pixel.y()));
    }

    void clickAt(QPointF paperPoint)
    {
        QTest::mouseClick(&view, Qt::LeftButton, {}, pixelAt(paperPoint));
    }

    QString cellText(std::size_t cell) const
    {
        const auto& graphics = *engine.cells().at(cell).graphics;
        return graphics.isEmpty() ? QString()
                                  : plainText(static_cast<const TextGraphic&>(*graphics.first()));
    }

    std::shared_ptr<FakeRecordSource> records = std::make_shared<FakeRecordSource>();
    FakePageLayoutHost host;
    PageViewController engine{&host};
    PageView view;
    GraphicList design{fieldGraphicAt({10, 10, 200, 20}, QStringLiteral("Name"))};
};

} // namespace

TEST_F(PageViewTest, ClickOnALabel_StartsPrintingThereFromTheFirstRecord)
{
    layOut(labelSheet());
    ASSERT_EQ(cellText(0), QStringLiteral("N0"));

    clickAt({310.5 + 144, 180 + 72});
    EXPECT_EQ(engine.startingLabelRow(), 1);
    EXPECT_EQ(engine.startingLabelColumn(), 1);
    EXPECT_EQ(engine.firstLabelOffset(), 3);
    EXPECT_EQ(host.statusBarReloads, 1);
    EXPECT_EQ(cellText(2), QString());
    EXPECT_EQ(cellText(3), QStringLiteral("N0"));
    EXPECT_EQ(cellText(4), QStringLiteral("N1"));

    // Back to the first label after another.
    clickAt({13.5 + 1, 36 + 1});
    EXPECT_EQ(engine.firstLabelOffset(), 0);
    EXPECT_EQ(cellText(0), QStringLiteral("N0"));
    EXPECT_EQ(host.statusBarReloads, 2);
}

TEST_F(PageViewTest, ClickInTheSpacingOrOnALaterPageOrAnEnvelope_ChangesNothing)
{
    layOut(labelSheet());
    clickAt({306, 100});
    clickAt({5, 100});
    EXPECT_EQ(engine.firstLabelOffset(), 0);

    engine.goToNextPage();
    ASSERT_EQ(view.currentPage(), 1u); // the second of two: ten records in six cells
    clickAt({310.5 + 144, 180 + 72});
    EXPECT_EQ(engine.firstLabelOffset(), 0);

    auto envelope = labelSheet();
    envelope->setIsEnvelope(true);
    layOut(envelope);
    clickAt({100, 100});
    EXPECT_EQ(engine.firstLabelOffset(), 0);
    EXPECT_EQ(host.statusBarReloads, 0);
}

TEST_F(PageViewTest, Painted_PaperFramesAndCells)
{
    auto box = std::make_shared<RectangleGraphic>();
    box->setBounds({100, 50, 40, 40});
    box->setFillColor(ArchivedColor::calibratedRgb(0, 0, 1));
    box->setDrawsStroke(false);
    design = {box};
    layOut(labelSheet());
    EXPECT_NEAR(view.frameSize().width(), 612, 1);
    EXPECT_NEAR(view.frameSize().height(), 792, 1);

    const QImage image = view.grab().toImage();
    EXPECT_EQ(image.pixelColor(pixelAt({0.5, 400})), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(pixelAt({306, 36.5})), QColor(Qt::lightGray));
    EXPECT_EQ(image.pixelColor(pixelAt({306, 30})), QColor(Qt::white));
    // Cell (1, 1) holds its copy of the box at (100, 50) of its own.
    EXPECT_EQ(image.pixelColor(pixelAt({310.5 + 120, 180 + 70})), QColor(Qt::blue));
}
