#pragma once
// The report's files named by their period, for month-end folders: "GEWINN-2026-11" for a month,
// "GEWINN-2026-Q4" for a quarter, "GEWINN-2026" for a whole year, first and last day for a free
// range; a fiscal year that begins after January is named by both its calendar years and the
// months it runs from and to ("GEWINN-2026-27-Jul-Jun", its second quarter "GEWINN-2026-27-Q2-Okt-Dez"),
// a month always by its calendar year. So each period has its own name whatever the fiscal start,
// and a run never replaces another period's file (a second run of the same period replaces its own
// files, as a catch-up run should).
//
// Only regular files are written: an existing target that is a directory, a FIFO, a device, a
// socket or a symbolic link is refused with gs::Error, so a run cannot write through a link into
// another file or block on a pipe. A file is made under a temporary name beside the target and
// renamed over it when it is complete.
#include "app/PeriodSelection.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace gs {

// The stem of the period's file names (no extension): the year text as the year box or --year give
// it ("2026", "2026/27": the number before the slash counts), the period index (0 year, 1-4
// quarters, 5-16 months) and the month the fiscal year begins in.
std::string PeriodFileStem(const std::string& yearText, int periodIndex, int fiscalStartMonth = 1);
// The stem of a choice's files: its period's, or its free range's.
std::string PeriodFileStem(const PeriodChoice& choice);
// The stem for a range of days: "GEWINN-2026-04-01_2026-06-30".
std::string RangeFileStem(double firstDay, double lastDay);

// "-" names standard output, where a format allows it (--pdf, --xlsx, --chart): the bytes go there
// and nothing is checked or renamed.
inline constexpr const char* StandardOutputName = "Die Standardausgabe";
bool IsStandardOutput(const std::filesystem::path& file);

// Writes all bytes to the file descriptor (1: standard output). Raises gs::Error naming the cause
// in German ("Die Standardausgabe konnte nicht geschrieben werden: Kein Speicherplatz …").
void WriteAllTo(int fd, std::string_view bytes);

// Raises gs::Error when file exists and is not a regular file (a link counts as not regular).
void RequireRegularTarget(const std::filesystem::path& file);

// Calls write with a temporary path beside file, then renames it over file; the temporary file is
// removed when write raises. Raises gs::Error with the file when the rename fails.
void WriteThroughTemporary(const std::filesystem::path& file, const std::function<void(const std::filesystem::path&)>& write);

} // namespace gs
