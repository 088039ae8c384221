#include "core/sheets/numberformat.h"

#include <QDate>
#include <QHash>
#include <QStringBuilder>

#include <algorithm>
#include <cmath>
#include <vector>

namespace korvalo {
namespace {

enum class Tok { Literal, Digit, Point, Comma, Percent, Exp, Date, Text, General };

struct Token
{
    Tok type;
    QString text; // Literal text, Date part ("yyyy", "mm", "AM/PM", "[h]"), Exp sign
    QChar digit;  // Digit: '0', '#' or '?'
};

struct Section
{
    std::vector<Token> tokens;
    bool isDate = false;
    bool empty = true; // nothing at all in the code of this section
};

// Splits a code into its sections at ';' outside quotes, escapes and brackets.
QStringList splitSections(const QString &code)
{
    QStringList sections;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (quoted) {
            current += c;
            if (c == u'"')
                quoted = false;
        } else if (c == u'"') {
            quoted = true;
            current += c;
        } else if (c == u'\\' && i + 1 < code.size()) {
            current += c;
            current += code[++i];
        } else if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i);
            const qsizetype stop = end < 0 ? code.size() - 1 : end;
            current += code.mid(i, stop - i + 1);
            i = stop;
        } else if (c == u';') {
            sections.append(current);
            current.clear();
        } else {
            current += c;
        }
    }
    sections.append(current);
    return sections;
}

bool isDateLetter(QChar c)
{
    const QChar l = c.toLower();
    return l == u'y' || l == u'm' || l == u'd' || l == u'h' || l == u's';
}

Section parseSection(const QString &code)
{
    Section section;
    section.empty = code.isEmpty();
    auto literal = [&](const QString &text) {
        if (!section.tokens.empty() && section.tokens.back().type == Tok::Literal)
            section.tokens.back().text += text;
        else
            section.tokens.push_back({Tok::Literal, text, {}});
    };
    const qsizetype n = code.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = code[i];
        if (c == u'"') {
            const qsizetype end = code.indexOf(u'"', i + 1);
            const qsizetype stop = end < 0 ? n : end;
            literal(code.mid(i + 1, stop - i - 1));
            i = stop;
        } else if (c == u'\\') {
            if (i + 1 < n)
                literal(QString(code[++i]));
        } else if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i);
            const qsizetype stop = end < 0 ? n : end;
            const QString inside = code.mid(i + 1, stop - i - 1);
            i = stop;
            const QString lower = inside.toLower();
            if (!lower.isEmpty()
                && (lower.count(u'h') == lower.size() || lower.count(u'm') == lower.size()
                    || lower.count(u's') == lower.size())) {
                section.tokens.push_back({Tok::Date, u'[' + lower.left(1) + u']', {}});
                section.isDate = true;
            } else if (inside.startsWith(u'$')) {
                // [$€-407]: a currency symbol with a locale
                const qsizetype dash = inside.indexOf(u'-');
                literal(inside.mid(1, dash < 0 ? -1 : dash - 1));
            }
            // colours, conditions and locales are read past
        } else if (c == u'_') {
            ++i;
            literal(QStringLiteral(" "));
        } else if (c == u'*') {
            ++i; // fill character: no fixed width to fill here
        } else if (c == u'0' || c == u'#' || c == u'?') {
            section.tokens.push_back({Tok::Digit, {}, c});
        } else if (c == u'.') {
            section.tokens.push_back({Tok::Point, {}, {}});
        } else if (c == u',') {
            section.tokens.push_back({Tok::Comma, {}, {}});
        } else if (c == u'%') {
            section.tokens.push_back({Tok::Percent, {}, {}});
        } else if ((c == u'E' || c == u'e') && i + 1 < n && (code[i + 1] == u'+' || code[i + 1] == u'-')) {
            section.tokens.push_back({Tok::Exp, QString(code[i + 1]), {}});
            ++i;
        } else if (code.mid(i, 5).compare(u"AM/PM", Qt::CaseInsensitive) == 0) {
            section.tokens.push_back({Tok::Date, QStringLiteral("AM/PM"), {}});
            section.isDate = true;
            i += 4;
        } else if (code.mid(i, 3).compare(u"A/P", Qt::CaseInsensitive) == 0) {
            section.tokens.push_back({Tok::Date, code.mid(i, 3), {}});
            section.isDate = true;
            i += 2;
        } else if (code.mid(i, 7).compare(u"General", Qt::CaseInsensitive) == 0) {
            section.tokens.push_back({Tok::General, {}, {}});
            i += 6;
        } else if (isDateLetter(c)) {
            qsizetype j = i;
            while (j < n && code[j].toLower() == c.toLower())
                ++j;
            section.tokens.push_back({Tok::Date, code.mid(i, j - i).toLower(), {}});
            section.isDate = true;
            i = j - 1;
        } else if (c == u'@') {
            section.tokens.push_back({Tok::Text, {}, {}});
        } else if ((c == u'g' || c == u'G' || c == u'b' || c == u'B') && section.isDate) {
            // era codes: read past
        } else {
            literal(QString(c));
        }
    }
    return section;
}

