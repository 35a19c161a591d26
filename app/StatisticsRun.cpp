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

std::string SummenText(const RunTotals& totals)
{
    const std::string display = MoneyDisplayFormat();
    return "Netto: " + FormatFloat(display, totals.net) + "\t\t" + "Provision: " +
           FormatFloat(display, totals.commission) + "\t\t" + "Gewinn: " + FormatFloat(display, totals.profit);
}

std::string ChartTitleText(const RunTotals& totals, const std::string& rangeText)
{
    const std::string display = MoneyDisplayFormat();
    return "Netto: " + FormatFloat(display, totals.net) + " " + "Provision: " + FormatFloat(display, totals.commission) +
           "  " + "Gewinn: " + FormatFloat(display, totals.profit) + " " + rangeText;
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

RunOutcome RunStatistics(TAdsTable& orders, const std::string& yearText, int periodIndex, TResultTables& tables,
                         RunFeedback* feedback)
{
    RunOutcome outcome;
    RunTotals& totals = outcome.totals;
    tables.clear();
    TMPattern pattern;
    NameIndex vertreterNames(tables.VertreterNames);
    const std::string money = MoneyFormat();
    const bool reportsProgress = feedback && feedback->progress;
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
        auto takeCount = [&] {
            state.maximum = counting->Count();
            counted = true;
            tables.KM.reserve(static_cast<size_t>(state.maximum));
        };
        if (counting && counting->Ready())
            takeCount();
        if (reportsProgress)
            feedback->progress(state);
        TField& netField = orders.FieldByName("WW_NETTO");
        for (orders.First(); !orders.Eof(); orders.Next()) {
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
            LoadPatternFromOrder(pattern, orders, LoadModeStatistics);
            if (!pattern.ExtInfo.ProfitInfoReadable)
                outcome.unreadableProfit.push_back(pattern.ID_ORDER);

            KmRow row;
            // The net value goes through the money format and back, so it is rounded to two decimals.
            const double storedNet = netField.AsFloat();
            if (!std::isfinite(storedNet))
                throw PatternLoadError(pattern.ID_ORDER, "WW_NETTO",
                                       "Spalte WW_NETTO enthält keine endliche Zahl (" + FloatToText(storedNet) + ")");
            const double net = ParseNumber(FormatFloat(money, storedNet));
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
            AddTo(target.GEWINN_INT, row.profit, "GEWINN_INT");
            AddTo(target.PROVISION_INT, row.commission, "PROVISION_INT");
            AddTo(target.WW_NETTO_INT, row.net, "WW_NETTO_INT");
            // The net sums add the net value as the list shows it (converted, to the cent), so that
            // the totals line, the months and the list agree also for documents kept in the second
            // currency.
            const double listedNet = pattern.DataGrid_DM ? ParseNumber(FormatFloat(money, row.net)) : net;
            target.documents += 1;
            target.net += listedNet;
            target.commission += row.commission;
            target.profit += row.profit;
            if (!month)
                tables.KMC.push_back(added);
            tables.KM.push_back(std::move(row));

            totals.documents += 1;
            totals.net += listedNet;
            totals.commission += tables.KM.back().commission;
            totals.profit += tables.KM.back().profit;
        }
        if (!counted)
            takeCount(); // the walk was quicker: the count ends with the run, and a failure of it shows
    }, [&](const std::exception& e) { outcome.error = e.what(); });
    outcome.warnings = RunWarnings(outcome);
    outcome.rangeText = tables.RangeText;
    return outcome;
}

} // namespace gs
