#pragma once
// Small text helpers shared by every subsystem. Texts are UTF-8 inside the program; "characters"
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

} // namespace gs
