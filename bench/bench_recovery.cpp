#include "core/edit/recovery.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace korvalo;

// What a recovery copy costs: the snapshot taken on the UI thread, and the whole write
// (file text, safe replacement of the ego file and of its side file) that the worker does.
namespace {

// `cards` cards of 8 sectors and `alters` alters with filled-in texts, a line per alter.
NetworkModel interviewEgo(int cards, int alters)
{
    NetworkModel m;
    SetupEgo(m, QStringLiteral("Recovery Ego"), QStringLiteral("1970"), 1, {}, {}, QStringLiteral("RE-1"));
    for (int c = 1; c <= cards; ++c) {
        AddCard(m, QStringLiteral("Interview %1").arg(c), 5, QStringLiteral("normal"), 3,
                QStringLiteral("Interviewer"), QStringLiteral("2026-12-08"), QStringLiteral("Memo"));
        for (int s = 0; s < 8; ++s)
            AddSector(m, c, QStringLiteral("Sector %1").arg(s), 1 + s, float(s) * 45.0f);
        for (int n = 1; n <= alters; ++n) {
            Node node;
            node.ID = QString::number(1000 + n);
            node.Label = QStringLiteral("Alter number %1").arg(n);
            node.Angle = float(n) * 0.36f;
            node.Distance = float(n % 100) / 80.0f;
            node.Color = 1 + n % 8;
            node.Size = 1;
            node.Role = QStringLiteral("friend");
            node.Sex = n % 2 ? QStringLiteral("female") : QStringLiteral("male");
            node.Human = QStringLiteral("TRUE");
            node.NodeSize = QStringLiteral("normal");
            node.Memo1 = QStringLiteral("Met at the sports club in %1").arg(1990 + n % 30);
            AddNode(m, c, node);
        }
        for (int l = 1; l <= alters; ++l)
            AddLine(m, l, (l * 37) % alters + 1, 1 + l % 5, l % 9);
    }
    return m;
}

const NetworkModel &ego(int cards)
{
    static const NetworkModel ordinary = interviewEgo(5, 30);
    static const NetworkModel full = interviewEgo(MaxCards, MaxNodes);
    return cards == 5 ? ordinary : full;
}

} // namespace

// On the UI thread: the snapshot handed to the worker.
static void BM_RecoverySnapshot(benchmark::State &state)
{
    const NetworkModel &model = ego(int(state.range(0)));
    for (auto _ : state) {
        NetworkModel snapshot = model;
        benchmark::DoNotOptimize(snapshot.CardCount());
    }
}
BENCHMARK(BM_RecoverySnapshot)->Arg(5)->Arg(MaxCards)->Unit(benchmark::kMillisecond)->UseRealTime();

// On the worker: the whole copy, as it would cost on the UI thread.
static void BM_WriteRecoveryCopy(benchmark::State &state)
{
    const NetworkModel &model = ego(int(state.range(0)));
    QTemporaryDir dir;
    Result<RecoveryCopy> copy = NewRecoveryCopy(dir.path());
    if (!copy) {
        state.SkipWithError("no copy");
        return;
    }
    for (auto _ : state) {
        if (!WriteRecoveryCopy(copy.value(), model, QStringLiteral("/home/user/ego.ego"),
                               QDateTime::currentDateTimeUtc()))
            state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_WriteRecoveryCopy)->Arg(5)->Arg(MaxCards)->Unit(benchmark::kMillisecond)->UseRealTime();
