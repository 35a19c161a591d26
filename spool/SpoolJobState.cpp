#include "spool/SpoolJobState.h"

#include "base/Error.h"

#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>
#include <variant>

namespace gs {

namespace {

constexpr int kBusyTimeoutMs = 5000;
// A write refused after the busy time-out is tried this many times in all.
constexpr int kWriteAttempts = 4;

using Param = std::variant<std::int64_t, std::string>;

bool Busy(int rc) { return (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED; }

} // namespace

SpoolJobState::~SpoolJobState() { Close(); }

void SpoolJobState::Open(const std::filesystem::path& spoolDir)
{
    Close();
    file_ = spoolDir / JobStateFileName;
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(file_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                   nullptr);
    if (rc != SQLITE_OK) {
        const std::string cause = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close_v2(db);
        throw Error("Die Auftragsverwaltung " + file_.string() + " kann nicht geöffnet werden: " + cause);
    }
    db_ = db;
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    try {
        // The journal mode is set once per file; a file another program holds keeps its mode.
        sqlite3_exec(db_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        exec("CREATE TABLE IF NOT EXISTS jobstand(id INTEGER PRIMARY KEY, rows INTEGER, columns INTEGER, "
             "step INTEGER NOT NULL DEFAULT 0, token TEXT NOT NULL DEFAULT '', target TEXT NOT NULL DEFAULT '', "
             "cups_before INTEGER NOT NULL DEFAULT 0, cups_job INTEGER NOT NULL DEFAULT 0)",
             {}, {});
    } catch (...) {
        Close();
        throw;
    }
}

void SpoolJobState::Close() noexcept
{
    if (db_)
        sqlite3_close_v2(db_);
    db_ = nullptr;
}

void SpoolJobState::exec(const std::string& sql, const std::vector<std::int64_t>& ints,
                         const std::vector<std::string>& texts)
{
    if (!db_)
        throw Error("Die Auftragsverwaltung ist nicht geöffnet.");
    int rc = SQLITE_OK;
    for (int attempt = 1; attempt <= kWriteAttempts; ++attempt) {
        // One statement in one immediate transaction: the write lock is waited for, never upgraded.
        rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_stmt* st = nullptr;
            rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr);
            if (rc == SQLITE_OK) {
                int k = 1;
                for (const std::int64_t v : ints)
                    sqlite3_bind_int64(st, k++, v);
                for (const std::string& t : texts)
                    sqlite3_bind_text(st, k++, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
                rc = sqlite3_step(st);
                if (rc == SQLITE_DONE || rc == SQLITE_ROW)
                    rc = SQLITE_OK;
            }
            sqlite3_finalize(st);
            if (rc == SQLITE_OK)
                rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
            if (rc != SQLITE_OK)
                sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        if (rc == SQLITE_OK)
            return;
        if (!Busy(rc))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50 * attempt));
    }
    throw Error("Die Auftragsverwaltung " + file_.string() + " kann nicht geschrieben werden: " + sqlite3_errstr(rc));
}

std::vector<JobState> SpoolJobState::select(const std::string& where, std::int64_t id)
{
    if (!db_)
        throw Error("Die Auftragsverwaltung ist nicht geöffnet.");
    const std::string sql =
        "SELECT id, rows, columns, step, token, target, cups_before, cups_job FROM jobstand WHERE " + where +
        " ORDER BY id";
    std::vector<JobState> out;
    int rc = SQLITE_OK;
    for (int attempt = 1; attempt <= kWriteAttempts; ++attempt) {
        out.clear();
        sqlite3_stmt* st = nullptr;
        rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr);
        if (rc == SQLITE_OK) {
            if (sql.find("?1") != std::string::npos)
                sqlite3_bind_int64(st, 1, id);
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
                JobState s;
                s.id = sqlite3_column_int64(st, 0);
                if (sqlite3_column_type(st, 1) != SQLITE_NULL)
                    s.rows = sqlite3_column_int64(st, 1);
                if (sqlite3_column_type(st, 2) != SQLITE_NULL)
                    s.columns = sqlite3_column_int(st, 2);
                const int step = sqlite3_column_int(st, 3);
                s.step = step == 1 ? JobStep::Taken : step == 2 ? JobStep::Done : JobStep::Waiting;
                s.token = reinterpret_cast<const char*>(sqlite3_column_text(st, 4));
                s.target = reinterpret_cast<const char*>(sqlite3_column_text(st, 5));
                s.cupsBefore = sqlite3_column_int64(st, 6);
                s.cupsJob = sqlite3_column_int64(st, 7);
                out.push_back(std::move(s));
            }
            if (rc == SQLITE_DONE)
                rc = SQLITE_OK;
        }
        sqlite3_finalize(st);
        if (rc == SQLITE_OK)
            return out;
        if (!Busy(rc))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50 * attempt));
    }
    throw Error("Die Auftragsverwaltung " + file_.string() + " kann nicht gelesen werden: " + sqlite3_errstr(rc));
}

void SpoolJobState::RecordCounts(std::int64_t id, std::int64_t rows, int columns)
{
    exec("INSERT OR REPLACE INTO jobstand(id, rows, columns) VALUES(?1, ?2, ?3)", {id, rows, columns}, {});
}

std::optional<JobState> SpoolJobState::Get(std::int64_t id)
{
    auto rows = select("id = ?1", id);
    if (rows.empty())
        return std::nullopt;
    return rows.front();
}

void SpoolJobState::Take(std::int64_t id, const std::string& token, const std::string& target, std::int64_t cupsBefore)
{
    exec("INSERT INTO jobstand(id, step, cups_before, token, target) VALUES(?1, 1, ?2, ?3, ?4) "
         "ON CONFLICT(id) DO UPDATE SET step = 1, cups_before = ?2, cups_job = 0, token = ?3, target = ?4",
         {id, cupsBefore}, {token, target});
}

void SpoolJobState::Done(std::int64_t id, std::int64_t cupsJob)
{
    exec("UPDATE jobstand SET step = 2, cups_job = ?2 WHERE id = ?1", {id, cupsJob}, {});
}

void SpoolJobState::Forget(std::int64_t id) { exec("DELETE FROM jobstand WHERE id = ?1", {id}, {}); }

int SpoolJobState::ForgetMissing(const std::vector<std::int64_t>& present, std::int64_t highest)
{
    std::string list;
    for (const std::int64_t id : present)
        list += (list.empty() ? "" : ",") + std::to_string(id);
    const auto before = sqlite3_total_changes(db_);
    exec("DELETE FROM jobstand WHERE id <= ?1" + (list.empty() ? std::string() : " AND id NOT IN (" + list + ")"),
         {highest}, {});
    return static_cast<int>(sqlite3_total_changes(db_) - before);
}

std::string NewJobToken(std::int64_t id)
{
    static std::mt19937_64 random{std::random_device{}()};
    char part[17];
    std::snprintf(part, sizeof part, "%016llx", static_cast<unsigned long long>(random()));
    return std::to_string(id) + "-" + std::to_string(::getpid()) + "-" + std::string(part, 12);
}

} // namespace gs
