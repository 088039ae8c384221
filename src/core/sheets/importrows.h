#pragma once

#include "core/sheets/import.h"

#include <initializer_list>
#include <optional>

// What the node import (nodeimport.cpp) and the line import (lineimport.cpp) share:
// reading the cells of a data row, finding the data rows, and the messages about the
// table as a whole.

namespace korvalo {

// Line breaks inside a cell become one blank: labels, IDs and memos are one line each.
QString OneLine(const QString &text);

// A number written as text in the decimal notation with `separator`, without thousands
// separators. The other mark ('.' or ',') is taken as the decimal separator too where it
// cannot be read as grouping ("1,5", "0,750", but not "2,000"). Nothing otherwise.
std::optional<double> ReadDecimalText(const QString &text, QChar separator);

// Reads the cells of one data row (`row`, counted from the table's first row as 1) and
// collects what is wrong with them in `messages`.
class ImportRowReader
{
public:
    ImportRowReader(const Sheet &sheet, const CellRange &table, const QStringList &headers,
                    std::vector<ImportMessage> &messages, QChar separator);

    int row = 0;

    const Cell &cell(int column) const
    {
        return m_sheet.at(m_table.firstRow + row - 1, m_table.firstColumn + column - 1);
    }
    int sheetRow() const { return m_table.firstRow + row - 1; }

    // A message about a cell of this row (column 0: about the row).
    void report(ImportMessage::Kind kind, int column, const QString &what);

    // The displayed text, or nothing (with an error) when the cell cannot be read.
    std::optional<QString> text(int column);

    // A number from the raw value of a number cell or from a text in the current decimal
    // notation; nothing for an empty cell (`*empty` set) or a fault (reported).
    std::optional<double> number(int column, bool *empty);

    // As number(), and it must be whole.
    std::optional<int> whole(int column, bool *empty);

    bool rowEmpty() const;

private:
    bool usable(const Cell &c, int column);

    const Sheet &m_sheet;
    const CellRange &m_table;
    const QStringList &m_headers;
    std::vector<ImportMessage> &m_messages;
    QChar m_separator;
};

// A message about the whole table (no row, no column).
ImportMessage TableMessage(ImportMessage::Kind kind, const QString &text);

// The number of data rows: after the ignored rows and before the first empty row. Says
// so when rows are left out behind an empty row.
int DataRows(const Sheet &sheet, const CellRange &table, int rowsToIgnore, ImportRowReader &reader,
             std::vector<ImportMessage> &messages);

// False, with an error, when one of the columns is not in the table; the lowest column
// number allowed is `lowest` (0 where "not mapped" is allowed).
bool ColumnsInTable(std::initializer_list<int> columns, int lowest, const CellRange &table,
                    std::vector<ImportMessage> &messages);

// An error when `adding` more lines do not fit the card.
void CheckLineRoom(const NetworkCard &card, size_t adding, std::vector<ImportMessage> &messages);

} // namespace korvalo
