#include "core/analysis/identity.h"

#include <benchmark/benchmark.h>

using namespace korvalo;

namespace {

// 100 cards of 1000 alters. IDs recur from card to card, a third of them in another
// letter case, the labels of a few drift; every tenth ID is declared unsure with its neighbour.
const NetworkModel &studyEgo()
{
    static const NetworkModel model = [] {
        NetworkModel m;
        SetupEgo(m, QStringLiteral("Benchmark Ego"), {}, 1, {}, {}, QStringLiteral("BE-1"));
        for (int c = 1; c <= MaxCards; ++c) {
            AddCard(m, QStringLiteral("Interview %1").arg(c), 7, QStringLiteral("normal"), 3, {}, {}, {});
            for (int n = 1; n <= MaxNodes; ++n) {
                Node node;
                node.ID = (n + c) % 3 == 0 ? QStringLiteral("alter-%1").arg(n) : QStringLiteral("Alter-%1").arg(n);
                node.Label = QStringLiteral("Alter number %1").arg(n + (c % 7 == 0 && n % 100 == 0 ? 1 : 0));
                node.Angle = float(n) * 0.36f;
                node.Distance = float(n % 100) / 80.0f;
                AddNode(m, c, node);
            }
        }
        std::vector<MergerGroup> groups;
        for (int n = 1; n + 1 <= MaxNodes; n += 10)
            groups.push_back({QStringLiteral("Alter-%1").arg(n), QStringLiteral("Alter-%1").arg(n + 1)});
        ApplyMergerGroups(m, groups);
        return m;
    }();
    return model;
}

void BM_IDLabelPlausibility(benchmark::State &state)
{
    const NetworkModel &model = studyEgo();
    for (auto _ : state)
        benchmark::DoNotOptimize(IDLabelPlausibility(model));
}
BENCHMARK(BM_IDLabelPlausibility)->Unit(benchmark::kMillisecond);

void BM_MergeUnsureNodeMergings(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        NetworkModel model = studyEgo();
        state.ResumeTiming();
        benchmark::DoNotOptimize(MergeUnsureNodeMergings(model, ReportMode::nix, {}));
    }
}
BENCHMARK(BM_MergeUnsureNodeMergings)->Unit(benchmark::kMillisecond);

// What opening the merger window computes: the chooser and the groups.
void BM_MergerDialogModel(benchmark::State &state)
{
    const NetworkModel &model = studyEgo();
    for (auto _ : state) {
        benchmark::DoNotOptimize(MergerChoices(model));
        benchmark::DoNotOptimize(MergerGroupsOf(model));
    }
}
BENCHMARK(BM_MergerDialogModel)->Unit(benchmark::kMillisecond);

} // namespace
