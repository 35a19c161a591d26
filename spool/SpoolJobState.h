#pragma once
// The module's own record of its jobs' life, beside the spool tables: SPOOLER/JOBSTAND.DB, one SQLite
// table "jobstand" with one row per job of SPOOL.ADT. The spool tables keep exactly the layout the
// host's programs rely on, and that layout has no room for a job's state or its row count, so this
// state lives here:
//
//   - the spooler records a job's row and column counts before it gives the job its final PRIO;
//   - a processor records each step in one statement: taken (with a token unique to this attempt,
//     the target it writes to, and for a print job the highest CUPS job number before it sends),
//     done (with the CUPS job number for a print job); the row goes with the job's removal.
//
// A processor killed at any moment finds its step here at the next start and neither loses the job
// nor outputs it twice (spool/render/OutputProcessor.h). A job without a row here (written by
// another program, or before this record existed) is output as it is.
//
// Several programs use the file at once: every write takes the write lock at once (BEGIN IMMEDIATE)
// and waits for other writers within the busy time-out, and a write still refused after it is tried
// again a few times. Operations raise gs::Error naming the file and SQLite's cause.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace gs {

inline constexpr const char* JobStateFileName = "JOBSTAND.DB";

enum class JobStep { Waiting = 0, Taken = 1, Done = 2 };

struct JobState {
    std::int64_t id = 0;
    std::optional<std::int64_t> rows;    // detail rows the spooler wrote
    std::optional<int> columns;          // printed columns of the job row
    JobStep step = JobStep::Waiting;
    std::string token;                   // this attempt's mark (in the PDF's metadata)
    std::string target;                  // the PDF file, or the print queue
    std::int64_t cupsBefore = 0;         // the highest CUPS job number of this user before sending
    std::int64_t cupsJob = 0;            // the CUPS job number once CUPS accepted the job
};

class SpoolJobState {
public:
    SpoolJobState() = default;
    ~SpoolJobState();
    SpoolJobState(const SpoolJobState&) = delete;
    SpoolJobState& operator=(const SpoolJobState&) = delete;

    // Opens (and creates) JOBSTAND.DB in the spool directory.
    void Open(const std::filesystem::path& spoolDir);
    void Close() noexcept;
    bool IsOpen() const { return db_ != nullptr; }

    // The spooler: a new job's counts; an older row of the same number (tables rebuilt) is replaced.
    void RecordCounts(std::int64_t id, std::int64_t rows, int columns);
    // The job's row; none when there is none.
    std::optional<JobState> Get(std::int64_t id);
    // Taken by a processor: a fresh token, the target, the CUPS number before sending (0 for PDF).
    void Take(std::int64_t id, const std::string& token, const std::string& target, std::int64_t cupsBefore);
    // Output done (cupsJob: the CUPS job number, 0 for a PDF).
    void Done(std::int64_t id, std::int64_t cupsJob);
    // The job is gone from the spool: its row goes too.
    void Forget(std::int64_t id);
    // Rows of jobs that are no longer in the spool: every row whose number is not in present and not
    // above highest (a job written after the caller looked has a higher number). Returns how many.
    int ForgetMissing(const std::vector<std::int64_t>& present, std::int64_t highest);

private:
    void exec(const std::string& sql, const std::vector<std::int64_t>& ints, const std::vector<std::string>& texts);
    std::vector<JobState> select(const std::string& where, std::int64_t id);

    sqlite3* db_ = nullptr;
    std::filesystem::path file_;
};

// A token for one attempt: the job number, the process and a random part ("17-4711-9f3a61c2d04b").
std::string NewJobToken(std::int64_t id);

} // namespace gs
