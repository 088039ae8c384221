#include "core/sheets/workbook.h"

#include "core/sheets/readers.h"
#include "core/sheets/ziparchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace korvalo {
namespace {

std::uint64_t keyOf(int row, int column)
{
    return (std::uint64_t(std::uint32_t(row)) << 32) | std::uint32_t(column);
}

bool hasContent(const Cell &cell)
{
    return cell.kind != CellKind::Empty || cell.formula;
}

QString fileLabel(const QString &name)
{
    return QDir::toNativeSeparators(name);
}

WorkbookResult failure(const QString &name, const QString &what)
{
    WorkbookResult result;
    result.error = QStringLiteral("Cannot read %1: %2.").arg(fileLabel(name), what);
    return result;
}

WorkbookResult finished(Workbook &book, const QString &name, const QString &error)
{
    if (!error.isEmpty())
        return failure(name, error);
    if (book.sheets.empty())
        return failure(name, QStringLiteral("the workbook holds no worksheet"));
    size_t cells = 0;
    for (Sheet &sheet : book.sheets) {
        sheet.finish();
        cells += sheet.cellCount();
    }
    if (cells > MaxWorkbookCells)
        return failure(name, QStringLiteral("the workbook holds more than %1 cells").arg(MaxWorkbookCells));
    WorkbookResult result;
    result.workbook = std::move(book);
    return result;
}

bool isOle2(const QByteArray &data)
{
    return data.startsWith(QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"));
}

WorkbookResult readData(const QByteArray &data, const QString &name, const QString &path)
{
    Workbook book;
    if (data.startsWith("PK\x03\x04") || data.startsWith("PK\x05\x06")) {
        ZipArchive zip(data);
        if (!zip.isOpen())
            return failure(name, QStringLiteral("the zip container is damaged"));
        if (zip.contains(QStringLiteral("content.xml")) && !zip.contains(QStringLiteral("xl/workbook.xml")))
            return finished(book, name, ReadOds(zip, book));
        if (zip.contains(QStringLiteral("_rels/.rels")) || zip.contains(QStringLiteral("xl/workbook.xml")))
            return finished(book, name, ReadXlsx(zip, book));
        return failure(name, QStringLiteral("the zip archive is neither an xlsx nor an ods workbook"));
    }
    if (isOle2(data)) {
        if (path.isEmpty())
            return failure(name, QStringLiteral("xls workbooks are read from files only"));
        return finished(book, name, ReadXls(path, data, book));
    }
    if (data.left(4096).contains('\0'))
        return failure(name, QStringLiteral("this is not a spreadsheet (xlsx, ods, csv or xls)"));
    return finished(book, name, ReadCsv(data, book, QFileInfo(name).completeBaseName()));
}

} // namespace

const Cell &Sheet::at(int row, int column) const
{
    static const Cell empty;
    const std::uint64_t key = keyOf(row, column);
    const auto it = std::lower_bound(m_cells.begin(), m_cells.end(), key,
                                     [](const Entry &e, std::uint64_t k) { return e.key < k; });
    return it != m_cells.end() && it->key == key ? it->cell : empty;
}

void Sheet::addCell(int row, int column, Cell cell)
{
    m_cells.push_back(Entry{keyOf(row, column), std::move(cell)});
}

void Sheet::finish()
{
    const auto before = [](const Entry &a, const Entry &b) { return a.key < b.key; };
    // Readers mostly deliver cells in order already.
    if (!std::is_sorted(m_cells.begin(), m_cells.end(), before))
        std::stable_sort(m_cells.begin(), m_cells.end(), before);
    // Of two cells at one position the later one stands.
    const auto same = [](const Entry &a, const Entry &b) { return a.key == b.key; };
    if (std::adjacent_find(m_cells.begin(), m_cells.end(), same) != m_cells.end()) {
        std::vector<Entry> unique;
        unique.reserve(m_cells.size());
        for (Entry &e : m_cells) {
            if (!unique.empty() && unique.back().key == e.key)
                unique.back() = std::move(e);
            else
                unique.push_back(std::move(e));
        }
        m_cells = std::move(unique);
    }
    m_byRow.clear();
    m_byColumn.clear();
    m_byRow.reserve(m_cells.size());
    m_byColumn.reserve(m_cells.size());
    for (const Entry &e : m_cells) {
        if (!hasContent(e.cell))
            continue;
        const int row = int(e.key >> 32), column = int(e.key & 0xFFFFFFFFu);
        m_byRow.emplace_back(row, column);
        m_byColumn.emplace_back(column, row);
    }
    std::sort(m_byColumn.begin(), m_byColumn.end());
}

bool Sheet::anyInRow(int row, int firstColumn, int lastColumn) const
{
    const auto it = std::lower_bound(m_byRow.begin(), m_byRow.end(), std::make_pair(row, firstColumn));
    return it != m_byRow.end() && it->first == row && it->second <= lastColumn;
}

bool Sheet::anyInColumn(int column, int firstRow, int lastRow) const
{
    const auto it = std::lower_bound(m_byColumn.begin(), m_byColumn.end(), std::make_pair(column, firstRow));
    return it != m_byColumn.end() && it->first == column && it->second <= lastRow;
}

CellRange Sheet::currentRegion() const
{
    CellRange r;
    for (;;) {
        // Grow down and right while the row below or the column to the right (corners
        // included) holds something; A1 is the corner, so nothing lies above or left.
        bool grown = true;
        while (grown) {
            grown = false;
            if (r.lastRow < MaxSheetRows && anyInRow(r.lastRow + 1, 1, std::min(r.lastColumn + 1, MaxSheetColumns))) {
                ++r.lastRow;
                grown = true;
            }
            if (r.lastColumn < MaxSheetColumns && anyInColumn(r.lastColumn + 1, 1, std::min(r.lastRow + 1, MaxSheetRows))) {
                ++r.lastColumn;
                grown = true;
            }
        }
        // A merged area touching the block joins it whole.
        bool merged = false;
        for (const CellRange &m : m_merged) {
            if (m.firstRow <= r.lastRow + 1 && m.firstColumn <= r.lastColumn + 1
                && (m.lastRow > r.lastRow || m.lastColumn > r.lastColumn)) {
                r.lastRow = std::max(r.lastRow, m.lastRow);
                r.lastColumn = std::max(r.lastColumn, m.lastColumn);
                merged = true;
            }
        }
        if (!merged)
            return r;
    }
}

QString ColumnName(int column)
{
    QString name;
    while (column > 0) {
        const int rest = (column - 1) % 26;
        name.prepend(QChar(u'A' + rest));
        column = (column - 1) / 26;
    }
    return name;
}

QString CellName(int row, int column)
{
    return ColumnName(column) + QString::number(row);
}

bool ParseCellName(QStringView name, int *row, int *column)
{
    qsizetype i = 0;
    qint64 c = 0, r = 0;
    while (i < name.size() && name[i] == u'$')
        ++i;
    const qsizetype letters = i;
    while (i < name.size() && name[i].isLetter() && name[i].unicode() < 128) {
        c = c * 26 + (name[i].toUpper().unicode() - u'A' + 1);
        if (c > MaxSheetColumns)
            return false;
        ++i;
    }
    if (i == letters)
        return false;
    if (i < name.size() && name[i] == u'$')
        ++i;
    const qsizetype digits = i;
    while (i < name.size() && name[i].isDigit()) {
        r = r * 10 + (name[i].unicode() - u'0');
        if (r > MaxSheetRows)
            return false;
        ++i;
    }
    if (i == digits || i != name.size() || r < 1)
        return false;
    *row = int(r);
    *column = int(c);
    return true;
}

bool ParseRangeName(QStringView name, CellRange *range)
{
    const qsizetype colon = name.indexOf(u':');
    CellRange r;
    if (colon < 0) {
        if (!ParseCellName(name, &r.firstRow, &r.firstColumn))
            return false;
        r.lastRow = r.firstRow;
        r.lastColumn = r.firstColumn;
    } else if (!ParseCellName(name.left(colon), &r.firstRow, &r.firstColumn)
               || !ParseCellName(name.mid(colon + 1), &r.lastRow, &r.lastColumn)) {
        return false;
    }
    if (r.lastRow < r.firstRow)
        std::swap(r.firstRow, r.lastRow);
    if (r.lastColumn < r.firstColumn)
        std::swap(r.firstColumn, r.lastColumn);
    *range = r;
    return true;
}

WorkbookResult ReadWorkbook(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(path, file.errorString());
    if (file.size() > MaxWorkbookFileBytes)
        return failure(path, QStringLiteral("the file is larger than %1 MB").arg(MaxWorkbookFileBytes >> 20));
    const QByteArray data = file.read(MaxWorkbookFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(path, file.errorString());
    return readData(data, path, path);
}

WorkbookResult ReadWorkbookData(const QByteArray &data, const QString &name)
{
    if (data.size() > MaxWorkbookFileBytes)
        return failure(name, QStringLiteral("the file is larger than %1 MB").arg(MaxWorkbookFileBytes >> 20));
    return readData(data, name, QString());
}

} // namespace korvalo
