#include "app/ReportGroups.h"

#include "app/GroupColumns.h"
#include "app/ReportOutput.h"
#include "base/Dialogs.h"
#include "base/Text.h"
#include "spool/CsvExport.h"
#include "spool/CsvFormat.h"
#include "spool/ListCellText.h"

namespace gs {

namespace {

std::string JsonPercent(const std::optional<double>& percent) { return percent ? JsonMoney(*percent) : "null"; }

std::string JsonKey(GroupBy by, GroupKey key)
{
    return by == GroupBy::Monat ? JsonString(GroupKeyText(by, key)) : std::to_string(key);
}

} // namespace

std::string GroupTableTitle(GroupBy by) { return std::string(ReportListTitle) + " nach " + GroupByCaption(by); }

std::string ReportGroupsText(const std::vector<ProfitGroup>& groups, GroupBy by, const RunOutcome& outcome,
                             const std::string& filterText, const PreviousYearRun* previous)
{
    std::vector<std::string> header;
    std::vector<bool> right;
    for (const GroupColumn& c : ProfitGroupColumns) {
        header.push_back(Trim(CsvCaption(c.title)));
        right.push_back(c.alignment == ListCellAlignment::Right);
    }
    std::vector<std::vector<std::string>> rows;
    rows.reserve(groups.size());
    for (const ProfitGroup& g : groups) {
        std::vector<std::string> cells;
        for (const GroupColumn& c : ProfitGroupColumns)
            cells.push_back(GroupFieldText(g, by, c.field).value_or(std::string()));
        rows.push_back(std::move(cells));
    }
    std::string out;
    if (!outcome.rangeText.empty())
        out += outcome.rangeText + "\n";
    if (!filterText.empty())
        out += "Gefiltert: " + filterText + "\n";
    out += std::string("Gruppiert nach: ") + GroupByCaption(by) + "\n\n";
    out += TextTable(header, rows, right);
    out += "\n";
    if (outcome.error)
        out += "Fehler: " + StripMessageMarkup(*outcome.error) + "\n";
    else
        out += GroupTotalsText(outcome.totals) + "\n";
    out += ComparisonText(outcome, previous);
    for (const std::string& warning : outcome.warnings)
        out += warning + "\n";
    return out;
}

std::string ReportGroupsCsv(const std::vector<ProfitGroup>& groups, GroupBy by, const RunOutcome& outcome,
                            const PreviousYearRun* previous, std::string_view secondCurrencySymbol,
                            const std::string& filterText)
{
    GroupGridDataSet rows(groups, by);
    ListDescription list;
    list.grid = ProfitGroupGrid(rows);
    list.cellMode = CellModeOrderList;
    CsvExportOptions options;
    options.SecondCurrencySymbol = std::string(secondCurrencySymbol);
    bool cancelled = false;
    std::vector<std::string> fields;
    for (const GroupColumn& c : ProfitGroupColumns)
        fields.push_back(c.field);
    return ReportCsvHeading(ReportHeadingLines(GroupTableTitle(by), outcome.rangeText, filterText), previous) +
           GridCsvText(list, options, cancelled) +
           CsvTotalsRows(fields, GroupTotalCell, outcome, previous, secondCurrencySymbol);
}

std::string GroupsJsonMember(const std::vector<ProfitGroup>& groups, GroupBy by)
{
    std::string out = " \"groupBy\": " + JsonString(GroupByWord(by)) + ",\n \"groups\": [";
    for (size_t i = 0; i < groups.size(); ++i) {
        const ProfitGroup& g = groups[i];
        out += i ? ",\n  " : "\n  ";
        out += "{\"key\": " + JsonKey(by, g.key) + ", \"name\": " + JsonString(g.name) +
               ", \"documents\": " + std::to_string(g.documents) + ", \"net\": " + JsonMoney(g.net) +
               ", \"commission\": " + JsonMoney(g.commission) + ", \"profit\": " + JsonMoney(g.profit) +
               ", \"margin\": " + JsonPercent(g.margin) + ", \"share\": " + JsonPercent(g.share) + "}";
    }
    out += groups.empty() ? "],\n" : "\n ],\n";
    return out;
}

std::string FilterJsonMember(const GroupFilter& filter, const std::string& filterText)
{
    return " \"filter\": {\"by\": " + JsonString(GroupByWord(filter.by)) + ", \"key\": " +
           JsonKey(filter.by, filter.key) + ", \"text\": " + JsonString(filterText) + "},\n";
}

} // namespace gs