// |value| rounded half away from zero to `decimals` places, judged on its 15 significant
// digits as a spreadsheet program does (0.125 gives 0.13): integer and fraction digits.
std::pair<QString, QString> roundedDigits(double value, int decimals)
{
    const double a = std::fabs(value);
    if (a == 0 || !std::isfinite(a))
        return {QStringLiteral("0"), QString(decimals, u'0')};
    const QString e = QString::number(a, 'e', 14); // d.dddddddddddddde+XX
    QString digits = e.left(1) + e.mid(2, 14);
    int exponent = e.mid(e.indexOf(u'e') + 1).toInt();
    int keep = exponent + 1 + decimals; // digits kept
    if (keep < 0)
        return {QStringLiteral("0"), QString(decimals, u'0')};
    if (keep < digits.size()) {
        const bool up = digits[keep] >= u'5';
        digits.truncate(keep);
        if (up) {
            int i = keep - 1;
            for (; i >= 0; --i) {
                if (digits[i] == u'9') {
                    digits[i] = u'0';
                } else {
                    digits[i] = QChar(digits[i].unicode() + 1);
                    break;
                }
            }
            if (i < 0) {
                digits.prepend(u'1');
                ++exponent;
                ++keep;
            }
        }
    }
    // digits now stand for 0.d1d2... x 10^(exponent + 1)
    const int intCount = exponent + 1;
    QString intPart, fracPart;
    if (intCount <= 0) {
        intPart = QStringLiteral("0");
        fracPart = QString(-intCount, u'0') + digits;
    } else {
        if (digits.size() < intCount)
            digits += QString(intCount - digits.size(), u'0');
        intPart = digits.left(intCount);
        fracPart = digits.mid(intCount);
    }
    if (fracPart.size() < decimals)
        fracPart += QString(decimals - fracPart.size(), u'0');
    fracPart.truncate(decimals);
    qsizetype lead = 0;
    while (lead + 1 < intPart.size() && intPart[lead] == u'0')
        ++lead;
    intPart.remove(0, lead);
    if (intPart.isEmpty())
        intPart = QStringLiteral("0");
    return {intPart, fracPart};
}

QString grouped(const QString &digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += u',';
        out += digits[i];
    }
    return out;
}

