#include "app/TextHelpers.h"

#include "app/TextUtil.h"

#include <algorithm>
#include <utility>

namespace gs {

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

namespace {
// A piece of the timestamp as a number; 0 when missing or not all digits.
int Piece(std::string_view text, size_t pos, size_t len)
{
    if (pos >= text.size())
        return 0;
    const std::string_view s = text.substr(pos, len);
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return 0;
        v = v * 10 + (c - '0');
    }
    return v;
}
} // namespace

TDateTime ParseTimestamp(std::string_view text)
{
    const int year = Piece(text, 0, 4), month = Piece(text, 4, 2), day = Piece(text, 6, 2);
    const int hour = Piece(text, 9, 2), minute = Piece(text, 11, 2), second = Piece(text, 13, 2);
    const int ms = Piece(text, 15, 3);
    TDateTime date = 0;
    if (!TryEncodeDate(year, month, day, date) || hour > 23 || minute > 59 || second > 59 || ms > 999)
        return 0;
    return EncodeDateTime(year, month, day, hour, minute, second, ms);
}

std::string TimestampText(std::string_view text, std::string_view fallback)
{
    const TDateTime t = ParseTimestamp(text);
    return t == 0 ? std::string(fallback) : DateTimeToText(t);
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
