#include "core/sheets/numberformat.h"

#include "core/sheets/numberformatcode.h"

#include <QStringBuilder>

#include <algorithm>
#include <cmath>
#include <vector>

namespace korvalo {
namespace {

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

QString formatNumeric(double value, const FormatSection &section, bool negative)
{
    const auto &t = section.tokens;
    // Positions of the parts of the number pattern.
    qsizetype point = -1, exp = -1;
    for (qsizetype i = 0; i < qsizetype(t.size()); ++i) {
        if (t[i].type == FormatTok::Point && point < 0 && exp < 0)
            point = i;
        else if (t[i].type == FormatTok::Exp && exp < 0)
            exp = i;
    }
    const qsizetype intEnd = point >= 0 ? point : (exp >= 0 ? exp : qsizetype(t.size()));
    const qsizetype fracEnd = exp >= 0 ? exp : qsizetype(t.size());
    int intDigits = 0, intZeros = 0, percents = 0, scale = 0;
    bool grouping = false, intHash = false;
    QString fracPattern, expPattern;
    qsizetype lastIntDigit = -1, firstIntDigit = -1;
    for (qsizetype i = 0; i < intEnd; ++i) {
        if (t[i].type == FormatTok::Digit) {
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
        if (t[i].type != FormatTok::Comma || firstIntDigit < 0 || i < firstIntDigit)
            continue;
        if (i < lastIntDigit)
            grouping = true;
        else
            ++scale;
    }
    if (point >= 0) {
        for (qsizetype i = point + 1; i < fracEnd; ++i) {
            if (t[i].type == FormatTok::Digit)
                fracPattern += t[i].digit;
        }
    }
    if (exp >= 0) {
        for (qsizetype i = exp + 1; i < qsizetype(t.size()); ++i) {
            if (t[i].type == FormatTok::Digit)
                expPattern += t[i].digit;
        }
    }
    for (const FormatToken &token : t) {
        if (token.type == FormatTok::Percent)
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
        const FormatToken &token = t[i];
        switch (token.type) {
        case FormatTok::Literal:
            out += token.text;
            break;
        case FormatTok::Percent:
            out += u'%';
            break;
        case FormatTok::Digit:
            if (i < intEnd && !intDone) {
                out += intStr;
                intDone = true;
            }
            break;
        case FormatTok::Point:
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
        case FormatTok::Comma:
            if (firstIntDigit < 0 || i < firstIntDigit || i >= intEnd)
                out += u',';
            break;
        case FormatTok::Exp: {
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
        case FormatTok::General:
            out += FormatGeneral(v);
            break;
        case FormatTok::Text:
        case FormatTok::Date:
            break;
        }
    }
    if (negative && !allZero)
        out.prepend(u'-');
    return out;
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
               % ZeroPadded(std::abs(exponent), 2);
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
    for (const QString &part : SplitFormatSections(code)) {
        if (ParseFormatSection(part).isDate)
            return true;
    }
    return false;
}

QString FormatNumber(double value, const QString &code, bool date1904)
{
    if (code.isEmpty() || code.compare(u"General", Qt::CaseInsensitive) == 0)
        return FormatGeneral(value);
    const std::vector<FormatSection> &sections = CachedFormatSections(code);
    // The text section holds @; it never formats numbers.
    qsizetype numeric = std::min<qsizetype>(sections.size(), 3);
    if (sections.size() <= 3 && numeric > 1) {
        const auto &last = sections[size_t(numeric - 1)].tokens;
        if (std::any_of(last.begin(), last.end(), [](const FormatToken &x) { return x.type == FormatTok::Text; }))
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
    const FormatSection &section = sections[index];
    if (section.empty)
        return {};
    const bool onlyText = std::all_of(section.tokens.begin(), section.tokens.end(),
                                      [](const FormatToken &x) { return x.type == FormatTok::Text || x.type == FormatTok::Literal; })
                          && std::any_of(section.tokens.begin(), section.tokens.end(),
                                         [](const FormatToken &x) { return x.type == FormatTok::Text; });
    if (onlyText)
        return FormatGeneral(value);
    if (section.isDate)
        return FormatDateSection(value, section, date1904);
    return formatNumeric(value, section, negative);
}

QString FormatText(const QString &text, const QString &code)
{
    const QStringList parts = SplitFormatSections(code);
    qsizetype index = -1;
    if (parts.size() >= 4) {
        index = 3;
    } else {
        for (qsizetype i = 0; i < parts.size(); ++i) {
            const FormatSection s = ParseFormatSection(parts[i]);
            if (std::any_of(s.tokens.begin(), s.tokens.end(), [](const FormatToken &x) { return x.type == FormatTok::Text; }))
                index = i;
        }
    }
    if (index < 0)
        return text;
    QString out;
    for (const FormatToken &token : ParseFormatSection(parts[index]).tokens) {
        if (token.type == FormatTok::Text)
            out += text;
        else if (token.type == FormatTok::Literal)
            out += token.text;
    }
    return out;
}

} // namespace korvalo
