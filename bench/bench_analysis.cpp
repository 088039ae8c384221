#include "core/analysis/analysisreport.h"

#include <benchmark/benchmark.h>

using namespace korvalo;

namespace {

// An ego at capacity: 100 cards of 50 sectors and 1000 alters. The alters keep their
// IDs from card to card with some turnover, and the sector names vary in letter case
// and drift, so that the distinct lists grow as they do in real studies.
const NetworkModel &fullEgo()
{
    static const NetworkModel model = [] {
        NetworkModel m;
        SetupEgo(m, QStringLiteral("Benchmark Ego"), QStringLiteral("1960"), 1, {}, {}, QStringLiteral("BE-1"));
        for (int c = 1; c <= MaxCards; ++c) {
            AddCard(m, QStringLiteral("Interview %1").arg(c), 7, QStringLiteral("normal"), 3, {}, {}, {});
            for (int s = 0; s < MaxSectors; ++s) {
                const QString name = (c + s) % 3 == 0 ? QStringLiteral("SECTOR %1").arg(s + c / 10)
                                                       : QStringLiteral("Sector %1").arg(s + c / 10);
                AddSector(m, c, name, 1 + s % 8, float(s) * 7.2f + float(c % 5));
            }
            for (int n = 1; n <= MaxNodes; ++n) {
                Node node;
                node.ID = n % 3 == 0 ? QStringLiteral("alter-%1").arg(n + 10 * c) : QStringLiteral("Alter-%1").arg(n);
                node.Label = QStringLiteral("Alter number %1").arg(n);
                node.Angle = float(n) * 0.36f;
                node.Distance = float(n % 100) / 80.0f;
                AddNode(m, c, node);
            }
        }
        return m;
    }();
    return model;
}

void runAnalysis(benchmark::State &state, Analysis analysis, ReportMode mode)
{
    const NetworkModel &model = fullEgo();
    ReportRequest request;
    request.mode = mode;
    request.currentCard = 1;
    for (auto _ : state) {
        const QStringList lines = ReportLines(analysis, model.ego, CardsOf(model), request);
        benchmark::DoNotOptimize(lines.size());
    }
}

} // namespace

// Every all-cards analysis, values and text, over an ego at capacity.
BENCHMARK_CAPTURE(runAnalysis, IDContinuity, Analysis::IDContinuity, ReportMode::lang)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(runAnalysis, SectorSizes, Analysis::SectorSizes, ReportMode::lang)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(runAnalysis, SectorNodeCounts, Analysis::SectorNodeCounts, ReportMode::lang)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(runAnalysis, DominantSector, Analysis::DominantSector, ReportMode::lang)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(runAnalysis, NumberOfSectors, Analysis::NumberOfSectors, ReportMode::lang)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(runAnalysis, DifferentIDs, Analysis::DifferentIDs, ReportMode::lang)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(runAnalysis, DifferentIDsAll, Analysis::DifferentIDsAll, ReportMode::lang)->Unit(benchmark::kMillisecond);
// The macros' lines count strong ties on every card.
BENCHMARK_CAPTURE(runAnalysis, StrongTiesShort, Analysis::StrongTies, ReportMode::kurz)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(runAnalysis, StrongTiesRatioShort, Analysis::StrongTiesRatio, ReportMode::kurz)->Unit(benchmark::kMillisecond);
