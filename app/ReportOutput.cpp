#include "app/ReportOutput.h"

#include "base/Dialogs.h"

#include "base/Dates.h"
#include "base/FormatFloat.h"
#include "base/Numbers.h"
#include "app/ChartGroups.h"
#include "app/Margin.h"
#include "app/ResultColumns.h"
#include "base/Text.h"
#include "app/ProfitListRows.h"
#include "spool/CsvExport.h"
#include "spool/CsvFormat.h"
#include "spool/ListCellText.h"

#include <cstdio>
#include <vector>

namespace gs {

namespace {

std::string JsonInt(const std::optional<int>& v) { return v ? std::to_string(*v) : "null"; }

std::string JsonText(const std::string& text) { return text.empty() ? "null" : JsonString(text); }

std::string JsonDate(const std::optional<TDateTime>& d) { return d ? JsonString(DateToText(*d)) : "null"; }

// A KM field as the list shows it, as JSON text (null when empty).
std::string JsonField(const KmRow& row, std::string_view field) { return JsonText(*KmFieldText(row, field)); }

std::string JsonFieldInt(const KmRow& row, std::string_view field)
{
    const std::string text = *KmFieldText(row, field);
    return text.empty() ? std::string("null") : text;
}

// A date as ISO text "YYYY-MM-DD".
std::string JsonIsoDate(const std::optional<TDateTime>& d)
{
    if (!d)
        return "null";
    int y = 0, m = 0, day = 0;
    DecodeDate(*d, y, m, day);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, day);
    return JsonString(buf);
}

// A margin as a JSON number in percent to two decimals (halves away from zero), null without one.
std::string JsonMargin(const std::optional<double>& margin) { return margin ? JsonMoney(*margin) : "null"; }

// The three sums of an amount set, as JSON members.
std::string JsonSums(double net, double commission, double profit)
{
    return "\"net\": " + JsonMoney(net) + ", \"commission\": " + JsonMoney(commission) + ", \"profit\": " +
           JsonMoney(profit);
}

// A change in percent as a JSON number to two decimals, null without one.
std::string JsonPercent(const std::optional<double>& percent) { return percent ? JsonMoney(*percent) : "null"; }

// The month rows as a JSON array (without the member name).
std::string JsonMonths(const std::vector<KmcRow>& months, const char* indent)
{
    std::string out = "[";
    for (size_t i = 0; i < months.size(); ++i) {
        const KmcRow& m = months[i];
        out += std::string(i ? ",\n" : "\n") + indent;
        out += "{\"DATE\": " + JsonDate(m.DATE) + ", \"GEWINN_INT\": " + JsonInt(m.GEWINN_INT) +
               ", \"PROVISION_INT\": " + JsonInt(m.PROVISION_INT) + ", \"WW_NETTO_INT\": " + JsonInt(m.WW_NETTO_INT) +
               ", \"documents\": " + std::to_string(m.documents) + ", " + JsonSums(m.net, m.commission, m.profit) + "}";
    }
    return out + (months.empty() ? "]" : "\n" + std::string(indent).substr(1) + "]");
}

std::string JsonTotals(const RunTotals& t)
{
    return "{\"documents\": " + std::to_string(t.documents) + ", " + JsonSums(t.net, t.commission, t.profit) +
           ", \"margin\": " + JsonMargin(Margin(t)) + "}";
}

// An amount's change with its sign: "+1.234,50 €".
std::string SignedMoney(double amount)
{
    const std::string text = FormatFloat(MoneyDisplayFormat(), amount);
    return amount >= 0.005 ? "+" + text : text;
}

// An amount in the money display format, as the totals line shows it.
std::string Money(double amount) { return FormatFloat(MoneyDisplayFormat(), amount); }

// A month row's label: "11.2026", or the days the range covers of a month it covers only in part.
std::string MonthLabel(const KmcRow& m, const ResultTables& tables)
{
    if (!m.DATE)
        return {};
    if (const auto part = MonthPartLabel(*m.DATE, tables.RangeFirst, tables.RangeLast))
        return *part;
    int y = 0, mo = 0, d = 0;
    DecodeDate(*m.DATE, y, mo, d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d.%04d", mo, y);
    return buf;
}

// Pads to a width in characters (code points), left or right aligned.
std::string Pad(const std::string& text, size_t width, bool right)
{
    const size_t len = Utf8Length(text);
    if (len >= width)
        return text;
    const std::string fill(width - len, ' ');
    return right ? fill + text : text + fill;
}

// A cell on one line: line breaks become blanks.
std::string OneLine(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += ' ';
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

// Rounded as the list's money format rounds it (halves away from zero), with a full stop and no
// grouping whatever the process formats are.
std::string JsonMoney(double amount)
{
    NumberFormats plain;
    plain.decimalSeparator = '.';
    plain.thousandSeparator = ',';
    return FormatFloat("0.00", amount, plain);
}

std::string TextTable(const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows,
                      const std::vector<bool>& rightAligned)
{
    std::vector<size_t> widths(header.size());
    for (size_t c = 0; c < header.size(); ++c) {
        widths[c] = Utf8Length(header[c]);
        for (const auto& r : rows)
            widths[c] = std::max(widths[c], Utf8Length(r[c]));
    }
    auto line = [&](const std::vector<std::string>& cells) {
        std::string out;
        for (size_t c = 0; c < cells.size(); ++c) {
            if (c > 0)
                out += "  ";
            out += Pad(cells[c], widths[c], rightAligned[c]);
        }
        return TrimRight(out) + "\n";
    };
    std::string out = line(header);
    size_t total = 0;
    for (size_t w : widths)
        total += w;
    out += std::string(total + 2 * (widths.size() - 1), '-') + "\n";
    for (const auto& r : rows)
        out += line(r);
    return out;
}

std::string ReportText(const ResultTables& tables, const RunOutcome& outcome, const PreviousYearRun* previous)
{
    std::vector<std::string> header;
    std::vector<bool> right;
    std::vector<const ResultColumn*> columns;
    for (const auto& col : ResultListColumns)
        if (col.shownByDefault)
            columns.push_back(&col);
    for (const ResultColumn* col : columns) {
        header.push_back(Trim(CsvCaption(col->title)));
        right.push_back(col->alignment == ListCellAlignment::Right || col->amount);
    }
    std::vector<std::vector<std::string>> rows;
    rows.reserve(tables.KM.size());
    for (const auto& km : tables.KM) {
        std::vector<std::string> cells;
        for (const ResultColumn* col : columns)
            cells.push_back(OneLine(*KmFieldText(km, col->field)));
        rows.push_back(std::move(cells));
    }
    std::string out;
    if (!outcome.rangeText.empty())
        out += outcome.rangeText + "\n\n";
    out += TextTable(header, rows, right);
    out += "\n";
    std::vector<std::vector<std::string>> months;
    for (const auto& m : tables.KMC) {
        // The months to the cent in the totals line's format, so that they add up to it.
        months.push_back({MonthLabel(m, tables), std::to_string(m.documents), Money(m.net), Money(m.commission),
                          Money(m.profit)});
    }
    out += TextTable({"Monat", "Dokumente", "Netto", "Provision", "Gewinn"}, months, {false, true, true, true, true});
    out += "\n";
    const bool compared = previous && !previous->outcome.error && outcome.completed();
    if (outcome.error)
        out += "Fehler: " + StripMessageMarkup(*outcome.error) + "\n";
    else
        out += SummenText(outcome.totals, compared ? &previous->outcome.totals : nullptr) + "\n";
    out += ComparisonText(outcome, previous);
    for (const std::string& warning : outcome.warnings)
        out += warning + "\n";
    return out;
}

std::string ComparisonText(const RunOutcome& outcome, const PreviousYearRun* previous)
{
    if (!previous)
        return {};
    if (previous->outcome.error)
        return "Vorjahr: " + StripMessageMarkup(*previous->outcome.error) + "\n";
    if (!outcome.completed())
        return {};
    const RunTotals& now = outcome.totals;
    const RunTotals& before = previous->outcome.totals;
    const auto change = [](double a, double b) {
        const auto percent = ChangePercent(a, b);
        return SignedMoney(a - b) + (percent ? " (" + ChangeText(*percent) + ")" : std::string());
    };
    return "\nVorjahr: " + previous->outcome.rangeText + "\n" + SummenText(before) + "\n" +
           "Veränderung: Netto: " + change(now.net, before.net) + "\t\tProvision: " +
           change(now.commission, before.commission) + "\t\tGewinn: " + change(now.profit, before.profit) + "\n";
}

std::vector<std::string> ReportHeadingLines(const std::string& title, const std::string& rangeText,
                                            const std::string& filterText)
{
    std::vector<std::string> lines{title};
    if (!rangeText.empty())
        lines.push_back(rangeText);
    if (!filterText.empty())
        lines.push_back("Gefiltert: " + filterText);
    return lines;
}

std::string CsvValueText(const XlsxCell& cell, std::string_view secondCurrencySymbol)
{
    switch (cell.kind) {
    case XlsxCell::Kind::Empty: return {};
    case XlsxCell::Kind::Text: return cell.text;
    case XlsxCell::Kind::Number: return FormatFloat("0", cell.value);
    case XlsxCell::Kind::Money: return CsvCellText(FormatFloat(MoneyDisplayFormat(), cell.value), secondCurrencySymbol);
    case XlsxCell::Kind::Date: return DateToText(cell.value);
    }
    return {};
}

std::string CsvTotalsRows(const std::vector<std::string>& fields, const TotalCellOf& totalCell,
                          const RunOutcome& outcome, const PreviousYearRun* previous,
                          std::string_view secondCurrencySymbol)
{
    if (outcome.error) {
        std::string out = CsvLine({"Fehler: " + StripMessageMarkup(*outcome.error)});
        for (const std::string& warning : outcome.warnings)
            out += CsvLine({warning});
        return out;
    }
    // One row of cells under the columns, the label in the first column without a value.
    const auto row = [&](const std::string& label, const std::function<std::optional<XlsxCell>(std::string_view)>& cell) {
        std::vector<std::string> values(fields.size());
        bool labelled = false;
        for (size_t c = 0; c < fields.size(); ++c) {
            if (const auto value = cell(fields[c]))
                values[c] = CsvSafeValue(CsvValueText(*value, secondCurrencySymbol));
            else if (!labelled) {
                values[c] = label;
                labelled = true;
            }
        }
        return CsvLine(values);
    };
    const RunTotals& now = outcome.totals;
    std::string out = row("Summe", [&](std::string_view f) { return totalCell(f, now); });
    const bool compared = previous && !previous->outcome.error && outcome.completed();
    if (compared) {
        const RunTotals& before = previous->outcome.totals;
        // Amounts only: the change of a count or a margin is no sum.
        const auto amounts = [&](std::string_view f) -> std::optional<std::pair<double, double>> {
            const auto a = totalCell(f, now), b = totalCell(f, before);
            if (!a || !b || a->kind != XlsxCell::Kind::Money || b->kind != XlsxCell::Kind::Money)
                return std::nullopt;
            return std::pair{a->value, b->value};
        };
        out += row("Vorjahr", [&](std::string_view f) { return totalCell(f, before); });
        out += row("Veränderung", [&](std::string_view f) -> std::optional<XlsxCell> {
            const auto ab = amounts(f);
            return ab ? std::optional(XlsxCell::Money(ab->first - ab->second)) : std::nullopt;
        });
        out += row("Veränderung in %", [&](std::string_view f) -> std::optional<XlsxCell> {
            const auto ab = amounts(f);
            if (!ab)
                return std::nullopt;
            const auto percent = ChangePercent(ab->first, ab->second);
            return XlsxCell::Of(percent ? FormatFloat("0.00", *percent) : std::string());
        });
    } else if (previous && previous->outcome.error) {
        out += CsvLine({"Vorjahr: " + StripMessageMarkup(*previous->outcome.error)});
    }
    for (const std::string& warning : outcome.warnings)
        out += CsvLine({warning});
    return out;
}

std::string ReportCsvHeading(const std::vector<std::string>& headingLines, const PreviousYearRun* previous)
{
    std::string out;
    for (const std::string& line : headingLines)
        out += CsvLine({line});
    if (previous && !previous->outcome.error)
        out += CsvLine({"Vorjahr: " + previous->outcome.rangeText});
    return out;
}

std::string ReportCsv(const ResultTables& tables, const RunOutcome& outcome, const PreviousYearRun* previous,
                      std::string_view secondCurrencySymbol, const std::string& filterText)
{
    // The list's CSV export in the middle, so the report's table and the window's export write the
    // same lines.
    KmGridDataSet rows(tables);
    const ListDescription list = ProfitListDescription(rows, {}, 0);
    CsvExportOptions options;
    options.SecondCurrencySymbol = std::string(secondCurrencySymbol);
    bool cancelled = false;
    std::vector<std::string> fields;
    for (const GridColumn& c : list.grid.columns)
        if (c.width > 0)
            fields.push_back(c.fieldName);
    return ReportCsvHeading(ReportHeadingLines(ReportListTitle, outcome.rangeText, filterText), previous) +
           GridCsvText(list, options, cancelled) +
           CsvTotalsRows(fields, ListTotalCell, outcome, previous, secondCurrencySymbol);
}

std::string JsonString(std::string_view text)
{
    std::string out = "\"";
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        switch (ch) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += ch;
            }
        }
    }
    return out + "\"";
}

