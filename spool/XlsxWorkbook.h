#pragma once
// An Excel workbook of one list: one sheet with the heading lines where given (title and range),
// the caption row (frozen with everything above it, with an autofilter over the rows), the rows,
// and a totals row under them; numbers as numbers, amounts in the euro format
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
#include "spool/XlsxCell.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace gs {

struct XlsxSheet {
    std::string sheetName = "Liste";
    std::string title;   // document title
    std::string subject; // document subject: the list's range
    // Lines over the table (the title, the range), each in the first cell of its row, the first
    // bold; an empty row parts them from the caption row, which stays frozen with its filter.
    std::vector<std::string> heading;
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

// The grid as the CSV export writes it (the shown columns in grid order with the same captions, one
// row per record, the same cell texts), with the list's typed values (ListDescription::xlsxValue)
// where it gives one, and its totals row (xlsxTotal) under the rows: "Summe" in the first shown column
// without a total. The list's line callbacks are not written. Title: the title's first line;
// subject: the list's xlsxSubject.
XlsxSheet GridXlsxSheet(const ListDescription& list, const CsvExportOptions& options);

// Writes the list's workbook to file (atomically), as ExportGridCsv writes its CSV; a failure is
// returned with its reason, never raised.
CsvExportResult ExportGridXlsx(const ListDescription& list, const CsvExportOptions& options,
                               const std::filesystem::path& file);

} // namespace gs
