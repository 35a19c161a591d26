#include "base/Text.h"

#include <algorithm>
#include <utility>

#include <charconv>
#include <climits>

namespace gs {

namespace {
inline char LowerChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
inline char UpperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
inline bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 0x20; }
inline bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
} // namespace

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    if (a == b)
        return true; // names mostly come spelled alike
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerChar(a[i]) != LowerChar(b[i]))
            return false;
    return true;
}

int CompareNoCase(std::string_view a, std::string_view b)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const unsigned char ca = static_cast<unsigned char>(LowerChar(a[i]));
        const unsigned char cb = static_cast<unsigned char>(LowerChar(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string UpperAscii(std::string_view s)
{
    std::string r(s);
    for (char& c : r)
        c = UpperChar(c);
    return r;
}

std::string LowerAscii(std::string_view s)
{
    std::string r(s);
    for (char& c : r)
        c = LowerChar(c);
    return r;
}

size_t FindNoCase(std::string_view text, std::string_view pattern, size_t from)
{
    if (pattern.empty() || pattern.size() > text.size())
        return std::string_view::npos;
    for (size_t i = from; i + pattern.size() <= text.size(); ++i) {
        size_t j = 0;
        while (j < pattern.size() && LowerChar(text[i + j]) == LowerChar(pattern[j]))
            ++j;
        if (j == pattern.size())
            return i;
    }
    return std::string_view::npos;
}

bool ContainsNoCase(std::string_view text, std::string_view pattern)
{
    return FindNoCase(text, pattern) != std::string_view::npos;
}

std::string Trim(std::string_view s)
{
    size_t b = 0, e = s.size();
    while (b < e && IsBlankOrControl(s[b]))
        ++b;
    while (e > b && IsBlankOrControl(s[e - 1]))
        --e;
    return std::string(s.substr(b, e - b));
}

std::string TrimLeft(std::string_view s)
{
    size_t b = 0;
    while (b < s.size() && IsBlankOrControl(s[b]))
        ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s)
{
    size_t e = s.size();
    while (e > 0 && IsBlankOrControl(s[e - 1]))
        --e;
    return std::string(s.substr(0, e));
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

size_t Utf8Length(std::string_view s)
{
    size_t n = 0;
    for (size_t i = 0; i < s.size(); ++i)
        if (!IsContinuation(s[i]))
            ++n;
    return n;
}

std::string Utf8Mid(std::string_view s, size_t start, size_t count)
{
    size_t i = 0, cp = 0;
    while (i < s.size() && cp < start) {
        ++i;
        while (i < s.size() && IsContinuation(s[i]))
            ++i;
        ++cp;
    }
    const size_t begin = i;
    size_t taken = 0;
    while (i < s.size() && taken < count) {
        ++i;
        while (i < s.size() && IsContinuation(s[i]))
            ++i;
        ++taken;
    }
    return std::string(s.substr(begin, i - begin));
}

std::string Utf8Left(std::string_view s, size_t n) { return Utf8Mid(s, 0, n); }

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines)
{
    std::string r;
    for (const auto& l : lines) {
        r += l;
        r += "\r\n";
    }
    return r;
}

bool TryParseInt64(std::string_view text, long long& value)
{
    if (text.empty())
        return false;
    bool neg = false;
    size_t i = 0;
    if (text[0] == '-' || text[0] == '+') {
        neg = text[0] == '-';
        i = 1;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return false;
    unsigned long long v = 0;
    auto [p, ec] = std::from_chars(text.data() + i, text.data() + text.size(), v, base);
    if (ec != std::errc() || p != text.data() + text.size())
        return false;
    if (v > static_cast<unsigned long long>(LLONG_MAX) + (neg ? 1ULL : 0ULL))
        return false;
    value = neg ? static_cast<long long>(0 - v) : static_cast<long long>(v);
    return true;
}

bool TryParseInt32(std::string_view text, int& value)
{
    long long v = 0;
    if (!TryParseInt64(text, v))
        return false;
    // Hexadecimal texts may name the full 32-bit pattern ($FFFFFFFF is -1), as the host reads them.
    const bool hex = text.find('$') != std::string_view::npos || text.find('x') != std::string_view::npos ||
                     text.find('X') != std::string_view::npos;
    if (hex && v >= 0 && v <= 0xFFFFFFFFLL) {
        value = static_cast<int>(static_cast<unsigned int>(v));
        return true;
    }
    if (v < INT_MIN || v > INT_MAX)
        return false;
    value = static_cast<int>(v);
    return true;
}

int StrToIntDef(std::string_view text, int fallback)
{
    int v = 0;
    return TryParseInt32(text, v) ? v : fallback;
}


std::string Unquote(std::string_view text)
{
    if (text == "\"\"")
        return {};
    const size_t length = Utf8Length(text);
    if (length > 2 && text.front() == '"')
        return Utf8Mid(text, 1, length - 2);
    return std::string(text);
}

std::string Quote(std::string_view text)
{
    std::string r;
    r.reserve(text.size() + 2);
    r += '"';
    r += text;
    r += '"';
    return r;
}

void SortTextList(std::vector<std::string>& list, int first, int last)
{
    if (list.empty())
        return;
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(list.size()) - 1);
    // Hoare partitioning around the middle element; the smaller part recursively, the larger in
    // the loop, so the stack stays shallow.
    while (first < last) {
        int i = first, j = last;
        const std::string pivot = list[static_cast<size_t>(first + (last - first) / 2)];
        do {
            while (CompareNoCase(list[static_cast<size_t>(i)], pivot) < 0)
                ++i;
            while (CompareNoCase(list[static_cast<size_t>(j)], pivot) > 0)
                --j;
            if (i <= j) {
                if (i != j)
                    std::swap(list[static_cast<size_t>(i)], list[static_cast<size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - first < last - i) {
            SortTextList(list, first, j);
            first = i;
        } else {
            SortTextList(list, i, last);
            last = j;
        }
    }
}

void ReplaceAllText(std::string& text, std::string_view pattern, std::string_view replacement)
{
    if (text.empty() || pattern.empty())
        return;
    std::string out;
    size_t from = 0;
    for (size_t at = FindNoCase(text, pattern); at != std::string::npos; at = FindNoCase(text, pattern, from)) {
        out.append(text, from, at - from);
        out += replacement;
        from = at + pattern.size();
    }
    if (from == 0)
        return;
    out.append(text, from, std::string::npos);
    text = std::move(out);
}

} // namespace gs
