#include "core/egofile/egofile.h"
#include "core/egofile/egofields.h"
#include "core/egofile/safefile.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <unordered_set>
#include <vector>

#include <benchmark/benchmark.h>

using namespace korvalo;

namespace {

// An ego at capacity: `cards` cards of 50 sectors, 1000 nodes with filled-in texts and
// 1000 lines each. At 100 cards the file is about 57 MB.
NetworkModel fullModel(int cards)
{
    NetworkModel m;
    SetupEgo(m, QStringLiteral("Benchmark Ego"), QStringLiteral("1960"), 1, QStringLiteral("first field"),
             QStringLiteral("second field"), QStringLiteral("BE-1"));
    for (int c = 1; c <= cards; ++c) {
        AddCard(m, QStringLiteral("Interview %1").arg(c), 7, QStringLiteral("normal"), 3, QStringLiteral("Interviewer"),
                QStringLiteral("2026-12-08"), QStringLiteral("A memo about this interview"));
        for (int s = 0; s < MaxSectors; ++s)
            AddSector(m, c, QStringLiteral("Sector %1").arg(s), 1 + s % 8, float(s) * 7.2f);
        for (int n = 1; n <= MaxNodes; ++n) {
            Node node;
            node.ID = QString::number(1000 + n);
            node.Label = QStringLiteral("Alter number %1").arg(n);
            node.Angle = float(n) * 0.36f;
            node.Distance = float(n % 100) / 80.0f;
            node.Color = 1 + n % 8;
            node.Size = n % 10 == 0 ? 3 : 1;
            node.Role = QStringLiteral("friend");
            node.Sex = n % 2 ? QStringLiteral("female") : QStringLiteral("male");
            node.Human = QStringLiteral("TRUE");
            node.Symbol = n % 4 == 0 ? QStringLiteral("flash") : QString();
            node.NodeSize = QStringLiteral("normal");
            node.Memo1 = QStringLiteral("Met at the sports club in %1").arg(1990 + n % 30);
            node.Memo2 = QStringLiteral("Neighbour");
            node.Merger = n % 50 == 0 ? QStringLiteral("|%1|").arg(n + 1) : QString();
            AddNode(m, c, node);
        }
        for (int l = 1; l <= MaxLines; ++l)
            AddLine(m, l % 7 == 0 ? 0 : l, (l * 37) % MaxNodes + 1, 1 + l % 5, l % 9);
    }
    return m;
}

const NetworkModel &modelWithCards(int cards)
{
    static NetworkModel half = fullModel(50);
    static NetworkModel full = fullModel(100);
    return cards == 50 ? half : full;
}

// Writes the ego of `cards` cards to path; returns the file's size.
qsizetype writeModelFile(const QString &path, int cards)
{
    const TextBuffer text = EgoFileText(modelWithCards(cards));
    ReplaceFileSafely(path, text);
    return qsizetype(text.size());
}

// The fastest of the repetitions: on a shared machine the least disturbed run.
double fastest(const std::vector<double> &times)
{
    return *std::min_element(times.begin(), times.end());
}

// The memory a model holds: its tables and every text block once (texts the reader
// shares between records count once), each block with malloc's overhead.
double modelMegabytes(const NetworkModel &m)
{
    std::unordered_set<const void *> seen;
    size_t bytes = sizeof(NetworkModel) + m.Cards.capacity() * sizeof(NetworkCard);
    auto block = [](size_t n) { return (n + 8 + 15) / 16 * 16; };
    auto text = [&](const QString &s) {
        if (s.capacity() == 0 || !seen.insert(s.constData()).second) // literals take no block
            return;
        bytes += block(16 + size_t(s.capacity() + 1) * sizeof(QChar));
    };
    auto texts = [&](const auto &fields, const auto &record) {
        for (const auto &f : fields) {
            if (f.kind == FieldKind::Text)
                text(record.*f.text);
        }
    };
    texts(EgoFields, m.ego);
    for (int c = 1; c <= m.CardCount(); ++c) {
        const NetworkCard &card = m.card(c);
        texts(CardFields, card);
        bytes += block(card.Nodes.capacity() * sizeof(Node)) + block(card.Sectors.capacity() * sizeof(Sector))
                 + block(card.Lines.capacity() * sizeof(Line));
        for (const Sector &s : card.Sectors)
            texts(SectorFields, s);
        for (const Node &n : card.Nodes)
            texts(NodeFields, n);
    }
    return double(bytes) / 1e6;
}

void setBytes(benchmark::State &state, qsizetype bytes)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
}

} // namespace

// The time to get the file's bytes from disk (page cache): the floor for any reader.
static void BM_ReadBytesFromDisk(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("full.ego"));
    const qsizetype size = writeModelFile(path, int(state.range(0)));
    for (auto _ : state) {
        QFile in(path);
        in.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(in.readAll().size());
    }
    setBytes(state, size);
}
BENCHMARK(BM_ReadBytesFromDisk)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", fastest);

static void BM_ReadEgoFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("full.ego"));
    const qsizetype size = writeModelFile(path, int(state.range(0)));
    for (auto _ : state) {
        const Result<NetworkModel> m = ReadEgoFile(path, ReadOptions{u'.', [](const QString &) {}, {}});
        if (!m) {
            state.SkipWithError("read failed");
            break;
        }
        benchmark::DoNotOptimize(m->CardCount());
    }
    setBytes(state, size);
    state.counters["MB"] = double(size) / 1e6;
    if (const Result<NetworkModel> m = ReadEgoFile(path))
        state.counters["modelMB"] = modelMegabytes(m.value());
}
BENCHMARK(BM_ReadEgoFile)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", fastest);

// Writing without the read-back check: the file's text, then the safe replacement.
static void BM_WriteWithoutCheck(benchmark::State &state)
{
    const NetworkModel &m = modelWithCards(int(state.range(0)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plain.ego"));
    size_t size = 0;
    for (auto _ : state) {
        const TextBuffer text = EgoFileText(m);
        size = text.size();
        if (!ReplaceFileSafely(path, text))
            state.SkipWithError("write failed");
    }
    setBytes(state, qsizetype(size));
}
BENCHMARK(BM_WriteWithoutCheck)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", fastest);

static void BM_EgoFileText(benchmark::State &state)
{
    const NetworkModel &m = modelWithCards(int(state.range(0)));
    size_t size = 0;
    for (auto _ : state) {
        const TextBuffer text = EgoFileText(m);
        size = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    setBytes(state, qsizetype(size));
}
BENCHMARK(BM_EgoFileText)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", fastest);

// A whole save: bytes, temporary file, read-back check, replacing the target.
static void BM_WriteEgoFile(benchmark::State &state)
{
    NetworkModel m = modelWithCards(int(state.range(0)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("save.ego"));
    for (auto _ : state) {
        if (!WriteEgoFile(m, path))
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_WriteEgoFile)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", fastest);
