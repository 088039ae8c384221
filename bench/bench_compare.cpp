#include "benchdata.h"
#include "core/analysis/compare.h"
#include "core/map/comparerender.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <algorithm>

using namespace korvalo;

namespace {

// The capacity card and a later wave of it: every alter moved (a little as between
// interviews, or anywhere on the map, the worst case for the arrows), one in ten gone and
// replaced by a newcomer, one in seven written in other letter case, the lines kept.
NetworkModel TwoCapacityCards(bool far)
{
    NetworkModel m = CapacityModel();
    {
        NetworkCard later = m.card(1);
        later.ID = QStringLiteral("Later");
        for (int i = 1; i <= later.NodeCount(); ++i) {
            Node &n = later.Nodes[size_t(i)];
            if (far) {
                n.Angle = float((i * 53) % 360) + 0.25f;
                n.Distance = float((i * 31) % 97) / 97.0f;
            } else {
                n.Angle = n.Angle + float(i % 21 - 10);
                n.Distance = std::clamp(n.Distance + float(i % 9 - 4) / 40.0f, 0.0f, 1.0f);
            }
            if (i % 10 == 0)
                n.ID = QStringLiteral("New%1").arg(i);
            else if (i % 7 == 0)
                n.ID = n.ID.toLower();
        }
        m.Cards.push_back(later);
    }
    return m;
}

void BM_CompareCapacityCards(benchmark::State &state)
{
    const NetworkModel model = TwoCapacityCards(true);
    for (auto _ : state) {
        CardComparison c = CompareCards(model, 1, 2);
        benchmark::DoNotOptimize(c.kept);
    }
}

void BM_RedrawCompareView(benchmark::State &state)
{
    EnsureGuiApp();
    const NetworkModel model = TwoCapacityCards(state.range(2) != 0);
    const CardComparison comparison = CompareCards(model, 1, 2);
    ViewOptions view;
    view.ColorSectors1 = true;
    QImage image(int(state.range(0)), int(state.range(1)), QImage::Format_RGB32);
    for (auto _ : state) {
        RenderCompare(image, model, comparison, view);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The smooth view as the window shows it on a screen of device pixel ratio 2.
void BM_RedrawSmoothCompareView(benchmark::State &state)
{
    EnsureGuiApp();
    const NetworkModel model = TwoCapacityCards(true);
    const CardComparison comparison = CompareCards(model, 1, 2);
    ViewOptions view;
    view.Smooth = true;
    QImage image(850 * 2, 750 * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    for (auto _ : state) {
        RenderCompare(image, model, comparison, view);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The legend's corner alone, part of every redraw and export.
void BM_PlaceCompareLegend(benchmark::State &state)
{
    EnsureGuiApp();
    const NetworkModel model = TwoCapacityCards(state.range(0) != 0);
    const CardComparison comparison = CompareCards(model, 1, 2);
    for (auto _ : state) {
        QRect legend = CompareLegendPlace(model, comparison, ViewOptions(), QSize(850, 750));
        benchmark::DoNotOptimize(legend);
    }
}

} // namespace

BENCHMARK(BM_RedrawSmoothCompareView)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PlaceCompareLegend)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_CompareCapacityCards)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
// What a refresh of the view costs after an edit: the comparison and the picture.
// Third argument: 0 alters moved a little, 1 moved anywhere.
BENCHMARK(BM_RedrawCompareView)->Args({850, 750, 0})->Args({850, 750, 1})->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ReportAggregatesOnly(true);
