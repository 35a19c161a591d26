#include "app/ReportOutput.h"

#include "base/Dialogs.h"

#include "base/Dates.h"
#include "base/FormatFloat.h"
#include "base/Numbers.h"
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

std::string IntText(const std::optional<int>& v) { return v ? std::to_string(*v) : std::string(); }

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
               ", " + JsonSums(m.net, m.commission, m.profit) + "}";
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
        int y = 0, mo = 0, d = 0;
        std::string monthText;
        if (m.DATE) {
            DecodeDate(*m.DATE, y, mo, d);
            char buf[16];
            std::snprintf(buf, sizeof buf, "%02d.%04d", mo, y);
            monthText = buf;
        }
        months.push_back({monthText, IntText(m.WW_NETTO_INT), IntText(m.PROVISION_INT), IntText(m.GEWINN_INT)});
    }
    out += TextTable({"Monat", "Netto", "Provision", "Gewinn"}, months, {false, true, true, true});
    out += "\n";
    const bool compared = previous && !previous->outcome.error && outcome.completed();
    if (outcome.error)
        out += "Fehler: " + StripMessageMarkup(*outcome.error) + "\n";
    else
        out += SummenText(outcome.totals, compared ? &previous->outcome.totals : nullptr) + "\n";
    if (compared) {
        const RunTotals& now = outcome.totals;
        const RunTotals& before = previous->outcome.totals;
        const auto change = [](double a, double b) {
            const auto percent = ChangePercent(a, b);
            return SignedMoney(a - b) + (percent ? " (" + ChangeText(*percent) + ")" : std::string());
        };
        out += "\nVorjahr: " + previous->outcome.rangeText + "\n" + SummenText(before) + "\n";
        out += "Veränderung: Netto: " + change(now.net, before.net) + "\t\tProvision: " +
               change(now.commission, before.commission) + "\t\tGewinn: " + change(now.profit, before.profit) + "\n";
    } else if (previous && previous->outcome.error) {
        out += "Vorjahr: " + StripMessageMarkup(*previous->outcome.error) + "\n";
    }
    for (const std::string& warning : outcome.warnings)
        out += warning + "\n";
    return out;
}

std::string ReportCsv(const ResultTables& tables, std::string_view secondCurrencySymbol)
{
    // The list's CSV export, so the report and the window's export write the same bytes.
    KmGridDataSet rows(tables);
    const ListDescription list = ProfitListDescription(rows, {}, 0);
    CsvExportOptions options;
    options.SecondCurrencySymbol = std::string(secondCurrencySymbol);
    bool cancelled = false;
    return GridCsvText(list, options, cancelled);
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
