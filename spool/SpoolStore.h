#pragma once
// The spooler's access to its two tables: everything the job protocol, the purge and the shutdown
// do with SPOOL.ADT and DET.ADT goes through here, so that the rest of the spooler speaks of jobs
// and rows, not of datasets.
//
// A job becomes visible to a processor only complete: the job row is posted with PRIO 0, its
// detail rows are written in one transaction, and only after that commit the final PRIO is set.
// A crash in between leaves a PRIO 0 job, which PurgeUnfinished removes.
//
// Every write waits for other programs' writes (immediate transactions, the busy time-out, a few
// more attempts), so that a spooler, another spooler and the processors can work at once.
//
// Every operation raises gs::Error (AdsError) on failure, except where it says otherwise.
#include "db/AdsConnection.h"
#include "db/AdsTable.h"
#include "spool/SpoolJobState.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace gs {

// A value for one field of a job row: text (CHAR and MEMO), integer, logical, or the exact bytes
// of a BINARY field.
struct SpoolBytes {
    std::string bytes;
};
using SpoolValue = std::variant<std::string, std::int64_t, bool, SpoolBytes>;
using SpoolFields = std::vector<std::pair<std::string, SpoolValue>>;

// Every program that writes the spool waits this long for another's write lock before a write is
// refused, and tries a refused write this often in all.
inline constexpr int SpoolBusyTimeoutMs = 5000;
inline constexpr int SpoolWriteAttempts = 3;
// True for SQLite's result codes of a write refused because another program writes (AdsError's
// EngineCode()).
bool SpoolBusy(int engineCode);

class SpoolStore {
public:
    SpoolStore();
    ~SpoolStore();
    SpoolStore(const SpoolStore&) = delete;
    SpoolStore& operator=(const SpoolStore&) = delete;

    // Connects to dir and opens both tables (SPOOL on index ID, DET on IDMAIN).
    void Open(const std::filesystem::path& dir);
    // Closes the tables and the connection; never raises.
    void Close() noexcept;
    bool IsOpen() const;

    // Posts a new job row with the fields and PRIO 0; returns its ID.
    std::int64_t InsertJob(const SpoolFields& fields);
    // Changes fields of the job row (the final PRIO among them).
    void UpdateJob(std::int64_t id, const SpoolFields& fields);
    // Removes the job's detail rows (one statement), then the job row, each in one immediate
    // transaction that waits for other writers; raises AdsError (nothing more removed) on failure.
    void DeleteJob(std::int64_t id);

    // Detail rows of one job: Begin, Add per row, then Commit (all rows at once) or Rollback.
    void BeginDetails(std::int64_t jobId);
    // cells[k] goes to d(k+1); ds the line text.
    void AddDetail(const std::vector<std::string>& cells, const std::string& ds);
    void CommitDetails();
    void RollbackDetails() noexcept;

    // The job's row and column counts in the module's record beside the tables
    // (spool/SpoolJobState.h), written before the job gets its final PRIO.
    void RecordCounts(std::int64_t id, std::int64_t rows, int columns);
    // That record (JOBSTAND.DB), opened with the tables.
    SpoolJobState& State() { return state_; }

    // Deletes every job at PRIO 0 with its detail rows; returns how many.
    int PurgeUnfinished();
    // Rows whose PRIO is above 0 and whose ISMAIL is as given.
    int WaitingJobs(bool mail);
    // Sets every job held back after failed attempts (PRIO -prio) to prio again, so that its
    // processor tries it anew; returns how many.
    int ReleaseHeldJobs(int prio);

    // The job row's fields, for tests and tools: its text of each field.
    std::string JobFieldText(std::int64_t id, const std::string& field);

private:
    std::vector<std::int64_t> jobsWithPrio(int prio); // IDs of the jobs with this PRIO
    bool findJob(std::int64_t id);
    void setField(TAdsTable& table, const std::string& name, const SpoolValue& value);

    TAdsConnection connection_;
    SpoolJobState state_;
    TAdsTable spool_;
    TAdsTable detail_;
    std::int64_t detailJob_ = 0;
    std::vector<Field*> detailCells_; // d1 ... d15
    Field* detailText_ = nullptr;
    Field* detailMain_ = nullptr;
};

} // namespace gs
