#include "egofile/egofile.h"

#include "egofile/safefile.h"
#include "egofile/textcodec.h"
#include "model/textutil.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>


namespace {

// ---------------------------------------------------------------------------------------
// Reading

// The whole file as one text: every line trimmed of blanks and control characters at
// both ends and appended with no separator. Bytes up to 0x20 are the same characters in
// UTF-8 and in Windows-1252, so trimming works on the bytes.
TextBuffer joinedLines(const QByteArray &bytes)
{
    std::string_view all(bytes.constData(), size_t(bytes.size()));
    if (all.substr(0, 3) == "\xEF\xBB\xBF")
        all.remove_prefix(3);
    TextBuffer joined;
    joined.reserve(all.size());
    const char *p = all.data();
    const char *const end = p + all.size();
    while (p < end) {
        // A line ends at LF, CR LF or a lone CR.
        const char *lf = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const char *lineEnd = lf ? lf : end;
        const char *cr = static_cast<const char *>(std::memchr(p, '\r', size_t(lineEnd - p)));
        if (cr)
            lineEnd = cr;
        const char *b = p;
        const char *e = lineEnd;
        while (b < e && static_cast<unsigned char>(*b) <= 0x20)
            ++b;
        while (e > b && static_cast<unsigned char>(e[-1]) <= 0x20)
            --e;
        joined.append(b, size_t(e - b));
        p = lineEnd + 1;
    }
    return joined;
}

// First occurrence of needle in text at or after `from`. glibc's memmem skips ahead by
// up to the needle's length, which matters in a text where every tenth byte is a '<'.
size_t findText(std::string_view text, std::string_view needle, size_t from = 0)
{
    if (from > text.size())
        return std::string_view::npos;
    const void *hit = ::memmem(text.data() + from, text.size() - from, needle.data(), needle.size());
    return hit ? size_t(static_cast<const char *>(hit) - text.data()) : std::string_view::npos;
}

struct Found
{
    std::string_view value;
    std::string_view rest;
};

// First "<name>" and the first "</name>" after it; nothing unless both are there.
std::optional<Found> findElement(std::string_view text, std::string_view name)
{
    char open[32], close[33];
    const size_t n = name.size();
    if (n + 3 > sizeof open)
        return std::nullopt;
    open[0] = '<';
    std::copy(name.begin(), name.end(), open + 1);
    open[n + 1] = '>';
    close[0] = '<';
    close[1] = '/';
    std::copy(name.begin(), name.end(), close + 2);
    close[n + 2] = '>';
    const std::string_view openTag(open, n + 2), closeTag(close, n + 3);

    const size_t at = findText(text, openTag);
    if (at == std::string_view::npos)
        return std::nullopt;
    const size_t valueStart = at + openTag.size();
    const size_t end = findText(text, closeTag, valueStart);
    if (end == std::string_view::npos)
        return std::nullopt;
    return Found{text.substr(valueStart, end - valueStart), text.substr(end + closeTag.size())};
}

// Finds the fields of one record in a single pass: for each wanted name the first
// "<name>" and the first "</name>" after it, exactly as a fresh substring search from the
// record's start would.
template <size_t N>
class FieldScanner
{
public:
    explicit constexpr FieldScanner(const std::array<std::string_view, N> &names) : m_names(names) {}

    // Values of the fields; a field without both tags is empty and marked missing.
    struct Fields
    {
        std::array<std::string_view, N> value{};
        std::array<bool, N> present{};
    };

