#pragma once
// The statistics window's stored choices that the report command follows as well: the month the
// fiscal year begins in and whether the chart shows the previous year. Both live in UserMode.INI
// beside the program (section MODE, keys after the window's class name, as the window's other
// remembered choices), so the window and the report command of one installation agree.
namespace gs {

inline constexpr const char* FiscalStartKey = "TFOrderProfit1.GeschaeftsjahrBeginn";
inline constexpr const char* PreviousYearKey = "TFOrderProfit1.Vorjahr";

// 1 (January) to 12; a missing or impossible value gives January.
int ReadFiscalStartMonth();
void WriteFiscalStartMonth(int month);

bool ReadPreviousYearShown();
void WritePreviousYearShown(bool shown);

} // namespace gs
