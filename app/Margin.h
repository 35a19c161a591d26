#pragma once
// The margin: profit (after commission) over net, in percent. A document's margin is its own; a
// period's is weighted: the period's total profit over its total net, over the same documents as
// the totals, never the mean of the documents' margins. Where the net is 0 there is no margin.
#include "app/ResultTables.h"
#include "app/StatisticsRun.h"

#include <optional>
#include <string>

namespace gs {

// profit / net x 100; none where the net is below half a cent (a sum of credit notes and invoices
// that cancel out is 0, whatever the last bit of the double says).
std::optional<double> MarginPercent(double profit, double net);

inline std::optional<double> Margin(const KmRow& row) { return MarginPercent(row.profit, row.net); }
inline std::optional<double> Margin(const KmcRow& month) { return MarginPercent(month.profit, month.net); }
inline std::optional<double> Margin(const RunTotals& totals) { return MarginPercent(totals.profit, totals.net); }

// "21,4 %": one decimal in the process's number format, halves away from zero; empty without a
// margin.
std::string MarginText(const std::optional<double>& margin);

} // namespace gs
