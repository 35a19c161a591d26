#include "spool/GridPrintJobs.h"

#include "base/Dialogs.h"
#include "base/Error.h"
#include "settings/PrinterDef.h"
#include "settings/Settings.h"

#include <algorithm>

namespace gs {

unsigned JobOptionsOf(const GridPrintChoice& choice, unsigned callerFlags)
{
    unsigned options = (callerFlags & WholeColumnRange) != 0 ? static_cast<unsigned>(JobWholeColumnRange) : 0u;
    if (choice.print)
        options = JobPrint | JobPrinterSelection;
    if (choice.pdf)
        options |= JobPdf | JobPdfWait;
    if (choice.pdfOpen)
        options = (options | JobPdfOpen) & ~unsigned(JobPdfWait);
    if (callerFlags & NeverWaitForPdf)
        options &= ~unsigned(JobPdfWait);
    if (choice.csv)
        options |= choice.csvOpen ? (JobCsv | JobCsvOpen) : JobCsv;
    return options;
}

GridPrintResult RunGridJobs(TExtSpooler& spooler, const ListDescription& list, unsigned options,
                            const GridJobsHooks& hooks, const GridJobsContext& context)
{
    GridPrintResult result{GridPrintNoPrintJob, options};
    const GridDataSet* rows = list.grid.dataSet;
    if (!rows || !rows->Active() || rows->RecordCount() == 0)
        return result;
    auto outputDone = [&hooks] {
        if (hooks.OutputDone)
            hooks.OutputDone();
    };
    // A job that was not written says why (a cancelled printer choice has nothing to say); the
    // next kind of output still runs.
    auto tellWhyNotWritten = [&context](const TStandardTableSpoolResult& written) {
        if (written.Code == 0 && !written.error.empty() && context.dialogs)
            context.dialogs->showMessage(written.error, {}, {});
    };
    try {
        // The whole column range when the caller asks for it; the list's own otherwise.
        ListDescription job = list;
        job.wholeColumnRange = (options & JobWholeColumnRange) != 0;
        auto jobOptions = [&](int jobKind) {
            SpoolJobOptions o;
            o.JobKind = jobKind;
            o.Progress = hooks.Progress;
            o.Settings = context.settings;
            o.Seam = context.dialogs;
            return o;
        };

        if (options & JobPrint) {
            SpoolJobOptions o = jobOptions(JobKindPrint);
            o.PrinterSelection = (options & JobPrinterSelection) != 0;
            const TStandardTableSpoolResult written = spooler.SpoolGrid(job, o);
            result.Code = written.Code;
            if (written.JobId != 0 && hooks.JobWritten)
                hooks.JobWritten(written.JobId, {});
            tellWhyNotWritten(written);
            outputDone();
        }
        if ((options & JobPdf) && context.settings && EnsurePdfDirectory(*context.settings)) {
            SpoolJobOptions o = jobOptions(JobKindPdf);
            o.PdfMode = options & JobPdfOpen ? 2 : 1;
            const TStandardTableSpoolResult written = spooler.SpoolGrid(job, o);
            tellWhyNotWritten(written);
            outputDone();
            if (written.JobId != 0 && hooks.JobWritten)
                hooks.JobWritten(written.JobId, written.FilePath);
            if (written.Code != 0 && !written.FilePath.empty() && hooks.PdfFollowUp)
                hooks.PdfFollowUp(written.FilePath, (options & JobPdfWait) != 0);
        }
        if (options & JobCsv) {
            CsvExportOptions csv;
            csv.Progress = hooks.Progress;
            csv.SecondCurrencySymbol = SecondCurrencySymbolOf(context.settings);
            csv.Settings = context.settings;
            try {
                TExportCSVTableClassA exporter(job, csv, (options & JobCsvOpen) != 0, context.dialogs);
            } catch (const std::exception& e) {
                if (!isOrdinaryError(e))
                    throw;
            }
            outputDone();
        }
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e))
            throw;
        // A failure ends the run; the print job's result stays as it was.
    }
    return result;
}

} // namespace gs
