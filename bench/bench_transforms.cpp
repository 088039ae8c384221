#include "benchdata.h"
#include "core/edit/commands.h"
#include "core/edit/document.h"
#include "core/map/transforms.h"

#include <QUndoStack>

#include <benchmark/benchmark.h>

#include <functional>
#include <vector>

using namespace korvalo;

// The Transform menu on the shared card at capacity, with the alters' IDs in pairs and
// case variants, so that "Mean Distance for Multiple ID" has groups to average.
static NetworkModel transformModel()
{
    NetworkModel m = CapacityModel();
    std::vector<Node> &nodes = m.card(1).Nodes;
    for (size_t i = 2; i < nodes.size(); i += 2)
        nodes[i].ID = i % 3 == 0 ? nodes[i - 1].ID.toLower() : nodes[i - 1].ID;
    return m;
}

using Transform = std::function<int(NetworkCard &)>;

static const std::vector<std::pair<const char *, Transform>> &transforms()
{
    static const std::vector<std::pair<const char *, Transform>> all = {
        {"Rotate90CW", [](NetworkCard &c) { return RotateCard(c, 90); }},
        {"Rotate1CCW", [](NetworkCard &c) { return RotateCard(c, -1); }},
        {"OutmostNode", ProjectOutmostNode},
        {"MeanToMiddle", MeanToMiddle},
        {"ZoomOut", ZoomOut},
        {"ZoomIn", ZoomIn},
        {"MaxDistance", [](NetworkCard &c) { return ClampDistances(c, 0.5f); }},
        {"MeanDistanceForMultipleID", MeanDistanceForMultipleID},
        {"RecolorNodes", [](NetworkCard &c) { return RecolorNodes(c, 2, 3); }},
    };
    return all;
}

// The core operation alone. The card's numbers are put back before each run from a copy
// of them (a few microseconds, measured by BM_RestoreOnly), so that every run starts
// from the same card.
static void restore(NetworkCard &card, const NetworkCard &from)
{
    for (size_t i = 1; i < card.Nodes.size(); ++i) {
        card.Nodes[i].Angle = from.Nodes[i].Angle;
        card.Nodes[i].Distance = from.Nodes[i].Distance;
        card.Nodes[i].Color = from.Nodes[i].Color;
    }
    for (size_t s = 1; s < card.Sectors.size(); ++s)
        card.Sectors[s].SectorAngle = from.Sectors[s].SectorAngle;
}

static void BM_Transform(benchmark::State &state)
{
    const auto &[name, transform] = transforms()[size_t(state.range(0))];
    state.SetLabel(name);
    const NetworkModel model = transformModel();
    NetworkCard card = model.card(1);
    for (auto _ : state) {
        restore(card, model.card(1));
        benchmark::DoNotOptimize(transform(card));
    }
}
BENCHMARK(BM_Transform)->DenseRange(0, 8)->Unit(benchmark::kMicrosecond);

static void BM_RestoreOnly(benchmark::State &state)
{
    const NetworkModel model = transformModel();
    NetworkCard card = model.card(1);
    for (auto _ : state) {
        restore(card, model.card(1));
        benchmark::DoNotOptimize(card.Nodes.data());
    }
}
BENCHMARK(BM_RestoreOnly)->Unit(benchmark::kMicrosecond);

// What a menu command costs without the redraw: the snapshot, the operation, the
// comparison and the push of one undoable step (and its undo, so that every run starts
// from the same card).
static void BM_TransformStep(benchmark::State &state)
{
    const auto &[name, transform] = transforms()[size_t(state.range(0))];
    state.SetLabel(name);
    Document document;
    document.reset(transformModel());
    for (auto _ : state) {
        ChangeCard(document, 1, QStringLiteral("Transform"), [&](NetworkModel &m) {
            transform(m.card(1));
            return Status::success();
        });
        document.undoStack()->undo();
    }
}
BENCHMARK(BM_TransformStep)->DenseRange(0, 8)->Unit(benchmark::kMicrosecond);
