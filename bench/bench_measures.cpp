#include "benchdata.h"
#include "core/analysis/measures.h"
#include "core/analysis/study.h"
#include "core/egofile/egofile.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace korvalo;

namespace {

// Every measure of a card at capacity: 1,000 alters, 1,000 lines, 50 sectors.
void BM_MeasuresCapacityCard(benchmark::State &state)
{
    const NetworkModel &model = CapacityModel();
    for (auto _ : state) {
        benchmark::DoNotOptimize(MeasureCard(model.ego, model.card(1), 1, MeasureAttribute::Sex));
        benchmark::DoNotOptimize(MeasureSectors(model.card(1)));
    }
}
BENCHMARK(BM_MeasuresCapacityCard)->Unit(benchmark::kMillisecond);

// korvalo-cli measures over a study of 10,000 ordinary interviews (three cards of 30
// alters, 6 sectors and 25 lines each): the walk, the measures and the rows as text.
void BM_MeasuresStudy(benchmark::State &state)
{
    QTemporaryDir dir;
    NetworkModel ego = OrdinaryEgo();
    ego.Cards.resize(4);
    ego.CurrentCard = 1;
    const int files = 10000;
    for (int i = 0; i < files; ++i) {
        ego.ego.EgoID = QStringLiteral("P%1").arg(i);
        if (!WriteEgoFile(ego, dir.filePath(QStringLiteral("%1.ego").arg(i))).ok()) {
            state.SkipWithError("could not write the study");
            return;
        }
    }
    const QStringList study = StudyFiles({dir.path()});
    for (auto _ : state) {
        qsizetype bytes = 0;
        WalkStudy<QByteArray>(
            study, {},
            [](const QString &path, const NetworkModel &model) {
                QByteArray out;
                for (const QStringList &row : EgoMeasureRows(model, path, MeasureAttribute::Sex, false, 0))
                    out += DelimitedLine(row, u'\t').toUtf8() + '\n';
                return out;
            },
            [&](const QString &, QByteArray &out) { bytes += out.size(); });
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["files"] = files;
}
BENCHMARK(BM_MeasuresStudy)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
