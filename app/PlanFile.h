#pragma once
// The plan values' file: "PLAN.INI" beside the program, where the module keeps its other files
// (UserMode.INI, TOVIK.INI), so the window and the report command of one installation read the same
// plan. An INI file like the others (Windows-1252, CR LF, read and written through base/IniFile),
// because a person can read and mend it with any editor, and because one year's plan is a handful of
// values that need no database. One section per calendar year, one key per month and value, amounts
// with a decimal point and two decimals whatever the number format (so that euro and franc mode read
// the same file):
//
//     ; Planwerte der Gewinn-Statistik: Netto und Gewinn je Kalendermonat in Euro (Dezimalpunkt)
//     [2026]
//     01.Netto=120000.00
//     01.Gewinn=24000.00
//
// Sections name calendar years, keys calendar months, so a month's key is the same under every
// fiscal year: a fiscal year's plan (2025/26 beginning in April) is the months 04-12 of [2025] and
// 01-03 of [2026], and changing the fiscal year's first month never moves or loses a plan.
//
// How it fails: LoadPlanBook never raises for ordinary errors. A missing file is an empty plan; a
// file that cannot be read, a section that is no year, a key that is no month's value and a value
// that is no amount are left out and traced (base/Error.h, guard site "PLAN.INI"), so the rest of
// the file still counts. SavePlanBook raises gs::Error naming the file and the cause when it cannot
// write; the file then stays as it was.
#include "app/PlanValues.h"

#include <filesystem>

namespace gs {

inline constexpr const char* PlanFileName = "PLAN.INI";

// PLAN.INI in directory (the program's directory), found without regard to case.
std::filesystem::path PlanFileIn(const std::filesystem::path& directory);

// Every month planned in the file; nothing marked as changed.
PlanBook LoadPlanBook(const std::filesystem::path& file);

// Writes the months changed in book since it was read or saved (set or removed) into the file as it
// is now on the disk, atomically; every other line of the file, and a month another program saved
// meanwhile, stays. A year left without months loses its section. Marks the book saved.
void SavePlanBook(PlanBook& book, const std::filesystem::path& file);

} // namespace gs
