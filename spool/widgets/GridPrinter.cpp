#include "spool/widgets/GridPrinter.h"

#include "base/Error.h"
#include "display/GridLayout.h"
#include "display/WidgetDialogs.h"
#include "spool/widgets/GridPrinterDialog.h"
#include "spool/widgets/JobReportWatch.h"
#include "spool/widgets/PdfWait.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QTableView>

namespace gs {

namespace {

// Host alignment code (0 left, 1 right, 2 centre) of a Qt alignment.
int HostAlignment(const QVariant& alignment)
{
    if (!alignment.isValid())
        return 0;
    const int a = alignment.toInt();
    if (a & Qt::AlignRight)
        return 1;
    if (a & Qt::AlignHCenter)
        return 2;
    return 0;
}

int ColumnOfField(const QAbstractItemModel* model, std::string_view field)
{
    const QString name = QString::fromUtf8(field.data(), static_cast<qsizetype>(field.size()));
    for (int c = 0; c < model->columnCount(); ++c) {
        if (model->headerData(c, Qt::Horizontal, FieldNameRole).toString().compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

GridPrintResult RunJobs(QTableView* grid, const ListDescription& list, unsigned options, GridJobsHooks hooks,
                        const GridPrinterContext& context)
{
    if (!context.spooler)
        return {GridPrintNoPrintJob, options};
    // The grid's columns as they are shown now (a layout the user picked is what gets printed),
    // over the list's rows or, without them, the grid's own cells.
    GridViewDataSet viewRows(grid);
    ListDescription job = list;
    job.grid = GridViewDescription(grid, list.grid.dataSet ? *list.grid.dataSet : viewRows);
    TExtSpooler& spooler = *context.spooler;
    hooks.PdfFollowUp = [&spooler](const std::string& pdfPath, bool wait) {
        PdfFollowUp(spooler.SpoolDirectory(), pdfPath, wait);
    };
    // A job its processor cannot output is reported here, not only in the processor's log.
    hooks.JobWritten = [&spooler](std::int64_t jobId, const std::string& pdfPath) {
        WatchJobReport(spooler.SpoolDirectory(), jobId, pdfPath);
    };
    return RunGridJobs(spooler, job, options, hooks, {context.settings, context.dialogs});
}

} // namespace

GridViewDataSet::GridViewDataSet(QTableView* grid) : grid_(grid) {}

int GridViewDataSet::RecordCount() const { return grid_->model() ? grid_->model()->rowCount() : 0; }

std::optional<std::string> GridViewDataSet::FieldText(int row, std::string_view field) const
{
    const QAbstractItemModel* model = grid_->model();
    const int column = model ? ColumnOfField(model, field) : -1;
    if (column < 0)
        return std::nullopt;
    return model->data(model->index(row, column)).toString().toStdString();
}

int GridViewDataSet::CurrentRow() const { return grid_->currentIndex().isValid() ? grid_->currentIndex().row() : 0; }

void GridViewDataSet::SetCurrentRow(int row)
{
    if (grid_->model() && row >= 0 && row < RecordCount())
        grid_->setCurrentIndex(grid_->model()->index(row, std::max(0, grid_->currentIndex().column())));
}

void GridViewDataSet::DisableControls() { grid_->setUpdatesEnabled(false); }

void GridViewDataSet::EnableControls() { grid_->setUpdatesEnabled(true); }

GridDescription GridViewDescription(QTableView* grid, GridDataSet& rows)
{
    GridDescription description;
    description.dataSet = &rows;
    const QAbstractItemModel* model = grid->model();
    if (!model)
        return description;
    const QHeaderView* header = grid->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        GridColumn column;
        column.fieldName = model->headerData(logical, Qt::Horizontal, FieldNameRole).toString().toStdString();
        QVariant title = model->headerData(logical, Qt::Horizontal, TitleMarkupRole);
        if (!title.isValid())
            title = model->headerData(logical, Qt::Horizontal, Qt::DisplayRole);
        column.title = title.toString().toStdString();
        column.width = header->isSectionHidden(logical) ? 0 : header->sectionSize(logical);
        column.titleAlignment = HostAlignment(model->headerData(logical, Qt::Horizontal, Qt::TextAlignmentRole));
        if (model->rowCount() > 0)
            column.cellAlignment = HostAlignment(model->data(model->index(0, logical), Qt::TextAlignmentRole));
        description.columns.push_back(std::move(column));
    }
    return description;
}

GridPrintResult ShowGridPrinter(ListDescription list, unsigned flags, QTableView* grid,
                                const GridPrinterContext& context)
{
    GridPrintResult result{GridPrintNoPrintJob, flags};
    if (!grid || !grid->model() || grid->model()->rowCount() == 0) {
        result.Code = GridPrintNothingToPrint;
        return result;
    }
    try {
        if (!(flags & ShowModal)) {
            GridJobsHooks noProgress;
            return RunJobs(grid, list, flags, noProgress, context);
        }
        TFGridPrinterClass dialog(grid, flags, [&](unsigned options, GridJobsHooks hooks) {
            return RunJobs(grid, list, options, std::move(hooks), context);
        });
        dialog.TextAction = [&list] { list.title = list.richTitle(); };
        if (RunModal(dialog) != QDialog::Accepted)
            return {GridPrintLeft, 0};
        return dialog.result();
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e))
            throw;
        return result;
    }
}

} // namespace gs
