#include "spool/SpoolStore.h"

#include "base/Error.h"
#include "db/AdsError.h"
#include "spool/SpoolTables.h"

#include <sqlite3.h>

namespace gs {

SpoolStore::SpoolStore() : spool_(&connection_, SpoolTableName), detail_(&connection_, DetailTableName)
{
    connection_.SetAdsServerTypes({stADS_LOCAL});
}

SpoolStore::~SpoolStore() { Close(); }

void SpoolStore::Open(const std::filesystem::path& dir)
{
    Close();
    connection_.SetConnectPath(dir.string());
    connection_.Connect();
    spool_.SetIndexName("ID");
    detail_.SetIndexName("IDMAIN");
    spool_.Open();
    detail_.Open();
    detailCells_.clear();
    for (int k = 1; k <= SpoolMaxColumns; ++k)
        detailCells_.push_back(&detail_.FieldByName("d" + std::to_string(k)));
    detailText_ = &detail_.FieldByName("ds");
    detailMain_ = &detail_.FieldByName("idmain");
    state_.Open(dir);
}

void SpoolStore::Close() noexcept
{
    RollbackDetails();
    detailCells_.clear();
    detailText_ = detailMain_ = nullptr;
    state_.Close();
    try {
        spool_.Close();
        detail_.Close();
        connection_.Disconnect();
    } catch (...) {
        // Closing never fails in a way the caller could repair.
    }
}

bool SpoolStore::IsOpen() const
{
    return connection_.IsConnected() && spool_.Active() && detail_.Active() && state_.IsOpen();
}

void SpoolStore::RecordCounts(std::int64_t id, std::int64_t rows, int columns) { state_.RecordCounts(id, rows, columns); }

void SpoolStore::setField(TAdsTable& table, const std::string& name, const SpoolValue& value)
{
    Field& f = table.FieldByName(name);
    if (const auto* text = std::get_if<std::string>(&value))
        f.SetString(*text);
    else if (const auto* number = std::get_if<std::int64_t>(&value))
        f.SetInteger(*number);
    else if (const auto* flag = std::get_if<bool>(&value))
        f.SetBoolean(*flag);
    else
        f.SetBytes(std::get<SpoolBytes>(value).bytes);
}

std::int64_t SpoolStore::InsertJob(const SpoolFields& fields)
{
    spool_.Insert();
    try {
        for (const auto& [name, value] : fields)
            setField(spool_, name, value);
        spool_.FieldByName("PRIO").SetInteger(PrioUnfinished);
        spool_.Post();
    } catch (...) {
        spool_.Cancel();
        throw;
    }
    return spool_.FieldByName("ID").AsLargeInt();
}

bool SpoolStore::findJob(std::int64_t id) { return spool_.SeekKey(std::to_string(id), true); }

void SpoolStore::UpdateJob(std::int64_t id, const SpoolFields& fields)
{
    if (!findJob(id))
        throw Error("Auftrag " + std::to_string(id) + " nicht gefunden (Tabelle " + SpoolTableName + ")");
    spool_.Edit();
    try {
        for (const auto& [name, value] : fields)
            setField(spool_, name, value);
        spool_.Post();
    } catch (...) {
        spool_.Cancel();
        throw;
    }
}

namespace {

// Deletes the rows of one table file whose column holds id, in one statement and one immediate
// transaction: the write lock is waited for within the busy time-out (and tried again a few times),
// never upgraded from a read.
void DeleteRowsOf(const std::filesystem::path& file, const char* tableFile, const char* column, std::int64_t id)
{
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, SpoolBusyTimeoutMs);
        const std::string table = std::filesystem::path(tableFile).stem().string();
        const std::string sql = "DELETE FROM \"" + table + "\" WHERE \"" + column + "\" = " + std::to_string(id);
        for (int attempt = 1; attempt <= SpoolWriteAttempts; ++attempt) {
            rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
            if (rc == SQLITE_OK) {
                rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
                if (rc == SQLITE_OK)
                    rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
                if (rc != SQLITE_OK)
                    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            }
            if (rc == SQLITE_OK || !SpoolBusy(rc))
                break;
        }
    }
    const std::string cause = rc == SQLITE_OK ? std::string() : db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close_v2(db);
    if (rc != SQLITE_OK)
        throw AdsError("Auftrag " + std::to_string(id) + " kann nicht entfernt werden: " + cause, tableFile, {}, rc);
}

} // namespace

