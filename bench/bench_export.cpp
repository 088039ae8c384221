#include "benchdata.h"
#include "core/map/imageexport.h"
#include "core/map/jpegwriter.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace korvalo;

// Encoding alone: one drawn 850 x 750 card into JPEG bytes at quality 100.
static void BM_EncodeCardJpeg(benchmark::State &state)
{
    EnsureGuiApp();
    const QImage card = RenderedCards(OrdinaryEgo(), ViewOptions(), QSize(850, 750))(1);
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray jpeg = EncodeJpeg(card, 100);
        bytes = jpeg.size();
        benchmark::DoNotOptimize(jpeg.constData());
    }
    state.counters["KB"] = double(bytes) / 1024.0;
}
BENCHMARK(BM_EncodeCardJpeg)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// One card as File > Export > "JPG Current Card" writes it: draw, encode, write safely
// (temporary file, flush to disk, rename).
static void BM_ExportOneCard(benchmark::State &state)
{
    EnsureGuiApp();
    QTemporaryDir dir;
    const CardPicture picture = RenderedCards(OrdinaryEgo(), ViewOptions(), QSize(850, 750));
    const QString path = dir.filePath(QStringLiteral("card.jpg"));
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteJpegFile(picture(1), path).ok());
}
BENCHMARK(BM_ExportOneCard)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// "JPG All Cards" of a 100-card ordinary ego at 850 x 750, drawing included.
static void BM_ExportAllCards(benchmark::State &state)
{
    EnsureGuiApp();
    QTemporaryDir dir;
    const NetworkModel &ego = OrdinaryEgo();
    const CardPicture picture = RenderedCards(ego, ViewOptions(), QSize(850, 750));
    for (auto _ : state) {
        const ExportOutcome outcome = ExportCardFiles(ego.CardCount(), dir.filePath(QStringLiteral("ego.jpg")), picture);
        benchmark::DoNotOptimize(outcome.written.size());
    }
}
BENCHMARK(BM_ExportAllCards)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

// "JPG All Cards in 1 JPG" of 70 cards (near JPEG's width limit at 850 pixels a card).
static void BM_ExportStrip(benchmark::State &state)
{
    EnsureGuiApp();
    QTemporaryDir dir;
    const NetworkModel &ego = OrdinaryEgo();
    const CardPicture picture = RenderedCards(ego, ViewOptions(), QSize(850, 750));
    for (auto _ : state) {
        const ExportOutcome outcome = ExportCardStrip(70, QSize(850, 750), dir.filePath(QStringLiteral("strip.jpg")), picture);
        benchmark::DoNotOptimize(outcome.written.size());
    }
}
BENCHMARK(BM_ExportStrip)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(3)->ReportAggregatesOnly(true);
