#include "spool/XlsxWorkbook.h"

#include "base/AtomicFile.h"
#include "base/Error.h"
#include "base/Text.h"
#include "settings/SecondCurrency.h"
#include "spool/CsvFormat.h"
#include "spool/ListCellText.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace gs {

namespace {

// The first day a spreadsheet counts without its 1900 leap-day error: 01.03.1900. Earlier dates are
// written as text.
constexpr double FirstSerialDate = 61;
// A cell holds at most this many characters.
constexpr size_t MaxCellChars = 32767;
constexpr double MaxColumnWidth = 60;

[[noreturn]] void Fail(const std::filesystem::path& file, const std::string& why)
{
    throw Error("Die Datei " + file.string() + " konnte nicht geschrieben werden (" + why + ")");
}

// Cuts a text to the cell's limit without splitting a character.
std::string CellText(std::string text)
{
    if (Utf8Length(text) <= MaxCellChars)
        return text;
    size_t chars = 0, i = 0;
    for (; i < text.size() && chars < MaxCellChars; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            ++chars;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
        ++i;
    text.resize(i);
    return text;
}

bool WrittenAsDate(const XlsxCell& cell) { return std::isfinite(cell.value) && cell.value >= FirstSerialDate; }

// The characters a cell shows, for the column's width.
size_t ShownLength(const XlsxCell& cell)
{
    switch (cell.kind) {
    case XlsxCell::Kind::Empty: return 0;
    case XlsxCell::Kind::Text: return Utf8Length(cell.text);
    case XlsxCell::Kind::Date: return 10;
    case XlsxCell::Kind::Number:
    case XlsxCell::Kind::Money: {
        if (!std::isfinite(cell.value))
            return 0;
        const double whole = std::floor(std::abs(cell.value));
        const size_t digits = whole < 1 ? 1 : static_cast<size_t>(std::floor(std::log10(whole))) + 1;
        size_t length = digits + (cell.value < 0 ? 1 : 0);
        if (cell.kind == XlsxCell::Kind::Money)
            length += (digits - 1) / 3 + 3 + 2; // grouping, cents, " €"
        return length;
    }
    }
    return 0;
}

struct Formats {
    lxw_format* caption = nullptr;
    lxw_format* money = nullptr;
    lxw_format* date = nullptr;
    lxw_format* totalText = nullptr;
    lxw_format* totalMoney = nullptr;
    lxw_format* totalNumber = nullptr;
    lxw_format* totalDate = nullptr;
};

lxw_format* Format(lxw_workbook* book, bool bold, const char* numberFormat)
{
    lxw_format* f = workbook_add_format(book);
    if (bold)
        format_set_bold(f);
    if (numberFormat)
        format_set_num_format(f, numberFormat);
    return f;
}

lxw_error WriteCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const XlsxCell& cell, lxw_format* text,
                    lxw_format* number, lxw_format* money, lxw_format* date)
{
    switch (cell.kind) {
    case XlsxCell::Kind::Empty: return LXW_NO_ERROR;
    case XlsxCell::Kind::Text:
        return cell.text.empty() ? LXW_NO_ERROR : worksheet_write_string(sheet, row, col, CellText(cell.text).c_str(), text);
    case XlsxCell::Kind::Number:
    case XlsxCell::Kind::Money:
        if (!std::isfinite(cell.value))
            return LXW_NO_ERROR;
        // Amounts to the cent, rounded as the list's money format rounds them (halves away from zero).
        return cell.kind == XlsxCell::Kind::Money ? worksheet_write_number(sheet, row, col, std::round(cell.value * 100) / 100, money)
                                                  : worksheet_write_number(sheet, row, col, cell.value, number);
    case XlsxCell::Kind::Date:
        if (!WrittenAsDate(cell)) // before the spreadsheet's calendar: the date as text
            return std::isfinite(cell.value) ? worksheet_write_string(sheet, row, col, DateToText(cell.value).c_str(), text)
                                              : LXW_NO_ERROR;
        return worksheet_write_number(sheet, row, col, std::floor(cell.value), date);
    }
    return LXW_NO_ERROR;
}

// Writes the workbook into path (a file of its own, replaced by the library).
void WriteBook(const XlsxSheet& sheet, const std::filesystem::path& path, const std::filesystem::path& target)
{
    lxw_workbook* book = workbook_new(path.c_str());
    if (!book)
        Fail(target, "Arbeitsmappe anlegen");
    std::string problem;
    auto check = [&](lxw_error e) {
        if (e != LXW_NO_ERROR && problem.empty())
            problem = lxw_strerror(e);
    };
    const std::string sheetName = sheet.sheetName.empty() ? std::string("Liste") : sheet.sheetName;
    lxw_worksheet* ws = workbook_add_worksheet(book, sheetName.c_str());
    if (!ws) {
        workbook_close(book);
        Fail(target, "ungültiger Blattname: " + sheetName);
    }
    Formats f;
    f.caption = Format(book, true, nullptr);
    f.money = Format(book, false, XlsxMoneyFormat);
    f.date = Format(book, false, XlsxDateFormat);
    f.totalText = Format(book, true, nullptr);
    f.totalMoney = Format(book, true, XlsxMoneyFormat);
    f.totalNumber = Format(book, true, nullptr);
    f.totalDate = Format(book, true, XlsxDateFormat);

    lxw_doc_properties properties{};
    const std::string title = CellText(sheet.title), subject = CellText(sheet.subject);
    properties.title = const_cast<char*>(title.c_str());
    properties.subject = const_cast<char*>(subject.c_str());
    check(workbook_set_properties(book, &properties));

    // The heading lines, then an empty row, then the captions.
    const lxw_row_t captionRow = sheet.heading.empty() ? 0 : static_cast<lxw_row_t>(sheet.heading.size() + 1);
    for (size_t i = 0; i < sheet.heading.size(); ++i)
        if (!sheet.heading[i].empty())
            check(worksheet_write_string(ws, static_cast<lxw_row_t>(i), 0, CellText(sheet.heading[i]).c_str(),
                                         i == 0 ? f.caption : nullptr));
    const size_t columns = sheet.captions.size();
    for (size_t c = 0; c < columns; ++c) {
        check(worksheet_write_string(ws, captionRow, static_cast<lxw_col_t>(c), CellText(sheet.captions[c]).c_str(),
                                     f.caption));
        check(worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), XlsxColumnWidth(sheet, c),
                                   nullptr));
    }
    lxw_row_t row = captionRow + 1;
    for (const auto& cells : sheet.rows) {
        for (size_t c = 0; c < std::min(columns, cells.size()); ++c)
            check(WriteCell(ws, row, static_cast<lxw_col_t>(c), cells[c], nullptr, nullptr, f.money, f.date));
        ++row;
    }
    if (columns > 0) {
        worksheet_freeze_panes(ws, captionRow + 1, 0);
        check(worksheet_autofilter(ws, captionRow, 0, captionRow + static_cast<lxw_row_t>(sheet.rows.size()),
                                   static_cast<lxw_col_t>(columns - 1)));
    }
    for (size_t c = 0; c < std::min(columns, sheet.totals.size()); ++c)
        check(WriteCell(ws, row, static_cast<lxw_col_t>(c), sheet.totals[c], f.totalText, f.totalNumber, f.totalMoney,
                        f.totalDate));
    errno = 0;
    const lxw_error closed = workbook_close(book);
    const int cause = errno;
    // The library's own text does not say why; a cause the system gave (a full disk) does.
    if (closed != LXW_NO_ERROR)
        Fail(target, cause != 0 ? SystemErrorText(cause) : std::string(lxw_strerror(closed)));
    if (!problem.empty())
        Fail(target, problem);
}

