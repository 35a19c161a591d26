#pragma once
// A list on paper: printed through Qt's print support on a named printer, which on Linux is a CUPS
// queue (the system's default queue when no name is given).
//
// Used by the print processor. Needs a QGuiApplication. Raises gs::Error when the printer is not
// known to the system, when no default printer exists, or when rendering or handing the job to the
// print system fails; nothing has then been printed.
#include "spool/render/ListRenderer.h"

#include <string>
#include <vector>

namespace gs {

struct PrintSettings {
    std::string printerName;  // empty: the system's default printer
    int copies = 1;
    int duplex = 0;           // 0 none, 1 horizontal (short edge), 2 vertical (long edge)
    std::string paperBin;     // paper source by name (without quotes); empty: the printer's default
};

struct PrintResult {
    RenderResult render;
    std::string printer;      // the queue that got the job
    bool binApplied = false;  // false when a bin was asked for that the printer does not offer
};

PrintResult PrintList(const ListDescription& list, const ListPrint& print, ListRowSource& rows,
                       const PrintSettings& settings);

// The paper sources CUPS reports for a queue (IPP "media-source" keywords), as the printer
// selection offers them; empty when it knows none.
std::vector<std::string> PrinterMediaSources(const std::string& printer);

// The bin names (and keywords) the printer offers as paper sources; empty when it offers none or
// is unknown.
std::vector<std::string> PrinterPaperBins(const std::string& printerName);

} // namespace gs
