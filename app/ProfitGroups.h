#pragma once
// The period's documents in groups: by customer, by sales representative, by document type or by
// month. The groups hold the same selection and amounts as the list (KM); their sums add up to the
// period's totals. A group filter restricts the result tables to one group's documents, so that
// the list, the months, the totals and every output show only that group ("drill-down").
//
// Plain data without Qt; the window's "Auswertung" tab, its filtered list and the report command
// all use this.
#include "app/ResultTables.h"
#include "app/StatisticsRun.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

enum class GroupBy { Kunde, Vertreter, Dokumentart, Monat };

inline constexpr GroupBy AllGroupings[] = {GroupBy::Kunde, GroupBy::Vertreter, GroupBy::Dokumentart, GroupBy::Monat};

// "Kunde", "Vertreter", "Dokumentart", "Monat": as the window and the captions name a grouping.
const char* GroupByCaption(GroupBy by);
// "kunde", "vertreter", "dokumentart", "monat": as the command line names it.
const char* GroupByWord(GroupBy by);
// The grouping of a command-line word (letter case ignored).
std::optional<GroupBy> GroupByFromWord(std::string_view word);

// A group's key: the customer's AdressID, the representative's VertreterID (0: none), the POT
// (1 invoice, 5 credit note), or the month as year * 100 + month (0: a document without date).
using GroupKey = long long;

struct ProfitGroup {
    GroupKey key = 0;
    std::string name;       // the customer or representative as the group's latest document names them
    int documents = 0;
    double net = 0;         // net values as the list shows them (to the cent), added
    double commission = 0;
    double profit = 0;
    std::optional<double> margin; // percent: profit / net x 100; none where the net is 0
    std::optional<double> share;  // percent of the period's net; none where that is 0
};

struct GroupFilter {
    GroupBy by = GroupBy::Kunde;
    GroupKey key = 0;
    bool operator==(const GroupFilter&) const = default;
};

// The weighted margin of a sum of documents in percent: total profit / total net x 100; none where
// the net is 0 to the cent.
std::optional<double> WeightedMargin(double profit, double net);

// A document's net value as the list shows it: to the cent (the converted value of a document kept
// in the second currency is rounded here, as the totals add it).
double ListedNet(const KmRow& row);

// The representative's name of a row ("" when the document names none).
const std::string& VertreterNameOf(const ResultTables& tables, const KmRow& row);

// The key of the group a document belongs to.
GroupKey GroupKeyOf(const KmRow& row, GroupBy by);
// The key as the report writes it: the number, or "YYYY-MM" for a month.
std::string GroupKeyText(GroupBy by, GroupKey key);
// The name of a document type: "Rechnung", "Gutschrift", otherwise "Dokumentart N".
std::string DocumentTypeName(GroupKey pot);
// The name of a month key: "März 2024" ("ohne Datum" for 0).
std::string MonthName(GroupKey key);

// The groups of the tables' documents, sorted by profit (to the cent), largest first, ties by key;
// months in the order of the calendar (documents without a date last). A month the tables' range
// covers only in part is named by the days covered ("20.-31.12.2024"), as the chart labels it.
std::vector<ProfitGroup> BuildProfitGroups(const ResultTables& tables, GroupBy by);

// The totals of the tables' documents, added in list order as the run adds them.
RunTotals TotalsOf(const ResultTables& tables);

// Whether a document belongs to the filter's group.
bool InGroup(const KmRow& row, const GroupFilter& filter);
// The tables restricted to the filter's group: its documents in list order, the period's months
// with the sums of those documents only, the same range text and representative names.
ResultTables FilterTables(const ResultTables& tables, const GroupFilter& filter);
// The outcome of a run as the filtered tables see it: the totals of their documents, the unreadable
// documents among them and the warnings about those.
RunOutcome FilterOutcome(const RunOutcome& outcome, const ResultTables& filtered);

// "kunde=ID", "vertreter=ID", "dokumentart=POT" or "monat=YYYY-MM"; nullopt with the reason in
// problem for anything else.
std::optional<GroupFilter> ParseGroupFilter(std::string_view text, std::string& problem);

// The group a filter shows, for a filter line and a title: "Kunde Müller GmbH", "Vertreter Anna
// Schmidt", "ohne Vertreter", "Dokumentart Gutschrift", "Monat März 2024". The name is that of the
// group's latest document in the tables (the key when the tables hold none).
std::string GroupFilterText(const ResultTables& tables, const GroupFilter& filter);

} // namespace gs
