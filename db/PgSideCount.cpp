#include "db/PgSideCount.h"

#include "db/AdsError.h"
#include "db/PgApi.h"

#include <cstdlib>

namespace gs::ads {

namespace {

bool Command(pg_conn* conn, const std::string& sqlText)
{
    pg_result* r = Pq().PQexec(conn, sqlText.c_str());
    const bool ok = r && Pq().PQresultStatus(r) == PGRES_COMMAND_OK;
    Pq().PQclear(r);
    return ok;
}

} // namespace

// --- the session's side ------------------------------------------------------------------------------

std::string PgSession::ExportSnapshot()
{
    if (snapshotOf_ == readTransactionId_ && !snapshot_.empty())
        return snapshot_;
    if (countRefused_)
        return {};
    Settle();
    pg_result* r = Pq().PQexec(conn_, "SELECT pg_export_snapshot()");
    const bool ok = r && Pq().PQresultStatus(r) == PGRES_TUPLES_OK && Pq().PQntuples(r) == 1;
    std::string id = ok ? Pq().PQgetvalue(r, 0, 0) : std::string();
    Pq().PQclear(r);
    if (!ok) {
        // A server that exports no snapshots (a standby in recovery) has ended the read transaction
        // with the refusal: a new one takes its place, and what was read in the old one counts as
        // read in another snapshot. Every count then runs on the first connection.
        countRefused_ = true;
        Command(conn_, "ROLLBACK");
        if (!Command(conn_, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"))
            Fail({}, "Lesen nicht möglich");
        ++readTransactionId_;
        return {};
    }
    snapshot_ = id;
    snapshotOf_ = readTransactionId_;
    return snapshot_;
}

pg_conn* PgSession::CountConnection()
{
    if (countConn_ || countRefused_)
        return countConn_;
    pg_conn* c = Pq().PQconnectdb(connection_.c_str());
    if (!c || Pq().PQstatus(c) != CONNECTION_OK || Pq().PQsetClientEncoding(c, "UTF8") != 0) {
        Pq().PQfinish(c);
        countRefused_ = true; // a server at its connection limit: every count on the first connection
        return nullptr;
    }
    Pq().PQsetNoticeProcessor(c, [](void*, const char*) {}, nullptr);
    Command(c, "SET jit = off");
    // The count runs beside the walk and only gives the progress its maximum: in one process, so
    // that parallel workers do not take the processors the walk and the run need.
    Command(c, "SET max_parallel_workers_per_gather = 0");
    countConn_ = c;
    return countConn_;
}

void PgSession::DropCountConnection() noexcept
{
    if (countConn_)
        Pq().PQfinish(countConn_);
    countConn_ = nullptr;
}

std::unique_ptr<PendingCount> PgSession::CountBeside(const std::string& sqlText, const std::vector<DbValue>& params,
                                                     const std::string& table)
{
    if (!readTransaction_ || counting_)
        return nullptr;
    const std::string snapshot = ExportSnapshot();
    if (snapshot.empty())
        return nullptr;
    for (int attempt = 0; attempt < 2; ++attempt) {
        pg_conn* c = CountConnection();
        if (!c)
            return nullptr;
        if (!Command(c, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")) {
            DropCountConnection(); // closed by the server meanwhile: one new connection
            continue;
        }
        const TextParams values(params);
        if (!Command(c, "SET TRANSACTION SNAPSHOT '" + snapshot + "'") ||
            Pq().PQsendQueryParams(c, NumberedParameters(sqlText).c_str(), values.Count(), nullptr,
                                   values.values.data(), nullptr, nullptr, 0) != 1) {
            Command(c, "ROLLBACK");
            return nullptr;
        }
        counting_ = true;
        return std::make_unique<PgSideCount>(*this, table);
    }
    return nullptr;
}

// --- the count ---------------------------------------------------------------------------------------

PgSideCount::~PgSideCount()
{
    if (done_)
        return;
    if (PGcancel* cancel = Pq().PQgetCancel(session_.countConn_)) {
        char why[256];
        Pq().PQcancel(cancel, why, sizeof why);
        Pq().PQfreeCancel(cancel);
    }
    while (pg_result* r = Pq().PQgetResult(session_.countConn_))
        Pq().PQclear(r);
    Finish(false);
}

bool PgSideCount::Ready()
{
    if (done_)
        return true;
    // A broken connection reads as ready: Wait names the cause.
    if (Pq().PQconsumeInput(session_.countConn_) == 0)
        return true;
    return Pq().PQisBusy(session_.countConn_) == 0;
}

std::int64_t PgSideCount::Wait()
{
    if (!done_) {
        pg_result* r = Pq().PQgetResult(session_.countConn_);
        while (pg_result* more = Pq().PQgetResult(session_.countConn_))
            Pq().PQclear(more);
        const bool ok = r && Pq().PQresultStatus(r) == PGRES_TUPLES_OK && Pq().PQntuples(r) == 1;
        if (ok)
            count_ = std::strtoll(Pq().PQgetvalue(r, 0, 0), nullptr, 10);
        else
            failure_ = Message(session_.countConn_, r);
        Pq().PQclear(r);
        Finish(ok);
    }
    if (!failure_.empty())
        throw AdsError("Zählen fehlgeschlagen: " + failure_, table_);
    return count_;
}

void PgSideCount::Finish(bool commit) noexcept
{
    done_ = true;
    if (!Command(session_.countConn_, commit ? "COMMIT" : "ROLLBACK"))
        session_.DropCountConnection(); // in no state for the next count: a new one then
    session_.counting_ = false;
}

} // namespace gs::ads
