#pragma once
// The CSV export of a grid ("Als CSV(Excel) exportieren"): the shown columns in grid order with their
// captions, then the extra columns of the line callbacks; one line per row of the grid's data set in
// grid order; the host's CSV text (spool/CsvFormat.h: quoted values, ";", CR LF, Windows-1252).
// Every cell passes the caller's cell-text provider or ListCellText (spool/ListCellText.h), then loses
// the money suffix and the second-currency symbol, and its line breaks become blanks.
//
// Who calls it: the grid print dialog's jobs (spool/GridPrintJobs.h) through TExportCSVTableClassA,
// which asks for the file through the dialog seam, and the report command (same bytes for the same
// list).
//
// How it fails: ExportGridCsv returns the status; the file is written to a temporary file beside the
// target and renamed over it when complete, so a cancelled or failed export leaves an existing file
// as it was and no partial file. A cell whose text cannot be made is written as an empty value, so
// the later values of the line stay under their captions. A text value that a spreadsheet would run
// as a formula (it starts with "=", "+", "-" or "@", is longer than that one character and is no
// number) is written with a leading apostrophe; numbers such as "-1.315,47" stay as they are.
#include "spool/ListDescription.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace gs {

class Dialogs;
class TSettings;

// Called once per row before it is written; true stops the export.
using CsvProgress = std::function<bool()>;

// What one export needs beside the list.
struct CsvExportOptions {
    CsvProgress Progress;
    // The second currency's symbol removed from cells (SecondCurrencySymbolOf the settings).
    std::string SecondCurrencySymbol;
    // What the cell-text rules read (parts groups, parent types, second currency); may be null.
    const TSettings* Settings = nullptr;
};

enum class CsvExportStatus { Written, Cancelled, Failed };

struct CsvExportResult {
    CsvExportStatus status = CsvExportStatus::Failed;
    int rows = 0;      // rows written
    std::string error; // why it failed
};

// The second currency's symbol of the settings (none: the default symbol).
std::string SecondCurrencySymbolOf(const TSettings* settings);

// The whole CSV text (UTF-8) of the list; cancelled is set when the progress asked to stop.
std::string GridCsvText(const ListDescription& list, const CsvExportOptions& options, bool& cancelled);
// Writes the list's CSV to file (Windows-1252, atomically).
CsvExportResult ExportGridCsv(const ListDescription& list, const CsvExportOptions& options,
                              const std::filesystem::path& file);

// A value as the CSV writes it: a text a spreadsheet would run as a formula gets a leading apostrophe.
std::string CsvSafeValue(std::string value);
// The items of a comma text: separated by "," or blanks outside '"' quotes (a quote inside doubled).
std::vector<std::string> SplitCommaText(std::string_view text);

// The export with the user's file choice: the save-file dialog (ListExportFileFilter, default
// extension csv, appended to a name without one; a name ending in ".xlsx" gets the list's workbook
// (spool/XlsxWorkbook.h) instead of the CSV), the export, the message box with the
// error's text when it fails, and the file opened with the desktop's opener afterwards when asked.
// Constructing the object runs the whole export, as the host's export class does.
class TExportCSVTableClassA {
public:
    // Asks through dialogs (none: nothing is exported).
    TExportCSVTableClassA(const ListDescription& list, const CsvExportOptions& options, bool openAfterwards,
                          Dialogs* dialogs);
    const CsvExportResult& result() const { return result_; }
    const std::filesystem::path& file() const { return file_; }

private:
    CsvExportResult result_;
    std::filesystem::path file_;
};

inline constexpr const char* CsvFileFilter = "CSV Dateien|*.csv|Text Dateien|*.txt";
// The export's choice: the host's CSV filters and, beside them, the list as an Excel workbook.
inline constexpr const char* ListExportFileFilter =
    "CSV Dateien|*.csv|Text Dateien|*.txt|Excel-Arbeitsmappe|*.xlsx";

} // namespace gs
