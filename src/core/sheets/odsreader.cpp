// ods: the OpenDocument spreadsheet. content.xml holds every sheet; each cell carries its
// value and, in its paragraphs, the text the writing program displayed.

#include "core/sheets/numberformat.h"
#include "core/sheets/readers.h"
#include "core/sheets/ziparchive.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>

#include <cmath>

namespace korvalo {
namespace {

// Day serials count as in xlsx (1899-12-30 = 0), so both formats give the same numbers.
double serialOfDate(const QString &text, bool *ok)
{
    QDateTime dt = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!dt.isValid()) {
        const QDate d = QDate::fromString(text.left(10), Qt::ISODate);
        if (d.isValid())
            dt = QDateTime(d, QTime(0, 0), Qt::UTC);
    }
    *ok = dt.isValid();
    if (!*ok)
        return 0;
    return double(QDate(1899, 12, 30).daysTo(dt.date())) + dt.time().msecsSinceStartOfDay() / 86400000.0;
}

// "PT12H30M15.5S" as a fraction of a day.
double serialOfDuration(const QString &text, bool *ok)
{
    static const QRegularExpression pattern(
        QStringLiteral("^-?P(?:(\\d+)D)?T?(?:(\\d+)H)?(?:(\\d+)M)?(?:(\\d+(?:\\.\\d*)?)S)?$"));
    const auto m = pattern.match(text.trimmed());
    *ok = m.hasMatch();
    if (!*ok)
        return 0;
    const double seconds = m.captured(1).toDouble() * 86400 + m.captured(2).toDouble() * 3600
                           + m.captured(3).toDouble() * 60 + m.captured(4).toDouble();
    return (text.trimmed().startsWith(u'-') ? -seconds : seconds) / 86400.0;
}

qint64 repeatOf(const QXmlStreamAttributes &attrs, QStringView name)
{
    const auto v = XmlAttr(attrs, name);
    if (v.isEmpty())
        return 1;
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    return ok && n > 0 ? std::min<qint64>(n, MaxSheetRows) : 1;
}

// The paragraphs of a cell: text:p and text:h joined with line breaks; spaces, tabs and
// line breaks written as elements; notes (office:annotation) left out. Stops growing
// past MaxCellTextChars and sets `*tooLong`: a few bytes of <text:s text:c="1000"/>
// stand for a thousand characters.
QString readCellText(ZipXml &xml, bool *any, bool *tooLong)
{
    QString text;
    int paragraphs = 0;
    const int start = xml.depth();
    int paragraphDepth = 0;
    for (;;) {
        const auto token = xml.next();
        if (token == QXmlStreamReader::Invalid || token == QXmlStreamReader::EndDocument)
            return text;
        if (token == QXmlStreamReader::EndElement) {
            if (xml.depth() < start)
                return text;
            if (xml.depth() < paragraphDepth)
                paragraphDepth = 0;
            continue;
        }
        if (text.size() > MaxCellTextChars) {
            *tooLong = true;
            return {};
        }
        if (token == QXmlStreamReader::Characters) {
            if (paragraphDepth > 0)
                text += xml.reader().text();
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        if (name == u"annotation") {
            xml.skipElement();
        } else if (paragraphDepth == 0 && (name == u"p" || name == u"h")) {
            if (paragraphs++ > 0)
                text += u'\n';
            paragraphDepth = xml.depth();
            *any = true;
        } else if (paragraphDepth > 0 && name == u"s") {
            const QXmlStreamAttributes spaceAttrs = xml.reader().attributes();
            const auto c = XmlAttr(spaceAttrs, u"c");
            text += QString(c.isEmpty() ? 1 : std::clamp(c.toInt(), 1, 1000), u' ');
        } else if (paragraphDepth > 0 && name == u"tab") {
            text += u'\t';
        } else if (paragraphDepth > 0 && name == u"line-break") {
            text += u'\n';
        }
    }
}

} // namespace

QString ReadOds(ZipArchive &zip, Workbook &book)
{
    ZipXml xml(zip, QStringLiteral("content.xml"));
    Sheet *sheet = nullptr;
    qint64 row = 0, column = 0, rowRepeat = 1;
    std::vector<std::pair<qint64, Cell>> rowCells; // cells of the current row, before repeating
    size_t cells = 0;
    qint64 textChars = 0; // cell texts so far, repeats counted
    int tableDepth = 0;
    for (;;) {
        const auto token = xml.next();
        if (token == QXmlStreamReader::Invalid)
            return xml.error();
        if (token == QXmlStreamReader::EndDocument)
            return {};
        if (token == QXmlStreamReader::EndElement) {
            const auto name = xml.name();
            if (name == u"table" && xml.depth() < tableDepth) {
                sheet = nullptr;
                tableDepth = 0;
            } else if (name == u"table-row" && sheet) {
                // A repeated row repeats its cells; empty repeats (thousands of them at
                // the end of a sheet) cost nothing.
                if (!rowCells.empty()) {
                    if (row + rowRepeat - 1 > MaxSheetRows)
                        return QStringLiteral("sheet \"%1\" has data beyond row %2").arg(sheet->name).arg(MaxSheetRows);
                    for (qint64 r = 0; r < rowRepeat; ++r) {
                        for (const auto &[c, cell] : rowCells) {
                            if (++cells > MaxWorkbookCells)
                                return QStringLiteral("the workbook holds more than %1 cells").arg(MaxWorkbookCells);
                            sheet->addCell(int(row + r), int(c), cell);
                        }
                    }
                }
                rowCells.clear();
                row += rowRepeat;
            }
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        const auto attrs = xml.reader().attributes();
        if (name == u"table" && !sheet) {
            if (book.sheets.size() >= size_t(MaxSheets))
                return QStringLiteral("the workbook holds more than %1 sheets").arg(MaxSheets);
            book.sheets.emplace_back();
            sheet = &book.sheets.back();
            sheet->name = XmlAttr(attrs, u"name").toString();
            tableDepth = xml.depth();
            row = 1;
        } else if (!sheet) {
            continue;
        } else if (name == u"table-row") {
            rowRepeat = repeatOf(attrs, u"number-rows-repeated");
            column = 1;
            rowCells.clear();
        } else if (name == u"table-cell" || name == u"covered-table-cell") {
            const qint64 repeat = repeatOf(attrs, u"number-columns-repeated");
            const QString type = XmlAttr(attrs, u"value-type").toString();
            Cell cell;
            const QString formula = XmlAttr(attrs, u"formula").toString();
            cell.formula = !formula.isEmpty();
            bool anyParagraph = false, tooLong = false;
            const QString shown = readCellText(xml, &anyParagraph, &tooLong);
            if (xml.failed())
                return xml.error();
            if (tooLong)
                return QStringLiteral("cell %1 of sheet \"%2\" holds more than %3 characters")
                    .arg(CellName(int(std::min<qint64>(row, MaxSheetRows)), int(std::min<qint64>(column, MaxSheetColumns))),
                         sheet->name)
                    .arg(MaxCellTextChars);
            textChars += qint64(shown.size()) * repeat * rowRepeat;
            if (textChars > MaxWorkbookTextChars)
                return QStringLiteral("the workbook holds more than %1 characters of text").arg(MaxWorkbookTextChars);
            bool ok = true;
            if (type == u"float" || type == u"percentage" || type == u"currency") {
                cell.kind = CellKind::Number;
                cell.number = XmlAttr(attrs, u"value").toDouble(&ok);
            } else if (type == u"date") {
                cell.kind = CellKind::Number;
                cell.number = serialOfDate(XmlAttr(attrs, u"date-value").toString(), &ok);
                cell.dateTime = true;
            } else if (type == u"time") {
                cell.kind = CellKind::Number;
                cell.number = serialOfDuration(XmlAttr(attrs, u"time-value").toString(), &ok);
                cell.dateTime = true;
            } else if (type == u"boolean") {
                cell.kind = CellKind::Boolean;
                cell.number = XmlAttr(attrs, u"boolean-value") == u"true" ? 1 : 0;
            } else if (type == u"string") {
                cell.kind = CellKind::Text;
                cell.text = HasXmlAttr(attrs, u"string-value") ? XmlAttr(attrs, u"string-value").toString() : shown;
            } else if (cell.formula) {
                // No value type: the formula's result is an error, shown as text.
                cell.kind = anyParagraph ? CellKind::Error : CellKind::Empty;
                const qsizetype eq = formula.indexOf(u'=');
                cell.text = anyParagraph ? shown : eq >= 0 ? formula.mid(eq + 1) : formula;
                cell.hasResult = anyParagraph;
            } else if (anyParagraph && !shown.isEmpty()) {
                cell.kind = CellKind::Text;
                cell.text = shown;
            }
            if (!ok)
                return QStringLiteral("cell %1 of sheet \"%2\" holds a %3 value that cannot be read")
                    .arg(CellName(int(std::min<qint64>(row, MaxSheetRows)), int(std::min<qint64>(column, MaxSheetColumns))),
                         sheet->name, type);
            if (anyParagraph) {
                cell.display = shown;
            } else {
                switch (cell.kind) {
                case CellKind::Number:
                    cell.display = type == u"date" ? FormatNumber(cell.number, QStringLiteral("yyyy-mm-dd"))
                                   : type == u"time" ? FormatNumber(cell.number, QStringLiteral("hh:mm:ss"))
                                                     : FormatGeneral(cell.number);
                    break;
                case CellKind::Boolean: cell.display = cell.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); break;
                case CellKind::Text:
                case CellKind::Error: cell.display = cell.text; break;
                case CellKind::Empty: break;
                }
            }
            const qint64 spanColumns = repeatOf(attrs, u"number-columns-spanned");
            const qint64 spanRows = repeatOf(attrs, u"number-rows-spanned");
            if ((spanColumns > 1 || spanRows > 1) && sheet->mergedRanges().size() < 65536 && row <= MaxSheetRows
                && column <= MaxSheetColumns) {
                sheet->addMerged(CellRange{int(row), int(column), int(std::min<qint64>(row + spanRows - 1, MaxSheetRows)),
                                           int(std::min<qint64>(column + spanColumns - 1, MaxSheetColumns))});
            }
            if (cell.kind != CellKind::Empty || cell.formula) {
                if (column + repeat - 1 > MaxSheetColumns)
                    return QStringLiteral("sheet \"%1\" has data beyond column %2").arg(sheet->name).arg(MaxSheetColumns);
                for (qint64 c = 0; c < repeat; ++c) {
                    if (rowCells.size() >= MaxWorkbookCells)
                        return QStringLiteral("the workbook holds more than %1 cells").arg(MaxWorkbookCells);
                    rowCells.emplace_back(column + c, cell);
                }
            }
            column += repeat;
        }
    }
}

} // namespace korvalo
