#include "core/sheets/import.h"

#include "core/map/geometry.h"
#include "core/map/transforms.h"
#include "core/sheets/importrows.h"

#include <cmath>
#include <optional>

namespace korvalo {

namespace {

const QStringList SymbolWords = {QStringLiteral("flash"), QStringLiteral("triangle"), QStringLiteral("box"),
                                 QStringLiteral("diamond")};
const QStringList NodeSizeWords = {QStringLiteral("normal"), QStringLiteral("smaller"), QStringLiteral("smallest"),
                                   QStringLiteral("bigger"), QStringLiteral("biggest")};

} // namespace

QStringList NodeImportResult::summary() const
{
    return {QString::number(nodes.size()) + QStringLiteral(" nodes added."),
            QString::number(lines.size()) + QStringLiteral(" lines added.")};
}

NodeImportResult ImportNodes(const Sheet &sheet, const CellRange &table, const NodeImportOptions &o,
                             const NetworkCard &card)
{
    NodeImportResult result;
    const QStringList headers = ColumnHeaders(sheet, table);
    ImportRowReader reader(sheet, table, headers, result.messages, o.decimalSeparator);
    if (!ColumnsInTable({o.id, o.label, o.role, o.sex, o.human, o.distance, o.groupSize, o.color, o.symbol,
                         o.nodeSize, o.memo1, o.memo2, o.lineValue, o.lineColor},
                        0, table, result.messages))
        return result;
    if (o.circleMode && o.circles < 1) {
        result.messages.push_back(TableMessage(ImportMessage::Error,
                                               QStringLiteral("\"Circles:\" needs at least one circle to place the nodes on.")));
        return result;
    }
    const int n = DataRows(sheet, table, std::max(0, o.rowsToIgnore), reader, result.messages);
    result.rowsRead = n;
    // All rows or none: the capacity is checked before anything is read.
    const int room = MaxNodes - card.NodeCount();
    if (n > room) {
        result.messages.push_back(TableMessage(
            ImportMessage::Error, QStringLiteral("The table has %1 data rows, but the card holds %2 nodes and room for only %3 more.")
                                      .arg(n)
                                      .arg(card.NodeCount())
                                      .arg(room)));
        return result;
    }
    result.nodes.reserve(size_t(n));
    float largest = 0;
    for (int k = 1; k <= n; ++k) {
        reader.row = std::max(0, o.rowsToIgnore) + k;
        Node node;
        node.ID = QString::number(k);
        node.Label = QStringLiteral("Node ") + QString::number(k);
        node.Sex = QStringLiteral("undefined");
        node.Human = QStringLiteral("TRUE");
        node.NodeSize = QStringLiteral("normal");
        node.Color = 1;
        node.Size = 1;
        bool empty = false;
        if (o.id > 0)
            node.ID = reader.text(o.id).value_or(QString());
        if (o.label > 0)
            node.Label = reader.text(o.label).value_or(QString());
        if (o.role > 0)
            node.Role = reader.text(o.role).value_or(QString());
        if (o.sex > 0) {
            const QString t = reader.text(o.sex).value_or(QString()).trimmed();
            const QString lower = t.toLower();
            if (lower == u"male" || lower == u"female" || lower == u"undefined")
                node.Sex = lower;
            else if (!t.isEmpty())
                reader.report(ImportMessage::Warning, o.sex, QStringLiteral("\"%1\" is not female, male or undefined; the sex stays undefined.").arg(t));
        }
        double distance = 0.5;
        if (o.distance > 0) {
            if (const auto v = reader.number(o.distance, &empty))
                distance = *v;
            else if (empty)
                reader.report(ImportMessage::Warning, o.distance, QStringLiteral("the cell is empty; the default is used."));
        }
        if (o.circleMode) {
            // The value is a circle number, placed on that circle of the card.
            const int circle = std::clamp(int(std::nearbyint(distance)), 1, o.circles);
            distance = CircleDistance(o.circles, circle);
        }
        node.Distance = float(distance);
        largest = std::max(largest, node.Distance);
        if (o.human > 0) {
            const QString t = reader.text(o.human).value_or(QString()).trimmed();
            if (!o.notHumanText.trimmed().isEmpty() && t.compare(o.notHumanText.trimmed(), Qt::CaseInsensitive) == 0)
                node.Human = QStringLiteral("FALSE");
        }
        if (o.groupSize > 0) {
            if (const auto v = reader.whole(o.groupSize, &empty)) {
                if (*v >= 1)
                    node.Size = *v;
                else
                    reader.report(ImportMessage::Error, o.groupSize, QStringLiteral("a group size is a count of at least 1, not %1.").arg(*v));
            }
        }
        if (o.color > 0) {
            if (const auto v = reader.whole(o.color, &empty)) {
                node.Color = *v;
                if (*v < 0 || *v > PaletteSize) {
                    node.Color = 1;
                    reader.report(ImportMessage::Warning, o.color, QStringLiteral("colour %1 is not one of 0 to %2; colour 1 is used.").arg(*v).arg(PaletteSize));
                }
            }
        }
        if (o.symbol > 0) {
            const QString t = reader.text(o.symbol).value_or(QString()).trimmed();
            const QString lower = t.toLower();
            if (SymbolWords.contains(lower))
                node.Symbol = lower;
            else if (!t.isEmpty() && lower != u"none")
                reader.report(ImportMessage::Warning, o.symbol, QStringLiteral("\"%1\" is no symbol (none, flash, triangle, box, diamond); the node gets none.").arg(t));
        }
        if (o.nodeSize > 0) {
            const QString t = reader.text(o.nodeSize).value_or(QString()).trimmed();
            const QString lower = t.toLower();
            if (NodeSizeWords.contains(lower))
                node.NodeSize = lower;
            else if (!t.isEmpty())
                reader.report(ImportMessage::Warning, o.nodeSize, QStringLiteral("\"%1\" is no node size (%2); normal is used.").arg(t, NodeSizeWords.join(QStringLiteral(", "))));
        }
        if (o.memo1 > 0)
            node.Memo1 = reader.text(o.memo1).value_or(QString());
        if (o.memo2 > 0)
            node.Memo2 = reader.text(o.memo2).value_or(QString());
        // Spread evenly around the ego; the last node lies at 360.
        node.Angle = float(std::nearbyint(double(k) * 360.0 / n));

        int value = 0, color = 0;
        if (o.lineValue > 0) {
            if (const auto v = reader.whole(o.lineValue, &empty))
                value = *v;
        }
        if (o.lineColor > 0) {
            if (const auto v = reader.whole(o.lineColor, &empty))
                color = (*v < 0 || *v > PaletteSize) ? 0 : *v;
        }
        result.nodes.push_back(std::move(node));
        if (value > 0)
            result.lines.push_back(Line{0, card.NodeCount() + k, value, color});
    }
    CheckLineRoom(card, result.lines.size(), result.messages);
    result.projectOutmost = largest > 1.2f;
    return result;
}

bool ApplyNodeImport(NetworkCard &card, const NodeImportResult &result)
{
    if (!result.ok() || card.NodeCount() + int(result.nodes.size()) > MaxNodes
        || card.LineCount() + int(result.lines.size()) > MaxLines)
        return false;
    const int first = card.NodeCount() + 1;
    for (const Line &line : result.lines) {
        if (line.B < first || line.B >= first + int(result.nodes.size()))
            return false; // computed for another state of the card
    }
    for (const Node &node : result.nodes)
        card.Nodes.push_back(node);
    for (const Line &line : result.lines)
        card.Lines.push_back(line);
    if (result.projectOutmost)
        ProjectOutmostNode(card);
    return true;
}

} // namespace korvalo
