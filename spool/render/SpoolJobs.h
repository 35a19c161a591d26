#pragma once
// The output processors' side of the spool tables: which finished jobs wait for a processor, a
// job's row as a list to draw (title, footer, columns, orientation) with its output settings, its
// detail rows in print order, and the removal of a done job.
//
// A job is work once its PRIO is above 0 (the spooler sets the final PRIO only after every detail
// row is committed). Jobs are taken oldest first (ascending ID). Detail rows are read in
// descending id, which is the grid's row order, since the spooler writes them last row first.
//
// Used by the PDF and the print processor. Every operation raises gs::Error (AdsError) when the
// tables cannot be read; nothing here writes the spool tables except DeleteJob and HoldJob (and the
// job record through State()).
#include "spool/SpoolStore.h"
#include "spool/render/ListJob.h"

#include "base/Error.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace gs {

// Raised by a detail row source asked to stop (the processor ends).
class JobStopped : public Error {
public:
    JobStopped() : Error("Die Ausgabe wurde zum Beenden des Ausgabemoduls abgebrochen.") {}
};

struct SpoolJob {
    std::int64_t id = 0;
    int prio = 0;
    bool isMail = false;
    bool dataGrid = false;
    std::string mailType;      // MAILTYPE: "autopdf" asks to open the PDF when done
    std::string printerName;   // PRINTERNAME: empty for the system's default printer
    std::string printerBin;    // PRINTERBIN1 without its double quotes
    int copies = 1;            // COPIES, at least 1
    int duplex = 0;            // RTPID: 0 none, 1 horizontal, 2 vertical
    std::string printName;     // PrintName
    long long idOrder = 0;     // ID_ORDER
    std::string x5;            // X5: prefix and database folder
    std::string subPath;       // SubPath: job subfolder of PDF jobs
    std::string pdfPath;       // DESTADRESS of a PDF job: the path the spooler announced (UTF-8)
    // The list: HTEXT, FTEXT (rich text, here in UTF-8), the columns h/hw/aligh/aligd (captions as
    // printed), LANDSCAPE. It has no rows of its own: DetailRows reads them.
    ListDescription list;
    // The PDF's title and the print job's name: PrintName, or "Listendruck" without one.
    std::string documentName() const { return printName.empty() ? "Listendruck" : printName; }
};

class SpoolJobs {
public:
    SpoolJobs();
    ~SpoolJobs();
    SpoolJobs(const SpoolJobs&) = delete;
    SpoolJobs& operator=(const SpoolJobs&) = delete;

    // Opens both tables in the spool directory; false (and closed) when they are not there yet.
    // Raises for tables that exist but cannot be opened.
    bool Open(const std::filesystem::path& spoolDir);
    void Close() noexcept;
    bool IsOpen() const;

    // IDs of the finished jobs with this PRIO and ISMAIL, oldest first.
    std::vector<std::int64_t> WaitingJobs(int prio, bool isMail);
    // The job row; raises when it is gone or unreadable.
    SpoolJob ReadJob(std::int64_t id);
    // The job's detail rows (d1..dn, n = number of columns) in print order. The source reads from
    // these tables and must not outlive them. stop (may be null) is asked before every row; once it
    // is true the source raises JobStopped, which ends the drawing with nothing output.
    std::unique_ptr<ListRowSource> DetailRows(std::int64_t id, int columns, const std::atomic<bool>* stop = nullptr);
    // How many detail rows the job has.
    std::int64_t DetailCount(std::int64_t id);
    // The detail rows (one statement), the job row and the job's record go, each step in its own
    // immediate transaction; raises on failure (what is removed stays removed: a done job is
    // removed again at the next attempt).
    void DeleteJob(std::int64_t id);
    // The module's record of the jobs' life (spool/SpoolJobState.h).
    SpoolJobState& State() { return store_.State(); }
    // IDs of every job row, whatever its PRIO, and the highest.
    std::vector<std::int64_t> AllJobs();
    // Holds the job back: its PRIO becomes heldPrio (spool/SpoolTables.h HeldPrio).
    void HoldJob(std::int64_t id, int heldPrio);

private:
    std::filesystem::path dir_;
    std::unique_ptr<TAdsConnection> connection_;
    std::unique_ptr<TAdsTable> spool_;
    std::unique_ptr<TAdsTable> detail_;
    SpoolStore store_; // the spooler's own removal of a job
};

} // namespace gs
