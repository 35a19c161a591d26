#include "app/ProfitGroups.h"

#include "app/ChartGroups.h"
#include "app/ResultColumns.h"
#include "base/DateLibrary.h"
#include "base/Dates.h"
#include "base/FormatFloat.h"
#include "base/Numbers.h"
#include "base/Text.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <unordered_map>

namespace gs {

namespace {

long long Cents(double amount) { return std::llround(amount * 100.0); }

// The later of two documents: by date, then by number.
bool IsLater(const KmRow& a, const KmRow& b)
{
    const double da = a.date ? *a.date : -1e18;
    const double db = b.date ? *b.date : -1e18;
    if (da != db)
        return da > db;
    return a.idOrder > b.idOrder;
}

// Digits only, no sign, no blanks.
bool AllDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

void AddWhole(std::optional<int>& sum, double amount)
{
    const long long total = static_cast<long long>(sum.value_or(0)) + WholeEuros(amount);
    sum = static_cast<int>(std::clamp<long long>(total, INT_MIN, INT_MAX));
}

constexpr const char* MonthNames[] = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                                      "Juli",   "August",  "September", "Oktober", "November", "Dezember"};

} // namespace

const char* GroupByCaption(GroupBy by)
{
    switch (by) {
    case GroupBy::Kunde: return "Kunde";
    case GroupBy::Vertreter: return "Vertreter";
    case GroupBy::Dokumentart: return "Dokumentart";
    case GroupBy::Monat: break;
    }
    return "Monat";
}

const char* GroupByWord(GroupBy by)
{
    switch (by) {
    case GroupBy::Kunde: return "kunde";
    case GroupBy::Vertreter: return "vertreter";
    case GroupBy::Dokumentart: return "dokumentart";
    case GroupBy::Monat: break;
    }
    return "monat";
}

std::optional<GroupBy> GroupByFromWord(std::string_view word)
{
    const std::string w = LowerAscii(word);
    for (GroupBy by : AllGroupings)
        if (w == GroupByWord(by))
            return by;
    return std::nullopt;
}

std::optional<double> WeightedMargin(double profit, double net)
{
    if (Cents(net) == 0)
        return std::nullopt;
    return profit / net * 100.0;
}

double ListedNet(const KmRow& row)
{
    return MoneyValue(row.net);
}

const std::string& VertreterNameOf(const ResultTables& tables, const KmRow& row)
{
    static const std::string none;
    return row.vertreterName < tables.VertreterNames.size() ? tables.VertreterNames[row.vertreterName] : none;
}

GroupKey GroupKeyOf(const KmRow& row, GroupBy by)
{
    switch (by) {
    case GroupBy::Kunde: return row.adressId.value_or(0);
    case GroupBy::Vertreter: return row.vertreterId;
    case GroupBy::Dokumentart: return row.pot;
    case GroupBy::Monat: break;
    }
    if (!row.date)
        return 0;
    int y = 0, m = 0, d = 0;
    DecodeDate(*row.date, y, m, d);
    return static_cast<GroupKey>(y) * 100 + m;
}

std::string GroupKeyText(GroupBy by, GroupKey key)
{
    if (by != GroupBy::Monat)
        return std::to_string(key);
    char buf[24];
    std::snprintf(buf, sizeof buf, "%04lld-%02lld", key / 100, key % 100);
    return buf;
}

std::string DocumentTypeName(GroupKey pot)
{
    if (pot == 1)
        return "Rechnung";
    if (pot == 5)
        return "Gutschrift";
    return "Dokumentart " + std::to_string(pot);
}

std::string MonthName(GroupKey key)
{
    const long long month = key % 100;
    if (key <= 0 || month < 1 || month > 12)
        return "ohne Datum";
    return std::string(MonthNames[month - 1]) + " " + std::to_string(key / 100);
}

namespace {

// The name of a group from its latest document.
std::string NameOf(const ResultTables& tables, GroupBy by, GroupKey key, const KmRow* latest)
{
    switch (by) {
    case GroupBy::Kunde: return latest ? latest->adressName : std::string();
    case GroupBy::Vertreter: {
        if (key == 0)
            return "ohne Vertreter";
        const std::string name = latest ? VertreterNameOf(tables, *latest) : std::string();
        return name.empty() ? "Vertreter " + std::to_string(key) : name;
    }
    case GroupBy::Dokumentart: return DocumentTypeName(key);
    case GroupBy::Monat: break;
    }
    // A month the range covers only in part is named by the days it covers, as the chart labels it.
    if (key > 0 && key % 100 >= 1 && key % 100 <= 12) {
        TDateTime monthStart = 0;
        if (TryEncodeDate(static_cast<int>(key / 100), static_cast<int>(key % 100), 1, monthStart))
            if (const auto part = MonthPartLabel(monthStart, tables.RangeFirst, tables.RangeLast))
                return *part;
    }
    return MonthName(key);
}

} // namespace

