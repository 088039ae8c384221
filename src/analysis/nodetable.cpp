#include "analysis/nodetable.h"

#include <QHash>

#include <algorithm>

int SectorOfAngle(const NetworkCard &card, double angle)
{
    int best = 0;
    double bestDiff = 0;
    for (int s = 1; s <= card.SectorCount(); ++s) {
        const double sectorAngle = card.Sectors[size_t(s)].SectorAngle;
        double d = angle - sectorAngle;
        if (angle < sectorAngle)
            d = angle + 360.0 - sectorAngle;
        if (best == 0 || d < bestDiff) {
            best = s;
            bestDiff = d;
        }
    }
    return best;
}

std::vector<NodeTableRow> NodeTableRows(const NetworkModel &model, int card, const MapAngleOfNode &mapAngle)
{
    std::vector<NodeTableRow> rows;
    if (card < 1 || card > model.CardCount())
        return rows;
    const NetworkCard &c = model.card(card);
    QHash<QString, int> idUses;
    for (int n = 1; n <= c.NodeCount(); ++n)
        ++idUses[c.Nodes[size_t(n)].ID];
    rows.reserve(size_t(c.NodeCount()));
    for (int n = 1; n <= c.NodeCount(); ++n) {
        const Node &node = c.Nodes[size_t(n)];
        QString sector;
        if (c.SectorCount() > 0) {
            const int s = SectorOfAngle(c, mapAngle ? mapAngle(node) : double(node.Angle));
            sector = c.Sectors[size_t(s)].SectorName;
        }
        rows.push_back({node.ID, node.Label, node.Role, QString::number(node.Color), QString::number(node.Size),
                        node.Human, sector, idUses.value(node.ID) > 1 ? QStringLiteral("*") : QString()});
    }
    return rows;
}

void SortNodeTable(std::vector<NodeTableRow> &rows, int column)
{
    if (column < 0 || column >= int(NodeTableHeadings.size()))
        return;
    static const QString empty = QStringLiteral("zzzzz");
    auto key = [column](const NodeTableRow &row) -> const QString & {
        const QString &cell = row.at(column);
        return cell.isEmpty() ? empty : cell;
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const NodeTableRow &a, const NodeTableRow &b) {
        return QString::compare(key(a), key(b), Qt::CaseSensitive) < 0;
    });
}

QStringList NodeTableText(const std::vector<NodeTableRow> &rows)
{
    QStringList lines;
    lines.reserve(qsizetype(rows.size()) + 1);
    lines.append(NodeTableHeadings.join(u'\t'));
    for (const NodeTableRow &row : rows)
        lines.append(row.join(u'\t'));
    return lines;
}
