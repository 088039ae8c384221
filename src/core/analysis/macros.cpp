#include "core/analysis/macros.h"

#include "core/analysis/analysisreport.h"
#include "core/analysis/cardanalyses.h"
#include "core/analysis/identity.h"
#include "core/model/textutil.h"

#include <QFileInfo>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace korvalo {

namespace {

const std::array<MacroInfo, 9> MacroTable = {{
    {Macro::NumberOfNodes, u"Number of Nodes"_s, u"different-ids"_s, false, true},
    {Macro::StrongTies, u"Strong/Weak Ties"_s, u"strong-ties"_s, true, true},
    {Macro::StrongTiesRatio, u"Strong/Weak Ties %"_s, u"strong-ties-ratio"_s, true, true},
    {Macro::DominantSector, u"Dominant Sector"_s, u"dominant-sector"_s, false, true},
    {Macro::NumberOfSectors, u"Number of Sectors"_s, u"number-of-sectors"_s, false, true},
    {Macro::IDContinuity, u"ID Continuity All Cards"_s, u"id-continuity"_s, false, true},
    {Macro::IDContinuityMerged, u"ID Continuity All Cards (incl. Unsure Node Merger)"_s,
     u"id-continuity-merged"_s, false, true},
    {Macro::MemoScan, u"\"ID\" in Memos"_s, u"memo-scan"_s, false, true},
    {Macro::Plausibility, u"ID/Label Plausibility"_s, u"plausibility"_s, false, true},
}};

// A table cell: tabs and line breaks would split the row.
QString cell(QString text)
{
    for (QChar &c : text) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    }
    return text;
}

bool perCard(Macro macro)
{
    switch (macro) {
    case Macro::NumberOfNodes:
    case Macro::StrongTies:
    case Macro::StrongTiesRatio:
    case Macro::DominantSector:
    case Macro::NumberOfSectors:
        return true;
    default:
        return false;
    }
}

bool continuity(Macro macro)
{
    return macro == Macro::IDContinuity || macro == Macro::IDContinuityMerged;
}

// Widths of a row's groups for a study whose largest ego has m cards: one column per
// card, or the continuity's neighbour pairs, first-card pairs and the all-cards share.
std::vector<int> groupWidths(Macro macro, int m)
{
    if (perCard(macro))
        return {m};
    if (continuity(macro))
        return {std::max(0, m - 1), std::max(0, m - 2), 1};
    return {};
}

// One value per card of the per-card macros, as the short lines print them.
QStringList perCardValues(Macro macro, std::span<const NetworkCard> cards, const MacroOptions &options)
{
    QStringList values;
    const QChar sep = options.separator;
    switch (macro) {
    case Macro::NumberOfNodes:
        for (int v : DifferentIDs(cards))
            values << QString::number(v);
        break;
    case Macro::StrongTies:
    case Macro::StrongTiesRatio:
        // Each card's threshold comes from its own circles.
        for (const NetworkCard &card : cards) {
            const double v = macro == Macro::StrongTiesRatio
                                 ? double(StrongTieRatio(card, options.strongCircles, card.Circles, options.mapRadius))
                                 : double(StrongTieCount(card, options.strongCircles, card.Circles, options.mapRadius));
            values << FormatFixed(v, 3, sep);
        }
        break;
    case Macro::DominantSector:
        for (float v : DominantSector(cards))
            values << FormatFixed(v, 3, sep);
        break;
    case Macro::NumberOfSectors:
        for (int v : NumberOfSectors(cards))
            values << QString::number(v);
        break;
    default:
        break;
    }
    return values;
}

void continuityOutput(const QString &path, const NetworkModel &model, const MacroOptions &options,
                      MacroFileOutput &out)
{
    const std::span<const NetworkCard> cards = CardsOf(model);
    ReportRequest request;
    request.mode = ReportMode::kurz;
    request.separator = options.separator;
    out.lines = ReportLines(Analysis::IDContinuity, model.ego, cards, request);
    MacroRow row{{cell(QFileInfo(path).fileName()), cell(model.ego.EgoID)}, {{}, {}, {}}};
    if (cards.size() >= 2) {
        const IDContinuityResult result = IDContinuity(cards);
        for (const ContinuityPair &pair : result.pairs) {
            const QString value = pair.percent ? FormatFixed(*pair.percent, 1, options.separator) : QString();
            row.groups[pair.from == 1 && pair.to > 2 ? 1 : 0] << value;
        }
        row.groups[2] << FormatFixed(result.allPercent, 1, options.separator);
    }
    out.rows.push_back(std::move(row));
}