QString formatNumeric(double value, const Section &section, bool negative)
{
    const auto &t = section.tokens;
    // Positions of the parts of the number pattern.
    qsizetype point = -1, exp = -1;
    for (qsizetype i = 0; i < qsizetype(t.size()); ++i) {
        if (t[i].type == Tok::Point && point < 0 && exp < 0)
            point = i;
        else if (t[i].type == Tok::Exp && exp < 0)
            exp = i;
    }
    const qsizetype intEnd = point >= 0 ? point : (exp >= 0 ? exp : qsizetype(t.size()));
    const qsizetype fracEnd = exp >= 0 ? exp : qsizetype(t.size());
    int intDigits = 0, intZeros = 0, percents = 0, scale = 0;
    bool grouping = false, intHash = false;
    QString fracPattern, expPattern;
    qsizetype lastIntDigit = -1, firstIntDigit = -1;
    for (qsizetype i = 0; i < intEnd; ++i) {
        if (t[i].type == Tok::Digit) {
            ++intDigits;
            if (firstIntDigit < 0)
                firstIntDigit = i;
            lastIntDigit = i;
            if (t[i].digit == u'0')
                ++intZeros;
            else
                intHash = true;
        }
    }
    for (qsizetype i = 0; i < intEnd; ++i) {
        if (t[i].type != Tok::Comma || firstIntDigit < 0 || i < firstIntDigit)
            continue;
        if (i < lastIntDigit)
            grouping = true;
        else
            ++scale;
    }
    if (point >= 0) {
        for (qsizetype i = point + 1; i < fracEnd; ++i) {
            if (t[i].type == Tok::Digit)
                fracPattern += t[i].digit;
        }
    }
    if (exp >= 0) {
        for (qsizetype i = exp + 1; i < qsizetype(t.size()); ++i) {
            if (t[i].type == Tok::Digit)
                expPattern += t[i].digit;
        }
    }
    for (const Token &token : t) {
        if (token.type == Tok::Percent)
            ++percents;
    }

    double v = std::fabs(value);
    for (int i = 0; i < percents; ++i)
        v *= 100;
    for (int i = 0; i < scale; ++i)
        v /= 1000;

    const int decimals = int(fracPattern.size());
    int exponent = 0;
    if (exp >= 0 && v != 0 && std::isfinite(v)) {
        const int step = (intHash && intDigits > 1) ? intDigits : 1;
        const int shown = step > 1 ? 1 : std::max(intDigits, 1);
        int e = int(std::floor(std::log10(v)));
        exponent = step > 1 ? int(std::floor(double(e) / step)) * step : e - (shown - 1);
        double mantissa = v / std::pow(10.0, exponent);
        // Rounding may carry the mantissa to the next power of ten.
        const auto probe = roundedDigits(mantissa, decimals);
        if (probe.first.size() > (step > 1 ? step : shown)) {
            exponent += step;
            mantissa = v / std::pow(10.0, exponent);
        }
        v = mantissa;
    }
    auto [intStr, fracStr] = roundedDigits(v, decimals);
    // Optional decimals: '#' drops a trailing zero, '?' shows a blank for it.
    for (qsizetype i = fracPattern.size() - 1; i >= 0; --i) {
        if (fracPattern[i] == u'0' || fracStr[i] != u'0')
            break;
        fracStr[i] = fracPattern[i] == u'?' ? u' ' : u'\0';
    }
    fracStr.remove(QChar(u'\0'));
    if (intStr == u"0" && intZeros == 0)
        intStr.clear();
    if (intStr.size() < intZeros)
        intStr = QString(intZeros - intStr.size(), u'0') + intStr;
    if (grouping)
        intStr = grouped(intStr);
    const bool allZero = (intStr.isEmpty() || intStr.count(u'0') + intStr.count(u',') == intStr.size())
                         && fracStr.count(u'0') + fracStr.count(u' ') == fracStr.size();

    QString out;
    bool intDone = false;
    for (qsizetype i = 0; i < qsizetype(t.size()); ++i) {
        const Token &token = t[i];
        switch (token.type) {
        case Tok::Literal:
            out += token.text;
            break;
        case Tok::Percent:
            out += u'%';
            break;
        case Tok::Digit:
            if (i < intEnd && !intDone) {
                out += intStr;
                intDone = true;
            }
            break;
        case Tok::Point:
            if (i == point) {
                if (!intDone) {
                    out += intStr;
                    intDone = true;
                }
                out += u'.' + fracStr;
            } else {
                out += u'.';
            }
            break;
        case Tok::Comma:
            if (firstIntDigit < 0 || i < firstIntDigit || i >= intEnd)
                out += u',';
            break;
        case Tok::Exp: {
            if (!intDone) {
                out += intStr;
                intDone = true;
            }
            QString digits = QString::number(std::abs(exponent));
            const int minDigits = int(expPattern.count(u'0'));
            if (digits.size() < minDigits)
                digits = QString(minDigits - digits.size(), u'0') + digits;
            out += u'E';
            if (exponent < 0)
                out += u'-';
            else if (token.text == u"+")
                out += u'+';
            out += digits;
            break;
        }
        case Tok::General:
            out += FormatGeneral(v);
            break;
        case Tok::Text:
        case Tok::Date:
            break;
        }
    }
    if (negative && !allZero)
        out.prepend(u'-');
    return out;
}

