#pragma once
// One year's plan as CSV, in the form of the module's CSV export (spool/CsvFormat.h): Windows-1252,
// CR LF, every value in double quotes, ";" between values, numbers in the process's number format
// with grouped thousands ("120.000,00" in euro mode), a header line. One line per month of the year,
// in the year's order, the month as "2026-03"; a value the month has no plan for is empty:
//
//     "Monat";"Netto";"Gewinn"
//     "2026-01";"120.000,00";"24.000,00"
//     "2026-02";"";""
//
// The import reads what the export writes, and what a spreadsheet makes of it: values with or
// without quotes, numbers with or without thousands separators and with a currency text behind, the
// month in any of the forms of app/MonthText.h, a header line that names the columns in any order
// (or none: then Monat;Netto;Gewinn), blank lines and lines of empty values (skipped), a UTF-8 file
// with its byte-order mark. It validates every line: a line that cannot be read is an error naming
// its number and the cause in German, and nothing is imported. An empty value means no plan for that
// month's value; a month without a line has no plan. Export and import round-trip exactly.
#include "app/PlanValues.h"
#include "base/Error.h"
#include "base/NumberFormats.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace gs {

// A plan CSV that cannot be read; line is the number of the offending line (1 the first), 0 for the
// file as a whole (too large). what() is the whole message, "Zeile 4: „12,3x“ ist keine Zahl (Spalte
// Netto)".
class PlanCsvError : public Error {
public:
    PlanCsvError(int line, const std::string& message);
    int line() const { return line_; }

private:
    int line_;
};

// The largest plan CSV read (1 MiB): a year's plan is a few hundred bytes.
inline constexpr size_t PlanCsvMaxBytes = 1 << 20;

// The CSV text (UTF-8) of the year's plan, numbers in the formats given.
std::string PlanCsvText(const YearPlan& plan, const NumberFormats& formats);
// Writes it to file (Windows-1252, atomically, in the process's number format); raises gs::Error
// naming the file and the cause.
void ExportPlanCsv(const YearPlan& plan, const std::filesystem::path& file);

// The year's plan from the CSV's bytes (Windows-1252, or UTF-8 after a byte-order mark), numbers in
// the formats given. Raises PlanCsvError.
YearPlan ParsePlanCsv(std::string_view bytes, const YearSpan& year, const NumberFormats& formats);
// Reads file in the process's number format. Raises gs::Error naming the file: "Planwerte aus
// plan.csv, Zeile 4, Spalte Netto: ..." (a PlanCsvError, whose line() tells the line), or why the
// file cannot be read.
YearPlan ImportPlanCsv(const std::filesystem::path& file, const YearSpan& year);

} // namespace gs
