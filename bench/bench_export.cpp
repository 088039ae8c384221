#include "map/imageexport.h"
#include "map/jpegwriter.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void ensureGuiApp()
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

// An ordinary interview ego: 100 cards of 7 circles, 6 sectors, 30 labelled alters and
// 25 lines each, the alters moving a little from card to card.
const NetworkModel &ordinaryEgo()
{
    static const NetworkModel model = [] {
        const int cards = 100;
        NetworkModel m;
        SetupEgo(m, QStringLiteral("Ordinary Ego"), QStringLiteral("1970"), 1, {}, {}, QStringLiteral("OE-1"));
        const QString sectors[] = {QStringLiteral("Family"), QStringLiteral("Friends"), QStringLiteral("Work"),
                                   QStringLiteral("Neighbourhood"), QStringLiteral("Clubs"), QStringLiteral("Others")};
        for (int c = 1; c <= cards; ++c) {
            AddCard(m, QStringLiteral("Wave %1").arg(c), 7, QStringLiteral("normal"), 3, {}, {}, {});
            for (int s = 0; s < 6; ++s)
                AddSector(m, c, sectors[s], s + 1, float(s) * 60.0f);
            for (int n = 1; n <= 30; ++n) {
                Node node;
                node.ID = QString::number(100 + n);
                node.Label = QStringLiteral("Alter %1").arg(n);
                node.Angle = float((n * 37 + c * 3) % 360);
                node.Distance = float((n * 13 + c) % 100) / 100.0f;
                node.Color = 1 + n % 8;
                node.Human = QStringLiteral("TRUE");
                node.Sex = QStringLiteral("undefined");
                node.NodeSize = n % 5 == 0 ? QStringLiteral("bigger") : QStringLiteral("normal");
                node.Symbol = n % 6 == 0 ? QStringLiteral("box") : QString();
                AddNode(m, c, node);
            }
            for (int l = 1; l <= 25; ++l)
                AddLine(m, l % 5 == 0 ? 0 : l, (l * 7) % 30 + 1, 1 + l % 3, l % 9);
        }
        return m;
    }();
    return model;
}

} // namespace

// Encoding alone: one drawn 850 x 750 card into JPEG bytes at quality 100.
static void BM_EncodeCardJpeg(benchmark::State &state)
{
    ensureGuiApp();
    const QImage card = RenderedCards(ordinaryEgo(), ViewOptions(), QSize(850, 750))(1);
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
    ensureGuiApp();
    QTemporaryDir dir;
    const CardPicture picture = RenderedCards(ordinaryEgo(), ViewOptions(), QSize(850, 750));
    const QString path = dir.filePath(QStringLiteral("card.jpg"));
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteJpegFile(picture(1), path).ok());
}
BENCHMARK(BM_ExportOneCard)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// "JPG All Cards" of a 100-card ordinary ego at 850 x 750, drawing included.
static void BM_ExportAllCards(benchmark::State &state)
{
    ensureGuiApp();
    QTemporaryDir dir;
    const NetworkModel &ego = ordinaryEgo();
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
    ensureGuiApp();
    QTemporaryDir dir;
    const NetworkModel &ego = ordinaryEgo();
    const CardPicture picture = RenderedCards(ego, ViewOptions(), QSize(850, 750));
    for (auto _ : state) {
        const ExportOutcome outcome = ExportCardStrip(70, QSize(850, 750), dir.filePath(QStringLiteral("strip.jpg")), picture);
        benchmark::DoNotOptimize(outcome.written.size());
    }
}
BENCHMARK(BM_ExportStrip)->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(3)->ReportAggregatesOnly(true);
