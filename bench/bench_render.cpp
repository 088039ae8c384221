#include "map/render.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <memory>

// A card at capacity, the worst a drag has to redraw on every mouse move.
static const NetworkModel &capacityModel()
{
    static const NetworkModel model = [] {
        NetworkModel m;
        SetupEgo(m, QStringLiteral("Bench Ego"), {}, 0, {}, {}, QStringLiteral("B1"));
        AddCard(m, QStringLiteral("Capacity"), 20, QStringLiteral("normal"), 2, {}, {}, {});
        for (int s = 0; s < MaxSectors; ++s)
            AddSector(m, 1, QStringLiteral("Sector %1").arg(s + 1), s % 8 + 1, s * 7.2f);
        static const char16_t *symbols[] = {u"flash", u"triangle", u"box", u"diamond"};
        for (int i = 1; i <= MaxNodes; ++i) {
            Node n;
            n.ID = QStringLiteral("N%1").arg(i);
            n.Label = QStringLiteral("Alter number %1").arg(i);
            n.Color = i % 8 + 1;
            n.Angle = float((i * 137) % 360) + 0.5f;
            n.Distance = float(i % 97) / 97.0f;
            n.Human = i % 3 == 0 ? QStringLiteral("FALSE") : QStringLiteral("TRUE");
            n.Size = i % 10 == 0 ? 4 : 1;
            if (i % 4 == 0)
                n.Symbol = QString::fromUtf16(symbols[(i / 4) % 4]);
            n.NodeSize = QStringLiteral("normal");
            n.Sex = QStringLiteral("undefined");
            AddNode(m, 1, n);
        }
        for (int l = 1; l <= MaxLines; ++l)
            AddLine(m, l % 50 == 0 ? 0 : l, (l * 7) % MaxNodes + 1, l % 3 + 1, l % 9);
        return m;
    }();
    return model;
}

static void ensureApp()
{
    static int argc = 1;
    static char name[] = "korvalo-bench";
    static char *argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        new QGuiApplication(argc, argv);
    }
}

static void BM_RedrawCapacityCard(benchmark::State &state)
{
    ensureApp();
    const NetworkModel &model = capacityModel();
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
    ensureApp();
    const NetworkModel &model = capacityModel();
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
    ensureApp();
    NetworkModel model = capacityModel();
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
