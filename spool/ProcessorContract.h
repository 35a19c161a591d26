#pragma once
// The contract between the output spooler (in the module) and the output processors (separate
// programs of this project, installed beside the module), which render the spooled jobs:
//
// - A processor runs exactly when it holds its lock: an exclusive flock(2) on its lock file in the
//   spool directory, one per processor kind. It takes the lock at start (a second copy that cannot
//   get it exits at once) and keeps the file descriptor open until it ends; the system drops the
//   lock when the process dies, so a crashed processor never looks alive.
// - The spooler asks "is it running?" by trying the same lock without waiting and releasing it at
//   once (ProcessorRunning); when nobody holds it, the spooler starts the program.
// - A close request is a file of the kind's close-request name in the spool directory. The
//   spooler creates it (RequestProcessorClose); the processor looks for it between jobs, and when
//   it is idle it deletes the file and ends. A request nobody takes is deleted by the next
//   processor at start (TakeCloseRequest before its first poll).
// - The table contract is that of the spool tables (spool/SpoolTables.h): a job is work once its
//   PRIO is above 0; ISMAIL selects the PDF/mail processor; MAILTYPE "autopdf" asks it to open the
//   PDF; a finished PDF leaves a file of its file name in the spool directory's PDFX folder.
// - The module's own processors also keep each job's steps in the spool directory's job record
//   (JOBSTAND.DB, spool/SpoolJobState.h), where the spooler leaves each job's row and column counts.
//
// Both sides include this header. Nothing here raises; failures answer false.
#include <filesystem>
#include <memory>
#include <string>

namespace gs {

enum class ProcessorKind { Print, Pdf };

struct ProcessorInfo {
    const char* programName;  // the program file beside the module
    const char* lockFile;     // in the spool directory
    const char* closeRequest; // in the spool directory
};

// Print: takes PRIO 2 jobs (ISMAIL false). Pdf: takes PRIO 560 jobs (ISMAIL true).
ProcessorInfo ProcessorFor(ProcessorKind kind);

// True when a process holds the kind's lock in spoolDir.
bool ProcessorRunning(const std::filesystem::path& spoolDir, ProcessorKind kind);

// The processor's side: holds the lock for its lifetime. held() false when another process holds
// it (or the file cannot be made); the caller then exits.
class ProcessorLock {
public:
    ProcessorLock(const std::filesystem::path& spoolDir, ProcessorKind kind);
    ~ProcessorLock();
    ProcessorLock(const ProcessorLock&) = delete;
    ProcessorLock& operator=(const ProcessorLock&) = delete;
    bool held() const { return fd_ >= 0; }
    // Tries again for up to the given milliseconds when the lock is not held; true once held.
    bool Acquire(int milliseconds);

private:
    int fd_ = -1;
    std::filesystem::path file_;
};

// The spooler's side of closing: leaves the close request for the kind. False when the file
// cannot be written.
bool RequestProcessorClose(const std::filesystem::path& spoolDir, ProcessorKind kind);
// The processor's side: true when a close request was there (it is removed).
bool TakeCloseRequest(const std::filesystem::path& spoolDir, ProcessorKind kind);

// The spooler's writers' lock, SPOOLER/WRITERS.LCK: every process that writes jobs holds it
// shared while its spooler is attached. Only a process that gets it exclusively (no other writer
// is alive) may purge unfinished jobs (PRIO 0) or rebuild the tables, since an unfinished job of a
// live writer is still being written.
class SpoolWritersLock {
public:
    explicit SpoolWritersLock(const std::filesystem::path& spoolDir);
    ~SpoolWritersLock();
    SpoolWritersLock(const SpoolWritersLock&) = delete;
    SpoolWritersLock& operator=(const SpoolWritersLock&) = delete;
    // Tries to become the only writer (without waiting); true on success. Back to shared with
    // share().
    bool tryExclusive();
    void share();
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace gs
