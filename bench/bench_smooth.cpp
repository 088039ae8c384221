#include "benchdata.h"
#include "core/edit/document.h"
#include "core/edit/tools/toolmanager.h"
#include "core/map/geometry.h"
#include "core/map/render.h"
#include "core/map/vectorexport.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

using namespace korvalo;

// Smooth drawing: what the map shows with Options > Smooth Drawing, and the vector pictures.
namespace {

QImage shownImage(int w, int h, int ratio)
{
    QImage image(w * ratio, h * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return image;
}

} // namespace

// The card at capacity (1000 labelled nodes, 1000 lines, 50 coloured sectors) drawn smooth
// on an 850 x 750 map, at device pixel ratio 1 and 2.
static void BM_SmoothRedrawCapacityCard(benchmark::State &state)
{
    EnsureGuiApp();
    const NetworkModel &model = CapacityModel();
    ViewOptions view;
    view.ColorSectors1 = true;
    view.Smooth = true;
    QImage image = shownImage(850, 750, int(state.range(0)));
    for (auto _ : state) {
        image.fill(Qt::white);
        RenderCard(image, model, 1, view);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_SmoothRedrawCapacityCard)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The same after the sectors changed (a card switched to, a boundary moved): the
// sectors, circles and sector labels, kept between redraws otherwise, are drawn anew.
static void BM_SmoothRedrawCapacityCardNewSectors(benchmark::State &state)
{
    EnsureGuiApp();
    NetworkModel model = CapacityModel();
    ViewOptions view;
    view.ColorSectors1 = true;
    view.Smooth = true;
    QImage image = shownImage(850, 750, int(state.range(0)));
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        model.card(1).Sectors[1].SectorName = QStringLiteral("Sector %1").arg(++round);
        state.ResumeTiming();
        image.fill(Qt::white);
        RenderCard(image, model, 1, view);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_SmoothRedrawCapacityCardNewSectors)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ReportAggregatesOnly(true);

// One move of a drag on that card with smooth drawing, as the map widget does it: the node
// moved through a merged history step and the shown picture drawn. While a node is dragged
// nothing is read under the pointer, so the exact picture waits until it is read again.
static void BM_DragMoveStepSmooth(benchmark::State &state)
{
    EnsureGuiApp();
    constexpr int W = 850, H = 750;
    Document document;
    EditorState editor;
    ToolManager tools{document, editor};
    document.reset(CapacityModel());
    tools.setMode(EditMode::ModifyNodes);
    ViewOptions smooth;
    smooth.Smooth = true;
    QImage hit(W, H, QImage::Format_RGB32);
    QImage shown = shownImage(W, H, int(state.range(0)));
    RenderCard(hit, document.model(), 1, ViewOptions());
    const Node &top = document.model().card(1).Nodes[size_t(MaxNodes)];
    const QPoint start = MapPoint(top.Angle, top.Distance, W, H);
    tools.active().press(MapEvent{MapButton::Left, start, hit.pixel(start), hit.size()});
    if (editor.DraggedNode != MaxNodes)
        state.SkipWithError("the press found no node to drag");
    int step = 0;
    for (auto _ : state) {
        const QPoint p = start + QPoint(step % 40, (step / 40) % 40);
        ++step;
        tools.active().move(MapEvent{MapButton::Left, p, qRgb(255, 255, 255), hit.size()});
        shown.fill(Qt::white);
        RenderCard(shown, document.model(), 1, smooth);
        benchmark::DoNotOptimize(shown.constBits());
    }
    tools.active().release(MapEvent{MapButton::Left, start, qRgb(255, 255, 255), hit.size()});
}
BENCHMARK(BM_DragMoveStepSmooth)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ReportAggregatesOnly(true);

// An ordinary interview of 100 cards as one PDF, a page per card.
static void BM_PdfHundredCards(benchmark::State &state)
{
    EnsureGuiApp();
    const NetworkModel &model = OrdinaryEgo();
    const ViewOptions view;
    for (auto _ : state) {
        const QByteArray pdf = CardsPdf(model, AllCards(model), view, QSize(850, 750));
        benchmark::DoNotOptimize(pdf.constData());
        state.counters["bytes"] = double(pdf.size());
    }
}
BENCHMARK(BM_PdfHundredCards)->Unit(benchmark::kMillisecond)->Iterations(3);

// One card at capacity as SVG.
static void BM_SvgCapacityCard(benchmark::State &state)
{
    EnsureGuiApp();
    const NetworkModel &model = CapacityModel();
    const ViewOptions view;
    for (auto _ : state) {
        const QByteArray svg = CardSvg(model, 1, view, QSize(850, 750));
        benchmark::DoNotOptimize(svg.constData());
    }
}
BENCHMARK(BM_SvgCapacityCard)->Unit(benchmark::kMillisecond);
