#pragma once

#include "core/analysis/study.h"
#include "core/model/networkmodel.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <span>
#include <vector>

// The directory macros: one analysis run over every ego file of a study, one result line
// (or a few) per file, and the same results as table rows for statistics programs. The
// Macro menu and korvalo-cli report both run them through RunMacro.

namespace korvalo {

enum class Macro {
    NumberOfNodes,
    StrongTies,
    StrongTiesRatio,
    DominantSector,
    NumberOfSectors,
    IDContinuity,
    IDContinuityMerged,
    MemoScan,
    Plausibility,
};

struct MacroInfo
{
    Macro macro;
    QString caption;     // the menu item
    QString name;        // as korvalo-cli report --analysis takes it
    bool strongCircles;  // asks for the number of strong circles first
    bool available;      // false while the identity tools it needs are missing
};
// Every macro once, in menu order. The memo scan's caption names the default keyword.
std::span<const MacroInfo> Macros();
const MacroInfo *FindMacro(Macro macro);
const MacroInfo *FindMacro(const QString &name);

struct MacroOptions
{
    int strongCircles = 2;
    int mapRadius = 356; // pixels; the strong-tie threshold is taken over it
    QChar separator = u'.';
    // The word the memo scan looks for: a whole word, in any letter case.
    QString keyword = QStringLiteral("ID");
};

// One row of a result table: leading cells, then groups that are padded to the widths
// MacroTableWidths gives for the largest card count of the study.
struct MacroRow
{
    QStringList lead;
    std::vector<QStringList> groups;
};

// What one file gives: its lines as the info window shows them, and its table rows.
struct MacroFileOutput
{
    QStringList lines;
    std::vector<MacroRow> rows;
    int cards = 0;
};

// The lines and rows of one file. Pure; safe on any thread.
MacroFileOutput MacroOnFile(Macro macro, const QString &path, const NetworkModel &model,
                            const MacroOptions &options);

// Whether a memo holds `keyword` as a whole word (bounded by non-letters, non-digits),
// ignoring case.
bool MemoMentions(const QString &memo, const QString &keyword);

// The header of the macro's table for a study whose largest ego has maxCards cards, and
// a row padded to it; cells are separated by tabs and never hold a tab or a line break.
QString MacroTableHeader(Macro macro, int maxCards);
QString MacroTableRow(Macro macro, const MacroRow &row, int maxCards);

// Runs the macro over files (StudyFiles order) with the study walk: deliver gets each
// file's output on the calling thread, in file order; files that cannot be read are in
// the result's failures.
StudyWalkResult RunMacro(Macro macro, const QStringList &files, const MacroOptions &options,
                         const StudyWalkOptions &walk,
                         const std::function<void(const QString &path, const MacroFileOutput &output)> &deliver);

} // namespace korvalo
