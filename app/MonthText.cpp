#include "app/MonthText.h"

#include "base/Text.h"

#include <array>

namespace gs {

namespace {

struct MonthName {
    const char* name;
    int month;
};

// Full names, their common abbreviations and the spellings without umlaut.
constexpr std::array<MonthName, 27> MonthNames = {{
    {"januar", 1},  {"jan", 1},   {"jänner", 1}, {"februar", 2},  {"feb", 2},   {"märz", 3},     {"maerz", 3},
    {"mär", 3},     {"mrz", 3},   {"april", 4},  {"apr", 4},      {"mai", 5},   {"juni", 6},     {"jun", 6},
    {"juli", 7},    {"jul", 7},   {"august", 8}, {"aug", 8},      {"september", 9}, {"sep", 9},  {"sept", 9},
    {"oktober", 10}, {"okt", 10}, {"november", 11}, {"nov", 11},  {"dezember", 12}, {"dez", 12},
}};

bool AllDigits(std::string_view s)
{
    return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// The parts of a text split at ".", "-", "/" and blanks (empty parts dropped).
std::vector<std::string> Parts(std::string_view text)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (c == '.' || c == '-' || c == '/' || c == ' ') {
            if (!part.empty())
                parts.push_back(std::move(part));
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(std::move(part));
    return parts;
}

// "ä" and "Ä" folded to "ä" (LowerAscii leaves non-ASCII letters).
std::string FoldName(std::string_view s)
{
    std::string r = LowerAscii(s);
    ReplaceAllText(r, "\xC3\x84", "\xC3\xA4");
    return r;
}

int NameMonth(const std::string& part)
{
    const std::string folded = FoldName(part);
    for (const MonthName& n : MonthNames)
        if (folded == n.name)
            return n.month;
    return 0;
}

int Number(const std::string& digits) { return digits.size() > 4 ? -1 : std::stoi(digits); }

// A year of two or four digits; 0 for anything else.
int YearNumber(const std::string& part)
{
    if (!AllDigits(part) || (part.size() != 2 && part.size() != 4))
        return 0;
    const int year = Number(part);
    return part.size() == 2 ? 2000 + year : year;
}

bool ValidMonth(int month) { return month >= 1 && month <= 12; }

// The month of that number (or name) in the year given: every calendar month occurs once in it.
YearMonth InYear(int month, const YearSpan& year)
{
    return {month < year.fiscalStartMonth ? year.startYear + 1 : year.startYear, month};
}

std::optional<YearMonth> FromParts(const std::vector<std::string>& p, bool iso, const YearSpan& year)
{
    if (p.size() == 1) {
        const int month = AllDigits(p[0]) && p[0].size() <= 2 ? Number(p[0]) : NameMonth(p[0]);
        return ValidMonth(month) ? std::optional<YearMonth>(InYear(month, year)) : std::nullopt;
    }
    if (iso) { // 2026-03 and 2026-03-01
        if (p.size() > 3 || p[0].size() != 4 || !AllDigits(p[0]) || !AllDigits(p[1]) || p[1].size() > 2 ||
            (p.size() == 3 && (!AllDigits(p[2]) || p[2].size() > 2)))
            return std::nullopt;
        const int month = Number(p[1]);
        return ValidMonth(month) ? std::optional<YearMonth>(YearMonth{Number(p[0]), month}) : std::nullopt;
    }
    if (p.size() == 2) { // 03.2026, März 2026, Mrz 26
        const int month = AllDigits(p[0]) && p[0].size() <= 2 ? Number(p[0]) : NameMonth(p[0]);
        const int y = YearNumber(p[1]);
        return ValidMonth(month) && y > 0 ? std::optional<YearMonth>(YearMonth{y, month}) : std::nullopt;
    }
    if (p.size() == 3 && AllDigits(p[0]) && p[0].size() <= 2 && AllDigits(p[1]) && p[1].size() <= 2) {
        const int day = Number(p[0]), month = Number(p[1]), y = YearNumber(p[2]);
        if (ValidMonth(month) && y > 0 && day >= 1 && day <= DaysInMonth(y, month))
            return YearMonth{y, month};
    }
    return std::nullopt;
}

} // namespace

MonthReading ReadMonthText(std::string_view text, const YearSpan& year)
{
    const std::string t = Trim(text);
    MonthReading r;
    if (t.empty()) {
        r.cause = "Der Monat fehlt";
        return r;
    }
    // An ISO form begins with four digits and a "-".
    const bool iso = t.size() >= 5 && AllDigits(std::string_view(t).substr(0, 4)) && t[4] == '-';
    r.month = FromParts(Parts(t), iso, year);
    if (!r.month)
        r.cause = "\xE2\x80\x9E" + t + "\xE2\x80\x9C ist kein Monat (erwartet z. B. " + IsoMonthText(year.Month(0)) + ")";
    return r;
}

} // namespace gs
