#pragma once

#include "core/analysis/study.h"
#include "core/model/networkmodel.h"
#include "core/model/status.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Studies out to the statistics programs: three CSV tables in the layout R's egor reads
// (one row per ego and card, per alter, per line between alters) and GraphML (one graph
// per card). Every card of an ego is an ego network of its own, keyed by the egoID
// "<EgoID>_<card>". Positions are also given as x = d·cos θ, y = −d·sin θ (d the
// distance as a fraction of the outermost circle's radius, θ the angle in degrees), so
// that a plot with y upwards looks like the map, whose angles turn clockwise on the screen.
//
// Names, labels, memos and the interviewer are private: they are written only with
// includePrivate, otherwise their columns (and GraphML values) stay empty. IDs are kept.

namespace korvalo {

struct StudyExportOptions
{
    bool includePrivate = false;
};

// The file names of the three tables inside the folder they are written to.
inline constexpr const char *EgosTableName = "egos.csv";
inline constexpr const char *AltersTableName = "alters.csv";
inline constexpr const char *AatiesTableName = "aaties.csv";

// The header cells of each table.
QStringList EgosTableColumns();
QStringList AltersTableColumns();
QStringList AatiesTableColumns();

// One table line as CSV (RFC 4180): comma-separated, a cell holding a comma, a quote or a
// line break quoted with its quotes doubled, UTF-8, ended by CR LF.
QByteArray CsvRecord(const QStringList &cells);

// The ego's key in the tables: its EgoID, or fallbackID when it has none.
QString EgoKey(const NetworkModel &model, const QString &fallbackID);

// The CSV lines (without headers) one ego gives each table.
struct EgoTableRows
{
    QString key; // EgoKey
    QByteArray egos;
    QByteArray alters;
    QByteArray aaties;
};
EgoTableRows EgoTables(const NetworkModel &model, const QString &fallbackID, const StudyExportOptions &options);

// How an export over files ended: what the walk delivered and could not read, warnings
// for the reader of the tables (an EgoID used by two files), and whether the output was
// written (a failure names the file; a cancelled walk writes nothing).
struct StudyExportResult
{
    StudyWalkResult walk;
    // Egos that gave nothing: the GraphML of card N of an ego without it.
    std::vector<StudyFailure> skipped;
    QStringList warnings;
    Status written = Status::success();
};

// Writes egos.csv, alters.csv and aaties.csv into `folder` (which must exist) for every
// ego of `files`, in file order; an ego without EgoID is keyed by its file's name without
// extension. Rows are streamed to the files as the egos arrive, so memory does not grow
// with the number of files. Each file is replaced safely (written beside it, flushed,
// then moved over it): on failure or cancel the tables there before are left as they were.
StudyExportResult ExportStudyTables(const QStringList &files, const QString &folder,
                                    const StudyExportOptions &options, const StudyWalkOptions &walk = {});
// The same for one ego in memory.
Status ExportEgoTables(const NetworkModel &model, const QString &fallbackID, const QString &folder,
                       const StudyExportOptions &options);

// GraphML of the cards of egos: one undirected graph per card (card > 0: that card alone;
// an ego without it gives no graph), its alters and the ego as nodes (node keys label,
// node_id, sector, sex, distance, angle, x, y, is_ego), its lines as edges (weight = line
// size, color = line colour's palette index), and the graph's egoID, ego_id, card and
// card_label as graph data. Graph and node ids are "g1", "g1n0" (the ego), "g1n1", ...,
// numbered through the file. Written safely to `path` as the tables are.
StudyExportResult ExportStudyGraphML(const QStringList &files, const QString &path, int card,
                                     const StudyExportOptions &options, const StudyWalkOptions &walk = {});
Status ExportEgoGraphML(const NetworkModel &model, const QString &fallbackID, const QString &path, int card,
                        const StudyExportOptions &options);

} // namespace korvalo
