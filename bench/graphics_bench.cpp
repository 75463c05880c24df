// Painting one design of 500 graphics (50 of them text, the rest lines, rectangles,
// circles and images) onto a 1000 × 800 image, the size of a page shown on screen.
#include "ArchivedImage.h"
#include "BenchMain.h"
#include "CircleGraphic.h"
#include "DesignPainting.h"
#include "ImageGraphic.h"
#include "LineGraphic.h"
#include "RectangleGraphic.h"
#include "TextGraphic.h"

#include <QImage>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {

constexpr int Graphics = 500;
constexpr int Texts = 50;
const QSizeF Page(1000, 800);

GraphicList mixedDesign()
{
    QImage picture(64, 48, QImage::Format_ARGB32);
    picture.fill(QColor(40, 120, 200));
    const ArchivedImage image =
        ArchivedImage::fromData(ArchivedImage::encode(picture, QSizeF(64, 48)));
    GraphicList graphics;
    for (int i = 0; i < Graphics; ++i) {
        const QRectF bounds((i * 37) % 900, (i * 53) % 720, 40 + i % 60, 20 + i % 50);
        std::shared_ptr<Graphic> graphic;
        if (i % (Graphics / Texts) == 0) {
            auto text = std::make_shared<TextGraphic>();
            QTextCursor(&text->document())
                .insertText(QStringLiteral("Text graphic %1 with a few words").arg(i));
            graphic = text;
        } else {
            switch (i % 4) {
            case 0: {
                auto withPicture = std::make_shared<ImageGraphic>();
                withPicture->setImage(image);
                graphic = withPicture;
                break;
            }
            case 1:
                graphic = std::make_shared<LineGraphic>();
                break;
            case 2: {
                auto rectangle = std::make_shared<RectangleGraphic>();
                rectangle->setRadius(6);
                rectangle->setFillColor(ArchivedColor::calibratedRgb(0.9, 0.8, 0.2));
                graphic = rectangle;
                break;
            }
            default:
                graphic = std::make_shared<CircleGraphic>();
                break;
            }
        }
        graphic->setBounds(bounds);
        graphics.append(graphic);
    }
    return graphics;
}

void BM_PaintDesign(benchmark::State& state)
{
    const GraphicList graphics = mixedDesign();
    QImage canvas(Page.toSize(), QImage::Format_ARGB32_Premultiplied);
    // Text is laid out once, as a shown page would have it before its next paint.
    {
        QPainter painter(&canvas);
        paintDesign(painter, QRectF(QPointF(), Page), graphics, true, false);
    }
    for (auto _ : state) {
        QPainter painter(&canvas);
        paintDesign(painter, QRectF(QPointF(), Page), graphics, true, false);
        painter.end();
        benchmark::DoNotOptimize(canvas.constBits());
    }
}
BENCHMARK(BM_PaintDesign)->Unit(benchmark::kMillisecond);

} // namespace

int runBenchmark(int argc, char** argv)
{
    return runRegisteredBenchmarks(argc, argv);
}
