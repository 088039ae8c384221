#pragma once

#include "core/sheets/workbook.h"

// The format readers behind ReadWorkbook. Each fills `book` or returns an error text that
// says what is wrong (ReadWorkbook puts the file name in front).

namespace korvalo {

class ZipArchive;

QString ReadXlsx(ZipArchive &zip, Workbook &book);
QString ReadOds(ZipArchive &zip, Workbook &book);
QString ReadCsv(const QByteArray &data, Workbook &book, const QString &sheetName);
QString ReadXls(const QString &path, const QByteArray &data, Workbook &book);

// "B12" to row 12, column 2; false for anything else or a position beyond the limits.
bool ParseCellName(QStringView name, int *row, int *column);
// "A1:C3" (or "B2" alone).
bool ParseRangeName(QStringView name, CellRange *range);

} // namespace korvalo
