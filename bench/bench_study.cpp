#include "core/analysis/macros.h"
#include "core/egofile/egofile.h"

#include <QDir>
#include <QFileInfo>

#include <benchmark/benchmark.h>

using namespace korvalo;

namespace {

constexpr int StudySize = 10000;

// A study of ordinary interviews: 3 cards of 10 to 25 alters whose IDs partly carry over
// from card to card. Written once into the temporary folder and kept there, so that
// later runs (and korvalo-cli under /usr/bin/time) reuse it.
QString studyFolder()
{
    static const QString folder = [] {
        const QString path = QDir::temp().filePath(QStringLiteral("korvalo-bench-study-%1").arg(StudySize));
        QDir dir(path);
        if (dir.exists() && dir.entryList({QStringLiteral("*.ego")}, QDir::Files).size() == StudySize)
            return path;
        dir.mkpath(QStringLiteral("."));
        for (int e = 0; e < StudySize; ++e) {
            NetworkModel m;
            SetupEgo(m, QStringLiteral("Ego %1").arg(e), QStringLiteral("1970"), 1, {}, {},
                     QStringLiteral("E%1").arg(e));
            for (int c = 1; c <= 3; ++c) {
                AddCard(m, QStringLiteral("Wave %1").arg(c), 7, QStringLiteral("normal"), 2, {}, {}, {});
                const int alters = 10 + (e * 7 + c * 3) % 16;
                for (int n = 1; n <= alters; ++n) {
                    Node node;
                    node.ID = QStringLiteral("A%1").arg(n % 4 == 0 ? n + 100 * c : n);
                    node.Label = QStringLiteral("Alter %1").arg(n);
                    node.Angle = float((n * 37) % 360);
                    node.Distance = float(n % 10) / 10.0f;
                    AddNode(m, c, node);
                }
            }
            WriteEgoFile(m, dir.filePath(QStringLiteral("ego%1.ego").arg(e)));
        }
        return path;
    }();
    return folder;
}

// The continuity macro over the whole study, as korvalo-cli report --mode short runs it.
void BM_StudyContinuity(benchmark::State &state)
{
    const QStringList files = EgoFilesInFolder(studyFolder());
    for (auto _ : state) {
        qsizetype bytes = 0;
        const StudyWalkResult result = RunMacro(Macro::IDContinuity, files, MacroOptions(), StudyWalkOptions(),
                                                [&](const QString &, const MacroFileOutput &output) {
                                                    for (const QString &line : output.lines)
                                                        bytes += line.size();
                                                });
        benchmark::DoNotOptimize(bytes);
        if (result.delivered != StudySize)
            state.SkipWithError("not every file was read");
    }
}
BENCHMARK(BM_StudyContinuity)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
