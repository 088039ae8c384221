#include "core/sheets/importrows.h"

#include <QLocale>

#include <cmath>

namespace korvalo {

QString OneLine(const QString &text)
{
    if (!text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    out.replace(u'\r', u' ');
    out.replace(u'\n', u' ');
    return out;
}

ImportRowReader::ImportRowReader(const Sheet &sheet, const CellRange &table, const QStringList &headers,
                                 std::vector<ImportMessage> &messages, QChar separator)
    : m_sheet(sheet), m_table(table), m_headers(headers), m_messages(messages), m_separator(separator)
{
}

void ImportRowReader::report(ImportMessage::Kind kind, int column, const QString &what)
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
    m_messages.push_back(std::move(m));
}

std::optional<QString> ImportRowReader::text(int column)
{
    const Cell &c = cell(column);
    if (!usable(c, column))
        return std::nullopt;
    return OneLine(c.display);
}

namespace {

bool allDigits(QStringView s)
{
    for (QChar ch : s)
        if (!ch.isDigit() || ch.unicode() > 0x7F)
            return false;
    return true;
}

// True when `t` (sign already removed) could also be a whole number with `mark` grouping
// thousands, as "2,000" or "12.500": 1 to 3 digits, not led by 0, then groups of three.
bool groupedReading(QStringView t, QChar mark)
{
    const qsizetype first = t.indexOf(mark);
    if (first < 1 || first > 3 || t[0] == u'0' || !allDigits(t.left(first)))
        return false;
    QStringView rest = t.mid(first);
    while (!rest.isEmpty()) {
        if (rest.size() < 4 || rest[0] != mark || !allDigits(rest.mid(1, 3)))
            return false;
        rest = rest.mid(4);
    }
    return true;
}

} // namespace

std::optional<double> ReadDecimalText(const QString &text, QChar separator)
{
    QString t = text.trimmed();
    const QChar other = separator == u'.' ? u',' : u'.';
    QStringView body(t);
    if (body.startsWith(u'-') || body.startsWith(u'+'))
        body = body.mid(1);
    if (t.contains(other)) {
        // The other mark stands for the decimal separator only where nothing else can be
        // meant: once, without the current separator, and not as a thousands separator.
        if (t.contains(separator) || t.count(other) > 1 || groupedReading(body, other))
            return std::nullopt;
        t.replace(other, u'.');
    } else if (separator != u'.') {
        t.replace(separator, u'.');
    }
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = c.toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<double> ImportRowReader::number(int column, bool *empty)
{
    *empty = false;
    const Cell &c = cell(column);
    if (!usable(c, column))
        return std::nullopt;
    if (c.kind == CellKind::Number && c.dateTime) {
        report(ImportMessage::Error, column,
               QStringLiteral("\"%1\" is a date or time, not a number.").arg(c.display));
        return std::nullopt;
    }
    if (c.kind == CellKind::Number)
        return c.number;
    const QString t = c.display.trimmed();
    if (t.isEmpty()) {
        *empty = true;
        return std::nullopt;
    }
    if (c.kind == CellKind::Text) {
        if (const std::optional<double> v = ReadDecimalText(t, m_separator))
            return v;
        if (t.contains(u'.') || t.contains(u','))
            report(ImportMessage::Error, column,
                   QStringLiteral("\"%1\" is not a number with \"%2\" as decimal separator and no thousands separator.")
                       .arg(c.display, m_separator));
        else
            report(ImportMessage::Error, column, QStringLiteral("\"%1\" is not a number.").arg(c.display));
        return std::nullopt;
    }
    report(ImportMessage::Error, column, QStringLiteral("\"%1\" is not a number.").arg(c.display));
    return std::nullopt;
}

std::optional<int> ImportRowReader::whole(int column, bool *empty)
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

bool ImportRowReader::rowEmpty() const
{
    for (int c = 1; c <= m_table.columns(); ++c) {
        const Cell &x = cell(c);
        if (x.kind != CellKind::Empty || x.formula)
            return false;
    }
    return true;
}

bool ImportRowReader::usable(const Cell &c, int column)
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

ImportMessage TableMessage(ImportMessage::Kind kind, const QString &text)
{
    ImportMessage m;
    m.kind = kind;
    m.text = text;
    return m;
}

int DataRows(const Sheet &sheet, const CellRange &table, int rowsToIgnore, ImportRowReader &reader,
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
        messages.push_back(TableMessage(ImportMessage::Note,
                                        QStringLiteral("Row %1 is empty: the rows after it are not read.").arg(emptyRow)));
    }
    return std::max(0, last - rowsToIgnore);
}

bool ColumnsInTable(std::initializer_list<int> columns, int lowest, const CellRange &table,
                    std::vector<ImportMessage> &messages)
{
    for (int column : columns) {
        if (column < lowest || column > table.columns()) {
            messages.push_back(TableMessage(
                ImportMessage::Error, QStringLiteral("The table has no column %1; it has %2.").arg(column).arg(table.columns())));
            return false;
        }
    }
    return true;
}

void CheckLineRoom(const NetworkCard &card, size_t adding, std::vector<ImportMessage> &messages)
{
    if (card.LineCount() + int(adding) > MaxLines) {
        messages.push_back(TableMessage(
            ImportMessage::Error, QStringLiteral("The import would add %1 lines, but the card holds %2 lines and room for only %3 more.")
                                      .arg(adding)
                                      .arg(card.LineCount())
                                      .arg(MaxLines - card.LineCount())));
    }
}

namespace {

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

} // namespace

QStringList ColumnHeaders(const Sheet &sheet, const CellRange &table)
{
    QStringList headers;
    for (int c = table.firstColumn; c <= table.lastColumn; ++c) {
        const QString h = trimmedHeader(OneLine(sheet.at(table.firstRow, c).display));
        headers.append(h.isEmpty() ? QStringLiteral("(Column %1)").arg(c - table.firstColumn + 1) : h);
    }
    return headers;
}

bool ImportOutcome::ok() const
{
    return errorCount() == 0;
}

int ImportOutcome::errorCount() const
{
    int errors = 0;
    for (const ImportMessage &m : messages)
        errors += m.kind == ImportMessage::Error ? 1 : 0;
    return errors;
}

} // namespace korvalo
