#pragma once
// Paths as the host writes them ("C:\Daten\Firma\") and as this platform writes them
// ("/srv/daten/firma/"): "\" and "/" both separate directories. A host path (one with a "\" or a
// drive letter) gets "\" added; any other path gets "/".
#include <string>
#include <string_view>

namespace gs {

inline bool IsPathDelimiter(char c) { return c == '\\' || c == '/'; }

// The path with a trailing directory delimiter, unless it is empty or ends with ":", "\" or "/".
std::string WithTrailingDelimiter(std::string_view path);

} // namespace gs
