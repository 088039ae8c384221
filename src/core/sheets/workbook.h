#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

// Spreadsheet workbooks (xlsx, ods, csv, xls) read into memory, for the imports. Rows
// and columns count from 1 as in a spreadsheet program. The reader owns nothing outside
// the returned value; a file that cannot be read gives an error text naming the file and
// what is wrong, never a half-filled workbook.

namespace korvalo {

enum class CellKind : std::uint8_t { Empty, Number, Text, Boolean, Error };

// A sheet holds millions of these: the small fields are packed at the end.
struct Cell
{
    double number = 0;    // Number (dates as day serials), Boolean (0 or 1)
    QString text;         // Text; Error: the error code such as "#DIV/0!"; a formula
                          // without a result: the formula as stored (without "=")
    QString display;      // the text a spreadsheet program shows in the cell
    CellKind kind = CellKind::Empty;
    bool formula = false; // the cell is computed
    bool hasResult = true; // false: a formula whose result the file does not hold
    bool dateTime = false; // a Number shown as a date or time: its value is a day serial
};

// Where in a sheet: a rectangle of rows and columns (1-based, inclusive).
struct CellRange
{
    int firstRow = 1, firstColumn = 1, lastRow = 1, lastColumn = 1;
    int rows() const { return lastRow - firstRow + 1; }
    int columns() const { return lastColumn - firstColumn + 1; }
    bool contains(int row, int column) const
    {
        return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
    }
};

// One worksheet, stored sparsely: only cells with content, sorted by row then column.
class Sheet
{
public:
    QString name;

    // The cell at (row, column); an empty cell for every position holding nothing.
    const Cell &at(int row, int column) const;
    // The contiguous block around A1 bounded by empty rows and columns, as a spreadsheet
    // program's "current region": merged areas count as filled. A1 alone when nothing
    // touches it.
    CellRange currentRegion() const;
    // The last row holding anything; 0 for an empty sheet.
    int lastFilledRow() const { return m_byRow.empty() ? 0 : m_byRow.back().first; }
    const std::vector<CellRange> &mergedRanges() const { return m_merged; }
    size_t cellCount() const { return m_cells.size(); }

    // For the readers: cells may come in any order; finish() sorts them and keeps the last
    // of two at the same position.
    void addCell(int row, int column, Cell cell);
    // Room for this many cells, when a reader knows their number before it adds them.
    void reserve(size_t cells) { m_cells.reserve(cells); }
    void addMerged(const CellRange &range) { m_merged.push_back(range); }
    void finish();

private:
    struct Entry
    {
        std::uint64_t key; // row << 32 | column
        Cell cell;
    };
    bool filled(int row, int column) const;
    bool anyInRow(int row, int firstColumn, int lastColumn) const;
    bool anyInColumn(int column, int firstRow, int lastRow) const;

    std::vector<Entry> m_cells;
    std::vector<CellRange> m_merged;
    // Filled positions by row and by column (merged areas included), for currentRegion().
    std::vector<std::pair<int, int>> m_byRow, m_byColumn;
};

struct Workbook
{
    std::vector<Sheet> sheets;
};

struct WorkbookResult
{
    std::optional<Workbook> workbook; // set on success
    QString error;                    // set on failure: names the file and the fault
};

// Limits that keep hostile files from exhausting memory or time.
inline constexpr qint64 MaxWorkbookFileBytes = 256LL * 1024 * 1024;
inline constexpr qint64 MaxInflatedPartBytes = 200LL * 1024 * 1024;
inline constexpr qint64 MaxInflatedTotalBytes = 400LL * 1024 * 1024;
inline constexpr int MaxXmlDepth = 256;
inline constexpr int MaxSheetRows = 1048576;
inline constexpr int MaxSheetColumns = 16384;
inline constexpr size_t MaxWorkbookCells = 4'000'000;
inline constexpr int MaxSheets = 1000;
// Text of one cell, and of all cells together (repeated cells counted each time).
inline constexpr qsizetype MaxCellTextChars = 32767;
inline constexpr qint64 MaxWorkbookTextChars = 64'000'000;

// Reads a workbook; the format is recognised from the content (zip: xlsx or ods; OLE2:
// xls), otherwise the file is read as csv (or tab-separated text).
WorkbookResult ReadWorkbook(const QString &path);
// The same for bytes already in memory; `name` stands for the file in error texts.
// xls needs a file on disk and is refused here.
WorkbookResult ReadWorkbookData(const QByteArray &data, const QString &name);

// "A1"-style reference of a position; "C" for column 3.
QString ColumnName(int column);
QString CellName(int row, int column);

} // namespace korvalo
