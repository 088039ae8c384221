#include "core/analysis/nodetable.h"

#include "core/map/geometry.h"

#include <QHash>

#include <algorithm>

namespace korvalo {

std::vector<NodeTableRow> NodeTableRows(const NetworkModel &model, int card, int mapWidth, int mapHeight)
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
        const QString sector = SectorNameOfNode(c, n, mapWidth, mapHeight);
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

} // namespace korvalo
