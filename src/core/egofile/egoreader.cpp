#include "core/egofile/egofile.h"

#include "core/egofile/egofields.h"
#include "core/egofile/egoreader.h"
#include "core/egofile/platformfile.h"
#include "core/egofile/textcodec.h"
#include "core/model/textutil.h"

#include <QFileInfo>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>

namespace korvalo {

namespace {

// First occurrence of needle in text at or after `from`.
size_t findText(std::string_view text, std::string_view needle, size_t from = 0)
{
    if (from > text.size())
        return std::string_view::npos;
    const char *hit = FindBytes(text.data() + from, text.size() - from, needle.data(), needle.size());
    return hit ? size_t(hit - text.data()) : std::string_view::npos;
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


// The tags of a record's fields that are read, in table order.
template <const auto &Fields>
constexpr auto readTags()
{
    std::array<std::string_view, ReadFieldCount(Fields)> tags{};
    size_t n = 0;
    for (const auto &f : Fields) {
        if (f.kind != FieldKind::Position)
            tags[n++] = f.tag;
    }
    return tags;
}

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
    // Everything that rounds to a finite single is taken: up to the largest single plus
    // half a unit in its last place (2^103), where rounding would give infinity.
    constexpr double largest = double(std::numeric_limits<float>::max());
    if (!std::isfinite(value) || std::fabs(value) >= largest + 0x1p103)
        return std::nullopt;
    return float(std::clamp(value, -largest, largest));
}


QString fileNameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

class Reader
{
public:
    Reader(const QString &displayName, QChar separator, InfoSink warnings)
        : m_name(displayName), m_separator(char(separator.unicode() < 0x80 ? separator.unicode() : '.')),
          m_warnings(std::move(warnings))
    {
    }

    // After a failed read whose fault was a number written with "." or "," where the
    // reader's separator is another: that separator; otherwise 0.
    char otherSeparator() const { return m_otherSeparator; }

