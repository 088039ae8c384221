#include "core/model/textutil.h"

#include <charconv>
#include <cmath>
#include <string>

namespace korvalo {

double RoundHalfEven(double value)
{
    // nearbyint rounds in the current mode, which is round-to-nearest-even unless
    // somebody changed it; do the tie explicitly so that nothing depends on it.
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5)
        return floor;
    if (diff > 0.5)
        return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

namespace {

// Fixed notation of `value`, written into `out` as ASCII with '.' as the separator.
template <typename String>
void formatDecimalAscii(String &out, double value, int decimals, int significantDigits)
{
    if (std::isnan(value)) {
        out += "NAN";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-INF" : "INF";
        return;
    }
    decimals = std::max(decimals, 0);

    // 18 significant digits: d.ddddddddddddddddde+XX
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 17);
    const std::string_view text(buf, size_t(res.ptr - buf));
    char digits[24];
    int count = 0;
    size_t pos = 0;
    for (; pos < text.size() && text[pos] != 'e'; ++pos) {
        if (text[pos] != '.')
            digits[count++] = text[pos];
    }
    int exponent = 0;
    std::from_chars(text.data() + pos + 1 + (text[pos + 1] == '+' ? 1 : 0), text.data() + text.size(), exponent);

    // Keep the digits before the cut: `decimals` after the point, at most
    // `significantDigits` in all.
    int keep = std::min(significantDigits, exponent + 1 + decimals);
    bool roundUp = false;
    if (keep < 0) {
        keep = 0;
    } else if (keep < count) {
        roundUp = digits[keep] >= '5';
    }
    keep = std::min(keep, count);
    if (value == 0.0)
        keep = 0, roundUp = false;
    if (roundUp) {
        int i = keep - 1;
        while (i >= 0 && digits[i] == '9')
            digits[i--] = '0';
        if (i >= 0) {
            ++digits[i];
        } else {
            // All kept digits were nines (or none was kept): a new leading 1.
            for (int j = keep; j > 0; --j)
                digits[j] = digits[j - 1];
            digits[0] = '1';
            ++keep;
            ++exponent;
        }
    }
    bool allZero = true;
    for (int i = 0; i < keep; ++i)
        allZero = allZero && digits[i] == '0';

    // Digit k of the kept ones stands for 10^(exponent - k).
    auto digitAt = [&](int power) -> char {
        const int k = exponent - power;
        return (k >= 0 && k < keep) ? digits[k] : '0';
    };
    if (value < 0 && !allZero)
        out += '-';
    for (int power = std::max(exponent, 0); power >= 0; --power)
        out += digitAt(power);
    if (decimals > 0) {
        out += '.';
        for (int power = -1; power >= -decimals; --power)
            out += digitAt(power);
    }
}

} // namespace

void AppendDecimal(TextBuffer &out, double value, int decimals, int significantDigits)
{
    formatDecimalAscii(out, value, decimals, significantDigits);
}

QString FormatDecimal(double value, int decimals, int significantDigits, QChar separator)
{
    std::string ascii;
    formatDecimalAscii(ascii, value, decimals, significantDigits);
    QString result = QString::fromLatin1(ascii.data(), qsizetype(ascii.size()));
    if (separator != u'.')
        result.replace(u'.', separator);
    return result;
}

QString FormatFixed(double value, int decimals, QChar separator)
{
    return FormatDecimal(value, decimals, 15, separator);
}

QString TrimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    if (begin == 0 && end == text.size())
        return text;
    return text.mid(begin, end - begin);
}

bool IsBlank(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() > 0x20)
            return false;
    }
    return true;
}

QStringList SplitText(const QString &text, QChar separator)
{
    QStringList parts;
    QString rest = TrimBlanks(text);
    while (!rest.isEmpty()) {
        const qsizetype at = rest.indexOf(separator);
        if (at < 0) {
            parts.append(rest);
            break;
        }
        parts.append(rest.left(at));
        rest = TrimBlanks(rest.mid(at + 1));
    }
    return parts;
}

int DistinctList::add(const QString &text)
{
    const QString key = text.toCaseFolded();
    auto it = m_index.constFind(key);
    if (it != m_index.cend())
        return it.value();
    m_items.append(text);
    m_index.insert(key, int(m_items.size()) - 1);
    return int(m_items.size()) - 1;
}

int DistinctList::indexOf(const QString &text) const
{
    return m_index.value(text.toCaseFolded(), -1);
}

QString LineBreaksToBlanks(const QString &text)
{
    if (!text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += u' ';
        } else if (c == u'\n') {
            out += u' ';
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace korvalo
