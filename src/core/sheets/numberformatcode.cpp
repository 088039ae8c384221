#include "core/sheets/numberformatcode.h"

#include <QHash>

namespace korvalo {
namespace {

bool isDateLetter(QChar c)
{
    const QChar l = c.toLower();
    return l == u'y' || l == u'm' || l == u'd' || l == u'h' || l == u's';
}

} // namespace

QStringList SplitFormatSections(const QString &code)
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

FormatSection ParseFormatSection(const QString &code)
{
    FormatSection section;
    section.empty = code.isEmpty();
    auto literal = [&](const QString &text) {
        if (!section.tokens.empty() && section.tokens.back().type == FormatTok::Literal)
            section.tokens.back().text += text;
        else
            section.tokens.push_back({FormatTok::Literal, text, {}});
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
                section.tokens.push_back({FormatTok::Date, u'[' + lower.left(1) + u']', {}});
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
            section.tokens.push_back({FormatTok::Digit, {}, c});
        } else if (c == u'.') {
            section.tokens.push_back({FormatTok::Point, {}, {}});
        } else if (c == u',') {
            section.tokens.push_back({FormatTok::Comma, {}, {}});
        } else if (c == u'%') {
            section.tokens.push_back({FormatTok::Percent, {}, {}});
        } else if ((c == u'E' || c == u'e') && i + 1 < n && (code[i + 1] == u'+' || code[i + 1] == u'-')) {
            section.tokens.push_back({FormatTok::Exp, QString(code[i + 1]), {}});
            ++i;
        } else if (code.mid(i, 5).compare(u"AM/PM", Qt::CaseInsensitive) == 0) {
            section.tokens.push_back({FormatTok::Date, QStringLiteral("AM/PM"), {}});
            section.isDate = true;
            i += 4;
        } else if (code.mid(i, 3).compare(u"A/P", Qt::CaseInsensitive) == 0) {
            section.tokens.push_back({FormatTok::Date, code.mid(i, 3), {}});
            section.isDate = true;
            i += 2;
        } else if (code.mid(i, 7).compare(u"General", Qt::CaseInsensitive) == 0) {
            section.tokens.push_back({FormatTok::General, {}, {}});
            i += 6;
        } else if (isDateLetter(c)) {
            qsizetype j = i;
            while (j < n && code[j].toLower() == c.toLower())
                ++j;
            section.tokens.push_back({FormatTok::Date, code.mid(i, j - i).toLower(), {}});
            section.isDate = true;
            i = j - 1;
        } else if (c == u'@') {
            section.tokens.push_back({FormatTok::Text, {}, {}});
        } else if ((c == u'g' || c == u'G' || c == u'b' || c == u'B') && section.isDate) {
            // era codes: read past
        } else {
            literal(QString(c));
        }
    }
    return section;
}

const std::vector<FormatSection> &CachedFormatSections(const QString &code)
{
    thread_local QHash<QString, std::vector<FormatSection>> cache;
    const auto it = cache.constFind(code);
    if (it != cache.constEnd())
        return *it;
    if (cache.size() > 512)
        cache.clear();
    std::vector<FormatSection> sections;
    for (const QString &part : SplitFormatSections(code))
        sections.push_back(ParseFormatSection(part));
    return *cache.insert(code, std::move(sections));
}

} // namespace korvalo
