#pragma once
// A statistics run: selects the completed or paid invoices and credit notes of the chosen period
// from the orders table (on index DATE), loads each into an order pattern to reach the profit and
// commission the host stored with it, and fills KM and KMC with the rows, the month sums and the
// totals. The window and the report command run exactly this.
#include "app/PeriodSelection.h"
#include "app/ResultTables.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace gs {

class TAdsTable;

struct RunTotals {
    int documents = 0;
    double net = 0;         // net values as shown in the list (converted from the second currency, to the cent)
    double commission = 0;
    double profit = 0;      // CurrentGewinn - Vertreter_Provision
};

struct RunProgress {
    int position = 0;       // documents done
    int maximum = 0;        // documents of the period; 0 while a server is still counting them
};

// What a run reports while it works and what it polls: the progress sink is called once the count
// is known (position 0) and then after every 20th document, so that a window can repaint and stay
// responsive; a cancel request (from any thread) ends the run at its next poll, with the rows so
// far in the tables and RunOutcome::cancelled set.
class RunFeedback {
public:
    std::function<void(const RunProgress&)> progress;
    void requestCancel() { cancel_.store(true, std::memory_order_relaxed); }
    bool cancelRequested() const { return cancel_.load(std::memory_order_relaxed); }
    // The flag itself, for waits below the run that end on it (a database server's answer).
    const std::atomic<bool>& cancelFlag() const { return cancel_; }

private:
    std::atomic<bool> cancel_{false};
};

struct RunOutcome {
    std::optional<std::string> error;   // the failure's own text; rows so far stay in the tables
    bool cancelled = false;             // ended by a cancel request; no error then
    std::string rangeText;              // "Bereich: 01.01.2006-31.12.2006" (empty when the range failed)
    RunTotals totals;                   // of the rows in the tables (also after a failure)
    // Documents counted without readable profit information (EXTB missing or empty, damaged, or
    // CurrentGewinn / Vertreter_Provision absent or no number): they count with profit and
    // commission 0, as the host counts them, and are named here in list order.
    std::vector<int> unreadableProfit;
    // Lines for the user about rows counted that way ("Hinweis: 3 Dokumente ohne lesbare
    // Gewinnangaben: 10012, 10017, 11338"); empty when there is nothing to say.
    std::vector<std::string> warnings;
    bool completed() const { return !error && !cancelled; }
};

// The totals line "Netto: ...\t\tProvision: ...\t\tGewinn: ...\t\tMarge: 21,4 %" of a run's totals
// (no margin where the net is 0); with the previous year's totals the profit's change follows the
// profit: "Gewinn: 5.265.296,13 € (+8,2 % zum Vorjahr)" (none where the previous profit is 0).
std::string SummenText(const RunTotals& totals, const RunTotals* previous = nullptr);

// The change from previous to current in percent of the previous value's amount; none where the
// previous value is 0 (below half a cent).
std::optional<double> ChangePercent(double current, double previous);
// "+8,2 %", "-3,0 %", "0,0 %": one decimal, a sign for every change that shows.
std::string ChangeText(double percent);
// The chart's title "Netto: ... Provision: ...  Gewinn: ...  Marge: 21,4 % Bereich: ..." (no margin
// where the net is 0).
std::string ChartTitleText(const RunTotals& totals, const std::string& rangeText);

// The warning lines of an outcome (from unreadableProfit).
std::vector<std::string> RunWarnings(const RunOutcome& outcome);

// The orders filter without the date part: invoices and credit notes, paid or completed.
std::string OrdersStatusFilter();

// The same period one year earlier, run beside the current one.
struct PreviousYearRun {
    ResultTables tables;
    RunOutcome outcome; // error: the previous year's range or run failed (the current one stands)
};

// Runs the statistics for a choice (a period of a calendar or fiscal year, or a free range) over
// the open orders table; empties and fills tables. With previous, the same range one year earlier
// (PreviousYearRange) follows into previous->tables, from the same snapshot of the table, once the
// current run has completed. Never raises for ordinary errors (see RunStatistics).
RunOutcome RunStatisticsFor(TAdsTable& orders, const PeriodChoice& choice, ResultTables& tables,
                            RunFeedback* feedback = nullptr, PreviousYearRun* previous = nullptr);

// Runs the statistics for the year text and period index (0 year, 1-4 quarters, 5-16 months) over
// the open orders table; empties and fills tables. The run reads one snapshot of the table. Never
// raises for ordinary errors: they end the run and come back in RunOutcome::error (a document that
// cannot be loaded, or whose WW_NETTO is no finite number, is named with its number and cause).
RunOutcome RunStatistics(TAdsTable& orders, const std::string& yearText, int periodIndex, ResultTables& tables,
                         RunFeedback* feedback = nullptr);

} // namespace gs
