#pragma once
// The document list KM as a list the outputs read: its rows as a grid's row source with the texts
// the list shows, its columns as the grid shows them, and the one description of the statistics
// list (spool/ListDescription.h) that the window's print, the report command's --spool and --pdf
// and the CSV export all start from. Plain data without Qt; never fails.
#include "app/ResultTables.h"
#include "app/StatisticsRun.h"
#include "base/Dates.h"
#include "spool/ListDescription.h"

#include <optional>
#include <string>
#include <string_view>

namespace gs {

// The rows of KM, each field's text as the list shows it.
class KmGridDataSet : public GridDataSet {
public:
    explicit KmGridDataSet(const ResultTables& tables) : tables_(tables) {}
    int RecordCount() const override { return static_cast<int>(tables_.KM.size()); }
    std::optional<std::string> FieldText(int row, std::string_view field) const override;
    const ResultTables& tables() const { return tables_; }

private:
    const ResultTables& tables_;
};

// The columns of the document list as the grid shows them by default (widths, alignments), over rows;
// a column hidden by default (the margin) is left out.
GridDescription ResultListGrid(GridDataSet& rows);

// "1 Dokument", "7 Dokumente": the one word every output uses for the documents counted.
std::string DocumentCountText(int documents);

// The totals row's value under a list column: the three sums under their amounts, the number of
// documents under the customer; nullopt under the other columns. The workbook's totals row and the
// report's CSV both take it from here.
std::optional<XlsxCell> ListTotalCell(std::string_view field, const RunTotals& totals);

// The list print's title: "Gewinne, erstellt " + date and time.
std::string ListPrintTitle(TDateTime now);

// The statistics list: name "GEWINN", the title of ListPrintTitle with the period's range text
// ("Bereich: 01.10.2026-31.12.2026") on a second line when there is one, the totals line as footer,
// the file stem "GEWINN-" + date and time + "-", cell mode 2, landscape, the list's columns over rows.
// Over KM's rows (KmGridDataSet) its workbook has the order number as a number, the date as a day,
// the amounts as euros, and a totals row with the number of documents and the three sums; the range
// is the workbook's subject.
ListDescription ProfitListDescription(GridDataSet& rows, const std::string& totalsText, TDateTime now,
                                      const std::string& rangeText = {});

} // namespace gs
