#include "core/sheets/numberformatcode.h"

#include <QDate>

#include <algorithm>
#include <cmath>

namespace korvalo {
namespace {

const char *const MonthNames[] = {"January", "February", "March", "April", "May", "June", "July",
                                  "August", "September", "October", "November", "December"};
const char *const DayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

} // namespace

QString ZeroPadded(qint64 n, int width)
{
    return QStringLiteral("%1").arg(n, width, 10, QChar(u'0'));
}

QString FormatDateSection(double serial, const FormatSection &section, bool date1904)
{
    if (serial < 0 || serial > 2958466 || !std::isfinite(serial))
        return QStringLiteral("########");
    const auto &t = section.tokens;
    // Fractions of a second shown after the seconds ("ss.00").
    int fractionDigits = 0;
    for (qsizetype i = 0; i < qsizetype(t.size()); ++i) {
        if (t[i].type == FormatTok::Point && i > 0 && t[i - 1].type == FormatTok::Date && t[i - 1].text.startsWith(u's')) {
            for (qsizetype j = i + 1; j < qsizetype(t.size()) && t[j].type == FormatTok::Digit; ++j)
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
    for (const FormatToken &token : t) {
        if (token.type == FormatTok::Date && token.text.contains(u'/'))
            twelveHour = true;
    }

    // A month code next to hours or seconds means minutes.
    auto neighbourDate = [&](qsizetype i, int dir) -> QString {
        for (qsizetype j = i + dir; j >= 0 && j < qsizetype(t.size()); j += dir) {
            if (t[j].type == FormatTok::Date)
                return t[j].text;
        }
        return {};
    };

    QString out;
    for (qsizetype i = 0; i < qsizetype(t.size()); ++i) {
        const FormatToken &token = t[i];
        switch (token.type) {
        case FormatTok::Literal:
            out += token.text;
            break;
        case FormatTok::Comma:
            out += u',';
            break;
        case FormatTok::Percent:
            out += u'%';
            break;
        case FormatTok::Point:
            if (i > 0 && t[i - 1].type == FormatTok::Date && t[i - 1].text.startsWith(u's') && fractionDigits > 0)
                out += u'.' + ZeroPadded(fraction, fractionDigits);
            else
                out += u'.';
            break;
        case FormatTok::Date: {
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
                out += p.size() <= 2 ? ZeroPadded(year % 100, 2) : ZeroPadded(year, 4);
            } else if (c == u'm') {
                const QString before = neighbourDate(i, -1), after = neighbourDate(i, 1);
                const bool minutes = p.size() <= 2
                                     && (before.startsWith(u'h') || before.startsWith(u"[h") || after.startsWith(u's'));
                if (minutes)
                    out += ZeroPadded(minute, int(p.size()));
                else if (p.size() <= 2)
                    out += ZeroPadded(month, int(p.size()));
                else if (p.size() == 3)
                    out += QString::fromLatin1(MonthNames[month - 1]).left(3);
                else if (p.size() == 5)
                    out += QString::fromLatin1(MonthNames[month - 1]).left(1);
                else
                    out += QString::fromLatin1(MonthNames[month - 1]);
            } else if (c == u'd') {
                if (p.size() <= 2)
                    out += ZeroPadded(dayOfMonth, int(p.size()));
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
                out += ZeroPadded(h, std::min(int(p.size()), 2));
            } else if (c == u's') {
                out += ZeroPadded(second, std::min(int(p.size()), 2));
            }
            break;
        }
        case FormatTok::Digit:
            // digits after "ss." were written with the point
            if (!(i > 0 && (t[i - 1].type == FormatTok::Point || t[i - 1].type == FormatTok::Digit)))
                out += token.digit == u'?' ? u' ' : token.digit;
            break;
        case FormatTok::Exp:
        case FormatTok::Text:
        case FormatTok::General:
            break;
        }
    }
    return out;
}

} // namespace korvalo
