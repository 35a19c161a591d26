#pragma once
// The output processors: programs beside the module that take finished list jobs from the spool
// tables and render them, so that a spooled job becomes paper or a PDF file.
//
// - PDF processor (ProcessorKind::Pdf): jobs with PRIO 560 and ISMAIL true. Renders the list as
//   PDF/A-1b to the path the spooler announced and stored in the job (PdfTargetOfJob; a job
//   without one under PDF/BackupDir of TOVIK.INI beside the program), creating the folders below
//   the PDF folder; a job whose values would lead outside it is refused and held back at once; leaves the marker of that file name in the
//   spool's PDFX folder; opens the PDF with the desktop's opener when MAILTYPE is "autopdf".
// - Print processor (ProcessorKind::Print): jobs with PRIO 2 and ISMAIL false. Prints the list on
//   PRINTERNAME (the system's default when empty) with COPIES, duplex from RTPID, landscape, and the
//   paper source PRINTERBIN1 when the printer offers it.
// Mail and fax jobs (PRIO 5) and every other kind are never touched.
//
// Exactly once: each step of a job is recorded in the spool's job record (spool/SpoolJobState.h)
// before the next begins: taken (with a token of the attempt and the target), done, removed. A
// processor that starts and finds a job
//   - done: only removes it;
//   - taken for a PDF: when the target file is complete and carries the attempt's token in its
//     metadata, leaves the marker and removes the job; otherwise removes the attempt's temporary
//     files and draws the job anew;
//   - taken for a print: asks CUPS for a job of this user on the queue with the job's title and a
//     number above the highest one before the attempt; found, the job counts as printed and is
//     removed, never printed again; when CUPS cannot be asked, the job waits.
// A job whose record names more rows or other columns than the spool holds, or that has no
// columns, is refused (kept, logged with the counts).
//
// A job that cannot be rendered (unknown printer, unreadable rows, disk full, no PDF directory) is
// never removed: it stays in the table, the reason is appended with the job's ID to the
// processor's log file in the spool directory and left as the job's report for the window
// (SPOOLER/MELDUNG/<ID>.TXT), and the job is tried again after a pause that doubles with each
// failure (up to a limit). After maxAttempts failures it is held back (its PRIO negated) until the
// spooler writes the next job of its kind. Other jobs are not held up by it. Causes the system
// reports (a full disk, a permission, a missing folder) are named in German with its own text;
// spool tables that cannot be used are logged with the cause and count as work waiting.
//
// Run() holds the processor's lock of the spool contract (spool/ProcessorContract.h) while it runs:
// a second start returns at once. It polls for work with a sleep between polls, and ends when it is
// idle and the spooler asked it to close, or after the idle time by itself.
//
// Needs a QGuiApplication (fonts, print support). Nothing here raises: failures end in the log.
#include "spool/render/ListJob.h"
#include "spool/ProcessorContract.h"
#include "base/Error.h"
#include "spool/SpoolJobState.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace gs {

class SpoolJobs;
struct SpoolJob;

struct ProcessorOptions {
    ProcessorKind kind = ProcessorKind::Pdf;
    std::filesystem::path spoolDir;       // SPOOLER beside the module
    std::filesystem::path programDir;     // the module's directory (TOVIK.INI)
    std::string opener = "xdg-open";      // opens an "autopdf" PDF; empty: never open
    std::chrono::milliseconds poll{1000};
    std::chrono::milliseconds idleClose{std::chrono::minutes(10)};
    std::chrono::milliseconds firstRetry{std::chrono::seconds(5)};
    std::chrono::milliseconds maxRetry{std::chrono::minutes(5)};
    // Failed attempts after which a job is held back (PRIO negated) until the next job of its kind
    // is spooled; 0: tried again for ever.
    int maxAttempts = 5;
    // Set (by a signal) to end the processor: the job being drawn is abandoned whole within a
    // moment (kept for the next start), one whose output is done is still removed. May be null.
    const std::atomic<bool>* stop = nullptr;
};

// The processor's log file in the spool directory ("PDFPROC.LOG", "PRINTPROC.LOG").
std::filesystem::path ProcessorLogFile(const std::filesystem::path& spoolDir, ProcessorKind kind);

// The pause after the given number of failed attempts (1, 2, ...): first, doubled per further
// failure, at most max.
std::chrono::milliseconds RetryPause(int attempts, std::chrono::milliseconds first, std::chrono::milliseconds max);

// A job that can never be output as it is (a path that leaves the PDF folder): held back at once.
class JobRefused : public Error {
public:
    using Error::Error;
};

enum class TProcessorEnd {
    AlreadyRunning,   // another process holds the lock
    CloseRequested,   // idle and asked to close
    IdleTimeout,      // idle for the idle time
    Stopped           // the stop callback asked to end
};

class OutputProcessor {
public:
    explicit OutputProcessor(ProcessorOptions options);
    ~OutputProcessor();
    OutputProcessor(const OutputProcessor&) = delete;
    OutputProcessor& operator=(const OutputProcessor&) = delete;

    // Takes every waiting job whose turn has come (not in its retry pause), oldest first. Returns
    // the number of jobs done (rendered and removed).
    int ProcessDueJobs();
    // True when a job of this processor's kind waits (also one in its retry pause).
    bool WorkWaiting();
    // The processor's life: lock, stale close request removed, poll until closed. stop is asked
    // between polls (tests, signals).
    TProcessorEnd Run(const std::function<bool()>& stop = {});

    // What a start leaves in order, with the lock held (spool/render/ProcessorUpkeep.h): the PDF
    // processor's temporary PDFs of a killed run removed, the print processor's temporary folder
    // made and emptied. Run does it; a caller that takes the lock itself calls it once.
    void StartUp();
    // True while the spool tables are there but cannot be used (the cause is in the log).
    bool SpoolUnusable() const { return !lastOpenError_.empty(); }

    const ProcessorOptions& options() const { return options_; }
    // Failed attempts of a job so far (0 when it never failed or is done).
    int FailedAttempts(std::int64_t id) const;

private:
    struct Retry {
        int attempts = 0;
        std::chrono::steady_clock::time_point next;
    };
    bool ensureOpen();
    bool stopping() const;
    bool handle(std::int64_t id); // true when done and removed
    bool finish(std::int64_t id); // removes a done job; true when removed
    void checkComplete(const SpoolJob& job, const JobState* state);
    bool recoverPdf(const SpoolJob& job, const JobState& state);
    bool recoverPrint(const SpoolJob& job, const JobState& state);
    void leaveMarker(const std::filesystem::path& file);
    void tidyOnFirstOpen();
    void renderPdf(SpoolJob& job, const ListPrint& print);
    std::filesystem::path pdfBase() const; // PDF/BackupDir of TOVIK.INI
    void renderPrint(SpoolJob& job, const ListPrint& print);
    void log(const std::string& line);
    void failed(std::int64_t id, const std::string& reason);
    // SPOOLER/MELDUNG/<id><suffix> for the window (spool/SpoolTables.h).
    void report(std::int64_t id, const std::string& reason, const char* suffix);
    void openPdf(const std::filesystem::path& file);

    ProcessorOptions options_;
    std::unique_ptr<SpoolJobs> jobs_;
    std::map<std::int64_t, Retry> retries_;
    std::string lastOpenError_;
    bool tidiedUp_ = false;
};

} // namespace gs
