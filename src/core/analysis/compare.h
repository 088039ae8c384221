#pragma once

#include "core/model/networkmodel.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <span>
#include <vector>

// Change between two network cards of one ego: which alters were kept, lost or are new,
// how the kept ones moved, and the figures that sum it up. Alters are matched by ID
// without regard to letter case, as the analyses count IDs. An ID that a card holds more
// than once is matched in node order (the first with the first, ...) and reported; a
// blank ID names nobody and is never matched. Nothing here writes text except the
// formatting functions at the end, and nothing changes the cards.

namespace korvalo {

// The ring an alter lies in (RingOfDistance); a card without circles has one ring.
int AlterRing(const NetworkCard &card, int node);
// The name of the sector holding the alter (SectorOfNode); "" without sectors.
QString AlterSectorName(const NetworkCard &card, int node);

enum class AlterChange { Kept, Lost, New };

struct ComparedAlter
{
    AlterChange change = AlterChange::Kept;
    QString id;       // as the later card writes it; as the earlier one for a lost alter
    int fromNode = 0; // node numbers on the two cards; 0 where the alter is absent
    int toNode = 0;
    int fromRing = 0; // AlterRing; 0 where absent
    int toRing = 0;
    QString fromSector; // AlterSectorName; "" where absent
    QString toSector;
    // Kept alters: later Distance minus earlier Distance (fractions of the map radius;
    // negative means closer to the ego).
    float distanceChange = 0;
};

struct CardComparison
{
    int from = 0; // card numbers (from 1) as the caller gave them
    int to = 0;
    int fromAlters = 0; // alters on each card, |K| and |M|
    int toAlters = 0;
    int kept = 0;
    int lost = 0;
    int added = 0; // the new alters
    // kept / |K|; none when the earlier card has no alters.
    std::optional<double> stability;
    // (lost + new) / |K u M| and kept / |K u M|; none when neither card has alters.
    std::optional<double> turnover;
    std::optional<double> jaccard;
    int sizeChange() const { return toAlters - fromAlters; }
    // Lines between two kept alters (lines to the ego do not count), a pair of alters
    // counting once however many lines join it.
    int tiesKept = 0;
    int tiesLost = 0;
    int tiesNew = 0;
    // Kept and lost alters in the earlier card's node order, then the new ones in the
    // later card's node order.
    std::vector<ComparedAlter> alters;
    // One sentence per ID that a card holds more than once.
    QStringList repeatedIDs;
};

// Compares card `from` (the earlier) with card `to` of the model; both must exist.
CardComparison CompareCards(const NetworkModel &model, int from, int to);
// The same for cards held outside a model; `fromNumber` and `toNumber` only label them.
CardComparison CompareCards(const NetworkCard &from, const NetworkCard &to, int fromNumber, int toNumber);

// --- Alters across cards -------------------------------------------------------------

// One row per distinct alter ID over all cards (the form met first, in order of first
// appearance), one cell per card: the alter's ring there, blank when the card does not
// hold the ID; an ID a card holds more than once shows every ring, "2/4".
struct AltersAcrossCardsTable
{
    QStringList headings; // "ID", then the cards' IDs
    std::vector<QStringList> rows;
};
AltersAcrossCardsTable AltersAcrossCards(std::span<const NetworkCard> cards);

// --- Text -----------------------------------------------------------------------------

// "kept", "lost" or "new".
QString AlterChangeName(AlterChange change);

// The human-readable report of one comparison: a heading, the figures, the ties, then
// one line per alter, and the notes on repeated IDs.
QStringList ComparisonText(const CardComparison &comparison, const NetworkModel &model);

// The columns and rows of the tab-separated forms. Ratios have three decimals, "NA"
// where they are not defined.
QStringList ComparedAlterColumns();
QStringList ComparedAlterRow(const ComparedAlter &alter);
QStringList ComparisonSummaryColumns();
QStringList ComparisonSummaryRow(const QString &egoID, const CardComparison &comparison);

// The comparisons of each pair of consecutive cards (1>2, 2>3, ...); none with fewer
// than two cards.
std::vector<CardComparison> ConsecutiveComparisons(const NetworkModel &model);

} // namespace korvalo
