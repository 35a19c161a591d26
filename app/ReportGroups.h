#pragma once
// The report command's grouped and filtered outputs: the group table as text (instead of the
// document list), in the host's CSV form, and as JSON members beside the run's own.
#include "app/ProfitGroups.h"
#include "app/StatisticsRun.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

// "Gewinne nach Kunde": the title of a group table.
std::string GroupTableTitle(GroupBy by);

// The range, the filter line (when filterText is not empty), the group table, then the group
// table's totals line (or the error), the comparison with the previous year (when given) and the
// warnings.
std::string ReportGroupsText(const std::vector<ProfitGroup>& groups, GroupBy by, const RunOutcome& outcome,
                             const std::string& filterText, const PreviousYearRun* previous = nullptr);

// The group table in the host's CSV form (UTF-8 here; written as Windows-1252) as the document
// list's CSV is made (app/ReportOutput.h ReportCsv): the heading lines, the captions and one line
// per group as the group grid's CSV export writes them, then the totals rows (with the previous
// year's and the changes when compared).
std::string ReportGroupsCsv(const std::vector<ProfitGroup>& groups, GroupBy by, const RunOutcome& outcome,
                            const PreviousYearRun* previous, std::string_view secondCurrencySymbol,
                            const std::string& filterText = {});

// The JSON member "groups": [{"key", "name", "documents", "net", "commission", "profit", "margin",
// "share"}, ...] with its ",\n": amounts to the cent, margin and share in percent with two
// decimals (null where there is none), the key a number or "YYYY-MM" for a month.
std::string GroupsJsonMember(const std::vector<ProfitGroup>& groups, GroupBy by);

// The JSON member "filter": {"by", "key", "text"} with its ",\n".
std::string FilterJsonMember(const GroupFilter& filter, const std::string& filterText);

} // namespace gs
