// One mouse move while dragging 50 selected graphics on a canvas of 500 (rectangles,
// circles and lines), the move handled and the canvas repainted: a frame lasts 16 ms.
// And the 500 copied to the clipboard and pasted back, which should take under 250 ms.
#include "BenchMain.h"
#include "CircleGraphic.h"
#include "LineGraphic.h"
#include "MutableDesignView.h"
#include "RectangleGraphic.h"
#include "UndoManager.h"

#include <QImage>

#include <benchmark/benchmark.h>

namespace {

constexpr int Graphics = 500;
constexpr int Selected = 50;

void fillCanvas(MutableDesignView& canvas)
{
    for (int i = 0; i < Graphics; ++i) {
        std::shared_ptr<Graphic> graphic;
        switch (i % 3) {
        case 0:
            graphic = std::make_shared<RectangleGraphic>();
            break;
        case 1:
            graphic = std::make_shared<CircleGraphic>();
            break;
        default:
            graphic = std::make_shared<LineGraphic>();
            break;
        }
        graphic->setBounds(QRectF(100 + (i * 37) % 700, 100 + (i * 53) % 500, 30 + i % 40,
                                  20 + i % 30));
        canvas.insertGraphic(graphic, canvas.graphics()->size());
    }
}

// A canvas of 1000 x 800 with the 500 graphics, undo on.
struct FilledCanvas {
    FilledCanvas()
    {
        canvas.resize(1000, 800);
        canvas.setUndoManager(&undo);
        fillCanvas(canvas);
    }
    UndoManager undo;
    MutableDesignView canvas;
};

void BM_MoveFiftySelected(benchmark::State& state)
{
    FilledCanvas filled;
    MutableDesignView& canvas = filled.canvas;
    for (int i = 0; i < Selected; ++i)
        canvas.selectGraphic(canvas.graphics()->at(i * (Graphics / Selected)));
    const QPointF grip = canvas.selectedGraphics().front()->bounds().center();
    QImage frame(canvas.size(), QImage::Format_RGB32);
    canvas.mouseDown({grip, Qt::NoModifier, 1});
    canvas.mouseDragged({grip + QPointF(3, 3), Qt::NoModifier, 1});
    double step = 1;
    for (auto _ : state) {
        step = -step;
        canvas.mouseDragged({grip + QPointF(3 + step, 3), Qt::NoModifier, 1});
        canvas.render(&frame);
    }
    canvas.mouseUp({grip, Qt::NoModifier, 1});
    state.counters["graphics"] = Graphics;
    state.counters["selected"] = Selected;
}
BENCHMARK(BM_MoveFiftySelected)->Unit(benchmark::kMillisecond);

void BM_CopyAndPasteAll(benchmark::State& state)
{
    FilledCanvas filled;
    MutableDesignView& canvas = filled.canvas;
    for (auto _ : state) {
        state.PauseTiming();
        canvas.clearSelection();
        for (const std::shared_ptr<Graphic>& graphic : std::as_const(*canvas.graphics()))
            canvas.selectGraphic(graphic);
        filled.undo.removeAllActions();
        state.ResumeTiming();
        canvas.copy();
        canvas.paste();
        state.PauseTiming();
        if (canvas.graphics()->size() != 2 * Graphics) {
            state.SkipWithError("the paste did not bring the graphics back");
            break;
        }
        // The pasted ones lie in front.
        canvas.clearSelection();
        for (int i = 0; i < Graphics; ++i)
            canvas.removeGraphicAtIndex(0);
        state.ResumeTiming();
    }
    state.counters["graphics"] = Graphics;
}
BENCHMARK(BM_CopyAndPasteAll)->Unit(benchmark::kMillisecond);

} // namespace

int runBenchmark(int argc, char** argv)
{
    return runRegisteredBenchmarks(argc, argv);
}
