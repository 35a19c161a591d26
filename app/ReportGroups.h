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

// The range, the filter line (when filterText is not empty), the group table, then the group
// table's totals line (or the error) and the warnings.
std::string ReportGroupsText(const std::vector<ProfitGroup>& groups, GroupBy by, const RunOutcome& outcome,
                             const std::string& filterText);

// The group table in the host's CSV form (UTF-8 here; written as Windows-1252): the captions, then
// one line per group, as the group grid's CSV export writes it.
std::string ReportGroupsCsv(const std::vector<ProfitGroup>& groups, GroupBy by, std::string_view secondCurrencySymbol);

// The JSON member "groups": [{"key", "name", "documents", "net", "commission", "profit", "margin",
// "share"}, ...] with its ",\n": amounts to the cent, margin and share in percent with two
// decimals (null where there is none), the key a number or "YYYY-MM" for a month.
std::string GroupsJsonMember(const std::vector<ProfitGroup>& groups, GroupBy by);

// The JSON member "filter": {"by", "key", "text"} with its ",\n".
std::string FilterJsonMember(const GroupFilter& filter, const std::string& filterText);

} // namespace gs
