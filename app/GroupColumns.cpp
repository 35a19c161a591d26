#include "app/GroupColumns.h"

#include "app/ProfitListRows.h"
#include "base/FormatFloat.h"
#include "base/Numbers.h"

namespace gs {

std::string PercentText(const std::optional<double>& percent)
{
    return percent ? FormatFloat("0.00", *percent) : std::string();
}

std::optional<std::string> GroupFieldText(const ProfitGroup& group, GroupBy by, std::string_view field)
{
    if (field == "SCHLUESSEL")
        return GroupKeyText(by, group.key);
    if (field == "NAME")
        return group.name;
    if (field == "printp")
        return std::string(ProfitZoneText(ProfitZoneOf(WholeEuros(group.profit))));
    if (field == "DOKUMENTE")
        return std::to_string(group.documents);
    if (field == "WW_NETTO")
        return FormatFloat(MoneyDisplayFormat(), group.net);
    if (field == "PROVISION")
        return FormatFloat(MoneyDisplayFormat(), group.commission);
    if (field == "GEWINN")
        return FormatFloat(MoneyDisplayFormat(), group.profit);
    if (field == "MARGE")
        return PercentText(group.margin);
    if (field == "ANTEIL")
        return PercentText(group.share);
    return std::nullopt;
}

std::optional<std::string> GroupGridDataSet::FieldText(int row, std::string_view field) const
{
    if (row < 0 || row >= RecordCount())
        return std::nullopt;
    return GroupFieldText(groups_[static_cast<size_t>(row)], by_, field);
}

GridDescription ProfitGroupGrid(GroupGridDataSet& data)
{
    GridDescription grid;
    grid.dataSet = &data;
    for (const GroupColumn& c : ProfitGroupColumns)
        grid.columns.push_back({c.field, c.title, c.width, 0, c.alignment == ListCellAlignment::Right ? 1 : 0});
    return grid;
}

std::optional<XlsxCell> GroupTotalCell(std::string_view field, const RunTotals& totals)
{
    if (field == "DOKUMENTE")
        return XlsxCell::Number(totals.documents);
    if (field == "WW_NETTO")
        return XlsxCell::Money(totals.net);
    if (field == "PROVISION")
        return XlsxCell::Money(totals.commission);
    if (field == "GEWINN")
        return XlsxCell::Money(totals.profit);
    if (field == "MARGE")
        if (const auto margin = WeightedMargin(totals.profit, totals.net))
            return XlsxCell::Of(PercentText(margin));
    return std::nullopt;
}

std::string GroupTotalsText(const RunTotals& totals)
{
    return "Summe: " + DocumentCountText(totals.documents) +
           "\t\t" + SummenText(totals);
}

std::string GroupPrintTitle(GroupBy by, const std::string& filterText, const std::string& dateTime)
{
    return std::string("Gewinne nach ") + GroupByCaption(by) + (filterText.empty() ? "" : ", " + filterText) +
           ", erstellt " + dateTime;
}

std::string FilteredListTitle(const std::string& filterText, const std::string& dateTime)
{
    return "Gewinne" + (filterText.empty() ? std::string() : ", " + filterText) + ", erstellt " + dateTime;
}

} // namespace gs
