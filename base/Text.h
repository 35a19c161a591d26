#pragma once
// Small text helpers shared by every subsystem: case folding, trimming, UTF-8 pieces, lines,
// integers, quoting, sorting lists of texts, replacing every occurrence of a text. Texts are UTF-8 inside the program; "characters"
// are code points. Case-insensitive comparisons fold the letters a to z only, as the host does.
#include <string>
#include <string_view>
#include <vector>

namespace gs {

bool EqualsNoCase(std::string_view a, std::string_view b);
int CompareNoCase(std::string_view a, std::string_view b); // <0, 0, >0
std::string UpperAscii(std::string_view s);
std::string LowerAscii(std::string_view s);
// Finds pattern in text (letters a to z without regard to case) from position from; npos if absent.
size_t FindNoCase(std::string_view text, std::string_view pattern, size_t from = 0);
bool ContainsNoCase(std::string_view text, std::string_view pattern);

// Removes leading and trailing blanks and control characters (bytes up to 0x20).
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t codePoint);

// Number of code points of a UTF-8 text (invalid bytes count one each).
size_t Utf8Length(std::string_view s);
// The first n code points of a UTF-8 text.
std::string Utf8Left(std::string_view s, size_t n);
// Code points from position start (0-based), at most count of them.
std::string Utf8Mid(std::string_view s, size_t start, size_t count = std::string_view::npos);

// Splits at CR LF, a lone CR or a lone LF; a final line break does not start another line
// ("a\r\nb\r\n" gives two lines, "" gives none).
std::vector<std::string> SplitLines(std::string_view text);
// Each line followed by CR LF.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

// Decimal integer text (optional sign, optionally "$"/"0x" hexadecimal), trimmed of nothing:
// false for anything else or an overflow of 32 bits.
bool TryParseInt32(std::string_view text, int& value);
bool TryParseInt64(std::string_view text, long long& value);
// Reads an integer with a fallback for text that is no integer.
int StrToIntDef(std::string_view text, int fallback);


// More than two characters and a leading double quote: without the first and the last character
// (whatever the last is); exactly two double quotes: empty; otherwise unchanged.
std::string Unquote(std::string_view text);
// Double quote + text + double quote.
std::string Quote(std::string_view text);

// Sorts list[first..last] in place, ascending, letters a to z compared without regard to case;
// quicksort with the middle element as pivot, so texts equal but for case keep the order the host
// gives them. Indexes outside the list are clipped.
void SortTextList(std::vector<std::string>& list, int first, int last);

// Replaces every occurrence of pattern (letters a to z without regard to case), scanning left to
// right without overlap; nothing happens when the text or the pattern is empty.
void ReplaceAllText(std::string& text, std::string_view pattern, std::string_view replacement);

} // namespace gs
