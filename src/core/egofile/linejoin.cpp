#include "core/egofile/linejoin.h"

#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korvalo {

LineJoiner::LineJoiner(size_t expectedSize)
{
    m_joined.reserve(expectedSize);
}

namespace {

inline bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

// The bytes of a line without blanks and control characters at either end.
inline void trimLine(const char *&b, const char *&e)
{
    while (b < e && isBlank(*b))
        ++b;
    while (e > b && isBlank(e[-1]))
        --e;
}

// The first CR or LF in [p, end), or end. Lines are short, so this looks at 16 bytes at
// a time instead of calling memchr twice for every line.
inline const char *findBreak(const char *p, const char *end)
{
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr)));
        if (mask)
            return p + __builtin_ctz(unsigned(mask));
        p += 16;
    }
#endif
    while (p < end && *p != '\n' && *p != '\r')
        ++p;
    return p;
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
    // Every line of the piece is copied straight into the joined text, which is grown
    // once for the whole piece and cut back to what was written.
    const size_t start = m_joined.size();
    m_joined.resize(start + complete.size());
    char *out = m_joined.data() + start;
    const char *p = complete.data();
    const char *const end = p + complete.size();
    for (;;) {
        // Blanks at a line's start, and the line breaks themselves, are dropped.
        while (p < end && isBlank(*p))
            ++p;
        if (p == end)
            break;
        const char *lineEnd = findBreak(p, end);
        const char *e = lineEnd;
        while (isBlank(e[-1]))
            --e;
        std::memcpy(out, p, size_t(e - p));
        out += e - p;
        p = lineEnd;
    }
    m_joined.resize(size_t(out - m_joined.data()));
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

} // namespace korvalo
