#include "app/StatisticsRun.h"

#include "base/DateLibrary.h"
#include "base/Dates.h"
#include "base/Error.h"
#include "base/FormatFloat.h"
#include "base/Numbers.h"
#include "app/PeriodSelection.h"
#include "base/Text.h"
#include "db/AdsTable.h"
#include "orders/Pattern.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>
#include <optional>

namespace gs {

namespace {

// A value rounded for one of the 32-bit integer fields of the result tables.
int WholeNumber(double value, const char* field)
{
    const double r = RoundHalfEven(value);
    if (!(r >= INT_MIN && r <= INT_MAX))
        throw Error(std::string("Wert außerhalb des Ganzzahlbereichs im Feld ") + field + ": " + FloatToText(value));
    return static_cast<int>(r);
}

// Adds to an integer field of the month table; an empty field counts as 0.
void AddTo(std::optional<int>& sum, int value, const char* field)
{
    const long long total = static_cast<long long>(sum.value_or(0)) + value;
    if (total < INT_MIN || total > INT_MAX)
        throw Error(std::string("Monatssumme außerhalb des Ganzzahlbereichs im Feld ") + field);
    sum = static_cast<int>(total);
}

const char* ZoneText(int profit)
{
    if (profit < 0)
        return "Verlustzone";
    if (profit > 0)
        return "Gewinnzone";
    return "kein Gewinn";
}

// What a document adds to the totals.
struct DocumentSums {
    double net = 0;
    double commission = 0;
    double profit = 0;
};

// The rows in the order of the walk on the index: the table may have been read in the order it
// stores them, each row with its place in that walk.
template <class T>
void Reorder(std::vector<T>& items, const std::vector<size_t>& order)
{
    std::vector<T> sorted;
    sorted.reserve(items.size());
    for (size_t i : order)
        sorted.push_back(std::move(items[i]));
    items.swap(sorted);
}

} // namespace

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

RunOutcome RunStatistics(TAdsTable& orders, const std::string& yearText, int periodIndex, TResultTables& tables,
                         const RunProgressCallback& progress)
{
    RunOutcome outcome;
    RunTotals& totals = outcome.totals;
    tables.clear();
    TMPattern pattern;
    const std::string display = MoneyDisplayFormat();
    const std::string money = MoneyFormat();
    std::vector<long long> positions;  // per list row: its place in the walk on the index
    std::vector<DocumentSums> sums;    // per list row
    std::vector<std::pair<long long, int>> unreadable;
    bool completed = false;
    HandleOrdinaryError([&] {
        // One snapshot from the count to the last row: whatever other programs commit meanwhile, the
        // list, the months and the totals describe one state of the table (a WAL reader blocks no
        // writer). Inside it counting reads the matching rows, with the columns the run reads (EXTB
        // among them), once for the walk as well.
        TAdsTable::ReadScope snapshot(orders);
        orders.SetIndexName("DATE");
        const PeriodRange range = BuildPeriodFilter(yearText, periodIndex);
        tables.RangeText = range.rangeText;
        for (TDateTime month : range.monthStarts)
            tables.KMC.push_back(KmcRow{month, std::nullopt, std::nullopt, std::nullopt});
        orders.SetFilter(OrdersStatusFilter() + range.filterPart);
        orders.SetFiltered(true);
        std::vector<TField*> columns = StatisticsColumns(orders);
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
        if (progress || !orders.Remote())
            counting.emplace(orders.StartRecordCount());
        RunProgress state{0, 0};
        bool counted = !counting;
        auto takeCount = [&] {
            state.maximum = counting->Count();
            counted = true;
            tables.KM.reserve(static_cast<size_t>(state.maximum));
            positions.reserve(static_cast<size_t>(state.maximum));
            sums.reserve(static_cast<size_t>(state.maximum));
        };
        if (counting && counting->Ready())
            takeCount();
        if (progress)
            progress(state);
        TField& netField = orders.FieldByName("WW_NETTO");
        for (orders.First(); !orders.Eof(); orders.Next()) {
            if (++state.position % 20 == 0) {
                if (!counted && counting->Ready())
                    takeCount();
                if (progress)
                    progress(state);
            }
            LoadPatternFromOrder(pattern, orders, LoadModeStatistics);
            const long long position = orders.WalkPosition();
            if (!pattern.ExtInfo.ProfitInfoReadable)
                unreadable.emplace_back(position, pattern.ID_ORDER);

            KmRow row;
            // The net value goes through the money format and back, so it is rounded to two decimals.
            const double storedNet = netField.AsFloat();
            if (!std::isfinite(storedNet))
                throw PatternLoadError(pattern.ID_ORDER, "WW_NETTO",
                                       "Spalte WW_NETTO enthält keine endliche Zahl (" + FloatToText(storedNet) + ")");
            const double net = ParseNumber(FormatFloat(money, storedNet));
            const double shownNet = pattern.DataGrid_DM ? FromSecondCurrency(net) : net;
            row.WW_NETTO = Utf8Left(FormatFloat(display, shownNet), 20);
            row.WW_NETTO_INT = WholeNumber(shownNet, "WW_NETTO_INT");
            row.DATE = pattern.Date;
            row.ADRESSID = pattern.AdressID;
            row.ADRESSNAME = Utf8Left(pattern.Adressname, 100);
            row.ID_ORDER = pattern.ID_ORDER;
            const double commission = pattern.ExtInfo.Vertreter_Provision;
            const double profit = pattern.ExtInfo.CurrentGewinn - pattern.ExtInfo.Vertreter_Provision;
            row.PROVISION = Utf8Left(FormatFloat(display, commission), 100);
            row.PROVISION_INT = WholeNumber(commission, "PROVISION_INT");
            row.GEWINN = Utf8Left(FormatFloat(display, profit), 20);
            row.GEWINN_INT = WholeNumber(profit, "GEWINN_INT");
            row.printp = ZoneText(*row.GEWINN_INT);

            // The month row of the document's date; dates compare by their day, as their texts would.
            const double monthDay = std::floor(StartOfMonth(pattern.Date));
            KmcRow* month = nullptr;
            for (auto& m : tables.KMC)
                if (m.DATE && std::floor(*m.DATE) == monthDay) {
                    month = &m;
                    break;
                }
            KmcRow added;
            KmcRow& target = month ? *month : added;
            AddTo(target.GEWINN_INT, *row.GEWINN_INT, "GEWINN_INT");
            AddTo(target.PROVISION_INT, *row.PROVISION_INT, "PROVISION_INT");
            AddTo(target.WW_NETTO_INT, *row.WW_NETTO_INT, "WW_NETTO_INT");
            if (!month)
                tables.KMC.push_back(added);
            // The net total adds the net value as the list shows it (converted, to the cent), so that
            // the totals line and the list agree also for documents kept in the second currency.
            const DocumentSums document{pattern.DataGrid_DM ? ParseNumber(FormatFloat(money, shownNet)) : net,
                                     commission, profit};
            tables.KM.push_back(std::move(row));
            positions.push_back(position);
            sums.push_back(document);
        }
        if (!counted)
            takeCount(); // the walk was quicker: the count ends with the run, and a failure of it shows
        completed = true;
    }, [&](const std::exception& e) { outcome.error = e.what(); });
    // The list, its notes and the totals in list order (the totals add up in it, as they always did).
    if (!std::is_sorted(positions.begin(), positions.end())) {
        std::vector<size_t> order(positions.size());
        std::iota(order.begin(), order.end(), size_t{0});
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return positions[a] < positions[b]; });
        Reorder(tables.KM, order);
        Reorder(sums, order);
        std::sort(unreadable.begin(), unreadable.end());
    }
    for (const auto& u : unreadable)
        outcome.unreadableProfit.push_back(u.second);
    for (const DocumentSums& d : sums) {
        totals.net += d.net;
        totals.commission += d.commission;
        totals.profit += d.profit;
    }
    if (completed)
        outcome.summen = "Netto: " + FormatFloat(display, totals.net) + "\t\t" + "Provision: " +
                         FormatFloat(display, totals.commission) + "\t\t" + "Gewinn: " +
                         FormatFloat(display, totals.profit);
    outcome.warnings = RunWarnings(outcome);
    outcome.rangeText = tables.RangeText;
    outcome.chartTitle = "Netto: " + FormatFloat(display, totals.net) + " " + "Provision: " +
                         FormatFloat(display, totals.commission) + "  " + "Gewinn: " +
                         FormatFloat(display, totals.profit) + " " + tables.RangeText;
    return outcome;
}

} // namespace gs
