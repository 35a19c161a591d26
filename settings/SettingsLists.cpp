#include "settings/SettingsLists.h"

#include "base/Text.h"
#include "settings/SettingsTable.h"

namespace gs {

namespace {

std::string LineAt(const std::vector<std::string>& lines, size_t index)
{
    return index < lines.size() ? lines[index] : std::string();
}

// The integer text without leading zeros; 0 gives an empty text.
std::string NumberWithoutZeros(std::string_view text)
{
    const int n = StrToIntDef(text, 0);
    return n == 0 ? std::string() : std::to_string(n);
}

} // namespace

// --- THTML -----------------------------------------------------------------------------------------

void THTML::ClearParams()
{
    Param1 = Param2 = 0;
    Param3 = Param4 = Param5 = 0;
    Param6 = 0;
}

void THTML::SetParams(const std::vector<std::string>& lines)
{
    Param1 = SettingPlainDecimal(LineAt(lines, 0));
    if (Param1 == 0)
        Param1 = 1.0;
    Param2 = SettingPlainDecimal(LineAt(lines, 1));
    if (Param2 == 0)
        Param2 = 1.0;
    Param3 = SettingByte(LineAt(lines, 2), 0);
    Param4 = SettingByte(LineAt(lines, 3), 0);
    Param5 = SettingByte(LineAt(lines, 4), 0);
    Param6 = SettingInteger(LineAt(lines, 5), 2);
}

// --- parent types ----------------------------------------------------------------------------------

std::vector<TKonto> ParentTypesFromLines(const std::vector<std::string>& lines)
{
    std::vector<TKonto> result;
    for (size_t i = 0; i + 1 < lines.size(); i += 2)
        result.push_back(TKonto{SettingSmallInt(lines[i], 0), lines[i + 1]});
    return result;
}

std::string LookupParentType(const std::vector<TKonto>& parentTypes, std::string_view codeText, bool blankUnmatched)
{
    const auto code = static_cast<std::int16_t>(StrToIntDef(codeText, 0));
    for (const TKonto& k : parentTypes)
        if (k.Code == code)
            return k.Name;
    std::string result = code != 0 ? std::string(codeText) : std::string();
    if (blankUnmatched && result == codeText)
        result.clear();
    return result;
}

// --- article captions ------------------------------------------------------------------------------

void TArticleCaptions::Apply(std::vector<std::string> lines)
{
    PadLines(lines, 8);
    for (size_t i = 0; i < Captions.size(); ++i)
        if (!lines[i].empty())
            Captions[i] = lines[i];
    for (size_t i = 0; i < InfoCaptions.size(); ++i) {
        const std::string& line = lines[3 + i];
        const size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0)
            continue;
        InfoCaptions[i] = line.substr(0, eq);
        InfoValues[i] = Utf8Left(std::string_view(line).substr(eq + 1), 200);
    }
}

// --- text block layout -----------------------------------------------------------------------------

void TTextBlockLayout::Apply(const std::vector<std::string>& lines)
{
    const TTextBlockLayout defaults;
    for (size_t g = 0; g < Groups.size(); ++g) {
        const size_t base = g * 6;
        const TextBlockGroup& d = defaults.Groups[g];
        TextBlockGroup& group = Groups[g];
        for (size_t v = 0; v < 3; ++v)
            group.Values[v] = SettingInteger(LineAt(lines, base + v), d.Values[v]);
        group.FontName = LineAt(lines, base + 3);
        if (group.FontName.empty())
            group.FontName = d.FontName;
        group.FontSize = SettingInteger(LineAt(lines, base + 4), d.FontSize);
        group.Color = ParseHostColor(LineAt(lines, base + 5)).value_or(d.Color);
    }
}

// --- number template -------------------------------------------------------------------------------

void NormalizeNumberTemplate(std::string& prefix, std::string& mask, std::string& suffix, std::string& current)
{
    std::string zeros;
    for (char c : Utf8Left(mask, 10))
        if (c == '0')
            zeros += c;
    mask = zeros.empty() ? "0" : zeros;
    const size_t m = mask.size();

    prefix = Utf8Left(Trim(prefix), 10);
    const size_t p = Utf8Length(prefix);

    suffix = Utf8Left(Utf8Left(Trim(suffix), 10), 20 - m - p);

    current = NumberWithoutZeros(current);
    while (Utf8Length(current) > m)
        current = Utf8Left(current, Utf8Length(current) - 1);
    current = NumberWithoutZeros(current);
}

// --- lists -----------------------------------------------------------------------------------------

void PadLines(std::vector<std::string>& lines, size_t count)
{
    if (lines.size() < count)
        lines.resize(count);
}

void SortLines(std::vector<std::string>& lines) { SortTextList(lines, 0, static_cast<int>(lines.size()) - 1); }

} // namespace gs
