#pragma once
// What the report command's outputs show of one run, and the run as text, CSV or JSON. Every
// output of one command line (standard output, the files of --output, the PDF, the workbook)
// reads the same view, so that all show the same documents, totals and range.
//
// The view is the whole run, or with --filter one group's part of it (of both years when
// compared), and with --group-by the groups of what it shows. Plain data without Qt; never fails.
#include "app/ProfitGroups.h"
#include "app/ReportOptions.h"
#include "app/ResultTables.h"
#include "app/StatisticsRun.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

class ReportView {
public:
    // tables, outcome and previous (null without --compare) must outlive the view.
    ReportView(const ReportOptions& options, const ResultTables& tables, const RunOutcome& outcome,
               const PreviousYearRun* previous);
    ReportView(const ReportView&) = delete;
    ReportView& operator=(const ReportView&) = delete;

    const ResultTables& tables() const { return filter_ ? filteredTables_ : tables_; }
    const RunOutcome& outcome() const { return filter_ ? filteredOutcome_ : outcome_; }
    // The previous year as the outputs compare it (the same group's when filtered), or null.
    const PreviousYearRun* previous() const { return previous_ && filter_ ? &filteredPrevious_ : previous_; }
    // The whole run's outcome (its error ends the command with 1 also when filtered).
    const RunOutcome& runOutcome() const { return outcome_; }
    const std::optional<GroupFilter>& filter() const { return filter_; }
    // "Kunde Müller GmbH" for a filter, else empty.
    const std::string& filterText() const { return filterText_; }
    const std::optional<GroupBy>& groupBy() const { return groupBy_; }
    const std::vector<ProfitGroup>& groups() const { return groups_; }

private:
    const ResultTables& tables_;
    const RunOutcome& outcome_;
    const PreviousYearRun* previous_;
    std::optional<GroupFilter> filter_;
    std::optional<GroupBy> groupBy_;
    std::string filterText_;
    ResultTables filteredTables_;
    RunOutcome filteredOutcome_;
    PreviousYearRun filteredPrevious_;
    std::vector<ProfitGroup> groups_;
};

// The view in a format: text (UTF-8; the group table with --group-by), CSV (Windows-1252; the
// group table with --group-by) or JSON (UTF-8; with "filter" and "groups" where asked).
std::string ReportFormatBytes(ReportFormat format, const ReportView& view, std::string_view secondCurrencySymbol);

} // namespace gs
