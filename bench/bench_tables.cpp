#include "benchdata.h"

#include "core/analysis/studyexport.h"
#include "core/egofile/egofile.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

using namespace korvalo;

namespace {

constexpr int StudySize = 10000;

// A study of 10,000 ordinary interviews (three cards of 30 alters, 6 sectors and 25 lines
// each, as the measures benchmark has them). Written once into the temporary folder and
// kept, so that korvalo-cli export-tables can be timed on it under /usr/bin/time.
QString tablesStudyFolder()
{
    static const QString folder = [] {
        const QString path = QDir::temp().filePath(QStringLiteral("korvalo-bench-tables-%1").arg(StudySize));
        QDir dir(path);
        if (dir.exists() && dir.entryList({QStringLiteral("*.ego")}, QDir::Files).size() == StudySize)
            return path;
        dir.mkpath(QStringLiteral("."));
        NetworkModel ego = OrdinaryEgo();
        ego.Cards.resize(4);
        ego.CurrentCard = 1;
        for (int i = 0; i < StudySize; ++i) {
            ego.ego.EgoID = QStringLiteral("P%1").arg(i);
            WriteEgoFile(ego, dir.filePath(QStringLiteral("%1.ego").arg(i)));
        }
        return path;
    }();
    return folder;
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// korvalo-cli export-tables over the first N files of the study: read, rows made and
// written to three files. Run with 1,000 files first: the peak memory of the process must
// not grow for 10,000.
void BM_ExportTablesStudy(benchmark::State &state)
{
    const QStringList files = StudyFiles({tablesStudyFolder()}).mid(0, state.range(0));
    QTemporaryDir out;
    for (auto _ : state) {
        const StudyExportResult result = ExportStudyTables(files, out.path(), {});
        if (!result.written.ok() || result.walk.delivered != files.size())
            state.SkipWithError("the tables were not written");
    }
    state.counters["files"] = double(files.size());
    state.counters["alters_csv_MB"] = double(QFileInfo(QDir(out.path()).filePath(QStringLiteral("alters.csv"))).size()) / 1e6;
    state.counters["peak_rss_MB"] = peakMegabytes();
}
BENCHMARK(BM_ExportTablesStudy)->Arg(1000)->Arg(StudySize)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