    // Reads the joined lines of a file (LineJoiner).
    Status read(std::string_view all, NetworkModel &out)
    {
        m_utf8 = IsValidUtf8(all);

        const size_t egoOpen = findText(all, "<Ego>");
        if (egoOpen == std::string_view::npos)
            return Status::failure(QStringLiteral("\"%1\" is not a Korvalo ego file.").arg(m_name));
        const auto egoElement = findElement(all, "Ego");
        if (!egoElement)
            return failure(QStringLiteral("the file ends before \"</Ego>\"; it seems to be incomplete."));
        const std::string_view egoText = egoElement->value;

        // The ego's and the cards' fields are the first of their name anywhere in the
        // record's text.
        m_at = {0, "ego", 0};
        Ego ego;
        if (!readFields<EgoFields>(searched<EgoFields>(egoText), ego, 0))
            return m_error;
        SetupEgo(out, ego.Name, ego.Year, ego.Sex, ego.Misc1, ego.Misc2, ego.EgoID);

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
    // The values of a record's read fields, each the first of its name anywhere in text.
    template <const auto &Fields>
    static std::array<std::string_view, ReadFieldCount(Fields)> searched(std::string_view text)
    {
        std::array<std::string_view, ReadFieldCount(Fields)> values{};
        size_t n = 0;
        for (const auto &f : Fields) {
            if (f.kind != FieldKind::Position)
                values[n++] = ExtractTagValue(text, f.tag);
        }
        return values;
    }

    // Position of field i's value among the read fields.
    template <const auto &Fields>
    static constexpr size_t slotOf(size_t i)
    {
        size_t n = 0;
        for (size_t k = 0; k < i; ++k)
            n += Fields[k].kind != FieldKind::Position;
        return n;
    }

    template <const auto &Fields, size_t I, typename R, size_t M>
    bool readNumber(const std::array<std::string_view, M> &values, R &record)
    {
        constexpr auto &f = Fields[I];
        constexpr size_t slot = slotOf<Fields>(I);
        if constexpr (f.kind == FieldKind::Integer) {
            return integer(values[slot], f.tag, record.*(f.integer));
        } else if constexpr (f.kind == FieldKind::OptionalInteger) {
            if (values[slot].empty()) {
                record.*(f.integer) = f.fallback;
                return true;
            }
            return integer(values[slot], f.tag, record.*(f.integer));
        } else if constexpr (f.kind == FieldKind::Real) {
            return real(values[slot], f.tag, record.*(f.real));
        } else {
            return true;
        }
    }

    template <const auto &Fields, size_t I, typename R, size_t M>
    void readText(const std::array<std::string_view, M> &values, R &record, int number)
    {
        constexpr auto &f = Fields[I];
        constexpr size_t slot = slotOf<Fields>(I);
        if constexpr (f.kind == FieldKind::Text) {
            if constexpr (f.repeats)
                record.*(f.text) = repeatedText(slot, values[slot], f.asRead);
            else if constexpr (f.asRead != nullptr)
                record.*(f.text) = f.asRead(text(values[slot]), number);
            else
                record.*(f.text) = text(values[slot]);
        }
    }

    // Fills a record from the values of its read fields, in table order. Numbers first,
    // so that a refused record costs no decoding. The table is known when compiling, so
    // each record's reading comes out as if written field by field.
    template <const auto &Fields, typename R, size_t M>
    bool readFields(const std::array<std::string_view, M> &values, R &record, int number)
    {
        static_assert(M == ReadFieldCount(Fields));
        return [&]<size_t... I>(std::index_sequence<I...>) {
            if (!(readNumber<Fields, I>(values, record) && ...))
                return false;
            (readText<Fields, I>(values, record, number), ...);
            return true;
        }(std::make_index_sequence<Fields.size()>{});
    }

    bool readCard(std::string_view cardText, int cardNo, NetworkModel &out)
    {
        NetworkCard card;
        if (!readFields<CardFields>(searched<CardFields>(cardText), card, cardNo))
            return false;
        const Status added = AddCard(out, card.ID, card.Circles, card.EgoNode, card.EgoColor, card.Interviewer,
                                     card.Date, card.CardMemo);
        if (!added)
            return fail(QStringLiteral("the file holds more than %1 network cards.").arg(MaxCards), false);

        // Sectors
        static constexpr FieldScanner sectorScanner(readTags<SectorFields>());
        std::string_view rest = cardText;
        std::string_view afterLast = cardText;
        int sectorNo = 0;
        while (auto sectorElement = findElement(rest, "Sector")) {
            rest = sectorElement->rest;
            afterLast = rest;
            ++sectorNo;
            m_at = {cardNo, "sector", sectorNo};
            Sector sector;
            if (!readFields<SectorFields>(sectorScanner.scan(sectorElement->value).value, sector, sectorNo))
                return false;
            if (!AddSector(out, cardNo, sector.SectorName, sector.SectorColor, sector.SectorAngle))
                return fail(QStringLiteral("the card holds more than %1 sectors.").arg(MaxSectors), false);
        }

        // Nodes, searched from the card's start
        static constexpr FieldScanner nodeScanner(readTags<NodeFields>());
        rest = cardText;
        int nodeNo = 0;
        while (auto nodeElement = findElement(rest, "Node")) {
            rest = nodeElement->rest;
            afterLast = rest;
            ++nodeNo;
            m_at = {cardNo, "node", nodeNo};
            Node node;
            if (!readFields<NodeFields>(nodeScanner.scan(nodeElement->value).value, node, nodeNo))
                return false;
            if (!AddNode(out, cardNo, node, m_warnings, QLatin1Char(m_separator)))
                return fail(QStringLiteral("the card holds more than %1 nodes.").arg(MaxNodes), false);
        }

        // Lines, after the last node record (or sector record)
        static constexpr FieldScanner lineScanner(readTags<LineFields>());
        rest = afterLast;
        int lineNo = 0;
        while (auto lineElement = findElement(rest, "Line")) {
            rest = lineElement->rest;
            ++lineNo;
            m_at = {cardNo, "line", lineNo};
            Line line;
            if (!readFields<LineFields>(lineScanner.scan(lineElement->value).value, line, lineNo))
                return false;
            if (!AddLine(out, line.A, line.B, line.LineSize, line.LineColor))
                return fail(QStringLiteral("the card holds more than %1 lines.").arg(MaxLines), false);
        }
        m_at = {cardNo, nullptr, 0};
        return true;
    }

    QString text(std::string_view bytes) const { return DecodeEgoText(bytes, m_utf8); }

    // Many fields repeat the previous record's value ("TRUE", "normal", a role); those
    // share the text already made instead of decoding it again.
    QString repeatedText(size_t slot, std::string_view bytes, QString (*asRead)(const QString &, int))
    {
        Cached &c = m_cache[slot];
        if (!c.valid || c.bytes != bytes) {
            c.bytes = bytes;
            c.text = asRead ? asRead(text(bytes), 0) : text(bytes);
            c.valid = true;
        }
        return c.text;
    }

    bool integer(std::string_view value, std::string_view field, int &out)
    {
        if (auto v = parseInteger(value)) {
            out = *v;
            return true;
        }
        return conversionError(value, field, QStringLiteral("a whole number"));
    }

    bool real(std::string_view value, std::string_view field, float &out)
    {
        if (auto v = parseReal(value, m_separator)) {
            out = *v;
            return true;
        }
        return conversionError(value, field, QStringLiteral("a number"));
    }

    bool conversionError(std::string_view value, std::string_view field, const QString &expected)
    {
        const QString name = QString::fromLatin1(field.data(), qsizetype(field.size()));
        if (trimmedBytes(value).empty())
            return fail(QStringLiteral("\"%1\" is empty, %2 is expected.").arg(name, expected), false);
        QString shown = text(value);
        if (shown.size() > 60)
            shown = shown.left(57) + QStringLiteral("...");
        QString message = QStringLiteral("\"%1\" holds \"%2\", which is not %3").arg(name, shown, expected);
        for (const char other : {'.', ','}) {
            if (expected == u"a number" && other != m_separator && value.find(other) != std::string_view::npos
                && parseReal(value, other)) {
                m_otherSeparator = other;
                message += QStringLiteral(" with the decimal separator \"%1\" (see Options > Read/Write)")
                               .arg(QLatin1Char(m_separator));
                break;
            }
        }
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
    char m_otherSeparator = 0;
    // Where the reader is, for messages: card number, record kind and number.
    struct Location
    {
        int card = 0;
        const char *record = nullptr;
        int number = 0;
    } m_at;
    Status m_error = Status::success();
};


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

LineJoiner::LineJoiner(size_t expectedSize)
{
    m_joined.reserve(expectedSize);
}

namespace {

// The bytes of a line without blanks and control characters at either end.
inline void trimLine(const char *&b, const char *&e)
{
    while (b < e && static_cast<unsigned char>(*b) <= 0x20)
        ++b;
    while (e > b && static_cast<unsigned char>(e[-1]) <= 0x20)
        --e;
}

} // namespace

void LineJoiner::feed(std::string_view piece)
{
    if (m_first) {
        m_first = false;
        if (piece.substr(0, 3) == "\xEF\xBB\xBF")
            piece.remove_prefix(3);
    }
    const size_t last = piece.find_last_of("\r\n");
    if (last == std::string_view::npos) {
        m_carry.append(piece);
        return;
    }
    std::string_view complete = piece.substr(0, last + 1);
    if (!m_carry.empty()) {
        // The piece's first line continues the line the last piece ended in.
        const size_t firstBreak = complete.find_first_of("\r\n");
        m_carry.append(complete.substr(0, firstBreak));
        appendTrimmed(m_carry);
        m_carry.clear();
        complete.remove_prefix(firstBreak);
    }
    const char *p = complete.data();
    const char *const end = p + complete.size();
    while (p < end) {
        const char *lf = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const char *lineEnd = lf ? lf : end;
        const char *cr = static_cast<const char *>(std::memchr(p, '\r', size_t(lineEnd - p)));
        if (cr)
            lineEnd = cr;
        const char *b = p;
        const char *e = lineEnd;
        trimLine(b, e);
        m_joined.append(b, size_t(e - b));
        p = lineEnd + 1;
    }
    m_carry.assign(piece.substr(last + 1));
}

TextBuffer LineJoiner::finish()
{
    appendTrimmed(m_carry);
    m_carry.clear();
    return std::move(m_joined);
}

void LineJoiner::appendTrimmed(std::string_view line)
{
    const char *b = line.data();
    const char *e = b + line.size();
    trimLine(b, e);
    m_joined.append(b, size_t(e - b));
}

Result<NetworkModel> ReadJoinedLines(std::string_view joined, const QString &displayName, const ReadOptions &options)
{
    QStringList infoLines;
    // Warnings of a refused file would only confuse: they are handed on after success.
    auto collectInto = [&options](QStringList &lines) {
        InfoSink collect;
        if (options.warnings)
            collect = [&lines](const QString &line) { lines.append(line); };
        return collect;
    };
    NetworkModel fresh;
    Reader reader(displayName, options.DecimalSeparator, collectInto(infoLines));
    const Status status = reader.read(joined, fresh);
    QString note;
    if (!status) {
        // A file written with the other decimal separator is read with that one; the
        // setting stays as it is. A file that fails both ways gets the first message.
        const char other = reader.otherSeparator();
        if (!other)
            return Result<NetworkModel>::failure(status.message());
        NetworkModel second;
        QStringList secondLines;
        Reader again(displayName, QChar::fromLatin1(other), collectInto(secondLines));
        if (!again.read(joined, second))
            return Result<NetworkModel>::failure(status.message());
        fresh = std::move(second);
        infoLines = std::move(secondLines);
        note = QStringLiteral("\"%1\" writes its numbers with the decimal separator \"%2\" and was read that way.")
                   .arg(displayName, QChar::fromLatin1(other));
    }
    fresh.EgoPresent = true;
    if (!note.isEmpty())
        AppendInfoLine(options.notes, note);
    for (const QString &line : std::as_const(infoLines))
        AppendInfoLine(options.warnings, line);
    return Result<NetworkModel>::success(std::move(fresh));
}

Result<NetworkModel> ReadEgoBytes(const QByteArray &bytes, const QString &displayName, const ReadOptions &options)
{
    LineJoiner joiner(size_t(bytes.size()));
    joiner.feed(std::string_view(bytes.constData(), size_t(bytes.size())));
    const TextBuffer joined = joiner.finish();
    return ReadJoinedLines(joined, displayName, options);
}

Result<NetworkModel> ReadEgoFile(const QString &path, const ReadOptions &options)
{
    // Read in pieces, not mapped: a file cut short by another program while it is read
    // gives a message rather than a crash, and the file is never held twice.
    std::optional<LineJoiner> joiner;
    const QString problem = ReadFileInPieces(path, [&](qint64 size) { joiner.emplace(size_t(size)); },
                                             [&](std::string_view piece) { joiner->feed(piece); });
    if (!problem.isEmpty()) {
        static const QString cannotOpen = QStringLiteral("cannot open: ");
        if (problem.startsWith(cannotOpen))
            return Result<NetworkModel>::failure(
                QStringLiteral("Cannot open \"%1\": %2").arg(fileNameOf(path), problem.mid(cannotOpen.size())));
        return Result<NetworkModel>::failure(QStringLiteral("Cannot read \"%1\": %2").arg(fileNameOf(path), problem));
    }
    const TextBuffer joined = joiner->finish();
    return ReadJoinedLines(joined, fileNameOf(path), options);
}

} // namespace korvalo
