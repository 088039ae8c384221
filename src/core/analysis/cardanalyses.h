#pragma once

#include "core/model/networkmodel.h"
#include "core/model/textutil.h"

#include <QStringList>

#include <optional>
#include <span>
#include <vector>

// Structural measures of an ego's network cards. Every function reads the records it is
// given and returns values; none writes text (analysisreport.h does that) or changes
// anything. `cards` holds cards 1..n of the ego at positions 0..n-1. Alter nodes are
// counted whatever their Human, Size, Symbol or Selected value; the ego's node 0 never.
// Distinct IDs and sector names ignore letter case and keep the form met first; a
// sector is matched against such a name exactly.

namespace korvalo {

// Cards 1..CardCount of a model, as the measures take them.
inline std::span<const NetworkCard> CardsOf(const NetworkModel &model)
{
    return std::span<const NetworkCard>(model.Cards).subspan(1);
}

// --- Distances ----------------------------------------------------------------------

struct DistancesToEgoResult
{
    std::vector<float> sectorMeans; // per sector 1..SectorCount at 0..; 0 for an empty one
    // Mean over all alters: the single-precision sum divided in double and kept so, as
    // the report rounds it (a single would turn 0.33499999 into 0.33500001).
    double all = 0;
};

// Mean Distance of the card's alters per sector (by SectorOfNode) and over all of them,
// summed in single precision. Nothing when the card has no alters.
std::optional<DistancesToEgoResult> DistancesToEgo(const NetworkCard &card);

// The distance up to which an alter is a strong tie when `strongCircles` circles count
// as strong on a map of `circles` circles and `mapRadius` pixels: the distance of the
// next circle outwards, (min(k, circles) + 0.5) / circles, with the steps rounded to
// single precision over the pixel radius as the map does. A card with fewer than one
// circle counts as having one.
float StrongTieThreshold(int strongCircles, int circles, int mapRadius);
// Alters of the card with Distance <= the threshold. The threshold comes from
// `circles`; the reports pass each card's own Circles.
int StrongTieCount(const NetworkCard &card, int strongCircles, int circles, int mapRadius);
// StrongTieCount / NodeCount as single; 0 for a card without alters.
float StrongTieRatio(const NetworkCard &card, int strongCircles, int circles, int mapRadius);

// --- IDs ----------------------------------------------------------------------------

DistinctList DistinctIDs(const NetworkCard &card);
int DistinctIDCount(const NetworkCard &card);
// Distinct IDs over the alters of all cards together.
int DistinctIDCount(std::span<const NetworkCard> cards);

struct ContinuityPair
{
    int from = 0; // card numbers, from 1
    int to = 0;
    // Per cent of the earlier card's distinct IDs found on the later card, as single;
    // none when the earlier card has no alters.
    std::optional<float> percent;
};

struct IDContinuityResult
{
    // 1>2, 2>3, ..., (n-1)>n, then 1>3, 1>4, ..., 1>n.
    std::vector<ContinuityPair> pairs;
    QStringList inAllCards; // IDs on every card, as and in the order the last card has them
    float allPercent = 0;   // |inAllCards| / |IDs on any card| * 100; 0 when none is on all
};

// Needs at least two cards; with fewer the result has no pairs and no IDs.
IDContinuityResult IDContinuity(std::span<const NetworkCard> cards);

// --- Sectors ------------------------------------------------------------------------

// Distinct SectorName values over all cards, cards in order, sectors in table order.
DistinctList DistinctSectorNames(std::span<const NetworkCard> cards);

struct SectorSizesResult
{
    QStringList names;
    // cells[name][card]: SectorSpan / 360 * 100 of the card's last sector with exactly
    // that name; none when the card has no such sector.
    std::vector<std::vector<std::optional<double>>> cells;
};
SectorSizesResult SectorSizes(std::span<const NetworkCard> cards);

struct SectorNodeCountsResult
{
    QStringList names;
    // cells[name][card]: alters in the card's last sector with exactly that name; none
    // when the card has no such sector.
    std::vector<std::vector<std::optional<int>>> cells;
    // Per card: the sum of its cells, the alters that lie in a sector named in the list
    // (a card's sector whose name matches only in letter case is not counted).
    std::vector<int> totals;
};
SectorNodeCountsResult SectorNodeCounts(std::span<const NetworkCard> cards);

// Per card: the largest SectorSpan / 360 in single precision; 0 without sectors.
std::vector<float> DominantSector(std::span<const NetworkCard> cards);
// Per card: SectorCount.
std::vector<int> NumberOfSectors(std::span<const NetworkCard> cards);
// Per card: DistinctIDCount.
std::vector<int> DifferentIDs(std::span<const NetworkCard> cards);

} // namespace korvalo
