#include "benchdata.h"
#include "core/edit/commands.h"
#include "core/edit/document.h"

#include <QFile>

#include <benchmark/benchmark.h>

using namespace korvalo;

// One step on a card at capacity (1000 alters, 1000 lines, 50 sectors): a node moved.
static void moveNode(Document &doc, int i)
{
    ChangeCard(doc, 1, QStringLiteral("Move"), [i](NetworkModel &m) {
        m.card(1).Nodes[size_t(1 + i % MaxNodes)].Angle += 1;
        return Status::success();
    });
}

static void BM_PushStepOnCapacityCard(benchmark::State &state)
{
    Document doc;
    doc.reset(CapacityModel());
    int i = 0;
    for (auto _ : state)
        moveNode(doc, i++);
}
BENCHMARK(BM_PushStepOnCapacityCard)->Unit(benchmark::kMicrosecond);

static void BM_UndoStepOnCapacityCard(benchmark::State &state)
{
    Document doc;
    doc.reset(CapacityModel());
    moveNode(doc, 0);
    for (auto _ : state) {
        doc.undoStack()->undo();
        state.PauseTiming();
        doc.undoStack()->redo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UndoStepOnCapacityCard)->Unit(benchmark::kMicrosecond);

static void BM_RedoStepOnCapacityCard(benchmark::State &state)
{
    Document doc;
    doc.reset(CapacityModel());
    moveNode(doc, 0);
    doc.undoStack()->undo();
    for (auto _ : state) {
        doc.undoStack()->redo();
        state.PauseTiming();
        doc.undoStack()->undo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RedoStepOnCapacityCard)->Unit(benchmark::kMicrosecond);

static long residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * 4 : 0;
}

// The worst history: 100 steps, each on a card at capacity and each renaming every
// alter, so that no step shares a label with another. Reports the memory it holds.
static void BM_FullHistoryMemory(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        const long before = residentKiB();
        state.ResumeTiming();
        {
            Document doc;
            NetworkModel model = CapacityModel();
            for (int c = 2; c <= MaxCards; ++c)
                model.Cards.push_back(model.card(1));
            doc.reset(std::move(model));
            for (int step = 0; step < Document::UndoLimit; ++step) {
                const int card = 1 + step % MaxCards;
                ChangeCard(doc, card, QStringLiteral("Rename"), [&](NetworkModel &m) {
                    for (int n = 1; n <= MaxNodes; ++n)
                        m.card(card).Nodes[size_t(n)].Label = QStringLiteral("Step %1 alter %2").arg(step).arg(n);
                    return Status::success();
                });
            }
            state.counters["history_MiB"] = double(residentKiB() - before) / 1024.0;
        }
    }
}
BENCHMARK(BM_FullHistoryMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
