#include "settings/PartsGroups.h"

#include "base/FormatFloat.h"
#include "base/Numbers.h"
#include "base/Text.h"
#include "settings/SettingsTable.h"

#include <algorithm>

namespace gs {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string LineAt(const std::vector<std::string>& lines, size_t index)
{
    return index < lines.size() ? lines[index] : std::string();
}

// Every TAB becomes a line break.
std::vector<std::string> GroupLines(std::string_view line)
{
    std::string text(line);
    ReplaceAllText(text, "\t", "\r\n");
    return SplitLines(text);
}

} // namespace

void TPartsGroup::Clear() { *this = TPartsGroup{}; }

PartGroupKey PartGroupSortKey(std::string_view storedName, int number)
{
    PartGroupKey k;
    if (!storedName.empty() && storedName.front() == '#') {
        size_t end = 1;
        while (end < storedName.size() && IsDigit(storedName[end]))
            ++end;
        const double value = ParseNumber(storedName.substr(1, end - 1));
        k.key = FormatFloat("000000", value);
        k.displayName = std::string(storedName.substr(end));
    } else {
        k.key = k.displayName = std::string(storedName);
    }
    const std::string numberText = std::to_string(static_cast<std::int16_t>(number));
    if (k.key.empty())
        k.key = numberText;
    if (k.displayName.empty())
        k.displayName = numberText;
    return k;
}

void SortPartGroups(std::vector<TPartGroup>& groups)
{
    if (groups.size() < 2)
        return;
    std::vector<std::pair<std::string, TPartGroup>> keyed;
    keyed.reserve(groups.size());
    for (TPartGroup& g : groups) {
        PartGroupKey k = PartGroupSortKey(g.StoredName, g.Number);
        g.Name = std::move(k.displayName);
        keyed.emplace_back(std::move(k.key), std::move(g));
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return CompareNoCase(a.first, b.first) < 0; });
    groups.clear();
    for (auto& [key, g] : keyed)
        groups.push_back(std::move(g));
}

void LoadPartsGroups(TPartsGroup& pg, TAdsTable& table)
{
    pg.Groups.clear();
    pg.Value661.clear();
    pg.Value662 = "benutzer";
    try {
        std::vector<std::string> names, modifiers, formulas, texts;
        ReadSettingText(table, 964, pg.Value964, "2");
        ReadSettingByte(table, 219, pg.Value219, 0);
        ReadSettingLines(table, 650, names, true);
        ReadSettingLines(table, 651, modifiers, true);
        ReadSettingLines(table, 660, formulas, true);
        ReadSettingText(table, 661, pg.Value661, "");
        ReadSettingText(table, 662, pg.Value662, "benutzer");
        ReadSettingLines(table, 663, texts, true);

        pg.Value661 = CleanModifierText(NormalizeDecimalText(pg.Value661), true);
        for (size_t i = 0; i < names.size(); ++i) {
            TPartGroup g;
            g.Name = g.StoredName = names[i];
            g.Modifier = CleanModifierText(NormalizeDecimalText(LineAt(modifiers, i)), true);
            // The decimal point is normalised before cleaning as well, so that "1.2" in a formula
            // keeps its separator instead of losing it to the cleaning.
            g.Formula = NormalizeDecimalText(CleanFormulaText(NormalizeDecimalText(LineAt(formulas, i))));
            g.Number = static_cast<std::int16_t>(i);
            g.Lines = GroupLines(LineAt(texts, i));
            pg.Groups.push_back(std::move(g));
        }
        if (pg.Groups.empty())
            pg.Groups.emplace_back();
    } catch (...) {
        SortPartGroups(pg.Groups);
        throw;
    }
    SortPartGroups(pg.Groups);
}

std::string PartGroupName(const TPartsGroup& pg, int number)
{
    const auto n = static_cast<std::int16_t>(number);
    for (const TPartGroup& g : pg.Groups)
        if (g.Number == n)
            return g.Name;
    return {};
}

std::string CleanModifierText(std::string_view text, bool withSign)
{
    const char sep = CurrentFormats().decimalSeparator;
    std::string kept;
    bool separatorSeen = false;
    for (char c : text) {
        if (IsDigit(c)) {
            kept += c;
        } else if (c == sep && !separatorSeen) {
            kept += c;
            separatorSeen = true;
        }
    }
    if (!withSign)
        return kept;
    if (text.find('-') != std::string_view::npos)
        return "-" + kept;
    if (text.find('+') != std::string_view::npos)
        return "+" + kept;
    if (!kept.empty())
        return "*" + kept;
    return kept;
}

std::string CleanFormulaText(std::string_view text)
{
    std::string s = UpperAscii(text);
    std::erase_if(s, [](char c) { return c == '{' || c == '}'; });
    ReplaceAllText(s, "VKEK", "}");
    ReplaceAllText(s, "VK", "{");

    const char sep = CurrentFormats().decimalSeparator;
    std::string kept;
    for (char c : s)
        if (c == ' ' || c == '(' || c == ')' || c == '*' || c == '+' || c == '-' || c == '/' || IsDigit(c) ||
            c == '{' || c == '}' || c == sep)
            kept += c;

    std::string result;
    for (char c : kept) {
        if (c == '}')
            result += "VKEK";
        else if (c == '{')
            result += "VK";
        else
            result += c;
    }
    if (result.find("VK") == std::string::npos) // "VKEK" contains "VK"
        result = "VKEK" + result;
    return result;
}

} // namespace gs
