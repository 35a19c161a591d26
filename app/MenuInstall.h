#pragma once
// Installation of the module's entry into the host's menu file ZS.MNU (the "zusätzlich" menu),
// started with the single argument "INSTALL".
#include <filesystem>
#include <string>

namespace gs {

inline constexpr const char* MenuFileName = "ZS.MNU";
inline constexpr const char* MenuEntryText = "Gewinnstatistik.";

// Finds the first ch in line: left := the text before it (not trimmed), right := at most 200
// characters after it, trimmed of blanks and control characters. Without ch both stay unchanged.
void SplitAtChar(const std::string& line, char ch, std::string& left, std::string& right);

// Writes (or refreshes) the module's line "<program file>;Gewinnstatistik." in ZS.MNU beside the
// program: the first line whose entry text is "Gewinnstatistik." is replaced in place, otherwise the
// line is appended. The file is replaced atomically, so a failed write leaves the old file intact.
// Shows the success message unless silent, and the failure message always (through the dialog
// seam). Returns true on success.
bool InstallMenuEntry(const std::filesystem::path& programFile, bool silent);

} // namespace gs