std::string ReportJson(const ResultTables& tables, const RunOutcome& outcome, const PreviousYearRun* previous,
                       const std::string& extraMembers)
{
    std::string out = "{\"range\": " + JsonString(outcome.rangeText) + ",\n \"documents\": [";
    for (size_t i = 0; i < tables.KM.size(); ++i) {
        const KmRow& r = tables.KM[i];
        out += i ? ",\n  " : "\n  ";
        out += "{\"ID\": " + JsonFieldInt(r, "ID") + ", \"ID_ORDER\": " + JsonFieldInt(r, "ID_ORDER") +
               ", \"ADRESSNAME\": " + JsonField(r, "ADRESSNAME") + ", \"ADRESSID\": " + JsonFieldInt(r, "ADRESSID") +
               ", \"printp\": " + JsonField(r, "printp") + ", \"DATE\": " + JsonDate(r.date) +
               ", \"GEWINN\": " + JsonField(r, "GEWINN") + ", \"GEWINN_INT\": " + JsonFieldInt(r, "GEWINN_INT") +
               ", \"PROVISION\": " + JsonField(r, "PROVISION") +
               ", \"PROVISION_INT\": " + JsonFieldInt(r, "PROVISION_INT") +
               ", \"WW_NETTO_INT\": " + JsonFieldInt(r, "WW_NETTO_INT") + ", \"WW_NETTO\": " + JsonField(r, "WW_NETTO") +
               ", \"date\": " + JsonIsoDate(r.date) + ", " + JsonSums(r.net, r.commission, r.profit) +
               ", \"margin\": " + JsonMargin(Margin(r)) + "}";
    }
    out += tables.KM.empty() ? "],\n" : "\n ],\n";
    out += " \"months\": " + JsonMonths(tables.KMC, "  ") + ",\n";
    // A failed run keeps the window's previous totals line, so it has none of its own.
    const bool compared = previous && !previous->outcome.error && outcome.completed();
    const RunTotals* before = compared ? &previous->outcome.totals : nullptr;
    out += " \"Summen\": " + JsonString(outcome.completed() ? SummenText(outcome.totals, before) : std::string()) +
           ",\n";
    out += " \"chartTitle\": " + JsonString(ChartTitleText(outcome.totals, outcome.rangeText)) + ",\n";
    const RunTotals& t = outcome.totals;
    out += " \"totals\": " + JsonTotals(t) + ",\n";
    if (previous) {
        const RunOutcome& p = previous->outcome;
        out += " \"previous\": {\"range\": " + JsonString(p.rangeText) + ", \"totals\": " + JsonTotals(p.totals) +
               ", \"months\": " + JsonMonths(previous->tables.KMC, "    ") + ", \"error\": " +
               (p.error ? JsonString(StripMessageMarkup(*p.error)) : std::string("null")) + "},\n";
        if (before)
            out += " \"change\": {\"net\": " + JsonMoney(t.net - before->net) +
                   ", \"profit\": " + JsonMoney(t.profit - before->profit) +
                   ", \"commission\": " + JsonMoney(t.commission - before->commission) +
                   ", \"net_percent\": " + JsonPercent(ChangePercent(t.net, before->net)) +
                   ", \"profit_percent\": " + JsonPercent(ChangePercent(t.profit, before->profit)) + "},\n";
        else
            out += " \"change\": null,\n";
    }
    out += extraMembers;
    out += " \"warnings\": [";
    for (size_t i = 0; i < outcome.warnings.size(); ++i)
        out += (i ? ", " : "") + JsonString(outcome.warnings[i]);
    out += "],\n";
    out += " \"error\": " + (outcome.error ? JsonString(StripMessageMarkup(*outcome.error)) : std::string("null")) +
           "\n}\n";
    return out;
}

} // namespace gs
