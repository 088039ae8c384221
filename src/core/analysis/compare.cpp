#include "core/analysis/compare.h"

#include "core/analysis/measures.h"
#include "core/map/geometry.h"
#include "core/model/textutil.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <deque>
#include <set>
#include <utility>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

// The key two IDs are matched by; empty for a blank ID, which matches nothing.
QString MatchKey(const QString &id)
{
    return IsBlank(id) ? QString() : id.toCaseFolded();
}

// Notes the IDs that `card` holds more than once.
void NoteRepeats(const NetworkCard &card, int number, QStringList &notes)
{
    QHash<QString, int> counts;
    QStringList order;
    QHash<QString, QString> firstForm;
    for (int i = 1; i <= card.NodeCount(); ++i) {
        const QString key = MatchKey(card.Nodes[size_t(i)].ID);
        if (key.isEmpty())
            continue;
        if (++counts[key] == 1) {
            order << key;
            firstForm.insert(key, card.Nodes[size_t(i)].ID);
        }
    }
    for (const QString &key : order) {
        const int n = counts.value(key);
        if (n > 1)
            notes << u"Card %1 holds the ID \"%2\" %3 times; they are matched in node order."_s.arg(
                QString::number(number), firstForm.value(key), QString::number(n));
    }
}

std::pair<int, int> Ordered(int a, int b)
{
    return a < b ? std::pair(a, b) : std::pair(b, a);
}

// The pairs of alters joined by a line on `card` whose both ends are in `keep` (node
// number -> number in the common numbering), in that numbering.
std::set<std::pair<int, int>> TiesAmong(const NetworkCard &card, const std::vector<int> &keep)
{
    std::set<std::pair<int, int>> ties;
    for (int l = 1; l <= card.LineCount(); ++l) {
        const Line &line = card.Lines[size_t(l)];
        if (line.A < 1 || line.B < 1 || line.A > card.NodeCount() || line.B > card.NodeCount() || line.A == line.B)
            continue;
        const int a = keep[size_t(line.A)];
        const int b = keep[size_t(line.B)];
        if (a > 0 && b > 0)
            ties.insert(Ordered(a, b));
    }
    return ties;
}

QString RingText(int ring)
{
    return ring > 0 ? QString::number(ring) : QString();
}

QString SignedDistance(float change)
{
    const QString text = FormatFixed(change, 3);
    return change > 0 && text != u"0.000" ? QStringLiteral("+") + text : text;
}

} // namespace

int AlterRing(const NetworkCard &card, int node)
{
    // A card without circles has one ring.
    return card.Circles > 0 ? RingOfDistance(card.Nodes[size_t(node)].Distance, card.Circles) : 1;
}

QString AlterSectorName(const NetworkCard &card, int node)
{
    const int sector = SectorOfNode(card, node);
    return sector > 0 ? card.Sectors[size_t(sector)].SectorName : QString();
}

CardComparison CompareCards(const NetworkModel &model, int from, int to)
{
    return CompareCards(model.card(from), model.card(to), from, to);
}

CardComparison CompareCards(const NetworkCard &from, const NetworkCard &to, int fromNumber, int toNumber)
{
    CardComparison result;
    result.from = fromNumber;
    result.to = toNumber;
    result.fromAlters = from.NodeCount();
    result.toAlters = to.NodeCount();
    NoteRepeats(from, fromNumber, result.repeatedIDs);
    NoteRepeats(to, toNumber, result.repeatedIDs);

    // The later card's nodes per ID, in node order, taken from the front as the earlier
    // card's nodes claim them.
    QHash<QString, std::deque<int>> waiting;
    waiting.reserve(to.NodeCount());
    for (int i = 1; i <= to.NodeCount(); ++i) {
        const QString key = MatchKey(to.Nodes[size_t(i)].ID);
        if (!key.isEmpty())
            waiting[key].push_back(i);
    }
    // Kept alters get one number in common (from 1) on both cards, for the ties.
    std::vector<int> keptFrom(from.Nodes.size(), 0);
    std::vector<int> keptTo(to.Nodes.size(), 0);
    result.alters.reserve(size_t(from.NodeCount() + to.NodeCount()));
    for (int i = 1; i <= from.NodeCount(); ++i) {
        const Node &node = from.Nodes[size_t(i)];
        ComparedAlter alter;
        alter.fromNode = i;
        alter.fromRing = AlterRing(from, i);
        alter.fromSector = AlterSectorName(from, i);
        const QString key = MatchKey(node.ID);
        auto found = key.isEmpty() ? waiting.end() : waiting.find(key);
        if (found != waiting.end() && !found->empty()) {
            const int j = found->front();
            found->pop_front();
            const Node &later = to.Nodes[size_t(j)];
            alter.change = AlterChange::Kept;
            alter.id = later.ID;
            alter.toNode = j;
            alter.toRing = AlterRing(to, j);
            alter.toSector = AlterSectorName(to, j);
            alter.distanceChange = ToSingle(double(later.Distance) - node.Distance);
            ++result.kept;
            keptFrom[size_t(i)] = keptTo[size_t(j)] = result.kept;
        } else {
            alter.change = AlterChange::Lost;
            alter.id = node.ID;
            ++result.lost;
        }
        result.alters.push_back(std::move(alter));
    }
    for (int j = 1; j <= to.NodeCount(); ++j) {
        if (keptTo[size_t(j)] > 0)
            continue;
        ComparedAlter alter;
        alter.change = AlterChange::New;
        alter.id = to.Nodes[size_t(j)].ID;
        alter.toNode = j;
        alter.toRing = AlterRing(to, j);
        alter.toSector = AlterSectorName(to, j);
        result.alters.push_back(std::move(alter));
        ++result.added;
    }

    const int all = result.kept + result.lost + result.added;
    if (result.fromAlters > 0)
        result.stability = double(result.kept) / result.fromAlters;
    if (all > 0) {
        result.turnover = double(result.lost + result.added) / all;
        result.jaccard = double(result.kept) / all;
    }

    const std::set<std::pair<int, int>> before = TiesAmong(from, keptFrom);
    const std::set<std::pair<int, int>> after = TiesAmong(to, keptTo);
    for (const auto &tie : before) {
        if (after.count(tie))
            ++result.tiesKept;
        else
            ++result.tiesLost;
    }
    result.tiesNew = int(after.size()) - result.tiesKept;
    return result;
}