// Every memo that mentions the keyword is a row; the lines keep to one Memo1 per file,
// with a Memo2 listed only while exactly one Memo1 hit has been counted.
void memoScan(const QString &path, const NetworkModel &model, const MacroOptions &options, MacroFileOutput &out)
{
    int hits = 0;
    const std::span<const NetworkCard> cards = CardsOf(model);
    for (size_t c = 0; c < cards.size(); ++c) {
        const NetworkCard &card = cards[c];
        for (int n = 1; n <= card.NodeCount(); ++n) {
            const Node &node = card.Nodes[size_t(n)];
            auto row = [&](const QString &field, const QString &memo) {
                out.rows.push_back({{cell(QFileInfo(path).fileName()), QString::number(c + 1), cell(node.ID),
                                     field, cell(memo)},
                                    {}});
            };
            if (MemoMentions(node.Memo1, options.keyword)) {
                ++hits;
                if (hits == 1)
                    out.lines << QString() << path << node.Memo1;
                row(u"Memo1"_s, node.Memo1);
            }
            if (MemoMentions(node.Memo2, options.keyword)) {
                if (hits == 1)
                    out.lines << QString() << path << node.Memo2;
                row(u"Memo2"_s, node.Memo2);
            }
        }
    }
}

} // namespace

std::span<const MacroInfo> Macros()
{
    return MacroTable;
}

const MacroInfo *FindMacro(Macro macro)
{
    for (const MacroInfo &info : MacroTable) {
        if (info.macro == macro)
            return &info;
    }
    return nullptr;
}

const MacroInfo *FindMacro(const QString &name)
{
    for (const MacroInfo &info : MacroTable) {
        if (info.name == name)
            return &info;
    }
    return nullptr;
}

bool MemoMentions(const QString &memo, const QString &keyword)
{
    if (keyword.isEmpty())
        return false;
    auto wordChar = [](QChar c) { return c.isLetterOrNumber() || c == u'_'; };
    qsizetype from = 0;
    while (true) {
        const qsizetype at = memo.indexOf(keyword, from, Qt::CaseInsensitive);
        if (at < 0)
            return false;
        const qsizetype end = at + keyword.size();
        if ((at == 0 || !wordChar(memo.at(at - 1))) && (end == memo.size() || !wordChar(memo.at(end))))
            return true;
        from = at + 1;
    }
}

MacroFileOutput MacroOnFile(Macro macro, const QString &path, const NetworkModel &model, const MacroOptions &options)
{
    MacroFileOutput out;
    const std::span<const NetworkCard> cards = CardsOf(model);
    out.cards = int(cards.size());
    if (perCard(macro)) {
        const QStringList values = perCardValues(macro, cards, options);
        QString line = model.ego.Name + u'\t' + model.ego.EgoID + u'\t';
        for (const QString &v : values)
            line += v + u'\t';
        out.lines << line;
        QStringList cells;
        for (const QString &v : values)
            cells << v;
        out.rows.push_back({{cell(QFileInfo(path).fileName()), cell(model.ego.Name), cell(model.ego.EgoID)}, {cells}});
    } else if (macro == Macro::IDContinuity) {
        continuityOutput(path, model, options, out);
    } else if (macro == Macro::IDContinuityMerged) {
        // The file's unsure node mergers are merged in this copy only: the file is not
        // changed.
        NetworkModel merged = model;
        MergeUnsureNodeMergings(merged, ReportMode::nix, {});
        continuityOutput(path, merged, options, out);
    } else if (macro == Macro::Plausibility) {
        out.lines = IDLabelPlausibility(model);
        for (const QString &line : out.lines)
            out.rows.push_back({{cell(QFileInfo(path).fileName()), cell(line)}, {}});
    } else if (macro == Macro::MemoScan) {
        memoScan(path, model, options, out);
    }
    return out;
}

QString MacroTableHeader(Macro macro, int maxCards)
{
    QStringList cells;
    if (perCard(macro)) {
        cells << u"file"_s << u"name"_s << u"ego_id"_s;
        for (int c = 1; c <= maxCards; ++c)
            cells << u"card%1"_s.arg(c);
    } else if (continuity(macro)) {
        cells << u"file"_s << u"ego_id"_s;
        for (int c = 1; c < maxCards; ++c)
            cells << u"%1>%2"_s.arg(c).arg(c + 1);
        for (int c = 3; c <= maxCards; ++c)
            cells << u"1>%1"_s.arg(c);
        cells << u"all"_s;
    } else if (macro == Macro::Plausibility) {
        cells << u"file"_s << u"finding"_s;
    } else if (macro == Macro::MemoScan) {
        cells << u"file"_s << u"card"_s << u"node_id"_s << u"field"_s << u"memo"_s;
    }
    return cells.join(u'\t');
}

QString MacroTableRow(Macro macro, const MacroRow &row, int maxCards)
{
    QStringList cells = row.lead;
    const std::vector<int> widths = groupWidths(macro, maxCards);
    for (size_t g = 0; g < widths.size(); ++g) {
        const QStringList group = g < row.groups.size() ? row.groups[g] : QStringList();
        for (int i = 0; i < widths[g]; ++i)
            cells << (i < group.size() ? group[i] : QString());
    }
    return cells.join(u'\t');
}

StudyWalkResult RunMacro(Macro macro, const QStringList &files, const MacroOptions &options,
                         const StudyWalkOptions &walk,
                         const std::function<void(const QString &path, const MacroFileOutput &output)> &deliver)
{
    return WalkStudy<MacroFileOutput>(
        files, walk,
        [macro, &options](const QString &path, const NetworkModel &model) {
            return MacroOnFile(macro, path, model, options);
        },
        [&deliver](const QString &path, MacroFileOutput &output) { deliver(path, output); });
}

} // namespace korvalo
