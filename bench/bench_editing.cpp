#include "benchdata.h"
#include "core/edit/document.h"
#include "core/edit/hittest.h"
#include "core/edit/tools/toolmanager.h"
#include "core/map/geometry.h"
#include "core/map/render.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

using namespace korvalo;

// The mouse on a card at capacity (1000 labelled nodes, 1000 lines, 50 sectors) on an
// 850 x 750 map: what one mouse event costs while dragging and while hovering.
namespace {

constexpr int W = 850, H = 750;

// The last node drawn lies on top of every other: its centre pixel is its own.
constexpr int TopNode = MaxNodes;

struct Bench
{
    Document document;
    EditorState editor;
    ToolManager tools{document, editor};
    ViewOptions view;
    QImage image{W, H, QImage::Format_RGB32};

    Bench()
    {
        EnsureGuiApp();
        document.reset(CapacityModel());
        tools.setMode(EditMode::ModifyNodes);
        redraw();
    }
    void redraw() { RenderCard(image, document.model(), 1, view); }
    MapEvent at(QPoint p) { return MapEvent{MapButton::Left, p, image.pixel(p), image.size()}; }
    QPoint pointOf(int node) const
    {
        const Node &n = document.model().card(1).Nodes[size_t(node)];
        return MapPoint(n.Angle, n.Distance, W, H);
    }
};

} // namespace

// One move of a drag: the pixel read, the node moved through a merged history step, the
// whole card redrawn.
static void BM_DragMoveStep(benchmark::State &state)
{
    Bench b;
    const QPoint start = b.pointOf(TopNode);
    b.tools.active().press(b.at(start));
    if (b.editor.DraggedNode != TopNode)
        state.SkipWithError("the press found no node to drag");
    int step = 0;
    for (auto _ : state) {
        const QPoint p = start + QPoint(step % 40, (step / 40) % 40);
        ++step;
        b.tools.active().move(b.at(p));
        b.redraw();
        benchmark::DoNotOptimize(b.image.constBits());
    }
    b.tools.active().release(b.at(start));
    state.counters["history"] = b.document.undoStack()->count();
}
BENCHMARK(BM_DragMoveStep)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The same without the redraw: the hit test and the history step alone.
static void BM_DragMoveStepWithoutRedraw(benchmark::State &state)
{
    Bench b;
    const QPoint start = b.pointOf(TopNode);
    b.tools.active().press(b.at(start));
    int step = 0;
    for (auto _ : state) {
        const QPoint p = start + QPoint(step % 40, (step / 40) % 40);
        ++step;
        b.tools.active().move(b.at(p));
    }
}
BENCHMARK(BM_DragMoveStepWithoutRedraw)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Hovering over a node: the pixel read, the nearest of 1001 nodes, the read-out answer.
static void BM_HoverStep(benchmark::State &state)
{
    Bench b;
    const QPoint over = b.pointOf(TopNode);
    for (auto _ : state) {
        const MapResponse r = b.tools.active().move(b.at(over));
        benchmark::DoNotOptimize(r.readoutNode);
    }
    if (b.editor.HoverNode != TopNode)
        state.SkipWithError("the hover found another node");
}
BENCHMARK(BM_HoverStep)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// LineAt when all 1000 lines share the pixel's colour: every one is a candidate.
static void BM_LineAt1000(benchmark::State &state)
{
    NetworkCard card = CapacityModel().card(1);
    for (int l = 1; l <= card.LineCount(); ++l)
        card.Lines[size_t(l)].LineColor = 3;
    const QRgb blue = LineStrokeColor(PaletteColor(3));
    for (auto _ : state) {
        const int line = LineAt(card, 400, 300, blue, W, H);
        benchmark::DoNotOptimize(line);
    }
}
BENCHMARK(BM_LineAt1000)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
