#pragma once

#include "core/analysis/cardanalyses.h"

#include <QString>
#include <QStringList>

#include <span>

// The text of the card analyses: the lines the Analysis and Info menus write into the
// info window, and the one-line summaries per ego that runs over many files print.
// Numbers with decimals go through FormatFixed with the given separator; table cells
// are separated by tabs.

namespace korvalo {

// `lang`: the long report (as a rule an empty line, a heading, the card IDs, the
// values); `kurz`: one line per ego that starts with its identification; `nix`: nothing.
enum class ReportMode { lang, kurz, nix };

enum class Analysis {
    DistancesToEgo,   // current card
    StrongTies,       // current card (lang), every card (kurz)
    StrongTiesRatio,  // current card (lang), every card (kurz)
    IDContinuity,
    SectorSizes,
    SectorNodeCounts,
    DominantSector,
    NumberOfSectors,
    DifferentIDs,
    DifferentIDsCard, // current card
    DifferentIDsAll,
};

struct AnalysisInfo
{
    Analysis analysis;
    QString name;          // as korvalo-cli report takes it: "distances-to-ego", ...
    bool currentCard;      // works on the current card
    bool strongCircles;    // needs the number of strong circles
    bool shortForm;        // has a `kurz` line
};
// Every analysis once, in menu order.
std::span<const AnalysisInfo> Analyses();
const AnalysisInfo *FindAnalysis(const QString &name);

// What the report is made of besides the ego and its cards.
struct ReportRequest
{
    ReportMode mode = ReportMode::lang;
    QChar separator = u'.';
    int currentCard = 0;   // from 1; 0 = none
    int strongCircles = 2; // k of the strong-tie measures
    int mapRadius = 356;   // pixels; the strong-tie threshold is taken over it
};

// The message the long continuity report shows instead of lines when the ego holds
// fewer than two cards.
inline const QString NotEnoughCards = QStringLiteral("Error: Not enough Cards!");

// The lines of one analysis, exactly as the info window shows them, without line ends.
// Nothing for mode nix; nothing for a current-card analysis when the current card is 0
// or beyond the cards; nothing for the continuity with fewer than two cards (the long
// form shows NotEnoughCards then). A mode an analysis has no form for counts as lang.
QStringList ReportLines(Analysis analysis, const Ego &ego, std::span<const NetworkCard> cards,
                        const ReportRequest &request);

} // namespace korvalo
