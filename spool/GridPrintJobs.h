#pragma once
// The jobs of the grid print dialog, without the window: a print job and a PDF job through the
// spooler (spool/ExtSpooler.h SpoolGrid) and a CSV export (spool/CsvExport.h), as chosen by the job
// options. The dialog (spool/widgets/GridPrinterDialog.h) computes the options from its check boxes
// and shows progress; a caller without dialog passes the options itself.
//
// How it fails: never raises for ordinary errors. A job that fails leaves nothing in the spool (the
// spooler removes it), its reason is shown in the message box, and the next kind of output still runs; Code tells the caller what happened
// to the print job: -300 nothing to print, -200 no print job written, otherwise its copies.
#include "spool/CsvExport.h"
#include "spool/ExtSpooler.h"
#include "spool/ListDescription.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace gs {

class Dialogs;
class TSettings;

// Flags of the caller (bits not listed are ignored).
enum GridPrintFlag : unsigned {
    HideLayouts = 0x0001,
    ShowModal = 0x0040,
    KeepChosenColumns = 0x0080,
    NeverWaitForPdf = 0x0100,
    WholeColumnRange = 0x0200,
    HidePrint = 0x1000,
    HidePdf = 0x2000,
    HideCsv = 0x4000,
    HideText = 0x8000,
};

// Job options, as set by "&Weiter (F3)" or given by a caller without dialog.
enum GridJobOption : unsigned {
    JobPrint = 0x0002,
    JobPdf = 0x0004,
    JobPdfOpen = 0x0008,
    JobPrinterSelection = 0x0010,
    JobPdfWait = 0x0020,
    JobWholeColumnRange = 0x0200,
    JobCsv = 0x0400,
    JobCsvOpen = 0x0800,
};

inline constexpr int GridPrintNothingToPrint = -300;
inline constexpr int GridPrintLeft = -1;
inline constexpr int GridPrintNoPrintJob = -200;

struct GridPrintResult {
    int Code = GridPrintNoPrintJob;
    unsigned Options = 0;
};

// The user's choice: the check boxes that are shown and checked.
struct GridPrintChoice {
    bool print = false, pdf = false, pdfOpen = false, csv = false, csvOpen = false;
};
// The job options a choice gives ("&Weiter (F3)"): print is an assignment that drops a kept whole
// column range; a PDF waits unless it is opened or the caller's flags say never to wait.
unsigned JobOptionsOf(const GridPrintChoice& choice, unsigned callerFlags);

// What the window side adds: the progress after every row (true stops), the end of one kind of
// output (the bar moves to its end), and the follow-up of a written PDF (clipboard, wait window).
struct GridJobsHooks {
    std::function<bool()> Progress;
    std::function<void()> OutputDone;
    std::function<void(const std::string& pdfPath, bool wait)> PdfFollowUp;
    // A job was written with this ID: a print job (pdfPath empty) or a PDF job (the file it makes).
    std::function<void(std::int64_t jobId, const std::string& pdfPath)> JobWritten;
};

// Where the jobs take their printer options, PDF folder and database name from (settings, may be
// null: the defaults) and through which they ask (the printer selection, the CSV file, messages).
struct GridJobsContext {
    TSettings* settings = nullptr;
    Dialogs* dialogs = nullptr;
};

GridPrintResult RunGridJobs(TExtSpooler& spooler, const ListDescription& list, unsigned options,
                            const GridJobsHooks& hooks, const GridJobsContext& context);

} // namespace gs
