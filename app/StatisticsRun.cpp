#include "app/StatisticsRun.h"

#include "base/DateLibrary.h"
#include "base/Dates.h"
#include "base/Error.h"
#include "base/FormatFloat.h"
#include "base/Numbers.h"
#include "app/Margin.h"
#include "app/PeriodSelection.h"
#include "base/Text.h"
#include "db/AdsTable.h"
#include "app/ProcessObjects.h"
#include "app/Runtime.h"
#include "orders/DefaultPatterns.h"
#include "orders/Pattern.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>
#include <unordered_map>

namespace gs {

namespace {

// A value rounded for one of the host's 32-bit whole-euro fields: a document whose amount does not
// fit ends the run, as it would in the host's table.
void CheckWholeNumber(double value, const char* field)
{
    const double r = RoundHalfEven(value);
    if (!(r >= INT_MIN && r <= INT_MAX))
        throw Error(std::string("Wert außerhalb des Ganzzahlbereichs im Feld ") + field + ": " + FloatToText(value));
}

// Adds to a whole-euro field of the month table; an empty field counts as 0.
void AddTo(std::optional<int>& sum, double value, const char* field)
{
    const long long total = static_cast<long long>(sum.value_or(0)) + static_cast<long long>(RoundHalfEven(value));
    if (total < INT_MIN || total > INT_MAX)
        throw Error(std::string("Monatssumme außerhalb des Ganzzahlbereichs im Feld ") + field);
    sum = static_cast<int>(total);
}

// The rows in the order of the walk on the index: the table may have been read in the order it
// stores them, each row with its place in that walk. Sorts the places and moves each row and its
// listed net to where its place belongs, in place (one cycle of moves after the other), so that the
// list is not held twice.
void PutInWalkOrder(std::vector<long long>& positions, std::vector<KmRow>& rows, std::vector<double>& nets)
{
    const size_t n = positions.size();
    std::vector<std::pair<long long, size_t>> byPlace(n);
    for (size_t i = 0; i < n; ++i)
        byPlace[i] = {positions[i], i};
    std::sort(byPlace.begin(), byPlace.end());
    // byPlace[i].second: the row that goes to i; marked done by pointing at itself.
    for (size_t i = 0; i < n; ++i) {
        if (byPlace[i].second == i)
            continue;
        KmRow row = std::move(rows[i]);
        const double net = nets[i];
        size_t to = i;
        for (;;) {
            const size_t from = byPlace[to].second;
            byPlace[to].second = to;
            if (from == i) {
                rows[to] = std::move(row);
                nets[to] = net;
                break;
            }
            rows[to] = std::move(rows[from]);
            nets[to] = nets[from];
            to = from;
        }
    }
    for (size_t i = 0; i < n; ++i)
        positions[i] = byPlace[i].first;
}

// The month row of a date; dates compare by their day, as their texts would. A month outside the
// period's rows gets a row of its own at the end.
KmcRow& MonthRowOf(std::vector<KmcRow>& months, TDateTime date)
{
    const double monthDay = std::floor(StartOfMonth(date));
    for (auto& m : months)
        if (m.DATE && std::floor(*m.DATE) == monthDay)
            return m;
    months.push_back(KmcRow{});
    return months.back();
}

// The representatives' names of a run, each kept once in the tables; rows point to them.
class NameIndex {
public:
    explicit NameIndex(std::vector<std::string>& names) : names_(names)
    {
        names_.assign(1, std::string());
        index_.emplace(std::string(), 0);
    }
    std::uint32_t of(const std::string& name)
    {
        if (name == names_[last_])
            return last_;
        auto [at, added] = index_.try_emplace(name, static_cast<std::uint32_t>(names_.size()));
        if (added)
            names_.push_back(name);
        return last_ = at->second;
    }

private:
    std::vector<std::string>& names_;
    std::unordered_map<std::string, std::uint32_t> index_;
    std::uint32_t last_ = 0;
};

} // namespace

std::optional<double> ChangePercent(double current, double previous)
{
    if (!std::isfinite(previous) || !std::isfinite(current) || std::fabs(previous) < 0.005)
        return std::nullopt;
    return (current - previous) / std::fabs(previous) * 100.0;
}

std::string ChangeText(double percent)
{
    const std::string text = FormatFloat(",0.0", percent) + " %";
    return text[0] == '-' || FormatFloat("0.0", std::fabs(percent)) == FormatFloat("0.0", 0.0) ? text : "+" + text;
}

std::string SummenText(const RunTotals& totals, const RunTotals* previous)
{
    const std::string display = MoneyDisplayFormat();
    std::string text = "Netto: " + FormatFloat(display, totals.net) + "\t\t" + "Provision: " +
                       FormatFloat(display, totals.commission) + "\t\t" + "Gewinn: " +
                       FormatFloat(display, totals.profit);
    if (previous)
        if (const auto change = ChangePercent(totals.profit, previous->profit))
            text += " (" + ChangeText(*change) + " zum Vorjahr)";
    if (const auto margin = Margin(totals))
        text += "\t\tMarge: " + MarginText(margin);
    return text;
}

std::string ChartTitleText(const RunTotals& totals, const std::string& rangeText)
{
    const std::string display = MoneyDisplayFormat();
    std::string text = "Netto: " + FormatFloat(display, totals.net) + " " + "Provision: " +
                       FormatFloat(display, totals.commission) + "  " + "Gewinn: " + FormatFloat(display, totals.profit);
    if (const auto margin = Margin(totals))
        text += "  Marge: " + MarginText(margin);
    return text + " " + rangeText;
}

std::vector<std::string> RunWarnings(const RunOutcome& outcome)
{
    std::vector<std::string> warnings;
    const auto& ids = outcome.unreadableProfit;
    if (!ids.empty()) {
        std::string line = "Hinweis: " + std::to_string(ids.size()) + (ids.size() == 1 ? " Dokument" : " Dokumente") +
                           " ohne lesbare Gewinnangaben: ";
        for (size_t i = 0; i < ids.size(); ++i)
            line += (i ? ", " : "") + std::to_string(ids[i]);
        warnings.push_back(std::move(line));
    }
    return warnings;
}

std::string OrdersStatusFilter()
{
    return std::string("(POT=") + "1" + " OR " + "POT=" + "5" + " )" + " AND (STATUS=" + "4" + " OR STATUS=" + "1" + ")";
}

namespace {

// One walk over the range: empties and fills tables.
RunOutcome RunRange(TAdsTable& orders, const PeriodRange& range, ResultTables& tables, RunFeedback* feedback)
{
    RunOutcome outcome;
    RunTotals& totals = outcome.totals;
    tables.clear();
    TMPattern pattern;
    NameIndex vertreterNames(tables.VertreterNames);
    const bool reportsProgress = feedback && feedback->progress;
    const DefaultPatterns& defaults = DefaultPatternsOf(Runtime::current());
    std::vector<long long> positions; // per list row: its place in the walk on the index
    std::vector<double> listedNets;   // per list row: the net as the list shows it
    std::vector<std::pair<long long, int>> unreadable;
    HandleOrdinaryError([&] {
        // One snapshot from the count to the last row: whatever other programs commit meanwhile, the
        // list, the months and the totals describe one state of the table (a WAL reader blocks no
        // writer). Inside it counting reads the matching rows, with the columns the run reads (EXTB
        // among them), once for the walk as well.
        TAdsTable::ReadScope snapshot(orders);
        orders.SetIndexName("DATE");
        tables.RangeText = range.rangeText;
        tables.RangeFirst = range.start;
        tables.RangeLast = range.end;
        for (TDateTime month : range.monthStarts)
            tables.KMC.push_back(KmcRow{month, std::nullopt, std::nullopt, std::nullopt});
        orders.SetFilter(OrdersStatusFilter() + range.filterPart);
        orders.SetFiltered(true);
        std::vector<Field*> columns = StatisticsColumns(orders);
        columns.push_back(orders.FindField("WW_NETTO"));
        orders.SetRowColumns(columns);
        // Every document's EXTB is inflated; from a database server beside the run's own work.
        orders.SetInflatedColumns({orders.FindField("EXTB")});
        // A table file is read in the order it stores the rows, each page once; the list is put
        // into date order after the walk.
        orders.SetStorageOrderWalk(true);

        // The count gives the progress its maximum. On a database server it runs beside the walk (the
        // same snapshot on a second connection): the maximum then follows as soon as it is in, and
        // until then the progress has none (0). A run without a progress display (the report
        // command) needs no count there; on table files counting is what reads the year once for the
        // walk, so it counts all the same.
        std::optional<TAdsTable::RecordCounting> counting;
        if (reportsProgress || !orders.Remote())
            counting.emplace(orders.StartRecordCount());
        RunProgress state{0, 0};
        bool counted = !counting;
        auto makeRoom = [&](long long rows) {
            tables.KM.reserve(static_cast<size_t>(rows));
            positions.reserve(static_cast<size_t>(rows));
            listedNets.reserve(static_cast<size_t>(rows));
        };
        auto takeCount = [&] {
            state.maximum = counting->Count();
            counted = true;
            makeRoom(state.maximum);
        };
        if (counting && counting->Ready())
            takeCount();
        if (reportsProgress)
            feedback->progress(state);
        Field& netField = orders.FieldByName("WW_NETTO");
        orders.First();
        // Walking in storage order, the rows found on the index bound the list: room for them at
        // once instead of growing the list again and again (room not filled takes no memory).
        if (const long long most = orders.WalkRowsAtMost(); !counted && most > 0)
            makeRoom(most);
        for (; !orders.Eof(); orders.Next()) {
            if (++state.position % 20 == 0) {
                if (!counted && counting->Ready())
                    takeCount();
                if (reportsProgress)
                    feedback->progress(state);
                if (feedback && feedback->cancelRequested()) {
                    outcome.cancelled = true;
                    return;
                }
            }
            LoadPatternFromOrder(pattern, orders, LoadModeStatistics, defaults);
            const long long position = orders.WalkPosition();
            if (!pattern.ExtInfo.ProfitInfoReadable)
                unreadable.emplace_back(position, pattern.ID_ORDER);

            KmRow row;
            // The net value goes through the money format and back, so it is rounded to two decimals.
            const double storedNet = netField.AsFloat();
            if (!std::isfinite(storedNet))
                throw PatternLoadError(pattern.ID_ORDER, "WW_NETTO",
                                       "Spalte WW_NETTO enthält keine endliche Zahl (" + FloatToText(storedNet) + ")");
            const double net = MoneyValue(storedNet);
            row.net = pattern.DataGrid_DM ? FromSecondCurrency(net) : net;
            row.date = pattern.Date;
            row.adressId = pattern.AdressID;
            row.adressName = Utf8Left(pattern.Adressname, 100);
            row.idOrder = pattern.ID_ORDER;
            row.commission = pattern.ExtInfo.Vertreter_Provision;
            row.profit = pattern.ExtInfo.CurrentGewinn - pattern.ExtInfo.Vertreter_Provision;
            row.vertreterId = pattern.ExtInfo.VertreterID;
            row.vertreterName = vertreterNames.of(pattern.ExtInfo.Vertreter);
            row.pot = pattern.POT;
            CheckWholeNumber(row.net, "WW_NETTO_INT");
            CheckWholeNumber(row.commission, "PROVISION_INT");
            CheckWholeNumber(row.profit, "GEWINN_INT");
            row.zone = ProfitZoneOf(static_cast<int>(RoundHalfEven(row.profit)));
            // The net sums add the net value as the list shows it (converted, to the cent), so that
            // the totals line, the months and the list agree also for documents kept in the second
            // currency.
            listedNets.push_back(pattern.DataGrid_DM ? MoneyValue(row.net) : net);
            positions.push_back(position);
            tables.KM.push_back(std::move(row));
        }
        if (!counted)
            takeCount(); // the walk was quicker: the count ends with the run, and a failure of it shows
    }, [&](const std::exception& e) { outcome.error = e.what(); });
    // What was read, also where the walk ended early, is put in order and added up.
    HandleOrdinaryError([&] {
        // The list and its notes in the order of the walk on the index.
        if (!std::is_sorted(positions.begin(), positions.end())) {
            PutInWalkOrder(positions, tables.KM, listedNets);
            std::sort(unreadable.begin(), unreadable.end());
        }
        // The months and the totals add up in list order, whatever order the table was read in, so
        // that the sums do not depend on where the rows lie in the file.
        for (size_t i = 0; i < tables.KM.size(); ++i) {
            const KmRow& row = tables.KM[i];
            KmcRow& month = MonthRowOf(tables.KMC, *row.date);
            AddTo(month.GEWINN_INT, row.profit, "GEWINN_INT");
            AddTo(month.PROVISION_INT, row.commission, "PROVISION_INT");
            AddTo(month.WW_NETTO_INT, row.net, "WW_NETTO_INT");
            month.documents += 1;
            month.net += listedNets[i];
            month.commission += row.commission;
            month.profit += row.profit;

            totals.documents += 1;
            totals.net += listedNets[i];
            totals.commission += row.commission;
            totals.profit += row.profit;
        }
    }, [&](const std::exception& e) {
        if (!outcome.error)
            outcome.error = e.what();
    });
    for (const auto& u : unreadable)
        outcome.unreadableProfit.push_back(u.second);
    outcome.warnings = RunWarnings(outcome);
    outcome.rangeText = tables.RangeText;
    return outcome;
}

} // namespace

RunOutcome RunStatisticsFor(TAdsTable& orders, const PeriodChoice& choice, ResultTables& tables,
                            RunFeedback* feedback, PreviousYearRun* previous)
{
    if (previous) {
        previous->tables.clear();
        previous->tables.RangeText.clear();
        previous->outcome = RunOutcome();
    }
    std::optional<PeriodRange> range;
    std::optional<PeriodRange> previousRange;
    RunOutcome failed;
    HandleOrdinaryError([&] {
        range = BuildChoiceRange(choice);
    }, [&](const std::exception& e) { failed.error = e.what(); });
    if (!range) {
        tables.clear();
        failed.rangeText = tables.RangeText;
        return failed;
    }
    if (previous)
        HandleOrdinaryError([&] { previousRange = PreviousYearRange(*range); },
                            [&](const std::exception& e) { previous->outcome.error = e.what(); });
    // Both years from one snapshot: the comparison never mixes two states of the table.
    std::optional<TAdsTable::ReadScope> snapshot;
    if (previousRange)
        HandleOrdinaryError([&] { snapshot.emplace(orders); }, [](const std::exception&) {});
    RunOutcome outcome = RunRange(orders, *range, tables, feedback);
    if (previousRange && outcome.completed())
        previous->outcome = RunRange(orders, *previousRange, previous->tables, feedback);
    return outcome;
}

RunOutcome RunStatistics(TAdsTable& orders, const std::string& yearText, int periodIndex, ResultTables& tables,
                         RunFeedback* feedback)
{
    PeriodChoice choice;
    choice.yearText = yearText;
    choice.periodIndex = periodIndex;
    return RunStatisticsFor(orders, choice, tables, feedback);
}

} // namespace gs
