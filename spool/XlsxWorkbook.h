#pragma once
// An Excel workbook of one list: one sheet with the caption row (frozen, with an autofilter over the
// rows), the rows, and a totals row under them; numbers as numbers, amounts in the euro format
// "#,##0.00 €" (to the cent), dates as dates shown "TT.MM.JJJJ", text always as text (a cell starting with "="
// stays the text it is: no formula, no apostrophe). Column widths follow the longest cell. The
// title and the subject (the list's range) go into the document properties.
//
// Who calls it: the report command (--xlsx) and the list's export, with the cells made by
// GridXlsxSheet (the same rows and columns as the CSV export) or by hand.
//
// How it fails: raises gs::Error with the file and the reason. The workbook is made in a temporary
// file beside the target and then replaces the target atomically (base/AtomicFile.h), so a failed
// write leaves an existing file as it was and no partial file.
#include "base/Dates.h"
#include "spool/CsvExport.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace gs {

struct XlsxCell {
    enum class Kind { Empty, Text, Number, Money, Date };
    Kind kind = Kind::Empty;
    std::string text; // Text (UTF-8)
    double value = 0; // Number; Money in euros; Date as the host's day number (days since 30.12.1899)

    static XlsxCell Of(std::string text) { return {Kind::Text, std::move(text), 0}; }
    static XlsxCell Number(double value) { return {Kind::Number, {}, value}; }
    static XlsxCell Money(double euros) { return {Kind::Money, {}, euros}; }
    static XlsxCell Date(TDateTime day) { return {Kind::Date, {}, day}; }
};

struct XlsxSheet {
    std::string sheetName = "Liste";
    std::string title;   // document title
    std::string subject; // document subject: the list's range
    std::vector<std::string> captions;
    std::vector<std::vector<XlsxCell>> rows; // each as long as captions (shorter rows are padded)
    std::vector<XlsxCell> totals;            // the totals row under the rows; empty: none
};

// The number formats of the sheet, as the workbook stores them.
inline constexpr const char* XlsxMoneyFormat = "#,##0.00 \"€\"";
inline constexpr const char* XlsxDateFormat = "dd.mm.yyyy";

// The width of a column in characters, as the sheet sets it: the longest cell (caption included),
// with room for the filter button, at most 60.
double XlsxColumnWidth(const XlsxSheet& sheet, size_t column);

void WriteXlsxWorkbook(const XlsxSheet& sheet, const std::filesystem::path& file);
// The workbook's bytes (for standard output), made through a temporary file in the system's
// temporary folder. Raises gs::Error as WriteXlsxWorkbook.
std::string XlsxWorkbookBytes(const XlsxSheet& sheet);

// A typed value for a cell of a grid row, or nullopt to take the CSV export's text of the cell.
using XlsxValueProvider = std::function<std::optional<XlsxCell>(const GridRecord& record, std::string_view field)>;

// The grid as the CSV export writes it (the shown columns in grid order with the same captions, one
// row per record, the same cell texts), with the provider's typed values where it gives one. The
// list's line callbacks are not written.
XlsxSheet GridXlsxSheet(const ListDescription& list, const CsvExportOptions& options, const XlsxValueProvider& typed);

} // namespace gs
