#include "core/sheets/import.h"
#include "core/map/transforms.h"

#include "core/map/geometry.h"

#include <QLocale>
#include <QStringBuilder>

#include <cmath>
#include <optional>

namespace korvalo {
namespace {

// Line breaks inside a cell become one blank: labels, IDs and memos are one line each.
QString oneLine(const QString &text)
{
    if (!text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    out.replace(u'\r', u' ');
    out.replace(u'\n', u' ');
    return out;
}

QString trimmedHeader(const QString &text)
{
    // spaces and control characters at both ends
    qsizetype from = 0, to = text.size();
    while (from < to && text[from].unicode() <= 0x20)
        ++from;
    while (to > from && text[to - 1].unicode() <= 0x20)
        --to;
    return text.mid(from, to - from);
}

// Reads the cells of one data row and collects what is wrong with them.
class RowReader
{
public:
    RowReader(const Sheet &sheet, const CellRange &table, const QStringList &headers,
              std::vector<ImportMessage> &messages, QChar separator)
        : m_sheet(sheet), m_table(table), m_headers(headers), m_messages(messages), m_separator(separator)
    {
    }

    int row = 0;
    int errors = 0;

    const Cell &cell(int column) const
    {
        return m_sheet.at(m_table.firstRow + row - 1, m_table.firstColumn + column - 1);
    }
    int sheetRow() const { return m_table.firstRow + row - 1; }

    void report(ImportMessage::Kind kind, int column, const QString &what)
    {
        ImportMessage m;
        m.kind = kind;
        m.row = sheetRow();
        m.column = column > 0 ? m_headers.value(column - 1) : QString();
        const QString where = column > 0 ? QStringLiteral("Row %1, %2 (cell %3): ")
                                               .arg(m.row)
                                               .arg(m.column, CellName(m.row, m_table.firstColumn + column - 1))
                                         : QStringLiteral("Row %1: ").arg(m.row);
        m.text = where + what;
        if (kind == ImportMessage::Error)
            ++errors;
        m_messages.push_back(std::move(m));
    }

    // The displayed text, or nothing (with an error) when the cell cannot be read.
    std::optional<QString> text(int column)
    {
        const Cell &c = cell(column);
        if (!usable(c, column))
            return std::nullopt;
        return oneLine(c.display);
    }

    // A number from the raw value of a number cell or from a text in the current decimal
    // notation; nothing for an empty cell (`*empty` set) or a fault (reported).
    std::optional<double> number(int column, bool *empty)
    {
        *empty = false;
        const Cell &c = cell(column);
        if (!usable(c, column))
            return std::nullopt;
        if (c.kind == CellKind::Number)
            return c.number;
        const QString t = c.display.trimmed();
        if (t.isEmpty()) {
            *empty = true;
            return std::nullopt;
        }
        if (c.kind == CellKind::Text) {
            QString normal = t;
            if (m_separator != u'.') {
                if (normal.contains(u'.') && normal.contains(m_separator))
                    normal.clear();
                normal.replace(m_separator, u'.');
            }
            bool ok = false;
            const double v = QLocale::c().toDouble(normal, &ok);
            if (ok && std::isfinite(v))
                return v;
        }
        report(ImportMessage::Error, column, QStringLiteral("\"%1\" is not a number.").arg(c.display));
        return std::nullopt;
    }

    std::optional<int> whole(int column, bool *empty)
    {
        const std::optional<double> v = number(column, empty);
        if (!v)
            return std::nullopt;
        if (std::fabs(*v - std::round(*v)) > 1e-9 || std::fabs(*v) > 1e9) {
            report(ImportMessage::Error, column, QStringLiteral("\"%1\" is not a whole number.").arg(cell(column).display));
            return std::nullopt;
        }
        return int(std::lround(*v));
    }

    bool rowEmpty() const
    {
        for (int c = 1; c <= m_table.columns(); ++c) {
            const Cell &x = cell(c);
            if (x.kind != CellKind::Empty || x.formula)
                return false;
        }
        return true;
    }

private:
    bool usable(const Cell &c, int column)
    {
        if (c.formula && !c.hasResult) {
            report(ImportMessage::Error, column,
                   QStringLiteral("the cell holds a formula whose result the file does not store; "
                                  "open the workbook in a spreadsheet program, save it and try again."));
            return false;
        }
        if (c.kind == CellKind::Error) {
            report(ImportMessage::Error, column, QStringLiteral("the cell shows the error %1.").arg(c.display));
            return false;
        }
        return true;
    }

    const Sheet &m_sheet;
    const CellRange &m_table;
    const QStringList &m_headers;
    std::vector<ImportMessage> &m_messages;
    QChar m_separator;
};

ImportMessage tableMessage(ImportMessage::Kind kind, const QString &text)
{
    ImportMessage m;
    m.kind = kind;
    m.text = text;
    return m;
}

bool hasError(const std::vector<ImportMessage> &messages)
{
    for (const ImportMessage &m : messages) {
        if (m.kind == ImportMessage::Error)
            return true;
    }
    return false;
}

// The data rows: after the ignored rows and before the first empty row. Says so when
// rows are left out behind an empty row.
int dataRows(const Sheet &sheet, const CellRange &table, int rowsToIgnore, RowReader &reader,
             std::vector<ImportMessage> &messages)
{
    int last = table.rows();
    for (int k = rowsToIgnore + 1; k <= table.rows(); ++k) {
        reader.row = k;
        if (reader.rowEmpty()) {
            last = k - 1;
            break;
        }
    }
    const int emptyRow = table.firstRow + last; // worksheet row after the last data row
    if (sheet.lastFilledRow() > emptyRow) {
        messages.push_back(tableMessage(ImportMessage::Note,
                                        QStringLiteral("Row %1 is empty: the rows after it are not read.").arg(emptyRow)));
    }
    return std::max(0, last - rowsToIgnore);
}

const QStringList SymbolWords = {QStringLiteral("flash"), QStringLiteral("triangle"), QStringLiteral("box"),
                                 QStringLiteral("diamond")};
const QStringList NodeSizeWords = {QStringLiteral("normal"), QStringLiteral("smaller"), QStringLiteral("smallest"),
                                   QStringLiteral("bigger"), QStringLiteral("biggest")};

} // namespace

QStringList ColumnHeaders(const Sheet &sheet, const CellRange &table)
{
    QStringList headers;
    for (int c = table.firstColumn; c <= table.lastColumn; ++c) {
        const QString h = trimmedHeader(oneLine(sheet.at(table.firstRow, c).display));
        headers.append(h.isEmpty() ? QStringLiteral("(Column %1)").arg(c - table.firstColumn + 1) : h);
    }
    return headers;
}

bool NodeImportResult::ok() const
{
    return !hasError(messages);
}

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
    RowReader reader(sheet, table, headers, result.messages, o.decimalSeparator);
    for (int column : {o.id, o.label, o.role, o.sex, o.human, o.distance, o.groupSize, o.color, o.symbol,
                       o.nodeSize, o.memo1, o.memo2, o.lineValue, o.lineColor}) {
        if (column < 0 || column > table.columns()) {
            result.messages.push_back(tableMessage(
                ImportMessage::Error, QStringLiteral("The table has no column %1; it has %2.").arg(column).arg(table.columns())));
            return result;
        }
    }
    if (o.circleMode && o.circles < 1) {
        result.messages.push_back(tableMessage(ImportMessage::Error,
                                               QStringLiteral("\"Circles:\" needs at least one circle to place the nodes on.")));
        return result;
    }
    const int n = dataRows(sheet, table, std::max(0, o.rowsToIgnore), reader, result.messages);
    result.rowsRead = n;
    // All rows or none: the capacity is checked before anything is read.
    const int room = MaxNodes - card.NodeCount();
    if (n > room) {
        result.messages.push_back(tableMessage(
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
    if (card.LineCount() + int(result.lines.size()) > MaxLines) {
        result.messages.push_back(tableMessage(
            ImportMessage::Error, QStringLiteral("The import would add %1 lines, but the card holds %2 lines and room for only %3 more.")
                                      .arg(result.lines.size())
                                      .arg(card.LineCount())
                                      .arg(MaxLines - card.LineCount())));
    }
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

bool LineImportResult::ok() const
{
    return !hasError(messages);
}

QStringList LineImportResult::summary() const
{
    return {QString::number(lines.size()) + QStringLiteral(" lines added.")};
}

LineImportResult ImportLines(const Sheet &sheet, const CellRange &table, const LineImportOptions &o,
                             const NetworkCard &card, const Ego &ego)
{
    LineImportResult result;
    const QStringList headers = ColumnHeaders(sheet, table);
    RowReader reader(sheet, table, headers, result.messages, o.decimalSeparator);
    for (int column : {o.value, o.color}) {
        if (column < 0 || column > table.columns()) {
            result.messages.push_back(tableMessage(
                ImportMessage::Error, QStringLiteral("The table has no column %1; it has %2.").arg(column).arg(table.columns())));
            return result;
        }
    }
    for (int column : {o.nodeA, o.nodeB}) {
        if (column < 1 || column > table.columns()) {
            result.messages.push_back(tableMessage(
                ImportMessage::Error, QStringLiteral("The table has no column %1; it has %2.").arg(column).arg(table.columns())));
            return result;
        }
    }
    const int n = dataRows(sheet, table, std::max(0, o.rowsToIgnore), reader, result.messages);
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
            ImportMessage m = tableMessage(ImportMessage::Note, QStringLiteral("Line to Ego not added: ") % *a % u'-' % *b);
            m.row = r;
            result.messages.push_back(std::move(m));
            continue;
        }
        if (nodeA < 0 || nodeB < 0) {
            ImportMessage m = tableMessage(ImportMessage::Warning, QStringLiteral("Warning (no line added): Unknown node(s) in excel-line ") + QString::number(r));
            m.row = r;
            result.messages.push_back(std::move(m));
            continue;
        }
        if (nodeA == nodeB) {
            ImportMessage m = tableMessage(ImportMessage::Warning, QStringLiteral("Warning (no line added): Node A = Node B in excel-line ") + QString::number(r));
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
    if (card.LineCount() + int(result.lines.size()) > MaxLines) {
        result.messages.push_back(tableMessage(
            ImportMessage::Error, QStringLiteral("The import would add %1 lines, but the card holds %2 lines and room for only %3 more.")
                                      .arg(result.lines.size())
                                      .arg(card.LineCount())
                                      .arg(MaxLines - card.LineCount())));
    }
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