// A temporary file beside the target, removed when it goes out of scope.
struct TempBeside {
    std::filesystem::path path;
    explicit TempBeside(const std::filesystem::path& target)
    {
        const std::filesystem::path dir = target.has_parent_path() ? target.parent_path() : ".";
        std::string name = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
        const int fd = ::mkstemp(name.data());
        if (fd < 0)
            Fail(target, std::string("temporäre Datei: ") + SystemErrorText(errno));
        ::close(fd);
        path = name;
    }
    ~TempBeside()
    {
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
};

} // namespace

double XlsxColumnWidth(const XlsxSheet& sheet, size_t column)
{
    size_t longest = column < sheet.captions.size() ? Utf8Length(sheet.captions[column]) + 3 : 0; // filter button
    for (const auto& cells : sheet.rows)
        if (column < cells.size())
            longest = std::max(longest, ShownLength(cells[column]));
    if (column < sheet.totals.size())
        longest = std::max(longest, ShownLength(sheet.totals[column]) + 1); // bold
    return std::min(MaxColumnWidth, static_cast<double>(longest) + 2);
}

namespace {

// The workbook made in a temporary file beside near (which names the file in messages), read back.
std::string BookBytes(const XlsxSheet& sheet, const std::filesystem::path& near)
{
    TempBeside temp(near);
    WriteBook(sheet, temp.path, near);
    std::ifstream in(temp.path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof())
        Fail(near, "temporäre Datei lesen");
    return bytes;
}

} // namespace

