#pragma once
// The outputs of the report command: an aligned text table, the host's CSV form of the document
// list, and one JSON object with the documents, the months, the totals line and the chart title.
#include "app/ResultColumns.h"
#include "app/ResultTables.h"
#include "app/StatisticsRun.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

// The document list as an aligned table, the month table, then the totals line (or the error); with
// the previous year, its range and totals line and the changes of the three sums.
std::string ReportText(const ResultTables& tables, const RunOutcome& outcome,
                       const PreviousYearRun* previous = nullptr);

// The document list in the host's CSV form (UTF-8 here; written as Windows-1252): the shown
// columns' captions, then one line per document.
std::string ReportCsv(const ResultTables& tables, std::string_view secondCurrencySymbol);

// {"range", "documents", "months", "Summen", "chartTitle", "totals", "warnings", "error"} in UTF-8. Each
// document and month carries the host's texts and whole-euro fields and, beside them, its date as ISO
// text and its amounts as numbers in euros to the cent ("net", "commission", "profit"), a document
// its "margin" in percent to two decimals (null where its net is 0); "totals" the sums and the
// weighted margin the totals line shows.
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
