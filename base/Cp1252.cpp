#include "base/Cp1252.h"

#include "base/Text.h"

#include <array>
#include <cstdint>
#include <unordered_map>

namespace gs {

namespace {

// Code points of the bytes 0x80 to 0x9F.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CodePointOf(unsigned char b) { return (b >= 0x80 && b <= 0x9F) ? kHigh[b - 0x80] : b; }

const std::unordered_map<char32_t, unsigned char>& ReverseHigh()
{
    static const std::unordered_map<char32_t, unsigned char> map = [] {
        std::unordered_map<char32_t, unsigned char> m;
        for (unsigned i = 0; i < kHigh.size(); ++i)
            m[kHigh[i]] = static_cast<unsigned char>(0x80 + i);
        return m;
    }();
    return map;
}

} // namespace

bool IsAscii(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

std::string Cp1252ToUtf8(std::string_view bytes)
{
    if (IsAscii(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char c : bytes)
        AppendUtf8(out, CodePointOf(static_cast<unsigned char>(c)));
    return out;
}

std::string Utf8ToCp1252(std::string_view text)
{
    if (IsAscii(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        char32_t cp = 0;
        size_t len = 1;
        if (b < 0x80) {
            cp = b;
        } else if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F;
            len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F;
            len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07;
            len = 4;
        } else {
            out += '?'; // stray byte
            ++i;
            continue;
        }
        if (i + len > text.size()) {
            out += '?';
            break;
        }
        bool ok = true;
        for (size_t k = 1; k < len; ++k) {
            const unsigned char cb = static_cast<unsigned char>(text[i + k]);
            if ((cb & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (cb & 0x3F);
        }
        if (!ok) {
            out += '?';
            ++i;
            continue;
        }
        i += len;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
        } else if (auto it = ReverseHigh().find(cp); it != ReverseHigh().end()) {
            out += static_cast<char>(it->second);
        } else {
            out += '?';
        }
    }
    return out;
}

} // namespace gs
