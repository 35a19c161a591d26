#pragma once
// The output spooler (the process-wide Spooler): writes print and PDF jobs of grid lists into the
// spool tables (spool/SpoolTables.h) and makes sure that the output processors that render them
// are running (spool/ProcessorContract.h). It never prints itself.
//
// Who calls it: the statistics window (AttachConnection and EnsureSpoolTables(false) once after
// connecting; Shutdown at program end), the grid print dialog and the report command (SpoolGrid).
// Everything runs on the main thread, except the launcher threads, whose reports reach the main
// thread through PostToMainThread (or, without one, the next call of ProcessLauncherReports).
//
// How it fails: SpoolGrid returns Code 0 when no job was written (spool not usable, printer
// selection cancelled, more than 15 shown columns, an error while writing); then nothing of the job
// is left in the tables, and error says why (empty for a cancel). EnsureSpoolTables shows its one
// message through the dialog seam when the spool cannot be made usable. AttachConnection, the
// layout step, Shutdown and the launchers swallow their errors.
#include "spool/ListDescription.h"
#include "spool/SpoolStore.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace gs {

class Dialogs;
class TAdsConnection;
class TAdsTable;
class TSettings;

// One output processor the spooler keeps running. Enabled false: a launch is under way.
// FirstStart true: no launch has run yet in this process.
struct TSpoolerRunItem {
    std::string ClassName; // the processor kind's name, as the host calls its window class
    std::string ExeName;   // program file beside the module
    bool Enabled = true;
    bool FirstStart = true;
};

struct TStandardTableSpoolResult {
    int Code = 0;          // copies of the written job; 0 when none was written
    std::string FilePath;  // the PDF the job will produce (also computed for print jobs)
    std::int64_t JobId = 0; // ID of the written job, 0 when none
    std::string error;     // why no job was written; empty after success or a cancel
};

// Called once per written row; true asks to stop (the job is still finished with the rows so far).
using TProgressCallback = std::function<bool()>;

inline constexpr int JobKindPrint = 0;
inline constexpr int JobKindPdf = 560;

// What one job of a list needs beside the list itself (spool/ListDescription.h).
struct SpoolJobOptions {
    int JobKind = JobKindPrint;          // 0 print, 560 PDF
    // The printer selection may be shown for a print job (the grid print dialog's choice; Shift held
    // alone asks for it too). Without it the job takes the printer of TOVIK.INI.
    bool PrinterSelection = false;
    int Copies = -1;                     // -1: COPIES/List of TOVIK.INI
    int DetailMode = 0;                  // 0 write detail rows, 1 none
    int PdfMode = 0;                     // 0 no PDF, 1 PDF, 2 PDF opened when done
    std::optional<std::string> PrintName; // none: the list's file stem for a PDF job, "Listendruck" for a print job
    TProgressCallback Progress;
    // The settings: the printer options of TOVIK.INI (printer, bin, copies, PDF folder) and the
    // database name the job names; none: the defaults and no PDF folder.
    TSettings* Settings = nullptr;
    // The dialog seam for the printer selection; none: no selection is shown.
    Dialogs* Seam = nullptr;
};

// The message when the spool cannot be made usable.
inline constexpr const char* SpoolUnusableText =
    "<B>Die Ausgabemodule müssen neu initalisiert werden.<BR></b>Ein Neustart aller geöffneten Module wird den "
    "Vorgang erfolgreich abschließen.";
inline constexpr const char* SpoolUnusableHelp = "Nicht gesendete Emails gehen bei diesem Vorgang verloren.";
// Why a list with a sixteenth shown column is refused.
inline constexpr const char* TooManyColumnsText =
    "Es können höchstens 15 Spalten gedruckt werden. Blenden Sie Spalten aus und versuchen Sie es erneut.";

// The workstation tag written to COMPUTER: user name, "-", computer name, each without blank
// \ / : ? * < > , | ' and double quote. Built once per process.
const std::string& ComputerTag();
// The same rule on given names (for tests).
std::string MakeComputerTag(const std::string& userName, const std::string& computerName);

class TExtSpooler {
public:
    // The spool directory: SPOOLER beside the program; programDir: where the processors lie.
    TExtSpooler(std::filesystem::path spoolDirectory, std::filesystem::path programDir);
    ~TExtSpooler();
    TExtSpooler(const TExtSpooler&) = delete;
    TExtSpooler& operator=(const TExtSpooler&) = delete;

