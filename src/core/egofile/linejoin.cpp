#include "core/egofile/linejoin.h"

#include <cstring>
#include <utility>

namespace korvalo {

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

} // namespace korvalo
