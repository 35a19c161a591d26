#pragma once
// The outputs of the report command: an aligned text table, the host's CSV form of the document
// list with its heading and totals rows, and one JSON object with the documents, the months, the
// totals line and the chart title. All of one run show the same documents, the same totals to the
// cent and the same range.
#include "app/ResultColumns.h"
#include "app/ResultTables.h"
#include "app/StatisticsRun.h"

#include "spool/XlsxCell.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

// The document list as an aligned table, the month table (documents and the three sums to the cent
// in the totals line's format; a month the range covers only in part named by its days, as the
// chart names it), then the totals line (or the error); with the previous year, its range and
// totals line and the changes of the three sums.
std::string ReportText(const ResultTables& tables, const RunOutcome& outcome,
                       const PreviousYearRun* previous = nullptr);

// The comparison under the totals line of the text: "Vorjahr: " + its range, its totals line, the
// changes; the previous year's error; empty without a previous year or when the run did not complete.
std::string ComparisonText(const RunOutcome& outcome, const PreviousYearRun* previous);

// The title the report's CSV and workbook put over the document list.
inline constexpr const char* ReportListTitle = "Gewinne";

// The lines over a report's table in the CSV and the workbook: the title, the range and, when the
// outputs show one group only, "Gefiltert: " + the group.
std::vector<std::string> ReportHeadingLines(const std::string& title, const std::string& rangeText,
                                            const std::string& filterText);

// The report's CSV (UTF-8 here; written as Windows-1252), each line in the host's CSV form: the
// heading lines (with the previous year "Vorjahr: " + its range), the list's CSV export (the shown
// columns' captions, one line per document, the same bytes as the window's export), then the totals
// rows (CsvTotalsRows). filterText: the group the tables are filtered to ("" for none).
std::string ReportCsv(const ResultTables& tables, const RunOutcome& outcome, const PreviousYearRun* previous,
                      std::string_view secondCurrencySymbol, const std::string& filterText = {});

// The heading lines as CSV lines, with the previous year's range when it ran.
std::string ReportCsvHeading(const std::vector<std::string>& headingLines, const PreviousYearRun* previous);

// A column's value in a totals row (nullopt: none under that column).
using TotalCellOf = std::function<std::optional<XlsxCell>(std::string_view field, const RunTotals& totals)>;

// The rows under a CSV table of the columns fields: "Summe" (in the first column without a value)
// with the totals; with a previous year that ran, "Vorjahr" with its totals, "Veränderung" with the
// amounts' changes and "Veränderung in %" with them in percent of the previous year's (two decimals,
// empty where that is 0); a failed previous year as "Vorjahr: " + its error. A failed run gives
// "Fehler: " + its error instead of all these. The warnings follow, one a line.
std::string CsvTotalsRows(const std::vector<std::string>& fields, const TotalCellOf& totalCell,
                          const RunOutcome& outcome, const PreviousYearRun* previous,
                          std::string_view secondCurrencySymbol);

// A cell of a totals row as the CSV writes it: amounts as the list's cells (no currency), numbers
// whole, texts as they are.
std::string CsvValueText(const XlsxCell& cell, std::string_view secondCurrencySymbol);

// {"range", "documents", "months", "Summen", "chartTitle", "totals", "warnings", "error"} in UTF-8. Each
// document and month carries the host's texts and whole-euro fields and, beside them, its date as ISO
// text and its amounts as numbers in euros to the cent ("net", "commission", "profit"), a document
// its "margin" in percent to two decimals (null where its net is 0), a month its number of
// "documents"; "totals" the sums and the weighted margin the totals line shows.
// With the previous year: "previous" {"range", "totals", "months", "error"} of the same form, and
// "change" {"net", "profit", "commission", "net_percent", "profit_percent"}: current minus previous,
// the percents of the previous value's amount to two decimals (null where it is 0); "change" is
// null when either run failed.
// extraMembers: further members of the object (each "\"name\": value" with its ",\n"), written after
// "totals" and the comparison (the groups and the filter of a grouped or filtered report).
std::string ReportJson(const ResultTables& tables, const RunOutcome& outcome,
                       const PreviousYearRun* previous = nullptr, const std::string& extraMembers = {});

// A JSON string literal with its quotes.
std::string JsonString(std::string_view text);

// An amount in euros as a JSON number to the cent (halves away from zero, as the money format).
std::string JsonMoney(double amount);

// An aligned text table: the header, a rule, the rows; right-aligned columns as marked.
std::string TextTable(const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows,
                      const std::vector<bool>& rightAligned);

} // namespace gs
