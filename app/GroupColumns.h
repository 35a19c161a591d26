#pragma once
// The columns of the group table ("Auswertung") and the text of a group's cell, in one place: the
// window's group grid, its print, PDF and CSV, and the report command's text, CSV and PDF all take
// them from here. Plain data without Qt; never fails.
#include "app/ProfitGroups.h"
#include "app/ResultColumns.h"
#include "spool/GridSource.h"
#include "spool/XlsxCell.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

struct GroupColumn {
    const char* field;   // the field name the grid, the print and the export know the column by
    const char* title;   // the caption in the grid's markup ("/b" makes the rest bold)
    int width;           // pixels at 96 dpi
    ListCellAlignment alignment;
};

// "printp" is the profit bar: on screen the list's warning bar of the group's profit and net, in
// prints and exports the profit zone's text, as the list prints its warning column. "DOKUMENTE" is
// the number of documents.
inline constexpr std::array<GroupColumn, 9> ProfitGroupColumns = {{
    {"SCHLUESSEL", "Schlüssel", 52, ListCellAlignment::Right},
    {"NAME", "/bName", 120, ListCellAlignment::Left},
    {"printp", " /bWarnung", 60, ListCellAlignment::Left},
    {"DOKUMENTE", "Anzahl", 44, ListCellAlignment::Right},
    {"WW_NETTO", "Nettowert", 82, ListCellAlignment::Right},
    {"PROVISION", "Provision", 66, ListCellAlignment::Right},
    {"GEWINN", "Gewinn", 78, ListCellAlignment::Right},
    {"MARGE", "Marge %", 50, ListCellAlignment::Right},
    {"ANTEIL", "Anteil %", 50, ListCellAlignment::Right},
}};

// The position of the profit bar's column in ProfitGroupColumns.
inline constexpr int GroupBarColumn = 2;

// A percentage with two decimals in the program's number format ("12,34"); empty for none.
std::string PercentText(const std::optional<double>& percent);

// The text of a group's field as the group table shows it: amounts in the money display format,
// percentages with two decimals, the key as the report writes it; nullopt for an unknown field.
std::optional<std::string> GroupFieldText(const ProfitGroup& group, GroupBy by, std::string_view field);

// The groups as a grid's row source.
class GroupGridDataSet : public GridDataSet {
public:
    GroupGridDataSet(const std::vector<ProfitGroup>& groups, GroupBy by) : groups_(groups), by_(by) {}
    int RecordCount() const override { return static_cast<int>(groups_.size()); }
    std::optional<std::string> FieldText(int row, std::string_view field) const override;

private:
    const std::vector<ProfitGroup>& groups_;
    GroupBy by_;
};

// The group table's columns as a grid (all shown).
GridDescription ProfitGroupGrid(GroupGridDataSet& data);

// The totals row's value under a group column: the number of documents, the three sums, the
// weighted margin; nullopt under the others.
std::optional<XlsxCell> GroupTotalCell(std::string_view field, const RunTotals& totals);

// The totals line of the group table: "Summe: 7 Dokumente" and the period's totals line.
std::string GroupTotalsText(const RunTotals& totals);

// The title of a group table's print: "Gewinne nach Kunde, erstellt " + date and time; a filter's
// group follows the grouping ("Gewinne nach Monat, Kunde Müller GmbH, erstellt ...").
std::string GroupPrintTitle(GroupBy by, const std::string& filterText, const std::string& dateTime);
// The title of a filtered list's print: "Gewinne, Kunde Müller GmbH, erstellt " + date and time.
std::string FilteredListTitle(const std::string& filterText, const std::string& dateTime);

} // namespace gs