const char *const MonthNames[] = {"January", "February", "March", "April", "May", "June", "July",
                                  "August", "September", "October", "November", "December"};
const char *const DayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

QString padded(qint64 n, int width)
{
    return QStringLiteral("%1").arg(n, width, 10, QChar(u'0'));
}

QString formatDate(double serial, const Section &section, bool date1904)
{
    if (serial < 0 || serial > 2958466 || !std::isfinite(serial))
        return QStringLiteral("########");
    const auto &t = section.tokens;
    // Fractions of a second shown after the seconds ("ss.00").
    int fractionDigits = 0;
    for (qsizetype i = 0; i < qsizetype(t.size()); ++i) {
        if (t[i].type == Tok::Point && i > 0 && t[i - 1].type == Tok::Date && t[i - 1].text.startsWith(u's')) {
            for (qsizetype j = i + 1; j < qsizetype(t.size()) && t[j].type == Tok::Digit; ++j)
                ++fractionDigits;
        }
    }
    const double unitsPerSecond = std::pow(10.0, fractionDigits);
    const qint64 units = qint64(std::llround(serial * 86400.0 * unitsPerSecond));
    const qint64 perDay = qint64(86400 * unitsPerSecond);
    const qint64 day = units / perDay;
    const qint64 dayUnits = units % perDay;
    const qint64 secondsOfDay = dayUnits / qint64(unitsPerSecond);
    const qint64 fraction = dayUnits % qint64(unitsPerSecond);
    const int hour = int(secondsOfDay / 3600), minute = int(secondsOfDay / 60 % 60), second = int(secondsOfDay % 60);

    int year = 1900, month = 1, dayOfMonth = 0, weekday = 0;
    if (date1904) {
        const QDate d = QDate(1904, 1, 1).addDays(day);
        year = d.year(), month = d.month(), dayOfMonth = d.day();
        weekday = int((day + 5) % 7);
    } else {
        if (day == 60) {
            month = 2, dayOfMonth = 29;
        } else if (day > 0) {
            const QDate d = day < 60 ? QDate(1899, 12, 31).addDays(day) : QDate(1899, 12, 30).addDays(day);
            year = d.year(), month = d.month(), dayOfMonth = d.day();
        }
        weekday = int((day + 6) % 7);
    }
    bool twelveHour = false;
    for (const Token &token : t) {
        if (token.type == Tok::Date && token.text.contains(u'/'))
            twelveHour = true;
    }

    // A month code next to hours or seconds means minutes.
    auto neighbourDate = [&](qsizetype i, int dir) -> QString {
        for (qsizetype j = i + dir; j >= 0 && j < qsizetype(t.size()); j += dir) {
            if (t[j].type == Tok::Date)
                return t[j].text;
        }
        return {};
    };

    QString out;
    for (qsizetype i = 0; i < qsizetype(t.size()); ++i) {
        const Token &token = t[i];
        switch (token.type) {
        case Tok::Literal:
            out += token.text;
            break;
        case Tok::Comma:
            out += u',';
            break;
        case Tok::Percent:
            out += u'%';
            break;
        case Tok::Point:
            if (i > 0 && t[i - 1].type == Tok::Date && t[i - 1].text.startsWith(u's') && fractionDigits > 0)
                out += u'.' + padded(fraction, fractionDigits);
            else
                out += u'.';
            break;
        case Tok::Date: {
            const QString &p = token.text;
            const QChar c = p[0];
            if (p == u"[h]") {
                out += QString::number(units / qint64(unitsPerSecond) / 3600);
            } else if (p == u"[m]") {
                out += QString::number(units / qint64(unitsPerSecond) / 60);
            } else if (p == u"[s]") {
                out += QString::number(units / qint64(unitsPerSecond));
            } else if (p.contains(u'/')) {
                const bool pm = hour >= 12;
                if (p.size() == 5)
                    out += pm ? QStringLiteral("PM") : QStringLiteral("AM");
                else
                    out += pm ? (p[2].isLower() ? u'p' : u'P') : (p[0].isLower() ? u'a' : u'A');
            } else if (c == u'y') {
                out += p.size() <= 2 ? padded(year % 100, 2) : padded(year, 4);
            } else if (c == u'm') {
                const QString before = neighbourDate(i, -1), after = neighbourDate(i, 1);
                const bool minutes = p.size() <= 2
                                     && (before.startsWith(u'h') || before.startsWith(u"[h") || after.startsWith(u's'));
                if (minutes)
                    out += padded(minute, int(p.size()));
                else if (p.size() <= 2)
                    out += padded(month, int(p.size()));
                else if (p.size() == 3)
                    out += QString::fromLatin1(MonthNames[month - 1]).left(3);
                else if (p.size() == 5)
                    out += QString::fromLatin1(MonthNames[month - 1]).left(1);
                else
                    out += QString::fromLatin1(MonthNames[month - 1]);
            } else if (c == u'd') {
                if (p.size() <= 2)
                    out += padded(dayOfMonth, int(p.size()));
                else if (p.size() == 3)
                    out += QString::fromLatin1(DayNames[weekday]).left(3);
                else
                    out += QString::fromLatin1(DayNames[weekday]);
            } else if (c == u'h') {
                int h = hour;
                if (twelveHour) {
                    h %= 12;
                    if (h == 0)
                        h = 12;
                }
                out += padded(h, std::min(int(p.size()), 2));
            } else if (c == u's') {
                out += padded(second, std::min(int(p.size()), 2));
            }
            break;
        }
        case Tok::Digit:
            // digits after "ss." were written with the point
            if (!(i > 0 && (t[i - 1].type == Tok::Point || t[i - 1].type == Tok::Digit)))
                out += token.digit == u'?' ? u' ' : token.digit;
            break;
        case Tok::Exp:
        case Tok::Text:
        case Tok::General:
            break;
        }
    }
    return out;
}

