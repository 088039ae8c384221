#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The CSV files the windows export for spreadsheet programs. IDs, labels, sector and card
// names come from interviews and imported workbooks; a text cell that begins with "=",
// "+", "-", "@", a tab or a carriage return would be run as a formula when the file is
// opened. Such a cell is written with a leading apostrophe, which spreadsheets take as
// "this is text". Numbers ("-0.250", "+3", "1,5", "2e-3") are written as they are.
// Tables meant for programs (the R/Python tables, GraphML, the command line's TSV and
// CSV) do not go through here: they must hold the text unchanged.

namespace korvalo {

// `cell` as a spreadsheet should receive it: unchanged, or with "'" in front when it is
// text that a spreadsheet would start a formula with.
QString SpreadsheetCell(const QString &cell);

// One line of a CSV file for spreadsheets: every cell through SpreadsheetCell(), separated
// by commas, a cell with a comma, a quote or a line break quoted (its quotes doubled),
// UTF-8, ended by CR LF.
QByteArray SpreadsheetCsvLine(const QStringList &cells);

} // namespace korvalo
