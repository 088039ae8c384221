#pragma once

// The inside of number format codes, shared by the files that format numbers and dates:
// a code's sections as tokens, parsed once and cached.

#include <QString>
#include <QStringList>

#include <vector>

namespace korvalo {

enum class FormatTok { Literal, Digit, Point, Comma, Percent, Exp, Date, Text, General };

struct FormatToken
{
    FormatTok type;
    QString text; // Literal text, Date part ("yyyy", "mm", "AM/PM", "[h]"), Exp sign
    QChar digit;  // Digit: '0', '#' or '?'
};

struct FormatSection
{
    std::vector<FormatToken> tokens;
    bool isDate = false;
    bool empty = true; // nothing at all in the code of this section
};

// Splits a code into its sections at ';' outside quotes, escapes and brackets.
QStringList SplitFormatSections(const QString &code);
FormatSection ParseFormatSection(const QString &code);
// The parsed sections of `code`, kept per thread because a workbook applies few codes to
// many cells.
const std::vector<FormatSection> &CachedFormatSections(const QString &code);

// A date or time section applied to a day number of the workbook's date system.
QString FormatDateSection(double serial, const FormatSection &section, bool date1904);
// `n` with leading zeros up to `width` digits.
QString ZeroPadded(qint64 n, int width);

} // namespace korvalo