    Fields scan(std::string_view text) const
    {
        Fields out;
        std::array<size_t, N> openEnd;
        openEnd.fill(std::string_view::npos);
        size_t remaining = N;
        const char *data = text.data();
        const size_t size = text.size();
        size_t p = 0;
        while (remaining > 0) {
            const void *hit = p < size ? std::memchr(data + p, '<', size - p) : nullptr;
            if (!hit)
                break;
            p = size_t(static_cast<const char *>(hit) - data);
            // The tag name runs to the next '>'; another '<' first means this one opens
            // no tag (the next '<' is looked at in turn).
            size_t q = p + 1;
            while (q < size && data[q] != '>' && data[q] != '<')
                ++q;
            if (q >= size)
                break;
            if (data[q] == '<') {
                p = q;
                continue;
            }
            std::string_view name(data + p + 1, q - p - 1);
            const bool closing = !name.empty() && name.front() == '/';
            if (closing)
                name.remove_prefix(1);
            const int i = indexOf(name);
            if (i >= 0) {
                if (!closing && openEnd[size_t(i)] == std::string_view::npos) {
                    openEnd[size_t(i)] = q + 1;
                } else if (closing && openEnd[size_t(i)] != std::string_view::npos && !out.present[size_t(i)]) {
                    out.value[size_t(i)] = text.substr(openEnd[size_t(i)], p - openEnd[size_t(i)]);
                    out.present[size_t(i)] = true;
                    --remaining;
                }
            }
            p = q + 1;
        }
        return out;
    }

private:
    int indexOf(std::string_view name) const
    {
        if (name.empty())
            return -1;
        for (size_t i = 0; i < N; ++i) {
            const std::string_view candidate = m_names[i];
            if (candidate.size() == name.size() && candidate.back() == name.back()
                && candidate.front() == name.front() && candidate == name)
                return int(i);
        }
        return -1;
    }

    std::array<std::string_view, N> m_names;
};

enum SectorField { SfAngle, SfName, SfColor };
constexpr std::array<std::string_view, 3> SectorFieldNames{"SectorAngle", "SectorName", "SectorColor"};

enum NodeField {
    NfID, NfLabel, NfAngle, NfDistance, NfColor, NfSize, NfRole, NfSex, NfHuman, NfSymbol,
    NfNodeSize, NfMemo1, NfMemo2, NfMerger
};
constexpr std::array<std::string_view, 14> NodeFieldNames{
    "ID", "Label", "Angle", "Distance", "Color", "Size", "Role", "Sex", "Human", "Symbol",
    "NodeSize", "Memo1", "Memo2", "Merger"};

enum LineField { LfA, LfB, LfSize, LfColor };
constexpr std::array<std::string_view, 4> LineFieldNames{"A", "B", "LineSize", "LineColor"};

std::string_view trimmedBytes(std::string_view s)
{
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20)
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20)
        s.remove_suffix(1);
    return s;
}

