#pragma once

#include "core/egofile/egofields.h"
#include "core/egofile/platformfile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The reader's view of a file's joined text (linejoin.h): elements found by their tags,
// the fields of one record in a single pass, and numbers as the file writes them. Only
// the ego file code uses these. The finders are inline: they run for every record.

namespace korvalo {

// First occurrence of needle in text at or after `from`.
inline size_t FindText(std::string_view text, std::string_view needle, size_t from = 0)
{
    if (from > text.size())
        return std::string_view::npos;
    const char *hit = FindBytes(text.data() + from, text.size() - from, needle.data(), needle.size());
    return hit ? size_t(hit - text.data()) : std::string_view::npos;
}

// A value found between two tags, and the text after the closing tag.
struct FoundElement
{
    std::string_view value;
    std::string_view rest;
};

// First "<name>" and the first "</name>" after it; nothing unless both are there.
inline std::optional<FoundElement> FindElement(std::string_view text, std::string_view name)
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

    const size_t at = FindText(text, openTag);
    if (at == std::string_view::npos)
        return std::nullopt;
    const size_t valueStart = at + openTag.size();
    const size_t end = FindText(text, closeTag, valueStart);
    if (end == std::string_view::npos)
        return std::nullopt;
    return FoundElement{text.substr(valueStart, end - valueStart), text.substr(end + closeTag.size())};
}

// The bytes without blanks and control characters at either end.
inline std::string_view TrimmedBytes(std::string_view s)
{
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20)
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20)
        s.remove_suffix(1);
    return s;
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
constexpr auto ReadTags()
{
    std::array<std::string_view, ReadFieldCount(Fields)> tags{};
    size_t n = 0;
    for (const auto &f : Fields) {
        if (f.kind != FieldKind::Position)
            tags[n++] = f.tag;
    }
    return tags;
}

// The layout the writer gives a record: "<Record>", then for every field of the table in
// order "<Tag>value</Tag>", then "</Record>", with nothing but blanks and line breaks
// between the tags, and no '<' and no line break inside a value. Such a record is read by
// comparing the tags where they must be instead of searching for them. Joining the lines
// of a file in this layout takes nothing but blanks from between its tags, and the
// searches above do not see those, so both ways give the same values; a record in any
// other layout is left to the searches.
class RecordLayout
{
public:
    // The fields of `fields` between the tags `open` and `close`; the ego's and the
    // cards' own fields have no closing tag here, their records follow.
    template <typename R, size_t N>
    RecordLayout(std::string_view open, const std::array<EgoField<R>, N> &fields, std::string_view close)
    {
        if (!open.empty())
            addTag(open);
        for (const EgoField<R> &f : fields) {
            addTag("<" + std::string(f.tag) + ">");
            m_tokens.push_back(Token{{}, true, f.kind != FieldKind::Position});
            addTag("</" + std::string(f.tag) + ">");
        }
        if (!close.empty())
            addTag(close);
    }

    enum Match {
        Absent,    // the record does not start here
        Taken,     // the whole record, in the layout
        Different, // the record starts here but departs from the layout
    };

    // Takes the record at `p`, blanks before it included. When Taken, `values` holds the
    // values of the read fields (views into the text) and p points past the record;
    // otherwise p is unchanged.
    template <size_t M>
    Match take(const char *&p, const char *end, std::array<std::string_view, M> &values) const
    {
        const char *q = p;
        size_t slot = 0;
        for (size_t i = 0; i < m_tokens.size(); ++i) {
            const Token &t = m_tokens[i];
            if (t.value) {
                const char *stop = findValueEnd(q, end);
                if (stop == end || *stop != '<')
                    return Different;
                if (t.read) {
                    if (slot == M)
                        return Different;
                    values[slot++] = std::string_view(q, size_t(stop - q));
                }
                q = stop;
            } else {
                q = skipBlanks(q, end);
                if (!startsWith(q, end, t))
                    return i == 0 ? Absent : Different;
                q += t.tag.size();
            }
        }
        if (slot != M)
            return Different;
        p = q;
        return Taken;
    }

    // Takes the tag `tag` at p, blanks before it included.
    static bool takeTag(const char *&p, const char *end, std::string_view tag)
    {
        const char *q = skipBlanks(p, end);
        if (!startsWith(q, end, tag))
            return false;
        p = q + tag.size();
        return true;
    }

private:
    struct Token
    {
        std::string tag; // a tag, or empty for a value
        bool value = false;
        bool read = false; // a value the reader takes
        char pattern[16] = {}; // the tag's first 16 bytes
        unsigned mask = 0;     // a bit for each byte of the tag in pattern
    };

    void addTag(std::string_view tag)
    {
        Token t{std::string(tag), false, false};
        const size_t n = std::min<size_t>(tag.size(), sizeof t.pattern);
        std::memcpy(t.pattern, tag.data(), n);
        t.mask = n == 16 ? 0xFFFFu : (1u << n) - 1;
        m_tokens.push_back(t);
    }

    static bool startsWith(const char *p, const char *end, std::string_view s)
    {
        return size_t(end - p) >= s.size() && std::memcmp(p, s.data(), s.size()) == 0;
    }

    // The same for a token's tag; tags are short enough to be compared 16 bytes at once.
    static bool startsWith(const char *p, const char *end, const Token &t)
    {
#if defined(__SSE2__)
        if (t.tag.size() <= 16 && end - p >= 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            const __m128i pattern = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t.pattern));
            const unsigned same = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, pattern)));
            return (same & t.mask) == t.mask;
        }
#endif
        return startsWith(p, end, t.tag);
    }

    // The first byte above blank (0x20) at or after p, or end.
    static const char *skipBlanks(const char *p, const char *end)
    {
        // Joined lines have no blanks between tags.
        if (p < end && static_cast<unsigned char>(*p) > 0x20)
            return p;
#if defined(__SSE2__)
        const __m128i blank = _mm_set1_epi8(0x21);
        while (end - p >= 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            // v >= 0x21 as unsigned bytes
            const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(v, blank), v));
            if (mask)
                return p + __builtin_ctz(unsigned(mask));
            p += 16;
        }
#endif
        while (p < end && static_cast<unsigned char>(*p) <= 0x20)
            ++p;
        return p;
    }

    // The first '<', CR or LF at or after p, or end.
    static const char *findValueEnd(const char *p, const char *end)
    {
#if defined(__SSE2__)
        const __m128i lt = _mm_set1_epi8('<');
        const __m128i cr = _mm_set1_epi8('\r');
        const __m128i lf = _mm_set1_epi8('\n');
        while (end - p >= 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            const __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(v, lt), _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
            const int mask = _mm_movemask_epi8(hit);
            if (mask)
                return p + __builtin_ctz(unsigned(mask));
            p += 16;
        }
#endif
        while (p < end && *p != '<' && *p != '\r' && *p != '\n')
            ++p;
        return p;
    }

    std::vector<Token> m_tokens;
};

// A whole number, blanks around it and a leading "+" allowed; nothing when the text is
// no number or does not fit an int.
std::optional<int> ParseInteger(std::string_view text);

// A decimal number written with `separator`, optionally with an exponent; nothing unless
// it is finite and fits a single.
std::optional<float> ParseReal(std::string_view text, char separator);

} // namespace korvalo
