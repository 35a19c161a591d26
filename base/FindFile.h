#pragma once
// Finding a file by name as the host's platform does: without regard to letter case. For every
// layer that opens files the host or the user names (tables, INI files, the menu file).
// Never raises; an unreadable directory finds nothing.
#include <filesystem>
#include <string>

namespace gs {

// The file in dir whose name equals name without regard to case (the exact name wins); dir / name
// when none matches.
std::filesystem::path FindFileNoCase(const std::filesystem::path& dir, const std::string& name);

} // namespace gs
