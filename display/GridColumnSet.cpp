#include "display/GridColumnSet.h"

#include "base/AtomicFile.h"
#include "base/Text.h"

#include <fstream>
#include <sstream>

namespace gs {

namespace {
constexpr std::string_view Header = "GSCOLUMNS 1";
}

std::string FormatColumnSet(const GridColumnSet& columns)
{
    std::string text(Header);
    text += "\r\n";
    for (const GridColumnState& c : columns)
        text += c.field + ";" + std::to_string(c.width) + ";" + (c.visible ? "1" : "0") + "\r\n";
    return text;
}

GridColumnSet ParseColumnSet(std::string_view text)
{
    GridColumnSet columns;
    const std::vector<std::string> lines = SplitLines(text);
    if (lines.empty() || Trim(lines.front()) != Header)
        return columns;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const size_t a = line.find(';');
        const size_t b = a == std::string::npos ? a : line.find(';', a + 1);
        if (b == std::string::npos)
            continue;
        GridColumnState c;
        c.field = Trim(line.substr(0, a));
        int width = 0, visible = 0;
        if (c.field.empty() || !TryParseInt32(Trim(line.substr(a + 1, b - a - 1)), width) ||
            !TryParseInt32(Trim(line.substr(b + 1)), visible))
            continue;
        c.width = width;
        c.visible = visible != 0;
        columns.push_back(std::move(c));
    }
    return columns;
}

std::filesystem::path GridLayoutFile(const std::filesystem::path& programFile, const std::string& gridName,
                                     const std::string& suffix)
{
    return std::filesystem::path(programFile.string() + gridName + suffix + ".COL");
}

void SaveColumnSetFile(const std::filesystem::path& file, const GridColumnSet& columns)
{
    WriteFileAtomically(file, FormatColumnSet(columns));
}

GridColumnSet LoadColumnSetFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return ParseColumnSet(buffer.str());
}

GridColumnSet ArrangeColumns(const GridColumnSet& present, const GridColumnSet& saved)
{
    GridColumnSet result;
    std::vector<bool> taken(present.size(), false);
    for (const GridColumnState& s : saved) {
        for (size_t i = 0; i < present.size(); ++i) {
            if (taken[i] || !EqualsNoCase(present[i].field, s.field))
                continue;
            GridColumnState c = present[i];
            if (s.width > 0)
                c.width = s.width;
            c.visible = s.visible;
            result.push_back(std::move(c));
            taken[i] = true;
            break;
        }
    }
    for (size_t i = 0; i < present.size(); ++i)
        if (!taken[i])
            result.push_back(present[i]);
    return result;
}

} // namespace gs
