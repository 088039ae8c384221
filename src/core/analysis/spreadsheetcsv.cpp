#include "core/analysis/spreadsheetcsv.h"

#include "core/analysis/measures.h"

#include <QRegularExpression>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

// A plain number, as spreadsheets read one: a sign, digits with "." or "," for the decimals,
// an exponent. ASCII digits only, for other digits are text to a spreadsheet.
bool IsNumber(const QString &cell)
{
    static const QRegularExpression number(u"^[+-]?([0-9]+([.,][0-9]*)?|[.,][0-9]+)([eE][+-]?[0-9]+)?$"_s);
    return number.match(cell).hasMatch();
}

} // namespace

QString SpreadsheetCell(const QString &cell)
{
    if (cell.isEmpty())
        return cell;
    switch (cell.front().unicode()) {
    case u'=':
    case u'@':
    case u'\t':
    case u'\r':
        return u'\'' + cell;
    case u'+':
    case u'-':
        return IsNumber(cell) ? cell : u'\'' + cell;
    default:
        return cell;
    }
}

QByteArray SpreadsheetCsvLine(const QStringList &cells)
{
    QStringList guarded;
    guarded.reserve(cells.size());
    for (const QString &cell : cells)
        guarded << SpreadsheetCell(cell);
    return DelimitedLine(guarded, u',').toUtf8() + "\r\n";
}

} // namespace korvalo
