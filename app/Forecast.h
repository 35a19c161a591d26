#pragma once
// The Hochrechnung: where a year that is not over will end. Method "vorjahr-saison": each month
// still to come is last year's same month, scaled by how this year has run against last year so far.
//
// Counted months. Only complete months count: a month is complete when its last day is before today
// (the day given: the clock, or the report's --today); today itself and the running month are not
// counted, because their documents are still being written. "through" is the last day counted, the
// last day of the last complete month: on 11.12.2026 the year 2026 counts January to November and
// "through" is 30.11.2026; on 30.11.2026 it counts January to October. k is the number of counted
// months (1 to 11 when a forecast is made).
//
// The scale. factor = this year's sum of the counted months / last year's sum of the same months,
// both taken over those counted months in which last year has data, separately for the net and the
// profit. "Data" means documents: a month of last year without any document has no data (the
// business had not begun, or the database lacks it), while a month with documents whose sums are 0
// is data. A factor exists only where last year's sum of those months is above half a cent; a loss
// or nothing last year would turn the scale upside down.
//
// The months to come. Each month k+1..12 is last year's same month x factor where the factor exists
// and last year has data in that month; otherwise (the fallback) it is the average month of the year
// so far: this year's sum of the counted months / k. Without a previous year in the database every
// month takes the fallback. Each month is rounded to the cent (halves away from zero, as the money
// format rounds); the expected year end is this year's counted months (to the cent) plus the
// expected months.
//
// Fiscal years work alike over the fiscal year's twelve months (YearSpan); 29 February is just a day
// of February, which counts once its month is complete.
//
// No forecast (status other than Made, no months): a year not begun (today on or before its first
// day), a year in its first month (nothing complete yet), a year over (every month complete).
// Nothing here raises.
#include "app/YearMonths.h"

#include <optional>
#include <string>
#include <vector>

namespace gs {

inline constexpr const char* ForecastMethod = "vorjahr-saison";

enum class ForecastStatus { Made, NotBegun, NoCompleteMonth, YearOver };

// Where an expected month's value comes from.
enum class ForecastBasis { PreviousYear, AverageMonth };

struct ForecastMonth {
    YearMonth month;
    double net = 0;
    double profit = 0;
    ForecastBasis netBasis = ForecastBasis::AverageMonth;
    ForecastBasis profitBasis = ForecastBasis::AverageMonth;
};

struct Forecast {
    ForecastStatus status = ForecastStatus::NotBegun;
    YearSpan year;
    int monthsCounted = 0;              // k: complete months counted
    TDateTime through = 0;              // the last day counted; 0 without a counted month
    MonthSums yearToDate;               // this year's counted months (net and profit to the cent)
    std::optional<double> netFactor;    // the scale, where it exists
    std::optional<double> profitFactor;
    std::vector<ForecastMonth> months;  // the expected months k+1..12, in the year's order
    double yearNet = 0;                 // expected year end: yearToDate + the expected months
    double yearProfit = 0;
    bool made() const { return status == ForecastStatus::Made; }
};

// The number of months of year complete before today (0-12).
int CompleteMonths(const YearSpan& year, TDateTime today);

// The forecast of year made on today, from this year's and the previous year's months (MonthSumsOf
// the runs over year and year.Previous(); a previous year the database lacks is all empty months).
// Reads only the counted months of thisYear.
Forecast ForecastYear(const YearSpan& year, const YearMonthSums& thisYear, const YearMonthSums& previousYear,
                      TDateTime today);

// "Hochrechnung zum Jahresende: Gewinn 1.234.567,89 €" for the totals line (money display format);
// empty when no forecast was made.
std::string ForecastText(const Forecast& forecast);

} // namespace gs
