#include "benchdata.h"
#include "core/edit/document.h"
#include "core/edit/sectors.h"
#include "core/edit/selection.h"

#include <benchmark/benchmark.h>

#include <algorithm>

using namespace korvalo;

// The sector and selection commands as the menus run them, each one undoable step on a
// card at capacity (1000 alters, 1000 lines, 50 sectors); undoing it is not timed.

static void undoUntimed(benchmark::State &state, Document &doc)
{
    state.PauseTiming();
    doc.undoStack()->undo();
    state.ResumeTiming();
}

static void BM_ApplySectorOrder(benchmark::State &state)
{
    Document doc;
    doc.reset(CapacityModel());
    QStringList entries = SectorOrderEntries(doc.model().card(1));
    std::reverse(entries.begin(), entries.end());
    for (auto _ : state) {
        if (!ApplySectorOrderStep(doc, 1, entries))
            state.SkipWithError("refused");
        undoUntimed(state, doc);
    }
}
BENCHMARK(BM_ApplySectorOrder)->Unit(benchmark::kMillisecond);

static void BM_SizeProportional(benchmark::State &state)
{
    Document doc;
    doc.reset(CapacityModel());
    int lines = 0;
    doc.session().infoSink = [&](const QString &) { ++lines; };
    for (auto _ : state) {
        SizeSectorsByNodeCountStep(doc, 1);
        undoUntimed(state, doc);
    }
    state.counters["info_lines"] = double(lines) / double(state.iterations());
}
BENCHMARK(BM_SizeProportional)->Unit(benchmark::kMillisecond);

static void BM_SelectByLabel(benchmark::State &state)
{
    Document doc;
    doc.reset(CapacityModel());
    const QString label = QStringLiteral("ALTER NUMBER 500");
    for (auto _ : state) {
        // Selecting is no step: nothing to undo between runs.
        SelectStep(doc, 1, [&](NetworkCard &card) { SelectByLabel(card, label); });
    }
}
BENCHMARK(BM_SelectByLabel)->Unit(benchmark::kMillisecond);

static void BM_Delete500SelectedAlters(benchmark::State &state)
{
    NetworkModel model = CapacityModel();
    for (int i = 1; i <= MaxNodes; i += 2)
        model.card(1).Nodes[size_t(i)].Selected = true;
    Document doc;
    doc.reset(std::move(model));
    for (auto _ : state) {
        DeleteSelectedStep(doc, 1);
        undoUntimed(state, doc);
    }
}
BENCHMARK(BM_Delete500SelectedAlters)->Unit(benchmark::kMillisecond);
