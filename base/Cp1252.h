#pragma once
// Windows-1252 <-> UTF-8. Files and stored texts the host shares are Windows-1252; the program
// works in UTF-8. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map
// to the C1 controls of the same number, so every byte round-trips.
#include <string>
#include <string_view>

namespace gs {

std::string Cp1252ToUtf8(std::string_view bytes);
// Characters the code page lacks become "?".
std::string Utf8ToCp1252(std::string_view text);
// True when every byte is ASCII (then both forms are the same bytes).
bool IsAscii(std::string_view s);

} // namespace gs