std::optional<int> parseInteger(std::string_view text)
{
    text = trimmedBytes(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return std::nullopt;
    long long value = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size())
        return std::nullopt;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

// A decimal number written with `separator`, optionally with an exponent; it must be
// finite and fit a single.
std::optional<float> parseReal(std::string_view text, char separator)
{
    text = trimmedBytes(text);
    if (text.empty() || text.size() > 64)
        return std::nullopt;
    char buf[72];
    size_t n = 0;
    size_t i = 0;
    if (text[i] == '+' || text[i] == '-')
        buf[n++] = text[i++];
    int digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        buf[n++] = text[i++], ++digits;
    if (i < text.size() && text[i] == separator) {
        buf[n++] = '.';
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            buf[n++] = text[i++], ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        buf[n++] = text[i++];
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            buf[n++] = text[i++];
        int expDigits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            buf[n++] = text[i++], ++expDigits;
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    double value = 0;
    const char *begin = buf[0] == '+' ? buf + 1 : buf;
    const auto res = std::from_chars(begin, buf + n, value);
    if (res.ptr != buf + n || (res.ec != std::errc() && res.ec != std::errc::result_out_of_range))
        return std::nullopt;
    if (res.ec == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is refused below.
        if (std::fabs(value) < 1.0)
            value = 0.0;
        else
            return std::nullopt;
    }
    if (!std::isfinite(value) || std::fabs(value) > double(std::numeric_limits<float>::max()))
        return std::nullopt;
    return float(value);
}

class Reader
{
public:
    Reader(const QString &displayName, QChar separator, InfoSink warnings)
        : m_name(displayName), m_separator(char(separator.unicode() < 0x80 ? separator.unicode() : '.')),
          m_warnings(std::move(warnings))
    {
    }

    Status read(const QByteArray &bytes, NetworkModel &out)
    {
        const TextBuffer joined = joinedLines(bytes);
        const std::string_view all(joined);
        m_utf8 = IsValidUtf8(all);

        const size_t egoOpen = findText(all, "<Ego>");
        if (egoOpen == std::string_view::npos)
            return Status::failure(QStringLiteral("\"%1\" is not a Korvalo ego file.").arg(m_name));
        const auto egoElement = findElement(all, "Ego");
        if (!egoElement)
            return failure(QStringLiteral("the file ends before \"</Ego>\"; it seems to be incomplete."));
        const std::string_view egoText = egoElement->value;

        m_at = {0, "ego", 0};
        auto egoField = [&](std::string_view name) { return text(ExtractTagValue(egoText, name)); };
        int sex = 0;
        if (!integer(ExtractTagValue(egoText, "Sex"), "Sex", sex))
            return m_error;
        SetupEgo(out, egoField("Name"), egoField("Year"), sex, egoField("Misc1"), egoField("Misc2"),
                 egoField("EgoID"));

        std::string_view cards = egoText;
        for (int cardNo = 1;; ++cardNo) {
            const auto cardElement = findElement(cards, "Card");
            if (!cardElement)
                break;
            cards = cardElement->rest;
            m_at = {cardNo, nullptr, 0};
            if (!readCard(cardElement->value, cardNo, out))
                return m_error;
        }
        out.CurrentCard = out.CardCount() > 0 ? 1 : 0;
        return Status::success();
    }

private:
    bool readCard(std::string_view cardText, int cardNo, NetworkModel &out)
    {
        auto field = [&](std::string_view name) { return ExtractTagValue(cardText, name); };
        int circles = 0, egoColor = 1;
        if (!integer(field("Circles"), "Circles", circles))
            return false;
        const std::string_view egoColorText = field("EgoColor");
        if (!egoColorText.empty() && !integer(egoColorText, "EgoColor", egoColor))
            return false;
        QString egoNode = text(field("EgoNode"));
        if (egoNode.isEmpty())
            egoNode = QStringLiteral("none");
        const Status added = AddCard(out, text(field("ID")), circles, egoNode, egoColor,
                                     text(field("Interviewer")), text(field("Date")),
                                     text(field("CardMemo")));
        if (!added)
            return fail(QStringLiteral("the file holds more than %1 network cards.").arg(MaxCards), false);

        // Sectors
        static constexpr FieldScanner sectorScanner(SectorFieldNames);
        std::string_view rest = cardText;
        std::string_view afterLast = cardText;
        int sectorNo = 0;
        while (auto sector = findElement(rest, "Sector")) {
            rest = sector->rest;
            afterLast = rest;
            ++sectorNo;
            m_at = {cardNo, "sector", sectorNo};
            const auto f = sectorScanner.scan(sector->value);
            float angle = 0;
            int color = 0;
            if (!real(f.value[SfAngle], "SectorAngle", angle) || !integer(f.value[SfColor], "SectorColor", color))
                return false;
            if (!AddSector(out, cardNo, text(f.value[SfName]), color, angle))
                return fail(QStringLiteral("the card holds more than %1 sectors.").arg(MaxSectors), false);
        }

        // Nodes, searched from the card's start
        static constexpr FieldScanner nodeScanner(NodeFieldNames);
        rest = cardText;
        int nodeNo = 0;
        while (auto nodeElement = findElement(rest, "Node")) {
            rest = nodeElement->rest;
            afterLast = rest;
            ++nodeNo;
            m_at = {cardNo, "node", nodeNo};
            const auto f = nodeScanner.scan(nodeElement->value);
            Node node;
            if (!real(f.value[NfAngle], "Angle", node.Angle)
                || !real(f.value[NfDistance], "Distance", node.Distance)
                || !integer(f.value[NfColor], "Color", node.Color)
                || !integer(f.value[NfSize], "Size", node.Size))
                return false;
            node.ID = text(f.value[NfID]);
            node.Label = text(f.value[NfLabel]);
            node.Role = repeatedText(NfRole, f.value[NfRole]);
            node.Sex = trimmedBytes(f.value[NfSex]).empty() ? QStringLiteral("undefined")
                                                            : repeatedText(NfSex, f.value[NfSex]);
            node.Human = repeatedText(NfHuman, f.value[NfHuman]);
            node.Symbol = repeatedText(NfSymbol, f.value[NfSymbol]);
            node.NodeSize = f.value[NfNodeSize].empty() ? QStringLiteral("normal")
                                                        : repeatedText(NfNodeSize, f.value[NfNodeSize]);
            node.Memo1 = repeatedText(NfMemo1, f.value[NfMemo1]);
            node.Memo2 = repeatedText(NfMemo2, f.value[NfMemo2]);
            node.Merger = repeatedText(NfMerger, f.value[NfMerger]);
            if (!AddNode(out, cardNo, node, m_warnings, QLatin1Char(m_separator)))
                return fail(QStringLiteral("the card holds more than %1 nodes.").arg(MaxNodes), false);
        }

        // Lines, after the last node record (or sector record)
        static constexpr FieldScanner lineScanner(LineFieldNames);
        rest = afterLast;
        int lineNo = 0;
        while (auto lineElement = findElement(rest, "Line")) {
            rest = lineElement->rest;
            ++lineNo;
            m_at = {cardNo, "line", lineNo};
            const auto f = lineScanner.scan(lineElement->value);
            int a = 0, b = 0, size = 0, color = 0;
            if (!integer(f.value[LfA], "A", a) || !integer(f.value[LfB], "B", b)
                || !integer(f.value[LfSize], "LineSize", size) || !integer(f.value[LfColor], "LineColor", color))
                return false;
            if (!AddLine(out, a, b, size, color))
                return fail(QStringLiteral("the card holds more than %1 lines.").arg(MaxLines), false);
        }
        m_at = {cardNo, nullptr, 0};
        return true;
    }

    QString text(std::string_view bytes) const { return DecodeEgoText(bytes, m_utf8); }

    // Many fields repeat the previous record's value ("TRUE", "normal", a role); those
    // share the text already made instead of decoding it again.
    QString repeatedText(size_t slot, std::string_view bytes)
    {
        Cached &c = m_cache[slot];
        if (!c.valid || c.bytes != bytes) {
            c.bytes = bytes;
            c.text = text(bytes);
            c.valid = true;
        }
        return c.text;
    }

    bool integer(std::string_view value, const char *field, int &out)
    {
        if (auto v = parseInteger(value)) {
            out = *v;
            return true;
        }
        return conversionError(value, field, QStringLiteral("a whole number"));
    }

    bool real(std::string_view value, const char *field, float &out)
    {
        if (auto v = parseReal(value, m_separator)) {
            out = *v;
            return true;
        }
        return conversionError(value, field, QStringLiteral("a number"));
    }

    bool conversionError(std::string_view value, const char *field, const QString &expected)
    {
        const QString name = QString::fromLatin1(field);
        if (trimmedBytes(value).empty())
            return fail(QStringLiteral("\"%1\" is empty, %2 is expected.").arg(name, expected), false);
        QString shown = text(value);
        if (shown.size() > 60)
            shown = shown.left(57) + QStringLiteral("...");
        QString message = QStringLiteral("\"%1\" holds \"%2\", which is not %3").arg(name, shown, expected);
        const char other = m_separator == '.' ? ',' : '.';
        if (expected == u"a number" && value.find(other) != std::string_view::npos
            && parseReal(value, other))
            message += QStringLiteral(" with the decimal separator \"%1\" (see Options > Read/Write)").arg(QLatin1Char(m_separator));
        return fail(message + u'.', false);
    }

    bool fail(const QString &what, bool)
    {
        m_error = failure(what);
        return false;
    }

    Status failure(const QString &what) const
    {
        QString where;
        if (m_at.card > 0)
            where = QStringLiteral("card %1").arg(m_at.card);
        if (m_at.record) {
            if (!where.isEmpty())
                where += QStringLiteral(", ");
            where += QString::fromLatin1(m_at.record);
            if (m_at.number > 0)
                where += QStringLiteral(" %1").arg(m_at.number);
        }
        if (!where.isEmpty())
            where += QStringLiteral(": ");
        return Status::failure(QStringLiteral("Cannot read \"%1\": %2%3").arg(m_name, where, what));
    }

    struct Cached
    {
        std::string_view bytes;
        QString text;
        bool valid = false;
    };
    std::array<Cached, 20> m_cache;

    QString m_name;
    char m_separator;
    InfoSink m_warnings;
    bool m_utf8 = true;
    // Where the reader is, for messages: card number, record kind and number.
    struct Location
    {
        int card = 0;
        const char *record = nullptr;
        int number = 0;
    } m_at;
    Status m_error = Status::success();
};

// ---------------------------------------------------------------------------------------
// Writing

class Writer
{
public:
    explicit Writer(bool utf8) : m_utf8(utf8) {}
    bool utf8() const { return m_utf8; }

    TextBuffer out;

    void open(int indent, std::string_view tag)
    {
        out.append(size_t(indent), ' ');
        out += '<';
        out += tag;
        out += ">\r\n";
    }
    void close(int indent, std::string_view tag)
    {
        out.append(size_t(indent), ' ');
        out += "</";
        out += tag;
        out += ">\r\n";
    }
    void begin(int indent, std::string_view tag)
    {
        out.append(size_t(indent), ' ');
        out += '<';
        out += tag;
        out += '>';
    }
    void end(std::string_view tag)
    {
        out += "</";
        out += tag;
        out += ">\r\n";
    }
    void field(int indent, std::string_view tag, const QString &value)
    {
        begin(indent, tag);
        AppendEgoText(out, value, m_utf8);
        end(tag);
    }
    void field(int indent, std::string_view tag, int value)
    {
        begin(indent, tag);
        char buf[16];
        const auto res = std::to_chars(buf, buf + sizeof buf, value);
        out.append(buf, size_t(res.ptr - buf));
        end(tag);
    }
    void real(int indent, std::string_view tag, float value, int decimals)
    {
        begin(indent, tag);
        AppendDecimal(out, double(value), decimals, 7);
        end(tag);
    }

private:
    bool m_utf8;
};

// The widest character set of the model's texts.
Charset modelCharset(const NetworkModel &model)
{
    Charset widest = Charset::Ascii;
    auto take = [&widest](const QString &s) {
        if (widest != Charset::Unicode && !s.isEmpty()) {
            const Charset c = CharsetOf(s);
            if (c > widest)
                widest = c;
        }
        return widest != Charset::Unicode;
    };
    const Ego &e = model.ego;
    if (!take(e.Name) || !take(e.EgoID) || !take(e.Year) || !take(e.Misc1) || !take(e.Misc2))
        return widest;
    for (int c = 1; c <= model.CardCount(); ++c) {
        const NetworkCard &card = model.card(c);
        if (!take(card.ID) || !take(card.EgoNode) || !take(card.Interviewer) || !take(card.Date)
            || !take(card.CardMemo))
            return widest;
        for (int s = 1; s <= card.SectorCount(); ++s) {
            if (!take(card.Sectors[size_t(s)].SectorName))
                return widest;
        }
        for (int n = 1; n <= card.NodeCount(); ++n) {
            const Node &node = card.Nodes[size_t(n)];
            for (const QString *s : {&node.ID, &node.Label, &node.Role, &node.Sex, &node.Human, &node.Symbol,
                                     &node.NodeSize, &node.Memo1, &node.Memo2, &node.Merger}) {
                if (!take(*s))
                    return widest;
            }
        }
    }
    return widest;
}

QString fileNameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

// ---------------------------------------------------------------------------------------
// The read-back check: what the reader would make of each value, against the model.

// A record for messages, formatted only when something differs.
struct Where
{
    int card = 0;         // 0 = the ego
    const char *record = nullptr;
    int number = 0;

    QString text() const
    {
        if (card == 0)
            return QStringLiteral("ego");
        QString t = QStringLiteral("card %1").arg(card);
        if (record)
            t += QStringLiteral(", %1 %2").arg(QString::fromLatin1(record)).arg(number);
        return t;
    }
};

class Comparer
{
public:
    QString difference; // empty while the two agree

    bool same() const { return difference.isEmpty(); }

    void text(const Where &where, const char *field, const QString &expected, const QString &actual)
    {
        if (!same() || expected == actual)
            return;
        auto shown = [](QString s) {
            s.replace(u'\r', u' ').replace(u'\n', u' ');
            return s.size() > 60 ? s.left(57) + QStringLiteral("...") : s;
        };
        difference = QStringLiteral("%1: \"%2\" holds \"%3\", which would be read back as \"%4\"")
                         .arg(where.text(), QString::fromLatin1(field), shown(expected), shown(actual));
        if (expected.contains(u'\r') || expected.contains(u'\n'))
            difference += QStringLiteral(" (a line break cannot be kept)");
        else if (expected.contains(u'<'))
            difference += QStringLiteral(" (the text looks like a tag of the file)");
        difference += u'.';
    }
    void number(const Where &where, const char *field, int expected, int actual)
    {
        if (expected != actual)
            text(where, field, QString::number(expected), QString::number(actual));
    }
    // Reals agree when they are written the same way.
    void real(const Where &where, const char *field, float expected, float actual, int decimals)
    {
        if (expected == actual)
            return;
        const QString a = FormatDecimal(expected, decimals, 7, u'.');
        const QString b = FormatDecimal(actual, decimals, 7, u'.');
        if (a != b)
            text(where, field, a, b);
    }
};

QString compareModels(const NetworkModel &model, const NetworkModel &back)
{
    Comparer cmp;
    const Where egoWhere;
    cmp.text(egoWhere, "Name", model.ego.Name, back.ego.Name);
    cmp.text(egoWhere, "EgoID", model.ego.EgoID, back.ego.EgoID);
    cmp.text(egoWhere, "Year", model.ego.Year, back.ego.Year);
    cmp.number(egoWhere, "Sex", model.ego.Sex, back.ego.Sex);
    cmp.text(egoWhere, "Misc1", model.ego.Misc1, back.ego.Misc1);
    cmp.text(egoWhere, "Misc2", model.ego.Misc2, back.ego.Misc2);
    if (!cmp.same())
        return cmp.difference;
    if (back.CardCount() != model.CardCount())
        return QStringLiteral("the file would hold %1 network cards instead of %2 (a text looks like a tag of the file).")
            .arg(back.CardCount())
            .arg(model.CardCount());

    for (int c = 1; c <= model.CardCount(); ++c) {
        const NetworkCard &a = model.card(c);
        const NetworkCard &b = back.card(c);
        const Where where{c, nullptr, 0};
        cmp.text(where, "ID", CardIDOrDefault(a.ID, c), b.ID);
        cmp.number(where, "Circles", a.Circles, b.Circles);
        cmp.text(where, "EgoNode", a.EgoNode.isEmpty() ? QStringLiteral("none") : a.EgoNode, b.EgoNode);
        cmp.number(where, "EgoColor", a.EgoColor, b.EgoColor);
        cmp.text(where, "Interviewer", a.Interviewer, b.Interviewer);
        cmp.text(where, "Date", a.Date, b.Date);
        cmp.text(where, "CardMemo", a.CardMemo, b.CardMemo);
        if (!cmp.same())
            return cmp.difference;
        if (a.SectorCount() != b.SectorCount() || a.NodeCount() != b.NodeCount() || a.LineCount() != b.LineCount())
            return QStringLiteral("%1 would be read back with %2 sectors, %3 nodes and %4 lines instead of %5, %6 and %7 "
                                  "(a text looks like a tag of the file).")
                .arg(where.text())
                .arg(b.SectorCount())
                .arg(b.NodeCount())
                .arg(b.LineCount())
                .arg(a.SectorCount())
                .arg(a.NodeCount())
                .arg(a.LineCount());
        for (int s = 1; s <= a.SectorCount() && cmp.same(); ++s) {
            const Sector &x = a.Sectors[size_t(s)];
            const Sector &y = b.Sectors[size_t(s)];
            const Where w{c, "sector", s};
            cmp.real(w, "SectorAngle", x.SectorAngle, y.SectorAngle, 5);
            cmp.text(w, "SectorName", x.SectorName, y.SectorName);
            cmp.number(w, "SectorColor", x.SectorColor, y.SectorColor);
        }
        static const QString undefined = QStringLiteral("undefined");
        static const QString normal = QStringLiteral("normal");
        for (int n = 1; n <= a.NodeCount() && cmp.same(); ++n) {
            const Node &x = a.Nodes[size_t(n)];
            const Node &y = b.Nodes[size_t(n)];
            const Where w{c, "node", n};
            cmp.text(w, "ID", x.ID, y.ID);
            cmp.text(w, "Label", x.Label, y.Label);
            cmp.text(w, "Role", x.Role, y.Role);
            cmp.text(w, "Sex", IsBlank(x.Sex) ? undefined : x.Sex, y.Sex);
            cmp.real(w, "Angle", x.Angle, y.Angle, 3);
            cmp.real(w, "Distance", x.Distance, y.Distance, 3);
            cmp.number(w, "Color", x.Color, y.Color);
            cmp.text(w, "Human", x.Human == u"FALSE" ? x.Human : NormalisedHuman(x.Human), y.Human);
            cmp.number(w, "Size", x.Size, y.Size);
            cmp.text(w, "Symbol", x.Symbol, y.Symbol);
            cmp.text(w, "NodeSize", x.NodeSize.isEmpty() ? normal : x.NodeSize, y.NodeSize);
            cmp.text(w, "Memo1", x.Memo1, y.Memo1);
            cmp.text(w, "Memo2", x.Memo2, y.Memo2);
            cmp.text(w, "Merger", x.Merger, y.Merger);
        }
        for (int l = 1; l <= a.LineCount() && cmp.same(); ++l) {
            const Line &x = a.Lines[size_t(l)];
            const Line &y = b.Lines[size_t(l)];
            const Where w{c, "line", l};
            cmp.number(w, "A", x.A, y.A);
            cmp.number(w, "B", x.B, y.B);
            cmp.number(w, "LineSize", x.LineSize, y.LineSize);
            cmp.number(w, "LineColor", x.LineColor, y.LineColor);
        }
        if (!cmp.same())
            return cmp.difference;
    }
    return {};
}

} // namespace

std::string_view ExtractTagValue(std::string_view text, std::string_view name, std::string_view *rest)
{
    const auto found = findElement(text, name);
    if (!found) {
        if (rest)
            *rest = text;
        return {};
    }
    if (rest)
        *rest = trimmedBytes(found->rest);
    return found->value;
}

Result<NetworkModel> ReadEgoBytes(const QByteArray &bytes, const QString &displayName,
                                  const ReadOptions &options)
{
    NetworkModel fresh;
    QStringList infoLines;
    InfoSink collect;
    if (options.warnings)
        collect = [&infoLines](const QString &line) { infoLines.append(line); };
    Reader reader(displayName, options.DecimalSeparator, collect);
    const Status status = reader.read(bytes, fresh);
    if (!status)
        return Result<NetworkModel>::failure(status.message());
    fresh.EgoPresent = true;
    // Warnings of a refused file would only confuse: they are handed on after success.
    for (const QString &line : std::as_const(infoLines))
        AppendInfoLine(options.warnings, line);
    return Result<NetworkModel>::success(std::move(fresh));
}

Result<NetworkModel> ReadEgoFile(const QString &path, const ReadOptions &options)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Result<NetworkModel>::failure(
            QStringLiteral("Cannot open \"%1\": %2.").arg(fileNameOf(path), file.errorString()));
    // Mapped rather than copied where the system allows it.
    QByteArray bytes;
    if (uchar *mapped = file.size() > 0 ? file.map(0, file.size()) : nullptr) {
        bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), qsizetype(file.size()));
    } else {
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return Result<NetworkModel>::failure(
                QStringLiteral("Cannot read \"%1\": %2.").arg(fileNameOf(path), file.errorString()));
    }
    return ReadEgoBytes(bytes, fileNameOf(path), options);
}