// Parsed codes, kept because a workbook applies few codes to many cells.
const std::vector<Section> &sectionsOf(const QString &code)
{
    thread_local QHash<QString, std::vector<Section>> cache;
    const auto it = cache.constFind(code);
    if (it != cache.constEnd())
        return *it;
    if (cache.size() > 512)
        cache.clear();
    std::vector<Section> sections;
    for (const QString &part : splitSections(code))
        sections.push_back(parseSection(part));
    return *cache.insert(code, std::move(sections));
}

} // namespace

QString BuiltinNumberFormat(int id)
{
    switch (id) {
    case 1: return QStringLiteral("0");
    case 2: return QStringLiteral("0.00");
    case 3: return QStringLiteral("#,##0");
    case 4: return QStringLiteral("#,##0.00");
    case 5: return QStringLiteral("$#,##0_);($#,##0)");
    case 6: return QStringLiteral("$#,##0_);[Red]($#,##0)");
    case 7: return QStringLiteral("$#,##0.00_);($#,##0.00)");
    case 8: return QStringLiteral("$#,##0.00_);[Red]($#,##0.00)");
    case 9: return QStringLiteral("0%");
    case 10: return QStringLiteral("0.00%");
    case 11: return QStringLiteral("0.00E+00");
    case 14: return QStringLiteral("m/d/yyyy");
    case 15: return QStringLiteral("d-mmm-yy");
    case 16: return QStringLiteral("d-mmm");
    case 17: return QStringLiteral("mmm-yy");
    case 18: return QStringLiteral("h:mm AM/PM");
    case 19: return QStringLiteral("h:mm:ss AM/PM");
    case 20: return QStringLiteral("h:mm");
    case 21: return QStringLiteral("h:mm:ss");
    case 22: return QStringLiteral("m/d/yyyy h:mm");
    case 37: return QStringLiteral("#,##0 ;(#,##0)");
    case 38: return QStringLiteral("#,##0 ;[Red](#,##0)");
    case 39: return QStringLiteral("#,##0.00;(#,##0.00)");
    case 40: return QStringLiteral("#,##0.00;[Red](#,##0.00)");
    case 45: return QStringLiteral("mm:ss");
    case 46: return QStringLiteral("[h]:mm:ss");
    case 47: return QStringLiteral("mm:ss.0");
    case 48: return QStringLiteral("##0.0E+0");
    case 49: return QStringLiteral("@");
    default: return QStringLiteral("General");
    }
}

