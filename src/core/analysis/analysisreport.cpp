#include "core/analysis/analysisreport.h"

#include <array>

using namespace Qt::StringLiterals;

namespace korvalo {

namespace {

const std::array<AnalysisInfo, 11> AnalysisTable = {{
    {Analysis::DistancesToEgo, u"distances-to-ego"_s, true, false, false},
    {Analysis::StrongTies, u"strong-ties"_s, true, true, true},
    {Analysis::StrongTiesRatio, u"strong-ties-ratio"_s, true, true, true},
    {Analysis::IDContinuity, u"id-continuity"_s, false, false, true},
    {Analysis::SectorSizes, u"sector-sizes"_s, false, false, false},
    {Analysis::SectorNodeCounts, u"sector-node-counts"_s, false, false, true},
    {Analysis::DominantSector, u"dominant-sector"_s, false, false, true},
    {Analysis::NumberOfSectors, u"number-of-sectors"_s, false, false, true},
    {Analysis::DifferentIDs, u"different-ids"_s, false, false, true},
    {Analysis::DifferentIDsCard, u"different-ids-card"_s, true, false, false},
    {Analysis::DifferentIDsAll, u"different-ids-all"_s, false, false, false},
}};

// Each card's ID followed by a tab.
QString cardLine(std::span<const NetworkCard> cards)
{
    QString line;
    for (const NetworkCard &card : cards)
        line += card.ID + u'\t';
    return line;
}

// "Name<tab>EgoID<tab>" in front of the per-card values of a short line.
QString egoColumns(const Ego &ego)
{
    return ego.Name + u'\t' + ego.EgoID + u'\t';
}

QStringList distancesToEgo(const NetworkCard &card, QChar separator)
{
    const std::optional<DistancesToEgoResult> result = DistancesToEgo(card);
    if (!result)
        return {};
    QStringList lines{QString(), u"Average Node Distance to Ego:"_s};
    for (int s = 1; s <= card.SectorCount(); ++s) {
        lines << FormatFixed(result->sectorMeans[size_t(s - 1)], 2, separator) + u' '
                     + card.Sectors[size_t(s)].SectorName;
    }
    lines << FormatFixed(result->all, 2, separator) + u" ALL"_s;
    return lines;
}

// The strong-tie line of the current card, or the short line over every card. Each card
// is measured by its own circles: the rings are what the interviewee placed alters
// against, and they may differ from card to card.
QStringList strongTies(bool ratio, const Ego &ego, std::span<const NetworkCard> cards,
                       const ReportRequest &request)
{
    const int k = request.strongCircles;
    auto measure = [&](const NetworkCard &card) {
        return ratio ? double(StrongTieRatio(card, k, card.Circles, request.mapRadius))
                     : double(StrongTieCount(card, k, card.Circles, request.mapRadius));
    };
    if (request.mode == ReportMode::kurz) {
        QString line = egoColumns(ego);
        for (const NetworkCard &card : cards)
            line += FormatFixed(measure(card), 3, request.separator) + u'\t';
        return {line};
    }
    if (request.currentCard < 1 || size_t(request.currentCard) > cards.size())
        return {};
    const NetworkCard &current = cards[size_t(request.currentCard - 1)];
    if (ratio)
        return {FormatFixed(measure(current), 2, request.separator)};
    return {u"Number of Strong Ties (k=%1): %2"_s.arg(k).arg(int(measure(current)))};
}

QStringList idContinuity(const Ego &ego, std::span<const NetworkCard> cards, ReportMode mode,
                         QChar separator)
{
    if (cards.size() < 2)
        return {};
    const IDContinuityResult result = IDContinuity(cards);
    // A pair whose earlier card has no alters has no share to show.
    auto percent = [separator](const std::optional<float> &p) {
        return p ? FormatFixed(*p, 1, separator) : u"-"_s;
    };
    if (mode == ReportMode::kurz) {
        QString line = ego.EgoID;
        for (const ContinuityPair &pair : result.pairs)
            line += u"\t[%1>%2]: "_s.arg(pair.from).arg(pair.to) + percent(pair.percent);
        line += u"\t[all]:"_s + FormatFixed(result.allPercent, 1, separator);
        return {line};
    }
    QStringList lines{QString(), u"Continuity of Nodes:"_s};
    for (const ContinuityPair &pair : result.pairs) {
        lines << (pair.percent ? percent(pair.percent) + u'%' : u"-"_s) + u"   "_s
                     + cards[size_t(pair.from - 1)].ID + u" -> "_s + cards[size_t(pair.to - 1)].ID;
    }
    QString all = FormatFixed(result.allPercent, 1, separator) + u"% in all Cards -> "_s;
    for (const QString &id : result.inAllCards)
        all += id + u"  "_s;
    lines << all;
    return lines;
}

QStringList sectorSizes(std::span<const NetworkCard> cards, QChar separator)
{
    const SectorSizesResult result = SectorSizes(cards);
    QStringList lines{u"Sector Sizes:"_s, cardLine(cards)};
    for (qsizetype r = 0; r < result.names.size(); ++r) {
        QString row;
        for (const std::optional<double> &cell : result.cells[size_t(r)])
            row += (cell ? FormatFixed(*cell, 1, separator) + u" %"_s : u"-"_s) + u'\t';
        lines << row + result.names[r];
    }
    return lines;
}

QStringList sectorNodeCounts(const Ego &ego, std::span<const NetworkCard> cards, ReportMode mode)
{
    const SectorNodeCountsResult result = SectorNodeCounts(cards);
    QString totals;
    for (int total : result.totals)
        totals += QString::number(total) + u'\t';
    if (mode == ReportMode::kurz)
        return {ego.Name + u'\t' + totals};
    QStringList lines{u"Number of Nodes in Sectors:"_s, cardLine(cards)};
    for (qsizetype r = 0; r < result.names.size(); ++r) {
        QString row;
        for (const std::optional<int> &cell : result.cells[size_t(r)])
            row += (cell ? QString::number(*cell) : u"-"_s) + u'\t';
        lines << row + result.names[r];
    }
    lines << totals + u"ALL"_s;
    return lines;
}

// The per-card value line shared by the dominant sector, the number of sectors and the
// number of different IDs.
template <typename Values, typename Format>
QStringList perCard(const QString &heading, const Ego &ego, std::span<const NetworkCard> cards,
                    ReportMode mode, const Values &values, Format format)
{
    QStringList lines;
    QString line;
    if (mode == ReportMode::kurz)
        line = egoColumns(ego);
    else
        lines << QString() << heading << cardLine(cards);
    for (const auto &value : values)
        line += format(value) + u'\t';
    lines << line;
    return lines;
}

QString integer(int value)
{
    return QString::number(value);
}

} // namespace

std::span<const AnalysisInfo> Analyses()
{
    return AnalysisTable;
}

const AnalysisInfo *FindAnalysis(const QString &name)
{
    for (const AnalysisInfo &info : AnalysisTable) {
        if (info.name == name)
            return &info;
    }
    return nullptr;
}

QStringList ReportLines(Analysis analysis, const Ego &ego, std::span<const NetworkCard> cards,
                        const ReportRequest &request)
{
    if (request.mode == ReportMode::nix)
        return {};
    const ReportMode mode = request.mode;
    const QChar separator = request.separator;
    const bool hasCurrent = request.currentCard >= 1 && size_t(request.currentCard) <= cards.size();
    switch (analysis) {
    case Analysis::DistancesToEgo:
        return hasCurrent ? distancesToEgo(cards[size_t(request.currentCard - 1)], separator) : QStringList();
    case Analysis::StrongTies:
    case Analysis::StrongTiesRatio:
        return strongTies(analysis == Analysis::StrongTiesRatio, ego, cards, request);
    case Analysis::IDContinuity:
        return idContinuity(ego, cards, mode, separator);
    case Analysis::SectorSizes:
        return sectorSizes(cards, separator);
    case Analysis::SectorNodeCounts:
        return sectorNodeCounts(ego, cards, mode);
    case Analysis::DominantSector:
        return perCard(u"Dominant Sektor:"_s, ego, cards, mode, DominantSector(cards),
                       [separator](float v) { return FormatFixed(v, 3, separator); });
    case Analysis::NumberOfSectors:
        return perCard(u"Number of Sectors:"_s, ego, cards, mode, NumberOfSectors(cards), integer);
    case Analysis::DifferentIDs:
        return perCard(u"Number of Different IDs:"_s, ego, cards, mode, DifferentIDs(cards), integer);
    case Analysis::DifferentIDsCard:
        if (!hasCurrent)
            return {};
        return {QString(), u"Number of different IDs in current card: "_s
                               + QString::number(DistinctIDCount(cards[size_t(request.currentCard - 1)]))};
    case Analysis::DifferentIDsAll:
        return {QString(), u"Number of different IDs in all cards: "_s + QString::number(DistinctIDCount(cards))};
    }
    return {};
}

} // namespace korvalo