std::vector<ProfitGroup> BuildProfitGroups(const ResultTables& tables, GroupBy by)
{
    std::vector<ProfitGroup> groups;
    std::vector<const KmRow*> latest;
    std::unordered_map<GroupKey, size_t> index;
    for (const KmRow& row : tables.KM) {
        const GroupKey key = GroupKeyOf(row, by);
        auto [at, added] = index.try_emplace(key, groups.size());
        if (added) {
            groups.emplace_back().key = key;
            latest.push_back(&row);
        }
        ProfitGroup& g = groups[at->second];
        g.documents += 1;
        g.net += ListedNet(row);
        g.commission += row.commission;
        g.profit += row.profit;
        if (IsLater(row, *latest[at->second]))
            latest[at->second] = &row;
    }
    const RunTotals totals = TotalsOf(tables);
    for (size_t i = 0; i < groups.size(); ++i) {
        ProfitGroup& g = groups[i];
        g.name = NameOf(tables, by, g.key, latest[i]);
        g.margin = WeightedMargin(g.profit, g.net);
        if (Cents(totals.net) != 0)
            g.share = g.net / totals.net * 100.0;
    }
    if (by == GroupBy::Monat) {
        // Months in the order of the calendar; documents without a date last.
        std::sort(groups.begin(), groups.end(), [](const ProfitGroup& a, const ProfitGroup& b) {
            return (a.key == 0) != (b.key == 0) ? b.key == 0 : a.key < b.key;
        });
        return groups;
    }
    std::sort(groups.begin(), groups.end(), [](const ProfitGroup& a, const ProfitGroup& b) {
        const long long pa = Cents(a.profit), pb = Cents(b.profit);
        return pa != pb ? pa > pb : a.key < b.key;
    });
    return groups;
}

RunTotals TotalsOf(const ResultTables& tables)
{
    RunTotals t;
    for (const KmRow& row : tables.KM) {
        t.documents += 1;
        t.net += ListedNet(row);
        t.commission += row.commission;
        t.profit += row.profit;
    }
    return t;
}

bool InGroup(const KmRow& row, const GroupFilter& filter) { return GroupKeyOf(row, filter.by) == filter.key; }

ResultTables FilterTables(const ResultTables& tables, const GroupFilter& filter)
{
    ResultTables out;
    out.RangeText = tables.RangeText;
    out.RangeFirst = tables.RangeFirst;
    out.RangeLast = tables.RangeLast;
    out.VertreterNames = tables.VertreterNames;
    for (const KmcRow& m : tables.KMC)
        out.KMC.push_back(KmcRow{m.DATE, std::nullopt, std::nullopt, std::nullopt});
    for (const KmRow& row : tables.KM) {
        if (!InGroup(row, filter))
            continue;
        out.KM.push_back(row);
        if (!row.date)
            continue;
        const double monthDay = std::floor(StartOfMonth(*row.date));
        auto month = std::find_if(out.KMC.begin(), out.KMC.end(),
                                  [&](const KmcRow& m) { return m.DATE && std::floor(*m.DATE) == monthDay; });
        if (month == out.KMC.end())
            continue;
        AddWhole(month->GEWINN_INT, row.profit);
        AddWhole(month->PROVISION_INT, row.commission);
        AddWhole(month->WW_NETTO_INT, row.net);
        month->documents += 1;
        month->net += ListedNet(row);
        month->commission += row.commission;
        month->profit += row.profit;
    }
    return out;
}

RunOutcome FilterOutcome(const RunOutcome& outcome, const ResultTables& filtered)
{
    RunOutcome out;
    out.error = outcome.error;
    out.cancelled = outcome.cancelled;
    out.rangeText = outcome.rangeText;
    out.totals = TotalsOf(filtered);
    for (int id : outcome.unreadableProfit)
        if (std::any_of(filtered.KM.begin(), filtered.KM.end(), [id](const KmRow& r) { return r.idOrder == id; }))
            out.unreadableProfit.push_back(id);
    out.warnings = RunWarnings(out);
    return out;
}

std::optional<GroupFilter> ParseGroupFilter(std::string_view text, std::string& problem)
{
    const size_t eq = text.find('=');
    const std::string_view word = text.substr(0, eq);
    const std::optional<GroupBy> by = GroupByFromWord(word);
    if (eq == std::string_view::npos || !by) {
        problem = "--filter braucht kunde=NR, vertreter=NR, dokumentart=NR oder monat=JJJJ-MM: " + std::string(text);
        return std::nullopt;
    }
    const std::string_view value = text.substr(eq + 1);
    GroupFilter filter{*by, 0};
    if (*by == GroupBy::Monat) {
        const bool shaped = value.size() == 7 && value[4] == '-' && AllDigits(value.substr(0, 4)) &&
                            AllDigits(value.substr(5, 2));
        const int year = shaped ? StrToIntDef(value.substr(0, 4), 0) : 0;
        const int month = shaped ? StrToIntDef(value.substr(5, 2), 0) : 0;
        if (!shaped || year < 1 || month < 1 || month > 12) {
            problem = "ungültiger Monat für --filter (JJJJ-MM erwartet): " + std::string(value);
            return std::nullopt;
        }
        filter.key = static_cast<GroupKey>(year) * 100 + month;
        return filter;
    }
    int number = 0;
    if (!AllDigits(value) || !TryParseInt32(value, number)) {
        problem = std::string("ungültige Nummer für --filter ") + GroupByWord(*by) + ": " + std::string(value);
        return std::nullopt;
    }
    if (*by == GroupBy::Dokumentart && number != 1 && number != 5) {
        problem = "ungültige Dokumentart für --filter (1 Rechnung, 5 Gutschrift): " + std::string(value);
        return std::nullopt;
    }
    filter.key = number;
    return filter;
}

std::string GroupFilterText(const ResultTables& tables, const GroupFilter& filter)
{
    const KmRow* latest = nullptr;
    for (const KmRow& row : tables.KM)
        if (InGroup(row, filter) && (!latest || IsLater(row, *latest)))
            latest = &row;
    if (filter.by == GroupBy::Vertreter && filter.key == 0)
        return "ohne Vertreter";
    std::string name = NameOf(tables, filter.by, filter.key, latest);
    if (name.empty())
        name = std::to_string(filter.key);
    return std::string(GroupByCaption(filter.by)) + " " + name;
}

} // namespace gs