bool SpoolBusy(int engineCode) { return (engineCode & 0xff) == SQLITE_BUSY || (engineCode & 0xff) == SQLITE_LOCKED; }

void SpoolStore::DeleteJob(std::int64_t id)
{
    // The detail rows first, in one statement: an interruption leaves the job row without rows,
    // which the next purge (PRIO 0) or the processor's record of a done job removes.
    RollbackDetails();
    DeleteRowsOf(connection_.TablePath(DetailTableName), DetailTableName, "idmain", id);
    DeleteRowsOf(connection_.TablePath(SpoolTableName), SpoolTableName, "ID", id);
    // The record of a job that is gone; one left by a failure here is dropped by the next
    // processor's start (SpoolJobState::ForgetMissing).
    try {
        if (state_.IsOpen())
            state_.Forget(id);
    } catch (const Error&) {
    }
}

void SpoolStore::BeginDetails(std::int64_t jobId)
{
    connection_.BeginTransaction();
    detailJob_ = jobId;
}

void SpoolStore::AddDetail(const std::vector<std::string>& cells, const std::string& ds)
{
    detail_.Insert();
    try {
        for (size_t k = 0; k < cells.size() && k < detailCells_.size(); ++k)
            detailCells_[k]->SetString(cells[k]);
        detailText_->SetString(ds);
        detailMain_->SetInteger(detailJob_);
        detail_.Post();
    } catch (...) {
        detail_.Cancel();
        throw;
    }
}

void SpoolStore::CommitDetails()
{
    detailJob_ = 0;
    connection_.Commit();
}

void SpoolStore::RollbackDetails() noexcept
{
    detailJob_ = 0;
    if (connection_.InTransaction())
        connection_.Rollback();
}

std::vector<std::int64_t> SpoolStore::jobsWithPrio(int prio)
{
    std::vector<std::int64_t> ids;
    spool_.SetFilter("PRIO=" + std::to_string(prio));
    spool_.SetFiltered(true);
    try {
        Field& id = spool_.FieldByName("ID");
        for (spool_.First(); !spool_.Eof(); spool_.Next())
            ids.push_back(id.AsLargeInt());
    } catch (...) {
        spool_.SetFiltered(false);
        throw;
    }
    spool_.SetFiltered(false);
    spool_.SetFilter({});
    return ids;
}

int SpoolStore::PurgeUnfinished()
{
    const std::vector<std::int64_t> ids = jobsWithPrio(0);
    for (std::int64_t id : ids)
        DeleteJob(id);
    return static_cast<int>(ids.size());
}

int SpoolStore::ReleaseHeldJobs(int prio)
{
    const std::vector<std::int64_t> ids = jobsWithPrio(-prio);
    for (const std::int64_t id : ids)
        UpdateJob(id, {{"PRIO", std::int64_t{prio}}});
    return static_cast<int>(ids.size());
}

int SpoolStore::WaitingJobs(bool mail)
{
    spool_.SetFilter(std::string("ISMAIL=") + (mail ? "1" : "0") + " AND PRIO>0");
    spool_.SetFiltered(true);
    int n = 0;
    try {
        n = spool_.RecordCount();
    } catch (...) {
        spool_.SetFiltered(false);
        throw;
    }
    spool_.SetFiltered(false);
    spool_.SetFilter({});
    return n;
}

std::string SpoolStore::JobFieldText(std::int64_t id, const std::string& field)
{
    if (!findJob(id))
        return {};
    return spool_.FieldByName(field).AsString();
}

} // namespace gs