namespace {

TextBuffer egoFileText(const NetworkModel &model, bool utf8)
{
    Writer w(utf8);
    // Reserve the whole file at once: tags and numbers take at most the fixed amounts
    // below per record, texts at most three bytes a character.
    const size_t perChar = w.utf8() ? 3 : 1;
    size_t estimate = 1024;
    for (int c = 1; c <= model.CardCount(); ++c) {
        const NetworkCard &card = model.card(c);
        estimate += 512 + perChar * size_t(card.ID.size() + card.Interviewer.size() + card.Date.size()
                                           + card.CardMemo.size() + card.EgoNode.size());
        for (int s = 1; s <= card.SectorCount(); ++s)
            estimate += 160 + perChar * size_t(card.Sectors[size_t(s)].SectorName.size());
        for (int n = 1; n <= card.NodeCount(); ++n) {
            const Node &node = card.Nodes[size_t(n)];
            estimate += 480 + perChar * size_t(node.ID.size() + node.Label.size() + node.Role.size() + node.Sex.size()
                                               + node.Human.size() + node.Symbol.size() + node.NodeSize.size()
                                               + node.Memo1.size() + node.Memo2.size() + node.Merger.size());
        }
        estimate += 160 * size_t(card.LineCount());
    }
    estimate += perChar * size_t(model.ego.Name.size() + model.ego.EgoID.size() + model.ego.Year.size()
                                 + model.ego.Misc1.size() + model.ego.Misc2.size());
    w.out.reserve(estimate);

    const Ego &ego = model.ego;
    w.open(0, "Ego");
    w.field(2, "Name", ego.Name);
    w.field(2, "EgoID", ego.EgoID);
    w.field(2, "Year", ego.Year);
    w.field(2, "Sex", ego.Sex);
    w.field(2, "Misc1", ego.Misc1);
    w.field(2, "Misc2", ego.Misc2);
    for (int c = 1; c <= model.CardCount(); ++c) {
        const NetworkCard &card = model.card(c);
        w.open(2, "Card");
        w.field(4, "ID", card.ID);
        w.field(4, "Circles", card.Circles);
        w.field(4, "EgoNode", card.EgoNode);
        w.field(4, "EgoColor", card.EgoColor);
        w.field(4, "Interviewer", card.Interviewer);
        w.field(4, "Date", card.Date);
        w.field(4, "CardMemo", card.CardMemo);
        for (int s = 1; s <= card.SectorCount(); ++s) {
            const Sector &sector = card.Sectors[size_t(s)];
            w.open(4, "Sector");
            w.real(6, "SectorAngle", sector.SectorAngle, 5);
            w.field(6, "SectorName", sector.SectorName);
            w.field(6, "SectorColor", sector.SectorColor);
            w.close(4, "Sector");
        }
        for (int n = 1; n <= card.NodeCount(); ++n) {
            const Node &node = card.Nodes[size_t(n)];
            w.open(4, "Node");
            w.field(6, "Nr", n);
            w.field(6, "ID", node.ID);
            w.field(6, "Label", node.Label);
            w.field(6, "Role", node.Role);
            w.field(6, "Sex", node.Sex);
            w.real(6, "Angle", node.Angle, 3);
            w.real(6, "Distance", node.Distance, 3);
            w.field(6, "Color", node.Color);
            w.field(6, "Human", node.Human);
            w.field(6, "Size", node.Size);
            w.field(6, "Symbol", node.Symbol);
            w.field(6, "NodeSize", node.NodeSize);
            w.field(6, "Memo1", node.Memo1);
            w.field(6, "Memo2", node.Memo2);
            w.field(6, "Merger", node.Merger);
            w.close(4, "Node");
        }
        for (int l = 1; l <= card.LineCount(); ++l) {
            const Line &line = card.Lines[size_t(l)];
            w.open(4, "Line");
            w.field(6, "A", line.A);
            w.field(6, "B", line.B);
            w.field(6, "LineSize", line.LineSize);
            w.field(6, "LineColor", line.LineColor);
            w.close(4, "Line");
        }
        w.close(2, "Card");
    }
    w.close(0, "Ego");
    return std::move(w.out);
}

} // namespace

