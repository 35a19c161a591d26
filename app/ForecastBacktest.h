#pragma once
// How good the Hochrechnung is on the database's own past: for every year with a full previous year,
// the forecast (app/Forecast.h) made at the end of each month 1 to 11 is set against the year's
// actual end. Per month of the year, the mean absolute percentage error over those years:
//
//     APE(year, k) = |expected year end made after k months - actual year end| / |actual year end| x 100
//     MAPE(k)      = the mean of APE(year, k) over the years tested
//
// separately for the net and the profit. A year whose actual year end is 0 (below half a cent) has
// no percentage error for that value and is left out of its mean (netYears and profitYears count the
// years each mean is taken over).
//
// A pure function over month sums: the caller runs the statistics per year (calendar or fiscal, as
// the year box shows them) and hands in the years that are over and that the database covers
// wholly. A year is tested when the year before it is handed in too and has documents; the forecast
// made "at the end of month k" is the one made on the first day of month k + 1, so that exactly the
// months 1..k count. Nothing here raises.
#include "app/YearMonths.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace gs {

struct YearOfMonths {
    int startYear = 0;    // the year's first calendar year (the year box's number)
    YearMonthSums months; // MonthSumsOf the year's run
};

struct BacktestRow {
    int monthsCounted = 0;              // k: the forecast made at the end of the year's k-th month
    std::optional<double> netMape;      // none when no year has an error for the net
    std::optional<double> profitMape;
    int netYears = 0;                   // years the mean is taken over
    int profitYears = 0;
};

struct Backtest {
    int fiscalStartMonth = 1;
    std::vector<int> yearsTested;       // start years, ascending
    std::array<BacktestRow, 11> rows{}; // k = 1..11
};

Backtest BacktestForecast(const std::vector<YearOfMonths>& years, int fiscalStartMonth);

// The table in German, one row per month of the year, as the report command prints it:
//
//     Prüfung der Hochrechnung (vorjahr-saison) an 3 Jahren: 2022, 2023, 2024
//     Mittlere absolute Abweichung vom tatsächlichen Jahresende, Hochrechnung am Ende des Monats
//
//     Stand               Netto     Gewinn   Jahre
//     Ende Januar         8,4 %     15,2 %       3
//
// Percentages with one decimal in the process's number format; "–" where a mean is missing. Without
// a year to test, one line that says why.
std::string BacktestText(const Backtest& backtest);

} // namespace gs
