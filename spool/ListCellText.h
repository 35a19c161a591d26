#pragma once
// The cell texts of spooled and exported lists: when a list reaches the spooler or the CSV export
// without a cell-text provider of its own, every cell passes through ListCellText. It turns the raw
// text of well-known columns of the host's lists into their display form (money with its currency,
// code numbers into names), keyed by the column's field name in upper case and by a cell mode the
// caller chooses.
//
// The statistics list print uses cell mode 2; its own columns (ID_ORDER, ADRESSNAME, DATE, printp,
// WW_NETTO, GEWINN, PROVISION) match no key and pass unchanged. The keys matter for the host's
// other lists that reach the spooler with mode 2.
//
// Never raises for ordinary errors: a rule that fails (a field it reads is missing from the row)
// leaves the text as it was. Reads the settings given (parts groups, parent types, second currency)
// when a rule needs them; without settings such a rule leaves its text.
#include "spool/GridSource.h"

#include <string>
#include <string_view>

namespace gs {

class TSettings;

// The cell mode of the list print.
inline constexpr int CellModeOrderList = 2;

// Movement texts of the "WIN" column by value 0 to 6.
inline constexpr const char* MovementTexts[] = {"Eingang", "Ausgang", "storniert", "umgebucht", "", "Einzahlung", ""};

// record: the row being written; field: the column's field name (empty: none); text: in the field's
// own text, out the cell text. Cell modes other than 2 leave the text unchanged.
void ListCellText(const GridRecord& record, std::string_view field, std::string& text, int cellMode,
                  const TSettings* settings);

// False when ListCellText leaves every text of that column unchanged (no rule has its key), so
// that writers of many rows can skip the call for the column.
bool ListCellTextApplies(std::string_view field, int cellMode);

} // namespace gs
