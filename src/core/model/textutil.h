#pragma once

#include "core/model/largebuffer.h"

#include <QChar>
#include <QHash>
#include <QString>
#include <QStringList>

namespace korvalo {

// Rounds halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double RoundHalfEven(double value);

// The value as a 32-bit float, as the model stores reals and as formulas marked
// single precision round their intermediate results.
inline float ToSingle(double value) { return float(value); }

// A real in fixed notation with exactly `decimals` digits after the separator. The
// value is first taken to 18 significant digits, then cut after `decimals` decimals or
// after 15 significant digits, whichever comes first, rounding up in magnitude when the
// first dropped digit is 5 or more (0.125 -> "0.13", -0.125 -> "-0.13"). No thousands
// separator; a result that is zero carries no minus sign.
QString FormatFixed(double value, int decimals, QChar separator = u'.');

// The same rule with another limit of significant digits; the ego file writes reals with
// 7 significant digits.
QString FormatDecimal(double value, int decimals, int significantDigits, QChar separator);
// Appends the formatted value as ASCII bytes; the fast path of the file writer.
void AppendDecimal(TextBuffer &out, double value, int decimals, int significantDigits);

// The text on one line: every line break (CR LF, a lone CR or a lone LF) becomes one
// blank. Every way text enters the model (dialogs, paste, imports) passes it through
// this, since an ego file keeps each value on one line.
QString LineBreaksToBlanks(const QString &text);

// Removes blanks and control characters (every character up to U+0020) from both ends.
// Unlike QString::trimmed() it keeps U+00A0 and removes U+0001.
QString TrimBlanks(const QString &text);
bool IsBlank(const QString &text);

// Splits text at a one-character separator. The text is trimmed (TrimBlanks) before
// each part is taken; a part keeps blanks that stand before its separator. "A=B=C" gives
// A, B, C; "|B|C|" gives "", B, C; "A==B" gives A, "", B; a blank text gives no parts.
// There is no limit on the number of parts.
QStringList SplitText(const QString &text, QChar separator);

// A list of distinct texts compared without regard to letter case ("Müller" and
// "MÜLLER" are one entry); each entry keeps the form in which it was first met.
class DistinctList
{
public:
    // Returns the entry's position, adding the text when it is new.
    int add(const QString &text);
    int indexOf(const QString &text) const;
    bool contains(const QString &text) const { return indexOf(text) >= 0; }
    int size() const { return int(m_items.size()); }
    const QString &at(int i) const { return m_items[i]; }
    const QStringList &items() const { return m_items; }

private:
    QStringList m_items;
    QHash<QString, int> m_index; // case-folded text -> position
};

} // namespace korvalo
