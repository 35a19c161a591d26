#pragma once
// A list on paper: drawn into a print file (PDF) and handed to a CUPS queue (the system's default
// queue when no name is given), which returns the job's number. The print file is made in the folder
// the caller names (the spool folder), never in the system's temporary folder, and removed once CUPS
// has it or the drawing failed; a file left by a killed process is the processor's to remove.
//
// The job goes to CUPS only complete: a row source that raises (also to stop) ends the drawing and
// nothing is sent.
//
// Used by the print processor. Needs a QGuiApplication. Raises gs::Error when the printer is not
// known to the system, when no default printer exists, or when rendering or handing the job to the
// print system fails; nothing has then been printed.
#include "spool/render/ListRenderer.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace gs {

struct PrintSettings {
    std::string printerName;  // empty: the system's default printer
    int copies = 1;
    int duplex = 0;           // 0 none, 1 horizontal (short edge), 2 vertical (long edge)
    std::string paperBin;     // paper source by name (without quotes); empty: the printer's default
    std::filesystem::path printFile; // where the print file is drawn (removed again); empty: beside the program
};

struct PrintResult {
    RenderResult render;
    std::string printer;      // the queue that got the job
    bool binApplied = false;  // false when a bin was asked for that the printer does not offer
    std::int64_t cupsJob = 0; // the job number CUPS gave
};

// The queue a print on printerName goes to: the name itself, or the system's default queue; raises
// like PrintList when there is none.
std::string PrintQueue(const std::string& printerName);

// The highest job number CUPS knows of this user's jobs (any queue, any state), 0 when none.
// Raises gs::Error when CUPS cannot be asked.
std::int64_t HighestCupsJob();
// The number of a job of this user on the queue with the title and a number above after (the
// newest such), 0 when there is none. Raises gs::Error when CUPS cannot be asked.
std::int64_t FindCupsJob(const std::string& queue, const std::string& title, std::int64_t after);

PrintResult PrintList(const ListDescription& list, const ListPrint& print, ListRowSource& rows,
                       const PrintSettings& settings);

// The paper sources CUPS reports for a queue (IPP "media-source" keywords), as the printer
// selection offers them; empty when it knows none.
std::vector<std::string> PrinterMediaSources(const std::string& printer);

// The bin names (and keywords) the printer offers as paper sources; empty when it offers none or
// is unknown.
std::vector<std::string> PrinterPaperBins(const std::string& printerName);

} // namespace gs
