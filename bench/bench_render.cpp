#include "benchdata.h"
#include "core/map/render.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <memory>

using namespace korvalo;

static void BM_RedrawCapacityCard(benchmark::State &state)
{
    EnsureGuiApp();
    const NetworkModel &model = CapacityModel();
    ViewOptions view;
    view.ColorSectors1 = true;
    QImage image(int(state.range(0)), int(state.range(1)), QImage::Format_RGB32);
    for (auto _ : state) {
        RenderCard(image, model, 1, view);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_RedrawCapacityCard)->Args({850, 750})->Args({1600, 1500})
    ->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Only the clearing step: the floor under the redraw.
static void BM_ClearOnly(benchmark::State &state)
{
    EnsureGuiApp();
    const NetworkModel &model = CapacityModel();
    const ViewOptions view;
    QImage image(int(state.range(0)), int(state.range(1)), QImage::Format_RGB32);
    for (auto _ : state) {
        RenderCard(image, model, 0, view);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_ClearOnly)->Args({850, 750})->Args({1600, 1500})
    ->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The first redraw after the labels changed (a card just read, or a label switch
// toggled): every label is rasterised anew.
static void BM_RedrawCapacityCardNewLabels(benchmark::State &state)
{
    EnsureGuiApp();
    NetworkModel model = CapacityModel();
    ViewOptions view;
    view.ColorSectors1 = true;
    QImage image(850, 750, QImage::Format_RGB32);
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++round;
        for (Node &n : model.card(1).Nodes)
            n.Label = QStringLiteral("Alter %1 %2").arg(n.ID).arg(round);
        state.ResumeTiming();
        RenderCard(image, model, 1, view);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_RedrawCapacityCardNewLabels)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
