#pragma once

#include "core/model/largebuffer.h"

#include <string>
#include <string_view>

namespace korvalo {

// The whole file as one text: every line trimmed of blanks and control characters at
// both ends and appended with no separator. A line ends at LF, CR LF or a lone CR. Bytes
// up to 0x20 are the same characters in UTF-8 and in Windows-1252, so trimming works on
// the bytes. The file may come in pieces, so that it never has to be held twice.
class LineJoiner
{
public:
    explicit LineJoiner(size_t expectedSize);
    void feed(std::string_view piece);
    // The joined text; the joiner is spent.
    TextBuffer finish();

private:
    void appendTrimmed(std::string_view line);

    TextBuffer m_joined;
    std::string m_carry; // the unfinished line at the end of the last piece
    bool m_first = true;
};

} // namespace korvalo
