#include "app/ChartGroups.h"

#include "base/Error.h"

#include "base/DateLibrary.h"
#include "base/Dates.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace gs {

namespace {

void Add(std::optional<int>& sum, const std::optional<int>& value)
{
    if (value)
        sum = sum.value_or(0) + *value;
}

// "DD.MM." of a day, or "DD." when only the day differs from the group's end.
std::string DayMonth(TDateTime day, bool withMonth)
{
    int y = 0, m = 0, d = 0;
    DecodeDate(day, y, m, d);
    char buf[16];
    if (withMonth)
        std::snprintf(buf, sizeof buf, "%02d.%02d.", d, m);
    else
        std::snprintf(buf, sizeof buf, "%02d.", d);
    return buf;
}

} // namespace

std::optional<std::string> PartLabel(TDateTime groupStart, TDateTime groupEnd, TDateTime first, TDateTime last)
{
    groupStart = std::floor(groupStart);
    groupEnd = std::floor(groupEnd);
    const TDateTime from = std::max(groupStart, std::floor(first)), to = std::min(groupEnd, std::floor(last));
    if ((from == groupStart && to == groupEnd) || to < from)
        return std::nullopt;
    // The days covered: the first day's month is named only when the group spans months.
    int ty = 0, tm = 0, td = 0, fy = 0, fm = 0, fd = 0;
    DecodeDate(to, ty, tm, td);
    DecodeDate(from, fy, fm, fd);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", td, tm, ty);
    return DayMonth(from, fm != tm) + "-" + buf;
}

std::optional<std::string> MonthPartLabel(TDateTime monthStart, TDateTime first, TDateTime last)
{
    if (first <= 0 || last <= 0)
        return std::nullopt;
    return PartLabel(StartOfMonth(monthStart), EndOfMonth(monthStart), first, last);
}

ChartGroups GroupForChart(const std::vector<KmcRow>& months, TDateTime start, TDateTime end)
{
    ChartGroups out;
    const bool quarters = months.size() > static_cast<size_t>(MonthsBeforeQuarters);
    const TDateTime first = std::floor(start), last = std::floor(end);
    for (const KmcRow& month : months) {
        if (!month.DATE)
            continue;
        int y = 0, m = 0, d = 0;
        DecodeDate(*month.DATE, y, m, d);
        const int groupMonth = quarters ? (m - 1) / 3 * 3 + 1 : m;
        if (out.rows.empty() || [&] {
                int gy = 0, gm = 0, gd = 0;
                DecodeDate(*out.rows.back().DATE, gy, gm, gd);
                return gy != y || gm != groupMonth;
            }()) {
            KmcRow group;
            group.DATE = EncodeDate(y, groupMonth, 1);
            out.rows.push_back(group);
        }
        KmcRow& g = out.rows.back();
        Add(g.GEWINN_INT, month.GEWINN_INT);
        Add(g.PROVISION_INT, month.PROVISION_INT);
        Add(g.WW_NETTO_INT, month.WW_NETTO_INT);
        g.documents += month.documents;
        g.net += month.net;
        g.commission += month.commission;
        g.profit += month.profit;
    }
    for (const KmcRow& g : out.rows) {
        int y = 0, m = 0, d = 0;
        DecodeDate(*g.DATE, y, m, d);
        const TDateTime groupStart = std::floor(*g.DATE);
        const TDateTime groupEnd = std::floor(EndOfMonth(EncodeDate(y, quarters ? m + 2 : m, 1)));
        if (const auto part = PartLabel(groupStart, groupEnd, first, last)) {
            out.labels.push_back(*part);
            continue;
        }
        char buf[32];
        if (quarters)
            std::snprintf(buf, sizeof buf, "Q%d %04d", (m - 1) / 3 + 1, y);
        else
            std::snprintf(buf, sizeof buf, "%02d.%04d", m, y);
        out.labels.push_back(buf);
    }
    return out;
}

ChartGroups ChartGroupsOf(const std::vector<KmcRow>& months, const PeriodChoice& choice, bool previousYear)
{
    std::optional<PeriodRange> range;
    HandleOrdinaryError([&] {
        range = BuildChoiceRange(choice);
        if (previousYear)
            range = PreviousYearRange(*range);
    }, [](const std::exception&) {});
    if (range)
        return GroupForChart(months, range->start, range->end);
    ChartGroups plain;
    plain.rows = months;
    for (const KmcRow& m : months) {
        int y = 0, mo = 0, d = 0;
        DecodeDate(m.DATE.value_or(0), y, mo, d);
        char buf[16];
        std::snprintf(buf, sizeof buf, "%02d.%04d", mo, y);
        plain.labels.push_back(buf);
    }
    return plain;
}

} // namespace gs
