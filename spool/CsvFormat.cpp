#include "spool/CsvFormat.h"

#include "base/FormatFloat.h"
#include "base/Numbers.h"
#include "base/Text.h"

namespace gs {

std::string CsvCaption(std::string_view gridTitle)
{
    std::string caption(gridTitle);
    ReplaceAllText(caption, "/b", "");
    ReplaceAllText(caption, "+", "");
    return caption;
}

std::string DisplayedMoneySuffix()
{
    // Formatting a zero with the suffix as format text shows the suffix as the user sees it.
    std::string format = "0";
    format += MoneySuffix();
    std::string shown = FormatFloat(format, 0.0);
    return shown.empty() ? shown : shown.substr(1);
}

std::string CsvCellText(std::string_view text, std::string_view secondCurrencySymbol)
{
    std::string cell(text);
    ReplaceAllText(cell, DisplayedMoneySuffix(), "");
    ReplaceAllText(cell, std::string(secondCurrencySymbol), "");
    std::string out;
    out.reserve(cell.size());
    for (size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] == '\r' && i + 1 < cell.size() && cell[i + 1] == '\n') {
            out += ' ';
            ++i;
        } else {
            out += cell[i];
        }
    }
    return out;
}

std::string CsvLine(const std::vector<std::string>& values, char separator)
{
    std::string line;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += separator;
        line += '"';
        for (char c : values[i]) {
            if (c == '"')
                line += '"';
            line += c;
        }
        line += '"';
    }
    line += "\r\n";
    return line;
}

} // namespace gs