TextBuffer EgoFileText(const NetworkModel &model)
{
    // Windows-1252 bytes that happen to be valid UTF-8 ("MÃ¼ller" is "Müller" in UTF-8)
    // would be read back as UTF-8; such a file is written in UTF-8 like one whose texts
    // do not fit Windows-1252.
    const Charset widest = modelCharset(model);
    if (widest == Charset::Windows1252) {
        TextBuffer text = egoFileText(model, false);
        if (!IsValidUtf8(text))
            return text;
    }
    return egoFileText(model, widest == Charset::Unicode || widest == Charset::Windows1252);
}

QByteArray EgoFileBytes(const NetworkModel &model)
{
    const TextBuffer text = EgoFileText(model);
    return QByteArray(text.data(), qsizetype(text.size()));
}

Status WriteEgoFile(const NetworkModel &model, const QString &path)
{
    const QString name = fileNameOf(path);

    const TextBuffer bytes = EgoFileText(model);

    // Read the written file back and compare it with the model: a value holding the text
    // of a tag, or a line break, would come back different.
    return ReplaceFileSafely(path, bytes, [&](const QByteArray &written) -> QString {
        const Result<NetworkModel> reread = ReadEgoBytes(written, name);
        if (!reread) {
            QString why = reread.message();
            const QString prefix = QStringLiteral("Cannot read \"%1\": ").arg(name);
            if (why.startsWith(prefix))
                why = why.mid(prefix.size());
            return QStringLiteral("the written file would not read back: %1 A text of that record looks like a "
                                  "tag of the file.")
                .arg(why);
        }
        return compareModels(model, reread.value());
    });
}
