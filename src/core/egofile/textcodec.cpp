#include "core/egofile/textcodec.h"

#include <array>
#include <cstring>

namespace korvalo {

namespace {

// Characters of the bytes 0x80..0x9F; the five bytes Windows leaves undefined map to the
// C1 control of the same number, so that every byte reads and writes back unchanged.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int cp1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (size_t i = 0; i < Cp1252High.size(); ++i) {
        if (Cp1252High[i] == c)
            return int(0x80 + i);
    }
    return -1;
}

bool isAscii(std::string_view bytes)
{
    size_t i = 0;
    const size_t n = bytes.size();
    for (; i + 8 <= n; i += 8) {
        quint64 chunk;
        std::memcpy(&chunk, bytes.data() + i, 8);
        if (chunk & 0x8080808080808080ULL)
            return false;
    }
    for (; i < n; ++i) {
        if (static_cast<unsigned char>(bytes[i]) & 0x80)
            return false;
    }
    return true;
}

} // namespace

bool IsValidUtf8(std::string_view bytes)
{
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        if (i + 8 <= n) {
            quint64 chunk;
            std::memcpy(&chunk, s + i, 8);
            if (!(chunk & 0x8080808080808080ULL)) {
                i += 8;
                continue;
            }
        }
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int len;
        unsigned int cp;
        if (c >= 0xC2 && c <= 0xDF)
            len = 2, cp = c & 0x1F;
        else if (c >= 0xE0 && c <= 0xEF)
            len = 3, cp = c & 0x0F;
        else if (c >= 0xF0 && c <= 0xF4)
            len = 4, cp = c & 0x07;
        else
            return false;
        if (i + size_t(len) > n)
            return false;
        for (int k = 1; k < len; ++k) {
            const unsigned char cc = s[i + size_t(k)];
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += size_t(len);
    }
    return true;
}

QString DecodeEgoText(std::string_view bytes, bool utf8)
{
    if (bytes.empty())
        return QString();
    if (utf8 || isAscii(bytes))
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    QString text(qsizetype(bytes.size()), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        out[i] = (c >= 0x80 && c <= 0x9F) ? Cp1252High[c - 0x80] : char16_t(c);
    }
    return text;
}

Charset CharsetOf(const QString &text)
{
    Charset widest = Charset::Ascii;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            if (cp1252Byte(c.unicode()) < 0)
                return Charset::Unicode;
            widest = Charset::Windows1252;
        }
    }
    return widest;
}

bool FitsWindows1252(const QString &text)
{
    return CharsetOf(text) != Charset::Unicode;
}

void AppendEgoText(TextBuffer &out, const QString &text, bool utf8)
{
    const char16_t *data = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    qsizetype ascii = 0;
    while (ascii < n && data[ascii] < 0x80)
        ++ascii;
    if (ascii > 0) {
        const size_t at = out.size();
        out.resize(at + size_t(ascii));
        char *dst = out.data() + at;
        for (qsizetype i = 0; i < ascii; ++i)
            dst[i] = char(data[i]);
    }
    if (ascii == n)
        return;
    if (utf8) {
        const QByteArray encoded = QStringView(data + ascii, n - ascii).toUtf8();
        out.append(encoded.constData(), size_t(encoded.size()));
        return;
    }
    for (qsizetype i = ascii; i < n; ++i) {
        const int b = cp1252Byte(data[i]);
        out += char(b < 0 ? '?' : b);
    }
}

} // namespace korvalo
