#include "spool/GridPrintJobs.h"

#include "base/Cp1252.h"
#include "base/Dialogs.h"
#include "base/Error.h"
#include "base/Runtime.h"
#include "settings/PrinterDef.h"
#include "settings/Settings.h"
#include "spool/TextToRtf.h"

#include <algorithm>

namespace gs {

namespace {

// The line callback of a spooled line: element 0 of the caller's list, asked for the row (number 0).
TLineCallback SpoolLineCallback(const std::vector<CsvLineCallback>& callbacks)
{
    if (callbacks.empty() || !callbacks[0])
        return {};
    const CsvLineCallback callback = callbacks[0];
    return [callback](const TGridRecord& record, int number, std::string& text) { callback(&record, number, text); };
}

// The printer-dialog option of TOVIK.INI set for one job and put back on every path.
class UsePrinterDialogFor {
public:
    UsePrinterDialogFor(TUserPrinterDef* def, bool value) : def_(def)
    {
        if (def_) {
            saved_ = def_->UsePrinterDialog;
            def_->UsePrinterDialog = value;
        }
    }
    ~UsePrinterDialogFor()
    {
        if (def_)
            def_->UsePrinterDialog = saved_;
    }
    UsePrinterDialogFor(const UsePrinterDialogFor&) = delete;
    UsePrinterDialogFor& operator=(const UsePrinterDialogFor&) = delete;

private:
    TUserPrinterDef* def_;
    bool saved_ = false;
};

} // namespace

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

GridPrintResult RunGridJobs(TExtSpooler& spooler, GridJobsRequest& request, unsigned options,
                            const GridJobsHooks& hooks)
{
    GridPrintResult result{GridPrintNoPrintJob, options};
    const TGridDescription* grid = request.Grid;
    if (!grid || !grid->dataSet || !grid->dataSet->Active() || grid->dataSet->RecordCount() == 0)
        return result;
    auto outputDone = [&hooks] {
        if (hooks.OutputDone)
            hooks.OutputDone();
    };
    // A job that was not written says why (a cancelled printer choice has nothing to say); the
    // next kind of output still runs.
    auto tellWhyNotWritten = [](const TStandardTableSpoolResult& written) {
        if (written.Code == 0 && !written.error.empty())
            ShowMessageBox(written.error);
    };
    try {
        // The column range of a list: from the second column to the last shown one, unless the
        // caller asks for the whole range.
        const bool wholeRange = options & JobWholeColumnRange;
        const int leftStart = wholeRange ? 0 : 2;
        const int rightEnd = wholeRange ? 0 : std::max(3, grid->shownColumnCount());
        if (!IsRtfText(request.Title))
            request.Title = TextToRtf(request.Title);
        if (!IsRtfText(request.TotalsText))
            request.TotalsText = TextToRtf(request.TotalsText);

        auto spoolRequest = [&](int jobKind) {
            TSpoolGridRequest job;
            job.Grid = grid;
            job.LeftStart = leftStart;
            job.CellTextProvider = request.CellTextProvider;
            job.CurrentRecordOnly = request.CurrentRecordOnly;
            job.JobKind = jobKind;
            job.Progress = hooks.Progress;
            job.FooterCallback = request.FooterCallback;
            job.Landscape = true;
            job.CellMode = request.CellMode;
            job.Footer = Utf8ToCp1252(request.TotalsText);
            job.Header = Utf8ToCp1252(request.Title);
            job.LineCallback = SpoolLineCallback(request.LineCallbacks);
            job.RightEnd = rightEnd;
            return job;
        };
        Runtime* runtime = Runtime::currentOrNull();
        TSettings* settings = runtime ? runtime->settings.get() : nullptr;

        if (options & JobPrint) {
            const UsePrinterDialogFor printerDialog(settings ? &settings->PrinterDef : nullptr,
                                                    (options & JobPrinterSelection) != 0);
            TSpoolGridRequest job = spoolRequest(JobKindPrint);
            const TStandardTableSpoolResult written = spooler.SpoolGrid(job);
            result.Code = written.Code;
            tellWhyNotWritten(written);
            outputDone();
        }
        if ((options & JobPdf) && settings && EnsurePdfDirectory(*settings)) {
            TSpoolGridRequest job = spoolRequest(JobKindPdf);
            job.PdfMode = options & JobPdfOpen ? 2 : 1;
            job.PrintName = request.FileStem;
            spooler.JobName = request.Name;
            const TStandardTableSpoolResult written = spooler.SpoolGrid(job);
            tellWhyNotWritten(written);
            outputDone();
            if (written.Code != 0 && !written.FilePath.empty() && hooks.PdfFollowUp)
                hooks.PdfFollowUp(written.FilePath, (options & JobPdfWait) != 0);
        }
        if (options & JobCsv) {
            CsvExportRequest csv;
            csv.Grid = grid;
            csv.CellMode = request.CellMode;
            csv.CellTextProvider = request.CellTextProvider;
            csv.LineCallbacks = request.LineCallbacks;
            csv.Progress = hooks.Progress;
            try {
                TExportCSVTableClassA exporter(csv, request.CsvFileName, (options & JobCsvOpen) != 0);
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
