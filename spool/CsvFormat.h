#pragma once
// The host's CSV text: one line per record ended by CR LF, every value in double quotes (a quote
// inside doubled), values separated by ";", Windows-1252 on disk.
#include <string>
#include <string_view>
#include <vector>

namespace gs {

// A column caption for the CSV header: the grid title with every "/b" and every "+" removed
// (letter case ignored); other characters, leading blanks included, stay.
std::string CsvCaption(std::string_view gridTitle);

// A cell text as the CSV export writes it: the money suffix as displayed (" €") and the second
// currency's symbol removed, every CR LF turned into one blank.
std::string CsvCellText(std::string_view text, std::string_view secondCurrencySymbol);

// One line (UTF-8) with its CR LF: every value in double quotes (a quote inside doubled), separated
// by the separator (";" in the host's CSV).
std::string CsvLine(const std::vector<std::string>& values, char separator = ';');

// The money suffix as it shows behind an amount (" €"; in franc mode " SFr." with the literal full
// stop), not as format text.
std::string DisplayedMoneySuffix();

} // namespace gs
