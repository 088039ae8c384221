#include "core/sheets/import.h"

#include "core/sheets/importrows.h"

#include <QStringBuilder>

#include <optional>

namespace korvalo {

QStringList LineImportResult::summary() const
{
    return {QString::number(lines.size()) + QStringLiteral(" lines added.")};
}

LineImportResult ImportLines(const Sheet &sheet, const CellRange &table, const LineImportOptions &o,
                             const NetworkCard &card, const Ego &ego)
{
    LineImportResult result;
    const QStringList headers = ColumnHeaders(sheet, table);
    ImportRowReader reader(sheet, table, headers, result.messages, o.decimalSeparator);
    if (!ColumnsInTable({o.value, o.color}, 0, table, result.messages)
        || !ColumnsInTable({o.nodeA, o.nodeB}, 1, table, result.messages))
        return result;
    const int n = DataRows(sheet, table, std::max(0, o.rowsToIgnore), reader, result.messages);
    result.rowsRead = n;
    const QString egoKey = o.byId ? ego.EgoID : ego.Name;
    const QString what = o.byId ? QStringLiteral("ID") : QStringLiteral("label");
    for (int k = 1; k <= n; ++k) {
        reader.row = std::max(0, o.rowsToIgnore) + k;
        const int r = reader.sheetRow();
        const std::optional<QString> a = reader.text(o.nodeA);
        const std::optional<QString> b = reader.text(o.nodeB);
        if (!a || !b)
            continue;
        // The ego first, then every node in order: the last match wins. An empty cell
        // names nobody.
        auto find = [&](const QString &key, int column) {
            int found = -1, matches = 0;
            if (key.isEmpty())
                return found;
            if (key == egoKey) {
                found = 0;
                ++matches;
            }
            for (int i = 1; i <= card.NodeCount(); ++i) {
                const Node &node = card.Nodes[size_t(i)];
                if ((o.byId ? node.ID : node.Label) == key) {
                    found = i;
                    ++matches;
                }
            }
            if (matches > 1)
                reader.report(ImportMessage::Warning, column,
                              QStringLiteral("the %1 \"%2\" names %3 nodes; node %4 (the last) is used.").arg(what, key).arg(matches).arg(found));
            return found;
        };
        const int nodeA = find(*a, o.nodeA);
        const int nodeB = find(*b, o.nodeB);
        if ((nodeA == 0 || nodeB == 0) && o.ignoreEgo) {
            ImportMessage m = TableMessage(ImportMessage::Note, QStringLiteral("Line to Ego not added: ") % *a % u'-' % *b);
            m.row = r;
            result.messages.push_back(std::move(m));
            continue;
        }
        if (nodeA < 0 || nodeB < 0) {
            ImportMessage m = TableMessage(ImportMessage::Warning, QStringLiteral("Warning (no line added): Unknown node(s) in excel-line ") + QString::number(r));
            m.row = r;
            result.messages.push_back(std::move(m));
            continue;
        }
        if (nodeA == nodeB) {
            ImportMessage m = TableMessage(ImportMessage::Warning, QStringLiteral("Warning (no line added): Node A = Node B in excel-line ") + QString::number(r));
            m.row = r;
            result.messages.push_back(std::move(m));
            continue;
        }
        bool empty = false;
        int value = 1, color = 0;
        if (o.value > 0) {
            const std::optional<int> v = reader.whole(o.value, &empty);
            if (!v) {
                if (empty)
                    reader.report(ImportMessage::Warning, o.value, QStringLiteral("the cell is empty; the line gets value 1."));
                else
                    continue;
            } else if (*v <= 0) {
                reader.report(ImportMessage::Warning, o.value, QStringLiteral("a line value of %1 adds no line.").arg(*v));
                continue;
            } else {
                value = *v;
            }
        }
        if (o.color > 0) {
            if (const auto v = reader.whole(o.color, &empty))
                color = (*v < 0 || *v > PaletteSize) ? 0 : *v;
        }
        result.lines.push_back(Line{nodeA, nodeB, value, color});
        result.lineRows.push_back(r);
    }
    CheckLineRoom(card, result.lines.size(), result.messages);
    return result;
}

bool ApplyLineImport(NetworkCard &card, const LineImportResult &result)
{
    if (!result.ok() || card.LineCount() + int(result.lines.size()) > MaxLines)
        return false;
    for (const Line &line : result.lines) {
        if (line.A < 0 || line.B < 0 || line.A > card.NodeCount() || line.B > card.NodeCount())
            return false;
    }
    for (const Line &line : result.lines)
        card.Lines.push_back(line);
    return true;
}

} // namespace korvalo
