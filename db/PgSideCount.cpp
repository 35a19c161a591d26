#include "db/PgSideCount.h"

#include "db/AdsError.h"
#include "db/PgApi.h"
#include "db/PgWait.h"

#include <cstdlib>

namespace gs::ads {

namespace {

// A statement on the count connection; false on any failure (also a wait that ended).
bool Command(pg_conn* conn, const std::string& sqlText, const ServerLimits& limits)
{
    if (!conn || Pq().PQsendQuery(conn, sqlText.c_str()) != 1)
        return false;
    const Answer answer = TakeAnswer(conn, limits);
    const bool ok = answer.result && Pq().PQresultStatus(answer.result) == PGRES_COMMAND_OK;
    Pq().PQclear(answer.result);
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
    const ResultPtr r(Await(Pq().PQsendQuery(Live(), "SELECT pg_export_snapshot()")));
    const bool ok = r && Pq().PQresultStatus(r.get()) == PGRES_TUPLES_OK && Pq().PQntuples(r.get()) == 1;
    std::string id = ok ? Pq().PQgetvalue(r.get(), 0, 0) : std::string();
    if (!ok) {
        if (ConnectionBroken(conn_))
            Fail({}, "Lesen nicht möglich", r.get());
        // A server that exports no snapshots (a standby in recovery) has ended the read transaction
        // with the refusal: a new one takes its place, and what was read in the old one counts as
        // read in another snapshot. Every count then runs on the first connection.
        countRefused_ = true;
        ExecNoThrow("ROLLBACK");
        Exec("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY", {}, "Lesen nicht möglich");
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
    std::string why;
    pg_conn* c = ConnectWithin(connection_, limits_, why);
    if (!c || !Command(c, "SET client_encoding = 'UTF8'", limits_)) {
        Pq().PQfinish(c);
        countRefused_ = true; // a server at its connection limit: every count on the first connection
        return nullptr;
    }
    Pq().PQsetNoticeProcessor(c, [](void*, const char*) {}, nullptr);
    Command(c, "SET jit = off", limits_);
    // The count runs beside the walk and only gives the progress its maximum: in one process, so
    // that parallel workers do not take the processors the walk and the run need.
    Command(c, "SET max_parallel_workers_per_gather = 0", limits_);
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
        if (!Command(c, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY", limits_)) {
            DropCountConnection(); // closed by the server meanwhile: one new connection
            continue;
        }
        const TextParams values(params);
        if (!Command(c, "SET TRANSACTION SNAPSHOT '" + snapshot + "'", limits_) ||
            Pq().PQsendQueryParams(c, NumberedParameters(sqlText).c_str(), values.Count(), nullptr,
                                   values.values.data(), nullptr, nullptr, 0) != 1) {
            if (!Command(c, "ROLLBACK", limits_))
                DropCountConnection();
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
    const ServerLimits& limits = session_.Limits();
    const bool cancelled = limits.cancel && limits.cancel->load();
    // A cancel request is a connection of its own to the server: not sent when the user has
    // cancelled (the server may be the reason) or the session has lost its connection; the
    // count's connection then simply goes.
    if (!cancelled && session_.Conn()) {
        if (PGcancel* cancel = Pq().PQgetCancel(session_.countConn_)) {
            char why[256];
            Pq().PQcancel(cancel, why, sizeof why);
            Pq().PQfreeCancel(cancel);
        }
        const Answer answer = TakeAnswer(session_.countConn_, limits);
        Pq().PQclear(answer.result);
        if (answer.end == WaitEnd::Answered) {
            Finish(false);
            return;
        }
    }
    done_ = true;
    session_.DropCountConnection();
    session_.counting_ = false;
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
        pg_conn* conn = session_.countConn_;
        const ServerLimits& limits = session_.Limits();
        const Answer answer = TakeAnswer(conn, limits);
        if (answer.end != WaitEnd::Answered) {
            // The count's connection is given up; the walk's stays.
            failure_ = WaitMessage(answer.end, conn, session_.Server(), limits);
            done_ = true;
            session_.DropCountConnection();
            session_.counting_ = false;
            throw AdsError(failure_, {});
        }
        pg_result* r = answer.result;
        const bool ok = r && Pq().PQresultStatus(r) == PGRES_TUPLES_OK && Pq().PQntuples(r) == 1;
        if (ok)
            count_ = std::strtoll(Pq().PQgetvalue(r, 0, 0), nullptr, 10);
        else if (ConnectionBroken(conn))
            failure_ = kLostLead + Message(conn, r);
        else
            failure_ = "Zählen fehlgeschlagen: " + Message(conn, r);
        Pq().PQclear(r);
        Finish(ok);
    }
    if (!failure_.empty())
        throw AdsError(failure_, failure_.rfind(kLostLead, 0) == 0 ? std::string() : table_);
    return count_;
}

void PgSideCount::Finish(bool commit) noexcept
{
    done_ = true;
    if (!Command(session_.countConn_, commit ? "COMMIT" : "ROLLBACK", session_.Limits()))
        session_.DropCountConnection(); // in no state for the next count: a new one then
    session_.counting_ = false;
}

} // namespace gs::ads