QString FormatGeneral(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    if (!std::isfinite(value))
        return QStringLiteral("#NUM!");
    const double a = std::fabs(value);
    const QString sign = value < 0 ? QStringLiteral("-") : QString();
    if (a >= 1e11 || a < 1e-9) {
        // Scientific with up to five decimals: 1.23457E+11
        QString s = QString::number(a, 'E', 5);
        const qsizetype e = s.indexOf(u'E');
        QString mantissa = s.left(e);
        while (mantissa.endsWith(u'0'))
            mantissa.chop(1);
        if (mantissa.endsWith(u'.'))
            mantissa.chop(1);
        int exponent = s.mid(e + 1).toInt();
        return sign % mantissa % QStringLiteral("E") % (exponent < 0 ? u'-' : u'+')
               % padded(std::abs(exponent), 2);
    }
    const int intDigits = a >= 1 ? int(std::floor(std::log10(a))) + 1 : 1;
    const int decimals = a >= 1 ? std::max(0, 10 - intDigits) : 9; // 11 characters with the point
    auto [intPart, frac] = roundedDigits(a, decimals);
    while (frac.endsWith(u'0'))
        frac.chop(1);
    return sign % intPart % (frac.isEmpty() ? QString() : u'.' + frac);
}

bool IsDateFormat(const QString &code)
{
    for (const QString &part : splitSections(code)) {
        if (parseSection(part).isDate)
            return true;
    }
    return false;
}

QString FormatNumber(double value, const QString &code, bool date1904)
{
    if (code.isEmpty() || code.compare(u"General", Qt::CaseInsensitive) == 0)
        return FormatGeneral(value);
    const std::vector<Section> &sections = sectionsOf(code);
    // The text section holds @; it never formats numbers.
    qsizetype numeric = std::min<qsizetype>(sections.size(), 3);
    if (sections.size() <= 3 && numeric > 1) {
        const auto &last = sections[size_t(numeric - 1)].tokens;
        if (std::any_of(last.begin(), last.end(), [](const Token &x) { return x.type == Tok::Text; }))
            --numeric;
    }
    size_t index = 0;
    bool negative = value < 0;
    if (numeric >= 2 && value < 0) {
        index = 1;
        negative = false;
    } else if (numeric >= 3 && value == 0) {
        index = 2;
    }
    const Section &section = sections[index];
    if (section.empty)
        return {};
    const bool onlyText = std::all_of(section.tokens.begin(), section.tokens.end(),
                                      [](const Token &x) { return x.type == Tok::Text || x.type == Tok::Literal; })
                          && std::any_of(section.tokens.begin(), section.tokens.end(),
                                         [](const Token &x) { return x.type == Tok::Text; });
    if (onlyText)
        return FormatGeneral(value);
    if (section.isDate)
        return formatDate(value, section, date1904);
    return formatNumeric(value, section, negative);
}

QString FormatText(const QString &text, const QString &code)
{
    const QStringList parts = splitSections(code);
    qsizetype index = -1;
    if (parts.size() >= 4) {
        index = 3;
    } else {
        for (qsizetype i = 0; i < parts.size(); ++i) {
            const Section s = parseSection(parts[i]);
            if (std::any_of(s.tokens.begin(), s.tokens.end(), [](const Token &x) { return x.type == Tok::Text; }))
                index = i;
        }
    }
    if (index < 0)
        return text;
    QString out;
    for (const Token &token : parseSection(parts[index]).tokens) {
        if (token.type == Tok::Text)
            out += text;
        else if (token.type == Tok::Literal)
            out += token.text;
    }
    return out;
}

} // namespace korvalo
