#pragma once

#include <QString>

// The text a spreadsheet program shows for a number under a number format code, for the
// codes workbooks commonly carry: General, digit placeholders (0 # ?), thousands
// separators, percent, scientific, literal text ("..." and \x), dates and times (y m d h
// s, AM/PM, [h] elapsed hours, fractions of a second), the text placeholder @, and up to
// four sections (positive; negative; zero; text). Colours and locale tags in brackets
// are read past. Output uses '.' for decimals and ',' for thousands; months and days are
// English.

namespace korvalo {

// Format code of a built-in number format id of xlsx and xls files; "General" for ids
// without a fixed code.
QString BuiltinNumberFormat(int id);

// `serial` is the day number of the workbook's date system when the format shows a date:
// 1 = 1900-01-01 (with the phantom 1900-02-29 as 60), or days since 1904-01-01 with
// `date1904`.
QString FormatNumber(double value, const QString &code, bool date1904 = false);
// A text cell under a format: the text section's @ replaced by the text.
QString FormatText(const QString &text, const QString &code);
// True when the code shows numbers as dates or times.
bool IsDateFormat(const QString &code);

// Excel's "General": up to 11 characters, switching to scientific notation for very
// large or small numbers.
QString FormatGeneral(double value);

} // namespace korvalo
