#include "app/ForecastBacktest.h"

#include "app/Forecast.h"
#include "app/PeriodSelection.h"
#include "app/PlanValues.h"
#include "base/FormatFloat.h"
#include "base/Text.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace gs {

namespace {

bool HasDocuments(const YearMonthSums& months)
{
    return std::any_of(months.begin(), months.end(), [](const MonthSums& m) { return m.documents > 0; });
}

// Adds one year's percentage error to a running mean's sum; none where the actual value is 0.
void AddError(double expected, double actual, double& sum, int& count)
{
    if (!std::isfinite(actual) || std::fabs(actual) < 0.005)
        return;
    sum += std::fabs(expected - actual) / std::fabs(actual) * 100.0;
    ++count;
}

std::string PadRight(const std::string& text, size_t width)
{
    const size_t length = Utf8Length(text);
    return length >= width ? text : text + std::string(width - length, ' ');
}

std::string PadLeft(const std::string& text, size_t width)
{
    const size_t length = Utf8Length(text);
    return length >= width ? text : std::string(width - length, ' ') + text;
}

std::string PercentCell(const std::optional<double>& percent)
{
    return percent ? FormatFloat(",0.0", *percent) + " %" : std::string("\xE2\x80\x93");
}

} // namespace

Backtest BacktestForecast(const std::vector<YearOfMonths>& years, int fiscalStartMonth)
{
    Backtest b;
    b.fiscalStartMonth = fiscalStartMonth >= 1 && fiscalStartMonth <= 12 ? fiscalStartMonth : 1;
    std::map<int, const YearMonthSums*> byYear;
    for (const YearOfMonths& y : years)
        byYear.emplace(y.startYear, &y.months);

    std::array<double, 11> netSum{}, profitSum{};
    for (const auto& [startYear, months] : byYear) {
        const auto previous = byYear.find(startYear - 1);
        if (previous == byYear.end() || !HasDocuments(*previous->second))
            continue;
        b.yearsTested.push_back(startYear);
        const YearSpan span{startYear, b.fiscalStartMonth};
        MonthSums actual;
        for (const MonthSums& m : *months) {
            actual.net += m.net;
            actual.profit += m.profit;
        }
        for (int k = 1; k <= 11; ++k) {
            const Forecast f = ForecastYear(span, *months, *previous->second, FirstDayOf(span.Month(k)));
            BacktestRow& row = b.rows[static_cast<size_t>(k - 1)];
            AddError(f.yearNet, PlanAmount(actual.net), netSum[static_cast<size_t>(k - 1)], row.netYears);
            AddError(f.yearProfit, PlanAmount(actual.profit), profitSum[static_cast<size_t>(k - 1)], row.profitYears);
        }
    }
    for (size_t i = 0; i < b.rows.size(); ++i) {
        BacktestRow& row = b.rows[i];
        row.monthsCounted = static_cast<int>(i) + 1;
        if (row.netYears > 0)
            row.netMape = netSum[i] / row.netYears;
        if (row.profitYears > 0)
            row.profitMape = profitSum[i] / row.profitYears;
    }
    return b;
}

std::string BacktestText(const Backtest& backtest)
{
    if (backtest.yearsTested.empty())
        return "Keine Prüfung der Hochrechnung möglich: kein Jahr mit vollständigem Vorjahr in der Datenbank.\n";
    std::string years;
    for (int y : backtest.yearsTested)
        years += (years.empty() ? "" : ", ") + YearItemText(y, backtest.fiscalStartMonth);
    const size_t count = backtest.yearsTested.size();
    std::string text = "Prüfung der Hochrechnung (" + std::string(ForecastMethod) + ") an " + std::to_string(count) +
                       (count == 1 ? " Jahr: " : " Jahren: ") + years + "\n";
    text += "Mittlere absolute Abweichung vom tatsächlichen Jahresende, Hochrechnung am Ende des Monats\n\n";
    text += PadRight("Stand", 16) + PadLeft("Netto", 9) + PadLeft("Gewinn", 11) + PadLeft("Jahre", 8) + "\n";
    const YearSpan span{2000, backtest.fiscalStartMonth};
    for (const BacktestRow& row : backtest.rows) {
        const int month = span.Month(row.monthsCounted - 1).month;
        std::string yearCount = std::to_string(row.netYears);
        if (row.profitYears != row.netYears)
            yearCount += " (Gewinn: " + std::to_string(row.profitYears) + ")";
        text += PadRight(std::string("Ende ") + PeriodItems[static_cast<size_t>(4 + month)], 16) +
                PadLeft(PercentCell(row.netMape), 9) + PadLeft(PercentCell(row.profitMape), 11) + " " + PadLeft(yearCount, 7) +
                "\n";
    }
    return text;
}

} // namespace gs
