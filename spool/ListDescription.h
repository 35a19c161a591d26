#pragma once
// One list as every output reads it: the grid print dialog and its jobs, the spooler's job rows, the
// CSV export, the report command's PDF and the output processors, which read a spooled job back into
// this same description. What derives from the list (the column range of a job, the printed
// columns with their captions, the rich-text title and footer) is made here, once.
//
// Who fills it: the statistics list is described by one function of the application core
// (app/ProfitListRows.h ProfitListDescription); the window then lays its grid's shown columns over
// it; the processors fill it from a job row (spool/render/SpoolJobs.h); tests and benchmarks from
// plain rows. What one output needs for one call (the job kind, the printer selection, copies, the
// printer and database) is not part of the list: each output takes it as its own parameter.
//
// Plain data; nothing here fails.
#include "spool/GridSource.h"
#include "spool/XlsxCell.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

// A caller's own cell texts instead of ListCellText: text comes in as the field's text.
using TCellTextProvider = std::function<void(const GridRecord& record, std::string_view field, std::string& text)>;
// Extra columns of a line: called with no record and number 1 for the captions, with the row and
// number 0 for its values; both as comma text (values separated by "," or blanks, '"' quotes).
// Element 0 of a list's line callbacks gives the spooled lines' extra text; the CSV export takes
// them all.
using TLineCallback = std::function<void(const GridRecord* record, int number, std::string& text)>;
// Builds a footer while lines are spooled: phase 0 before the rows (record null), 1 after each row,
// 2 after the last (record null).
using TFooterCallback = std::function<void(const GridRecord* record, std::string& footer, int phase)>;

// Alignments in the host's coding, as aligh/aligd store them.
enum TListAlignment { ListAlignLeft = 0, ListAlignRight = 1, ListAlignCentre = 2 };

// A printed column: the caption without markup, the screen width (only the proportions count on
// paper) and the alignments.
struct ListColumnSpec {
    std::string caption; // UTF-8
    int width = 0;
    int captionAlignment = ListAlignLeft;
    int cellAlignment = ListAlignLeft;
};

struct ListDescription {
    std::string name;     // job name: the subfolder of the list's PDF jobs ("GEWINN")
    std::string title;    // UTF-8, plain or rich text: the page header
    std::string footer;   // UTF-8, plain or rich text: printed under the list (the totals line)
    std::string fileStem; // print name of the list's PDF jobs, from which the PDF's file name is made
    // Points of the rich-text title and footer made of plain text; 0: the size the grid print dialog
    // keeps in UserMode.INI.
    int textSize = 0;
    GridDescription grid; // columns in grid order (hidden ones with width 0) and the rows
    bool landscape = true;
    int cellMode = 2;      // the rule set of ListCellText
    TCellTextProvider cellTextProvider;
    std::vector<TLineCallback> lineCallbacks;
    TFooterCallback footerCallback;
    bool currentRecordOnly = false;
    bool wholeColumnRange = false; // LeftStartSecond and RightEndSecond both 0
    std::string csvFileName;       // a custom export definition of the host; the statistics list has none
    // The workbook of the list (spool/XlsxWorkbook.h): a typed value for a field of a row (nullopt:
    // the cell's text as the CSV has it), the totals row's value under a field (nullopt: none), and
    // the document's subject (the period's range). All may be empty.
    std::function<std::optional<XlsxCell>(const GridRecord& record, std::string_view field)> xlsxValue;
    std::function<std::optional<XlsxCell>(std::string_view field)> xlsxTotal;
    std::string xlsxSubject;

    // The column range a job of the list gets: from the second column to the last shown one (at
    // least the third), or 0 and 0 for the whole range.
    int leftStart() const;
    int rightEnd() const;
    // The shown columns in grid order as printed: captions without the bold markup.
    std::vector<ListColumnSpec> printedColumns() const;
    // The title and the footer as rich text (plain text wrapped into the rich-text block once; rich
    // text and an empty text as they are).
    std::string richTitle() const;
    std::string richFooter() const;
};

// A grid title without the bold markup "/b" (any case): " /bWarnung" -> " Warnung".
std::string CaptionWithoutMarkup(std::string title);

} // namespace gs
