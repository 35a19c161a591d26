#include "app/ReportView.h"

#include "app/ReportGroups.h"
#include "app/ReportOutput.h"
#include "base/Cp1252.h"

namespace gs {

ReportView::ReportView(const ReportOptions& options, const ResultTables& tables, const RunOutcome& outcome,
                       const PreviousYearRun* previous)
    : tables_(tables), outcome_(outcome), previous_(previous), filter_(options.filter), groupBy_(options.groupBy)
{
    if (filter_) {
        filterText_ = GroupFilterText(tables, *filter_);
        filteredTables_ = FilterTables(tables, *filter_);
        filteredOutcome_ = FilterOutcome(outcome, filteredTables_);
        if (previous_) {
            filteredPrevious_.tables = FilterTables(previous_->tables, *filter_);
            filteredPrevious_.outcome = FilterOutcome(previous_->outcome, filteredPrevious_.tables);
        }
    }
    if (groupBy_)
        groups_ = BuildProfitGroups(this->tables(), *groupBy_);
}

std::string ReportFormatBytes(ReportFormat format, const ReportView& view, std::string_view secondCurrencySymbol)
{
    switch (format) {
    case ReportFormat::Text:
        if (view.groupBy())
            return ReportGroupsText(view.groups(), *view.groupBy(), view.outcome(), view.filterText(), view.previous());
        return (view.filterText().empty() ? "" : "Gefiltert: " + view.filterText() + "\n") +
               ReportText(view.tables(), view.outcome(), view.previous());
    case ReportFormat::Csv:
        return Utf8ToCp1252(view.groupBy() ? ReportGroupsCsv(view.groups(), *view.groupBy(), view.outcome(), view.previous(),
                                                             secondCurrencySymbol, view.filterText())
                                           : ReportCsv(view.tables(), view.outcome(), view.previous(), secondCurrencySymbol,
                                                       view.filterText()));
    case ReportFormat::Json: break;
    }
    std::string extra;
    if (view.filter())
        extra += FilterJsonMember(*view.filter(), view.filterText());
    if (view.groupBy())
        extra += GroupsJsonMember(view.groups(), *view.groupBy());
    return ReportJson(view.tables(), view.outcome(), view.previous(), extra);
}

} // namespace gs
