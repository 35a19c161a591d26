#pragma once
// ShowGridPrinter: prints, turns into a PDF or exports the rows of a grid on screen. With the flag
// ShowModal the dialog "Liste drucken/exportieren" lets the user choose (spool/widgets/
// GridPrinterDialog.h); without it the jobs the flags name run at once. The grid's model gives each
// column's field name (FieldNameRole) and title with markup (TitleMarkupRole) in its header, and the
// cell texts as the grid shows them; the columns are taken in shown order when the jobs run, so a
// layout the user picked is what gets printed.
//
// How it fails: never raises for ordinary errors; the result says what happened to the print job
// (spool/GridPrintJobs.h).
#include "spool/GridPrintJobs.h"

class QAbstractItemModel;
class QTableView;

namespace gs {

// The rows of a grid's model as the spooler and the CSV export read them: a field's text is the
// display text of the column with that field name; the current row is the grid's.
class GridViewDataSet : public GridDataSet {
public:
    explicit GridViewDataSet(QTableView* grid);
    int RecordCount() const override;
    std::optional<std::string> FieldText(int row, std::string_view field) const override;
    int CurrentRow() const override;
    void SetCurrentRow(int row) override;
    void DisableControls() override;
    void EnableControls() override;

private:
    QTableView* grid_;
};

// The grid's columns in shown order (hidden ones with width 0), with their titles and alignments.
GridDescription GridViewDescription(QTableView* grid, GridDataSet& rows);

// What the jobs of the dialog use: the spooler (none: no print or PDF job is written), the settings
// (printer options, PDF folder, database name) and the dialog seam.
struct GridPrinterContext {
    TExtSpooler* spooler = nullptr;
    TSettings* settings = nullptr;
    Dialogs* dialogs = nullptr;
};

// The list's columns are replaced by the grid's shown columns when the jobs run; its rows
// (list.grid.dataSet) are the data behind the grid when the caller has them (the cell texts then
// come from it by field name), otherwise the grid's display texts are printed. flags: the caller's
// flags (GridPrintFlag).
GridPrintResult ShowGridPrinter(ListDescription list, unsigned flags, QTableView* grid,
                                const GridPrinterContext& context);

} // namespace gs
