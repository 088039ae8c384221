#include "core/egofile/egoscanner.h"

#include "core/egofile/egofile.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace korvalo {

std::optional<int> ParseInteger(std::string_view text)
{
    text = TrimmedBytes(text);
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

std::optional<float> ParseReal(std::string_view text, char separator)
{
    text = TrimmedBytes(text);
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

std::string_view ExtractTagValue(std::string_view text, std::string_view name, std::string_view *rest)
{
    const auto found = FindElement(text, name);
    if (!found) {
        if (rest)
            *rest = text;
        return {};
    }
    if (rest)
        *rest = TrimmedBytes(found->rest);
    return found->value;
}

} // namespace korvalo
