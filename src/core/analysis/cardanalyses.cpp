#include "core/analysis/cardanalyses.h"

#include "core/map/geometry.h"

#include <QHash>

#include <algorithm>
#include <unordered_set>

namespace korvalo {

std::optional<DistancesToEgoResult> DistancesToEgo(const NetworkCard &card)
{
    const int nodes = card.NodeCount();
    if (nodes == 0)
        return std::nullopt;
    const int sectors = card.SectorCount();
    std::vector<float> sums(size_t(sectors) + 1, 0.0f);
    std::vector<int> counts(size_t(sectors) + 1, 0);
    float total = 0;
    for (int i = 1; i <= nodes; ++i) {
        const float distance = card.Nodes[size_t(i)].Distance;
        const int s = SectorOfNode(card, i);
        sums[size_t(s)] += distance;
        ++counts[size_t(s)];
        total += distance;
    }
    DistancesToEgoResult result;
    result.sectorMeans.reserve(size_t(sectors));
    for (int s = 1; s <= sectors; ++s) {
        const int n = counts[size_t(s)];
        result.sectorMeans.push_back(n ? ToSingle(double(sums[size_t(s)]) / n) : 0.0f);
    }
    result.all = double(total) / nodes;
    return result;
}

float StrongTieThreshold(int strongCircles, int circles, int mapRadius)
{
    // Without circles there is no ring to measure by; one circle keeps the threshold
    // finite and matches what a card of one circle shows.
    const int c = std::max(circles, 1);
    const int m = std::min(strongCircles, c);
    const double r = std::max(mapRadius, 1);
    const float product = ToSingle(r / c * (m + 0.5));
    return ToSingle(double(product) / r);
}

int StrongTieCount(const NetworkCard &card, int strongCircles, int circles, int mapRadius)
{
    const float threshold = StrongTieThreshold(strongCircles, circles, mapRadius);
    int count = 0;
    for (int i = 1; i <= card.NodeCount(); ++i) {
        if (card.Nodes[size_t(i)].Distance <= threshold)
            ++count;
    }
    return count;
}

float StrongTieRatio(const NetworkCard &card, int strongCircles, int circles, int mapRadius)
{
    if (card.NodeCount() == 0)
        return 0;
    return ToSingle(double(StrongTieCount(card, strongCircles, circles, mapRadius)) / card.NodeCount());
}

DistinctList DistinctIDs(const NetworkCard &card)
{
    DistinctList ids;
    for (int i = 1; i <= card.NodeCount(); ++i)
        ids.add(card.Nodes[size_t(i)].ID);
    return ids;
}

namespace {

// IDs compare as DistinctList compares them, by their case-folded form. Each ID is
// folded once, plain ASCII without a detour through the Unicode tables, and the folded
// texts go into sets hashed without a seed: that keeps the all-cards measures of an ego
// at capacity well under a tenth of a second.
QString folded(const QString &id)
{
    bool upper = false;
    for (QChar c : id) {
        if (c.unicode() >= 0x80)
            return id.toCaseFolded();
        upper = upper || (c.unicode() >= u'A' && c.unicode() <= u'Z');
    }
    if (!upper)
        return id;
    QString lower = id;
    for (QChar &c : lower) {
        if (c.unicode() >= u'A' && c.unicode() <= u'Z')
            c = QChar(char16_t(c.unicode() + 0x20));
    }
    return lower;
}

struct FoldedHash
{
    size_t operator()(const QString &key) const noexcept { return qHash(key); }
};
using IDSet = std::unordered_set<QString, FoldedHash>;

std::vector<QString> foldedIDs(const NetworkCard &card)
{
    std::vector<QString> keys;
    keys.reserve(size_t(card.NodeCount()));
    for (int i = 1; i <= card.NodeCount(); ++i)
        keys.push_back(folded(card.Nodes[size_t(i)].ID));
    return keys;
}

IDSet distinct(const std::vector<QString> &keys)
{
    return IDSet(keys.begin(), keys.end(), keys.size());
}

std::optional<float> shareOf(const IDSet &earlier, const IDSet &later)
{
    if (earlier.empty())
        return std::nullopt;
    int found = 0;
    for (const QString &key : earlier) {
        if (later.count(key))
            ++found;
    }
    return ToSingle(double(found) / earlier.size() * 100);
}

} // namespace

int DistinctIDCount(const NetworkCard &card)
{
    return int(distinct(foldedIDs(card)).size());
}

int DistinctIDCount(std::span<const NetworkCard> cards)
{
    IDSet ids;
    for (const NetworkCard &card : cards) {
        for (int i = 1; i <= card.NodeCount(); ++i)
            ids.insert(folded(card.Nodes[size_t(i)].ID));
    }
    return int(ids.size());
}

IDContinuityResult IDContinuity(std::span<const NetworkCard> cards)
{
    IDContinuityResult result;
    const int n = int(cards.size());
    if (n < 2)
        return result;
    std::vector<std::vector<QString>> keys;
    std::vector<IDSet> ids;
    keys.reserve(size_t(n));
    ids.reserve(size_t(n));
    for (const NetworkCard &card : cards) {
        keys.push_back(foldedIDs(card));
        ids.push_back(distinct(keys.back()));
    }

    for (int k = 1; k < n; ++k)
        result.pairs.push_back({k, k + 1, shareOf(ids[size_t(k - 1)], ids[size_t(k)])});
    for (int k = 3; k <= n; ++k)
        result.pairs.push_back({1, k, shareOf(ids[0], ids[size_t(k - 1)])});

    // The IDs still present after each card, and every ID met on the way.
    IDSet common = ids[0];
    IDSet any = ids[0];
    for (int k = 1; k < n; ++k) {
        IDSet kept;
        for (const QString &key : keys[size_t(k)]) {
            if (common.count(key))
                kept.insert(key);
            any.insert(key);
        }
        common = std::move(kept);
    }
    // As the last card spells and orders them.
    const NetworkCard &last = cards[size_t(n - 1)];
    const std::vector<QString> &lastKeys = keys[size_t(n - 1)];
    IDSet listed;
    for (size_t i = 0; i < lastKeys.size(); ++i) {
        if (common.count(lastKeys[i]) && listed.insert(lastKeys[i]).second)
            result.inAllCards.append(last.Nodes[i + 1].ID);
    }
    if (!common.empty())
        result.allPercent = ToSingle(double(common.size()) / any.size() * 100);
    return result;
}

DistinctList DistinctSectorNames(std::span<const NetworkCard> cards)
{
    DistinctList names;
    for (const NetworkCard &card : cards) {
        for (int s = 1; s <= card.SectorCount(); ++s)
            names.add(card.Sectors[size_t(s)].SectorName);
    }
    return names;
}

namespace {

// SectorByName for many names at once: exact name -> highest sector number.
QHash<QString, int> lastSectorByName(const NetworkCard &card)
{
    QHash<QString, int> byName;
    for (int s = 1; s <= card.SectorCount(); ++s)
        byName.insert(card.Sectors[size_t(s)].SectorName, s);
    return byName;
}

// NodesInSector for every sector of the card at once; index 0 counts the alters that
// lie in no sector.
std::vector<int> nodesPerSector(const NetworkCard &card)
{
    std::vector<int> counts(size_t(card.SectorCount()) + 1, 0);
    for (int i = 1; i <= card.NodeCount(); ++i)
        ++counts[size_t(SectorOfNode(card, i))];
    return counts;
}

} // namespace

SectorSizesResult SectorSizes(std::span<const NetworkCard> cards)
{
    SectorSizesResult result;
    result.names = DistinctSectorNames(cards).items();
    result.cells.assign(size_t(result.names.size()), std::vector<std::optional<double>>(cards.size()));
    for (size_t c = 0; c < cards.size(); ++c) {
        const QHash<QString, int> byName = lastSectorByName(cards[c]);
        for (qsizetype r = 0; r < result.names.size(); ++r) {
            const int s = byName.value(result.names[r], 0);
            if (s > 0)
                result.cells[size_t(r)][c] = double(SectorSpan(cards[c], s)) / 360 * 100;
        }
    }
    return result;
}

SectorNodeCountsResult SectorNodeCounts(std::span<const NetworkCard> cards)
{
    SectorNodeCountsResult result;
    result.names = DistinctSectorNames(cards).items();
    result.cells.assign(size_t(result.names.size()), std::vector<std::optional<int>>(cards.size()));
    result.totals.assign(cards.size(), 0);
    for (size_t c = 0; c < cards.size(); ++c) {
        const QHash<QString, int> byName = lastSectorByName(cards[c]);
        const std::vector<int> perSector = nodesPerSector(cards[c]);
        for (qsizetype r = 0; r < result.names.size(); ++r) {
            // A card without the name shows "-" and adds nothing: counting the alters
            // that lie in no sector here would add a sectorless card's every alter once
            // per name.
            const int s = byName.value(result.names[r], 0);
            if (s > 0) {
                result.cells[size_t(r)][c] = perSector[size_t(s)];
                result.totals[c] += perSector[size_t(s)];
            }
        }
    }
    return result;
}

std::vector<float> DominantSector(std::span<const NetworkCard> cards)
{
    std::vector<float> values;
    values.reserve(cards.size());
    for (const NetworkCard &card : cards) {
        float largest = 0;
        for (int s = 1; s <= card.SectorCount(); ++s)
            largest = std::max(largest, SectorSpan(card, s) / 360.0f);
        values.push_back(largest);
    }
    return values;
}

std::vector<int> NumberOfSectors(std::span<const NetworkCard> cards)
{
    std::vector<int> values;
    values.reserve(cards.size());
    for (const NetworkCard &card : cards)
        values.push_back(card.SectorCount());
    return values;
}

std::vector<int> DifferentIDs(std::span<const NetworkCard> cards)
{
    std::vector<int> values;
    values.reserve(cards.size());
    for (const NetworkCard &card : cards)
        values.push_back(DistinctIDCount(card));
    return values;
}

} // namespace korvalo
