#pragma once

#include "core/egofile/egofields.h"
#include "core/egofile/platformfile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string_view>

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

// A whole number, blanks around it and a leading "+" allowed; nothing when the text is
// no number or does not fit an int.
std::optional<int> ParseInteger(std::string_view text);

// A decimal number written with `separator`, optionally with an exponent; nothing unless
// it is finite and fits a single.
std::optional<float> ParseReal(std::string_view text, char separator);

} // namespace korvalo