    // --- fields of the current job and of other callers ---
    std::string ExtraAddresses;
    bool AfterMessage = false;
    std::string PrinterName;
    std::string BinName;
    int Duplex = 0;
    std::string CopiesCaption;
    std::string SmtpIniName;
    bool RaiseOnCheck = true;
    // The program was started with "INSTALL" first: the first EnsureSpoolTables rebuilds the tables.
    bool InstallStart = false;

    // --- what the window layer provides (defaults: no window) ---
    // True when a window of the program is active; without it (no hook) the printer selection is
    // never shown and print jobs take the printer of TOVIK.INI.
    std::function<bool()> ApplicationActive;
    // True when only Shift is held (no Ctrl, no Alt).
    std::function<bool()> ShiftOnlyHeld;
    // Runs a function on the main thread later (the launcher threads' reports).
    std::function<void(std::function<void()>)> PostToMainThread;
    // Shows (true) or ends (false) the wait cursor while tables are checked and jobs written.
    std::function<void(bool)> ShowWait;
    // Starts a processor program; default: a detached process of the program file.
    std::function<bool(const std::filesystem::path& program)> LaunchProgram;

    const std::filesystem::path& SpoolDirectory() const { return spoolDir_; }
    bool Ready() const { return ready_; }
    const std::vector<TSpoolerRunItem>& RunItems() const { return runItems_; }

    // Puts the settings table (setup.adt, index IDENT) on the host connection. Errors swallowed:
    // the table then stays closed and jobs get empty layouts.
    void AttachConnection(TAdsConnection& connection);
    // Makes the two tables usable (Ready); then starts the processors. Never raises.
    void EnsureSpoolTables(bool startMailProcessor);
    // One job of the list: its job row, one detail row per list row (last row first), then its final
    // PRIO. Code 0 when no job was written; nothing of it is left then.
    TStandardTableSpoolResult SpoolGrid(const ListDescription& list, const SpoolJobOptions& options);
    void StartOutputProcessors(bool startMailProcessor);
    // The host closes a preview window of another program here; no such window exists on this
    // platform, so there is nothing to close. Kept so the call order stays the host's.
    void ClosePreviewWindow() {}
    // Program end: purges unfinished jobs, asks an idle print processor to close and, when this is
    // the last program writing to the spool, an idle PDF processor too; waits for the launchers,
    // closes the tables. Never raises; safe to call twice.
    void Shutdown();
    // Runs the launcher reports that are waiting (when no PostToMainThread is set).
    void ProcessLauncherReports();

    // The job rows' store (tests, tools).
    SpoolStore& Store() { return store_; }

    // The PDF path of a job and its side effects: PreparePdfDirectory before the job row is written
    // (the PDF folder asked for when none is set, the job's directory created; jobName: the job
    // subfolder, cleaned, given back in subPath; raises when the database folder cannot be a
    // folder name), PdfFileOfJob once the job's ID is known (the name of this job, with a counter
    // when a file of that name is there; the marker of the same name in PDFX removed).
    // BuildPdfPath does both.
    std::string PreparePdfDirectory(const SpoolJobOptions& options, const std::string& jobName, const std::string& x5,
                                    std::string& subPath);
    std::string PdfFileOfJob(const std::string& directory, const std::string& printName, long long idOrder,
                             std::int64_t jobId);
    std::string BuildPdfPath(const SpoolJobOptions& options, const std::string& jobName, const std::string& printName,
                             long long idOrder, const std::string& x5, std::string& subPath, std::int64_t jobId);

private:
    bool openTables(bool firstCall);
    bool purgeIfAlone(); // true when no other writer has the spool open
    void compactIfLarge(std::int64_t probedSize);
    bool setDestination(const SpoolJobOptions& options, int& copies, SpoolFields& row);
    void storeReportLayout(SpoolFields& row);
    void launch(size_t item);
    void report(std::function<void()> fn);
    void joinLaunchers() noexcept;

    std::filesystem::path spoolDir_;
    std::filesystem::path programDir_;
    SpoolStore store_;
    std::unique_ptr<TAdsTable> setupTable_;
    std::unique_ptr<class SpoolWritersLock> writersLock_;
    bool ready_ = false;
    bool installMarkUsed_ = false;
    bool rebuildRequested_ = false;
    bool shutDown_ = false;
    std::vector<TSpoolerRunItem> runItems_;
    std::vector<std::thread> launchers_;
    std::atomic<bool> stopLaunchers_{false};
    std::mutex reportsMutex_;
    std::vector<std::function<void()>> reports_;
};


} // namespace gs