AltersAcrossCardsTable AltersAcrossCards(std::span<const NetworkCard> cards)
{
    AltersAcrossCardsTable table;
    table.headings << u"ID"_s;
    QHash<QString, int> rowOf;
    for (size_t c = 0; c < cards.size(); ++c) {
        const NetworkCard &card = cards[c];
        table.headings << card.ID;
        for (int i = 1; i <= card.NodeCount(); ++i) {
            const QString &id = card.Nodes[size_t(i)].ID;
            const QString key = MatchKey(id);
            if (key.isEmpty())
                continue;
            auto found = rowOf.find(key);
            if (found == rowOf.end()) {
                found = rowOf.insert(key, int(table.rows.size()));
                QStringList row{id};
                row.reserve(qsizetype(cards.size()) + 1);
                for (size_t k = 0; k < cards.size(); ++k)
                    row << QString();
                table.rows.push_back(std::move(row));
            }
            QString &cell = table.rows[size_t(*found)][qsizetype(c) + 1];
            if (!cell.isEmpty())
                cell += u'/';
            cell += QString::number(AlterRing(card, i));
        }
    }
    return table;
}

QString AlterChangeName(AlterChange change)
{
    switch (change) {
    case AlterChange::Kept:
        return u"kept"_s;
    case AlterChange::Lost:
        return u"lost"_s;
    case AlterChange::New:
        return u"new"_s;
    }
    return {};
}

QStringList ComparisonText(const CardComparison &c, const NetworkModel &model)
{
    QStringList lines;
    const auto cardName = [&](int n) {
        return model.hasCard(n) ? u"card %1 \"%2\""_s.arg(n).arg(model.card(n).ID) : u"card %1"_s.arg(n);
    };
    lines << u"%1: %2 -> %3"_s.arg(model.ego.EgoID, cardName(c.from), cardName(c.to));
    lines << u"alters\t%1 -> %2 (size change %3%4)"_s.arg(c.fromAlters)
                 .arg(c.toAlters)
                 .arg(c.sizeChange() > 0 ? u"+"_s : QString())
                 .arg(c.sizeChange());
    lines << u"kept\t%1"_s.arg(c.kept) << u"lost\t%1"_s.arg(c.lost) << u"new\t%1"_s.arg(c.added);
    lines << u"stability\t%1"_s.arg(FormatMeasure(c.stability));
    lines << u"turnover\t%1"_s.arg(FormatMeasure(c.turnover));
    lines << u"jaccard\t%1"_s.arg(FormatMeasure(c.jaccard));
    lines << u"ties between kept alters\tkept %1, lost %2, new %3"_s.arg(c.tiesKept).arg(c.tiesLost).arg(c.tiesNew);
    for (const ComparedAlter &a : c.alters) {
        QString line = AlterChangeName(a.change) % u'\t' % a.id;
        if (a.change == AlterChange::Kept) {
            line += u"\tring %1 -> %2\tsector %3 -> %4\tdistance %5"_s.arg(a.fromRing)
                        .arg(a.toRing)
                        .arg(a.fromSector, a.toSector, SignedDistance(a.distanceChange));
        } else if (a.change == AlterChange::Lost) {
            line += u"\tring %1\tsector %2"_s.arg(a.fromRing).arg(a.fromSector);
        } else {
            line += u"\tring %1\tsector %2"_s.arg(a.toRing).arg(a.toSector);
        }
        lines << line;
    }
    for (const QString &note : c.repeatedIDs)
        lines << u"note\t"_s + note;
    return lines;
}

QStringList ComparedAlterColumns()
{
    return {u"change"_s,      u"id"_s,        u"ring_from"_s,      u"ring_to"_s,
            u"sector_from"_s, u"sector_to"_s, u"distance_change"_s};
}

QStringList ComparedAlterRow(const ComparedAlter &a)
{
    return {AlterChangeName(a.change),
            a.id,
            RingText(a.fromRing),
            RingText(a.toRing),
            a.fromSector,
            a.toSector,
            a.change == AlterChange::Kept ? SignedDistance(a.distanceChange) : u"NA"_s};
}

QStringList ComparisonSummaryColumns()
{
    return {u"ego_id"_s, u"card_from"_s, u"card_to"_s,   u"kept"_s,   u"lost"_s,
            u"new"_s,    u"stability"_s, u"turnover"_s, u"jaccard"_s};
}

QStringList ComparisonSummaryRow(const QString &egoID, const CardComparison &c)
{
    return {egoID,
            QString::number(c.from),
            QString::number(c.to),
            QString::number(c.kept),
            QString::number(c.lost),
            QString::number(c.added),
            FormatMeasure(c.stability),
            FormatMeasure(c.turnover),
            FormatMeasure(c.jaccard)};
}

std::vector<CardComparison> ConsecutiveComparisons(const NetworkModel &model)
{
    std::vector<CardComparison> result;
    for (int c = 1; c < model.CardCount(); ++c)
        result.push_back(CompareCards(model, c, c + 1));
    return result;
}

} // namespace korvalo
