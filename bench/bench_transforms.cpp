#include "edit/commands.h"
#include "edit/document.h"
#include "map/transforms.h"

#include <QUndoStack>

#include <benchmark/benchmark.h>

#include <functional>
#include <vector>

// The Transform menu on a card at capacity: 50 sectors, 1000 alters whose IDs come in
// pairs and case variants, so that "Mean Distance for Multiple ID" has groups to average.
static NetworkModel transformModel()
{
    NetworkModel m;
    SetupEgo(m, QStringLiteral("Bench Ego"), {}, 0, {}, {}, QStringLiteral("B1"));
    AddCard(m, QStringLiteral("Capacity"), 20, QStringLiteral("normal"), 2, {}, {}, {});
    for (int s = 0; s < MaxSectors; ++s)
        AddSector(m, 1, QStringLiteral("Sector %1").arg(s + 1), s % 8 + 1, s * 7.2f);
    for (int i = 1; i <= MaxNodes; ++i) {
        Node n;
        n.ID = (i % 3 == 0 ? QStringLiteral("p%1") : QStringLiteral("P%1")).arg(i / 2);
        n.Label = QStringLiteral("Alter number %1").arg(i);
        n.Color = i % 8 + 1;
        n.Angle = float((i * 137) % 360) + 0.5f;
        n.Distance = float(i % 97) / 97.0f + 0.05f;
        n.Human = QStringLiteral("TRUE");
        n.NodeSize = QStringLiteral("normal");
        n.Sex = QStringLiteral("undefined");
        AddNode(m, 1, n);
    }
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