void WriteXlsxWorkbook(const XlsxSheet& sheet, const std::filesystem::path& file)
{
    WriteFileAtomically(file, BookBytes(sheet, file));
}

std::string XlsxWorkbookBytes(const XlsxSheet& sheet)
{
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
    if (ec)
        dir = "/tmp";
    return BookBytes(sheet, dir / "Arbeitsmappe.xlsx");
}

XlsxSheet GridXlsxSheet(const ListDescription& list, const CsvExportOptions& options)
{
    if (!list.grid.dataSet)
        throw Error("Die Liste hat keine Daten");
    const GridDescription& grid = list.grid;
    GridDataSet& data = *grid.dataSet;
    const std::string& currencySymbol = options.SecondCurrencySymbol;

    XlsxSheet sheet;
    std::vector<const GridColumn*> shown;
    for (const GridColumn& column : grid.columns) {
        if (column.width > 0) {
            shown.push_back(&column);
            sheet.captions.push_back(CsvCaption(column.title));
        }
    }
    sheet.rows.reserve(static_cast<size_t>(std::max(0, data.RecordCount())));
    for (int row = 0; row < data.RecordCount(); ++row) {
        data.SetCurrentRow(row);
        const GridRecord record(data, row);
        std::vector<XlsxCell> cells;
        cells.reserve(shown.size());
        for (const GridColumn* column : shown) {
            std::optional<XlsxCell> cell;
            try {
                if (list.xlsxValue)
                    cell = list.xlsxValue(record, column->fieldName);
                if (!cell) {
                    std::string text;
                    if (!column->fieldName.empty())
                        text = record.field(column->fieldName).value_or(std::string());
                    if (list.cellTextProvider)
                        list.cellTextProvider(record, column->fieldName, text);
                    else
                        ListCellText(record, column->fieldName, text, list.cellMode, options.Settings);
                    cell = XlsxCell::Of(CsvCellText(text, currencySymbol));
                }
            } catch (const std::exception& e) {
                if (!isOrdinaryError(e))
                    throw;
                cell = XlsxCell{}; // an empty cell keeps the later values under their captions
            }
            cells.push_back(std::move(*cell));
        }
        sheet.rows.push_back(std::move(cells));
    }
    if (list.xlsxTotal) {
        sheet.totals.resize(shown.size());
        bool any = false;
        for (size_t c = 0; c < shown.size(); ++c)
            if (std::optional<XlsxCell> total = list.xlsxTotal(shown[c]->fieldName)) {
                sheet.totals[c] = std::move(*total);
                any = true;
            }
        for (size_t c = 0; any && c < shown.size(); ++c)
            if (sheet.totals[c].kind == XlsxCell::Kind::Empty) {
                sheet.totals[c] = XlsxCell::Of("Summe");
                break;
            }
        if (!any)
            sheet.totals.clear();
    }
    const std::string& title = list.title;
    sheet.title = title.substr(0, title.find_first_of("\r\n"));
    sheet.subject = list.xlsxSubject;
    return sheet;
}

CsvExportResult ExportGridXlsx(const ListDescription& list, const CsvExportOptions& options,
                               const std::filesystem::path& file)
{
    CsvExportResult result;
    try {
        XlsxSheet sheet = GridXlsxSheet(list, options);
        result.rows = static_cast<int>(sheet.rows.size());
        WriteXlsxWorkbook(sheet, file);
        result.status = CsvExportStatus::Written;
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e))
            throw;
        result.status = CsvExportStatus::Failed;
        result.rows = 0;
        result.error = e.what();
    }
    return result;
}

} // namespace gs
